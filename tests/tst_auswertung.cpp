// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "auswertung.h"
#include "fonts_present.h"
#include "chart_accessibility.h"
#include "game.h"
#include "scripted_random.h"
#include "shared_window.h"

#include <QAccessible>
#include <QApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAuswertung : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        installChartAccessibility();
    }
    void init() { m_game.austausch().reset(); }
    void cleanup()
    {
        m_window.unload();
        m_game.austausch().reset();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void numbersInGerman_data();
    void numbersInGerman();
    void expectedCounts_data();
    void expectedCounts();
    void screenReaderReadsCaptions_data();
    void screenReaderReadsCaptions();
    void verdictNeverCut_data();
    void verdictNeverCut();

private:
    ScriptedRandom m_random;
    Game m_game{m_random};
    SharedWindow<Auswertung> m_window{[this] { return new Auswertung(m_game); }};
};

void TestAuswertung::numbersInGerman_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("counts");
    // Wurfanzahl, Mittelwert, MittelwertTheorie, Standardabweichung, StandardabweichungTheorie,
    // ChiQuadrat, Freiheitsgrade, pWert
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("sentence"); // a word of the sentence for pupils
    QTest::addColumn<int>("sum");          // the table's row to read
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QString>("klassen");
    QTest::addColumn<bool>("english"); // the system's locale is American English

    QTest::newRow("one die, noticeably unfair")
        << 1 << QList<int>{5, 8, 9, 8, 10, 20}
        << QStringList{u"60"_s, u"4,167"_s, u"3,5"_s, u"1,705"_s, u"1,708"_s, u"13,40"_s,
                       u"5"_s, u"0,0199"_s}
        << u"zwanzig"_s << 6
        << QStringList{u"6"_s, u"20"_s, u"33,33 %"_s, u"16,67 %"_s, u"10,0"_s, u"6"_s}
        << QString() << false;
    QTest::newRow("two dice, exactly as expected")
        << 2 << QList<int>{100, 200, 300, 400, 500, 600, 500, 400, 300, 200, 100}
        << QStringList{u"3.600"_s, u"7,000"_s, u"7,0"_s, u"2,415"_s, u"2,415"_s, u"0,00"_s,
                       u"10"_s, u"1,0000"_s}
        << u"passen"_s << 12
        << QStringList{u"12"_s, u"100"_s, u"2,78 %"_s, u"2,78 %"_s, u"100,0"_s, u"12"_s}
        << QString() << false;
    QTest::newRow("one die, only sixes: p too small for four decimals, English system")
        << 1 << QList<int>{0, 0, 0, 0, 0, 1000}
        << QStringList{u"1.000"_s, u"6,000"_s, u"3,5"_s, u"0,000"_s, u"1,708"_s,
                       u"5.000,00"_s, u"5"_s, u"< 0,0001"_s}
        << u"tausend"_s << 6
        << QStringList{u"6"_s, u"1.000"_s, u"100,00 %"_s, u"16,67 %"_s, u"166,7"_s, u"6"_s}
        << QString() << true;
    QTest::newRow("seven dice, no throws")
        << 7 << QList<int>(36, 0)
        << QStringList{u"0"_s, u"—"_s, u"24,5"_s, u"—"_s, u"4,518"_s, u"—"_s, u"—"_s,
                       u"—"_s}
        << u"Würfeln Sie weiter"_s << 42
        << QStringList{u"42"_s, u"0"_s, u"—"_s, u"0,000357 %"_s, u"0,0"_s, u"—"_s}
        << QString() << false;
    // 1.645 of 20.000 is exactly 8,225 %; from a double it would round down to 8,22 %.
    QList<int> tie(11, 0);
    tie[2] = 1645;
    tie[5] = 18355;
    QTest::newRow("two dice, 20.000 throws: a tie rounds up")
        << 2 << tie
        << QStringList{u"20.000"_s, u"6,753"_s, u"7,0"_s, u"0,824"_s, u"2,415"_s,
                       u"82.695,42"_s, u"10"_s, u"< 0,0001"_s}
        << u"tausend"_s << 4
        << QStringList{u"4"_s, u"1.645"_s, u"8,23 %"_s, u"8,33 %"_s, u"1.666,7"_s, u"4"_s}
        << QString() << true;
    // Classes 2–4, 5–6, 7, 8 and 9–10; 11–12 expects 3 and joins 9–10.
    QTest::newRow("two dice, 36 throws: pooled classes")
        << 2 << QList<int>{1, 2, 3, 4, 5, 7, 4, 4, 3, 2, 1}
        << QStringList{u"36"_s, u"6,972"_s, u"7,0"_s, u"2,409"_s, u"2,415"_s, u"0,37"_s,
                       u"4"_s, u"0,9851"_s}
        << u"grobe Abweichungen"_s << 11
        << QStringList{u"11"_s, u"2"_s, u"5,56 %"_s, u"5,56 %"_s, u"2,00"_s, u"9–12"_s}
        << u"Für den Test zusammengefasst: 2–4, 5–6, 9–12 (jede Klasse braucht mindestens 5 "
           u"erwartete Würfe)"_s
        << false;
}

