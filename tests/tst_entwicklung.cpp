// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"
#include "chart_accessibility.h"
#include "entwicklung.h"
#include "fakes.h"
#include "running_frequency.h"
#include "game.h"
#include "shared_window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QAreaSeries>
#include <QChartView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFocusFrame>
#include <QGraphicsPolygonItem>
#include <QGuiApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSpinBox>
#include <QScopeGuard>
#include <QTest>
#include <QValueAxis>

#include <cmath>

using namespace Qt::StringLiterals;
using Groesse = RunningSeries::Groesse;
using Record = std::vector<quint8>;

class TestEntwicklung : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installChartAccessibility(); }
    void cleanup();

    void reducedSeries_data();
    void reducedSeries();
    void catchingUpEqualsOnePass_data();
    void catchingUpEqualsOnePass();
    void pointCountIsBounded();
    void windowFollowsItsChoice_data();
    void windowFollowsItsChoice();
    void newClearsTheChart();
    void closingReleases();
    void worksheetOutput_data();
    void worksheetOutput();
    void screenReaderReadsTheChart_data();
    void screenReaderReadsTheChart();
    void chartShowsItsFocus();
    void choiceNoticeReadLast();
    void saysWhatItShows_data();
    void saysWhatItShows();
    void rareSumFillsTheChart();

private:
    ScriptedDialogs m_dialogs;
    Game m_game;
    SharedWindow<Entwicklung> m_window{[this] { return new Entwicklung(m_game, m_dialogs); }};
};

namespace {

Record randomRecord(int dice, int throws, quint32 seed)
{
    QRandomGenerator random(seed);
    Record record;
    record.reserve(static_cast<std::size_t>(throws));
    for (int t = 0; t < throws; ++t) {
        int sum = 0;
        for (int d = 0; d < dice; ++d)
            sum += random.bounded(1, 7);
        record.push_back(static_cast<quint8>(sum));
    }
    return record;
}

void startGame(Austausch &game, int dice, const Record &record)
{
    game.Anzahl = static_cast<qint16>(dice);
    game.MinSumme = static_cast<qint16>(dice);
    game.MaxSumme = static_cast<qint16>(6 * dice);
    game.Wurfsummen = record;
}

} // namespace

void TestEntwicklung::cleanup()
{
    m_window.unload();
    m_game.austausch().reset();
}

void TestEntwicklung::reducedSeries_data()
{
    QTest::addColumn<int>("perDecade");
    QTest::addColumn<Groesse>("groesse");
    QTest::addColumn<Record>("record");
    QTest::addColumn<QList<QPointF>>("points");

    const Record twelve{7, 2, 2, 7, 7, 2, 2, 2, 2, 2, 7, 2};
    // One bucket a decade: k 1…9 keep their largest value (k 1) and the first smallest (k 3,
    // not k 9); the open bucket 10…12 keeps its extremes and ends in the exact last value.
    QTest::newRow("frequency, coarse buckets")
        << 1 << Groesse::RelativeHaeufigkeit << twelve
        << QList<QPointF>{{1, 1.0}, {3, 1.0 / 3}, {10, 0.3}, {11, 4.0 / 11}, {12, 4.0 / 12}};
    // Below k = 87 every throw is a bucket of its own: the exact running values.
    QTest::newRow("frequency, fine buckets")
        << 200 << Groesse::RelativeHaeufigkeit << Record{7, 2, 7, 7}
        << QList<QPointF>{{1, 1.0}, {2, 0.5}, {3, 2.0 / 3}, {4, 0.75}};
    QTest::newRow("mean, fine buckets")
        << 200 << Groesse::Mittelwert << Record{7, 2, 12, 3}
        << QList<QPointF>{{1, 7.0}, {2, 4.5}, {3, 7.0}, {4, 6.0}};
    // A spike of one throw inside a wide bucket must survive the reduction.
    Record spike(50, 2);
    spike[20] = 7;
    QTest::newRow("spike kept")
        << 1 << Groesse::RelativeHaeufigkeit << spike
        << QList<QPointF>{{1, 0.0}, {10, 0.0}, {21, 1.0 / 21}, {50, 1.0 / 50}};
    QTest::newRow("no throws") << 200 << Groesse::Mittelwert << Record{} << QList<QPointF>{};
}

