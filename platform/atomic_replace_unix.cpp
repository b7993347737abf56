// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomic_replace_unix.h"

#include "file_errors_unix.h"
#include "posix_io_unix.h"
#include "temp_file_unix.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

std::optional<QString> SafeFile::replaceAtomically(WriteCalls &calls, const QByteArray &target,
                                                   const QByteArray &folder,
                                                   const struct stat *existing,
                                                   const FilePieces &pieces)
{
    // Unnamed files are named through /proc; without it, a named file from the start. Decided
    // before anything is written: the pieces can be asked for only once.
    const bool unnamed = ::access("/proc/self/fd", X_OK) == 0;
    // In the same folder, so that rename() swaps the files in one step; created with 0666 so
    // that the umask gives a new file its usual permissions.
    TempFile temp;
    if (const int error = createTemp(folder, O_WRONLY, 0666, unnamed, temp))
        return errorTextIn(error, folder);

    int error = 0;
    if (existing) {
        // Only a group the user belongs to can be given; otherwise the new file keeps the one
        // it was created with. Before the mode, as a change of group may clear the
        // set-group-ID bit.
        [[maybe_unused]] const int regrouped = ::fchown(temp.fd, uid_t(-1), existing->st_gid);
        if (::fchmod(temp.fd, existing->st_mode & 07777) != 0)
            error = errno;
    }
    if (error == 0)
        error = writePieces(calls, temp.fd, pieces);
    if (error == 0)
        error = syncFile(calls, temp.fd);
    if (error == 0)
        error = nameTemp(folder, temp);
    if (const int closed = closeFile(calls, temp.fd); error == 0)
        error = closed;
    if (error == 0
        && retried([&] { return ::rename(temp.name.constData(), target.constData()); }) != 0)
        error = errno;
    if (error != 0) {
        if (!temp.name.isEmpty())
            ::unlink(temp.name.constData());
        return errorTextIn(error, folder);
    }
    return std::nullopt;
}
