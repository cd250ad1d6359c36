#include "shell/CFolderDialog.h"

#include <mfc/CWinApp.h>
#include <win32/resource.h>

namespace {

constexpr int FileTypesLabel = 1089;
constexpr int FileNameLabel = 1090;
constexpr int FileList = 1120;
constexpr int FolderList = 1121;
constexpr int FileTypes = 1136;
constexpr int FileName = 1152;

} // namespace

BEGIN_MESSAGE_MAP(CFolderDialog, CFileDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CFolderDialog::CFolderDialog(CWnd* pParentWnd)
    : CFileDialog(FALSE, nullptr, nullptr,
                  OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_SHOWHELP | OFN_ENABLETEMPLATE,
                  nullptr, pParentWnd) {
    m_ofn.Flags &= ~DWORD(OFN_EXPLORER);
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpTemplateName = MAKEINTRESOURCEA(TemplateId);
}

BOOL CFolderDialog::OnInitDialog() {
    CenterWindow();
    for (int id : {FileTypesLabel, FileNameLabel, FileList, FileTypes, FileName})
        if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
    SetDlgItemText(FileName, "Junk");
    if (CWnd* folders = GetDlgItem(FolderList)) folders->SetFocus();
    selectFirstPending = TRUE;
    CFileDialog::OnInitDialog();
    return FALSE;
}

void CFolderDialog::OnPaint() {
    if (selectFirstPending) {
        selectFirstPending = FALSE;
        ::SendDlgItemMessageA(m_hWnd, FolderList, LB_SETCURSEL, 0, 0);
    }
    CFileDialog::OnPaint();
}
