// SPDX-License-Identifier: GPL-3.0-or-later
#include "export_data.h"

#include "austausch.h"

#include <algorithm>

namespace Export {

namespace {

// Windows-1252 is a fixed table: Latin-1 but for 0x80–0x9F, which hold these characters; the
// five bytes it leaves free stand for the control characters of the same number, as ICU and
// Windows map them. A table rather than ICU, which Qt for Windows is built without.
constexpr char16_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte for `c`, or -1 when the code page has none.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    const auto *found = std::find(std::begin(High), std::end(High), c);
    return found == std::end(High) ? -1 : int(0x80 + (found - std::begin(High)));
}

} // namespace

QByteArray toWindows1252(QStringView text, qsizetype *replaced)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype unrepresentable = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (const int byte = byteFor(c); byte >= 0) {
            bytes += char(byte);
            continue;
        }
        // A character beyond the first plane is one '?', not one per half.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += '?';
        ++unrepresentable;
    }
    if (replaced)
        *replaced = unrepresentable;
    return bytes;
}

std::function<QByteArray()> pieces(const Austausch &a, const QString &history,
                                   qsizetype *replaced)
{
    // Small enough to be found in memory that is running short, large enough to cost little.
    constexpr qsizetype PieceSize = qsizetype(1) << 16;
    *replaced = 0;
    return [&a, history, replaced, at = qsizetype(-1)]() mutable {
        qsizetype count = 0;
        QByteArray piece;
        if (at < 0) {
            piece = toWindows1252(content(a, QString()), &count);
            at = 0;
        } else if (at < history.size()) {
            qsizetype end = std::min(at + PieceSize, history.size());
            if (end < history.size() && history[end - 1].isHighSurrogate()
                && history[end].isLowSurrogate())
                ++end; // a surrogate pair stays whole
            piece = toWindows1252(QStringView(history).sliced(at, end - at), &count);
            at = end;
        }
        *replaced += count;
        return piece;
    };
}

qint64 sizeBound(const Austausch &a, const QString &history)
{
    // One byte at most for every UTF-16 code unit.
    return content(a, QString()).size() + history.size();
}

QString content(const Austausch &a, const QString &history)
{
    // Each line is built with a blank before every item, and the first blank is then dropped.
    QString sums;
    QString counts;
    QString dice;
    const qint16 minSumme = a.MinSumme;
    const qint16 maxSumme = a.MaxSumme;
    for (int s = minSumme; s <= maxSumme; ++s) {
        sums += u' ' + QString::number(s);
        counts += u' ' + QString::number(a.Haeufigkeit[s]);
    }
    const qint16 anzahl = a.Anzahl;
    for (int k = 1; k <= anzahl; ++k)
        dice += QStringLiteral(" Würfel") + QString::number(k);

    QString file;
    file.reserve(sums.size() + counts.size() + dice.size() + 6 + history.size());
    for (const QString *line : {&sums, &counts, &dice}) {
        file += QStringView(*line).sliced(line->isEmpty() ? 0 : 1);
        file += u"\r\n";
    }
    file += history;
    return file;
}

} // namespace Export
