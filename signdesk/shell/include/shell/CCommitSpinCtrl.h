#pragma once
// A spin control that commits its buddy's value: releasing the mouse button over it posts
// Enter (WM_KEYDOWN, VK_RETURN) to the buddy, so that a CFilterEdit buddy sends its commit.

#include <mfc/CControls.h>

class CCommitSpinCtrl : public CSpinButtonCtrl {
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;
};
