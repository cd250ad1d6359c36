#include "shell/CBitmapExportDlg.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <mfc/CControls.h>
#include <mfc/CDataExchange.h>

BEGIN_MESSAGE_MAP(CBitmapExportDlg, CDialog)
    ON_CONTROL(CBN_EDITCHANGE, IDC_EXPORT_RESOLUTION, OnResolutionEdited)
    ON_CONTROL(CBN_SELCHANGE, IDC_EXPORT_RESOLUTION, OnResolutionPicked)
    ON_CONTROL(EN_CHANGE, IDC_EXPORT_PIXEL_WIDTH, OnPixelWidthEdited)
    ON_CONTROL(EN_CHANGE, IDC_EXPORT_PIXEL_HEIGHT, OnPixelHeightEdited)
END_MESSAGE_MAP()

namespace {

constexpr double inchPerMM = 0.03937007874015748;
constexpr double pixelsPerMMAt300 = 11.811023622047244;

// A pixel count from a computed value: truncated, and kept inside what the field holds (the
// OK check refuses anything past 32767 anyway).
UINT PixelCount(double v) {
    if (!(v > 0)) return 0;
    if (v >= 4294967295.0) return 4294967295u;
    return UINT(v);
}

// The text of a field as the user left it mid-edit: a number or 0, no message.
double Number(const CString& text) { return std::strtod(text, nullptr); }

} // namespace

CBitmapExportDlg::CBitmapExportDlg(CWnd* pParent) : CDialog(IDD_BITMAP_EXPORT, pParent) {}

void CBitmapExportDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    if (m_nEditing == 0) {
        DDX_CBString(pDX, IDC_EXPORT_RESOLUTION, m_strResolution);
        DDV_MaxChars(pDX, m_strResolution, 20);
        DDX_Text(pDX, IDC_EXPORT_PIXEL_WIDTH, m_nPixelWidth);
        DDV_MinMaxUInt(pDX, m_nPixelWidth, 1, 32767);
        DDX_Text(pDX, IDC_EXPORT_PIXEL_HEIGHT, m_nPixelHeight);
        DDV_MinMaxUInt(pDX, m_nPixelHeight, 1, 32767);
        return;
    }
    if (m_nEditing != IDC_EXPORT_RESOLUTION)
        DDX_CBString(pDX, IDC_EXPORT_RESOLUTION, m_strResolution);
    if (m_nEditing != IDC_EXPORT_PIXEL_WIDTH) DDX_Text(pDX, IDC_EXPORT_PIXEL_WIDTH, m_nPixelWidth);
    if (m_nEditing != IDC_EXPORT_PIXEL_HEIGHT)
        DDX_Text(pDX, IDC_EXPORT_PIXEL_HEIGHT, m_nPixelHeight);
}

BOOL CBitmapExportDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_EXPORT_RESOLUTION));
    for (const char* dpi : {"50", "75", "96", "100", "150", "200", "300", "360", "600", "720"})
        list->AddString(dpi);
    list->LimitText(20);
    m_nPixelWidth = PixelCount(m_fWidthMM * pixelsPerMMAt300);
    m_nPixelHeight = PixelCount(m_fHeightMM * pixelsPerMMAt300);
    Refresh(-1);
    return TRUE;
}

void CBitmapExportDlg::Refresh(int editing) {
    m_nEditing = editing;
    UpdateData(FALSE);
    m_nEditing = 0;
}

void CBitmapExportDlg::OnResolutionEdited() {
    if (m_nEditing != 0) return; // our own refresh
    GetDlgItemText(IDC_EXPORT_RESOLUTION, m_strResolution);
    const double dpi = Number(m_strResolution);
    // No pixel size follows from a resolution of 0 or less.
    if (!(dpi > 0) || !std::isfinite(dpi)) return;
    const double mmPerPixel = 25.4 / dpi;
    m_nPixelWidth = PixelCount(std::trunc(m_fWidthMM / mmPerPixel));
    m_nPixelHeight = PixelCount(std::trunc(m_fHeightMM / mmPerPixel));
    Refresh(IDC_EXPORT_RESOLUTION);
}

void CBitmapExportDlg::OnResolutionPicked() {
    if (m_nEditing != 0) return;
    auto* list = static_cast<CComboBox*>(GetDlgItem(IDC_EXPORT_RESOLUTION));
    const int chosen = list->GetCurSel();
    if (chosen < 0) return;
    CString text;
    list->GetLBText(chosen, text);
    m_nEditing = IDC_EXPORT_RESOLUTION;
    list->SetWindowText(text);
    m_nEditing = 0;
    OnResolutionEdited();
}

void CBitmapExportDlg::OnPixelWidthEdited() {
    if (m_nEditing != 0) return;
    CString text;
    GetDlgItemText(IDC_EXPORT_PIXEL_WIDTH, text);
    m_nPixelWidth = PixelCount(Number(text));
    // A zero side gives no ratio to follow.
    if (!(m_fWidthMM > 0) || !(m_fHeightMM > 0)) return;
    m_nPixelHeight = PixelCount(std::floor(double(m_fHeightMM) / m_fWidthMM * m_nPixelWidth + 0.5));
    m_strResolution.Format("%g", m_nPixelWidth / (m_fWidthMM * inchPerMM));
    Refresh(IDC_EXPORT_PIXEL_WIDTH);
}

void CBitmapExportDlg::OnPixelHeightEdited() {
    if (m_nEditing != 0) return;
    CString text;
    GetDlgItemText(IDC_EXPORT_PIXEL_HEIGHT, text);
    m_nPixelHeight = PixelCount(Number(text));
    if (!(m_fWidthMM > 0) || !(m_fHeightMM > 0)) return;
    m_nPixelWidth = PixelCount(std::floor(double(m_fWidthMM) / m_fHeightMM * m_nPixelHeight + 0.5));
    m_strResolution.Format("%g", m_nPixelHeight / (m_fHeightMM * inchPerMM));
    Refresh(IDC_EXPORT_PIXEL_HEIGHT);
}
