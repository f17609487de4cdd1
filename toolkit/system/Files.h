#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing whole files, with failures thrown as Exception naming the
// file and the reason.
namespace files {

// The file's bytes. Refuses what is not a regular file (a directory, a FIFO that
// would block, a device) rather than hanging or reading forever, and a file larger
// than 256 MB rather than running out of memory. Memory that runs out all the same
// throws std::bad_alloc, which the load reports.
QByteArray ReadAll(const QString &fileName);

// Replaces the file with `bytes` whole or not at all: the bytes go to a new file
// beside it, reach the disk, and then that file takes the name. A symbolic link of
// that name is replaced by a regular file, never written through. A process killed
// midway may leave the new file behind as "<name>.XXXXXX", never a part under the name.
// The file is named within its folder, never by the folder's full name, which may be
// bytes that are no text in the locale's encoding.
void WriteAtomically(const QString &fileName, const QByteArray &bytes);

// Throw "Cannot open file "<full name>": <reason>" and "Cannot save file ...".
[[noreturn]] void FailToOpen(const QString &fileName, const QString &reason);
[[noreturn]] void FailToSave(const QString &fileName, const QString &reason);

// Refuses to open the file when reading it would take more memory than is left.
void RequireMemoryToOpen(const QString &fileName, qint64 bytes);
// A failed allocation while the file was being opened or saved, reported as such.
[[noreturn]] void FailToOpenOutOfMemory(const QString &fileName);
[[noreturn]] void FailToSaveOutOfMemory(const QString &fileName);

}   // namespace files
