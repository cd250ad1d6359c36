#pragma once
// A button the user drags from. While it holds the mouse capture every move sends
// WM_CTRLDRAGOVER to the target, and the release that ends a drag sends WM_CTRLDROP. A
// left click is an ordinary click (BN_CLICKED); a right click without a drag posts
// WM_COMMAND (its id, lParam 0) to the target.

#include <cstdint>

#include <mfc/CControls.h>

#include "shell/CtrlDragMessages.h"

class CDragButton : public CButton {
public:
    // Set once the captured mouse has moved.
    std::int32_t dragged = 0;
    // Key flags of the current press, with MK_LBUTTON or MK_RBUTTON.
    std::uint32_t dragFlags = 0;
    POINT pressPoint{0, 0};
    // The last release or double click.
    POINT releasePoint{0, 0};
    std::int32_t dblClicked = 0;
    // Receives the drag messages and the right-click command; null means the parent.
    CWnd* targetWnd = nullptr;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    CWnd* Target() const;
    void SendToTarget(UINT message);
};
