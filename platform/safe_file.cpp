// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

ssize_t WriteCalls::write(int fd, const void *data, size_t size)
{
    return ::write(fd, data, size);
}

int WriteCalls::ftruncate(int fd, off_t length)
{
    return ::ftruncate(fd, length);
}

int WriteCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int WriteCalls::close(int fd)
{
    return ::close(fd);
}

void ignoreFileSizeSignal()
{
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGXFSZ, &action, nullptr);
}

namespace {

// Up to this size the old contents of a file overwritten in place are kept in memory; the
// largest export of a full game is a few MB. Larger files are copied to disk instead.
constexpr off_t MemoryBackupLimit = 16 * 1024 * 1024;
// A hidden temporary file that outlives this long is left over from an interrupted save.
constexpr time_t StrayAge = 60 * 60;

// Our own German texts: strerror() would speak the C library's language, usually English.
QString reason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Der Ordner existiert nicht.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Der Zugriff wurde verweigert.");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Der Datenträger ist voll.");
    case EFBIG:
        return QStringLiteral("Die Datei ist zu groß.");
    case EISDIR:
        return QStringLiteral("Unter diesem Namen gibt es einen Ordner.");
    case ENAMETOOLONG:
        return QStringLiteral("Der Dateiname ist zu lang.");
    case EIO:
        return QStringLiteral("Beim Schreiben auf den Datenträger ist ein Fehler aufgetreten.");
    case EINTR:
        return QStringLiteral("Der Vorgang wurde unterbrochen.");
    case EAGAIN:
        return QStringLiteral("Die Datei ist gerade gesperrt oder vorübergehend nicht "
                              "verfügbar. Bitte später noch einmal versuchen.");
    case EXDEV:
        return QStringLiteral("Die Datei liegt auf einem anderen Datenträger als ihr Ordner "
                              "und lässt sich deshalb nicht ersetzen.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Es sind zu viele Dateien gleichzeitig geöffnet.");
    case ELOOP:
        return QStringLiteral("Der Pfad enthält zu viele symbolische Verknüpfungen, "
                              "vielleicht eine, die auf sich selbst zeigt.");
    case EMLINK:
        return QStringLiteral("Die Datei hat zu viele Verknüpfungen.");
    case EBUSY:
        return QStringLiteral("Die Datei wird gerade von einem anderen Programm verwendet.");
    case ETXTBSY:
        return QStringLiteral("Die Datei ist ein laufendes Programm.");
    case ENOMEM:
        return QStringLiteral("Der Arbeitsspeicher reicht nicht aus.");
    case EINVAL:
        return QStringLiteral("Der Dateiname ist auf diesem Datenträger nicht zulässig.");
    case EEXIST:
        return QStringLiteral("Es ließ sich kein freier Name für eine Zwischendatei finden.");
    case EOPNOTSUPP:
        return QStringLiteral("Der Datenträger unterstützt diesen Vorgang nicht.");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("Das Gerät ist nicht vorhanden.");
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ECONNRESET:
    case ECONNABORTED:
        return QStringLiteral("Die Verbindung zum Netzlaufwerk ist unterbrochen.");
    case EOVERFLOW:
        return QStringLiteral("Die vorhandene Datei ist zu groß für dieses Programm.");
    default:
        return QStringLiteral("Unbekannter Fehler (Fehlernummer %1).").arg(error);
    }
}

