// SPDX-License-Identifier: GPL-3.0-or-later
#include "in_place_write_unix.h"

#include "backup_unix.h"
#include "file_errors_unix.h"
#include "posix_io_unix.h"
#include "safe_file_system.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<QString> SafeFile::writeInPlace(WriteCalls &calls, const QByteArray &target,
                                              const QByteArray &folder, const QByteArray &bytes)
{
    // O_NONBLOCK: should a FIFO have taken the file's place since it was looked at, opening it
    // must not wait for a reader. Read access too, for the backup.
    const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = retried([&] { return ::open(target.constData(), O_RDWR | flags); });
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES) {
            if (const int writable = ::open(target.constData(), O_WRONLY | flags); writable >= 0) {
                ::close(writable);
                return QStringLiteral("Die vorhandene Datei lässt sich nicht lesen und deshalb "
                                      "nicht sichern; sie blieb unverändert.");
            }
        }
        return errorText(error);
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegularText();
    }
    Backup backup;
    if (const int error = backup.take(fd, st.st_size, folder)) {
        ::close(fd);
        return QStringLiteral("Die vorhandene Datei ließ sich nicht sichern und blieb deshalb "
                              "unverändert: %1")
            .arg(errorText(error));
    }

    // Reserving the space first lets a full disk or a size limit fail before the old contents
    // are touched; file systems without reservation just skip this.
    int reserved = 0;
    do
        reserved = ::posix_fallocate(fd, 0, std::max<off_t>(bytes.size(), 1));
    while (reserved == EINTR);
    if (reserved == ENOSPC || reserved == EDQUOT || reserved == EFBIG) {
        // The reservation may only have grown the file; cutting it back is all it takes.
        if (truncateTo(calls, fd, st.st_size) == 0 && syncFile(calls, fd) == 0) {
            if (closeFile(calls, fd) == 0)
                return errorText(reserved);
            fd = -1;
        }
        return restoreAfter(calls, backup, fd, target, st, errorText(reserved));
    }

    int error = writeAll(calls, fd, bytes.constData(), bytes.size());
    if (error == 0)
        error = truncateTo(calls, fd, bytes.size());
    if (error == 0)
        error = syncFile(calls, fd);
    if (error == 0) {
        error = closeFile(calls, fd);
        if (error == 0)
            return std::nullopt;
        fd = -1;
    }
    return restoreAfter(calls, backup, fd, target, st, errorText(error));
}
