#include "system/FilesPlatform.h"

#include "system/Files.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <QDir>
#include <qt_windows.h>

#include <io.h>
#include <string>
#endif

namespace files::platform {

#ifdef Q_OS_UNIX

namespace {

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}   // namespace

QString OpenRegularFile(QFile &file, const QString &fileName)
{
    // O_NONBLOCK makes opening a FIFO without a writer return at once; the type is
    // then checked on the open descriptor, so a file swapped after a check by name
    // cannot slip through.
    const int descriptor
        = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return SystemReason(errno);
    struct stat status { };
    QString reason;
    if (::fstat(descriptor, &status) != 0)
        reason = SystemReason(errno);
    else if (S_ISDIR(status.st_mode))
        reason = Tr("Is a directory");
    else if (!S_ISREG(status.st_mode))
        reason = Tr("Not a regular file");
    else if (::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0)
        reason = SystemReason(errno);
    if (reason.isEmpty() && !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        reason = file.errorString();
    if (!reason.isEmpty())
        ::close(descriptor);
    return reason;
}

QString Synchronize(QFile &file)
{
    if (!file.flush())
        return file.errorString();
    if (::fsync(file.handle()) != 0)
        return SystemReason(errno);
    return {};
}

QString ReplaceRefused(const QString &fileName)
{
    // A working folder removed while the program runs still answers to ".", but a file
    // made in it would be lost at once; its link count tells it is gone.
    struct stat status { };
    if (::stat(QFile::encodeName(QFileInfo(fileName).path()).constData(), &status) != 0)
        return errno == ENOENT ? Tr("The folder does not exist") : SystemReason(errno);
    if (status.st_nlink == 0)
        return Tr("The folder no longer exists");
    // Only a regular file of the name is protected; a symbolic link is replaced itself.
    const QByteArray name = QFile::encodeName(fileName);
    if (::lstat(name.constData(), &status) == 0 && S_ISREG(status.st_mode)
        && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
        return SystemReason(errno);
    return {};
}

QString Replace(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return SystemReason(errno);
    // The new name must reach the disk too, or a power cut could bring back the old one.
    const int directory = ::open(
        QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return {};
}

#elif defined(Q_OS_WIN)

QString OpenRegularFile(QFile &file, const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return Tr("Is a directory");
    if (info.exists() && !info.isFile())
        return Tr("Not a regular file");
    file.setFileName(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return {};
}

QString Synchronize(QFile &file)
{
    if (!file.flush())
        return file.errorString();
    // Qt's flush empties only its own buffer; the system's cache must reach the disk
    // before the file takes the earlier one's name, or a power cut could leave it empty.
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (handle == INVALID_HANDLE_VALUE || !::FlushFileBuffers(handle))
        return qt_error_string(int(::GetLastError()));
    return {};
}

namespace {

std::wstring nativeName(const QString &fileName) { return QDir::toNativeSeparators(fileName).toStdWString(); }

}   // namespace

QString ReplaceRefused(const QString &fileName)
{
    if (!QFileInfo(QFileInfo(fileName).absolutePath()).isDir())
        return Tr("The folder does not exist");
    // The read-only attribute is the user's write protection; the folder would let
    // a new file take the name all the same.
    const DWORD attributes = ::GetFileAttributesW(nativeName(fileName).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0
        && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Tr("Permission denied");
    return {};
}

QString Replace(const QString &from, const QString &to)
{
    // One step: the name holds the old file or the new one, never neither; and the
    // call returns once the move is on the disk.
    if (!::MoveFileExW(nativeName(from).c_str(), nativeName(to).c_str(),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return qt_error_string(int(::GetLastError()));
    return {};
}

#else
#error "FilesPlatform.cpp has no version for this system"
#endif

}   // namespace files::platform
