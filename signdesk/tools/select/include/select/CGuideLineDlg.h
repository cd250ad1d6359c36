#pragma once
// Dialog 359: a guide line's anchor point and angle.

#include <mfc/CDialog.h>

#include "select/SelectDialogIds.h"

class CGuideLineDlg : public CDialog {
public:
    CGuideLineDlg() : CDialog(IDD_GUIDE_LINE) {}

    float x = 0, y = 0; // mm
    float degrees = 0;  // -90 to 90

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
