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
// one byte and each 0x1A byte stands for a U+001A; a piece that fails is halved until the
// characters that cannot be encoded stand alone.
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

void encode(QStringEncoder &encoder, QStringView piece, QByteArray &out, qsizetype &replaced)
{
    if (piece.isEmpty() || encodeClean(encoder, piece, out))
        return;
    const bool onePair =
        piece.size() == 2 && piece[0].isHighSurrogate() && piece[1].isLowSurrogate();
    if (piece.size() == 1 || onePair) {
        out += '?';
        ++replaced;
        return;
    }
    qsizetype half = piece.size() / 2;
    if (piece[half - 1].isHighSurrogate() && piece[half].isLowSurrogate())
        ++half; // a surrogate pair stays whole; size ≥ 3 here, so both halves are shorter
    encode(encoder, piece.first(half), out, replaced);
    encode(encoder, piece.sliced(half), out, replaced);
}

} // namespace

QByteArray toWindows1252(QStringView text, qsizetype *replaced)
{
    QStringEncoder encoder("windows-1252", QStringEncoder::Flag::Stateless);
    Q_ASSERT(encoder.isValid()); // Qt built with ICU
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype unrepresentable = 0;
    // Windows-1252 extends ASCII, so ASCII runs (nearly all of a history) are copied as they
    // are and only the rest goes through the encoder: an edited history with thousands of
    // special characters then costs no more than a plain one.
    const auto isAscii = [](QChar c) { return c.unicode() < 0x80; };
    for (auto it = text.begin(); it != text.end();) {
        const auto asciiEnd = std::find_if_not(it, text.end(), isAscii);
        bytes += QStringView(it, asciiEnd).toLatin1();
        it = std::find_if(asciiEnd, text.end(), isAscii);
        encode(encoder, QStringView(asciiEnd, it), bytes, unrepresentable);
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
