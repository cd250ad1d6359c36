// Painting steps shared by the window layer's look, and the public frame helpers built on
// them: DrawEdge, DrawFrameControl, DrawFocusRect and the system colour brushes.

#include "LookPaint.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "GdiObjects.h"

namespace sdlook {

namespace {

bool emptyRect(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The seven rows of the check mark, left column first.
constexpr const char* checkRows[7] = {"......#", ".....##", "#...###", "##.###.",
                                      "#####..", ".###...", "..#...."};

} // namespace

void fillColor(HDC dc, const RECT& r, COLORREF colour) {
    if (emptyRect(r)) return;
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void fillChecker(HDC dc, const RECT& r, COLORREF first, COLORREF second) {
    if (emptyRect(r)) return;
    fillColor(dc, r, second);
    HBRUSH b = CreateSolidBrush(first);
    POINT origin{r.left, r.top};
    LPtoDP(dc, &origin, 1);
    const LONG shift = (origin.x - r.left) + (origin.y - r.top); // logical to device parity
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left + ((r.left + y + shift) & 1); x < r.right; x += 2) {
            RECT dot{x, y, x + 1, y + 1};
            FillRect(dc, &dot, b);
        }
    DeleteObject(b);
}

void frameColor(HDC dc, const RECT& r, COLORREF colour) {
    if (emptyRect(r)) return;
    HBRUSH b = CreateSolidBrush(colour);
    FrameRect(dc, &r, b);
    DeleteObject(b);
}

void arrowGlyph(HDC dc, const RECT& r, Arrow direction, COLORREF colour) {
    const int w = int(r.right - r.left), h = int(r.bottom - r.top);
    const bool vertical = direction == Arrow::Up || direction == Arrow::Down;
    const int across = vertical ? w : h, along = vertical ? h : w;
    // Rows of the triangle from its tip: 1, 3, 5, ... pixels.
    int rows = std::max(1, (std::min(across, along) + 2) / 4);
    if (2 * rows - 1 > across) rows = (across + 1) / 2;
    if (rows < 1) return;
    const int tipAlong = (along - rows) / 2;
    const int centre = (across - 1) / 2;
    HBRUSH b = CreateSolidBrush(colour);
    for (int i = 0; i < rows; ++i) {
        const int step = (direction == Arrow::Up || direction == Arrow::Left)
                             ? tipAlong + i
                             : tipAlong + rows - 1 - i;
        RECT line = vertical ? RECT{r.left + centre - i, r.top + step, r.left + centre + i + 1,
                                    r.top + step + 1}
                             : RECT{r.left + step, r.top + centre - i, r.left + step + 1,
                                    r.top + centre + i + 1};
        FillRect(dc, &line, b);
    }
    DeleteObject(b);
}

void checkGlyph(HDC dc, const RECT& r, COLORREF colour) {
    const int x0 = int(r.left) + (int(r.right - r.left) - 7) / 2;
    const int y0 = int(r.top) + (int(r.bottom - r.top) - 7) / 2;
    HBRUSH b = CreateSolidBrush(colour);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (checkRows[y][x] == '#') {
                RECT dot{x0 + x, y0 + y, x0 + x + 1, y0 + y + 1};
                FillRect(dc, &dot, b);
            }
    DeleteObject(b);
}

void bulletGlyph(HDC dc, const RECT& r, int diameter, COLORREF colour) {
    if (diameter <= 0) return;
    const int x0 = int(r.left) + (int(r.right - r.left) - diameter) / 2;
    const int y0 = int(r.top) + (int(r.bottom - r.top) - diameter) / 2;
    HBRUSH b = CreateSolidBrush(colour);
    // Pixel centres inside the circle through the box's edges (radius d/2, a little more so
    // that small dots keep their corners' neighbours).
    const double c = diameter / 2.0, limit = c * c + c * 0.5;
    for (int y = 0; y < diameter; ++y)
        for (int x = 0; x < diameter; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            if (dx * dx + dy * dy <= limit) {
                RECT dot{x0 + x, y0 + y, x0 + x + 1, y0 + y + 1};
                FillRect(dc, &dot, b);
            }
        }
    DeleteObject(b);
}

RECT buttonFace(HDC dc, const RECT& r, bool pushed, bool flat) {
    RECT inner = r;
    if (flat) {
        frameColor(dc, r, GetSysColor(COLOR_3DSHADOW));
        inner = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        fillSys(dc, inner, COLOR_3DFACE);
        return inner;
    }
    DrawEdge(dc, &inner, pushed ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
    return inner;
}

FontScope::FontScope(HDC dc, HFONT font) : dc_(dc) {
    old_ = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    if (!old_) old_ = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
}

FontScope::~FontScope() {
    if (old_) SelectObject(dc_, old_);
}

} // namespace sdlook

using namespace sdlook;

namespace {

struct EdgeColours {
    int outerLight, outerDark, innerLight, innerDark; // -1: that border is not drawn
};

EdgeColours edgeColours(UINT edge, UINT flags) {
    EdgeColours c{-1, -1, -1, -1};
    const bool soft = flags & BF_SOFT;
    if (edge & BDR_RAISEDOUTER)
        c.outerLight = soft ? COLOR_3DHILIGHT : COLOR_3DLIGHT, c.outerDark = COLOR_3DDKSHADOW;
    else if (edge & BDR_SUNKENOUTER)
        c.outerLight = soft ? COLOR_3DDKSHADOW : COLOR_3DSHADOW, c.outerDark = COLOR_3DHILIGHT;
    if (edge & BDR_RAISEDINNER)
        c.innerLight = soft ? COLOR_3DLIGHT : COLOR_3DHILIGHT, c.innerDark = COLOR_3DSHADOW;
    else if (edge & BDR_SUNKENINNER)
        c.innerLight = soft ? COLOR_3DSHADOW : COLOR_3DDKSHADOW, c.innerDark = COLOR_3DLIGHT;
    if (flags & BF_MONO) {
        // One colour outside, the window colour inside.
        if (c.outerLight >= 0) c.outerLight = c.outerDark = COLOR_WINDOWFRAME;
        if (c.innerLight >= 0) c.innerLight = c.innerDark = COLOR_WINDOW;
    } else if (flags & BF_FLAT) {
        if (c.outerLight >= 0) c.outerLight = c.outerDark = COLOR_3DSHADOW;
        if (c.innerLight >= 0) c.innerLight = c.innerDark = COLOR_3DFACE;
    }
    return c;
}

// One ring of the edge: light top and left stop short of the far corners.
void ring(HDC dc, RECT& r, int light, int dark, UINT flags) {
    if (light < 0 || emptyRect(r)) return;
    const COLORREF lc = GetSysColor(light), dcol = GetSysColor(dark);
    if (flags & BF_TOP) fillColor(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, lc);
    if (flags & BF_LEFT) fillColor(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, lc);
    if (flags & BF_BOTTOM) fillColor(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dcol);
    if (flags & BF_RIGHT) fillColor(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, dcol);
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_BOTTOM) --r.bottom;
    if (flags & BF_RIGHT) --r.right;
}

// A diagonal edge: a line between the corners the flags name, outer colour over inner.
BOOL diagonal(HDC dc, RECT* rect, const EdgeColours& c, UINT flags) {
    const RECT r = *rect;
    const int w = int(r.right - r.left), h = int(r.bottom - r.top);
    const int n = std::min(w, h);
    if (n <= 0) return TRUE;
    // The end named by the flags decides the line's slope.
    const bool rising = (flags & (BF_TOP | BF_RIGHT)) == (BF_TOP | BF_RIGHT) ||
                        (flags & (BF_BOTTOM | BF_LEFT)) == (BF_BOTTOM | BF_LEFT);
    auto line = [&](int offset, int index) {
        if (index < 0) return;
        HBRUSH b = CreateSolidBrush(GetSysColor(index));
        for (int i = 0; i < n - offset; ++i) {
            const LONG x = r.left + offset + i;
            const LONG y = rising ? r.bottom - 1 - i : r.top + i;
            RECT dot{x, y, x + 1, y + 1};
            FillRect(dc, &dot, b);
        }
        DeleteObject(b);
    };
    line(0, c.outerDark);
    line(1, c.innerDark);
    if (flags & BF_MIDDLE) {
        // The triangle beyond the line stays; only the line is the edge.
    }
    if (flags & BF_ADJUST) {
        rect->left += 1;
        rect->top += 1;
    }
    return TRUE;
}

constexpr const char* closeRows[] = {"##....##", ".##..##.", "..####..", "...##...",
                                     "..####..", ".##..##.", "##....##"};

void captionGlyph(HDC dc, const RECT& r, UINT kind, COLORREF colour) {
    const int cx = int(r.left + r.right) / 2, cy = int(r.top + r.bottom) / 2;
    HBRUSH b = CreateSolidBrush(colour);
    auto box = [&](RECT q) { FillRect(dc, &q, b); };
    switch (kind) {
    case DFCS_CAPTIONCLOSE:
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 8; ++x)
                if (closeRows[y][x] == '#')
                    box(RECT{cx - 4 + x, cy - 4 + y, cx - 3 + x, cy - 3 + y});
        break;
    case DFCS_CAPTIONMIN:
        box(RECT{cx - 4, cy + 2, cx + 2, cy + 4});
        break;
    case DFCS_CAPTIONMAX:
        box(RECT{cx - 5, cy - 5, cx + 4, cy - 3});
        box(RECT{cx - 5, cy - 3, cx - 4, cy + 4});
        box(RECT{cx + 3, cy - 3, cx + 4, cy + 4});
        box(RECT{cx - 5, cy + 3, cx + 4, cy + 4});
        break;
    case DFCS_CAPTIONRESTORE:
        box(RECT{cx - 3, cy - 5, cx + 4, cy - 3});
        box(RECT{cx + 3, cy - 3, cx + 4, cy + 1});
        box(RECT{cx - 5, cy - 2, cx + 2, cy});
        box(RECT{cx - 5, cy, cx - 4, cy + 4});
        box(RECT{cx + 1, cy, cx + 2, cy + 4});
        box(RECT{cx - 5, cy + 3, cx + 2, cy + 4});
        break;
    case DFCS_CAPTIONHELP:
        box(RECT{cx - 2, cy - 4, cx + 2, cy - 3});
        box(RECT{cx + 2, cy - 3, cx + 3, cy - 1});
        box(RECT{cx, cy - 1, cx + 2, cy});
        box(RECT{cx, cy, cx + 1, cy + 1});
        box(RECT{cx, cy + 2, cx + 1, cy + 3});
        break;
    default:
        break;
    }
    DeleteObject(b);
}

// The check box: a sunken square, the window colour inside (the face colour while pushed or
// inactive), the mark when checked (grey for the indeterminate state).
void checkBox(HDC dc, const RECT& box, UINT state, bool threeState) {
    RECT r = box;
    DrawEdge(dc, &r, EDGE_SUNKEN,
             BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                 ((state & DFCS_MONO) ? BF_MONO : 0));
    const bool grey = threeState && (state & DFCS_CHECKED);
    if (grey)
        fillChecker(dc, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DFACE));
    else
        fillSys(dc, r, (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_3DFACE : COLOR_WINDOW);
    if (state & DFCS_CHECKED)
        checkGlyph(
            dc, r,
            GetSysColor(grey || (state & DFCS_INACTIVE) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT));
}

// The radio button, pixel by pixel on rings around the centre: the outer ring shadow above
// and left, highlight below and right; the inner ring dark shadow and light; the dot.
void radioButton(HDC dc, const RECT& box, UINT state) {
    const int s = int(std::min(box.right - box.left, box.bottom - box.top));
    if (s <= 0) return;
    const double c = s / 2.0;
    const COLORREF inside =
        GetSysColor((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_3DFACE : COLOR_WINDOW);
    const COLORREF dot = GetSysColor((state & DFCS_INACTIVE) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT);
    const double dotRadius = s >= 12 ? 2.0 : std::max(1.0, s / 6.0);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            const double d = std::sqrt(dx * dx + dy * dy);
            const bool upperLeft = dx + dy < 0;
            COLORREF colour;
            if (d > c) continue;
            if (d > c - 1.2)
                colour = GetSysColor(upperLeft ? COLOR_3DSHADOW : COLOR_3DHILIGHT);
            else if (d > c - 2.2)
                colour = GetSysColor(upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT);
            else if ((state & DFCS_CHECKED) && d <= dotRadius)
                colour = dot;
            else
                colour = inside;
            fillColor(dc, RECT{box.left + x, box.top + y, box.left + x + 1, box.top + y + 1},
                      colour);
        }
}

RECT squareIn(const RECT& r) {
    const LONG s = std::min(r.right - r.left, r.bottom - r.top);
    const LONG x = r.left + (r.right - r.left - s) / 2, y = r.top + (r.bottom - r.top - s) / 2;
    return RECT{x, y, x + s, y + s};
}

void sizeGrip(HDC dc, const RECT& r) {
    const int s = int(std::min(r.right - r.left, r.bottom - r.top));
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            // Distance from the bottom-right corner along the diagonal.
            const int d = x + y;
            const int k = d % 4;
            if (d < 1 || d > 12 || k == 0) continue;
            const COLORREF c = GetSysColor(k == 3 ? COLOR_3DHILIGHT : COLOR_3DSHADOW);
            fillColor(dc, RECT{r.right - 1 - x, r.bottom - 1 - y, r.right - x, r.bottom - y}, c);
        }
}

} // namespace

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
    if (!dc || !rect || GetObjectType(dc) == 0) return FALSE;
    const EdgeColours c = edgeColours(edge, flags);
    if (flags & BF_DIAGONAL) return diagonal(dc, rect, c, flags);
    RECT r = *rect;
    ring(dc, r, c.outerLight, c.outerDark, flags);
    ring(dc, r, c.innerLight, c.innerDark, flags);
    if (flags & BF_MIDDLE) fillSys(dc, r, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE);
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
}

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state) {
    if (!dc || !rect || GetObjectType(dc) == 0) return FALSE;
    RECT r = *rect;
    const bool inactive = state & DFCS_INACTIVE;
    const bool pushed = state & DFCS_PUSHED;
    switch (type) {
    case DFC_BUTTON: {
        const UINT kind = state & 0x1F;
        if (kind & DFCS_BUTTONPUSH) {
            RECT inner = r;
            if (state & DFCS_FLAT) {
                inner = buttonFace(dc, r, pushed, true);
            } else {
                DrawEdge(dc, &inner, pushed || (state & DFCS_CHECKED) ? EDGE_SUNKEN : EDGE_RAISED,
                         BF_RECT | BF_SOFT | BF_ADJUST | ((state & DFCS_MONO) ? BF_MONO : 0));
                if ((state & DFCS_CHECKED) && !pushed)
                    fillChecker(dc, inner, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DFACE));
                else
                    fillSys(dc, inner, COLOR_3DFACE);
            }
            if (state & DFCS_ADJUSTRECT) *rect = inner;
            return TRUE;
        }
        if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            radioButton(dc, squareIn(r), state);
            return TRUE;
        }
        checkBox(dc, squareIn(r), state, kind & DFCS_BUTTON3STATE);
        return TRUE;
    }
    case DFC_SCROLL: {
        const UINT kind = state & 0x1F;
        if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
            sizeGrip(dc, r);
            return TRUE;
        }
        buttonFace(dc, r, false, pushed || (state & DFCS_FLAT));
        RECT inner = r; // the glyph is placed in the whole box
        if (pushed) OffsetRect(&inner, 1, 1);
        Arrow a = kind == DFCS_SCROLLUP      ? Arrow::Up
                  : kind == DFCS_SCROLLLEFT  ? Arrow::Left
                  : kind == DFCS_SCROLLRIGHT ? Arrow::Right
                                             : Arrow::Down;
        auto glyph = [a](HDC d, const RECT& q, COLORREF colour) { arrowGlyph(d, q, a, colour); };
        if (inactive)
            etched(dc, inner, glyph);
        else
            glyph(dc, inner, GetSysColor(COLOR_BTNTEXT));
        return TRUE;
    }
    case DFC_MENU: {
        // Black on white, as a mask for the caller's colours.
        fillColor(dc, r, RGB(255, 255, 255));
        switch (state & 0x1F) {
        case DFCS_MENUCHECK:
            checkGlyph(dc, r, RGB(0, 0, 0));
            break;
        case DFCS_MENUBULLET:
            bulletGlyph(dc, r, std::max(2, int(std::min(r.right - r.left, r.bottom - r.top)) / 3),
                        RGB(0, 0, 0));
            break;
        case DFCS_MENUARROW:
        case DFCS_MENUARROWRIGHT:
            arrowGlyph(dc, r, Arrow::Right, RGB(0, 0, 0));
            break;
        default:
            break;
        }
        return TRUE;
    }
    case DFC_CAPTION: {
        RECT inner = buttonFace(dc, r, pushed, state & DFCS_FLAT);
        if (pushed) OffsetRect(&inner, 1, 1);
        const UINT kind = state & 0x1F;
        auto glyph = [kind](HDC d, const RECT& q, COLORREF colour) {
            captionGlyph(d, q, kind, colour);
        };
        if (inactive)
            etched(dc, inner, glyph);
        else
            glyph(dc, inner, GetSysColor(COLOR_BTNTEXT));
        return TRUE;
    }
    case DFC_POPUPMENU:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    if (!dc || !rect || GetObjectType(dc) == 0) return FALSE;
    const RECT& r = *rect;
    if (emptyRect(r)) return TRUE;
    auto dot = [dc](LONG x, LONG y) { PatBlt(dc, int(x), int(y), 1, 1, DSTINVERT); };
    // Every other pixel of the outline, starting at the top-left corner, each one once.
    for (LONG x = r.left; x < r.right; x += 2)
        dot(x, r.top);
    if (r.bottom - r.top > 1)
        for (LONG x = r.left + ((r.bottom - 1 - r.top) & 1); x < r.right; x += 2)
            dot(x, r.bottom - 1);
    for (LONG y = r.top + 2; y < r.bottom - 1; y += 2)
        dot(r.left, y);
    if (r.right - r.left > 1)
        for (LONG y = r.top + 1 + ((r.right - r.left) & 1); y < r.bottom - 1; y += 2)
            dot(r.right - 1, y);
    return TRUE;
}

HBRUSH GetSysColorBrush(int index) {
    constexpr int count = 31;
    if (index < 0 || index >= count) return nullptr;
    static std::mutex lock;
    static HBRUSH brushes[count] = {};
    std::lock_guard<std::mutex> guard(lock);
    if (!brushes[index]) {
        auto b = std::make_shared<sdgdi::BrushObject>();
        b->color = GetSysColor(index);
        b->style = BS_SOLID;
        b->stock = true;
        brushes[index] = static_cast<HBRUSH>(sdgdi::registerObject(b));
    }
    return brushes[index];
}
