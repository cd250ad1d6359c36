#pragma once
// Keyboard accelerators: tables of keys that stand for commands. An RT_ACCELERATOR resource
// holds 8-byte entries (WORD flags, WORD key, WORD command, WORD padding), the last one
// flagged 0x80.

#include "win32/resource.h"
#include "win32/user.h"

struct HACCEL__;
using HACCEL = HACCEL__*;

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
using LPACCEL = ACCEL*;

// NULL for a missing resource (ERROR_RESOURCE_NAME_NOT_FOUND) or an empty table.
WIN32_API HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name);
WIN32_API HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
WIN32_API BOOL DestroyAcceleratorTable(HACCEL table);
// With a null buffer: the number of entries.
WIN32_API int CopyAcceleratorTableA(HACCEL table, LPACCEL entries, int count);
// A WM_KEYDOWN or WM_SYSKEYDOWN of a virtual-key entry (the Shift, Ctrl and Alt state must
// match the entry's flags), or a WM_CHAR of a character entry, sends WM_COMMAND
// (MAKEWPARAM(command, 1), 0) to the window; TRUE when it did.
WIN32_API int TranslateAcceleratorA(HWND hwnd, HACCEL table, const MSG* msg);

inline HACCEL LoadAccelerators(HINSTANCE i, LPCSTR n) {
    return LoadAcceleratorsA(i, n);
}
inline int TranslateAccelerator(HWND h, HACCEL t, const MSG* m) {
    return TranslateAcceleratorA(h, t, m);
}
