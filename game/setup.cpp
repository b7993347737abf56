// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup.h"

#include "austausch.h"
#include "rounding.h"

#include <cmath>

namespace Setup {

std::optional<double> parseNumber(const QString &entry, const QLocale &locale)
{
    const QString number = entry.trimmed();
    // QLocale takes a group separator after leading zeros as grouping: "0.300" would be 300 in
    // German. No number is written that way, so it is no number.
    qsizetype digits = 0;
    if (number.startsWith(locale.negativeSign()) || number.startsWith(locale.positiveSign()))
        digits = 1;
    qsizetype zeros = digits;
    while (zeros < number.size() && number[zeros] == locale.zeroDigit()[0])
        ++zeros;
    if (zeros > digits && number.mid(zeros).startsWith(locale.groupSeparator()))
        return std::nullopt;

    bool ok = false;
    const double value = locale.toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint16> parseAnzahl(const QString &entry, const QLocale &locale)
{
    const auto x = parseNumber(entry, locale);
    if (!x || *x < 1.0 || *x > 7.0)
        return std::nullopt;
    return static_cast<qint16>(roundHalfEven(*x));
}

std::optional<qint32> parseWurfzahl(const QString &entry, const QLocale &locale)
{
    const auto x = parseNumber(entry, locale);
    if (!x || *x < 0.0 || *x > 2147483647.0)
        return std::nullopt;
    return static_cast<qint32>(roundHalfEven(*x));
}

void setDefaults()
{
    Austausch::Wurfzahl = 1;
    Austausch::Anzahl = 1;
    Austausch::MinSumme = 1;
    Austausch::MaxSumme = 6;
}

void setAnzahl(qint16 anzahl)
{
    Austausch::Anzahl = anzahl;
    Austausch::MinSumme = anzahl;
    Austausch::MaxSumme = static_cast<qint16>(6 * anzahl);
}

} // namespace Setup