void TestEntwicklung::reducedSeries()
{
    // The reduction must give the exact running value at the points it keeps, in k order.
    QFETCH(int, perDecade);
    QFETCH(Groesse, groesse);
    QFETCH(Record, record);
    QFETCH(QList<QPointF>, points);

    RunningSeries series(perDecade);
    series.setGroesse(groesse);
    series.setSumme(7);
    series.update(record);
    QCOMPARE(series.points(), points);
    QCOMPARE(series.throws(), qint64(record.size()));
}

void TestEntwicklung::catchingUpEqualsOnePass_data()
{
    QTest::addColumn<int>("chunk");
    QTest::addColumn<bool>("newInBetween");

    QTest::newRow("one throw a move") << 1 << false;
    QTest::newRow("uneven moves") << 997 << false;
    QTest::newRow("New, then a shorter game") << 1500 << true;
}

void TestEntwicklung::catchingUpEqualsOnePass()
{
    // Reading only the new throws after a move, or starting over after New, must not drift
    // from a pass over the whole record.
    QFETCH(int, chunk);
    QFETCH(bool, newInBetween);

    RunningSeries incremental(Entwicklung::BucketsPerDecade);
    incremental.setSumme(10);
    Record seen;
    if (newInBetween) {
        seen = randomRecord(3, 20000, 1);
        incremental.update(seen);
        seen.clear();
        incremental.update(seen);
    }
    const Record whole = randomRecord(3, 6000, 2);
    for (std::size_t i = 0; i < whole.size(); i += static_cast<std::size_t>(chunk)) {
        const auto end = std::min(whole.size(), i + static_cast<std::size_t>(chunk));
        seen.insert(seen.end(), whole.begin() + static_cast<std::ptrdiff_t>(i),
                    whole.begin() + static_cast<std::ptrdiff_t>(end));
        incremental.update(seen);
    }

    RunningSeries onePass(Entwicklung::BucketsPerDecade);
    onePass.setSumme(10);
    onePass.update(whole);
    QCOMPARE(incremental.points(), onePass.points());
    QCOMPARE(incremental.minimum(), onePass.minimum());
    QCOMPARE(incremental.maximum(), onePass.maximum());
}

void TestEntwicklung::pointCountIsBounded()
{
    // A full game must not hand the chart a point per throw, and must end in the exact value.
    const Record record = randomRecord(7, 400000, 3);
    RunningSeries series(Entwicklung::BucketsPerDecade);
    series.setSumme(24);
    series.update(record);
    const QList<QPointF> points = series.points();
    QVERIFY2(points.size() <= 3000, qPrintable(QString::number(points.size())));
    const auto count = std::count(record.begin(), record.end(), quint8(24));
    QCOMPARE(points.constFirst().x(), 1.0);
    QCOMPARE(points.constLast(), QPointF(400000, double(count) / 400000));
}

void TestEntwicklung::windowFollowsItsChoice_data()
{
    QTest::addColumn<int>("shownSum"); // 0: the window as it opens
    QTest::addColumn<bool>("mean");
    QTest::addColumn<int>("expectedSum");
    QTest::addColumn<double>("lastValue");
    QTest::addColumn<double>("theory");

    // Two dice, sums 7 7 2 12 7 8.
    QTest::newRow("opens on the most likely sum") << 0 << false << 7 << 0.5 << 6.0 / 36;
    QTest::newRow("a chosen sum") << 2 << false << 2 << 1.0 / 6 << 1.0 / 36;
    QTest::newRow("a sum the dice cannot show") << 40 << false << 12 << 1.0 / 6 << 1.0 / 36;
    QTest::newRow("running mean") << 0 << true << 7 << 43.0 / 6 << 7.0;
}

