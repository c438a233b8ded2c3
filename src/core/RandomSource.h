#pragma once

#include <random>

// Uniform random numbers in [0, 1), seeded from the clock.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    virtual void reseed() = 0;
};

class SystemRandom : public RandomSource
{
public:
    SystemRandom();
    double next() override;
    void reseed() override;

private:
    std::mt19937_64 m_engine;
};
