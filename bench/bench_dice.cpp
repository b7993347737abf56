// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded dice against fair ones: the same move, the faces taken from the weights' thresholds
// instead of the rounding rule.
#include "austausch.h"
#include "bench_util.h"
#include "history_text.h"
#include "move.h"
#include "random_source.h"
#include "setup.h"
#include "zufall.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 21;
constexpr qint32 Throws = 100000;

void prepare(Austausch &game, HistoryText &history)
{
    Setup::setAnzahl(game, 7);
    game.Wurfzahl = Throws;
    game.Haeufigkeit.clear();
    game.Wurfsummen.clear();
    game.Wurfaugen.clear();
    history.clear();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ClockSeededRandom random;
    Austausch game;
    HistoryText history; // shown nowhere: the move with the history window hidden
    const DiceWeights fair;
    const DiceWeights loaded({1, 1, 1, 1, 1, 5});

    std::printf("Kollavo benchmarks: medians of %d runs\n", Runs);

    // Warm-up, so that a virtual machine's slow first moments do not count (see bench_move).
    QElapsedTimer warm;
    warm.start();
    while (warm.elapsed() < 500) {
        prepare(game, history);
        performMove(game, random, history, fair);
        prepare(game, history);
        performMove(game, random, history, loaded);
    }

    // Alternating, so that a change of the machine's speed meets both alike.
    std::vector<double> fairTimes;
    std::vector<double> loadedTimes;
    for (int run = 0; run < Runs; ++run) {
        for (const DiceWeights *weights : {&fair, &loaded}) {
            prepare(game, history);
            QElapsedTimer timer;
            timer.start();
            performMove(game, random, history, *weights);
            const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            (weights == &fair ? fairTimes : loadedTimes).push_back(ms);
        }
    }
    const double f = median(fairTimes);
    const double l = median(loadedTimes);
    Bench::report("fair dice: move of 100,000 throws of 7 dice, history hidden", f, "ms");
    Bench::report("loaded dice (1, 1, 1, 1, 1, 5): the same move", l, "ms");
    Bench::report("ratio loaded / fair", l / f, "x", 1.5);
    return 0;
}
