#include "select/AlignMode.h"

#include <algorithm>
#include <cmath>

#include <doc/CSignDoc.h>
#include <mfc/CCmdUI.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <model/CSign.h>
#include <sheet/SheetSettings.h>
#include <view/CSignView.h>

#include "select/Alignment.h"

IMPLEMENT_DYNCREATE(AlignMode, SelectMode)

BOOL AlignMode::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    int kind = -1;
    for (int k = 0; k < alignment::KindCount; ++k)
        if (AlignIds::Kinds[k] == nID) kind = k;
    if (kind >= 0 || nID == AlignIds::ToPage) {
        if (nCode == CN_COMMAND) {
            if (pHandlerInfo == nullptr) {
                if (kind >= 0) {
                    OnAlign(kind);
                } else {
                    OnToggleToPage();
                }
            }
            return TRUE;
        }
        if (nCode == CN_UPDATE_COMMAND_UI) {
            auto* ui = static_cast<CCmdUI*>(pExtra);
            ui->Enable(TRUE);
            ui->SetCheck(kind >= 0 ? activeAlignment == kind : toPage);
            return TRUE;
        }
    }
    return SelectMode::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void AlignMode::BuildToolBar() {
    if (auto* signView = dynamic_cast<CSignView*>(view))
        signView->LoadModeToolBar(AlignIds::ToolBar);
}

void AlignMode::UpdateSizeFields(const floatBBox*) {
    CSignDoc* doc = Doc();
    if (doc && doc->m_sheet.m_nSelected == 0) activeAlignment = -1;
}

floatBBox AlignMode::GetReferenceBox() {
    if (toPage) {
        const float w = SheetSettings::DocWidth, h = SheetSettings::DocHeight;
        return floatBBox(std::min(0.0f, w), std::min(0.0f, h), std::max(0.0f, w),
                         std::max(0.0f, h));
    }
    CSignDoc* doc = Doc();
    return doc ? doc->m_sheet.m_bbSelection : floatBBox();
}

void AlignMode::ApplyAlignment(int kind, const floatBBox& reference) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    doc->UpdateSelectedObjects();
    alignment::Apply(doc->m_sheet, kind, reference);
    Finish("Align");
}

void AlignMode::OnAlign(int kind) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    activeAlignment = kind;
    ApplyAlignment(kind, GetReferenceBox());
    if (toPage) activeAlignment = -1;
}

void AlignMode::OnToggleToPage() {
    toPage = !toPage;
    if (activeAlignment >= 0) ApplyAlignment(activeAlignment, GetReferenceBox());
    if (toPage) activeAlignment = -1;
}

namespace {

// The markers an alignment shows, by kind: left, top, right, bottom, then the centre and
// distribution kinds across (left and right) and up (top and bottom).
bool MarkerShown(int kind, int marker) {
    switch (kind) {
    case 0:
        return marker == 7;
    case 1:
        return marker == 4;
    case 2:
        return marker == 5;
    case 3:
        return marker == 6;
    case 4:
    case 6:
    case 8:
        return marker == 5 || marker == 7;
    case 5:
    case 7:
    case 9:
        return marker == 4 || marker == 6;
    default:
        return false;
    }
}

// The middles of the top, right, bottom and left edges: markers 4-7.
void MarkerPoints(const floatBBox& b, floatPoint (&points)[4]) {
    const float mx = (b.left + b.right) / 2, my = (b.bottom + b.top) / 2;
    points[0] = {mx, b.top};
    points[1] = {b.right, my};
    points[2] = {mx, b.bottom};
    points[3] = {b.left, my};
}

} // namespace

int AlignMode::HitHandle(floatPoint& p) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0 || activeAlignment < 0 || toPage) return -1;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    if (!(b.right > b.left) || !(b.top > b.bottom)) return -1;
    const float s = 2.0f * float(handleSize) / Scale();
    floatPoint points[4];
    MarkerPoints(b, points);
    for (int i = 0; i < 4; ++i)
        if (MarkerShown(activeAlignment, 4 + i) &&
            std::max(std::fabs(p.x - points[i].x), std::fabs(p.y - points[i].y)) <= s)
            return 4 + i;
    return -1;
}

