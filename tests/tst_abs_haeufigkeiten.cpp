// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"
#include "game.h"
#include "casino.h"
#include "chart_accessibility.h"
#include "fakes.h"
#include "fonts_present.h"
#include "screen_reader.h"
#include "auswertung.h"
#include "entwicklung.h"
#include "statistics_windows.h"
#include "twips.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using Pixels = QList<int>;

using namespace Qt::StringLiterals;

class Test : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installChartAccessibility(); }
    void init() { m_casino = startProgram(m_dialogs, m_random); }
    void cleanup() { endProgram(m_casino); }

    void startUp();
    void firstThrow();
    void gridStep_data();
    void gridStep();
    void raisingDice();
    void loweringDice_data();
    void loweringDice();
    void resize_data();
    void resize();
    void closeAndRecreate();
    void expectedCountMarks_data();
    void expectedCountMarks();
    void entwicklungFromMenu_data();
    void entwicklungFromMenu();
    void worksheetOutput_data();
    void worksheetOutput();
    void screenReaderReadsTheBars();
    void screenReaderHearsTheChange_data();
    void screenReaderHearsTheChange();
    void walkingTheBars_data();
    void walkingTheBars();
    void menuFromTheKeyboard_data();
    void menuFromTheKeyboard();
    void gridValuesDarkOnAnyDesktop();

private:
    static AbsHaeufigkeiten &window() { return windows().absHaeufigkeiten().instance(); }
    void setDice(int dice);
    void throwDice(const QList<int> &faces);
    // One move of as many throws as `counts` holds: counts[i] throws of the sum dice + i.
    void playCounts(int dice, const QList<int> &counts);
    void openMenuAt(QPoint pos);

    ScriptedDialogs m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<Casino> m_casino;
};

void Test::setDice(int dice)
{
    ScriptedDialogs &dialogs = m_dialogs;
    dialogs.inputAnswers = {QString::number(dice)};
    m_casino->MAnzahl_Click();
}

void Test::throwDice(const QList<int> &faces)
{
    ScriptedRandom &random = m_random;
    for (int face : faces)
        random.pushValue(face);
    m_casino->CBKollavo_MouseDown();
    QVERIFY(random.draws.empty());
}

void Test::playCounts(int dice, const QList<int> &counts)
{
    setDice(dice);
    int throws = 0;
    for (int count : counts)
        throws += count;
    m_dialogs.inputAnswers = {QString::number(throws)};
    m_casino->MWuerfe_Click();
    for (int i = 0; i < counts.size(); ++i) {
        for (int k = 0; k < counts[i]; ++k) {
            // The first dice take what the sum has above all ones.
            int rest = i;
            for (int d = 0; d < dice; ++d) {
                const int extra = std::min(5, rest);
                m_random.pushValue(1 + extra);
                rest -= extra;
            }
        }
    }
    m_casino->CBKollavo_MouseDown();
    QVERIFY(m_random.draws.empty());
    QCOMPARE(game().throws(), qint64(throws));
}

static QColor colourOf(const QLabel &bar)
{
    return bar.palette().color(QPalette::Window);
}

