// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safe_file.h"

#include <QtGlobal>

#include <cerrno>
#include <sys/types.h>

// The system calls of a save, each retried when a signal interrupted it; each returns 0 or the
// errno of the failure.
namespace SafeFile {

template <typename Call>
auto retried(Call call)
{
    decltype(call()) result;
    do
        result = call();
    while (result == -1 && errno == EINTR);
    return result;
}

WriteCalls &systemCalls();
int writeAll(WriteCalls &calls, int fd, const char *data, qint64 size);
int truncateTo(WriteCalls &calls, int fd, off_t length);
int syncFile(WriteCalls &calls, int fd);
int closeFile(WriteCalls &calls, int fd);
// Writes every piece; ENOMEM when a piece could not be made.
int writePieces(WriteCalls &calls, int fd, const FilePieces &pieces);
int readAt(int fd, char *data, qint64 size, off_t offset);

} // namespace SafeFile
