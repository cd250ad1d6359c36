// The default window procedure.

#include <algorithm>
#include <cstring>

#include "ControlSupport.h"
#include "NonClient.h"
#include "WindowTable.h"
#include "win32/ScrollBarParts.h"
#include "win32/WindowLook.h"
#include "win32/icon.h"
#include "win32/kernel.h"
#include "win32/nls.h"

using namespace sduser;

namespace {

LRESULT setText(HWND hwnd, LPCSTR text) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (!w) return FALSE;
    w->text = text && !isAtom(text) ? text : "";
    return TRUE;
}

LRESULT getText(HWND hwnd, WPARAM size, LPSTR buffer) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (!w || !buffer || size == 0) return 0;
    size_t count = std::min<size_t>(w->text.size(), size - 1);
    std::memcpy(buffer, w->text.data(), count);
    buffer[count] = '\0';
    return LRESULT(count);
}

LRESULT textLength(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w ? LRESULT(w->text.size()) : 0;
}

// WM_MOVE and WM_SIZE from the window's state after a position change.
void notifyPosition(HWND hwnd, const WINDOWPOS* pos) {
    if (!pos) return;
    RECT rect{};
    RECT client{};
    WPARAM sizeType = SIZE_RESTORED;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return;
        rect = w->rect;
        client = clientRect(w);
        if (w->style & WS_MINIMIZE)
            sizeType = SIZE_MINIMIZED;
        else if (w->style & WS_MAXIMIZE)
            sizeType = SIZE_MAXIMIZED;
    }
    if (!(pos->flags & SWP_NOMOVE))
        callProc(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(rect.left), WORD(rect.top)));
    if (!(pos->flags & SWP_NOSIZE))
        callProc(hwnd, WM_SIZE, sizeType, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
}

HWND childParent(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && (w->style & WS_CHILD) ? w->parent : nullptr;
}

HBRUSH classBackground(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && w->windowClass ? w->windowClass->background : nullptr;
}

// The class brush fills the client area; with a brush the background counts as erased.
LRESULT eraseBackground(HWND hwnd, HDC dc) {
    HBRUSH brush = classBackground(hwnd);
    if (!brush) return 0;
    const SdLookPainters* look = SdLookPaintersInstalled();
    if (dc && look && look->erase) look->erase(hwnd, dc, brush);
    return 1;
}

// The class cursor over the client area; a child's parent is asked first.
LRESULT setCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (HWND parent = childParent(hwnd))
        if (SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    if (LOWORD(DWORD(lParam)) != HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return FALSE;
    }
    HCURSOR cursor = nullptr;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (w && w->windowClass) cursor = w->windowClass->cursor;
    }
    if (cursor) SetCursor(cursor);
    return FALSE;
}

// The hit test of a screen point by the window's non-client layout.
LRESULT hitTest(HWND hwnd, LPARAM lParam) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (!w) return HTNOWHERE;
    const POINT origin = windowOriginOnScreen(w);
    return hitTestAt(w, POINT{GET_X_LPARAM(lParam) - origin.x, GET_Y_LPARAM(lParam) - origin.y});
}

// The default WM_NCCALCSIZE: the window rectangle in rgrc[0] (or the RECT itself when
// wParam is FALSE) becomes the client rectangle.
LRESULT calcSize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                     : reinterpret_cast<RECT*>(lParam);
    if (!r) return 0;
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    if (w) *r = clientForWindowRect(w, *r);
    return 0;
}

// Where a screen point falls along the window's own scroll bar, and the bar's parts at
// position `pos`. The lock is held.
SdScrollParts barParts(const Window* w, int bar, LPARAM screenPoint, int pos, int& at) {
    const RECT strip = scrollBarStrip(w, bar);
    const WindowScrollBar& s = w->scrollBars[bar];
    const POINT origin = windowOriginOnScreen(w);
    at = bar == SB_HORZ ? GET_X_LPARAM(screenPoint) - origin.x - strip.left
                        : GET_Y_LPARAM(screenPoint) - origin.y - strip.top;
    const int length = bar == SB_HORZ ? strip.right - strip.left : strip.bottom - strip.top;
    const int arrow = systemMetric(bar == SB_HORZ ? SM_CXHSCROLL : SM_CYVSCROLL);
    return SdScrollBarParts(length, arrow, s.minPos, s.maxPos, s.page, pos);
}

void sendScroll(HWND hwnd, int bar, WORD code, int pos = 0) {
    SendMessageA(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, WORD(pos)), 0);
}

