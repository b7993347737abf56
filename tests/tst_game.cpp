// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "fakes.h"
#include "history_text.h"
#include "move.h"
#include "random_source.h"
#include "setup.h"

#include <QSignalSpy>
#include <QTest>

#include <array>
#include <vector>

class TestGame : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void dieValueFollowsTheTieRule_data();
    void dieValueFollowsTheTieRule();
    void zeroDrawIsDrawnAgain();
    void historyLinesHaveTheirFormat_data();
    void historyLinesHaveTheirFormat();
    void moveCountsEveryThrowOnce();
    void linesFollowWhateverTheHistoryHolds_data();
    void linesFollowWhateverTheHistoryHolds();
    void zeroThrowsChangeNothing();
    void countLimitEndsTheMoveBeforeTheThrow();
    void parseAnzahl_data();
    void parseAnzahl();
    void parseWurfzahl_data();
    void parseWurfzahl();
    void setAnzahlKeepsTheRangeInStep();
    void generatorIsUniform();
    void reseedingTwiceGivesDifferentSequences();
    void throwRecordFollowsTheHistory_data();
    void throwRecordFollowsTheHistory();

private:
    static QString historyAfterMove(int dice, std::initializer_list<int> values, qint32 throws);
};

void TestGame::init()
{
    Austausch::reset();
    Setup::setDefaults();
    history().clear();
}

void TestGame::dieValueFollowsTheTieRule_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("value");
    QTest::newRow("smallest draw") << 0x1p-24f << 1;
    QTest::newRow("1/12: x = 1 exactly") << 1.0f / 12.0f << 1;
    QTest::newRow("just above 1/6") << 1.0f / 6.0f << 2;
    QTest::newRow("0.25: x = 2") << 0.25f << 2;
    QTest::newRow("just above 2/6") << 1.0f / 3.0f << 3;
    QTest::newRow("0.5: x = 3.5 goes to even 4") << 0.5f << 4;
    QTest::newRow("just above 4/6") << 2.0f / 3.0f << 5;
    QTest::newRow("0.75: x = 5") << 0.75f << 5;
    QTest::newRow("just below 5/6") << 5.0f / 6.0f << 5;
    QTest::newRow("just above 5/6") << 0.8333334f << 6;
    QTest::newRow("largest draw") << 1.0f - 0x1p-24f << 6;
}

void TestGame::dieValueFollowsTheTieRule()
{
    // A wrong rounding rule would shift the odds of two faces.
    QFETCH(float, r);
    QFETCH(int, value);
    QCOMPARE(dieValue(r), value);
}

void TestGame::zeroDrawIsDrawnAgain()
{
    // A draw of 0 must not become a die value 0 (and with one die the sum 0, which has no count).
    ScriptedRandom random;
    random.draws = {0.0f, 0.0f, 0.5f};
    performMove(random, history());
    QCOMPARE(history().text(), QStringLiteral("4"));
    QCOMPARE(Austausch::Haeufigkeit[4], 1);
    QVERIFY(!random.exhausted);
}

QString TestGame::historyAfterMove(int dice, std::initializer_list<int> values, qint32 throws)
{
    Setup::setAnzahl(static_cast<qint16>(dice));
    Austausch::Wurfzahl = throws;
    ScriptedRandom random;
    random.pushValues(values);
    performMove(random, history());
    return history().text();
}

void TestGame::historyLinesHaveTheirFormat_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one die: a single digit") << 1 << QStringLiteral("3\r\n6");
    QTest::newRow("seven dice: 13 characters") << 7 << QStringLiteral("3 6 1 1 2 5 4\r\n6 6 6 6 6 6 6");
}

void TestGame::historyLinesHaveTheirFormat()
{
    // The export and the history window rely on one line per throw, single blanks, no padding.
    QFETCH(int, dice);
    QFETCH(QString, expected);
    if (dice == 1)
        QCOMPARE(historyAfterMove(1, {3, 6}, 2), expected);
    else
        QCOMPARE(historyAfterMove(7, {3, 6, 1, 1, 2, 5, 4, 6, 6, 6, 6, 6, 6, 6}, 2), expected);
}

void TestGame::moveCountsEveryThrowOnce()
{
    // The total of the counts must equal the number of history lines, and the faces left in view
    // must be those of the move's last throw.
    Setup::setAnzahl(3);
    Austausch::Wurfzahl = 3;
    ScriptedRandom random;
    random.pushValues({1, 2, 3, 6, 6, 6, 2, 5, 1});
    const MoveResult result = performMove(random, history());

    QCOMPARE(random.reseeds, 1);
    QCOMPARE(result.throwsDone, 3);
    QCOMPARE(result.dice, 3);
    QCOMPARE(result.lastFaces[0], 2);
    QCOMPARE(result.lastFaces[1], 5);
    QCOMPARE(result.lastFaces[2], 1);
    QCOMPARE(history().text(), QStringLiteral("1 2 3\r\n6 6 6\r\n2 5 1"));
    QCOMPARE(Austausch::Haeufigkeit[6], 1);
    QCOMPARE(Austausch::Haeufigkeit[8], 1);
    QCOMPARE(Austausch::Haeufigkeit[18], 1);
    QCOMPARE(Austausch::totalCount(), 3);
    for (int s = 1; s <= Austausch::HoechsteSumme; ++s) {
        if (s < Austausch::MinSumme || s > Austausch::MaxSumme)
            QCOMPARE(Austausch::Haeufigkeit[s], 0);
    }
}

