#include "output/CPrintAndCutPage.h"

#include <mfc/CColorDialog.h>
#include <mfc/CDataExchange.h>
#include <mfc/CFileDialog.h>
#include <settings/PathNames.h>
#include <win32/controls.h>

#include "output/PrintOptions.h"

CPrintAndCutPage::CPrintAndCutPage() : CPropertyPage(IDD) {}

BOOL CPrintAndCutPage::OnInitDialog() {
    swatch_.SubclassDlgItem(1130, this);
    swatch_.color = markColor;
    CPropertyPage::OnInitDialog();
    CheckRadioButton(2640, 2644, 2640 + (choice >= 0 && choice <= 4 ? choice : 0));
    return TRUE;
}

void CPrintAndCutPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Radio(pDX, 2640, choice);
    DDX_Check(pDX, 2660, cropMarks);
    DDX_Radio(pDX, 2647, syncMarks);
    int detailChoice = detail > 1 ? 1 : detail;
    DDX_Radio(pDX, 2645, detailChoice);
    if (pDX->m_bSaveAndValidate && detailChoice >= 0) detail = detailChoice;
    DDX_Text(pDX, 2600, profilePath);
    DDV_MaxChars(pDX, profilePath, 255);
    DDX_Check(pDX, 2662, colourCalibration);
    if (m_hWnd) Enable();
}

void CPrintAndCutPage::Enable() {
    if (CWnd* w = GetDlgItem(2660)) w->EnableWindow(syncMarks != 2);
    for (int id : {2600, 2701})
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(colourCalibration);
}

BOOL CPrintAndCutPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED) return CPropertyPage::OnCommand(wParam, lParam);
    if (id >= 2640 && id <= 2644) {
        CheckRadioButton(2640, 2644, id);
        choice = id - 2640;
        return TRUE;
    }
    switch (id) {
    case 1130: {
        CColorDialog dlg(markColor, 0, this);
        if (dlg.DoModal() == IDOK) {
            markColor = dlg.GetColor();
            swatch_.color = markColor;
            swatch_.Invalidate();
        }
        return TRUE;
    }
    case 2701: {
        PrintOptions& o = ThePrintOptions();
        CString filter;
        if (!filter.LoadString(361)) filter = "Colour profiles (*.wcl)|*.wcl||";
        CFileDialog dlg(TRUE, "wcl", nullptr, 0, filter, this);
        CString start = o.wclPath;
        if (!start.IsEmpty()) dlg.m_ofn.lpstrInitialDir = start;
        if (dlg.DoModal() == IDOK) {
            profilePath = dlg.GetPathName();
            o.wclPath = GetPathDirectory(profilePath);
            UpdateData(FALSE);
        }
        return TRUE;
    }
    case 2662:
    case 2647:
    case 2648:
    case 2649:
        UpdateData(TRUE);
        return TRUE;
    default:
        return CPropertyPage::OnCommand(wParam, lParam);
    }
}