void Test::startUp()
{
    // Guards the design-time chart: wrong margin, bar width, order, colours or grid at start-up.
    AbsHaeufigkeiten &w = window();
    QVERIFY(w.isHidden());
    // Showing it from the menu, as the user first sees it.
    m_casino->findChild<QAction *>(QStringLiteral("Mabs"))->trigger();
    QVERIFY(w.isVisible());
    QCOMPARE(w.objectName(), QStringLiteral("absHaeufigkeiten"));
    QCOMPARE(w.windowTitle(), QStringLiteral("absolute Häufigkeiten"));
    QCOMPARE(w.geometry(), QRect(575, 76, 422, 275));

    // 600 + i × 955 twips on whole pixels (ties to even); 955 twips is 64 pixels.
    const Pixels lefts{40, 104, 167, 231, 295, 358};
    const Pixels reds{42, 83, 125, 167, 208, 250};
    QCOMPARE(w.absH().count(), 6);
    for (int i = 0; i < 6; ++i) {
        const QLabel &bar = w.absH()[i];
        QCOMPARE(bar.geometry(), QRect(lefts[i], 275, 64, 0));
        QCOMPARE(bar.text(), QString::number(i + 1));
        QCOMPARE(bar.toolTip(), QStringLiteral("0"));
        QCOMPARE(colourOf(bar), QColor(reds[i], 0, 0));
        QVERIFY(bar.isVisibleTo(&w));
    }

    // Line 1 at 412.5 twips = 27.5 pixels, applied at 28; line 0 on the bottom edge.
    QCOMPARE(w.Niveau()[0].y1(), 4125.0f);
    QCOMPARE(w.Niveau()[1].y1(), 420.0f);
    for (int k = 0; k < 16; ++k) {
        const LineElement &line = w.Niveau()[k];
        const QLabel &label = w.NZahl()[k];
        QVERIFY(k < 2 || line.y1() < 0);
        QCOMPARE(line.y2(), line.y1());
        QCOMPARE(line.x2(), 6330.0f);
        QCOMPARE(label.text(), QString::number(k));
        QCOMPARE(label.geometry(), QRect(0, Twips::toPixels(line.y1()), 41, 17));
        QVERIFY(line.isVisibleTo(&w) && label.isVisibleTo(&w));
    }
}

void Test::firstThrow()
{
    // Guards a bar that floats above the bottom edge or hides behind the grid after a throw.
    throwDice({1});
    AbsHaeufigkeiten &w = window();
    // 0.9 × 4125 = 3712.5 twips = 247.5 pixels, applied as 248; the bar stands on the bottom edge.
    const QLabel &bar = w.absH()[0];
    QCOMPARE(bar.geometry(), QRect(40, 27, 64, 248));
    QCOMPARE(bar.toolTip(), QStringLiteral("1"));
    for (int i = 1; i < 6; ++i)
        QCOMPARE(w.absH()[i].height(), 0);

    // Grid line 1 (pixel row 28) runs behind the bar but shows left of the bars.
    const QImage image = w.grab().toImage();
    QCOMPARE(QColor(image.pixel(bar.x() + 5, 28)), QColor(42, 0, 0));
    QCOMPARE(QColor(image.pixel(30, 28)), QColor(Qt::black));
    QCOMPARE(QColor(image.pixel(30, 100)), QColor(Qt::white));
}

void Test::gridStep_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("linesInside"); // values 0 < v ≤ M / 0.9
    QTest::newRow("5") << 5 << 1 << 5;
    QTest::newRow("15") << 15 << 2 << 8;
    QTest::newRow("25") << 25 << 2 << 13;
    QTest::newRow("35") << 35 << 4 << 9;
    QTest::newRow("45") << 45 << 4 << 12;
    QTest::newRow("100") << 100 << 10 << 11;
}

void Test::gridStep()
{
    // Guards the grid's values and scale: a wrong step, rounding or a grid that is not the bars'.
    QFETCH(int, maximum);
    QFETCH(int, step);
    QFETCH(int, linesInside);
    game().austausch().Haeufigkeit[3] = static_cast<qint16>(maximum);
    game().austausch().Haeufigkeit[5] = 1;
    AbsHaeufigkeiten &w = window();
    w.absH_Refresh();

    int inside = 0;
    for (int k = 0; k < 16; ++k) {
        QCOMPARE(w.NZahl()[k].text(), QString::number(k * step));
        const float y = w.Niveau()[k].y1();
        if (y >= 0 && y < 4125)
            ++inside;
    }
    QCOMPARE(inside, linesInside);
    // The tallest bar is 0.9 of the height: 3712.5 twips, applied as 248 pixels.
    QCOMPARE(w.absH()[2].height(), 248);
    QCOMPARE(w.absH()[2].toolTip(), QString::number(maximum));
}

