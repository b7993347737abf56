// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"
#include "casino.h"
#include "fakes.h"
#include "rel_haeufigkeiten.h"
#include "screen_reader.h"
#include "statistics_windows.h"
#include "zufallsgroesse.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestZufallsgroesse : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_random = std::make_unique<ScriptedRandom>();
        m_casino = startProgram(*m_dialogs, *m_random);
    }
    void cleanup()
    {
        endProgram(m_casino);
        m_random.reset();
        m_dialogs.reset();
    }

    void followsTheGame_data();
    void followsTheGame();
    void barsByKeyboard();
    void worksheetOutput_data();
    void worksheetOutput();

private:
    Zufallsgroesse &window() { return *windows().zufallsgroesse().loaded(); }
    QString table();
    QStringList choices();

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScriptedRandom> m_random;
    std::unique_ptr<Casino> m_casino;
};

QString TestZufallsgroesse::table()
{
    // value:count:fraction:expected per row, as the window shows them.
    const QAbstractItemModel &model = *window().findChild<QTableView *>(u"ZTabelle"_s)->model();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column : {0, 1, 3, 5})
            cells << model.index(row, column).data().toString();
        rows << cells.join(u':');
    }
    return rows.join(u' ');
}

QStringList TestZufallsgroesse::choices()
{
    auto *groesse = window().findChild<QComboBox *>(u"Groesse"_s);
    QStringList items;
    for (int i = 0; i < groesse->count(); ++i)
        items << groesse->itemText(i);
    return items;
}

void TestZufallsgroesse::followsTheGame_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("test");
    QTest::newRow("a move")
        << u"move"_s << u"0:1:25/36:2,08 1:1:5/18:0,833 2:1:1/36:0,0833"_s
        << u"Ablehnungsbereich: X ≥ 4\nbeobachtet: X = 3\nX liegt nicht im Ablehnungsbereich"_s;
    QTest::newRow("Neu") << u"Neu"_s << u"0:0:25/36:0,0 1:0:5/18:0,0 2:0:1/36:0,0"_s
                         << u"Noch keine Würfe"_s;
    QTest::newRow("one die") << u"Würfelzahl"_s << u"0:0:5/6:0,0 1:0:1/6:0,0"_s
                             << u"Noch keine Würfe"_s;
}

void TestZufallsgroesse::followsTheGame()
{
    // The window must show the game being played, after a move, New and another number of dice,
    // and offer only what makes sense for the dice (no double of one die).
    QFETCH(QString, command);
    QFETCH(QString, shown);
    QFETCH(QString, test);

    m_dialogs->inputAnswers = {u"2"_s, u"3"_s};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    windows().absHaeufigkeiten()->findChild<QAction *>(u"MZufallsgroesse"_s)->trigger();
    QVERIFY(window().isVisible());
    QCOMPARE(choices(), QStringList({u"Augensumme"_s, u"Anzahl der Sechsen"_s,
                                     u"größte Augenzahl"_s, u"kleinste Augenzahl"_s, u"Pasch"_s,
                                     u"mindestens eine Sechs"_s, u"keine Sechs"_s,
                                     u"Augensumme gerade"_s, u"Differenz"_s}));
    window().findChild<QComboBox *>(u"Groesse"_s)->setCurrentIndex(1);
    m_random->pushValues({6, 6, 1, 6, 2, 3});
    m_casino->CBKollavo_MouseDown();

    if (command == u"Neu") {
        m_casino->MNeu_Click();
    } else if (command == u"Würfelzahl") {
        m_dialogs->inputAnswers = {u"1"_s};
        m_casino->MAnzahl_Click();
        QCOMPARE(choices(), QStringList({u"Augensumme"_s, u"Anzahl der Sechsen"_s,
                                         u"größte Augenzahl"_s, u"kleinste Augenzahl"_s,
                                         u"mindestens eine Sechs"_s, u"keine Sechs"_s}));
    }
    QCOMPARE(table(), shown);
    QVERIFY2(window().findChild<QLabel *>(u"Testergebnis"_s)->text().contains(test),
             qPrintable(window().findChild<QLabel *>(u"Testergebnis"_s)->text()));
    // The pie's menu opens the same window.
    QVERIFY(windows().relHaeufigkeiten()->findChild<QAction *>(u"MZufallsgroesse"_s));
}

