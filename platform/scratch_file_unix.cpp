// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratch_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>

// An unnamed file reached through /proc; a named temporary file where the system has no
// unnamed ones.
struct ScratchFile::Data
{
    int fd = -1;
    QTemporaryFile named{QDir::tempPath() + QStringLiteral("/kollavo-XXXXXX.pdf")};
};

ScratchFile::ScratchFile() : d(std::make_unique<Data>())
{
#ifdef O_TMPFILE
    d->fd = ::open(QFile::encodeName(QDir::tempPath()).constData(),
                   O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
}

ScratchFile::~ScratchFile()
{
    if (d->fd >= 0)
        ::close(d->fd);
}

QString ScratchFile::name()
{
    if (d->fd >= 0)
        return QStringLiteral("/proc/self/fd/%1").arg(d->fd);
    return d->named.open() ? d->named.fileName() : QString();
}

QByteArray ScratchFile::bytes()
{
    if (d->fd < 0) {
        d->named.seek(0);
        return d->named.readAll();
    }
    QFile file;
    if (!file.open(d->fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return QByteArray();
    return file.readAll();
}
