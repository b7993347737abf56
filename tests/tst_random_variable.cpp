// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "binomial_test.h"
#include "random_variable.h"

#include <QTest>

#include <cmath>
#include <map>

using namespace RandomVariable;
using Seite = BinomialTest::Seite;

Q_DECLARE_METATYPE(Groesse)
Q_DECLARE_METATYPE(BinomialTest::Seite)

namespace {

// The value of the variable for one ordered outcome, straight from its definition.
int valueOf(Groesse groesse, const std::vector<int> &faces, int face)
{
    int sum = 0, largest = 1, smallest = 6, ofFace = 0, sixes = 0;
    for (int f : faces) {
        sum += f;
        largest = std::max(largest, f);
        smallest = std::min(smallest, f);
        ofFace += f == face;
        sixes += f == 6;
    }
    switch (groesse) {
    case Groesse::Augensumme: return sum;
    case Groesse::AnzahlAugenzahl: return ofFace;
    case Groesse::GroessteAugenzahl: return largest;
    case Groesse::KleinsteAugenzahl: return smallest;
    case Groesse::Pasch: return largest == smallest;
    case Groesse::MindestensEineSechs: return sixes > 0;
    case Groesse::KeineSechs: return sixes == 0;
    case Groesse::AugensummeGerade: return sum % 2 == 0;
    case Groesse::Differenz: return std::abs(faces[0] - faces[1]);
    }
    return -1;
}

// Every one of the 6ⁿ ordered outcomes, as faces and as the game records them.
template <class Visit>
void eachOutcome(int dice, Visit visit)
{
    std::vector<int> faces(static_cast<std::size_t>(dice), 1);
    for (;;) {
        quint32 packed = 0;
        for (int f : faces)
            packed += 1u << (3 * (f - 1));
        visit(faces, packed);
        int slot = 0;
        while (slot < dice && faces[static_cast<std::size_t>(slot)] == 6)
            faces[static_cast<std::size_t>(slot++)] = 1;
        if (slot == dice)
            return;
        ++faces[static_cast<std::size_t>(slot)];
    }
}

} // namespace

class TestRandomVariable : public QObject
{
    Q_OBJECT

private slots:
    void exactAndCounted_data();
    void exactAndCounted();
    void binomialRegion_data();
    void binomialRegion();
    void boostTailsExact();
};

void TestRandomVariable::exactAndCounted_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<Groesse>("groesse");
    QTest::addColumn<int>("face");
    for (int dice : {1, 2, 3, 7}) {
        for (Groesse g : offered(dice)) {
            for (int face : g == Groesse::AnzahlAugenzahl ? QList<int>{6, 2} : QList<int>{6}) {
                QTest::addRow("%d dice, %s", dice, qPrintable(name(g, face)))
                    << dice << g << face;
            }
        }
    }
}

void TestRandomVariable::exactAndCounted()
{
    // Theory and counts of every variable must agree with all 6ⁿ outcomes, each weighed by its
    // dice, and the counts must not depend on how the record arrived (two moves or one).
    QFETCH(int, dice);
    QFETCH(Groesse, groesse);
    QFETCH(int, face);
    const std::array<int, 6> loaded{1, 2, 1, 1, 3, 5};
    std::map<int, Int128> fair, weighted;
    std::vector<quint32> record;
    std::vector<qint64> sumCounts(static_cast<std::size_t>(5 * dice + 1));
    eachOutcome(dice, [&](const std::vector<int> &faces, quint32 packed) {
        const int value = valueOf(groesse, faces, face);
        fair[value] += 1;
        Int128 weight = 1;
        for (int f : faces)
            weight *= loaded[static_cast<std::size_t>(f - 1)];
        weighted[value] += weight;
        record.push_back(packed);
        int sum = 0;
        for (int f : faces)
            sum += f;
        ++sumCounts[static_cast<std::size_t>(sum - dice)];
    });

    const std::vector<int> shown = values(groesse, dice);
    const Chances exact = chances(groesse, dice, face);
    const Chances exactLoaded = chances(groesse, dice, face, DiceWeights(loaded));
    Tally tally;
    tally.update(std::span(record).first(record.size() / 3), dice);
    tally.update(record, dice);
    const std::vector<qint64> counted = counts(groesse, face, tally, sumCounts);
    QCOMPARE(shown.size(), fair.size());
    QCOMPARE(counted.size(), shown.size());
    Int128 total = 0;
    for (int w : loaded)
        total += w;
    QVERIFY(exact.outcomes == Int128(record.size()));
    Int128 weightedOutcomes = 1;
    for (int i = 0; i < dice; ++i)
        weightedOutcomes *= total;
    QVERIFY(exactLoaded.outcomes == weightedOutcomes);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        QVERIFY2(exact.ways[i] == fair[shown[i]], qPrintable(QString::number(shown[i])));
        QVERIFY2(exactLoaded.ways[i] == weighted[shown[i]], qPrintable(QString::number(shown[i])));
        QCOMPARE(Int128(counted[i]), fair[shown[i]]);
    }

    // New: a shorter record starts the counts afresh.
    tally.update(std::span(record).first(1), dice);
    QCOMPARE(tally.throws(), 1);
}

