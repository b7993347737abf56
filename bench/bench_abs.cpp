// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"
#include "austausch.h"
#include "bench_util.h"
#include "dialogs.h"
#include "game.h"

#include <QAction>
#include <QApplication>

#include <cmath>

// One layout pass of the bar chart at its largest: seven dice, 36 bars.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Game game;
    Austausch &state = game.austausch();

    state.Anzahl = 7;
    state.Wurfzahl = 1;
    state.MinSumme = 7;
    state.MaxSumme = 42;
    // Roughly the bell of seven dice after a few thousand throws.
    for (int s = state.MinSumme; s <= state.MaxSumme; ++s)
        state.Haeufigkeit[s] = static_cast<qint16>(300 * std::exp(-(s - 24.5) * (s - 24.5) / 50));

    SilentDialogs dialogs;
    AbsHaeufigkeiten window(game, dialogs);
    window.absH_Refresh(); // creates the 36 bars

    // Every pass sees one more throw, so the heights and the scale really change.
    int next = state.MinSumme;
    const auto countOneThrow = [&next, &state] {
        ++state.Haeufigkeit[next];
        next = next == state.MaxSumme ? state.MinSumme : next + 1;
    };
    const auto pass = [&window] { window.absH_Refresh(); };

    Bench::report("absH_Refresh, 36 bars, window hidden", Bench::medianMs(201, countOneThrow, pass),
                  "ms", 1.0);
    window.show();
    QCoreApplication::processEvents();
    Bench::report("absH_Refresh, 36 bars, window shown", Bench::medianMs(201, countOneThrow, pass),
                  "ms", 1.0);
    // What the user waits for: the pass and the repaint it causes.
    Bench::report("absH_Refresh and repaint, 36 bars, window shown",
                  Bench::medianMs(201, countOneThrow, [&window] {
                      window.absH_Refresh();
                      window.repaint();
                  }),
                  "ms", 1.0);

    window.findChild<QAction *>(QStringLiteral("MErwartet"))->setChecked(true);
    Bench::report("absH_Refresh and repaint, 36 bars and expected counts",
                  Bench::medianMs(201, countOneThrow, [&window] {
                      window.absH_Refresh();
                      window.repaint();
                  }),
                  "ms", 1.0);

    return 0;
}
