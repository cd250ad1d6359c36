#include "select/TransformMode.h"

#include <cmath>

#include <doc/CSignDoc.h>
#include <mfc/CClientDC.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/CString.h>
#include <mfc/CWinApp.h>
#include <model/CSign.h>
#include <sheet/COleSheetView.h>
#include <sheet/SheetSettings.h>
#include <shell/MeasureFields.h>
#include <win32/user.h>
#include <win32/wingdi.h>

IMPLEMENT_DYNCREATE(TransformMode, SelectMode)

namespace {

bool IsIdentity(const floatTMatrix& m) {
    return m.m11 == 1 && m.m12 == 0 && m.m21 == 0 && m.m22 == 1 && m.dx == 0 && m.dy == 0;
}

} // namespace

void TransformMode::SetView(COleSheetView* sheetView, BOOL fresh) {
    SelectMode::SetView(sheetView, fresh);
    if (CSignDoc* doc = Doc()) {
        const floatBBox& b = doc->m_sheet.m_bbSelection;
        centre = floatPoint((b.left + b.right) / 2, (b.bottom + b.top) / 2);
    }
    rotation = 0;
}

floatTMatrix TransformMode::AboutCentre(double angle) const {
    floatTMatrix m;
    m.Translate(-centre.x, -centre.y);
    floatTMatrix r;
    r.Rotate(float(angle));
    m *= r;
    m.Translate(centre.x, centre.y);
    return m;
}

int TransformMode::HitHandle(floatPoint& p) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return -1;
    const int h = SelectMode::HitHandle(p);
    if (h != -1) return h;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    const float dx = std::fabs(p.x - centre.x), dy = std::fabs(p.y - centre.y);
    if (dx > (b.right - b.left) / 2 || dy > (b.top - b.bottom) / 2) return -1;
    const float s = 2.0f * float(handleSize) / Scale();
    if (std::max(dx, dy) <= s) return 8;
    if (dx <= s) return 9;
    if (dy <= s) return 10;
    return -1;
}

void TransformMode::Activate() {
    SelectMode::Activate();
    for (int i = 0; i < 4; ++i) {
        if (positionFields[i].m_hWnd == nullptr) continue;
        positionFields[i].SetDlgCtrlID(int(TransformIds::FieldCentreX) + i);
        // Filled only when made, so that leaving through a failure deletes nothing twice.
        if (labels[i].m_hWnd == nullptr) continue;
        HBITMAP picture = ::CreateMappedBitmap(AfxGetResourceHandle(),
                                               TransformIds::LabelBitmaps[i], 0, nullptr, 0);
        if (HBITMAP old = labels[i].SetBitmap(picture)) ::DeleteObject(old);
    }
    UpdateSizeFields(nullptr);
}

void TransformMode::Deactivate(COleOperatingMode* next) {
    SelectMode::Deactivate(next);
    if (view && view->m_hWnd) view->Invalidate(TRUE);
}

void TransformMode::UpdateSizeFields(const floatBBox*) {
    const float values[4] = {centre.x, centre.y, float(rotation * 57.29577951308232),
                             float(skew * 57.29577951308232)};
    for (int i = 0; i < 4; ++i) {
        CFilterEdit& field = positionFields[i];
        if (field.m_hWnd == nullptr) continue;
        field.EnableWindow(TRUE);
        if (i < 2) {
            SetWindowMeasure(&field, values[i]);
        } else {
            SetWindowFloat(&field, values[i]);
        }
    }
    if (nudgeFields[0].m_hWnd != nullptr) SetWindowMeasure(&nudgeFields[0], NudgeSmall);
    if (nudgeFields[1].m_hWnd != nullptr) SetWindowMeasure(&nudgeFields[1], NudgeLarge);
}

BOOL TransformMode::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    using namespace TransformIds;
    if (nID < FieldCentreX || nID > FieldSkew)
        return SelectMode::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (nCode != CN_COMMAND && nCode != int(EN_KILLFOCUS)) return FALSE;
    CFilterEdit& field = positionFields[nID - FieldCentreX];
    if (field.m_hWnd == nullptr) return FALSE;
    if (pHandlerInfo != nullptr) return TRUE;
    // An empty field reads as 0; text that is no number beeps.
    CString text;
    field.GetWindowText(text);
    float v = 0;
    if (!text.IsEmpty() &&
        !(nID <= FieldCentreY ? GetWindowMeasure(&field, v) : GetWindowFloat(&field, v))) {
        MessageBeep(0);
        UpdateSizeFields(nullptr);
        return TRUE;
    }
    switch (nID) {
    case FieldCentreX:
    case FieldCentreY:
        if (!(v >= -10000 && v <= 10000)) {
            MessageBeep(0);
            break;
        }
        ToggleCentreCross();
        (nID == FieldCentreX ? centre.x : centre.y) = v;
        ToggleCentreCross();
        break;
    case FieldRotation:
        RotateBy(v);
        break;
    default:
        SkewBy(v);
        break;
    }
    rotation = skew = 0;
    UpdateSizeFields(nullptr);
    return TRUE;
}

