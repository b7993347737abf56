// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>
#include <optional>

// What the file tests do to files that each system does its own way. A function that returns
// a QString returns why this system cannot do it, or nothing when it did.
namespace TestFiles {

// Limits the size of every file this process writes while it exists.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    // Why the system has no such limit; empty where it has.
    static QString unsupported();

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

QString hardLink(const QString &existing, const QString &link);
QString makeFifo(const QString &path);
// A device that takes no data, or empty.
QString fullDevice();
// Why a file without write permission may still be written (root).
QString readOnlyFilesIgnored();
// Why a folder without write permission still takes new files (root, or no such permission).
QString folderPermissionsIgnored();
// Why the program's writer does not keep a file's hard links here.
QString hardLinksReplaced();

// What stays the same when a file is written in place and changes when it is replaced.
struct Identity
{
    quint64 file = 0;
    quint64 links = 0;
    quint32 mode = 0;
};
std::optional<Identity> identity(const QString &path);

} // namespace TestFiles
