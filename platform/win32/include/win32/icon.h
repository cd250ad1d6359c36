#pragma once
// Icons: those of resource modules, one object per module and resource, and the icons a
// window carries in its caption (WM_SETICON, WM_GETICON). Headless an icon is only
// remembered; tests read back which one it is.

#include "win32/base.h"

constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr WPARAM ICON_SMALL2 = 2; // WM_GETICON: the small icon, else the big one

// The module's icon resource (RT_GROUP_ICON or RT_ICON) of that name; the same handle for
// every load of one resource. No module, or a missing resource, gives NULL
// (ERROR_RESOURCE_NAME_NOT_FOUND).
WIN32_API HICON LoadIconA(HINSTANCE instance, LPCSTR name);
inline HICON LoadIcon(HINSTANCE i, LPCSTR n) {
    return LoadIconA(i, n);
}
// Not a Win32 function: the resource id of a module's icon, 0 for another handle.
WIN32_API UINT SdIconId(HICON icon);
