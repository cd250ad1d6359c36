#include "app/CPaletteNameDialog.h"

#include <mfc/CDataExchange.h>

#include "app/AppIds.h"

CPaletteNameDialog::CPaletteNameDialog(CWnd* pParent) : CDialog(IDD_PALETTE_NAME, pParent) {}

void CPaletteNameDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_PN_NAME, name);
    DDV_MaxChars(pDX, name, 80);
}
