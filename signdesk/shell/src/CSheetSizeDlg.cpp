#include "shell/CSheetSizeDlg.h"

#include <utility>

#include <mfc/CColorDialog.h>
#include <mfc/CDataExchange.h>

#include "shell/DefaultPrinterPage.h"
#include "shell/MeasureFields.h"
#include "shell/ProfileSettings.h"
#include "settings/ProgramFolders.h"
#include "shell/StdSheets.h"

BEGIN_MESSAGE_MAP(CSheetSizeDlg, CDialog)
    ON_CONTROL(BN_CLICKED, IDC_SHEET_COLOR, OnSheetColor)
    ON_CONTROL(BN_CLICKED, IDC_GRID_COLOR, OnGridColor)
    ON_CONTROL(CBN_SELCHANGE, IDC_STD_SHEETS, OnSheetChosen)
    ON_CONTROL(BN_CLICKED, IDC_LANDSCAPE, OnLandscape)
    ON_CONTROL(BN_CLICKED, IDC_PRINTER_PAGE, OnPrinterPage)
    ON_CONTROL(BN_CLICKED, IDC_STORE_DEFAULT, OnStoreDefault)
END_MESSAGE_MAP()

namespace {

constexpr const char* freeSize = "[...]";

} // namespace

CSheetSizeDlg::CSheetSizeDlg(CWnd* pParent) : CDialog(IDD_SHEET_SIZE, pParent) {}

BOOL CSheetSizeDlg::OnInitDialog() {
    backgroundSwatch.SubclassDlgItem(IDC_SHEET_COLOR, this);
    backgroundSwatch.color = backgroundColor;
    gridSwatch.SubclassDlgItem(IDC_GRID_COLOR, this);
    gridSwatch.color = gridColor;
    LoadStdSheets(GetDataFilePath("StdSheets.cfg"));
    auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_STD_SHEETS));
    list->AddString(freeSize);
    int chosen = 0;
    for (std::uint16_t i = 0; i < StdSheetNames.Filled(); ++i) {
        list->AddString(StdSheetNames[i]);
        const float w = StdSheetWidths[i], h = StdSheetHeights[i];
        // Exact comparison: a sheet is chosen only when the size is one of the list's.
        if (chosen == 0 && ((w == sheetWidth && h == sheetHeight) || (h == sheetWidth && w == sheetHeight)))
            chosen = i + 1;
    }
    list->SetCurSel(chosen);
    return CDialog::OnInitDialog();
}

void CSheetSizeDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    landscape = sheetWidth > sheetHeight;
    DDX_Measure(pDX, IDC_SHEET_WIDTH, sheetWidth);
    DDX_Measure(pDX, IDC_SHEET_HEIGHT, sheetHeight);
    DDX_Measure(pDX, IDC_GRID_OFFSET_X, gridOffsetX);
    DDX_Measure(pDX, IDC_GRID_OFFSET_Y, gridOffsetY);
    DDX_Measure(pDX, IDC_GRID_DENSITY_X, gridDensityX);
    DDV_MinMaxFloat(pDX, gridDensityX, 0.0001f, 100000.0f);
    DDX_Measure(pDX, IDC_GRID_DENSITY_Y, gridDensityY);
    DDV_MinMaxFloat(pDX, gridDensityY, 0.0001f, 100000.0f);
    if (GetDlgItem(IDC_LINE_GRID) != nullptr) DDX_Check(pDX, IDC_LINE_GRID, lineGrid);
    DDX_Check(pDX, IDC_LANDSCAPE, landscape);
    DDX_Control(pDX, IDC_STD_SHEETS, sheetList);
    EnableSizeFields();
}

void CSheetSizeDlg::EnableSizeFields() {
    const BOOL free = sheetList.m_hWnd == nullptr || sheetList.GetCurSel() <= 0;
    if (CWnd* w = GetDlgItem(IDC_SHEET_WIDTH)) w->EnableWindow(free);
    if (CWnd* h = GetDlgItem(IDC_SHEET_HEIGHT)) h->EnableWindow(free);
}

void CSheetSizeDlg::ChooseColor(CColorSwatch& swatch, COLORREF& color) {
    CColorDialog dialog(color, 0, this);
    if (dialog.DoModal() != IDOK) return;
    color = dialog.GetColor();
    swatch.color = color;
    swatch.Invalidate();
}

void CSheetSizeDlg::OnSheetColor() {
    ChooseColor(backgroundSwatch, backgroundColor);
}

void CSheetSizeDlg::OnGridColor() {
    ChooseColor(gridSwatch, gridColor);
}

void CSheetSizeDlg::OnSheetChosen() {
    const int chosen = sheetList.GetCurSel();
    if (!UpdateData(TRUE)) return;
    if (chosen > 0 && chosen <= StdSheetNames.Filled()) {
        sheetWidth = StdSheetWidths[std::uint16_t(chosen - 1)];
        sheetHeight = StdSheetHeights[std::uint16_t(chosen - 1)];
        if (landscape) std::swap(sheetWidth, sheetHeight);
    }
    UpdateData(FALSE);
}

void CSheetSizeDlg::OnLandscape() {
    if (!UpdateData(TRUE)) return;
    std::swap(sheetWidth, sheetHeight);
    UpdateData(FALSE);
}

void CSheetSizeDlg::OnPrinterPage() {
    if (!UpdateData(TRUE)) return;
    sheetWidth = 800;
    sheetHeight = 470;
    float printableWidth = 0, printableHeight = 0, paperWidth = 0, paperHeight = 0, x = 0, y = 0;
    std::uint8_t orientation = 0;
    std::uint16_t paperSize = 0;
    if (GetDefaultPrinterPage(printableWidth, printableHeight, paperWidth, paperHeight, x, y,
                              orientation, paperSize) == 0) {
        sheetWidth = printableWidth;
        sheetHeight = printableHeight;
    }
    sheetList.SetCurSel(0);
    UpdateData(FALSE);
}

void CSheetSizeDlg::OnStoreDefault() {
    if (!UpdateData(TRUE)) return;
    WriteProfileFloat("Settings", "DocWidth", sheetWidth);
    WriteProfileFloat("Settings", "DocHeight", sheetHeight);
}