void Test::raisingDice()
{
    // Guards the bars added when the range grows: captions, order, shades and width.
    throwDice({6});
    AbsHaeufigkeiten &w = window();
    w.show();
    setDice(2);
    const auto &bars = w.absH();
    QCOMPARE(bars.count(), 11);
    for (int i = 0; i < 11; ++i) {
        QCOMPARE(bars[i].text(), QString::number(i + 2));
        QCOMPARE(bars[i].toolTip(), QStringLiteral("0"));
        QCOMPARE(bars[i].width(), 35); // 520.9 twips
        QVERIFY(bars[i].isVisible());
        if (i > 0)
            QVERIFY(bars[i].x() > bars[i - 1].x());
    }
    QCOMPARE(colourOf(bars[5]), QColor(146, 0, 0));
    for (int i = 6; i < 11; ++i)
        QCOMPARE(colourOf(bars[i]), QColor(42, 0, 0));
    throwDice({6, 6});
    // The next pass shades them all; 62.5 and 187.5 go to the even neighbour.
    const Pixels reds{42, 62, 83, 104, 125, 146, 167, 188, 208, 229, 250};
    for (int i = 0; i < 11; ++i)
        QCOMPARE(colourOf(bars[i]), QColor(reds[i], 0, 0));
    QCOMPARE(bars[10].height(), 248);
    QCOMPARE(bars[10].geometry().right() + 1, w.width());
}

void Test::loweringDice_data()
{
    QTest::addColumn<int>("dice");
    QTest::newRow("seven to one") << 1;
    QTest::newRow("seven to three") << 3;
    QTest::newRow("seven to six") << 6;
}

void Test::loweringDice()
{
    // Guards left-over bars that stay in the chart or get destroyed when the range shrinks.
    QFETCH(int, dice);
    AbsHaeufigkeiten &w = window();
    w.show();
    setDice(7);
    QCOMPARE(w.absH().count(), 36);
    const QLabel *last = &w.absH()[35];
    setDice(dice);
    const auto &bars = w.absH();
    QCOMPARE(bars.count(), 36);
    QCOMPARE(&bars[35], last);
    const int sums = 5 * dice + 1;
    int inChart = 0;
    for (int i = 0; i < bars.count(); ++i) {
        const QLabel &bar = bars[i];
        if (bar.x() < w.width() && bar.width() > 0)
            ++inChart;
        if (i >= sums) {
            QCOMPARE(bar.height(), 0);
            QVERIFY(bar.x() >= w.width());
        }
    }
    QCOMPARE(inChart, sums);
}

void Test::resize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger") << QSize(800, 500);
    QTest::newRow("smaller") << QSize(200, 120);
    QTest::newRow("narrower than the margin") << QSize(30, 200);
    QTest::newRow("as wide as the margin") << QSize(40, 200);
    QTest::newRow("one pixel") << QSize(1, 1);
    QTest::newRow("nothing, as minimised") << QSize(0, 0);
}

void Test::resize()
{
    // Guards a chart that ignores a resize, runs left with negative widths when there is no room
    // right of the margin, or does not come back afterwards.
    QFETCH(QSize, size);
    setDice(2);
    throwDice({3, 4});
    AbsHaeufigkeiten &w = window();
    w.show();
    w.resize(size);
    QTRY_COMPARE(w.size(), size);

    const auto &bars = w.absH();
    // The counted sum 7 stands on the bottom edge at 0.9 of the height.
    QTRY_COMPARE(bars[5].y() + bars[5].height(), size.height());
    QCOMPARE(bars[5].height(), qRound(0.9 * size.height()));
    // Eleven bars share the room right of the 40-pixel margin, none when there is no room.
    const double pitch = std::max(0, size.width() - 40) / 11.0;
    for (int i = 0; i < bars.count(); ++i) {
        QVERIFY(qAbs(bars[i].x() - (40 + i * pitch)) <= 1);
        QVERIFY(qAbs(bars[i].width() - pitch) <= 1);
        QCOMPARE(bars[i].y() + bars[i].height(), size.height());
    }
    QCOMPARE(w.Niveau()[0].y1(), Twips::fromPixels(size.height()));
    QCOMPARE(w.Niveau()[15].x2(), Twips::fromPixels(size.width()));

    w.resize(422, 275);
    QTRY_COMPARE(bars[5].geometry(), QRect(214, 27, 35, 248));
    QCOMPARE(bars[10].geometry().right() + 1, 422);
}

