#include "app/CPaletteEditorDialog.h"

#include <cmath>

#include <mfc/CDC.h>
#include <mfc/CDataExchange.h>
#include <mfc/CGdiObject.h>
#include <mfc/CWinApp.h>
#include <sheet/COleSheetFrame.h>
#include <shell/PrivateMessages.h>
#include <shell/ProfileSettings.h>
#include <win32/controls.h>

#include "app/AppIds.h"
#include "app/CPaletteBar.h"
#include <win32/dialog.h>

namespace {
constexpr const char* PlacementName = "PaletteEditor";
} // namespace

void InterpolateColors(COLORREF from, COLORREF to, COLORREF* out, int n) {
    if (n < 1 || out == nullptr) return;
    const double dr = (double(GetRValue(to)) - GetRValue(from)) / n;
    const double dg = (double(GetGValue(to)) - GetGValue(from)) / n;
    const double db = (double(GetBValue(to)) - GetBValue(from)) / n;
    for (int i = 1; i <= n; ++i)
        out[i - 1] = RGB(BYTE(std::floor(GetRValue(from) + i * dr + 0.5)),
                         BYTE(std::floor(GetGValue(from) + i * dg + 0.5)),
                         BYTE(std::floor(GetBValue(from) + i * db + 0.5)));
}

BEGIN_MESSAGE_MAP(CPaletteEditorDialog, CDialog)
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_DRAWITEM()
ON_MESSAGE(WM_CTRLDRAGOVER, OnCtrlDragOver)
ON_MESSAGE(WM_CTRLDROP, OnCtrlDrop)
END_MESSAGE_MAP()

CPaletteEditorDialog::CPaletteEditorDialog(CPaletteBar& bar)
    : CDialog(IDD_PALETTE_EDITOR, nullptr), bar(bar) {}

CPaletteEditorDialog::~CPaletteEditorDialog() {
    if (m_hWnd != nullptr) DestroyWindow();
}

BOOL CPaletteEditorDialog::Create(CWnd* pParentWnd) {
    if (!CDialog::Create(IDD_PALETTE_EDITOR, pParentWnd)) return FALSE;
    RestoreWindowPlacement(PlacementName, this);
    if (placementValid) ::SetWindowPlacement(m_hWnd, &placement);
    // The frame routes drags over the editor's swatches here.
    if (auto* frame = dynamic_cast<COleSheetFrame*>(AfxGetMainWnd())) frame->AddDropTarget(this);
    ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

BOOL CPaletteEditorDialog::OnInitDialog() {
    ::SendDlgItemMessageA(m_hWnd, IDC_PE_INDEX_SPIN, UDM_SETBUDDY,
                          reinterpret_cast<WPARAM>(GetDlgItem(IDC_PE_INDEX)->m_hWnd), 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_PE_COUNT_SPIN, UDM_SETBUDDY,
                          reinterpret_cast<WPARAM>(GetDlgItem(IDC_PE_COUNT)->m_hWnd), 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_PE_COUNT_SPIN, UDM_SETRANGE32, 0, 256);
    CDialog::OnInitDialog();
    EnableButtons();
    return TRUE;
}

void CPaletteEditorDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_PE_COUNT, count);
    DDX_Text(pDX, IDC_PE_INDEX, bar.selectedIndex);
    ::SendDlgItemMessageA(m_hWnd, IDC_PE_INDEX_SPIN, UDM_SETRANGE32, 0, LPARAM(bar.colors.size()));
}

void CPaletteEditorDialog::EnableButtons() {
    const int n = int(bar.colors.size()), index = bar.selectedIndex;
    auto enable = [this](int id, bool on) {
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on);
    };
    enable(IDC_PE_INSERT, count != 0 && index >= 0 && index < n);
    enable(IDC_PE_DELETE, count > 0 && index >= 0 && index + count <= n);
    enable(IDC_PE_APPEND, count > 0);
}

