// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace Resources {

// The logical size of a die face image.
inline constexpr QSize FaceSize(31, 31);

// The image of die face `value` (1 to 6), 31 × 31 logical pixels, drawn for the application's
// device pixel ratio.
QPixmap face(int value);
// The same, drawn for `devicePixelRatio`: 62 × 62 device pixels at 2.
QPixmap face(int value, qreal devicePixelRatio);
// The program's icon, shared by all four windows.
QIcon programIcon();

} // namespace Resources
