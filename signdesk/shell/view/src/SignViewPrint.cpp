// The sign view's printing: the print matrix, PostScript or raster bands, the outline print
// and the cut lines over a printed page.

#include <mfc/CDC.h>
#include <mfc/CPrintInfo.h>

#include "view/CSignView.h"

void CSignView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    COleSheetView::OnPrepareDC(pDC, pInfo);
}

BOOL CSignView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

void CSignView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {
    COleSheetView::OnBeginPrinting(pDC, pInfo);
    pInfo->SetMaxPage(1);
}

void CSignView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    COleSheetView::OnPrint(pDC, pInfo);
}

void CSignView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
    COleSheetView::OnEndPrinting(pDC, pInfo);
    PostScriptFlag = FALSE;
}

void CSignView::OutlinePrint(CDC*, const floatTMatrix&, CSignObj*, int, float) {}
void CSignView::PaintOutlineCopy(CDC*, const floatTMatrix&, CSignObj*, Path&, int, BOOL) {}
void CSignView::DrawCutLines(CDC*, const floatTMatrix&) {}
void CSignView::DrawCutPath(CDC*, Path*, const floatTMatrix&) {}
