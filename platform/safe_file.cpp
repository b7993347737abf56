// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    default:
        return QStringLiteral("Unbekannter Fehler (Fehlernummer %1).").arg(error);
    }
}

QString notRegular()
{
    return QStringLiteral("Das Ziel ist keine gewöhnliche Datei (etwa ein Gerät oder eine "
                          "Pipe); es wurde nichts geschrieben.");
}

// A file-size limit (ulimit -f) makes the kernel send SIGXFSZ, whose default action ends the
// process and the game with it. Ignored, the write fails with EFBIG instead and is reported like
// any other failure. Set here, before the first write, so every caller is covered without
// main() having to know; nothing else in the program handles this signal.
void ignoreFileSizeSignal()
{
    static const bool ignored = [] {
        struct sigaction action = {};
        action.sa_handler = SIG_IGN;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGXFSZ, &action, nullptr) == 0;
    }();
    Q_UNUSED(ignored);
}

// 0 or the errno of the failed write.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    for (qsizetype left = bytes.size(); left > 0;) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        left -= n;
    }
    return 0;
}

std::optional<QString> writeInPlace(const QByteArray &target, const QByteArray &bytes)
{
    // O_NONBLOCK: should a FIFO have taken the file's place since it was looked at, opening it
    // must not wait for a reader.
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return reason(errno);
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    // Reserving the space first lets a full disk or a size limit fail before the old contents
    // are touched; file systems without reservation just skip this.
    const int reserved = ::posix_fallocate(fd, 0, std::max<off_t>(bytes.size(), 1));
    if (reserved == ENOSPC || reserved == EDQUOT || reserved == EFBIG) {
        // The reservation may have grown the file; if cutting it back fails, the old contents
        // are still there, only followed by zeros.
        [[maybe_unused]] const int cut = ::ftruncate(fd, st.st_size);
        ::close(fd);
        return reason(reserved);
    }
    int error = writeAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, bytes.size()) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? std::nullopt : std::optional<QString>(reason(error));
}

std::optional<QString> replaceAtomically(const QByteArray &target, const QByteArray &folder,
                                         const struct stat *existing, const QByteArray &bytes)
{
    // A new name in the same folder, so that rename() swaps the files in one step; created
    // with 0666 so that the umask gives a new file its usual permissions.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = folder + "/.kollavo-"
                    + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return reason(errno);
    }
    if (fd < 0)
        return reason(EEXIST);

    int error = 0;
    if (existing && ::fchmod(fd, existing->st_mode & 07777) != 0)
        error = errno;
    if (error == 0)
        error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return reason(error);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes)
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

    struct stat st = {};
    if (::stat(target.constData(), &st) != 0) {
        if (errno != ENOENT)
            return reason(errno);
        return replaceAtomically(target, folder, nullptr, bytes);
    }
    if (S_ISDIR(st.st_mode))
        return reason(EISDIR);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    const bool keepIdentity = st.st_nlink > 1 || st.st_uid != ::geteuid()
                              || ::access(folder.constData(), W_OK) != 0;
    if (keepIdentity)
        return writeInPlace(target, bytes);
    return replaceAtomically(target, folder, &st, bytes);
}
