#include "shell/CtrlDragSource.h"

CWnd* CtrlDragSource::DragTarget(const CWnd& self) const {
    return targetWnd ? targetWnd : self.GetParent();
}

void CtrlDragSource::SendToTarget(CWnd& self, UINT message) {
    if (CWnd* target = DragTarget(self))
        target->SendMessage(message, WPARAM(dragFlags), reinterpret_cast<LPARAM>(self.m_hWnd));
}

void CtrlDragSource::RecordPress(UINT flags, CPoint point, UINT button) {
    pressPoint = POINT{point.x, point.y};
    dragged = 0;
    dragFlags = std::uint32_t(flags | button);
}

void CtrlDragSource::RecordRelease(UINT flags, CPoint point, UINT button) {
    releasePoint = POINT{point.x, point.y};
    dblClicked = 0;
    dragFlags = std::uint32_t(flags | button);
}
