// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"
#include "game.h"
#include "auswertung.h"
#include "casino.h"
#include "entwicklung.h"
#include "fakes.h"
#include "fonts_present.h"
#include "history_text.h"
#include "rel_haeufigkeiten.h"
#include "statistics_windows.h"
#include "twips.h"
#include "verlauf.h"
#include "wrapping_menu_bar.h"
#include "zufallsgroesse.h"

#include <QAccessible>
#include <QFontInfo>
#include <QAction>
#include <QMessageBox>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>


#include <QChart>
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPlainTextEdit>
#include <QPointer>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

class TestCasino : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reopenedWindowKeepsItsMenu_data();
    void reopenedWindowKeepsItsMenu();

    void startsWithTheDesignedWindow();
    void startsWithOneDieShowingOne();
    void anyMouseButtonThrows_data();
    void anyMouseButtonThrows();
    void keyboardDoesNotThrow();
    void facesShowTheLastThrow();
    void slotsAreHiddenNotRemoved();
    void newClearsCountsAndHistory();
    void numberOfDiceAsksUntilValid_data();
    void numberOfDiceAsksUntilValid();
    void throwsPerMoveAsksUntilValid();
    void countLimitIsReported();
    void closeBoxWhileTheLimitIsReported();
    void outOfMemoryIsReported();
    void windowItemsShowAndHide_data();
    void windowItemsShowAndHide();
    void closeBoxClearsTheMark_data();
    void closeBoxClearsTheMark();
    void infoShowsThreeLines();
    void endeClosesEverything();
    void closingAWindowUnderAMessage_data();
    void closingAWindowUnderAMessage();
    void rollButtonTip_data();
    void rollButtonTip();
    void rollButtonTipFollowsTheGame();
    void windowsFollowTheGame_data();
    void windowsFollowTheGame();
    void throwingWithoutAMouse_data();
    void throwingWithoutAMouse();
    void pressBehindADialogDoesNothing();
    void diceAreaTellsTheLastThrow_data();
    void diceAreaTellsTheLastThrow();
    void quittingUnderAnEntryBox();
    void diceSettingsFromTheTray_data();
    void diceSettingsFromTheTray();
    void revealingKeepsTheThrows_data();
    void revealingKeepsTheThrows();
    void windowsFollowInOneOrder_data();
    void windowsFollowInOneOrder();
    void menuFromTheKeyboard();
    void desktopFontRefitsTheWindow();
    void zoomForAProjector();

private:
    // What `window` shows of the game, in a few words: see windowsFollowTheGame_data().
    QString shownBy(const QString &window) const;
    QAction *action(const char *name) const
    {
        return m_casino->findChild<QAction *>(QLatin1StringView(name));
    }
    // The face in front in die slot `slot`: the name of its array.
    QString frontFace(int slot) const;
    void press(Qt::MouseButton button = Qt::LeftButton);

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScriptedRandom> m_random;
    std::unique_ptr<Casino> m_casino;
};

void TestCasino::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_random = std::make_unique<ScriptedRandom>();
    m_casino = startProgram(*m_dialogs, *m_random);
}

void TestCasino::cleanup()
{
    endProgram(m_casino);
    m_random.reset();
    m_dialogs.reset();
}

QString TestCasino::frontFace(int slot) const
{
    const QObjectList children = m_casino->centralWidget()->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto *cell = qobject_cast<QLabel *>(*it);
        if (cell && cell->property("Index").toInt() == slot)
            return cell->objectName();
    }
    return QString();
}

void TestCasino::press(Qt::MouseButton button)
{
    auto *button_ = m_casino->findChild<QPushButton *>(QStringLiteral("CBKollavo"));
    QTest::mousePress(button_, button);
    QTest::mouseRelease(button_, button);
}

void TestCasino::startsWithTheDesignedWindow()
{
    // The window, its menu and the roll button are what teachers and their handouts refer to.
    QCOMPARE(m_casino->windowTitle(), QStringLiteral("Kollavo"));
    QCOMPARE(m_casino->centralWidget()->size(), QSize(294, 94));
    auto *roll = m_casino->findChild<QPushButton *>(QStringLiteral("CBKollavo"));
    QCOMPARE(roll->text(), QStringLiteral("Kollavo"));
    QCOMPARE(roll->geometry(), QRect(8, 56, 273, 33));
    QCOMPARE(roll->font().pointSizeF(), 8.25);
    QVERIFY(!roll->font().bold());
    // The client area, not the frame, opens at its design place (offscreen frames are 2 px).
    m_casino->show();
    QCOMPARE(m_casino->centralWidget()->mapToGlobal(QPoint(0, 0)), QPoint(141, 139));

    // Every menu item is in view: rows wrap instead of hiding items behind an extension button.
    auto *bar = qobject_cast<WrappingMenuBar *>(m_casino->menuWidget());
    QVERIFY(bar);
    QStringList captions;
    for (const QMenuBar *row : bar->rows()) {
        for (QAction *a : row->actions()) {
            captions << a->text();
            QVERIFY2(row->actionGeometry(a).right() < bar->width(), qPrintable(a->text()));
        }
    }
    QCOMPARE(captions, (QStringList{u"Neu"_s, u"Würfelzahl"_s, u"Würfe"_s, u"Fenster"_s,
                                    u"Daten exportieren"_s, u"Info"_s, u"Ende"_s}));
    m_casino->layout()->activate();
    QCOMPARE(m_casino->centralWidget()->geometry(),
             QRect(QPoint(0, bar->sizeHint().height()), QSize(294, 94)));
    QCOMPARE(m_casino->size(), QSize(294, 94 + bar->sizeHint().height()));
    for (const char *name : {"Mabs", "Mrel", "MVerlauf"}) {
        QVERIFY(action(name)->isCheckable());
        QVERIFY(!action(name)->isChecked());
    }
    // The statistics windows exist from the start, hidden.
    QVERIFY(windows().absHaeufigkeiten().isLoaded() && !windows().absHaeufigkeiten().loadedWidget()->isVisible());
    QVERIFY(windows().relHaeufigkeiten().isLoaded() && !windows().relHaeufigkeiten().loadedWidget()->isVisible());
    QVERIFY(windows().verlauf().isLoaded() && !windows().verlauf().loadedWidget()->isVisible());
}

