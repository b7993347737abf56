// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the pie chart's redraw at its design size with the most wedges there can be,
// against drawing the same wedges alone.
#include "austausch.h"
#include "bench_util.h"
#include "dialogs.h"
#include "game.h"
#include "pie.h"
#include "rel_haeufigkeiten.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <vector>

namespace {

constexpr int Runs = 201;

struct Wedge
{
    int x1, y1, x2, y2;
    QColor fill;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Game game;
    Austausch &state = game.austausch();

    // Seven dice with every sum thrown, uneven counts: all 36 wedges and labels are drawn.
    state.Anzahl = 7;
    state.MinSumme = 7;
    state.MaxSumme = 42;
    for (int s = 7; s <= 42; ++s)
        state.Haeufigkeit[s] = static_cast<qint16>(1 + (s * 37) % 100);

    // The wedges of the first redraw, to draw them alone below.
    std::vector<Wedge> wedges;
    bool recording = true;
    SilentDialogs dialogs;
    RelHaeufigkeiten window(game, dialogs, [&](QPainter &painter,
 int l, int t, int r, int b, int x1,
                                         int y1, int x2, int y2) {
        if (recording)
            wedges.push_back({x1, y1, x2, y2, painter.brush().color()});
        return Pie(painter, l, t, r, b, x1, y1, x2, y2);
    }); // hidden, 264 × 256
    window.relH_Refresh();
    recording = false;

    const double redraw = Bench::medianMs(Runs, [&window] { window.relH_Refresh(); });

    QImage surface(264, 256, QImage::Format_RGB32);
    const double piesOnly = Bench::medianMs(Runs, [&] {
        surface.fill(Qt::white);
        QPainter painter(&surface);
        painter.setPen(QPen(Qt::white, 1));
        for (const Wedge &w : wedges) {
            painter.setBrush(w.fill);
            Pie(painter, 0, 0, 264, 256, w.x1, w.y1, w.x2, w.y2);
        }
    });

    Bench::report("relH_Refresh, 7 dice: 36 wedges and labels at 264 x 256", redraw, "ms", 2);
    Bench::report("the same 36 wedges drawn alone", piesOnly, "ms");
    std::printf("(%zu wedges drawn)\n", wedges.size());
    return 0;
}
