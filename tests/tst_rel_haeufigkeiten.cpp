// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"
#include "casino.h"
#include "chart_accessibility.h"
#include "fakes.h"
#include "pie.h"
#include "rel_haeufigkeiten.h"
#include "screen_reader.h"
#include "statistics_windows.h"

#include "entwicklung.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

using namespace Qt::StringLiterals;

using Calls = QList<QList<int>>;

namespace {

// Stands in front of Pie and records every call as left, top, right, bottom, x1, y1, x2, y2
// and the red of the fill colour (-1 without a surface); the wedge is still drawn.
class PieRecorder
{
public:
    PieFunction function()
    {
        return [this](QPainter &painter, int l, int t, int r, int b, int x1, int y1, int x2,
                      int y2) {
            calls.append({l, t, r, b, x1, y1, x2, y2,
                          painter.isActive() ? painter.brush().color().red() : -1});
            return Pie(painter, l, t, r, b, x1, y1, x2, y2);
        };
    }

    Calls calls;
};

// A game of `anzahl` dice whose sums, from the lowest on, were thrown `counts` times.
void setGame(int anzahl, const QList<int> &counts)
{
    game().austausch().Anzahl = static_cast<qint16>(anzahl);
    game().austausch().MinSumme = static_cast<qint16>(anzahl);
    game().austausch().MaxSumme = static_cast<qint16>(6 * anzahl);
    game().austausch().Haeufigkeit.clear();
    for (int i = 0; i < counts.size(); ++i)
        game().austausch().Haeufigkeit[anzahl + i] = static_cast<qint16>(counts[i]);
}

QList<int> eachSumOnce(int anzahl)
{
    return QList<int>(5 * anzahl + 1, 1);
}

// A new game of `anzahl` dice played in one move in which every reachable sum falls once, the
// lowest first.
void playEachSumOnce(ScriptedRandom &random, int anzahl)
{
    game().setDice(static_cast<qint16>(anzahl));
    game().setThrowsPerMove(5 * anzahl + 1);
    game().newGame();
    for (int extra = 0; extra <= 5 * anzahl; ++extra) {
        for (int die = 0; die < anzahl; ++die)
            random.pushValue(1 + std::clamp(extra - 5 * die, 0, 5));
    }
    game().move();
}

// The point at `degrees` counter-clockwise from 3 o'clock, `fraction` of the way from the centre
// of `box` to its inscribed ellipse.
QPoint probe(const QRect &box, double degrees, double fraction = 0.5)
{
    const double t = degrees * std::numbers::pi / 180;
    const double a = box.width() / 2.0;
    const double b = box.height() / 2.0;
    const double r = a * b / std::hypot(b * std::cos(t), a * std::sin(t));
    const QPointF centre(box.left() + a, box.top() + b);
    return QPointF(centre.x() + r * fraction * std::cos(t), centre.y() - r * fraction * std::sin(t))
        .toPoint();
}

constexpr QRgb White = 0xffffffff;

} // namespace

class TestRelHaeufigkeiten : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installChartAccessibility(); }
    void init();
    void cleanup();

    void design();
    void wedges_data();
    void wedges();
    void shadesOnScreen_data();
    void shadesOnScreen();
    void emptyClientArea();
    void pieDrawsTheWedge_data();
    void pieDrawsTheWedge();
    void labelPositions_data();
    void labelPositions();
    void labelsOnTheirWedges_data();
    void labelsOnTheirWedges();
    void surfaceColours();
    void click_data();
    void click();
    void hidingKeepsThePicture();
    void resizeRedraws();
    void moveAndNewRedraw();
    void screenReaderReadsTheWedges_data();
    void screenReaderReadsTheWedges();
    void screenReaderHearsTheChange_data();
    void screenReaderHearsTheChange();
    void closingClearsMrelAndReloads();
    void wedgeUnderPoint_data();
    void wedgeUnderPoint();
    void toolTip_data();
    void toolTip();
    void entwicklungFromTheMenu_data();
    void entwicklungFromTheMenu();
    void svgIsVector();

private:
    RelHaeufigkeiten &redrawAt(const QSize &size)
    {
        RelHaeufigkeiten &window = *windows().relHaeufigkeiten();
        window.resize(size);
        m_pies->calls.clear();
        window.relH_Refresh();
        return window;
    }

    std::unique_ptr<PieRecorder> m_pies;
    ScriptedDialogs m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<Casino> m_casino;
};

void TestRelHaeufigkeiten::init()
{
    m_pies = std::make_unique<PieRecorder>();
    // Every chart window the program creates during the test draws through the recorder.
    m_casino = startProgram(m_dialogs, m_random, m_pies->function());

}