void TestCasino::startsWithOneDieShowingOne()
{
    // The first game: one die at slot 0 showing 1, nothing counted, sum labels 1 … 6 only.
    QCOMPARE(game().austausch().Anzahl, 1);
    QCOMPARE(game().austausch().Wurfzahl, 1);
    QCOMPARE(game().austausch().MinSumme, 1);
    QCOMPARE(game().austausch().MaxSumme, 6);
    QCOMPARE(game().austausch().totalCount(), 0);
    QCOMPARE(m_casino->faceArray(1).count(), 1);
    QCOMPARE(Twips::left(m_casino->faceArray(1)[0]), 120.0f);
    QCOMPARE(frontFace(0), QStringLiteral("Eins"));
    QVERIFY(game().history().isEmpty());

    ElementList<QLabel> &ergebnis = windows().relHaeufigkeiten()->Ergebnis();
    QCOMPARE(ergebnis.count(), 43);
    QVERIFY(ergebnis[0].isHidden());
    for (int s = 7; s <= 42; ++s)
        QVERIFY(ergebnis[s].isHidden());
}

void TestCasino::anyMouseButtonThrows_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestCasino::anyMouseButtonThrows()
{
    // Every mouse button starts a move, on the press.
    QFETCH(Qt::MouseButton, button);
    ScriptedRandom &random = *m_random;
    random.pushValues({5});
    press(button);
    QCOMPARE(game().history().text(), QStringLiteral("5"));
    QCOMPARE(game().austausch().Haeufigkeit[5], 1);
    QCOMPARE(frontFace(0), QStringLiteral("Fuenf"));
}

void TestCasino::keyboardDoesNotThrow()
{
    // The roll button has no click handler: space or Enter must not throw.
    ScriptedRandom &random = *m_random;
    auto *roll = m_casino->findChild<QPushButton *>(QStringLiteral("CBKollavo"));
    QTest::keyClick(roll, Qt::Key_Space);
    QTest::keyClick(roll, Qt::Key_Return);
    QVERIFY(game().history().isEmpty());
    QCOMPARE(random.reseeds, 0);
}

void TestCasino::facesShowTheLastThrow()
{
    // After a move the dice show its last throw; slots beyond the dice in use are untouched.
    ScriptedDialogs &dialogs = *m_dialogs;
    dialogs.inputAnswers = {QStringLiteral("3")};
    m_casino->MAnzahl_Click();
    game().austausch().Wurfzahl = 3;
    ScriptedRandom &random = *m_random;
    random.pushValues({1, 2, 3, 4, 5, 6, 6, 2, 3});
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(frontFace(0), QStringLiteral("Sechs"));
    QCOMPARE(frontFace(1), QStringLiteral("Zwei"));
    QCOMPARE(frontFace(2), QStringLiteral("Drei"));
    QCOMPARE(game().history().text(), QStringLiteral("1 2 3\r\n4 5 6\r\n6 2 3"));
}

void TestCasino::slotsAreHiddenNotRemoved()
{
    // Fewer dice hide the extra slots; more dice show them again with face 1, creating nothing.
    ScriptedDialogs &dialogs = *m_dialogs;
    dialogs.inputAnswers = {QStringLiteral("7"), QStringLiteral("3"), QStringLiteral("5")};
    m_casino->MAnzahl_Click();
    for (int value = 1; value <= 6; ++value)
        QCOMPARE(m_casino->faceArray(value).count(), 7);
    QCOMPARE(Twips::left(m_casino->faceArray(6)[6]) + 495, 4215.0f);

    ScriptedRandom &random = *m_random;
    random.pushValues({2, 2, 2, 2, 2, 2, 2});
    m_casino->CBKollavo_MouseDown();

    m_casino->MAnzahl_Click();
    for (int slot = 0; slot < 7; ++slot) {
        for (int value = 1; value <= 6; ++value)
            QCOMPARE(m_casino->faceArray(value)[slot].isHidden(), slot >= 3);
    }

    m_casino->MAnzahl_Click();
    for (int value = 1; value <= 6; ++value)
        QCOMPARE(m_casino->faceArray(value).count(), 7);
    for (int slot = 0; slot < 7; ++slot) {
        QCOMPARE(m_casino->faceArray(1)[slot].isHidden(), slot >= 5);
        if (slot < 5)
            QCOMPARE(frontFace(slot), QStringLiteral("Eins"));
    }
}

void TestCasino::newClearsCountsAndHistory()
{
    // New, and choosing the same number of dice again, must start a fresh game.
    ScriptedRandom &random = *m_random;
    random.pushValues({3, 4});
    m_casino->CBKollavo_MouseDown();
    m_casino->MNeu_Click();
    QCOMPARE(game().austausch().totalCount(), 0);
    QVERIFY(game().history().isEmpty());

    m_casino->CBKollavo_MouseDown();
    ScriptedDialogs &dialogs = *m_dialogs;
    dialogs.inputAnswers = {QStringLiteral("1")};
    m_casino->MAnzahl_Click();
    QCOMPARE(game().austausch().totalCount(), 0);
    QVERIFY(game().history().isEmpty());
}

void TestCasino::numberOfDiceAsksUntilValid_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("dice");
    QTest::newRow("valid at once") << QStringList{u"4"_s} << 4;
    QTest::newRow("cancel, out of range, text, then valid")
        << QStringList{QString(), u"0"_s, u"8"_s, u"-1"_s, u"abc"_s, u"7"_s} << 7;
    QTest::newRow("a half rounds to even") << QStringList{u"2.5"_s} << 2;
}

void TestCasino::numberOfDiceAsksUntilValid()
{
    // Every invalid entry, cancel included, brings the same box back until the value is valid.
    QFETCH(QStringList, answers);
    QFETCH(int, dice);
    QLocale::setDefault(QLocale(QLocale::English));
    ScriptedDialogs &dialogs = *m_dialogs;
    dialogs.inputAnswers.assign(answers.begin(), answers.end());
    m_casino->MAnzahl_Click();
    QLocale::setDefault(QLocale::system());

    QCOMPARE(game().austausch().Anzahl, dice);
    QCOMPARE(game().austausch().MinSumme, dice);
    QCOMPARE(game().austausch().MaxSumme, 6 * dice);
    QCOMPARE(dialogs.inputs.size(), answers.size());
    for (const ScriptedDialogs::Input &input : std::as_const(dialogs.inputs)) {
        QCOMPARE(input.prompt,
                 QStringLiteral("Geben Sie bitte die Anzahl der Würfel ein. (Zahl zwischen 1 und 7)"));
        QCOMPARE(input.title, QStringLiteral("Kollavo"));
        QCOMPARE(input.defaultText, QStringLiteral("1"));
    }
}

