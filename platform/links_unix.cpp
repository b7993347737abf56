// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file_system.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

// The kernel's protected_symlinks rule, which does not apply when the program resolves a link
// itself: in a sticky folder everyone may write to (/tmp), a link that neither the user nor the
// folder's owner made could have been placed there to make the user overwrite another file.
std::optional<QString> SafeFile::refusedLink(const QString &link)
{
    const QByteArray path = QFile::encodeName(link);
    const QByteArray folder = QFile::encodeName(QFileInfo(link).absolutePath());
    struct stat linkStat = {};
    struct stat folderStat = {};
    if (::lstat(path.constData(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode)
        || ::stat(folder.constData(), &folderStat) != 0)
        return std::nullopt;
    const bool shared = (folderStat.st_mode & S_ISVTX) && (folderStat.st_mode & S_IWOTH);
    if (!shared || linkStat.st_uid == ::geteuid() || linkStat.st_uid == folderStat.st_uid)
        return std::nullopt;
    return QStringLiteral("„%1“ ist eine Verknüpfung, die ein anderer Benutzer in einem "
                          "gemeinsamen Ordner angelegt hat. Kollavo folgt ihr nicht; es wurde "
                          "nichts geschrieben.")
        .arg(QFileInfo(link).fileName());
}
