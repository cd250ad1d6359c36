#include "select/WeldMode.h"

#include <cmath>

#include <doc/CSignDoc.h>
#include <doc/SignDocSettings.h>
#include <mfc/CClientDC.h>
#include <mfc/CCmdUI.h>
#include <mfc/CDC.h>
#include <mfc/CFrameWnd.h>
#include <mfc/CGdiObject.h>
#include <mfc/CWaitCursor.h>
#include <mfc/CWinApp.h>
#include <model/CSign.h>
#include <model/Weld.h>
#include <sheet/COleSheetFrame.h>
#include <sheet/COleSheetView.h>
#include <sheet/SheetSettings.h>
#include <shell/BusyIndicator.h>
#include <shell/CEscapeAbortHandler.h>
#include <text/TextSettings.h>
#include <view/CSignView.h>
#include <win32/user.h>

#include "select/Picking.h"

IMPLEMENT_DYNCREATE(WeldMode, COleOperatingMode)

BEGIN_MESSAGE_MAP(WeldMode, COleOperatingMode)
ON_COMMAND_RANGE(WeldIds::Weld, WeldIds::Subtract, OnKind)
ON_UPDATE_COMMAND_UI_RANGE(WeldIds::Weld, WeldIds::Subtract, OnUpdateKind)
ON_COMMAND(WeldIds::KeepSources, OnKeepSources)
ON_UPDATE_COMMAND_UI(WeldIds::KeepSources, OnUpdateKeepSources)
ON_COMMAND(WeldIds::KeepTarget, OnKeepTarget)
ON_UPDATE_COMMAND_UI(WeldIds::KeepTarget, OnUpdateKeepTarget)
END_MESSAGE_MAP()

CSignDoc* WeldMode::Doc() const {
    return view ? dynamic_cast<CSignDoc*>(view->GetSheetDoc()) : nullptr;
}

float WeldMode::PickTolerance() const {
    floatTMatrix m;
    view->GetWorldToClientMatrix(m);
    const double scale = std::hypot(double(m.m11), double(m.m12));
    return scale > 0 ? float(SheetSettings::UsableMouseSens() / scale) : 0.0f;
}

void WeldMode::Status(UINT id) {
    if (!view) return;
    if (CFrameWnd* frame = view->GetParentFrame()) frame->SetMessageText(id);
}

void WeldMode::Activate() {
    // The view has no clean-up sheet whose target would need committing here.
    if (auto* signView = dynamic_cast<CSignView*>(view))
        signView->LoadModeToolBar(WeldIds::ToolBar);
    DrawSelectionOutlines(nullptr);
}

void WeldMode::Deactivate(COleOperatingMode*) {
    DrawSelectionOutlines(nullptr);
}

void WeldMode::DrawSelectionOutlines(CDC* dc) {
    CSignDoc* doc = Doc();
    if (!doc || !view || !view->m_hWnd) return;
    CClientDC client(view);
    CDC* target = dc ? dc : &client;
    floatTMatrix m;
    view->GetWorldToClientMatrix(m);
    CPen pen(PS_SOLID, 2, SignDocSettings::SelectionColor);
    CPen* oldPen = target->SelectObject(&pen);
    const int oldRop = target->SetROP2(R2_XORPEN);
    CSign& sheet = doc->m_sheet;
    for (int i = 0; i < sheet.GetSize(); ++i)
        if (sheet.GetObj(i)->m_bSelected) sheet.GetObj(i)->PaintOutline(target, m, 0);
    target->SetROP2(oldRop);
    target->SelectObject(oldPen);
}

void WeldMode::DrawFeedback(CDC* dc, const floatTMatrix*) {
    DrawSelectionOutlines(dc);
}

void WeldMode::OnMouseMove(UINT, int x, int y) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    floatPoint p;
    view->ClientToWorld(x, y, p);
    CSignObj* hit = PickObject(doc->m_sheet, p, PickTolerance());
    // Kept by the view, so that its next WM_SETCURSOR shows the same.
    view->cursor = ::LoadCursorA(nullptr, hit ? IDC_CROSS : IDC_ARROW);
    ::SetCursor(view->cursor);
}

BOOL WeldMode::OnLButtonDown(UINT, int x, int y) {
    CSignDoc* doc = Doc();
    if (!doc) return TRUE;
    floatPoint p;
    view->ClientToWorld(x, y, p);
    CSign& sheet = doc->m_sheet;
    CSignObj* clicked = PickObject(sheet, p, PickTolerance());
    if (!clicked) return TRUE;

    Weld weld(sheet, int(kind));
    weld.m_bKeepSources = KeepSources;
    weld.m_bKeepTarget = KeepTarget;
    weld.m_pUndo = doc;
    weld.m_defaults.fillColor = GetDefaultFillColor();
    weld.m_defaults.layer = static_cast<signed char>(GetDefaultLayer(0));
    weld.m_defaults.outlineColor = GetDefaultOutlineColor();
    weld.m_defaults.outlineWidth = GetDefaultWidth();

    Weld::Outcome outcome;
    {
        // The feedback goes while the design may change under it.
        DrawSelectionOutlines(nullptr);
        CWaitCursor wait;
        StartBusyIndicator();
        CEscapeAbortHandler escape; // Escape aborts; the previous handler comes back after
        weld.m_pHandler = &escape;
        outcome = weld.Click(clicked);
    }
    switch (outcome) {
    case Weld::Done:
        doc->RecalcBounds();
        doc->UpdateAllViews(nullptr);
        break;
    case Weld::Refused:
        Status(WeldIds::NeedsOthers);
        MessageBeep(0);
        break;
    case Weld::Failed:
        Status(WeldIds::Failed);
        MessageBeep(0);
        break;
    case Weld::Aborted:
        Status(WeldIds::Cancelled);
        break;
    case Weld::Missed:
        break;
    }
    DrawSelectionOutlines(nullptr);
    return TRUE;
}

void WeldMode::OnKind(UINT id) {
    kind = id - WeldIds::Weld + 1;
}

void WeldMode::OnUpdateKind(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(kind == pCmdUI->m_nID - WeldIds::Weld + 1);
}

void WeldMode::OnKeepSources() {
    KeepSources = KeepSources ? 0 : 1;
}

void WeldMode::OnUpdateKeepSources(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(KeepSources);
}

void WeldMode::OnKeepTarget() {
    KeepTarget = KeepTarget ? 0 : 1;
}

void WeldMode::OnUpdateKeepTarget(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(KeepTarget);
}