void TestRelHaeufigkeiten::cleanup()
{
    endProgram(m_casino);
    m_pies.reset();
}

// The window must open hidden at its design place, with a template label and 42 hidden sums.
void TestRelHaeufigkeiten::design()
{
    RelHaeufigkeiten &window = *windows().relHaeufigkeiten();
    QCOMPARE(window.objectName(), QStringLiteral("relHaeufigkeiten"));
    QCOMPARE(window.windowTitle(), QStringLiteral("relative Häufigkeiten"));
    QVERIFY(!window.isVisible());
    QCOMPARE(window.geometry(), QRect(633, 513, 264, 256));

    const ElementList<QLabel> &ergebnis = window.Ergebnis();
    QCOMPARE(ergebnis.count(), 43);
    for (int i = 0; i < ergebnis.count(); ++i) {
        const QLabel &label = ergebnis[i];
        QCOMPARE(label.text(), i == 0 ? QString() : QString::number(i));
        QCOMPARE(label.size(), QSize(17, 17));
        QVERIFY(label.font().bold());
        QCOMPARE(label.font().pointSizeF(), 8.25);
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(!label.autoFillBackground());
        QCOMPARE(label.property("Index").toInt(), i);
    }
    QCOMPARE(ergebnis[0].pos(), QPoint(160, 160));
    // Only the six sums of one die are ever placed; the rest keep the template's place.
    QCOMPARE(ergebnis[7].pos(), QPoint(160, 160));
}

void TestRelHaeufigkeiten::wedges_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<Calls>("calls");

    const QSize design(264, 256);
    QTest::newRow("each face once") << design << eachSumOnce(1)
        << Calls{{0, 0, 264, 256, 132, 64, 77, 96, 42},   {0, 0, 264, 256, 77, 96, 77, 160, 83},
                 {0, 0, 264, 256, 77, 160, 132, 192, 125}, {0, 0, 264, 256, 132, 192, 187, 160, 167},
                 {0, 0, 264, 256, 187, 160, 187, 96, 208}, {0, 0, 264, 256, 187, 96, 132, 64, 250}};
    QTest::newRow("no throws") << design << QList<int>{} << Calls{};
    QTest::newRow("one sum holds every throw") << design << QList<int>{0, 0, 5}
        << Calls{{0, 0, 264, 256, 132, 64, 132, 64, 125}};
    QTest::newRow("once in 628 is drawn") << design << QList<int>{1, 0, 0, 0, 0, 627}
        << Calls{{0, 0, 264, 256, 132, 64, 131, 64, 42}, {0, 0, 264, 256, 131, 64, 132, 64, 250}};
    QTest::newRow("once in 629 leaves a gap") << design << QList<int>{1, 0, 0, 0, 0, 628}
        << Calls{{0, 0, 264, 256, 131, 64, 132, 64, 250}};
    QTest::newRow("a sliver whose ends meet is no whole ellipse") << QSize(40, 20)
        << QList<int>{99, 1} << Calls{{0, 0, 40, 20, 20, 5, 20, 5, 42}};
    QTest::newRow("odd size chains rounded end points") << QSize(265, 257) << eachSumOnce(1)
        << Calls{{0, 0, 265, 257, 132, 64, 77, 96, 42},   {0, 0, 265, 257, 77, 96, 77, 160, 83},
                 {0, 0, 265, 257, 77, 160, 132, 192, 125}, {0, 0, 265, 257, 132, 192, 188, 160, 167},
                 {0, 0, 265, 257, 188, 160, 188, 96, 208}, {0, 0, 265, 257, 188, 96, 133, 64, 250}};
}

// Wedge end points must chain from the rounded previous end, thresholds and all.
void TestRelHaeufigkeiten::wedges()
{
    QFETCH(QSize, size);
    QFETCH(QList<int>, counts);
    QFETCH(Calls, calls);

    setGame(1, counts);
    RelHaeufigkeiten &window = redrawAt(size);
    QCOMPARE(m_pies->calls, calls);

    QList<int> drawn;
    for (const QList<int> &call : std::as_const(calls))
        drawn.append(qRound(call.last() * 6 / 250.0));
    for (int s = 1; s <= 6; ++s)
        QCOMPARE(!window.Ergebnis()[s].isHidden(), drawn.contains(s));
}

