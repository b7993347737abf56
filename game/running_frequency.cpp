// SPDX-License-Identifier: GPL-3.0-or-later
#include "running_frequency.h"

#include <algorithm>
#include <cmath>

namespace {

// The j-th bucket bound, ⌈10^(j / perDecade)⌉. Only these bounds decide where a bucket ends, so
// the rounding of pow() can move a bound but never makes two passes disagree.
qint64 bound(int j, int perDecade)
{
    const double exact = std::pow(10.0, static_cast<double>(j) / perDecade);
    // An exact power of ten must stay itself rather than become the next integer.
    return static_cast<qint64>(std::ceil(exact - 1e-9));
}

} // namespace

RunningSeries::RunningSeries(int bucketsPerDecade)
    : m_bucketsPerDecade(std::max(1, bucketsPerDecade))
{
}

void RunningSeries::setGroesse(Groesse groesse)
{
    if (groesse == m_groesse)
        return;
    m_groesse = groesse;
    clear();
}

void RunningSeries::setSumme(int summe)
{
    if (summe == m_summe)
        return;
    m_summe = summe;
    if (m_groesse == Groesse::RelativeHaeufigkeit)
        clear();
}

void RunningSeries::clear()
{
    m_throws = 0;
    m_total = 0;
    m_lastValue = 0;
    m_minimum = 0;
    m_maximum = 0;
    m_boundIndex = 0;
    m_nextBound = 1;
    m_bucketOpen = false;
    m_open = {};
    m_closedPoints.clear();
}

void RunningSeries::update(const std::vector<quint8> &record)
{
    const auto size = static_cast<qint64>(record.size());
    if (size < m_throws)
        clear();
    if (size == m_throws)
        return;

    const bool frequency = m_groesse == Groesse::RelativeHaeufigkeit;
    const auto summe = static_cast<quint8>(std::clamp(m_summe, 0, 255));
    const quint8 *sums = record.data();
    double lowest = m_throws == 0 ? 0 : m_minimum;
    double highest = m_throws == 0 ? 0 : m_maximum;
    for (qint64 k = m_throws + 1; k <= size; ++k) {
        const quint8 s = sums[k - 1];
        m_total += frequency ? (s == summe ? 1 : 0) : s;
        const double value = static_cast<double>(m_total) / static_cast<double>(k);
        if (k >= m_nextBound) {
            if (m_bucketOpen)
                closeBucket();
            m_open = {k, value, k, value};
            m_bucketOpen = true;
            advanceBound();
            if (k == 1)
                lowest = highest = value;
        } else {
            if (value < m_open.minValue) {
                m_open.minK = k;
                m_open.minValue = value;
            }
            if (value > m_open.maxValue) {
                m_open.maxK = k;
                m_open.maxValue = value;
            }
        }
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        m_lastValue = value;
    }
    m_throws = size;
    m_minimum = lowest;
    m_maximum = highest;
}

void RunningSeries::closeBucket()
{
    appendExtremes(m_closedPoints, m_open);
}

void RunningSeries::advanceBound()
{
    const qint64 start = m_open.minK;
    while (bound(m_boundIndex, m_bucketsPerDecade) <= start)
        ++m_boundIndex;
    m_nextBound = bound(m_boundIndex, m_bucketsPerDecade);
}

void RunningSeries::appendExtremes(QList<QPointF> &points, const Extremes &bucket) const
{
    const QPointF lowest(static_cast<double>(bucket.minK), bucket.minValue);
    const QPointF highest(static_cast<double>(bucket.maxK), bucket.maxValue);
    // In the order they were thrown, so the line runs through both as the values did.
    if (bucket.minK < bucket.maxK)
        points << lowest << highest;
    else if (bucket.maxK < bucket.minK)
        points << highest << lowest;
    else
        points << lowest;
}

QList<QPointF> RunningSeries::points() const
{
    QList<QPointF> points;
    points.reserve(m_closedPoints.size() + 3);
    points += m_closedPoints;
    if (m_bucketOpen) {
        appendExtremes(points, m_open);
        const auto last = static_cast<double>(m_throws);
        if (points.constLast().x() != last)
            points << QPointF(last, m_lastValue);
    }
    return points;
}

double ExpectedRange::low(qint64 k) const
{
    return std::max(expected - 2.0 * sigmaOne / std::sqrt(static_cast<double>(k)), floor);
}

double ExpectedRange::high(qint64 k) const
{
    return std::min(expected + 2.0 * sigmaOne / std::sqrt(static_cast<double>(k)), ceiling);
}

ExpectedRange expectedRange(const SumDistribution &distribution, RunningSeries::Groesse groesse,
                            int summe)
{
    ExpectedRange range;
    if (groesse == RunningSeries::Groesse::RelativeHaeufigkeit) {
        // One throw's value is 1 with probability p and 0 otherwise.
        range.expected = distribution.probability(summe);
        range.sigmaOne = std::sqrt(range.expected * (1 - range.expected));
    } else {
        range.expected = distribution.mean();
        range.sigmaOne = std::sqrt(distribution.variance());
        range.floor = distribution.minSum();
        range.ceiling = distribution.maxSum();
    }
    return range;
}

ExpectationBand expectationBand(const ExpectedRange &range, qint64 throws, int perDecade)
{
    ExpectationBand band;
    if (throws < 1)
        return band;
    perDecade = std::max(1, perDecade);
    const auto add = [&](qint64 k) {
        const auto x = static_cast<double>(k);
        band.lower << QPointF(x, range.low(k));
        band.upper << QPointF(x, range.high(k));
    };
    qint64 previous = 0;
    for (int j = 0;; ++j) {
        const qint64 k = bound(j, perDecade);
        if (k >= throws)
            break;
        if (k != previous)
            add(k);
        previous = k;
    }
    add(throws);
    return band;
}
