#pragma once
// Where window device contexts come from. The drawing layer installs a provider; until then
// GetDC and BeginPaint hand out NULL. A provider is called without any lock of the window
// layer held, and may be given a NULL window for the screen.

#include "win32/base.h"

using SdWindowDcAcquire = HDC (*)(HWND hwnd);
using SdWindowDcRelease = int (*)(HWND hwnd, HDC dc);

// Null functions remove the provider.
WIN32_API void SdSetWindowDcProvider(SdWindowDcAcquire acquire, SdWindowDcRelease release);
