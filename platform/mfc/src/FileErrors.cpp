#include "FileErrors.h"

#include <cerrno>

DWORD win32ErrorForErrno(int nErrno) {
    switch (nErrno) {
    case 0:
        return 0;
    case ENOENT:
        return 2; // ERROR_FILE_NOT_FOUND
    case ENOTDIR:
    case ELOOP:
        return 3; // ERROR_PATH_NOT_FOUND
    case EMFILE:
    case ENFILE:
        return 4; // ERROR_TOO_MANY_OPEN_FILES
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5; // ERROR_ACCESS_DENIED
    case EBADF:
        return 6; // ERROR_INVALID_HANDLE
    case ENOMEM:
        return 8; // ERROR_NOT_ENOUGH_MEMORY
    case EXDEV:
        return 17; // ERROR_NOT_SAME_DEVICE
    case EIO:
        return 31; // ERROR_GEN_FAILURE
    case EBUSY:
    case ETXTBSY:
        return 32; // ERROR_SHARING_VIOLATION
    case EEXIST:
        return 80; // ERROR_FILE_EXISTS
    case EINVAL:
        return 87; // ERROR_INVALID_PARAMETER
    case ENOSPC:
    case EDQUOT:
        return 112; // ERROR_DISK_FULL
    case ENOTEMPTY:
        return 145; // ERROR_DIR_NOT_EMPTY
    case ENAMETOOLONG:
        return 206; // ERROR_FILENAME_EXCED_RANGE
    default:
        return 1; // ERROR_INVALID_FUNCTION
    }
}
