// The sheet view's input: every message goes to the current mode, commands to the mode
// before the view; the framework's own tools, the cross-hair and guide lines dragged out of
// the rulers.

#include "sheet/COleSheetView.h"

#include <cmath>

#include <mfc/CClientDC.h>
#include <mfc/CCmdUI.h>
#include <mfc/CGdiObject.h>
#include <mfc/CMenu.h>
#include <mfc/CWinApp.h>
#include <shell/PrivateMessages.h>

#include "sheet/COleRuler.h"
#include "sheet/COleSheetDoc.h"
#include "sheet/COleSheetFrame.h"
#include "sheet/FrameworkModes.h"
#include "sheet/SheetIds.h"
#include "sheet/SheetSettings.h"

IMPLEMENT_DYNCREATE(COleSheetView, CScrollView)

BEGIN_MESSAGE_MAP(COleSheetView, CScrollView)
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_SETCURSOR()
ON_WM_TIMER()
ON_WM_ERASEBKGND()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_MESSAGE(WM_VIEWPORTCHANGED, OnViewportChangedMessage)
ON_MESSAGE(WM_DOCCHANGED, OnDocChangedMessage)
ON_MESSAGE(WM_CTRLDRAGENTER, OnCtrlDragEnterMessage)
ON_MESSAGE(WM_CTRLDRAGLEAVE, OnCtrlDragLeaveMessage)
ON_MESSAGE(WM_CTRLDRAGOVER, OnCtrlDragOverMessage)
ON_MESSAGE(WM_CTRLDROP, OnCtrlDropMessage)
ON_COMMAND(ID_ZOOM_TOOL, OnZoomTool)
ON_UPDATE_COMMAND_UI(ID_ZOOM_TOOL, OnUpdateZoomTool)
ON_COMMAND(ID_PAN_TOOL, OnPanTool)
ON_UPDATE_COMMAND_UI(ID_PAN_TOOL, OnUpdatePanTool)
ON_COMMAND(ID_CROSSHAIR_ANGLE, OnCrossHairAngle)
ON_UPDATE_COMMAND_UI(ID_CROSSHAIR_ANGLE, OnUpdateCrossHairAngle)
ON_COMMAND(ID_CROSSHAIR, OnCrossHair)
ON_UPDATE_COMMAND_UI(ID_CROSSHAIR, OnUpdateCrossHair)
ON_COMMAND(ID_CROSSHAIR_RESET, OnCrossHairReset)
ON_COMMAND(ID_ZOOM_BACK, OnZoomBack)
ON_UPDATE_COMMAND_UI(ID_ZOOM_BACK, OnUpdateZoomBack)
ON_COMMAND(ID_FIT_PAGE, OnFitPage)
ON_UPDATE_COMMAND_UI(ID_FIT_PAGE, OnUpdateFitPage)
ON_COMMAND(ID_REAL_SIZE, OnRealSize)
ON_UPDATE_COMMAND_UI(ID_REAL_SIZE, OnUpdateRealSize)
ON_COMMAND(ID_SMALLER_PAGE, OnSmallerPage)
ON_UPDATE_COMMAND_UI(ID_SMALLER_PAGE, OnUpdateSmallerPage)
ON_COMMAND(ID_SHEET_SETTINGS, OnSheetSettings)
ON_COMMAND(ID_GRID, OnGrid)
ON_UPDATE_COMMAND_UI(ID_GRID, OnUpdateGrid)
END_MESSAGE_MAP()

namespace {

constexpr double kPi = 3.14159265358979323846;

// Keeps the view's handler depth while a handler runs, so that modes retired in it are
// deleted only when the outermost one has returned.
struct HandlerScope {
    explicit HandlerScope(int& depth) : depth_(depth) { ++depth_; }
    ~HandlerScope() { --depth_; }
    int& depth_;
};

} // namespace

COleSheetView::~COleSheetView() {
    delete mode;
    mode = nullptr;
    for (COleOperatingMode* m : retired_)
        delete m;
}

BOOL COleSheetView::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CScrollView::PreCreateWindow(cs)) return FALSE;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                       static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
    return TRUE;
}

COleSheetDoc* COleSheetView::GetSheetDoc() const {
    return DYNAMIC_DOWNCAST(COleSheetDoc, GetDocument());
}

COleSheetFrame* COleSheetView::GetSheetFrame() const {
    return m_hWnd ? DYNAMIC_DOWNCAST(COleSheetFrame, GetParentFrame()) : nullptr;
}

COleRuler* COleSheetView::GetRuler(bool horizontal) const {
    COleSheetFrame* frame = GetSheetFrame();
    if (frame == nullptr) return nullptr;
    return horizontal ? &frame->horizontalRuler : &frame->verticalRuler;
}