void TestAuswertung::numbersInGerman()
{
    // Guards numbers in a foreign format or rounded from a double, a stale window after a
    // refresh, hidden pooling, and a χ² result shown where there is none.
    QFETCH(int, dice);
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, labels);
    QFETCH(QString, sentence);
    QFETCH(int, sum);
    QFETCH(QStringList, row);
    QFETCH(QString, klassen);
    QFETCH(bool, english);

    if (english)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Auswertung &window = m_window.instance();
    m_game.austausch().Anzahl = static_cast<qint16>(dice);
    m_game.austausch().MinSumme = static_cast<qint16>(dice);
    m_game.austausch().MaxSumme = static_cast<qint16>(6 * dice);
    for (int i = 0; i < counts.size(); ++i)
        m_game.austausch().Haeufigkeit[dice + i] = static_cast<qint16>(counts[i]);
    window.refresh();

    const QStringList names{u"Wurfanzahl"_s, u"Mittelwert"_s, u"MittelwertTheorie"_s,
                            u"Standardabweichung"_s, u"StandardabweichungTheorie"_s,
                            u"ChiQuadrat"_s, u"Freiheitsgrade"_s, u"pWert"_s};
    for (int i = 0; i < names.size(); ++i) {
        const auto *label = window.findChild<QLabel *>(names[i]);
        QVERIFY2(label, qPrintable(names[i]));
        QCOMPARE(label->text(), labels[i]);
    }
    const QString deutung = window.findChild<QLabel *>(u"Deutung"_s)->text();
    QVERIFY2(deutung.contains(sentence), qPrintable(deutung));
    const auto *klassenLabel = window.findChild<QLabel *>(u"Klassen"_s);
    QVERIFY(klassenLabel);
    QCOMPARE(klassenLabel->text(), klassen);
    QCOMPARE(klassenLabel->isHidden(), klassen.isEmpty());

    const AuswertungModel &model = window.model();
    QCOMPARE(model.rowCount(), 5 * dice + 1);
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column)
        cells.append(model.index(sum - dice, column).data().toString());
    QCOMPARE(cells, row);
}

