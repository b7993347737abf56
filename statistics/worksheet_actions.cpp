// SPDX-License-Identifier: GPL-3.0-or-later
#include "worksheet_actions.h"

#include "chart_actions.h"
#include "frequency_table.h"
#include "game.h"

#include <QAction>
#include <QDate>
#include <QLocale>
#include <QMenu>
#include <QWidget>

namespace {
const QString AuswertungName = QStringLiteral("MAuswertung");
const QString EntwicklungName = QStringLiteral("MEntwicklung");
const QString ZufallsgroesseName = QStringLiteral("MZufallsgroesse");
} // namespace

void addWorksheetActions(QMenu &menu, QWidget &window, const Game &game, Dialogs &dialogs,
                         std::function<QSize()> size, ChartPainter paint)
{
    QWidget *const owner = &window;
    addChartActions(menu, window, dialogs,
                    {std::move(size), std::move(paint),
                     [owner, &game] {
                         return chartTitleLine(owner->windowTitle(), game.dice(), game.throws(),
                                               QDate::currentDate());
                     },
                     [] { return frequencyTable(QLocale()); }});
}

TheoryActions addTheoryActions(QMenu &menu, QWidget &window)
{
    const auto action = [&](const QString &name, const QString &caption) {
        auto *a = new QAction(caption, &window);
        a->setObjectName(name);
        menu.addAction(a);
        return a;
    };
    TheoryActions actions;
    actions.auswertung = action(AuswertungName, QStringLiteral("Auswertung …"));
    actions.entwicklung =
        action(EntwicklungName, QStringLiteral("Entwicklung der relativen Häufigkeit …"));
    actions.entwicklung->setData(0);
    actions.zufallsgroesse = action(ZufallsgroesseName, QStringLiteral("Zufallsgröße …"));
    return actions;
}

TheoryActions theoryActions(const QWidget &window)
{
    return {window.findChild<QAction *>(AuswertungName, Qt::FindDirectChildrenOnly),
            window.findChild<QAction *>(EntwicklungName, Qt::FindDirectChildrenOnly),
            window.findChild<QAction *>(ZufallsgroesseName, Qt::FindDirectChildrenOnly)};
}
