// SPDX-License-Identifier: GPL-3.0-or-later
// The safe writer on Windows: the new contents go into a temporary file beside the target,
// are flushed to the disk, and then replace the target in one step (ReplaceFileW, which keeps
// the old file's attributes and access rights; MoveFileExW where the file system cannot). On
// any failure the temporary file goes and the old file stays as it was.
#include "safe_file_system.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <new>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>

ssize_t WriteCalls::write(int fd, const void *data, size_t size)
{
    // The C runtime writes at most an unsigned int at a time.
    return ::_write(fd, data, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}

int WriteCalls::ftruncate(int fd, off_t length)
{
    return ::_chsize_s(fd, length) == 0 ? 0 : -1;
}

int WriteCalls::fsync(int fd)
{
    // FlushFileBuffers underneath.
    return ::_commit(fd);
}

int WriteCalls::close(int fd)
{
    return ::_close(fd);
}

// Windows has no signal for a file-size limit.
void ignoreFileSizeSignal() {}

namespace {

constexpr qint64 StrayAgeSeconds = 60 * 60;

QString inUseText()
{
    return QStringLiteral("Die Datei wird gerade von einem anderen Programm verwendet (etwa "
                          "von Excel). Bitte sie dort schließen und noch einmal speichern.");
}

// German texts for Windows' own error codes, the same words as for the C library's numbers.
QString windowsErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return SafeFile::errorText(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return SafeFile::errorText(EACCES);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        return inUseText();
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case 1295: // ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64 does not name
        return SafeFile::errorText(ENOSPC);
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return SafeFile::errorText(ENAMETOOLONG);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return SafeFile::errorText(EINVAL);
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_REM_NOT_LIST:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETWORK_BUSY:
    case ERROR_CONNECTION_ABORTED:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NOT_CONNECTED:
        return QStringLiteral("Die Verbindung zum Netzlaufwerk ist unterbrochen.");
    case ERROR_NOT_READY:
        return QStringLiteral("Das Gerät ist nicht bereit.");
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return SafeFile::errorText(ENOMEM);
    case ERROR_TOO_MANY_OPEN_FILES:
        return SafeFile::errorText(EMFILE);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return SafeFile::errorText(EEXIST);
    case ERROR_NOT_SAME_DEVICE:
        return SafeFile::errorText(EXDEV);
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return QStringLiteral("Der Datenträger unterstützt diesen Vorgang nicht.");
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return SafeFile::errorText(EIO);
    default:
        return QStringLiteral("Unbekannter Fehler (Windows-Fehlercode %1).").arg(error);
    }
}

// The path as Windows' wide calls take it: absolute, with backslashes, and with the prefix that
// lifts the limit of 260 characters (\\?\C:\… or \\?\UNC\server\share\…).
std::wstring widePath(const QString &path)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
    if (native.startsWith(QStringLiteral("\\\\?\\")))
        return native.toStdWString();
    if (native.startsWith(QStringLiteral("\\\\")))
        return (QStringLiteral("\\\\?\\UNC\\") + native.mid(2)).toStdWString();
    return (QStringLiteral("\\\\?\\") + native).toStdWString();
}

QString tempPathIn(const QString &folder)
{
    return folder + QStringLiteral("/.kollavo-%1-%2.tmp")
                        .arg(GetCurrentProcessId())
                        .arg(QRandomGenerator::global()->generate(), 0, 36);
}

struct Temp
{
    std::wstring path;
    int fd = -1;
};

// 0 or Windows' error code.
DWORD createTemp(const QString &folder, Temp &temp)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.path = widePath(tempPathIn(folder));
        // No one else may open it while it is being written.
        HANDLE handle = CreateFileW(temp.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS)
                continue;
            return error;
        }
        temp.fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (temp.fd < 0) {
            CloseHandle(handle);
            DeleteFileW(temp.path.c_str());
            return ERROR_TOO_MANY_OPEN_FILES;
        }
        return 0;
    }
    return ERROR_FILE_EXISTS;
}

