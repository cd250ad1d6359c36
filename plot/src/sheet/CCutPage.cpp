#include "CCutPage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include <mfc/CDC.h>
#include <mfc/CDataExchange.h>
#include <mfc/CGdiObject.h>
#include <mfc/CStringArray.h>
#include <mfc/CWinApp.h>
#include <settings/CIniFile.h>
#include <win32/controls.h>
#include <win32/user.h>

#include "../JobSheetResources.h"
#include "../JobSheetStrings.h"
#include "../PlotFields.h"
#include "../PlotJob.h"
#include "SheetIds.h"
#include "plot/PlotIni.h"
#include "plot/PlotPath.h"
#include "plot/Plotter.h"

namespace plotsheet {

namespace {

// Buttons of the cut page.
constexpr int IDC_CUT = IDC_BUTTON0;
constexpr int IDC_HOME = IDC_BUTTON1;
constexpr int IDC_SETUP = IDC_BUTTON4;
constexpr int IDC_DELETE = IDC_BUTTON5;
constexpr int IDC_CUT_OFF = IDC_BUTTON9;
constexpr int IDC_PREVIOUS = IDC_BUTTON2;
constexpr int IDC_NEXT = IDC_BUTTON3;

CRect PixelRect(const floatTMatrix& m, const floatBBox& b) {
    float l = b.left, t = b.top, r = b.right, bo = b.bottom;
    m.Transform(l, t);
    m.Transform(r, bo);
    auto px = [](float v) { return v == v ? int(std::clamp(v, -1.0e9f, 1.0e9f)) : 0; };
    return CRect(px(std::min(l, r)), px(std::min(t, bo)), px(std::max(l, r)), px(std::max(t, bo)));
}

void Outline(CDC& dc, const CRect& r) {
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.right, r.top);
    dc.LineTo(r.right, r.bottom);
    dc.LineTo(r.left, r.bottom);
    dc.LineTo(r.left, r.top);
}

} // namespace

BEGIN_MESSAGE_MAP(CCutPage, CDisplayPage)
ON_CONTROL(CBN_SELCHANGE, IDC_COMBO1, OnDeviceChange)
ON_COMMAND(IDC_SETUP, OnSetup)
ON_COMMAND(IDC_DELETE, OnDelete)
ON_COMMAND(IDC_PREVIOUS, OnPrevious)
ON_COMMAND(IDC_NEXT, OnNext)
ON_COMMAND(IDC_CUT, OnCut)
ON_COMMAND(IDC_HOME, OnHome)
ON_COMMAND(IDC_CUT_OFF, OnCutOff)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CCutPage::CCutPage() : CDisplayPage(IDD_CUT_PAGE), spoolDialog_(nullptr) {}

void CCutPage::FillDevices() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO1));
    if (!combo) return;
    combo->ResetContent();
    CStringArray names;
    DeviceSettings::GetDeviceNames(names);
    for (int i = 0; i < names.GetSize(); ++i)
        combo->AddString(names[i]);
    if (settings.currentPlotter.IsEmpty() && names.GetSize() > 0) {
        settings.currentPlotter = names[0];
        settings.Save();
    }
    if (combo->SelectString(-1, settings.currentPlotter) < 0 && combo->GetCount() > 0)
        combo->SetCurSel(0);
}

void CCutPage::ReadHeadOption() {
    disableLeaveHeadAt_ = DeviceSettings(settings.currentPlotter).DisableLeaveHeadAt();
    if (CWnd* combo = GetDlgItem(IDC_COMBO2)) combo->EnableWindow(!disableLeaveHeadAt_);
}

BOOL CCutPage::OnInitDialog() {
    settings.Load();
    CDisplayPage::OnInitDialog();
    FillDevices();
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO2))) {
        combo->ResetContent();
        for (const char* entry : {"0", "1", "2", "3", "4", "5"})
            combo->AddString(entry);
    }
    ReadHeadOption();
    sheets = Job.GetSheetCount();
    current = 0;
    ShowLabel();
    UpdateData(FALSE);
    return TRUE;
}

void CCutPage::DoDataExchange(CDataExchange* pDX) {
    CDisplayPage::DoDataExchange(pDX);
    int mode = settings.plotMode != 0;
    DDX_Check(pDX, IDC_CHECK1, mode);
    settings.plotMode = mode;
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO2))) {
        if (pDX->m_bSaveAndValidate) {
            int sel = combo->GetCurSel();
            if (sel >= 0) settings.headPos = sel;
        } else {
            combo->SetCurSel(std::clamp(settings.headPos, 0, 5));
        }
    }
    DDX_Check(pDX, IDC_CHECK3, DRV.useSpooler);
    DDX_Length(pDX, IDC_EDIT0, OverCutting);
    DDV_Length(pDX, OverCutting, 0, 10);
    DDX_Check(pDX, IDC_CHECK2, Optimization);
}

void CCutPage::ShowLabel() {
    SetDlgItemText(IDC_SHEET_LABEL, JobSheetNumber(IDS_SHEET_LABEL, "Sheet %d", current + 1));
    if (CWnd* b = GetDlgItem(IDC_PREVIOUS)) b->EnableWindow(current > 0);
    if (CWnd* b = GetDlgItem(IDC_NEXT)) b->EnableWindow(current + 1 < sheets);
}

BOOL CCutPage::OnSetActive() {
    UpdateData(TRUE);
    if (Job.IsTiled() && Job.manualFeed && Job.tiles.orderMode != 3) {
        Job.tiles.orderMode = 3;
        Job.notifyTileChange(1);
    }
    sheets = Job.GetSheetCount();
    current = 0;
    ShowLabel();
    BOOL active = CDisplayPage::OnSetActive();
    UpdateData(FALSE);
    return active;
}

