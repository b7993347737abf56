// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "casino.h"
#include "fakes.h"
#include "setup.h"

#include <QLocale>
#include <QTest>

#include <memory>
#include <optional>

namespace {

// What an entry must give. The values are worked out by hand: the number the entry stands for
// in the locale, rounded half to even.
struct Verdict
{
    enum Kind { Accept, Reject, AcceptOrReject };
    Kind kind = Reject;
    qint64 value = 0;
};

Verdict accept(qint64 value)
{
    return {Verdict::Accept, value};
}

Verdict reject()
{
    return {Verdict::Reject, 0};
}

// Both answers are sound (an unusual notation, a character few would type): rejecting it, or
// taking exactly this value. Any other value is a misreading.
Verdict either(qint64 value)
{
    return {Verdict::AcceptOrReject, value};
}

QString describe(const Verdict &verdict)
{
    switch (verdict.kind) {
    case Verdict::Accept:
        return QString::number(verdict.value);
    case Verdict::Reject:
        return QStringLiteral("rejected");
    case Verdict::AcceptOrReject:
        break;
    }
    return QStringLiteral("%1 or rejected").arg(verdict.value);
}

} // namespace

Q_DECLARE_METATYPE(Verdict)

namespace {

struct Entry
{
    const char *tag;
    QString text;
    Verdict de; // de_DE: decimal comma, point between thousands
    Verdict en; // en_US: decimal point, comma between thousands
};

// A NUL inside an entry: a parser that stops at it would read only the part before.
QString withNul(const char *before, const char *after)
{
    return QString::fromLatin1(before) + QChar(u'\0') + QString::fromLatin1(after);
}

QList<Entry> numberOfDiceEntries()
{
    const QString zeros(10000, u'0');
    return {
        {"empty", QString(), reject(), reject()},
        {"one blank", QStringLiteral(" "), reject(), reject()},
        {"blanks only", QStringLiteral("     "), reject(), reject()},
        {"tab only", QStringLiteral("\t"), reject(), reject()},
        {"blanks around", QStringLiteral("  3  "), accept(3), accept(3)},
        {"leading blanks", QStringLiteral("   5"), accept(5), accept(5)},
        {"trailing blank", QStringLiteral("6 "), accept(6), accept(6)},
        {"no-break spaces around", QStringLiteral("\u00A04\u00A0"), either(4), either(4)},
        {"tab and line break around", QStringLiteral("\t2\r\n"), either(2), either(2)},
        {"lowest", QStringLiteral("1"), accept(1), accept(1)},
        {"highest", QStringLiteral("7"), accept(7), accept(7)},
        {"zero", QStringLiteral("0"), reject(), reject()},
        {"eight", QStringLiteral("8"), reject(), reject()},
        {"leading zeros", QStringLiteral("0003"), accept(3), accept(3)},
        {"plus sign", QStringLiteral("+3"), accept(3), accept(3)},
        {"blank before the sign", QStringLiteral(" +3"), accept(3), accept(3)},
        {"minus sign", QStringLiteral("-3"), reject(), reject()},
        {"minus one", QStringLiteral("-1"), reject(), reject()},
        {"minus zero", QStringLiteral("-0"), reject(), reject()},
        {"trailing plus", QStringLiteral("3+"), reject(), reject()},
        {"trailing minus", QStringLiteral("3-"), reject(), reject()},
        {"two signs", QStringLiteral("+-3"), reject(), reject()},
        {"doubled sign", QStringLiteral("++3"), reject(), reject()},
        {"blank after the sign", QStringLiteral("+ 3"), either(3), either(3)},
        {"typographic minus", QStringLiteral("\u22123"), reject(), reject()},
        {"comma, half down to even", QStringLiteral("2,5"), accept(2), either(2)},
        {"point, half down to even", QStringLiteral("2.5"), either(2), accept(2)},
        {"comma, half up to even", QStringLiteral("3,5"), accept(4), either(4)},
        {"point, half up to even", QStringLiteral("3.5"), either(4), accept(4)},
        {"comma, one and a half", QStringLiteral("1,5"), accept(2), either(2)},
        {"point, six and a half", QStringLiteral("6.5"), either(6), accept(6)},
        {"comma, just below one", QStringLiteral("0,9"), reject(), reject()},
        {"point, just below one", QStringLiteral("0.9"), reject(), reject()},
        {"comma, just above seven", QStringLiteral("7,5"), reject(), reject()},
        {"point, just above seven", QStringLiteral("7.4"), reject(), reject()},
        {"comma, nearly seven", QStringLiteral("6,9999"), accept(7), either(7)},
        {"point, nearly seven", QStringLiteral("6.9999"), either(7), accept(7)},
        {"comma without fraction", QStringLiteral("5,"), either(5), either(5)},
        {"point without fraction", QStringLiteral("5."), either(5), either(5)},
        {"comma without integer part", QStringLiteral(",5"), reject(), reject()},
        {"point without integer part", QStringLiteral(".5"), reject(), reject()},
        {"exponent 1e0", QStringLiteral("1e0"), accept(1), accept(1)},
        {"exponent 7e0", QStringLiteral("7e0"), accept(7), accept(7)},
        {"capital exponent", QStringLiteral("7E0"), accept(7), accept(7)},
        {"exponent 1e1", QStringLiteral("1e1"), reject(), reject()},
        {"exponent after a point", QStringLiteral("2.5e0"), either(2), accept(2)},
        {"exponent after a comma", QStringLiteral("2,5e0"), accept(2), either(2)},
        {"negative exponent to a half", QStringLiteral("35e-1"), accept(4), accept(4)},
        {"negative exponent below one", QStringLiteral("7e-1"), reject(), reject()},
        {"exponent without mantissa", QStringLiteral("e1"), reject(), reject()},
        {"exponent without digits", QStringLiteral("1e"), reject(), reject()},
        {"two exponents", QStringLiteral("1e1e1"), reject(), reject()},
        {"German thousands", QStringLiteral("1.000"), reject(), accept(1)},
        {"English thousands", QStringLiteral("1,000"), accept(1), reject()},
        {"point after a lone zero", QStringLiteral("0.003"),
         reject(),
         reject()},
        {"comma after a lone zero", QStringLiteral("0,003"), reject(),
         reject()},
        {"comma then point", QStringLiteral("3,.5"), reject(), reject()},
        {"point then comma", QStringLiteral("3.,5"), reject(), reject()},
        {"comma before a point", QStringLiteral("2,5.0"), reject(), reject()},
        {"point before a comma", QStringLiteral("1.000,5"), reject(), reject()},
        {"largest power of ten", QStringLiteral("1e308"), reject(), reject()},
        {"overflow", QStringLiteral("1e309"), reject(), reject()},
        {"negative overflow", QStringLiteral("-1e309"), reject(), reject()},
        {"tiny", QStringLiteral("1e-300"), reject(), reject()},
        {"denormal", QStringLiteral("4.9e-324"), reject(), reject()},
        {"NaN", QStringLiteral("NaN"), reject(), reject()},
        {"nan", QStringLiteral("nan"), reject(), reject()},
        {"inf", QStringLiteral("inf"), reject(), reject()},
        {"-inf", QStringLiteral("-inf"), reject(), reject()},
        {"+inf", QStringLiteral("+inf"), reject(), reject()},
        {"Infinity", QStringLiteral("Infinity"), reject(), reject()},
        {"hexadecimal 3", QStringLiteral("0x3"), either(3), either(3)},
        {"hexadecimal 16", QStringLiteral("0x10"), reject(), reject()},
        {"Arabic-Indic digit", QStringLiteral("\u0663"), either(3), either(3)},
        {"Devanagari digit", QStringLiteral("\u0969"), either(3), either(3)},
        {"full-width digit", QStringLiteral("\uFF13"), either(3), either(3)},
        {"Arabic-Indic three and a half", QStringLiteral("\u0663\u066B\u0665"), either(4),
         either(4)},
        {"superscript three", QStringLiteral("\u00B3"), reject(), reject()},
        {"Roman numeral three", QStringLiteral("\u2162"), reject(), reject()},
        {"10,000 digits", QString(10000, u'1'), reject(), reject()},
        {"10,000 letters", QString(10000, u'x'), reject(), reject()},
        {"3 after 10,000 zeros", zeros + u'3', either(3), either(3)},
        {"3 and 10,000 decimal zeros, comma", QStringLiteral("3,") + zeros, either(3), either(3)},
        {"3 and 10,000 decimal zeros, point", QStringLiteral("3.") + zeros, either(3), either(3)},
        {"control character after", QStringLiteral("3\u0001"), reject(), reject()},
        {"control character before", QStringLiteral("\u00013"), reject(), reject()},
        {"NUL inside", withNul("3", "4"), reject(), reject()},
        {"NUL after", withNul("3", ""), reject(), reject()},
        {"DEL after", QStringLiteral("3\u007F"), reject(), reject()},
        {"two lines", QStringLiteral("3\r\n4"), reject(), reject()},
        {"zero-width space after", QStringLiteral("3\u200B"), either(3), either(3)},
        {"number and word", QStringLiteral("3 Würfel"), reject(), reject()},
        {"word", QStringLiteral("drei"), reject(), reject()},
        {"two numbers", QStringLiteral("3 3"), reject(), reject()},
        {"percent", QStringLiteral("3%"), reject(), reject()},
        {"fraction character", QStringLiteral("3\u00BD"), reject(), reject()},
    };
}

constexpr qint64 Largest = 2147483647;

QList<Entry> throwsPerMoveEntries()
{
    const QString zeros(10000, u'0');
    return {
        {"empty", QString(), reject(), reject()},
        {"blanks only", QStringLiteral("   "), reject(), reject()},
        {"blanks around", QStringLiteral(" 100 "), accept(100), accept(100)},
        {"no-break space before", QStringLiteral("\u00A010"), either(10), either(10)},
        {"tab and line break around", QStringLiteral("\t3\r\n"), either(3), either(3)},
        {"zero", QStringLiteral("0"), accept(0), accept(0)},
        {"two zeros", QStringLiteral("00"), accept(0), accept(0)},
        {"one", QStringLiteral("1"), accept(1), accept(1)},
        {"above 16 bits", QStringLiteral("32768"), accept(32768), accept(32768)},
        {"largest", QStringLiteral("2147483647"), accept(Largest), accept(Largest)},
        {"one above the largest", QStringLiteral("2147483648"), reject(), reject()},
        {"minus one", QStringLiteral("-1"), reject(), reject()},
        {"minus zero", QStringLiteral("-0"), either(0), either(0)},
        {"plus sign", QStringLiteral("+12"), accept(12), accept(12)},
        {"trailing minus", QStringLiteral("12-"), reject(), reject()},
        {"trailing plus", QStringLiteral("12+"), reject(), reject()},
        {"doubled minus", QStringLiteral("--1"), reject(), reject()},
        {"blank after the sign", QStringLiteral("+ 1"), either(1), either(1)},
        {"comma, half down to even", QStringLiteral("0,5"), accept(0), either(0)},
        {"point, half down to even", QStringLiteral("0.5"), either(0), accept(0)},
        {"comma, half up to even", QStringLiteral("1,5"), accept(2), either(2)},
        {"point, half down to two", QStringLiteral("2.5"), either(2), accept(2)},
        {"comma, below a half", QStringLiteral("0,4"), accept(0), either(0)},
        {"comma, negative fraction", QStringLiteral("-0,4"), reject(), reject()},
        {"point, negative fraction", QStringLiteral("-0.4"), reject(), reject()},
        {"comma, half below the largest", QStringLiteral("2147483646,5"), accept(Largest - 1),
         either(Largest - 1)},
        {"point, half below the largest", QStringLiteral("2147483646.5"), either(Largest - 1),
         accept(Largest - 1)},
        {"comma, half above the largest", QStringLiteral("2147483647,5"), reject(), reject()},
        {"point, half above the largest", QStringLiteral("2147483647.5"), reject(), reject()},
        {"exponent 1e0", QStringLiteral("1e0"), accept(1), accept(1)},
        {"exponent 1e1", QStringLiteral("1e1"), accept(10), accept(10)},
        {"capital exponent", QStringLiteral("1E3"), accept(1000), accept(1000)},
        {"exponent after a point", QStringLiteral("2.5e0"), either(2), accept(2)},
        {"exponent after a comma", QStringLiteral("2,5e0"), accept(2), either(2)},
        {"negative exponent to a half", QStringLiteral("5e-1"), accept(0), accept(0)},
        {"negative exponent to one and a half", QStringLiteral("15e-1"), accept(2), accept(2)},
        {"exponent to the largest", QStringLiteral("2147483647e0"), accept(Largest),
         accept(Largest)},
        {"exponent to the largest, comma", QStringLiteral("2,147483647e9"), accept(Largest),
         either(Largest)},
        {"exponent to the largest, point", QStringLiteral("2.147483647e9"), either(Largest),
         accept(Largest)},
        {"exponent to a half above the largest", QStringLiteral("21474836475e-1"), reject(),
         reject()},
        {"exponent to a half below the largest", QStringLiteral("21474836465e-1"),
         accept(Largest - 1), accept(Largest - 1)},
        {"exponent 1e10", QStringLiteral("1e10"), reject(), reject()},
        {"German thousands", QStringLiteral("1.000"), accept(1000), accept(1)},
        {"English thousands", QStringLiteral("1,000"), accept(1), accept(1000)},
        {"German millions", QStringLiteral("1.000.000"), accept(1000000), either(1000000)},
        {"English millions", QStringLiteral("1,000,000"), either(1000000), accept(1000000)},
        {"German thousands with a half", QStringLiteral("1.000,5"), accept(1000), either(1000)},
        {"English thousands with a half", QStringLiteral("1,000.5"), either(1000), accept(1000)},
        {"German thousands, half up", QStringLiteral("1.001,5"), accept(1002), either(1002)},
        {"largest, German grouping", QStringLiteral("2.147.483.647"), accept(Largest),
         either(Largest)},
        {"largest, English grouping", QStringLiteral("2,147,483,647"), either(Largest),
         accept(Largest)},
        {"above the largest, grouped", QStringLiteral("2.147.483.648"), reject(), reject()},
        {"group of two", QStringLiteral("10.00"), either(10), accept(10)},
        {"group of four", QStringLiteral("1.0000"), either(1), accept(1)},
        {"Indian grouping", QStringLiteral("1.00.000"), reject(), reject()},
        {"doubled separator", QStringLiteral("1..000"), reject(), reject()},
        {"point after a lone zero", QStringLiteral("0.300"),
         either(0),
         accept(0)},
        {"comma after a lone zero", QStringLiteral("0,300"), accept(0),
         either(0)},
        {"comma then point", QStringLiteral("3,.5"), reject(), reject()},
        {"point then comma", QStringLiteral("3.,5"), reject(), reject()},
        {"comma inside a point", QStringLiteral("1,2.3"), reject(), reject()},
        {"largest power of ten", QStringLiteral("1e308"), reject(), reject()},
        {"overflow", QStringLiteral("1e309"), reject(), reject()},
        {"negative overflow", QStringLiteral("-1e309"), reject(), reject()},
        {"tiny", QStringLiteral("1e-300"), accept(0), accept(0)},
        {"tiny negative", QStringLiteral("-1e-300"), reject(), reject()},
        {"denormal, point", QStringLiteral("4.9e-324"), either(0), accept(0)},
        {"denormal, comma", QStringLiteral("4,9e-324"), accept(0), either(0)},
        {"below the smallest denormal", QStringLiteral("2e-324"), either(0), either(0)},
        {"NaN", QStringLiteral("NaN"), reject(), reject()},
        {"nan", QStringLiteral("nan"), reject(), reject()},
        {"inf", QStringLiteral("inf"), reject(), reject()},
        {"-inf", QStringLiteral("-inf"), reject(), reject()},
        {"INF", QStringLiteral("INF"), reject(), reject()},
        {"Infinity", QStringLiteral("Infinity"), reject(), reject()},
        {"hexadecimal", QStringLiteral("0x10"), either(16), either(16)},
        {"Arabic-Indic digits", QStringLiteral("\u0661\u0662"), either(12), either(12)},
        {"Devanagari digit", QStringLiteral("\u0969"), either(3), either(3)},
        {"full-width digits", QStringLiteral("\uFF11\uFF12"), either(12), either(12)},
        {"10,000 digits", QString(10000, u'1'), reject(), reject()},
        {"10,000 letters", QString(10000, u'x'), reject(), reject()},
        {"12 after 10,000 zeros", zeros + QStringLiteral("12"), either(12), either(12)},
        {"1 after 10,000 decimal zeros, comma", QStringLiteral("0,") + zeros + u'1', either(0),
         either(0)},
        {"1 after 10,000 decimal zeros, point", QStringLiteral("0.") + zeros + u'1', either(0),
         either(0)},
        {"NUL inside", withNul("1", "000"), reject(), reject()},
        {"NUL before", withNul("", "12"), reject(), reject()},
        {"control character after", QStringLiteral("12\u0001"), reject(), reject()},
        {"escape character before", QStringLiteral("\u001B12"), reject(), reject()},
        {"two lines", QStringLiteral("1\r\n2"), reject(), reject()},
        {"number and word", QStringLiteral("100 Würfe"), reject(), reject()},
        {"word", QStringLiteral("hundert"), reject(), reject()},
        {"trailing letters", QStringLiteral("12abc"), reject(), reject()},
        {"leading letters", QStringLiteral("abc12"), reject(), reject()},
        {"two numbers", QStringLiteral("1 2"), reject(), reject()},
    };
}

// One row per entry and locale.
void addRows(const QList<Entry> &entries)
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Verdict>("verdict");
    for (const Entry &e : entries) {
        QTest::addRow("de_DE: %s", e.tag) << QStringLiteral("de_DE") << e.text << e.de;
        QTest::addRow("en_US: %s", e.tag) << QStringLiteral("en_US") << e.text << e.en;
    }
}

