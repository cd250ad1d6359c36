// A window as it stands, composed from the surfaces of the window and its visible
// descendants in z-order, with its own scroll bars drawn in the classic colours.

#include <algorithm>
#include <vector>

#include "GdiSettings.h"
#include "win32/controls.h"
#include "win32/nls.h"
#include "win32/user.h"
#include "win32/wingdi.h"

namespace sdgdi {

namespace {

void fill(HDC dc, const RECT& r, int colorIndex) {
    HBRUSH brush = CreateSolidBrush(GetSysColor(colorIndex));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A raised box: light left and top, shadow right and bottom.
void raisedBox(HDC dc, const RECT& r) {
    fill(dc, r, COLOR_3DFACE);
    fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, COLOR_3DHIGHLIGHT);
    fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, COLOR_3DHIGHLIGHT);
    fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, COLOR_3DSHADOW);
    fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, COLOR_3DSHADOW);
}

// One of the window's own bars in the strip (device coordinates of dc): the track, the two
// arrow boxes and the thumb where the position puts it.
void drawScrollBar(HDC dc, HWND hwnd, int bar, const RECT& strip) {
    fill(dc, strip, COLOR_SCROLLBAR);
    const bool horizontal = bar == SB_HORZ;
    const int arrow = GetSystemMetrics(horizontal ? SM_CXHSCROLL : SM_CYVSCROLL);
    const int length = horizontal ? strip.right - strip.left : strip.bottom - strip.top;
    auto part = [&](int from, int to) {
        return horizontal ? RECT{strip.left + from, strip.top, strip.left + to, strip.bottom}
                          : RECT{strip.left, strip.top + from, strip.right, strip.top + to};
    };
    raisedBox(dc, part(0, std::min(arrow, length)));
    raisedBox(dc, part(std::max(0, length - arrow), length));
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hwnd, bar, &info)) return;
    const int track = length - 2 * arrow;
    const long long range = (long long)info.nMax - info.nMin + 1;
    if (track <= 8 || range <= 0) return;
    const int thumb = info.nPage ? int(std::max<long long>(8, track * (long long)info.nPage / range)) : 8;
    const long long span = std::max<long long>(1, range - std::max<UINT>(1, info.nPage));
    const int at = arrow + int((track - thumb) * ((long long)info.nPos - info.nMin) / span);
    raisedBox(dc, part(at, std::min(length - arrow, at + thumb)));
}

void compose(HWND hwnd, HDC dc, POINT windowAt, const RECT& clip) {
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT windowRect{};
    GetWindowRect(hwnd, &windowRect);
    POINT clientOrigin{0, 0};
    ClientToScreen(hwnd, &clientOrigin);
    const POINT clientAt{windowAt.x + clientOrigin.x - windowRect.left,
                         windowAt.y + clientOrigin.y - windowRect.top};

    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    HDC source = GetDC(hwnd);
    if (source) {
        BitBlt(dc, clientAt.x, clientAt.y, client.right, client.bottom, source, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, source);
    }
    const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    if (style & WS_HSCROLL)
        drawScrollBar(dc, hwnd, SB_HORZ,
                      RECT{clientAt.x, clientAt.y + client.bottom, clientAt.x + client.right,
                           clientAt.y + client.bottom + barHeight});
    if (style & WS_VSCROLL)
        drawScrollBar(dc, hwnd, SB_VERT,
                      RECT{clientAt.x + client.right, clientAt.y, clientAt.x + client.right + barWidth,
                           clientAt.y + client.bottom});
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL))
        fill(dc, RECT{clientAt.x + client.right, clientAt.y + client.bottom,
                      clientAt.x + client.right + barWidth, clientAt.y + client.bottom + barHeight},
             COLOR_3DFACE);
    RestoreDC(dc, saved);

    // Children bottom first, each inside this window's client area.
    const RECT clientClip{std::max(clip.left, clientAt.x), std::max(clip.top, clientAt.y),
                          std::min(clip.right, clientAt.x + client.right),
                          std::min(clip.bottom, clientAt.y + client.bottom)};
    std::vector<HWND> children;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (!(GetWindowLongA(*it, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r{};
        GetWindowRect(*it, &r);
        const POINT at{clientAt.x + r.left - clientOrigin.x, clientAt.y + r.top - clientOrigin.y};
        const RECT childClip{std::max(clientClip.left, at.x), std::max(clientClip.top, at.y),
                             std::min(clientClip.right, at.x + (r.right - r.left)),
                             std::min(clientClip.bottom, at.y + (r.bottom - r.top))};
        if (childClip.right > childClip.left && childClip.bottom > childClip.top)
            compose(*it, dc, at, childClip);
    }
}

} // namespace

} // namespace sdgdi

BOOL PrintWindow(HWND hwnd, HDC dc, UINT) {
    if (!IsWindow(hwnd) || GetObjectType(dc) == 0) return FALSE;
    RECT r{};
    GetWindowRect(hwnd, &r);
    sdgdi::compose(hwnd, dc, POINT{0, 0}, RECT{0, 0, r.right - r.left, r.bottom - r.top});
    return TRUE;
}