void TransformMode::UpdateCursor(int handle) {
    // Corners rotate, sides skew, the cross moves its centre or mirrors.
    static const UINT byHandle[11] = {113, 113, 113, 113, 111, 112, 111, 112, 116, 115, 114};
    if (handle >= 0 && handle <= 10) SetViewCursor(ToolCursor(byHandle[handle]));
}

void TransformMode::DrawHandles(CDC* dc, const floatTMatrix& m) {
    CSignDoc* doc = Doc();
    if (!doc || doc->m_sheet.UpdateSelection() == 0) return;
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* oldPen = dc->SelectObject(&pen);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    const CRect g = HandleBox(m);
    const int mx = (g.left + g.right) / 2, my = (g.top + g.bottom) / 2;
    const POINT squares[8] = {{g.left, g.top},    {g.right, g.top}, {g.right, g.bottom},
                              {g.left, g.bottom}, {mx, g.top},      {g.right, my},
                              {mx, g.bottom},     {g.left, my}};
    constexpr int half = 3;
    for (const POINT& q : squares)
        dc->Rectangle(q.x - half, q.y - half, q.x + half, q.y + half);
    DrawCentreCross(dc, m);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void TransformMode::DrawCentreCross(CDC* dc, const floatTMatrix& m) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    float x0 = b.left, y0 = b.top, x1 = b.right, y1 = b.bottom, cx = centre.x, cy = centre.y;
    m.Transform(x0, y0);
    m.Transform(x1, y1);
    m.Transform(cx, cy);
    const int halfWidth = int(std::lround(std::fabs(x1 - x0) / 2));
    const int halfHeight = int(std::lround(std::fabs(y1 - y0) / 2));
    const int x = int(std::lround(cx)), y = int(std::lround(cy));
    dc->MoveTo(x - halfWidth, y);
    dc->LineTo(x + halfWidth, y);
    dc->MoveTo(x, y - halfHeight);
    dc->LineTo(x, y + halfHeight);
}

void TransformMode::ToggleCentreCross() {
    if (!view || !view->m_hWnd || !handlesShown) return;
    floatTMatrix m;
    view->GetWorldToClientMatrix(m);
    CClientDC dc(view);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* oldPen = dc.SelectObject(&pen);
    const int oldRop = dc.SetROP2(R2_NOTXORPEN);
    DrawCentreCross(&dc, m);
    dc.SetROP2(oldRop);
    dc.SelectObject(oldPen);
}

void TransformMode::Apply(const floatTMatrix& m, const char* step) {
    CSignDoc* doc = Doc();
    if (!doc || IsIdentity(m)) return;
    if (!doc->m_sheet.AcceptsTransform(m)) {
        MessageBeep(0);
        return;
    }
    doc->UpdateSelectedObjects();
    doc->m_sheet.TransformObjects(m, 1);
    Finish(step);
}

