#pragma once
// The cut page's two dialogs: the spool job's header texts and folder, and the length and
// count a device operation asks for.

#include <mfc/CDialog.h>
#include <mfc/CString.h>

namespace plotsheet {

class CSpoolJobDialog : public CDialog {
public:
    explicit CSpoolJobDialog(CWnd* parent = nullptr);
    // From the plot library's texts (DRV) on show; back into them on OK.
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBrowse();
    DECLARE_MESSAGE_MAP()

    CString name_, media_, colour_, folder_;
};

class CJobParamDialog : public CDialog {
public:
    explicit CJobParamDialog(CWnd* parent = nullptr);

    float length = 0; // mm
    UINT count = 40;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

} // namespace plotsheet
