// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "distribution.h"

#include <QList>
#include <QPointF>
#include <QtGlobal>

#include <vector>

// How one value develops over the throws of the record: after k = 1 … N throws either the
// relative frequency of one sum or the mean of all sums so far. A chart needs a few thousand
// points, not N, so the values are reduced to buckets equally wide on a logarithmic k axis;
// each bucket keeps its smallest and its largest value (spikes stay visible) and the last
// bucket ends in the exact value after N throws.
//
// The buckets' bounds depend on k alone, never on N, so bringing the series up to date after a
// move only visits the new throws and gives exactly what a pass over the whole record gives.
class RunningSeries
{
public:
    enum class Groesse { RelativeHaeufigkeit, Mittelwert };

    // `bucketsPerDecade` of the logarithmic axis keep their smallest and largest values each.
    explicit RunningSeries(int bucketsPerDecade);


    Groesse groesse() const { return m_groesse; }
    int summe() const { return m_summe; }
    // Each starts the series afresh when it changes what is followed.
    void setGroesse(Groesse groesse);
    void setSumme(int summe);

    // Catches up with `record` (one sum a throw, oldest first). A record shorter than the part
    // already seen was cleared by New and is read again from its start.
    void update(const std::vector<quint8> &record);
    void clear();

    // Throws seen so far.
    qint64 throws() const { return m_throws; }
    // Points (k, value) in increasing k; the last one is (N, value after N throws).
    QList<QPointF> points() const;
    // Smallest and largest value of all points; both 0 without throws.
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }

private:
    struct Extremes
    {
        qint64 minK = 0;
        double minValue = 0;
        qint64 maxK = 0;
        double maxValue = 0;
    };

    void closeBucket();
    void advanceBound();
    void appendExtremes(QList<QPointF> &points, const Extremes &bucket) const;

    int m_bucketsPerDecade;
    Groesse m_groesse = Groesse::RelativeHaeufigkeit;
    int m_summe = 0;

    qint64 m_throws = 0;
    qint64 m_total = 0; // count of the sum, or sum of all sums, after m_throws throws
    double m_lastValue = 0;
    double m_minimum = 0;
    double m_maximum = 0;

    // The open bucket holds k from its start below m_nextBound; index of that bound.
    int m_boundIndex = 0;
    qint64 m_nextBound = 1;
    bool m_bucketOpen = false;
    Extremes m_open;
    QList<QPointF> m_closedPoints;
};

// Where the followed value stays for fair dice: after k throws within two standard deviations of
// one throw's value, σ₁, divided by √k, around the expected value, and never beyond what the
// value can be at all. The chart's band, its scale and what a screen reader says of the last
// value all come from here.
struct ExpectedRange
{
    double expected = 0;
    double sigmaOne = 0;
    double floor = 0;
    double ceiling = 1;

    // The range after k ≥ 1 throws.
    double low(qint64 k) const;
    double high(qint64 k) const;
    bool operator==(const ExpectedRange &) const = default;
};
// The relative frequency of `summe` (0 … 1) or the mean of the sums (n … 6n) for `distribution`.
ExpectedRange expectedRange(const SumDistribution &distribution, RunningSeries::Groesse groesse,
                            int summe);

// The range sampled at log-spaced k from 1 to `throws` (both included), at most `perDecade`
// points a decade.
struct ExpectationBand
{
    QList<QPointF> lower;
    QList<QPointF> upper;
};
ExpectationBand expectationBand(const ExpectedRange &range, qint64 throws, int perDecade = 60);