BOOL TransformMode::OnLButtonDown(UINT, int x, int y) {
    CSignDoc* doc = Doc();
    if (!doc) return TRUE;
    floatPoint p;
    view->ClientToWorld(x, y, p);
    hitHandle = HitHandle(p);
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    switch (hitHandle) {
    case -1:
        // Outside every handle: back to the selection tool.
        view->InstallMode(new SelectMode);
        return TRUE;
    case 0:
    case 1:
    case 2:
    case 3: {
        const floatPoint corners[4] = {
            {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
        anchor = corners[hitHandle];
        dragState = Rotating;
        view->SetCapture();
        captured = TRUE;
        dragMatrix.IdentMatrix();
        DrawDragOutline();
        return TRUE;
    }
    case 4:
    case 5:
    case 6:
    case 7:
        dragState = Skewing;
        view->SetCapture();
        captured = TRUE;
        dragMatrix.IdentMatrix();
        DrawDragOutline();
        return TRUE;
    case 8:
        dragState = MovingCentre;
        view->SetCapture();
        captured = TRUE;
        return TRUE;
    case 9:
        Apply(floatTMatrix(-1, 0, 0, 1, 2 * centre.x, 0), "Mirror vertically");
        return TRUE;
    case 10:
        Apply(floatTMatrix(1, 0, 0, -1, 0, 2 * centre.y), "Mirror horizontally");
        return TRUE;
    default:
        return TRUE;
    }
}

void TransformMode::OnMouseMove(UINT flags, int x, int y) {
    CSignDoc* doc = Doc();
    if (!doc) return;
    floatPoint p;
    view->ClientToWorld(x, y, p);
    if (dragState == Rotating) {
        StartTimer();
        if (outlineDrawn) DrawDragOutline();
        const double a0 = std::atan2(double(anchor.y) - centre.y, double(anchor.x) - centre.x);
        const double a1 = std::atan2(double(p.y) - centre.y, double(p.x) - centre.x);
        double a = std::remainder(a1 - a0, 2 * M_PI);
        if (flags & MK_CONTROL) a = std::floor(float(a) * 57.29578f + 0.5f) * 0.017453292f;
        rotation = a;
        dragMatrix = AboutCentre(a);
        if (!doc->m_sheet.AcceptsTransform(dragMatrix)) {
            dragMatrix.IdentMatrix();
            MessageBeep(0);
        }
        DrawDragOutline();
    } else if (dragState == Skewing) {
        StartTimer();
        if (outlineDrawn) DrawDragOutline();
        dragMatrix = SkewMatrix(hitHandle, p, (flags & MK_CONTROL) != 0);
        if (!doc->m_sheet.AcceptsTransform(dragMatrix)) {
            dragMatrix.IdentMatrix();
            MessageBeep(0);
        }
        DrawDragOutline();
    } else if (dragState == MovingCentre) {
        doc->SnapPoint(&p, float(SheetSettings::SnapProximity) / Scale(), 0);
        ToggleCentreCross();
        centre = p;
        ToggleCentreCross();
    } else if (dragState == Idle) {
        const int handle = HitHandle(p);
        if (handle == -1) {
            SetViewCursor(::LoadCursorA(nullptr, IDC_ARROW));
        } else {
            UpdateCursor(handle);
        }
    }
}

BOOL TransformMode::OnLButtonUp(UINT, int, int) {
    ::ReleaseCapture();
    captured = FALSE;
    StopTimer();
    if (dragState == Rotating || dragState == Skewing) {
        if (outlineDrawn) DrawDragOutline();
        // The preview goes back onto the objects, wherever they end up.
        if (shownMatrix != floatTMatrix()) {
            ToggleFeedback(FALSE, TRUE);
            shownMatrix.IdentMatrix();
            ToggleFeedback(FALSE, TRUE);
        }
        // The centre keeps its place on the sheet.
        Apply(dragMatrix, dragState == Rotating ? "Rotate" : "Skew");
        dragMatrix.IdentMatrix();
    }
    rotation = 0;
    dragState = Idle;
    return TRUE;
}

floatTMatrix TransformMode::SkewMatrix(int handle, const floatPoint& p, bool wholeDegrees) {
    floatTMatrix identity;
    CSignDoc* doc = Doc();
    if (!doc) return identity;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    const float w = b.right - b.left, h = b.top - b.bottom;
    const float cx = (b.left + b.right) / 2, cy = (b.bottom + b.top) / 2;
    const bool horizontal = handle == 4 || handle == 6;
    const float extent = horizontal ? h : w;
    if (!(extent > 0)) return identity;
    // The dragged side follows the pointer; the opposite side stays.
    double k = 0;
    switch (handle) {
    case 4:
        k = (p.x - cx) / extent;
        break;
    case 6:
        k = (cx - p.x) / extent;
        break;
    case 5:
        k = (p.y - cy) / extent;
        break;
    default:
        k = (cy - p.y) / extent;
        break;
    }
    if (wholeDegrees) k = std::tan(std::round(std::atan(k) * 180 / M_PI) * M_PI / 180);
    const float f = float(k);
    if (horizontal) {
        const float py = handle == 4 ? b.bottom : b.top;
        return floatTMatrix(1, 0, f, 1, -f * py, 0); // x' = x + k (y - py)
    }
    const float px = handle == 5 ? b.left : b.right;
    return floatTMatrix(1, f, 0, 1, 0, -f * px); // y' = y + k (x - px)
}

void TransformMode::RotateBy(double degrees) {
    Apply(AboutCentre(degrees * 0.017453292519943295), "Rotate");
}

void TransformMode::SkewBy(double degrees) {
    if (!(degrees >= -80 && degrees <= 80)) {
        AfxMessageBox(TransformIds::BadSkew, MB_OK);
        return;
    }
    CSignDoc* doc = Doc();
    if (!doc || degrees == 0) return;
    const floatBBox& b = doc->m_sheet.m_bbSelection;
    const float py = b.bottom;
    const float k = float(std::tan(degrees * 0.017453292519943295));
    // x' = x + k (y - py): the bottom edge stays, the top moves right for a positive angle.
    Apply(floatTMatrix(1, 0, k, 1, -k * py, 0), "Skew");
}