void Test::closeAndRecreate()
{
    // Guards a stale check mark or a stale window after the user closes the chart.
    auto *mabs = m_casino->findChild<QAction *>(QStringLiteral("Mabs"));
    QVERIFY(mabs);
    setDice(2);
    mabs->trigger();
    QPointer<AbsHaeufigkeiten> old = &window();
    QVERIFY(old->isVisible());
    QVERIFY(mabs->isChecked());

    old->close();
    QVERIFY(!mabs->isChecked());
    QVERIFY(!windows().absHaeufigkeiten().isLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(old.isNull());

    throwDice({1, 2});
    QVERIFY(windows().absHaeufigkeiten().isLoaded());
    AbsHaeufigkeiten &fresh = window();
    QVERIFY(fresh.isHidden());
    const auto &bars = fresh.absH();
    QCOMPARE(bars.count(), 11);
    QCOMPARE(bars[1].toolTip(), QStringLiteral("1"));
    QCOMPARE(bars[1].height(), 248);
    // Every bar but bar 0 was made in this first pass and still has bar 0's shade.
    for (int i = 1; i < 11; ++i)
        QCOMPARE(colourOf(bars[i]), QColor(42, 0, 0));
}

void Test::expectedCountMarks_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("counts"); // thrown, from the lowest sum up
    QTest::addColumn<QSize>("size");
    // Bars: c / M′ × 0.9 × H, where M′ is the highest count or the highest expected count
    // rounded up, whichever is larger. Marks: y = (1 − E / M′ × 0.9) × H, less the mark's two
    // pixels above the level. Both to the nearest pixel, ties to even.
    QTest::addColumn<Pixels>("heights");
    QTest::addColumn<Pixels>("tops");
    QTest::addColumn<QString>("toolTip"); // of the first mark
    // M′ = 15: a count c is 16.5 c pixels high, and 16.5, 49.5 and 82.5 go to the even pixel.
    QTest::newRow("one die, E = 5 of M = 15")
        << 1 << QList<int>{1, 2, 3, 4, 5, 15} << QSize(422, 275)
        << Pixels{16, 33, 50, 66, 82, 248} << Pixels(6, 190) << QStringLiteral("erwartet: 5,00");
    QTest::newRow("one die, window twice as high")
        << 1 << QList<int>{1, 2, 3, 4, 5, 15} << QSize(422, 550)
        << Pixels{33, 66, 99, 132, 165, 495} << Pixels(6, 383) << QStringLiteral("erwartet: 5,00");
    // E(7) = 6 exceeds the highest count 4: the scale is M′ = 6, and every mark lies inside.
    QTest::newRow("two dice, 36 throws, M = 4")
        << 2 << QList<int>{3, 3, 3, 3, 3, 4, 4, 4, 3, 3, 3} << QSize(422, 275)
        << Pixels{124, 124, 124, 124, 124, 165, 165, 165, 124, 124, 124}
        << Pixels{232, 190, 149, 108, 67, 26, 67, 108, 149, 190, 232}
        << QStringLiteral("erwartet: 1,00");
    QTest::newRow("one die, 1.000 throws: E = 166,7")
        << 1 << QList<int>{0, 0, 0, 0, 0, 1000} << QSize(422, 275)
        << Pixels{0, 0, 0, 0, 0, 248} << Pixels(6, 232) << QStringLiteral("erwartet: 166,7");
    // Expected counts that are no whole numbers. 10 throws: E = 10 w / 36 for a sum of w ways,
    // M′ = 2, so the mark's top is 273 − 34.375 w: 238.625, 204.25, 169.875, 135.5, 101.125 and
    // 66.75 for w = 1 … 6. A count of 1 is 123.75 pixels high, of 2 247.5.
    QTest::newRow("two dice, 10 throws")
        << 2 << QList<int>{0, 1, 1, 1, 2, 2, 1, 1, 1, 0, 0} << QSize(422, 275)
        << Pixels{0, 124, 124, 124, 248, 248, 124, 124, 124, 0, 0}
        << Pixels{239, 204, 170, 136, 101, 67, 101, 136, 170, 204, 239}
        << QStringLiteral("erwartet: 0,278");
    // 7 throws: E = 7 w / 36, M′ = 2, top 273 − 24.0625 w: 248.94, 224.88, 200.81, 176.75,
    // 152.69 and 128.63.
    QTest::newRow("two dice, 7 throws")
        << 2 << QList<int>{0, 0, 1, 1, 1, 2, 1, 1, 0, 0, 0} << QSize(422, 275)
        << Pixels{0, 0, 124, 124, 124, 248, 124, 124, 0, 0, 0}
        << Pixels{249, 225, 201, 177, 153, 129, 153, 177, 201, 225, 249}
        << QStringLiteral("erwartet: 0,194");
}

