#include "output/COutlineDlg.h"

#include <mfc/CDC.h>
#include <mfc/CDataExchange.h>
#include <mfc/CGdiObject.h>
#include <pathkit/ParalelPath.h>
#include <pathkit/Path.h>
#include <pathkit/PathDraw.h>
#include <pathkit/TMatrix.h>
#include <shell/MeasureFields.h>
#include <win32/controls.h>

OutlineOptions& TheOutlineOptions() {
    static OutlineOptions options;
    return options;
}

BEGIN_MESSAGE_MAP(COutlineDlg, CDialog)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

COutlineDlg::COutlineDlg(CWnd* parent) : CDialog(IDD, parent), values(TheOutlineOptions()) {}

BOOL COutlineDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    Enable();
    return TRUE;
}

void COutlineDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Measure(pDX, 2600, values.distance);
    DDV_Measure(pDX, values.distance, 0.1f, 10000.0f);
    DDX_Text(pDX, 2601, values.count);
    DDV_MinMaxInt(pDX, values.count, 1, 100);
    DDX_Check(pDX, 2660, values.bothSides);
    DDX_Check(pDX, 2661, values.outerOnly);
    DDX_Check(pDX, 2662, values.corner);
    DDX_Check(pDX, 2663, values.inward);
    DDX_Check(pDX, 2664, values.combined);
    DDX_Check(pDX, 2665, values.addSelected);
    if (m_hWnd) Enable();
}

void COutlineDlg::Enable() {
    auto enable = [&](int id, bool on) {
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on);
    };
    enable(2660, !values.inward);
    enable(2661, !values.inward);
    enable(2663, !values.bothSides);
    enable(2665, values.combined != 0);
}

BOOL COutlineDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && id >= 2660 && id <= 2665) {
        values.bothSides = IsDlgButtonChecked(2660);
        values.outerOnly = IsDlgButtonChecked(2661);
        values.corner = IsDlgButtonChecked(2662);
        values.inward = IsDlgButtonChecked(2663);
        values.combined = IsDlgButtonChecked(2664);
        values.addSelected = IsDlgButtonChecked(2665);
        Enable();
        if (CWnd* w = GetDlgItem(2770)) w->Invalidate(TRUE);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void COutlineDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    TheOutlineOptions() = values;
    EndDialog(IDOK);
}

void COutlineDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    if (id != 2770 || !item) {
        CDialog::OnDrawItem(id, item);
        return;
    }
    Path shape(0);
    shape.Append(PC_MOVETO, 0, 0);
    shape.Append(100, 0);
    shape.Append(100, 100);
    shape.Append(0, 100);
    shape.Append(0, 0);
    shape.ClosePath();
    shape.Prepare();
    Path inner(0);
    ParalelPath(shape, -15, 0, 0, inner, 0);
    Path outline(0);
    if (!values.outerOnly || values.inward) {
        Path copy(inner);
        shape.Concat(copy);
        shape.Prepare();
        ParalelPath(shape, values.inward ? -5.0f : 5.0f, 0, values.corner, outline,
                    values.bothSides);
    } else {
        ParalelPath(shape, 5, 0, values.corner, outline, values.bothSides);
        Path copy(inner);
        shape.Concat(copy);
    }
    outline.RefreshBBoxes();
    shape.RefreshBBoxes();
    floatBBox box = outline.subPaths.Filled() ? outline.accBox : shape.accBox;
    const RECT& r = item->rcItem;
    floatTMatrix m;
    // y up: the target's top is its larger y.
    TransferBBox(box, floatBBox(float(r.left), float(r.top), float(r.right), float(r.bottom)), m, 0,
                 1, 0, 0, 5);
    floatTMatrix flip(1, 0, 0, -1, 0, float(r.top + r.bottom));
    m *= flip;
    CDC dc;
    dc.Attach(item->hDC);
    CBrush grey(RGB(128, 128, 128));
    dc.FillRect(&r, &grey);
    CBrush black(RGB(0, 0, 0));
    CBrush* oldBrush = dc.SelectObject(&black);
    Paint(&dc, m, shape, 1u);
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&white);
    Paint(&dc, m, outline, 2u);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
    dc.Detach();
}
