// A window as it stands: the window and its visible descendants repainted, then composed
// from their surfaces in z-order, each with its non-client parts.

#include <algorithm>
#include <strings.h>
#include <vector>

#include "NonClientLook.h"
#include "GdiSettings.h"
#include "win32/controls.h"
#include "win32/nls.h"
#include "win32/user.h"
#include "win32/wingdi.h"

namespace sdgdi {

namespace {

bool isGroupBox(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return strcasecmp(name, "Button") == 0 && (GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Paints what is pending in the window and its visible descendants, parents first, as the
// pictures show the windows' present state.
void paintTree(HWND hwnd, bool all) {
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE)) return;
    if (all) InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        paintTree(child, all);
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
        if (isGroupBox(hwnd)) {
            // A group box paints its frame and caption only: what lies inside shows through.
            const LONG top = std::min<LONG>(client.bottom, 16), edge = 2;
            const RECT parts[] = {{0, 0, client.right, top},
                                  {0, top, edge, client.bottom},
                                  {client.right - edge, top, client.right, client.bottom},
                                  {edge, client.bottom - edge, client.right - edge, client.bottom}};
            for (const RECT& p : parts)
                if (p.right > p.left && p.bottom > p.top)
                    BitBlt(dc, clientAt.x + p.left, clientAt.y + p.top, p.right - p.left, p.bottom - p.top,
                           source, p.left, p.top, SRCCOPY);
        } else {
            BitBlt(dc, clientAt.x, clientAt.y, client.right, client.bottom, source, 0, 0, SRCCOPY);
        }
        ReleaseDC(hwnd, source);
    }
    sdlook::paintNonClient(hwnd, dc, windowAt);
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

namespace {

BOOL printTree(HWND hwnd, HDC dc, bool repaintAll) {
    if (!IsWindow(hwnd) || GetObjectType(dc) == 0) return FALSE;
    sdgdi::paintTree(hwnd, repaintAll);
    RECT r{};
    GetWindowRect(hwnd, &r);
    sdgdi::compose(hwnd, dc, POINT{0, 0}, RECT{0, 0, r.right - r.left, r.bottom - r.top});
    return TRUE;
}

} // namespace

BOOL PrintWindow(HWND hwnd, HDC dc, UINT) {
    return printTree(hwnd, dc, true);
}

BOOL SdComposeWindow(HWND hwnd, HDC dc) {
    return printTree(hwnd, dc, false);
}
