// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the old contents of a file written in place are kept while the write runs, and the
// record that lets the next start find a copy that a killed program left behind.
namespace SafeFile {

// The copy's name: the file's name, what it is, the time and the process, so that no two
// writes share one and a user who finds it knows what it holds.
QString backupName(const QString &fileName);
// For a file whose own folder takes no copy: the user's data folder, which the system does not
// empty at boot, as a temporary folder may be. Empty when it cannot be made.
QString backupFolder();

// Notes on disk that `copy` holds the old contents of `target`; the record's path, or empty.
QString recordBackup(const QString &copy, const QString &target);
void forgetBackup(const QString &record);

} // namespace SafeFile
