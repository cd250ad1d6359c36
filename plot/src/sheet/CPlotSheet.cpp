#include "CPlotSheet.h"

#include <win32/user.h>

namespace plotsheet {

IMPLEMENT_DYNAMIC(CPlotSheet, CPropertySheet)

CPlotSheet::CPlotSheet(LPCSTR caption, CWnd* parent, UINT firstPage)
    : CPropertySheet(caption, parent, firstPage) {}

BOOL CPlotSheet::OnInitDialog() {
    BOOL result = CPropertySheet::OnInitDialog();
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
        if (CWnd* button = GetDlgItem(id)) button->ShowWindow(SW_HIDE);
    return result;
}

BOOL CPlotSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(DWORD(wParam)) == IDOK) {
        int count = GetPageCount();
        if (count > 0) SetActivePage((GetActiveIndex() + 1) % count);
        return TRUE;
    }
    return CPropertySheet::OnCommand(wParam, lParam);
}

} // namespace plotsheet
