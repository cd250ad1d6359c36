#pragma once
// A button the user drags from. While it holds the mouse capture every move sends
// WM_CTRLDRAGOVER to the target, and the release that ends a drag sends WM_CTRLDROP. A
// left click is an ordinary click (BN_CLICKED); a right click without a drag posts
// WM_COMMAND (its id, lParam 0) to the target.

#include <mfc/CControls.h>

#include "shell/CtrlDragSource.h"

class CDragButton : public CButton, public CtrlDragSource {
protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

};
