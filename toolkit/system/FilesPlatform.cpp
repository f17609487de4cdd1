#include "system/FilesPlatform.h"

#include "system/Texts.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <QDir>
#include <QTemporaryFile>
#include <qt_windows.h>

#include <io.h>
#include <optional>
#include <string>
#endif

namespace files::platform {

namespace {

// Qt reports a write that the disk cuts short as a short count with no error; the next
// write of the rest then fails with the reason.
QString WriteAll(QFile &file, const QByteArray &bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        ClearSystemError();
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return FileErrorReason(file);
        written += count;
    }
    return {};
}

}   // namespace

#ifdef Q_OS_UNIX

namespace {

// Puts the file's bytes on the disk: Qt's buffer first, then the system's cache. A
// small list sits in Qt's buffer until here, so a full disk shows first at the flush.
QString Synchronize(QFile &file)
{
    ClearSystemError();
    if (!file.flush())
        return FileErrorReason(file);
    if (::fsync(file.handle()) != 0)
        return SystemErrorReason(errno);
    return {};
}

class Descriptor {
public:
    explicit Descriptor(int value)
        : value_(value)
    {
    }
    ~Descriptor()
    {
        if (value_ >= 0)
            ::close(value_);
    }
    Q_DISABLE_COPY_MOVE(Descriptor)

    int get() const { return value_; }

private:
    int value_;
};

// The name the new file holds until it takes the one it replaces; it goes on every
// way out but success.
class TemporaryName {
public:
    explicit TemporaryName(int folder)
        : folder_(folder)
    {
    }
    ~TemporaryName()
    {
        if (!name_.isEmpty())
            ::unlinkat(folder_, name_.constData(), 0);
    }
    Q_DISABLE_COPY_MOVE(TemporaryName)

    const QByteArray &name() const { return name_; }
    void set(const QByteArray &name) { name_ = name; }
    void release() { name_.clear(); }

private:
    int folder_;
    QByteArray name_;
};

constexpr int maximumNameAttempts = 100;

// "<name>.XXXXXX" with six random letters or digits, as a leftover is named elsewhere.
QByteArray CandidateName(const QByteArray &name)
{
    static constexpr char characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray candidate = name + '.';
    for (int i = 0; i < 6; ++i)
        candidate += characters[QRandomGenerator::global()->bounded(int(sizeof characters) - 1)];
    return candidate;
}

// A new file in `folder` to write. Where the system can make one without a name (Linux's
// O_TMPFILE, named later through /proc), a save killed before it is named leaves
// nothing behind.
int OpenNewFile(int folder, const QByteArray &name, TemporaryName &temporary)
{
#ifdef O_TMPFILE
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int descriptor = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, S_IRUSR | S_IWUSR);
        // EISDIR: a kernel that predates such files; EOPNOTSUPP: a file system without them.
        if (descriptor >= 0 || (errno != EOPNOTSUPP && errno != EISDIR))
            return descriptor;
    }
