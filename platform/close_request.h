// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

// Calls `requested` when the window manager asks `window` to close while a modal dialog blocks
// it. Qt drops such a request before the window sees it, so a click on the close box would be
// lost while a message waits.
void watchCloseWhileBlocked(QWidget &window, std::function<void()> requested);
