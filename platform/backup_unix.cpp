// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup_unix.h"

#include "backup_record.h"
#include "posix_io_unix.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace SafeFile {

namespace {

constexpr qsizetype ChunkSize = qsizetype(1) << 16;

// The target opened again after its descriptor was lost to a failed close(), provided it is
// still the same file; -1 otherwise.
int reopen(const QByteArray &target, const struct stat &original)
{
    const int fd = retried([&] {
        return ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    });
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || st.st_dev != original.st_dev || st.st_ino != original.st_ino) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A new name in a folder lasts a power cut only once the folder itself is synced.
void syncFolderOf(const QByteArray &name)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(name)).absolutePath());
    const int fd = retried([&] { return ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int copyChunks(int from, int to, off_t size)
{
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    int error = 0;
    for (off_t at = 0; error == 0 && at < size;) {
        const qint64 n = std::min<qint64>(chunk.size(), size - at);
        error = readAt(from, chunk.data(), n, at);
        if (error == 0)
            error = writeAll(systemCalls(), to, chunk.constData(), n);
        at += n;
    }
    return error;
}

} // namespace

Backup::~Backup()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Backup::take(int fd, off_t size, const QByteArray &target)
{
    m_size = size;
    const QFileInfo info(QFile::decodeName(target));
    const QString name = backupName(info.fileName());
    int error = 0;
    for (const QString &place : {info.absolutePath(), backupFolder()}) {
        if (place.isEmpty())
            continue;
        const QByteArray base = QFile::encodeName(place + u'/' + name);
        for (int attempt = 1; attempt < 100; ++attempt) {
            const QByteArray copy =
                attempt == 1 ? base : base + '-' + QByteArray::number(attempt);
            error = copyTo(fd, copy);
            if (error == 0) {
                m_record = recordBackup(QFile::decodeName(m_name), info.absoluteFilePath());
                return 0;
            }
            if (error != EEXIST)
                break;
        }
    }
    return error;
}

// 0, EEXIST when `name` is taken, or another errno. Only the user may read the copy: the file
// may not be everyone's to read.
int Backup::copyTo(int fd, const QByteArray &name)
{
    const int copy = retried([&] {
        return ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    });
    if (copy < 0)
        return errno;
    int error = copyChunks(fd, copy, m_size);
    if (error == 0)
        error = syncFile(systemCalls(), copy);
    if (error != 0) {
        ::close(copy);
        ::unlink(name.constData());
        // Not EEXIST: the next name would fail the same way.
        return error == EEXIST ? EIO : error;
    }
    syncFolderOf(name);
    m_fd = copy;
    m_name = name;
    return 0;
}

int Backup::restore(WriteCalls &calls, int fd) const
{
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return errno;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    int error = 0;
    for (off_t at = 0; error == 0 && at < m_size;) {
        const qint64 n = std::min<qint64>(chunk.size(), m_size - at);
        error = readAt(m_fd, chunk.data(), n, at);
        if (error == 0)
            error = writeAll(calls, fd, chunk.constData(), n);
        at += n;
    }
    if (error == 0)
        error = truncateTo(calls, fd, m_size);
    if (error == 0)
        error = syncFile(calls, fd);
    return error;
}

void Backup::discard()
{
    if (!m_name.isEmpty())
        ::unlink(m_name.constData());
    forgetBackup(m_record);
    m_name.clear();
    m_record.clear();
}

QString Backup::keep()
{
    forgetBackup(m_record);
    m_record.clear();
    return QFile::decodeName(m_name);
}

QString restoreAfter(WriteCalls &calls, Backup &backup, int fd, const QByteArray &target,
                     const struct stat &original, const QString &why)
{
    if (fd < 0)
        fd = reopen(target, original);
    int error = fd < 0 ? EBADF : backup.restore(calls, fd);
    if (fd >= 0) {
        if (const int closed = closeFile(calls, fd); error == 0)
            error = closed;
    }
    if (error == 0) {
        backup.discard();
        return why + QStringLiteral(" Der alte Inhalt der Datei wurde wiederhergestellt.");
    }
    return why
           + QStringLiteral(" Der alte Inhalt ließ sich nicht wiederherstellen; eine Kopie "
                            "davon liegt in „%1“.")
                 .arg(backup.keep());
}

} // namespace SafeFile
