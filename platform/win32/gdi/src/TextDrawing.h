#pragma once
// Text on a device context: glyph outlines of the selected font filled by the rasteriser.

#include "DeviceContext.h"
#include "win32/gdifont.h"

namespace sdgdi {

// Draws `length` bytes of ANSI text at the logical point placed by the alignment flags
// (TA_LEFT / TA_RIGHT / TA_CENTER, TA_TOP / TA_BOTTOM / TA_BASELINE; TA_UPDATECP takes and
// moves the current position); dx (optional) gives each character's advance in logical
// units. Options: ETO_OPAQUE fills `rect` (logical) with the background colour first,
// ETO_CLIPPED keeps the glyphs inside it; `opaqueCell` fills the text's own cells (TextOut in
// OPAQUE background mode). Without any installed face nothing is drawn.
BOOL drawText(DeviceContext& dc, int x, int y, UINT align, UINT options, const RECT* rect, const char* text,
              int length, const INT* dx, bool opaqueCell);

// The logical font of a font object (stock fonts: their face and height).
LOGFONTA logicalFontOf(const FontObject& font);

// The extent of the text in logical units.
BOOL textExtent(DeviceContext& dc, const char* text, int length, SIZE* size);

} // namespace sdgdi
