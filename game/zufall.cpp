// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufall.h"

#include <QStringList>

#include <algorithm>


DiceWeights::DiceWeights(const std::array<int, 6> &weights)
{
    quint64 total = 0;
    for (std::size_t f = 0; f < weights.size(); ++f) {
        m_weights[f] = std::clamp(weights[f], 0, Zufallseinstellung::HoechstesGewicht);
        total += static_cast<quint64>(m_weights[f]);
    }
    if (total == 0) {
        m_weights.fill(1);
        total = 6;
    }
    m_fair = std::all_of(m_weights.begin(), m_weights.end(),
                         [&](int w) { return w == m_weights[0]; });
    quint64 cumulative = 0;
    for (std::size_t j = 0; j < m_thresholds.size(); ++j) {
        cumulative += static_cast<quint64>(m_weights[j]);
        m_thresholds[j] = static_cast<quint32>((cumulative * Steps + total - 1) / total);
    }
}

SumChances sumChances(const DiceWeights &weights, int dice)
{
    Q_ASSERT(dice >= 1 && dice <= 7);
    // 600⁷ outcomes at most: far inside 128 bits.
    SumChances chances;
    chances.ways[0] = 1;
    Int128 total = 0;
    for (int w : weights.weights())
        total += w;
    // Adding one die spreads the weight of every sum s over s + 1 … s + 6, by its faces' weights.
    for (int die = 0; die < dice; ++die) {
        std::array<Int128, 43> next{};
        for (int s = die; s <= 6 * die; ++s) {
            for (int face = 1; face <= 6; ++face) {
                next[static_cast<std::size_t>(s + face)] +=
                    chances.ways[static_cast<std::size_t>(s)]
                    * weights.weights()[static_cast<std::size_t>(face - 1)];
            }
        }
        chances.ways = next;
        chances.outcomes *= total;
    }
    return chances;
}

QString gewichteText(const std::array<int, 6> &gewichte)
{
    QStringList numbers;
    for (int w : gewichte)
        numbers << QString::number(w);
    return numbers.join(QStringLiteral(", "));
}

QString zufallTip(const Zufallseinstellung &einstellung)
{
    if (einstellung.geheim)
        return {};
    QStringList parts;
    if (einstellung.startwert)
        parts << QStringLiteral("Startwert %1").arg(*einstellung.startwert);
    if (!DiceWeights(einstellung.gewichte).isFair())
        parts << QStringLiteral("gezinkt ") + gewichteText(einstellung.gewichte);
    return parts.join(QStringLiteral(" · "));
}
