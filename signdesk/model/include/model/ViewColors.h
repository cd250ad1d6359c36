#pragma once
// Colours of the outline view and the trace background, as the application profile sets
// them; the defaults hold until it does.

#include <win32/base.h>

struct ViewColors {
    COLORREF LineColor = 0;
    COLORREF CurveColor = 0x7F7F7F;
    COLORREF TraceBGColor = 0xFFFFFF;
};

ViewColors& GetViewColors();
