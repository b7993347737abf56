// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "chi_square.h"
#include "distribution.h"
#include "frequency_table.h"
#include "number_format.h"

#include <QTest>

#include <cmath>
#include <numeric>

using namespace Qt::StringLiterals;

class TestTheory : public QObject
{
    Q_OBJECT

private slots:
    void distribution_data();
    void distribution();
    void chiSquare_data();
    void chiSquare();
    void exactNumbers_data();
    void exactNumbers();
    void pValueAndVerdict_data();
    void pValueAndVerdict();
    void copiedTable_data();
    void copiedTable();
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

void TestTheory::exactNumbers_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    using namespace NumberFormat;
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    // 1.645 / 20.000 = 8,225 % exactly; the double below 0,08225 would round down.
    QTest::newRow("a tie rounds away from zero") << percent(1645, 20000, Percent) << u"8,23 %"_s;
    QTest::newRow("a negative tie too") << fraction(-5, 2, {0, 0}) << u"-3"_s;
    QTest::newRow("group separator and trailing zeros") << fraction(71000, 10, {3, 0})
                                                       << u"7.100,000"_s;
    // 1 / 6⁷ would read 0,00 %.
    QTest::newRow("small, three significant digits") << percent(1, 279936, Percent)
                                                     << u"0,000357 %"_s;
    QTest::newRow("the probability of 7 with seven dice") << fraction(1, 279936, Share)
                                                          << u"0,00000357"_s;
    QTest::newRow("rounding up to the next digit") << fraction(9996, 10000000, Share)
                                                   << u"0,00100"_s;
    QTest::newRow("zero stays plain") << fraction(0, 36, Share) << u"0,0000"_s;
    QTest::newRow("√1 / 8 = 0,125 exactly") << squareRoot(1, 8, {2, 0}) << u"0,13"_s;
    QTest::newRow("√(35/12)") << squareRoot(420, 12, {3, 0}) << u"1,708"_s;
    QTest::newRow("the system's locale when asked") << fraction(15000, 1, {1, 0}, english)
                                                    << u"15,000.0"_s;
}

void TestTheory::exactNumbers()
{
    // Guards ties rounded down from a double, small values shown as 0 and numbers that follow
    // the system's locale on screen.
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

void TestTheory::pValueAndVerdict_data()
{
    QTest::addColumn<double>("p");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("significant");
    QTest::newRow("plainly below") << 0.0123 << u"0,0123"_s << true;
    QTest::newRow("reads 0,0500 but lies below") << 0.0499996 << u"0,0499996"_s << true;
    QTest::newRow("reads 0,0500 but lies above") << 0.05000049 << u"0,0500005"_s << false;
    QTest::newRow("0,04995 rounds to 0,0500: more digits") << 0.04995 << u"0,04995"_s << true;
    QTest::newRow("tiny") << 0.00001 << u"< 0,0001"_s << true;
}

void TestTheory::pValueAndVerdict()
{
    // Two games showing the same p-value must not get opposite verdicts.
    QFETCH(double, p);
    QFETCH(QString, text);
    QFETCH(bool, significant);
    const ChiSquare::ShownPValue shown = ChiSquare::shownPValue(p);
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.significant, significant);
}

void TestTheory::copiedTable_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("row");
    // Two dice, 20.000 throws, the sum 4 at 1.645: the share ties at 0,08225; the expected
    // count 1.666,67 and the probability 3 / 36 as in the Auswertung table.
    QTest::newRow("German spreadsheet") << QLocale(QLocale::German, QLocale::Germany)
                                        << u"\n4\t1645\t0,0823\t0,0833\t1666,7\n"_s;
    QTest::newRow("English spreadsheet") << QLocale(QLocale::English, QLocale::UnitedStates)
                                         << u"\n4\t1645\t0.0823\t0.0833\t1666.7\n"_s;
}

void TestTheory::copiedTable()
{
    // The copied table must round as the window does, keep small values from becoming 0 and
    // follow the system's locale.
    QFETCH(QLocale, locale);
    QFETCH(QString, row);
    Austausch game;
    game.Anzahl = 2;
    game.MinSumme = 2;
    game.MaxSumme = 12;
    game.Haeufigkeit[4] = 1645;
    game.Haeufigkeit[7] = 18355;
    const QString table = frequencyTable(game, locale);
    QVERIFY2(table.startsWith(u"Augensumme\tabsolute Häufigkeit\t"_s), qPrintable(table));
    QVERIFY2(table.contains(row), qPrintable(table));
    // The probability of 2 is 1 / 36 = 0,0278; the share of 2, never thrown, is exactly 0.
    QVERIFY2(table.contains(u"\n2\t0\t0"_s + locale.decimalPoint() + u"0000\t0"_s
                            + locale.decimalPoint() + u"0278\t"_s),
             qPrintable(table));
}

QTEST_MAIN(TestTheory)
#include "tst_theory.moc"
