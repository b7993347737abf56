// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

// 128 bits hold the products of counts and ways that exact values need.
__extension__ typedef __int128 Int128;

// Every number the program shows comes from here: exact values (ratios of integers, square roots
// of ratios) rounded half away from zero at the last digit shown, so that one value reads the
// same in every window, tooltip, file and table. On screen the format is German whatever the
// system's locale; the copied table passes the system's locale instead.
namespace NumberFormat {

// At least `decimals` decimals, and more where needed until `significant` significant digits
// appear, so that no value other than 0 reads as 0.
struct Digits
{
    int decimals = 0;
    int significant = 0;
};

// The formats of the values that appear in more than one place.
inline constexpr Digits Share{4, 3};      // a share or a probability as a fraction: 0,1667
inline constexpr Digits Percent{2, 3};    // the same as a percentage: 16,67 %
inline constexpr Digits Expected{1, 3};   // an expected count: 166,7

// The locale of every number on screen.
const QLocale &german();

// numerator / denominator, denominator > 0.
QString fraction(Int128 numerator, Int128 denominator, Digits digits,
                 const QLocale &locale = german());
// 100 · numerator / denominator followed by " %".
QString percent(qint64 numerator, qint64 denominator, Digits digits,
                const QLocale &locale = german());
// √radicand / denominator, radicand ≥ 0, denominator > 0.
QString squareRoot(qint64 radicand, qint64 denominator, Digits digits,
                   const QLocale &locale = german());
// A value that is no ratio of integers, such as a p-value.
QString real(double value, Digits digits, const QLocale &locale = german());
QString integer(qint64 value, const QLocale &locale = german());

// `value` rounded half away from zero to `decimals` decimals, times 10^decimals (decimals ≤ 18).
qint64 scaledRound(double value, int decimals);

} // namespace NumberFormat
