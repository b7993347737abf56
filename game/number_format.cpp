// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_format.h"

#include <cmath>
#include <limits>
#include <optional>

namespace NumberFormat {

namespace {

__extension__ typedef unsigned __int128 UInt128;

// Beyond this many decimals no value of the program needs more digits.
constexpr int MaxDecimals = 18;

UInt128 power10(int exponent)
{
    UInt128 p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= 10;
    return p;
}

int digitCount(UInt128 value)
{
    int count = 1;
    while (value >= 10) {
        value /= 10;
        ++count;
    }
    return count;
}

UInt128 squareRootFloor(UInt128 x)
{
    UInt128 root = 0;
    UInt128 bit = UInt128(1) << 126;
    while (bit > x)
        bit >>= 2;
    while (bit != 0) {
        if (x >= root + bit) {
            x -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return root;
}

// `scaled` / 10^decimals written in `locale`; the integer part must fit 64 bits.
QString write(UInt128 scaled, int decimals, bool negative, const QLocale &locale)
{
    const UInt128 unit = power10(decimals);
    const auto whole = static_cast<qint64>(scaled / unit);
    QString text;
    if (negative && scaled != 0)
        text += locale.negativeSign();
    text += locale.toString(whole);
    if (decimals > 0) {
        text += locale.decimalPoint();
        QString fraction;
        UInt128 rest = scaled % unit;
        for (int i = 0; i < decimals; ++i) {
            fraction.prepend(locale.toString(static_cast<int>(rest % 10)));
            rest /= 10;
        }
        text += fraction;
    }
    return text;
}

// The first number of decimals from digits.decimals on at which `roundedAt` shows enough
// significant digits; roundedAt gives nothing where the arithmetic would overflow. Zero keeps
// the plain number of decimals.
template<typename RoundedAt>
std::optional<std::pair<UInt128, int>> enoughDigits(Digits digits, bool zero, RoundedAt roundedAt)
{
    std::optional<std::pair<UInt128, int>> shown;
    for (int decimals = digits.decimals; decimals <= MaxDecimals; ++decimals) {
        const std::optional<UInt128> scaled = roundedAt(decimals);
        if (!scaled)
            return shown;
        shown = std::pair(*scaled, decimals);
        if (zero || (*scaled != 0 && digitCount(*scaled) >= digits.significant))
            return shown;
    }
    return shown;
}

} // namespace

const QLocale &german()
{
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

QString fraction(Int128 numerator, Int128 denominator, Digits digits, const QLocale &locale)
{
    Q_ASSERT(denominator > 0);
    const bool negative = numerator < 0;
    const UInt128 n = negative ? UInt128(-numerator) : UInt128(numerator);
    const auto d = UInt128(denominator);
    const UInt128 whole = n / d;
    const UInt128 rest = n % d;
    if (whole > UInt128(std::numeric_limits<qint64>::max()))
        return real(static_cast<double>(numerator) / static_cast<double>(denominator), digits,
                    locale);
    // Rounded half away from zero: ⌊(2·rest·10^k + d) / 2d⌋ beside the whole part.
    const auto roundedAt = [&](int decimals) -> std::optional<UInt128> {
        const UInt128 unit = power10(decimals);
        UInt128 twiceRest = 0;
        if (__builtin_mul_overflow(rest, 2 * unit, &twiceRest)
            || twiceRest > ~UInt128(0) - d)
            return std::nullopt;
        return whole * unit + (twiceRest + d) / (2 * d);
    };
    const auto shown = enoughDigits(digits, n == 0, roundedAt);
    if (!shown)
        return real(static_cast<double>(numerator) / static_cast<double>(denominator), digits,
                    locale);
    return write(shown->first, shown->second, negative, locale);
}

QString percent(qint64 numerator, qint64 denominator, Digits digits, const QLocale &locale)
{
    return fraction(Int128(numerator) * 100, denominator, digits, locale) + QStringLiteral(" %");
}

QString squareRoot(qint64 radicand, qint64 denominator, Digits digits, const QLocale &locale)
{
    Q_ASSERT(radicand >= 0 && denominator > 0);
    const auto a = UInt128(radicand);
    const auto b = UInt128(denominator);
    // q = ⌊√a·10^k / b + ½⌋ is the largest q with (2q − 1)·b ≤ 2·10^k·√a, and for whole
    // numbers that is (2q − 1)·b ≤ t with t = ⌊√(4·10^2k·a)⌋: so q = ⌊(t + b) / 2b⌋ exactly.
    const auto roundedAt = [&](int decimals) -> std::optional<UInt128> {
        const UInt128 unit = power10(decimals);
        UInt128 square = 0;
        if (__builtin_mul_overflow(4 * unit, unit, &square)
            || __builtin_mul_overflow(square, a, &square))
            return std::nullopt;
        return (squareRootFloor(square) + b) / (2 * b);
    };
    const auto shown = enoughDigits(digits, a == 0, roundedAt);
    if (!shown)
        return real(std::sqrt(static_cast<double>(radicand)) / static_cast<double>(denominator),
                    digits, locale);
    return write(shown->first, shown->second, false, locale);
}

qint64 scaledRound(double value, int decimals)
{
    // std::round rounds half away from zero; long double keeps the scaled value's digits.
    return static_cast<qint64>(
        std::round(static_cast<long double>(value) * std::pow(10.0L, decimals)));
}

QString real(double value, Digits digits, const QLocale &locale)
{
    const bool negative = value < 0;
    const double magnitude = std::abs(value);
    const auto roundedAt = [&](int decimals) -> std::optional<UInt128> {
        const long double scaled = std::round(static_cast<long double>(magnitude)
                                              * std::pow(10.0L, decimals));
        if (!(scaled < 9.2e18L))
            return std::nullopt;
        return UInt128(static_cast<qint64>(scaled));
    };
    const auto shown = enoughDigits(digits, magnitude == 0, roundedAt);
    if (!shown)
        return locale.toString(value, 'g', std::max(digits.significant, 6));
    return write(shown->first, shown->second, negative, locale);
}

QString integer(qint64 value, const QLocale &locale)
{
    return locale.toString(value);
}

} // namespace NumberFormat
