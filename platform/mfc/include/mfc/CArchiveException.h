#pragma once
// Errors of reading and writing archives.

#include "mfc/CException.h"
#include "mfc/CString.h"

class MFC_API CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    // Cause numbers as the stored-document code uses them:
    //   0 none
    //   1 genericException  other archive errors (e.g. a wide-character string)
    //   2 readOnly          writing into an archive opened for loading
    //   3 endOfFile         reading past the end
    //   4 writeOnly         reading from an archive opened for storing
    //   5 badIndex, badSchema  the same number: a stored schema or version that this
    //                       program does not read, and an object or class tag that refers
    //                       to nothing written before. Every Serialize raises 5 for a
    //                       record newer than it knows, whichever name the code uses.
    //   6 badClass          unknown class name, or an object of an unexpected class
    //   7 missingStream     a compound document without its contents stream
    enum {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badSchema = 5,
        badClass = 6,
        missingStream = 7,
    };

    explicit CArchiveException(int cause = none, LPCSTR lpszArchiveName = nullptr);
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] MFC_API void AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName = nullptr);