#endif
    for (int attempt = 0; attempt < maximumNameAttempts; ++attempt) {
        const QByteArray candidate = CandidateName(name);
        const int descriptor = ::openat(folder, candidate.constData(),
            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (descriptor >= 0)
            temporary.set(candidate);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// Gives a new file made without a name one beside `name`; returns false with errno set.
bool NameNewFile(int descriptor, int folder, const QByteArray &name, TemporaryName &temporary)
{
    if (!temporary.name().isEmpty())
        return true;
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(descriptor);
    for (int attempt = 0; attempt < maximumNameAttempts; ++attempt) {
        const QByteArray candidate = CandidateName(name);
        if (::linkat(AT_FDCWD, path.constData(), folder, candidate.constData(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.set(candidate);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

}   // namespace

QString OpenRegularFile(QFile &file, const QString &fileName)
{
    // O_NONBLOCK makes opening a FIFO without a writer return at once; the type is
    // then checked on the open descriptor, so a file swapped after a check by name
    // cannot slip through.
    const int descriptor
        = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return SystemErrorReason(errno);
    struct stat status { };
    QString reason;
    if (::fstat(descriptor, &status) != 0)
        reason = SystemErrorReason(errno);
    else if (S_ISDIR(status.st_mode))
        reason = SystemTexts::tr("it is a folder");
    else if (!S_ISREG(status.st_mode))
        reason = SystemTexts::tr("it is not a regular file but a device or a pipe");
    else if (::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0)
        reason = SystemErrorReason(errno);
    ClearSystemError();
    if (reason.isEmpty() && !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        reason = FileErrorReason(file);
    if (!reason.isEmpty())
        ::close(descriptor);
    return reason;
}

QString WriteReplacing(const QString &fileName, const QByteArray &bytes)
{
    // Everything happens in the folder held open, by the file's own name: the folder's
    // full name may be bytes that are no text in the locale's encoding (an old disk's
    // ISO-8859-2 name under UTF-8), which would not survive a trip through QString.
    // QTemporaryFile is not used for that reason: it makes its name absolute.
    const QFileInfo names(fileName);
    const QByteArray folderName = QFile::encodeName(names.path());
    int opened = ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool syncable = opened >= 0;
#ifdef O_PATH
    // A folder this user may write and enter but not list is still one to save into.
    if (opened < 0 && errno == EACCES)
        opened = ::open(folderName.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    const Descriptor folder(opened);
    if (folder.get() < 0)
        return errno == ENOENT ? SystemTexts::tr("the folder does not exist") : SystemErrorReason(errno);
    // A working folder removed while the program runs still answers to ".", but a file
    // made in it would be lost at once; its link count tells it is gone.
    struct stat status { };
    if (::fstat(folder.get(), &status) != 0)
        return SystemErrorReason(errno);
    if (status.st_nlink == 0)
        return SystemTexts::tr("the folder no longer exists");

    // A new file is readable by all, as a file saved by any editor; one that is replaced
    // keeps its permissions. Only a regular file of the name is protected; a symbolic
    // link is replaced itself.
    const QByteArray name = QFile::encodeName(names.fileName());
    mode_t mode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
    if (::fstatat(folder.get(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(status.st_mode))
            return SystemTexts::tr("it is a folder");
        if (S_ISREG(status.st_mode)) {
            if (::faccessat(folder.get(), name.constData(), W_OK, AT_EACCESS) != 0)
                return SystemErrorReason(errno);
            mode = status.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
        }
    }

    TemporaryName temporary(folder.get());
    const int descriptor = OpenNewFile(folder.get(), name, temporary);
    if (descriptor < 0)
        return SystemErrorReason(errno);
    QFile file;
    ClearSystemError();
    if (!file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return FileErrorReason(file);
    }
    // The mode as asked for, whatever the umask.
    ::fchmod(descriptor, mode);
    QString reason = WriteAll(file, bytes);
    if (reason.isEmpty())
        reason = Synchronize(file);
    if (reason.isEmpty() && !NameNewFile(descriptor, folder.get(), name, temporary))
        reason = SystemErrorReason(errno);
    if (!reason.isEmpty())
        return reason;
    file.close();
    if (::renameat(folder.get(), temporary.name().constData(), folder.get(), name.constData()) != 0)
        return SystemErrorReason(errno);
    temporary.release();

    // The new name must reach the disk too, or a power cut could bring back the earlier
    // file. A file system that cannot sync a folder says EINVAL; any other failure is
    // told, since the user would otherwise trust a save that may not last.
    if (syncable && ::fsync(folder.get()) != 0 && errno != EINVAL && errno != EOPNOTSUPP)
        return SystemTexts::tr(
            "the new file took the name, but its folder could not be written to the disk, so "
            "a power failure may bring back the earlier file: %1")
            .arg(SystemErrorReason(errno));
    return {};
}

#elif defined(Q_OS_WIN)

namespace {

QString Synchronize(QFile &file)
{
    ClearSystemError();
    if (!file.flush())
        return FileErrorReason(file);
    // Qt's flush empties only its own buffer; the system's cache must reach the disk
    // before the file takes the earlier one's name, or a power cut could leave it empty.
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (handle == INVALID_HANDLE_VALUE || !::FlushFileBuffers(handle))
        return SystemErrorReason(int(::GetLastError()));
    return {};
}

std::wstring nativeName(const QString &fileName) { return QDir::toNativeSeparators(fileName).toStdWString(); }

QString ReplaceRefused(const QString &fileName)
{
    if (!QFileInfo(QFileInfo(fileName).absolutePath()).isDir())
        return SystemTexts::tr("the folder does not exist");
    // The read-only attribute is the user's write protection; the folder would let
    // a new file take the name all the same.
    const DWORD attributes = ::GetFileAttributesW(nativeName(fileName).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0
        && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return SystemTexts::tr("the file is read-only");
    return {};
}

QString Replace(const QString &from, const QString &to)
{
    // One step: the name holds the old file or the new one, never neither; and the
    // call returns once the move is on the disk.
    if (!::MoveFileExW(nativeName(from).c_str(), nativeName(to).c_str(),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return SystemErrorReason(int(::GetLastError()));
    return {};
}

}   // namespace

QString OpenRegularFile(QFile &file, const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return SystemTexts::tr("it is a folder");
    if (info.exists() && !info.isFile())
        return SystemTexts::tr("it is not a regular file but a device or a pipe");
    file.setFileName(fileName);
    ClearSystemError();
    if (!file.open(QIODevice::ReadOnly))
        return FileErrorReason(file);
    return {};
}

// Windows names files in UTF-16, so a folder's name comes through QString whole.
QString WriteReplacing(const QString &fileName, const QByteArray &bytes)
{
    // QSaveFile is not used: it writes through a symbolic link, replacing the file the
    // link points to, and cannot save over a link that points nowhere.
    const QFileInfo info(fileName);
    if (info.isDir() && !info.isSymLink())
        return SystemTexts::tr("it is a folder");
    const QString refused = ReplaceRefused(fileName);
    if (!refused.isEmpty())
        return refused;

    std::optional<QTemporaryFile> temporary(
        std::in_place, info.absoluteFilePath() + QLatin1String(".XXXXXX"));
    QTemporaryFile &file = *temporary;
    ClearSystemError();
    if (!file.open())
        return FileErrorReason(file);
    // A new file is readable by all, as a file saved by any editor; one that is
    // replaced keeps its permissions.
    const bool replacesRegularFile = info.isFile() && !info.isSymLink();
    file.setPermissions(replacesRegularFile ? info.permissions()
                                            : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QString reason = WriteAll(file, bytes);
    if (reason.isEmpty())
        reason = Synchronize(file);
    if (!reason.isEmpty())
        return reason;
    const QString temporaryName = file.fileName();
    if (temporaryName.isEmpty())
        return FileErrorReason(file);
    // QTemporaryFile::close() leaves the file open on Windows, where an open file that
    // does not share deletion cannot be moved; only the object's end closes it.
    file.setAutoRemove(false);
    temporary.reset();
    const QString notReplaced = Replace(temporaryName, info.absoluteFilePath());
    if (!notReplaced.isEmpty()) {
        QFile::remove(temporaryName);
        return notReplaced;
    }
    return {};
}

#else
#error "FilesPlatform.cpp has no version for this system"
#endif

}   // namespace files::platform
