// The job's layout drawing for the plot sheet's preview: the media (or the tiled area) from
// above, across to the right, along it upward, the origin at the lower left; the display
// matrix carries the flip of y.

#include <algorithm>
#include <cmath>
#include <vector>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <pathkit/ColorPath.h>
#include <pathkit/PathDraw.h>

#include "PlotJob.h"

namespace {

CPoint Pixel(const floatTMatrix& m, float x, float y) {
    m.Transform(x, y);
    auto px = [](float v) {
        return v == v ? int(std::floor(std::clamp(v, -1.0e9f, 1.0e9f) + 0.5f)) : 0;
    };
    return CPoint(px(x), px(y));
}

CRect PixelRect(const floatTMatrix& m, float l, float b, float r, float t) {
    CPoint p = Pixel(m, l, t), q = Pixel(m, r, b);
    return CRect(std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y));
}

void Outline(CDC& dc, const CRect& r) {
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.right, r.top);
    dc.LineTo(r.right, r.bottom);
    dc.LineTo(r.left, r.bottom);
    dc.LineTo(r.left, r.top);
}

void Handle(CDC& dc, CPoint c) {
    int h = Layout::handleSize;
    dc.FillSolidRect(c.x - h, c.y - h, 2 * h + 1, 2 * h + 1, RGB(0, 0, 0));
}

} // namespace

void PlotJob::DrawDesign(CDC& dc, const floatTMatrix& toDisplay) {
    ColorPath** paths;
    int n = GetPaths(paths);
    for (int i = 0; i < n; ++i) {
        ColorPath* p = paths[i];
        if (!p || !PassesLayer(*p) || !IsColourEnabled(p->colour)) continue;
        COLORREF colour = p->colour == ColorPath::NoColour ? RGB(0, 0, 0) : COLORREF(p->colour);
        CPen pen(PS_SOLID, 1, colour);
        CBrush brush(colour);
        CPen* oldPen = dc.SelectObject(&pen);
        CBrush* oldBrush = dc.SelectObject(&brush);
        Paint(&dc, toDisplay, *p, fillPreview ? PP_FILL | PP_STROKE : PP_STROKE);
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
    }
    if (registrationMarkers) {
        for (int i = 0; i < MarkerSlots; ++i) {
            if (!markers[i].used) continue;
            Path shape;
            MarkerPath(markers[i], shape);
            CPen pen(PS_SOLID, 1, i == selectedMarker ? RGB(255, 0, 0) : RGB(0, 0, 0));
            CPen* old = dc.SelectObject(&pen);
            Paint(&dc, toDisplay, shape, PP_STROKE);
            dc.SelectObject(old);
        }
    }
    if (weedBox && !IsTiled()) {
        floatBBox b;
        getBounds(b);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        CPen* old = dc.SelectObject(&pen);
        Outline(dc, PixelRect(toDisplay, b.left, b.bottom, b.right, b.top));
        dc.SelectObject(old);
    }
}

void PlotJob::DrawLayout(CDC& dc, int handles) {
    const bool tiled = IsTiled();
    const float areaW = tiled ? tiles.getFullWidth() : mediaWidth;
    const float areaH = tiled ? tiles.getFullHeight() : mediaLength;
    const int displayW = displayRect.Width();
    float s = areaW > 0 && zoom > 0 ? float(displayW - 2 * margin) / (areaW / zoom) : 1;
    if (!(s > 0) || !std::isfinite(s)) s = 1;
    // mm to pixels: y flipped, the area's lower left corner at the bottom of the drawing.
    displayMatrix =
        floatTMatrix(s, 0, 0, -s, float(margin - scrollX), float(margin - scrollY) + areaH * s);
    drawingRect = CRect(0, 0, int(areaW * s), int(areaH * s));

    CRect area = PixelRect(displayMatrix, 0, 0, areaW, areaH);
    dc.FillSolidRect(area.left + 2, area.top + 2, area.Width(), area.Height(), RGB(0, 0, 0));
    dc.FillSolidRect(&area, RGB(255, 255, 255));

    if (!tiled) {
        std::vector<SheetItem> items;
        Arrange(items);
        bool first = true;
        for (const SheetItem& item : items) {
            if (item.sheet != 0) break;
            CRect r = PixelRect(displayMatrix, item.x, item.y, item.x + item.w, item.y + item.h);
            if (first) contentRect = r;
            first = false;
            CRect visible;
            if (!visible.IntersectRect(&r, &displayRect) && !r.IsRectEmpty()) continue;
            floatTMatrix m = DesignToMedia(item.x, item.y) * displayMatrix;
            DrawDesign(dc, m);
        }
        CPen dotted(PS_DOT, 1, RGB(192, 192, 192));
        CPen* old = dc.SelectObject(&dotted);
        Outline(dc, PixelRect(displayMatrix, leftMargin, bottomMargin,
                              tiles.getMaxWidth() - rightMargin, tiles.getMaxHeight() - topMargin));
        dc.SelectObject(old);
    } else {
        floatTMatrix m =
            DesignToMedia(contentX - leftMargin, contentY - bottomMargin) * displayMatrix;
        contentRect = PixelRect(displayMatrix, contentX - leftMargin, contentY - bottomMargin,
                                contentX - leftMargin + getContentWidth(),
                                contentY - bottomMargin + getContentHeight());
        DrawDesign(dc, m);
        tiles.draw(dc, displayMatrix, area);
    }
    if (handles) {
        Handle(dc, contentRect.CenterPoint());
        Handle(dc, CPoint(contentRect.right, contentRect.bottom));
    }
    if (pageLength > 0 && !tiled && areaH / pageLength < 1000) {
        CPen grey(PS_DOT, 1, RGB(127, 127, 127));
        CPen* old = dc.SelectObject(&grey);
        for (float y = pageLength; y < areaH; y += pageLength) {
            dc.MoveTo(Pixel(displayMatrix, 0, y));
            dc.LineTo(Pixel(displayMatrix, areaW, y));
        }
        dc.SelectObject(old);
    }
    panAllowed = area.left < displayRect.left || area.top < displayRect.top ||
                 area.right > displayRect.right || area.bottom > displayRect.bottom;
}
