#pragma once
// The hourglass shown while the program works. The state is one process-wide count: the
// cursor shows while the count is above 0. Headless there is no cursor to change, so the
// count is all there is; tests read it with SdWaitCursorCount.

#include "mfc/export.h"

// nCode 1 shows (count + 1), -1 removes (count - 1, never below 0), 0 restores the cursor
// after something else changed it (the count stays).
MFC_API void AfxDoWaitCursor(int nCode);
MFC_API int SdWaitCursorCount();

// Shows the wait cursor for its lifetime, also when an exception passes.
class MFC_API CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore();
};
