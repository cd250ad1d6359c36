// The painters of the windows' look, installed in the window layer when the drawing layer
// loads: controls by class name, background erase, default control colours.

#include <strings.h>

#include "ControlLook.h"

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
    else if (strcasecmp(name, "ComboBox") == 0)
        paintComboBox(hwnd, dc);
    else if (strcasecmp(name, "ScrollBar") == 0)
        paintScrollBarControl(hwnd, dc, state);
    else if (strcasecmp(name, UPDOWN_CLASSA) == 0)
        paintUpDown(hwnd, dc, state);
    else if (strcasecmp(name, TRACKBAR_CLASSA) == 0)
        paintTrackbar(hwnd, dc);
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

const SdLookPainters painters{paintControl, erase, colour};

struct Installer {
    Installer() { SdSetLookPainters(&painters); }
} installer;

} // namespace

} // namespace sdlook
