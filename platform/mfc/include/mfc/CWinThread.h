#pragma once
// Thread object of the framework; the application object is one.

#include "mfc/CCmdTarget.h"
#include "win32/user.h"

class CWnd;

class MFC_API CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread() = default;
    ~CWinThread() override;

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    // The message loop: idle processing while the queue is empty, then one message at a
    // time through PumpMessage until WM_QUIT; returns ExitInstance's code.
    virtual int Run();
    // Takes one message (waiting for it) and, unless PreTranslateMessage takes it,
    // translates and dispatches it. FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // The message's window and its ancestors up to the main window first (their
    // PreTranslateMessage), then the main window for messages of other top-level windows.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // lCount 0: the visible main window and its descendants update their items
    // (WM_IDLEUPDATECMDUI); from 1 the temporary window and GDI objects are deleted.
    // TRUE while more idle work is wanted.
    virtual BOOL OnIdle(LONG lCount);
    // The WM_QUIT code by default.
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};
};

// The current thread object: the application object, or one that a test has set; null when
// there is none. The process has one user-interface thread, so the answer is process-wide.
MFC_API CWinThread* AfxGetThread();
// Makes pThread the current thread object and returns the previous one.
MFC_API CWinThread* SdSetCurrentThread(CWinThread* pThread);
// The current thread's main window, or null.
MFC_API CWnd* AfxGetMainWnd();
