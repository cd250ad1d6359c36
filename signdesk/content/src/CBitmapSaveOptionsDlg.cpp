#include "content/CBitmapSaveOptionsDlg.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <mfc/CDataExchange.h>
#include <win32/controls.h>

// clang-format off
const RasterFormat RasterFormats[RasterFormatCount] = {
    {"KOVA", "cmp", 1, {{20, "", 0x95}}},
    {"JPEG", "jpg", 3, {{21, "JFIF 4:1:1", 0x94}, {23, "JFIF 4:2:2", 0x94}, {10, "JFIF 4:4:4", 0x94}}},
    {"CALS", "cal", 1, {{50, "", 0x01}}},
    {"CCITT Fax", "fax", 3, {{66, "Group 3, 1D", 0x01}, {67, "Group 3, 2D", 0x01}, {68, "Group 4", 0x01}}},
    {"GEM Image", "gem", 1, {{52, "", 0x01}}},
    {"IBM IOCA (Raw)", "ica", 3, {{77, "Group 3, 1D", 0x41}, {78, "Group 3, 2D", 0x41}, {79, "Group 4", 0x41}}},
    {"IBM IOCA (Wrapped)", "ica", 3, {{71, "Group 3, 1D", 0x41}, {72, "Group 3, 2D", 0x41}, {73, "Group 4", 0x41}}},
    {"Macintosh Picture", "pct", 1, {{56, "", 0x17}}},
    {"MacPaint", "mac", 1, {{51, "", 0x01}}},
    {"Microsoft Paint", "msp", 1, {{53, "", 0x01}}},
    {"Windows Bitmap", "bmp", 1, {{6, "", 0x3F}}},
    {"OS/2 Bitmap", "bmp", 2, {{14, "Type 1", 0x17}, {74, "Type 2", 0x17}}},
    {"ZSoft PCX", "pcx", 1, {{1, "", 0x57}}},
    {"SUN Raster", "ras", 1, {{55, "", 0x3D}}},
    {"Targa", "tga", 1, {{4, "", 0x3C}}},
    {"TIFF", "tif", 7, {{3, "Uncompressed", 0x5F}, {27, "CCITT Group 3, 1D", 0x41}, {28, "CCITT Group 3, 2D", 0x41},
                        {29, "CCITT Group 4", 0x41}, {22, "JTIF 4:1:1", 0x90}, {24, "JTIF 4:2:2", 0x90},
                        {11, "JTIF 4:4:4", 0x90}}},
    {"WinFax", "fxs", 2, {{69, "Group 3, 1D", 0x41}, {70, "Group 4", 0x41}}},
    {"WordPerfect", "wpg", 1, {{54, "", 0x07}}},
    {"Compuserve PNG", "png", 1, {{75, "", 0x17}}},
    {"Adobe PSD", "psd", 1, {{76, "", 0x15}}},
};
// clang-format on

namespace {

constexpr int kDepths[6] = {1, 4, 8, 16, 24, 32};
constexpr int kQualityMin = 2, kQualityMax = 255;
constexpr const char* kResolutions[10] = {"50",  "75",  "96",  "100", "150",
                                          "200", "300", "360", "600", "720"};

struct Preset {
    const char* name;
    int quality;
};
constexpr Preset kBilevelPresets[2] = {{"KOVA_0", 0}, {"KOVA_1", 1}};
constexpr Preset kPresets[10] = {{"Custom", 0}, {"PQ1", -1}, {"PQ2", -2}, {"QFS", -3}, {"QMS", -4},
                                 {"QS", -5},    {"SQS", -6}, {"SQT", -7}, {"MCQ", -8}, {"MC", -9}};
constexpr double kInchesPerMm = 0.03937007874015748;

// A decimal number filling the whole text, or false.
bool ParseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    while (end != nullptr && *end == ' ')
        ++end;
    return end != text && end != nullptr && *end == '\0' && std::isfinite(value);
}

bool ParseWhole(const char* text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < -0x7FFFFFFF || v > 0x7FFFFFFF) return false;
    value = int(v);
    return true;
}

} // namespace

