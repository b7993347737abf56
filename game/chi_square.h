// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "distribution.h"
#include "number_format.h"

#include <QString>

#include <QtGlobal>

#include <optional>
#include <span>
#include <vector>

// Pearson's χ² test of observed sum counts against fair dice.
namespace ChiSquare {

// Neighbouring sums pooled so that each class expects enough throws for the test to hold.
struct Class
{
    int firstSum;
    int lastSum;
    qint64 observed;
};

struct Result
{
    double statistic;
    int degreesOfFreedom;
    double pValue;
    std::vector<Class> classes;
    // The statistic as an exact fraction, where 128 bits hold it; a denominator of 0 where not.
    Int128 statisticNumerator = 0;
    Int128 statisticDenominator = 0;
};

// From the lowest sum upwards a class closes as soon as it expects at least 5 throws; a last
// class expecting fewer joins the one before it. `counts[i]` is the count of the sum
// distribution.minSum() + i, one entry per reachable sum.
std::vector<Class> pool(const SumDistribution &distribution, std::span<const qint64> counts);

// No result without throws or with fewer than two classes: there is nothing to compare then.
std::optional<Result> test(const SumDistribution &distribution, std::span<const qint64> counts);

// The statistic with two decimals, exact where the fraction is known.
QString statisticText(const Result &result, const QLocale &locale = NumberFormat::german());

// A p-value as shown, and the verdict that goes with exactly what is shown: four decimals, and
// where that reads as the 0,0500 of the 5 % level, as many more as it takes to see which side of
// it the value lies on.
struct ShownPValue
{
    QString text;
    bool significant; // below 5 %
};
ShownPValue shownPValue(double pValue, const QLocale &locale = NumberFormat::german());

} // namespace ChiSquare