bool isFolder(const QByteArray &path)
{
    struct stat st = {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder that exists but takes no new files (/proc, for one) answers ENOENT too.
QString reasonIn(int error, const QByteArray &folder)
{
    if (error == ENOENT && isFolder(folder))
        return QStringLiteral("In diesem Ordner lassen sich keine Dateien anlegen.");
    return reason(error);
}

QString notRegular()
{
    return QStringLiteral("Das Ziel ist keine gewöhnliche Datei (etwa ein Gerät oder eine "
                          "Pipe); es wurde nichts geschrieben.");
}

template <typename Call>
auto retried(Call call)
{
    decltype(call()) result;
    do
        result = call();
    while (result == -1 && errno == EINTR);
    return result;
}

WriteCalls &systemCalls()
{
    static WriteCalls calls;
    return calls;
}

// 0 or the errno of the failed write.
int writeAll(WriteCalls &calls, int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = calls.write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // Nothing written and no error: asking again could go on for ever.
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int truncateTo(WriteCalls &calls, int fd, off_t length)
{
    return retried([&] { return calls.ftruncate(fd, length); }) == 0 ? 0 : errno;
}

int syncFile(WriteCalls &calls, int fd)
{
    return retried([&] { return calls.fsync(fd); }) == 0 ? 0 : errno;
}

// Linux releases the descriptor even when close() fails, so it is never called twice; EINTR
// then only says the call was interrupted, after the data had been synced.
int closeFile(WriteCalls &calls, int fd)
{
    return calls.close(fd) == 0 || errno == EINTR ? 0 : errno;
}

// 0, or the errno of the failed read; a file that ends early changed under us.
int readAt(int fd, char *data, qint64 size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = retried([&] { return ::pread(fd, data, size_t(size), offset); });
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
        offset += n;
    }
    return 0;
}

QByteArray tempName(const QByteArray &folder)
{
    return folder + "/.kollavo-" + QByteArray::number(::getpid()) + '-'
           + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
}

// A file that has no name until it is complete, so that a killed program leaves nothing behind.
// Where the file system has no unnamed files, a hidden name that removeStrays() cleans up.
struct TempFile
{
    int fd = -1;
    QByteArray name; // empty while unnamed
};

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

// Gives an unnamed file the name `name`; EEXIST when that is taken.
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

// Hidden temporary files of ours that an interrupted save left in `folder`: this user's, and
// either their process is gone or nobody has touched them for an hour.
void removeStrays(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const QByteArray prefix = ".kollavo-";
    const QByteArray suffix = ".tmp";
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(suffix))
            continue;
        struct stat st = {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const QByteArray middle = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        bool numbered = false;
        const qsizetype dash = middle.indexOf('-');
        const pid_t pid = dash > 0 ? middle.left(dash).toInt(&numbered) : 0;
        const bool orphan = numbered && pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0
                            && errno == ESRCH;
        if (orphan || now - st.st_mtime > StrayAge)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

QByteArray temporaryFolder()
{
    return QFile::encodeName(QDir::tempPath());
}

// The old contents of a file that is overwritten in place: in memory, or for a large file in a
// copy beside it, or in the temporary folder when its own folder is closed to us.
class Backup
{
public:
    Backup() = default;
    Backup(const Backup &) = delete;
    Backup &operator=(const Backup &) = delete;
    ~Backup()
    {
        if (m_copy.fd >= 0)
            ::close(m_copy.fd);
        if (!m_copy.name.isEmpty())
            ::unlink(m_copy.name.constData());
    }

    // 0 or an errno.
    int take(int fd, off_t size, const QByteArray &folder)
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

    // Writes the old contents back over `fd`: 0 or an errno.
    int restore(WriteCalls &calls, int fd) const
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

    // Keeps the old contents in a file of their own, beside `target` or else in the temporary
    // folder, named after it; the path, or empty when that failed too.
    QString keep(const QByteArray &target)
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

private:
    int copyInto(int fd, const QByteArray &place)
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
    int keepAs(const QByteArray &name)
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

    off_t m_size = 0;
    bool m_inMemory = false;
    QByteArray m_bytes;
    TempFile m_copy;
};

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

// Puts the old contents back after `why` made an in-place write fail; `fd` is -1 when the
// failure already closed it.
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

std::optional<QString> writeInPlace(WriteCalls &calls, const QByteArray &target,
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
        return reason(error);
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    Backup backup;
    if (const int error = backup.take(fd, st.st_size, folder)) {
        ::close(fd);
        return QStringLiteral("Die vorhandene Datei ließ sich nicht sichern und blieb deshalb "
                              "unverändert: %1")
            .arg(reason(error));
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
                return reason(reserved);
            fd = -1;
        }
        return restoreAfter(calls, backup, fd, target, st, reason(reserved));
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
    return restoreAfter(calls, backup, fd, target, st, reason(error));
}

std::optional<QString> replaceAtomically(WriteCalls &calls, const QByteArray &target,
                                         const QByteArray &folder, const struct stat *existing,
                                         const QByteArray &bytes, bool unnamed = true)
{
    // In the same folder, so that rename() swaps the files in one step; created with 0666 so
    // that the umask gives a new file its usual permissions.
    TempFile temp;
    if (const int error = createTemp(folder, O_WRONLY, 0666, unnamed, temp))
        return reasonIn(error, folder);

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
        error = writeAll(calls, temp.fd, bytes.constData(), bytes.size());
    if (error == 0)
        error = syncFile(calls, temp.fd);
    if (error == 0) {
        error = nameTemp(folder, temp);
        // Unnamed files are named through /proc; without it, a named file from the start.
        if (error == ENOENT && isFolder(folder)) {
            closeFile(calls, temp.fd);
            return replaceAtomically(calls, target, folder, existing, bytes, false);
        }
    }
    if (const int closed = closeFile(calls, temp.fd); error == 0)
        error = closed;
    if (error == 0
        && retried([&] { return ::rename(temp.name.constData(), target.constData()); }) != 0)
        error = errno;
    if (error != 0) {
        if (!temp.name.isEmpty())
            ::unlink(temp.name.constData());
        return reasonIn(error, folder);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes)
{
    return writeFileSafely(path, bytes, systemCalls());
}

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes,
                                       WriteCalls &calls)
{
    ignoreFileSizeSignal();
    if (path.isEmpty())
        return reason(ENOENT);

    // Through a symbolic link the file it points to is written, and the link stays.
    QString targetPath = path;
    if (const QFileInfo info(path); info.isSymLink() && info.exists())
        targetPath = info.canonicalFilePath();
    const QByteArray target = QFile::encodeName(targetPath);
    const QByteArray folder = QFile::encodeName(QFileInfo(targetPath).absolutePath());
    removeStrays(folder);

    struct stat st = {};
    if (::stat(target.constData(), &st) != 0) {
        if (errno != ENOENT)
            return reason(errno);
        return replaceAtomically(calls, target, folder, nullptr, bytes);
    }
    if (S_ISDIR(st.st_mode))
        return reason(EISDIR);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    const bool keepIdentity = st.st_nlink > 1 || st.st_uid != ::geteuid()
                              || ::access(folder.constData(), W_OK) != 0;
    if (keepIdentity)
        return writeInPlace(calls, target, folder, bytes);
    return replaceAtomically(calls, target, folder, &st, bytes);
}
