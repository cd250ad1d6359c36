#include "mfc/CWinThread.h"

#include <atomic>

#include "AppState.h"

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
