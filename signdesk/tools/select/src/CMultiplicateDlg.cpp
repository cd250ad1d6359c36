#include "select/CMultiplicateDlg.h"

#include <mfc/CDataExchange.h>
#include <shell/MeasureFields.h>
#include <win32/controls.h>

BOOL CMultiplicateDlg::OnInitDialog() {
    for (int spin : {IDC_MUL_COLUMNS_SPIN, IDC_MUL_ROWS_SPIN}) {
        const int buddy = spin == IDC_MUL_COLUMNS_SPIN ? IDC_MUL_COLUMNS : IDC_MUL_ROWS;
        ::SendDlgItemMessage(m_hWnd, spin, UDM_SETBUDDY, WPARAM(::GetDlgItem(m_hWnd, buddy)), 0);
        ::SendDlgItemMessage(m_hWnd, spin, UDM_SETRANGE32, 1, 100);
    }
    return CDialog::OnInitDialog();
}

void CMultiplicateDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MUL_COLUMNS, columns);
    DDV_MinMaxInt(pDX, columns, 1, 100);
    DDX_Text(pDX, IDC_MUL_ROWS, rows);
    DDV_MinMaxInt(pDX, rows, 1, 100);
    DDX_Measure(pDX, IDC_MUL_GAP_X, gapX);
    DDV_Measure(pDX, gapX, 0, 1000);
    DDX_Measure(pDX, IDC_MUL_GAP_Y, gapY);
    DDV_Measure(pDX, gapY, 0, 1000);
}
