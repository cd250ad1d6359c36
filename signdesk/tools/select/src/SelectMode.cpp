#include "select/SelectMode.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <vector>

#include <app/AppSettings.h>
#include <app/ModeToolBar.h>
#include <mfc/CStatusBar.h>
#include <mfc/CToolBar.h>
#include <sheet/COleSheetFrame.h>
#include <shell/MeasureFields.h>
#include <view/CSignView.h>

#include <dialogs/CGeneralPage.h>
#include <doc/CSignDoc.h>
#include <doc/SignClipboard.h>
#include <doc/Snapping.h>
#include <mfc/CClientDC.h>
#include <mfc/CCmdUI.h>
#include <mfc/CDC.h>
#include <mfc/CFrameWnd.h>
#include <mfc/CGdiObject.h>
#include <mfc/CMenu.h>
#include <mfc/CPropertySheet.h>
#include <mfc/CWinApp.h>
#include <model/CClippedObj.h>
#include <model/CPathObj.h>
#include <model/CSign.h>
#include <sheet/COleSheetView.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <shell/CopyMenuItem.h>
#include <win32/nls.h>
#include <win32/user.h>

#include "select/CGuideLineDlg.h"
#include "select/CMultiplicateDlg.h"
#include "select/DeskewMode.h"
#include "select/Picking.h"
#include "select/SelectTools.h"
#include "select/WeldMode.h"

IMPLEMENT_DYNCREATE(SelectMode, COleOperatingMode)

