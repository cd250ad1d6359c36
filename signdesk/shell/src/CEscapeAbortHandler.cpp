#include "shell/CEscapeAbortHandler.h"

#include <pathkit/Exceptions.h>
#include <win32/user.h>

#include "shell/BusyIndicator.h"

CEscapeAbortHandler::CEscapeAbortHandler() : previous(DefAbortHandler) {
    DefAbortHandler = this;
}

CEscapeAbortHandler::~CEscapeAbortHandler() {
    DefAbortHandler = previous;
    EndBusyIndicator();
}

void CEscapeAbortHandler::NoteEscape() {
    MessageBeep(0);
    aborted = 1;
}

void CEscapeAbortHandler::CheckAbort() {
    StepBusyIndicator();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
        if (msg.wParam == VK_ESCAPE) {
            NoteEscape();
            throw AbortedError();
        }
    }
}
