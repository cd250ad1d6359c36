#pragma once
// Pasting a picture: the clipboard's packed bitmap (CF_DIB) or bitmap handle (CF_BITMAP) as a
// new bitmap object, for the view's paste command.

#include <win32/base.h>

class CBitmapObj;

// A new object with its own picture, 150 pixels per inch from the origin; null after the
// message "Unable to load bitmap" when the clipboard gives no readable picture.
CBitmapObj* CreateBitmapFromClipboard(UINT format);