BEGIN_MESSAGE_MAP(SelectMode, COleOperatingMode)
ON_COMMAND(SelectIds::SelectAll, OnSelectAll)
ON_UPDATE_COMMAND_UI(SelectIds::SelectAll, OnUpdateHasObjects)
ON_COMMAND(SelectIds::UnselectAll, OnUnselectAll)
ON_UPDATE_COMMAND_UI(SelectIds::UnselectAll, OnUpdateHasObjects)
ON_COMMAND(SelectIds::Properties, OnProperties)
ON_UPDATE_COMMAND_UI(SelectIds::Properties, OnUpdateHasSelection)
ON_COMMAND_RANGE(SelectIds::Forward, SelectIds::ToBack, OnOrder)
ON_UPDATE_COMMAND_UI_RANGE(SelectIds::Forward, SelectIds::ToBack, OnUpdateOneSelected)
ON_COMMAND(SelectIds::LockSelection, OnLockSelection)
ON_UPDATE_COMMAND_UI(SelectIds::LockSelection, OnUpdateHasSelection)
ON_COMMAND(SelectIds::UnlockAll, OnUnlockAll)
ON_COMMAND(SelectIds::EditObject, OnEditObject)
ON_UPDATE_COMMAND_UI(SelectIds::EditObject, OnUpdateOneSelected)
ON_COMMAND(SelectIds::Group, OnGroup)
ON_UPDATE_COMMAND_UI(SelectIds::Group, OnUpdateHasSelection)
ON_COMMAND(SelectIds::Ungroup, OnUngroup)
ON_UPDATE_COMMAND_UI(SelectIds::Ungroup, OnUpdateUngroup)
ON_COMMAND(SelectIds::Combine, OnCombine)
ON_UPDATE_COMMAND_UI(SelectIds::Combine, OnUpdateHasSelection)
ON_COMMAND(SelectIds::BreakApart, OnBreakApart)
ON_UPDATE_COMMAND_UI(SelectIds::BreakApart, OnUpdateAllPaths)
ON_COMMAND(SelectIds::Simplify, OnSimplify)
ON_UPDATE_COMMAND_UI(SelectIds::Simplify, OnUpdateAllPaths)
ON_COMMAND(SelectIds::Delete, OnDelete)
ON_COMMAND(SelectIds::Duplicate, OnDuplicate)
ON_UPDATE_COMMAND_UI(SelectIds::Duplicate, OnUpdateHasSelection)
ON_COMMAND_RANGE(SelectIds::WeldFirst, SelectIds::WeldLast, OnWeld)
ON_UPDATE_COMMAND_UI_RANGE(SelectIds::WeldFirst, SelectIds::WeldLast, OnUpdateHasSelection)
ON_COMMAND(SelectIds::GuideProperties, OnGuideProperties)
ON_COMMAND(SelectIds::GuideDelete, OnGuideDelete)
ON_COMMAND(SelectIds::Multiplicate, OnMultiplicate)
ON_UPDATE_COMMAND_UI(SelectIds::Multiplicate, OnUpdateOneSelected)
ON_COMMAND(DeskewIds::Start, OnDeskewTool)
ON_UPDATE_COMMAND_UI(DeskewIds::Start, OnUpdateHasSelection)
ON_COMMAND(SelectIds::KeepProportionsSwitch, OnKeepProportions)
ON_UPDATE_COMMAND_UI(SelectIds::KeepProportionsSwitch, OnUpdateKeepProportions)
// The trace and guide-line edit tools come with their own work.
ON_UPDATE_COMMAND_UI(SelectIds::Trace, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(SelectIds::GuideEdit, OnUpdateDisabled)
// Outline, import, export, the bitmap commands and the plug-in filters come with their work.
ON_UPDATE_COMMAND_UI(SelectIds::Outline, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(SelectIds::Import, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(SelectIds::Export, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(SelectIds::SaveBitmap, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(SelectIds::CopyBitmap, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI_RANGE(SelectIds::FilterFirst, SelectIds::FilterLast, OnUpdateDisabled)
END_MESSAGE_MAP()

namespace {

constexpr int ClickPixels = 3;

float Chebyshev(const floatPoint& a, const floatPoint& b) {
    return std::max(std::fabs(a.x - b.x), std::fabs(a.y - b.y));
}

// Scale and shift of one axis taking [a0, a1] to [b0, b1]. An axis without extent in either
// box cannot be scaled: a line keeps scale 1 and moves with the dragged edge (by `moved`), a
// box collapsed onto its opposite edge changes nothing.
void AxisMap(float a0, float a1, float b0, float b1, float moved, float& scale, float& shift) {
    const double from = double(a1) - a0, to = double(b1) - b0;
    if (from == 0) {
        scale = 1;
        shift = moved;
    } else if (to == 0) {
        scale = 1;
        shift = 0;
    } else {
        scale = float(to / from);
        shift = float(b0 - a0 * (to / from));
    }
}

} // namespace

int SelectMode::HitHandle(floatPoint& p) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return -1;
    CSign& sheet = doc->m_sheet;
    const floatBBox b = sheet.m_bbSelection;
    const float scale = Scale();
    const float tolPick = float(SheetSettings::UsableMouseSens()) / scale;
    const float tolHandle = float(handleSize) / scale;
    const float grow = tolPick + tolHandle;
    const floatBBox g(b.left - grow, b.bottom - grow, b.right + grow, b.top + grow);
    if (g.right - g.left <= 0 || g.top - g.bottom <= 0) return -1;
    const floatPoint corners[4] = {
        {g.left, g.top}, {g.right, g.top}, {g.right, g.bottom}, {g.left, g.bottom}};
    for (int i = 0; i < 4; ++i)
        if (Chebyshev(p, corners[i]) <= tolHandle) return i;
    if (HasSideHandles()) {
        const float mx = (g.left + g.right) / 2, my = (g.bottom + g.top) / 2;
        const floatPoint sides[4] = {{mx, g.top}, {g.right, my}, {mx, g.bottom}, {g.left, my}};
        for (int i = 0; i < 4; ++i)
            if (Chebyshev(p, sides[i]) <= tolHandle) return 4 + i;
    }
    const floatPoint own[4] = {
        {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
    for (const floatPoint& c : own)
        if (Chebyshev(p, c) <= tolHandle) {
            p = c;
            return 8;
        }
    const bool inX = p.x >= b.left - tolHandle && p.x <= b.right + tolHandle;
    const bool inY = p.y >= b.bottom - tolHandle && p.y <= b.top + tolHandle;
    for (float edge : {b.top, b.bottom})
        if (inX && std::fabs(p.y - edge) <= tolHandle) {
            p.y = edge;
            return 8;
        }
    for (float edge : {b.right, b.left})
        if (inY && std::fabs(p.x - edge) <= tolHandle) {
            p.x = edge;
            return 8;
        }
    return -1;
}

floatTMatrix SelectMode::ResizeMatrix(int handle, floatPoint p) {
    CSignDoc* doc = Doc();
    floatTMatrix identity;
    if (!doc) return identity;
    CSign& sheet = doc->m_sheet;
    const floatBBox b = sheet.m_bbSelection;
    const float scale = Scale();
    const float tolPick = float(SheetSettings::UsableMouseSens()) / scale;
    const float tolSnap = float(SheetSettings::SnapProximity) / scale;
    const bool xHandle = handle != 4 && handle != 6;
    floatPoint snapped = p;
    const BOOL snappedOn =
        xHandle ? doc->SnapX(&snapped, tolSnap, 1) : doc->SnapY(&snapped, tolSnap, 1);
    const float moved = xHandle ? snapped.x - dragStart.x : snapped.y - dragStart.y;
    if (!snappedOn && std::fabs(moved) < tolPick) return identity;
    p = snapped;
    float x0 = b.left, x1 = b.right, y0 = b.bottom, y1 = b.top;
    const float w = x1 - x0, h = y1 - y0;
    // The corners keep the proportions about the opposite corner; a line (no width) has none
    // to keep and follows the pointer on both axes.
    const bool keep = w > 0 && h > 0;
    const float ratio = keep ? h / w : 0;
    switch (handle) {
    case 0:
        x0 = std::min(p.x, x1);
        y1 = keep ? y0 + (x1 - x0) * ratio : std::max(p.y, y0);
        break;
    case 1:
        x1 = std::max(p.x, x0);
        y1 = keep ? y0 + (x1 - x0) * ratio : std::max(p.y, y0);
        break;
    case 2:
        x1 = std::max(p.x, x0);
        y0 = keep ? y1 - (x1 - x0) * ratio : std::min(p.y, y1);
        break;
    case 3:
        x0 = std::min(p.x, x1);
        y0 = keep ? y1 - (x1 - x0) * ratio : std::min(p.y, y1);
        break;
    case 4:
        y1 = std::max(p.y, y0);
        break;
    case 5:
        x1 = std::max(p.x, x0);
        break;
    case 6:
        y0 = std::min(p.y, y1);
        break;
    case 7:
        x0 = std::min(p.x, x1);
        break;
    default:
        return identity;
    }
    // The edge the handle drags, for an axis without extent.
    const float movedX = (handle == 0 || handle == 3 || handle == 7) ? x0 - b.left : x1 - b.right;
    const float movedY = (handle == 2 || handle == 3 || handle == 6) ? y0 - b.bottom : y1 - b.top;
    float sx, dx, sy, dy;
    AxisMap(b.left, b.right, x0, x1, movedX, sx, dx);
    AxisMap(b.bottom, b.top, y0, y1, movedY, sy, dy);
    const floatTMatrix m(sx, 0, 0, sy, dx, dy);
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(dx) || !std::isfinite(dy) ||
        !sheet.AcceptsTransform(m)) {
        MessageBeep(0);
        return identity;
    }
    return m;
}

CSignDoc* SelectMode::Doc() const {
    return view ? dynamic_cast<CSignDoc*>(view->GetSheetDoc()) : nullptr;
}

float SelectMode::Scale() const {
    floatTMatrix m;
    view->GetWorldToClientMatrix(m);
    const double s = std::hypot(double(m.m11), double(m.m12));
    return s > 0 ? float(s) : 1.0f;
}

void SelectMode::SetView(COleSheetView* sheetView, BOOL fresh) {
    COleOperatingMode::SetView(sheetView, fresh);
    nudgeCount = 0;
    dragState = DragNone;
    dragMatrix.IdentMatrix();
    if (CSignDoc* doc = Doc()) doc->m_sheet.UpdateSelection();
}

void SelectMode::Activate() {
    BuildToolBar();
    ShowSelectionStatus();
}

void SelectMode::Deactivate(COleOperatingMode*) {
    if (outlineDrawn) DrawDragOutline();
    StopTimer();
    DestroyToolBar();
    // The handles and the preview go with the tool.
    if (view && view->m_hWnd) view->Invalidate(FALSE);
}

BOOL SelectMode::HasSideHandles() {
    CSignDoc* doc = Doc();
    return !KeepProportions && doc && doc->m_sheet.AcceptsTransform(floatTMatrix(1, 0, 0, 2, 0, 0));
}

CRect SelectMode::HandleBox(const floatTMatrix& m) const {
    CSignDoc* doc = Doc();
    if (!doc) return CRect();
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    float x0 = b.left, y0 = b.top, x1 = b.right, y1 = b.bottom;
    m.Transform(x0, y0);
    m.Transform(x1, y1);
    CRect r(int(std::lround(std::min(x0, x1))), int(std::lround(std::min(y0, y1))),
            int(std::lround(std::max(x0, x1))), int(std::lround(std::max(y0, y1))));
    const int grow = handleSize + SheetSettings::UsableMouseSens();
    r.InflateRect(grow, grow);
    return r;
}

void SelectMode::DrawFeedback(CDC* dc, const floatTMatrix* matrix) {
    if (!handlesShown || !view) return;
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    floatTMatrix m;
    if (matrix) {
        m = *matrix;
    } else {
        view->GetWorldToClientMatrix(m);
    }
    DrawHandles(dc, m);
    DrawPreview(dc, m);
}

void SelectMode::ToggleFeedback(BOOL handles, BOOL preview) {
    CSignDoc* doc = Doc();
    if (!doc || !view || !view->m_hWnd || doc->m_sheet.UpdateSelection() == 0) return;
    floatTMatrix m;
    view->GetWorldToClientMatrix(m);
    CClientDC dc(view);
    if (handles) DrawHandles(&dc, m);
    if (preview) DrawPreview(&dc, m);
}

void SelectMode::StartTimer() {
    StopTimer();
    if (view && view->m_hWnd) timerId = view->SetTimer(1, 500, nullptr);
}

void SelectMode::StopTimer() {
    if (timerId != 0 && view && view->m_hWnd) view->KillTimer(timerId);
    timerId = 0;
}

void SelectMode::OnTimer(UINT) {
    StopTimer();
    if (handlesShown) ToggleFeedback(FALSE, TRUE);
    shownMatrix = dragMatrix;
    if (handlesShown) ToggleFeedback(FALSE, TRUE);
    CSignDoc* doc = Doc();
    if (!doc) return;
    // The box the drag would give: the bounding box of its moved corners.
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    float x0 = FLT_MAX, y0 = FLT_MAX, x1 = -FLT_MAX, y1 = -FLT_MAX;
    for (floatPoint c : {floatPoint(b.left, b.bottom), floatPoint(b.right, b.bottom),
                         floatPoint(b.right, b.top), floatPoint(b.left, b.top)}) {
        dragMatrix.Transform(c.x, c.y);
        x0 = std::min(x0, c.x);
        y0 = std::min(y0, c.y);
        x1 = std::max(x1, c.x);
        y1 = std::max(y1, c.y);
    }
    const floatBBox moved(x0, y0, x1, y1);
    UpdateSizeFields(&moved);
}

HCURSOR SelectMode::ToolCursor(UINT id) {
    return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
}

void SelectMode::SetViewCursor(HCURSOR cursor) {
    // Kept by the view, so that its next WM_SETCURSOR shows the same.
    if (view != nullptr) view->cursor = cursor;
    ::SetCursor(cursor);
}

void SelectMode::UpdateCursor(int handle) {
    using namespace SelectIds;
    static const UINT byHandle[9] = {CursorDiagonalDown, CursorDiagonalUp, CursorDiagonalDown,
                                     CursorDiagonalUp,   CursorUpDown,     CursorLeftRight,
                                     CursorUpDown,       CursorLeftRight,  CursorMove};
    if (handle >= 0 && handle <= 8) SetViewCursor(ToolCursor(byHandle[handle]));
}

void SelectMode::DrawHandles(CDC* dc, const floatTMatrix& m) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    POINT box[5];
    const floatPoint world[4] = {
        {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
    for (int i = 0; i < 4; ++i) {
        float x = world[i].x, y = world[i].y;
        m.Transform(x, y);
        box[i] = {LONG(std::lround(x)), LONG(std::lround(y))};
    }
    box[4] = box[0];
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    CPen dotted(PS_DOT, 1, SheetSettings::GridColor);
    CPen* oldPen = dc->SelectObject(&dotted);
    dc->MoveTo(box[0]);
    for (int i = 1; i < 5; ++i)
        dc->LineTo(box[i]);
    // Solid squares on the grown box: corners, then the middles of the sides.
    dc->SelectStockObject(NULL_PEN);
    CGdiObject* oldBrush = dc->SelectStockObject(BLACK_BRUSH);
    const CRect g = HandleBox(m);
    const int mx = (g.left + g.right) / 2, my = (g.top + g.bottom) / 2;
    std::vector<POINT> squares = {
        {g.left, g.top}, {g.right, g.top}, {g.right, g.bottom}, {g.left, g.bottom}};
    if (HasSideHandles())
        squares.insert(squares.end(), {{mx, g.top}, {g.right, my}, {mx, g.bottom}, {g.left, my}});
    for (const POINT& q : squares)
        dc->Rectangle(q.x - handleSize, q.y - handleSize, q.x + handleSize, q.y + handleSize);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    dc->SetROP2(oldRop);
}

void SelectMode::DrawPreview(CDC* dc, const floatTMatrix& m) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    const bool detailed = Settings().Detail >= 2;
    const int style = detailed && shownMatrix.IsIdentMatrix() ? PS_DOT : PS_SOLID;
    CPen pen(style, 1, detailed ? RGB(0, 0, 0) : Settings().SelectionColor);
    CPen* oldPen = dc->SelectObject(&pen);
    const int oldRop = dc->SetROP2(detailed ? R2_NOTXORPEN : R2_XORPEN);
    const floatTMatrix toClient = shownMatrix * m;
    CSign& sheet = doc->m_sheet;
    for (int i = 0; i < sheet.GetSize(); ++i)
        if (sheet.GetObj(i)->m_bSelected) sheet.GetObj(i)->PaintOutline(dc, toClient, 0);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldPen);
}

void SelectMode::DrawDragOutline() {
    CSignDoc* doc = Doc();
    if (!doc || !view || !view->m_hWnd) return;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    floatTMatrix toClient;
    view->GetWorldToClientMatrix(toClient);
    POINT corners[5];
    const floatPoint world[4] = {
        {b.left, b.bottom}, {b.right, b.bottom}, {b.right, b.top}, {b.left, b.top}};
    for (int i = 0; i < 4; ++i) {
        float x = world[i].x, y = world[i].y;
        dragMatrix.Transform(x, y);
        toClient.Transform(x, y);
        corners[i] = {LONG(std::lround(x)), LONG(std::lround(y))};
    }
    corners[4] = corners[0];
    CClientDC dc(view);
    CPen pen(PS_DOT, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&pen);
    const int oldRop = dc.SetROP2(R2_NOTXORPEN);
    dc.Polyline(corners, 5);
    dc.SetROP2(oldRop);
    dc.SelectObject(oldPen);
    outlineDrawn = !outlineDrawn;
}

void SelectMode::HideFeedback() {
    if (dragState == DragBand) {
        COleOperatingMode::HideFeedback();
    } else if (outlineDrawn) {
        DrawDragOutline();
    }
}

void SelectMode::ShowFeedback() {
    if (dragState == DragBand) {
        COleOperatingMode::ShowFeedback();
    } else if ((dragState == DragMove || dragState == DragResize || nudgeCount > 0) &&
               !outlineDrawn) {
        DrawDragOutline();
    }
}

BOOL SelectMode::OnLButtonDown(UINT flags, int x, int y) {
    dragState = DragNone;
    CSignDoc* doc = Doc();
    if (!doc) return FALSE;
    if (flags & MK_RBUTTON) {
        dragState = DragBand;
        OnMouseMove(flags, x, y);
        return COleOperatingMode::OnLButtonDown(flags, x, y);
    }
    floatPoint p;
    view->ClientToWorld(x, y, p);
    CSign& sheet = doc->m_sheet;
    const float tolPick = float(SheetSettings::UsableMouseSens()) / Scale();
    hitHandle = HitHandle(p);
    hitObject = PickObject(sheet, p, tolPick);
    if (hitObject && hitObject->m_bLocked) hitObject = nullptr;
    const bool handle = hitHandle >= 0 && hitHandle <= 7;
    if (!(flags & MK_SHIFT) &&
        (handle || hitHandle == 8 || (hitObject && hitObject->m_bSelected))) {
        dragState = handle ? DragResize : DragMove;
        view->SetCapture();
        captured = TRUE;
        dragStart = p;
        CPoint client;
        view->WorldToClient(p.x, p.y, client);
        pressPoint = handle ? CPoint(x, y) : client;
        dragMatrix.IdentMatrix();
        DrawDragOutline();
        return TRUE;
    }
    dragState = DragBand;
    return COleOperatingMode::OnLButtonDown(flags, x, y);
}

void SelectMode::OnMouseMove(UINT flags, int x, int y) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    floatPoint p;
    view->ClientToWorld(x, y, p);
    const float scale = Scale();
    const float tolPick = float(SheetSettings::UsableMouseSens()) / scale;
    switch (dragState) {
    case DragNone: {
        hitObject = PickObject(doc->m_sheet, p, tolPick);
        floatPoint q = p;
        hitHandle = HitHandle(q);
        hitGuide = view->guideLinesShown && !view->guideLinesLocked
                       ? FindGuideLine(doc->m_guideLines, p, tolPick)
                       : -1;
        if (hitHandle != -1) {
            UpdateCursor(hitHandle);
        } else if (hitObject != nullptr) {
            SetViewCursor(hitObject->m_bSelected ? ToolCursor(SelectIds::CursorMove)
                                                 : ::LoadCursorA(nullptr, IDC_CROSS));
        } else if (hitGuide >= 0) {
            const double angle = doc->m_guideLines[std::uint16_t(hitGuide)].angle;
            const UINT id = angle == 0                      ? SelectIds::CursorUpDown
                            : angle == std::numbers::pi / 2 ? SelectIds::CursorLeftRight
                                                            : SelectIds::CursorMove;
            SetViewCursor(ToolCursor(id));
        } else {
            SetViewCursor(::LoadCursorA(nullptr, IDC_ARROW));
        }
        return;
    }
    case DragBand:
        SetViewCursor(ToolCursor(SelectIds::CursorBand));
        COleOperatingMode::OnMouseMove(flags, x, y);
        return;
    case DragMove: {
        StartTimer();
        if (outlineDrawn) DrawDragOutline();
        if (CPoint(x, y) == pressPoint) {
            dragMatrix.IdentMatrix();
            DrawDragOutline();
            return;
        }
        if (flags & MK_CONTROL) {
            // The offset keeps its length along the nearest of the cross-hair's four directions.
            const double dx = p.x - dragStart.x, dy = p.y - dragStart.y;
            const double length = std::hypot(dx, dy);
            const double quarter = std::numbers::pi / 2, base = view->crossHairAngle;
            const double a = base + std::round((std::atan2(dy, dx) - base) / quarter) * quarter;
            p = floatPoint(float(dragStart.x + length * std::cos(a)),
                           float(dragStart.y + length * std::sin(a)));
        }
        const float tolSnap = float(SheetSettings::SnapProximity) / scale;
        doc->SnapPoint(&p, tolSnap, reinterpret_cast<INT_PTR>(hitObject));
        float dx = p.x - dragStart.x, dy = p.y - dragStart.y;
        if (std::max(std::fabs(dx), std::fabs(dy)) < tolPick) dx = dy = 0;
        dragMatrix = floatTMatrix(1, 0, 0, 1, dx, dy);
        DrawDragOutline();
        return;
    }
    case DragResize:
        StartTimer();
        if (outlineDrawn) DrawDragOutline();
        dragMatrix = ResizeMatrix(hitHandle, p);
        DrawDragOutline();
        return;
    default:
        return;
    }
}

BOOL SelectMode::OnLButtonUp(UINT flags, int x, int y) {
    const char* step = "No operation";
    BOOL result = TRUE;
    if (dragState == DragBand) {
        result = COleOperatingMode::OnLButtonUp(flags, x, y);
        step = "Selection change";
    } else if (dragState == DragMove || dragState == DragResize) {
        StopTimer();
        if (outlineDrawn) DrawDragOutline();
        // The preview goes back onto the objects, wherever they end up.
        if (shownMatrix != floatTMatrix()) {
            ToggleFeedback(FALSE, TRUE);
            shownMatrix.IdentMatrix();
            ToggleFeedback(FALSE, TRUE);
        }
        const bool moved = !(dragMatrix.dx == 0 && dragMatrix.dy == 0 && dragMatrix.m11 == 1 &&
                             dragMatrix.m22 == 1 && dragMatrix.m12 == 0 && dragMatrix.m21 == 0);
        if (moved) {
            CSignDoc* doc = Doc();
            if (doc && doc->m_sheet.AcceptsTransform(dragMatrix)) {
                doc->UpdateSelectedObjects();
                doc->m_sheet.TransformObjects(dragMatrix, 1);
                doc->RecalcBounds();
                doc->UpdateSelectedObjects();
                // The handles move with the selection.
                view->Invalidate(FALSE);
            }
            step = dragState == DragResize ? "Resize" : "Move";
        } else {
            step = "Selection change";
        }
        dragMatrix.IdentMatrix();
    }
    if (CSignDoc* doc = Doc()) doc->RecordStep(step);
    ShowSelectionStatus();
    ::ReleaseCapture();
    captured = FALSE;
    dragState = DragNone;
    return result;
}

void SelectMode::OnTrackRect(UINT flags, const CRect* rect) {
    COleOperatingMode::OnTrackRect(flags, rect);
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.GetSize() == 0 || dragState == DragNone) return;
    CSign& sheet = doc->m_sheet;
    const bool shift = (flags & MK_SHIFT) != 0;
    if (!shift) sheet.UnselectAll();
    if (std::max(rect->Width(), rect->Height()) < ClickPixels) {
        floatPoint p;
        view->ClientToWorld(bandStart.x, bandStart.y, p);
        const float tolPick = float(SheetSettings::UsableMouseSens()) / Scale();
        CSignObj* hit = PickObject(sheet, p, tolPick);
        if (hit && !hit->m_bLocked) {
            if (shift) {
                hit->ToggleSelect();
            } else {
                hit->Select();
            }
        }
    } else {
        floatPoint a, b;
        view->ClientToWorld(rect->left, rect->top, a);
        view->ClientToWorld(rect->right, rect->bottom, b);
        const floatBBox box(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                            std::max(a.y, b.y));
        sheet.SelectInBox(&box, shift ? TRUE : FALSE);
    }
    sheet.UpdateSelection();
    view->Invalidate(FALSE);
}

void SelectMode::OnKeyDown(UINT key, UINT, UINT) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    if (key == VK_DELETE && dragState == DragNone) {
        view->PostMessage(WM_COMMAND, SelectIds::Delete, 0);
        return;
    }
    if (key == VK_SPACE) {
        if (dragState == DragBand) {
            // The band goes, the selection stays as it was.
            dragState = DragNone;
            POINT pt;
            ::GetCursorPos(&pt);
            view->ScreenToClient(&pt);
            COleOperatingMode::OnLButtonUp(0, pt.x, pt.y);
        } else if (dragState == DragMove || dragState == DragResize) {
            ::ReleaseCapture();
            captured = FALSE;
            if (outlineDrawn) DrawDragOutline();
            dragMatrix.IdentMatrix();
            // The preview and the fields back at the old place.
            OnTimer(1);
            dragState = DragNone;
            StopTimer();
        }
        return;
    }
    CSign& sheet = doc->m_sheet;
    if (dragState == DragNone && sheet.UpdateSelection() == 1 && sheet.m_nFirstSelected >= 0 &&
        (::GetKeyState(VK_SHIFT) & 0x8000)) {
        // Order and layer of the one selected object.
        switch (key) {
        case VK_END:
            OnOrder(SelectIds::ToFront);
            return;
        case VK_HOME:
            OnOrder(SelectIds::ToBack);
            return;
        case VK_LEFT:
            OnOrder(SelectIds::Backward);
            return;
        case VK_RIGHT:
            OnOrder(SelectIds::Forward);
            return;
        case VK_UP:
        case VK_DOWN: {
            CSignObj* obj = sheet.GetObj(sheet.m_nFirstSelected);
            const int layer = obj->GetLayer() + (key == VK_UP ? 1 : -1);
            if (layer < -127 || layer > 127 || !obj->SetLayer(char(layer), 0)) {
                MessageBeep(0);
                return;
            }
            sheet.CountLayerObjects();
            doc->UpdateSelectedObjects();
            Finish("Layer change");
            return;
        }
        default:
            break;
        }
    }
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return;
    if (sheet.UpdateSelection() == 0) return;
    const float step = (::GetKeyState(VK_CONTROL) & 0x8000) ? NudgeLarge : NudgeSmall;
    const float dx = key == VK_LEFT ? -step : key == VK_RIGHT ? step : 0;
    const float dy = key == VK_UP ? step : key == VK_DOWN ? -step : 0;
    if (++nudgeCount == 1) {
        dragMatrix.IdentMatrix();
        DrawDragOutline();
    }
    if (outlineDrawn) DrawDragOutline();
    dragMatrix = floatTMatrix(1, 0, 0, 1, dragMatrix.dx + dx, dragMatrix.dy + dy);
    DrawDragOutline();
}

void SelectMode::OnKeyUp(UINT key, UINT, UINT) {
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return;
    if (nudgeCount <= 0) return;
    nudgeCount = 0;
    if (outlineDrawn) DrawDragOutline();
    if (dragMatrix.dx != 0 || dragMatrix.dy != 0) TransformSelection(dragMatrix);
    dragMatrix.IdentMatrix();
}

void SelectMode::TransformSelection(const floatTMatrix& m, const char* step) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    if (!doc->m_sheet.AcceptsTransform(m)) {
        MessageBeep(0);
        return;
    }
    doc->UpdateSelectedObjects();
    doc->m_sheet.TransformObjects(m, 1);
    Finish(step);
}

void SelectMode::Finish(const char* step) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    doc->RecalcBounds();
    doc->UpdateAllViews(nullptr);
    if (step) doc->RecordStep(step);
    ShowSelectionStatus();
}