// ---- modes ----

void COleSheetView::RetireMode(COleOperatingMode* oldMode) {
    if (oldMode == nullptr) return;
    if (handlerDepth_ > 0)
        retired_.push_back(oldMode);
    else
        delete oldMode;
}

void COleSheetView::FlushRetiredModes() {
    if (handlerDepth_ > 0) return;
    std::vector<COleOperatingMode*> done;
    done.swap(retired_);
    for (COleOperatingMode* m : done)
        delete m;
}

LRESULT COleSheetView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    {
        HandlerScope scope(handlerDepth_);
        result = CScrollView::WindowProc(message, wParam, lParam);
    }
    FlushRetiredModes();
    return result;
}

BOOL COleSheetView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    BOOL handled;
    {
        HandlerScope scope(handlerDepth_);
        handled = mode != nullptr && mode->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    FlushRetiredModes();
    // The view's own handlers run once the mode has returned: a tool they replace is deleted
    // at once, unless a handler of the view's window is still running.
    if (!handled) handled = CScrollView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return handled;
}

void COleSheetView::InstallMode(COleOperatingMode* newMode) {
    if (newMode == nullptr) return;
    if (m_hWnd) SetFocus();
    if (mode != nullptr) {
        mode->Deactivate(newMode);
        RetireMode(mode);
    }
    mode = newMode;
    newMode->SetView(this, TRUE);
    newMode->Activate();
    if (COleSheetFrame* frame = GetSheetFrame()) frame->OnModeChanged();
}

void COleSheetView::StartTemporaryMode(CRuntimeClass* modeClass) {
    if (mode == nullptr || modeClass == nullptr || mode->IsKindOf(modeClass)) return;
    auto* temporary = DYNAMIC_DOWNCAST(COleTemporaryMode, modeClass->CreateObject());
    if (temporary == nullptr) return;
    temporary->previous = mode;
    mode = temporary;
    temporary->SetView(this, TRUE);
    temporary->Activate();
}

// ---- mouse and keys ----

void COleSheetView::OnLButtonDown(UINT nFlags, CPoint point) {
    if (mode == nullptr) return;
    SetFocus();
    mode->OnLButtonDown(nFlags, point.x, point.y);
    Default();
}

void COleSheetView::OnLButtonUp(UINT nFlags, CPoint point) {
    if (mode == nullptr) return;
    SetFocus();
    mode->OnLButtonUp(nFlags, point.x, point.y);
    Default();
}

void COleSheetView::OnLButtonDblClk(UINT nFlags, CPoint point) {
    if (mode == nullptr) return;
    SetFocus();
    mode->OnLButtonDblClk(nFlags, point.x, point.y);
    Default();
}

void COleSheetView::OnRButtonDown(UINT nFlags, CPoint point) {
    if (mode == nullptr) return;
    SetFocus();
    if (!mode->OnRButtonDown(nFlags, point.x, point.y)) {
        CMenu menu;
        if (menu.LoadMenu(IDR_SHEET_MENU)) {
            if (CMenu* popup = menu.GetSubMenu(1)) {
                CPoint screen = point;
                ClientToScreen(&screen);
                popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y,
                                      GetParent());
            }
            menu.DestroyMenu();
        }
    }
    Default();
}

void COleSheetView::OnRButtonUp(UINT nFlags, CPoint point) {
    if (mode == nullptr) return;
    SetFocus();
    mode->OnRButtonUp(nFlags, point.x, point.y);
    Default();
}

void COleSheetView::OnRButtonDblClk(UINT nFlags, CPoint point) {
    if (mode == nullptr) return;
    SetFocus();
    mode->OnRButtonDblClk(nFlags, point.x, point.y);
    Default();
}

void COleSheetView::OnMouseMove(UINT nFlags, CPoint point) {
    EraseCrossHair();
    if (mode == nullptr) return;
    if (autoScrollOn && zoomKind == ZOOM_FREE && ::GetCapture() == m_hWnd)
        AutoScrollStep(point.x, point.y);
    for (bool horizontal : {true, false}) {
        COleRuler* ruler = GetRuler(horizontal);
        if (ruler == nullptr || ruler->m_hWnd == nullptr) continue;
        ruler->HideMarker();
        ruler->markerPos = horizontal ? point.x : point.y;
        ruler->ShowMarker();
    }
    if (COleSheetFrame* frame = GetSheetFrame()) {
        floatPoint w;
        ClientToWorld(point.x, point.y, w);
        frame->ShowPosition(w.x, w.y);
    }
    // The mode may end itself here; it is deleted after this handler.
    mode->OnMouseMove(nFlags, point.x, point.y);
    Default();
    crossHairPos = point;
    ShowCrossHair();
}

