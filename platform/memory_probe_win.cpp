// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory_probe.h"

#include <windows.h>

bool memoryAvailable(qint64 bytes)
{
    // Committing charges the system's commit limit at once, so a refusal here is the refusal a
    // real allocation would meet; released untouched, no page is ever made.
    void *block = VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_RESERVE | MEM_COMMIT,
                               PAGE_READWRITE);
    if (!block)
        return false;
    VirtualFree(block, 0, MEM_RELEASE);
    return true;
}
