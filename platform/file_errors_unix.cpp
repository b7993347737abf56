// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_errors_unix.h"

#include "safe_file_system.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

bool isFolder(const QByteArray &path)
{
    struct stat st = {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

namespace SafeFile {

// The numbers only POSIX systems report, or report with a meaning of their own.
QString errorText(int error)
{
    switch (error) {
    case EDQUOT:
        return standardErrorText(ENOSPC);
    case EAGAIN:
        return QStringLiteral("Die Datei ist gerade gesperrt oder vorübergehend nicht "
                              "verfügbar. Bitte später noch einmal versuchen.");
    case ELOOP:
        return QStringLiteral("Der Pfad enthält zu viele symbolische Verknüpfungen, "
                              "vielleicht eine, die auf sich selbst zeigt.");
    case EMLINK:
        return QStringLiteral("Die Datei hat zu viele Verknüpfungen.");
    case EBUSY:
        return QStringLiteral("Die Datei wird gerade von einem anderen Programm verwendet.");
    case ETXTBSY:
        return QStringLiteral("Die Datei ist ein laufendes Programm.");
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
        return standardErrorText(error);
    }
}

// A folder that exists but takes no new files (/proc, for one) answers ENOENT too.
QString errorTextIn(int error, const QByteArray &folder)
{
    if (error == ENOENT && isFolder(folder))
        return QStringLiteral("In diesem Ordner lassen sich keine Dateien anlegen.");
    return errorText(error);
}

} // namespace SafeFile
