// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file.h"

#include "safe_file_system.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

FilePieces onePiece(const QByteArray &bytes)
{
    return [bytes, given = false]() mutable {
        if (given)
            return QByteArray();
        given = true;
        return bytes;
    };
}

// The missing file a chain of links ends in; empty when it ends in a loop.
QString danglingEnd(QFileInfo link)
{
    for (int hop = 0; hop < 40 && link.isSymLink(); ++hop)
        link = QFileInfo(link.symLinkTarget());
    return link.isSymLink() || link.exists() ? QString() : link.absoluteFilePath();
}

} // namespace

QString SafeFile::notRegularText()
{
    return QStringLiteral("Das Ziel ist keine gewöhnliche Datei (etwa ein Gerät oder eine "
                          "Pipe); es wurde nichts geschrieben.");
}

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes)
{
    WriteCalls calls;
    return writeFileSafely(path, bytes.size(), onePiece(bytes), calls);
}

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes,
                                       WriteCalls &calls)
{
    return writeFileSafely(path, bytes.size(), onePiece(bytes), calls);
}

std::optional<QString> writeFileSafely(const QString &path, qint64 sizeHint,
                                       const FilePieces &pieces)
{
    WriteCalls calls;
    return writeFileSafely(path, sizeHint, pieces, calls);
}

std::optional<QString> writeFileSafely(const QString &path, qint64 sizeHint,
                                       const FilePieces &pieces, WriteCalls &calls)
{
    ignoreFileSizeSignal();
    if (path.isEmpty())
        return SafeFile::errorText(ENOENT);

    // Through a symbolic link the file it points to is written, and the link stays.
    QString target = path;
    if (const QFileInfo info(path); info.isSymLink()) {
        if (const auto refused = SafeFile::refusedLink(path))
            return refused;
        if (info.exists())
            target = info.canonicalFilePath();
        else if (const QString missing = danglingEnd(info); !missing.isEmpty())
            // Not a new file in the link's place: the user chose the name of the link.
            return QStringLiteral("„%1“ ist eine Verknüpfung auf „%2“, und diese Datei gibt es "
                                  "nicht; es wurde nichts geschrieben.")
                .arg(info.fileName(), missing);
    }
    SafeFile::removeStrayTemporaries(QFileInfo(target).absolutePath());
    return SafeFile::writeTarget(target, sizeHint, pieces, calls);
}