void TestEntwicklung::windowFollowsItsChoice()
{
    // The chart must show what the controls say, theory and band included.
    QFETCH(int, shownSum);
    QFETCH(bool, mean);
    QFETCH(int, expectedSum);
    QFETCH(double, lastValue);
    QFETCH(double, theory);

    startGame(m_game.austausch(), 2, {7, 7, 2, 12, 7, 8});
    Entwicklung &window = *m_window;
    window.show();
    QCOMPARE(window.objectName(), QStringLiteral("Entwicklung"));
    if (shownSum)
        window.showSum(shownSum);
    if (mean)
        window.findChild<QComboBox *>(QStringLiteral("Groesse"))->setCurrentIndex(1);

    auto *spin = window.findChild<QSpinBox *>(QStringLiteral("Summe"));
    QCOMPARE(spin->value(), expectedSum);
    QCOMPARE(spin->isEnabled(), !mean);
    QCOMPARE(window.beobachtet().count(), 6);
    QCOMPARE(window.beobachtet().points().constLast(), QPointF(6, lastValue));
    QCOMPARE(window.erwartet().points().constFirst(), QPointF(1, theory));
    // The band after four throws: theory ± 2 σ₁ / 2.
    const double sigmaOne = mean ? std::sqrt(70.0 / 12) : std::sqrt(theory * (1 - theory));
    const QList<QPointF> upper = window.erwartungsbereich().upperSeries()->points();
    const auto atFour = std::find_if(upper.begin(), upper.end(),
                                     [](const QPointF &p) { return p.x() == 4; });
    QVERIFY(atFour != upper.end());
    QVERIFY(qFuzzyCompare(atFour->y(), theory + sigmaOne));
}

void TestEntwicklung::newClearsTheChart()
{
    // After New the old game's line must go, even when the next refresh finds throws again.
    startGame(m_game.austausch(), 1, {6, 6, 6, 6, 6, 6, 6, 6});
    Entwicklung &window = *m_window;
    window.showSum(6);
    window.show();
    QCOMPARE(window.beobachtet().points().constLast(), QPointF(8, 1.0));

    m_game.austausch().Wurfsummen.clear();
    window.refresh();
    QCOMPARE(window.beobachtet().count(), 0);
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("Hinweis"))->isHidden());

    m_game.austausch().Wurfsummen = {1, 6, 1};
    window.refresh();
    QCOMPARE(window.beobachtet().points().constLast(), QPointF(3, 1.0 / 3));
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("Hinweis"))->isHidden());
}

void TestEntwicklung::closingReleases()
{
    // The owner must learn that the window is gone, and the next touch must build a new one.
    startGame(m_game.austausch(), 2, {});
    m_window.show();
    QSignalSpy released(&m_window, &SharedWindowBase::released);
    m_window->close();
    QCOMPARE(released.count(), 1);
    QVERIFY(!m_window.isLoaded());
}

void TestEntwicklung::worksheetOutput_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("fragments");
    // The chart's lines and its axis title as vectors and text, not an embedded bitmap.
    QTest::newRow("Bild speichern")
        << QStringLiteral("MBildSpeichern")
        << QStringList{QStringLiteral("<polyline"), QStringLiteral("Anzahl der W")};
    QTest::newRow("Tabelle kopieren")
        << QStringLiteral("MTabelleKopieren")
        << QStringList{QStringLiteral("Augensumme\t"), QStringLiteral("\n7\t3\t")};
}

void TestEntwicklung::worksheetOutput()
{
    // Guards a context menu that blocks, or worksheet actions writing nothing or another table.
    QFETCH(QString, action);
    QFETCH(QStringList, fragments);
    startGame(m_game.austausch(), 2, {7, 7, 2, 12, 7, 8});
    m_game.austausch().Haeufigkeit[7] = 3;
    Entwicklung &window = *m_window;
    window.show();
    QTemporaryDir tmp;
    m_dialogs.saveAnswers.push_back(tmp.filePath(QStringLiteral("chart.svg")));
    QGuiApplication::clipboard()->clear();

    // Right-clicked on the chart, which passes the event on to the window.
    QWidget *chart = window.chartView().viewport();
    const QPoint pos = chart->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, chart->mapToGlobal(pos));
    QCoreApplication::sendEvent(chart, &event);
    auto *menu = window.findChild<QMenu *>();
    QTRY_VERIFY(menu->isVisible());
    window.findChild<QAction *>(action)->trigger();
    menu->close();

    const QString output = worksheetResult(tmp.filePath(QStringLiteral("chart.svg")));
    for (const QString &fragment : fragments)
        QVERIFY2(output.contains(fragment), qPrintable(fragment));
    QVERIFY(m_dialogs.messages.isEmpty());
}

