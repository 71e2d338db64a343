#include "random_source.h"

#include <chrono>

SystemRandom::SystemRandom()
{
    seedFromClock();
}

float SystemRandom::next()
{
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    float r = uniform(m_engine);
    return r < 1.0f ? r : 0.0f; // some library versions can return the upper bound
}

void SystemRandom::seedFromClock()
{
    m_engine.seed(std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
}
