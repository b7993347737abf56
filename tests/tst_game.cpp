// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "distribution.h"
#include "game.h"
#include "history_text.h"
#include "move.h"
#include "random_source.h"
#include "setup.h"
#include "support/scripted_random.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <deque>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The history and the game values the moves of these tests write into, emptied before each
// test.
HistoryText &history()
{
    static HistoryText text;
    return text;
}

Austausch &state()
{
    static Austausch values;
    return values;
}


constexpr qint64 Largest = 2147483647;
// The entry is asked for again.
constexpr int Again = -1;

} // namespace

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
    void entriesReadAsTyped_data();
    void entriesReadAsTyped();
    void setAnzahlKeepsTheRangeInStep();
    void sumDistributionCountsEveryOutcome_data();
    void sumDistributionCountsEveryOutcome();
    void generatorIsUniform();
    void reseedingTwiceGivesDifferentSequences();
    void throwRecordFollowsTheHistory_data();
    void throwRecordFollowsTheHistory();
    void outOfMemoryStopsTheMoveInStep_data();
    void outOfMemoryStopsTheMoveInStep();
    void twoGamesShareNothing();

private:
    static QString historyAfterMove(int dice, const QList<int> &values, qint32 throws);
};

void TestGame::init()
{
    state().reset();
    Setup::setDefaults(state());
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
    performMove(state(), random, history());
    QCOMPARE(history().text(), QStringLiteral("4"));
    QCOMPARE(state().Haeufigkeit[4], 1);
    QVERIFY(!random.exhausted);
}

QString TestGame::historyAfterMove(int dice, const QList<int> &values, qint32 throws)
{
    Setup::setAnzahl(state(), static_cast<qint16>(dice));
    state().Wurfzahl = throws;
    ScriptedRandom random(values);
    performMove(state(), random, history());
    return history().text();
}

void TestGame::historyLinesHaveTheirFormat_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one die: a single digit") << 1 << QList<int>{3, 6} << u"3\r\n6"_s;
    QTest::newRow("seven dice: 13 characters")
        << 7 << QList<int>{3, 6, 1, 1, 2, 5, 4, 6, 6, 6, 6, 6, 6, 6}
        << u"3 6 1 1 2 5 4\r\n6 6 6 6 6 6 6"_s;
}

void TestGame::historyLinesHaveTheirFormat()
{
    // The export and the history window rely on one line per throw, single blanks, no padding.
    QFETCH(int, dice);
    QFETCH(QList<int>, values);
    QFETCH(QString, expected);
    QCOMPARE(historyAfterMove(dice, values, 2), expected);
}

void TestGame::moveCountsEveryThrowOnce()
{
    // The total of the counts must equal the number of history lines, and the faces left in view
    // must be those of the move's last throw.
    Setup::setAnzahl(state(), 3);
    state().Wurfzahl = 3;
    ScriptedRandom random({1, 2, 3, 6, 6, 6, 2, 5, 1});
    const MoveResult result = performMove(state(), random, history());

    QCOMPARE(random.reseeds, 1);
    QCOMPARE(result.throwsDone, 3);
    QCOMPARE(result.dice, 3);
    QCOMPARE(result.lastFaces[0], 2);
    QCOMPARE(result.lastFaces[1], 5);
    QCOMPARE(result.lastFaces[2], 1);
    QCOMPARE(history().text(), QStringLiteral("1 2 3\r\n6 6 6\r\n2 5 1"));
    QCOMPARE(state().Haeufigkeit[6], 1);
    QCOMPARE(state().Haeufigkeit[8], 1);
    QCOMPARE(state().Haeufigkeit[18], 1);
    QCOMPARE(state().totalCount(), 3);
    for (int s = 1; s <= Austausch::HoechsteSumme; ++s) {
        if (s < state().MinSumme || s > state().MaxSumme)
            QCOMPARE(state().Haeufigkeit[s], 0);
    }
}

void TestGame::linesFollowWhateverTheHistoryHolds_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty: no line break before the first line")
        << QString() << QStringLiteral("4\r\n2");
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
    QCOMPARE(state().totalCount(), 0);
}