BOOL CCutPage::OnKillActive() {
    if (!UpdateData(TRUE)) return FALSE;
    settings.Save();
    return CDisplayPage::OnKillActive();
}

void CCutPage::OnDestroy() {
    if (m_hWnd) {
        UpdateData(TRUE);
        settings.Save();
    }
    CDisplayPage::OnDestroy();
}

void CCutPage::OnDeviceChange() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO1));
    if (!combo) return;
    int sel = std::max(combo->GetCurSel(), 0);
    if (combo->GetCount() > 0) combo->GetLBText(sel, settings.currentPlotter);
    UpdateData(TRUE);
    settings.Save();
    Job.LoadSettings();
    ReadHeadOption();
    sheets = Job.GetSheetCount();
    current = std::min(current, sheets - 1);
    ShowLabel();
    Refresh();
}

void CCutPage::OnSetup() {
    AttachSelectedDevice(settings.currentPlotter, nullptr);
    if (DRV.driver) DRV.Setup(this);
    FillDevices();
    DRV.Detach();
    settings.Save();
    Job.LoadSettings();
    Refresh();
}

void CCutPage::OnDelete() {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO1));
    if (!combo || combo->GetCount() == 0) return;
    int sel = std::max(combo->GetCurSel(), 0);
    CString name;
    combo->GetLBText(sel, name);
    if (AfxMessageBox(JobSheetText(IDS_DELETE_DEVICE, "Remove the cutter \"%s\"?", name),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    DeviceSettings(name).Remove();
    combo->DeleteString(UINT(sel));
    if (combo->GetCount() > 0) combo->SetCurSel(std::min(sel, combo->GetCount() - 1));
    OnDeviceChange();
}

void CCutPage::OnPrevious() {
    if (current == 0) return;
    --current;
    ShowLabel();
    Refresh();
}

void CCutPage::OnNext() {
    if (current + 1 >= sheets) return;
    ++current;
    ShowLabel();
    Refresh();
}

void CCutPage::ShowSheet(int sheet) {
    current = std::clamp(sheet, 0, std::max(sheets - 1, 0));
    ShowLabel();
    UpdateData(TRUE);
    Refresh(true);
}

void CCutPage::SetStatus(int on) {
    SetDlgItemText(
        IDC_STATUS,
        on ? static_cast<const char*>(JobSheetText(IDS_BUSY, "Cutting. Press Esc to stop.")) : "");
}

int CCutPage::RunSpoolDialog() {
    return int(spoolDialog_.DoModal());
}

void CCutPage::OnCut() {
    if (!UpdateData(TRUE)) return;
    sheets = Job.GetSheetCount();
    CutRun run(Job, settings, *this);
    run.Cut();
    sheets = Job.GetSheetCount();
    current = std::min(current, sheets - 1);
    ShowLabel();
    UpdateData(FALSE);
    Refresh();
}

void CCutPage::OnHome() {
    if (!UpdateData(TRUE)) return;
    CutRun run(Job, settings, *this);
    run.Home();
    Refresh();
}

void CCutPage::OnCutOff() {
    if (!UpdateData(TRUE)) return;
    CJobParamDialog dialog(this);
    CutRun run(Job, settings, *this);
    floatBBox box = run.SheetBox(current);
    dialog.length = box.top - box.bottom;
    if (dialog.DoModal() != IDOK) return;
    run.CutOff(dialog.length, int(dialog.count));
    Refresh();
}

void CCutPage::DrawPreview(CDC& dc) {
    // The layout's scale and offset; the current sheet as the run will cut it.
    Job.DrawLayout(dc, 0);
    const floatTMatrix& m = Job.displayMatrix;
    const CRect area = PixelRect(m, floatBBox(0, 0, Job.mediaWidth, Job.mediaLength));
    dc.FillSolidRect(&area, RGB(255, 255, 255));
    std::vector<PlotJob::SheetItem> items;
    Job.Arrange(items);
    bool first = true;
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc.SelectObject(&pen);
    for (const PlotJob::SheetItem& item : items) {
        if (item.sheet != current) continue;
        floatBBox r(item.x, item.y, item.x + item.w, item.y + item.h);
        if (first)
            sheetBox = r;
        else
            sheetBox += r;
        first = false;
        if (!item.order) {
            Job.DrawDesign(dc, Job.DesignToMedia(item.x, item.y) * m);
            continue;
        }
        if (!item.hasPart) continue;
        float L = Job.tiles.getEarLength();
        floatBBox part(item.x + L, item.y + L, item.x + L + item.part.right - item.part.left,
                       item.y + L + item.part.top - item.part.bottom);
        int saved = dc.SaveDC();
        const CRect clip = PixelRect(m, part);
        dc.IntersectClipRect(&clip);
        float ox = item.x + L - item.part.left, oy = item.y + L - item.part.bottom;
        Job.DrawDesign(
            dc,
            Job.DesignToMedia(Job.contentX - item.tileX + ox, Job.contentY - item.tileY + oy) * m);
        dc.RestoreDC(saved);
        Outline(dc, PixelRect(m, part));
        std::vector<floatBBox> marks;
        Job.PanelMarks(item, marks);
        for (const floatBBox& mark : marks)
            Outline(dc, PixelRect(m, mark));
    }
    dc.SelectObject(old);
    if (first) sheetBox = floatBBox();
}

} // namespace plotsheet
