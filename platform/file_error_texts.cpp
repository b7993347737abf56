// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file_system.h"

#include "memory_shortage.h"

#include <cerrno>

// Our own German texts: strerror() would speak the C library's language, usually English.
QString SafeFile::standardErrorText(int error)
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
    case EXDEV:
        return QStringLiteral("Die Datei liegt auf einem anderen Datenträger als ihr Ordner "
                              "und lässt sich deshalb nicht ersetzen.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Es sind zu viele Dateien gleichzeitig geöffnet.");
    case ENOMEM:
        // A failed write leaves the game as it was.
        return shortageReason();
    case EINVAL:
        return QStringLiteral("Der Dateiname ist auf diesem Datenträger nicht zulässig.");
    case EEXIST:
        return QStringLiteral("Es ließ sich kein freier Name für eine Zwischendatei finden.");
    default:
        return QStringLiteral("Unbekannter Fehler (Fehlernummer %1).").arg(error);
    }
}
