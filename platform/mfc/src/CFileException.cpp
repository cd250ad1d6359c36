#include "mfc/CFileException.h"

#include "ErrorText.h"
#include "FileErrors.h"

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext != nullptr) *pnHelpContext = 0;
    const char* text;
    switch (m_cause) {
    case none:
        text = "No error occurred with %1.";
        break;
    case fileNotFound:
        text = "%1 was not found.";
        break;
    case badPath:
        text = "%1 contains an invalid path.";
        break;
    case tooManyOpenFiles:
        text = "%1 could not be opened because too many files are open.";
        break;
    case accessDenied:
        text = "Access to %1 was denied.";
        break;
    case invalidFile:
        text = "An invalid file handle was used with %1.";
        break;
    case removeCurrentDir:
        text = "%1 is the current folder and cannot be removed.";
        break;
    case directoryFull:
        text = "%1 could not be created because the folder is full.";
        break;
    case badSeek:
        text = "Seek failed on %1.";
        break;
    case hardIO:
        text = "A hardware I/O error was reported while accessing %1.";
        break;
    case sharingViolation:
        text = "A sharing violation occurred while accessing %1.";
        break;
    case lockViolation:
        text = "A locking violation occurred while accessing %1.";
        break;
    case diskFull:
        text = "The disk is full while accessing %1.";
        break;
    case endOfFile:
        text = "An attempt was made to access %1 beyond its end.";
        break;
    default:
        text = "An unexpected error occurred while accessing %1.";
        break;
    }
    return copyErrorText(withFileName(text, m_strFileName, "an unnamed file"), lpszError,
                         nMaxError);
}

int CFileException::OsErrorToException(LONG lOsError) {
    switch (lOsError) {
    case 0:
        return none;
    case 2:
        return fileNotFound; // ERROR_FILE_NOT_FOUND
    case 3:                  // ERROR_PATH_NOT_FOUND
    case 15:                 // ERROR_INVALID_DRIVE
    case 123:                // ERROR_INVALID_NAME
    case 161:                // ERROR_BAD_PATHNAME
    case 206:
        return badPath; // ERROR_FILENAME_EXCED_RANGE
    case 4:
        return tooManyOpenFiles; // ERROR_TOO_MANY_OPEN_FILES
    case 5:                      // ERROR_ACCESS_DENIED
    case 19:                     // ERROR_WRITE_PROTECT
    case 80:                     // ERROR_FILE_EXISTS
    case 183:
        return accessDenied; // ERROR_ALREADY_EXISTS
    case 6:
        return invalidFile; // ERROR_INVALID_HANDLE
    case 16:
        return removeCurrentDir; // ERROR_CURRENT_DIRECTORY
    case 18:                     // ERROR_NO_MORE_FILES
    case 82:
        return directoryFull; // ERROR_CANNOT_MAKE
    case 25:                  // ERROR_SEEK
    case 131:
        return badSeek; // ERROR_NEGATIVE_SEEK
    case 23:            // ERROR_CRC
    case 29:            // ERROR_WRITE_FAULT
    case 30:            // ERROR_READ_FAULT
    case 31:
        return hardIO; // ERROR_GEN_FAILURE
    case 32:
        return sharingViolation; // ERROR_SHARING_VIOLATION
    case 33:                     // ERROR_LOCK_VIOLATION
    case 158:
        return lockViolation; // ERROR_NOT_LOCKED
    case 39:                  // ERROR_HANDLE_DISK_FULL
    case 112:
        return diskFull; // ERROR_DISK_FULL
    case 38:
        return endOfFile; // ERROR_HANDLE_EOF
    default:
        return genericException;
    }
}

int CFileException::ErrnoToException(int nErrno) {
    return OsErrorToException(LONG(win32ErrorForErrno(nErrno)));
}

void CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName) {
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCSTR lpszFileName) {
    const LONG osError = LONG(win32ErrorForErrno(nErrno));
    throw new CFileException(OsErrorToException(osError), osError, lpszFileName);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName) {
    throw new CFileException(cause, lOsError, lpszFileName);
}
