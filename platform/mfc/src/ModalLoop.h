#pragma once
// The framework's modal loop: the dialog's script first, then messages (PreTranslateMessage
// of the thread, then the dialog's keyboard interface) until the dialog ends.

#include <functional>

#include "win32/user.h"

class CWnd;

namespace sdmodal {

// Attaches the window that a dialog procedure sees first to the object being made.
CWnd* attachPending(HWND hWnd);

// Returns the result, IDCANCEL when the dialog had to be cancelled (no script, or nothing
// left that could end it).
int run(HWND dialog, int templateId, const char* className, const std::function<bool()>& ended,
        const std::function<void(int)>& end, const std::function<int()>& result);

} // namespace sdmodal
