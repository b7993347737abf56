// SPDX-License-Identifier: GPL-3.0-or-later
#include "export.h"

#include "austausch.h"

#include <QSaveFile>

#include <array>

namespace Export {

namespace {

// The characters Windows-1252 puts at 0x80 … 0x9F; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::optional<char> windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] != 0 && HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

QByteArray toWindows1252(QStringView text, qsizetype *replaced)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype unrepresentable = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (const auto byte = windows1252Byte(c)) {
            bytes += *byte;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += '?';
        ++unrepresentable;
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

std::optional<QString> writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that a failing write (a full disk) is seen here: a buffered QSaveFile
    // flushes only while committing, and a failure there would still replace the old file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        written += n;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace Export
