// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// The platform's sans-serif at a size of the windows' design (8.25 pt for captions and text,
// 9.75 pt for the bars' numbers), so every window's text matches the others'.
QFont designFont(qreal pointSize, bool bold = false);

// `font` sized in pixels at the size it has on this screen, so that images, SVG files and
// printouts draw it at the chart's scale rather than grow it with their own resolution.
QFont inScreenPixels(QFont font);