BEGIN_MESSAGE_MAP(CBitmapSaveOptionsDlg, CDialog)
ON_CONTROL(LBN_SELCHANGE, IDC_BSO_FORMATS, OnFormatChosen)
ON_CONTROL(CBN_SELCHANGE, IDC_BSO_VARIANTS, OnVariantChosen)
ON_CONTROL_RANGE(BN_CLICKED, IDC_BSO_DEPTH_1, IDC_BSO_DEPTH_32, OnDepth)
ON_CONTROL(CBN_SELCHANGE, IDC_BSO_PRESETS, OnPresetChosen)
ON_CONTROL(EN_CHANGE, IDC_BSO_QUALITY, OnQualityTyped)
ON_WM_HSCROLL()
ON_CONTROL(CBN_EDITCHANGE, IDC_BSO_RESOLUTION, OnResolutionTyped)
ON_CONTROL(CBN_SELCHANGE, IDC_BSO_RESOLUTION, OnResolutionChosen)
ON_CONTROL(EN_CHANGE, IDC_BSO_PIXEL_WIDTH, OnPixelWidth)
ON_CONTROL(EN_CHANGE, IDC_BSO_PIXEL_HEIGHT, OnPixelHeight)
END_MESSAGE_MAP()

CBitmapSaveOptionsDlg::CBitmapSaveOptionsDlg(CWnd* pParent)
    : CDialog(IDD_BITMAP_SAVE_OPTIONS, pParent) {}

const RasterFormatVariant& CBitmapSaveOptionsDlg::Variant() const {
    return RasterFormats[formatIndex].variants[variantIndex];
}

BOOL CBitmapSaveOptionsDlg::OnInitDialog() {
    CenterWindow();
    HWND scroll = ::GetDlgItem(m_hWnd, IDC_BSO_QUALITY_SCROLL);
    ::SetScrollRange(scroll, SB_CTL, kQualityMin, kQualityMax, FALSE);
    ::SetScrollPos(scroll, SB_CTL, quality, TRUE);
    // The first format of the extension, compared without case ("TIF" is a TIFF file).
    formatIndex = 0;
    for (int i = 0; i < RasterFormatCount; ++i) {
        ::SendDlgItemMessage(m_hWnd, IDC_BSO_FORMATS, LB_ADDSTRING, 0,
                             LPARAM(RasterFormats[i].name));
        if (formatIndex == 0 && strcasecmp(RasterFormats[i].extension, extension) == 0)
            formatIndex = i;
    }
    ::SendDlgItemMessage(m_hWnd, IDC_BSO_FORMATS, LB_SETCURSEL, WPARAM(formatIndex), 0);
    for (const char* r : kResolutions)
        ::SendDlgItemMessage(m_hWnd, IDC_BSO_RESOLUTION, CB_ADDSTRING, 0, LPARAM(r));
    FillVariants();
    if (sizeFollowsResolution) {
        SizesFromResolution();
    } else {
        width = float(pixelWidth);
        height = float(pixelHeight);
    }
    CDialog::OnInitDialog(); // shows the values
    SetDlgItemText(IDC_BSO_RESOLUTION, resolution);
    m_ready = true;
    return TRUE;
}

void CBitmapSaveOptionsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BSO_QUALITY)) || !pDX->m_bSaveAndValidate) {
        DDX_Text(pDX, IDC_BSO_QUALITY, quality);
        if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BSO_QUALITY)))
            DDV_MinMaxInt(pDX, quality, kQualityMin, kQualityMax);
    }
    DDX_Text(pDX, IDC_BSO_PIXEL_WIDTH, pixelWidth);
    DDV_MinMaxInt(pDX, pixelWidth, 1, 0x7FFFFFFF); // a picture of at least a pixel
    DDX_Text(pDX, IDC_BSO_PIXEL_HEIGHT, pixelHeight);
    DDV_MinMaxInt(pDX, pixelHeight, 1, 0x7FFFFFFF);
    if (pDX->m_bSaveAndValidate) GetDlgItemText(IDC_BSO_RESOLUTION, resolution);
}

void CBitmapSaveOptionsDlg::OnOK() {
    extension = RasterFormats[formatIndex].extension;
    formatCode = int(Variant().code);
    if (formatIndex == 0) {
        if (bitsPerPixel == 1) {
            formatCode = 26;
            quality = kBilevelPresets[presetIndex < 2 ? presetIndex : 0].quality;
        } else if (presetIndex > 0 && presetIndex < 10) {
            quality = kPresets[presetIndex].quality;
        }
    }
    CDialog::OnOK();
}

void CBitmapSaveOptionsDlg::FillVariants() {
    ::SendDlgItemMessage(m_hWnd, IDC_BSO_VARIANTS, CB_RESETCONTENT, 0, 0);
    variantIndex = 0;
    const RasterFormat& f = RasterFormats[formatIndex];
    CWnd* combo = GetDlgItem(IDC_BSO_VARIANTS);
    if (f.variantCount < 2) {
        if (combo) combo->EnableWindow(FALSE);
    } else {
        for (DWORD i = 0; i < f.variantCount; ++i)
            ::SendDlgItemMessage(m_hWnd, IDC_BSO_VARIANTS, CB_ADDSTRING, 0,
                                 LPARAM(f.variants[i].name));
        ::SendDlgItemMessage(m_hWnd, IDC_BSO_VARIANTS, CB_SETCURSEL, 0, 0);
        if (combo) combo->EnableWindow(TRUE);
    }
    UpdateDepths();
}

