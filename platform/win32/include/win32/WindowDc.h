#pragma once
// Where window device contexts come from. The drawing layer installs a provider; until then
// GetDC and BeginPaint hand out NULL. A provider is called without any lock of the window
// layer held, and may be given a NULL window for the screen.

#include "win32/base.h"

using SdWindowDcAcquire = HDC (*)(HWND hwnd);
using SdWindowDcRelease = int (*)(HWND hwnd, HDC dc);

// Null functions remove the provider.
WIN32_API void SdSetWindowDcProvider(SdWindowDcAcquire acquire, SdWindowDcRelease release);

// Moves the pixels of `area` (client coordinates) by dx, dy on the window's surface; only
// pixels inside `clip` are written. The drawing layer installs it with the provider.
using SdWindowSurfaceScroll = void (*)(HWND hwnd, int dx, int dy, const RECT& area,
                                       const RECT& clip);
WIN32_API void SdSetWindowSurfaceScroll(SdWindowSurfaceScroll scroll);
