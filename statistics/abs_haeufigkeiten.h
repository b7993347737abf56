// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"
#include "element_list.h"
#include "line_element.h"

#include <QLabel>
#include <QWidget>

class QAction;
class Dialogs;
class Game;

class QContextMenuEvent;
class QMenu;
class QPainter;
class QResizeEvent;

// The arithmetic of the bar chart's layout pass, in twips, before anything is placed on pixels.
// Every value rounds to single precision exactly where the window system would receive it.
namespace BarChart {

// The largest count of the game's reachable sums, at least 1 so that nothing divides by zero.
qint32 scaleMaximum(const Game &game);
// One tenth of the scale maximum, at least 1.
qint32 gridStep(qint32 maximum);
// The width of each of `sums` bars between the left margin and the right edge; 0 when the chart
// area is no wider than the margin.
float barWidth(float chartWidth, float leftMargin, qint16 sums);
float barLeft(int index, float barWidth, float leftMargin);
float barHeight(qint16 count, qint32 maximum, float chartHeight);
// The red intensity of sum s: 42 for the lowest reachable sum of any number of dice, 250 for Mx.
int colourValue(int summe, qint16 maxSumme);
// Bars, grid and expected counts share this scale: the y of count `value`.
float levelY(double value, qint32 maximum, float chartHeight);

} // namespace BarChart

// "absolute Häufigkeiten": the count of every reachable sum as a bar chart.
class AbsHaeufigkeiten : public QWidget, public GameChart
{
    Q_OBJECT

public:
    Kind accessibleKind() const override { return Kind::Bars; }
    const Game &shownGame() const override { return m_game; }
    // `dialogs` are the main window's: every dialog this window shows belongs to it.
    AbsHaeufigkeiten(const Game &game, Dialogs &dialogs);

    // A full layout pass from the game state, the same as a resize runs.
    void absH_Refresh();

    const ElementList<QLabel> &absH() const { return m_absH; }
    const ElementList<LineElement> &Niveau() const { return m_niveau; }
    const ElementList<QLabel> &NZahl() const { return m_nzahl; }
    // The marks of the expected counts, one per bar; shown while MErwartet is checked.
    const ElementList<QLabel> &Erwartung() const { return m_erwartung; }

    // The chart for a file or a printout, drawn by the window's own widgets as on screen, in
    // vector shapes and text; while the marks are shown, with a legend line saying what they are.
    void paintChart(QPainter &painter);
    // The sum whose bar lies under `pos` (window coordinates); 0 elsewhere.
    int sumAt(QPoint pos) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void createActions();
    void placeMarks(qint16 minSumme, qint16 maxSumme, qint32 maximum, float chartHeight);
    void hideMarks();

    const Game &m_game;
    Dialogs &m_dialogs;
    ElementList<QLabel> m_absH;
    ElementList<LineElement> m_niveau;
    ElementList<QLabel> m_nzahl;
    ElementList<QLabel> m_erwartung;
    QAction *m_mErwartet = nullptr;
    QLabel *m_legendeErwartet = nullptr; // "▬ erwartet" while the marks show
    QAction *m_mEntwicklung = nullptr;
    QMenu *m_menu = nullptr;
};
