// The "ScrollBar" class and the scroll functions for it (SB_CTL). The bar never moves its
// own thumb: it tells the parent (WM_HSCROLL / WM_VSCROLL with its handle), and the parent
// sets the position.

#include <algorithm>

#include "ControlSupport.h"
#include "WindowTable.h"
#include "win32/ScrollBarParts.h"
#include "win32/kernel.h"
#include "win32/nls.h"

namespace sdctl {

namespace {

struct ScrollState {
    int minPos = 0;
    int maxPos = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    int pressed = -1; // the SB_ code of the part held down by the mouse
    int grab = 0;     // where along the thumb a drag took it
};

// The largest position: nMax - nPage + 1 with a page.
int lastPos(const ScrollState& s) {
    if (s.page == 0) return s.maxPos;
    return std::max(s.minPos, s.maxPos - int(s.page) + 1);
}

void clampPos(ScrollState& s) {
    s.pos = std::clamp(s.pos, s.minPos, std::max(s.minPos, lastPos(s)));
}

bool vertical(HWND hwnd) {
    return styleOf(hwnd) & SBS_VERT;
}

void scrollBy(HWND hwnd, WORD code) {
    notifyScroll(hwnd, vertical(hwnd), code, 0);
    notifyScroll(hwnd, vertical(hwnd), SB_ENDSCROLL, 0);
}

// The bar's parts at its position, and where a client point falls along it.
SdScrollParts partsOf(HWND hwnd, const ScrollState& s, LPARAM lParam, int& at) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const bool v = vertical(hwnd);
    const int length = v ? client.bottom : client.right;
    const int arrow = v ? std::min<int>(GetSystemMetrics(SM_CYVSCROLL), client.right)
                        : std::min<int>(GetSystemMetrics(SM_CXHSCROLL), client.bottom);
    at = v ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
    return SdScrollBarParts(length, arrow, s.minPos, s.maxPos, s.page, s.pos);
}

} // namespace

static LRESULT scrollBarMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK scrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, scrollBarMessage,
                               {{WM_LBUTTONDOWN},
                                {WM_LBUTTONDBLCLK},
                                {WM_LBUTTONUP},
                                {WM_MOUSEMOVE, Redraw::IfDragging},
                                {WM_KEYDOWN},
                                {SBM_SETPOS, Redraw::IfWParam},
                                {SBM_SETRANGEREDRAW},
                                {SBM_SETSCROLLINFO, Redraw::IfWParam}});
}

