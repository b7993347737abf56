// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_output.h"

#include <functional>

class Dialogs;
class QMenu;
class QWidget;

// The worksheet actions of a statistics chart ("Bild kopieren", "Bild speichern …", "Tabelle
// kopieren", "Drucken …"): the chart as `paint` draws it at `size`, the table of the current
// game's counts, and a printout titled with the window's caption and the game.
void addWorksheetActions(QMenu &menu, QWidget &window, Dialogs &dialogs,
                         std::function<QSize()> size, ChartPainter paint);
