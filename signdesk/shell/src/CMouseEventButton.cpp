#include "shell/CMouseEventButton.h"

BEGIN_MESSAGE_MAP(CMouseEventButton, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

void CMouseEventButton::Record(int kind, UINT flags, CPoint point, int captured) {
    eventPoint = POINT{point.x, point.y};
    eventFlags = flags;
    eventCaptured = captured;
    eventKind = kind;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, WPARAM(GetDlgCtrlID() & 0xFFFF), 0);
}

void CMouseEventButton::OnLButtonDown(UINT nFlags, CPoint point) {
    SetCapture();
    Record(LeftDown, nFlags, point, 0);
}

void CMouseEventButton::OnLButtonUp(UINT nFlags, CPoint point) {
    ::ReleaseCapture();
    Record(LeftUp, nFlags, point, 0);
}

void CMouseEventButton::OnRButtonDown(UINT nFlags, CPoint point) {
    SetCapture();
    Record(RightDown, nFlags, point, 0);
}

void CMouseEventButton::OnRButtonUp(UINT nFlags, CPoint point) {
    ::ReleaseCapture();
    Record(RightUp, nFlags, point, 0);
}

void CMouseEventButton::OnMouseMove(UINT nFlags, CPoint point) {
    Record(MouseMove, nFlags, point, ::GetCapture() == m_hWnd ? 1 : 0);
}