void TestGame::linesFollowWhateverTheHistoryHolds_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty: no line break before the first line") << QString() << QStringLiteral("4\r\n2");
    QTest::newRow("earlier throws") << QStringLiteral("1") << QStringLiteral("1\r\n4\r\n2");
    QTest::newRow("user text without a line break")
        << QStringLiteral("Notiz") << QStringLiteral("Notiz\r\n4\r\n2");
    QTest::newRow("user text ending in a line break")
        << QStringLiteral("Notiz\r\n") << QStringLiteral("Notiz\r\n\r\n4\r\n2");
}

void TestGame::linesFollowWhateverTheHistoryHolds()
{
    // New lines go after the end of the text as it is, user edits included.
    QFETCH(QString, before);
    QFETCH(QString, after);
    history().replace(before);
    QSignalSpy appended(&history(), &HistoryText::appended);
    QCOMPARE(historyAfterMove(1, {4, 2}, 2), after);
    QCOMPARE(appended.count(), 1);
    QCOMPARE(appended.first().first().value<qsizetype>(), before.size());
}

void TestGame::zeroThrowsChangeNothing()
{
    // Wurfzahl 0 is a valid setting: a press must not throw anything.
    QCOMPARE(historyAfterMove(1, {}, 0), QString());
    QCOMPARE(Austausch::totalCount(), 0);
}

void TestGame::countLimitEndsTheMoveBeforeTheThrow()
{
    // A 16-bit count cannot go past 32767: the throw is not made, and counts still match lines.
    Austausch::Haeufigkeit[4] = Austausch::HoechsteHaeufigkeit;
    Austausch::Wurfzahl = 5;
    ScriptedRandom random;
    random.pushValues({2, 4, 3, 3, 3});
    const MoveResult result = performMove(random, history());

    QVERIFY(result.limitReached);
    QCOMPARE(result.limitSum, 4);
    QCOMPARE(result.throwsDone, 1);
    QCOMPARE(result.lastFaces[0], 2);
    QCOMPARE(history().text(), QStringLiteral("2"));
    QCOMPARE(Austausch::Haeufigkeit[4], Austausch::HoechsteHaeufigkeit);
    QCOMPARE(Austausch::Haeufigkeit[2], 1);
    QCOMPARE(Austausch::Haeufigkeit[3], 0);
}

void TestGame::parseAnzahl_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("dice"); // 0: asked again

    for (const QString &locale : {QStringLiteral("de_DE"), QStringLiteral("en_US")}) {
        const bool german = locale == QLatin1String("de_DE");
        const auto decimal = [german](const char *number) {
            return german ? QString::fromLatin1(number).replace(u'.', u',') : QString::fromLatin1(number);
        };
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s %s", qPrintable(locale), name);
        };
        row("0") << locale << QStringLiteral("0") << 0;
        row("0.9") << locale << decimal("0.9") << 0;
        row("7.5") << locale << decimal("7.5") << 0;
        row("8") << locale << QStringLiteral("8") << 0;
        row("-1") << locale << QStringLiteral("-1") << 0;
        row("text") << locale << QStringLiteral("abc") << 0;
        row("empty (cancel)") << locale << QString() << 0;
        row("1") << locale << QStringLiteral("1") << 1;
        row("7") << locale << QStringLiteral("7") << 7;
        row("1.5 to even 2") << locale << decimal("1.5") << 2;
        row("2.5 to even 2") << locale << decimal("2.5") << 2;
        row("3.5 to even 4") << locale << decimal("3.5") << 4;
        row("6.5 to even 6") << locale << decimal("6.5") << 6;
        row("2.6 to nearest 3") << locale << decimal("2.6") << 3;
        row("blanks around") << locale << QStringLiteral(" 5 ") << 5;
    }
}

void TestGame::parseAnzahl()
{
    // An entry outside 1 … 7 or not a number must be asked again; halves round to even.
    QFETCH(QString, locale);
    QFETCH(QString, entry);
    QFETCH(int, dice);
    const auto parsed = Setup::parseAnzahl(entry, QLocale(locale));
    QCOMPARE(parsed.value_or(0), dice);
}

