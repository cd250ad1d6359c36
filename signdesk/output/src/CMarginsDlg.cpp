#include "output/CMarginsDlg.h"

#include <mfc/CDataExchange.h>
#include <settings/CIniFile.h>
#include <settings/ProgramFolders.h>
#include <shell/MeasureFields.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"

CMarginsDlg::CMarginsDlg(CPrintEngine& e, CWnd* parent)
    : CDialog(IDD, parent), top(e.topMargin), right(e.rightMargin), left(e.leftMargin),
      bottom(e.bottomMargin), engine_(e) {}

void CMarginsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Measure(pDX, 2600, top);
    DDV_Measure(pDX, top, 0, 150);
    DDX_Measure(pDX, 2601, right);
    DDV_Measure(pDX, right, 0, 150);
    DDX_Measure(pDX, 2602, left);
    DDV_Measure(pDX, left, 0, 150);
    DDX_Measure(pDX, 2603, bottom);
    DDV_Measure(pDX, bottom, 0, 150);
}

void CMarginsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    engine_.topMargin = top;
    engine_.rightMargin = right;
    engine_.leftMargin = left;
    engine_.bottomMargin = bottom;
    engine_.tiles.SetTileSize(engine_.mediaWidth - left - right,
                              engine_.mediaHeight - top - bottom);
    engine_.tiles.SetSelection(1);
    engine_.MoveToMarginCorner();
    engine_.UpdateLayout(1);
    CString file = GetProfileFileName();
    if (!file.IsEmpty()) {
        CIniFile ini(file);
        ini.WriteFloat("General", "leftMargin", left);
        ini.WriteFloat("General", "topMargin", top);
        ini.WriteFloat("General", "rightMargin", right);
        ini.WriteFloat("General", "bottomMargin", bottom);
        ini.Flush();
    }
    EndDialog(IDOK);
}
