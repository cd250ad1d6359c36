#pragma once
// The painters of the predefined controls, one per class, and what they share: the
// WM_CTLCOLOR* exchange with the parent and the state every control shows the same way.

#include <string>

#include "LookPaint.h"
#include "win32/WindowLook.h"
#include "win32/controls.h"
#include "win32/nls.h"

namespace sdlook {

// Sets the default colours of the message on dc and returns its brush.
HBRUSH defaultControlColour(HDC dc, UINT message);
// Asks the parent for the control's colours (WM_CTLCOLOR*); a parent that answers with
// something that is not a brush gets the default brush (its colours stay as it set them).
HBRUSH controlColour(HWND hwnd, HDC dc, UINT message);

std::string windowText(HWND hwnd);
HFONT controlFont(HWND hwnd);
DWORD styleOf(HWND hwnd);
RECT clientOf(HWND hwnd);

// Text that shows the control's state: etched in the highlight and grey when disabled.
void stateText(HDC dc, const std::string& text, RECT r, UINT format, bool enabled, COLORREF colour);

void paintButton(HWND hwnd, HDC dc);
void paintStatic(HWND hwnd, HDC dc);
void paintEdit(HWND hwnd, HDC dc);
void paintListBox(HWND hwnd, HDC dc);
void paintComboBox(HWND hwnd, HDC dc);
void paintScrollBarControl(HWND hwnd, HDC dc, const SdLookState& state);
void paintUpDown(HWND hwnd, HDC dc, const SdLookState& state);
void paintTrackbar(HWND hwnd, HDC dc);
void paintToolTip(HWND hwnd, HDC dc);

// A scroll bar in r (dc coordinates) with its range; pressed is the SB_ code + 1 of the part
// held down (0 none); a disabled bar shows grey arrows and no thumb.
void paintScrollBar(HDC dc, const RECT& r, bool vertical, const SCROLLINFO& info, int pressed,
                    bool enabled);

} // namespace sdlook