void TestGame::parseWurfzahl_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<qint64>("throws"); // -1: asked again

    for (const QString &locale : {QStringLiteral("de_DE"), QStringLiteral("en_US")}) {
        const bool german = locale == QLatin1String("de_DE");
        const QString comma = german ? QStringLiteral(",") : QStringLiteral(".");
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s %s", qPrintable(locale), name);
        };
        row("0 is valid") << locale << QStringLiteral("0") << qint64(0);
        row("32768 above 16 bits") << locale << QStringLiteral("32768") << qint64(32768);
        row("-1") << locale << QStringLiteral("-1") << qint64(-1);
        row("largest") << locale << QStringLiteral("2147483647") << qint64(2147483647);
        row("beyond 32 bits") << locale << QStringLiteral("2147483648") << qint64(-1);
        row("half to even") << locale << (QStringLiteral("2") + comma + QStringLiteral("5"))
                            << qint64(2);
        row("exponent") << locale << QStringLiteral("1e3") << qint64(1000);
        row("text") << locale << QStringLiteral("viele") << qint64(-1);
        row("empty (cancel)") << locale << QString() << qint64(-1);
        row("NaN") << locale << QStringLiteral("nan") << qint64(-1);
        row("infinity") << locale << QStringLiteral("inf") << qint64(-1);
    }
}

void TestGame::parseWurfzahl()
{
    // Throws per move take 0 … 2147483647 and nothing else.
    QFETCH(QString, locale);
    QFETCH(QString, entry);
    QFETCH(qint64, throws);
    const auto parsed = Setup::parseWurfzahl(entry, QLocale(locale));
    QCOMPARE(parsed ? qint64(*parsed) : qint64(-1), throws);
}

void TestGame::setAnzahlKeepsTheRangeInStep()
{
    // MinSumme and MaxSumme must always follow the number of dice.
    Setup::setAnzahl(7);
    QCOMPARE(Austausch::MinSumme, 7);
    QCOMPARE(Austausch::MaxSumme, 42);
    Setup::setAnzahl(2);
    QCOMPARE(Austausch::MinSumme, 2);
    QCOMPARE(Austausch::MaxSumme, 12);
}

void TestGame::generatorIsUniform()
{
    // A biased generator or value mapping would teach the wrong probabilities.
    ClockSeededRandom random;
    random.seedWith(20261208);
    std::array<int, 7> counts{};
    constexpr int Draws = 600000;
    for (int i = 0; i < Draws; i += 6) {
        for (const float r : random.nextDraws(6)) {
            QVERIFY(r >= 0.0f && r < 1.0f);
            ++counts[static_cast<std::size_t>(dieValue(r))];
        }
    }
    const double expected = Draws / 6.0;
    double chiSquare = 0;
    for (int v = 1; v <= 6; ++v)
        chiSquare += (counts[v] - expected) * (counts[v] - expected) / expected;
    // 20.52 is the 0.999 quantile of chi-square with five degrees of freedom.
    QVERIFY2(chiSquare < 20.52, qPrintable(QString::number(chiSquare)));
}

void TestGame::reseedingTwiceGivesDifferentSequences()
{
    // Two moves within one clock tick must not repeat each other's throws.
    ClockSeededRandom random;
    random.reseed();
    const auto draws = random.nextDraws(4);
    const std::vector<float> first(draws.begin(), draws.end());
    random.reseed();
    const auto again = random.nextDraws(4);
    QVERIFY(!std::equal(first.begin(), first.end(), again.begin()));
}

void TestGame::throwRecordFollowsTheHistory_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<qint32>("throws");
    QTest::addColumn<QList<int>>("values"); // drawn anew for each of the two moves
    QTest::addColumn<int>("fullSum");       // its count stands at the limit; 0: none

    QTest::newRow("one die") << 1 << 3 << QList<int>{3, 6, 1} << 0;
    QTest::newRow("seven dice")
        << 7 << 2 << QList<int>{3, 6, 1, 1, 2, 5, 4, 6, 6, 6, 6, 6, 6, 6} << 0;
    QTest::newRow("the throw refused at the count limit")
        << 1 << 2147483647 << QList<int>{2, 4} << 4;
}

void TestGame::throwRecordFollowsTheHistory()
{
    // Whatever reads the order of the throws must see exactly the throws that were counted, and
    // two billion throws asked for must not reserve room for two billion.
    QFETCH(int, dice);
    QFETCH(qint32, throws);
    QFETCH(QList<int>, values);
    QFETCH(int, fullSum);
    Setup::setAnzahl(static_cast<qint16>(dice));
    Austausch::Wurfzahl = throws;
    if (fullSum != 0)
        Austausch::Haeufigkeit[fullSum] = Austausch::HoechsteHaeufigkeit;
    for (int move = 0; move < 2; ++move) {
        ScriptedRandom random;
        for (const int value : values)
            random.pushValue(value);
        performMove(random, history());
    }

    QList<int> sums;
    for (const QString &line : history().text().split(QStringLiteral("\r\n"))) {
        int sum = 0;
        for (const QChar c : line)
            sum += c.digitValue() > 0 ? c.digitValue() : 0;
        sums.append(sum);
    }
    const QList<int> record(Austausch::Wurfsummen.cbegin(), Austausch::Wurfsummen.cend());
    QCOMPARE(record, sums);
    const auto reachable = static_cast<std::size_t>(Austausch::MaxSumme - Austausch::MinSumme + 1);
    QVERIFY(Austausch::Wurfsummen.capacity() <= reachable * Austausch::HoechsteHaeufigkeit);
}

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