void TestGame::countLimitEndsTheMoveBeforeTheThrow()
{
    // A 16-bit count cannot go past 32767: the throw is not made, and counts still match lines.
    state().Haeufigkeit[4] = Austausch::HoechsteHaeufigkeit;
    state().Wurfzahl = 5;
    ScriptedRandom random({2, 4, 3, 3, 3});
    const MoveResult result = performMove(state(), random, history());

    QVERIFY(result.limitReached);
    QCOMPARE(result.limitSum, 4);
    QCOMPARE(result.throwsDone, 1);
    QCOMPARE(result.lastFaces[0], 2);
    QCOMPARE(history().text(), QStringLiteral("2"));
    QCOMPARE(state().Haeufigkeit[4], Austausch::HoechsteHaeufigkeit);
    QCOMPARE(state().Haeufigkeit[2], 1);
    QCOMPARE(state().Haeufigkeit[3], 0);
}

void TestGame::entriesReadAsTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("dice");
    QTest::addColumn<qint64>("throws");

    const auto row = [](const char *locale, const char *tag, const QString &entry, int dice,
                        qint64 throws) {
        QTest::addRow("%s: %s", locale, tag)
            << QString::fromLatin1(locale) << entry << dice << throws;
    };
    const auto de = [&](const char *tag, const QString &entry, int dice, qint64 throws) {
        row("de_DE", tag, entry, dice, throws);
    };
    const auto en = [&](const char *tag, const QString &entry, int dice, qint64 throws) {
        row("en_US", tag, entry, dice, throws);
    };
    // Entries that read the same with a decimal comma and with a decimal point.
    const auto both = [&](const char *tag, const QString &entry, int dice, qint64 throws) {
        de(tag, entry, dice, throws);
        en(tag, entry, dice, throws);
    };
    const auto withNul = [](const QString &before, const QString &after) {
        return before + QChar(u'\0') + after;
    };

    both("empty (cancel)", QString(), Again, Again);
    both("blanks only", u"   "_s, Again, Again);
    both("tab only", u"\t"_s, Again, Again);
    both("blanks around", u"  3  "_s, 3, 3);
    both("no-break spaces around", u"\u00A04\u00A0"_s, 4, 4);
    both("tab and line break around", u"\t2\r\n"_s, 2, 2);

    both("zero", u"0"_s, Again, 0);
    both("two zeros", u"00"_s, Again, 0);
    both("one", u"1"_s, 1, 1);
    both("seven", u"7"_s, 7, 7);
    both("eight", u"8"_s, Again, 8);
    both("above 16 bits", u"32768"_s, Again, 32768);
    both("largest", u"2147483647"_s, Again, Largest);
    both("one above the largest", u"2147483648"_s, Again, Again);
    both("leading zeros", u"0003"_s, 3, 3);
    both("plus sign", u"+3"_s, 3, 3);
    both("blank before the sign", u" +3"_s, 3, 3);
    both("minus one", u"-1"_s, Again, Again);
    both("minus zero", u"-0"_s, Again, 0);
    both("typographic minus", u"\u22123"_s, Again, Again);
    both("trailing minus", u"3-"_s, Again, Again);
    both("trailing plus", u"3+"_s, Again, Again);
    both("two signs", u"+-3"_s, Again, Again);
    both("doubled minus", u"--1"_s, Again, Again);
    both("blank after the sign", u"+ 3"_s, Again, Again);

    de("half down to even", u"2,5"_s, 2, 2);
    en("half down to even", u"2.5"_s, 2, 2);
    de("half up to even", u"3,5"_s, 4, 4);
    en("half up to even", u"3.5"_s, 4, 4);
    de("one and a half", u"1,5"_s, 2, 2);
    en("six and a half", u"6.5"_s, 6, 6);
    de("nearest", u"2,6"_s, 3, 3);
    de("half to even zero", u"0,5"_s, Again, 0);
    en("half to even zero", u"0.5"_s, Again, 0);
    de("below a half", u"0,4"_s, Again, 0);
    de("negative fraction", u"-0,4"_s, Again, Again);
    en("negative fraction", u"-0.4"_s, Again, Again);
    de("just below one", u"0,9"_s, Again, 1);
    en("just below one", u"0.9"_s, Again, 1);
    de("above seven, half to even", u"7,5"_s, Again, 8);
    en("just above seven", u"7.4"_s, Again, 7);
    de("nearly seven", u"6,9999"_s, 7, 7);
    en("nearly seven", u"6.9999"_s, 7, 7);
    de("half below the largest", u"2147483646,5"_s, Again, Largest - 1);
    en("half below the largest", u"2147483646.5"_s, Again, Largest - 1);
    de("half above the largest", u"2147483647,5"_s, Again, Again);
    en("half above the largest", u"2147483647.5"_s, Again, Again);
    de("the other decimal point", u"2.5"_s, Again, Again);
    en("the other decimal point", u"2,5"_s, Again, Again);
    de("separator without fraction", u"5,"_s, 5, 5);
    en("separator without fraction", u"5."_s, 5, 5);
    de("the other separator without fraction", u"5."_s, Again, Again);
    en("the other separator without fraction", u"5,"_s, Again, Again);
    de("no integer part", u",5"_s, Again, 0);
    en("no integer part", u".5"_s, Again, 0);
    both("comma then point", u"3,.5"_s, Again, Again);
    both("point then comma", u"3.,5"_s, Again, Again);
    both("comma before a point", u"2,5.0"_s, Again, Again);

    both("exponent 1e0", u"1e0"_s, 1, 1);
    both("capital exponent", u"7E0"_s, 7, 7);
    both("exponent 1e1", u"1e1"_s, Again, 10);
    both("exponent to a half", u"35e-1"_s, 4, 4);
    both("exponent to one and a half", u"15e-1"_s, 2, 2);
    both("exponent below one", u"7e-1"_s, Again, 1);
    both("exponent to the largest", u"2147483647e0"_s, Again, Largest);
    both("exponent to a half below the largest", u"21474836465e-1"_s, Again, Largest - 1);
    both("exponent to a half above the largest", u"21474836475e-1"_s, Again, Again);
    both("exponent 1e10", u"1e10"_s, Again, Again);
    de("exponent after a fraction", u"2,5e0"_s, 2, 2);
    en("exponent after a fraction", u"2.5e0"_s, 2, 2);
    de("fraction and exponent to the largest", u"2,147483647e9"_s, Again, Largest);
    en("fraction and exponent to the largest", u"2.147483647e9"_s, Again, Largest);
    both("exponent without mantissa", u"e1"_s, Again, Again);
    both("exponent without digits", u"1e"_s, Again, Again);
    both("two exponents", u"1e1e1"_s, Again, Again);

    de("thousands", u"1.000"_s, Again, 1000);
    en("thousands", u"1,000"_s, Again, 1000);
    de("the other thousands separator", u"1,000"_s, 1, 1);
    en("the other thousands separator", u"1.000"_s, 1, 1);
    de("millions", u"1.000.000"_s, Again, 1000000);
    en("millions", u"1,000,000"_s, Again, 1000000);
    de("the other millions", u"1,000,000"_s, Again, Again);
    en("the other millions", u"1.000.000"_s, Again, Again);
    de("thousands with a half", u"1.000,5"_s, Again, 1000);
    en("thousands with a half", u"1,000.5"_s, Again, 1000);
    de("thousands, half up", u"1.001,5"_s, Again, 1002);
    de("largest, grouped", u"2.147.483.647"_s, Again, Largest);
    en("largest, grouped", u"2,147,483,647"_s, Again, Largest);
    de("above the largest, grouped", u"2.147.483.648"_s, Again, Again);
    de("group of two", u"10.00"_s, Again, Again);
    en("group of two is a fraction", u"10.00"_s, Again, 10);
    de("group of four", u"1.0000"_s, Again, Again);
    both("Indian grouping", u"1.00.000"_s, Again, Again);
    both("doubled separator", u"1..000"_s, Again, Again);
    // A group separator after leading zeros, "0.300" in German, is no number in any locale.
    de("group after a lone zero", u"0.300"_s, Again, Again);
    en("group after a lone zero", u"0,300"_s, Again, Again);
    de("fraction after a lone zero", u"0,300"_s, Again, 0);
    en("fraction after a lone zero", u"0.300"_s, Again, 0);
    row("fr_FR", "group after a zero, typed as a blank", u"0 300"_s, Again, Again);
    row("fr_FR", "group after a zero, narrow no-break space", u"0\u202F300"_s, Again, Again);
    row("fr_FR", "group after zeros, no-break space", u"00\u00A0300"_s, Again, Again);
    row("fr_FR", "group after a signed zero", u"+0 300"_s, Again, Again);
    row("fr_FR", "thousands typed with a blank", u"1 000"_s, Again, 1000);
    row("fr_FR", "thousands, narrow no-break space", u"1\u202F000"_s, Again, 1000);
    row("fr_FR", "thousands, no-break space", u"1\u00A0000"_s, Again, 1000);
    row("fr_FR", "thousands with a half", u"1 000,5"_s, Again, 1000);
    row("fr_FR", "half down to even", u"2,5"_s, 2, 2);
    row("fr_FR", "blanks around", u" 3 "_s, 3, 3);
    row("fr_FR", "two numbers", u"3 3"_s, Again, Again);
    row("de_AT", "group after a zero, typed as a blank", u"0 300"_s, Again, Again);
    row("de_AT", "thousands typed with a blank", u"1 000"_s, Again, 1000);
    row("sv_SE", "group after a zero, typed as a blank", u"0 300"_s, Again, Again);
    row("nb_NO", "thousands, narrow no-break space", u"1\u202F000"_s, Again, 1000);
    row("de_CH", "group after a zero", u"0\u2019300"_s, Again, Again);
    row("de_CH", "group after a zero, straight apostrophe", u"0'300"_s, Again, Again);
    row("de_CH", "thousands", u"1\u2019000"_s, Again, 1000);
    row("de_CH", "thousands, straight apostrophe", u"1'000"_s, Again, 1000);
    row("de_CH", "thousands with a half", u"1'000.5"_s, Again, 1000);
    row("de_CH", "half down to even", u"2.5"_s, 2, 2);

    both("largest power of ten", u"1e308"_s, Again, Again);
    both("overflow", u"1e309"_s, Again, Again);
    both("negative overflow", u"-1e309"_s, Again, Again);
    both("tiny", u"1e-300"_s, Again, 0);
    both("tiny negative", u"-1e-300"_s, Again, Again);
    de("denormal", u"4,9e-324"_s, Again, 0);
    en("denormal", u"4.9e-324"_s, Again, 0);
    both("below the smallest denormal", u"2e-324"_s, Again, Again);
    both("NaN", u"NaN"_s, Again, Again);
    both("nan", u"nan"_s, Again, Again);
    both("inf", u"inf"_s, Again, Again);
    both("-inf", u"-inf"_s, Again, Again);
    both("+inf", u"+inf"_s, Again, Again);
    both("INF", u"INF"_s, Again, Again);
    both("Infinity", u"Infinity"_s, Again, Again);
    both("hexadecimal", u"0x3"_s, Again, Again);
    both("Arabic-Indic digits", u"\u0661\u0662"_s, Again, Again);
    both("Devanagari digit", u"\u0969"_s, Again, Again);
    both("full-width digits", u"\uFF11\uFF12"_s, Again, Again);
    both("superscript three", u"\u00B3"_s, Again, Again);
    both("Roman numeral three", u"\u2162"_s, Again, Again);
    both("fraction character", u"3\u00BD"_s, Again, Again);

    // Longer than a line edit holds by default (32767 characters).
    const QString zeros(99998, u'0');
    both("12 after 99,998 zeros", zeros + u"12"_s, Again, 12);
    de("3 and 99,998 decimal zeros", u"3,"_s + zeros, 3, 3);
    en("3 and 99,998 decimal zeros", u"3."_s + zeros, 3, 3);
    both("10,000 digits", QString(10000, u'1'), Again, Again);
    both("10,000 letters", QString(10000, u'x'), Again, Again);

    both("control character after", u"3\u0001"_s, Again, Again);
    both("escape character before", u"\u001B3"_s, Again, Again);
    both("NUL inside", withNul(u"1"_s, u"000"_s), Again, Again);
    both("NUL after", withNul(u"3"_s, QString()), Again, Again);
    both("DEL after", u"3\u007F"_s, Again, Again);
    both("zero-width space after", u"3\u200B"_s, Again, Again);
    both("two lines", u"3\r\n4"_s, Again, Again);
    both("number and word", u"3 Würfel"_s, Again, Again);
    both("word", u"drei"_s, Again, Again);
    both("two numbers", u"3 3"_s, Again, Again);
    both("percent", u"3%"_s, Again, Again);
    both("trailing letters", u"12abc"_s, Again, Again);
    both("leading letters", u"abc12"_s, Again, Again);
}

