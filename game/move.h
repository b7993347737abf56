// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>

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
};

// The die value for a draw r: r × 6 + 0.5 rounded half to even (0.5 → 4, 1/6 → 2).
inline qint16 dieValue(float r)
{
    // r is single precision, so r × 6 + 0.5 is exact in double and lies in [0.5, 6.5):
    // truncation is floor here, and only an exact half needs the tie rule. Branch-free, because
    // whether a draw rounds up is a coin toss the processor cannot predict.
    const double x = static_cast<double>(r) * 6.0 + 0.5;
    const auto v = static_cast<int>(x);
    const double fraction = x - v;
    const int up = static_cast<int>(fraction > 0.5) | (static_cast<int>(fraction == 0.5) & v);
    return static_cast<qint16>(v + (up & 1));
}

// One move ("Spielzug") on the game state: re-seed, then Wurfzahl throws of Anzahl dice each.
// Every throw adds its line to `history` and one count to Haeufigkeit. A draw of exactly 0 would
// give the die value 0 (and with one die the sum 0, which has no count): it is drawn again.
// A throw whose sum's count already stands at 32767 is not performed; the move ends before it,
// so the total of the counts always equals the number of history lines.
MoveResult performMove(RandomSource &random, HistoryText &history);