void COleSheetView::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (mode == nullptr) return;
    mode->OnChar(nChar, nRepCnt, nFlags);
    Default();
}

void COleSheetView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (mode == nullptr) return;
    mode->OnKeyDown(nChar, nRepCnt, nFlags);
    Default();
}

void COleSheetView::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (mode == nullptr) return;
    mode->OnKeyUp(nChar, nRepCnt, nFlags);
    Default();
}

BOOL COleSheetView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (mode != nullptr && pWnd != nullptr && pWnd->m_hWnd == m_hWnd &&
        mode->OnSetCursor(pWnd, nHitTest, message))
        return TRUE;
    ::SetCursor(cursor);
    return TRUE;
}

void COleSheetView::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == AUTOSCROLL_TIMER) {
        if (autoScrollOn && zoomKind == ZOOM_FREE && ::GetCapture() == m_hWnd) {
            const CPoint p = CursorClientPoint();
            AutoScrollStep(p.x, p.y);
        } else {
            // The drag is over: the timer has nothing left to do.
            StopAutoScroll();
        }
        return;
    }
    if (mode == nullptr) return;
    mode->OnTimer(UINT(nIDEvent));
    Default();
}

BOOL COleSheetView::OnEraseBkgnd(CDC* pDC) {
    if (mode) mode->OnEraseBackground(pDC);
    // The erase wipes the cross-hair where it paints; XOR once takes it away elsewhere.
    EraseCrossHair();
    return CScrollView::OnEraseBkgnd(pDC);
}

LRESULT COleSheetView::OnViewportChangedMessage(WPARAM, LPARAM) {
    if (mode) mode->OnViewportChanged();
    return 0;
}

LRESULT COleSheetView::OnDocChangedMessage(WPARAM, LPARAM) {
    if (mode) mode->OnDocumentChanged();
    return 1;
}

CPoint COleSheetView::CursorClientPoint() const {
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    return p;
}

// ---- guide lines dragged out of the rulers ----

BOOL COleSheetView::GuideDragAllowed(CWnd* sender) const {
    return DYNAMIC_DOWNCAST(COleRuler, sender) != nullptr && guideLinesShown && !guideLinesLocked;
}

void COleSheetView::SnapDragGuide(int x, int y) {
    ClientToWorld(x, y, dragGuidePoint);
    if (COleSheetDoc* doc = GetSheetDoc()) {
        const float scale = std::fabs(worldToDevice.m11);
        const float tolerance = scale > 0 ? float(SheetSettings::SnapProximity) / scale : 0;
        doc->SnapPoint(&dragGuidePoint, tolerance, 0);
    }
}

LRESULT COleSheetView::OnCtrlDragEnterMessage(WPARAM wParam, LPARAM lParam) {
    CWnd* sender = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    const CPoint p = CursorClientPoint();
    if (mode == nullptr) return 0;
    if (mode->OnCtrlDragEnter(sender, UINT(wParam), p.x, p.y)) return 1;
    if (!GuideDragAllowed(sender)) return 0;
    ClientToWorld(p.x, p.y, dragGuidePoint);
    dragGuideAngle =
        (static_cast<COleRuler*>(sender)->GetBarStyle() & CBRS_ALIGN_TOP) ? 0 : kPi / 2;
    if (!dragGuideDrawn) DrawDragGuide();
    cursor = ::LoadCursorA(nullptr, std::fabs(dragGuideAngle) >= kPi / 4 ? IDC_SIZEWE : IDC_SIZENS);
    ::SetCursor(cursor);
    if (COleSheetFrame* frame = GetSheetFrame())
        frame->ShowPosition(dragGuidePoint.x, dragGuidePoint.y);
    return 1;
}

LRESULT COleSheetView::OnCtrlDragOverMessage(WPARAM wParam, LPARAM lParam) {
    CWnd* sender = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    const CPoint p = CursorClientPoint();
    if (mode == nullptr) return 0;
    if (mode->OnCtrlDragOver(sender, UINT(wParam), p.x, p.y)) return 1;
    if (!GuideDragAllowed(sender)) return 0;
    if (dragGuideDrawn) DrawDragGuide();
    SnapDragGuide(p.x, p.y);
    DrawDragGuide();
    if (COleSheetFrame* frame = GetSheetFrame())
        frame->ShowPosition(dragGuidePoint.x, dragGuidePoint.y);
    return 1;
}

LRESULT COleSheetView::OnCtrlDragLeaveMessage(WPARAM wParam, LPARAM lParam) {
    CWnd* sender = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    const CPoint p = CursorClientPoint();
    if (mode == nullptr) return 0;
    if (mode->OnCtrlDragLeave(sender, UINT(wParam), p.x, p.y)) return 1;
    if (!GuideDragAllowed(sender)) return 0;
    cursor = ::LoadCursorA(nullptr, IDC_ARROW);
    ::SetCursor(cursor);
    if (dragGuideDrawn) DrawDragGuide();
    return 1;
}

