// SPDX-License-Identifier: GPL-3.0-or-later
#include "close_request.h"

// Windows disables the owner of a modal dialog: its close box takes no click while a message
// waits, so there is no request to lose.
void watchCloseWhileBlocked(QWidget &, std::function<void()>)
{
}
