// The default window procedure.

#include <algorithm>
#include <cstring>

#include "WindowTable.h"
#include "win32/kernel.h"

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

bool hasBackground(HWND hwnd) {
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    return w && w->windowClass && w->windowClass->background;
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
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        // Painting the class background is the device context's business; with a brush the
        // background counts as erased.
        return hasBackground(hwnd) ? 1 : 0;
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
        return HTCLIENT;
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
