// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

// The values of one game. These are plain values on purpose: every rule about them lives with
// the command that writes them (the move, New and the two setting commands). A `Game` owns one
// and is the only one that writes it; the windows read it through that `Game`.
struct Austausch
{
    // 42 = 6 × 7, the highest sum that seven dice can show.
    static constexpr int HoechsteSumme = 42;
    // A count is 16 bits wide; a sum whose count stands here cannot be counted again.
    static constexpr qint16 HoechsteHaeufigkeit = 32767;

    // The count per sum, indexed by the sum itself (1 to 42); there is no element 0.
    class Zaehltabelle
    {
    public:
        qint16 &operator[](int summe)
        {
            Q_ASSERT(summe >= 1 && summe <= HoechsteSumme);
            return m_counts[static_cast<std::size_t>(summe - 1)];
        }
        qint16 operator[](int summe) const
        {
            Q_ASSERT(summe >= 1 && summe <= HoechsteSumme);
            return m_counts[static_cast<std::size_t>(summe - 1)];
        }
        void clear() { m_counts.fill(0); }

    private:
        std::array<qint16, HoechsteSumme> m_counts{};
    };

    static quint32 augeImWurf(int face) { return 1u << (3 * (face - 1)); }
    static int anzahlImWurf(quint32 augen, int face)
    {
        return static_cast<int>((augen >> (3 * (face - 1))) & 7u);
    }

    qint16 Anzahl = 0;    // dice thrown together, 1 to 7
    qint32 Wurfzahl = 0;  // throws per move, 0 to 2147483647
    qint16 MinSumme = 0;  // always Anzahl
    qint16 MaxSumme = 0;  // always 6 × Anzahl
    Zaehltabelle Haeufigkeit;
    // The sum of every throw since the last New, oldest first: written by the move beside its
    // count, cleared by New. The law-of-large-numbers chart reads the order of the throws from
    // here, never from the history text, which the user may edit. A game ends at the count limit
    // after at most 42 × 32767 throws, so one byte a throw stays small.
    std::vector<quint8> Wurfsummen;
    // The faces of every throw beside its sum, as how many dice showed each face: face f in bits
    // 3(f − 1) to 3f − 1 (at most 7 dice). What other variables than the sum (the number of
    // sixes, the largest face, a double) are counted from; none of them needs the order of the
    // dice.
    std::vector<quint32> Wurfaugen;

    // Back to the values before the main window has loaded (all 0, no throws).
    void reset() { *this = Austausch(); }

    // Sum of the counts from MinSumme to MaxSumme: the number of throws since the last New.
    qint64 totalCount() const;
};
