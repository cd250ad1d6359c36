#include "ModalLoop.h"

#include "WndState.h"
#include "mfc/CWinThread.h"
#include "mfc/CWnd.h"
#include "win32/DialogTesting.h"
#include "win32/UserTesting.h"

namespace {

// The test drivers pump dialogs as this loop does: PreTranslateMessage first.
bool preTranslate(MSG& msg) {
    CWinThread* thread = AfxGetThread();
    return thread != nullptr ? thread->PreTranslateMessage(&msg) != FALSE
                             : CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE;
}

const bool filterSet = (SdSetDialogMessageFilter(preTranslate), true);

} // namespace

namespace sdmodal {

CWnd* attachPending(HWND hWnd) {
    CWnd* pending = sdwnd::state().creatingDialog;
    if (pending == nullptr) return nullptr;
    sdwnd::state().creatingDialog = nullptr;
    return pending->SubclassWindow(hWnd) ? pending : nullptr;
}

int run(HWND dialog, int templateId, const char* className, const std::function<bool()>& ended,
        const std::function<void(int)>& end, const std::function<int()>& result) {
    auto done = [&] { return ended() || !::IsWindow(dialog); };
    const char* failure = nullptr;
    if (!done() && !SdRunModalDialogScript(dialog, templateId, className)) end(IDCANCEL);
    CWinThread* thread = AfxGetThread();
    while (!done()) {
        const int idleBefore = SdIdleQuitCount();
        MSG msg{};
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            // Nothing can end the dialog any more: it is cancelled; a real quit goes on.
            if (SdIdleQuitCount() == idleBefore) ::PostQuitMessage(int(msg.wParam));
            failure = "the script left the dialog open";
            end(IDCANCEL);
            break;
        }
        const bool taken = thread != nullptr ? thread->PreTranslateMessage(&msg)
                                             : CWnd::WalkPreTranslateTree(dialog, &msg);
        if (!taken && !::IsDialogMessageA(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    const int value = ended() ? result() : IDCANCEL;
    SdFinishModalDialog(dialog, value, failure);
    return value;
}

} // namespace sdmodal
