// SPDX-License-Identifier: GPL-3.0-or-later
#include "move.h"

#include "austausch.h"
#include "history_text.h"
#include "random_source.h"

#include <QString>

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Library code that uses AVX can return with the upper halves of the vector registers still in
// use (some of Qt's drawing routines do). Until a vzeroupper, every SSE instruction pays for it.
// Clearing them costs nothing and touches no value this code keeps (compiled without AVX).
// bench_move: the move from the press takes 1.6-2.0x as long without it (ratio 1.5-1.7, not 1.1).
void clearUpperVectorState()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        asm volatile("vzeroupper");
#endif
}

// Room in the throw record for every throw this move can still count, made once. Wurfzahl may
// ask for two billion throws, but no count passes 32767, so a game records at most 32767 per
// reachable sum: reserve no more than that. Growing at least geometrically keeps a game of many
// short moves linear in its throws.
void reserveThrowRecord(Austausch &a, qint32 throws)
{
    qint64 countable = 0;
    for (int s = std::max<int>(1, a.MinSumme); s <= a.MaxSumme; ++s)
        countable += Austausch::HoechsteHaeufigkeit - a.Haeufigkeit[s];
    std::vector<quint8> &record = a.Wurfsummen;
    const auto asked = static_cast<std::size_t>(std::min<qint64>(throws, countable));
    const std::size_t needed = record.size() + asked;
    std::vector<quint32> &faces = a.Wurfaugen;
    if (needed <= record.capacity() && needed <= faces.capacity())
        return;
    const std::size_t most = record.size() + static_cast<std::size_t>(countable);
    const std::size_t room = std::max(needed, std::min(2 * record.capacity(), most));
    record.reserve(room);
    faces.reserve(room);
}

// The move's loop, once per way of turning a draw into a face, so that the loop of fair dice
// holds no test for weights.
template <class FaceOf>
MoveResult throwDice(Austausch &a, RandomSource &random, HistoryText &history, FaceOf faceOf)
{
    MoveResult result;
    const qint32 throws = a.Wurfzahl;
    // Out of memory, the move stops before the throw it was making: that throw has no count, no
    // record and no line, so everything before it still agrees. One try around the loop, so a
    // throw costs no more than without it.
    try {
        reserveThrowRecord(a, throws);
        // A line with its CR LF is 2 × Anzahl + 1 characters.
        HistoryText::Appender lines(history,
                                    static_cast<qint64>(throws) * (2 * a.Anzahl + 1));
        // The digits go straight into the history as they are drawn; the faces of the last
        // counted throw are read back from its line at the end.
        qsizetype lastDigits = 0;
        qsizetype lineStart = lines.size();
        try {
            for (qint32 t = 0; t < throws; ++t) {
                const qint16 dice = a.Anzahl;
                lineStart = lines.size();
                lines.ensureRoom(2 * dice + 1);
                lines.startLine();
                const qsizetype digits = lines.size();

                const std::span<const float> draws =
                    random.nextDraws(static_cast<std::size_t>(dice));
                qint16 sum = 0;
                quint32 faces = 0;
                for (int slot = 0; slot < dice; ++slot) {
                    const qint16 value = faceOf(draws[static_cast<std::size_t>(slot)]);
                    if (slot > 0)
                        lines.put(u' ');
                    lines.put(static_cast<char16_t>(u'0' + value));
                    sum = static_cast<qint16>(sum + value);
                    faces += Austausch::augeImWurf(value);
                }

                qint16 &count = a.Haeufigkeit[sum];
                if (count == Austausch::HoechsteHaeufigkeit) {
                    lines.truncate(lineStart);
                    result.limitReached = true;
                    result.limitSum = sum;
                    break;
                }
                // Recorded before it is counted: should the record fail to grow, nothing of
                // this throw is left.
                a.Wurfaugen.push_back(faces);
                a.Wurfsummen.push_back(static_cast<quint8>(sum));
                ++count;
                lastDigits = digits;
                result.dice = dice;
                ++result.throwsDone;
            }
        } catch (const std::bad_alloc &) {
            lines.truncate(lineStart);
            // The faces went in first: without their sum they are taken back (never grows).
            a.Wurfaugen.resize(a.Wurfsummen.size());
            result.outOfMemory = true;
        }

        for (int slot = 0; slot < result.dice; ++slot) {
            result.lastFaces[static_cast<std::size_t>(slot)] =
                static_cast<qint16>(lines.at(lastDigits + 2 * slot).unicode() - u'0');
        }
    } catch (const std::bad_alloc &) {
        // No room for the record or the lines: not a single throw was made.
        result.outOfMemory = true;
    }
    return result;
}

} // namespace

MoveResult performMove(Austausch &a, RandomSource &random, HistoryText &history,
                       const DiceWeights &weights)
{
    clearUpperVectorState();
    random.reseed();
    if (weights.isFair()) {
        return throwDice(a, random, history, [&random](float r) {
            // A draw of 0 would be the die value 0: draw again.
            while (r == 0.0f)
                r = random.next();
            return dieValue(r);
        });
    }
    // r = k / 2^24 exactly, so this gives k back. A copy keeps the thresholds in registers.
    return throwDice(a, random, history, [table = weights](float r) {
        return table.face(static_cast<quint32>(r * 0x1p24f));
    });
}