void TestAuswertung::expectedCounts_data()
{
    QTest::addColumn<QList<int>>("counts"); // thrown with two dice, of the sums 2 to 12
    // N × w / 36 for the w ways of each sum (1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1), to three
    // significant digits and at least one decimal.
    QTest::addColumn<QStringList>("expected");
    // 10/36 = 0,2778, 20/36 = 0,5556, 30/36 = 0,8333, 40/36 = 1,111, 50/36 = 1,389, 60/36 = 1,667
    QTest::newRow("10 throws")
        << QList<int>{0, 1, 1, 1, 2, 2, 1, 1, 1, 0, 0}
        << QStringList{u"0,278"_s, u"0,556"_s, u"0,833"_s, u"1,11"_s, u"1,39"_s, u"1,67"_s,
                       u"1,39"_s, u"1,11"_s, u"0,833"_s, u"0,556"_s, u"0,278"_s};
    // 7/36 = 0,1944, 14/36 = 0,3889, 21/36 = 0,5833, 28/36 = 0,7778, 35/36 = 0,9722, 42/36 = 1,167
    QTest::newRow("7 throws")
        << QList<int>{0, 0, 1, 1, 1, 2, 1, 1, 0, 0, 0}
        << QStringList{u"0,194"_s, u"0,389"_s, u"0,583"_s, u"0,778"_s, u"0,972"_s, u"1,17"_s,
                       u"0,972"_s, u"0,778"_s, u"0,583"_s, u"0,389"_s, u"0,194"_s};
    // Whole numbers, exactly: 36 / 5 ways cut to 7 would give 3.600 / 7 = 514,3 for sum 6.
    QTest::newRow("3.600 throws")
        << QList<int>{100, 200, 300, 400, 500, 600, 500, 400, 300, 200, 100}
        << QStringList{u"100,0"_s, u"200,0"_s, u"300,0"_s, u"400,0"_s, u"500,0"_s, u"600,0"_s,
                       u"500,0"_s, u"400,0"_s, u"300,0"_s, u"200,0"_s, u"100,0"_s};
}

void TestAuswertung::expectedCounts()
{
    // Guards expected counts cut to whole numbers, or computed from a cut share of the
    // outcomes, in the column pupils compare their counts with.
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, expected);
    Auswertung &window = m_window.instance();
    int throws = 0;
    for (int count : counts)
        throws += count;
    m_game.setDefaults();
    m_game.setDice(2);
    m_game.setThrowsPerMove(throws);
    m_game.newGame();
    for (int i = 0; i < counts.size(); ++i) {
        // The sum 2 + i: the first die takes what the second cannot.
        const int first = std::max(1, 1 + i - 5);
        for (int k = 0; k < counts[i]; ++k)
            m_random.pushValues({first, 2 + i - first});
    }
    m_game.move();
    QVERIFY(m_random.draws.empty());
    window.refresh();

    const auto *table = window.findChild<QTableView *>(u"Tabelle"_s);
    QVERIFY(table);
    const QAbstractItemModel &model = *table->model();
    int column = 0;
    while (column < model.columnCount()
           && model.headerData(column, Qt::Horizontal).toString() != u"erwartete\nHäufigkeit"_s)
        ++column;
    QVERIFY(column < model.columnCount());
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        QCOMPARE(model.index(row, 1).data().toString(), QString::number(counts[row]));
        shown.append(model.index(row, column).data().toString());
    }
    QCOMPARE(shown, expected);
}

void TestAuswertung::screenReaderReadsCaptions_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("name");
    // %1 the label's own text, %2 the fair value beside it.
    QTest::newRow("grid, no column heading") << u"Wurfanzahl"_s << u"Würfe seit „Neu“: %1"_s;
    QTest::newRow("grid, observed")
        << u"Mittelwert"_s << u"Mittelwert der Augensummen: %1 (fair: %2)"_s;
    QTest::newRow("grid, theory")
        << u"StandardabweichungTheorie"_s << u"Standardabweichung, bei fairen Würfeln: %1"_s;
    QTest::newRow("form") << u"pWert"_s << u"p-Wert: %1"_s;
}

