// The bitmap sheet's three pages: effects, colour depth and size.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <imaging/KovaImg.h>
#include <imaging/KovaKern.h>
#include <mfc/CDataExchange.h>
#include <mfc/CString.h>
#include <rasterkit/TexturePaint.h>
#include <shared/CSharedBmp.h>
#include <win32/controls.h>

#include "content/BmpEffectTable.h"
#include "content/CBmpSheet.h"

namespace {

constexpr int kDepths[5] = {1, 4, 8, 16, 24};
constexpr int kDither[3] = {0, 0x10000, 0x70000};

CString Text(CWnd* page, int id) {
    CString s;
    page->GetDlgItemText(id, s);
    return s;
}

void Enable(CWnd* page, int id, bool on) {
    if (CWnd* w = page->GetDlgItem(id)) w->EnableWindow(on);
}

} // namespace

// ---- effects

BEGIN_MESSAGE_MAP(BmpEffectsPage, BmpSheetPage)
ON_CONTROL(LBN_SELCHANGE, IDC_BMP_EFFECTS, OnEffectChosen)
ON_CONTROL(CBN_SELCHANGE, IDC_BMP_DIRECTION, OnDirectionChosen)
ON_WM_HSCROLL()
ON_COMMAND(IDC_BMP_SLIDER, OnSliderCommand)
END_MESSAGE_MAP()

BOOL BmpEffectsPage::OnInitDialog() {
    for (const BmpEffect& e : BmpEffectTable) {
        CString name;
        name.LoadString(e.name);
        ::SendDlgItemMessage(m_hWnd, IDC_BMP_EFFECTS, LB_ADDSTRING, 0, LPARAM(LPCSTR(name)));
    }
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_EFFECTS, LB_SETCURSEL, 0, 0);
    for (UINT id = IDS_BMP_DIRECTION_FIRST; id < IDS_BMP_DIRECTION_FIRST + 8; ++id) {
        CString name;
        name.LoadString(id);
        ::SendDlgItemMessage(m_hWnd, IDC_BMP_DIRECTION, CB_ADDSTRING, 0, LPARAM(LPCSTR(name)));
    }
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_DIRECTION, CB_SETCURSEL, 0, 0);
    effect = 0;
    direction = 0;
    return BmpSheetPage::OnInitDialog();
}

void BmpEffectsPage::Refresh(bool) {
    const BmpEffect& row = BmpEffectTable[effect];
    // Every refresh starts from the row's default, so a switch of effect never keeps the
    // previous row's position.
    value = m_lastValue = row.initial;
    const bool on = sheet->target != nullptr;
    Enable(this, IDC_BMP_APPLY, on);
    Enable(this, IDC_BMP_EFFECTS, on);
    Enable(this, IDC_BMP_SLIDER, on && row.minimum != row.maximum);
    if (!on) {
        sheet->previewResult.Destroy();
        if (CWnd* w = GetDlgItem(IDC_BMP_PREVIEW)) w->Invalidate();
        return;
    }
    CString range;
    if (row.minimum != row.maximum) {
        CString before, after;
        if (row.before != 0 && before.LoadString(row.before)) before += ": ";
        if (row.after != 0) after.LoadString(row.after);
        range.Format("%s%d...%d %s", LPCSTR(before), row.minimum, row.maximum, LPCSTR(after));
    }
    SetDlgItemText(IDC_BMP_RANGE, range);
    Enable(this, IDC_BMP_DIRECTION, effect == BmpDirectedEffect);
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETRANGE, FALSE,
                         MAKELPARAM(row.minimum, row.maximum));
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETRANGEMIN, FALSE, row.minimum);
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETRANGEMAX, FALSE, row.maximum);
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETPAGESIZE, 0, row.page);
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETPOS, TRUE, row.initial);
    SetDlgItemInt(IDC_BMP_VALUE, UINT(row.initial), TRUE);
    UpdatePreview();
}

