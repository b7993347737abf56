// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game.h"
#include "casino.h"
#include "dialogs.h"
#include "setup.h"

namespace Bench {

// A new game of `dice` dice and `throws` throws per move, as the menu would set it up.
inline void newGame(Casino &casino, qint16 dice, qint32 throws)
{
    casino.game().setDice(dice);
    casino.game().setThrowsPerMove(throws);
    casino.MNeu_Click();
}

} // namespace Bench