void SelectMode::ShowSelectionStatus() {
    CSignDoc* doc = Doc();
    if (!doc || !view) return;
    CSign& sheet = doc->m_sheet;
    const DWORD count = sheet.UpdateSelection();
    CString format, text;
    if (count == 0) {
        format.LoadString(SelectIds::StatusNone);
        text.Format(format, 0);
    } else if (count == 1 && sheet.m_nFirstSelected >= 0) {
        CSignObj* obj = sheet.GetObj(sheet.m_nFirstSelected);
        format.LoadString(obj->IsKindOf(RUNTIME_CLASS(CPathObj)) ? SelectIds::StatusPath
                                                                 : SelectIds::StatusOther);
        text.Format(format, 1);
    } else {
        format.LoadString(SelectIds::StatusMany);
        text.Format(format, int(count));
    }
    if (count > 0) {
        const floatBBox& b = sheet.m_bbSelection;
        const double w = b.right - b.left, h = b.top - b.bottom;
        char size[96];
        std::snprintf(size, sizeof size, " (dX=%g dY=%g D=%g)", w, h, std::sqrt(w * w + h * h));
        text += size;
    }
    if (CFrameWnd* frame = view->GetParentFrame()) frame->SetMessageText(text);
    UpdateSizeFields(&sheet.m_bbSelection);
}

