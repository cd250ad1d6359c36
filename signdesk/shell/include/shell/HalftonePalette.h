#pragma once
// The program's one colour palette, selected and realised by every window that draws colours
// or bitmaps, so that 256-colour displays show the design the same everywhere. Counted: the
// palette lives from the first acquire to the matching last release.

#include <win32/base.h>

class CPalette;
class CWnd;

// Makes the palette on first use (the raster library's half-tone table); FALSE, with nothing
// counted, when it cannot be made.
BOOL AcquireHalftonePalette();
// The shared palette; null before the first acquire and after the last release.
CPalette* GetAppPalette();
// At the last release the palette is deleted.
void ReleaseHalftonePalette();

// WM_QUERYNEWPALETTE and WM_PALETTECHANGED of a window that draws colours: realises the
// shared palette in a window context and invalidates the window when an entry changed.
// TRUE when it did.
BOOL RealizeAppPalette(CWnd& wnd);
