#pragma once
// A button that reports every mouse event to its parent as WM_COMMAND (its id, lParam 0),
// after recording the event. It never takes the focus or shows itself pressed on its own.

#include <cstdint>

#include <mfc/CControls.h>

class CMouseEventButton : public CButton {
public:
    enum { LeftDown = 0, LeftUp = 1, RightDown = 2, RightUp = 3, MouseMove = 4 };

    // The last event, in client coordinates.
    POINT eventPoint{0, 0};
    std::uint32_t eventFlags = 0;
    // 1 when a mouse move arrived while this button held the capture.
    std::int32_t eventCaptured = 0;
    std::int32_t eventKind = LeftDown;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void Record(int kind, UINT flags, CPoint point, int captured);
};
