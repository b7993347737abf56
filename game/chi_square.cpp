// SPDX-License-Identifier: GPL-3.0-or-later
#include "chi_square.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <numeric>

namespace ChiSquare {

std::vector<Class> pool(const SumDistribution &distribution, std::span<const qint64> counts)
{
    Q_ASSERT(counts.size() == static_cast<std::size_t>(distribution.maxSum() - distribution.minSum() + 1));
    const qint64 throws = std::accumulate(counts.begin(), counts.end(), qint64(0));
    const qint64 outcomes = distribution.outcomes();
    const auto expected = [&](qint64 ways) {
        return static_cast<double>(throws) * static_cast<double>(ways) / static_cast<double>(outcomes);
    };

    std::vector<Class> classes;
    Class open{distribution.minSum(), distribution.minSum(), 0, 0};
    qint64 openWays = 0;
    for (int s = distribution.minSum(); s <= distribution.maxSum(); ++s) {
        open.lastSum = s;
        open.observed += counts[static_cast<std::size_t>(s - distribution.minSum())];
        openWays += distribution.ways(s);
        // E ≥ 5 compared in integers (throws × ways ≥ 5 × 6ⁿ): a class expecting exactly 5 must
        // not stay open because of a rounding error. The product stays far inside 64 bits.
        if (throws * openWays >= 5 * outcomes) {
            open.expected = expected(openWays);
            classes.push_back(open);
            open = Class{s + 1, s + 1, 0, 0};
            openWays = 0;
        }
    }
    if (openWays > 0) {
        open.expected = expected(openWays);
        if (classes.empty()) {
            classes.push_back(open);
        } else {
            Class &last = classes.back();
            last.lastSum = open.lastSum;
            last.observed += open.observed;
            last.expected += open.expected;
        }
    }
    return classes;
}

std::optional<Result> test(const SumDistribution &distribution, std::span<const qint64> counts)
{
    const qint64 throws = std::accumulate(counts.begin(), counts.end(), qint64(0));
    if (throws == 0)
        return std::nullopt;
    Result result{0, 0, 1, pool(distribution, counts)};
    if (result.classes.size() < 2)
        return std::nullopt;
    for (const Class &c : result.classes) {
        const double difference = static_cast<double>(c.observed) - c.expected;
        result.statistic += difference * difference / c.expected;
    }
    result.degreesOfFreedom = static_cast<int>(result.classes.size()) - 1;
    const boost::math::chi_squared_distribution<double> chi(result.degreesOfFreedom);
    result.pValue = boost::math::cdf(boost::math::complement(chi, result.statistic));
    return result;
}

} // namespace ChiSquare