void TestGame::entriesReadAsTyped()
{
    // A misread entry must not set a number of dice or throws the teacher did not type; halves
    // round to even, and an entry out of range is asked for again.
    QFETCH(QString, locale);
    QFETCH(QString, entry);
    QFETCH(int, dice);
    QFETCH(qint64, throws);
    const QLocale typedIn(locale);
    QCOMPARE(Setup::parseAnzahl(entry, typedIn).value_or(Again), dice);
    const auto parsed = Setup::parseWurfzahl(entry, typedIn);
    QCOMPARE(parsed ? qint64(*parsed) : qint64(Again), throws);
}

void TestGame::setAnzahlKeepsTheRangeInStep()
{
    // MinSumme and MaxSumme must always follow the number of dice.
    Setup::setAnzahl(state(), 7);
    QCOMPARE(state().MinSumme, 7);
    QCOMPARE(state().MaxSumme, 42);
    Setup::setAnzahl(state(), 2);
    QCOMPARE(state().MinSumme, 2);
    QCOMPARE(state().MaxSumme, 12);
}

void TestGame::sumDistributionCountsEveryOutcome_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<int>("sum");
    QTest::addColumn<qint64>("ways");
    QTest::addColumn<int>("likeliest");
    QTest::newRow("one die, lowest") << 1 << 1 << qint64(1) << 1;
    QTest::newRow("one die, unreachable 7") << 1 << 7 << qint64(0) << 1;
    QTest::newRow("two dice, 7") << 2 << 7 << qint64(6) << 7;
    QTest::newRow("two dice, unreachable 1") << 2 << 1 << qint64(0) << 7;
    QTest::newRow("three dice, 4") << 3 << 4 << qint64(3) << 10;
    QTest::newRow("three dice, 10 ties with 11") << 3 << 10 << qint64(27) << 10;
    QTest::newRow("seven dice, 8") << 7 << 8 << qint64(7) << 24;
    QTest::newRow("seven dice, 24") << 7 << 24 << qint64(24017) << 24;
    QTest::newRow("seven dice, 42") << 7 << 42 << qint64(1) << 24;
}

