#include "shell/CDragSlider.h"

BEGIN_MESSAGE_MAP(CDragSlider, CSliderCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

void CDragSlider::OnLButtonDown(UINT nFlags, CPoint point) {
    RecordPress(nFlags, point, MK_LBUTTON);
    Default(); // the slider moves its thumb and captures the mouse
}

void CDragSlider::OnRButtonDown(UINT nFlags, CPoint point) {
    RecordPress(nFlags, point, MK_RBUTTON);
    SetCapture();
}

void CDragSlider::OnLButtonDblClk(UINT nFlags, CPoint point) {
    pressPoint = releasePoint = POINT{point.x, point.y};
    dblClicked = 1;
    dragFlags = std::uint32_t(nFlags | MK_LBUTTON);
    Default();
}

void CDragSlider::OnMouseMove(UINT, CPoint point) {
    CRect client;
    GetClientRect(&client);
    if (::GetCapture() == m_hWnd && !client.PtInRect(point)) {
        dragged = 1;
        SendToTarget(*this, WM_CTRLDRAGOVER);
        return;
    }
    Default(); // thumb tracking
}

void CDragSlider::OnLButtonUp(UINT nFlags, CPoint point) {
    RecordRelease(nFlags, point, MK_LBUTTON);
    Default();
    if (dragged) {
        SendToTarget(*this, WM_CTRLDROP);
        dragged = 0;
    } else if (CWnd* target = DragTarget(*this)) {
        target->PostMessage(WM_COMMAND, WPARAM(GetDlgCtrlID() & 0xFFFF), reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CDragSlider::OnRButtonUp(UINT nFlags, CPoint point) {
    ::ReleaseCapture();
    RecordRelease(nFlags, point, MK_RBUTTON);
    if (dragged) {
        SendToTarget(*this, WM_CTRLDROP);
        dragged = 0;
    } else if (CWnd* target = DragTarget(*this)) {
        target->PostMessage(WM_COMMAND, WPARAM(GetDlgCtrlID() & 0xFFFF), 0);
    }
}