void TestAuswertung::screenReaderReadsCaptions()
{
    // A screen reader read bare numbers, and the column headings before the first row: each
    // value is named by the caption of its row (and its column), read top to bottom.
    QFETCH(QString, value);
    QFETCH(QString, name);
    Auswertung &w = *m_window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *label = w.findChild<QLabel *>(value);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
    const auto *fair = w.findChild<QLabel *>(value + u"Theorie"_s);
    QCOMPARE(iface->text(QAccessible::Name),
             name.arg(label->text(), fair ? fair->text() : QString()));
    QCOMPARE(iface->text(QAccessible::Value), label->text());
    // Qt's bridge passes names, not values; Tab reaches every number once: a fair value is
    // heard with its observed one and is no stop of its own.
    QCOMPARE(label->focusPolicy(), value.endsWith(u"Theorie"_s) ? Qt::NoFocus : Qt::TabFocus);

    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&w);
    QCOMPARE(window->role(), QAccessible::Window);
    QAccessibleInterface *group = window->child(0);
    QCOMPARE(group->text(QAccessible::Name), u"Würfe und Augensummen"_s);
    QStringList firstLines;
    for (int i = 0; i < 4; ++i)
        firstLines << group->child(i)->text(QAccessible::Name);
    QCOMPARE(firstLines, (QStringList{u"Würfe seit „Neu“:"_s, u"Würfe seit „Neu“: —"_s,
                                      u"beobachtet"_s, u"bei fairen Würfeln"_s}));
}

void TestAuswertung::verdictNeverCut_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("pointSize"); // 0: the desktop's font
    QTest::newRow("one die, 10 throws") << 1 << QList<int>{1, 2, 1, 2, 1, 3} << 0;
    QTest::newRow("two dice, 20 throws")
        << 2 << QList<int>{0, 1, 2, 2, 3, 4, 3, 2, 2, 1, 0} << 0;
    QTest::newRow("two dice, 50 throws, loud")
        << 2 << QList<int>{1, 3, 4, 6, 6, 9, 7, 5, 5, 3, 1} << 0;
    QTest::newRow("two dice, 50 throws, 16 pt")
        << 2 << QList<int>{1, 3, 4, 6, 6, 9, 7, 5, 5, 3, 1} << 16;
    QTest::newRow("one die, only sixes, 16 pt") << 1 << QList<int>{0, 0, 0, 0, 0, 40} << 16;
}

void TestAuswertung::verdictNeverCut()
{
    SKIP_WITHOUT_FONTS(); // the window's size comes from its sentences
    // Opened before the first throw, the window kept the height of the short first sentence and
    // cut the longer verdict that came with the throws: its last line was lost.
    QFETCH(int, dice);
    QFETCH(QList<int>, counts);
    QFETCH(int, pointSize);
    const QFont desktop = QApplication::font();
    const auto restore = qScopeGuard([&desktop] { QApplication::setFont(desktop); });
    if (pointSize > 0) {
        QFont large = desktop;
        large.setPointSize(pointSize);
        QApplication::setFont(large);
    }
    m_game.austausch().Anzahl = static_cast<qint16>(dice);
    m_game.austausch().MinSumme = static_cast<qint16>(dice);
    m_game.austausch().MaxSumme = static_cast<qint16>(6 * dice);
    m_window.show();
    Auswertung &window = *m_window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < counts.size(); ++i)
        m_game.austausch().Haeufigkeit[dice + i] = static_cast<qint16>(counts[i]);
    // Looked at after several moves, the verdict grows by a note.
    for (int look = 0; look < 3; ++look) {
        ++m_game.austausch().Haeufigkeit[dice];
        window.refresh();
    }

    for (const QString &name : {u"Deutung"_s, u"Klassen"_s}) {
        const auto *label = window.findChild<QLabel *>(name);
        if (label->isHidden())
            continue;
        // What shows of it, not its own height: the group around it clips it.
        QTRY_VERIFY2(label->visibleRegion().boundingRect().height()
                         >= label->heightForWidth(label->width()),
                     qPrintable(u"%1: %2 of %3 px"_s.arg(name)
                                    .arg(label->visibleRegion().boundingRect().height())
                                    .arg(label->heightForWidth(label->width()))));
    }
    const QRect available = window.screen()->availableGeometry();
    QVERIFY(available.contains(window.frameGeometry()));
}

QTEST_MAIN(TestAuswertung)
#include "tst_auswertung.moc"
