#pragma once
// What dialog scripts use to work a live dialog as a user would: input is posted to the
// queue and pumped as the modal loop does (the framework's message filter included), and
// every step is written to the running dialog's log. Controls are named by their id.

#include <string>

#include "win32/DialogTesting.h"

namespace sdtest {

// Handles the queued messages; returns how many (at most `limit`, then a test failure).
int PumpDialog(int limit = 10000);
// Gives a control the focus as Tab would (WM_NEXTDLGCTL).
bool FocusControl(HWND dialog, int id);
// A left click in the middle of the control (press and release). False, with a test
// failure, for a missing, hidden or disabled control.
bool Click(HWND dialog, int id);
// A click at a point of the control's client area.
bool ClickAt(HWND dialog, int id, int x, int y);
// Focuses the control, selects its text and types `text` key by key: '\r' is Enter,
// '\b' Backspace, '\t' Tab, '\x1b' Escape; other characters are typed as themselves.
bool Type(HWND dialog, int id, const std::string& text);
// A key pressed and released on the focused control.
void PressKey(HWND dialog, int virtualKey);
// Picks the item whose text is `text` in a combo box (from its open list) or a list box.
bool Select(HWND dialog, int id, const std::string& text);
// The text of a control.
std::string TextOf(HWND dialog, int id);

} // namespace sdtest
