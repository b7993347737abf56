// SPDX-License-Identifier: GPL-3.0-or-later
#include "chi_square.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <numeric>

namespace ChiSquare {

namespace {

Int128 gcd128(Int128 a, Int128 b)
{
    if (a < 0)
        a = -a;
    while (b != 0) {
        const Int128 r = a % b;
        a = b;
        b = r;
    }
    return a == 0 ? 1 : a;
}

qint64 wayCount(const SumDistribution &distribution, const Class &c)
{
    qint64 ways = 0;
    for (int s = c.firstSum; s <= c.lastSum; ++s)
        ways += distribution.ways(s);
    return ways;
}

} // namespace

std::vector<Class> pool(const SumDistribution &distribution, std::span<const qint64> counts)
{
    Q_ASSERT(counts.size() == static_cast<std::size_t>(distribution.maxSum() - distribution.minSum() + 1));
    const qint64 throws = std::accumulate(counts.begin(), counts.end(), qint64(0));
    const qint64 outcomes = distribution.outcomes();

    std::vector<Class> classes;
    Class open{distribution.minSum(), distribution.minSum(), 0};
    qint64 openWays = 0;
    for (int s = distribution.minSum(); s <= distribution.maxSum(); ++s) {
        open.lastSum = s;
        open.observed += counts[static_cast<std::size_t>(s - distribution.minSum())];
        openWays += distribution.ways(s);
        // E ≥ 5 compared in integers (throws × ways ≥ 5 × 6ⁿ): a class expecting exactly 5 must
        // not stay open because of a rounding error. The product stays far inside 64 bits.
        if (throws * openWays >= 5 * outcomes) {
            classes.push_back(open);
            open = Class{s + 1, s + 1, 0};
            openWays = 0;
        }
    }
    if (openWays > 0) {
        if (classes.empty()) {
            classes.push_back(open);
        } else {
            Class &last = classes.back();
            last.lastSum = open.lastSum;
            last.observed += open.observed;
        }
    }
    return classes;
}

QString statisticText(const Result &result, const QLocale &locale)
{
    const NumberFormat::Digits digits{2, 0};
    if (result.statisticDenominator > 0)
        return NumberFormat::fraction(result.statisticNumerator, result.statisticDenominator, digits,
                                      locale);
    return NumberFormat::real(result.statistic, digits, locale);
}

ShownPValue shownPValue(double pValue, const QLocale &locale)
{
    if (pValue < 0.00005)
        return {QStringLiteral("< ") + NumberFormat::real(0.0001, {4, 0}, locale), true};
    // 0,05 at k decimals is 5·10^(k−2); 15 decimals are all a double's digits.
    int decimals = 4;
    qint64 five = 500;
    while (decimals < 15 && NumberFormat::scaledRound(pValue, decimals) == five) {
        ++decimals;
        five *= 10;
    }
    return {NumberFormat::real(pValue, {decimals, 0}, locale),
            NumberFormat::scaledRound(pValue, decimals) < five};
}

std::optional<Result> test(const SumDistribution &distribution, std::span<const qint64> counts)
{
    const qint64 throws = std::accumulate(counts.begin(), counts.end(), qint64(0));
    if (throws == 0)
        return std::nullopt;
    Result result{0, 0, 1, pool(distribution, counts), 0, 0};
    if (result.classes.size() < 2)
        return std::nullopt;
    // Σ (O − E)² / E with E = N·W / 6ⁿ is Σ (O·6ⁿ − N·W)² / W over N·6ⁿ: whole numbers up to
    // the division. The fractions add up exactly while their common denominator fits 128 bits.
    const qint64 outcomes = distribution.outcomes();
    Int128 numerator = 0;
    Int128 denominator = 1;
    bool exact = true;
    long double approximate = 0;
    for (const Class &c : result.classes) {
        const Int128 ways = wayCount(distribution, c);
        const Int128 difference = Int128(c.observed) * outcomes - Int128(throws) * ways;
        const Int128 square = difference * difference;
        approximate += static_cast<long double>(square) / static_cast<long double>(ways);
        if (!exact)
            continue;
        const Int128 g = gcd128(denominator, ways);
        Int128 left = 0;
        Int128 right = 0;
        exact = !__builtin_mul_overflow(numerator, ways / g, &left)
                && !__builtin_mul_overflow(square, denominator / g, &right)
                && !__builtin_add_overflow(left, right, &numerator)
                && !__builtin_mul_overflow(denominator, ways / g, &denominator);
    }
    Int128 scale = 0;
    if (exact && !__builtin_mul_overflow(denominator, Int128(throws) * outcomes, &scale)) {
        const Int128 g = gcd128(numerator, scale);
        result.statisticNumerator = numerator / g;
        result.statisticDenominator = scale / g;
        result.statistic = static_cast<double>(static_cast<long double>(result.statisticNumerator)
                                               / static_cast<long double>(result.statisticDenominator));
    } else {
        result.statistic = static_cast<double>(
            approximate / (static_cast<long double>(throws) * static_cast<long double>(outcomes)));
    }
    result.degreesOfFreedom = static_cast<int>(result.classes.size()) - 1;
    const boost::math::chi_squared_distribution<double> chi(result.degreesOfFreedom);
    result.pValue = boost::math::cdf(boost::math::complement(chi, result.statistic));
    return result;
}

} // namespace ChiSquare
