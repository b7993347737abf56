// SPDX-License-Identifier: GPL-3.0-or-later
#include "auswertung.h"
#include "bench_program.h"
#include "bench_util.h"
#include "game.h"
#include "shared_window.h"

#include <QApplication>

// The evaluation window near the end of the longest game: about 380,000 throws of seven dice.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Game game;
    Austausch &state = game.austausch();
    Bench::fillLongGame(state);

    SharedWindow<Auswertung> auswertung([&game] { return new Auswertung(game); });

    // Opening: created on first use, shown, and the events of its showing handled, which lays
    // it out and paints it.
    Bench::report("Auswertung: open (create, show, paint), 380,000 throws",
                  Bench::medianMs(
                      21,
                      [&] {
                          auswertung.unload();
                          QCoreApplication::processEvents();
                      },
                      [&] {
                          auswertung.show();
                          QCoreApplication::processEvents();
                      }),
                  "ms", 50.0);

    // A move of one throw, then the refresh the main window runs after it.
    int next = state.MinSumme;
    const auto oneThrow = [&next, &state] {
        ++state.Haeufigkeit[next];
        state.Wurfsummen.push_back(static_cast<quint8>(next));
        next = next == state.MaxSumme ? state.MinSumme : next + 1;
    };
    Bench::report("Auswertung: refresh after a move, window shown",
                  Bench::medianMs(201, oneThrow, [&] { auswertung->refresh(); }), "ms", 5.0);
    // What the user waits for: the refresh and the relayout and repaint it causes.
    Bench::report("Auswertung: refresh and repaint after a move, window shown",
                  Bench::medianMs(201, oneThrow,
                                  [&] {
                                      auswertung->refresh();
                                      QCoreApplication::processEvents();
                                  }),
                  "ms", 5.0);
    auswertung->hide();
    Bench::report("Auswertung: refresh after a move, window hidden",
                  Bench::medianMs(201, oneThrow, [&] { auswertung->refresh(); }), "ms", 5.0);

    auswertung.unload();
    return 0;
}
