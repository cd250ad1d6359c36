#include "output/CPageLayout.h"

#include <algorithm>
#include <cmath>
#include <win32/resource.h>
#include <win32/user.h>

void CPageLayout::SetScale(float s) {
    if (!(s > 0) || !std::isfinite(s)) return;
    scale = s;
    floatBBox box;
    GetBox(box);
    designWidth = (box.right - box.left) * s;
    designHeight = (box.top - box.bottom) * s;
}

void CPageLayout::GetPlacement(floatTMatrix& out, float x, float y, int sense) {
    float w = designWidth;
    float h = designHeight;
    out.IdentMatrix();
    if (mirror) out = floatTMatrix(-1, 0, 0, 1, w, 0);
    if (rotation < 0 || rotation > 3) rotation = 0;
    const floatTMatrix turnA(0, 1, -1, 0, h, 0);
    const floatTMatrix turnB(0, -1, 1, 0, 0, w);
    switch (rotation) {
    case 1:
        out *= sense ? turnB : turnA;
        break;
    case 2:
        out *= floatTMatrix(-1, 0, 0, -1, w, h);
        break;
    case 3:
        out *= sense ? turnA : turnB;
        break;
    default:
        break;
    }
    out *= floatTMatrix(1, 0, 0, 1, x, y);
}

POINT CPageLayout::PageToPreview(const floatPoint& p) const {
    float x = p.x;
    float y = p.y;
    previewMatrix.Transform(x, y);
    return POINT{LONG(std::floor(x + 0.5f)), LONG(std::floor(y + 0.5f))};
}

floatPoint CPageLayout::PreviewToPage(POINT p) const {
    float x = float(p.x);
    float y = float(p.y);
    previewMatrix.Inv().Transform(x, y);
    return floatPoint(x, y);
}

float CPageLayout::PreviewLengthToPage(int pixels) const {
    float x = float(pixels);
    float y = float(pixels);
    previewMatrix.Inv().dTransform(x, y);
    return std::fabs(x);
}

floatBBox CPageLayout::PageBoxToPreview(const floatBBox& box) const {
    float x1 = box.left, y1 = box.bottom, x2 = box.right, y2 = box.top;
    previewMatrix.Transform(x1, y1);
    previewMatrix.Transform(x2, y2);
    return floatBBox(x1, y1, x2, y2);
}

RECT CPageLayout::PageBoxToPreviewRect(const floatBBox& box) const {
    floatBBox b = PageBoxToPreview(box);
    return RECT{LONG(b.left), LONG(b.bottom), LONG(b.right), LONG(b.top)};
}

void CPageLayout::FitToPage(float copyMargin) {
    floatBBox box;
    GetBox(box);
    float bw = box.right - box.left;
    float bh = box.top - box.bottom;
    // An empty design has nothing to fit.
    if (!(bw > 0) && !(bh > 0)) return;
    xPosition = leftMargin;
    yPosition = topMargin;
    scale = 1.0f;
    designWidth = bw;
    designHeight = bh;
    float a = mediaWidth - leftMargin - rightMargin;
    float b = mediaHeight - topMargin - bottomMargin;
    float m = 2 * copyMargin;
    float lw = GetLayoutWidth();
    float lh = GetLayoutHeight();
    // A line has one side only: it is fitted along that side.
    bool byHeight = lh > 0 && (!(lw > 0) || lw / lh < a / b);
    float s = byHeight ? (b - m - 1.0f) / lh : (a - m - 1.0f) / lw;
    SetScale(s);
}

void CPageLayout::ActualSize() {
    floatBBox box;
    GetBox(box);
    scale = 1.0f;
    designWidth = box.right - box.left;
    designHeight = box.top - box.bottom;
}

void CPageLayout::CentreVertically() {
    yPosition = topMargin + (mediaHeight - topMargin - bottomMargin - blockHeight) / 2;
    if (yPosition < topMargin) yPosition = topMargin;
    if (yPosition + blockHeight > mediaHeight - bottomMargin)
        yPosition = mediaHeight - bottomMargin - blockHeight;
}

void CPageLayout::CentreHorizontally() {
    xPosition = leftMargin + (mediaWidth - leftMargin - rightMargin - blockWidth) / 2;
    if (xPosition < leftMargin) xPosition = leftMargin;
}