void TestCasino::throwsPerMoveAsksUntilValid()
{
    // Throws per move: re-asked until valid, and changing it keeps the game as it is.
    ScriptedRandom &random = *m_random;
    random.pushValues({6});
    m_casino->CBKollavo_MouseDown();

    ScriptedDialogs &dialogs = *m_dialogs;
    dialogs.inputAnswers = {QString(), QStringLiteral("-1"), QStringLiteral("32768")};
    m_casino->MWuerfe_Click();
    QCOMPARE(game().austausch().Wurfzahl, 32768);
    QCOMPARE(dialogs.inputs.size(), 3);
    QCOMPARE(dialogs.inputs.last().prompt,
             QStringLiteral("Geben Sie bitte die Anzahl der Würfe pro Spielzug ein."));
    QCOMPARE(dialogs.inputs.last().defaultText, QStringLiteral("1"));
    QCOMPARE(game().history().text(), QStringLiteral("6"));
    QCOMPARE(game().austausch().Haeufigkeit[6], 1);
    QCOMPARE(frontFace(0), QStringLiteral("Sechs"));

    dialogs.inputAnswers = {QStringLiteral("0")};
    m_casino->MWuerfe_Click();
    QCOMPARE(dialogs.inputs.last().defaultText, QStringLiteral("32768"));
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(game().history().text(), QStringLiteral("6"));
}

void TestCasino::countLimitIsReported()
{
    // A move that reaches a full count stops and tells the user, instead of corrupting counts.
    ScriptedDialogs &dialogs = *m_dialogs;
    game().austausch().Haeufigkeit[3] = Austausch::HoechsteHaeufigkeit;
    game().austausch().Wurfzahl = 4;
    ScriptedRandom &random = *m_random;
    random.pushValues({1, 2, 3, 4});
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(game().history().text(), QStringLiteral("1\r\n2"));
    QCOMPARE(frontFace(0), QStringLiteral("Zwei"));
    QTRY_COMPARE(dialogs.messages.size(), 1);
    const QString text = dialogs.messages.first().text;
    QVERIFY2(text.contains(QStringLiteral("Summe 3")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("32767")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Von den 4 Würfen dieses Spielzugs wurden 2")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("„Neu“")), qPrintable(text));
}

void TestCasino::closeBoxWhileTheLimitIsReported()
{
    // Qt drops the close box's request while the message blocks the window: the program went
    // on after the message, and only a second click closed it.
    game().austausch().Haeufigkeit[3] = Austausch::HoechsteHaeufigkeit;
    m_random->pushValues({3});
    m_casino->show();
    action("Mabs")->trigger();
    bool boxClosed = false;
    m_dialogs->whileMessageOpen = [this, &boxClosed] {
        QMessageBox box(QMessageBox::Warning, u"Kollavo"_s, u"Zählgrenze"_s, QMessageBox::Ok,
                        m_casino.get());
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        m_casino->closeBoxWhileBlocked();
        boxClosed = !box.isVisible();
    };
    m_casino->CBKollavo_MouseDown();
    QTRY_COMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(boxClosed);
    QVERIFY(!m_casino->isVisible());
    QVERIFY(!windows().absHaeufigkeiten().isLoaded());
}

void TestCasino::outOfMemoryIsReported()
{
    // A move that runs out of memory keeps the throws it made and tells the user, not a crash.
    game().austausch().Wurfzahl = 4;
    m_random->pushValues({1, 2, 3, 4});
    m_random->failAtDraw = 2;
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(game().history().text(), QStringLiteral("1\r\n2"));
    QCOMPARE(frontFace(0), QStringLiteral("Zwei"));
    QTRY_COMPARE(m_dialogs->messages.size(), 1);
    const QString text = m_dialogs->messages.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("Der Arbeitsspeicher reicht nicht")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Von den 4 Würfen dieses Spielzugs wurden 2")),
             qPrintable(text));
}

void TestCasino::windowItemsShowAndHide_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("window");
    QTest::newRow("absolute") << QStringLiteral("Mabs") << 0;
    QTest::newRow("relative") << QStringLiteral("Mrel") << 1;
    QTest::newRow("history") << QStringLiteral("MVerlauf") << 2;
}

static SharedWindowBase &statisticsWindow(int which)
{
    switch (which) {
    case 0:
        return windows().absHaeufigkeiten();
    case 1:
        return windows().relHaeufigkeiten();
    default:
        return windows().verlauf();
    }
}

void TestCasino::windowItemsShowAndHide()
{
    // The check mark must always tell whether the window is shown.
    QFETCH(QString, item);
    QFETCH(int, window);
    QAction *a = action(qPrintable(item));
    SharedWindowBase &shared = statisticsWindow(window);

    a->trigger();
    QVERIFY(a->isChecked());
    QVERIFY(shared.loadedWidget()->isVisible());
    QVERIFY(shared.loadedWidget()->parentWidget() == nullptr);

    a->trigger();
    QVERIFY(!a->isChecked());
    QVERIFY(shared.isLoaded());
    QVERIFY(!shared.loadedWidget()->isVisible());
}

void TestCasino::closeBoxClearsTheMark_data()
{
    windowItemsShowAndHide_data();
}

void TestCasino::closeBoxClearsTheMark()
{
    // A window closed by its close box clears its mark and comes back with the current game.
    QFETCH(QString, item);
    QFETCH(int, window);
    QAction *a = action(qPrintable(item));
    SharedWindowBase &shared = statisticsWindow(window);

    a->trigger();
    QWidget *first = shared.loadedWidget();
    first->close();
    QVERIFY(!a->isChecked());
    QVERIFY(!shared.isLoaded());

    ScriptedRandom &random = *m_random;
    random.pushValues({2});
    m_casino->CBKollavo_MouseDown(); // re-creates the window hidden
    QVERIFY(shared.isLoaded());
    QVERIFY(!shared.loadedWidget()->isVisible());

    a->trigger();
    QVERIFY(a->isChecked());
    QVERIFY(shared.loadedWidget()->isVisible());
}

