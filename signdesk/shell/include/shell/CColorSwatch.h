#pragma once
// An owner-drawn button showing one colour, and the colour cell it draws.

#include <mfc/CControls.h>
#include <win32/wingdi.h>

class CDC;

// Fills the rectangle with the colour (the nearest entry of the selected palette) and
// frames it with a 3-D edge |edge| pixels wide: raised for a positive edge (light left and
// top, shadow right and bottom), sunken for a negative one.
void DrawColorCell(CDC* dc, const RECT& rect, int edge, COLORREF color);

class CColorSwatch : public CButton {
public:
    static constexpr COLORREF NoColor = 0xFFFFFFFF;

    // Enabled: the colour as a sunken cell, or a dotted frame on the button face when there
    // is none. Disabled: a grey frame on the button face.
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    COLORREF color = NoColor;
};
