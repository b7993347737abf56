// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The binomial test of the school curriculum: X, the number of successes in n trials, is
// B(n, p) under the hypothesis; the rejection region is read from the exact distribution.
namespace BinomialTest {

enum class Seite { Rechts, Links, Beide };

// Rejected are X ≤ lower and X ≥ upper; lower = −1 and upper = n + 1 stand for no region on
// that side. `level` is the actual level α*: the probability of the region under the hypothesis.
struct Region
{
    qint64 trials = 0;
    qint64 lower = -1;
    qint64 upper = 1;
    double level = 0;

    bool hasLower() const { return lower >= 0; }
    bool hasUpper() const { return upper <= trials; }
    bool rejects(qint64 x) const { return x <= lower || x >= upper; }
};

// The largest region whose probability under B(trials, p) is at most `alpha` (α / 2 on each
// side for a two-sided test). trials ≥ 1, 0 < p < 1.
Region region(qint64 trials, double p, double alpha, Seite seite);

// P(X ≥ k) and P(X ≤ k) under B(trials, p).
double upperTail(qint64 trials, double p, qint64 k);
double lowerTail(qint64 trials, double p, qint64 k);

// The probability that the test keeps the hypothesis although X is B(trials, p1): the error of
// the second kind.
double secondKindError(const Region &region, double p1);

} // namespace BinomialTest
