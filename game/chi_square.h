// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "distribution.h"

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
    double expected;
};

struct Result
{
    double statistic;
    int degreesOfFreedom;
    double pValue;
    std::vector<Class> classes;
};

// From the lowest sum upwards a class closes as soon as it expects at least 5 throws; a last
// class expecting fewer joins the one before it. `counts[i]` is the count of the sum
// distribution.minSum() + i, one entry per reachable sum.
std::vector<Class> pool(const SumDistribution &distribution, std::span<const qint64> counts);

// No result without throws or with fewer than two classes: there is nothing to compare then.
std::optional<Result> test(const SumDistribution &distribution, std::span<const qint64> counts);

} // namespace ChiSquare
