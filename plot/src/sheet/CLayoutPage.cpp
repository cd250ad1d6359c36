#include "CLayoutPage.h"

#include <algorithm>
#include <cmath>

#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <win32/controls.h>
#include <win32/user.h>
#include <win32/wingdi.h>

#include "../JobSheetResources.h"
#include "../JobSheetStrings.h"
#include "../PlotFields.h"
#include "../PlotJob.h"
#include "../PlotSettings.h"
#include "SheetIds.h"
#include "plot/Plotter.h"

namespace plotsheet {

BEGIN_MESSAGE_MAP(CLayoutPage, CDisplayPage)
ON_CONTROL(EN_CHANGE, IDC_EDIT0, OnFirstSize)
ON_CONTROL(EN_CHANGE, IDC_EDIT1, OnSecondSize)
ON_CONTROL(EN_CHANGE, IDC_EDIT2, OnScale)
ON_CONTROL(EN_CHANGE, IDC_EDIT3, OnPositionX)
ON_CONTROL(EN_CHANGE, IDC_EDIT4, OnPositionY)
ON_CONTROL(EN_CHANGE, IDC_EDIT5, OnCopies)
ON_CONTROL(EN_CHANGE, IDC_EDIT6, OnNudgeStep)
ON_CONTROL(EN_CHANGE, IDC_EDIT7, OnMediaWidth)
ON_CONTROL(EN_CHANGE, IDC_EDIT8, OnMediaHeight)
ON_COMMAND(IDC_BUTTON0, OnFit)
ON_COMMAND(IDC_BUTTON1, OnRotate)
ON_COMMAND(IDC_BUTTON2, OnMirror)
ON_COMMAND(IDC_BUTTON3, OnCentreVertically)
ON_COMMAND(IDC_BUTTON4, OnCentreHorizontally)
ON_COMMAND(IDC_BUTTON5, OnOrigin)
ON_COMMAND(IDC_NATURAL_SIZE, OnNaturalSize)
ON_COMMAND(IDC_BUTTON11, OnNudgeRight)
ON_COMMAND(IDC_BUTTON12, OnNudgeLeft)
ON_COMMAND(IDC_BUTTON13, OnNudgeUp)
ON_COMMAND(IDC_BUTTON14, OnNudgeDown)
ON_COMMAND(IDC_BUTTON9, OnReadMediaSize)
ON_COMMAND(IDC_BUTTON10, OnHeadPosition)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CLayoutPage::CLayoutPage() : CDisplayPage(IDD_LAYOUT_PAGE) {}

floatBBox CLayoutPage::Bounds() {
    floatBBox b;
    Job.getBounds(b);
    return b;
}

void CLayoutPage::SetBitmaps() {
    const int ids[5] = {IDB_FIT, IDB_ROTATION0 + std::clamp(Job.rotation, 0, 3),
                        Job.mirror ? IDB_MIRRORED : IDB_UNMIRRORED, IDB_CENTRE_V, IDB_CENTRE_H};
    for (int i = 0; i < 5; ++i) {
        auto* button = static_cast<CButton*>(GetDlgItem(IDC_BUTTON0 + i));
        if (!button) continue;
        HBITMAP bitmap = LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(WORD(ids[i])));
        button->SetBitmap(bitmap);
        if (bitmaps_[i]) DeleteObject(bitmaps_[i]);
        bitmaps_[i] = bitmap;
    }
}

BOOL CLayoutPage::OnInitDialog() {
    CDisplayPage::OnInitDialog();
    SetBitmaps();
    if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_SPIN))) {
        spin->SetBuddy(GetDlgItem(IDC_EDIT5));
        spin->SetRange(1, 1000);
        spin->SetPos(Job.copies);
    }
    UpdateData(FALSE);
    return TRUE;
}

