// SPDX-License-Identifier: GPL-3.0-or-later
#include "random_source.h"

#include <chrono>

ClockSeededRandom::ClockSeededRandom()
{
    reseed();
}

void ClockSeededRandom::reseed()
{
    if (m_seed)
        return;
    static std::uint64_t counter = 0;
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    ++counter;
    std::seed_seq seq{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
                      static_cast<std::uint32_t>(counter), static_cast<std::uint32_t>(counter >> 32)};
    m_engine.seed(seq);
    m_next = m_block.size();
}

void ClockSeededRandom::restart()
{
    if (m_seed)
        seedWith(*m_seed);
}

void ClockSeededRandom::setSeed(std::optional<std::uint32_t> seed)
{
    m_seed = seed;
    restart();
}

void ClockSeededRandom::seedWith(std::uint64_t seed)
{
    m_engine.seed(seed);
    m_next = m_block.size();
}

void ClockSeededRandom::refill()
{
    constexpr std::uint64_t Mask = 0xFFFFFF;
    for (std::size_t i = 0; i < m_block.size(); i += 8) {
        const std::uint64_t a = m_engine();
        const std::uint64_t b = m_engine();
        const std::uint64_t c = m_engine();
        const std::uint64_t k[8] = {
            a >> 40,          (a >> 16) & Mask, ((a & 0xFFFF) << 8) | (b >> 56), (b >> 32) & Mask,
            (b >> 8) & Mask,  ((b & 0xFF) << 16) | (c >> 48), (c >> 24) & Mask, c & Mask,
        };
        for (std::size_t j = 0; j < 8; ++j)
            m_block[i + j] = static_cast<float>(k[j]) * 0x1p-24f;
    }
    m_next = 0;
}
