// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Whether the system would grant `bytes` more memory right now. Asks without touching the
// memory, so the answer costs nothing.
bool memoryAvailable(qint64 bytes);
