// SPDX-License-Identifier: GPL-3.0-or-later
#include "temp_file_unix.h"

#include "posix_io_unix.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <unistd.h>

namespace SafeFile {

namespace {

QByteArray tempName(const QByteArray &folder)
{
    return folder + '/' + TempPrefix + QByteArray::number(::getpid()) + '-'
           + QByteArray::number(QRandomGenerator::global()->generate(), 36) + TempSuffix;
}

} // namespace

int createTemp(const QByteArray &folder, int access, mode_t mode, bool unnamed, TempFile &file)
{
#ifndef O_TMPFILE
    Q_UNUSED(unnamed);
#else
    if (unnamed) {
        file.fd = retried([&] {
            return ::open(folder.constData(), O_TMPFILE | access | O_CLOEXEC, mode);
        });
        if (file.fd >= 0)
            return 0;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = tempName(folder);
        file.fd = retried([&] {
            return ::open(name.constData(), access | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        });
        if (file.fd >= 0) {
            file.name = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int linkUnnamed(int fd, const QByteArray &name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return retried([&] {
               return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                               AT_SYMLINK_FOLLOW);
           }) == 0
               ? 0
               : errno;
}

int nameTemp(const QByteArray &folder, TempFile &file)
{
    for (int attempt = 0; file.name.isEmpty() && attempt < 100; ++attempt) {
        const QByteArray name = tempName(folder);
        if (const int error = linkUnnamed(file.fd, name); error == 0)
            file.name = name;
        else if (error != EEXIST)
            return error;
    }
    return file.name.isEmpty() ? EEXIST : 0;
}

} // namespace SafeFile
