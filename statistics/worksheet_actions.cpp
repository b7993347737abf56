// SPDX-License-Identifier: GPL-3.0-or-later
#include "worksheet_actions.h"

#include "austausch.h"
#include "chart_actions.h"
#include "frequency_table.h"

#include <QDate>
#include <QLocale>
#include <QWidget>

void addWorksheetActions(QMenu &menu, QWidget &window, Dialogs &dialogs,
                         std::function<QSize()> size, ChartPainter paint)
{
    QWidget *const owner = &window;
    addChartActions(menu, window, dialogs,
                    {std::move(size), std::move(paint),
                     [owner] {
                         return chartTitleLine(owner->windowTitle(), Austausch::Anzahl,
                                               Austausch::totalCount(), QDate::currentDate());
                     },
                     [] { return frequencyTable(QLocale()); }});
}
