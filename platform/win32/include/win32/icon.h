#pragma once
// Icons: those of resource modules, the system's (IDI_*), and the icons a window carries in
// its caption (WM_SETICON, WM_GETICON). An icon object knows where its picture comes from;
// the drawing layer reads and draws the picture (DrawIconEx, win32/userdraw.h).

#include "win32/base.h"

constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;
constexpr WPARAM ICON_SMALL2 = 2; // WM_GETICON: the small icon, else the big one

// The system's icons, loaded with a NULL instance.
constexpr UINT_PTR SD_IDI_APPLICATION = 32512;
constexpr UINT_PTR SD_IDI_HAND = 32513;
constexpr UINT_PTR SD_IDI_QUESTION = 32514;
constexpr UINT_PTR SD_IDI_EXCLAMATION = 32515;
constexpr UINT_PTR SD_IDI_ASTERISK = 32516;
constexpr UINT_PTR SD_IDI_WINLOGO = 32517;
#define IDI_APPLICATION reinterpret_cast<LPCSTR>(SD_IDI_APPLICATION)
#define IDI_HAND reinterpret_cast<LPCSTR>(SD_IDI_HAND)
#define IDI_QUESTION reinterpret_cast<LPCSTR>(SD_IDI_QUESTION)
#define IDI_EXCLAMATION reinterpret_cast<LPCSTR>(SD_IDI_EXCLAMATION)
#define IDI_ASTERISK reinterpret_cast<LPCSTR>(SD_IDI_ASTERISK)
#define IDI_WINLOGO reinterpret_cast<LPCSTR>(SD_IDI_WINLOGO)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

// The module's icon resource (RT_GROUP_ICON or RT_ICON) of that name, or with a NULL instance
// the system icon of that IDI_ id; the same handle for every load of one icon. A missing
// resource gives NULL (ERROR_RESOURCE_NAME_NOT_FOUND).
WIN32_API HICON LoadIconA(HINSTANCE instance, LPCSTR name);
inline HICON LoadIcon(HINSTANCE i, LPCSTR n) {
    return LoadIconA(i, n);
}
// Frees an icon of LoadImage without LR_SHARED; shared icons (LoadIcon's) stay and the call
// succeeds. FALSE for a handle that is no icon.
WIN32_API BOOL DestroyIcon(HICON icon);

// Not Win32 functions.
// The resource id of a module's icon, or the IDI_ id of a system icon; 0 for another handle.
WIN32_API UINT SdIconId(HICON icon);

// Where an icon's picture comes from: a module's resource (id, or name in upper case) or a
// system icon (module NULL, id the IDI_ id); the size asked for at load, 0 for the default.
struct SdIconSource {
    HMODULE module = nullptr;
    UINT id = 0;
    LPCSTR name = nullptr; // valid while the icon lives; NULL for an id
    int cx = 0;
    int cy = 0;
};
WIN32_API BOOL SdIconSourceOf(HICON icon, SdIconSource* source);
// The icon of LoadImage(IMAGE_ICON): shared ones are one handle per resource and size,
// others a new handle each time that DestroyIcon frees.
WIN32_API HICON SdLoadIconImage(HINSTANCE instance, LPCSTR name, int cx, int cy, BOOL shared);
