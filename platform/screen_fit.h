// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

namespace ScreenFit {

// Where a window whose frame (title bar and borders included) is `frame` lies wholly inside
// `available`: unchanged when it already does, otherwise moved just enough, and made smaller
// only in a direction in which it is larger than the area.
QRect fitInto(const QRect &frame, const QRect &available);

// Moves (and if need be shrinks) the top-level `window` so that its frame lies inside the
// available area of the screen of its current position. A window whose position fits is left
// exactly where it is. Before the window is first shown its frame is not known yet; the frame
// of another visible window stands in for it.
void placeOnScreen(QWidget &window);

// Shows `window` where placeOnScreen() puts it, and places it again once the window system has
// framed it, in case the real frame is larger than the one assumed.
void showOnScreen(QWidget &window);

} // namespace ScreenFit
