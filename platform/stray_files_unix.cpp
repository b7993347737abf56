// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file_system.h"
#include "temp_file_unix.h"

#include <QFile>

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A hidden temporary file that outlives this long is left over from an interrupted save.
constexpr time_t StrayAge = 60 * 60;

} // namespace

// This user's files only, and only where their process is gone or nobody has touched them for
// an hour.
void SafeFile::removeStrayTemporaries(const QString &folderPath)
{
    const QByteArray folder = QFile::encodeName(folderPath);
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const QByteArray prefix = TempPrefix;
    const QByteArray suffix = TempSuffix;
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(suffix))
            continue;
        struct stat st = {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const QByteArray middle = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        bool numbered = false;
        const qsizetype dash = middle.indexOf('-');
        const pid_t pid = dash > 0 ? middle.left(dash).toInt(&numbered) : 0;
        const bool orphan = numbered && pid > 0 && pid != ::getpid() && !processRunning(pid);
        if (orphan || now - st.st_mtime > StrayAge)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}
