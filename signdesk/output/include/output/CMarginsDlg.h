#pragma once
// The page margins (template 431), 0 to 150 mm each; OK stores them in the layout and the
// profile and moves the block to the margin corner.
#include <mfc/CDialog.h>

class CPrintEngine;

class CMarginsDlg : public CDialog {
public:
    enum { IDD = 431 };
    CMarginsDlg(CPrintEngine& engine, CWnd* parent = nullptr);
    float top, right, left, bottom;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    CPrintEngine& engine_;
};
