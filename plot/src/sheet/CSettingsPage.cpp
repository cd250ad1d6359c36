#include "CSettingsPage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <mfc/CDC.h>
#include <mfc/CDataExchange.h>
#include <mfc/CGdiObject.h>
#include <mfc/CWinApp.h>
#include <pathkit/ColorPath.h>
#include <win32/controls.h>
#include <win32/resource.h>
#include <win32/user.h>
#include <win32/wingdi.h>

#include "../JobSheetResources.h"
#include "../JobSheetStrings.h"
#include "../PlotFields.h"
#include "../PlotJob.h"
#include "../PlotSettings.h"
#include "SheetIds.h"
#include "plot/Plottable.h"

namespace plotsheet {

void CColorListBox::DrawItem(LPDRAWITEMSTRUCT item) {
    if (int(item->itemID) < 0) return;
    CDC* dc = CDC::FromHandle(item->hDC);
    CRect r = item->rcItem;
    dc->FillSolidRect(
        &r, GetSysColor((item->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    CRect box(r.left + 1, r.top + 2, r.left + 12, r.top + 13);
    dc->FillSolidRect(&box, RGB(255, 255, 255));
    if (GetCheck(int(item->itemID))) {
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        CPen* old = dc->SelectObject(&pen);
        dc->MoveTo(box.left + 2, box.top + 5);
        dc->LineTo(box.left + 4, box.top + 8);
        dc->LineTo(box.left + 9, box.top + 2);
        dc->SelectObject(old);
    }
    CRect swatch(r.left + BoxWidth + 2, r.top + 2, r.right - 2, r.bottom - 2);
    dc->FillSolidRect(&swatch, COLORREF(GetItemData(int(item->itemID)) & 0xFFFFFF));
}

BEGIN_MESSAGE_MAP(CSettingsPage, CDisplayPage)
ON_CONTROL(CBN_SELENDOK, IDC_COMBO1, OnLayer)
ON_COMMAND(IDC_BUTTON3, OnCheckAll)
ON_COMMAND(IDC_BUTTON4, OnClearAll)
ON_COMMAND(IDC_BUTTON5, OnApplyColours)
ON_CONTROL(LBN_DBLCLK, IDC_LIST, OnColourDoubleClick)
ON_CONTROL(CLBN_CHKCHANGE, IDC_LIST, OnApplyColours)
ON_CONTROL(EN_CHANGE, IDC_EDIT2, OnWeedMargin)
ON_CONTROL(EN_CHANGE, IDC_EDIT3, OnWeedMargin)
ON_CONTROL(EN_CHANGE, IDC_EDIT4, OnPanelMark)
ON_CONTROL(EN_CHANGE, IDC_EDIT5, OnPanelMark)
ON_CONTROL(EN_CHANGE, IDC_EDIT0, OnMarkerSize)
ON_COMMAND(IDC_CHECK2, OnWeedBox)
ON_COMMAND(IDC_CHECK3, OnPanelMarkers)
ON_COMMAND(IDC_CHECK0, OnRegistrationMarkers)
ON_COMMAND(IDC_CHECK1, OnEditMarkers)
ON_COMMAND(IDC_BUTTON2, OnDeleteMarker)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CSettingsPage::CSettingsPage() : CDisplayPage(IDD_SETTINGS_PAGE) {}

BOOL CSettingsPage::OnInitDialog() {
    CDisplayPage::OnInitDialog();
    colours_.SubclassDlgItem(IDC_LIST, this);
    const int pictures[3][2] = {{IDC_PICTURE0, IDB_WEED},
                                {IDC_SHEET_LABEL, IDB_REGISTRATION},
                                {IDC_PICTURE1, IDB_PANEL_MARKS}};
    for (int i = 0; i < 3; ++i) {
        auto* picture = static_cast<CStatic*>(GetDlgItem(pictures[i][0]));
        pictures_[i] = LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(WORD(pictures[i][1])));
        if (picture && pictures_[i]) picture->SetBitmap(pictures_[i]);
    }
    FillColours();
    FillLayers();
    Job.selectedMarker = -1;
    UpdateData(FALSE);
    ShowLayer();
    return TRUE;
}

void CSettingsPage::OnDestroy() {
    CDisplayPage::OnDestroy();
    for (HBITMAP& b : pictures_) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

void CSettingsPage::DoDataExchange(CDataExchange* pDX) {
    struct Flag {
        bool& f;
        bool was;
        Flag(bool& flag, bool on) : f(flag), was(flag) { f = f || on; }
        ~Flag() { f = was; }
    } loading(loading_, !pDX->m_bSaveAndValidate);
    CDisplayPage::DoDataExchange(pDX);
    TileTable& t = Job.tiles;
    DDX_Check(pDX, IDC_CHECK1, editMarkers_);
    float size = Job.markerSize;
    DDX_Length(pDX, IDC_EDIT0, size);
    DDX_Check(pDX, IDC_CHECK2, Job.weedBox);
    DDX_Length(pDX, IDC_EDIT2, Job.weedDx);
    DDX_Length(pDX, IDC_EDIT3, Job.weedDy);
    DDX_Check(pDX, IDC_CHECK3, t.panelMarks);
    DDX_Length(pDX, IDC_EDIT4, t.panelMarkLength);
    DDX_Length(pDX, IDC_EDIT5, t.panelMarkWidth);
    DDX_Check(pDX, IDC_CHECK0, Job.registrationMarkers);
    if (pDX->m_bSaveAndValidate && size != Job.markerSize) Job.SetMarkerSize(size);
    if (!Job.registrationMarkers) {
        editMarkers_ = 0;
        if (auto* b = static_cast<CButton*>(GetDlgItem(IDC_CHECK1))) b->SetCheck(BST_UNCHECKED);
    }
    if (CWnd* c = GetDlgItem(IDC_CHECK1)) c->EnableWindow(Job.registrationMarkers);
    if (CWnd* c = GetDlgItem(IDC_BUTTON2))
        c->EnableWindow(Job.registrationMarkers && editMarkers_ && Job.selectedMarker >= 0);
    for (int id : {IDC_EDIT2, IDC_EDIT3})
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(Job.weedBox);
    for (int id : {IDC_EDIT4, IDC_EDIT5})
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(t.panelMarks);
}

void CSettingsPage::WriteSettings() {
    JobSettings s;
    s.weedBox = Job.weedBox;
    s.weedDx = Job.weedDx;
    s.weedDy = Job.weedDy;
    s.registrationMarkers = Job.registrationMarkers;
    s.markerSize = Job.markerSize;
    s.panelMarkers = Job.tiles.panelMarks;
    s.panelMarkLength = Job.tiles.panelMarkLength;
    s.panelMarkWidth = Job.tiles.panelMarkWidth;
    s.SaveMarks();
}

void CSettingsPage::FillColours() {
    colours_.ResetContent();
    for (const PlotJob::Colour& c : Job.colours) {
        char text[32];
        std::snprintf(text, sizeof text, "%06X", unsigned(c.rgb & 0xFFFFFF));
        int i = colours_.AddString(text);
        colours_.SetItemData(i, c.rgb);
    }
    ShowChecks();
}

void CSettingsPage::ShowChecks() {
    for (int i = 0; i < colours_.GetCount(); ++i)
        colours_.SetCheck(i, Job.IsColourEnabled(std::uint32_t(colours_.GetItemData(i))));
}

CString CSettingsPage::LayerText(int layer) {
    if (Job.design && std::string(Job.design->getPlottableName() ? Job.design->getPlottableName()
                                                                 : "") == "QUENTARO") {
        CString name;
        Job.design->getLayerName(name, layer);
        return name;
    }
    return JobSheetNumber(IDS_LAYER, "Layer %d", layer);
}

void CSettingsPage::FillLayers() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO1));
    if (!combo) return;
    combo->ResetContent();
    combo->AddString(JobSheetText(IDS_ALL_LAYERS, "All layers"));
    int counts[256] = {};
    ColorPath** paths;
    int n = Job.GetPaths(paths);
    for (int i = 0; i < n; ++i)
        if (paths[i]) ++counts[std::clamp(int(paths[i]->layer), -127, 127) + 128];
    for (int layer = -128; layer <= 127; ++layer) {
        if (!counts[layer + 128]) continue;
        int at = combo->AddString(LayerText(layer));
        combo->SetItemData(at, DWORD_PTR(layer));
    }
}

void CSettingsPage::ShowLayer() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO1));
    if (!combo) return;
    if (Job.layerFilter == PlotJob::AllLayers)
        combo->SetCurSel(0);
    else
        combo->SelectString(-1, LayerText(Job.layerFilter));
}

