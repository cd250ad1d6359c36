#pragma once
// What the dialog manager keeps per dialog, beside the window's extra bytes.

#include <functional>

#include "win32/dialog.h"

namespace sddlg {

struct DialogInfo {
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    WORD defId = 0;
    HWND savedFocus = nullptr;
};

// Runs `action` on the dialog's record; false for a window that is no dialog.
bool withDialog(HWND dialog, const std::function<void(DialogInfo&)>& action);
// Gives a control the focus (selecting an edit's text) and remembers it for the dialog.
void focusControl(HWND dialog, HWND control);
LONG mapX(LONG units);
LONG mapY(LONG units);

} // namespace sddlg
