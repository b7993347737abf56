// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_files.h"

#include <QDir>

#include <windows.h>

namespace TestFiles {

struct FileSizeLimit::Saved
{
};

FileSizeLimit::FileSizeLimit(qint64) {}

FileSizeLimit::~FileSizeLimit() = default;

QString FileSizeLimit::unsupported()
{
    return QStringLiteral("Windows has no limit on the size of the files a process writes");
}

QString hardLink(const QString &existing, const QString &link)
{
    if (CreateHardLinkW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(link).utf16()),
                        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(existing).utf16()),
                        nullptr))
        return QString();
    return QStringLiteral("CreateHardLinkW failed with %1").arg(GetLastError());
}

QString makeFifo(const QString &)
{
    return QStringLiteral("Windows has no named pipes in its file system");
}

QString fullDevice()
{
    return QString();
}

QString readOnlyFilesIgnored()
{
    return QString();
}

QString folderPermissionsIgnored()
{
    return QStringLiteral("Windows ignores a folder's read-only attribute");
}

QString hardLinksReplaced()
{
    return QStringLiteral("on Windows the writer replaces a hard-linked file like any other");
}

std::optional<Identity> identity(const QString &path)
{
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                              0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return Identity{(quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                    info.nNumberOfLinks, quint32(info.dwFileAttributes)};
}

} // namespace TestFiles
