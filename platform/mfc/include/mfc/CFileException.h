#pragma once
// Errors of file operations.

#include "mfc/CException.h"
#include "mfc/CString.h"

class MFC_API CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    // lOsError is a Win32 error code, -1 when there is none.
    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    // The cause for a Win32 error code and for a C runtime errno value.
    static int OsErrorToException(LONG lOsError);
    static int ErrnoToException(int nErrno);
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCSTR lpszFileName = nullptr);
    [[noreturn]] static void ThrowErrno(int nErrno, LPCSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] MFC_API void AfxThrowFileException(int cause, LONG lOsError = -1,
                                                LPCSTR lpszFileName = nullptr);