void BmpEffectsPage::OnEffectChosen() {
    const LRESULT i = ::SendDlgItemMessage(m_hWnd, IDC_BMP_EFFECTS, LB_GETCURSEL, 0, 0);
    if (i < 0 || i >= BmpEffectCount) return;
    effect = int(i);
    Refresh(false);
}

void BmpEffectsPage::OnDirectionChosen() {
    const LRESULT i = ::SendDlgItemMessage(m_hWnd, IDC_BMP_DIRECTION, CB_GETCURSEL, 0, 0);
    direction = i < 0 ? 0 : int(i);
    if (sheet->target != nullptr) UpdatePreview();
}

void BmpEffectsPage::OnHScroll(UINT, UINT, CScrollBar*) {
    SliderMoved();
}

void BmpEffectsPage::OnSliderCommand() {
    SliderMoved();
}

void BmpEffectsPage::SliderMoved() {
    const int pos = int(::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_GETPOS, 0, 0));
    if (pos == m_lastValue) return;
    value = m_lastValue = pos;
    SetDlgItemInt(IDC_BMP_VALUE, UINT(pos), TRUE);
    if (sheet->target != nullptr) UpdatePreview();
}

void BmpEffectsPage::ApplyEffect(CDib& picture) {
    if (picture.IsEmpty()) return;
    {
        // The effects work on 24 bits: a picture of that size must be possible.
        CDib probe;
        if (!probe.Create(picture.GetWidth(), picture.GetHeight(), 24)) return;
    }
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (ConvertDibToToolkitBitmap(&picture, &bitmap) != 0) return;
    RunBmpEffect(effect, &bitmap, value, direction);
    ConvertToolkitBitmapToDib(&bitmap, &picture);
}

// ---- colour depth

BEGIN_MESSAGE_MAP(ColorResPage, BmpSheetPage)
ON_CONTROL_RANGE(BN_CLICKED, IDC_BMP_DITHER_NONE, IDC_BMP_DEPTH_24, OnRadio)
ON_CONTROL_RANGE(BN_CLICKED, IDC_BMP_PALETTE_OWN, IDC_BMP_PALETTE_FIXED, OnRadio)
ON_CONTROL(EN_CHANGE, IDC_BMP_COLORS, OnColorsTyped)
END_MESSAGE_MAP()

BOOL ColorResPage::OnInitDialog() {
    m_showing = true;
    const BOOL r = BmpSheetPage::OnInitDialog();
    m_showing = false;
    return r;
}

void ColorResPage::DoDataExchange(CDataExchange* pDX) {
    BmpSheetPage::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_BMP_DITHER_NONE, ditherIndex);
    DDX_Radio(pDX, IDC_BMP_DEPTH_1, depthIndex);
    DDX_Text(pDX, IDC_BMP_COLORS, colorCount);
    DDX_Radio(pDX, IDC_BMP_PALETTE_OWN, paletteIndex);
}

void ColorResPage::EnableDitherAndPalette() {
    const bool palette = kDepths[std::clamp(depthIndex, 0, 4)] <= 8;
    for (int id = IDC_BMP_DITHER_NONE; id <= IDC_BMP_DITHER_DIFFUSION; ++id)
        Enable(this, id, palette);
    Enable(this, IDC_BMP_PALETTE_OWN, palette);
    Enable(this, IDC_BMP_PALETTE_FIXED, palette);
}

void ColorResPage::Refresh(bool) {
    if (sheet->target != nullptr && !sheet->target->image.IsEmpty()) {
        const int bits = sheet->target->image.GetBitsPerPixel();
        depthIndex = int(std::find(kDepths, kDepths + 5, bits) - kDepths);
        if (depthIndex > 4) depthIndex = 4;
        colorCount = 1 << kDepths[depthIndex];
    }
    const bool was = m_showing;
    m_showing = true;
    UpdateData(FALSE);
    m_showing = was;
    EnableDitherAndPalette();
    EnableApply(sheet->target != nullptr);
    UpdatePreview();
}

