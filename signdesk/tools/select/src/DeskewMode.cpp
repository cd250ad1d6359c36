#include "select/DeskewMode.h"

#include <doc/CSignDoc.h>
#include <model/CSign.h>
#include <sheet/COleSheetView.h>
#include <win32/user.h>

#include "select/DeskewAngle.h"

IMPLEMENT_DYNCREATE(DeskewMode, SelectMode)

DeskewMode::~DeskewMode() {
    delete previous;
}

void DeskewMode::Activate() {
    if (view) savedCrossHairAngle_ = view->crossHairAngle;
    lineDrawn = false;
    lineAngle = 0;
}

void DeskewMode::Deactivate(COleOperatingMode*) {
    // Leaving turns nothing by itself; the cross-hair gets its angle back.
    if (view) view->crossHairAngle = savedCrossHairAngle_;
}

BOOL DeskewMode::OnLButtonDown(UINT, int x, int y) {
    bandStart = bandEnd = CPoint(x, y);
    lineDrawn = false;
    lineAngle = 0;
    if (view) view->SetCapture();
    captured = TRUE;
    return TRUE;
}

void DeskewMode::OnMouseMove(UINT, int x, int y) {
    if (!captured || !view) return;
    bandEnd = CPoint(x, y);
    const auto a = deskew::LineAngle(x - bandStart.x, y - bandStart.y);
    lineDrawn = a.has_value();
    lineAngle = a.value_or(0);
    view->crossHairAngle = lineAngle;
}

BOOL DeskewMode::OnDeskew(double angle) {
    CSignDoc* doc = Doc();
    if (!doc || angle == 0 || doc->m_sheet.UpdateSelection() == 0) return FALSE;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    const float cx = (b.left + b.right) / 2, cy = (b.bottom + b.top) / 2;
    floatTMatrix m;
    m.Translate(-cx, -cy);
    floatTMatrix r;
    r.Rotate(float(angle));
    m *= r;
    m.Translate(cx, cy);
    if (!doc->m_sheet.AcceptsTransform(m)) {
        MessageBeep(0);
        return FALSE;
    }
    doc->UpdateSelectedObjects();
    doc->m_sheet.TransformObjects(m, 1);
    Finish("Deskew");
    return TRUE;
}

BOOL DeskewMode::OnLButtonUp(UINT flags, int x, int y) {
    if (captured && view) {
        OnMouseMove(flags, x, y);
        ::ReleaseCapture();
        captured = FALSE;
        if (lineDrawn) OnDeskew(-lineAngle);
        COleSheetView* v = view;
        COleOperatingMode* back = previous;
        previous = nullptr;
        Deactivate(back);
        v->mode = back;
        if (back) {
            back->SetView(v, FALSE);
            back->Activate();
        }
        v->RetireMode(this);
        return TRUE;
    }
    ::ReleaseCapture();
    return TRUE;
}
