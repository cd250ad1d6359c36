#include "output/COutputSettingsDlg.h"

#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <plot/Plotter.h>
#include <settings/PathNames.h>
#include <shell/CFolderDialog.h>

COutputSettingsDlg::COutputSettingsDlg(CWnd* parent) : CDialog(IDD, parent) {}

void COutputSettingsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 2600, DRV.jobName);
    DDX_Text(pDX, 2601, DRV.media);
    DDX_Text(pDX, 2602, DRV.color);
    DDX_Text(pDX, 2603, DRV.spoolDirectory);
    DDV_MaxChars(pDX, DRV.spoolDirectory, 255);
}

void COutputSettingsDlg::OnBrowse() {
    if (!UpdateData(TRUE)) return;
    CFolderDialog chooser(AfxGetMainWnd());
    CString start = DRV.spoolDirectory;
    if (!start.IsEmpty()) chooser.m_ofn.lpstrInitialDir = start;
    if (chooser.DoModal() != IDOK) return;
    DRV.spoolDirectory = GetPathDirectory(chooser.GetPathName());
    UpdateData(FALSE);
}

BOOL COutputSettingsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == 2700) {
        OnBrowse();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