void Test::expectedCountMarks()
{
    // Guards marks off the chart's scale (expected counts cut to whole numbers put them up to
    // 69 pixels too low), bars off their places, marks beside their bars, hidden behind them,
    // shown while unchecked, or left behind by a resize.
    QFETCH(int, dice);
    QFETCH(QList<int>, counts);
    QFETCH(QSize, size);
    QFETCH(Pixels, heights);
    QFETCH(Pixels, tops);
    QFETCH(QString, toolTip);
    // At the design width the bars start at (600 + i × B) / 15 pixels and are B / 15 wide.
    // One die: B = 5730 / 6 = 955 twips, 63.67 pixels. Two dice: B = 5730 / 11 = 520.91 twips,
    // 34.73 pixels; they start at 40, 74.73, 109.45, 144.18, 178.91, 213.64, 248.36, 283.09,
    // 317.82, 352.55 and 387.27.
    const Pixels lefts = dice == 1 ? Pixels{40, 104, 167, 231, 295, 358}
                                   : Pixels{40, 75, 109, 144, 179, 214, 248, 283, 318, 353, 387};
    const int barWidth = dice == 1 ? 64 : 35;
    playCounts(dice, counts);
    AbsHaeufigkeiten &w = window();
    w.show();
    auto *mErwartet = w.findChild<QAction *>(QStringLiteral("MErwartet"));
    QVERIFY(mErwartet && mErwartet->isCheckable() && !mErwartet->isChecked());
    const auto &marks = w.Erwartung();
    QVERIFY(!marks[0].isVisibleTo(&w));

    mErwartet->setChecked(true);
    w.resize(size);
    QTRY_COMPARE(w.size(), size);
    QCOMPARE(w.absH().count(), lefts.size());
    QCOMPARE(marks.count(), lefts.size());
    const QImage image = w.grab().toImage();
    for (int i = 0; i < lefts.size(); ++i) {
        const QLabel &bar = w.absH()[i];
        QCOMPARE(bar.geometry(),
                 QRect(lefts[i], size.height() - heights[i], barWidth, heights[i]));
        const QLabel &mark = marks[i];
        QCOMPARE(mark.geometry(), QRect(lefts[i], tops[i], barWidth, 4));
        QVERIFY(mark.isVisibleTo(&w));
        // A blue line in a white halo, not another black grid line.
        QCOMPARE(QColor(image.pixel(mark.x() + 2, mark.y())), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(mark.x() + 2, mark.y() + 2)), QColor(0, 90, 220));
    }
    QCOMPARE(marks[0].toolTip(), toolTip);
    // On screen too the marks say what they are, wholly inside the window.
    const auto *legend = w.findChild<QLabel *>(u"LegendeErwartet"_s);
    QVERIFY(legend && legend->isVisibleTo(&w));
    QVERIFY(legend->text().contains(u"erwartet"_s));
    QVERIFY(w.rect().contains(legend->geometry()));

    mErwartet->setChecked(false);
    QVERIFY(!legend->isVisibleTo(&w));
    for (int i = 0; i < marks.count(); ++i)
        QVERIFY(!marks[i].isVisibleTo(&w));
    w.findChild<QAction *>(QStringLiteral("MAuswertung"))->trigger();
    QVERIFY(windows().auswertung().isLoaded() && windows().auswertung()->isVisible());
}