void CSettingsPage::OnLayer() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO1));
    if (!combo) return;
    int sel = combo->GetCurSel();
    int layer = PlotJob::AllLayers;
    if (sel > 0) {
        const char* name = Job.design ? Job.design->getPlottableName() : nullptr;
        if (name && std::string(name) == "QUENTARO") {
            layer = int(combo->GetItemData(sel));
        } else {
            // Read back from where the number stands in the layer text.
            CString text;
            combo->GetLBText(sel, text);
            std::string format = static_cast<const char*>(JobSheetText(IDS_LAYER, "Layer %d"));
            std::string shown = static_cast<const char*>(text);
            std::size_t at = format.find("%d");
            layer = at != std::string::npos && at < shown.size()
                        ? int(std::strtol(shown.c_str() + at, nullptr, 10))
                        : int(combo->GetItemData(sel));
        }
    }
    Job.SetLayerFilter(layer);
    FillColours();
    Job.Refresh();
    Refresh();
}

void CSettingsPage::OnCheckAll() {
    for (PlotJob::Colour& c : Job.colours)
        c.enabled = 1;
    ShowChecks();
    OnApplyColours();
}

void CSettingsPage::OnClearAll() {
    for (PlotJob::Colour& c : Job.colours)
        c.enabled = 0;
    ShowChecks();
    OnApplyColours();
}

