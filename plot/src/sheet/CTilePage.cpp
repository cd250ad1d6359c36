#include "CTilePage.h"

#include <cmath>
#include <cstdio>

#include <mfc/CDataExchange.h>
#include <win32/controls.h>
#include <win32/user.h>

#include <mfc/CWinApp.h>

#include "../JobSheetResources.h"
#include "../JobSheetStrings.h"
#include "../PlotFields.h"
#include "../PlotJob.h"
#include "../PlotSettings.h"
#include "SheetIds.h"

namespace plotsheet {

BEGIN_MESSAGE_MAP(CTilePage, CDisplayPage)
ON_COMMAND(IDC_RADIO1, OnMode)
ON_COMMAND(IDC_RADIO2, OnMode)
ON_COMMAND(IDC_RADIO3, OnMode)
ON_COMMAND(IDC_RADIO4, OnMode)
ON_COMMAND(IDC_BUTTON0, OnRefresh)
ON_COMMAND(IDC_BUTTON1, OnSelectAll)
ON_COMMAND(IDC_BUTTON2, OnSelectNone)
ON_COMMAND(IDC_BUTTON3, OnInvert)
ON_CONTROL(EN_CHANGE, IDC_EDIT0, OnTileSize)
ON_CONTROL(EN_CHANGE, IDC_EDIT1, OnTileSize)
ON_CONTROL(EN_CHANGE, IDC_EDIT2, OnOverlap)
ON_CONTROL(EN_CHANGE, IDC_EDIT3, OnOverlap)
ON_COMMAND(IDC_CHECK0, OnManualFeed)
END_MESSAGE_MAP()

CTilePage::CTilePage() : CDisplayPage(IDD_TILE_PAGE) {}

float CTilePage::Ear() const {
    return Job.tiles.getEarLength();
}

void CTilePage::ManualFeedRule() {
    if (Job.manualFeed && Job.tiles.orderMode != 3) {
        Job.tiles.orderMode = 3;
        BringUpToDate();
    }
}

BOOL CTilePage::OnInitDialog() {
    CDisplayPage::OnInitDialog();
    ManualFeedRule();
    UpdateData(FALSE);
    return TRUE;
}

BOOL CTilePage::OnSetActive() {
    DeviceSettings device(CurrentDevice());
    maxY_ = device.MaxY(10000);
    maxX_ = device.MaxX(50000);
    ManualFeedRule();
    UpdateData(FALSE);
    return CDisplayPage::OnSetActive();
}

void CTilePage::OnReset() {
    BringUpToDate();
}
void CTilePage::OnRefresh() {
    BringUpToDate();
}

void CTilePage::DoDataExchange(CDataExchange* pDX) {
    // Texts shown here are no typing.
    struct Loading {
        bool& flag;
        bool was;
        Loading(bool& f, bool on) : flag(f), was(f) { flag = flag || on; }
        ~Loading() { flag = was; }
    } loading(loading_, !pDX->m_bSaveAndValidate);
    CDisplayPage::DoDataExchange(pDX);
    TileTable& t = Job.tiles;
    DDX_Radio(pDX, IDC_RADIO1, t.orderMode);
    const float e = Ear();
    float w = t.getMaxWidth() + 2 * e, h = t.getMaxHeight() + 2 * e;
    const float usableW = Job.mediaWidth - Job.leftMargin - Job.rightMargin;
    const float usableH = Job.mediaLength - Job.bottomMargin - Job.topMargin;
    DDX_Length(pDX, IDC_EDIT0, w);
    if (pDX->m_bSaveAndValidate) {
        if (std::fabs(w - (t.getMaxWidth() + 2 * e)) <= 0.005f) w = t.getMaxWidth() + 2 * e;
        DDV_Length(pDX, w, 40, Job.mediaWidth);
    }
    DDX_Length(pDX, IDC_EDIT1, h);
    if (pDX->m_bSaveAndValidate) {
        if (std::fabs(h - (t.getMaxHeight() + 2 * e)) <= 0.005f) h = t.getMaxHeight() + 2 * e;
        DDV_Length(pDX, h, 40, Job.mediaLength);
        t.calcTileSize(std::min(w, usableW), std::min(h, usableH));
    }
    float ox = t.overlapX, oy = t.overlapY;
    DDX_Length(pDX, IDC_EDIT2, ox);
    DDV_Length(pDX, ox, 0, 50);
    DDX_Length(pDX, IDC_EDIT3, oy);
    DDV_Length(pDX, oy, 0, 50);
    if (pDX->m_bSaveAndValidate && !(t.getMaxWidth() - ox >= 1 && t.getMaxHeight() - oy >= 1)) {
        // An overlap that leaves no step between panels is refused here, never divided by.
        CString why = JobSheetText(IDS_PANEL_STEP_TOO_SMALL, "the overlap leaves no panel.");
        AfxMessageBox(JobSheetText(IDS_NO_PANELS, "The job cannot be cut in panels: %s", why),
                      MB_OK | MB_ICONEXCLAMATION);
        pDX->PrepareEditCtrl(IDC_EDIT2);
        pDX->Fail();
    }
    t.overlapX = ox;
    t.overlapY = oy;
    DDX_Check(pDX, IDC_CHECK0, Job.manualFeed);
    if (CWnd* c = GetDlgItem(IDC_EDIT0)) c->EnableWindow(t.orderMode != 0);
    if (CWnd* c = GetDlgItem(IDC_EDIT1)) c->EnableWindow(t.orderMode != 0);
    for (int id : {IDC_RADIO1, IDC_RADIO2, IDC_RADIO3, IDC_EDIT3})
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(!Job.manualFeed);
    ShowCount();
}

void CTilePage::ShowCount() {
    char text[96];
    std::snprintf(text, sizeof text, "%d/%d tiles selected", Job.tiles.getSelTiles(),
                  Job.tiles.getNoTiles());
    SetDlgItemText(IDC_TILE_COUNT, text);
}

void CTilePage::BringUpToDate() {
    Job.notifyTileChange(1);
    Refresh();
    ShowCount();
}

void CTilePage::WriteSettings() {
    JobSettings s;
    s.overlapX = Job.tiles.overlapX;
    s.overlapY = Job.tiles.overlapY;
    s.manualFeed = Job.manualFeed;
    s.SaveTiling();
}

void CTilePage::OnMode() {
    if (!UpdateData(TRUE)) return;
    Job.CalcTileSize();
    UpdateData(FALSE);
    BringUpToDate();
}

void CTilePage::OnSelectAll() {
    Job.tiles.select(1);
    Refresh();
    ShowCount();
}
void CTilePage::OnSelectNone() {
    Job.tiles.select(0);
    Refresh();
    ShowCount();
}
void CTilePage::OnInvert() {
    Job.tiles.select(2);
    Refresh();
    ShowCount();
}

void CTilePage::OnTileSize() {
    float w, h;
    if (loading_) return;
    if (!ReadLength(GetDlgItem(IDC_EDIT0), w) || !ReadLength(GetDlgItem(IDC_EDIT1), h)) return;
    if (w < 40 || h < 40) return;
    if (!UpdateData(TRUE)) return;
    BringUpToDate();
}

void CTilePage::OnOverlap() {
    float x, y;
    if (loading_) return;
    // Only a readable pair is taken; a value out of range is refused by the exchange.
    if (!ReadLength(GetDlgItem(IDC_EDIT2), x) || !ReadLength(GetDlgItem(IDC_EDIT3), y)) return;
    if (x < 0 || x > 50 || y < 0 || y > 50) return;
    if (!UpdateData(TRUE)) return;
    BringUpToDate();
    WriteSettings();
}

void CTilePage::OnManualFeed() {
    auto* box = static_cast<CButton*>(GetDlgItem(IDC_CHECK0));
    Job.manualFeed = box && box->GetCheck() == BST_CHECKED;
    if (Job.manualFeed && Job.tiles.orderMode != 3) {
        Job.tiles.orderMode = 3;
        Job.tiles.overlapY = 0;
        BringUpToDate();
    }
    UpdateData(FALSE);
    WriteSettings();
}

void CTilePage::OnPreviewEvent() {
    MouseTracker t;
    t.point = preview_.point;
    t.captured = ::GetCapture() == preview_.m_hWnd;
    t.cursor = preview_.cursor;
    t.hwnd = preview_.m_hWnd;
    TileTable& tiles = Job.tiles;
    const int selected = tiles.getSelTiles(), lines = tiles.getNoLines();
    switch (preview_.kind) {
    case CPreviewButton::LeftDown:
        tiles.LeftButtonDown(t);
        break;
    case CPreviewButton::LeftUp:
        tiles.LeftButtonUp(t);
        break;
    case CPreviewButton::RightDown:
        tiles.RightButtonDown(t);
        break;
    case CPreviewButton::RightUp:
        tiles.RightButtonUp(t);
        break;
    default:
        tiles.MouseMove(t);
        break;
    }
    preview_.cursor = t.cursor;
    if (selected != tiles.getSelTiles() || lines != tiles.getNoLines()) {
        UpdateData(FALSE);
        Refresh();
        UpdateScrollBars();
    }
    UpdateReadout();
    ShowCount();
}

void CTilePage::OnPreviewDoubleClick() {
    Job.tiles.select(0);
    Job.tiles.toggleCellSelection(preview_.point);
    Refresh();
    ShowCount();
}

} // namespace plotsheet
