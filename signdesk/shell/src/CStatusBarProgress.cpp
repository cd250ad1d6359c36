#include "shell/CStatusBarProgress.h"

#include <mfc/CClientDC.h>
#include <mfc/CWnd.h>
#include <win32/user.h>
#include <win32/wingdi.h>

namespace {

constexpr int StageTextWidth = 100;

// The first message of the range, taken from the queue; a paint stays queued until its
// window is validated. WM_QUIT (which a filtered look also finds) is left alone.
bool TakeMessage(MSG& msg, UINT first, UINT last) {
    if (!::PeekMessageA(&msg, nullptr, first, last, PM_NOREMOVE) || msg.message == WM_QUIT)
        return false;
    if (msg.message != WM_PAINT) ::PeekMessageA(&msg, nullptr, first, last, PM_REMOVE);
    return true;
}

} // namespace

CStatusBarProgress::CStatusBarProgress(StatusBarFrame& owner)
    : frame(owner), savedPanesFlag(owner.GetExtendedStatusBar()) {
    frame.SetExtendedStatusBar(FALSE);
    if (CStatusBar* bar = frame.GetStatusBar()) {
        static const UINT separators[] = {ID_SEPARATOR, ID_SEPARATOR};
        bar->SetIndicators(separators, 2);
        bar->SetPaneInfo(1, ID_SEPARATOR, SBPS_NORMAL, StageTextWidth);
        bar->Invalidate(TRUE);
        bar->UpdateWindow();
    }
    lastWidth = 0;
}

CStatusBarProgress::~CStatusBarProgress() {
    frame.SetExtendedStatusBar(savedPanesFlag);
    frame.SetupStatusBar();
}

void CStatusBarProgress::SetStage(const char* text, float stageFrom, float stageTo) {
    from = stageFrom;
    to = stageTo;
    if (CStatusBar* bar = frame.GetStatusBar()) {
        bar->SetPaneText(1, text ? text : "", TRUE);
        bar->UpdateWindow();
    }
}

void CStatusBarProgress::SetProgress(float percent) {
    CStatusBar* bar = frame.GetStatusBar();
    if (!bar || !bar->GetSafeHwnd()) return;
    const float overall = from + (to - from) * percent * 0.01f;
    RECT pane{};
    bar->GetItemRect(0, &pane);
    const int x = int(double(pane.left) + double(pane.right - pane.left) * double(overall) * 0.01);
    const int width = x - int(pane.left);
    if (width == lastWidth) return;
    CClientDC dc(bar);
    CGdiObject* oldBrush = dc.SelectStockObject(BLACK_BRUSH);
    dc.Rectangle(int(pane.left), int(pane.top), x, int(pane.bottom));
    if (oldBrush) dc.SelectObject(oldBrush);
    lastWidth = width;
}

void CStatusBarProgress::CheckAbort() {
    MSG msg;
    if (TakeMessage(msg, WM_KEYFIRST, WM_KEYLAST)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) NoteEscape();
    } else if (TakeMessage(msg, WM_MOUSEFIRST, WM_MOUSELAST)) {
        if (msg.message == WM_MOUSEMOVE) ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    } else if (TakeMessage(msg, WM_PAINT, WM_PAINT)) {
        // The paint itself is dispatched: a pump would take a posted command before it.
        AfxLockTempMaps();
        ::DispatchMessageA(&msg);
        AfxUnlockTempMaps();
    }
}
