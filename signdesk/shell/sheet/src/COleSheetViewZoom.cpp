// The sheet view's mapping: world millimetres to pixels, the zoom kinds and their history,
// scrolling with the rulers and auto-scrolling while a mode drags outside the window.

#include <cmath>

#include <mfc/CClientDC.h>
#include <mfc/CDC.h>
#include <shell/BoxTransforms.h>
#include <shell/PrivateMessages.h>

#include "sheet/COleOperatingMode.h"
#include "sheet/COleRuler.h"
#include "sheet/COleSheetDoc.h"
#include "sheet/COleSheetFrame.h"
#include "sheet/COleSheetView.h"
#include "sheet/SheetSettings.h"

namespace {

int Truncate(float v) {
    // Far outside the window a coordinate only has to stay there.
    if (!(v > -1e9f)) return -1000000000;
    if (!(v < 1e9f)) return 1000000000;
    return int(v);
}

} // namespace

// ---- coordinates ----

void COleSheetView::ClientToWorld(int x, int y, floatPoint& out) const {
    const CPoint scroll = GetDeviceScrollPosition();
    float fx = float(x + scroll.x), fy = float(y + scroll.y);
    worldToDevice.Inv().Transform(fx, fy);
    out = floatPoint(fx, fy);
}

void COleSheetView::WorldToClient(float x, float y, CPoint& out) const {
    worldToDevice.Transform(x, y);
    const CPoint scroll = GetDeviceScrollPosition();
    out = CPoint(Truncate(x - float(scroll.x)), Truncate(y - float(scroll.y)));
}

void COleSheetView::GetWorldToClientMatrix(floatTMatrix& out) const {
    out = worldToDevice;
    const CPoint scroll = GetDeviceScrollPosition();
    out.Translate(float(-scroll.x), float(-scroll.y));
}

void COleSheetView::GetClientToWorldMatrix(floatTMatrix& out) const {
    const CPoint scroll = GetDeviceScrollPosition();
    floatTMatrix shift;
    shift.Translate(float(scroll.x), float(scroll.y));
    out = shift * worldToDevice.Inv();
}

void COleSheetView::InvalidateWorldRect(const floatBBox* box, BOOL erase, int margin) {
    if (box == nullptr || m_hWnd == nullptr) return;
    floatTMatrix m;
    GetWorldToClientMatrix(m);
    floatBBox b = *box;
    TransformBBox(m, b);
    const int grow = margin + SheetSettings::UsableMouseSens();
    CRect r(Truncate(b.left) - grow, Truncate(b.bottom) - grow, Truncate(b.right) + grow,
            Truncate(b.top) + grow);
    InvalidateRect(&r, erase);
}

void COleSheetView::SetCursorToWorld(const floatPoint* p) {
    if (p == nullptr) return;
    CPoint c;
    WorldToClient(p->x, p->y, c);
    ClientToScreen(&c);
    ::SetCursorPos(c.x, c.y);
}

void COleSheetView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    if (pHint != nullptr) {
        InvalidateWorldRect(reinterpret_cast<const floatBBox*>(pHint), FALSE, 8);
        return;
    }
    if (lHint == HINT_DOCCHANGED) return;
    CScrollView::OnUpdate(pSender, lHint, pHint);
}

// ---- matrices by zoom kind ----

void COleSheetView::SetFitPageMatrix() {
    CRect client;
    GetClientRect(&client);
    floatBBox extent;
    if (COleSheetDoc* doc = GetSheetDoc()) doc->GetExtent(extent);
    const int margin = int(pageMargin * float(std::min(client.Width(), client.Height())));
    Centre(worldToDevice, extent.left, extent.top, extent.right, extent.bottom, 0, 0,
           float(client.Width()), float(client.Height()), float(margin));
    // Pixels that are not square still show the page undistorted.
    HDC screen = ::GetDC(nullptr);
    const int ax = ::GetDeviceCaps(screen, ASPECTX), ay = ::GetDeviceCaps(screen, ASPECTY);
    ::ReleaseDC(nullptr, screen);
    if (ax > 0 && ay > 0 && ax != ay) {
        floatTMatrix aspect;
        aspect.Scale(1, float(ay) / float(ax));
        worldToDevice *= aspect;
    }
}