// Empty, or why the pieces did not reach the disk; errno from the calls, as a test's own
// calls report it.
std::optional<QString> fill(WriteCalls &calls, int fd, const FilePieces &pieces)
{
    for (;;) {
        QByteArray piece;
        try {
            piece = pieces();
        } catch (const std::bad_alloc &) {
            return SafeFile::errorText(ENOSPC);
        }
        if (piece.isEmpty())
            break;
        const char *data = piece.constData();
        qint64 left = piece.size();
        while (left > 0) {
            const ssize_t n = calls.write(fd, data, static_cast<size_t>(left));
            if (n < 0)
                return SafeFile::errorText(errno);
            if (n == 0)
                return SafeFile::errorText(EIO);
            data += n;
            left -= n;
        }
    }
    if (calls.fsync(fd) != 0)
        return SafeFile::errorText(errno);
    return std::nullopt;
}

// Replaces `target` by `temp`, or gives it its name when there was no target; 0 or the error.
DWORD moveIntoPlace(const std::wstring &temp, const std::wstring &target, bool exists)
{
    if (exists) {
        if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                         nullptr, nullptr))
            return 0;
        const DWORD error = GetLastError();
        // Some network shares and FAT sticks cannot replace; everything else is final, and
        // without a backup name ReplaceFileW has left the target as it was.
        if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED
            && error != ERROR_INVALID_FUNCTION)
            return error;
    }
    if (MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return GetLastError();
}

} // namespace

QString SafeFile::errorText(int error)
{
    return error == EBUSY ? inUseText() : standardErrorText(error);
}

std::optional<QString> SafeFile::writeTarget(const QString &targetPath, qint64,
                                             const FilePieces &pieces, WriteCalls &calls)
{
    const std::wstring target = widePath(targetPath);
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    bool exists = true;
    if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &attributes)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return windowsErrorText(error);
        exists = false;
    }
    if (exists && (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return errorText(EISDIR);
    // Windows would replace a read-only file's name but not honour its protection.
    if (exists && (attributes.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return windowsErrorText(ERROR_ACCESS_DENIED);

    Temp temp;
    if (const DWORD error = createTemp(QFileInfo(targetPath).absolutePath(), temp))
        return windowsErrorText(error);
    std::optional<QString> failure = fill(calls, temp.fd, pieces);
    if (calls.close(temp.fd) != 0 && !failure)
        failure = errorText(errno);
    if (!failure) {
        if (const DWORD error = moveIntoPlace(temp.path, target, exists))
            failure = windowsErrorText(error);
    }
    if (failure)
        DeleteFileW(temp.path.c_str());
    return failure;
}

// A symbolic link on Windows takes an administrator (or developer mode) to make; it is followed.
std::optional<QString> SafeFile::refusedLink(const QString &)
{
    return std::nullopt;
}

bool SafeFile::processRunning(qint64 pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED; // another user's process runs
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

bool SafeFile::syncToDisk(int handle)
{
    return ::_commit(handle) == 0;
}

void SafeFile::removeStrayTemporaries(const QString &folder)
{
    const std::wstring pattern = widePath(folder + QStringLiteral("/.kollavo-*.tmp"));
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    do {
        ULARGE_INTEGER written;
        written.LowPart = found.ftLastWriteTime.dwLowDateTime;
        written.HighPart = found.ftLastWriteTime.dwHighDateTime;
        // 100-ns steps since 1601.
        const qint64 msecs = qint64(written.QuadPart / 10000) - 11644473600000LL;
        if (QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).secsTo(now) > StrayAgeSeconds) {
            // A file still open in another save is not deleted: Windows refuses.
            DeleteFileW(widePath(folder + QLatin1Char('/')
                                 + QString::fromWCharArray(found.cFileName))
                            .c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
