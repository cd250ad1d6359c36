// A window's own scroll bars: the strips along its bottom and right edges, outside the client
// area. A bar is shown while the window's style has its WS_ bit; the range decides.

#include <algorithm>

#include "WindowTable.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

DWORD styleBit(int bar) {
    return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
}

// The largest position: nMax - nPage + 1 with a page.
int lastPos(const WindowScrollBar& s) {
    if (s.page == 0) return s.maxPos;
    return std::max(s.minPos, s.maxPos - int(s.page) + 1);
}

bool needed(const WindowScrollBar& s) {
    if (s.page == 0) return s.maxPos > s.minPos;
    return std::int64_t(s.maxPos) - s.minPos + 1 > std::int64_t(s.page);
}

// Shows or hides bars; the window is told its new client size. A window procedure that
// answers WM_SIZE by setting its bars again comes back here: the style is already right
// then, and nothing more is sent.
void setVisible(HWND hwnd, DWORD bits, bool show) {
    RECT client{};
    bool ask = false;
    RECT window{}, before{};
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return;
        const DWORD style = show ? (w->style | bits) : (w->style & ~bits);
        if (style == w->style) return;
        const RECT c = clientRect(w);
        const POINT at = clientOffset(w);
        window = w->rect;
        before = RECT{window.left + at.x, window.top + at.y, window.left + at.x + c.right,
                      window.top + at.y + c.bottom};
        w->style = style;
        client = clientRect(w);
        ask = w->ownClient;
        invalidateWhole(w, true);
    }
    // A procedure with its own non-client area is asked again, its frame having changed.
    if (ask) {
        WINDOWPOS pos{hwnd,
                      nullptr,
                      int(window.left),
                      int(window.top),
                      int(window.right - window.left),
                      int(window.bottom - window.top),
                      SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED};
        askClientArea(hwnd, window, before, &pos);
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return;
        client = clientRect(w);
        invalidateWhole(w, true);
    }
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
}

} // namespace

namespace sduser {

int setWindowScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, BOOL) {
    int show = -1; // -1 leave, 0 hide, 1 show
    int pos;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        WindowScrollBar& s = w->scrollBars[bar];
        if (info.fMask & SIF_RANGE) {
            s.minPos = info.nMin;
            s.maxPos = std::max(info.nMin, info.nMax);
        }
        if (info.fMask & SIF_PAGE)
            s.page =
                UINT(std::min<std::int64_t>(info.nPage, std::int64_t(s.maxPos) - s.minPos + 1));
        if (info.fMask & SIF_POS) s.pos = info.nPos;
        s.pos = std::clamp(s.pos, s.minPos, std::max(s.minPos, lastPos(s)));
        pos = s.pos;
        if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
            if (needed(s)) {
                show = 1;
                s.disabledArrows = ESB_ENABLE_BOTH;
            } else if (info.fMask & SIF_DISABLENOSCROLL) {
                show = 1;
                s.disabledArrows = ESB_DISABLE_BOTH;
            } else {
                show = 0;
            }
        }
    }
    if (show >= 0) setVisible(hwnd, styleBit(bar), show == 1);
    return pos;
}

BOOL getWindowScrollInfo(HWND hwnd, int bar, SCROLLINFO& info) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const WindowScrollBar& s = w->scrollBars[bar];
    if (info.fMask & SIF_RANGE) {
        info.nMin = s.minPos;
        info.nMax = s.maxPos;
    }
    if (info.fMask & SIF_PAGE) info.nPage = s.page;
    if (info.fMask & SIF_POS) info.nPos = s.pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = s.dragging ? s.trackPos : s.pos;
    return TRUE;
}

int draggedScrollBar(HWND hwnd) {
    UserLock lock = lockUser();
    const Window* w = findWindow(hwnd);
    if (!w) return -1;
    for (int bar : {SB_HORZ, SB_VERT})
        if (w->scrollBars[bar].dragging) return bar;
    return -1;
}

} // namespace sduser

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    DWORD bits = 0;
    if (bar == SB_HORZ)
        bits = WS_HSCROLL;
    else if (bar == SB_VERT)
        bits = WS_VSCROLL;
    else if (bar == SB_BOTH)
        bits = WS_HSCROLL | WS_VSCROLL;
    if (!IsWindow(hwnd) || bits == 0) {
        SetLastError(IsWindow(hwnd) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    setVisible(hwnd, bits, show);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (!w || (bar != UINT(SB_HORZ) && bar != UINT(SB_VERT) && bar != UINT(SB_BOTH))) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    for (int b : {SB_HORZ, SB_VERT})
        if (bar == UINT(SB_BOTH) || bar == UINT(b)) w->scrollBars[b].disabledArrows = arrows;
    return TRUE;
}
