// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_files.h"

#include <QFile>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TestFiles {

struct FileSizeLimit::Saved
{
    rlimit limit{};
};

FileSizeLimit::FileSizeLimit(qint64 bytes) : m_saved(std::make_unique<Saved>())
{
    getrlimit(RLIMIT_FSIZE, &m_saved->limit);
    rlimit limit = m_saved->limit;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved->limit);
}

QString FileSizeLimit::unsupported()
{
    return QString();
}

QString hardLink(const QString &existing, const QString &link)
{
    if (::link(QFile::encodeName(existing).constData(), QFile::encodeName(link).constData()) == 0)
        return QString();
    return QStringLiteral("link() failed");
}

QString makeFifo(const QString &path)
{
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? QString()
                                                                  : QStringLiteral("mkfifo() failed");
}

QString fullDevice()
{
    return QStringLiteral("/dev/full");
}

QString readOnlyFilesIgnored()
{
    return geteuid() == 0 ? QStringLiteral("root may write anywhere") : QString();
}

QString folderPermissionsIgnored()
{
    return geteuid() == 0 ? QStringLiteral("root may write anywhere") : QString();
}

QString hardLinksReplaced()
{
    return QString();
}

std::optional<Identity> identity(const QString &path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return Identity{quint64(st.st_ino), quint64(st.st_nlink), quint32(st.st_mode)};
}

} // namespace TestFiles