void TestZufallsgroesse::barsByKeyboard()
{
    // A pupil with a screen reader walks the bars with the arrow keys and hears each value; the
    // chart and the choice above it are heard when they take the focus (as a chart, and with
    // the value chosen), not passed over as a silent filler.
    ListeningScreenReader reader;
    QVERIFY(reader.isListening());
    m_dialogs->inputAnswers = {u"2"_s, u"3"_s};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    windows().relHaeufigkeiten()->findChild<QAction *>(u"MZufallsgroesse"_s)->trigger();
    window().findChild<QComboBox *>(u"Groesse"_s)->setCurrentIndex(1);
    m_random->pushValues({6, 6, 1, 6, 2, 3});
    m_casino->CBKollavo_MouseDown();

    QCOMPARE(QAccessible::queryAccessibleInterface(window().findChild<QComboBox *>(u"Groesse"_s))
                 ->text(QAccessible::Name),
             u"Zufallsgröße: Anzahl der Sechsen"_s);
    QWidget *chart = window().findChild<QWidget *>(u"Diagramm"_s);
    QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(chart);
    QCOMPARE(heard->role(), QAccessible::Chart);
    reader.forget();
    QTest::keyClick(chart, Qt::Key_Right);
    const QString one =
        u"Wert 1: relative Häufigkeit 0,3333 (1 von 3 Würfen), Wahrscheinlichkeit 5/18"_s;
    QCOMPARE(heard->text(QAccessible::Name), one);
    QCOMPARE(reader.heardIn(window()), QStringList{one});
    // Orca drops a name change after the first, so each bar is an element the focus moves to.
    QCOMPARE(heard->childCount(), 3);
    QAccessibleInterface *bar = heard->child(1);
    QCOMPARE(bar->text(QAccessible::Name), one);
    QCOMPARE(bar->role(), QAccessible::Graphic);
    QCOMPARE(heard->text(QAccessible::Description), u"Anzahl der Sechsen – 2 Würfel, 3 Würfe"_s);
    QTest::keyClick(chart, Qt::Key_End);
    QVERIFY(heard->text(QAccessible::Name).startsWith(u"Wert 2:"));

    // Tab from the choices reaches the chart before the table beside it.
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    auto *augenzahl = window().findChild<QWidget *>(u"Augenzahl"_s);
    augenzahl->setFocus();
    QTest::keyClick(augenzahl, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), chart);
    // The keyboard is on the last bar (End): that element is the focused one.
    QVERIFY(heard->child(2)->state().focused && !heard->child(1)->state().focused);
    QTest::keyClick(chart, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window().findChild<QWidget *>(u"ZTabelle"_s));
}

void TestZufallsgroesse::worksheetOutput_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("fragments");
    // The chart as vectors with its title; the table of this window, not the sums'.
    QTest::newRow("Bild speichern")
        << u"MBildSpeichern"_s << QStringList{u"<svg"_s, u"Anzahl der Sechsen"_s};
    QTest::newRow("Tabelle kopieren")
        << u"MTabelleKopieren"_s
        << QStringList{u"Wert\tabsolute Häufigkeit\trelative Häufigkeit\t"
                       "Wahrscheinlichkeit (Dezimalzahl)\terwartete Häufigkeit\n"_s,
                       u"\n2\t1\t0,3333\t0,0278\t0,0833\n"_s};
}

void TestZufallsgroesse::worksheetOutput()
{
    // Guards a menu that the chart does not reach, or actions writing nothing or another table.
    QFETCH(QString, action);
    QFETCH(QStringList, fragments);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_dialogs->inputAnswers = {u"2"_s, u"3"_s};
    m_casino->MAnzahl_Click();
    m_casino->MWuerfe_Click();
    windows().zufallsgroesse().show();
    window().findChild<QComboBox *>(u"Groesse"_s)->setCurrentIndex(1);
    m_random->pushValues({6, 6, 1, 6, 2, 3});
    m_casino->CBKollavo_MouseDown();
    QTemporaryDir tmp;
    m_dialogs->saveAnswers.push_back(tmp.filePath(u"chart.svg"_s));
    QGuiApplication::clipboard()->clear();

    QWidget *chart = window().findChild<QWidget *>(u"Diagramm"_s);
    const QPoint pos = chart->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, chart->mapToGlobal(pos));
    QCoreApplication::sendEvent(chart, &event);
    auto *menu = window().findChild<QMenu *>(u"Kontextmenue"_s);
    QTRY_VERIFY(menu->isVisible());
    window().findChild<QAction *>(action)->trigger();
    menu->close();

    const QString output = worksheetResult(tmp.filePath(u"chart.svg"_s));
    for (const QString &fragment : fragments)
        QVERIFY2(output.contains(fragment), qPrintable(output.left(400)));
    QVERIFY(m_dialogs->messages.isEmpty());
}

QTEST_MAIN(TestZufallsgroesse)
#include "tst_zufallsgroesse.moc"
