#pragma once
// Resources from resource modules: shared objects that export one table of entries (see
// win32/ResourceTable.h), built from a text source by sd_resource_module() in CMake.
// Types and ids are numbers; an id may also be a name. A NULL module means the current
// resource module, which is the program until SdSetResourceModule chooses another.

#include "win32/base.h"

struct HRSRC__;
using HRSRC = HRSRC__*;

inline LPSTR MAKEINTRESOURCEA(WORD id) {
    return reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(id));
}
inline LPSTR MAKEINTRESOURCE(WORD id) {
    return MAKEINTRESOURCEA(id);
}
inline bool IS_INTRESOURCE(LPCSTR name) {
    return reinterpret_cast<UINT_PTR>(name) < 0x10000;
}

#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_FONTDIR MAKEINTRESOURCEA(7)
#define RT_FONT MAKEINTRESOURCEA(8)
#define RT_ACCELERATOR MAKEINTRESOURCEA(9)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_MESSAGETABLE MAKEINTRESOURCEA(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)
#define RT_TOOLBAR MAKEINTRESOURCEA(241)

constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// Copies at most size - 1 characters and a NUL; returns the characters copied. 0 for a
// missing string (the buffer then holds an empty string) or a module without resources.
// Strings are one entry each, keyed by the string id.
WIN32_API int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
inline int LoadString(HINSTANCE i, UINT id, LPSTR b, int n) {
    return LoadStringA(i, id, b, n);
}

// A name or type "#123" is the number 123.
WIN32_API HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
inline HRSRC FindResource(HMODULE m, LPCSTR n, LPCSTR t) {
    return FindResourceA(m, n, t);
}
// The data stays valid while the module is loaded; LockResource gives its address.
WIN32_API HGLOBAL LoadResource(HMODULE module, HRSRC resource);
WIN32_API LPVOID LockResource(HGLOBAL resourceData);
WIN32_API DWORD SizeofResource(HMODULE module, HRSRC resource);
WIN32_API BOOL FreeResource(HGLOBAL resourceData);

// The process-wide current resource module. NULL selects the program. When the current
// module is freed, the program becomes current again.
WIN32_API void SdSetResourceModule(HINSTANCE module);
WIN32_API HINSTANCE SdGetResourceModule();
