#include "shell/CColorSwatch.h"

#include <cstdlib>
#include <utility>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>

void DrawColorCell(CDC* dc, const RECT& rect, int edge, COLORREF color) {
    CBrush fill;
    fill.CreateSolidBrush(PALETTERGB(GetRValue(color), GetGValue(color), GetBValue(color)));
    dc->FillRect(&rect, &fill);

    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    if (edge < 0) std::swap(light, dark);
    const int width = std::abs(edge);
    CPen lightPen;
    CPen darkPen;
    lightPen.CreatePen(PS_SOLID, width, light);
    darkPen.CreatePen(PS_SOLID, width, dark);
    const int l = int(rect.left), t = int(rect.top);
    const int r = int(rect.right) - 1, b = int(rect.bottom) - 1;
    CPen* old = dc->SelectObject(&lightPen);
    dc->MoveTo(l, b);
    dc->LineTo(l, t);
    dc->LineTo(r, t);
    dc->SelectObject(&darkPen);
    dc->LineTo(r, b);
    dc->LineTo(l, b);
    dc->SelectObject(old);
}

void CColorSwatch::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    const RECT& rect = lpDrawItemStruct->rcItem;
    const bool enabled = !(lpDrawItemStruct->itemState & ODS_DISABLED);
    if (enabled && color != NoColor) {
        DrawColorCell(dc, rect, -1, color);
        return;
    }
    CBrush face;
    face.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    CPen frame;
    if (enabled)
        frame.CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    else
        frame.CreatePen(PS_SOLID, 1, RGB(0x7F, 0x7F, 0x7F));
    CPen* oldPen = dc->SelectObject(&frame);
    CBrush* oldBrush = dc->SelectObject(&face);
    dc->Rectangle(&rect);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}
