// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "austausch.h"
#include "casino.h"
#include "dialogs.h"
#include "game.h"
#include "setup.h"

#include <random>

namespace Bench {

// A new game of `dice` dice and `throws` throws per move, as the menu would set it up.
inline void newGame(Casino &casino, qint16 dice, qint32 throws)
{
    casino.game().setDice(dice);
    casino.game().setThrowsPerMove(throws);
    casino.MNeu_Click();
}

// About 380,000 throws of seven dice, the longest game, straight into the game state: its sums,
// their counts and the faces of every throw, always the same.
inline void fillLongGame(Austausch &state)
{
    constexpr int Dice = 7;
    constexpr int Throws = 380000;
    state.reset();
    state.Anzahl = Dice;
    state.Wurfzahl = 1;
    state.MinSumme = Dice;
    state.MaxSumme = 6 * Dice;
    std::mt19937 generator(20261208);
    std::uniform_int_distribution<int> die(1, 6);
    state.Wurfsummen.reserve(Throws);
    state.Wurfaugen.reserve(Throws);
    for (int t = 0; t < Throws; ++t) {
        int sum = 0;
        quint32 faces = 0;
        for (int d = 0; d < Dice; ++d) {
            const int face = die(generator);
            sum += face;
            faces += Austausch::augeImWurf(face);
        }
        ++state.Haeufigkeit[sum];
        state.Wurfsummen.push_back(static_cast<quint8>(sum));
        state.Wurfaugen.push_back(faces);
    }
}

} // namespace Bench
