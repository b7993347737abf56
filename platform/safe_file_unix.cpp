// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file_system.h"

#include "atomic_replace_unix.h"
#include "in_place_write_unix.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

// A file whose identity a replacement would change is written in place; any other is replaced.
std::optional<QString> SafeFile::writeTarget(const QString &targetPath, qint64 sizeHint,
                                             const FilePieces &pieces, WriteCalls &calls)
{
    const QByteArray target = QFile::encodeName(targetPath);
    const QByteArray folder = QFile::encodeName(QFileInfo(targetPath).absolutePath());
    struct stat st = {};
    if (::stat(target.constData(), &st) != 0) {
        if (errno != ENOENT)
            return errorText(errno);
        return replaceAtomically(calls, target, folder, nullptr, pieces);
    }
    if (S_ISDIR(st.st_mode))
        return errorText(EISDIR);
    if (!S_ISREG(st.st_mode))
        return notRegularText();
    const bool keepIdentity = st.st_nlink > 1 || st.st_uid != ::geteuid()
                              || ::access(folder.constData(), W_OK) != 0;
    if (keepIdentity)
        return writeInPlace(calls, target, sizeHint, pieces);
    return replaceAtomically(calls, target, folder, &st, pieces);
}
