// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_output.h"

#include <QString>

#include <functional>

class Dialogs;
class QMenu;
class QWidget;

// What the worksheet actions of a chart window need to know about its chart, asked at the moment
// an action runs, so that they always take the chart as it is shown.
struct ChartSource
{
    std::function<QSize()> size;        // the chart's logical size
    ChartPainter paint;                 // paints it with vector operations
    std::function<QString()> titleLine; // the printout's title line
    std::function<QString()> table;     // the tab-separated table of the counts
    std::function<QString()> svgTitle = {}; // the SVG's title; none: the window's title
};

// Adds "Bild kopieren", "Bild speichern …", "Tabelle kopieren" and "Drucken …" to `menu`, as
// actions that are children of `window` (objectNames MBildKopieren, MBildSpeichern,
// MTabelleKopieren, MDrucken). Dialogs and failure messages go through `dialogs`.
void addChartActions(QMenu &menu, QWidget &window, Dialogs &dialogs, ChartSource source);