void COleSheetView::SetRealSizeMatrix(CDC* pDC) {
    HDC attrib = pDC && pDC->m_hAttribDC ? pDC->m_hAttribDC : nullptr;
    HDC screen = attrib ? nullptr : ::GetDC(nullptr);
    HDC dc = attrib ? attrib : screen;
    const int hs = ::GetDeviceCaps(dc, HORZSIZE), vs = ::GetDeviceCaps(dc, VERTSIZE);
    const double px = hs > 0 ? double(::GetDeviceCaps(dc, HORZRES)) / hs : 1;
    const double py = vs > 0 ? double(::GetDeviceCaps(dc, VERTRES)) / vs : 1;
    if (screen) ::ReleaseDC(nullptr, screen);
    floatBBox e;
    if (COleSheetDoc* doc = GetSheetDoc()) doc->GetExtent(e);
    worldToDevice.BoxTransformation(e.left, e.top, e.right, e.bottom, 0, 0,
                                    float((e.right - e.left) * px), float((e.top - e.bottom) * py));
}

void COleSheetView::RefitMatrix(CDC* pDC) {
    if (zoomKind == ZOOM_FREE) return;
    const floatTMatrix before = worldToDevice;
    if (zoomKind == ZOOM_FIT_PAGE)
        SetFitPageMatrix();
    else
        SetRealSizeMatrix(pDC);
    if (worldToDevice != before) UpdateScrollSizes();
}

void COleSheetView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    preparingDC = TRUE;
    if (pInfo != nullptr && pDC->IsPrinting()) {
        const int hr = pDC->GetDeviceCaps(HORZRES), vr = pDC->GetDeviceCaps(VERTRES);
        const int hs = pDC->GetDeviceCaps(HORZSIZE), vs = pDC->GetDeviceCaps(VERTSIZE);
        floatBBox e;
        if (COleSheetDoc* doc = GetSheetDoc()) doc->GetExtent(e);
        if (printFitToPage) {
            // The extent with y flipped, fitted into the printable area.
            floatTMatrix flip;
            flip.BoxTransformation(e.left, e.top, e.right, e.bottom, e.left, e.bottom, e.right,
                                   e.top);
            floatTMatrix fit;
            TransferBBox(e, floatBBox(0, 0, float(hr - 1), float(vr - 1)), fit, 0, 1, 0, 0, 0);
            printMatrix = flip * fit;
            if (hs > 0 && vs > 0 && hr > 0) {
                floatTMatrix square;
                square.Scale(1, float((double(vr) / vs) / (double(hr) / hs)));
                printMatrix *= square;
            }
        } else {
            const double px = hs > 0 ? double(hr) / hs : 1, py = vs > 0 ? double(vr) / vs : 1;
            printMatrix.BoxTransformation(e.left, e.top, e.right, e.bottom, 0, 0,
                                          float((e.right - e.left) * px),
                                          float((e.top - e.bottom) * py));
        }
    } else {
        RefitMatrix(pDC);
    }
    CScrollView::OnPrepareDC(pDC, pInfo);
    preparingDC = FALSE;
}

void COleSheetView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
    CScrollView::OnEndPrinting(pDC, pInfo);
    UpdateScrollSizes();
}

void COleSheetView::UpdateScrollSizes() {
    if (m_hWnd == nullptr) return;
    floatBBox e;
    if (COleSheetDoc* doc = GetSheetDoc()) doc->GetExtent(e);
    TransformBBox(worldToDevice, e);
    CRect client;
    GetClientRect(&client);
    const CSize total(std::max(0, Truncate(e.right) - Truncate(e.left)),
                      std::max(0, Truncate(e.top) - Truncate(e.bottom)));
    const CSize page = client.IsRectEmpty() ? sizeDefault : CSize(client.Width(), client.Height());
    SetScrollSizes(MM_TEXT, total, page, CSize(10, 10));
    for (bool horizontal : {true, false})
        if (COleRuler* ruler = GetRuler(horizontal); ruler && ruler->m_hWnd)
            ruler->Invalidate(TRUE);
    PostMessage(WM_VIEWPORTCHANGED);
}

// ---- history ----

