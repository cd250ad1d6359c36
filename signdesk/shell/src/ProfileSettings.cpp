#include "shell/ProfileSettings.h"

#include "settings/NumericText.h"

#include <mfc/afx.h>
#include <win32/user.h>

#include <cstdio>

namespace {

constexpr const char* kPlacementKey = "WindowPos";

HWND PlacementWindow(CWnd* wnd) {
    if (!wnd) wnd = AfxGetMainWnd();
    return wnd ? wnd->GetSafeHwnd() : nullptr;
}

} // namespace

float GetProfileFloat(const char* section, const char* key, float def) {
    CWinApp* app = AfxGetApp();
    if (!app) return def;
    CString text = app->GetProfileString(section, key, "");
    return text.IsEmpty() ? def : static_cast<float>(ParseProfileDouble(text));
}

int WriteProfileFloat(const char* section, const char* key, float value) {
    CWinApp* app = AfxGetApp();
    return app ? app->WriteProfileString(section, key, FormatProfileDouble(value).c_str()) : FALSE;
}

int SaveWindowPlacement(const char* name, CWnd* wnd) {
    HWND hwnd = PlacementWindow(wnd);
    if (!IsWindow(hwnd)) return FALSE;
    if (IsIconic(hwnd)) return TRUE; // a minimised window keeps its stored placement
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(WINDOWPLACEMENT);
    if (!GetWindowPlacement(hwnd, &wp)) return FALSE;
    wp.flags = IsZoomed(hwnd) ? WPF_RESTORETOMAXIMIZED : 0;
    char text[160];
    std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", wp.flags, wp.showCmd,
                  int(wp.ptMinPosition.x), int(wp.ptMinPosition.y), int(wp.ptMaxPosition.x),
                  int(wp.ptMaxPosition.y), int(wp.rcNormalPosition.left),
                  int(wp.rcNormalPosition.top), int(wp.rcNormalPosition.right),
                  int(wp.rcNormalPosition.bottom));
    CWinApp* app = AfxGetApp();
    return app ? app->WriteProfileString(name, kPlacementKey, text) : FALSE;
}

int RestoreWindowPlacement(const char* name, CWnd* wnd) {
    HWND hwnd = PlacementWindow(wnd);
    if (!IsWindow(hwnd)) return FALSE;
    CWinApp* app = AfxGetApp();
    if (!app) return FALSE;
    CString stored = app->GetProfileString(name, kPlacementKey, "");
    const char* text = stored;
    if (!*text) return FALSE;
    WINDOWPLACEMENT wp{};
    int n = 0;
    int fields = std::sscanf(text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d%n", &wp.flags, &wp.showCmd,
                             &wp.ptMinPosition.x, &wp.ptMinPosition.y, &wp.ptMaxPosition.x,
                             &wp.ptMaxPosition.y, &wp.rcNormalPosition.left,
                             &wp.rcNormalPosition.top, &wp.rcNormalPosition.right,
                             &wp.rcNormalPosition.bottom, &n);
    while (text[n] == ' ')
        ++n;
    if (fields != 10 || text[n] != '\0') return FALSE; // exactly ten numbers
    wp.length = sizeof(WINDOWPLACEMENT);
    return SetWindowPlacement(hwnd, &wp);
}
