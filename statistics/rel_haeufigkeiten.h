// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"
#include "element_list.h"
#include "pie.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QWidget>

class Dialogs;
class Game;
class QHelpEvent;
class QAction;
class QMenu;
class QPainter;

// One sum's wedge of a redraw: Pie's two radial end points (each the rounded end of the wedge
// before), its fill colour, whether it is drawn at all, and the direction of its middle (radians
// counter-clockwise from 12 o'clock), where its label goes.
struct PieWedge
{
    int summe = 0;
    QColor colour;
    QPoint from;
    QPoint to;
    bool drawn = false;
    double phi = 0;
};

// The chart of the current game on a client area of ScaleWidth × ScaleHeight: the centre the
// labels are placed from, Pie's bounding rectangle (0, 0, right, bottom) and the wedges in the
// order they are drawn.
struct PieLayout
{
    float cx = 0;
    int cy = 0;
    int right = 0;
    int bottom = 0;
    QList<PieWedge> wedges;
};
PieLayout pieLayout(const Game &game, float scaleWidth, float scaleHeight);

// The sum whose drawn wedge lies under `point`, 0 outside the ellipse or in a gap. Of wedges
// drawn over each other the one drawn last, as on the surface.
int wedgeAt(const PieLayout &layout, QPointF point);
// The outline of a wedge, as Pie fills it.
QPainterPath wedgePath(const PieLayout &layout, const PieWedge &wedge);

// What a wedge stands for, in exact German numbers: the count against all throws and against
// what `dice` fair dice give.
QString wedgeToolTip(int summe, qint64 count, qint64 total, int dice);

// "relative Häufigkeiten": the share of every sum as a pie chart on a persistent surface.
// Every reachable sum gets a wedge proportional to its count, counter-clockwise from 12 o'clock
// in shades of red, with its label on the wedge's middle. Drawing goes into an image that
// survives hiding and covering; paintEvent only copies it to the screen.
class RelHaeufigkeiten : public QWidget, public GameChart
{
    Q_OBJECT

public:
    Kind accessibleKind() const override { return Kind::Pie; }
    const Game &shownGame() const override { return m_game; }
    QPainterPath sumOutline(int summe) const override;
    // `dialogs` are the main window's: every dialog this window shows belongs to it. `pie` draws
    // each wedge, as Pie does.
    RelHaeufigkeiten(const Game &game, Dialogs &dialogs, PieFunction pie = &Pie);

    // A full redraw from the game state, the same as a resize runs.
    void relH_Refresh();
    // New shows the labels of the sums the game can reach and hides the others.
    void showReachableSums();

    // The sum labels 0 … 42; New shows and hides them.
    ElementList<QLabel> &Ergebnis() { return m_ergebnis; }

    // The persistent drawing surface, as the next repaint copies it to the screen.
    const QImage &surface() const { return m_surface; }

    // The chart of the last redraw with vector operations, in logical pixels, for images, SVG
    // files and printouts: the wedges drawn as on the surface and the shown labels as text. A
    // click's ellipse is a passing mark on the surface, not part of the chart, and is left out.
    void paintChart(QPainter &painter) const;

    // The sum whose wedge lies under `position` in the client area; 0 elsewhere.
    int sumAt(QPoint position) const;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_Click();
    void createMenu();
    void followScreen();

    void showToolTip(QHelpEvent &event);
    // The last redraw's wedges through the pie function, outlined in white and each filled
    // with its colour: the one drawing of the wedges, onto the surface and onto a file's painter.
    void drawWedges(QPainter &painter) const;

    // The surface's own operations.
    void Cls();
    void setFillColor(QPainter &painter, const QColor &colour);
    void beginDrawing(QPainter &painter);
    void Refresh();

    float scaleWidth() const { return static_cast<float>(width()); }
    float scaleHeight() const { return static_cast<float>(height()); }

    const Game &m_game;
    Dialogs &m_dialogs;
    const PieFunction m_pie;
    ElementList<QLabel> m_ergebnis;
    QImage m_surface;
    // Black until the first redraw sets it, as a fresh drawing surface has it.
    QColor m_fillColor = Qt::black;
    bool m_clickPressed = false;
    // The last redraw's geometry: what the surface shows, the vector painter repeats and the
    // pointer's wedge is looked up in.
    PieLayout m_layout;
    QMenu *m_menu = nullptr;
    QAction *m_mEntwicklung = nullptr;
};


// Where a redraw puts a sum's label, exact, before the widget is placed on whole pixels: its
// centre on the wedge's middle direction phi (radians counter-clockwise from 12 o'clock),
// half-way from the chart centre (cx, cy) to the ellipse with half-axes cx and cy. The
// horizontal term is rounded before the half width is taken off. Single precision, as label
// positions are set: 119.49999999999991 is 119.5 there and goes to 120, not 119.
struct ErgebnisPosition
{
    float left;
    float top;
};
ErgebnisPosition ergebnisPosition(float cx, int cy, double phi, int width, int height);
