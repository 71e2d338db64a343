#pragma once

#include <random>

// Uniform random numbers in [0, 1), handed to whatever draws problems or picks sounds.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
    virtual void seedFromClock() = 0;
};

class SystemRandom final : public RandomSource
{
public:
    SystemRandom();
    float next() override;
    void seedFromClock() override;

private:
    std::mt19937 m_engine;
};
