// SPDX-License-Identifier: GPL-3.0-or-later
// How many throws a class needs before Auswertung's χ² test flags loaded dice in 80 % of games:
// simulated games through the program's own face rule and test, for the README's table.
// Run: kollavo_detection_power [games per throw count]
#include "chi_square.h"
#include "distribution.h"
#include "zufall.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// The share of `games` simulated games of `throws` throws that the test flags (p as shown < 5 %).
double power(const DiceWeights &weights, int dice, int throws, int games, std::mt19937_64 &engine)
{
    const SumDistribution distribution(dice);
    std::vector<qint64> counts(static_cast<std::size_t>(5 * dice + 1));
    int flagged = 0;
    for (int g = 0; g < games; ++g) {
        std::fill(counts.begin(), counts.end(), 0);
        for (int t = 0; t < throws; ++t) {
            int sum = 0;
            for (int d = 0; d < dice; ++d)
                sum += weights.face(static_cast<quint32>(engine() >> 40));
            ++counts[static_cast<std::size_t>(sum - dice)];
        }
        const auto result = ChiSquare::test(distribution, std::span<const qint64>(counts));
        if (result && ChiSquare::shownPValue(result->pValue).significant)
            ++flagged;
    }
    return double(flagged) / games;
}

} // namespace

int main(int argc, char **argv)
{
    const int games = argc > 1 ? std::atoi(argv[1]) : 4000;
    struct Case
    {
        std::array<int, 6> weights;
        int dice;
    };
    const Case cases[] = {{{1, 1, 1, 1, 1, 5}, 1}, {{1, 1, 1, 1, 1, 5}, 2}, {{1, 1, 1, 1, 1, 5}, 7},
                          {{1, 1, 1, 1, 1, 2}, 1}, {{1, 1, 1, 1, 1, 2}, 2}, {{1, 1, 1, 1, 1, 2}, 7}};
    std::mt19937_64 engine(4711);
    std::printf("weights          dice  throws for 80 %%  (power there, %d games each)\n", games);
    for (const Case &c : cases) {
        const DiceWeights weights(c.weights);
        // Power grows with the throws, apart from the noise of the simulation and the steps of
        // the pooling; the first count at which it reaches 80 % is reported.
        int throws = 2;
        double p = 0;
        for (; throws <= 1000; ++throws) {
            p = power(weights, c.dice, throws, games, engine);
            if (p >= 0.8)
                break;
        }
        std::printf("%s  %4d  %6d            (%.3f)\n",
                    qPrintable(gewichteText(c.weights)), c.dice, throws, p);
    }
    return 0;
}