void TestCasino::infoShowsThreeLines()
{
    // Info shows its message and changes nothing.
    ScriptedDialogs &dialogs = *m_dialogs;
    action("MInfo")->trigger();
    QCOMPARE(dialogs.messages.size(), 1);
    const QStringList lines = dialogs.messages.first().text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Kollavo Version 1.0."));
    QVERIFY(lines[1].startsWith(QStringLiteral("Autor: ")) && lines[1].contains(u"Kollavo"));
    QVERIFY(lines[2].startsWith(QStringLiteral("Email: ")) && lines[2].contains(u'@'));
    QCOMPARE(dialogs.messages.first().title, QStringLiteral("Kollavo"));
    QCOMPARE(dialogs.messages.first().icon, Dialogs::Icon::None);
}

void TestCasino::endeClosesEverything()
{
    // "Ende" with every window open leaves no window behind and ends the program with exit code 0.
    m_casino->show();
    for (const char *item : {"Mabs", "Mrel", "MVerlauf"})
        action(item)->trigger();
    QTimer::singleShot(0, this, [this] { action("MEnde")->trigger(); });
    QTimer::singleShot(5000, this, [] { QCoreApplication::exit(3); }); // instead of hanging
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!m_casino->isVisible());
    QVERIFY(!windows().absHaeufigkeiten().isLoaded());
    QVERIFY(!windows().relHaeufigkeiten().isLoaded());
    QVERIFY(!windows().verlauf().isLoaded());
    for (const char *item : {"Mabs", "Mrel", "MVerlauf"})
        QVERIFY(!action(item)->isChecked());
}

void TestCasino::closingAWindowUnderAMessage_data()
{
    windowItemsShowAndHide_data();
}

void TestCasino::closingAWindowUnderAMessage()
{
    // A window the user closes while a message is open must not take the message with it, and
    // "Ende" afterwards must end the program cleanly.
    QFETCH(QString, item);
    QFETCH(int, window);
    QAction *a = action(qPrintable(item));
    SharedWindowBase &shared = statisticsWindow(window);
    m_casino->show();
    a->trigger();
    QVERIFY(shared.loadedWidget()->isVisible());
    m_dialogs->whileMessageOpen = [&shared] { shared.loadedWidget()->close(); };

    game().austausch().Haeufigkeit[1] = Austausch::HoechsteHaeufigkeit;
    game().austausch().Wurfzahl = 2147483647;
    m_random->pushValues({1});
    m_casino->CBKollavo_MouseDown();
    QTRY_COMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(!shared.isLoaded());
    QVERIFY(!a->isChecked());

    QTimer::singleShot(0, this, [this] { action("MEnde")->trigger(); });
    QTimer::singleShot(5000, this, [] { QCoreApplication::exit(3); }); // instead of hanging
    QCOMPARE(QCoreApplication::exec(), 0);
    for (SharedWindowBase *each : windows().all())
        QVERIFY(!each->isLoaded());
}


void TestCasino::rollButtonTip_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<qint32>("throwsPerMove");
    QTest::addColumn<qint64>("throwsSoFar");
    QTest::addColumn<QString>("tip");
    QTest::newRow("grouped thousands") << 2 << 1000 << qint64(4000)
                                       << u"2 Würfel · 1.000 Würfe pro Spielzug · bisher 4.000 Würfe · F5 würfelt"_s;
    QTest::newRow("one throw") << 1 << 1 << qint64(1)
                               << u"1 Würfel · 1 Wurf pro Spielzug · bisher 1 Wurf · F5 würfelt"_s;
    QTest::newRow("none yet") << 7 << 0 << qint64(0)
                              << u"7 Würfel · 0 Würfe pro Spielzug · bisher 0 Würfe · F5 würfelt"_s;
}

void TestCasino::rollButtonTip()
{
    // The tip must read as German whatever the system's locale, singular included.
    QFETCH(int, dice);
    QFETCH(qint32, throwsPerMove);
    QFETCH(qint64, throwsSoFar);
    QFETCH(QString, tip);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(::rollButtonTip(static_cast<qint16>(dice), throwsPerMove, throwsSoFar), tip);
    QLocale::setDefault(QLocale::system());
}

void TestCasino::rollButtonTipFollowsTheGame()
{
    // A tip that kept the state of start-up would tell the class something false.
    auto *roll = m_casino->findChild<QPushButton *>(u"CBKollavo"_s);
    m_dialogs->inputAnswers = {u"3"_s};
    m_casino->MWuerfe_Click();
    m_random->pushValues({1, 2, 3});
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(roll->toolTip(), u"1 Würfel · 3 Würfe pro Spielzug · bisher 3 Würfe · F5 würfelt"_s);
    m_casino->MNeu_Click();
    QCOMPARE(roll->toolTip(), u"1 Würfel · 3 Würfe pro Spielzug · bisher 0 Würfe · F5 würfelt"_s);
}

QString TestCasino::shownBy(const QString &window) const
{
    QStringList words;
    if (window == u"absHaeufigkeiten") {
        const auto &bars = windows().absHaeufigkeiten()->absH();
        for (int i = 0; i < bars.count(); ++i) {
            if (bars[i].isVisibleTo(bars[i].parentWidget()) && bars[i].height() > 0)
                words << bars[i].text() + u':' + bars[i].toolTip();
        }
    } else if (window == u"relHaeufigkeiten") {
        // The labels of the wedges drawn.
        ElementList<QLabel> &labels = windows().relHaeufigkeiten()->Ergebnis();
        for (int s = 1; s < labels.count(); ++s) {
            if (labels[s].isVisibleTo(labels[s].parentWidget()))
                words << labels[s].text();
        }
    } else if (window == u"Verlauf") {
        words << windows().verlauf()->TFVerlauf().toPlainText().replace(u'\n', u'|');
    } else if (window == u"Auswertung") {
        Auswertung &auswertung = *windows().auswertung();
        words << auswertung.findChild<QLabel *>(u"Wurfanzahl"_s)->text() + u':';
        const AuswertungModel &model = auswertung.model();
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString count = model.index(row, AuswertungModel::Anzahl).data().toString();
            if (count != u"0")
                words << model.index(row, AuswertungModel::Summe).data().toString() + u':' + count;
        }
    } else if (window == u"Entwicklung") {
        // The throws run along the logarithmic axis at the bottom, the value up the side.
        QChart &chart = *windows().entwicklung()->chartView().chart();
        const QList<QAbstractAxis *> across = chart.axes(Qt::Horizontal);
        words << (across.size() == 1 && qobject_cast<QLogValueAxis *>(across.first()) ? u"log"_s
                                                                                       : u"?"_s);
        for (QAbstractSeries *series : chart.series()) {
            auto *line = qobject_cast<QLineSeries *>(series);
            if (line && line->name() == u"beobachtet" && line->count() > 0) {
                const QPointF last = line->at(line->count() - 1);
                words << QString::number(last.x()) + u':' + QString::number(last.y(), 'f', 3);
            }
        }
    } else if (window == u"Casino") {
        words << m_casino->findChild<QPushButton *>(u"CBKollavo"_s)->toolTip();
    }
    return words.join(u' ');
}

