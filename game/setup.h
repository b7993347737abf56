// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The rules of the setup commands that touch only the game state; the dialogs and the New
// command's window work live with the main window.
struct Austausch;

namespace Setup {

// The numeric test and the conversion of an entry, in one step so they cannot disagree:
// a plain number in `locale` (its decimal and group separators, a sign, an exponent, blanks
// around it), of any length. A group separator may be typed as any character of its kind (a
// plain space for a no-break one); one after leading zeros, NaN and infinity are not numeric.
std::optional<double> parseNumber(const QString &entry, const QLocale &locale = QLocale());

// A valid entry for the number of dice (1 ≤ x ≤ 7, rounded half to even), or nothing.
std::optional<qint16> parseAnzahl(const QString &entry, const QLocale &locale = QLocale());
// A valid entry for the throws per move (0 ≤ x ≤ 2147483647, rounded half to even), or nothing.
std::optional<qint32> parseWurfzahl(const QString &entry, const QLocale &locale = QLocale());

// The start-up defaults: Wurfzahl 1, Anzahl 1, MinSumme 1, MaxSumme 6, in this order.
void setDefaults(Austausch &a);
// Writes Anzahl together with MinSumme and MaxSumme, which always follow it.
void setAnzahl(Austausch &a, qint16 anzahl);

} // namespace Setup