void CLayoutPage::OnDestroy() {
    CDisplayPage::OnDestroy();
    for (HBITMAP& b : bitmaps_) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

BOOL CLayoutPage::OnSetActive() {
    DeviceSettings device(CurrentDevice());
    maxY_ = device.MaxY(10000);
    maxX_ = device.MaxX(100000);
    BOOL active = CDisplayPage::OnSetActive();
    UpdateData(FALSE);
    return active;
}

float CLayoutPage::YLimit() const {
    float limit = Job.mediaLength - 20;
    if (Job.pageLength > 0 && Job.pageLength < limit) limit = Job.pageLength;
    return std::max(limit, 0.0f);
}

void CLayoutPage::DoDataExchange(CDataExchange* pDX) {
    struct Flag {
        bool& f;
        bool was;
        Flag(bool& flag, bool on) : f(flag), was(flag) { f = f || on; }
        ~Flag() { f = was; }
    } loading(loading_, !pDX->m_bSaveAndValidate);
    CDisplayPage::DoDataExchange(pDX);
    const bool odd = Job.rotation % 2 != 0;
    float& first = odd ? Job.contentH : Job.contentW;
    float& second = odd ? Job.contentW : Job.contentH;
    // A design without extent in a direction (nothing enabled, a lone line) has no size
    // there to check: the page must still be left.
    floatBBox b = Bounds();
    const bool wide = b.right - b.left > 0, high = b.top - b.bottom > 0;
    DDX_Length(pDX, IDC_EDIT0, first);
    if (odd ? high : wide) DDV_Length(pDX, first, 0.01f, 100000);
    DDX_Length(pDX, IDC_EDIT1, second);
    if (odd ? wide : high) DDV_Length(pDX, second, 0.01f, 100000);
    float scale = Job.scale;
    DDX_Text(pDX, IDC_EDIT2, scale);
    DDV_MinMaxFloat(pDX, scale, 0.01f, 10000);
    DDX_Length(pDX, IDC_EDIT3, Job.contentX);
    DDV_Length(pDX, Job.contentX, 0, std::max(0.0f, Job.mediaWidth - 20));
    DDX_Length(pDX, IDC_EDIT4, Job.contentY);
    DDV_Length(pDX, Job.contentY, 0, YLimit());
    DDX_Text(pDX, IDC_EDIT5, Job.copies);
    DDV_MinMaxInt(pDX, Job.copies, 1, 10000);
    DDX_Length(pDX, IDC_EDIT6, nudge_);
    DDV_Length(pDX, nudge_, 0, 1000);
    if (!updatingMedia_) {
        float w = Job.mediaWidth, h = Job.mediaLength;
        DDX_Length(pDX, IDC_EDIT7, w);
        DDX_Length(pDX, IDC_EDIT8, h);
        if (pDX->m_bSaveAndValidate) {
            if (w < 100 || std::fabs(w - Job.mediaWidth) <= 0.005f) w = Job.mediaWidth;
            if (h < 100 || std::fabs(h - Job.mediaLength) <= 0.005f) h = Job.mediaLength;
            DDV_Length(pDX, w, 50, 10000);
            DDV_Length(pDX, h, 50, 100000);
            Job.mediaWidth = w;
            Job.mediaLength = h;
        }
    }
    for (int id : {IDC_BUTTON3, IDC_BUTTON4})
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(!Job.IsTiled());
}

void CLayoutPage::Changed() {
    Job.Refresh();
    Refresh();
    UpdateData(FALSE);
    UpdateScrollBars();
}

void CLayoutPage::TypedSize(bool first) {
    if (loading_ || updatingSize_) return;
    float v;
    if (!ReadLength(GetDlgItem(first ? IDC_EDIT0 : IDC_EDIT1), v)) return;
    if (v < 0.01f || v > 50000) return;
    floatBBox b = Bounds();
    // The first field is the width on the media, the second its height.
    const bool width = first != (Job.rotation % 2 != 0);
    const float extent = width ? b.right - b.left : b.top - b.bottom;
    if (!(extent > 0)) return;
    Job.setScale(v / extent);
    Job.notifyTileChange(0);
    updatingSize_ = true;
    ShowNumber(GetDlgItem(IDC_EDIT2), Job.scale);
    ShowLength(GetDlgItem(first ? IDC_EDIT1 : IDC_EDIT0),
               first ? Job.getContentHeight() : Job.getContentWidth());
    updatingSize_ = false;
    Refresh();
}

void CLayoutPage::OnFirstSize() {
    TypedSize(true);
}
void CLayoutPage::OnSecondSize() {
    TypedSize(false);
}

void CLayoutPage::OnScale() {
    if (loading_ || updatingSize_) return;
    float v;
    if (!ReadNumber(GetDlgItem(IDC_EDIT2), v) || v < 0.01f || v > 10000) return;
    Job.setScale(v);
    Job.notifyTileChange(0);
    updatingSize_ = true;
    ShowLength(GetDlgItem(IDC_EDIT0), Job.getContentWidth());
    ShowLength(GetDlgItem(IDC_EDIT1), Job.getContentHeight());
    updatingSize_ = false;
    Refresh();
}

void CLayoutPage::OnPositionX() {
    float v;
    if (loading_ || !ReadLength(GetDlgItem(IDC_EDIT3), v)) return;
    if (v < 0 || v > Job.mediaWidth - 20) return;
    Job.contentX = v;
    Job.notifyTileChange(0);
    Refresh();
}

void CLayoutPage::OnPositionY() {
    float v;
    if (loading_ || !ReadLength(GetDlgItem(IDC_EDIT4), v)) return;
    if (v < 0 || v > YLimit()) return;
    Job.contentY = v;
    Job.notifyTileChange(0);
    Refresh();
}

void CLayoutPage::OnCopies() {
    float v;
    if (loading_ || !ReadNumber(GetDlgItem(IDC_EDIT5), v) || v < 1 || v > 10000) return;
    Job.copies = int(v);
    Job.notifyTileChange(0);
    Refresh();
}

void CLayoutPage::OnNudgeStep() {
    float v;
    if (loading_ || !ReadLength(GetDlgItem(IDC_EDIT6), v) || v < 0 || v > 100) return;
    nudge_ = v;
}

void CLayoutPage::Media(bool width) {
    if (loading_ || updatingMedia_) return;
    const int id = width ? IDC_EDIT7 : IDC_EDIT8;
    float v;
    if (!ReadLength(GetDlgItem(id), v) || v < 100) return;
    const float limit = width ? maxY_ : maxX_;
    if (v > limit) {
        MessageBeep(0);
        v = limit;
        updatingMedia_ = true;
        ShowLength(GetDlgItem(id), v);
        updatingMedia_ = false;
    }
    (width ? Job.mediaWidth : Job.mediaLength) = v;
    Job.tiles.orderMode = 0;
    Job.CalcTileSize();
    updatingMedia_ = true;
    UpdateData(FALSE);
    updatingMedia_ = false;
    Job.notifyTileChange(1);
    Refresh();
    JobSettings().SaveMedia(Job.mediaWidth, Job.mediaLength);
}

void CLayoutPage::OnMediaWidth() {
    Media(true);
}
void CLayoutPage::OnMediaHeight() {
    Media(false);
}

static void PanelMarksNote() {
    if (Job.tiles.panelMarks)
        AfxMessageBox(JobSheetText(IDS_PANEL_MARKS_MOVE, "Panel marks are on."),
                      MB_OK | MB_ICONINFORMATION);
}

void CLayoutPage::OnFit() {
    PanelMarksNote();
    floatBBox b = Bounds();
    Job.contentW = b.right - b.left;
    Job.contentH = b.top - b.bottom;
    Job.contentX = Job.leftMargin;
    Job.contentY = Job.bottomMargin;
    const float U = Job.tiles.getMaxWidth(), V = Job.tiles.getMaxHeight();
    const float w = Job.getContentWidth(), h = Job.getContentHeight();
    if (w > 0 && h > 0 && V > 0) {
        // Fitted from the natural size.
        Job.setScale(w / h >= U / V ? (U - 1) / w : (V - 1) / h);
    } else if (w > 0 && U > 1) {
        Job.setScale((U - 1) / w);
    } else if (h > 0 && V > 1) {
        Job.setScale((V - 1) / h);
    }
    Changed();
}

void CLayoutPage::OnRotate() {
    Job.rotation = (Job.rotation + 1) % 4;
    SetBitmaps();
    Changed();
}

void CLayoutPage::OnMirror() {
    Job.mirror = !Job.mirror;
    SetBitmaps();
    Changed();
}

void CLayoutPage::OnCentreVertically() {
    PanelMarksNote();
    float h = Job.getContentHeight();
    float y = (Job.mediaLength - h) / 2;
    if (y < Job.bottomMargin)
        y = Job.bottomMargin;
    else if (y + h > Job.mediaLength - Job.topMargin)
        y = Job.mediaLength - Job.topMargin - h;
    Job.contentY = y;
    Changed();
}

void CLayoutPage::OnCentreHorizontally() {
    PanelMarksNote();
    Job.contentX = std::max((Job.tiles.getMaxWidth() - Job.getContentWidth()) / 2, Job.leftMargin);
    Changed();
}

void CLayoutPage::OnOrigin() {
    Job.contentX = Job.leftMargin;
    Job.contentY = Job.bottomMargin;
    Changed();
}

void CLayoutPage::OnNaturalSize() {
    floatBBox b = Bounds();
    Job.scale = 1;
    Job.contentW = b.right - b.left;
    Job.contentH = b.top - b.bottom;
    Changed();
}

void CLayoutPage::OnNudgeRight() {
    if (Job.contentX + nudge_ < Job.mediaWidth - Job.leftMargin - Job.rightMargin)
        Job.contentX += nudge_;
    Changed();
}

void CLayoutPage::OnNudgeLeft() {
    Job.contentX = std::max(0.0f, Job.contentX - nudge_);
    Changed();
}

void CLayoutPage::OnNudgeUp() {
    float limit = Job.mediaLength - Job.bottomMargin - Job.topMargin;
    if (Job.pageLength > 0 && Job.pageLength <= limit) limit = Job.pageLength;
    if (Job.contentY + nudge_ < limit) Job.contentY += nudge_;
    Changed();
}

void CLayoutPage::OnNudgeDown() {
    Job.contentY = std::max(0.0f, Job.contentY - nudge_);
    Changed();
}

void CLayoutPage::OnReadMediaSize() {
    if (!UpdateData(TRUE)) return;
    if (AttachSelectedDevice(CurrentDevice(), nullptr) == 0) {
        const float step = DRV.GetStepSize();
        float w = 0, h = 0;
        if (DRV.ReadSheetSize()) {
            w = std::max(0.0f, float(DRV.GetMaxXStep()) * step - 0.5f);
            h = std::max(0.0f, float(DRV.GetMaxYStep()) * step - 0.5f);
        }
        if (w <= 0 || h <= 0) {
            AfxMessageBox(JobSheetText(IDS_MEDIA_SIZE_UNREAD, "The media size was not read."),
                          MB_OK | MB_ICONINFORMATION);
            w = float(DRV.GetMaxXStep()) * step;
            h = float(DRV.GetMaxYStep()) * step;
        }
        Job.mediaWidth = w;
        Job.mediaLength = h;
    }
    DRV.Detach();
    Job.tiles.orderMode = 0;
    Job.CalcTileSize();
    UpdateData(FALSE);
    Job.notifyTileChange(1);
    Refresh();
    JobSettings().SaveMedia(Job.mediaWidth, Job.mediaLength);
}

void CLayoutPage::OnHeadPosition() {
    if (!UpdateData(TRUE)) return;
    if (AttachSelectedDevice(CurrentDevice(), nullptr) == 0 && !DRV.ReadHeadPos()) MessageBeep(0);
    DRV.Detach();
    Job.contentX = DRV.GetStepSize() * float(DRV.headX);
    Job.contentY = DRV.GetStepSize() * float(DRV.headY);
    Changed();
}

} // namespace plotsheet
