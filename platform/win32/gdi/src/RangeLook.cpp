// Controls that show a position in a range: scroll bars (the control and a window's own),
// up-down arrows and trackbars.

#include <algorithm>

#include "ControlLook.h"
#include "win32/ScrollBarParts.h"

namespace sdlook {

void paintScrollBar(HDC dc, const RECT& r, bool vertical, const SCROLLINFO& info, int pressed,
                    bool enabled) {
    const int length = int(vertical ? r.bottom - r.top : r.right - r.left);
    const int thickness = int(vertical ? r.right - r.left : r.bottom - r.top);
    if (length <= 0 || thickness <= 0) return;
    const int arrow =
        std::min<int>(GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL), thickness);
    // A thumb being dragged shows where it is held.
    const SdScrollParts parts =
        SdScrollBarParts(length, arrow, info.nMin, info.nMax, info.nPage,
                         (info.fMask & SIF_TRACKPOS) ? info.nTrackPos : info.nPos);
    auto part = [&](int from, int to) {
        return vertical ? RECT{r.left, r.top + from, r.right, r.top + to}
                        : RECT{r.left + from, r.top, r.left + to, r.bottom};
    };
    // The track: the classic 50 % pattern; the part of it held down is dark.
    const RECT track = part(parts.arrow, length - parts.arrow);
    fillChecker(dc, track, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DFACE));
    if (enabled && parts.thumbLength > 0 &&
        (pressed == SB_PAGEUP + 1 || pressed == SB_PAGEDOWN + 1)) {
        const RECT held = pressed == SB_PAGEUP + 1
                              ? part(parts.arrow, parts.thumbStart)
                              : part(parts.thumbStart + parts.thumbLength, length - parts.arrow);
        fillSys(dc, held, COLOR_3DDKSHADOW);
    }
    const UINT inactive = enabled ? 0 : DFCS_INACTIVE;
    RECT first = part(0, parts.arrow), second = part(length - parts.arrow, length);
    DrawFrameControl(dc, &first, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive |
                         (pressed == SB_LINEUP + 1 ? DFCS_PUSHED | DFCS_FLAT : 0));
    DrawFrameControl(dc, &second, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive |
                         (pressed == SB_LINEDOWN + 1 ? DFCS_PUSHED | DFCS_FLAT : 0));
    if (enabled && parts.thumbLength > 0) {
        RECT thumb = part(parts.thumbStart, parts.thumbStart + parts.thumbLength);
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
}

void paintScrollBarControl(HWND hwnd, HDC dc, const SdLookState& state) {
    const RECT client = clientOf(hwnd);
    controlColour(hwnd, dc, WM_CTLCOLORSCROLLBAR);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    paintScrollBar(dc, client, styleOf(hwnd) & SBS_VERT, info, state.pressed,
                   IsWindowEnabled(hwnd));
}

void paintUpDown(HWND hwnd, HDC dc, const SdLookState& state) {
    const RECT client = clientOf(hwnd);
    const bool horizontal = styleOf(hwnd) & UDS_HORZ;
    const UINT inactive = IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE;
    RECT up = client, down = client;
    if (horizontal) {
        // Left decreases, right increases.
        down.right = up.left = client.left + (client.right - client.left) / 2;
        DrawFrameControl(dc, &down, DFC_SCROLL,
                         DFCS_SCROLLLEFT | inactive | (state.pressed == 2 ? DFCS_PUSHED : 0));
        DrawFrameControl(dc, &up, DFC_SCROLL,
                         DFCS_SCROLLRIGHT | inactive | (state.pressed == 1 ? DFCS_PUSHED : 0));
        return;
    }
    up.bottom = down.top = client.top + (client.bottom - client.top) / 2;
    DrawFrameControl(dc, &up, DFC_SCROLL,
                     DFCS_SCROLLUP | inactive | (state.pressed == 1 ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &down, DFC_SCROLL,
                     DFCS_SCROLLDOWN | inactive | (state.pressed == 2 ? DFCS_PUSHED : 0));
}

void paintTrackbar(HWND hwnd, HDC dc) {
    const DWORD style = styleOf(hwnd);
    const RECT client = clientOf(hwnd);
    HBRUSH brush = controlColour(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, brush);
    const bool vertical = style & TBS_VERT;
    const int minPos = int(SendMessageA(hwnd, TBM_GETRANGEMIN, 0, 0));
    const int maxPos = int(SendMessageA(hwnd, TBM_GETRANGEMAX, 0, 0));
    const int pos = int(SendMessageA(hwnd, TBM_GETPOS, 0, 0));
    // The thumb is 11 pixels along the channel and 21 across; the channel runs between the
    // thumb's half widths at either end, 4 pixels thick, 8 pixels from the top (or left).
    constexpr int thumbAlong = 11, thumbAcross = 21, channelAt = 8, channelThick = 4;
    const int length = int(vertical ? client.bottom - client.top : client.right - client.left);
    const int start = thumbAlong / 2 + 2, end = std::max(start + 1, length - thumbAlong / 2 - 2);
    auto along = [&](int value) {
        if (maxPos <= minPos) return start;
        const long long span = (long long)maxPos - minPos;
        return start + int((long long)(end - start) *
                           ((long long)std::clamp(value, minPos, maxPos) - minPos) / span);
    };
    auto box = [&](int a0, int a1, int c0, int c1) {
        return vertical
                   ? RECT{client.left + c0, client.top + a0, client.left + c1, client.top + a1}
                   : RECT{client.left + a0, client.top + c0, client.left + a1, client.top + c1};
    };
    RECT channel = box(start - 2, end + 2, channelAt, channelAt + channelThick);
    DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    if (!(style & TBS_NOTICKS)) {
        // A tick at each end and at each position the control reports, below the thumb.
        const COLORREF tickColour = GetSysColor(COLOR_WINDOWTEXT);
        auto tick = [&](int value) {
            const int a = along(value);
            fillColor(dc, box(a, a + 1, thumbAcross + 3, thumbAcross + 7), tickColour);
        };
        tick(minPos);
        tick(maxPos);
        const int inner = std::max(0, int(SendMessageA(hwnd, TBM_GETNUMTICS, 0, 0)) - 2);
        for (int i = 0; i < inner && i < 10000; ++i) {
            const LRESULT value = SendMessageA(hwnd, TBM_GETTIC, WPARAM(i), 0);
            if (value != -1) tick(int(value));
        }
    }
    if (!(style & TBS_NOTHUMB)) {
        const int a = along(pos);
        RECT thumb = box(a - thumbAlong / 2, a - thumbAlong / 2 + thumbAlong, 2, 2 + thumbAcross);
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        if (!IsWindowEnabled(hwnd))
            fillChecker(dc, RECT{thumb.left + 2, thumb.top + 2, thumb.right - 2, thumb.bottom - 2},
                        GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DFACE));
    }
    if (GetFocus() == hwnd) DrawFocusRect(dc, &client);
}

} // namespace sdlook