// ---- the tool-options bar

void SelectMode::BuildToolBar() {
    auto* signView = dynamic_cast<CSignView*>(view);
    if (signView == nullptr || positionFields[0].m_hWnd != nullptr) return;
    CToolBar* bar = signView->GetModeToolBar();
    if (bar == nullptr || bar->m_hWnd == nullptr) return;
    signView->LoadModeToolBar(SelectIds::ToolBar);
    using namespace SelectIds;
    static const UINT buttons[17] = {Duplicate,
                                     SelectToolIds::Transform,
                                     KeepProportionsSwitch,
                                     ID_SEPARATOR,
                                     LabelFirst,
                                     FieldX,
                                     LabelFirst + 1,
                                     FieldY,
                                     LabelFirst + 2,
                                     FieldWidth,
                                     LabelFirst + 3,
                                     FieldHeight,
                                     ID_SEPARATOR,
                                     LabelFirst + 4,
                                     FieldNudgeSmall,
                                     LabelFirst + 5,
                                     FieldNudgeLarge};
    bar->SetButtons(buttons, 17);
    static const int at[6] = {4, 6, 8, 10, 13, 15};
    static const UINT fields[6] = {FieldX,      FieldY,          FieldWidth,
                                   FieldHeight, FieldNudgeSmall, FieldNudgeLarge};
    HFONT font = nullptr;
    if (auto* frame = dynamic_cast<COleSheetFrame*>(view->GetParentFrame())) {
        if (::GetSystemMetrics(SM_DBCSENABLED)) {
            font = HFONT(frame->GetBarFont()->m_hObject);
        } else if (CStatusBar* status = frame->GetStatusBar()) {
            font = HFONT(status->SendMessage(WM_GETFONT));
        }
    }
    for (int i = 0; i < 6; ++i) {
        CFilterEdit* edit = Field(fields[i]);
        if (!AddToolBarEdit(bar, at[i], edit, fields[i], 40, &labels[i], LabelFirst + UINT(i), 20,
                            LabelBitmaps[i], nullptr, 0, i < 4 ? "0123456789.-" : "0123456789."))
            continue;
        // Enter commits to this tool through the view.
        edit->notifyWnd = view;
        if (font != nullptr) edit->SendMessage(WM_SETFONT, WPARAM(font), TRUE);
    }
    RecalcModeToolBar(bar);
}

