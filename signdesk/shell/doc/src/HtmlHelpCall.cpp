#include "doc/HtmlHelpCall.h"

#include <win32/module.h>
#include <win32/resource.h>

namespace {

// The control's ANSI help function: the help window, or null.
using HtmlHelpEntry = HWND (*)(HWND, LPCSTR, UINT, DWORD_PTR);

HMODULE helpModule = nullptr;
HtmlHelpEntry helpEntry = nullptr;
bool helpFailed = false;

} // namespace

UINT_PTR HtmlHelpCall(HWND hwnd, LPCSTR file, UINT command, DWORD_PTR data) {
    if (helpFailed) return 0;
    // No registry here: the control is looked for under its own name.
    if (helpModule == nullptr) {
        helpModule = ::LoadLibraryA("hhctrl.ocx");
        if (helpModule == nullptr) {
            helpFailed = true;
            return 0;
        }
    }
    if (helpEntry == nullptr) {
        // Through void (*)(), the type that converts to any function pointer type.
        helpEntry = reinterpret_cast<HtmlHelpEntry>(
            reinterpret_cast<void (*)()>(::GetProcAddress(helpModule, MAKEINTRESOURCEA(14))));
        if (helpEntry == nullptr) {
            helpFailed = true;
            return 0;
        }
    }
    return reinterpret_cast<UINT_PTR>(helpEntry(hwnd, file, command, data));
}
