#pragma once
// What tests use to work windows as a user would: mouse and keyboard input goes through the
// input router (win32/InputRouter.h) at screen points, and the queue is pumped after every
// step as the application's loop would (its message filter included). Points are client
// points of the window named.

#include <string>
#include <vector>

#include "win32/MenuTesting.h"
#include "win32/user.h"

namespace sdtest {

// The screen point of a client point.
POINT ScreenPoint(HWND hwnd, int x, int y);
// Handles what is queued (at most `limit` messages, then a test failure); returns how many.
int PumpInput(int limit = 10000);

// One event at a client point: WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN...
void MouseEvent(HWND hwnd, UINT message, int x, int y);
void MouseMove(HWND hwnd, int x, int y);
// Press and release of the left (or, with right, the right) button.
void Click(HWND hwnd, int x, int y, bool right = false);
void DoubleClick(HWND hwnd, int x, int y);
// Press at the start, `steps` moves along the line (the last one at the end), release there;
// the end may lie outside the window (the capture takes it).
void Drag(HWND hwnd, POINT from, POINT to, int steps = 4);
// A key pressed and released on the focus window (WM_KEYDOWN, WM_CHAR, WM_KEYUP).
void PressKey(int virtualKey);
// Keys held around the others, e.g. VK_CONTROL.
void KeyDown(int virtualKey);
void KeyUp(int virtualKey);

// The application's idle time: the visible main window and its bars update their items.
void IdlePass();

// The popup menus that open next choose these commands (0: nothing), in order.
void ChooseFromPopupMenus(const std::vector<UINT>& commands);
// The last popup menu tracked; a failure when there was none.
SdPopupMenuRecord LastPopupMenu();

} // namespace sdtest
