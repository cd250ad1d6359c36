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
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
constexpr int SM_CXMINTRACK = 34;
constexpr int SM_CYMINTRACK = 35;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXICONSPACING = 38;
constexpr int SM_CYICONSPACING = 39;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52;
constexpr int SM_CYSMSIZE = 53;
constexpr int SM_CXMENUSIZE = 54;
constexpr int SM_CYMENUSIZE = 55;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_CXFOCUSBORDER = 83;
constexpr int SM_CYFOCUSBORDER = 84;

// The classic metrics: screen SD_SCREEN_WIDTH x SD_SCREEN_HEIGHT, 1-pixel borders, 2-pixel
// edges, 3-pixel dialog frames and 4-pixel sizing frames; scroll bars, their arrows and
// thumbs 16 pixels; captions 19 (small 15) with 18 x 18 buttons (small 12 x 14); menu bar
// lines 19 with 13 x 13 check marks; 32-pixel icons and cursors, 16-pixel small icons; a
// 4 x 4 double-click square. SM_CXFULLSCREEN / SM_CYFULLSCREEN: the screen less a caption.
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