void TestRelHaeufigkeiten::shadesOnScreen_data()
{
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<int>("summe");
    QTest::addColumn<int>("red");

    QTest::newRow("one die, first sum") << 1 << 1 << 42;
    QTest::newRow("one die, last sum") << 1 << 6 << 250;
    QTest::newRow("two dice, 62.5 goes to 62") << 2 << 3 << 62;
    QTest::newRow("two dice, 187.5 goes to 188") << 2 << 9 << 188;
    QTest::newRow("seven dice, first sum") << 7 << 7 << 42;
    QTest::newRow("seven dice, middle sum") << 7 << 24 << 143;
    QTest::newRow("seven dice, last sum") << 7 << 42 << 250;
}

// A wedge must show the pure red of its sum's shade, brighter with the sum and rounded to even.
void TestRelHaeufigkeiten::shadesOnScreen()
{
    QFETCH(int, anzahl);
    QFETCH(int, summe);
    QFETCH(int, red);

    playEachSumOnce(m_random, anzahl);
    RelHaeufigkeiten &window = *windows().relHaeufigkeiten();
    windows().relHaeufigkeiten().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);

    // Equal wedges from 12 o'clock on; three quarters out, clear of the label in the middle.
    const int wedges = 5 * anzahl + 1;
    const double middle = 90 + 360.0 * (summe - anzahl + 0.5) / wedges;
    const QPoint point = probe(window.rect(), middle, 0.75);
    QCOMPARE(QColor(shown.pixel(point)), QColor(red, 0, 0));
}

// A window without client area must not divide by zero, paint on nothing or warn.
void TestRelHaeufigkeiten::emptyClientArea()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    setGame(1, eachSumOnce(1));
    RelHaeufigkeiten &window = redrawAt(QSize(0, 0));

    QCOMPARE(m_pies->calls.size(), 6);
    for (const QList<int> &call : std::as_const(m_pies->calls))
        QCOMPARE(call.first(8), QList<int>(8, 0));
    const ErgebnisPosition position = ergebnisPosition(0, 0, 1.0, 17, 17);
    QCOMPARE(position.left, -8.5f);
    QCOMPARE(position.top, -8.5f);
    for (int s = 1; s <= 6; ++s)
        QCOMPARE(window.Ergebnis()[s].pos(), QPoint(-8, -8)); // -8.5 to even
}

void TestRelHaeufigkeiten::pieDrawsTheWedge_data()
{
    QTest::addColumn<QList<int>>("box"); // left, top, right, bottom as Pie takes them
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("second");
    QTest::addColumn<QList<double>>("inside"); // degrees from 3 o'clock, counter-clockwise
    QTest::addColumn<QList<double>>("outside");

    const QList<int> circle{0, 0, 200, 200};
    const QList<double> quarter{10, 45, 80};
    const QList<double> rest{100, 180, 270, 350};
    const QList<double> all{0, 90, 180, 270};
    QTest::newRow("quarter") << circle << QPoint(200, 100) << QPoint(100, 0) << quarter << rest;
    QTest::newRow("counter-clockwise: swapped ends give the rest")
        << circle << QPoint(100, 0) << QPoint(200, 100) << rest << quarter;
    QTest::newRow("directions count, not distances")
        << circle << QPoint(150, 100) << QPoint(100, -300) << quarter << rest;
    QTest::newRow("wide ellipse keeps the rays' directions") << QList<int>{0, 0, 400, 100}
        << QPoint(300, 50) << QPoint(250, 0) << QList<double>{5, 40} << QList<double>{50, 90, 300};
    QTest::newRow("tall ellipse keeps the rays' directions") << QList<int>{0, 0, 100, 400}
        << QPoint(50, 0) << QPoint(0, 150) << QList<double>{95, 130} << QList<double>{140, 270, 80};
    QTest::newRow("same point: whole ellipse")
        << circle << QPoint(200, 100) << QPoint(200, 100) << all << QList<double>{};
    QTest::newRow("same direction: whole ellipse")
        << circle << QPoint(150, 100) << QPoint(250, 100) << all << QList<double>{};
    QTest::newRow("point at the centre: whole ellipse")
        << circle << QPoint(100, 100) << QPoint(200, 100) << all << QList<double>{};
    QTest::newRow("corner points, as a click passes them") << QList<int>{0, 0, 200, 150}
        << QPoint(0, 0) << QPoint(0, 0) << all << QList<double>{};
    QTest::newRow("centre between pixels: all but a sliver") << QList<int>{0, 0, 201, 201}
        << QPoint(100, 0) << QPoint(101, 0) << all << QList<double>{};
    QTest::newRow("centre between pixels: a sliver") << QList<int>{0, 0, 201, 201}
        << QPoint(101, 0) << QPoint(100, 0) << QList<double>{} << all;
    QTest::newRow("offset rectangle") << QList<int>{50, 20, 150, 120}
        << QPoint(100, 20) << QPoint(50, 70) << QList<double>{100, 170} << QList<double>{10, 190};
}

