// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "austausch.h"
#include "history_text.h"
#include "move.h"
#include "zufall.h"

#include <QObject>

#include <memory>
#include <vector>

class RandomSource;

// The running game as one observable document: its values (Austausch), the history text, the
// record of throws and the random source with its start value and weights, with the commands
// that change them. Whoever shows the game is handed it and connects to its signals, so no
// command has to know who is watching. Two games share nothing.
class Game : public QObject
{
    Q_OBJECT

public:
    // With dice from a clock-seeded source of its own.
    explicit Game(QObject *parent = nullptr);
    // With dice from `random`, which must outlive the game.
    explicit Game(RandomSource &random, QObject *parent = nullptr);
    ~Game() override;

    const Austausch &austausch() const { return m_austausch; }
    // Written directly only where a game is set up without throwing it (tests, benchmarks,
    // tools); whoever does so tells the windows by refreshing them.
    Austausch &austausch() { return m_austausch; }

    qint16 dice() const { return m_austausch.Anzahl; }
    qint32 throwsPerMove() const { return m_austausch.Wurfzahl; }
    qint16 minSum() const { return m_austausch.MinSumme; }
    qint16 maxSum() const { return m_austausch.MaxSumme; }
    qint16 count(int sum) const { return m_austausch.Haeufigkeit[sum]; }
    // Throws since the last New: the total of the counts.
    qint64 throws() const { return m_austausch.totalCount(); }
    // The sum of every throw since the last New, oldest first.
    const std::vector<quint8> &throwSums() const { return m_austausch.Wurfsummen; }
    // The faces of every throw since the last New, oldest first (Austausch::Wurfaugen).
    const std::vector<quint32> &throwFaces() const { return m_austausch.Wurfaugen; }
    // A game is set up once the start-up defaults are written: 1 to 7 dice.
    bool isSetUp() const { return isValidDice(m_austausch.Anzahl); }
    static bool isValidDice(int dice) { return dice >= 1 && dice <= 7; }

    const HistoryText &history() const { return m_history; }
    // The history window writes the user's edits back through this.
    HistoryText &history() { return m_history; }

    // The start-up defaults: one die, one throw per move. Starts no game by itself.
    void setDefaults();
    // New: every count, the throw record and the history emptied, and a seeded random source
    // back at its start value; then reset().
    void newGame();
    // The number of dice with the range of sums that follows it; the caller starts a new game.
    void setDice(qint16 dice);
    void setThrowsPerMove(qint32 throws);
    // How the dice fall: start value and weights. A new start value is the random source's
    // from the next New on; the caller starts a new game unless only `geheim` changed.
    const Zufallseinstellung &zufall() const { return m_zufall; }
    const DiceWeights &weights() const { return m_weights; }
    void setZufall(const Zufallseinstellung &zufall);
    // One move; thrown() follows.
    MoveResult move();

signals:
    // A new game has begun: no throws, and possibly another number of dice.
    void reset();
    // `count` throws were added, the first of them the `first`-th of the game (from 0).
    void thrown(qint64 first, qint64 count);
    // The number of dice, of throws per move, or how the dice fall changed.
    void settingsChanged();

private:
    std::unique_ptr<RandomSource> m_ownRandom;
    RandomSource &m_random;
    Austausch m_austausch;
    HistoryText m_history;
    Zufallseinstellung m_zufall;
    DiceWeights m_weights;
};