void TestRandomVariable::binomialRegion_data()
{
    // Computed independently with exact rational arithmetic.
    QTest::addColumn<qint64>("trials");
    QTest::addColumn<Seite>("seite");
    QTest::addColumn<qint64>("lower");
    QTest::addColumn<qint64>("upper");
    QTest::addColumn<double>("level");
    QTest::newRow("100, right") << qint64(100) << Seite::Rechts << qint64(-1) << qint64(24)
                                << 0.03786436865340884;
    QTest::newRow("100, left") << qint64(100) << Seite::Links << qint64(10) << qint64(101)
                               << 0.04269568414702451;
    QTest::newRow("100, both") << qint64(100) << Seite::Beide << qint64(9) << qint64(25)
                               << 0.04299579023912272;
    QTest::newRow("600, both") << qint64(600) << Seite::Beide << qint64(81) << qint64(119)
                               << 0.042479246451736764;
    QTest::newRow("12, both: no lower region") << qint64(12) << Seite::Beide << qint64(-1)
                                               << qint64(6) << 0.00792503950197435;
    QTest::newRow("7, left: no region at all") << qint64(7) << Seite::Links << qint64(-1)
                                               << qint64(8) << 0.0;
}

void TestRandomVariable::binomialRegion()
{
    // The region a class reads must be the largest one within 5 %, and α* its true size.
    QFETCH(qint64, trials);
    QFETCH(Seite, seite);
    QFETCH(qint64, lower);
    QFETCH(qint64, upper);
    QFETCH(double, level);
    const BinomialTest::Region r = BinomialTest::region(trials, 1.0 / 6, 0.05, seite);
    QCOMPARE(r.lower, lower);
    QCOMPARE(r.upper, upper);
    QVERIFY2(std::abs(r.level - level) <= 1e-12, qPrintable(QString::number(r.level, 'g', 17)));
    // Thirty dice hardly catch a die that shows a six every fourth time.
    const BinomialTest::Region thirty = BinomialTest::region(30, 1.0 / 6, 0.05, Seite::Rechts);
    QVERIFY(std::abs(BinomialTest::secondKindError(thirty, 0.25) - 0.8034066369495109) < 1e-12);
}

void TestRandomVariable::boostTailsExact()
{
    // Boost's tails against Σ C(n, j) 5^(n−j) / 6ⁿ summed in integers (6⁴⁰ fits 128 bits).
    for (const qint64 n : {1, 7, 23, 40}) {
        std::vector<Int128> ways(static_cast<std::size_t>(n + 1));
        Int128 binomial = 1;
        for (qint64 j = 0; j <= n; ++j) {
            Int128 w = binomial;
            for (qint64 i = 0; i < n - j; ++i)
                w *= 5;
            ways[static_cast<std::size_t>(j)] = w;
            binomial = binomial * (n - j) / (j + 1);
        }
        Int128 outcomes = 1;
        for (qint64 i = 0; i < n; ++i)
            outcomes *= 6;
        Int128 below = 0;
        for (qint64 k = 0; k <= n; ++k) {
            below += ways[static_cast<std::size_t>(k)];
            const double exactLower = static_cast<double>(below) / static_cast<double>(outcomes);
            const double exactUpper =
                static_cast<double>(outcomes - below + ways[static_cast<std::size_t>(k)])
                / static_cast<double>(outcomes);
            const double lower = BinomialTest::lowerTail(n, 1.0 / 6, k);
            const double upper = BinomialTest::upperTail(n, 1.0 / 6, k);
            QVERIFY2(std::abs(lower - exactLower) <= 1e-12 * exactLower,
                     qPrintable(QStringLiteral("n %1, X ≤ %2").arg(n).arg(k)));
            QVERIFY2(std::abs(upper - exactUpper) <= 1e-12 * exactUpper,
                     qPrintable(QStringLiteral("n %1, X ≥ %2").arg(n).arg(k)));
        }
    }
}

QTEST_APPLESS_MAIN(TestRandomVariable)
#include "tst_random_variable.moc"
