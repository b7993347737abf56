// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratch_file.h"

#include <QDir>
#include <QTemporaryFile>

// Windows lets no second opener into a file that deletes itself on close, and the printer opens
// the file by name; so it is a named temporary file in the user's temporary folder.
struct ScratchFile::Data
{
    QTemporaryFile named{QDir::tempPath() + QStringLiteral("/kollavo-XXXXXX.pdf")};
};

ScratchFile::ScratchFile() : d(std::make_unique<Data>()) {}

ScratchFile::~ScratchFile() = default;

QString ScratchFile::name()
{
    if (!d->named.open())
        return QString();
    // The printer opens the file again by name; Windows lets it share a file opened for writing.
    return d->named.fileName();
}

QByteArray ScratchFile::bytes()
{
    d->named.seek(0);
    return d->named.readAll();
}