void Test::openMenuAt(QPoint pos)
{
    AbsHaeufigkeiten &w = window();
    // To the control under the pointer, as the window system does: a bar passes it on.
    QWidget *target = w.childAt(pos) ? w.childAt(pos) : &w;
    const QPoint local = target->mapFrom(&w, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local, target->mapToGlobal(local));
    QCoreApplication::sendEvent(target, &event);
    auto *menu = w.findChild<QMenu *>();
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
}

void Test::entwicklungFromMenu_data()
{
    QTest::addColumn<bool>("overBar");
    QTest::addColumn<int>("sum");
    QTest::newRow("over the bar of 4") << true << 4;
    QTest::newRow("empty corner: most likely sum") << false << 7;
}

void Test::entwicklungFromMenu()
{
    // Guards the law-of-large-numbers window opening on a sum other than the one pointed at.
    QFETCH(bool, overBar);
    QFETCH(int, sum);
    setDice(2);
    for (const QList<int> &faces : {QList<int>{1, 3}, {2, 2}, {5, 6}})
        throwDice(faces);
    AbsHaeufigkeiten &w = window();
    windows().absHaeufigkeiten().show();
    // Sums 2 … 12: bar 2 is the sum 4.
    openMenuAt(overBar ? w.absH()[2].geometry().center() : QPoint(w.width() - 3, 3));
    w.findChild<QAction *>(QStringLiteral("MEntwicklung"))->trigger();
    w.findChild<QMenu *>()->close();
    QVERIFY(windows().entwicklung()->isVisible());
    QCOMPARE(windows().entwicklung()->summe(), sum);
}

void Test::worksheetOutput_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("fragments");
    // Vector shapes and the texts of a bar's caption (12) and a grid label (1, the only grid
    // value inside the chart that no bar shows), not an embedded bitmap.
    QTest::newRow("Bild speichern")
        << QStringLiteral("MBildSpeichern")
        << QStringList{QStringLiteral("<path"), QStringLiteral("<polyline"),
                       QStringLiteral(">12</text>"), QStringLiteral(">1</text>")};
    QTest::newRow("Tabelle kopieren")
        << QStringLiteral("MTabelleKopieren")
        << QStringList{QStringLiteral("Augensumme\t"), QStringLiteral("\n12\t2\t")};
}

void Test::worksheetOutput()
{
    // Guards a worksheet action that writes an empty or pixel-only chart or another table.
    QFETCH(QString, action);
    QFETCH(QStringList, fragments);
    if (action == u"MBildSpeichern")
        SKIP_WITHOUT_FONTS(); // the picture's captions are text
    setDice(2);
    for (const QList<int> &faces : {QList<int>{6, 6}, {6, 6}, {1, 2}})
        throwDice(faces);
    windows().absHaeufigkeiten().show();
    QTemporaryDir tmp;
    m_dialogs.saveAnswers.push_back(tmp.filePath(QStringLiteral("chart")));
    m_dialogs.saveFilterAnswers.push_back(QStringLiteral("SVG-Grafik (*.svg)"));
    QGuiApplication::clipboard()->clear();

    openMenuAt(QPoint(3, 3));
    window().findChild<QAction *>(action)->trigger();
    window().findChild<QMenu *>()->close();

    const QString output = worksheetResult(tmp.filePath(QStringLiteral("chart.svg")));
    for (const QString &fragment : fragments)
        QVERIFY2(output.contains(fragment), qPrintable(fragment));
    QVERIFY(m_dialogs.messages.isEmpty());
}

