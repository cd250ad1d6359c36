#pragma once
// Translation of Linux errno values into Win32 error codes.

#include "win32/base.h"

// ENOENT becomes ERROR_FILE_NOT_FOUND; callers that know the folder is missing use
// ERROR_PATH_NOT_FOUND instead.
DWORD win32ErrorForErrno(int nErrno);
