// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rounding.h"
#include "zufall.h"

#include <QtGlobal>

#include <array>

struct Austausch;
class HistoryText;
class RandomSource;

// What one move did, for the main window to show.
struct MoveResult
{
    qint32 throwsDone = 0;
    // The faces of the last counted throw, slot 0 first; only the first `dice` are meaningful.
    std::array<qint16, 7> lastFaces{};
    qint16 dice = 0;
    // The move ended early because the count of `limitSum` already stood at 32767.
    bool limitReached = false;
    qint16 limitSum = 0;
    // The move ended early because memory for the history or the throw record ran out; the
    // throws before are all counted, recorded and in the history.
    bool outOfMemory = false;
};

// The die value for a draw r: r × 6 + 0.5 rounded half to even (0.5 → 4, 1/6 → 2). r is single
// precision, so r × 6 + 0.5 is exact in double and only a true half meets the tie rule.
inline qint16 dieValue(float r)
{
    return static_cast<qint16>(roundHalfEven(static_cast<double>(r) * 6.0 + 0.5));
}

// One move ("Spielzug") on the game `a`: re-seed, then Wurfzahl throws of Anzahl dice each.
// Every throw adds its line to `history`, one count to Haeufigkeit and its sum to Wurfsummen.
// A draw of exactly 0 would give the die value 0 (and with one die the sum 0, which has no
// count): it is drawn again. A throw whose sum's count already stands at 32767 is not performed;
// the move ends before it, so the total of the counts always equals the number of history lines.
// Loaded dice take their faces from `weights` (DiceWeights::face, no draw repeated); fair ones,
// whatever their weights, from dieValue() as above.
// Without memory for the history or the throw record the move stops before the throw it was
// making (MoveResult::outOfMemory) instead of throwing std::bad_alloc.
MoveResult performMove(Austausch &a, RandomSource &random, HistoryText &history,
                       const DiceWeights &weights = DiceWeights());
