#pragma once

#include <QString>

class QFile;

// The few file operations that need the system's own calls. FilesPlatform.cpp has a
// POSIX version and a Windows one.
namespace files::platform {

// Opens `fileName` for reading if it is a regular file (after following symbolic
// links). Never blocks, not even on a FIFO that no one writes to. Returns the reason
// for refusing, or an empty string on success.
QString OpenRegularFile(QFile &file, const QString &fileName);

// Puts the file's bytes on the disk. Returns the reason for failing, or an empty string.
QString Synchronize(QFile &file);

// Why this user may not replace `fileName`: its folder is gone, or it names a file
// this user may not write (a read-only file stays protected, though its folder would
// let a new file take its name). Returns an empty string when nothing stands in the way.
QString ReplaceRefused(const QString &fileName);

// Gives `from` the name `to` in one step, replacing whatever has that name; a
// symbolic link is replaced itself, never the file it points to. Returns the reason
// for failing, or an empty string.
QString Replace(const QString &from, const QString &to);

}   // namespace files::platform
