// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "distribution.h"
#include "history_text.h"
#include "move.h"
#include "random_source.h"
#include "setup.h"
#include "zufall.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

using Weights = std::array<int, 6>;
Q_DECLARE_METATYPE(Weights)
Q_DECLARE_METATYPE(Zufallseinstellung)

class TestDice : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sameSeedGivesSameThrows_data();
    void sameSeedGivesSameThrows();
    void facesComeUpByTheirWeights_data();
    void facesComeUpByTheirWeights();
    void sumProbabilitiesFollowTheWeights_data();
    void sumProbabilitiesFollowTheWeights();
    void tipNamesWhatIsNotSecret_data();
    void tipNamesWhatIsNotSecret();

private:
    // "Neu" (restart), then one move per entry of `throwsPerMove`; the history they wrote.
    static QString game(RandomSource &random, const DiceWeights &weights, int dice,
                        const QList<int> &throwsPerMove);
};

void TestDice::init()
{
    Austausch::reset();
    Setup::setDefaults();
    history().clear();
}

QString TestDice::game(RandomSource &random, const DiceWeights &weights, int dice,
                       const QList<int> &throwsPerMove)
{
    Austausch::reset();
    Setup::setAnzahl(static_cast<qint16>(dice));
    history().clear();
    random.restart();
    for (int throws : throwsPerMove) {
        Austausch::Wurfzahl = throws;
        performMove(random, history(), weights);
    }
    return history().text();
}

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

    // Another seed, or none, gives other throws.
    otherPupil.setSeed(4712);
    QVERIFY(game(otherPupil, dice, 3, {47}) != first);
    otherPupil.setSeed(std::nullopt);
    QVERIFY(game(otherPupil, dice, 3, {47}) != first);
}

void TestDice::facesComeUpByTheirWeights_data()
{
    QTest::addColumn<Weights>("weights");
    QTest::newRow("1, 1, 1, 1, 1, 5: a six half the time") << Weights{1, 1, 1, 1, 1, 5};
    QTest::newRow("no one") << Weights{0, 1, 1, 1, 1, 1};
    QTest::newRow("no three and no six") << Weights{1, 1, 0, 1, 1, 0};
    QTest::newRow("only sixes") << Weights{0, 0, 0, 0, 0, 1};
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
        const int count = Austausch::Haeufigkeit[face];
        QVERIFY2(std::abs(count - Throws * p) <= bound,
                 qPrintable(u"face %1: %2 times"_s.arg(face).arg(count)));
    }
}

void TestDice::sumProbabilitiesFollowTheWeights_data()
{
    QTest::addColumn<Weights>("weights");
    QTest::addColumn<int>("dice");
    QTest::addColumn<int>("sum");
    QTest::addColumn<double>("probability");
    QTest::newRow("equal weights are fair") << Weights{3, 3, 3, 3, 3, 3} << 7 << 24
                                            << SumDistribution(7).probability(24);
    QTest::newRow("two loaded sixes") << Weights{1, 1, 1, 1, 1, 5} << 2 << 12 << 0.25;
    QTest::newRow("seven: 1 + 6 and 6 + 1 five times as likely as the other four")
        << Weights{1, 1, 1, 1, 1, 5} << 2 << 7 << (5 + 5 + 4) / 100.0;
    QTest::newRow("only sixes") << Weights{0, 0, 0, 0, 0, 1} << 7 << 42 << 1.0;
    // 599^7 ways in all do not fit into 64 bits.
    QTest::newRow("seven ones of 100, 99, 100, 100, 100, 100")
        << Weights{100, 99, 100, 100, 100, 100} << 7 << 7 << std::pow(100.0 / 599.0, 7);
}

void TestDice::sumProbabilitiesFollowTheWeights()
{
    // The column beside the fair one must show what the loaded dice really do.
    QFETCH(Weights, weights);
    QFETCH(int, dice);
    QFETCH(int, sum);
    QFETCH(double, probability);
    const std::array<double, 43> p = sumProbabilities(DiceWeights(weights), dice);
    QCOMPARE(p[static_cast<std::size_t>(sum)], probability);
    double all = 0;
    for (double q : p)
        all += q;
    QCOMPARE(all, 1.0);
}

void TestDice::tipNamesWhatIsNotSecret_data()
{
    QTest::addColumn<Zufallseinstellung>("einstellung");
    QTest::addColumn<QString>("tip");
    QTest::newRow("fair dice from the clock") << Zufallseinstellung{} << QString();
    QTest::newRow("seed 0") << Zufallseinstellung{0, {1, 1, 1, 1, 1, 1}, false} << u"Startwert 0"_s;
    QTest::newRow("equal weights are not loaded")
        << Zufallseinstellung{{}, {2, 2, 2, 2, 2, 2}, false} << QString();
    QTest::newRow("seed and weights")
        << Zufallseinstellung{4711, {1, 1, 1, 1, 1, 5}, false}
        << u"Startwert 4711 · gezinkt 1, 1, 1, 1, 1, 5"_s;
    QTest::newRow("secret") << Zufallseinstellung{4711, {1, 1, 1, 1, 1, 5}, true} << QString();
}

void TestDice::tipNamesWhatIsNotSecret()
{
    // The detective game is over once the tooltip tells the class how the dice are loaded.
    QFETCH(Zufallseinstellung, einstellung);
    QFETCH(QString, tip);
    QCOMPARE(zufallTip(einstellung), tip);
}

QTEST_GUILESS_MAIN(TestDice)
#include "tst_dice.moc"