// Pie must sweep counter-clockwise on the screen between the rays, on any ellipse.
void TestRelHaeufigkeiten::pieDrawsTheWedge()
{
    QFETCH(QList<int>, box);
    QFETCH(QPoint, first);
    QFETCH(QPoint, second);
    QFETCH(QList<double>, inside);
    QFETCH(QList<double>, outside);

    const int left = box[0], top = box[1], right = box[2], bottom = box[3];
    QImage image(right + 10, bottom + 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(QColor(100, 0, 0));
    QCOMPARE(Pie(painter, left, top, right, bottom, first.x(), first.y(), second.x(), second.y()),
             1);
    painter.end();

    const QRect rect(left, top, right - left, bottom - top);
    for (double degrees : std::as_const(inside))
        QVERIFY2(image.pixel(probe(rect, degrees)) == qRgb(100, 0, 0), qPrintable(QString::number(degrees)));
    for (double degrees : std::as_const(outside))
        QVERIFY2(image.pixel(probe(rect, degrees)) == White, qPrintable(QString::number(degrees)));
    QCOMPARE(image.pixel(rect.topLeft() + QPoint(2, 2)), White); // outside the ellipse
}

void TestRelHaeufigkeiten::labelPositions_data()
{
    QTest::addColumn<int>("sum");
    QTest::addColumn<QPointF>("exact");
    QTest::addColumn<QPoint>("placed");

    // 256 × 256, one die, each face once: the labels at 30°, 90°, … from 12 o'clock.
    QTest::newRow("1") << 1 << QPointF(87.5, 64.07) << QPoint(88, 64);
    QTest::newRow("2") << 2 << QPointF(55.5, 119.5) << QPoint(56, 120);
    QTest::newRow("3") << 3 << QPointF(87.5, 174.93) << QPoint(88, 175);
    QTest::newRow("4") << 4 << QPointF(151.5, 174.93) << QPoint(152, 175);
    QTest::newRow("5") << 5 << QPointF(183.5, 119.5) << QPoint(184, 120);
    QTest::newRow("6") << 6 << QPointF(151.5, 64.07) << QPoint(152, 64);
}

// Labels must sit on their wedge's middle, not with x and y swapped, placed half to even.
void TestRelHaeufigkeiten::labelPositions()
{
    QFETCH(int, sum);
    QFETCH(QPointF, exact);
    QFETCH(QPoint, placed);

    const double phi = (2 * sum - 1) * std::numbers::pi / 6;
    const ErgebnisPosition position = ergebnisPosition(128, 128, phi, 17, 17);
    QVERIFY(std::abs(position.left - exact.x()) < 0.005);
    QVERIFY(std::abs(position.top - exact.y()) < 0.005);

    setGame(1, eachSumOnce(1));
    const QLabel &label = redrawAt(QSize(256, 256)).Ergebnis()[sum];
    QCOMPARE(label.geometry(), QRect(placed, QSize(17, 17)));
    QVERIFY(!label.isHidden());
}

void TestRelHaeufigkeiten::labelsOnTheirWedges_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("square") << QSize(256, 256);
    QTest::newRow("design") << QSize(264, 256);
    QTest::newRow("wide") << QSize(400, 150);
    QTest::newRow("tall") << QSize(150, 400);
}

// On a stretched chart a label must still land on its own, possibly narrow, wedge.
void TestRelHaeufigkeiten::labelsOnTheirWedges()
{
    QFETCH(QSize, size);

    const int twoDiceColours[] = {42, 62, 83, 104, 125, 146, 167, 188, 208, 229, 250};
    setGame(2, {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1});
    RelHaeufigkeiten &window = redrawAt(size);
    QCOMPARE(m_pies->calls.size(), 11);
    for (int s = 2; s <= 12; ++s) {
        const QLabel &label = window.Ergebnis()[s];
        const QPoint centre = label.pos() + QPoint(8, 8);
        QVERIFY2(window.surface().pixel(centre) == qRgb(twoDiceColours[s - 2], 0, 0),
                 qPrintable(QStringLiteral("sum %1 at %2, %3").arg(s).arg(centre.x()).arg(centre.y())));
    }
}

