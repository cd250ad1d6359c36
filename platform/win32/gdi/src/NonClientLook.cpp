// The non-client parts of a window painted from its layout (win32/NonClient.h): frames,
// a child's caption with its buttons, a top-level window's menu bar, client and static
// edges, the window's own scroll bars and the size box.

#include "NonClientLook.h"

#include <cstring>

#include "ControlLook.h"
#include "MenuLook.h"
#include "win32/NonClient.h"

namespace sdlook {

namespace {

RECT moved(RECT r, POINT at) {
    OffsetRect(&r, int(at.x), int(at.y));
    return r;
}

bool empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Whether the focus is in the window: its caption shows active.
bool active(HWND hwnd) {
    HWND focus = GetFocus();
    return focus && (focus == hwnd || IsChild(hwnd, focus));
}

void caption(HWND hwnd, HDC dc, const SdNonClientLayout& l, POINT at) {
    const bool isActive = active(hwnd);
    RECT bar = moved(l.caption, at);
    fillSys(dc, bar, isActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    // The line of the face below the caption.
    fillSys(dc, RECT{bar.left, bar.bottom, bar.right, bar.bottom + 1}, COLOR_3DFACE);
    LOGFONTA lf{};
    lf.lfHeight = l.toolWindow ? -10 : -11;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "DejaVu Sans Condensed");
    HFONT bold = CreateFontIndirectA(&lf);
    {
        FontScope font(dc, bold);
        RECT text = bar;
        text.left += 2;
        if (!empty(l.minButton))
            text.right = at.x + l.minButton.left;
        else if (!empty(l.closeButton))
            text.right = at.x + l.closeButton.left;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(isActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        const std::string title = windowText(hwnd);
        DrawTextA(dc, title.c_str(), int(title.size()), &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    DeleteObject(bold);
    const DWORD style = styleOf(hwnd);
    if (!empty(l.closeButton)) {
        RECT r = moved(l.closeButton, at);
        DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    }
    if (!empty(l.maxButton)) {
        RECT r = moved(l.maxButton, at);
        DrawFrameControl(dc, &r, DFC_CAPTION,
                         ((style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                             ((style & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE));
    }
    if (!empty(l.minButton)) {
        RECT r = moved(l.minButton, at);
        DrawFrameControl(dc, &r, DFC_CAPTION,
                         DFCS_CAPTIONMIN | ((style & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE));
    }
}

void frame(HDC dc, const SdNonClientLayout& l, POINT at) {
    RECT r = moved(l.window, at);
    if (l.frame == 1) {
        frameColor(dc, r, GetSysColor(COLOR_WINDOWFRAME));
        return;
    }
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    // What is left of the frame inside the raised edge: the face (the border colour of a
    // sizing frame).
    const int colour = l.sizing ? COLOR_ACTIVEBORDER : COLOR_3DFACE;
    for (int i = 2; i < l.frame; ++i) {
        frameColor(dc, r, GetSysColor(colour));
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

} // namespace

void paintNonClient(HWND hwnd, HDC dc, POINT at) {
    const SdNonClientLayout l = SdGetNonClientLayout(hwnd);
    if (empty(l.window)) return;
    if (l.frame > 0) frame(dc, l, at);
    if (!empty(l.caption)) caption(hwnd, dc, l, at);
    if (!empty(l.menuBar)) paintMenuBar(dc, GetMenu(hwnd), moved(l.menuBar, at), SdMenuBarHighlight(hwnd));
    RECT edges = moved(l.edges, at);
    if (l.clientEdge) DrawEdge(dc, &edges, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (l.staticEdge) DrawEdge(dc, &edges, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    const bool enabled = IsWindowEnabled(hwnd);
    for (int bar : {SB_HORZ, SB_VERT}) {
        const RECT& strip = bar == SB_HORZ ? l.hscroll : l.vscroll;
        if (empty(strip)) continue;
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd, bar, &info);
        paintScrollBar(dc, moved(strip, at), bar == SB_VERT, info, 0, enabled);
    }
    if (!empty(l.sizeBox)) {
        RECT box = moved(l.sizeBox, at);
        fillSys(dc, box, COLOR_3DFACE);
        // A sizing window shows the grip in its corner.
        HWND parent = GetParent(hwnd);
        if ((styleOf(hwnd) & WS_THICKFRAME) || (parent && !(styleOf(hwnd) & WS_CHILD)))
            DrawFrameControl(dc, &box, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

} // namespace sdlook
