#pragma once

// The time of day as the engine counts it: seconds since local midnight, with a fraction.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
};

class SystemClock : public Clock
{
public:
    double secondsSinceMidnight() const override;
};