void TestGame::sumDistributionCountsEveryOutcome()
{
    // A miscounted outcome would put a wrong theory beside what the dice show.
    QFETCH(int, dice);
    QFETCH(int, sum);
    QFETCH(qint64, ways);
    QFETCH(int, likeliest);
    const SumDistribution distribution(dice);
    QCOMPARE(distribution.ways(sum), ways);
    QCOMPARE(distribution.mostLikelySum(), likeliest);
    qint64 all = 0;
    qint64 outcomes = 1;
    for (int s = 0; s <= Austausch::HoechsteSumme; ++s)
        all += distribution.ways(s);
    for (int d = 0; d < dice; ++d)
        outcomes *= 6;
    QCOMPARE(all, outcomes);
    QCOMPARE(distribution.outcomes(), outcomes);
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
    Setup::setAnzahl(state(), static_cast<qint16>(dice));
    state().Wurfzahl = throws;
    if (fullSum != 0)
        state().Haeufigkeit[fullSum] = Austausch::HoechsteHaeufigkeit;
    for (int move = 0; move < 2; ++move) {
        ScriptedRandom random(values);
        performMove(state(), random, history());
    }

    QList<int> sums;
    for (const QString &line : history().text().split(QStringLiteral("\r\n"))) {
        int sum = 0;
        for (const QChar c : line)
            sum += c.digitValue() > 0 ? c.digitValue() : 0;
        sums.append(sum);
    }
    const QList<int> record(state().Wurfsummen.cbegin(), state().Wurfsummen.cend());
    QCOMPARE(record, sums);
    const auto reachable = static_cast<std::size_t>(state().MaxSumme - state().MinSumme + 1);
    QVERIFY(state().Wurfsummen.capacity() <= reachable * Austausch::HoechsteHaeufigkeit);
}

