// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safe_file.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace SafeFile {

// The old contents of a file that is overwritten in place, complete and synced in a named copy
// beside it, or in the user's data folder when its own folder takes none. The copy stays on
// disk unless discard() is called, so that a killed program leaves the old contents behind.
class Backup
{
public:
    Backup() = default;
    Backup(const Backup &) = delete;
    Backup &operator=(const Backup &) = delete;
    ~Backup();

    // 0 or an errno.
    int take(int fd, off_t size, const QByteArray &target);
    // Writes the old contents back over `fd`: 0 or an errno.
    int restore(WriteCalls &calls, int fd) const;
    // Removes the copy: the file holds what it should.
    void discard();
    // The copy, once the user has been told where it is; the next start need not tell again.
    QString keep();

private:
    int copyTo(int fd, const QByteArray &name);

    off_t m_size = 0;
    int m_fd = -1;
    QByteArray m_name;
    QString m_record;
};

// Puts the old contents back after `why` made an in-place write fail; `fd` is -1 when the
// failure already closed it. The message to show.
QString restoreAfter(WriteCalls &calls, Backup &backup, int fd, const QByteArray &target,
                     const struct stat &original, const QString &why);

} // namespace SafeFile
