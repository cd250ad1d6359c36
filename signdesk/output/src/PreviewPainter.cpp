// The preview painter of the output pages.
#include <algorithm>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"

void CPrintEngine::PaintPreview(CDC* dc, const RECT& rect, const floatPoint* registration) {
    const bool tiled = tiles.IsTiled();
    // Tiled, the preview shows the whole grid of tiles inside the margins.
    float pageW = tiled ? leftMargin + tiles.totalWidth + rightMargin : mediaWidth;
    float pageH = tiled ? topMargin + tiles.totalHeight + bottomMargin : mediaHeight;
    float w = float(rect.right - rect.left - 2 * ScrollMargin);
    float h = float(rect.bottom - rect.top - 2 * ScrollMargin);
    if (!(pageW > 0) || !(pageH > 0) || w <= 0 || h <= 0) return;
    float s = std::min(w / pageW, h / pageH) * zoom;
    previewMatrix = floatTMatrix(s, 0, 0, s, float(rect.left + ScrollMargin - scrollX),
                                 float(rect.top + ScrollMargin - scrollY));
    pageRect = PageBoxToPreviewRect(floatBBox(0, 0, pageW, pageH));

    CBrush paper(RGB(255, 255, 255));
    dc->FillRect(&pageRect, &paper);
    {
        CPen dotted(PS_DOT, 1, RGB(160, 160, 160));
        CPen* old = dc->SelectObject(&dotted);
        RECT m = PageBoxToPreviewRect(
            floatBBox(leftMargin, topMargin, pageW - rightMargin, pageH - bottomMargin));
        dc->MoveTo(m.left, m.top);
        dc->LineTo(m.right, m.top);
        dc->LineTo(m.right, m.bottom);
        dc->LineTo(m.left, m.bottom);
        dc->LineTo(m.left, m.top);
        dc->SelectObject(old);
    }

    float margin = GetCopyMargin();
    floatTMatrix placement;
    int level = DetailTable[std::clamp(detail, 0, 3)];
    auto drawCopy = [&](const floatTMatrix& placed) {
        floatTMatrix copyMatrix = placed * previewMatrix;
        if (source) source->DrawDocument(dc, designMatrix * copyMatrix, level);
        DrawCropMarks(dc, copyMatrix);
        DrawCutContour(dc, copyMatrix);
    };
    floatBBox box;
    GetBox(box);
    floatTMatrix boxMatrix;
    boxMatrix.BoxTransformation(box.left, box.bottom, box.right, box.top, 0, 0, designWidth,
                                designHeight);
    if (tiled) {
        GetPlacement(placement, xPosition + margin, yPosition + margin, 1);
        drawCopy(boxMatrix * placement);
    } else {
        ForEachCopy(0, drawCopy);
    }
    DrawSyncMarks(dc, previewMatrix);
    // The design's rectangle: the first copy, for the move and scale handles.
    designRect = PageBoxToPreviewRect(floatBBox(xPosition + margin, yPosition + margin,
                                                xPosition + margin + GetLayoutWidth(),
                                                yPosition + margin + GetLayoutHeight()));
    {
        CPen frame(PS_SOLID, 1, RGB(0, 0, 255));
        CPen* old = dc->SelectObject(&frame);
        dc->MoveTo(designRect.left, designRect.top);
        dc->LineTo(designRect.right, designRect.top);
        dc->LineTo(designRect.right, designRect.bottom);
        dc->LineTo(designRect.left, designRect.bottom);
        dc->LineTo(designRect.left, designRect.top);
        dc->SelectObject(old);
    }

    if (tiled) {
        CPen border(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* old = dc->SelectObject(&border);
        int oldMode = dc->SetBkMode(TRANSPARENT);
        for (int number = 1; number <= tiles.selectedCount; ++number) {
            int c, r;
            float x, y, tw, th;
            tiles.GetTileGeometry(number, c, r, x, y, tw, th);
            RECT t = PageBoxToPreviewRect(
                floatBBox(leftMargin + x, topMargin + y, leftMargin + x + tw, topMargin + y + th));
            dc->MoveTo(t.left, t.top);
            dc->LineTo(t.right, t.top);
            dc->LineTo(t.right, t.bottom);
            dc->LineTo(t.left, t.bottom);
            dc->LineTo(t.left, t.top);
            CString text;
            text.Format("%d", number);
            dc->TextOut(t.left + 3, t.top + 3, text, text.GetLength());
        }
        dc->SetBkMode(oldMode);
        dc->SelectObject(old);
    }

    if (registration) {
        CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* old = dc->SelectObject(&pen);
        for (int i = 0; i < 3; ++i) {
            if (registration[i].x < 0 || registration[i].y < 0) continue;
            POINT p = PageToPreview(registration[i]);
            const int r = 3;
            dc->Rectangle(p.x - r, p.y - r, p.x + r, p.y + r);
        }
        dc->SelectObject(old);
    }
}