void TestGame::outOfMemoryStopsTheMoveInStep_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<int>("failAtDraw"); // of the second move, whose throws are all twos
    QTest::addColumn<int>("throwsDone");

    QTest::newRow("at the first draw") << 1 << 0 << 0;
    QTest::newRow("between two throws") << 2 << 4 << 2;
    QTest::newRow("inside a throw of seven dice") << 7 << 17 << 2;
}

void TestGame::outOfMemoryStopsTheMoveInStep()
{
    // Memory running out in a move must leave no half-made throw: counts, history lines and the
    // throw record agree, and the windows hear of exactly the throws that were made.
    QFETCH(int, dice);
    QFETCH(int, failAtDraw);
    QFETCH(int, throwsDone);
    ScriptedRandom random(QList<int>(dice, 1));
    Game game(random);
    game.setDice(static_cast<qint16>(dice));
    game.newGame();
    game.setThrowsPerMove(1);
    game.move();
    random.pushValues(QList<int>(10 * dice, 2));
    random.failAtDraw = dice + failAtDraw;
    game.setThrowsPerMove(10);
    QSignalSpy thrown(&game, &Game::thrown);

    const MoveResult result = game.move();

    QVERIFY(result.outOfMemory);
    QVERIFY(!result.limitReached);
    QCOMPARE(result.throwsDone, throwsDone);
    if (throwsDone > 0)
        QCOMPARE(result.lastFaces[static_cast<std::size_t>(dice - 1)], 2);
    const QStringList ones(dice, QStringLiteral("1"));
    const QStringList twos(dice, QStringLiteral("2"));
    QString expected = ones.join(u' ');
    for (int t = 0; t < throwsDone; ++t)
        expected += u"\r\n"_s + twos.join(u' ');
    QCOMPARE(game.history().text(), expected);
    QCOMPARE(game.throws(), 1 + throwsDone);
    QCOMPARE(game.count(dice), 1);
    QCOMPARE(game.count(2 * dice), throwsDone);
    QCOMPARE(qsizetype(game.throwSums().size()), 1 + throwsDone);
    QCOMPARE(thrown.count(), 1);
    QCOMPARE(thrown.first().at(0).toLongLong(), 1);
    QCOMPARE(thrown.first().at(1).toLongLong(), throwsDone);

    // With memory back, the game goes on where it stopped.
    game.setThrowsPerMove(1);
    random.draws.clear();
    random.pushValues(QList<int>(dice, 1));
    game.move();
    QCOMPARE(game.history().text(), expected + u"\r\n"_s + ones.join(u' '));
    QCOMPARE(game.throws(), 2 + throwsDone);
}