void CBitmapSaveOptionsDlg::UpdateDepths() {
    const DWORD flags = Variant().flags;
    int chosen = -1, above = -1, below = -1;
    for (int i = 0; i < 6; ++i) {
        const bool allowed = (flags >> i) & 1;
        if (CWnd* b = GetDlgItem(IDC_BSO_DEPTH_1 + i)) b->EnableWindow(allowed);
        if (!allowed) continue;
        if (kDepths[i] == bitsPerPixel) chosen = i;
        if (kDepths[i] > bitsPerPixel && above < 0) above = i;
        if (kDepths[i] < bitsPerPixel) below = i;
    }
    if (chosen < 0) chosen = above >= 0 ? above : below >= 0 ? below : 0;
    bitsPerPixel = kDepths[chosen];
    CheckRadioButton(IDC_BSO_DEPTH_1, IDC_BSO_DEPTH_32, IDC_BSO_DEPTH_1 + chosen);
    UpdatePresets();
}

void CBitmapSaveOptionsDlg::UpdatePresets() {
    const bool takesQuality = (Variant().flags & 0x80) != 0;
    if (CWnd* b = GetDlgItem(IDC_BSO_QUALITY_BUTTON)) b->EnableWindow(takesQuality);
    if (takesQuality) {
        ::SendDlgItemMessage(m_hWnd, IDC_BSO_PRESETS, CB_RESETCONTENT, 0, 0);
        presetIndex = 0;
        if (formatIndex == 0) {
            if (bitsPerPixel == 1)
                for (const Preset& p : kBilevelPresets)
                    ::SendDlgItemMessage(m_hWnd, IDC_BSO_PRESETS, CB_ADDSTRING, 0, LPARAM(p.name));
            else
                for (const Preset& p : kPresets)
                    ::SendDlgItemMessage(m_hWnd, IDC_BSO_PRESETS, CB_ADDSTRING, 0, LPARAM(p.name));
            ::SendDlgItemMessage(m_hWnd, IDC_BSO_PRESETS, CB_SETCURSEL, 0, 0);
        }
    }
    if (CWnd* c = GetDlgItem(IDC_BSO_PRESETS)) c->EnableWindow(formatIndex == 0 && takesQuality);
    UpdateQuality();
}

void CBitmapSaveOptionsDlg::UpdateQuality() {
    const bool takesQuality = (Variant().flags & 0x80) != 0;
    const BOOL enable =
        takesQuality && (formatIndex != 0 || (bitsPerPixel != 1 && presetIndex == 0));
    if (CWnd* e = GetDlgItem(IDC_BSO_QUALITY)) e->EnableWindow(enable);
    if (CWnd* s = GetDlgItem(IDC_BSO_QUALITY_SCROLL)) s->EnableWindow(enable);
}

void CBitmapSaveOptionsDlg::OnFormatChosen() {
    const LRESULT i = ::SendDlgItemMessage(m_hWnd, IDC_BSO_FORMATS, LB_GETCURSEL, 0, 0);
    if (i < 0 || i >= RasterFormatCount) return;
    formatIndex = int(i);
    FillVariants();
}

void CBitmapSaveOptionsDlg::OnVariantChosen() {
    const LRESULT i = ::SendDlgItemMessage(m_hWnd, IDC_BSO_VARIANTS, CB_GETCURSEL, 0, 0);
    if (i < 0 || DWORD(i) >= RasterFormats[formatIndex].variantCount) return;
    variantIndex = int(i);
    UpdateDepths();
}

void CBitmapSaveOptionsDlg::OnDepth(UINT id) {
    bitsPerPixel = kDepths[id - IDC_BSO_DEPTH_1];
    UpdateDepths();
}

void CBitmapSaveOptionsDlg::OnPresetChosen() {
    const LRESULT i = ::SendDlgItemMessage(m_hWnd, IDC_BSO_PRESETS, CB_GETCURSEL, 0, 0);
    presetIndex = i < 0 ? 0 : int(i);
    UpdateQuality();
}

void CBitmapSaveOptionsDlg::OnQualityTyped() {
    CString text;
    GetDlgItemText(IDC_BSO_QUALITY, text);
    int v = 0;
    if (!ParseWhole(text, v) || v < kQualityMin || v > kQualityMax) return;
    quality = v;
    ::SetScrollPos(::GetDlgItem(m_hWnd, IDC_BSO_QUALITY_SCROLL), SB_CTL, v, TRUE);
}

