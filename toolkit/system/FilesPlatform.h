#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// The few file operations that need the system's own calls. FilesPlatform.cpp has a
// POSIX version and a Windows one.
namespace files::platform {

// Opens `fileName` for reading if it is a regular file (after following symbolic
// links). Never blocks, not even on a FIFO that no one writes to. Returns the reason
// for refusing, or an empty string on success.
QString OpenRegularFile(QFile &file, const QString &fileName);

// Replaces `fileName` with `bytes` whole or not at all: a new file beside it takes the
// bytes, reaches the disk, and then takes the name in one step; a symbolic link of that
// name is replaced itself, never the file it points to. A regular file this user may
// not write stays protected, though its folder would let a new file take its name.
// Returns the reason for failing, or an empty string.
QString WriteReplacing(const QString &fileName, const QByteArray &bytes);

}   // namespace files::platform
