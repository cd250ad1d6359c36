#include "sheet/COleRuler.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <mfc/CClientDC.h>
#include <mfc/CDC.h>
#include <mfc/CFrameWnd.h>
#include <mfc/CGdiObject.h>
#include <mfc/CMenu.h>
#include <shell/PrivateMessages.h>

#include "sheet/COleSheetFrame.h"
#include "sheet/COleSheetView.h"

IMPLEMENT_DYNAMIC(COleRuler, CControlBar)

BEGIN_MESSAGE_MAP(COleRuler, CControlBar)
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL COleRuler::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    m_dwStyle = dwStyle & CBRS_ALL;
    return CreateBar(nullptr, dwStyle, pParentWnd, nID, WS_EX_CLIENTEDGE);
}

CSize COleRuler::CalcFixedLayout(BOOL, BOOL) {
    return IsHorizontalRuler() ? CSize(32767, 25) : CSize(30, 32767);
}

void COleRuler::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

COleSheetView* COleRuler::ActiveView() const {
    CFrameWnd* frame = GetParentFrame();
    return frame ? DYNAMIC_DOWNCAST(COleSheetView, frame->GetActiveView()) : nullptr;
}

void COleRuler::RulerToWorld(int x, int y, floatPoint& out) const {
    COleSheetView* view = ActiveView();
    if (view == nullptr) {
        out = floatPoint(0, 0);
        return;
    }
    CPoint p(x, y);
    ClientToScreen(&p);
    view->ScreenToClient(&p);
    view->ClientToWorld(p.x, p.y, out);
}

void COleRuler::WorldToRuler(float x, float y, POINT& out) const {
    COleSheetView* view = ActiveView();
    if (view == nullptr) {
        out = {0, 0};
        return;
    }
    CPoint p;
    view->WorldToClient(x, y, p);
    view->ClientToScreen(&p);
    ScreenToClient(&p);
    out = p;
}

COleRuler::TickSteps COleRuler::TickStepsFor(double p) {
    static const TickSteps table[] = {
        {1, 1, 1},       {2, 1, 2},       {5, 1, 5},        {10, 1, 10},   {20, 10, 2},
        {50, 10, 5},     {100, 10, 10},   {200, 50, 4},     {500, 100, 5}, {1000, 100, 10},
        {2000, 1000, 2}, {5000, 1000, 5}, {10000, 1000, 10}};
    for (const TickSteps& s : table)
        if (s.major * p > 30) return s;
    return {10000, 10000, 1};
}

COleRuler::TickSteps COleRuler::ComputeTickSteps() const {
    COleSheetView* view = ActiveView();
    if (view == nullptr) return TickStepsFor(0);
    float x = rulerStep, y = 0;
    view->worldToDevice.dTransform(x, y);
    return TickStepsFor(std::hypot(double(x), double(y)));
}

void COleRuler::DoPaint(CDC* pDC) {
    CRect clip;
    pDC->GetClipBox(&clip);
    if (ActiveView() == nullptr || clip.IsRectEmpty()) return;
    CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_3DHILIGHT));
    CPen dark(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
    CFont* oldFont = nullptr;
    if (auto* frame = DYNAMIC_DOWNCAST(COleSheetFrame, GetParentFrame()))
        oldFont = pDC->SelectObject(frame->GetBarFont());
    pDC->SetBkColor(::GetSysColor(COLOR_3DFACE));
    const UINT oldAlign = pDC->SetTextAlign(TA_BASELINE);
    const TickSteps steps = ComputeTickSteps();
    DrawTicks(pDC, float(steps.minor) * rulerStep, 5, dark, light, 0);
    DrawTicks(pDC, float(steps.major) * rulerStep, 15, dark, light,
              rulerDivisor != 0 ? float(steps.major) / float(rulerDivisor) : 0);
    pDC->SetTextAlign(oldAlign);
    if (oldFont) pDC->SelectObject(oldFont);
    ShowMarker();
}