void TestEntwicklung::screenReaderReadsTheChart_data()
{
    QTest::addColumn<bool>("mean");
    QTest::addColumn<Record>("record");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    Record thousand(835, 6);
    thousand.insert(thousand.end(), 165, 7);
    QTest::newRow("frequency inside the band")
        << false << thousand << QStringLiteral("relative Häufigkeit der Augensumme 7")
        << QStringLiteral(
               "nach 1.000 Würfen 0,1650; Wahrscheinlichkeit 0,1667; innerhalb des Bereichs");
    QTest::newRow("mean outside the band")
        << true << Record(10, 12) << QStringLiteral("Mittelwert der Augensummen")
        << QStringLiteral("nach 10 Würfen 12,000; Erwartungswert 7,0; außerhalb des Bereichs");
    QTest::newRow("no throws yet")
        << false << Record() << QStringLiteral("relative Häufigkeit der Augensumme 7")
        << QStringLiteral("noch keine Würfe; Wahrscheinlichkeit 0,1667");
}

void TestEntwicklung::screenReaderReadsTheChart()
{
    // A screen reader heard an unnamed picture: the chart says what it shows, where the value
    // stands and whether that is where fair dice keep it.
    QFETCH(bool, mean);
    QFETCH(Record, record);
    QFETCH(QString, name);
    QFETCH(QString, description);
    startGame(m_game.austausch(), 2, record);
    for (const quint8 sum : record)
        ++m_game.austausch().Haeufigkeit[sum];
    Entwicklung &window = *m_window;
    window.showSum(7);
    if (mean)
        window.findChild<QComboBox *>(QStringLiteral("Groesse"))->setCurrentIndex(1);
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(&window.chartView());
    QCOMPARE(chart->role(), QAccessible::Chart);
    QCOMPARE(chart->text(QAccessible::Name), name);
    QCOMPARE(chart->text(QAccessible::Description), description);
    QCOMPARE(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);
}

void TestEntwicklung::chartShowsItsFocus()
{
    // The chart was out of reach of Tab and showed no focus.
    startGame(m_game.austausch(), 1, {6});
    Entwicklung &window = *m_window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (int tab = 0; tab < 5 && !window.chartView().hasFocus(); ++tab)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(window.chartView().hasFocus());
    auto *frame = window.findChild<QFocusFrame *>();
    QVERIFY(frame && frame->isVisible());
    QVERIFY(frame->geometry().contains(window.chartView().geometry()));
    window.findChild<QComboBox *>(QStringLiteral("Groesse"))->setFocus();
    QVERIFY(!frame->isVisible());
}

void TestEntwicklung::choiceNoticeReadLast()
{
    // Once "Darstellung" had spoken a change, a screen reader reading the window from the top
    // began with that notice, as it lies in the top left pixel.
    startGame(m_game.austausch(), 1, {6});
    Entwicklung &window = *m_window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *groesse = window.findChild<QComboBox *>(QStringLiteral("Groesse"));
    QAccessibleInterface *const iface = QAccessible::queryAccessibleInterface(&window);
    QVERIFY(iface->childCount() > 0); // the choice's notice is made with its interface
    groesse->setFocus();
    QTest::keyClick(groesse, Qt::Key_Down);
    QCOMPARE(groesse->currentIndex(), 1);

    // Spoken, and read after everything the window shows.
    QList<QAccessible::Role> roles;
    for (int i = 0; i < iface->childCount(); ++i)
        roles.append(iface->child(i)->role());
    const auto notice = roles.indexOf(QAccessible::Notification);
    QVERIFY(notice > roles.indexOf(QAccessible::Chart));
    QCOMPARE(iface->child(static_cast<int>(notice))->text(QAccessible::Name),
             QStringLiteral("Darstellung: Mittelwert der Augenzahlen"));
    QCOMPARE(roles.first(), QAccessible::ComboBox);
}

