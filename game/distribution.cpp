// SPDX-License-Identifier: GPL-3.0-or-later
#include "distribution.h"

#include "zufall.h"

SumDistribution::SumDistribution(int dice)
    : m_dice(dice)
{
    // Fair dice are loaded dice whose faces weigh the same: one convolution serves theory and the
    // loaded column alike. With weight 1 a face, the ways are plain counts out of 6ⁿ.
    const SumChances fair = sumChances(DiceWeights({1, 1, 1, 1, 1, 1}), dice);
    m_outcomes = static_cast<qint64>(fair.outcomes);
    for (std::size_t s = 0; s < m_ways.size(); ++s)
        m_ways[s] = static_cast<qint64>(fair.ways[s]);
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
