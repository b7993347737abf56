// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory_probe.h"

#include <sys/mman.h>

bool memoryAvailable(qint64 bytes)
{
    // Mapped and given back untouched: it costs no memory, and unlike malloc it leaves the
    // allocator's thresholds as they were.
    const auto size = static_cast<std::size_t>(bytes);
    void *block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return false;
    munmap(block, size);
    return true;
}