void TestGame::twoGamesShareNothing()
{
    // Two games once shared one set of values: a throw in one showed in the windows of the
    // other, which were never told, and New in one restarted the other's dice.
    ScriptedRandom firstDice({3, 5});
    ScriptedRandom secondDice;
    Game first(firstDice);
    Game second(secondDice);
    first.setDefaults();
    first.newGame();
    second.setDefaults();
    second.setDice(2);
    second.newGame();
    QSignalSpy secondThrown(&second, &Game::thrown);
    QSignalSpy secondReset(&second, &Game::reset);

    first.move();
    first.newGame();
    first.move();

    QCOMPARE(first.throws(), 1);
    QCOMPARE(first.dice(), 1);
    QCOMPARE(first.history().text(), QStringLiteral("5"));
    QCOMPARE(firstDice.restarts, 2);
    QCOMPARE(second.dice(), 2);
    QCOMPARE(second.minSum(), 2);
    QCOMPARE(second.throws(), 0);
    QVERIFY(second.throwSums().empty());
    QVERIFY(second.history().text().isEmpty());
    QCOMPARE(secondDice.restarts, 1);
    QCOMPARE(secondDice.reseeds, 0);
    QCOMPARE(secondThrown.count(), 0);
    QCOMPARE(secondReset.count(), 0);
}

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
