#include "sheet/COleOperatingMode.h"

#include <mfc/CClientDC.h>
#include <mfc/CGdiObject.h>

#include "sheet/COleSheetDoc.h"
#include "sheet/COleSheetView.h"

IMPLEMENT_DYNCREATE(COleOperatingMode, CCmdTarget)

floatBBox& COleOperatingMode::GetExtent(floatBBox& out) {
    COleSheetDoc* doc = view ? view->GetSheetDoc() : nullptr;
    if (doc != nullptr) return doc->GetExtent(out);
    out = floatBBox();
    return out;
}

BOOL COleOperatingMode::ViewHasCapture() const {
    return view != nullptr && view->m_hWnd != nullptr && ::GetCapture() == view->m_hWnd;
}

BOOL COleOperatingMode::OnLButtonDown(UINT, int x, int y) {
    bandStart = bandEnd = CPoint(x, y);
    if (view) view->SetCapture();
    captured = TRUE;
    return TRUE;
}

BOOL COleOperatingMode::OnLButtonUp(UINT flags, int x, int y) {
    bandEnd = CPoint(x, y);
    if (ViewHasCapture()) {
        CRect rect(std::min(bandStart.x, bandEnd.x), std::min(bandStart.y, bandEnd.y),
                   std::max(bandStart.x, bandEnd.x), std::max(bandStart.y, bandEnd.y));
        OnTrackRect(flags, &rect);
    }
    // OnTrackRect may have ended a temporary mode; it is deleted only after this handler.
    ::ReleaseCapture();
    captured = FALSE;
    return TRUE;
}

void COleOperatingMode::OnMouseMove(UINT, int x, int y) {
    if (!ViewHasCapture()) return;
    if (bandDrawn) DrawRubberBand();
    bandEnd = CPoint(x, y);
    DrawRubberBand();
}

void COleOperatingMode::OnTrackRect(UINT, const CRect*) {
    if (bandDrawn) DrawRubberBand();
}

void COleOperatingMode::HideFeedback() {
    if (captured && bandDrawn) DrawRubberBand();
}

void COleOperatingMode::ShowFeedback() {
    if (captured && !bandDrawn) DrawRubberBand();
}

void COleOperatingMode::OnDrawContent(CDC* dc, const floatTMatrix* matrix) {
    if (view) view->DrawContent(dc, matrix);
}

void COleOperatingMode::DrawFeedback(CDC* dc, const floatTMatrix*) {
    // The repaint wiped the band where it painted; drawing it into the paint DC (clipped to
    // what was painted) puts it back there and leaves it drawn elsewhere.
    if (bandDrawn && view) DrawBandOutline(dc, view->GetDeviceScrollPosition());
}

BOOL COleOperatingMode::OnCtrlDragEnter(CWnd* sender, UINT flags, int x, int y) {
    return view ? view->OnCtrlDragEnter(sender, flags, x, y) : FALSE;
}

BOOL COleOperatingMode::OnCtrlDragLeave(CWnd* sender, UINT flags, int x, int y) {
    return view ? view->OnCtrlDragLeave(sender, flags, x, y) : FALSE;
}

BOOL COleOperatingMode::OnCtrlDragOver(CWnd* sender, UINT flags, int x, int y) {
    return view ? view->OnCtrlDragOver(sender, flags, x, y) : FALSE;
}

BOOL COleOperatingMode::OnCtrlDrop(CWnd* sender, UINT flags, int x, int y) {
    return view ? view->OnCtrlDrop(sender, flags, x, y) : FALSE;
}

void COleOperatingMode::SetView(COleSheetView* sheetView, BOOL) {
    view = sheetView;
}

void COleOperatingMode::DrawBandOutline(CDC* dc, CPoint offset) const {
    CPen pen(PS_DOT, 1, RGB(255, 0, 0));
    CPen* oldPen = dc->SelectObject(&pen);
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    const POINT outline[5] = {{bandStart.x + offset.x, bandStart.y + offset.y},
                              {bandEnd.x + offset.x, bandStart.y + offset.y},
                              {bandEnd.x + offset.x, bandEnd.y + offset.y},
                              {bandStart.x + offset.x, bandEnd.y + offset.y},
                              {bandStart.x + offset.x, bandStart.y + offset.y}};
    dc->Polyline(outline, 5);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldPen);
}

void COleOperatingMode::DrawRubberBand() {
    if (view == nullptr || view->m_hWnd == nullptr) return;
    CClientDC dc(view);
    DrawBandOutline(&dc, CPoint(0, 0));
    bandDrawn = !bandDrawn;
}