void TestCasino::windowsFollowTheGame_data()
{
    // After a first move of three throws of two dice (sums 2, 7, 12), with every window open
    // and Entwicklung on the sum 7, `command` runs; then `window` must show `shown`.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("shown");

    const QString tip = u"2 Würfel · 3 Würfe pro Spielzug · bisher "_s;
    const QString f5 = u" · F5 würfelt"_s;
    const struct
    {
        const char *command;
        QString abs, rel, verlauf, auswertung, entwicklung, casino;
    } rows[] = {
        {"move", u"2:1 7:2 12:1"_s, u"2 7 12"_s, u"1 1|3 4|6 6|5 2"_s, u"4: 2:1 7:2 12:1"_s,
         u"log 4:0.500"_s, tip + u"4 Würfe"_s + f5},
        {"Neu", u""_s, u""_s, u""_s, u"0:"_s, u"log"_s, tip + u"0 Würfe"_s + f5},
        {"Würfelzahl", u""_s, u""_s, u""_s, u"0:"_s, u"log"_s,
         u"3 Würfel · 3 Würfe pro Spielzug · bisher 0 Würfe"_s + f5},
        {"Würfe", u"2:1 7:1 12:1"_s, u"2 7 12"_s, u"1 1|3 4|6 6"_s, u"3: 2:1 7:1 12:1"_s,
         u"log 3:0.333"_s, u"2 Würfel · 5 Würfe pro Spielzug · bisher 3 Würfe"_s + f5},
        {"reopened", u"2:1 7:1 12:1"_s, u"2 7 12"_s, u"1 1|3 4|6 6"_s, u"3: 2:1 7:1 12:1"_s,
         u"log 3:0.333"_s, tip + u"3 Würfe"_s + f5},
    };
    for (const auto &row : rows) {
        const std::pair<const char *, QString> shown[] = {
            {"absHaeufigkeiten", row.abs}, {"relHaeufigkeiten", row.rel},
            {"Verlauf", row.verlauf},      {"Auswertung", row.auswertung},
            {"Entwicklung", row.entwicklung}, {"Casino", row.casino}};
        for (const auto &[window, words] : shown) {
            QTest::addRow("%s, %s", row.command, window)
                << QString::fromUtf8(row.command) << QString::fromLatin1(window) << words;
        }
    }
}

void TestCasino::windowsFollowTheGame()
{
    // No command may leave a window showing another game than the one being played: not after
    // a move, not after New or a setting, and not once a window was closed and opened again.
    QFETCH(QString, command);
    QFETCH(QString, window);
    QFETCH(QString, shown);

    m_dialogs->inputAnswers = {u"2"_s, u"3"_s};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    for (const char *item : {"Mabs", "Mrel", "MVerlauf"})
        action(item)->trigger();
    windows().auswertung().show();
    windows().showEntwicklung(7);
    m_random->pushValues({1, 1, 3, 4, 6, 6});
    m_casino->CBKollavo_MouseDown();

    const AuswertungModel &model = windows().auswertung()->model();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    if (command == u"move") {
        m_dialogs->inputAnswers = {u"1"_s};
        m_casino->MWuerfe_Click();
        m_random->pushValues({5, 2});
        m_casino->CBKollavo_MouseDown();
        m_dialogs->inputAnswers = {u"3"_s};
        m_casino->MWuerfe_Click();
    } else if (command == u"Neu") {
        action("MNeu")->trigger();
    } else if (command == u"Würfelzahl") {
        m_dialogs->inputAnswers = {u"3"_s};
        action("MAnzahl")->trigger();
    } else if (command == u"Würfe") {
        m_dialogs->inputAnswers = {u"5"_s};
        action("MWuerfe")->trigger();
    } else if (command == u"reopened") {
        for (SharedWindowBase *each : windows().all()) {
            if (QWidget *shown = each->loadedWidget())
                shown->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const char *item : {"Mabs", "Mrel", "MVerlauf"})
            action(item)->trigger();
        windows().absHaeufigkeiten()->findChild<QAction *>(u"MAuswertung"_s)->trigger();
        windows().showEntwicklung(7);
    }
    QCOMPARE(shownBy(window), shown);
    // A table view repaints only what its model says has changed.
    if (window == u"Auswertung" && command != u"Würfe" && command != u"reopened")
        QVERIFY(changed.count() + reset.count() > 0);
}

void TestCasino::throwingWithoutAMouse_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("F5 in the main window") << u"F5 Casino"_s;
    QTest::newRow("F5 in the history window") << u"F5 Verlauf"_s;
    QTest::newRow("a screen reader's press") << u"press"_s;
}

void TestCasino::throwingWithoutAMouse()
{
    // A pupil who cannot use a mouse must be able to throw, from whichever window is active.
    QFETCH(QString, how);
    m_random->pushValues({4});
    auto *roll = m_casino->findChild<QPushButton *>(u"CBKollavo"_s);
    if (how == u"press") {
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(roll);
        QVERIFY(button->actionInterface());
        QCOMPARE(button->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::pressAction()});
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    } else {
        // The shortcut belongs to the main window, which is on screen whenever the program is.
        m_casino->show();
        QWidget *window = m_casino.get();
        if (how.endsWith(u"Verlauf"))
            window = windows().verlauf().loadedWidget();
        window->show();

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F5);
    }
    QCOMPARE(game().history().text(), u"4"_s);
    QCOMPARE(m_random->reseeds, 1);
}

void TestCasino::pressBehindADialogDoesNothing()
{
    // A screen reader's press threw behind the open dialog, where mouse and F5 are kept out.
    m_random->pushValues({4, 5});
    m_casino->show();
    QAccessibleInterface *button =
        QAccessible::queryAccessibleInterface(m_casino->findChild<QPushButton *>(u"CBKollavo"_s));
    m_casino->findChild<QAction *>(u"MZufall"_s)->trigger();
    auto *dialog = m_casino->findChild<QDialog *>(u"Zufall"_s);
    QVERIFY(dialog && dialog->isVisible());
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(game().history().isEmpty());
    dialog->reject();
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(game().history().text(), u"4"_s);
}

