// SPDX-License-Identifier: GPL-3.0-or-later
#include "in_place_write_unix.h"

#include "backup_unix.h"
#include "file_errors_unix.h"
#include "posix_io_unix.h"
#include "safe_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<QString> SafeFile::writeInPlace(WriteCalls &calls, const QByteArray &target,
                                              qint64 sizeHint, const FilePieces &pieces)
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
    if (const int error = backup.take(fd, st.st_size, target)) {
        ::close(fd);
        return QStringLiteral("Die vorhandene Datei ließ sich nicht sichern und blieb deshalb "
                              "unverändert: %1")
            .arg(errorText(error));
    }

    // Reserving the space first lets a full disk fail before the old contents are touched; the
    // file keeps its size meanwhile, so that a write failing at once leaves it as it was. File
    // systems without reservation just skip this.
    int error = 0;
    if (sizeHint > st.st_size
        && retried([&] {
               return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(sizeHint));
           }) != 0
        && (errno == ENOSPC || errno == EDQUOT))
        error = errno;
    if (error == 0)
        error = writePieces(calls, fd, pieces);
    if (error == 0)
        error = truncateTo(calls, fd, ::lseek(fd, 0, SEEK_CUR));
    if (error == 0)
        error = syncFile(calls, fd);
    if (error == 0) {
        error = closeFile(calls, fd);
        if (error == 0) {
            backup.discard();
            return std::nullopt;
        }
        fd = -1;
    }
    return restoreAfter(calls, backup, fd, target, st, errorText(error));
}
