#include "app/OptionPages.h"

#include <cmath>

#include <mfc/CControls.h>
#include <mfc/CDataExchange.h>
#include <settings/PathNames.h>
#include <shell/CFolderDialog.h>
#include <shell/MeasureFields.h>
#include <win32/controls.h>

IMPLEMENT_DYNCREATE(CMiscPage, CPropertyPage)
IMPLEMENT_DYNCREATE(CClipboardPage, CPropertyPage)
IMPLEMENT_DYNCREATE(CMemPage, CPropertyPage)
IMPLEMENT_DYNCREATE(CTextPage, CPropertyPage)

CMiscPage::CMiscPage() : CPropertyPage(IDD_MISC_PAGE) {}

void CMiscPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Measure(pDX, IDC_DUP_DX, dupDx);
    DDV_Measure(pDX, dupDx, -1000.0f, 1000.0f);
    DDX_Measure(pDX, IDC_DUP_DY, dupDy);
    DDV_Measure(pDX, dupDy, -1000.0f, 1000.0f);
    DDX_Text(pDX, IDC_MOUSE_SENS, mouseSens);
    DDV_MinMaxUInt(pDX, mouseSens, 2, 10);
    DDX_Measure(pDX, IDC_NUDGE_SMALL, nudgeSmall);
    DDV_Measure(pDX, nudgeSmall, 0.0f, 100.0f);
    DDX_Measure(pDX, IDC_NUDGE_LARGE, nudgeLarge);
    DDV_Measure(pDX, nudgeLarge, 0.0f, 100.0f);
    DDX_Text(pDX, IDC_DEFAULT_LAYER, defaultLayer);
    DDV_MinMaxInt(pDX, defaultLayer, -127, 127);
    DDX_Text(pDX, IDC_AUTOSAVE, autoSave);
    DDV_MinMaxUInt(pDX, autoSave, 0, 600);
    DDX_Text(pDX, IDC_SNAP_PROXIMITY, snapProximity);
    DDV_MinMaxUInt(pDX, snapProximity, 3, 20);
}

CClipboardPage::CClipboardPage() : CPropertyPage(IDD_CLIPBOARD_PAGE) {}

void CClipboardPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_ENABLE_WMF, enableWMF);
    DDX_Check(pDX, IDC_ENABLE_EMF, enableEMF);
    DDX_Check(pDX, IDC_ENABLE_WPF, enableWPF);
    DDX_Check(pDX, IDC_ENABLE_DIB, enableDIB);
    DDX_CBIndex(pDX, IDC_COLOUR_DEPTH, colourDepth);
    DDX_Text(pDX, IDC_CLIPBOARD_DPI, dpi);
    DDV_MinMaxInt(pDX, dpi, 50, 3000);
}

BOOL CClipboardPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    auto* depths = static_cast<CComboBox*>(GetDlgItem(IDC_COLOUR_DEPTH));
    for (const char* bits : {"1", "4", "8", "24"}) depths->AddString(bits);
    auto* resolutions = static_cast<CComboBox*>(GetDlgItem(IDC_CLIPBOARD_DPI));
    for (UINT id = IDS_CLIPBOARD_DPI_FIRST; id <= IDS_CLIPBOARD_DPI_LAST; ++id) {
        CString text;
        text.LoadString(id);
        resolutions->AddString(text);
    }
    CString current;
    current.Format("%d", dpi);
    resolutions->SelectString(-1, current);
    UpdateData(FALSE);
    return TRUE;
}

CMemPage::CMemPage() : CPropertyPage(IDD_MEM_PAGE) {}

void CMemPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MIN_UNDO_STEPS, minUndoSteps);
    DDV_MinMaxUInt(pDX, minUndoSteps, 1, 100);
    DDX_Text(pDX, IDC_MAX_UNDO_MEM, maxUndoMem);
    DDV_MinMaxUInt(pDX, maxUndoMem, 128, 16000);
    DDX_Text(pDX, IDC_WORK_MEM_SIZE, workMemSize);
    DDV_MinMaxUInt(pDX, workMemSize, 1024, 32768);
}

BEGIN_MESSAGE_MAP(CTextPage, CPropertyPage)
    ON_CONTROL(BN_CLICKED, IDC_BROWSE_FONTS, OnBrowseFonts)
    ON_CONTROL(BN_CLICKED, IDC_BROWSE_KERNING, OnBrowseKerning)
END_MESSAGE_MAP()

CTextPage::CTextPage() : CPropertyPage(IDD_TEXT_PAGE) {}

void CTextPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FONT_FOLDER, fontFolder);
    DDV_MaxChars(pDX, fontFolder, 255);
    DDX_Text(pDX, IDC_KERNING_FOLDER, kerningFolder);
    DDV_MaxChars(pDX, kerningFolder, 255);
    DDX_Measure(pDX, IDC_CHAR_SIZE, charSize);
    DDV_Measure(pDX, charSize, 1.0f, 5000.0f);
    DDX_Text(pDX, IDC_LINE_SPACING, lineSpacing);
    DDX_Text(pDX, IDC_CHAR_SPACING, charSpacing);
    DDV_MinMaxFloat(pDX, charSpacing, -200.0f, 200.0f);
    DDX_Text(pDX, IDC_WORD_SPACING, wordSpacing);
    DDV_MinMaxFloat(pDX, wordSpacing, 10.0f, 500.0f);
}

BOOL CTextPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    struct Spin {
        int spin, buddy, low, high;
        float value;
    };
    for (const Spin& s : {Spin{IDC_LINE_SPACING_SPIN, IDC_LINE_SPACING, -300, 300, lineSpacing},
                          Spin{IDC_CHAR_SPACING_SPIN, IDC_CHAR_SPACING, -200, 200, charSpacing},
                          Spin{IDC_WORD_SPACING_SPIN, IDC_WORD_SPACING, 10, 500, wordSpacing}}) {
        ::SendDlgItemMessage(m_hWnd, s.spin, UDM_SETBUDDY, WPARAM(::GetDlgItem(m_hWnd, s.buddy)), 0);
        ::SendDlgItemMessage(m_hWnd, s.spin, UDM_SETRANGE, 0, MAKELONG(short(s.high), short(s.low)));
        ::SendDlgItemMessage(m_hWnd, s.spin, UDM_SETPOS, 0, MAKELONG(short(std::lround(s.value)), 0));
    }
    return TRUE;
}

void CTextPage::OnBrowseFonts() { Browse(fontFolder); }

void CTextPage::OnBrowseKerning() { Browse(kerningFolder); }

void CTextPage::Browse(CString& folder) {
    const int field = &folder == &fontFolder ? IDC_FONT_FOLDER : IDC_KERNING_FOLDER;
    // Start where the field points now, typed or not.
    GetDlgItemText(field, folder);
    CFolderDialog dialog(this);
    if (!folder.IsEmpty()) dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) return;
    folder = GetPathDirectory(dialog.GetPathName());
    // Only this field changes: what the user typed into the others stays.
    SetDlgItemText(field, folder);
}