void SelectMode::DestroyToolBar() {
    for (CStatic& label : labels) {
        if (label.m_hWnd == nullptr) continue;
        if (HBITMAP picture = label.SetBitmap(nullptr)) ::DeleteObject(picture);
        label.DestroyWindow();
    }
    for (CFilterEdit* edit : {&positionFields[0], &positionFields[1], &positionFields[2],
                              &positionFields[3], &nudgeFields[0], &nudgeFields[1]})
        if (edit->m_hWnd != nullptr) edit->DestroyWindow();
}

CFilterEdit* SelectMode::Field(UINT id) {
    using namespace SelectIds;
    if (id >= FieldX && id <= FieldHeight) return &positionFields[id - FieldX];
    if (id == FieldNudgeSmall) return &nudgeFields[0];
    if (id == FieldNudgeLarge) return &nudgeFields[1];
    return nullptr;
}

void SelectMode::UpdateSizeFields(const floatBBox* box) {
    CSignDoc* doc = Doc();
    if (doc == nullptr || box == nullptr) return;
    const BOOL any = doc->m_sheet.m_nSelected != 0;
    const float values[4] = {box->left, box->bottom, box->right - box->left,
                             box->top - box->bottom};
    for (int i = 0; i < 4; ++i) {
        CFilterEdit& field = positionFields[i];
        if (field.m_hWnd == nullptr) continue;
        field.EnableWindow(any);
        SetWindowMeasure(&field, any ? values[i] : 0.0f);
    }
    if (nudgeFields[0].m_hWnd != nullptr) SetWindowMeasure(&nudgeFields[0], NudgeSmall);
    if (nudgeFields[1].m_hWnd != nullptr) SetWindowMeasure(&nudgeFields[1], NudgeLarge);
}

