// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "austausch.h"
#include "history_text.h"
#include "move.h"
#include "zufall.h"

#include <QObject>

#include <vector>

class RandomSource;

// The running game as one observable document: the shared values of Austausch, the history text
// and the record of throws, with the commands that change them. Whoever shows the game connects
// to its signals, so no command has to know who is watching.
//
// Austausch stays the module of plain values that every window reads; the Game is the only one
// that writes it once the program runs.
class Game : public QObject
{
    Q_OBJECT

public:
    explicit Game(QObject *parent = nullptr);

    qint16 dice() const { return Austausch::Anzahl; }
    qint32 throwsPerMove() const { return Austausch::Wurfzahl; }
    qint16 minSum() const { return Austausch::MinSumme; }
    qint16 maxSum() const { return Austausch::MaxSumme; }
    qint16 count(int sum) const { return Austausch::Haeufigkeit[sum]; }
    // Throws since the last New: the total of the counts.
    qint64 throws() const { return Austausch::totalCount(); }
    // The sum of every throw since the last New, oldest first.
    const std::vector<quint8> &throwSums() const { return Austausch::Wurfsummen; }
    // The faces of every throw since the last New, oldest first (Austausch::Wurfaugen).
    const std::vector<quint32> &throwFaces() const { return Austausch::Wurfaugen; }
    // A game is set up once the start-up defaults are written: 1 to 7 dice.
    bool isSetUp() const { return isValidDice(Austausch::Anzahl); }
    static bool isValidDice(int dice) { return dice >= 1 && dice <= 7; }

    const HistoryText &history() const { return m_history; }
    // The history window writes the user's edits back through this.
    HistoryText &history() { return m_history; }

    // The start-up defaults: one die, one throw per move. Starts no game by itself.
    void setDefaults();
    // New: every count, the throw record and the history emptied; then reset().
    void newGame();
    // The number of dice with the range of sums that follows it; the caller starts a new game.
    void setDice(qint16 dice);
    void setThrowsPerMove(qint32 throws);
    // How the dice fall: start value and weights. The caller starts a new game.
    const Zufallseinstellung &zufall() const { return m_zufall; }
    const DiceWeights &weights() const { return m_weights; }
    void setZufall(const Zufallseinstellung &zufall);
    // One move; thrown() follows.
    MoveResult move(RandomSource &random);

signals:
    // A new game has begun: no throws, and possibly another number of dice.
    void reset();
    // `count` throws were added, the first of them the `first`-th of the game (from 0).
    void thrown(qint64 first, qint64 count);
    // The number of dice, of throws per move, or how the dice fall changed.
    void settingsChanged();

private:
    HistoryText m_history;
    Zufallseinstellung m_zufall;
    DiceWeights m_weights;

};