// The redraw must clear the surface and leave white what no wedge covers.
void TestRelHaeufigkeiten::surfaceColours()
{
    setGame(1, {});
    RelHaeufigkeiten &window = redrawAt(QSize(264, 256));
    QCOMPARE(window.surface().size(), QSize(264, 256));
    for (int s = 1; s <= 6; ++s)
        QVERIFY(window.Ergebnis()[s].isHidden());
    QImage white(264, 256, QImage::Format_RGB32);
    white.fill(Qt::white);
    QCOMPARE(window.surface(), white);

    setGame(1, eachSumOnce(1));
    window.relH_Refresh();
    const QRect box(0, 0, 264, 256);
    const int colours[] = {42, 83, 125, 167, 208, 250};
    for (int s = 1; s <= 6; ++s) // middles at 120°, 180°, … from 3 o'clock
        QCOMPARE(window.surface().pixel(probe(box, 60.0 * s + 60)), qRgb(colours[s - 1], 0, 0));
    QCOMPARE(window.surface().pixel(2, 2), White);

    setGame(1, {0, 0, 0, 9});
    window.relH_Refresh();
    for (double degrees : {0.0, 90.0, 180.0, 270.0})
        QCOMPARE(window.surface().pixel(probe(box, degrees)), qRgb(167, 0, 0));
    QCOMPARE(window.surface().pixel(263, 255), White);
}

void TestRelHaeufigkeiten::click_data()
{
    QTest::addColumn<bool>("onLabel");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("drawsEllipse");

    QTest::newRow("left, on the client area") << false << Qt::LeftButton << true;
    QTest::newRow("left, on a label") << true << Qt::LeftButton << false;
    QTest::newRow("right") << false << Qt::RightButton << false;
}

// A click must paint the whole ellipse in the last fill colour, outlined in white as the wedges
// are, and touch nothing else.
void TestRelHaeufigkeiten::click()
{
    QFETCH(bool, onLabel);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, drawsEllipse);

    playEachSumOnce(m_random, 1);
    RelHaeufigkeiten &window = *windows().relHaeufigkeiten();
    windows().relHaeufigkeiten().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    m_pies->calls.clear();
    // Further out than the wedge's label, whose glyph would hide the colour where no font has it.
    const QPoint firstWedge = probe(window.rect(), 120, 0.8);
    QCOMPARE(window.surface().pixel(firstWedge), qRgb(42, 0, 0));
    const QRect label1 = window.Ergebnis()[1].geometry();

    if (onLabel)
        QTest::mouseClick(&window.Ergebnis()[1], button);
    else
        QTest::mouseClick(&window, button, Qt::NoModifier, QPoint(3, 3));

    const Calls ellipse{{0, 0, 264, 256, 0, 0, 0, 0, 250}};
    QCOMPARE(m_pies->calls, drawsEllipse ? ellipse : Calls{});
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.pixel(firstWedge), drawsEllipse ? qRgb(250, 0, 0) : qRgb(42, 0, 0));
    QCOMPARE(window.Ergebnis()[1].geometry(), label1);
    QVERIFY(!window.Ergebnis()[1].isHidden());
    if (!drawsEllipse)
        return;
    // Around the ellipse's edge only its white outline, the white ground and its fill: no dark
    // ring where the wedges' white outlines were.
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const QPoint edge = probe(window.rect(), degrees, 1.0);
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const QPoint p = edge + QPoint(dx, dy);
                if (!shown.valid(p))
                    continue;
                const QRgb colour = shown.pixel(p);
                QVERIFY2(colour == White || colour == qRgb(250, 0, 0),
                         qPrintable(QStringLiteral("%1 at %2, %3")
                                        .arg(QColor(colour).name()).arg(p.x()).arg(p.y())));
            }
        }
    }
}

// Hiding and showing must keep the drawn chart, and redraws while hidden must land.
void TestRelHaeufigkeiten::hidingKeepsThePicture()
{
    setGame(1, eachSumOnce(1));
    RelHaeufigkeiten &window = redrawAt(QSize(264, 256));
    windows().relHaeufigkeiten().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.pixel(probe(QRect(0, 0, 264, 256), 240)), qRgb(125, 0, 0));

    windows().relHaeufigkeiten().hide();
    windows().relHaeufigkeiten().show();
    QCOMPARE(window.grab().toImage().convertToFormat(QImage::Format_RGB32), shown);

    windows().relHaeufigkeiten().hide();
    setGame(1, {0, 0, 0, 0, 0, 3});
    window.relH_Refresh();
    windows().relHaeufigkeiten().show();
    const QImage after = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(after.pixel(probe(QRect(0, 0, 264, 256), 240)), qRgb(250, 0, 0));
}

// Resizing the window must redraw the chart to the new client area.
void TestRelHaeufigkeiten::resizeRedraws()
{
    setGame(1, {0, 0, 3});
    RelHaeufigkeiten &window = redrawAt(QSize(264, 256));
    windows().relHaeufigkeiten().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    m_pies->calls.clear();

    window.resize(300, 200);
    QTRY_COMPARE(window.surface().size(), QSize(300, 200));
    QVERIFY(!m_pies->calls.isEmpty());
    QCOMPARE(m_pies->calls.last(), (QList<int>{0, 0, 300, 200, 150, 50, 150, 50, 125}));
    QCOMPARE(window.Ergebnis()[3].pos(), QPoint(142, 142)); // below the centre
}

