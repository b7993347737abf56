// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a short game headless and writes a PNG of every open window into the folder given as
// the first argument (default build/screenshots). Run with QT_QPA_PLATFORM=offscreen.

#include "abs_haeufigkeiten.h"
#include "game.h"
#include "auswertung.h"
#include "casino.h"
#include "dialogs.h"
#include "entwicklung.h"
#include "png_output.h"
#include "random_source.h"
#include "setup.h"
#include "shared_window.h"
#include "statistics_windows.h"
#include "zufallsgroesse.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTextStream>

namespace {

// Posted events include the shows, layouts and deferred deletions the commands above queued.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

bool save(QWidget &window, const QDir &folder, const QString &name)
{
    return savePng(window.grab().toImage(), folder, name + QStringLiteral(".png"));
}

// The bar chart with its context menu opened over the middle bar, in one picture: the menu is a
// window of its own, so it is drawn onto the chart where it opened.
bool saveContextMenu(Casino &casino, const QDir &folder)
{
    AbsHaeufigkeiten &chart = casino.windows().absHaeufigkeiten().instance();
    auto *menu = chart.findChild<QMenu *>();
    if (!menu || chart.absH().count() == 0) {
        QTextStream(stderr) << "absHaeufigkeiten has no context menu\n";
        return false;
    }
    const QPoint pos = chart.absH()[chart.absH().count() / 2].geometry().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, chart.mapToGlobal(pos));
    QCoreApplication::sendEvent(&chart, &event);
    settle();

    const QRect chartRect = chart.geometry();
    const QRect all = chartRect.united(menu->geometry());
    QImage image(all.size(), QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    painter.drawPixmap(chartRect.topLeft() - all.topLeft(), chart.grab());
    painter.drawPixmap(menu->geometry().topLeft() - all.topLeft(), menu->grab());
    painter.end();
    menu->close();
    return savePng(image, folder, QStringLiteral("absHaeufigkeiten_kontextmenue.png"));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The README is German, so the numbers in its pictures are too.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1])
                               : QStringLiteral("build/screenshots"));
    if (!QDir().mkpath(folder.path())) {
        QTextStream(stderr) << "cannot create " << folder.path() << '\n';
        return 1;
    }

    // Nothing here may wait for a user: every dialog answers at once and leaves a note.
    SilentDialogs noDialogs;
    noDialogs.note = [](const QString &text) { QTextStream(stderr) << text << '\n'; };
    ClockSeededRandom random;

    bool ok = true;
    {
        Casino casino(noDialogs, random);
        casino.show();

        casino.game().setDice(3);
        casino.MNeu_Click();
        casino.game().setThrowsPerMove(4);
        for (int move = 0; move < 3; ++move)
            casino.CBKollavo_MouseDown();

        for (const char *item : {"Mabs", "Mrel", "MVerlauf"}) {
            if (auto *action = casino.findChild<QAction *>(QString::fromLatin1(item)))
                action->trigger();
            else
                QTextStream(stderr) << "menu item " << item << " not found\n";
        }
        settle();

        ok = save(casino, folder, QStringLiteral("casino")) && ok;
        const std::pair<SharedWindowBase *, QString> windows[] = {
            {&casino.windows().absHaeufigkeiten(), QStringLiteral("absHaeufigkeiten")},
            {&casino.windows().relHaeufigkeiten(), QStringLiteral("relHaeufigkeiten")},
            {&casino.windows().verlauf(), QStringLiteral("verlauf")},
        };
        for (const auto &[window, name] : windows) {
            if (QWidget *widget = window->loadedWidget())
                ok = save(*widget, folder, name) && ok;
            else
                QTextStream(stderr) << name << " is not loaded\n";
        }

        // Theory beside observation: two dice after a thousand throws, with the expected counts
        // on the bar chart, the evaluation, and the development of the relative frequency of 7.
        casino.game().setDice(2);
        casino.MNeu_Click();
        casino.game().setThrowsPerMove(500);
        for (int move = 0; move < 2; ++move)
            casino.CBKollavo_MouseDown();
        if (auto *expected = casino.windows().absHaeufigkeiten()->findChild<QAction *>(QStringLiteral("MErwartet")))
            expected->trigger();
        casino.windows().auswertung().show();
        casino.windows().entwicklung().show();
        casino.windows().entwicklung()->showSum(7);
        settle();
        ok = save(*casino.windows().auswertung(), folder, QStringLiteral("auswertung")) && ok;
        ok = save(*casino.windows().entwicklung(), folder, QStringLiteral("entwicklung")) && ok;
        casino.windows().zufallsgroesse().show();
        casino.windows().zufallsgroesse()->findChild<QComboBox *>(QStringLiteral("Groesse"))->setCurrentIndex(1);
        settle();
        ok = save(*casino.windows().zufallsgroesse(), folder, QStringLiteral("zufallsgroesse")) && ok;

        // The context menu of the bar chart, opened over the bar of 7.
        ok = saveContextMenu(casino, folder) && ok;
    }
    settle();
    return ok ? 0 : 1;
}
