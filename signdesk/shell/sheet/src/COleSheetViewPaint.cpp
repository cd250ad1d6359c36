// The sheet view's settings, first update and repaint: page, grid, cross-hair and the guide
// line being dragged out of a ruler.

#include <cmath>

#include <mfc/CClientDC.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <shell/BoxTransforms.h>
#include <shell/CSheetSizeDlg.h>

#include "sheet/COleOperatingMode.h"
#include "sheet/COleSheetDoc.h"
#include "sheet/COleSheetFrame.h"
#include "sheet/COleSheetView.h"
#include "sheet/FrameworkModes.h"
#include "sheet/SheetSettings.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

int Truncate(double v) {
    if (!(v > -1e9)) return -1000000000;
    if (!(v < 1e9)) return 1000000000;
    return int(v);
}

// The two ends of a line through p at angle a (radians, counter-clockwise on the screen)
// on the left and right sides of area.
void AcrossSides(CPoint p, double a, const CRect& area, POINT ends[2]) {
    const double t = std::tan(a);
    ends[0] = {area.left, Truncate(p.y + (p.x - area.left) * t)};
    ends[1] = {area.right, Truncate(p.y + (p.x - area.right) * t)};
}

// The ends on the bottom and top sides, for the line at right angles to angle a.
void AcrossTopBottom(CPoint p, double a, const CRect& area, POINT ends[2]) {
    const double t = std::tan(a);
    ends[0] = {Truncate(p.x + (area.bottom - p.y) * t), area.bottom};
    ends[1] = {Truncate(p.x + (area.top - p.y) * t), area.top};
}

} // namespace

// ---- first update and settings ----

void COleSheetView::OnInitialUpdate() {
    if (++initialisedViews == 1) {
        guideLinesShown = SheetSettings::Load();
        if (COleSheetFrame* frame = GetSheetFrame()) frame->AddDropTarget(this);
    }
    zoomTop = -1;
    zoomKind = ZOOM_FIT_PAGE;
    RetireMode(mode);
    mode = new COleNoOperationMode;
    mode->SetView(this, TRUE);
    initialised = TRUE;
    CScrollView::OnInitialUpdate();
}

void COleSheetView::OnDestroy() {
    StopAutoScroll();
    SheetSettings::Save(guideLinesShown);
    if (COleSheetFrame* frame = GetSheetFrame()) frame->RemoveDropTarget(this);
    CScrollView::OnDestroy();
}

void COleSheetView::OnSheetSettings() {
    CSheetSizeDlg dlg(this);
    dlg.backgroundColor = SheetSettings::BGColor;
    dlg.gridColor = SheetSettings::GridColor;
    dlg.lineGrid = SheetSettings::LineGrid;
    dlg.sheetWidth = SheetSettings::DocWidth;
    dlg.sheetHeight = SheetSettings::DocHeight;
    dlg.gridOffsetX = SheetSettings::GridOffs.x;
    dlg.gridOffsetY = SheetSettings::GridOffs.y;
    dlg.gridDensityX = SheetSettings::GridDens.x;
    dlg.gridDensityY = SheetSettings::GridDens.y;
    if (dlg.DoModal() != IDOK) return;
    SheetSettings::BGColor = dlg.backgroundColor;
    SheetSettings::GridColor = dlg.gridColor;
    SheetSettings::LineGrid = dlg.lineGrid;
    SheetSettings::DocWidth = dlg.sheetWidth;
    SheetSettings::DocHeight = dlg.sheetHeight;
    SheetSettings::GridOffs = floatPoint(dlg.gridOffsetX, dlg.gridOffsetY);
    SheetSettings::GridDens = floatPoint(SheetSettings::UsableSpacing(dlg.gridDensityX),
                                         SheetSettings::UsableSpacing(dlg.gridDensityY));
    Invalidate(TRUE);
}

// ---- repaint ----

