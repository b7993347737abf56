// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"
#include "casino.h"
#include "fakes.h"

#include <QLocale>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// How each entry reads is asked in tst_game; here the boxes themselves, in the user's locale.
class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

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

void TestBadInput::boxesAskAgainUntilValid_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("dice"); // the number-of-dice box, else the throws-per-move box
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("expected");

    QTest::newRow("de_DE: number of dice")
        << u"de_DE"_s << true
        << QStringList{u""_s, u"   "_s, u"NaN"_s, u"inf"_s, u"0,9"_s, u"7,5"_s, u"3 Würfel"_s,
                       u"1.000"_s, u"0x10"_s, u"2,5"_s}
        << 2;
    QTest::newRow("en_US: number of dice")
        << u"en_US"_s << true
        << QStringList{u"1,000"_s, u"-inf"_s, u"1e309"_s, u"Infinity"_s, u"\u00B3"_s, u"6.5"_s}
        << 6;
    QTest::newRow("de_DE: throws per move")
        << u"de_DE"_s << false
        << QStringList{u""_s, u"-1"_s, u"2147483648"_s, u"1e309"_s, u"nan"_s, u"100 Würfe"_s,
                       u"-0,4"_s, u"0.300"_s, u"1.000"_s}
        << 1000;
    QTest::newRow("en_US: throws per move")
        << u"en_US"_s << false
        << QStringList{u"-0.4"_s, u"2147483647.5"_s, u"12abc"_s, u"1..000"_s, u"0,300"_s,
                       u"1,000.5"_s}
        << 1000;
    QTest::newRow("fr_FR: throws per move")
        << u"fr_FR"_s << false << QStringList{u"0 300"_s, u"0\u202F300"_s, u"1 000"_s} << 1000;
    QTest::newRow("de_CH: throws per move")
        << u"de_CH"_s << false << QStringList{u"0'300"_s, u"0\u2019300"_s, u"1'000"_s} << 1000;
}

void TestBadInput::boxesAskAgainUntilValid()
{
    // An invalid entry must bring the same box back, never end the command with a wrong value.
    QFETCH(QString, locale);
    QFETCH(bool, dice);
    QFETCH(QStringList, answers);
    QFETCH(int, expected);
    // The boxes read entries in the user's locale, which is the default one.
    QLocale::setDefault(QLocale(locale));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_casino = startProgram(*m_dialogs, m_random);
    ScriptedDialogs &dialogs = *m_dialogs;
    const auto ask = [&] { dice ? m_casino->MAnzahl_Click() : m_casino->MWuerfe_Click(); };

    // A value other than the start-up one first, so the default text shows the value in force.
    const QString current = dice ? u"5"_s : u"37"_s;
    dialogs.inputAnswers = {current};
    ask();
    QCOMPARE(dialogs.inputs.size(), 1);
    const ScriptedDialogs::Input first = dialogs.inputs.takeFirst();

    dialogs.inputAnswers.assign(answers.begin(), answers.end());
    ask();
    QCOMPARE(dialogs.inputs.size(), answers.size()); // asked once per entry, up to the valid one
    for (const ScriptedDialogs::Input &input : std::as_const(dialogs.inputs)) {
        QCOMPARE(input.prompt, first.prompt);
        QCOMPARE(input.title, u"Kollavo"_s);
        QCOMPARE(input.defaultText, current);
    }
    if (dice) {
        QCOMPARE(int(game().austausch().Anzahl), expected);
        QCOMPARE(int(game().austausch().MinSumme), expected);
        QCOMPARE(int(game().austausch().MaxSumme), 6 * expected);
    } else {
        QCOMPARE(int(game().austausch().Wurfzahl), expected);
    }
}

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