void ColorResPage::OnRadio(UINT) {
    if (m_showing) return;
    m_showing = true;
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(IDC_BMP_DITHER_NONE + i)) ditherIndex = i;
    for (int i = 0; i < 5; ++i)
        if (IsDlgButtonChecked(IDC_BMP_DEPTH_1 + i)) depthIndex = i;
    for (int i = 0; i < 2; ++i)
        if (IsDlgButtonChecked(IDC_BMP_PALETTE_OWN + i)) paletteIndex = i;
    colorCount = 1 << kDepths[depthIndex];
    SetDlgItemInt(IDC_BMP_COLORS, UINT(colorCount), FALSE);
    m_showing = false;
    EnableDitherAndPalette();
    UpdatePreview();
}

void ColorResPage::OnColorsTyped() {
    if (m_showing) return;
    const CString text = Text(this, IDC_BMP_COLORS);
    char* end = nullptr;
    const long long typed = std::strtoll(text, &end, 10);
    if (end == LPCSTR(text) || *end != '\0') return;
    const long long most = 1LL << kDepths[depthIndex];
    colorCount = int(std::clamp(typed, 0LL, most));
    if (typed > most) {
        m_showing = true;
        SetDlgItemInt(IDC_BMP_COLORS, UINT(colorCount), FALSE);
        m_showing = false;
    }
    UpdatePreview();
}

void ColorResPage::ApplyColorResolution(CDib& picture) {
    if (picture.IsEmpty()) return;
    const int bits = kDepths[std::clamp(depthIndex, 0, 4)];
    const long long colours = std::min<long long>(1LL << bits, std::max(colorCount, 0));
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    if (ConvertDibToToolkitBitmap(&picture, &bitmap) != 0) return;
    if (colours <= 256)
        KovaColorRes(&bitmap, &bitmap, bits,
                     kDither[std::clamp(ditherIndex, 0, 2)] | (paletteIndex == 1 ? 8 : 2), nullptr,
                     int(colours), 0, 0);
    else
        KovaColorRes(&bitmap, &bitmap, bits, 4, nullptr, int(colours), 0, 0);
    ConvertToolkitBitmapToDib(&bitmap, &picture);
}

// ---- size

BEGIN_MESSAGE_MAP(ResizePage, BmpSheetPage)
ON_CONTROL_RANGE(BN_CLICKED, IDC_BMP_BY_PIXELS, IDC_BMP_BY_PERCENT, OnOptions)
ON_CONTROL_RANGE(BN_CLICKED, IDC_BMP_KEEP_ASPECT, IDC_BMP_TRUE_COLOR, OnOptions)
ON_CONTROL_RANGE(EN_CHANGE, IDC_BMP_WIDTH, IDC_BMP_ASPECT, OnEdit)
END_MESSAGE_MAP()

BOOL ResizePage::OnInitDialog() {
    m_showing = true;
    const struct {
        int spin, buddy, most;
    } spins[4] = {{IDC_BMP_WIDTH_SPIN, IDC_BMP_WIDTH, 16384},
                  {IDC_BMP_HEIGHT_SPIN, IDC_BMP_HEIGHT, 16384},
                  {IDC_BMP_WIDTH_PERCENT_SPIN, IDC_BMP_WIDTH_PERCENT, 5000},
                  {IDC_BMP_HEIGHT_PERCENT_SPIN, IDC_BMP_HEIGHT_PERCENT, 5000}};
    for (const auto& s : spins) {
        ::SendDlgItemMessage(m_hWnd, s.spin, UDM_SETBUDDY, WPARAM(::GetDlgItem(m_hWnd, s.buddy)),
                             0);
        ::SendDlgItemMessage(m_hWnd, s.spin, UDM_SETRANGE32, 1, s.most);
    }
    const BOOL r = BmpSheetPage::OnInitDialog();
    m_showing = false;
    return r;
}