void CSettingsPage::OnColourDoubleClick() {
    int sel = colours_.GetCurSel();
    if (sel < 0) return;
    // Exactly that colour.
    for (PlotJob::Colour& c : Job.colours)
        c.enabled = c.rgb == std::uint32_t(colours_.GetItemData(sel));
    ShowChecks();
    OnApplyColours();
}

void CSettingsPage::OnApplyColours() {
    for (int i = 0; i < colours_.GetCount(); ++i)
        Job.EnableColour(std::uint32_t(colours_.GetItemData(i)), colours_.GetCheck(i));
    Job.Refresh();
    Refresh();
}

void CSettingsPage::TileSizeAgain() {
    Job.CalcTileSize();
    Job.notifyTileChange(1);
}

void CSettingsPage::OnWeedMargin() {
    float x, y;
    if (loading_) return;
    if (!ReadLength(GetDlgItem(IDC_EDIT2), x) || !ReadLength(GetDlgItem(IDC_EDIT3), y) || x < 0 ||
        x > 100 || y < 0 || y > 100) {
        MessageBeep(0);
        return;
    }
    if (!UpdateData(TRUE)) return;
    Job.Refresh();
    Refresh();
    WriteSettings();
}

void CSettingsPage::OnPanelMark() {
    float l, w;
    if (loading_) return;
    if (!ReadLength(GetDlgItem(IDC_EDIT4), l) || !ReadLength(GetDlgItem(IDC_EDIT5), w) || l < 0 ||
        l > 20 || w < 0 || w > 20) {
        MessageBeep(0);
        return;
    }
    if (!UpdateData(TRUE)) return;
    TileSizeAgain();
    Refresh();
    WriteSettings();
}

void CSettingsPage::OnMarkerSize() {
    float v;
    if (loading_) return;
    if (!ReadLength(GetDlgItem(IDC_EDIT0), v) || v < 5 || v > 100) {
        MessageBeep(0);
        return;
    }
    if (!UpdateData(TRUE)) return;
    Job.Refresh();
    Refresh();
    WriteSettings();
}

void CSettingsPage::OnWeedBox() {
    if (!UpdateData(TRUE)) return;
    Job.Refresh();
    Refresh();
    WriteSettings();
}

void CSettingsPage::OnPanelMarkers() {
    if (!UpdateData(TRUE)) return;
    TileSizeAgain();
    Refresh();
    WriteSettings();
}

void CSettingsPage::OnRegistrationMarkers() {
    if (!UpdateData(TRUE)) return;
    WriteSettings();
    Job.Refresh();
    Refresh();
}

void CSettingsPage::OnEditMarkers() {
    if (!UpdateData(TRUE)) return;
    Job.selectedMarker = -1;
    Refresh();
    UpdateData(FALSE);
}

void CSettingsPage::OnDeleteMarker() {
    Job.DeleteMarker(Job.selectedMarker);
    Job.selectedMarker = -1;
    UpdateData(FALSE);
    Refresh();
}

void CSettingsPage::DrawPreview(CDC& dc) {
    const int copies = Job.copies;
    if (editMarkers_) Job.copies = 1;
    Job.DrawLayout(dc, !editMarkers_);
    Job.copies = copies;
}

void CSettingsPage::OnPreviewEvent() {
    if (!editMarkers_) {
        CDisplayPage::OnPreviewEvent();
        return;
    }
    CPoint p = preview_.point;
    floatPoint mm = Job.DisplayToMM(p);
    switch (preview_.kind) {
    case CPreviewButton::LeftDown: {
        int found = Job.FindMarker(mm);
        if (found < 0) found = Job.AddMarker(mm);
        if (found < 0) MessageBeep(0);
        Job.selectedMarker = found;
        Refresh();
        UpdateData(FALSE);
        break;
    }
    case CPreviewButton::LeftUp:
        Refresh();
        break;
    case CPreviewButton::RightDown:
    case CPreviewButton::RightUp:
        CDisplayPage::OnPreviewEvent();
        break;
    default:
        if (preview_.held) {
            if (Job.dragMode == 1) {
                CDisplayPage::OnPreviewEvent();
            } else if (Job.selectedMarker >= 0) {
                Job.MoveMarker(Job.selectedMarker, mm);
                Refresh();
            }
        } else {
            preview_.cursor =
                LoadCursorA(nullptr, Job.FindMarker(mm) >= 0 ? IDC_SIZEALL : IDC_ARROW);
        }
        UpdateReadout();
        break;
    }
}

} // namespace plotsheet