void COleSheetView::OnDraw(CDC* pDC) {
    if (!initialised) return;
    if (pDC->IsPrinting()) {
        DrawContent(pDC, &printMatrix);
        return;
    }
    EraseCrossHair();
    DrawSheetBackground(pDC, &worldToDevice);
    if (mode) mode->OnDrawContent(pDC, &worldToDevice);
    if (SheetSettings::Grid) DrawGrid(pDC);
    if (mode) mode->DrawFeedback(pDC, &worldToDevice);
    ShowCrossHair();
    if (dragGuideDrawn) {
        // Put back where the repaint covered it; it stays drawn elsewhere.
        CPoint p;
        WorldToClient(dragGuidePoint.x, dragGuidePoint.y, p);
        const CPoint scroll = GetDeviceScrollPosition();
        CRect client;
        GetClientRect(&client);
        p.Offset(scroll);
        client.OffsetRect(scroll);
        DrawGuideLine(pDC, p, dragGuideAngle, client);
    }
}

void COleSheetView::DrawSheetBackground(CDC* pDC, const floatTMatrix* matrix) {
    float x0 = 0, y0 = 0, x1 = SheetSettings::DocWidth, y1 = SheetSettings::DocHeight;
    matrix->Transform(x0, y0);
    matrix->Transform(x1, y1);
    CRect page(Truncate(x0), Truncate(y0), Truncate(x1), Truncate(y1));
    page.NormalizeRect();
    CRect clip;
    pDC->GetClipBox(&clip);
    clip.right += 1;
    clip.bottom += 1;
    pDC->FillSolidRect(&clip, ::GetSysColor(COLOR_APPWORKSPACE));
    pDC->FillSolidRect(&page, SheetSettings::BGColor);
    CPen shadow(PS_SOLID, 2, RGB(0, 0, 0));
    CPen* oldPen = pDC->SelectObject(&shadow);
    pDC->MoveTo(page.right + 2, page.top + 2);
    pDC->LineTo(page.right + 2, page.bottom + 2);
    pDC->LineTo(page.left + 2, page.bottom + 2);
    pDC->SelectObject(oldPen);
}

void COleSheetView::DrawGrid(CDC* pDC) {
    const float a = std::fabs(worldToDevice.m11);
    if (!(a > 0)) return;
    const floatPoint offs = SheetSettings::GridOffs;
    const double densX = SheetSettings::UsableSpacing(SheetSettings::GridDens.x);
    const double densY = SheetSettings::UsableSpacing(SheetSettings::GridDens.y);
    // Grid points never closer than four pick distances; always a multiple of the spacing.
    const double minStep = 4.0 * SheetSettings::UsableMouseSens() / a;
    const double stepX = densX < minStep ? std::ceil(minStep / densX) * densX : densX;
    const double stepY = densY < minStep ? std::ceil(minStep / densY) * densY : densY;
    CRect clip;
    pDC->GetClipBox(&clip);
    floatBBox v = TransformRect(worldToDevice.Inv(), clip);
    const double docW = SheetSettings::DocWidth, docH = SheetSettings::DocHeight;
    // The first grid index at or after `from`, never before the origin.
    auto firstIndex = [](double from, double origin, double step) {
        return std::max(0.0, std::ceil((from - origin) / step));
    };
    if (SheetSettings::LineGrid) {
        CPen pen(PS_SOLID, 1, SheetSettings::GridColor);
        CPen* oldPen = pDC->SelectObject(&pen);
        const int oldRop = pDC->SetROP2(R2_NOTXORPEN);
        auto line = [&](double xa, double ya, double xb, double yb) {
            float ax = float(xa), ay = float(ya), bx = float(xb), by = float(yb);
            worldToDevice.Transform(ax, ay);
            worldToDevice.Transform(bx, by);
            pDC->MoveTo(Truncate(ax), Truncate(ay));
            pDC->LineTo(Truncate(bx), Truncate(by));
        };
        for (double i = firstIndex(v.left, offs.x, stepX);; ++i) {
            const double x = offs.x + i * stepX;
            if (x >= docW || x > v.right) break;
            line(x, offs.y, x, docH);
        }
        for (double i = firstIndex(v.bottom, offs.y, stepY);; ++i) {
            const double y = offs.y + i * stepY;
            if (y >= docH || y > v.top) break;
            line(offs.x, y, docW, y);
        }
        pDC->SetROP2(oldRop);
        pDC->SelectObject(oldPen);
        return;
    }
    // Dots on the drawn spacing counted from the origin, so that partial repaints and
    // scrolling keep every dot where it was.
    const double endX = std::min(docW, double(v.right) + stepX);
    const double endY = std::min(docH, double(v.top) + stepY);
    for (double i = firstIndex(v.left, offs.x, stepX);; ++i) {
        const double x = offs.x + i * stepX;
        if (x >= endX) break;
        for (double j = firstIndex(v.bottom, offs.y, stepY);; ++j) {
            const double y = offs.y + j * stepY;
            if (y >= endY) break;
            float dx = float(x), dy = float(y);
            worldToDevice.Transform(dx, dy);
            pDC->SetPixel(Truncate(dx), Truncate(dy), SheetSettings::GridColor);
        }
    }
}

