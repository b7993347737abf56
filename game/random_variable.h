// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "number_format.h"
#include "zufall.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <span>
#include <vector>

// Random variables of one throw of n dice besides the sum: what is counted in every throw, the
// values it takes, how often each was observed and how likely each is, exactly.
namespace RandomVariable {

// In the order the chooser offers them.
enum class Groesse {
    Augensumme,
    AnzahlAugenzahl, // how many dice show the chosen face
    GroessteAugenzahl,
    KleinsteAugenzahl,
    Pasch, // all dice equal
    MindestensEineSechs,
    KeineSechs,
    AugensummeGerade,
    Differenz, // |a − b| of two dice
};

// What the chooser offers for `dice` dice, in its order: no double for one die, the even sum and
// the difference only for two.
QList<Groesse> offered(int dice);
// An event has the two values 1 (tritt ein) and 0 (tritt nicht ein).
bool isEvent(Groesse groesse);
// The chooser's text; "Anzahl der Vieren" for `face` 4.
QString name(Groesse groesse, int face);
// "Eins" … "Sechs", "Einsen" … "Sechsen".
QString faceName(int face);
QString facePlural(int face);

// The values the variable can take with `dice` dice, in the table's order (an event: 1, 0).
std::vector<int> values(Groesse groesse, int dice);
// How a value reads in the table: "3", or "tritt ein" for an event.
QString valueText(Groesse groesse, int value);

// The exact probability of each of values(): ways[i] / outcomes, fair dice over 6ⁿ and loaded
// ones over Wⁿ (W the sum of the weights).
struct Chances
{
    std::vector<Int128> ways;
    Int128 outcomes = 1;
};
Chances chances(Groesse groesse, int dice, int face, const DiceWeights &weights = DiceWeights());

// numerator / denominator in lowest terms: "11/36".
QString reducedFraction(Int128 numerator, Int128 denominator);

// The counts that every variable is read from, caught up from the game's record of faces: each
// throw is visited once, when it first appears, and adds one to the count of its faces (a
// multiset of at most 792 for seven dice); the variables are read off those few counts.
class Tally
{
public:
    // Visits the throws of `faces` (one entry a throw, as Austausch::Wurfaugen) not seen yet.
    // A record shorter than the part already seen (New), or other dice, start afresh.
    void update(std::span<const quint32> faces, int dice);
    void clear();

    int dice() const { return m_dice; }
    qint64 throws() const { return m_throws; }
    // Throws in which exactly `count` dice showed `face`.
    qint64 withFace(int face, int count) const
    {
        return m_withFace[static_cast<std::size_t>(face - 1)][static_cast<std::size_t>(count)];
    }
    // Dice that showed `face`, over all throws.
    qint64 facesShown(int face) const;
    qint64 largest(int face) const { return m_largest[static_cast<std::size_t>(face)]; }
    qint64 smallest(int face) const { return m_smallest[static_cast<std::size_t>(face)]; }
    // Throws whose largest and smallest face lie `difference` apart (0: a double).
    qint64 spread(int difference) const { return m_spread[static_cast<std::size_t>(difference)]; }

private:
    void readOff();

    int m_dice = 0;
    qint64 m_throws = 0;
    // Indexed by the entry of the record: 18 bits.
    std::vector<quint32> m_perThrow;
    // The entries `dice` dice can give.
    std::vector<quint32> m_possible;
    std::array<std::array<qint64, 8>, 6> m_withFace{};
    std::array<qint64, 7> m_largest{};
    std::array<qint64, 7> m_smallest{};
    std::array<qint64, 6> m_spread{};
};

// The observed count of each of values(). `sumCounts[i]` is the count of the sum dice + i: the
// sum is the game's own count, not a second one.
std::vector<qint64> counts(Groesse groesse, int face, const Tally &tally,
                           std::span<const qint64> sumCounts);

} // namespace RandomVariable