void ResizePage::DoDataExchange(CDataExchange* pDX) {
    BmpSheetPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_BMP_KEEP_ASPECT, keepAspect);
    DDX_Check(pDX, IDC_BMP_TRUE_COLOR, trueColor);
    DDX_Radio(pDX, IDC_BMP_BY_PIXELS, byPercent);
    if (!pDX->m_bSaveAndValidate) {
        DDX_Text(pDX, IDC_BMP_WIDTH, widthPixels);
        DDX_Text(pDX, IDC_BMP_HEIGHT, heightPixels);
        DDX_Text(pDX, IDC_BMP_WIDTH_PERCENT, widthPercent);
        DDX_Text(pDX, IDC_BMP_HEIGHT_PERCENT, heightPercent);
        DDX_Text(pDX, IDC_BMP_ASPECT, aspect);
    }
    const bool on = sheet->target != nullptr;
    Enable(this, IDC_BMP_WIDTH, on && !byPercent);
    Enable(this, IDC_BMP_HEIGHT, on && !byPercent);
    Enable(this, IDC_BMP_WIDTH_PERCENT, on && byPercent);
    Enable(this, IDC_BMP_HEIGHT_PERCENT, on && byPercent);
    Enable(this, IDC_BMP_ASPECT, on);
    ShowMemory();
}

// The result's bytes: whole 32-bit words a row.
void ResizePage::ShowMemory() {
    const int bits = trueColor ? 24 : int(GetDlgItemInt(IDC_BMP_BITS_TEXT, nullptr, FALSE));
    const unsigned long long bytes =
        (unsigned long long)((unsigned long long)widthPixels * unsigned(bits) + 31) / 32 * 4 *
        heightPixels;
    char text[32];
    std::snprintf(text, sizeof text, "%llu", bytes);
    SetDlgItemText(IDC_BMP_MEMORY_TEXT, text);
}

void ResizePage::ShowAll(int) {
    const bool was = m_showing;
    m_showing = true;
    UpdateData(FALSE);
    m_showing = was;
}

void ResizePage::Refresh(bool) {
    EnableApply(sheet->target != nullptr);
    if (sheet->target != nullptr && !sheet->target->image.IsEmpty()) {
        CDib& image = sheet->target->image;
        widthPixels = UINT(image.GetWidth());
        heightPixels = UINT(image.GetHeight());
        aspect = float(image.GetWidth()) / float(image.GetHeight());
        widthPercent = heightPercent = 100;
        const bool was = m_showing;
        m_showing = true;
        SetDlgItemInt(IDC_BMP_BITS_TEXT, UINT(image.GetBitsPerPixel()), FALSE);
        m_showing = was;
    }
    ShowAll(0);
    if (CWnd* w = GetDlgItem(IDC_BMP_PREVIEW)) w->Invalidate();
}

void ResizePage::OnOptions(UINT) {
    if (m_showing) return;
    keepAspect = IsDlgButtonChecked(IDC_BMP_KEEP_ASPECT) ? 1 : 0;
    trueColor = IsDlgButtonChecked(IDC_BMP_TRUE_COLOR) ? 1 : 0;
    byPercent = IsDlgButtonChecked(IDC_BMP_BY_PERCENT) ? 1 : 0;
    ShowAll(0);
}

