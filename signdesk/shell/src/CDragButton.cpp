#include "shell/CDragButton.h"

BEGIN_MESSAGE_MAP(CDragButton, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CWnd* CDragButton::Target() const {
    return targetWnd ? targetWnd : GetParent();
}

void CDragButton::SendToTarget(UINT message) {
    if (CWnd* target = Target())
        target->SendMessage(message, WPARAM(dragFlags), reinterpret_cast<LPARAM>(this));
}

void CDragButton::OnLButtonDown(UINT nFlags, CPoint point) {
    pressPoint = POINT{point.x, point.y};
    dragged = 0;
    dragFlags = std::uint32_t(nFlags | MK_LBUTTON);
    Default(); // the button captures the mouse and shows itself pressed
}

void CDragButton::OnRButtonDown(UINT nFlags, CPoint point) {
    pressPoint = POINT{point.x, point.y};
    dragged = 0;
    dragFlags = std::uint32_t(nFlags | MK_RBUTTON);
    SetCapture();
}

void CDragButton::OnMouseMove(UINT, CPoint) {
    if (::GetCapture() == m_hWnd) {
        dragged = 1;
        SendToTarget(WM_CTRLDRAGOVER);
    }
    Default();
}

void CDragButton::OnLButtonUp(UINT nFlags, CPoint point) {
    releasePoint = POINT{point.x, point.y};
    dblClicked = 0;
    dragFlags = std::uint32_t(nFlags | MK_LBUTTON);
    if (dragged) SendToTarget(WM_CTRLDROP);
    Default();
    dragged = 0;
}

void CDragButton::OnRButtonUp(UINT nFlags, CPoint point) {
    ::ReleaseCapture();
    releasePoint = POINT{point.x, point.y};
    dblClicked = 0;
    dragFlags = std::uint32_t(nFlags | MK_RBUTTON);
    if (dragged) {
        SendToTarget(WM_CTRLDROP);
        dragged = 0;
    } else if (CWnd* target = Target()) {
        target->PostMessage(WM_COMMAND, WPARAM(GetDlgCtrlID() & 0xFFFF), 0);
    }
}

void CDragButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    pressPoint = releasePoint = POINT{point.x, point.y};
    dblClicked = 1;
    dragFlags = std::uint32_t(nFlags | MK_LBUTTON);
    Default();
}
