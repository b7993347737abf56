// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_actions.h"

#include "memory_shortage.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

// The dialogs belong to the main window, so closing one activates the main window. The
// window the user started it from comes back instead, with the keyboard focus where it was.
class GiveBackFocus
{
public:
    explicit GiveBackFocus(QWidget *window) : m_window(window) {}
    GiveBackFocus(const GiveBackFocus &) = delete;
    GiveBackFocus &operator=(const GiveBackFocus &) = delete;
    ~GiveBackFocus()
    {
        activate(m_window);
        // Once more after the window system has handled the dialog's closing, which activates
        // the dialog's parent in its own time.
        if (m_window)
            QTimer::singleShot(0, m_window, [window = m_window] { activate(window); });
    }

private:
    static void activate(QWidget *window)
    {
        // The window may have been closed while the dialog was open.
        if (!window || !window->isVisible())
            return;
        window->raise();
        window->activateWindow();
        if (QWidget *focus = window->focusWidget())
            focus->setFocus(Qt::ActiveWindowFocusReason);
        else
            window->setFocus(Qt::ActiveWindowFocusReason);
    }

    QPointer<QWidget> m_window;
};

} // namespace

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
                         runOrReportShortage(
                             dialogs, owner->windowTitle(),
                             QStringLiteral("Das Bild wurde nicht kopiert."), [&] {
                                 copyChart(dialogs, owner->windowTitle(), shared->size(),
                                           shared->paint);
                             });
                     });
    QObject::connect(
        action(QStringLiteral("MBildSpeichern"), QStringLiteral("Bild speichern …")),
        &QAction::triggered, owner, [shared, owner, &dialogs] {
            const GiveBackFocus focus(owner->window());
            runOrReportShortage(dialogs, owner->windowTitle(),
                                QStringLiteral("Das Bild wurde nicht gespeichert."), [&] {
                                    saveChart(dialogs, owner, owner->windowTitle(),
                                              shared->size(), shared->paint,
                                              shared->svgTitle ? shared->svgTitle() : QString());
                                });
        });
    QObject::connect(
        action(QStringLiteral("MTabelleKopieren"), QStringLiteral("Tabelle kopieren")),
        &QAction::triggered, owner, [shared, owner, &dialogs] {
            runOrReportShortage(dialogs, owner->windowTitle(),
                                QStringLiteral("Die Tabelle wurde nicht kopiert."),
                                [&] { QGuiApplication::clipboard()->setText(shared->table()); });
        });
    QObject::connect(action(QStringLiteral("MDrucken"), QStringLiteral("Drucken …")),
                     &QAction::triggered, owner, [shared, owner, &dialogs] {
                         const GiveBackFocus focus(owner->window());
                         runOrReportShortage(
                             dialogs, owner->windowTitle(),
                             QStringLiteral("Es wurde nicht gedruckt."), [&] {
                                 printChart(dialogs, owner, shared->titleLine(), shared->size(),
                                            shared->paint);
                             });
                     });
}
