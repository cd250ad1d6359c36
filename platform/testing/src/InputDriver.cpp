#include "testing/InputDriver.h"

#include <gtest/gtest.h>

#include "mfc/CWinThread.h"
#include "testing/DialogDriver.h"
#include "win32/InputRouter.h"

namespace sdtest {

POINT ScreenPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

int PumpInput(int limit) {
    return PumpDialog(limit); // input is pumped as a dialog is
}

void MouseEvent(HWND hwnd, UINT message, int x, int y) {
    SdRouteMouse(message, ScreenPoint(hwnd, x, y));
    PumpInput();
}

void MouseMove(HWND hwnd, int x, int y) {
    MouseEvent(hwnd, WM_MOUSEMOVE, x, y);
}

void Click(HWND hwnd, int x, int y, bool right) {
    const POINT at = ScreenPoint(hwnd, x, y);
    SdRouteMouse(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, at);
    PumpInput();
    SdRouteMouse(right ? WM_RBUTTONUP : WM_LBUTTONUP, at);
    PumpInput();
}

void DoubleClick(HWND hwnd, int x, int y) {
    SdResetDoubleClick();
    Click(hwnd, x, y);
    Click(hwnd, x, y);
}

void Drag(HWND hwnd, POINT from, POINT to, int steps) {
    // Reckoned from the window's position at the start: the window may scroll meanwhile.
    const POINT start = ScreenPoint(hwnd, int(from.x), int(from.y));
    const POINT end = ScreenPoint(hwnd, int(to.x), int(to.y));
    SdRouteMouse(WM_LBUTTONDOWN, start);
    PumpInput();
    if (steps < 1) steps = 1;
    for (int i = 1; i <= steps; ++i) {
        const POINT p{start.x + (end.x - start.x) * i / steps, start.y + (end.y - start.y) * i / steps};
        SdRouteMouse(WM_MOUSEMOVE, p);
        PumpInput();
    }
    SdRouteMouse(WM_LBUTTONUP, end);
    PumpInput();
}

void KeyDown(int virtualKey) {
    SdRouteKey(WM_KEYDOWN, virtualKey);
    PumpInput();
}

void KeyUp(int virtualKey) {
    SdRouteKey(WM_KEYUP, virtualKey);
    PumpInput();
}

void PressKey(int virtualKey) {
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}

void IdlePass() {
    if (CWinThread* thread = AfxGetThread()) {
        thread->OnIdle(0);
        thread->OnIdle(1);
    }
    PumpInput();
}

void ChooseFromPopupMenus(const std::vector<UINT>& commands) {
    for (UINT command : commands) SdPushPopupMenuChoice(command);
}

SdPopupMenuRecord LastPopupMenu() {
    const std::vector<SdPopupMenuRecord> log = SdPopupMenuLog();
    if (log.empty()) {
        ADD_FAILURE() << "no popup menu was tracked";
        return SdPopupMenuRecord{};
    }
    return log.back();
}

} // namespace sdtest
