#pragma once
// The message box a user answers on a display: a modal dialog with the text and a row of
// buttons.

#include <string>
#include <vector>

#include "win32/user.h"

namespace sdctl {

// Runs the box until the user picks a button; returns its id. `buttons` are the ids in their
// order on screen, `defaultIndex` the one that has the focus; `icon` the MB_ICON* bits, whose
// system icon shows left of the text. Escape and the close box
// answer IDCANCEL when the box has that button, IDOK when OK is its only one, else nothing.
int runMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption,
                        const std::vector<int>& buttons, size_t defaultIndex, UINT icon = 0);

} // namespace sdctl
