// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"

#include "random_source.h"
#include "setup.h"

Game::Game(QObject *parent)
    : QObject(parent), m_ownRandom(std::make_unique<ClockSeededRandom>()), m_random(*m_ownRandom)
{
}

Game::Game(RandomSource &random, QObject *parent) : QObject(parent), m_random(random) {}

Game::~Game() = default;

void Game::setDefaults()
{
    Setup::setDefaults(m_austausch);
    emit settingsChanged();
}

void Game::newGame()
{
    // With a start value every game throws the same sequence from it.
    m_random.restart();
    m_austausch.Haeufigkeit.clear();
    m_austausch.Wurfsummen.clear();
    m_austausch.Wurfaugen.clear();
    m_history.clear();
    emit reset();
}

void Game::setDice(qint16 dice)
{
    Q_ASSERT(isValidDice(dice));
    Setup::setAnzahl(m_austausch, dice);
    emit settingsChanged();
}

void Game::setZufall(const Zufallseinstellung &zufall)
{
    // Only a new start value reaches the source: revealing or hiding the settings keeps the
    // sequence of the running game.
    if (zufall.startwert != m_zufall.startwert)
        m_random.setSeed(zufall.startwert);
    m_zufall = zufall;
    m_weights = DiceWeights(zufall.gewichte);
    emit settingsChanged();
}

void Game::setThrowsPerMove(qint32 throws)
{
    m_austausch.Wurfzahl = throws;
    emit settingsChanged();
}

MoveResult Game::move()
{
    const auto first = static_cast<qint64>(m_austausch.Wurfsummen.size());
    const MoveResult result = performMove(m_austausch, m_random, m_history, m_weights);

    // Also for a move of no throws: every press redraws the windows.
    emit thrown(first, result.throwsDone);
    return result;
}
