#include "doc/CColourEditor.h"

#include <algorithm>
#include <cmath>

#include <mfc/CClientDC.h>
#include <mfc/CControls.h>
#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <mfc/CWinThread.h>
#include <rasterkit/CWndDibDC.h>
#include <shell/ColorModel.h>
#include <shell/HalftonePalette.h>
#include <shell/PrivateMessages.h>
#include <shell/ProfileSettings.h>
#include <win32/icon.h>
#include <win32/userdraw.h>
#include <win32/wingdi.h>

#include "doc/DocResourceIds.h"

BEGIN_MESSAGE_MAP(CColourEditor, CDialog)
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_HSCROLL()
ON_WM_DRAWITEM()
ON_MESSAGE(WM_CTLCOLORBTN, OnCtlColorBtn)
ON_MESSAGE(WM_CTRLDRAGOVER, OnCtrlDragOver)
ON_MESSAGE(WM_CTRLDROP, OnCtrlDrop)
ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
END_MESSAGE_MAP()

namespace {

constexpr const char* PlacementName = "ColourEditor";
constexpr int Sliders[3] = {IDC_CE_SLIDER0, IDC_CE_SLIDER1, IDC_CE_SLIDER2};
constexpr int Edits[3] = {IDC_CE_COMPONENT0, IDC_CE_COMPONENT1, IDC_CE_COMPONENT2};
constexpr int Labels[3] = {IDC_CE_LABEL0, IDC_CE_LABEL1, IDC_CE_LABEL2};
constexpr const char* LabelTexts[3][3] = {
    {"R:", "G:", "B:"}, {"C:", "M:", "Y:"}, {"H:", "L:", "S:"}};

// Blue, green, red bytes of one map pixel as the model stores them.
void ToColour(int model, BYTE bgr[3]) {
    if (model == 1) {
        for (int i = 0; i < 3; ++i)
            bgr[i] = BYTE(255 - bgr[i]);
    } else if (model == 2) {
        // Hue in the red byte, lightness in the green, saturation in the blue.
        BYTE r, g, b;
        HLSToRGBBytes(bgr[2], bgr[1], bgr[0], &r, &g, &b);
        bgr[0] = b;
        bgr[1] = g;
        bgr[2] = r;
    }
}

// Icon IDI_CE_MARKER (32 x 32) centred on (x, y).
void DrawMarker(CDC& dc, int x, int y) {
    if (HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CE_MARKER)))
        dc.DrawIcon(x - 16, y - 16, icon);
}

} // namespace

CColourEditor::CColourEditor() : CDialog(IDD_COLOUR_EDITOR) {}

CColourEditor::~CColourEditor() {
    if (m_hWnd) DestroyWindow();
}

BOOL CColourEditor::Create(CWnd* pParentWnd) {
    return CDialog::Create(IDD_COLOUR_EDITOR, pParentWnd);
}

COLORREF CColourEditor::GetColor() const {
    const BYTE* c = m_components;
    switch (m_nModel) {
    case 0:
        return RGB(c[0], c[1], c[2]);
    case 1:
        return RGB(255 - c[0], 255 - c[1], 255 - c[2]);
    default: {
        BYTE r, g, b;
        HLSToRGBBytes(c[0], c[1], c[2], &r, &g, &b);
        return RGB(r, g, b);
    }
    }
}

void CColourEditor::SetColor(COLORREF color) {
    const BYTE r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    BYTE* c = m_components;
    switch (m_nModel) {
    case 0:
        c[0] = r, c[1] = g, c[2] = b;
        break;
    case 1:
        c[0] = BYTE(255 - r), c[1] = BYTE(255 - g), c[2] = BYTE(255 - b);
        break;
    default:
        RGBToHLSBytes(r, g, b, &c[0], &c[1], &c[2]);
        break;
    }
}

void CColourEditor::SetColourAndShow(COLORREF color) {
    SetColor(color);
    if (!m_hWnd) return;
    FillControls();
    RebuildMap();
    RedrawSwatchAndMap();
}

void CColourEditor::SetModel(int model) {
    if (model >= 0 && model <= 2) {
        m_nModel = model;
        if (m_hWnd) ApplyLabels();
    }
    if (!m_hWnd) return;
    RebuildMap();
    RedrawSwatchAndMap();
}

