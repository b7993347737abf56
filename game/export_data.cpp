// SPDX-License-Identifier: GPL-3.0-or-later
#include "export_data.h"

#include "austausch.h"

#include <QStringEncoder>

#include <algorithm>

namespace Export {

namespace {

// ICU (through QStringEncoder) knows the code page but not our rule for the rest: it writes
// 0x1A instead of '?', silently drops default-ignorable characters (U+200B …) and a lone
// surrogate at the end, and its error flag only says that something failed somewhere (and in
// Qt 6.4 survives resetState()). So a piece is trusted only when every code unit became exactly
// one byte and each 0x1A byte stands for a U+001A; otherwise the piece is encoded again one
// character at a time.
constexpr qsizetype PieceLength = 4096;

bool encodeClean(QStringEncoder &encoder, QStringView piece, QByteArray &out)
{
    const QByteArray bytes = encoder.encode(piece);
    if (bytes.size() != piece.size())
        return false;
    for (qsizetype i = bytes.indexOf('\x1A'); i >= 0; i = bytes.indexOf('\x1A', i + 1)) {
        if (piece[i] != QChar(0x1A))
            return false;
    }
    out += bytes;
    return true;
}

} // namespace

QByteArray toWindows1252(QStringView text, qsizetype *replaced)
{
    QStringEncoder encoder("windows-1252", QStringEncoder::Flag::Stateless);
    Q_ASSERT(encoder.isValid()); // Qt built with ICU
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype unrepresentable = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype length = std::min(PieceLength, text.size() - start);
        // Never split a surrogate pair between two pieces.
        if (start + length < text.size() && text[start + length - 1].isHighSurrogate())
            --length;
        const QStringView piece = text.sliced(start, length);
        start += length;
        if (encodeClean(encoder, piece, bytes))
            continue;
        for (qsizetype i = 0; i < piece.size(); ++i) {
            const qsizetype width =
                piece[i].isHighSurrogate() && i + 1 < piece.size() && piece[i + 1].isLowSurrogate()
                    ? 2 : 1;
            // A pair gives at most one byte, so it never passes as clean.
            if (width == 1 && encodeClean(encoder, piece.sliced(i, 1), bytes))
                continue;
            bytes += '?';
            ++unrepresentable;
            i += width - 1;
        }
    }
    if (replaced)
        *replaced = unrepresentable;
    return bytes;
}

QString content(const QString &history)
{
    // Each line is built with a blank before every item, and the first blank is then dropped.
    QString sums;
    QString counts;
    QString dice;
    const qint16 minSumme = Austausch::MinSumme;
    const qint16 maxSumme = Austausch::MaxSumme;
    for (int s = minSumme; s <= maxSumme; ++s) {
        sums += u' ' + QString::number(s);
        counts += u' ' + QString::number(Austausch::Haeufigkeit[s]);
    }
    const qint16 anzahl = Austausch::Anzahl;
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
