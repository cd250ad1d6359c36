#pragma once
// The help viewer, bound on first use: the registered HTML Help control, else "hhctrl.ocx",
// its entry of ordinal 14. When binding fails once it is never tried again.

#include <win32/base.h>

UINT_PTR HtmlHelpCall(HWND hwnd, LPCSTR file, UINT command, DWORD_PTR data);
