#pragma once
// The non-client layout of a window, its hit test and the client area a window rectangle
// would have. The lock must be held.

#include "WindowTable.h"
#include "win32/NonClient.h"

namespace sduser {

SdNonClientLayout layoutOf(const Window* window);
// p in window coordinates.
LRESULT hitTestAt(const Window* window, POINT p);
// The client rectangle (same coordinates as windowRect) of the window at windowRect.
RECT clientForWindowRect(const Window* window, const RECT& windowRect);

} // namespace sduser
