// Menu bars and popup menus painted in the classic scheme.

#include "MenuLook.h"

#include <algorithm>
#include <string>

namespace sdlook {

namespace {

constexpr int barPadding = 6;   // on either side of a bar item's text
constexpr int popupBorder = 3;  // the raised edge and a pixel of the face
constexpr int checkColumn = 17; // left of the texts: check marks
constexpr int arrowColumn = 16; // right of the texts: submenu arrows
constexpr int accelGap = 12;    // between the widest text and the accelerators
constexpr int separatorHeight = 9;

std::string itemText(HMENU menu, int i) {
    char buffer[256] = {};
    GetMenuStringA(menu, UINT(i), buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

UINT itemState(HMENU menu, int i) {
    return GetMenuState(menu, UINT(i), MF_BYPOSITION);
}

bool isSeparator(UINT state) {
    return (state & MF_SEPARATOR) && !(state & MF_POPUP);
}

// The label and the accelerator text (after a tab).
void split(const std::string& text, std::string& label, std::string& accel) {
    const std::size_t tab = text.find('\t');
    label = text.substr(0, tab);
    accel = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

int width(HDC dc, const std::string& text, UINT format = 0) {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_CALCRECT | format);
    return int(r.right);
}

void label(HDC dc, const std::string& text, RECT r, UINT format, bool grayed, bool highlighted) {
    SetBkMode(dc, TRANSPARENT);
    if (grayed && !highlighted) {
        stateTextOf(dc, text, r, format);
        return;
    }
    SetTextColor(dc, GetSysColor(grayed        ? COLOR_GRAYTEXT
                                 : highlighted ? COLOR_HIGHLIGHTTEXT
                                               : COLOR_MENUTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
}

} // namespace

void stateTextOf(HDC dc, const std::string& text, RECT r, UINT format) {
    RECT etched = r;
    OffsetRect(&etched, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextA(dc, text.c_str(), int(text.size()), &etched, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
}

std::vector<RECT> menuBarLayout(HDC dc, HMENU menu, const RECT& bar) {
    std::vector<RECT> items;
    FontScope font(dc, nullptr);
    const int count = std::max(0, GetMenuItemCount(menu));
    LONG x = bar.left;
    for (int i = 0; i < count; ++i) {
        std::string text, accel;
        split(itemText(menu, i), text, accel);
        const LONG w = width(dc, text) + 2 * barPadding;
        items.push_back(RECT{x, bar.top, x + w, bar.bottom});
        x += w;
    }
    return items;
}

void paintMenuBar(HDC dc, HMENU menu, const RECT& bar, int highlighted) {
    fillSys(dc, bar, COLOR_MENU);
    const std::vector<RECT> items = menuBarLayout(dc, menu, bar);
    FontScope font(dc, nullptr);
    for (int i = 0; i < int(items.size()); ++i) {
        const UINT state = itemState(menu, i);
        RECT r = items[std::size_t(i)];
        if (r.left >= bar.right) break;
        const bool open = i == highlighted || (state & MF_HILITE);
        // An open item is sunken, its text a pixel down and right.
        if (open) {
            RECT edge = r;
            DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(&r, 1, 1);
        }
        std::string text, accel;
        split(itemText(menu, i), text, accel);
        label(dc, text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
              state & (MF_GRAYED | MF_DISABLED), false);
    }
}

std::vector<RECT> popupMenuLayout(HDC dc, HMENU menu, SIZE* size) {
    FontScope font(dc, nullptr);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int itemHeight = std::max<int>(GetSystemMetrics(SM_CYMENUCHECK), int(tm.tmHeight)) + 4;
    const int count = std::max(0, GetMenuItemCount(menu));
    int textWidth = 0, accelWidth = 0;
    for (int i = 0; i < count; ++i) {
        std::string text, accel;
        split(itemText(menu, i), text, accel);
        textWidth = std::max(textWidth, width(dc, text));
        if (!accel.empty()) accelWidth = std::max(accelWidth, width(dc, accel));
    }
    const int inner =
        checkColumn + textWidth + (accelWidth ? accelGap + accelWidth : 0) + arrowColumn;
    std::vector<RECT> items;
    LONG y = popupBorder;
    for (int i = 0; i < count; ++i) {
        const LONG h = isSeparator(itemState(menu, i)) ? separatorHeight : itemHeight;
        items.push_back(RECT{popupBorder, y, popupBorder + inner, y + h});
        y += h;
    }
    if (size) *size = SIZE{inner + 2 * popupBorder, y + popupBorder};
    return items;
}

void paintPopupMenu(HDC dc, HMENU menu, int highlighted) {
    SIZE size{};
    const std::vector<RECT> items = popupMenuLayout(dc, menu, &size);
    FontScope font(dc, nullptr);
    RECT box{0, 0, size.cx, size.cy};
    DrawEdge(dc, &box, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    int accelAt = 0; // the accelerators' column: after the widest label
    for (int i = 0; i < int(items.size()); ++i) {
        std::string text, accel;
        split(itemText(menu, i), text, accel);
        accelAt = std::max(accelAt, width(dc, text));
    }
    for (int i = 0; i < int(items.size()); ++i) {
        const RECT& r = items[std::size_t(i)];
        const UINT state = itemState(menu, i);
        if (isSeparator(state)) {
            const LONG mid = r.top + separatorHeight / 2;
            RECT line{r.left, mid - 1, r.right, mid + 1};
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        const bool selected = i == highlighted;
        const bool grayed = state & (MF_GRAYED | MF_DISABLED);
        if (selected) fillSys(dc, r, COLOR_HIGHLIGHT);
        const COLORREF ink = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT
                                         : grayed ? COLOR_GRAYTEXT
                                                  : COLOR_MENUTEXT);
        if (state & MF_CHECKED) {
            RECT mark{r.left, r.top, r.left + checkColumn, r.bottom};
            // A radio item's mark is a round bullet 6 pixels across.
            auto bullet = [](HDC d, const RECT& q, COLORREF c) { bulletGlyph(d, q, 6, c); };
            const bool radio = state & MFT_RADIOCHECK;
            if (grayed && !selected) {
                if (radio)
                    etched(dc, mark, bullet);
                else
                    etched(dc, mark, checkGlyph);
            } else if (radio) {
                bullet(dc, mark, ink);
            } else {
                checkGlyph(dc, mark, ink);
            }
        }
        std::string text, accel;
        split(itemText(menu, i), text, accel);
        RECT t{r.left + checkColumn, r.top, r.right - arrowColumn, r.bottom};
        label(dc, text, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE, grayed, selected);
        if (!accel.empty()) {
            RECT a{r.left + checkColumn + accelAt + accelGap, r.top, r.right - arrowColumn,
                   r.bottom};
            label(dc, accel, a, DT_LEFT | DT_VCENTER | DT_SINGLELINE, grayed, selected);
        }
        if (state & MF_POPUP) {
            RECT arrow{r.right - arrowColumn, r.top, r.right - 4, r.bottom};
            auto glyph = [](HDC d, const RECT& q, COLORREF c) {
                // A right arrow 4 wide and 7 tall.
                const int cx = int(q.left + q.right) / 2 - 2, cy = int(q.top + q.bottom) / 2;
                for (int k = 0; k < 4; ++k)
                    fillColor(d, RECT{cx + k, cy - 3 + k, cx + k + 1, cy + 4 - k}, c);
            };
            if (grayed && !selected)
                etched(dc, arrow, glyph);
            else
                glyph(dc, arrow, ink);
        }
    }
}

} // namespace sdlook