void COleRuler::DrawTicks(CDC* pDC, float step, int length, CPen& first, CPen& second,
                          float labelFactor) {
    if (!(step > 0)) return;
    CRect clip, client;
    pDC->GetClipBox(&clip);
    GetClientRect(&client);
    const bool horizontal = IsHorizontalRuler();
    floatPoint a, b;
    double from, to;
    if (horizontal) {
        RulerToWorld(clip.left, 0, a);
        RulerToWorld(clip.right, 0, b);
        from = a.x;
        to = b.x;
    } else {
        // World y points up: from the bottom end to the top end.
        RulerToWorld(0, clip.bottom, a);
        RulerToWorld(0, clip.top, b);
        from = a.y;
        to = b.y;
    }
    const double first_ = std::trunc(from / step), last = std::trunc(to / step);
    const int pixels = horizontal ? client.Width() : client.Height();
    if (!(last - first_ <= pixels) || !(last >= first_)) return;
    for (double i = first_; i <= last; ++i) {
        POINT p;
        const float w = float(i * step);
        WorldToRuler(horizontal ? w : 0, horizontal ? 0 : w, p);
        if (horizontal) {
            pDC->SelectObject(&first);
            pDC->MoveTo(p.x, client.bottom);
            pDC->LineTo(p.x, client.bottom - length);
            pDC->SelectObject(&second);
            pDC->MoveTo(p.x + 1, client.bottom);
            pDC->LineTo(p.x + 1, client.bottom - length);
        } else {
            pDC->SelectObject(&first);
            pDC->MoveTo(client.right, p.y);
            pDC->LineTo(client.right - length, p.y);
            pDC->SelectObject(&second);
            pDC->MoveTo(client.right, p.y + 1);
            pDC->LineTo(client.right - length, p.y + 1);
        }
        if (labelFactor != 0) {
            char text[32];
            double label = double(float(i) * labelFactor);
            if (label == 0) label = 0; // no "-0" left of the origin
            std::snprintf(text, sizeof text, "%g", label);
            if (horizontal)
                pDC->ExtTextOut(p.x + 2, client.top + 17, 0, nullptr, text, UINT(std::strlen(text)),
                                nullptr);
            else
                pDC->ExtTextOut(client.left + 2, p.y - 3, 0, nullptr, text, UINT(std::strlen(text)),
                                nullptr);
        }
    }
    pDC->SelectStockObject(BLACK_PEN);
}

void COleRuler::DrawMarker() {
    if (m_hWnd == nullptr) return;
    COleSheetView* view = ActiveView();
    CPoint p(markerPos, markerPos);
    if (view != nullptr) {
        view->ClientToScreen(&p);
        ScreenToClient(&p);
    }
    CClientDC dc(this);
    const int oldRop = dc.SetROP2(R2_NOTXORPEN);
    CRect client;
    GetClientRect(&client);
    if (IsHorizontalRuler()) {
        dc.MoveTo(p.x, client.top);
        dc.LineTo(p.x, client.bottom);
    } else {
        dc.MoveTo(client.left, p.y);
        dc.LineTo(client.right, p.y);
    }
    dc.SetROP2(oldRop);
    markerDrawn = !markerDrawn;
}

void COleRuler::OnLButtonDown(UINT nFlags, CPoint point) {
    SetCapture();
    CControlBar::OnLButtonDown(nFlags, point);
}

void COleRuler::OnMouseMove(UINT nFlags, CPoint point) {
    CRect client;
    GetClientRect(&client);
    if (::GetCapture() == m_hWnd && !client.PtInRect(point)) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_CTRLDRAGOVER, nFlags, reinterpret_cast<LPARAM>(m_hWnd));
    }
    CControlBar::OnMouseMove(nFlags, point);
}

void COleRuler::OnLButtonUp(UINT nFlags, CPoint point) {
    ::ReleaseCapture();
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_CTRLDROP, nFlags, reinterpret_cast<LPARAM>(m_hWnd));
    CControlBar::OnLButtonUp(nFlags, point);
}

void COleRuler::OnRButtonDown(UINT nFlags, CPoint point) {
    auto* frame = DYNAMIC_DOWNCAST(COleSheetFrame, GetParent());
    CMenu menu;
    if (frame != nullptr && frame->BuildUnitsMenu(&menu)) {
        if (CMenu* popup = menu.GetSubMenu(0)) {
            CPoint screen;
            ::GetCursorPos(&screen);
            popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, frame);
        }
    } else {
        CControlBar::OnRButtonDown(nFlags, point);
    }
    menu.DestroyMenu();
}

BOOL COleRuler::OnEraseBkgnd(CDC* pDC) {
    if (markerDrawn) DrawMarker();
    return CControlBar::OnEraseBkgnd(pDC);
}
