// SPDX-License-Identifier: GPL-3.0-or-later
// The window of random variables: opened late in the longest game, and what it adds to a move.
#include "bench_program.h"
#include "bench_util.h"
#include "casino.h"
#include "game.h"
#include "random_source.h"
#include "shared_window.h"
#include "statistics_windows.h"
#include "zufallsgroesse.h"

#include <QApplication>
#include <QComboBox>

#include <memory>

namespace {

constexpr int Runs = 21;
// A move is short and the ratio of two noisy medians noisier still: more pairs for it.
constexpr int MovePairs = 41;

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SilentDialogs silent;
    {
        Game game;
        Bench::fillLongGame(game.austausch());
        SharedWindow<Zufallsgroesse> window([&] { return new Zufallsgroesse(game, silent); });
        // Opening: created, every throw of the record counted once, shown and painted.
        Bench::report("Zufallsgroesse: open (create, count, show, paint), 380,000 throws",
                      Bench::medianMs(
                          Runs,
                          [&] {
                              window.unload();
                              QCoreApplication::processEvents();
                          },
                          [&] {
                              window.show();
                              QCoreApplication::processEvents();
                          }),
                      "ms", 50.0);
        // The binomial test over 2,66 million dice, its region found by bisection.
        QComboBox *groesse = window->findChild<QComboBox *>(QStringLiteral("Groesse"));
        Bench::report("Zufallsgroesse: from the sum to the number of sixes, shown",
                      Bench::medianMs(Runs,
                                      [&] {
                                          groesse->setCurrentIndex(0);
                                          QCoreApplication::processEvents();
                                      },
                                      [&] {
                                          groesse->setCurrentIndex(1);
                                          QCoreApplication::processEvents();
                                      }),
                      "ms");
        window.unload();
    }

    ClockSeededRandom random;
    auto casino = std::make_unique<Casino>(silent, random);
    casino->show();
    QCoreApplication::processEvents();
    const auto press = [&] {
        casino->CBKollavo_MouseDown();
        QCoreApplication::processEvents();
    };
    // New, with what the windows do after it, before the move is timed.
    const auto newGame = [&] {
        Bench::newGame(*casino, 7, 100000);
        QCoreApplication::processEvents();
    };
    // Warm-up, as in bench_move: the first moves measure the host's clock, not the code.
    for (int i = 0; i < 5; ++i) {
        newGame();
        press();
    }
    // In pairs, closed then open, so that both figures see the same load on the machine.
    std::vector<double> closed, open;
    SharedWindow<Zufallsgroesse> &window = casino->windows().zufallsgroesse();
    for (int run = 0; run < MovePairs; ++run) {
        window.unload();
        QCoreApplication::processEvents();
        closed.push_back(Bench::medianMs(1, newGame, press));
        window.show();
        window->findChild<QComboBox *>(QStringLiteral("Groesse"))->setCurrentIndex(1);
        QCoreApplication::processEvents();
        // The window as it stays open over a lesson: what a first move after opening sets up
        // once (layouts, caches of the view) is not what every move costs.
        newGame();
        press();
        open.push_back(Bench::medianMs(1, newGame, press));
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    Bench::report("move of 100,000 throws of 7 dice, Zufallsgroesse closed", median(closed), "ms");
    Bench::report("the same move, Zufallsgroesse open on the number of sixes", median(open), "ms");
    Bench::report("ratio open / closed", median(open) / median(closed), "x", 1.5);

    casino->MEnde_Click();
    return 0;
}