void COleSheetView::PushZoomState() {
    if (++zoomTop >= ZOOM_HISTORY_DEPTH) {
        for (int i = 0; i + 1 < ZOOM_HISTORY_DEPTH; ++i)
            zoomHistory[i] = zoomHistory[i + 1];
        zoomTop = ZOOM_HISTORY_DEPTH - 1;
    }
    ZoomState& s = zoomHistory[zoomTop];
    s.kind = zoomKind;
    s.margin = pageMargin;
    s.matrix = worldToDevice;
    s.scroll = GetDeviceScrollPosition();
}

void COleSheetView::PopZoomState() {
    if (zoomTop < 0) return;
    const ZoomState& s = zoomHistory[zoomTop];
    zoomKind = s.kind;
    pageMargin = s.margin;
    if (zoomKind == ZOOM_FIT_PAGE) {
        Invalidate(TRUE);
        for (bool horizontal : {true, false})
            if (COleRuler* ruler = GetRuler(horizontal); ruler && ruler->m_hWnd)
                ruler->Invalidate(TRUE);
    } else {
        worldToDevice = s.matrix;
        UpdateScrollSizes();
        ScrollToPosition(s.scroll);
        Invalidate(TRUE);
    }
    --zoomTop;
}

// ---- free zoom ----

float COleSheetView::FreeZoomLimit() {
    return (::GetVersion() & 0x80000000u) ? 32700.0f : 8371200.0f;
}

BOOL COleSheetView::CheckFreeZoom(float scaleX, float scaleY, const floatBBox& extent,
                                  int kindBefore) {
    const double w = std::fabs(double(scaleX)) * (double(extent.right) - extent.left);
    const double h = std::fabs(double(scaleY)) * (double(extent.top) - extent.bottom);
    const double limit = FreeZoomLimit();
    if (w > 0 && h > 0 && w <= limit && h <= limit) return TRUE;
    Invalidate(TRUE);
    ::MessageBeep(0);
    --zoomTop;
    // Refused: the view stays as it was, its zoom kind included.
    zoomKind = kindBefore;
    return FALSE;
}

void COleSheetView::ZoomAt(float factor, const CPoint* clientPoint) {
    if (clientPoint == nullptr) return;
    PushZoomState();
    floatBBox e;
    if (mode)
        mode->GetExtent(e);
    else if (COleSheetDoc* doc = GetSheetDoc())
        doc->GetExtent(e);
    const int kindBefore = zoomKind;
    zoomKind = ZOOM_FREE;
    if (!CheckFreeZoom(worldToDevice.m11 * factor, worldToDevice.m22 * factor, e, kindBefore))
        return;
    floatPoint p;
    ClientToWorld(clientPoint->x, clientPoint->y, p);
    floatTMatrix scale;
    scale.Scale(factor, factor);
    worldToDevice *= scale;
    // The extent's top-left corner at the device origin, so that the scroll range covers it.
    float ox = e.left, oy = e.top;
    worldToDevice.Transform(ox, oy);
    worldToDevice.Translate(-ox, -oy);
    UpdateScrollSizes();
    float dx = p.x, dy = p.y;
    worldToDevice.Transform(dx, dy);
    ScrollToPosition(
        CPoint(Truncate(dx - float(clientPoint->x)), Truncate(dy - float(clientPoint->y))));
    Invalidate(TRUE);
}

void COleSheetView::ZoomToClientBox(float left, float top, float right, float bottom,
                                    float margin) {
    PushZoomState();
    floatBBox e;
    if (mode)
        mode->GetExtent(e);
    else if (COleSheetDoc* doc = GetSheetDoc())
        doc->GetExtent(e);
    const int kindBefore = zoomKind;
    zoomKind = ZOOM_FREE;
    CRect client;
    GetClientRect(&client);
    floatTMatrix m;
    Centre(m, left, top, right, bottom, 0, 0, float(client.Width()), float(client.Height()),
           margin);
    if (right <= left || bottom <= top) {
        // Nothing to zoom to.
        CheckFreeZoom(0, 0, e, kindBefore);
        return;
    }
    const float sx = m.m11 * worldToDevice.m11, sy = m.m22 * worldToDevice.m22;
    if (!CheckFreeZoom(sx, sy, e, kindBefore)) return;
    floatPoint p;
    ClientToWorld(Truncate(left), Truncate(top), p);
    const float width = std::fabs(sx) * (e.right - e.left),
                height = std::fabs(sy) * (e.top - e.bottom);
    worldToDevice.BoxTransformation(e.left, e.top, e.right, e.bottom, 0, 0, width, height);
    UpdateScrollSizes();
    float dx = p.x, dy = p.y;
    worldToDevice.Transform(dx, dy);
    ScrollToPosition(CPoint(Truncate(dx), Truncate(dy)));
    Invalidate(TRUE);
}