void SelectMode::OnDocumentChanged() {
    if (CSignDoc* doc = Doc()) UpdateSizeFields(&doc->m_sheet.m_bbSelection);
}

BOOL SelectMode::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CFilterEdit* field = Field(nID)) {
        if (nCode != CN_COMMAND && nCode != int(EN_KILLFOCUS)) return FALSE;
        CSignDoc* doc = Doc();
        if (doc == nullptr || field->m_hWnd == nullptr) return FALSE;
        if (nID <= SelectIds::FieldHeight && doc->m_sheet.UpdateSelection() == 0) return FALSE;
        if (pHandlerInfo != nullptr) return TRUE;
        return OnFieldEntry(nID);
    }
    return COleOperatingMode::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SelectMode::OnFieldEntry(UINT id) {
    using namespace SelectIds;
    CSignDoc* doc = Doc();
    CSign& sheet = doc->m_sheet;
    float v = 0;
    if (!GetWindowMeasure(Field(id), v)) {
        MessageBeep(0);
        return TRUE;
    }
    const bool size = id != FieldX && id != FieldY;
    if (size && !(v >= 0.01f && v <= 100000.0f)) {
        MessageBeep(0);
        return TRUE;
    }
    if (id == FieldNudgeSmall || id == FieldNudgeLarge) {
        float& step = id == FieldNudgeSmall ? NudgeSmall : NudgeLarge;
        if (std::fabs(step - v) > 0.01f) step = v;
        UpdateSizeFields(&sheet.m_bbSelection);
        return TRUE;
    }
    const floatBBox b = sheet.m_bbSelection;
    const float w = b.right - b.left, h = b.top - b.bottom;
    floatBBox n = b;
    switch (id) {
    case FieldX:
        if (std::fabs(v - b.left) <= 0.01f) return TRUE;
        n.left = v;
        n.right = v + w;
        break;
    case FieldY:
        if (std::fabs(v - b.bottom) <= 0.01f) return TRUE;
        n.bottom = v;
        n.top = v + h;
        break;
    case FieldWidth:
        if (std::fabs(v - w) <= 0.01f) return TRUE;
        n.right = b.left + v;
        if (KeepProportions && w > 0) n.top = b.bottom + h * v / w;
        break;
    default:
        if (std::fabs(v - h) <= 0.01f) return TRUE;
        n.top = b.bottom + v;
        if (KeepProportions && h > 0) n.right = b.left + w * v / h;
        break;
    }
    // An axis without extent (a straight line) cannot be scaled: it keeps scale 1.
    float sx, dx, sy, dy;
    AxisMap(b.left, b.right, n.left, n.right, n.left - b.left, sx, dx);
    AxisMap(b.bottom, b.top, n.bottom, n.top, n.bottom - b.bottom, sy, dy);
    const floatTMatrix m(sx, 0, 0, sy, dx, dy);
    if (std::isfinite(sx) && std::isfinite(sy) && std::isfinite(dx) && std::isfinite(dy) &&
        sheet.AcceptsTransform(m)) {
        TransformSelection(m, size ? "Resize" : "Move");
    } else {
        MessageBeep(0);
    }
    UpdateSizeFields(&sheet.m_bbSelection);
    return TRUE;
}

