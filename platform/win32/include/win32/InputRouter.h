#pragma once
// The input router: where mouse and keyboard input goes, as the display (or a test) delivers
// it. Mouse input comes at a screen point: the window holding the capture gets it, else the
// window under the point (WindowFromPoint), which is first asked to set the cursor
// (WM_SETCURSOR, hit test and mouse message in lParam). A second press of a button on a
// window of a CS_DBLCLKS class soon enough and near enough becomes a double click. Points
// on a window's non-client parts (frame, caption, menu bar, its own scroll bars) become the
// non-client messages (WM_NCLBUTTONDOWN ..., the hit test code, screen point). Keys go to the focus window. Everything is posted,
// with the key flags of the moment (MK_ bits), so message loops see it as input.

#include "win32/user.h"

// message: WM_MOUSEMOVE, WM_{L,R,M}BUTTONDOWN or WM_{L,R,M}BUTTONUP. Moves the cursor there.
// Returns the window the message went to (NULL: nowhere).
WIN32_API HWND SdRouteMouse(UINT message, POINT screen);
// message: WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP. The physical key state
// follows. Returns the window the key went to.
WIN32_API HWND SdRouteKey(UINT message, int virtualKey);
// A key as a display delivers it: the lParam bits (scan code, extended, context, previous
// state, transition) as they come, and the character the layout gives (an ANSI byte; -1
// none), which TranslateMessage posts as WM_CHAR (WM_SYSCHAR for a system key) in place of
// its own guess.
WIN32_API HWND SdRouteDisplayKey(UINT message, int virtualKey, LPARAM flags, int character);
// Forgets the last press, so that the next one is not taken as the second of a double
// click.
WIN32_API void SdResetDoubleClick();
