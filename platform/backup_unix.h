// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safe_file.h"
#include "temp_file_unix.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace SafeFile {

// The old contents of a file that is overwritten in place: in memory, or for a large file in a
// copy beside it, or in the temporary folder when its own folder is closed to us.
class Backup
{
public:
    Backup() = default;
    Backup(const Backup &) = delete;
    Backup &operator=(const Backup &) = delete;
    ~Backup();

    // 0 or an errno.
    int take(int fd, off_t size, const QByteArray &folder);
    // Writes the old contents back over `fd`: 0 or an errno.
    int restore(WriteCalls &calls, int fd) const;
    // Keeps the old contents in a file of their own, beside `target` or else in the temporary
    // folder, named after it; the path, or empty when that failed too.
    QString keep(const QByteArray &target);

private:
    int copyInto(int fd, const QByteArray &place);
    int keepAs(const QByteArray &name);

    off_t m_size = 0;
    bool m_inMemory = false;
    QByteArray m_bytes;
    TempFile m_copy;
};

// Puts the old contents back after `why` made an in-place write fail; `fd` is -1 when the
// failure already closed it. The message to show.
QString restoreAfter(WriteCalls &calls, Backup &backup, int fd, const QByteArray &target,
                     const struct stat &original, const QString &why);

} // namespace SafeFile