void AlignMode::DrawHandles(CDC* dc, const floatTMatrix& m) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0 || toPage) return;
    const floatBBox b = GetReferenceBox();
    auto client = [&](floatPoint p) {
        m.Transform(p.x, p.y);
        return CPoint(int(std::lround(p.x)), int(std::lround(p.y)));
    };
    const CPoint a = client({b.left, b.top}), c = client({b.right, b.bottom});
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc->SelectObject(&pen);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    dc->Rectangle(std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x) + 1,
                  std::max(a.y, c.y) + 1);
    if (activeAlignment >= 0) {
        dc->SelectStockObject(NULL_PEN);
        dc->SelectStockObject(BLACK_BRUSH);
        floatPoint points[4];
        MarkerPoints(b, points);
        for (int i = 0; i < 4; ++i) {
            if (!MarkerShown(activeAlignment, 4 + i)) continue;
            const CPoint q = client(points[i]);
            dc->Rectangle(q.x - handleSize, q.y - handleSize, q.x + handleSize, q.y + handleSize);
        }
    }
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    dc->SetROP2(oldRop);
}

BOOL AlignMode::OnLButtonDown(UINT flags, int x, int y) {
    if (!(flags & (MK_RBUTTON | MK_SHIFT)) && Doc() != nullptr) {
        floatPoint p;
        view->ClientToWorld(x, y, p);
        const int marker = HitHandle(p);
        if (marker >= 4) {
            dragState = DragResize;
            hitHandle = marker;
            view->SetCapture();
            captured = TRUE;
            dragStart = p;
            dragMatrix.IdentMatrix();
            DrawDragOutline();
            return TRUE;
        }
    }
    const BOOL result = SelectMode::OnLButtonDown(flags, x, y);
    activeAlignment = -1;
    return result;
}

void AlignMode::OnMouseMove(UINT flags, int x, int y) {
    CSignDoc* doc = Doc();
    if (!doc || dragState != DragResize) {
        SelectMode::OnMouseMove(flags, x, y);
        return;
    }
    StartTimer();
    if (outlineDrawn) DrawDragOutline();
    floatPoint p;
    view->ClientToWorld(x, y, p);
    const float tolSnap = float(SheetSettings::SnapProximity) / Scale();
    if (hitHandle == 4 || hitHandle == 6) {
        doc->SnapY(&p, tolSnap, 1);
    } else {
        doc->SnapX(&p, tolSnap, 1);
    }
    // The dragged edge follows, never past the opposite one.
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    float left = b.left, bottom = b.bottom, right = b.right, top = b.top;
    switch (hitHandle) {
    case 4:
        top = std::max(bottom, p.y);
        break;
    case 5:
        right = std::max(left, p.x);
        break;
    case 6:
        bottom = std::min(top, p.y);
        break;
    default:
        left = std::min(right, p.x);
        break;
    }
    dragMatrix.BoxTransformation(b.left, b.bottom, b.right, b.top, left, bottom, right, top);
    DrawDragOutline();
}

BOOL AlignMode::OnLButtonUp(UINT flags, int x, int y) {
    if (dragState != DragResize) return SelectMode::OnLButtonUp(flags, x, y);
    StopTimer();
    if (outlineDrawn) DrawDragOutline();
    CSignDoc* doc = Doc();
    if (doc && !dragMatrix.IsIdentMatrix() && activeAlignment >= 0) {
        // The alignment again, against the moved edge.
        const floatBBox& b = doc->m_sheet.m_bbSelection;
        float x0 = b.left, y0 = b.bottom, x1 = b.right, y1 = b.top;
        dragMatrix.Transform(x0, y0);
        dragMatrix.Transform(x1, y1);
        const floatBBox changed(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1),
                                std::max(y0, y1));
        shownMatrix.IdentMatrix();
        ApplyAlignment(activeAlignment, changed);
    }
    dragMatrix.IdentMatrix();
    shownMatrix.IdentMatrix();
    ::ReleaseCapture();
    captured = FALSE;
    dragState = DragNone;
    return TRUE;
}