// A press on a window's own scroll bar: the arrows scroll by a line, the track beside the
// thumb by a page (the scroll code, then SB_ENDSCROLL); the thumb is taken for a drag
// (SB_THUMBTRACK at its position) that the mouse's moves and release go on with.
void scrollBarPress(HWND hwnd, WPARAM hit, LPARAM lParam) {
    const int bar = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    int code = -1, track = 0;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return;
        WindowScrollBar& s = w->scrollBars[bar];
        if (s.disabledArrows == ESB_DISABLE_BOTH) return;
        int at = 0;
        const SdScrollParts parts = barParts(w, bar, lParam, s.pos, at);
        code = SdScrollBarHit(parts, at);
        if (code == SB_THUMBTRACK) {
            s.dragging = true;
            s.grab = at - parts.thumbStart;
            s.trackPos = track = s.pos;
        }
    }
    if (code < 0) return;
    if (code == SB_THUMBTRACK) {
        SetCapture(hwnd);
        sendScroll(hwnd, bar, SB_THUMBTRACK, track);
        return;
    }
    sendScroll(hwnd, bar, WORD(code));
    sendScroll(hwnd, bar, SB_ENDSCROLL);
}

// The held thumb follows the mouse: SB_THUMBTRACK at each new position; at release
// SB_THUMBPOSITION there and SB_ENDSCROLL.
void scrollBarDrag(HWND hwnd, LPARAM lParam, bool release) {
    const int bar = draggedScrollBar(hwnd);
    if (bar < 0) return;
    int track = 0;
    bool moved = false;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return;
        WindowScrollBar& s = w->scrollBars[bar];
        int at = 0;
        const SdScrollParts parts = barParts(w, bar, lParam, s.pos, at);
        track = SdScrollTrackPos(parts, s.minPos, s.maxPos, s.page, at - s.grab);
        if (parts.thumbLength == 0) track = s.trackPos;
        moved = track != s.trackPos;
        s.trackPos = track;
        if (release) s.dragging = false;
    }
    if (release) {
        if (GetCapture() == hwnd) ReleaseCapture();
        sendScroll(hwnd, bar, SB_THUMBPOSITION, track);
        sendScroll(hwnd, bar, SB_ENDSCROLL);
    } else if (moved) {
        sendScroll(hwnd, bar, SB_THUMBTRACK, track);
    }
}

} // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs) setText(hwnd, cs->lpszName);
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT:
        return setText(hwnd, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return getText(hwnd, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH:
        return textLength(hwnd);
    case WM_SETICON:
    case WM_GETICON: {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) return 0;
        if (msg == WM_GETICON) {
            HICON icon = wParam == ICON_BIG ? w->icons[1] : w->icons[0];
            if (!icon && wParam == ICON_SMALL2) icon = w->icons[1];
            return reinterpret_cast<LRESULT>(icon);
        }
        if (wParam != ICON_SMALL && wParam != ICON_BIG) return 0;
        HICON old = w->icons[wParam];
        w->icons[wParam] = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return eraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        const SdLookPainters* look = SdLookPaintersInstalled();
        return look && look->controlColour ? reinterpret_cast<LRESULT>(look->controlColour(
                                                 reinterpret_cast<HDC>(wParam), msg))
                                           : 0;
    }
    case WM_WINDOWPOSCHANGED:
        notifyPosition(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return SendMessageA(hwnd, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        }
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        // Children hand these up to their parent.
        if (HWND parent = childParent(hwnd)) return SendMessageA(parent, msg, wParam, lParam);
        return 0;
    case WM_NCHITTEST:
        return hitTest(hwnd, lParam);
    case WM_NCCALCSIZE:
        return calcSize(hwnd, wParam, lParam);
    case WM_SETCURSOR:
        return setCursor(hwnd, wParam, lParam);
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        sdctl::menuBarInput(hwnd, msg, wParam, lParam);
        return 0;
    case WM_NCLBUTTONDOWN:
        if (wParam == WPARAM(HTMENU)) sdctl::menuBarInput(hwnd, msg, wParam, lParam);
        if (wParam == WPARAM(HTHSCROLL) || wParam == WPARAM(HTVSCROLL))
            scrollBarPress(hwnd, wParam, lParam);
        return 0;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONUP:
        if (wParam == WPARAM(HTHSCROLL) || wParam == WPARAM(HTVSCROLL))
            scrollBarDrag(hwnd, lParam, msg == WM_NCLBUTTONUP);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE;
    default:
        return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}
