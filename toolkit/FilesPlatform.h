#pragma once

#include <QString>

class QFile;

// The few file operations that need the system's own calls. FilesPlatform.cpp has a
// POSIX version and a portable one over Qt.
namespace files::platform {

// Opens `fileName` for reading if it is a regular file (after following symbolic
// links). Never blocks, not even on a FIFO that no one writes to. Returns the reason
// for refusing, or an empty string on success.
QString OpenRegularFile(QFile &file, const QString &fileName);

// Puts the file's bytes on the disk. Returns the reason for failing, or an empty string.
QString Synchronize(QFile &file);

// Gives `from` the name `to` in one step, replacing whatever has that name; a
// symbolic link is replaced itself, never the file it points to. Returns the reason
// for failing, or an empty string.
QString Replace(const QString &from, const QString &to);

}   // namespace files::platform