void CPaletteEditorDialog::Refresh() {
    if (m_hWnd == nullptr) return;
    filling = true;
    UpdateData(FALSE);
    filling = false;
    EnableButtons();
}

void CPaletteEditorDialog::Insert() {
    const int index = bar.selectedIndex;
    if (count < 1 || index < 0 || index > int(bar.colors.size())) return;
    const int first = bar.firstVisible;
    const size_t before = bar.colors.size();
    bar.InsertColors(index, count);
    if (bar.colors.size() == before) return; // the list is locked
    std::vector<COLORREF> list = bar.colors;
    list[size_t(index)] = startColor;
    InterpolateColors(startColor, endColor, list.data() + index + 1, count - 1);
    bar.SetColors(std::move(list));
    bar.firstVisible = first;
    bar.LayoutGrid();
    Refresh();
}

void CPaletteEditorDialog::Delete() {
    const int first = bar.firstVisible;
    bar.RemoveColors(bar.selectedIndex, count);
    bar.firstVisible = first;
    bar.LayoutGrid();
    Refresh();
}

BOOL CPaletteEditorDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(DWORD(wParam)), code = HIWORD(DWORD(wParam));
    if ((id == IDC_PE_INDEX || id == IDC_PE_COUNT) && code == EN_CHANGE) {
        if (!filling) {
            // Half-typed numbers are left for the next change.
            BOOL ok = FALSE;
            const int value = int(::GetDlgItemInt(m_hWnd, int(id), &ok, FALSE));
            if (ok) (id == IDC_PE_INDEX ? bar.selectedIndex : count) = value;
            if (id == IDC_PE_INDEX && bar.grid.m_hWnd != nullptr) bar.grid.Invalidate(FALSE);
            EnableButtons();
        }
        return TRUE;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_PE_INSERT:
            Insert();
            return TRUE;
        case IDC_PE_DELETE:
            Delete();
            return TRUE;
        case IDC_PE_APPEND:
            bar.selectedIndex = int(bar.colors.size());
            Insert();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CPaletteEditorDialog::OnCancel() {
    DestroyWindow();
}

void CPaletteEditorDialog::OnClose() {
    DestroyWindow();
}

void CPaletteEditorDialog::OnDestroy() {
    if (auto* frame = dynamic_cast<COleSheetFrame*>(AfxGetMainWnd())) frame->RemoveDropTarget(this);
    placement = WINDOWPLACEMENT{};
    placement.length = sizeof placement;
    placementValid = ::GetWindowPlacement(m_hWnd, &placement) != FALSE;
    placement.flags = 0;
    SaveWindowPlacement(PlacementName, this);
    CDialog::OnDestroy();
}

void CPaletteEditorDialog::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item) {
    if (item == nullptr || (nIDCtl != IDC_PE_START && nIDCtl != IDC_PE_END)) return;
    CDC* dc = CDC::FromHandle(item->hDC);
    dc->FillSolidRect(&item->rcItem, nIDCtl == IDC_PE_START ? startColor : endColor);
}

int CPaletteEditorDialog::SwatchUnderCursor() const {
    POINT cursor;
    ::GetCursorPos(&cursor);
    for (int id : {IDC_PE_START, IDC_PE_END}) {
        CRect r;
        if (CWnd* w = GetDlgItem(id)) {
            w->GetWindowRect(&r);
            if (r.PtInRect(cursor)) return id;
        }
    }
    return 0;
}

LRESULT CPaletteEditorDialog::OnCtrlDragOver(WPARAM, LPARAM) {
    if (SwatchUnderCursor() != 0)
        ::SetCursor(::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_PAL_DROP)));
    else
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    return 0;
}

LRESULT CPaletteEditorDialog::OnCtrlDrop(WPARAM, LPARAM) {
    const int id = SwatchUnderCursor();
    if (id == 0) return 0;
    (id == IDC_PE_START ? startColor : endColor) = bar.draggedColor;
    if (CWnd* w = GetDlgItem(id)) w->Invalidate(FALSE);
    return 1;
}
