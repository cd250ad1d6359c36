#pragma once
// Small painting steps shared by the frame helpers, the controls, menus and bars: rectangles
// in system colours, glyphs (arrows, check marks, bullets) in any colour, the 50 % pattern.

#include "win32/userdraw.h"

namespace sdlook {

void fillColor(HDC dc, const RECT& r, COLORREF colour);
inline void fillSys(HDC dc, const RECT& r, int index) {
    fillColor(dc, r, GetSysColor(index));
}
// Alternate pixels in two colours, starting with `first` where x + y is even (device).
void fillChecker(HDC dc, const RECT& r, COLORREF first, COLORREF second);
// A one-pixel frame.
void frameColor(HDC dc, const RECT& r, COLORREF colour);

enum class Arrow { Up, Down, Left, Right };
// A solid triangle centred in r, its base as wide as the box allows (7 pixels in 16).
void arrowGlyph(HDC dc, const RECT& r, Arrow direction, COLORREF colour);
// The 7 x 7 check mark centred in r.
void checkGlyph(HDC dc, const RECT& r, COLORREF colour);
// A round dot of the given diameter centred in r.
void bulletGlyph(HDC dc, const RECT& r, int diameter, COLORREF colour);
// A disabled glyph: once in the highlight one pixel down and right, then in the shadow.
template <class Glyph> void etched(HDC dc, const RECT& r, Glyph glyph) {
    glyph(dc, RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, GetSysColor(COLOR_3DHILIGHT));
    glyph(dc, r, GetSysColor(COLOR_3DSHADOW));
}

// The classic button face: raised soft edge with the face colour inside, or sunken when
// pushed; returns the inner rectangle.
RECT buttonFace(HDC dc, const RECT& r, bool pushed, bool flat = false);

// A control's font selected into dc (the stock GUI font when the control has none); the
// destructor puts the previous one back.
class FontScope {
public:
    FontScope(HDC dc, HFONT font);
    ~FontScope();
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace sdlook