void TestCasino::diceAreaTellsTheLastThrow_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<int>("throwsPerMove");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("two dice") << 2 << 1 << QList<int>{5, 3}
                              << u"Letzter Wurf: 5, 3 – Augensumme 8"_s
                              << u"Letzter Wurf: 5, 3 – Augensumme 8"_s;
    QTest::newRow("one die") << 1 << 1 << QList<int>{5} << u"Letzter Wurf: 5"_s
                             << u"Letzter Wurf: 5"_s;
    QTest::newRow("a move of three throws")
        << 1 << 3 << QList<int>{1, 2, 5} << u"Letzter Wurf: 5"_s
        << u"Letzter Wurf: 5 – 3 Würfe, bisher 3"_s;
}

namespace {
// Counts the times a widget appears: Qt tells assistive technology of each (offscreen, Qt has
// no accessibility bridge whose events a test could see).
class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        shows += event->type() == QEvent::Show;
        return false;
    }
};
} // namespace

void TestCasino::diceAreaTellsTheLastThrow()
{
    // A blind pupil heard nothing after a throw: Orca speaks a name change only of the focused
    // element, but speaks a notification that appears. The dice area is named after the throw,
    // and the notification shows again with it after every move and after New.
    QFETCH(int, dice);
    QFETCH(int, throwsPerMove);
    QFETCH(QList<int>, values);
    QFETCH(QString, name);
    QFETCH(QString, spoken);
    QAccessibleInterface *area = QAccessible::queryAccessibleInterface(m_casino->centralWidget());
    QCOMPARE(area->text(QAccessible::Name), u"Noch kein Wurf"_s);
    // The face pictures are not offered one by one; the roll button is.
    QCOMPARE(area->childCount(), 1);
    QCOMPARE(area->child(0)->object()->objectName(), u"CBKollavo"_s);
    auto *ansage = m_casino->findChild<QWidget *>(u"Ansage"_s);
    QAccessibleInterface *notification = QAccessible::queryAccessibleInterface(ansage);
    QCOMPARE(notification->role(), QAccessible::Notification);
    QVERIFY(ansage->focusPolicy() == Qt::NoFocus);

    // A hidden window shows nothing, and so tells nothing.
    m_casino->show();
    m_dialogs->inputAnswers = {QString::number(dice), QString::number(throwsPerMove)};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    m_random->pushValues(values);
    ShowCounter counter;
    ansage->installEventFilter(&counter);
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(area->text(QAccessible::Name), name);
    QCOMPARE(notification->text(QAccessible::Name), spoken);
    QCOMPARE(counter.shows, 1);
    QVERIFY(ansage->isVisible());

    m_casino->MNeu_Click();
    QCOMPARE(area->text(QAccessible::Name), u"Noch kein Wurf"_s);
    QCOMPARE(notification->text(QAccessible::Name), u"Neues Spiel"_s);
    QCOMPARE(counter.shows, 2);
    // One pixel that paints nothing: nobody sees it.
    QCOMPARE(ansage->size(), QSize(1, 1));
    QVERIFY(ansage->testAttribute(Qt::WA_TransparentForMouseEvents));
}

void TestCasino::quittingUnderAnEntryBox()
{
    // A desktop logout closes the entry box and the window together: the box must not ask
    // again and again, and the setting stays as it was.
    m_casino->show();
    m_dialogs->inputAnswers = {u""_s, u""_s, u""_s};
    m_dialogs->whileInputOpen = [] { QCoreApplication::quit(); };
    QTimer::singleShot(0, this, [this] { action("MAnzahl")->trigger(); });
    QTimer::singleShot(5000, this, [] { QCoreApplication::exit(3); }); // instead of hanging
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(m_dialogs->inputs.size(), 1);
    QCOMPARE(game().dice(), 1);
    QVERIFY(!m_casino->isVisible());
}

void TestCasino::menuFromTheKeyboard()
{
    // "Info" and "Ende" on the second row were out of reach of the keys.
    m_casino->show();
    m_casino->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_casino.get()));
    auto *bar = qobject_cast<WrappingMenuBar *>(m_casino->menuWidget());
    QVERIFY(bar->rows().size() > 1);
    QTest::keyClick(m_casino.get(), Qt::Key_Alt);
    // A screen reader speaks the focused object: the item, not a nameless container.
    const auto focused = [bar] {
        const QAccessibleInterface *item = QAccessible::queryAccessibleInterface(bar)->focusChild();
        return item && item->state().focused ? item->text(QAccessible::Name) : QString();
    };
    QCOMPARE(focused(), u"Neu"_s);
    QTest::keyClick(bar, Qt::Key_Left);
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(bar->keyboardItem(), action("MInfo"));
    QCOMPARE(focused(), u"Info"_s);
    QTest::keyClick(bar, Qt::Key_Return);
    QCOMPARE(m_dialogs->messages.size(), 1);
}

void TestCasino::desktopFontRefitsTheWindow()
{
    // A larger desktop font, chosen while the program runs, wrapped the menu onto more rows in
    // a window that kept its height: the dice and the roll button were cut off.
    m_casino->show();
    const int before = m_casino->height();
    const QFont desktop = QApplication::font();
    auto restore = qScopeGuard([&desktop] { QApplication::setFont(desktop); });
    QFont large = desktop;
    large.setPointSizeF(desktop.pointSizeF() * 2);
    QApplication::setFont(large);
    QTRY_VERIFY(m_casino->height() > before);
    QWidget *client = m_casino->centralWidget();
    QTRY_COMPARE(client->geometry().bottom(), m_casino->height() - 1);
    QCOMPARE(client->height(), 94);
}

void TestCasino::diceSettingsFromTheTray_data()
{
    QTest::addColumn<QString>("startwert");
    QTest::addColumn<int>("sechs"); // the weight of the six
    QTest::addColumn<bool>("geheim");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("newGame");
    QTest::newRow("seed and loaded")
        << u"4711"_s << 5 << false
        << u"1 Würfel · 1 Wurf pro Spielzug · bisher 0 Würfe · Startwert 4711 · gezinkt 1, 1, 1, "
           u"1, 1, 5 · F5 würfelt"_s
        << true;
    QTest::newRow("secret") << u"4711"_s << 5 << true
                            << u"1 Würfel · 1 Wurf pro Spielzug · bisher 0 Würfe · F5 würfelt"_s
                            << true;
    QTest::newRow("nothing changed")
        << u""_s << 1 << false << u"1 Würfel · 1 Wurf pro Spielzug · bisher 1 Wurf · F5 würfelt"_s
        << false;
}

