#include "mfc/CColorDialog.h"

#include <cstdio>

#include "DialogTemplateWriter.h"

IMPLEMENT_DYNAMIC(CColorDialog, CDialog)

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) {
    m_pParentWnd = pParentWnd;
    m_cc.lStructSize = sizeof m_cc;
    m_cc.rgbResult = clrInit;
    m_cc.Flags = dwFlags | CC_RGBINIT;
}

CColorDialog::~CColorDialog() = default;

LPCDLGTEMPLATE CColorDialog::FindTemplate(int* templateId) const {
    *templateId = 0;
    return reinterpret_cast<LPCDLGTEMPLATE>(m_template.data());
}

INT_PTR CColorDialog::DoModal() {
    const std::vector<sddlg::Item> items = {
        {"Static", "&Red:", -1, 0, 6, 8, 30, 9},
        {"Edit", "", SD_COLOR_RED, WS_TABSTOP | WS_BORDER | ES_NUMBER, 40, 6, 30, 12},
        {"Static", "&Green:", -1, 0, 6, 24, 30, 9},
        {"Edit", "", SD_COLOR_GREEN, WS_TABSTOP | WS_BORDER | ES_NUMBER, 40, 22, 30, 12},
        {"Static", "&Blue:", -1, 0, 6, 40, 30, 9},
        {"Edit", "", SD_COLOR_BLUE, WS_TABSTOP | WS_BORDER | ES_NUMBER, 40, 38, 30, 12},
        {"Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 80, 6, 50, 14},
        {"Button", "Cancel", IDCANCEL, WS_TABSTOP, 80, 24, 50, 14},
    };
    m_template = sddlg::BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 136, 56,
                                      "Color", items);
    m_cc.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    return CDialog::DoModal();
}

BOOL CColorDialog::OnInitDialog() {
    SetDlgItemInt(SD_COLOR_RED, GetRValue(m_cc.rgbResult), FALSE);
    SetDlgItemInt(SD_COLOR_GREEN, GetGValue(m_cc.rgbResult), FALSE);
    SetDlgItemInt(SD_COLOR_BLUE, GetBValue(m_cc.rgbResult), FALSE);
    return CDialog::OnInitDialog();
}

void CColorDialog::OnOK() {
    BYTE parts[3];
    const int ids[3] = {SD_COLOR_RED, SD_COLOR_GREEN, SD_COLOR_BLUE};
    for (int i = 0; i < 3; ++i) {
        BOOL ok = FALSE;
        const UINT value = GetDlgItemInt(ids[i], &ok, FALSE);
        if (!ok || value > 255) {
            MessageBox("Enter a number from 0 to 255.", nullptr, MB_OK | MB_ICONEXCLAMATION);
            GotoDlgCtrl(GetDlgItem(ids[i]));
            return;
        }
        parts[i] = BYTE(value);
    }
    m_cc.rgbResult = RGB(parts[0], parts[1], parts[2]);
    CDialog::OnOK();
}
