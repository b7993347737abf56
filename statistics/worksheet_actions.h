// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_output.h"

#include <QDate>
#include <QString>

#include <functional>

class Dialogs;
class Game;
class QAction;
class QMenu;
class QWidget;

// The title line of a printed chart: caption, dice, throws since New, how the dice fall (when
// that is given) and the date, in German.
QString chartTitleLine(const QString &caption, int dice, qint64 throws, QDate date,
                       const QString &howTheDiceFall = {});

// The worksheet actions of a statistics chart ("Bild kopieren", "Bild speichern …", "Tabelle
// kopieren", "Drucken …"): the chart as `paint` draws it at `size`, the table of the current
// game's counts, and a printout titled with the window's caption and the game.
void addWorksheetActions(QMenu &menu, QWidget &window, const Game &game, Dialogs &dialogs,
                         std::function<QSize()> size, ChartPainter paint);

// The two ways from a chart to theory: "Auswertung …" (MAuswertung) and "Entwicklung der
// relativen Häufigkeit …" (MEntwicklung), children of the chart window. The window keeps the sum
// its menu was opened over in MEntwicklung's data (0 for none); the window registry opens the
// theory windows from them.
struct TheoryActions
{
    QAction *auswertung = nullptr;
    QAction *entwicklung = nullptr;
    QAction *zufallsgroesse = nullptr; // "Zufallsgröße …" (MZufallsgroesse)
};
TheoryActions addTheoryActions(QMenu &menu, QWidget &window);
// The theory actions a chart window was given.
TheoryActions theoryActions(const QWidget &window);