// ---- XOR figures ----

void COleSheetView::DrawCrossHair() {
    if (m_hWnd == nullptr) return;
    CClientDC dc(this);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    const int oldRop = dc.SetROP2(R2_NOTXORPEN);
    CRect client;
    GetClientRect(&client);
    POINT ends[2];
    AcrossSides(crossHairPos, crossHairAngle, client, ends);
    dc.Polyline(ends, 2);
    AcrossTopBottom(crossHairPos, crossHairAngle, client, ends);
    dc.Polyline(ends, 2);
    dc.SetROP2(oldRop);
    dc.SelectObject(oldPen);
    crossHairDrawn = !crossHairDrawn;
}

void COleSheetView::DrawGuideLine(CDC* pDC, CPoint p, double a, const CRect& area) {
    CPen pen(PS_SOLID, 1, SheetSettings::GridColor);
    CPen* oldPen = pDC->SelectObject(&pen);
    const int oldRop = pDC->SetROP2(R2_NOTXORPEN);
    POINT ends[2];
    if (std::fabs(a) < kPi / 4)
        AcrossSides(p, a, area, ends);
    else
        AcrossTopBottom(p, a - kPi / 2, area, ends);
    pDC->Polyline(ends, 2);
    pDC->SetROP2(oldRop);
    pDC->SelectObject(oldPen);
}

void COleSheetView::DrawWorldGuideLine(CDC* pDC, const floatPoint& p, double a, const CRect& area) {
    CPoint c;
    WorldToClient(p.x, p.y, c);
    DrawGuideLine(pDC, c, a, area);
}

void COleSheetView::DrawDragGuide() {
    if (m_hWnd == nullptr) return;
    CPoint p;
    WorldToClient(dragGuidePoint.x, dragGuidePoint.y, p);
    CClientDC dc(this);
    CRect client;
    GetClientRect(&client);
    DrawGuideLine(&dc, p, dragGuideAngle, client);
    dragGuideDrawn = !dragGuideDrawn;
}

void COleSheetView::InvalidateGuideLine(const floatPoint& p, double angle) {
    if (m_hWnd == nullptr) return;
    CPoint c;
    WorldToClient(p.x, p.y, c);
    CRect client;
    GetClientRect(&client);
    CRect r;
    if (angle == 0) {
        r = CRect(client.left, c.y - 2, client.right, c.y + 3);
    } else if (angle == kPi / 2) {
        r = CRect(c.x - 2, client.top, c.x + 3, client.bottom);
    } else {
        POINT ends[2];
        if (std::fabs(angle) < kPi / 4)
            AcrossSides(c, angle, client, ends);
        else
            AcrossTopBottom(c, angle - kPi / 2, client, ends);
        r = CRect(ends[0], ends[1]);
        r.NormalizeRect();
    }
    InvalidateRect(&r, FALSE);
}
