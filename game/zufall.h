// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "number_format.h"

#include <QString>

#include <QtGlobal>

#include <array>
#include <optional>

// How the dice fall: a start value for the whole class and the weights of the six faces, as the
// dialog "Würfel und Zufall" sets them. Nothing of it outlives the program.
struct Zufallseinstellung
{
    static constexpr quint32 HoechsterStartwert = 2147483647;
    static constexpr int HoechstesGewicht = 100;

    // None: seeded from the clock at every move.
    std::optional<quint32> startwert;
    std::array<int, 6> gewichte{1, 1, 1, 1, 1, 1};
    // Nothing outside the dialog shows the other two.
    bool geheim = false;

    bool operator==(const Zufallseinstellung &) const = default;
};

// The weights as a table of integer thresholds on the 24-bit number k behind a draw
// r = k / 2^24, built once per setting so that a throw costs five comparisons.
//
// With W the sum of the weights and C_f = w_1 + … + w_f, the face for k is the first f with
// k · W < 2^24 · C_f, i.e. f = 1 + #{j < 6 : k ≥ T_j} with T_j = ceil(2^24 · C_j / W).
// Face f thus covers T_f − T_(f−1) of the 2^24 values: its probability w_f / W, off by less than
// 2^-24, and exactly 0 for a weight of 0. Every k from 0 on counts: no value is drawn again.
// Equal weights give dieValue()'s faces for every k > 0; such dice are fair and the move keeps
// its own path for them.
class DiceWeights
{
public:
    static constexpr quint32 Steps = 1u << 24;

    // Fair dice.
    DiceWeights() : DiceWeights({1, 1, 1, 1, 1, 1}) {}
    // Weights outside 0 … 100 are clamped; all of them 0 counts as fair.
    explicit DiceWeights(const std::array<int, 6> &weights);

    bool isFair() const { return m_fair; }
    const std::array<int, 6> &weights() const { return m_weights; }
    // T_1 … T_5; T_0 = 0 and T_6 = 2^24 are implied.
    const std::array<quint32, 5> &thresholds() const { return m_thresholds; }

    // The face (1 … 6) for k with 0 <= k < 2^24.
    qint16 face(quint32 k) const
    {
        return static_cast<qint16>(1 + int(k >= m_thresholds[0]) + int(k >= m_thresholds[1])
                                   + int(k >= m_thresholds[2]) + int(k >= m_thresholds[3])
                                   + int(k >= m_thresholds[4]));
    }

    bool operator==(const DiceWeights &other) const { return m_weights == other.m_weights; }

private:
    std::array<int, 6> m_weights{};
    std::array<quint32, 5> m_thresholds{};
    bool m_fair = true;
};

// The probability of every sum of `dice` dice (1 … 7) under `weights` as exact fractions: the ways
// of sum s weighted by the product of its faces' weights, out of W^dice, in ways[s] / outcomes
// (0 where the dice cannot show s). Counted in integers so that division happens only at the end.
struct SumChances
{
    std::array<Int128, 43> ways{};
    Int128 outcomes = 1;
    bool operator==(const SumChances &) const = default;
};
SumChances sumChances(const DiceWeights &weights, int dice);

// The weights as the dialog shows them, for a line that names them: "1, 1, 1, 1, 1, 5".
QString gewichteText(const std::array<int, 6> &gewichte);

// What the roll button's tooltip adds about the dice: "Startwert 4711", "gezinkt 1, 1, 1, 1, 1, 5",
// both joined by " · ", or nothing for fair dice from the clock. Nothing at all while geheim.
QString zufallTip(const Zufallseinstellung &einstellung);
