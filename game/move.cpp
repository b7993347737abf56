#include "move.h"

#include "austausch.h"
#include "history_text.h"
#include "random_source.h"

#include <QString>

#include <algorithm>

qint16 dieValue(float r)
{
    // r is single precision, so r × 6 + 0.5 is exact in double and lies in [0.5, 6.5):
    // truncation is floor here, and only an exact half needs the tie rule.
    const double x = static_cast<double>(r) * 6.0 + 0.5;
    auto v = static_cast<qint16>(x);
    const double fraction = x - v;
    if (fraction > 0.5 || (fraction == 0.5 && (v & 1)))
        ++v;
    return v;
}

namespace {

qint16 drawNonZero(RandomSource &random)
{
    for (;;) {
        const float r = random.next();
        if (r != 0.0f)
            return dieValue(r);
    }
}

// The lines of one move are written straight into a UTF-16 buffer that grows geometrically:
// appending QChar by QChar through QString's API costs more than drawing the numbers.
class LineBuffer
{
public:
    explicit LineBuffer(qint64 expectedChars)
    {
        m_text.resize(static_cast<qsizetype>(std::clamp<qint64>(expectedChars, 16, 1 << 22)));
        m_data = m_text.data();
    }
    void ensureRoom(qsizetype chars)
    {
        if (m_used + chars > m_text.size()) {
            m_text.resize(std::max(m_text.size() * 2, m_used + chars));
            m_data = m_text.data();
        }
    }
    void put(char16_t c) { m_data[m_used++] = QChar(c); }
    bool isEmpty() const { return m_used == 0; }
    QString take()
    {
        m_text.truncate(m_used);
        return std::move(m_text);
    }

private:
    QString m_text;
    QChar *m_data = nullptr;
    qsizetype m_used = 0;
};

} // namespace

MoveResult performMove(RandomSource &random, HistoryText &history)
{
    random.reseed();

    MoveResult result;
    const qint32 throws = Austausch::Wurfzahl;
    // One line is at most 2 + 13 characters (CR LF and seven digits with six blanks).
    LineBuffer lines(static_cast<qint64>(throws) * (2 * Austausch::Anzahl + 1));
    std::array<qint16, 7> faces{};

    for (qint32 t = 0; t < throws; ++t) {
        const qint16 dice = Austausch::Anzahl;
        qint16 sum = 0;
        for (int slot = 0; slot < dice; ++slot) {
            faces[static_cast<std::size_t>(slot)] = drawNonZero(random);
            sum = static_cast<qint16>(sum + faces[static_cast<std::size_t>(slot)]);
        }
        qint16 &count = Austausch::Haeufigkeit[sum];
        if (count == Austausch::HoechsteHaeufigkeit) {
            result.limitReached = true;
            result.limitSum = sum;
            break;
        }

        lines.ensureRoom(2 + 2 * dice);
        if (!lines.isEmpty()) {
            lines.put(u'\r');
            lines.put(u'\n');
        }
        for (int slot = 0; slot < dice; ++slot) {
            if (slot > 0)
                lines.put(u' ');
            lines.put(static_cast<char16_t>(u'0' + faces[static_cast<std::size_t>(slot)]));
        }
        ++count;

        result.lastFaces = faces;
        result.dice = dice;
        ++result.throwsDone;
    }

    history.appendLines(lines.take());
    return result;
}