void TestEntwicklung::saysWhatItShows_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<Record>("record");
    QTest::addColumn<int>("sum"); // 0: the mean
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("legend"); // of the expected value
    QTest::addColumn<bool>("point");     // the line is a single dot

    QTest::newRow("a sum of two dice")
        << 2 << Record{7, 8} << 7 << u"Entwicklung der relativen Häufigkeit der Augensumme 7"_s
        << u"Wahrscheinlichkeit 6/36 ≈ 0,1667"_s << false;
    QTest::newRow("the mean")
        << 2 << Record{7, 8} << 0 << u"Entwicklung des Mittelwerts der Augensummen"_s
        << u"Erwartungswert 3,5 · 2 = 7,0"_s << false;
    QTest::newRow("one die, a single throw")
        << 1 << Record{4} << 4 << u"Entwicklung der relativen Häufigkeit der Augenzahl 4"_s
        << u"Wahrscheinlichkeit 1/6 ≈ 0,1667"_s << true;
    QTest::newRow("seven dice: thousands in German")
        << 7 << Record{24} << 24 << u"Entwicklung der relativen Häufigkeit der Augensumme 24"_s
        << u"Wahrscheinlichkeit 24.017/279.936 ≈ 0,0858"_s << true;
}

void TestEntwicklung::saysWhatItShows()
{
    // Guards a title that keeps "relative Häufigkeit" while the mean is shown (files and
    // printouts take it), numbers in the system's locale, and a single throw that shows nothing.
    QFETCH(int, dice);
    QFETCH(Record, record);
    QFETCH(int, sum);
    QFETCH(QString, title);
    QFETCH(QString, legend);
    QFETCH(bool, point);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });

    startGame(m_game.austausch(), dice, record);
    Entwicklung &window = *m_window;
    window.show();
    if (sum)
        window.showSum(sum);
    else
        window.findChild<QComboBox *>(u"Groesse"_s)->setCurrentIndex(1);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(window.erwartet().name(), legend);
    QCOMPARE(window.beobachtet().pointsVisible(), point);
}

void TestEntwicklung::rareSumFillsTheChart()
{
    // The band at one throw must not squash a rare sum's line flat: from 10 throws on, band and
    // line decide the vertical axis. Two dice, the sum 2 (1/36) at throws 1 and 500 of 1.000.
    Record record(1000, 7);
    record[0] = 2;
    record[499] = 2;
    startGame(m_game.austausch(), 2, record);
    Entwicklung &window = *m_window;
    window.show();
    window.showSum(2);
    const auto *axis = qobject_cast<QValueAxis *>(
        window.chartView().chart()->axes(Qt::Vertical).constFirst());
    QVERIFY(axis);
    // The band at 10 throws reaches 1/36 + 2·√(35/36²)/√10 ≈ 0,132; at one throw 0,36.
    QVERIFY2(axis->max() >= 0.132 && axis->max() <= 0.2, qPrintable(QString::number(axis->max())));
    QCOMPARE(axis->min(), 0.0);

    // The first six throws' values, 1 … 1/6, lie above that scale (0,15): an arrow at the top
    // edge says so for each, with its value.
    QStringList outside;
    const QRectF plot = window.chartView().chart()->plotArea();
    for (const QGraphicsItem *item : window.chartView().chart()->childItems()) {
        if (item->type() == QGraphicsPolygonItem::Type && !item->toolTip().isEmpty()) {
            QVERIFY(std::abs(item->sceneBoundingRect().bottom() - plot.top()) < 1.5);
            outside << item->toolTip();
        }
    }
    QCOMPARE(outside.size(), 6);
    QCOMPARE(outside.constFirst(), u"nach 1 Wurf: 1,0000 – außerhalb der gezeigten Skala"_s);
}

QTEST_MAIN(TestEntwicklung)
#include "tst_entwicklung.moc"
