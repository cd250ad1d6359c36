#pragma once
// Code pages: the system's ANSI and OEM code pages, conversion to and from UTF-16, the
// double-byte lead-byte test and the ANSI-to-OEM mapping of names. The ANSI code page is
// 1252 (OEM 850) unless a test switches the process to 932 (win32/CodePageTesting.h).

#include <string>

#include "win32/base.h"
#include "win32/kernel.h"

using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;

constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_PRECOMPOSED = 0x1;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;

constexpr int SM_DBCSENABLED = 42;

WIN32_API UINT GetACP();
WIN32_API UINT GetOEMCP();
// A first byte of a double-byte character in the ANSI code page (never under 1252).
WIN32_API BOOL IsDBCSLeadByte(BYTE testChar);
WIN32_API BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar);

// cbMultiByte / cchWideChar -1: the input runs to its NUL, which is converted too. A zero
// output size asks for the size needed. Failures return 0 with the last error set:
// ERROR_INVALID_PARAMETER, ERROR_INSUFFICIENT_BUFFER, ERROR_NO_UNICODE_TRANSLATION (with
// MB_ERR_INVALID_CHARS). Without that flag a byte sequence the code page does not define
// becomes U+FFFD; a character the code page cannot hold becomes the default character ('?').
WIN32_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte,
                                  LPWSTR wideChar, int cchWideChar);
WIN32_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar,
                                  LPSTR multiByte, int cbMultiByte, LPCSTR defaultChar,
                                  BOOL* usedDefaultChar);

// ANSI to OEM code page, NUL-terminated; source and destination may be the same buffer.
// Under 932 both code pages are the same and the text is copied unchanged.
WIN32_API BOOL CharToOemA(LPCSTR source, LPSTR destination);
WIN32_API BOOL OemToCharA(LPCSTR source, LPSTR destination);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;

// The classic metrics: screen SD_SCREEN_WIDTH x SD_SCREEN_HEIGHT, scroll bars and their
// arrows 16 pixels, 32-pixel cursors, a 4 x 4 double-click square, 2-pixel edges.
// SM_DBCSENABLED: nonzero while the ANSI code page is a double-byte one. Other metrics: 0.
WIN32_API int GetSystemMetrics(int index);

// The user's language: 0x0409 (English, United States) unless a test chose another
// (win32/CodePageTesting.h).
using LANGID = WORD;
WIN32_API LANGID GetUserDefaultLangID();

// The path as a Linux file name: ANSI text (the bytes as the system's file functions take
// them) in UTF-8, '\' turned into '/'. ASCII paths come back unchanged.
WIN32_API std::string SdAnsiPathToNative(const char* ansiPath);
// A Linux file name (UTF-8) in the ANSI code page; false when it holds a character the code
// page cannot represent.
WIN32_API bool SdNativeNameToAnsi(const std::string& native, std::string& ansi);
