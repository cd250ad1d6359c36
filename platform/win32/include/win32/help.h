#pragma once
// The help viewers' entries. No viewer exists here: every request is logged (the test hook
// reads the log) and answered as taken by WinHelp, with no window by HtmlHelp.

#include <string>
#include <vector>

#include "win32/base.h"

constexpr UINT HELP_CONTEXT = 0x0001;
constexpr UINT HELP_QUIT = 0x0002;
constexpr UINT HELP_INDEX = 0x0003;
constexpr UINT HELP_FINDER = 0x000B;
constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_HELP_CONTEXT = 0x000F;

WIN32_API BOOL WinHelpA(HWND hwnd, LPCSTR file, UINT command, ULONG_PTR data);
WIN32_API HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// ---- test hook ----
struct SdHelpRecord {
    std::string viewer; // "WinHelp" or "HtmlHelp"
    std::string file;
    UINT command;
    ULONG_PTR data;
};
WIN32_API std::vector<SdHelpRecord> SdHelpLog();
WIN32_API void SdClearHelpLog();
