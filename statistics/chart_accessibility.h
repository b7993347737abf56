// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// What assistive technology learns about the statistics windows, through Qt's accessibility
// interfaces: each window is a window (not a filler) read top to bottom; each bar and each
// wedge is a sum with its count; the development chart says what it shows and where the value
// stands; grid values outside the window are as invisible as they are to the eye; Auswertung's
// values carry the captions of their rows. All texts are German, whatever the system locale.

// Installs the interfaces; the program calls it once at start, a second call does nothing.
void installChartAccessibility();

// Tells a screen reader which elements of a chart window changed with the last redraw (names,
// descriptions). Costs nothing while no assistive technology is listening.
void announceChartChange(QWidget &window);

// The German texts, exact from integers: rounded half away from zero.
namespace SpokenNumber {

// 1.234.567
QString count(qint64 n);
// `numerator / denominator` with one decimal: "166,7".
QString tenths(qint64 numerator, qint64 denominator);
// `numerator / denominator` with four significant digits and no trailing zeros: "0,165",
// "0,1667", "7".
QString significant(qint64 numerator, qint64 denominator);

} // namespace SpokenNumber