// Each edit keeps the others consistent with it; pixel counts are whole numbers.
void ResizePage::OnEdit(UINT id) {
    if (m_showing || sheet->target == nullptr || sheet->target->image.IsEmpty()) return;
    const CString text = Text(this, int(id));
    if (text.IsEmpty()) return;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == LPCSTR(text) || *end != '\0' || !std::isfinite(v) || v < 0) return;
    const double oldW = sheet->target->image.GetWidth(), oldH = sheet->target->image.GetHeight();
    auto pixels = [](double p) { return UINT(std::min(p, 1e9)); };
    switch (id) {
    case IDC_BMP_WIDTH:
        widthPixels = pixels(v);
        if (keepAspect && aspect > 0)
            heightPixels = pixels(widthPixels / aspect);
        else if (heightPixels > 0)
            aspect = float(double(widthPixels) / heightPixels);
        break;
    case IDC_BMP_HEIGHT:
        heightPixels = pixels(v);
        if (keepAspect)
            widthPixels = pixels(heightPixels * aspect);
        else if (heightPixels > 0)
            aspect = float(double(widthPixels) / heightPixels);
        break;
    case IDC_BMP_WIDTH_PERCENT:
        widthPixels = pixels(v * 0.01 * oldW);
        if (keepAspect && aspect > 0)
            heightPixels = pixels(widthPixels / aspect);
        else if (heightPixels > 0)
            aspect = float(double(widthPixels) / heightPixels);
        break;
    case IDC_BMP_HEIGHT_PERCENT:
        heightPixels = pixels(v * 0.01 * oldH);
        if (keepAspect)
            widthPixels = pixels(heightPixels * aspect);
        else if (heightPixels > 0)
            aspect = float(double(widthPixels) / heightPixels);
        break;
    case IDC_BMP_ASPECT:
        if (v <= 0) return;
        aspect = float(v);
        heightPixels = pixels(widthPixels / v);
        break;
    default:
        return;
    }
    if (id != IDC_BMP_WIDTH_PERCENT) widthPercent = float(widthPixels / oldW * 100);
    if (id != IDC_BMP_HEIGHT_PERCENT) heightPercent = float(heightPixels / oldH * 100);
    // The others shown; the edit being typed in keeps its text.
    const bool was = m_showing;
    m_showing = true;
    char t[32];
    if (id != IDC_BMP_WIDTH) SetDlgItemInt(IDC_BMP_WIDTH, widthPixels, FALSE);
    if (id != IDC_BMP_HEIGHT) SetDlgItemInt(IDC_BMP_HEIGHT, heightPixels, FALSE);
    std::snprintf(t, sizeof t, "%g", widthPercent);
    if (id != IDC_BMP_WIDTH_PERCENT) SetDlgItemText(IDC_BMP_WIDTH_PERCENT, t);
    std::snprintf(t, sizeof t, "%g", heightPercent);
    if (id != IDC_BMP_HEIGHT_PERCENT) SetDlgItemText(IDC_BMP_HEIGHT_PERCENT, t);
    std::snprintf(t, sizeof t, "%g", aspect);
    if (id != IDC_BMP_ASPECT) SetDlgItemText(IDC_BMP_ASPECT, t);
    ShowMemory();
    m_showing = was;
}

void ResizePage::DoApply() {
    if (sheet->target == nullptr || sheet->target->image.IsEmpty()) return;
    CDib& image = sheet->target->image;
    if (std::max(widthPixels, 1u) == UINT(image.GetWidth()) &&
        std::max(heightPixels, 1u) == UINT(image.GetHeight()))
        return;
    sheet->PrepareUndo();
    if (sheet->target == nullptr) return;
    Resample(sheet->target->image);
    if (!sheet->target->mask.IsEmpty()) Resample(sheet->target->mask);
    sheet->previewReady = 0;
    Refresh(true);
}

// A picture never shrinks below one pixel either way.
void ResizePage::Resample(CDib& picture) {
    if (picture.IsEmpty()) return;
    const int w = int(std::clamp(widthPixels, 1u, 65535u)),
              h = int(std::clamp(heightPixels, 1u, 65535u));
    if (w == picture.GetWidth() && h == picture.GetHeight()) return;
    floatTMatrix m;
    m.BoxTransformation(0, 0, float(picture.GetWidth()), float(picture.GetHeight()), 0, 0, float(w),
                        float(h));
    CDib resized;
    if (trueColor) {
        if (!resized.Create(w, h, 24)) return;
        TexturePaint(picture, m, RECT{0, 0, w, h}, resized, 10);
    } else {
        if (!resized.Create(w, h, picture.GetBitsPerPixel())) return;
        resized.CopyPaletteFrom(picture);
        TexturePaint(picture, m, RECT{0, 0, w, h}, resized, 2);
    }
    picture = std::move(resized);
}