void CColourEditor::RenderMap(DIBInterface& picture, int model, int axis, BYTE value) {
    const int w = picture.GetWidth(), h = picture.GetHeight();
    if (w < 1 || h < 1) return;
    // 16.16 steps, so the free components run 0..255 over the size.
    const unsigned stepX = (256u << 16) / unsigned(w), stepY = (256u << 16) / unsigned(h);
    // Byte positions (0 blue, 1 green, 2 red) of x, y and the held value per axis.
    static constexpr int Positions[3][3] = {{0, 1, 2}, {0, 2, 1}, {2, 1, 0}};
    const int* at = Positions[axis >= 0 && axis <= 2 ? axis : 0];
    for (int y = 0; y < h; ++y) {
        const BYTE vy = BYTE(std::min(255u, (unsigned(y) * stepY) >> 16));
        for (int x = 0; x < w; ++x) {
            BYTE bgr[3];
            bgr[at[0]] = BYTE(std::min(255u, (unsigned(x) * stepX) >> 16));
            bgr[at[1]] = vy;
            bgr[at[2]] = value;
            ToColour(model, bgr);
            if (BYTE* p = picture.GetPointer(x, y)) p[0] = bgr[0], p[1] = bgr[1], p[2] = bgr[2];
        }
    }
}

POINT CColourEditor::MarkerPosition(int axis, const BYTE components[3], int w, int h) {
    static constexpr int Shown[3][2] = {{2, 1}, {2, 0}, {0, 1}};
    const int* c = Shown[axis >= 0 && axis <= 2 ? axis : 0];
    const double fx = w / 256.0, fy = h / 256.0;
    return POINT{LONG(std::lround(components[c[0]] * fx)),
                 LONG(std::lround(components[c[1]] * fy))};
}

BOOL CColourEditor::OnInitDialog() {
    RestoreWindowPlacement(PlacementName, this);
    m_map.SubclassDlgItem(IDC_CE_MAP, this);
    m_swatch.SubclassDlgItem(IDC_CE_SWATCH, this);
    m_hSwatch = m_swatch.m_hWnd;
    CRect client;
    m_map.GetClientRect(&client);
    m_mapPicture = std::make_unique<CWndDibDC>(client.Width(), client.Height());
    ApplyLabels();
    for (int id : Sliders)
        if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(id))) slider->SetRange(0, 255);
    RebuildMap();
    m_bFilling = true;
    const BOOL result = CDialog::OnInitDialog();
    m_bFilling = false;
    return result;
}

void CColourEditor::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    int values[3] = {m_components[0], m_components[1], m_components[2]};
    for (int i = 0; i < 3; ++i) {
        DDX_Text(pDX, Edits[i], values[i]);
        DDV_MinMaxInt(pDX, values[i], 0, 255);
    }
    DDX_Radio(pDX, IDC_CE_AXIS0, m_nMapAxis);
    for (int i = 0; i < 3; ++i)
        m_components[i] = BYTE(values[i]);
    for (int i = 0; i < 3; ++i)
        if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(Sliders[i])))
            slider->SetPos(m_components[i]);
}

void CColourEditor::FillControls() {
    m_bFilling = true;
    UpdateData(FALSE);
    m_bFilling = false;
}

void CColourEditor::ReadControls() {
    // Typing is read quietly: a field that is no number between 0 and 255 is taken at its
    // nearest value and the others still count.
    for (int i = 0; i < 3; ++i) {
        BOOL ok = FALSE;
        const int v = int(GetDlgItemInt(Edits[i], &ok, TRUE));
        if (ok) m_components[i] = BYTE(std::clamp(v, 0, 255));
        if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(Sliders[i])))
            slider->SetPos(m_components[i]);
    }
    const int axis = GetCheckedRadioButton(IDC_CE_AXIS0, IDC_CE_AXIS2);
    if (axis != 0) m_nMapAxis = axis - IDC_CE_AXIS0;
}

void CColourEditor::ApplyLabels() {
    for (int i = 0; i < 3; ++i)
        SetDlgItemText(Labels[i], LabelTexts[m_nModel][i]);
}

void CColourEditor::RebuildMap() {
    if (m_mapPicture && m_mapPicture->IsValid())
        RenderMap(m_mapPicture->m_DIB, m_nModel, m_nMapAxis, m_components[m_nMapAxis]);
}

void CColourEditor::RedrawSwatchAndMap() {
    if (m_hSwatch) ::InvalidateRect(m_hSwatch, nullptr, FALSE);
    if (m_map.m_hWnd) m_map.Invalidate(FALSE);
}

void CColourEditor::OnOK() {
    // Enter does not close the editor.
    ::MessageBeep(0);
}

void CColourEditor::OnCancel() {
    DestroyWindow();
}

void CColourEditor::OnClose() {
    DestroyWindow();
}

void CColourEditor::OnDestroy() {
    SaveWindowPlacement(PlacementName, this);
    if (m_map.m_hWnd) m_map.DestroyWindow();
    m_mapPicture.reset();
    m_hSwatch = nullptr;
    CDialog::OnDestroy();
}

