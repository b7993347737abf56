// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game.h"
#include "casino.h"
#include "dialogs.h"
#include "setup.h"

// Dialogs that answer at once: a count-limit message must not wait for a click.
class SilentDialogs final : public Dialogs
{
public:
    QString saveAnswer; // empty: every save dialog is cancelled
    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    void messageBox(const QString &, const QString &, Icon) override {}
    QString saveFileName(const QStringList &, QString *, const QString &) override
    {
        return saveAnswer;
    }
    bool printDialog(QPrinter &) override { return false; }
};

namespace Bench {

// A new game of `dice` dice and `throws` throws per move, as the menu would set it up.
inline void newGame(Casino &casino, qint16 dice, qint32 throws)
{
    casino.game().setDice(dice);
    casino.game().setThrowsPerMove(throws);
    casino.MNeu_Click();
}

} // namespace Bench
