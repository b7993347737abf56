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

// Our own German texts: strerror() would speak the C library's language, usually English.
QString errorText(int error)
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

// A folder that exists but takes no new files (/proc, for one) answers ENOENT too.
QString errorTextIn(int error, const QByteArray &folder)
{
    if (error == ENOENT && isFolder(folder))
        return QStringLiteral("In diesem Ordner lassen sich keine Dateien anlegen.");
    return errorText(error);
}

} // namespace SafeFile
