#pragma once
// The cut job's settings before a spooled cut (template 1544): job name, media, colour and
// spool folder, exchanged with the shared binding directly.
#include <mfc/CDialog.h>

class COutputSettingsDlg : public CDialog {
public:
    enum { IDD = 1544 };
    explicit COutputSettingsDlg(CWnd* parent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnBrowse();
};
