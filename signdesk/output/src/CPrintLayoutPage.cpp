#include "output/CPrintLayoutPage.h"

#include <cmath>

#include <mfc/CControls.h>
#include <mfc/CDataExchange.h>
#include <settings/CUnit.h>
#include <settings/NumberFields.h>
#include <shell/MeasureFields.h>
#include <win32/controls.h>

#include "output/CMarginsDlg.h"
#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"

namespace {
enum : int {
    IDC_WIDTH = 2600,
    IDC_HEIGHT = 2601,
    IDC_SCALE = 2602,
    IDC_XPOS = 2603,
    IDC_YPOS = 2604,
    IDC_COPIES = 2605,
    IDC_GAP = 2606,
    IDC_PITCH = 2620,
    IDC_SPIN = 2680,
    IDC_FIT = 2700,
    IDC_ACTUAL = 2701,
    IDC_MARGINS = 2702,
    IDC_CENTRE_V = 2703,
    IDC_CENTRE_H = 2704,
    IDC_CORNER = 2705,
    IDC_FILL = 2706,
};

} // namespace

CPrintLayoutPage::CPrintLayoutPage(CPrintEngine& e) : CPreviewPage(IDD, e) {}

BOOL CPrintLayoutPage::OnInitDialog() {
    CPreviewPage::OnInitDialog();
    floatBBox box;
    engine.GetBox(box);
    float bw = box.right - box.left;
    // A line or an empty design keeps the scale it has.
    if (bw > 0) engine.scale = engine.designWidth / bw;
    if (CWnd* spin = GetDlgItem(IDC_SPIN)) {
        ::SendMessageA(spin->m_hWnd, UDM_SETBUDDY, WPARAM(GetDlgItem(IDC_COPIES)->m_hWnd), 0);
        ::SendMessageA(spin->m_hWnd, UDM_SETRANGE32, 1, 1000);
    }
    UpdateData(FALSE);
    EnableCentring();
    return TRUE;
}

BOOL CPrintLayoutPage::OnSetActive() {
    BOOL ok = CPreviewPage::OnSetActive();
    engine.UpdateLayout(0);
    UpdateData(FALSE);
    EnableCentring();
    return ok;
}

void CPrintLayoutPage::DoDataExchange(CDataExchange* pDX) {
    CPreviewPage::DoDataExchange(pDX);
    float w = engine.GetLayoutWidth(), h = engine.GetLayoutHeight();
    if (!pDX->m_bSaveAndValidate) {
        inProportions_ = true;
        DDX_Measure(pDX, IDC_WIDTH, w);
        DDX_Measure(pDX, IDC_HEIGHT, h);
        DDX_Float(pDX, IDC_SCALE, engine.scale);
        inProportions_ = false;
    }
    inProportions_ = true;
    DDX_Measure(pDX, IDC_XPOS, engine.xPosition);
    DDX_Measure(pDX, IDC_YPOS, engine.yPosition);
    DDX_Text(pDX, IDC_COPIES, engine.copies);
    DDV_MinMaxInt(pDX, engine.copies, 1, 1000);
    DDX_Measure(pDX, IDC_GAP, engine.gap);
    inProportions_ = false;
    if (!pDX->m_bSaveAndValidate) {
        CString pitch;
        pitch.Format("%g", MmToCurrentUnit(2 * engine.GetCopyMargin() + engine.gap));
        if (CWnd* p = GetDlgItem(IDC_PITCH)) p->SetWindowText(pitch);
    }
}

void CPrintLayoutPage::EnableCentring() {
    bool tiled = engine.tiles.IsTiled();
    if (CWnd* w = GetDlgItem(IDC_CENTRE_V)) w->EnableWindow(!tiled);
    if (CWnd* w = GetDlgItem(IDC_CENTRE_H)) w->EnableWindow(!tiled);
}

void CPrintLayoutPage::Refresh() {
    engine.UpdateLayout(0);
    inProportions_ = true;
    UpdateData(FALSE);
    inProportions_ = false;
    EnableCentring();
    RepaintPreview();
}

void CPrintLayoutPage::KeepProportions(int changed) {
    if (inProportions_) return;
    floatBBox box;
    engine.GetBox(box);
    float bw = box.right - box.left, bh = box.top - box.bottom;
    float value;
    if (!ReadNumber(changed, value)) return;
    if (changed != IDC_SCALE) value = float(CurrentUnitToMm(value));
    bool quarter = engine.rotation == 1 || engine.rotation == 3;
    float s = 0;
    if (changed == IDC_SCALE)
        s = value;
    else if ((changed == IDC_WIDTH) != quarter)
        s = bw > 0 ? value / bw : 0;
    else
        s = bh > 0 ? value / bh : 0;
    // An empty box, a zero or a bad number leave everything as it is.
    if (!(s > 0) || !std::isfinite(s)) return;
    engine.scale = s;
    engine.designWidth = bw * s;
    engine.designHeight = bh * s;
    inProportions_ = true;
    CString text;
    if (changed != IDC_WIDTH) {
        text.Format("%g", MmToCurrentUnit(engine.GetLayoutWidth()));
        SetDlgItemText(IDC_WIDTH, text);
    }
    if (changed != IDC_HEIGHT) {
        text.Format("%g", MmToCurrentUnit(engine.GetLayoutHeight()));
        SetDlgItemText(IDC_HEIGHT, text);
    }
    if (changed != IDC_SCALE) {
        text.Format("%g", engine.scale);
        SetDlgItemText(IDC_SCALE, text);
    }
    inProportions_ = false;
    engine.UpdateLayout(0);
    RepaintPreview();
}

BOOL CPrintLayoutPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (code == EN_CHANGE) {
        if (id == IDC_WIDTH || id == IDC_HEIGHT || id == IDC_SCALE) {
            KeepProportions(id);
            return TRUE;
        }
        if (id >= IDC_XPOS && id <= IDC_GAP) {
            if (inProportions_) return TRUE;
            float x = engine.xPosition, y = engine.yPosition, g = engine.gap;
            int c = engine.copies;
            ReadNumber(IDC_XPOS, x);
            ReadNumber(IDC_YPOS, y);
            ReadNumber(IDC_GAP, g);
            float copies;
            if (ReadNumber(IDC_COPIES, copies) && copies >= 1 && copies <= 1000)
                c = int(copies);
            engine.xPosition = float(CurrentUnitToMm(x));
            engine.yPosition = float(CurrentUnitToMm(y));
            if (g >= 0) engine.gap = float(CurrentUnitToMm(g));
            engine.copies = c;
            engine.UpdateLayout(0);
            RepaintPreview();
            return TRUE;
        }
    }
    if (code == BN_CLICKED) {
        float m = engine.GetCopyMargin();
        switch (id) {
        case IDC_FIT:
            engine.FitToPage(m);
            break;
        case IDC_ACTUAL:
            engine.ActualSize();
            break;
        case IDC_MARGINS: {
            CMarginsDlg dlg(engine, this);
            dlg.DoModal();
            break;
        }
        case IDC_CENTRE_V:
            engine.CentreVertically();
            break;
        case IDC_CENTRE_H:
            engine.CentreHorizontally();
            break;
        case IDC_CORNER:
            engine.MoveToMarginCorner();
            break;
        case IDC_FILL:
            engine.FillPage(m);
            break;
        default:
            return CPreviewPage::OnCommand(wParam, lParam);
        }
        Refresh();
        return TRUE;
    }
    return CPreviewPage::OnCommand(wParam, lParam);
}
