#pragma once

#include "core/Clock.h"
#include "core/EventPump.h"
#include "core/RandomSource.h"

#include <QList>
#include <functional>

// A clock the test sets by hand.
class FakeClock : public Clock
{
public:
    double secondsSinceMidnight() const override { return now; }
    void advance(double seconds);
    double now = 0;
};

// Counts the yields and runs what the test wants to happen in between (a click on Cancel,
// a stop command, ...).
class FakeEventPump : public EventPump
{
public:
    void processPendingEvents() override;
    int calls = 0;
    std::function<void(int call)> onEvents;
};

// Plays back prepared numbers in [0, 1), then repeats the last one.
class FakeRandom : public RandomSource
{
public:
    double next() override;
    void reseed() override { ++reseeds; }
    QList<double> values;
    int reseeds = 0;

private:
    int m_pos = 0;
};
