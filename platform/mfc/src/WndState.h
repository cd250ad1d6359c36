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
    CWnd* creating = nullptr;
    MSG current{};
    ~WndState();
};

WndState& state();
// Deletes the temporary objects unless the maps are locked.
void deleteTemporaries();

} // namespace sdwnd
