// The trackbar ("msctls_trackbar32"): a position in a range moved by keys and the mouse;
// each move tells the parent (WM_HSCROLL, or WM_VSCROLL with TBS_VERT), and the end of a
// move is TB_ENDTRACK. Messages that set the position do not notify.

#include <algorithm>
#include <vector>

#include "ControlSupport.h"

namespace sdctl {

namespace {

struct TrackbarState {
    int minPos = 0;
    int maxPos = 100;
    int pos = 0;
    int line = 1;
    int page = 20;
    int ticFrequency = 1;
    std::vector<int> tics;
    bool tracking = false;
};

bool vertical(HWND hwnd) {
    return styleOf(hwnd) & TBS_VERT;
}

void clampPos(TrackbarState& s) {
    s.pos = std::clamp(s.pos, s.minPos, std::max(s.minPos, s.maxPos));
}

void moveTo(HWND hwnd, TrackbarState& s, int pos, WORD code) {
    s.pos = pos;
    clampPos(s);
    InvalidateRect(hwnd, nullptr, FALSE);
    bool thumb = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    notifyScroll(hwnd, vertical(hwnd), code, thumb ? s.pos : 0);
}

int posAt(HWND hwnd, const TrackbarState& s, LPARAM lParam) {
    RECT client{};
    GetClientRect(hwnd, &client);
    int extent = int(vertical(hwnd) ? client.bottom : client.right) - 1;
    int at = vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
    if (extent <= 0) return s.minPos;
    at = std::clamp(at, 0, extent);
    return s.minPos + int((long long)(at) * (s.maxPos - s.minPos) * 2 / extent + 1) / 2;
}

} // namespace

static LRESULT trackbarMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK trackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, trackbarMessage,
                               {{WM_LBUTTONDOWN},
                                {WM_MOUSEMOVE, Redraw::IfDragging},
                                {WM_LBUTTONUP},
                                {WM_KEYDOWN},
                                {TBM_SETPOS, Redraw::IfWParam},
                                {TBM_SETRANGE, Redraw::IfWParam},
                                {TBM_SETRANGEMIN, Redraw::IfWParam},
                                {TBM_SETRANGEMAX, Redraw::IfWParam},
                                {TBM_SETTICFREQ},
                                {TBM_SETTIC},
                                {TBM_CLEARTICS, Redraw::IfWParam}});
}

static LRESULT trackbarMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        attachState<TrackbarState>(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    TrackbarState* s = stateOf<TrackbarState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_NCDESTROY:
        detachState<TrackbarState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
        case VK_UP:
            moveTo(hwnd, *s, s->pos - s->line, TB_LINEUP);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            moveTo(hwnd, *s, s->pos + s->line, TB_LINEDOWN);
            break;
        case VK_PRIOR:
            moveTo(hwnd, *s, s->pos - s->page, TB_PAGEUP);
            break;
        case VK_NEXT:
            moveTo(hwnd, *s, s->pos + s->page, TB_PAGEDOWN);
            break;
        case VK_HOME:
            moveTo(hwnd, *s, s->minPos, TB_TOP);
            break;
        case VK_END:
            moveTo(hwnd, *s, s->maxPos, TB_BOTTOM);
            break;
        }
        return 0;
    case WM_KEYUP:
        switch (wParam) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            notifyScroll(hwnd, vertical(hwnd), TB_ENDTRACK, 0);
            break;
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (!IsWindowEnabled(hwnd)) return 0;
        if (GetFocus() != hwnd) SetFocus(hwnd);
        SetCapture(hwnd);
        s->tracking = true;
        moveTo(hwnd, *s, posAt(hwnd, *s, lParam), TB_THUMBTRACK);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking) moveTo(hwnd, *s, posAt(hwnd, *s, lParam), TB_THUMBTRACK);
        return 0;
    case WM_LBUTTONUP:
        if (!s->tracking) return 0;
        s->tracking = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        moveTo(hwnd, *s, posAt(hwnd, *s, lParam), TB_THUMBPOSITION);
        notifyScroll(hwnd, vertical(hwnd), TB_ENDTRACK, 0);
        return 0;
    case TBM_GETPOS:
        return s->pos;
    case TBM_SETPOS:
        s->pos = int(lParam);
        clampPos(*s);
        return 0;
    case TBM_GETRANGEMIN:
        return s->minPos;
    case TBM_GETRANGEMAX:
        return s->maxPos;
    case TBM_SETRANGE:
        s->minPos = SHORT(LOWORD(lParam));
        s->maxPos = SHORT(HIWORD(lParam));
        clampPos(*s);
        return 0;
    case TBM_SETRANGEMIN:
        s->minPos = int(lParam);
        clampPos(*s);
        return 0;
    case TBM_SETRANGEMAX:
        s->maxPos = int(lParam);
        clampPos(*s);
        return 0;
    case TBM_SETLINESIZE: {
        int previous = s->line;
        s->line = int(lParam);
        return previous;
    }
    case TBM_GETLINESIZE:
        return s->line;
    case TBM_SETPAGESIZE: {
        int previous = s->page;
        s->page = int(lParam);
        return previous;
    }
    case TBM_GETPAGESIZE:
        return s->page;
    case TBM_SETTICFREQ:
        s->ticFrequency = std::max(1, int(wParam));
        return 0;
    case TBM_SETTIC:
        if (int(lParam) < s->minPos || int(lParam) > s->maxPos) return FALSE;
        s->tics.push_back(int(lParam));
        return TRUE;
    case TBM_CLEARTICS:
        s->tics.clear();
        return 0;
    case TBM_GETTIC:
        return wParam < s->tics.size() ? s->tics[wParam] : -1;
    case TBM_GETNUMTICS:
        return LRESULT(s->tics.size()) + 2;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
