// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// A file for a writer that wants a name (the printer's PDF), read back and gone when this object
// is. Where the system can, it has no name in any folder, so a killed program leaves nothing.
class ScratchFile
{
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    // The name to write to; empty when no file could be made.
    QString name();
    // What was written to it.
    QByteArray bytes();

private:
    struct Data;
    std::unique_ptr<Data> d;
};
