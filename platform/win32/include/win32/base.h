#pragma once
// Base types and constants of the Windows API as the system's code uses them.
// Sizes follow the 32-bit data model of the original: LONG and DWORD are 32 bits,
// handles and message parameters are pointer-sized.

#include <cstddef>
#include <cstdint>

#include "win32/export.h"

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using BOOL = int;
using CHAR = char;
using UCHAR = unsigned char;
using FLOAT = float;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using COLORREF = DWORD;
using HANDLE = void*;
using HGLOBAL = HANDLE;
using HLOCAL = HANDLE;

// Distinct handle types, as opaque pointers.
#define SD_DECLARE_HANDLE(name)                                                                    \
    struct name##__;                                                                               \
    using name = name##__*
SD_DECLARE_HANDLE(HWND);
SD_DECLARE_HANDLE(HINSTANCE);
SD_DECLARE_HANDLE(HMENU);
SD_DECLARE_HANDLE(HICON);
SD_DECLARE_HANDLE(HCURSOR);
SD_DECLARE_HANDLE(HBITMAP);
SD_DECLARE_HANDLE(HDC);
SD_DECLARE_HANDLE(HPEN);
SD_DECLARE_HANDLE(HBRUSH);
SD_DECLARE_HANDLE(HFONT);
SD_DECLARE_HANDLE(HPALETTE);
SD_DECLARE_HANDLE(HRGN);
#undef SD_DECLARE_HANDLE
using HMODULE = HINSTANCE;
using HGDIOBJ = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr int MAX_PATH = 260;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
constexpr DWORD INFINITE = 0xFFFFFFFFu;

struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPPOINT = POINT*;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return BYTE(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return BYTE((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return BYTE((c >> 16) & 0xFF);
}

constexpr WORD LOWORD(DWORD_PTR v) {
    return WORD(v & 0xFFFF);
}
constexpr WORD HIWORD(DWORD_PTR v) {
    return WORD((v >> 16) & 0xFFFF);
}
constexpr WORD MAKEWORD(BYTE lo, BYTE hi) {
    return WORD(lo | (WORD(hi) << 8));
}
constexpr BYTE LOBYTE(DWORD_PTR v) {
    return BYTE(v & 0xFF);
}
constexpr BYTE HIBYTE(DWORD_PTR v) {
    return BYTE((v >> 8) & 0xFF);
}
constexpr DWORD MAKELONG(WORD lo, WORD hi) {
    return DWORD(lo) | (DWORD(hi) << 16);
}

// Shared by the module, file and device-interface functions.
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