static LRESULT scrollBarMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        attachState<ScrollState>(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    ScrollState* s = stateOf<ScrollState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_NCDESTROY:
        detachState<ScrollState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_PAINT: {
        SdLookState look;
        look.pressed = s->pressed + 1;
        SdPaintControl(hwnd, look);
        return 0;
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Arrows scroll by a line, the track by a page; the part shows pressed until release.
        // The thumb is taken for a drag: SB_THUMBTRACK at each position it is moved to.
        if (!IsWindowEnabled(hwnd)) return 0;
        int at = 0;
        const SdScrollParts parts = partsOf(hwnd, *s, lParam, at);
        const int part = SdScrollBarHit(parts, at);
        if (part < 0) return 0;
        s->pressed = part;
        if (part == SB_THUMBTRACK) {
            s->grab = at - parts.thumbStart;
            s->trackPos = s->pos;
        }
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        notifyScroll(hwnd, vertical(hwnd), WORD(part), part == SB_THUMBTRACK ? s->pos : 0);
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (s->pressed != SB_THUMBTRACK) return 0;
        int at = 0;
        const SdScrollParts parts = partsOf(hwnd, *s, lParam, at);
        const int track = SdScrollTrackPos(parts, s->minPos, s->maxPos, s->page, at - s->grab);
        if (parts.thumbLength == 0 || track == s->trackPos) return 0;
        s->trackPos = track;
        InvalidateRect(hwnd, nullptr, FALSE);
        notifyScroll(hwnd, vertical(hwnd), SB_THUMBTRACK, track);
        return 0;
    }
    case WM_LBUTTONUP: {
        if (s->pressed < 0) return 0;
        const bool thumb = s->pressed == SB_THUMBTRACK;
        s->pressed = -1;
        if (GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        if (thumb) notifyScroll(hwnd, vertical(hwnd), SB_THUMBPOSITION, s->trackPos);
        notifyScroll(hwnd, vertical(hwnd), SB_ENDSCROLL, 0);
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Taken away mid-press: nothing more is sent.
        if (s->pressed >= 0) {
            s->pressed = -1;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_UP:
        case VK_LEFT:
            scrollBy(hwnd, SB_LINEUP);
            break;
        case VK_DOWN:
        case VK_RIGHT:
            scrollBy(hwnd, SB_LINEDOWN);
            break;
        case VK_PRIOR:
            scrollBy(hwnd, SB_PAGEUP);
            break;
        case VK_NEXT:
            scrollBy(hwnd, SB_PAGEDOWN);
            break;
        case VK_HOME:
            scrollBy(hwnd, SB_TOP);
            break;
        case VK_END:
            scrollBy(hwnd, SB_BOTTOM);
            break;
        }
        return 0;
    case SBM_SETPOS: {
        int previous = s->pos;
        s->pos = int(wParam);
        clampPos(*s);
        return previous;
    }
    case SBM_GETPOS:
        return s->pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        int previous = s->pos;
        s->minPos = int(wParam);
        s->maxPos = int(lParam);
        clampPos(*s);
        return previous;
    }
    case SBM_GETRANGE:
        if (wParam) *reinterpret_cast<int*>(wParam) = s->minPos;
        if (lParam) *reinterpret_cast<int*>(lParam) = s->maxPos;
        return 0;
    case SBM_SETSCROLLINFO: {
        auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
        if (!info) return s->pos;
        if (info->fMask & SIF_RANGE) {
            s->minPos = info->nMin;
            s->maxPos = info->nMax;
        }
        if (info->fMask & SIF_PAGE)
            s->page = std::min<UINT>(info->nPage, UINT(std::max(0, s->maxPos - s->minPos + 1)));
        if (info->fMask & SIF_POS) s->pos = info->nPos;
        clampPos(*s);
        return s->pos;
    }
    case SBM_GETSCROLLINFO: {
        auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!info) return FALSE;
        if (info->fMask & SIF_RANGE) {
            info->nMin = s->minPos;
            info->nMax = s->maxPos;
        }
        if (info->fMask & SIF_PAGE) info->nPage = s->page;
        if (info->fMask & SIF_POS) info->nPos = s->pos;
        if (info->fMask & SIF_TRACKPOS)
            info->nTrackPos = s->pressed == SB_THUMBTRACK ? s->trackPos : s->pos;
        return TRUE;
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl

namespace {

bool controlBar(HWND hwnd, int bar) {
    if (bar == SB_CTL && IsWindow(hwnd)) return true;
    SetLastError(IsWindow(hwnd) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

bool windowBar(HWND hwnd, int bar) {
    return (bar == SB_HORZ || bar == SB_VERT) && IsWindow(hwnd);
}

} // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (windowBar(hwnd, bar))
        return info ? sduser::setWindowScrollInfo(hwnd, bar, *info, redraw) : 0;
    if (!controlBar(hwnd, bar) || !info) return 0;
    return int(SendMessageA(hwnd, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(info)));
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    if (windowBar(hwnd, bar)) return info ? sduser::getWindowScrollInfo(hwnd, bar, *info) : FALSE;
    if (!controlBar(hwnd, bar) || !info) return FALSE;
    return BOOL(SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (windowBar(hwnd, bar)) {
        SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
        sduser::getWindowScrollInfo(hwnd, bar, info);
        const int previous = info.nPos;
        info.fMask = SIF_POS;
        info.nPos = pos;
        sduser::setWindowScrollInfo(hwnd, bar, info, redraw);
        return previous;
    }
    if (!controlBar(hwnd, bar)) return 0;
    return int(SendMessageA(hwnd, SBM_SETPOS, WPARAM(pos), redraw));
}

int GetScrollPos(HWND hwnd, int bar) {
    if (windowBar(hwnd, bar)) {
        SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
        sduser::getWindowScrollInfo(hwnd, bar, info);
        return info.nPos;
    }
    if (!controlBar(hwnd, bar)) return 0;
    return int(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (windowBar(hwnd, bar)) {
        SCROLLINFO info{sizeof info, SIF_RANGE, minPos, maxPos, 0, 0, 0};
        sduser::setWindowScrollInfo(hwnd, bar, info, redraw);
        return TRUE;
    }
    if (!controlBar(hwnd, bar)) return FALSE;
    SendMessageA(hwnd, SBM_SETRANGE, WPARAM(minPos), LPARAM(maxPos));
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos) {
    if (windowBar(hwnd, bar)) {
        SCROLLINFO info{sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
        sduser::getWindowScrollInfo(hwnd, bar, info);
        if (minPos) *minPos = info.nMin;
        if (maxPos) *maxPos = info.nMax;
        return TRUE;
    }
    if (!controlBar(hwnd, bar)) return FALSE;
    SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos),
                 reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
}
