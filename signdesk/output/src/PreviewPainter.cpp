// The preview painter of the output pages.
#include <algorithm>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>

#include <rasterkit/CDibDC.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"

void CPrintEngine::BuildPreviewBitmap(int width, int height) {
    previewBitmap_.reset();
    previewBitmapDetail_ = -1;
    if (width <= 0 || height <= 0 || !source) return;
    auto bitmap = std::make_unique<CDibDC>(width, height);
    if (!bitmap->IsValid()) return;
    CBrush white(RGB(255, 255, 255));
    RECT all{0, 0, width, height};
    bitmap->FillRect(&all, &white);
    floatBBox box;
    GetBox(box);
    floatTMatrix m;
    // The design's top-left corner at the bitmap's top-left: y turned over.
    m.BoxTransformation(box.left, box.top, box.right, box.bottom, 0, 0, float(width),
                        float(height));
    source->DrawDocument(bitmap.get(), m, DetailTable[std::clamp(detail, 0, 3)]);
    previewBitmap_ = std::move(bitmap);
    previewBitmapDetail_ = detail;
    ++previewBitmapBuilds;
}

void CPrintEngine::ReleasePreviewBitmap() {
    previewBitmap_.reset();
    previewBitmapDetail_ = -1;
}

void CPrintEngine::PaintPreview(CDC* dc, const RECT& rect, const floatPoint* registration,
                                int sheet) {
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
    floatBBox designBox;
    GetBox(designBox);
    if (previewBitmap_ && previewBitmapDetail_ != detail)
        BuildPreviewBitmap(previewBitmap_->m_DIB.GetWidth(), previewBitmap_->m_DIB.GetHeight());
    auto drawCopy = [&](const floatTMatrix& placed) {
        floatTMatrix copyMatrix = placed * previewMatrix;
        // Upright copies take the cached picture; turned or mirrored ones are drawn.
        if (previewBitmap_ && rotation == 0 && !mirror) {
            // The design box's corners: its top lies at the copy's top on the page.
            float x0 = designBox.left, y0 = designBox.bottom, x1 = designBox.right,
                  y1 = designBox.top;
            copyMatrix.Transform(x0, y0);
            copyMatrix.Transform(x1, y1);
            RECT src{0, 0, previewBitmap_->m_DIB.GetWidth(), previewBitmap_->m_DIB.GetHeight()};
            RECT dst{LONG(x0), LONG(y0), LONG(x1), LONG(y1)};
            previewBitmap_->m_DIB.Paint(dc, src, dst, 0);
        } else if (source) {
            source->DrawDocument(dc, designMatrix * copyMatrix, level);
        }
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
        ForEachCopy(sheet, drawCopy);
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