// The program's answer held against the verdict; `low` … `high` is the box's range.
void checkVerdict(std::optional<qint64> answer, const Verdict &verdict, qint64 low, qint64 high)
{
    if (answer)
        QVERIFY2(*answer >= low && *answer <= high, qPrintable(QString::number(*answer)));
    bool sound = false;
    switch (verdict.kind) {
    case Verdict::Accept:
        sound = answer && *answer == verdict.value;
        break;
    case Verdict::Reject:
        sound = !answer;
        break;
    case Verdict::AcceptOrReject:
        sound = !answer || *answer == verdict.value;
        break;
    }
    QVERIFY2(sound, qPrintable(QStringLiteral("expected %1, the program gave %2")
                                   .arg(describe(verdict),
                                        answer ? QString::number(*answer)
                                               : QStringLiteral("rejected"))));
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void numberOfDice_data();
    void numberOfDice();
    void throwsPerMove_data();
    void throwsPerMove();
    void boxesAskAgainUntilValid_data();
    void boxesAskAgainUntilValid();

private:
    QLocale m_startLocale;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<Casino> m_casino;
};

void TestBadInput::initTestCase()
{
    m_startLocale = QLocale();
}

void TestBadInput::cleanup()
{
    if (m_casino)
        endProgram(m_casino);
    QLocale::setDefault(m_startLocale);
}

