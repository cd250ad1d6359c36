#include "output/CPrintOptionsPage.h"

#include <algorithm>

#include <mfc/CColorDialog.h>
#include <mfc/CDataExchange.h>
#include <mfc/CFileDialog.h>
#include <mfc/CPrintDialog.h>
#include <mfc/CWinApp.h>
#include <settings/CIniFile.h>
#include <settings/PathNames.h>
#include <settings/ProgramFolders.h>
#include <shell/DefaultPrinterPage.h>
#include <shell/MeasureFields.h>
#include <win32/controls.h>
#include <win32/kernel.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"
#include "output/PrintOptions.h"

namespace {
enum : int {
    IDC_PRINT_AND_CUT = 2661,
    IDC_CHOICE0 = 2640,
    IDC_WCL = 2662,
    IDC_PROFILE = 2600,
    IDC_CURVES = 2700,
    IDC_BROWSE = 2701,
    IDC_MARKER_DIST = 2602,
    IDC_CROP = 2660,
    IDC_SYNC0 = 2647,
    IDC_DETAIL0 = 2645,
    IDC_SETUP = 2702,
    IDC_SWATCH = 1130,
};
} // namespace

CPrintOptionsPage::CPrintOptionsPage(CPrintEngine& e) : CPropertyPage(IDD), engine_(e) {}

void CPrintOptionsPage::LoadSettings() {
    CString file = GetProfileFileName();
    if (file.IsEmpty()) return;
    CIniFile ini(file);
    markerDistance = std::clamp(float(ini.GetFloat("General", "MarkerDist", 0)), 0.0f, 100.0f);
    cropMarks = ini.GetInt("General", "CropMarks", 0) != 0;
    syncMarks = int(ini.GetInt("General", "SyncMarks", 0));
    if (syncMarks < 0 || syncMarks > 2) syncMarks = 0;
    detail = std::clamp(int(ini.GetInt("General", "Detail", 0)), 0, 3);
    printAndCut = ini.GetInt("General", "EnablePrintAndCut", 0) != 0;
}

void CPrintOptionsPage::SaveSettings() {
    CString file = GetProfileFileName();
    if (file.IsEmpty()) return;
    CIniFile ini(file);
    ini.WriteFloat("General", "MarkerDist", markerDistance);
    ini.WriteInt("General", "CropMarks", cropMarks);
    ini.WriteInt("General", "SyncMarks", syncMarks);
    ini.WriteInt("General", "Detail", detail);
    ini.WriteInt("General", "EnablePrintAndCut", printAndCut);
    ini.Flush();
}

BOOL CPrintOptionsPage::OnInitDialog() {
    swatch_.SubclassDlgItem(IDC_SWATCH, this);
    swatch_.color = ThePrintOptions().markColor;
    LoadSettings();
    CPropertyPage::OnInitDialog();
    EnableFields();
    return TRUE;
}

void CPrintOptionsPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    PrintOptions& o = ThePrintOptions();
    DDX_Check(pDX, IDC_PRINT_AND_CUT, printAndCut);
    DDX_Radio(pDX, IDC_CHOICE0, o.printAndCutChoice);
    DDX_Check(pDX, IDC_WCL, o.enableWCL);
    DDX_Text(pDX, IDC_PROFILE, o.wclProfile);
    DDX_Measure(pDX, IDC_MARKER_DIST, markerDistance);
    DDV_Measure(pDX, markerDistance, 0, 100);
    DDX_Check(pDX, IDC_CROP, cropMarks);
    DDX_Radio(pDX, IDC_SYNC0, syncMarks);
    int detailChoice = std::min(detail, 1);
    DDX_Radio(pDX, IDC_DETAIL0, detailChoice);
    if (pDX->m_bSaveAndValidate && detailChoice >= 0) detail = detailChoice;
}

void CPrintOptionsPage::EnableFields() {
    for (int i = 0; i < 5; ++i)
        if (CWnd* w = GetDlgItem(IDC_CHOICE0 + i)) w->EnableWindow(printAndCut);
    for (int id : {IDC_PROFILE, IDC_CURVES, IDC_BROWSE})
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(ThePrintOptions().enableWCL);
}

void CPrintOptionsPage::TakeAndSave() {
    if (!UpdateData(TRUE)) return;
    engine_.markerDistance = markerDistance;
    engine_.cropMarks = cropMarks;
    engine_.syncMarks = syncMarks;
    engine_.detail = detail;
    engine_.printAndCut = printAndCut;
    engine_.UpdateLayout(1);
    SaveSettings();
    EnableFields();
}

BOOL CPrintOptionsPage::OnKillActive() {
    if (!CPropertyPage::OnKillActive()) return FALSE;
    TakeAndSave();
    return TRUE;
}

BOOL CPrintOptionsPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED) return CPropertyPage::OnCommand(wParam, lParam);
    PrintOptions& o = ThePrintOptions();
    switch (id) {
    case IDC_DETAIL0:
    case IDC_DETAIL0 + 1: {
        int before = engine_.detail;
        TakeAndSave();
        // A new detail level draws the cached preview picture again.
        if (engine_.detail != before && engine_.HasPreviewBitmap())
            engine_.BuildPreviewBitmap(600, 600);
        return TRUE;
    }
    case IDC_CROP:
    case IDC_SYNC0:
    case IDC_SYNC0 + 1:
    case IDC_SYNC0 + 2:
    case IDC_PRINT_AND_CUT:
    case IDC_WCL:
        TakeAndSave();
        return TRUE;
    case IDC_BROWSE: {
        CString filter;
        if (!filter.LoadString(361)) filter = "Colour profiles (*.wcl)|*.wcl||";
        CFileDialog dlg(TRUE, "wcl", nullptr, 0, filter, this);
        CString start = o.wclPath;
        if (!start.IsEmpty()) dlg.m_ofn.lpstrInitialDir = start;
        if (dlg.DoModal() == IDOK) {
            o.wclProfile = dlg.GetPathName();
            o.wclPath = GetPathDirectory(o.wclProfile);
            UpdateData(FALSE);
        }
        return TRUE;
    }
    case IDC_SWATCH: {
        CColorDialog dlg(o.markColor, 0, this);
        if (dlg.DoModal() == IDOK) {
            o.markColor = dlg.GetColor();
            swatch_.color = o.markColor;
            swatch_.Invalidate();
        }
        return TRUE;
    }
    case IDC_SETUP: {
        float before[6], after[6];
        std::uint8_t ob, oa;
        std::uint16_t pb, pa;
        GetDefaultPrinterPage(before[0], before[1], before[2], before[3], before[4], before[5], ob,
                              pb);
        CPrintDialog setup(TRUE);
        if (CWinApp* app = AfxGetApp()) {
            // On the program's printer and set-up, which keep what the dialog ends with.
            app->DoPrintDialog(&setup);
        } else {
            // Nowhere to keep the set-up: it goes with the dialog.
            setup.DoModal();
            if (setup.m_pd.hDevNames != nullptr) ::GlobalFree(setup.m_pd.hDevNames);
            if (setup.m_pd.hDevMode != nullptr) ::GlobalFree(setup.m_pd.hDevMode);
        }
        GetDefaultPrinterPage(after[0], after[1], after[2], after[3], after[4], after[5], oa, pa);
        if (!std::equal(before, before + 6, after) || ob != oa || pb != pa) {
            engine_.LoadPrintOptions();
            engine_.UpdateLayout(1);
        }
        return TRUE;
    }
    default:
        return CPropertyPage::OnCommand(wParam, lParam);
    }
}