// A move and New must reach the chart through relH_Refresh, labels included.
void TestRelHaeufigkeiten::moveAndNewRedraw()
{
    ScriptedRandom &random = m_random;
    random.pushValues({4});
    m_pies->calls.clear();
    m_casino->CBKollavo_MouseDown();
    QCOMPARE(m_pies->calls, (Calls{{0, 0, 264, 256, 132, 64, 132, 64, 167}}));
    const ElementList<QLabel> &ergebnis = windows().relHaeufigkeiten()->Ergebnis();
    for (int s = 0; s <= 42; ++s)
        QCOMPARE(ergebnis[s].isHidden(), s != 4);

    m_pies->calls.clear();
    m_casino->MNeu_Click();
    QCOMPARE(m_pies->calls, Calls{});
    for (int s = 0; s <= 42; ++s)
        QVERIFY(ergebnis[s].isHidden());
}

void TestRelHaeufigkeiten::screenReaderReadsTheWedges_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("summe");
    QTest::addColumn<QString>("name");
    const QList<int> thousand{1, 0, 0, 0, 834, 165, 0, 0, 0, 0, 0};
    QTest::newRow("a wedge") << 2 << thousand << 7
                             << QStringLiteral("Augensumme 7: 16,50 % (165 von 1.000 Würfen)");
    QTest::newRow("too thin for its label")
        << 2 << thousand << 2 << QStringLiteral("Augensumme 2: 0,100 % (1 von 1.000 Würfen)");
    QTest::newRow("4 of 20.000") << 2 << QList<int>{4, 0, 0, 0, 9996, 10000} << 2
                                 << QStringLiteral("Augensumme 2: 0,0200 % (4 von 20.000 Würfen)");
    QTest::newRow("one die") << 1 << QList<int>{0, 0, 3, 1} << 3
                             << QStringLiteral("Augenzahl 3: 75,00 % (3 von 4 Würfen)");
}

void TestRelHaeufigkeiten::screenReaderReadsTheWedges()
{
    // The pie told assistive technology nothing, then rounded shares of its own (4 of 20.000
    // read "0,0 %"): every reachable sum, even one too rare for a wedge, is a child named with
    // its share exactly as the wedge's tooltip shows it.
    QFETCH(int, dice);
    QFETCH(QList<int>, counts);
    QFETCH(int, summe);
    QFETCH(QString, name);
    setGame(dice, counts);
    RelHaeufigkeiten &w = *windows().relHaeufigkeiten();
    w.show();
    w.relH_Refresh();
    QAccessibleInterface *pie = QAccessible::queryAccessibleInterface(&w);
    QCOMPARE(pie->role(), QAccessible::Window);
    QCOMPARE(pie->childCount(), 5 * dice + 1);
    QAccessibleInterface *wedge = pie->child(summe - dice);
    QCOMPARE(wedge->text(QAccessible::Name), name);
    QCOMPARE(pie->indexOfChild(wedge), summe - dice);
    QVERIFY(!wedge->state().invisible);
    const QString shown =
        wedgeToolTip(summe, counts[summe - dice], game().austausch().totalCount(), dice).section(u'=', 1);
    QVERIFY2(shown.startsWith(u' ' + name.section(u' ', 2, 3)), qPrintable(shown));
}

void TestRelHaeufigkeiten::screenReaderHearsTheChange_data()
{
    QTest::addColumn<int>("dice");
    QTest::addColumn<bool>("newGame"); // after a move of the first die values, else a move
    QTest::addColumn<bool>("lateListener"); // the screen reader starts after the game did
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QStringList>("names"); // heard, from the lowest sum up

    const QString none = u"noch keine Würfe"_s;
    const QString zero = u"0,00 % (0 von 1 Wurf)"_s;
    const QString all = u"100,00 % (1 von 1 Wurf)"_s;
    QTest::newRow("one die, a move") << 1 << false << false << QList<int>{4}
        << QStringList{zero, zero, zero, all, zero, zero};
    QTest::newRow("two dice, a move") << 2 << false << false << QList<int>{1, 2}
        << QStringList{zero, all, zero, zero, zero, zero, zero, zero, zero, zero, zero};
    QTest::newRow("New") << 1 << true << false << QList<int>{6} << QStringList(6, none);
    // Names remembered before anybody listened must not pass for what the listener last heard.
    QTest::newRow("New, screen reader started mid-game")
        << 1 << true << true << QList<int>{6} << QStringList(6, none);
}

