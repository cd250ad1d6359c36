#pragma once
// How windows look. The drawing layer installs the painters; the window layer calls them
// from the predefined controls' WM_PAINT, the default background erase and the default
// WM_CTLCOLOR* answers. Without painters windows paint nothing. A painter is called without
// any lock of the window layer held and may send messages to the window it paints.

#include "win32/base.h"

// What a control knows about itself that its messages do not tell.
struct SdLookState {
    int pressed = 0; // the part held down: a scroll bar's SB_ code + 1, an up-down's 1 (up) or 2
};

struct SdLookPainters {
    // Paints the predefined control on dc (its client area), by its class.
    void (*paintControl)(HWND hwnd, HDC dc, const SdLookState& state);
    // Fills the client area with the brush; TRUE when painted.
    BOOL (*erase)(HWND hwnd, HDC dc, HBRUSH brush);
    // The default answer to WM_CTLCOLOR*: sets the text and background colours of dc and
    // returns the brush of the background.
    HBRUSH (*controlColour)(HDC dc, UINT message);
    // Menus: a popup's size, an item's rectangle in its popup (client coordinates), a menu
    // bar item's rectangle (window coordinates of the window holding the bar).
    SIZE (*popupMenuSize)(HMENU menu);
    RECT (*popupMenuItemRect)(HMENU menu, int item);
    RECT (*menuBarItemRect)(HWND hwnd, int item);
    // A tool tip's size for its window text in its font.
    SIZE (*toolTipSize)(HWND hwnd);
};

// Null removes the painters; the structure must outlive its installation.
WIN32_API void SdSetLookPainters(const SdLookPainters* painters);
WIN32_API const SdLookPainters* SdLookPaintersInstalled();

// WM_PAINT of a predefined control: BeginPaint, the control painter, EndPaint.
WIN32_API void SdPaintControl(HWND hwnd, const SdLookState& state);

// The position of the window's menu bar item being worked with keys or mouse, else -1.
WIN32_API int SdMenuBarHighlight(HWND hwnd);
// Closes the menus being worked, choosing nothing.
WIN32_API void SdEndMenuTracking();
