// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"

#include "setup.h"

Game::Game(QObject *parent) : QObject(parent) {}

void Game::setDefaults()
{
    Setup::setDefaults();
    emit settingsChanged();
}

void Game::newGame()
{
    Austausch::Haeufigkeit.clear();
    Austausch::Wurfsummen.clear();
    Austausch::Wurfaugen.clear();
    m_history.clear();
    emit reset();
}

void Game::setDice(qint16 dice)
{
    Q_ASSERT(isValidDice(dice));
    Setup::setAnzahl(dice);
    emit settingsChanged();
}

void Game::setZufall(const Zufallseinstellung &zufall)
{
    m_zufall = zufall;
    m_weights = DiceWeights(zufall.gewichte);
    emit settingsChanged();
}

void Game::setThrowsPerMove(qint32 throws)
{
    Austausch::Wurfzahl = throws;
    emit settingsChanged();
}

MoveResult Game::move(RandomSource &random)
{
    const auto first = static_cast<qint64>(Austausch::Wurfsummen.size());
    const MoveResult result = performMove(random, m_history, m_weights);

    // Also for a move of no throws: the windows redraw after every press, as they always have.
    emit thrown(first, result.throwsDone);
    return result;
}
