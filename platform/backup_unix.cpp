// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup_unix.h"

#include "posix_io_unix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace SafeFile {

namespace {

// Up to this size the old contents of a file overwritten in place are kept in memory; the
// largest export of a full game is a few MB. Larger files are copied to disk instead.
constexpr off_t MemoryBackupLimit = 16 * 1024 * 1024;

QByteArray temporaryFolder()
{
    return QFile::encodeName(QDir::tempPath());
}

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

} // namespace

Backup::~Backup()
{
    if (m_copy.fd >= 0)
        ::close(m_copy.fd);
    if (!m_copy.name.isEmpty())
        ::unlink(m_copy.name.constData());
}

int Backup::take(int fd, off_t size, const QByteArray &folder)
{
    m_size = size;
    if (size <= MemoryBackupLimit) {
        try {
            m_bytes.resize(qsizetype(size));
            m_inMemory = true;
            return readAt(fd, m_bytes.data(), size, 0);
        } catch (const std::bad_alloc &) {
            m_bytes = QByteArray();
            m_inMemory = false;
        }
    }
    int error = 0;
    for (const QByteArray &place : {folder, temporaryFolder()}) {
        error = copyInto(fd, place);
        if (error == 0)
            return 0;
    }
    return error;
}

int Backup::restore(WriteCalls &calls, int fd) const
{
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return errno;
    int error = 0;
    if (m_inMemory) {
        error = writeAll(calls, fd, m_bytes.constData(), m_size);
    } else {
        QByteArray chunk(qsizetype(1) << 16, Qt::Uninitialized);
        for (off_t at = 0; error == 0 && at < m_size;) {
            const qint64 n = std::min<qint64>(chunk.size(), m_size - at);
            error = readAt(m_copy.fd, chunk.data(), n, at);
            if (error == 0)
                error = writeAll(calls, fd, chunk.constData(), n);
            at += n;
        }
    }
    if (error == 0)
        error = truncateTo(calls, fd, m_size);
    if (error == 0)
        error = syncFile(calls, fd);
    return error;
}

QString Backup::keep(const QByteArray &target)
{
    const QFileInfo info(QFile::decodeName(target));
    const QByteArray base = QFile::encodeName(info.fileName()) + ".alt";
    for (const QByteArray &place : {QFile::encodeName(info.absolutePath()), temporaryFolder()}) {
        for (int attempt = 1; attempt < 100; ++attempt) {
            const QByteArray name =
                place + '/' + base + (attempt > 1 ? QByteArray::number(attempt) : QByteArray());
            const int error = keepAs(name);
            if (error == 0)
                return QFile::decodeName(name);
            if (error != EEXIST)
                break;
        }
    }
    return QString();
}

int Backup::copyInto(int fd, const QByteArray &place)
{
    // Only the user may read the copy: the file may not be everyone's to read.
    TempFile copy;
    int error = createTemp(place, O_RDWR, 0600, true, copy);
    QByteArray chunk(qsizetype(1) << 16, Qt::Uninitialized);
    for (off_t at = 0; error == 0 && at < m_size;) {
        const qint64 n = std::min<qint64>(chunk.size(), m_size - at);
        error = readAt(fd, chunk.data(), n, at);
        if (error == 0)
            error = writeAll(systemCalls(), copy.fd, chunk.constData(), n);
        at += n;
    }
    if (error == 0) {
        m_copy = copy;
        return 0;
    }
    if (copy.fd >= 0)
        ::close(copy.fd);
    if (!copy.name.isEmpty())
        ::unlink(copy.name.constData());
    return error;
}

// 0, EEXIST when `name` is taken, or another errno.
int Backup::keepAs(const QByteArray &name)
{
    if (!m_inMemory) {
        // Only within the copy's own file system; link() never replaces an existing file.
        const int error = m_copy.name.isEmpty()
                              ? linkUnnamed(m_copy.fd, name)
                              : (::link(m_copy.name.constData(), name.constData()) == 0 ? 0
                                                                                      : errno);
        if (error == 0 && !m_copy.name.isEmpty()) {
            ::unlink(m_copy.name.constData());
            m_copy.name.clear();
        }
        return error;
    }
    const int fd = retried([&] {
        return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    });
    if (fd < 0)
        return errno;
    int error = writeAll(systemCalls(), fd, m_bytes.constData(), m_size);
    if (error == 0)
        error = syncFile(systemCalls(), fd);
    if (const int closed = closeFile(systemCalls(), fd); error == 0)
        error = closed;
    if (error != 0) {
        ::unlink(name.constData());
        // Not EEXIST: the next name would fail the same way.
        return error == EEXIST ? EIO : error;
    }
    return 0;
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
    if (error == 0)
        return why + QStringLiteral(" Der alte Inhalt der Datei wurde wiederhergestellt.");
    const QString copy = backup.keep(target);
    if (copy.isEmpty())
        return why + QStringLiteral(" Der alte Inhalt ließ sich nicht wiederherstellen.");
    return why
           + QStringLiteral(" Der alte Inhalt ließ sich nicht wiederherstellen; eine Kopie "
                            "davon liegt in „%1“.")
                 .arg(copy);
}

} // namespace SafeFile
