// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace Resources {

// The 31 × 31 image of die face `value` (1 to 6).
QPixmap face(int value);
// The program's icon, shared by all four windows.
QIcon programIcon();

} // namespace Resources
