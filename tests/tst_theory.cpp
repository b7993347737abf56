// SPDX-License-Identifier: GPL-3.0-or-later
#include "chi_square.h"
#include "distribution.h"

#include <QTest>

#include <cmath>
#include <numeric>

class TestTheory : public QObject
{
    Q_OBJECT

private slots:
    void distribution_data();
    void distribution();
    void chiSquare_data();
    void chiSquare();
};

void TestTheory::distribution_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<qint64>("outcomes");
    QTest::addColumn<int>("peak"); // the lower of the most likely sums
    QTest::addColumn<qint64>("peakWays");
    QTest::newRow("1 die") << 1 << qint64(6) << 1 << qint64(1);
    QTest::newRow("2 dice") << 2 << qint64(36) << 7 << qint64(6);
    QTest::newRow("3 dice") << 3 << qint64(216) << 10 << qint64(27);
    QTest::newRow("7 dice") << 7 << qint64(279936) << 24 << qint64(24017);
}

void TestTheory::distribution()
{
    // Guards ways that are lost, double-counted or shifted when dice are added.
    QFETCH(int, dice);
    QFETCH(qint64, outcomes);
    QFETCH(int, peak);
    QFETCH(qint64, peakWays);
    const SumDistribution d(dice);
    QCOMPARE(d.outcomes(), outcomes);
    QCOMPARE(d.mostLikelySum(), peak);
    QCOMPARE(d.ways(peak), peakWays);
    // The distribution is symmetric about 3.5 n, so an odd number of dice has two peaks.
    QCOMPARE(d.ways(7 * dice - peak), peakWays);
    qint64 total = 0;
    double mean = 0;
    for (int s = 1; s <= 42; ++s) {
        total += d.ways(s);
        mean += s * d.probability(s);
        QCOMPARE(d.ways(s), d.ways(7 * dice - s));
    }
    QCOMPARE(total, outcomes);
    QCOMPARE(mean, 3.5 * dice);
}

void TestTheory::chiSquare_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<qint64>>("counts");
    QTest::addColumn<QList<int>>("lastSums"); // the highest sum of every class
    QTest::addColumn<bool>("hasResult");
    QTest::addColumn<double>("statistic");
    QTest::addColumn<double>("pValue");
    QTest::newRow("one die, reference counts")
        << 1 << QList<qint64>{5, 8, 9, 8, 10, 20} << QList<int>{1, 2, 3, 4, 5, 6} << true << 13.4
        << 0.0199;
    QTest::newRow("one die, 30 throws: expecting exactly 5 closes a class")
        << 1 << QList<qint64>{5, 5, 5, 5, 5, 5} << QList<int>{1, 2, 3, 4, 5, 6} << true << 0.0
        << 1.0;
    // {11, 12} expects 3 and joins {9, 10}.
    QTest::newRow("two dice, 36 throws: the last class joins the one before")
        << 2 << QList<qint64>{1, 2, 3, 4, 5, 7, 4, 4, 3, 2, 1} << QList<int>{4, 6, 7, 8, 12} << true
        << 1.0 / 6 + 1.0 / 5 << 0.9851;
    QTest::newRow("one die, 9 throws: one class, no test")
        << 1 << QList<qint64>{2, 1, 2, 1, 2, 1} << QList<int>{6} << false << 0.0 << 0.0;
    QTest::newRow("no throws") << 2 << QList<qint64>(11, 0) << QList<int>{12} << false << 0.0 << 0.0;
}

void TestTheory::chiSquare()
{
    // Guards wrong pooling of sparse sums, a wrong statistic or p-value, and a test without data.
    QFETCH(int, dice);
    QFETCH(QList<qint64>, counts);
    QFETCH(QList<int>, lastSums);
    QFETCH(bool, hasResult);
    QFETCH(double, statistic);
    QFETCH(double, pValue);
    const SumDistribution d(dice);
    const std::span<const qint64> observed(counts.constData(), static_cast<std::size_t>(counts.size()));

    const std::vector<ChiSquare::Class> classes = ChiSquare::pool(d, observed);
    QList<int> lasts;
    int next = d.minSum();
    qint64 pooled = 0;
    for (const ChiSquare::Class &c : classes) {
        QCOMPARE(c.firstSum, next);
        next = c.lastSum + 1;
        lasts.append(c.lastSum);
        pooled += c.observed;
    }
    QCOMPARE(lasts, lastSums);
    QCOMPARE(pooled, std::accumulate(counts.begin(), counts.end(), qint64(0)));

    const std::optional<ChiSquare::Result> result = ChiSquare::test(d, observed);
    QCOMPARE(result.has_value(), hasResult);
    if (!result)
        return;
    QCOMPARE(result->degreesOfFreedom, lastSums.size() - 1);
    QVERIFY2(std::abs(result->statistic - statistic) < 1e-9, qPrintable(QString::number(result->statistic)));
    QVERIFY2(std::abs(result->pValue - pValue) < 5e-5, qPrintable(QString::number(result->pValue)));
}

QTEST_MAIN(TestTheory)
#include "tst_theory.moc"
