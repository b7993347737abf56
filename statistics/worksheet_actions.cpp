// SPDX-License-Identifier: GPL-3.0-or-later
#include "worksheet_actions.h"

#include "chart_actions.h"
#include "frequency_table.h"
#include "game.h"
#include "number_format.h"

#include <QAction>
#include <QDate>
#include <QLocale>
#include <QMenu>
#include <QWidget>

namespace {
const QString AuswertungName = QStringLiteral("MAuswertung");
const QString EntwicklungName = QStringLiteral("MEntwicklung");
const QString ZufallsgroesseName = QStringLiteral("MZufallsgroesse");

// A worksheet names the start value and the weights unless they are secret, so that anyone can
// throw its numbers again: "Startwert 4711 – gezinkt 1, 1, 1, 1, 1, 5".
QString worksheetZufall(const Game &game)
{
    return zufallTip(game.zufall()).replace(QStringLiteral(" · "), QStringLiteral(" – "));
}
} // namespace

void addWorksheetActions(QMenu &menu, QWidget &window, const Game &game, Dialogs &dialogs,
                         std::function<QSize()> size, ChartPainter paint)
{
    QWidget *const owner = &window;
    addChartActions(menu, window, dialogs,
                    {std::move(size), std::move(paint),
                     [owner, &game] {
                         return chartTitleLine(owner->windowTitle(), game.dice(), game.throws(),
                                               QDate::currentDate(), worksheetZufall(game));
                     },
                     [&game] { return frequencyTable(game.austausch(), QLocale()); },
                     [owner, &game] {
                         const QString zufall = worksheetZufall(game);
                         return zufall.isEmpty() ? owner->windowTitle()
                                                 : owner->windowTitle() + QStringLiteral(" – ")
                                                       + zufall;
                     }});
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

QString chartTitleLine(const QString &caption, int dice, qint64 throws, QDate date,
                       const QString &howTheDiceFall)
{
    const QString throwWord = throws == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfe");
    const QString zufall = howTheDiceFall.isEmpty() ? QString() : QStringLiteral(" – ") + howTheDiceFall;
    return QStringLiteral("%1 – %2 Würfel – %3 %4%5 – %6")
        .arg(caption, NumberFormat::integer(dice), NumberFormat::integer(throws), throwWord,
             zufall, date.toString(QStringLiteral("dd.MM.yyyy")));
}
