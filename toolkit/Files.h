#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing whole files, with failures thrown as Exception naming the
// file and the reason.
namespace files {

// The file's bytes. Refuses what is not a regular file (a directory, a FIFO that
// would block, a device) rather than hanging or reading forever.
QByteArray ReadAll(const QString &fileName);

// Replaces the file with `bytes` whole or not at all: the bytes go to a new file
// beside it, which then takes its name. A symbolic link of that name is replaced,
// never written through.
void WriteAtomically(const QString &fileName, const QByteArray &bytes);

}   // namespace files
