#pragma once
// Text on a device context: glyph outlines of the selected font filled by the rasteriser.

#include "DeviceContext.h"

namespace sdgdi {

// Draws `length` bytes of ANSI text with its top-left cell corner at the logical point; dx
// (optional) gives each character's advance in logical units; with `opaque` the rectangle
// (logical, optional) is first filled with the background colour. Returns FALSE for a context
// whose font has no face.
BOOL drawText(DeviceContext& dc, int x, int y, const char* text, int length, const INT* dx,
              bool opaque, const RECT* opaqueRect);

// The extent of the text in logical units.
BOOL textExtent(DeviceContext& dc, const char* text, int length, SIZE* size);

} // namespace sdgdi
