#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QTimer;

// Plays a clip backwards for a player that only plays forwards: with the clip paused, it moves
// the position back by the speed times the time passed, several times a second, down to the
// clip's start.
class ReverseStepper : public QObject
{
    Q_OBJECT
public:
    ReverseStepper(std::function<double()> position, std::function<void(double)> seek,
                   QObject *parent = nullptr);

    // `speed` seconds of the clip a second; a second start changes the speed only.
    void start(double speed);
    void stop();
    bool isRunning() const;
    double speed() const { return m_speed; }

signals:
    // The clip's start was reached; the stepping has stopped there.
    void reachedStart();

private:
    void step();

    std::function<double()> m_position;
    std::function<void(double)> m_seek;
    QTimer *m_timer;
    QElapsedTimer m_since;
    double m_speed = 0;
};