void TestCasino::diceSettingsFromTheTray()
{
    // The teacher's settings must start a new game from the seed and show only what is not
    // secret; OK without a change must not throw away the class's throws.
    QFETCH(QString, startwert);
    QFETCH(int, sechs);
    QFETCH(bool, geheim);
    QFETCH(QString, tip);
    QFETCH(bool, newGame);
    m_random->pushValues({3});
    m_casino->CBKollavo_MouseDown();
    windows().auswertung().show();
    const int restarts = m_random->restarts;

    // A right press on the roll button throws and opens nothing; on the tray it opens the menu.
    auto *roll = m_casino->findChild<QPushButton *>(u"CBKollavo"_s);
    QContextMenuEvent onButton(QContextMenuEvent::Mouse, QPoint(5, 5), roll->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(roll, &onButton);
    QVERIFY(!m_casino->findChild<QDialog *>(u"Zufall"_s));
    QWidget *tray = m_casino->centralWidget();
    QContextMenuEvent onTray(QContextMenuEvent::Mouse, QPoint(3, 3), tray->mapToGlobal(QPoint(3, 3)));
    QCoreApplication::sendEvent(tray, &onTray);
    auto *menu = m_casino->findChild<QMenu *>();
    QTRY_VERIFY(menu && menu->isVisible());
    QVERIFY(menu->actions().contains(action("MZufall")));
    menu->hide();

    action("MZufall")->trigger();
    auto *dialog = m_casino->findChild<QDialog *>(u"Zufall"_s);
    QVERIFY(dialog && dialog->isVisible() && dialog->isModal());
    dialog->findChild<QLineEdit *>(u"Startwert"_s)->setText(startwert);
    dialog->findChild<QSpinBox *>(u"Gewicht6"_s)->setValue(sechs);
    dialog->findChild<QCheckBox *>(u"Geheim"_s)->setChecked(geheim);
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();

    QCOMPARE(game().history().isEmpty(), newGame);
    QCOMPARE(m_random->restarts > restarts, newGame);
    if (newGame)
        QCOMPARE(m_random->seed, std::optional<quint32>(4711));
    QCOMPARE(roll->toolTip(), tip);
    // Auswertung names the weights and adds their probabilities only when that is no secret.
    const bool loadedShown = sechs != 1 && !geheim;
    QCOMPARE(windows().auswertung()->findChild<QLabel *>(u"Gewichte"_s)->isVisibleTo(
                 windows().auswertung().loadedWidget()),
             loadedShown);
    const AuswertungModel &model = windows().auswertung()->model();
    QCOMPARE(model.columnCount(), AuswertungModel::Spalten + (loadedShown ? 1 : 0));
    if (loadedShown) // the six: 5 of the weights' 10
        QCOMPARE(model.index(5, AuswertungModel::Gezinkt).data().toString(), u"50,00 %"_s);

}

void TestCasino::revealingKeepsTheThrows_data()
{
    QTest::addColumn<bool>("geheim"); // before; the dialog changes only this
    QTest::newRow("unticking Geheim") << true;
    QTest::newRow("ticking Geheim") << false;
}

void TestCasino::revealingKeepsTheThrows()
{
    // Revealing the loaded dice started a new game: the class lost the throws it was to compare
    // with the loaded probabilities.
    QFETCH(bool, geheim);
    const auto setZufall = [this](const QString &startwert, bool secret) {
        action("MZufall")->trigger();
        auto *dialog = m_casino->findChild<QDialog *>(u"Zufall"_s);
        dialog->findChild<QLineEdit *>(u"Startwert"_s)->setText(startwert);
        dialog->findChild<QSpinBox *>(u"Gewicht6"_s)->setValue(5);
        dialog->findChild<QCheckBox *>(u"Geheim"_s)->setChecked(secret);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    };
    setZufall(u"4711"_s, geheim);
    windows().auswertung().show();
    m_random->pushValues({3, 6});
    m_casino->CBKollavo_MouseDown();
    m_casino->CBKollavo_MouseDown();
    const QString history = game().history().text();
    const int restarts = m_random->restarts;

    setZufall(u"4711"_s, !geheim);
    QCOMPARE(game().history().text(), history);
    QCOMPARE(game().throws(), 2);
    QCOMPARE(m_random->restarts, restarts);
    QCOMPARE(windows().auswertung()->model().columnCount(),
             AuswertungModel::Spalten + (geheim ? 1 : 0));

    // Anything else changed with it still starts afresh.
    setZufall(u"4712"_s, geheim);
    QCOMPARE(game().throws(), 0);
}

// Notes the windows in the order they change: a chart through the events its elements get as
// they are placed, the theory windows through their model and series.
class FollowOrder : public QObject
{
public:
    QStringList order;
    void note(const QString &window)
    {
        if (order.isEmpty() || order.constLast() != window)
            order.append(window);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        static const QList<QEvent::Type> placing{QEvent::Move, QEvent::Resize, QEvent::Show,
                                                 QEvent::Hide};
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && !widget->isWindow() && placing.contains(event->type())) {
            const QString window = widget->window()->objectName();
            if (window == u"absHaeufigkeiten" || window == u"relHaeufigkeiten")
                note(window);
        }
        return false;
    }
};

void TestCasino::windowsFollowInOneOrder_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("order");
    const QStringList afterMove{u"absHaeufigkeiten"_s, u"relHaeufigkeiten"_s, u"Auswertung"_s,
                                u"Entwicklung"_s};
    QTest::newRow("move") << u"move"_s << afterMove;
    // New first shows the pie's labels of the sums the game can reach.
    QTest::newRow("Neu") << u"Neu"_s << QStringList{u"relHaeufigkeiten"_s} + afterMove;
    QTest::newRow("bar chart closed and opened again") << u"reopened"_s << afterMove;
}