// A screen reader must hear every wedge whose share a move or New changed, and read its new
// share; the pie told nothing, and the shares a listener had read went stale.
void TestRelHaeufigkeiten::screenReaderHearsTheChange()
{
    QFETCH(int, dice);
    QFETCH(bool, newGame);
    QFETCH(bool, lateListener);
    QFETCH(QList<int>, values);
    QFETCH(QStringList, names);

    std::optional<ListeningScreenReader> reader;
    if (!lateListener)
        reader.emplace();
    game().setDice(static_cast<qint16>(dice));
    game().newGame();
    RelHaeufigkeiten &window = *windows().relHaeufigkeiten();
    windows().relHaeufigkeiten().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QAccessibleInterface *pie = QAccessible::queryAccessibleInterface(&window);
    QCOMPARE(pie->childCount(), names.size());
    for (int i = 0; i < pie->childCount(); ++i) // as anything that walks the window does
        QVERIFY(pie->child(i));
    if (newGame) {
        m_random.pushValues(values);
        game().move();
    }
    if (lateListener)
        reader.emplace();
    QVERIFY(reader->isListening());
    reader->forget();

    if (newGame) {
        game().newGame();
    } else {
        m_random.pushValues(values);
        game().move();
    }

    const QString word = dice == 1 ? u"Augenzahl"_s : u"Augensumme"_s;
    QStringList expected;
    for (int i = 0; i < names.size(); ++i)
        expected.append(u"%1 %2: %3"_s.arg(word).arg(dice + i).arg(names[i]));
    const QStringList told = reader->heardIn(window);
    if (lateListener) {
        // A listener that may have read the old share hears each wedge's name again.
        for (const QString &name : expected)
            QVERIFY2(told.contains(name), qPrintable(name + u" not heard in "_s + told.join(u" | ")));
    } else {
        QCOMPARE(told, expected);
    }
}

// Closing the window must clear Mrel's mark, and the next touch must build it anew.
void TestRelHaeufigkeiten::closingClearsMrelAndReloads()
{
    auto *mrel = m_casino->findChild<QAction *>(QStringLiteral("Mrel"));
    QVERIFY(mrel);
    QSignalSpy released(&windows().relHaeufigkeiten(), &SharedWindowBase::released);

    mrel->trigger();
    QVERIFY(mrel->isChecked());
    mrel->trigger(); // hiding is no unload
    QVERIFY(!mrel->isChecked());
    QCOMPARE(released.count(), 0);

    mrel->trigger();
    QPointer<RelHaeufigkeiten> old = &*windows().relHaeufigkeiten();
    QVERIFY(old->isVisible());
    old->close();
    QVERIFY(!mrel->isChecked());
    QVERIFY(released.count() >= 1);
    QTRY_VERIFY(old.isNull());

    RelHaeufigkeiten &fresh = *windows().relHaeufigkeiten();
    QVERIFY(!fresh.isVisible());
    QCOMPARE(fresh.Ergebnis().count(), 43);
    for (int s = 1; s <= 42; ++s) {
        QCOMPARE(fresh.Ergebnis()[s].text(), QString::number(s));
        QVERIFY(fresh.Ergebnis()[s].isHidden());
    }
}

void TestRelHaeufigkeiten::wedgeUnderPoint_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<double>("degrees"); // from 3 o'clock, half-way to the edge; NaN: a corner
    QTest::addColumn<int>("sum");

    const QSize design(264, 256);
    QTest::newRow("middle of the first wedge") << design << eachSumOnce(1) << 120.0 << 1;
    QTest::newRow("middle of the last wedge") << design << eachSumOnce(1) << 60.0 << 6;
    QTest::newRow("narrow wedge on a wide chart") << QSize(400, 150)
        << QList<int>{1, 2, 3, 4, 5, 20} << 90.0 + 180.0 / 35 << 1;
    QTest::newRow("outside the ellipse") << design << eachSumOnce(1) << qQNaN() << 0;
    QTest::newRow("no throws") << design << QList<int>{} << 120.0 << 0;
}

// The wedge under a point must follow the drawn angles, stretched charts and the ellipse's edge.
void TestRelHaeufigkeiten::wedgeUnderPoint()
{
    QFETCH(QSize, size);
    QFETCH(QList<int>, counts);
    QFETCH(double, degrees);
    QFETCH(int, sum);

    setGame(1, counts);
    const PieLayout layout = pieLayout(game(), size.width(), size.height());
    const QPoint point = qIsNaN(degrees) ? QPoint(3, 3) : probe(QRect(QPoint(), size), degrees);
    QCOMPARE(wedgeAt(layout, point), sum);
}

