// The bitmap sheet: its target, previews and undo steps; the pages' shared frame; the slider
// dialog.
#include "content/CBmpSheet.h"

#include <algorithm>

#include <mfc/CDC.h>
#include <mfc/CWaitCursor.h>
#include <model/CSign.h>
#include <model/UndoList.h>
#include <rasterkit/TexturePaint.h>
#include <shell/PrivateMessages.h>
#include <win32/controls.h>

#include "content/CBitmapObj.h"

IMPLEMENT_DYNAMIC(CBmpSheet, CPropertySheet)

CBitmapObj* SingleSelectedBitmap(CSign& sign) {
    CSignObj* only = nullptr;
    for (int i = 0; i < sign.GetSize(); ++i) {
        auto* obj = static_cast<CSignObj*>(sign.GetAt(i));
        if (obj == nullptr || !obj->m_bSelected) continue;
        if (only != nullptr) return nullptr;
        only = obj;
    }
    return dynamic_cast<CBitmapObj*>(only);
}

CBmpSheet::CBmpSheet(BmpSheetHost* host, CWnd* parent)
    : CPropertySheet(UINT(IDS_BMP_SHEET_CAPTION), parent), effectsPage(this), colorResPage(this),
      resizePage(this), host(host) {
    AddPage(&effectsPage);
    AddPage(&colorResPage);
    AddPage(&resizePage);
}

CBmpSheet::~CBmpSheet() = default;

BEGIN_MESSAGE_MAP(CBmpSheet, CPropertySheet)
ON_WM_SHOWWINDOW()
ON_WM_DESTROY()
ON_MESSAGE(WM_SHEETFOLLOWSELECTION, OnFollowSelection)
END_MESSAGE_MAP()

void CBmpSheet::OnShowWindow(BOOL show, UINT status) {
    if (!show) DestroyPreviews();
    CPropertySheet::OnShowWindow(show, status);
}

void CBmpSheet::OnDestroy() {
    DestroyPreviews();
    followPosted_ = false; // a pending request goes with the window
    CPropertySheet::OnDestroy();
}

void CBmpSheet::UpdateFromSelection() {
    CBitmapObj* obj = host != nullptr ? SingleSelectedBitmap(host->GetSheetSign()) : nullptr;
    SetBitmap(obj != nullptr ? obj->bitmap : nullptr, true);
}

void CBmpSheet::FollowSelectionLater() {
    if (followPosted_ || m_hWnd == nullptr) return;
    followPosted_ = PostMessage(WM_SHEETFOLLOWSELECTION) != FALSE;
}

LRESULT CBmpSheet::OnFollowSelection(WPARAM, LPARAM) {
    followPosted_ = false;
    UpdateFromSelection();
    return 0;
}

void CBmpSheet::ReloadFromSelection() {
    CBitmapObj* obj = host != nullptr ? SingleSelectedBitmap(host->GetSheetSign()) : nullptr;
    // The old target is neither compared nor read: it may be gone.
    target = nullptr;
    previewReady = 0;
    previewResult.Destroy();
    if (obj != nullptr) {
        SetBitmap(obj->bitmap, true);
    } else if (m_hWnd != nullptr) {
        if (auto* page = dynamic_cast<BmpSheetPage*>(GetActivePage())) page->Refresh(true);
    }
}

void CBmpSheet::SetBitmap(CSharedBmp* bitmap, bool refresh) {
    if (bitmap == target) return;
    CWaitCursor wait;
    target = bitmap;
    previewReady = 0;
    if (!refresh || m_hWnd == nullptr) return;
    if (auto* page = dynamic_cast<BmpSheetPage*>(GetActivePage())) page->Refresh(true);
}

void CBmpSheet::PreparePreview(const RECT& control) {
    if (previewReady) return;
    previewReady = 1;
    previewSource.Destroy();
    previewResult.Destroy();
    if (target == nullptr || target->image.IsEmpty()) return;
    CDib& image = target->image;
    const int cw = std::max(1, int(control.right - control.left)),
              ch = std::max(1, int(control.bottom - control.top));
    // The picture fitted into the control, its proportions kept.
    const double s = std::min(double(cw) / image.GetWidth(), double(ch) / image.GetHeight());
    const int w = std::max(1, int(image.GetWidth() * s + 0.5)),
              h = std::max(1, int(image.GetHeight() * s + 0.5));
    if (!previewSource.Create(w, h, 24)) return;
    floatTMatrix m(float(w) / float(image.GetWidth()), 0, 0, float(h) / float(image.GetHeight()), 0,
                   0);
    TexturePaint(image, m, RECT{0, 0, w, h}, previewSource, 2);
}

