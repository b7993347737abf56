// SPDX-License-Identifier: GPL-3.0-or-later
#include "binomial_test.h"

#include <boost/math/distributions/binomial.hpp>

#include <algorithm>

namespace BinomialTest {

namespace {

boost::math::binomial_distribution<double> distribution(qint64 trials, double p)
{
    return boost::math::binomial_distribution<double>(static_cast<double>(trials), p);
}

// The first k in [first, last] for which `holds` is true, `holds` false up to some k and true
// from there on; last + 1 when it never holds.
template <class Holds>
qint64 firstWhere(qint64 first, qint64 last, Holds holds)
{
    qint64 low = first;
    qint64 high = last + 1;
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (holds(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

} // namespace

double upperTail(qint64 trials, double p, qint64 k)
{
    if (k <= 0)
        return 1;
    if (k > trials)
        return 0;
    return cdf(complement(distribution(trials, p), static_cast<double>(k - 1)));
}

double lowerTail(qint64 trials, double p, qint64 k)
{
    if (k < 0)
        return 0;
    if (k >= trials)
        return 1;
    return cdf(distribution(trials, p), static_cast<double>(k));
}

Region region(qint64 trials, double p, double alpha, Seite seite)
{
    Q_ASSERT(trials >= 1 && p > 0 && p < 1);
    Region r;
    r.trials = trials;
    r.upper = trials + 1;
    const double tail = seite == Seite::Beide ? alpha / 2 : alpha;
    // Both tails are monotonic in k, so the bounds are found by bisection: some twenty
    // evaluations even for millions of dice.
    if (seite != Seite::Links)
        r.upper = firstWhere(0, trials + 1,
                             [&](qint64 k) { return upperTail(trials, p, k) <= tail; });
    if (seite != Seite::Rechts)
        r.lower = firstWhere(-1, trials,
                             [&](qint64 k) { return lowerTail(trials, p, k) > tail; })
            - 1;
    r.level = (r.hasLower() ? lowerTail(trials, p, r.lower) : 0)
        + (r.hasUpper() ? upperTail(trials, p, r.upper) : 0);
    return r;
}

double secondKindError(const Region &region, double p1)
{
    // P(lower < X < upper) = P(X ≤ upper − 1) − P(X ≤ lower).
    const double kept = lowerTail(region.trials, p1, region.upper - 1)
        - lowerTail(region.trials, p1, region.lower);
    return std::clamp(kept, 0.0, 1.0);
}

} // namespace BinomialTest