// ---- commands

void SelectMode::OnSelectAll() {
    CSignDoc* doc = Doc();
    doc->m_sheet.SelectAll();
    Finish("Select all");
}

void SelectMode::OnUnselectAll() {
    CSignDoc* doc = Doc();
    doc->m_sheet.UnselectAll();
    Finish("Unselect all");
}

void SelectMode::OnOrder(UINT id) {
    CSign& sheet = Doc()->m_sheet;
    if (sheet.UpdateSelection() != 1 || sheet.m_nFirstSelected < 0) return;
    const int i = sheet.m_nFirstSelected, last = sheet.GetSize() - 1;
    int to = i;
    const char* step = "";
    switch (id) {
    case SelectIds::Forward:
        to = std::min(i + 1, last);
        step = "Forward";
        break;
    case SelectIds::Backward:
        to = std::max(i - 1, 0);
        step = "Backward";
        break;
    case SelectIds::ToFront:
        to = last;
        step = "To front";
        break;
    default:
        to = 0;
        step = "To back";
        break;
    }
    // Already there: nothing changes and nothing is recorded.
    if (to == i) return;
    CObject* obj = sheet.GetAt(i);
    sheet.RemoveAt(i);
    sheet.InsertAt(to, obj);
    Finish(step);
}

void SelectMode::OnLockSelection() {
    Doc()->m_sheet.LockSelection();
    Finish("Lock selection");
}

void SelectMode::OnUnlockAll() {
    Doc()->m_sheet.UnlockAll();
    Finish("Unlock all");
}

void SelectMode::OnEditObject() {
    CSign& sheet = Doc()->m_sheet;
    if (sheet.UpdateSelection() == 1 && sheet.m_nFirstSelected >= 0)
        sheet.GetObj(sheet.m_nFirstSelected)->Edit(view);
}

void SelectMode::OnGroup() {
    Doc()->m_sheet.GroupSelection();
    Finish("Group");
}

void SelectMode::OnUngroup() {
    Doc()->m_sheet.UngroupSelection();
    Finish("Ungroup");
}

namespace {

// Clipped objects (bitmaps and the like) lose their content as paths: the user says so first.
bool ConfirmClippedObjects(CSign& sheet) {
    for (int i = 0; i < sheet.GetSize(); ++i) {
        CSignObj* obj = sheet.GetObj(i);
        if (obj->m_bSelected && obj->IsKindOf(RUNTIME_CLASS(CClippedObj)))
            return AfxMessageBox(197, MB_YESNO) == IDYES;
    }
    return true;
}

} // namespace

void SelectMode::OnCombine() {
    if (!ConfirmClippedObjects(Doc()->m_sheet)) return;
    Doc()->m_sheet.CombineSelection();
    Finish("Combine");
}

void SelectMode::OnBreakApart() {
    if (!ConfirmClippedObjects(Doc()->m_sheet)) return;
    Doc()->m_sheet.BreakApartSelection();
    Finish("Break apart");
}

void SelectMode::OnSimplify() {
    if (!ConfirmClippedObjects(Doc()->m_sheet)) return;
    Doc()->m_sheet.SimplifySelection();
    Finish("Simplify");
}

void SelectMode::OnDelete() {
    CSignDoc* doc = Doc();
    if (doc->m_sheet.UpdateSelection()) doc->DeleteSelection();
    Finish("Delete");
}

void SelectMode::OnDuplicate() {
    Doc()->m_sheet.DuplicateSelection();
    Finish("Duplicate");
}

void SelectMode::OnWeld(UINT id) {
    // The weld tool takes over; this tool is deleted by the view.
    view->InstallMode(new WeldMode(id - SelectIds::WeldFirst + 1));
}

BOOL SelectMode::OnRButtonDown(UINT, int x, int y) {
    hitGuide = -1;
    CSignDoc* doc = Doc();
    if (!doc || !view) return TRUE;
    if (view->guideLinesShown && !view->guideLinesLocked) {
        floatPoint p;
        view->ClientToWorld(x, y, p);
        hitGuide =
            FindGuideLine(doc->m_guideLines, p, float(SheetSettings::UsableMouseSens()) / Scale());
    }
    CPoint screen(x, y);
    view->ClientToScreen(&screen);
    CMenu menu;
    if (hitGuide >= 0) {
        // The guide-line commands: the fifth popup of the view's menu, where it has one.
        if (menu.LoadMenu(IDR_SHEET_MENU)) {
            if (CMenu* popup = menu.GetSubMenu(4))
                popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, view);
            menu.DestroyMenu();
        }
        return TRUE;
    }
    if (menu.CreatePopupMenu()) {
        BuildContextMenu(&menu);
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, view);
        menu.DestroyMenu();
    }
    return TRUE;
}

