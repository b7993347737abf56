// SPDX-License-Identifier: GPL-3.0-or-later
#include "move.h"

#include "austausch.h"
#include "history_text.h"
#include "random_source.h"

#include <QString>

#include <algorithm>

namespace {

// Library code that uses AVX can return with the upper halves of the vector registers still in
// use (some of Qt's drawing routines do). Until a vzeroupper, every SSE instruction pays for it:
// a move after a window had been painted took 80 % longer. Clearing them costs nothing and
// touches no value this code keeps, since it is compiled without AVX.
void clearUpperVectorState()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        asm volatile("vzeroupper");
#endif
}

} // namespace

MoveResult performMove(RandomSource &random, HistoryText &history)
{
    clearUpperVectorState();
    random.reseed();

    MoveResult result;
    const qint32 throws = Austausch::Wurfzahl;
    // A line with its CR LF is 2 × Anzahl + 1 characters.
    HistoryText::Appender lines(history, static_cast<qint64>(throws) * (2 * Austausch::Anzahl + 1));
    // The digits go straight into the history as they are drawn; the faces of the last counted
    // throw are read back from its line at the end.
    qsizetype lastDigits = 0;

    for (qint32 t = 0; t < throws; ++t) {
        const qint16 dice = Austausch::Anzahl;
        lines.ensureRoom(2 * dice + 1);
        const qsizetype lineStart = lines.size();
        lines.startLine();
        const qsizetype digits = lines.size();

        const std::span<const float> draws = random.nextDraws(static_cast<std::size_t>(dice));
        qint16 sum = 0;
        for (int slot = 0; slot < dice; ++slot) {
            float r = draws[static_cast<std::size_t>(slot)];
            // A draw of 0 would be the die value 0: draw again.
            while (r == 0.0f)
                r = random.next();
            const qint16 value = dieValue(r);
            if (slot > 0)
                lines.put(u' ');
            lines.put(static_cast<char16_t>(u'0' + value));
            sum = static_cast<qint16>(sum + value);
        }

        qint16 &count = Austausch::Haeufigkeit[sum];
        if (count == Austausch::HoechsteHaeufigkeit) {
            lines.truncate(lineStart);
            result.limitReached = true;
            result.limitSum = sum;
            break;
        }
        ++count;
        lastDigits = digits;
        result.dice = dice;
        ++result.throwsDone;
    }

    for (int slot = 0; slot < result.dice; ++slot) {
        result.lastFaces[static_cast<std::size_t>(slot)] =
            static_cast<qint16>(lines.at(lastDigits + 2 * slot).unicode() - u'0');
    }
    return result;
}