void CPageLayout::MoveToMarginCorner() {
    xPosition = leftMargin;
    yPosition = topMargin;
}

void CPageLayout::FillPage(float copyMargin) {
    float m = 2 * copyMargin;
    float cw = GetLayoutWidth() + m;
    float ch = GetLayoutHeight() + m;
    float a = mediaWidth - leftMargin - rightMargin;
    float b = mediaHeight - topMargin - bottomMargin;
    if (!(cw > 0) || !(ch > 0)) return;
    int nx = int(a / cw);
    int ny = int(b / ch);
    if (nx < 1 || ny < 1) return;
    float gx = (a - float(nx) * cw) / float(nx + 1);
    float gy = (b - float(ny) * ch) / float(ny + 1);
    gap = std::min(gx, gy);
    copies = nx * ny;
    xPosition = leftMargin + (a - ((gap + cw) * float(nx) - gap)) / 2;
    yPosition = topMargin + (b - ((gap + ch) * float(ny) - gap)) / 2;
}

int CPageLayout::HitTest(int x, int y) const {
    if (std::abs(x - designRect.right) <= HitTolerance &&
        std::abs(y - designRect.bottom) <= HitTolerance)
        return 1;
    int cx = (designRect.left + designRect.right) / 2;
    int cy = (designRect.top + designRect.bottom) / 2;
    if (std::abs(x - cx) <= HitTolerance && std::abs(y - cy) <= HitTolerance) return 0;
    return -1;
}

void CPageLayout::OnButtonDown(POINT p) {
    pressPoint = p;
    int hit = HitTest(p.x, p.y);
    trackingState = hit == 0 ? 2 : hit == 1 ? 3 : 0;
}

void CPageLayout::OnButtonUp() {
    cursor = trackingState == 1 ? MAKEINTRESOURCE(HandCursor) : IDC_ARROW;
    trackingState = 0;
}

void CPageLayout::OnPanDown(POINT p) {
    if (trackingState != 0 || !panningAllowed) return;
    pressPoint = p;
    trackingState = 1;
    cursor = MAKEINTRESOURCE(HandCursor);
}

void CPageLayout::OnPanUp() {
    if (trackingState != 1) return;
    cursor = IDC_ARROW;
    trackingState = 0;
}

int CPageLayout::MaxScrollX() const {
    return std::max(0, int(pageRect.right + 2 * ScrollMargin - previewMatrix.dx -
                           float(previewRect.right - previewRect.left)));
}

int CPageLayout::MaxScrollY() const {
    return std::max(0, int(pageRect.bottom + 2 * ScrollMargin - previewMatrix.dy -
                           float(previewRect.bottom - previewRect.top)));
}

bool CPageLayout::OnMouseMove(POINT p, bool buttonDown) {
    if (!buttonDown || trackingState == 0) {
        if (!buttonDown) {
            int hit = HitTest(p.x, p.y);
            cursor = hit == 0 ? IDC_SIZEALL : hit == 1 ? IDC_SIZENWSE : IDC_ARROW;
        }
        return false;
    }
    floatPoint from = PreviewToPage(pressPoint);
    floatPoint to = PreviewToPage(p);
    float dx = to.x - from.x;
    float dy = to.y - from.y;
    switch (trackingState) {
    case 2:
        xPosition =
            std::clamp(xPosition + dx, leftMargin, std::max(leftMargin, UsableWidth() - 1.0f));
        yPosition =
            std::clamp(yPosition + dy, topMargin, std::max(topMargin, UsableHeight() - 1.0f));
        pressPoint = p;
        UpdateLayout(0);
        return true;
    case 3: {
        float l = GetLayoutWidth();
        // A design without width cannot be scaled by its width.
        if (!(l > 0)) return false;
        SetScale(std::max(0.001f, (l + dx) * scale / l));
        pressPoint = p;
        UpdateLayout(0);
        return true;
    }
    case 1: {
        int nx = std::clamp(scrollX + int(pressPoint.x - p.x), 0, MaxScrollX());
        int ny = std::clamp(scrollY + int(pressPoint.y - p.y), 0, MaxScrollY());
        bool changed = nx != scrollX || ny != scrollY;
        scrollX = nx;
        scrollY = ny;
        pressPoint = p;
        return changed;
    }
    default:
        return false;
    }
}
