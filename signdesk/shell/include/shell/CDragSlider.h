#pragma once
// A slider the user can also drag from: inside its own area it is an ordinary slider; once
// the pointer leaves it with the button held every move sends WM_CTRLDRAGOVER to the target
// and the release WM_CTRLDROP. A left click without a drag posts WM_COMMAND (its id, its
// window) to the target, a right click WM_COMMAND (its id, 0).

#include <mfc/CControls.h>

#include "shell/CtrlDragSource.h"

class CDragSlider : public CSliderCtrl, public CtrlDragSource {
protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
