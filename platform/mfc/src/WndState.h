#pragma once
// The window objects of the process: the permanent and temporary handle maps, the message
// being handled, and the object that CreateEx is making.

#include <memory>
#include <unordered_map>

#include "win32/user.h"

class CWnd;

namespace sdwnd {

struct WndState {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    int tempLocks = 0;
    CWnd* creating = nullptr;       // by CreateEx: attached at its first message
    CWnd* creatingDialog = nullptr; // by CDialog: attached by the dialog procedure
    MSG current{};
    ~WndState();
};

WndState& state();
// A temporary object for the window: of the control class that wraps its window class
// (CEdit for an edit...), so that the usual casts of GetDlgItem's result hold; else CWnd.
std::unique_ptr<CWnd> makeTemporary(HWND hWnd);
// Deletes the temporary objects unless the maps are locked.
void deleteTemporaries();

} // namespace sdwnd
