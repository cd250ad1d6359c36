// The painters of the windows' look, installed in the window layer when the drawing layer
// loads: controls by class name, background erase, default control colours.

#include <cstring>
#include <strings.h>

#include "ControlLook.h"
#include "MenuLook.h"
#include "win32/NonClient.h"

namespace sdlook {

namespace {

void paintControl(HWND hwnd, HDC dc, const SdLookState& state) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    const int saved = SaveDC(dc);
    if (strcasecmp(name, "Button") == 0)
        paintButton(hwnd, dc);
    else if (strcasecmp(name, "Static") == 0)
        paintStatic(hwnd, dc);
    else if (strcasecmp(name, "Edit") == 0)
        paintEdit(hwnd, dc);
    else if (strcasecmp(name, "ListBox") == 0)
        paintListBox(hwnd, dc);
    else if (strcasecmp(name, TOOLTIPS_CLASSA) == 0)
        paintToolTip(hwnd, dc);
    else if (strcasecmp(name, "ComboLBox") == 0) {
        // The open list of a combo box: a list in a black frame.
        paintListBox(hwnd, dc);
        frameColor(dc, clientOf(hwnd), GetSysColor(COLOR_WINDOWFRAME));
    } else if (strcasecmp(name, "ComboBox") == 0)
        paintComboBox(hwnd, dc);
    else if (strcasecmp(name, "ScrollBar") == 0)
        paintScrollBarControl(hwnd, dc, state);
    else if (strcasecmp(name, UPDOWN_CLASSA) == 0)
        paintUpDown(hwnd, dc, state);
    else if (strcasecmp(name, TRACKBAR_CLASSA) == 0)
        paintTrackbar(hwnd, dc);
    else if (std::strcmp(name, "#32768") == 0) {
        // MN_GETHMENU: the popup's menu; the state holds the highlighted item + 1.
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(hwnd, 0x01E1, 0, 0));
        if (menu) paintPopupMenu(dc, menu, state.pressed - 1);
    }
    RestoreDC(dc, saved);
}

BOOL erase(HWND hwnd, HDC dc, HBRUSH brush) {
    RECT r = clientOf(hwnd);
    if (!brush || !FillRect(dc, &r, brush)) FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
    return TRUE;
}

HBRUSH colour(HDC dc, UINT message) {
    return defaultControlColour(dc, message);
}

// A context to measure menus with.
struct MeasuringDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MeasuringDc() {
        if (dc) DeleteDC(dc);
    }
};

SIZE popupSize(HMENU menu) {
    MeasuringDc m;
    SIZE size{0, 0};
    if (m.dc) popupMenuLayout(m.dc, menu, &size);
    return size;
}

RECT popupItemRect(HMENU menu, int item) {
    MeasuringDc m;
    if (!m.dc) return RECT{0, 0, 0, 0};
    const std::vector<RECT> items = popupMenuLayout(m.dc, menu, nullptr);
    return item >= 0 && item < int(items.size()) ? items[std::size_t(item)] : RECT{0, 0, 0, 0};
}

RECT barItemRect(HWND hwnd, int item) {
    MeasuringDc m;
    const SdNonClientLayout l = SdGetNonClientLayout(hwnd);
    if (!m.dc) return RECT{0, 0, 0, 0};
    const std::vector<RECT> items = menuBarLayout(m.dc, GetMenu(hwnd), l.menuBar);
    return item >= 0 && item < int(items.size()) ? items[std::size_t(item)] : RECT{0, 0, 0, 0};
}

// The tip's text on one line in its font, with the margins its painting leaves.
SIZE toolTipSize(HWND hwnd) {
    MeasuringDc m;
    if (!m.dc) return SIZE{0, 0};
    char text[1024] = {};
    const int n = GetWindowTextA(hwnd, text, int(sizeof text));
    HGDIOBJ old = SelectObject(m.dc, controlFont(hwnd));
    RECT r{0, 0, 0, 0};
    DrawTextA(m.dc, text, n, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(m.dc, old);
    return SIZE{r.right - r.left + 6, r.bottom - r.top + 4};
}

const SdLookPainters painters{paintControl,  erase,       colour,     popupSize,
                              popupItemRect, barItemRect, toolTipSize};

struct Installer {
    Installer() { SdSetLookPainters(&painters); }
} installer;

} // namespace

} // namespace sdlook
