// Scrolling a window's contents: the pixels move on its surface (the drawing layer does
// that), the pending update area moves with them, and the strip left uncovered is
// invalidated.

#include <algorithm>
#include <atomic>

#include "WindowTable.h"
#include "win32/WindowDc.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

std::atomic<SdWindowSurfaceScroll> surfaceScroll{nullptr};

// The user library's rectangle rules, as values.
bool emptyRect(const RECT& r) {
    return IsRectEmpty(&r);
}

RECT intersection(const RECT& a, const RECT& b) {
    RECT r;
    IntersectRect(&r, &a, &b);
    return r;
}

RECT bounds(const RECT& a, const RECT& b) {
    RECT r;
    UnionRect(&r, &a, &b);
    return r;
}

RECT offset(RECT r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}

// The bounding rectangle of the part of `area` (inside `clip`) that the moved pixels do not
// cover.
RECT uncovered(const RECT& area, const RECT& clip, int dx, int dy) {
    const RECT target = intersection(area, clip);
    if (emptyRect(target)) return RECT{0, 0, 0, 0};
    RECT strip{0, 0, 0, 0};
    if (dx > 0) strip = bounds(strip, RECT{target.left, target.top, std::min(target.right, area.left + dx), target.bottom});
    if (dx < 0) strip = bounds(strip, RECT{std::max(target.left, area.right + dx), target.top, target.right, target.bottom});
    if (dy > 0) strip = bounds(strip, RECT{target.left, target.top, target.right, std::min(target.bottom, area.top + dy)});
    if (dy < 0) strip = bounds(strip, RECT{target.left, std::max(target.top, area.bottom + dy), target.right, target.bottom});
    return intersection(strip, target);
}

} // namespace

void SdSetWindowSurfaceScroll(SdWindowSurfaceScroll scroll) {
    surfaceScroll = scroll;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scrollRect, const RECT* clipRect,
                   HANDLE, LPRECT updateRect, UINT flags) {
    RECT area{};
    RECT clip{};
    RECT strip{};
    std::vector<HWND> children;
    {
        UserLock lock = lockUser();
        Window* w = findWindow(hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        const RECT client = clientRect(w);
        area = scrollRect ? intersection(*scrollRect, client) : client;
        clip = clipRect ? intersection(*clipRect, area) : area;
        strip = uncovered(area, clip, dx, dy);
        // What waited to be painted in the area now waits where its pixels went.
        if (w->hasUpdate && !emptyRect(intersection(w->update, area))) {
            RECT moved = intersection(offset(w->update, dx, dy), clip);
            RECT outside = w->update;
            if (outside.left >= area.left && outside.right <= area.right &&
                outside.top >= area.top && outside.bottom <= area.bottom)
                outside = RECT{0, 0, 0, 0};
            w->update = bounds(moved, outside);
            w->hasUpdate = !emptyRect(w->update);
        }
        if ((flags & SW_INVALIDATE) && !emptyRect(strip)) {
            w->update = w->hasUpdate ? bounds(w->update, strip) : strip;
            w->hasUpdate = true;
            if (flags & SW_ERASE) w->erasePending = true;
        }
        if (flags & SW_SCROLLCHILDREN) children = w->children;
    }
    if (SdWindowSurfaceScroll scroll = surfaceScroll.load(); scroll && (dx || dy))
        scroll(hwnd, dx, dy, area, clip);
    for (HWND child : children) {
        RECT r{};
        if (!GetWindowRect(child, &r)) continue;
        POINT origin{r.left, r.top};
        ScreenToClient(hwnd, &origin);
        SetWindowPos(child, nullptr, origin.x + dx, origin.y + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (updateRect) *updateRect = strip;
    return emptyRect(strip) ? 1 /* NULLREGION */ : 2 /* SIMPLEREGION */;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scrollRect, const RECT* clipRect) {
    const UINT flags = SW_INVALIDATE | SW_ERASE | (scrollRect ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(hwnd, dx, dy, scrollRect, clipRect, nullptr, nullptr, flags) != 0;
}