BOOL CColourEditor::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(DWORD(wParam)), code = HIWORD(DWORD(wParam));
    if (id == IDC_CE_MAP && lParam == 0) {
        if (m_map.eventKind == CMouseEventButton::LeftDown) OnMapClick();
        return TRUE;
    }
    if (id == IDC_CE_SWATCH && code == BN_CLICKED && lParam != 0) {
        if (CWnd* parent = GetParent()) parent->PostMessage(WM_COMMAND, IDD_COLOUR_EDITOR, 0);
        return TRUE;
    }
    if ((id == IDC_CE_COMPONENT0 || id == IDC_CE_COMPONENT1 || id == IDC_CE_COMPONENT2) &&
        code == EN_CHANGE) {
        if (m_bFilling) return TRUE;
        const int axis = m_nMapAxis;
        const BYTE held = m_components[axis];
        ReadControls();
        if (int(id - IDC_CE_COMPONENT0) == m_nMapAxis || axis != m_nMapAxis ||
            held != m_components[m_nMapAxis])
            RebuildMap();
        RedrawSwatchAndMap();
        return TRUE;
    }
    if (id >= IDC_CE_AXIS0 && id <= IDC_CE_AXIS2 && code == BN_CLICKED) {
        ReadControls();
        RebuildMap();
        if (m_map.m_hWnd) m_map.Invalidate(FALSE);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CColourEditor::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (pScrollBar == nullptr) return;
    const int id = pScrollBar->GetDlgCtrlID();
    for (int i = 0; i < 3; ++i) {
        if (id != Sliders[i]) continue;
        const int pos = int(::SendMessageA(pScrollBar->m_hWnd, TBM_GETPOS, 0, 0));
        if (pos < 0 || pos > 255 || pos == m_components[i]) return;
        m_components[i] = BYTE(pos);
        FillControls();
        if (i == m_nMapAxis) RebuildMap();
        RedrawSwatchAndMap();
        return;
    }
}

void CColourEditor::OnMapClick() {
    if (!m_mapPicture || !m_mapPicture->IsValid()) return;
    const POINT p = m_map.eventPoint;
    DIBInterface& picture = m_mapPicture->m_DIB;
    if (p.x < 0 || p.y < 0 || p.x >= picture.GetWidth() || p.y >= picture.GetHeight()) return;
    int rgb[3];
    picture.GetPixel(p.x, p.y, rgb);
    SetColor(RGB(rgb[0], rgb[1], rgb[2]));
    FillControls();
    RedrawSwatchAndMap();
}

void CColourEditor::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT dis) {
    CDC* dc = CDC::FromHandle(dis->hDC);
    CPalette* palette = GetAppPalette();
    CPalette* old = palette ? dc->SelectPalette(palette, FALSE) : nullptr;
    if (palette) dc->RealizePalette();
    const RECT& r = dis->rcItem;
    if (nIDCtl == IDC_CE_MAP) {
        if (m_mapPicture && m_mapPicture->IsValid()) {
            DIBInterface& picture = m_mapPicture->m_DIB;
            const int w = picture.GetWidth(), h = picture.GetHeight();
            dc->BitBlt(r.left, r.top, w, h, m_mapPicture.get(), 0, 0, SRCCOPY);
            const POINT m = MarkerPosition(m_nMapAxis, m_components, w, h);
            DrawMarker(*dc, r.left + m.x, r.top + m.y);
        }
    } else if (nIDCtl == IDC_CE_SWATCH) {
        CBrush brush;
        brush.CreateSolidBrush(GetColor());
        dc->FillRect(&r, &brush);
    } else {
        CDialog::OnDrawItem(nIDCtl, dis);
    }
    if (old) dc->SelectPalette(old, FALSE);
}

LRESULT CColourEditor::OnCtlColorBtn(WPARAM, LPARAM lParam) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control == m_map.m_hWnd || control == m_hSwatch)
        return reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
    return Default();
}

LRESULT CColourEditor::OnCtrlDragOver(WPARAM wParam, LPARAM) {
    if (CWnd* frame = AfxGetMainWnd())
        return frame->SendMessage(WM_CTRLDRAGOVER, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT CColourEditor::OnCtrlDrop(WPARAM wParam, LPARAM) {
    if (CWnd* frame = AfxGetMainWnd())
        return frame->SendMessage(WM_CTRLDROP, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT CColourEditor::OnQueryNewPalette(WPARAM, LPARAM) {
    return RealizeAppPalette(*this);
}

LRESULT CColourEditor::OnPaletteChanged(WPARAM wParam, LPARAM) {
    if (reinterpret_cast<HWND>(wParam) != m_hWnd) RealizeAppPalette(*this);
    return 0;
}
