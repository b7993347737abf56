// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup.h"

#include "austausch.h"
#include "rounding.h"

#include <cmath>

namespace Setup {

namespace {

bool isSpaceSeparator(QChar c)
{
    return c == u' ' || c == u'\u00A0' || c == u'\u202F' || c == u'\u2009';
}

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == u'\u2019';
}

} // namespace

std::optional<double> parseNumber(const QString &entry, const QLocale &locale)
{
    QString number = entry.trimmed();
    // Nobody can tell a no-break or narrow space from a plain one, and a Swiss keyboard has the
    // straight apostrophe: whichever of its kind the user typed counts as the locale's own
    // group separator.
    const QString group = locale.groupSeparator();
    if (group.size() == 1) {
        const QChar separator = group.front();
        const auto sameKind = isSpaceSeparator(separator) ? isSpaceSeparator
                              : isApostrophe(separator)   ? isApostrophe
                                                          : nullptr;
        if (sameKind) {
            for (QChar &c : number) {
                if (sameKind(c))
                    c = separator;
            }
        }
    }

    // QLocale takes a group separator after leading zeros as grouping: "0.300" would be 300 in
    // German, "0 300" 300 in French. No number is written that way, so it is no number.
    QStringView rest(number);
    const QString signs[] = {locale.negativeSign(), locale.positiveSign(), QStringLiteral("-"),
                             QStringLiteral("+"), QStringLiteral("\u2212")};
    for (const QString &sign : signs) {
        if (!sign.isEmpty() && rest.startsWith(sign)) {
            rest = rest.sliced(sign.size());
            break;
        }
    }
    const QString zero = locale.zeroDigit();
    const bool leadingZero = !zero.isEmpty() && rest.startsWith(zero);
    while (leadingZero && rest.startsWith(zero))
        rest = rest.sliced(zero.size());
    if (leadingZero && !group.isEmpty() && rest.startsWith(group))
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

void setDefaults(Austausch &a)
{
    a.Wurfzahl = 1;
    a.Anzahl = 1;
    a.MinSumme = 1;
    a.MaxSumme = 6;
}

void setAnzahl(Austausch &a, qint16 anzahl)
{
    a.Anzahl = anzahl;
    a.MinSumme = anzahl;
    a.MaxSumme = static_cast<qint16>(6 * anzahl);
}

} // namespace Setup
