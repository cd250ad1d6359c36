#pragma once
// Framework exceptions. They are thrown as pointers (throw new CMemoryException), caught as
// CException* and released with Delete().

#include "mfc/CObject.h"

class MFC_API CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    // bAutoDelete FALSE marks an exception that is not on the heap; Delete() leaves it alone.
    explicit CException(BOOL bAutoDelete = TRUE);
    ~CException() override;

    void Delete();

    // Copies a message of at most nMaxError - 1 characters (always terminated) into
    // lpszError; FALSE when there is no message.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr);
    // Shows the message in a message box (AfxMessageBox) and returns the answer. Without a
    // message, string resource nMessageID is shown, or a general text when that is 0.
    virtual int ReportError(UINT nType = 0 /* MB_OK */, UINT nMessageID = 0);

    BOOL m_bAutoDelete;
};

class MFC_API CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException() = default;
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

class MFC_API CNotSupportedException : public CException {
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException() = default;
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

// An argument out of its range, e.g. an index past the end of a string or array.
class MFC_API CInvalidArgException : public CException {
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException() = default;
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
};

// An operation stopped after the user was told why (a failed data exchange): the catcher
// shows nothing more.
class MFC_API CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException() = default;
};

[[noreturn]] MFC_API void AfxThrowUserException();
[[noreturn]] MFC_API void AfxThrowMemoryException();
[[noreturn]] MFC_API void AfxThrowNotSupportedException();
[[noreturn]] MFC_API void AfxThrowInvalidArgException();