void COleSheetView::ZoomToRect(const CRect* clientRect) {
    if (clientRect == nullptr) return;
    ZoomToClientBox(float(clientRect->left), float(clientRect->top), float(clientRect->right),
                    float(clientRect->bottom), 5);
}

void COleSheetView::ZoomToBox(floatBBox worldBox) {
    floatTMatrix m;
    GetWorldToClientMatrix(m);
    TransformBBox(m, worldBox);
    // After the transformation bottom holds the smaller device y.
    ZoomToClientBox(worldBox.left, worldBox.bottom, worldBox.right, worldBox.top, 10);
}

// ---- scrolling ----

void COleSheetView::ScrollRuler(bool horizontal, int amount) {
    COleRuler* ruler = GetRuler(horizontal);
    if (ruler == nullptr || ruler->m_hWnd == nullptr || amount == 0) return;
    ruler->HideMarker();
    if (horizontal)
        ruler->ScrollWindow(amount, 0);
    else
        ruler->ScrollWindow(0, amount);
    ruler->UpdateWindow();
    ruler->ShowMarker();
}

// A scroll bar's step: the cross-hair and the ruler's marker stay off while the view and
// its ruler move.
void COleSheetView::ScrollAlong(bool horizontal, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    EraseCrossHair();
    COleRuler* ruler = GetRuler(horizontal);
    if (ruler && ruler->m_hWnd) ruler->HideMarker();
    const CPoint before = GetDeviceScrollPosition();
    if (horizontal)
        CScrollView::OnHScroll(nSBCode, nPos, pScrollBar);
    else
        CScrollView::OnVScroll(nSBCode, nPos, pScrollBar);
    const CPoint after = GetDeviceScrollPosition();
    const int amount = horizontal ? before.x - after.x : before.y - after.y;
    if (ruler && ruler->m_hWnd && amount != 0) {
        ruler->ScrollWindow(horizontal ? amount : 0, horizontal ? 0 : amount);
        ruler->UpdateWindow();
    }
    if (ruler && ruler->m_hWnd) ruler->ShowMarker();
    ShowCrossHair();
    PostMessage(WM_VIEWPORTCHANGED);
}

void COleSheetView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    ScrollAlong(true, nSBCode, nPos, pScrollBar);
}

void COleSheetView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    ScrollAlong(false, nSBCode, nPos, pScrollBar);
}

// ---- auto-scroll ----

void COleSheetView::StartAutoScroll(UINT ms) {
    if (autoScrollTimer != 0) KillTimer(autoScrollTimer);
    autoScrollTimer = SetTimer(AUTOSCROLL_TIMER, ms);
}

void COleSheetView::StopAutoScroll() {
    if (autoScrollTimer == 0) return;
    KillTimer(autoScrollTimer);
    autoScrollTimer = 0;
}

void COleSheetView::AutoScrollStep(int x, int y) {
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(CPoint(x, y))) {
        StopAutoScroll();
        return;
    }
    // One pixel behind at the left and top edges, as the step has always been.
    const int dx = (x > client.left && x < client.right) ? 0
                   : x <= client.left                    ? x - client.left + 1
                                                         : x - client.right + 1;
    const int dy = (y > client.top && y < client.bottom) ? 0
                   : y <= client.top                     ? y - client.top + 1
                                                         : y - client.bottom + 1;
    if (dx == 0 && dy == 0) {
        StopAutoScroll();
        return;
    }
    StartAutoScroll(200);
    if (mode) mode->HideFeedback();
    const CPoint before = GetDeviceScrollPosition();
    ScrollToPosition(CPoint(before.x + dx, before.y + dy));
    const CPoint after = GetDeviceScrollPosition();
    if (mode) {
        mode->bandStart.x -= after.x - before.x;
        mode->bandStart.y -= after.y - before.y;
    }
    UpdateWindow();
    if (mode) mode->ShowFeedback();
    ScrollRuler(true, before.x - after.x);
    ScrollRuler(false, before.y - after.y);
    PostMessage(WM_VIEWPORTCHANGED);
}