void TestRelHaeufigkeiten::toolTip_data()
{
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QString>("text");

    QTest::newRow("over a wedge") << 2 << QList<int>{0, 0, 0, 0, 0, 1234, 5766}
        << 90.0 + 180.0 * 1234 / 7000
        << QStringLiteral("Augensumme 7: 1.234 von 7.000 Würfen = 17,63 % "
                          "(Wahrscheinlichkeit 16,67 %)");
    QTest::newRow("a single throw") << 1 << QList<int>{0, 0, 1} << 200.0
        << QStringLiteral("Augenzahl 3: 1 von 1 Wurf = 100,00 % (Wahrscheinlichkeit 16,67 %)");
    // 1.645 of 20.000 is exactly 8,225 %: the tie rounds away from zero, as in the table.
    QTest::newRow("two dice, 20.000 throws: a tie")
        << 2 << QList<int>{0, 0, 1645, 0, 0, 18355} << 90.0 + 180.0 * 1645 / 20000
        << QStringLiteral("Augensumme 4: 1.645 von 20.000 Würfen = 8,23 % "
                          "(Wahrscheinlichkeit 8,33 %)");
    QTest::newRow("outside the pie") << 1 << QList<int>{0, 0, 1} << qQNaN() << QString();
    QTest::newRow("no throws") << 1 << QList<int>{} << 200.0 << QString();
}

// The tooltip must speak for the wedge under the pointer in German numbers, and only there.
void TestRelHaeufigkeiten::toolTip()
{
    QFETCH(int, anzahl);
    QFETCH(QList<int>, counts);
    QFETCH(double, degrees);
    QFETCH(QString, text);

    // German whatever the system's locale.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());

    setGame(anzahl, counts);
    RelHaeufigkeiten &window = redrawAt(QSize(264, 256));
    windows().relHaeufigkeiten().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint point =
        qIsNaN(degrees) ? QPoint(3, 3) : probe(QRect(0, 0, 264, 256), degrees);
    QHelpEvent event(QEvent::ToolTip, point, window.mapToGlobal(point));
    QApplication::sendEvent(&window, &event);
    QTRY_COMPARE(QToolTip::text(), text);
}

void TestRelHaeufigkeiten::entwicklungFromTheMenu_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("label"); // the label opened on, 0: the window
    QTest::addColumn<int>("sum");

    // Two dice, sums 2 … 12 thrown 1, 2, …, 6, …, 1 times: 36 throws, 10° a throw.
    QTest::newRow("over the wedge of 4") << probe(QRect(0, 0, 264, 256), 90 + 30 + 15) << 0 << 4;
    QTest::newRow("on the label of 10") << QPoint(8, 8) << 10 << 10;
    QTest::newRow("outside the pie: the most likely sum") << QPoint(3, 3) << 0 << 7;
}

// MEntwicklung must show the sum of the wedge the menu was opened over, else the most likely.
void TestRelHaeufigkeiten::entwicklungFromTheMenu()
{
    QFETCH(QPoint, point);
    QFETCH(int, label);
    QFETCH(int, sum);

    setGame(2, {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1});
    RelHaeufigkeiten &window = redrawAt(QSize(264, 256));
    QWidget *receiver = label ? static_cast<QWidget *>(&window.Ergebnis()[label]) : &window;
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, receiver->mapToGlobal(point));
    QApplication::sendEvent(receiver, &event);
    auto *menu = window.findChild<QMenu *>();
    QVERIFY(menu && menu->isVisible());

    window.findChild<QAction *>(QStringLiteral("MEntwicklung"))->trigger();
    menu->close();
    QVERIFY(windows().entwicklung()->isVisible());
    QCOMPARE(windows().entwicklung()->summe(), sum);
}

// A saved SVG must hold the wedges as shapes and the labels as text, not a bitmap.
void TestRelHaeufigkeiten::svgIsVector()
{
    QTemporaryDir tmp;
    const QString file = tmp.filePath(QStringLiteral("kreis.svg"));
    m_dialogs.saveAnswers.push_back(file);
    setGame(1, eachSumOnce(1));
    RelHaeufigkeiten &window = redrawAt(QSize(264, 256));
    window.findChild<QAction *>(QStringLiteral("MBildSpeichern"))->trigger();

    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray svg = saved.readAll();
    QCOMPARE(svg.count("<path"), 6);
    QVERIFY(svg.contains(">5</text>"));
    QVERIFY(!svg.contains("<image"));
}

QTEST_MAIN(TestRelHaeufigkeiten)
#include "tst_rel_haeufigkeiten.moc"
