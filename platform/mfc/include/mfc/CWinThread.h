#pragma once
// Thread object of the framework; the application object is one.

#include "mfc/CCmdTarget.h"

class CWnd;

class MFC_API CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread() = default;
    ~CWinThread() override;

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    CWnd* m_pMainWnd = nullptr;
};

// The current thread object: the application object, or one that a test has set; null when
// there is none. The process has one user-interface thread, so the answer is process-wide.
MFC_API CWinThread* AfxGetThread();
// Makes pThread the current thread object and returns the previous one.
MFC_API CWinThread* SdSetCurrentThread(CWinThread* pThread);
// The current thread's main window, or null.
MFC_API CWnd* AfxGetMainWnd();
