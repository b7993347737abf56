// SPDX-License-Identifier: GPL-3.0-or-later
#include "distribution.h"

SumDistribution::SumDistribution(int dice)
    : m_dice(dice)
{
    Q_ASSERT(dice >= 1 && dice <= 7);
    // Adding one die spreads the ways of every sum s over s + 1 … s + 6.
    m_ways[0] = 1;
    for (int die = 0; die < dice; ++die) {
        std::array<qint64, 43> next{};
        for (int s = die; s <= 6 * die; ++s) {
            for (int face = 1; face <= 6; ++face)
                next[static_cast<std::size_t>(s + face)] += m_ways[static_cast<std::size_t>(s)];
        }
        m_ways = next;
        m_outcomes *= 6;
    }
}

qint64 SumDistribution::ways(int sum) const
{
    if (sum < minSum() || sum > maxSum())
        return 0;
    return m_ways[static_cast<std::size_t>(sum)];
}

double SumDistribution::probability(int sum) const
{
    return static_cast<double>(ways(sum)) / static_cast<double>(m_outcomes);
}

double SumDistribution::expectedOfWays(qint64 ways, qint64 throws) const
{
    return static_cast<double>(throws) * static_cast<double>(ways)
        / static_cast<double>(m_outcomes);
}


int SumDistribution::mostLikelySum() const
{
    int best = minSum();
    for (int s = minSum() + 1; s <= maxSum(); ++s) {
        if (ways(s) > ways(best))
            best = s;
    }
    return best;
}
