// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file.h"

#include "safe_file_system.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

QString SafeFile::notRegularText()
{
    return QStringLiteral("Das Ziel ist keine gewöhnliche Datei (etwa ein Gerät oder eine "
                          "Pipe); es wurde nichts geschrieben.");
}

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes)
{
    WriteCalls calls;
    return writeFileSafely(path, bytes, calls);
}

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes,
                                       WriteCalls &calls)
{
    ignoreFileSizeSignal();
    if (path.isEmpty())
        return SafeFile::errorText(ENOENT);

    // Through a symbolic link the file it points to is written, and the link stays.
    QString target = path;
    if (const QFileInfo info(path); info.isSymLink() && info.exists())
        target = info.canonicalFilePath();
    SafeFile::removeStrayTemporaries(QFileInfo(target).absolutePath());
    return SafeFile::writeTarget(target, bytes, calls);
}
