#include "random_source.h"

#include <chrono>

ClockSeededRandom::ClockSeededRandom()
{
    reseed();
}

void ClockSeededRandom::reseed()
{
    static std::uint64_t counter = 0;
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    ++counter;
    std::seed_seq seq{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
                      static_cast<std::uint32_t>(counter), static_cast<std::uint32_t>(counter >> 32)};
    m_engine.seed(seq);
}

void ClockSeededRandom::seedWith(std::uint64_t seed)
{
    m_engine.seed(seed);
}

namespace {
RandomSource *g_installed = nullptr;
}

RandomSource &randomSource()
{
    if (g_installed)
        return *g_installed;
    static ClockSeededRandom clockSeeded;
    return clockSeeded;
}

void setRandomSource(RandomSource *source)
{
    g_installed = source;
}
