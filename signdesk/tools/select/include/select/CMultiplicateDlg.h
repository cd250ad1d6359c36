#pragma once
// Dialog 310: how many copies of the selected object to lay out in a grid, and the gaps
// between them.

#include <mfc/CDialog.h>

#include "select/SelectDialogIds.h"

class CMultiplicateDlg : public CDialog {
public:
    CMultiplicateDlg() : CDialog(IDD_MULTIPLICATE) {}

    int columns = 1;
    int rows = 1;
    float gapX = 10; // mm
    float gapY = 10;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
