#pragma once

#include <cstdint>
#include <random>

// Where the dice get their values. The move re-seeds once at its start and then draws one
// value per die; tests install a scripted source instead of the clock-seeded one.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    // Uniform draw with 0 <= r < 1.
    virtual float next() = 0;
};

// std::mt19937_64, re-seeded from a nanosecond clock mixed with a per-process counter, so two
// moves within one clock tick still get different sequences. A draw is k / 2^24 with k taken from
// the generator's top 24 bits: exact in single precision and never 1.
class ClockSeededRandom final : public RandomSource
{
public:
    ClockSeededRandom();
    void reseed() override;
    float next() override
    {
        return static_cast<float>(m_engine() >> 40) * 0x1p-24f;
    }

    // A fixed sequence, for reproducible checks of the distribution.
    void seedWith(std::uint64_t seed);

private:
    std::mt19937_64 m_engine;
};

// The process-wide source the move uses. setRandomSource() does not take ownership;
// nullptr restores the clock-seeded default.
RandomSource &randomSource();
void setRandomSource(RandomSource *source);
