#include "system/Texts.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
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
        return SystemTexts::tr("The file or a folder of its path does not exist");
    case ERROR_ACCESS_DENIED:
        return SystemTexts::tr("Permission denied");
    case ERROR_DIRECTORY:
        return SystemTexts::tr("It is a folder");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return SystemTexts::tr("The disk is full");
    case ERROR_WRITE_PROTECT:
        return SystemTexts::tr("The disk is read-only");
    case ERROR_FILENAME_EXCED_RANGE:
        return SystemTexts::tr("The name is too long");
    case ERROR_CANT_RESOLVE_FILENAME:
        return SystemTexts::tr("Too many symbolic links");
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return SystemTexts::tr("The disk or the device could not be read or written");
    case ERROR_DISK_QUOTA_EXCEEDED:
        return SystemTexts::tr("The disk quota is used up");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
        return SystemTexts::tr("The file is in use by another program");
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return SystemTexts::tr("There is not enough memory");
    case ERROR_TOO_MANY_OPEN_FILES:
        return SystemTexts::tr("Too many files are open");
#else
    case ENOENT:
        return SystemTexts::tr("The file or a folder of its path does not exist");
    case EACCES:
    case EPERM:
        return SystemTexts::tr("Permission denied");
    case EISDIR:
        return SystemTexts::tr("It is a folder");
    case ENOTDIR:
        return SystemTexts::tr("A part of the path is not a folder");
    case ENOSPC:
        return SystemTexts::tr("The disk is full");
    case EROFS:
        return SystemTexts::tr("The disk is read-only");
    case ENAMETOOLONG:
        return SystemTexts::tr("The name is too long");
    case ELOOP:
        return SystemTexts::tr("Too many symbolic links");
    case EMLINK:
        return SystemTexts::tr("Too many links");
    case EIO:
        return SystemTexts::tr("The disk or the device could not be read or written");
    case EDQUOT:
        return SystemTexts::tr("The disk quota is used up");
    case EBUSY:
    case ETXTBSY:
        return SystemTexts::tr("The file is in use by another program");
    case EFBIG:
        return SystemTexts::tr("The file is too large");
    case ENOMEM:
        return SystemTexts::tr("There is not enough memory");
    case EMFILE:
    case ENFILE:
        return SystemTexts::tr("Too many files are open");
#endif
    default:
        break;
    }
#ifdef Q_OS_WIN
    const QString own = qt_error_string(code);
#else
    const QString own = QString::fromLocal8Bit(std::strerror(code));
#endif
    return own.isEmpty() ? SystemTexts::tr("Error %1 of the system").arg(code) : own;
}
