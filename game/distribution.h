// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>

// The exact distribution of the sum of n fair dice (n = 1 … 7): how many of the 6ⁿ equally likely
// outcomes give each sum, counted in integers so that theory is never a rounded simulation.
class SumDistribution
{
public:
    explicit SumDistribution(int dice);

    int dice() const { return m_dice; }
    int minSum() const { return m_dice; }
    int maxSum() const { return 6 * m_dice; }
    // 6ⁿ: every outcome of one throw.
    qint64 outcomes() const { return m_outcomes; }
    // The outcomes whose sum is `sum`; 0 for a sum the dice cannot show.
    qint64 ways(int sum) const;
    double probability(int sum) const;
    // What `throws` throws are expected to give: throws × ways(sum) / 6ⁿ.
    double expectedCount(int sum, qint64 throws) const { return expectedOfWays(ways(sum), throws); }
    // The same for outcomes that make up several sums together: throws × ways / 6ⁿ.
    double expectedOfWays(qint64 ways, qint64 throws) const;

    // The most likely sum; of two equally likely ones the lower.
    int mostLikelySum() const;
    double mean() const { return 3.5 * m_dice; }
    double variance() const { return 35.0 * m_dice / 12.0; }

private:
    int m_dice;
    qint64 m_outcomes = 1;
    std::array<qint64, 43> m_ways{}; // indexed by the sum, 0 … 42
};
