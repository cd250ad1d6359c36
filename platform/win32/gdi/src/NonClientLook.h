#pragma once
// The non-client parts of a window painted with its top left at `at` (dc coordinates).

#include "win32/base.h"

namespace sdlook {

void paintNonClient(HWND hwnd, HDC dc, POINT at);

} // namespace sdlook
