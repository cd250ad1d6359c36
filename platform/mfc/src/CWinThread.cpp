#include "mfc/CWinThread.h"

#include <atomic>

#include "AppState.h"
#include "WndState.h"
#include "mfc/CGdiObject.h"
#include "mfc/CMenu.h"
#include "mfc/CWnd.h"
#include "mfc/FrameworkIds.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::~CWinThread() {
    CWinThread* self = this;
    appstate::currentThread.compare_exchange_strong(self, nullptr);
}

CWinThread* AfxGetThread() {
    return appstate::currentThread.load();
}

CWinThread* SdSetCurrentThread(CWinThread* pThread) {
    return appstate::currentThread.exchange(pThread);
}

CWnd* AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    return thread != nullptr ? thread->GetMainWnd() : nullptr;
}

int CWinThread::Run() {
    for (;;) {
        MSG peek;
        for (LONG idle = 0; !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);) {
            if (!OnIdle(idle++)) break;
        }
        if (!PumpMessage()) return ExitInstance();
    }
}

BOOL CWinThread::PumpMessage() {
    const BOOL got = ::GetMessageA(&m_msgCur, nullptr, 0, 0);
    if (got == 0 || got == -1) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == nullptr) return FALSE; // thread messages have no window to ask
    CWnd* mainWnd = AfxGetMainWnd();
    if (CWnd::WalkPreTranslateTree((mainWnd != nullptr ? mainWnd->m_hWnd : nullptr), pMsg)) return TRUE;
    // A modeless window of its own still gets the main window's accelerators.
    if (mainWnd != nullptr && mainWnd->m_hWnd != nullptr &&
        ::GetAncestor(pMsg->hwnd, GA_ROOT) != mainWnd->m_hWnd)
        return mainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        // The main window and its bars bring their items up to date.
        CWnd* mainWnd = GetMainWnd();
        if (mainWnd != nullptr && mainWnd->m_hWnd != nullptr && ::IsWindowVisible(mainWnd->m_hWnd)) {
            AfxCallWndProc(mainWnd, mainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            mainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    sdwnd::deleteTemporaries();
    if (sdwnd::state().tempLocks == 0) {
        AfxDeleteTempGdiObjects();
        AfxDeleteTempMenus();
    }
    return FALSE;
}

int CWinThread::ExitInstance() {
    return int(m_msgCur.wParam);
}