void CBitmapSaveOptionsDlg::OnHScroll(UINT code, UINT pos, CScrollBar*) {
    int v = quality;
    switch (code) {
    case SB_LINELEFT:
        v -= 1;
        break;
    case SB_LINERIGHT:
        v += 1;
        break;
    case SB_PAGELEFT:
        v -= 10;
        break;
    case SB_PAGERIGHT:
        v += 10;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        v = int(pos);
        break;
    case SB_LEFT:
        v = kQualityMin;
        break;
    case SB_RIGHT:
        v = kQualityMax;
        break;
    default:
        return;
    }
    if (v < kQualityMin) v = kQualityMin;
    if (v > kQualityMax) v = kQualityMax;
    quality = v;
    ::SetScrollPos(::GetDlgItem(m_hWnd, IDC_BSO_QUALITY_SCROLL), SB_CTL, v, TRUE);
    SetDlgItemInt(IDC_BSO_QUALITY, UINT(v), TRUE);
}

// Pixel sizes at the resolution; a resolution that is no positive number keeps them.
void CBitmapSaveOptionsDlg::SizesFromResolution() {
    double r = 0;
    if (!ParseNumber(resolution, r) || r <= 0) return;
    const double w = std::trunc(width / (25.4 / r)), h = std::trunc(height / (25.4 / r));
    if (w > 0x7FFFFFFF || h > 0x7FFFFFFF) return;
    pixelWidth = int(w);
    pixelHeight = int(h);
}

void CBitmapSaveOptionsDlg::ShowSizes(int except) {
    const int was = editing;
    editing = except;
    if (except != IDC_BSO_PIXEL_WIDTH) SetDlgItemInt(IDC_BSO_PIXEL_WIDTH, UINT(pixelWidth), TRUE);
    if (except != IDC_BSO_PIXEL_HEIGHT)
        SetDlgItemInt(IDC_BSO_PIXEL_HEIGHT, UINT(pixelHeight), TRUE);
    if (except != IDC_BSO_RESOLUTION) SetDlgItemText(IDC_BSO_RESOLUTION, resolution);
    editing = was;
}

void CBitmapSaveOptionsDlg::OnResolutionTyped() {
    if (!m_ready || (editing != 0 && editing != IDC_BSO_RESOLUTION)) return;
    GetDlgItemText(IDC_BSO_RESOLUTION, resolution);
    if (sizeFollowsResolution) SizesFromResolution();
    ShowSizes(IDC_BSO_RESOLUTION);
}

void CBitmapSaveOptionsDlg::OnResolutionChosen() {
    if (!m_ready) return;
    const LRESULT i = ::SendDlgItemMessage(m_hWnd, IDC_BSO_RESOLUTION, CB_GETCURSEL, 0, 0);
    if (i < 0 || i >= 10) return;
    resolution = kResolutions[i];
    if (sizeFollowsResolution) SizesFromResolution();
    ShowSizes(IDC_BSO_RESOLUTION);
}

// A typed pixel width or height sets the other from the size's proportions and the resolution
// from the pixels; a zero size or text that is no number changes nothing.
void CBitmapSaveOptionsDlg::OnPixelWidth() {
    if (!m_ready || (editing != 0 && editing != IDC_BSO_PIXEL_WIDTH)) return;
    CString text;
    GetDlgItemText(IDC_BSO_PIXEL_WIDTH, text);
    int w = 0;
    if (!ParseWhole(text, w) || width <= 0 || height <= 0) return;
    pixelWidth = w;
    pixelHeight = int(std::floor(double(height) / width * w + 0.5));
    char r[32];
    std::snprintf(r, sizeof r, "%g", w / (width * kInchesPerMm));
    resolution = r;
    ShowSizes(IDC_BSO_PIXEL_WIDTH);
}

void CBitmapSaveOptionsDlg::OnPixelHeight() {
    if (!m_ready || (editing != 0 && editing != IDC_BSO_PIXEL_HEIGHT)) return;
    CString text;
    GetDlgItemText(IDC_BSO_PIXEL_HEIGHT, text);
    int h = 0;
    if (!ParseWhole(text, h) || width <= 0 || height <= 0) return;
    pixelHeight = h;
    pixelWidth = int(std::floor(double(width) / height * h + 0.5));
    char r[32];
    std::snprintf(r, sizeof r, "%g", h / (height * kInchesPerMm));
    resolution = r;
    ShowSizes(IDC_BSO_PIXEL_HEIGHT);
}