void SelectMode::BuildContextMenu(CMenu* menu) {
    CSignDoc* doc = Doc();
    CMenu items;
    if (!doc || !items.LoadMenu(SelectIds::ContextMenu)) return;
    using namespace SelectIds;
    static const UINT order[] = {Properties, EditObject, 0,         Copy,    Cut,
                                 Paste,      Delete,     Duplicate, Group,   Outline,
                                 0,          Forward,    Backward,  ToFront, ToBack};
    for (UINT id : order) {
        if (id == 0) {
            menu->AppendMenu(MF_SEPARATOR);
        } else {
            CopyMenuItem(&items, menu, id);
        }
    }
    CSign& sheet = doc->m_sheet;
    const DWORD count = sheet.UpdateSelection();
    if (count == 0) {
        for (UINT id : {Properties, Copy, Cut, Delete, Duplicate, Group, Outline})
            menu->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
        menu->AppendMenu(MF_SEPARATOR);
        CopyMenuItem(&items, menu, SheetSize);
    }
    if (count != 1) {
        for (UINT id : {Forward, Backward, ToFront, ToBack})
            menu->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    } else if (sheet.m_nFirstSelected >= 0) {
        sheet.GetObj(sheet.m_nFirstSelected)->ExtendContextMenu(menu);
    }
    // Outlines come with their own work; a one-object edit is the object's.
    menu->EnableMenuItem(Outline, MF_BYCOMMAND | MF_GRAYED);
    if (count != 1) menu->EnableMenuItem(EditObject, MF_BYCOMMAND | MF_GRAYED);
    if (!CanPaste()) menu->EnableMenuItem(Paste, MF_BYCOMMAND | MF_GRAYED);
    items.DestroyMenu();
}

void SelectMode::OnGuideProperties() {
    CSignDoc* doc = Doc();
    if (!doc || hitGuide < 0 || hitGuide >= int(doc->m_guideLines.Filled())) return;
    GuideLine& g = doc->m_guideLines[std::uint16_t(hitGuide)];
    CGuideLineDlg dlg;
    dlg.x = g.x;
    dlg.y = g.y;
    dlg.degrees = float(g.angle * 57.29577951308232);
    if (dlg.DoModal() != IDOK) return;
    view->InvalidateGuideLine(floatPoint(g.x, g.y), g.angle);
    g.x = dlg.x;
    g.y = dlg.y;
    g.angle = dlg.degrees * 0.017453292519943295;
    view->InvalidateGuideLine(floatPoint(g.x, g.y), g.angle);
    doc->RecordStep("Guideline properties");
}

void SelectMode::OnGuideDelete() {
    CSignDoc* doc = Doc();
    if (!doc || hitGuide < 0 || hitGuide >= int(doc->m_guideLines.Filled())) return;
    const GuideLine g = doc->m_guideLines[std::uint16_t(hitGuide)];
    view->InvalidateGuideLine(floatPoint(g.x, g.y), g.angle);
    GuideLineDynArr& guides = doc->m_guideLines;
    for (std::uint16_t i = std::uint16_t(hitGuide); i + 1 < guides.Filled(); ++i)
        guides[i] = guides[std::uint16_t(i + 1)];
    guides.UnAppend();
    hitGuide = -1;
    view->UpdateWindow();
    doc->RecordStep("Guideline delete");
}

void SelectMode::OnMultiplicate() {
    CSignDoc* doc = Doc();
    if (!doc) return;
    CSign& sheet = doc->m_sheet;
    if (sheet.UpdateSelection() != 1 || sheet.m_nFirstSelected < 0) return;
    CMultiplicateDlg dlg;
    if (dlg.DoModal() != IDOK) return;
    CSignObj* original = sheet.GetObj(sheet.m_nFirstSelected);
    const floatBBox& b = sheet.m_bbSelection;
    const float stepX = b.right - b.left + dlg.gapX, stepY = b.top - b.bottom + dlg.gapY;
    int k = 0;
    for (int r = 0; r < dlg.rows; ++r)
        for (int c = 0; c < dlg.columns; ++c, ++k) {
            if (k == 0) continue; // the first cell is the object itself
            CSignObj* copy = original->Duplicate();
            copy->Transform(floatTMatrix(1, 0, 0, 1, float(c) * stepX, -float(r) * stepY));
            copy->RefreshBBox();
            copy->Select();
            sheet.InsertAt(sheet.m_nFirstSelected + k, copy);
        }
    Finish("Multiplicate");
}

void SelectMode::OnUpdateOneSelected(CCmdUI* pCmdUI) {
    CSignDoc* doc = Doc();
    pCmdUI->Enable(doc && doc->m_sheet.UpdateSelection() == 1);
}

void SelectMode::OnDeskewTool() {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0 || !view) return;
    // A temporary tool: this one stays alive and becomes current again when it ends.
    auto* deskew = new DeskewMode(this);
    COleSheetView* v = view;
    Deactivate(deskew);
    v->mode = deskew;
    deskew->SetView(v, FALSE);
    deskew->Activate();
}

void SelectMode::OnProperties() {
    CSignDoc* doc = Doc();
    if (doc->m_sheet.UpdateSelection() == 0) return;
    CPropertySheet sheet("Properties");
    CGeneralPage page(doc);
    sheet.AddPage(&page);
    sheet.DoModal();
    doc->m_sheet.CountLayerObjects();
    // Recorded after OK and Cancel alike: the page may have applied its changes.
    Finish("Property change");
}

void SelectMode::OnKeepProportions() {
    KeepProportions = KeepProportions ? 0 : 1;
}

void SelectMode::OnUpdateHasObjects(CCmdUI* pCmdUI) {
    CSignDoc* doc = Doc();
    pCmdUI->Enable(doc && doc->m_sheet.GetSize() > 0);
}

void SelectMode::OnUpdateHasSelection(CCmdUI* pCmdUI) {
    CSignDoc* doc = Doc();
    pCmdUI->Enable(doc && doc->m_sheet.UpdateSelection() > 0);
}

void SelectMode::OnUpdateUngroup(CCmdUI* pCmdUI) {
    CSignDoc* doc = Doc();
    if (!doc) {
        pCmdUI->Enable(FALSE);
        return;
    }
    CSign& sheet = doc->m_sheet;
    const DWORD n = sheet.UpdateSelection();
    pCmdUI->Enable(n >= 2 || (n == 1 && sheet.GetObj(sheet.m_nFirstSelected)->CanUngroup()));
}

void SelectMode::OnUpdateAllPaths(CCmdUI* pCmdUI) {
    CSignDoc* doc = Doc();
    if (!doc) {
        pCmdUI->Enable(FALSE);
        return;
    }
    CSign& sheet = doc->m_sheet;
    bool any = false, all = true;
    for (int i = 0; i < sheet.GetSize(); ++i) {
        CSignObj* obj = sheet.GetObj(i);
        if (!obj->m_bSelected) continue;
        any = true;
        all = all && obj->IsKindOf(RUNTIME_CLASS(CPathObj));
    }
    pCmdUI->Enable(any && all);
}

void SelectMode::OnUpdateKeepProportions(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(KeepProportions);
}

void SelectMode::OnUpdateDisabled(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