void Test::screenReaderReadsTheBars()
{
    // A blind pupil heard no counts: every bar names its sum and tells its count (and the
    // expectation while the marks are shown) as it is after the last move, and grid values above
    // the window stay as silent as they are invisible.
    setDice(2);
    game().austausch().Haeufigkeit[2] = 1;
    game().austausch().Haeufigkeit[6] = 834;
    game().austausch().Haeufigkeit[7] = 165;
    AbsHaeufigkeiten &w = window();
    w.show();
    w.absH_Refresh();
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(&w);
    QCOMPARE(chart->role(), QAccessible::Window);
    // The value is in the name: Orca speaks the name of the focused element only.
    const auto read = [chart](int child) { return chart->child(child)->text(QAccessible::Name); };
    QCOMPARE(read(0), QStringLiteral("Augensumme 2: 1 Wurf"));
    QCOMPARE(read(1), QStringLiteral("Augensumme 3: 0 Würfe"));
    QCOMPARE(read(5), QStringLiteral("Augensumme 7: 165 Würfe"));
    w.findChild<QAction *>(QStringLiteral("MErwartet"))->setChecked(true);
    QCOMPARE(read(5), QStringLiteral("Augensumme 7: 165 Würfe, erwartet 166,7"));

    throwDice({3, 4});
    QCOMPARE(read(5), QStringLiteral("Augensumme 7: 166 Würfe, erwartet 166,8"));

    int hidden = 0;
    for (int k = 0; k < w.NZahl().count(); ++k) {
        QLabel &label = w.NZahl()[k];
        const bool outside = !w.rect().intersects(label.geometry());
        QCOMPARE(QAccessible::queryAccessibleInterface(&label)->state().invisible, outside);
        hidden += outside;
    }
    QVERIFY(hidden > 0 && hidden < w.NZahl().count());
}

void Test::screenReaderHearsTheChange_data()
{
    QTest::addColumn<QList<int>>("faces"); // of one move; none: the New command
    QTest::addColumn<QStringList>("heard");
    QTest::newRow("a sum's first throw")
        << QList<int>{1, 2} << QStringList{u"Augensumme 3: 1 Wurf"_s};
    QTest::newRow("a sum thrown again")
        << QList<int>{3, 4} << QStringList{u"Augensumme 7: 2 Würfe"_s};
    QTest::newRow("New") << QList<int>{} << QStringList{u"Augensumme 7: 0 Würfe"_s};
}

void Test::screenReaderHearsTheChange()
{
    // The counts changed silently: a screen reader kept the count it had read before the move.
    // Every bar whose count changes is told, and only those, so that the reader is not flooded.
    QFETCH(QList<int>, faces);
    QFETCH(QStringList, heard);
    ListeningScreenReader reader;
    QVERIFY(reader.isListening());
    setDice(2);
    throwDice({3, 4});
    AbsHaeufigkeiten &w = window();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QAccessibleInterface *chart = QAccessible::queryAccessibleInterface(&w);
    for (int i = 0; i < chart->childCount(); ++i) // as anything that walks the window does
        QVERIFY(chart->child(i));
    reader.forget();

    if (faces.isEmpty())
        m_casino->MNeu_Click();
    else
        throwDice(faces);
    QCOMPARE(reader.heardIn(w), heard);
}

void Test::walkingTheBars_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("focused");
    QTest::newRow("on entry") << QList<int>{} << QStringLiteral("Augensumme 2: 1 Wurf");
    QTest::newRow("Left stops at the first")
        << QList<int>{Qt::Key_Left} << QStringLiteral("Augensumme 2: 1 Wurf");
    QTest::newRow("Right") << QList<int>{Qt::Key_Right, Qt::Key_Right}
                           << QStringLiteral("Augensumme 4: 0 Würfe");
    QTest::newRow("End, Left")
        << QList<int>{Qt::Key_End, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left,
                      Qt::Key_Left, Qt::Key_Right, Qt::Key_Right}
        << QStringLiteral("Augensumme 9: 0 Würfe");
    QTest::newRow("Home") << QList<int>{Qt::Key_End, Qt::Key_Home}
                          << QStringLiteral("Augensumme 2: 1 Wurf");
}