void TestBadInput::numberOfDice_data()
{
    addRows(numberOfDiceEntries());
}

void TestBadInput::numberOfDice()
{
    // A misread entry must not set a number of dice the teacher did not type.
    QFETCH(QString, locale);
    QFETCH(QString, entry);
    QFETCH(Verdict, verdict);
    // The box reads the entry in the user's locale, which is the default one.
    QLocale::setDefault(QLocale(locale));
    const std::optional<qint16> dice = Setup::parseAnzahl(entry);
    checkVerdict(dice ? std::optional<qint64>(*dice) : std::nullopt, verdict, 1, 7);
}

void TestBadInput::throwsPerMove_data()
{
    addRows(throwsPerMoveEntries());
}

void TestBadInput::throwsPerMove()
{
    // A misread entry must not set a number of throws the teacher did not type.
    QFETCH(QString, locale);
    QFETCH(QString, entry);
    QFETCH(Verdict, verdict);
    QLocale::setDefault(QLocale(locale));
    const std::optional<qint32> throws = Setup::parseWurfzahl(entry);
    checkVerdict(throws ? std::optional<qint64>(*throws) : std::nullopt, verdict, 0, Largest);
}

void TestBadInput::boxesAskAgainUntilValid_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("dice"); // the number-of-dice box, else the throws-per-move box
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("expected");

    QTest::newRow("de_DE: number of dice")
        << QStringLiteral("de_DE") << true
        << QStringList{"", "   ", "NaN", "inf", "0,9", "7,5", "3 Würfel", "1.000", "0x10", "2,5"}
        << 2;
    QTest::newRow("en_US: number of dice")
        << QStringLiteral("en_US") << true
        << QStringList{"1,000", "-inf", "1e309", "Infinity", "\u00B3", "6.5"} << 6;
    QTest::newRow("de_DE: throws per move")
        << QStringLiteral("de_DE") << false
        << QStringList{"", "-1", "2147483648", "1e309", "nan", "100 Würfe", "-0,4", "1.000"}
        << 1000;
    QTest::newRow("en_US: throws per move")
        << QStringLiteral("en_US") << false
        << QStringList{"-0.4", "2147483647.5", "12abc", "1..000", "1,000.5"} << 1000;
}