void CBmpSheet::PrepareUndo() {
    CBitmapObj* obj = host != nullptr ? SingleSelectedBitmap(host->GetSheetSign()) : nullptr;
    if (obj == nullptr) {
        SetBitmap(nullptr, false);
        return;
    }
    CSharedBmp* clone = obj->bitmap->Clone();
    SetBitmap(clone, false);
    obj->SetSharedContent(clone);
    host->UpdateSelectedObjects();
    host->GetSheetUndo().RecordStep("Bitmap effect");
}

void CBmpSheet::DrawPreview(LPDRAWITEMSTRUCT item) {
    CDC* dc = CDC::FromHandle(item->hDC);
    const CRect r(item->rcItem);
    dc->FillSolidRect(&r, RGB(255, 255, 255));
    CDib& shown = previewResult.IsEmpty() ? previewSource : previewResult;
    if (shown.IsEmpty()) return;
    const int x = r.left + (r.Width() - shown.GetWidth()) / 2,
              y = r.top + (r.Height() - shown.GetHeight()) / 2;
    shown.Paint(dc, RECT{0, 0, shown.GetWidth(), shown.GetHeight()},
                RECT{x, y, x + shown.GetWidth(), y + shown.GetHeight()}, 0);
}

void CBmpSheet::DestroyPreviews() {
    previewResult.Destroy();
    previewSource.Destroy();
    previewReady = 0;
}

// ---- the pages' frame

BEGIN_MESSAGE_MAP(BmpSheetPage, CPropertyPage)
ON_WM_DRAWITEM()
ON_CONTROL(BN_CLICKED, IDC_BMP_APPLY, OnApplyButton)
END_MESSAGE_MAP()

BOOL BmpSheetPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    Refresh(true);
    return TRUE;
}

BOOL BmpSheetPage::OnSetActive() {
    const BOOL first = CPropertyPage::OnSetActive();
    if (m_hWnd != nullptr) Refresh(false);
    return first;
}

void BmpSheetPage::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    if (id != IDC_BMP_PREVIEW || item == nullptr) return;
    sheet->PreparePreview(item->rcItem);
    sheet->DrawPreview(item);
}

void BmpSheetPage::EnableApply(bool enable) {
    if (CWnd* w = GetDlgItem(IDC_BMP_APPLY)) w->EnableWindow(enable);
}

void BmpSheetPage::UpdatePreview() {
    CWaitCursor wait;
    sheet->previewResult.Destroy();
    if (sheet->target != nullptr) {
        CRect r(0, 0, 96, 96);
        if (CWnd* w = GetDlgItem(IDC_BMP_PREVIEW)) w->GetClientRect(&r);
        sheet->PreparePreview(r);
        if (void* copy = sheet->previewSource.Copy()) {
            sheet->previewResult.ChangeFromDIB(copy);
            ApplyTo(sheet->previewResult);
        }
    }
    if (CWnd* w = GetDlgItem(IDC_BMP_PREVIEW)) w->Invalidate();
}

void BmpSheetPage::OnApplyButton() {
    DoApply();
}

void BmpSheetPage::DoApply() {
    sheet->PrepareUndo();
    if (sheet->target == nullptr) return;
    CWaitCursor wait;
    ApplyTo(sheet->previewSource);
    ApplyTo(sheet->target->image);
    sheet->previewResult.Destroy();
    if (CWnd* w = GetDlgItem(IDC_BMP_PREVIEW)) w->Invalidate();
}

// ---- the slider dialog

CSliderValueDlg::CSliderValueDlg(int value, CWnd* parent)
    : CDialog(IDD_SLIDER_VALUE, parent), value(value) {}

BOOL CSliderValueDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETTICFREQ, 0, 5);
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETPAGESIZE, 0, 5);
    ::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_SETPOS, TRUE, std::clamp(value, 0, 100));
    return TRUE;
}

void CSliderValueDlg::OnOK() {
    value = int(::SendDlgItemMessage(m_hWnd, IDC_BMP_SLIDER, TBM_GETPOS, 0, 0));
    CDialog::OnOK();
}
