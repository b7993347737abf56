// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_actions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include <memory>

void addChartActions(QMenu &menu, QWidget &window, Dialogs &dialogs, ChartSource source)
{
    const auto action = [&](const QString &name, const QString &caption) {
        auto *a = new QAction(caption, &window);
        a->setObjectName(name);
        menu.addAction(a);
        return a;
    };
    // The source is shared by the four handlers; the window outlives its actions.
    const auto shared = std::make_shared<ChartSource>(std::move(source));
    QWidget *const owner = &window;

    QObject::connect(action(QStringLiteral("MBildKopieren"), QStringLiteral("Bild kopieren")),
                     &QAction::triggered, owner, [shared, owner, &dialogs] {
                         copyChart(dialogs, owner->windowTitle(), shared->size(), shared->paint);
                     });
    QObject::connect(
        action(QStringLiteral("MBildSpeichern"), QStringLiteral("Bild speichern …")),
        &QAction::triggered, owner, [shared, owner, &dialogs] {
            saveChart(dialogs, owner->windowTitle(), shared->size(), shared->paint);
        });
    QObject::connect(
        action(QStringLiteral("MTabelleKopieren"), QStringLiteral("Tabelle kopieren")),
        &QAction::triggered, owner,
        [shared] { QGuiApplication::clipboard()->setText(shared->table()); });
    QObject::connect(action(QStringLiteral("MDrucken"), QStringLiteral("Drucken …")),
                     &QAction::triggered, owner, [shared, &dialogs] {
                         printChart(dialogs, shared->titleLine(), shared->size(), shared->paint);
                     });
}