LRESULT COleSheetView::OnCtrlDropMessage(WPARAM wParam, LPARAM lParam) {
    CWnd* sender = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    const CPoint p = CursorClientPoint();
    if (mode == nullptr) return 0;
    if (mode->OnCtrlDrop(sender, UINT(wParam), p.x, p.y)) return 1;
    if (!GuideDragAllowed(sender)) return 0;
    if (dragGuideDrawn) DrawDragGuide();
    cursor = ::LoadCursorA(nullptr, IDC_ARROW);
    ::SetCursor(cursor);
    SnapDragGuide(p.x, p.y);
    if (COleSheetFrame* frame = GetSheetFrame())
        frame->ShowPosition(dragGuidePoint.x, dragGuidePoint.y);
    COleSheetDoc* doc = GetSheetDoc();
    if (doc != nullptr && doc->AddGuideLine(&dragGuidePoint, dragGuideAngle)) {
        // Drawn once more, it stays on the screen as the new guide line.
        DrawDragGuide();
        dragGuideDrawn = FALSE;
    }
    return 1;
}

// ---- commands ----

void COleSheetView::OnZoomTool() {
    StartTemporaryMode(RUNTIME_CLASS(COleZoomMode));
}

void COleSheetView::OnUpdateZoomTool(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(mode != nullptr && mode->IsKindOf(RUNTIME_CLASS(COleZoomMode)));
}

void COleSheetView::OnPanTool() {
    StartTemporaryMode(RUNTIME_CLASS(COlePanMode));
}

void COleSheetView::OnUpdatePanTool(CCmdUI* pCmdUI) {
    pCmdUI->Enable(zoomKind != ZOOM_FIT_PAGE);
    pCmdUI->SetCheck(mode != nullptr && mode->IsKindOf(RUNTIME_CLASS(COlePanMode)));
}

void COleSheetView::OnCrossHairAngle() {
    crossHairOn = TRUE;
    StartTemporaryMode(RUNTIME_CLASS(COleCHSettingMode));
}

void COleSheetView::OnUpdateCrossHairAngle(CCmdUI* pCmdUI) {
    pCmdUI->Enable(mode == nullptr || !mode->IsKindOf(RUNTIME_CLASS(COleCHSettingMode)));
}

void COleSheetView::OnCrossHair() {
    if (crossHairOn) {
        EraseCrossHair();
        crossHairOn = FALSE;
    } else {
        crossHairOn = TRUE;
        ShowCrossHair();
    }
}

void COleSheetView::OnUpdateCrossHair(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(crossHairOn);
}

void COleSheetView::OnCrossHairReset() {
    EraseCrossHair();
    crossHairAngle = 0;
    ShowCrossHair();
}

void COleSheetView::OnZoomBack() {
    PopZoomState();
}

void COleSheetView::OnUpdateZoomBack(CCmdUI* pCmdUI) {
    pCmdUI->Enable(zoomTop >= 0);
}

void COleSheetView::OnFitPage() {
    PushZoomState();
    zoomKind = ZOOM_FIT_PAGE;
    pageMargin = 0.015625f;
    Invalidate(TRUE);
}

void COleSheetView::OnUpdateFitPage(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(zoomKind == ZOOM_FIT_PAGE);
}

void COleSheetView::OnRealSize() {
    PushZoomState();
    zoomKind = ZOOM_REAL_SIZE;
    Invalidate(TRUE);
}

void COleSheetView::OnUpdateRealSize(CCmdUI* pCmdUI) {
    floatBBox e;
    if (COleSheetDoc* doc = GetSheetDoc()) doc->GetExtent(e);
    pCmdUI->Enable(std::max(e.right - e.left, e.top - e.bottom) < 500);
    pCmdUI->SetCheck(zoomKind == ZOOM_REAL_SIZE);
}

void COleSheetView::OnSmallerPage() {
    PushZoomState();
    zoomKind = ZOOM_FIT_PAGE;
    pageMargin = std::max(0.0f, std::min(pageMargin + 0.0625f, 0.46875f));
    Invalidate(TRUE);
}

void COleSheetView::OnUpdateSmallerPage(CCmdUI* pCmdUI) {
    pCmdUI->Enable(pageMargin < 0.46875f);
}

void COleSheetView::OnGrid() {
    SheetSettings::Grid = !SheetSettings::Grid;
    Invalidate(TRUE);
}

void COleSheetView::OnUpdateGrid(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(SheetSettings::Grid);
}