void TestCasino::windowsFollowInOneOrder()
{
    // The windows follow the game in one order: the bar chart, then the pie, then the theory
    // windows, also after the user closed one and opened it again.
    QFETCH(QString, command);
    QFETCH(QStringList, order);
    m_dialogs->inputAnswers = {u"2"_s};
    m_casino->MAnzahl_Click();
    for (const char *item : {"Mabs", "Mrel"})
        action(item)->trigger();
    windows().auswertung().show();
    windows().showEntwicklung(7);
    m_random->pushValues({1, 1, 3, 4});
    m_casino->CBKollavo_MouseDown();
    if (command == u"reopened") {
        windows().absHaeufigkeiten().loadedWidget()->close();
        action("Mabs")->trigger();
    }

    FollowOrder follow;
    qApp->installEventFilter(&follow);
    const auto theory = [&follow](const QString &window) {
        return [&follow, window] { follow.note(window); };
    };
    const AuswertungModel &model = windows().auswertung()->model();
    connect(&model, &QAbstractItemModel::dataChanged, this, theory(u"Auswertung"_s));
    connect(&model, &QAbstractItemModel::modelReset, this, theory(u"Auswertung"_s));
    for (QAbstractSeries *series : windows().entwicklung()->chartView().chart()->series()) {
        if (auto *line = qobject_cast<QLineSeries *>(series); line && line->name() == u"beobachtet") {
            connect(line, &QXYSeries::pointsReplaced, this, theory(u"Entwicklung"_s));
            connect(line, &QXYSeries::pointsRemoved, this, theory(u"Entwicklung"_s));
        }
    }
    if (command == u"Neu") {
        m_casino->MNeu_Click();
    } else {
        m_random->pushValues({6, 5});
        m_casino->CBKollavo_MouseDown();
    }
    qApp->removeEventFilter(&follow);
    QCOMPARE(follow.order, order);
}

void TestCasino::reopenedWindowKeepsItsMenu_data()
{
    QTest::addColumn<QString>("window");
    for (const char *window : {"absHaeufigkeiten", "relHaeufigkeiten", "Entwicklung",
                               "Zufallsgroesse"})
        QTest::newRow(window) << QString::fromLatin1(window);
}

void TestCasino::reopenedWindowKeepsItsMenu()
{
    // A chart closed and opened again is a new window: an item of its menu that was wired only
    // to the first one (the bar chart's "Auswertung …") did nothing.
    QFETCH(QString, window);
    StatisticsWindows &all = windows();
    const QHash<QString, SharedWindowBase *> byName{
        {u"absHaeufigkeiten"_s, &all.absHaeufigkeiten()},
        {u"relHaeufigkeiten"_s, &all.relHaeufigkeiten()},
        {u"Entwicklung"_s, &all.entwicklung()},
        {u"Zufallsgroesse"_s, &all.zufallsgroesse()}};
    SharedWindowBase &shared = *byName.value(window);
    press();
    shared.show();
    QPointer<QWidget> first = shared.loadedWidget();
    first->close();
    QTRY_VERIFY(!first);
    shared.show();
    QWidget *reopened = shared.loadedWidget();
    QVERIFY(reopened && reopened->isVisible());

    const QList<QMenu *> menus = reopened->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(menus.size(), 1);
    const QList<QAction *> actions = menus.first()->actions();
    QVERIFY(!actions.isEmpty());
    QClipboard &clipboard = *QGuiApplication::clipboard();
    const auto shownAfter = [](SharedWindowBase &opened, QAction *item) {
        opened.unload();
        item->trigger();
        return opened.loadedWidget() && opened.loadedWidget()->isVisible();
    };
    for (QAction *item : actions) {
        if (item->isSeparator())
            continue;
        const QString name = item->objectName();
        clipboard.clear();
        if (name == u"MAuswertung"_s) {
            QVERIFY(shownAfter(all.auswertung(), item));
        } else if (name == u"MEntwicklung"_s) {
            QVERIFY(shownAfter(all.entwicklung(), item));
        } else if (name == u"MZufallsgroesse"_s) {
            QVERIFY(shownAfter(all.zufallsgroesse(), item));
        } else if (name == u"MErwartet"_s) {
            item->trigger();
            const QList<QLabel *> marks = reopened->findChildren<QLabel *>(u"Erwartung"_s);
            QVERIFY(std::any_of(marks.cbegin(), marks.cend(),
                                [](const QLabel *mark) { return mark->isVisible(); }));
        } else if (name == u"MBildKopieren"_s) {
            item->trigger();
            QVERIFY(!clipboard.image().isNull());
        } else if (name == u"MTabelleKopieren"_s) {
            item->trigger();
            // The one throw of the game, a 4, counted once.
            QVERIFY2(clipboard.text().contains(u"\n4\t1\t"_s), qPrintable(clipboard.text()));
        } else if (name == u"MBildSpeichern"_s) {
            m_dialogs->saveAnswers = {QString()};
            item->trigger();
            QCOMPARE(m_dialogs->saveFilters.size(), 1);
            m_dialogs->saveFilters.clear();
        } else if (name == u"MDrucken"_s) {
            m_dialogs->printAnswers = {false};
            item->trigger();
            QCOMPARE(m_dialogs->printDialogs, 1);
            m_dialogs->printDialogs = 0;
        } else {
            QFAIL(qPrintable(u"no check for the menu item "_s + name));
        }
    }
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestCasino::zoomForAProjector()
{
    SKIP_WITHOUT_FONTS();
    // Enlarged for a projector, the menu must not hide the dice and the roll button; back at
    // 100 % the window must be exactly as it was, to the pixel.
    m_casino->show();
    m_casino->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_casino.get()));
    auto *button = m_casino->findChild<QPushButton *>(u"CBKollavo"_s);
    QTest::keyClick(m_casino.get(), Qt::Key_0, Qt::ControlModifier); // keys show the focus
    const QSize size = m_casino->size();
    const QImage before = m_casino->grab().toImage();
    const qreal caption = QFontInfo(button->font()).pointSizeF();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(m_casino.get(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(QFontInfo(button->font()).pointSizeF(), 2 * caption);
    QTRY_VERIFY(m_casino->height() > size.height());
    QVERIFY(m_casino->rect().contains(
        QRect(button->mapTo(m_casino.get(), QPoint()), button->size())));
    QTest::keyClick(m_casino.get(), Qt::Key_0, Qt::ControlModifier);
    QTRY_COMPARE(m_casino->size(), size);
    // The menu's rows made anew for the font appear with the next events.
    QTRY_COMPARE(m_casino->grab().toImage(), before);
}

QTEST_MAIN(TestCasino)


#include "tst_casino.moc"
