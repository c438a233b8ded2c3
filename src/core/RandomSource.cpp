#include "core/RandomSource.h"

#include <chrono>

SystemRandom::SystemRandom()
{
    reseed();
}

double SystemRandom::next()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
}

void SystemRandom::reseed()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    m_engine.seed(static_cast<std::mt19937_64::result_type>(now) ^ std::random_device()());
}