void TestBadInput::boxesAskAgainUntilValid()
{
    // An invalid entry must bring the same box back, never end the command with a wrong value.
    QFETCH(QString, locale);
    QFETCH(bool, dice);
    QFETCH(QStringList, answers);
    QFETCH(int, expected);
    QLocale::setDefault(QLocale(locale));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_casino = startProgram(*m_dialogs, m_random);
    ScriptedDialogs &dialogs = *m_dialogs;
    const auto ask = [&] { dice ? m_casino->MAnzahl_Click() : m_casino->MWuerfe_Click(); };

    // A value other than the start-up one first, so the default text shows the value in force.
    const QString current = dice ? QStringLiteral("5") : QStringLiteral("37");
    dialogs.inputAnswers = {current};
    ask();
    QCOMPARE(dialogs.inputs.size(), 1);
    const ScriptedDialogs::Input first = dialogs.inputs.takeFirst();

    dialogs.inputAnswers.assign(answers.begin(), answers.end());
    ask();
    QCOMPARE(dialogs.inputs.size(), answers.size()); // asked once per entry, up to the valid one
    for (const ScriptedDialogs::Input &input : std::as_const(dialogs.inputs)) {
        QCOMPARE(input.prompt, first.prompt);
        QCOMPARE(input.title, QStringLiteral("Kollavo"));
        QCOMPARE(input.defaultText, current);
    }
    if (dice) {
        QCOMPARE(int(Austausch::Anzahl), expected);
        QCOMPARE(int(Austausch::MinSumme), expected);
        QCOMPARE(int(Austausch::MaxSumme), 6 * expected);
    } else {
        QCOMPARE(int(Austausch::Wurfzahl), expected);
    }
}

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
