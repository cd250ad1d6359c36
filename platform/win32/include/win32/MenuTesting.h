#pragma once
// Test hooks of popup menus: a script of choices for TrackPopupMenu and the log of the
// popups tracked. Headless a popup chooses the next scripted command (0: nothing); without
// a script it chooses nothing.

#include <string>
#include <vector>

#include "win32/menu.h"

struct SdPopupMenuItem {
    UINT id;    // 0 for a separator, -1 (as UINT) for a submenu
    UINT state; // MF_CHECKED, MF_GRAYED, MF_DISABLED bits
    std::string text;
};

struct SdPopupMenuRecord {
    HMENU menu;
    HWND owner;
    POINT at; // screen point
    UINT flags;
    std::vector<SdPopupMenuItem> items; // as they stood after WM_INITMENUPOPUP
    UINT chosen; // 0: nothing
    bool scripted;
};

WIN32_API void SdPushPopupMenuChoice(UINT command);
WIN32_API int SdPendingPopupMenuChoices();
WIN32_API std::vector<SdPopupMenuRecord> SdPopupMenuLog();
// Forgets the pending choices and the log.
WIN32_API void SdClearPopupMenus();