void Test::walkingTheBars()
{
    // Nothing in the bar chart took the focus: the chart does, the arrow keys move the current
    // bar, and the bar a screen reader is told has the focus names its count.
    QFETCH(QList<int>, keys);
    QFETCH(QString, focused);
    setDice(2);
    game().austausch().Haeufigkeit[2] = 1;
    game().austausch().Haeufigkeit[7] = 165;
    AbsHaeufigkeiten &w = window();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.absH_Refresh();
    QCOMPARE(QApplication::focusWidget(), &w);
    for (int key : keys)
        QTest::keyClick(&w, Qt::Key(key));
    QAccessibleInterface *current = QAccessible::queryAccessibleInterface(&w)->focusChild();
    QVERIFY(current);
    QCOMPARE(current->text(QAccessible::Name), focused);
    QVERIFY(current->state().focused);
    const int summe = focused.section(QLatin1Char(' '), 1, 1).chopped(1).toInt();
    QCOMPARE(keyboardSum(w), summe);
}

void Test::menuFromTheKeyboard_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Menu key") << QList<int>{Qt::Key_Menu} << int(Qt::NoModifier);
    QTest::newRow("Shift+F10") << QList<int>{Qt::Key_F10} << int(Qt::ShiftModifier);
}

void Test::menuFromTheKeyboard()
{
    // The Menu key opened the chart's menu once per window, and Shift+F10 never: it opens
    // every time, at the highlighted sum, and the focus comes back to the chart.
    QFETCH(QList<int>, keys);
    QFETCH(int, modifiers);
    setDice(2);
    AbsHaeufigkeiten &w = window();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *menu = w.findChild<QMenu *>();
    auto *erwartet = w.findChild<QAction *>(QStringLiteral("MErwartet"));
    QTest::keyClick(&w, Qt::Key_Right);
    QTest::keyClick(&w, Qt::Key_Right);
    for (int round = 0; round < 2; ++round) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(keys[0]),
                        Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(w.findChild<QAction *>(QStringLiteral("MEntwicklung"))->data().toInt(), 4);
        // It opens on its first item, which Return chooses.
        QTRY_COMPARE(menu->activeAction(), erwartet);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(erwartet->isChecked(), round == 0);
        QTRY_COMPARE(QApplication::focusWidget(), &w);
    }
}

void Test::gridValuesDarkOnAnyDesktop()
{
    // A dark desktop palette must not turn the grid values light on the chart's white, on
    // screen or in a file.
    const QPalette before = QApplication::palette();
    auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    windows().absHaeufigkeiten().unload();
    QApplication::setPalette(dark);
    m_casino->findChild<QAction *>(QStringLiteral("Mabs"))->trigger();
    AbsHaeufigkeiten &w = window();
    w.absH_Refresh();

    QImage painted(w.size(), QImage::Format_RGB32);
    {
        QPainter painter(&painted);
        w.paintChart(painter);
    }
    for (const QImage &image : {w.grab().toImage(), painted}) {
        // The darkest pixel in the value label of grid line 1 ("1"), below the line itself.
        const QRect label = w.NZahl()[1].geometry().intersected(w.rect());
        QVERIFY(!label.isEmpty());
        int darkest = 255;
        for (int y = label.top() + 2; y <= label.bottom(); ++y) {
            for (int x = label.left(); x <= label.right(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
        QVERIFY2(darkest < 80, qPrintable(QString::number(darkest)));
    }
}

QTEST_MAIN(Test)
#include "tst_abs_haeufigkeiten.moc"
