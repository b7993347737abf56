// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>

class Game;
class QWidget;

// A statistics window as the accessibility layer reads it; each window says which it is, so the
// layer needs none of their classes.
class AccessibleWindow
{
public:
    enum class Kind { Bars, Pie, Development, History, Evaluation, RandomVariable };
    virtual ~AccessibleWindow() = default;
    virtual Kind accessibleKind() const = 0;
};

// A window whose charts the accessibility layer describes: it tells the layer the game it shows,
// the game it was handed, and what the keyboard's highlight and the chart's name need of it.
class GameChart : public AccessibleWindow
{
public:
    virtual const Game &shownGame() const = 0;
    // The pie: the outline of the wedge of `summe` at the window's present size (a ring where the
    // wedge has no area). Empty for other charts.
    virtual QPainterPath sumOutline(int summe) const
    {
        static_cast<void>(summe);
        return {};
    }
    // The development chart: the relative frequency of shownSum(), or else the mean.
    virtual bool showsFrequency() const { return false; }
    virtual int shownSum() const { return 0; }
};

// What assistive technology learns about the statistics windows, through Qt's accessibility
// interfaces: each window is a window (not a filler) read top to bottom; each bar and each
// wedge is a sum with its count; the development chart says what it shows and where the value
// stands; grid values outside the window are as invisible as they are to the eye; Auswertung's
// values carry the captions of their rows. All texts are German, whatever the system locale.

// A chart that paints its elements itself and stands a child widget that paints nothing over
// each (objectName and "Index" as in an element list), so that a screen reader can walk them as
// it walks the bars of the bar chart: the layer reads which one the keyboard is on.
class WalkedChart
{
public:
    virtual ~WalkedChart() = default;
    virtual int currentElement() const = 0;
};

// Tells assistive technology that the keyboard moved to `element` of a focused WalkedChart.
void tellElementFocused(QWidget &element);

// Installs the interfaces, and Shift+F10 (and the Menu key where the window system does not)
// as the keyboard's context-menu request for the focused control; the program calls it once at
// start, a second call does nothing.
void installChartAccessibility();

// Tells a screen reader which elements of a chart window changed with the last redraw (names,
// descriptions). Costs nothing while no assistive technology is listening.
void announceChartChange(QWidget &window);

// The keyboard's way through the bar chart or the pie: the window takes the focus as one
// element, the arrow keys, Home and End move a drawn highlight from sum to sum, and a screen
// reader hears the highlighted sum, with its value, as the focused element. A context menu
// asked for from the keyboard opens at the highlight.
void makeWalkable(QWidget &chart);
// The sum the keyboard is on, for a menu opened from the keyboard: the first sum until the keys
// move on; 0 before a game is set up.
int keyboardSum(const QWidget &chart);
