// The non-client model: the layout of frames, captions, menu bars, edges and a window's own
// scroll bars; AdjustWindowRectEx, the default WM_NCCALCSIZE and WM_NCHITTEST.

#include "NonClient.h"

#include <algorithm>

#include "WindowTable.h"
#include "win32/NonClient.h"
#include "win32/nls.h"

namespace sduser {

namespace {

bool equalRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

SdNonClientLayout layoutOf(const Window* w) {
    SdNonClientLayout l;
    const LONG width = std::max<LONG>(0, w->rect.right - w->rect.left);
    const LONG height = std::max<LONG>(0, w->rect.bottom - w->rect.top);
    l.window = RECT{0, 0, width, height};
    if (w->style & WS_MINIMIZE) return l;
    const DWORD style = w->style, ex = w->exStyle;
    const bool child = style & WS_CHILD;
    RECT r = l.window;
    if (child) {
        if (style & WS_THICKFRAME)
            l.frame = systemMetric(SM_CXFRAME), l.sizing = true;
        else if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME))
            l.frame = systemMetric(SM_CXDLGFRAME);
        else if (style & WS_BORDER)
            l.frame = systemMetric(SM_CXBORDER);
        r = RECT{r.left + l.frame, r.top + l.frame, r.right - l.frame, r.bottom - l.frame};
        if ((style & WS_CAPTION) == WS_CAPTION) {
            l.toolWindow = ex & WS_EX_TOOLWINDOW;
            const int h = systemMetric(l.toolWindow ? SM_CYSMCAPTION : SM_CYCAPTION);
            l.caption = RECT{r.left, r.top, r.right, r.top + h - 1}; // a line of the face below
            r.top += h;
            // Buttons from the right: close, then maximise and minimise side by side.
            const int bw = systemMetric(l.toolWindow ? SM_CXSMSIZE : SM_CXSIZE) - 2;
            const int bh = h - 5;
            LONG right = l.caption.right - 2;
            if (style & WS_SYSMENU) {
                l.closeButton = RECT{right - bw, l.caption.top + 2, right, l.caption.top + 2 + bh};
                right = l.closeButton.left - 2;
            }
            if (!l.toolWindow && (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) &&
                (style & WS_SYSMENU)) {
                l.maxButton = RECT{right - bw, l.caption.top + 2, right, l.caption.top + 2 + bh};
                l.minButton = RECT{l.maxButton.left - bw, l.caption.top + 2, l.maxButton.left,
                                   l.caption.top + 2 + bh};
            }
        }
    } else if (w->menuBar) {
        const int h = systemMetric(SM_CYMENU);
        l.menuBar = RECT{r.left, r.top, r.right, r.top + h};
        r.top += h;
    }
    r.bottom = std::max(r.bottom, r.top);
    r.right = std::max(r.right, r.left);
    l.edges = r;
    if (ex & WS_EX_CLIENTEDGE) l.clientEdge = systemMetric(SM_CXEDGE);
    if (ex & WS_EX_STATICEDGE) l.staticEdge = systemMetric(SM_CXBORDER);
    const RECT client = clientRect(w);
    const POINT at = clientOffset(w);
    l.client = RECT{at.x, at.y, at.x + client.right, at.y + client.bottom};
    l.hscroll = scrollBarStrip(w, SB_HORZ);
    l.vscroll = scrollBarStrip(w, SB_VERT);
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL))
        l.sizeBox = RECT{l.vscroll.left, l.hscroll.top, l.vscroll.right, l.hscroll.bottom};
    return l;
}

LRESULT hitTestAt(const Window* w, POINT p) {
    const SdNonClientLayout l = layoutOf(w);
    if (!inside(l.window, p)) return HTNOWHERE;
    if (inside(l.client, p)) return HTCLIENT;
    if (inside(l.hscroll, p)) return HTHSCROLL;
    if (inside(l.vscroll, p)) return HTVSCROLL;
    if (inside(l.sizeBox, p)) return HTGROWBOX;
    if (inside(l.closeButton, p)) return HTCLOSE;
    if (inside(l.maxButton, p)) return HTMAXBUTTON;
    if (inside(l.minButton, p)) return HTMINBUTTON;
    if (inside(l.caption, p)) return HTCAPTION;
    if (inside(l.menuBar, p)) return HTMENU;
    const RECT& win = l.window;
    const bool inFrame = p.x < win.left + l.frame || p.x >= win.right - l.frame ||
                         p.y < win.top + l.frame || p.y >= win.bottom - l.frame;
    if (inFrame && l.sizing) {
        // Corners reach a caption's height along each side.
        const int corner = systemMetric(SM_CYCAPTION) + l.frame;
        const bool left = p.x < win.left + corner, right = p.x >= win.right - corner;
        const bool top = p.y < win.top + corner, bottom = p.y >= win.bottom - corner;
        if (p.y < win.top + l.frame) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (p.y >= win.bottom - l.frame)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (p.x < win.left + l.frame) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    return HTBORDER;
}

RECT clientForWindowRect(const Window* w, const RECT& windowRect) {
    Window probe = Window();
    probe.style = w->style;
    probe.exStyle = w->exStyle;
    probe.menuBar = w->menuBar;
    probe.rect = windowRect;
    const RECT client = clientRect(&probe);
    const POINT at = clientOffset(&probe);
    return RECT{windowRect.left + at.x, windowRect.top + at.y,
                windowRect.left + at.x + client.right, windowRect.top + at.y + client.bottom};
}

bool askClientArea(HWND hwnd, const RECT& oldWindow, const RECT& oldClient, WINDOWPOS* pos) {
    NCCALCSIZE_PARAMS params{};
    {
        UserLock lock = lockUser();
        const Window* w = findWindow(hwnd);
        if (!w) return false;
        params.rgrc[0] = w->rect;
    }
    const RECT asked = params.rgrc[0];
    params.rgrc[1] = oldWindow;
    params.rgrc[2] = oldClient;
    params.lppos = pos;
    if (pos)
        callProc(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    else
        callProc(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&params.rgrc[0]));
    UserLock lock = lockUser();
    Window* w = findWindow(hwnd);
    // A window moved or destroyed meanwhile was asked again by that change.
    if (!w || !equalRect(w->rect, asked)) return false;
    const RECT before = clientRect(w);
    const POINT beforeAt = clientOffset(w);
    const RECT got = params.rgrc[0];
    if (equalRect(got, clientForWindowRect(w, asked))) {
        w->ownClient = false;
    } else {
        // Kept within the window, never inside out.
        const LONG left = std::clamp(got.left, asked.left, asked.right);
        const LONG top = std::clamp(got.top, asked.top, asked.bottom);
        const LONG right = std::clamp(got.right, left, asked.right);
        const LONG bottom = std::clamp(got.bottom, top, asked.bottom);
        w->ownClient = true;
        w->ownInsets =
            RECT{left - asked.left, top - asked.top, asked.right - right, asked.bottom - bottom};
    }
    const POINT at = clientOffset(w);
    return !equalRect(before, clientRect(w)) || at.x != beforeAt.x || at.y != beforeAt.y;
}

} // namespace sduser

using namespace sduser;

SdNonClientLayout SdGetNonClientLayout(HWND hwnd) {
    UserLock lock = lockUser();
    const Window* w = findWindow(hwnd);
    return w ? layoutOf(w) : SdNonClientLayout{};
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    UserLock lock = lockUser();
    const RECT in = nonClientInsets(style, exStyle, menu && !(style & WS_CHILD));
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}
