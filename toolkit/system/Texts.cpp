#include "system/Texts.h"

#include <QFileDevice>

#ifdef Q_OS_WIN
#include <qt_windows.h>
// MinGW's headers lack it.
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif
#else
#include <cerrno>
#include <cstring>
#endif

QString SystemErrorReason(int code)
{
    switch (code) {
#ifdef Q_OS_WIN
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return SystemTexts::tr("the file or a folder of its path does not exist");
    case ERROR_ACCESS_DENIED:
        return SystemTexts::tr("permission denied");
    case ERROR_DIRECTORY:
        return SystemTexts::tr("it is a folder");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return SystemTexts::tr("the disk is full");
    case ERROR_WRITE_PROTECT:
        return SystemTexts::tr("the disk is read-only");
    case ERROR_FILENAME_EXCED_RANGE:
        return SystemTexts::tr("the name is too long");
    case ERROR_CANT_RESOLVE_FILENAME:
        return SystemTexts::tr("too many symbolic links");
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return SystemTexts::tr("the disk or the device could not be read or written");
    case ERROR_DISK_QUOTA_EXCEEDED:
        return SystemTexts::tr("the disk quota is used up");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
        return SystemTexts::tr("the file is in use by another program");
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return SystemTexts::tr("there is not enough memory");
    case ERROR_TOO_MANY_OPEN_FILES:
        return SystemTexts::tr("too many files are open");
#else
    case ENOENT:
        return SystemTexts::tr("the file or a folder of its path does not exist");
    case EACCES:
    case EPERM:
        return SystemTexts::tr("permission denied");
    case EISDIR:
        return SystemTexts::tr("it is a folder");
    case ENOTDIR:
        return SystemTexts::tr("a part of the path is not a folder");
    case ENOSPC:
        return SystemTexts::tr("the disk is full");
    case EROFS:
        return SystemTexts::tr("the disk is read-only");
    case ENAMETOOLONG:
        return SystemTexts::tr("the name is too long");
    case ELOOP:
        return SystemTexts::tr("too many symbolic links");
    case EMLINK:
        return SystemTexts::tr("too many links");
    case EIO:
        return SystemTexts::tr("the disk or the device could not be read or written");
    case EDQUOT:
        return SystemTexts::tr("the disk quota is used up");
    case EBUSY:
    case ETXTBSY:
        return SystemTexts::tr("the file is in use by another program");
    case EFBIG:
        return SystemTexts::tr("the file is too large");
    case ENOMEM:
        return SystemTexts::tr("there is not enough memory");
    case EMFILE:
    case ENFILE:
        return SystemTexts::tr("too many files are open");
#endif
    default:
        break;
    }
#ifdef Q_OS_WIN
    const QString own = qt_error_string(code);
#else
    const QString own = QString::fromLocal8Bit(std::strerror(code));
#endif
    return own.isEmpty() ? SystemTexts::tr("error %1 of the system").arg(code) : own;
}

int LastSystemError()
{
#ifdef Q_OS_WIN
    return int(::GetLastError());
#else
    return errno;
#endif
}

void ClearSystemError()
{
#ifdef Q_OS_WIN
    ::SetLastError(0);
#else
    errno = 0;
#endif
}

QString FileErrorReason(const QFileDevice &file)
{
    const int code = LastSystemError();
    return code != 0 ? SystemErrorReason(code) : file.errorString();
}
