#include "shell/CDragButton.h"

BEGIN_MESSAGE_MAP(CDragButton, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

void CDragButton::OnLButtonDown(UINT nFlags, CPoint point) {
    RecordPress(nFlags, point, MK_LBUTTON);
    Default(); // the button captures the mouse and shows itself pressed
}

void CDragButton::OnRButtonDown(UINT nFlags, CPoint point) {
    RecordPress(nFlags, point, MK_RBUTTON);
    SetCapture();
}

void CDragButton::OnMouseMove(UINT, CPoint) {
    if (::GetCapture() == m_hWnd) {
        dragged = 1;
        SendToTarget(*this, WM_CTRLDRAGOVER);
    }
    Default();
}

void CDragButton::OnLButtonUp(UINT nFlags, CPoint point) {
    RecordRelease(nFlags, point, MK_LBUTTON);
    if (dragged) SendToTarget(*this, WM_CTRLDROP);
    Default();
    dragged = 0;
}

void CDragButton::OnRButtonUp(UINT nFlags, CPoint point) {
    ::ReleaseCapture();
    RecordRelease(nFlags, point, MK_RBUTTON);
    if (dragged) {
        SendToTarget(*this, WM_CTRLDROP);
        dragged = 0;
    } else if (CWnd* target = DragTarget(*this)) {
        target->PostMessage(WM_COMMAND, WPARAM(GetDlgCtrlID() & 0xFFFF), 0);
    }
}

void CDragButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    pressPoint = releasePoint = POINT{point.x, point.y};
    dblClicked = 1;
    dragFlags = std::uint32_t(nFlags | MK_LBUTTON);
    Default();
}
