// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "history_text.h"
#include "move.h"
#include "random_source.h"
#include "setup.h"
#include "zufall.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

using Weights = std::array<int, 6>;
Q_DECLARE_METATYPE(Weights)

class TestDice : public QObject
{
    Q_OBJECT

private slots:
    void sameSeedGivesSameThrows_data();
    void sameSeedGivesSameThrows();
    void facesComeUpByTheirWeights_data();
    void facesComeUpByTheirWeights();
    void sumChancesAreExact();
    void readmeThrowsAgain();
};

namespace {

// The game values the moves of these tests write into.
Austausch &state()
{
    static Austausch values;
    return values;
}

// "Neu" (restart), then one move per entry of `throwsPerMove`; the history they wrote.
QString game(RandomSource &random, const DiceWeights &weights, int dice,
             const QList<int> &throwsPerMove)
{
    state().reset();
    Setup::setDefaults(state());
    Setup::setAnzahl(state(), static_cast<qint16>(dice));
    HistoryText history;
    random.restart();
    for (int throws : throwsPerMove) {
        state().Wurfzahl = throws;
        performMove(state(), random, history, weights);
    }
    return history.text();

}

} // namespace

void TestDice::sameSeedGivesSameThrows_data()
{
    QTest::addColumn<Weights>("weights");
    QTest::addColumn<QString>("firstThrows");
    // mt19937_64 seeded with 4711 starts 0xCE4D12D6CB8CA3C2, 0x15CBB1127D7A9EDA, … cut into the
    // 24-bit k = 0xCE4D12, 0xD6CB8C, 0xA3C215, 0xCBB112, 0x7D7A9E, 0xDAA33D: fair faces
    // floor(6k / 2^24) + 1; loaded ones a six from k >= 2^23, a five from 4 × 2^24 / 10.
    QTest::newRow("fair") << Weights{1, 1, 1, 1, 1, 1} << u"5 6 4\r\n5 3 6"_s;
    QTest::newRow("loaded 1, 1, 1, 1, 1, 5") << Weights{1, 1, 1, 1, 1, 5} << u"6 6 6\r\n6 5 6"_s;
}

void TestDice::sameSeedGivesSameThrows()
{
    // A worksheet's numbers must come out again: in the next game, on another computer, and no
    // matter where the moves begin, since a seeded game never re-seeds from the clock.
    QFETCH(Weights, weights);
    QFETCH(QString, firstThrows);
    const DiceWeights dice(weights);
    ClockSeededRandom pupil;
    pupil.setSeed(4711);
    const QString first = game(pupil, dice, 3, {2, 5, 40});
    QCOMPARE(first.left(firstThrows.size()), firstThrows);
    QCOMPARE(game(pupil, dice, 3, {2, 5, 40}), first);

    ClockSeededRandom otherPupil;
    otherPupil.setSeed(4711);
    QCOMPARE(game(otherPupil, dice, 3, {47}), first);

    // Without the seed the clock is back.
    otherPupil.setSeed(std::nullopt);
    QVERIFY(game(otherPupil, dice, 3, {47}) != first);
}

void TestDice::facesComeUpByTheirWeights_data()
{
    QTest::addColumn<Weights>("weights");
    QTest::newRow("1, 1, 1, 1, 1, 5: a six half the time") << Weights{1, 1, 1, 1, 1, 5};
    QTest::newRow("no one") << Weights{0, 1, 1, 1, 1, 1};
    QTest::newRow("rare faces beside a heavy one") << Weights{100, 1, 1, 1, 1, 1};
}

void TestDice::facesComeUpByTheirWeights()
{
    // Loaded dice that showed a face of weight 0, or missed its odds, would teach the class
    // nothing about the test that should find them.
    QFETCH(Weights, weights);
    const DiceWeights dice(weights);
    ClockSeededRandom random;
    random.setSeed(20261208);
    constexpr int Throws = 30000;
    game(random, dice, 1, {Throws});
    double total = 0;
    for (int w : weights)
        total += w;
    for (int face = 1; face <= 6; ++face) {
        // One die: its sum is its face. Five standard deviations of the binomial count, and
        // exactly nothing for a weight of 0.
        const double p = weights[static_cast<std::size_t>(face - 1)] / total;
        const double bound = 5 * std::sqrt(Throws * p * (1 - p));
        const int count = state().Haeufigkeit[face];
        QVERIFY2(std::abs(count - Throws * p) <= bound,
                 qPrintable(u"face %1: %2 times"_s.arg(face).arg(count)));
    }
}

void TestDice::sumChancesAreExact()
{
    // The column beside the fair one must show what the loaded dice do, also where the 599^7
    // outcomes of seven dice do not fit into 64 bits.
    const SumChances seven = sumChances(DiceWeights({100, 99, 100, 100, 100, 100}), 7);
    Int128 all = 0;
    for (Int128 w : seven.ways)
        all += w;
    const auto power = [](Int128 base) {
        Int128 p = 1;
        for (int i = 0; i < 7; ++i)
            p *= base;
        return p;
    };
    QVERIFY(seven.outcomes == power(599));
    QVERIFY(seven.ways[7] == power(100));
    QVERIFY(all == seven.outcomes);
    // 1 + 6 and 6 + 1 weigh 5 each, the other four pairs 1: 14 of 10².
    const SumChances two = sumChances(DiceWeights({1, 1, 1, 1, 1, 5}), 2);
    QVERIFY(two.ways[7] == 14 && two.outcomes == 100);
}

void TestDice::readmeThrowsAgain()
{
    // The README tells how to throw a seeded game again in another language; its worked example
    // must be what the program throws.
    QFile readme(QFINDTESTDATA("../README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const QRegularExpression example(
        u"first ten throws of start value 4711 with 2 dice[^`]*```text\\n([^`]*)```"_s);
    const QRegularExpressionMatch match = example.match(text);
    QVERIFY2(match.hasMatch(), "no worked example in the README");
    const QStringList lines = match.captured(1).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 10);

    ClockSeededRandom random;
    random.setSeed(4711);
    QCOMPARE(game(random, DiceWeights(), 2, {10}), lines.join(u"\r\n"_s));
}

QTEST_GUILESS_MAIN(TestDice)
#include "tst_dice.moc"
