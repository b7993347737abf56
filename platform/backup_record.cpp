// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup_record.h"

#include "safe_file.h"
#include "safe_file_system.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString RecordSuffix = QStringLiteral(".offen");

QString recordFolder()
{
    const QString folder = SafeFile::backupFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/.offen");
}

} // namespace

QString SafeFile::backupName(const QString &fileName)
{
    return QStringLiteral("%1.kollavo-alter-inhalt-%2-%3")
        .arg(fileName, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
        .arg(QCoreApplication::applicationPid());
}

QString SafeFile::backupFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        return QString();
    const QString copies = folder + QStringLiteral("/Sicherungskopien");
    return QDir().mkpath(copies) ? copies : QString();
}

// The record's name starts with the process id, so that the next start can tell whether the
// write is still running; its two lines hold the file and the copy.
QString SafeFile::recordBackup(const QString &copy, const QString &target)
{
    const QString folder = recordFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return QString();
    QFile record(folder + QStringLiteral("/%1-%2%3")
                              .arg(QCoreApplication::applicationPid())
                              .arg(QFileInfo(copy).fileName(), RecordSuffix));
    if (!record.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QString();
    const QByteArray text = target.toUtf8().toPercentEncoding() + '\n'
                            + copy.toUtf8().toPercentEncoding() + '\n';
    if (record.write(text) != text.size() || !record.flush() || !syncToDisk(record.handle())) {
        record.remove();
        return QString();
    }
    return record.fileName();
}

void SafeFile::forgetBackup(const QString &record)
{
    if (!record.isEmpty())
        QFile::remove(record);
}

QStringList interruptedWriteReports()
{
    QStringList reports;
    const QString folder = SafeFile::backupFolder();
    if (folder.isEmpty())
        return reports;
    const QDir records(folder + QStringLiteral("/.offen"));
    const QStringList names = records.entryList({QStringLiteral("*") + RecordSuffix},
                                                QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        bool numbered = false;
        const qint64 pid = name.section(u'-', 0, 0).toLongLong(&numbered);
        if (!numbered || pid == QCoreApplication::applicationPid() || SafeFile::processRunning(pid))
            continue;
        QFile record(records.filePath(name));
        if (!record.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = record.readAll().split('\n');
        record.close();
        if (lines.size() >= 2) {
            const QString target = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[0]));
            const QString copy = QString::fromUtf8(QByteArray::fromPercentEncoding(lines[1]));
            // A copy the user has removed meanwhile needs no word.
            if (QFileInfo::exists(copy)) {
                reports << QStringLiteral("Kollavo wurde beendet, während es die Datei „%1“ "
                                          "überschrieb. Der alte Inhalt dieser Datei liegt in "
                                          "„%2“; die Kopie wurde nicht gelöscht.")
                               .arg(target, copy);
            }
        }
        record.remove();
    }
    return reports;
}
