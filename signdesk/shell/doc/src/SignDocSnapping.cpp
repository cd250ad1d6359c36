// Snapping, guide lines and the display and undo commands.

#include <cmath>

#include <mfc/CCmdUI.h>
#include <mfc/CFrameWnd.h>
#include <mfc/CWinApp.h>
#include <model/ViewColors.h>
#include <sheet/COleSheetView.h>
#include <sheet/SheetSettings.h>

#include "doc/CSignDoc.h"
#include "doc/ISignDocFrame.h"
#include "doc/SignDocSettings.h"
#include "doc/Snapping.h"

namespace {

int DetailOf(UINT nID) {
    switch (nID) {
    case SignDocIds::DetailOutline:
        return 0;
    case SignDocIds::DetailFill:
        return 1;
    case SignDocIds::DetailFull:
        return 3;
    default:
        return 2;
    }
}

COLORREF PaletteColor() {
    return CSignDoc::Frame ? CSignDoc::Frame->GetPaletteColor() : 0;
}

} // namespace

BOOL CSignDoc::SnapToDesign(const floatPoint& p, floatPoint& q, float tolerance, INT_PTR flags) {
    if (!(tolerance > 0)) return FALSE;
    q = p;
    if (SignDocSettings::SnapToCorners && SnapToNearestNode(m_sheet, q, tolerance, flags))
        return TRUE;
    if (SignDocSettings::SnapToObject && SnapToObjectOutline(m_sheet, q, tolerance, flags))
        return TRUE;
    if (SignDocSettings::SnapToGuideLines && SnapToGuides(m_guideLines, q, tolerance)) return TRUE;
    return FALSE;
}

BOOL CSignDoc::SnapPoint(floatPoint* p, float tolerance, INT_PTR flags) {
    if (p == nullptr) return FALSE;
    floatPoint q;
    if (SnapToDesign(*p, q, tolerance, flags)) {
        *p = q;
        return TRUE;
    }
    return COleSheetDoc::SnapPoint(p, tolerance, flags);
}

BOOL CSignDoc::SnapX(floatPoint* p, float tolerance, INT_PTR flags) {
    if (p == nullptr) return FALSE;
    floatPoint q;
    if (SnapToDesign(*p, q, tolerance, flags)) {
        p->x = q.x;
        return TRUE;
    }
    return COleSheetDoc::SnapX(p, tolerance, flags);
}

BOOL CSignDoc::SnapY(floatPoint* p, float tolerance, INT_PTR flags) {
    if (p == nullptr) return FALSE;
    floatPoint q;
    if (SnapToDesign(*p, q, tolerance, flags)) {
        p->y = q.y;
        return TRUE;
    }
    return COleSheetDoc::SnapY(p, tolerance, flags);
}

BOOL CSignDoc::AddGuideLine(const floatPoint* p, double angle) {
    if (p == nullptr) return FALSE;
    GuideLine* g = m_guideLines.Append();
    g->x = p->x;
    g->y = p->y;
    g->angle = angle;
    // Without an active view there is no zoom: only the grid snaps.
    float tolerance = 0;
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (auto* view = frame ? dynamic_cast<COleSheetView*>(frame->GetActiveView()) : nullptr) {
        floatTMatrix m;
        view->GetWorldToClientMatrix(m);
        const float zoom = std::fabs(m.m11);
        if (zoom > 0) tolerance = float(SheetSettings::SnapProximity) / zoom;
    }
    const BOOL guides = SignDocSettings::SnapToGuideLines;
    SignDocSettings::SnapToGuideLines = FALSE;
    floatPoint anchor(g->x, g->y);
    SnapPoint(&anchor, tolerance, 0);
    SignDocSettings::SnapToGuideLines = guides;
    GuideLine& last = m_guideLines[std::uint16_t(m_guideLines.Filled() - 1)];
    last.x = anchor.x;
    last.y = anchor.y;
    RecordStep("Add guideline");
    return TRUE;
}

void CSignDoc::OnDetail(UINT nID) {
    SignDocSettings::Detail = DetailOf(nID);
    UpdateAllViews(nullptr);
}

void CSignDoc::OnUpdateDetail(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(SignDocSettings::Detail == DetailOf(pCmdUI->m_nID));
}

void CSignDoc::OnEditUndo() {
    if (CanUndo()) Undo();
}

void CSignDoc::OnUpdateEditUndo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanUndo());
}

void CSignDoc::OnEditRedo() {
    if (CanRedo()) Redo();
}

void CSignDoc::OnUpdateEditRedo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanRedo());
}

void CSignDoc::OnTakeCurveColor() {
    GetViewColors().CurveColor = PaletteColor();
    if (SignDocSettings::Detail < 2) UpdateAllViews(nullptr);
}

void CSignDoc::OnTakeLineColor() {
    GetViewColors().LineColor = PaletteColor();
    if (SignDocSettings::Detail < 2) UpdateAllViews(nullptr);
}

void CSignDoc::OnTakeTraceColor() {
    GetViewColors().TraceBGColor = PaletteColor();
}

void CSignDoc::OnTakeSelectionColor() {
    SignDocSettings::SelectionColor = PaletteColor();
    UpdateAllViews(nullptr);
}

void CSignDoc::OnSnapToObject() {
    SignDocSettings::SnapToObject = !SignDocSettings::SnapToObject;
}

void CSignDoc::OnUpdateSnapToObject(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(SignDocSettings::SnapToObject);
}

void CSignDoc::OnSnapToGuideLines() {
    SignDocSettings::SnapToGuideLines = !SignDocSettings::SnapToGuideLines;
}

void CSignDoc::OnUpdateSnapToGuideLines(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(SignDocSettings::SnapToGuideLines);
}

void CSignDoc::OnSnapToCorners() {
    SignDocSettings::SnapToCorners = !SignDocSettings::SnapToCorners;
}

void CSignDoc::OnUpdateSnapToCorners(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(SignDocSettings::SnapToCorners);
}
