#pragma once
// Names a palette colour (dialog 341): one text of at most 80 characters.

#include <mfc/CDialog.h>
#include <mfc/CString.h>

class CPaletteNameDialog : public CDialog {
public:
    explicit CPaletteNameDialog(CWnd* pParent = nullptr);
    CString name;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
