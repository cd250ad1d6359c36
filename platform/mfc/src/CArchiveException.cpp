#include "mfc/CArchiveException.h"

#include "ErrorText.h"

IMPLEMENT_DYNAMIC(CArchiveException, CException)

CArchiveException::CArchiveException(int cause, LPCSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName) {}

BOOL CArchiveException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
    if (pnHelpContext != nullptr) *pnHelpContext = 0;
    const char* text;
    switch (m_cause) {
    case none:
        text = "No error occurred while reading or writing %1.";
        break;
    case readOnly:
        text = "%1 was written while it was open for reading.";
        break;
    case endOfFile:
        text = "Unexpected end of %1.";
        break;
    case writeOnly:
        text = "%1 was read while it was open for writing.";
        break;
    case badSchema:
        text = "%1 has an invalid format or was written by a newer version.";
        break;
    case badClass:
        text = "%1 holds an object of an unexpected kind.";
        break;
    case missingStream:
        text = "%1 has no document contents.";
        break;
    default:
        text = "An unexpected error occurred while reading or writing %1.";
        break;
    }
    return copyErrorText(withFileName(text, m_strFileName, "the archive"), lpszError, nMaxError);
}

void AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName) {
    throw new CArchiveException(cause, lpszArchiveName);
}
