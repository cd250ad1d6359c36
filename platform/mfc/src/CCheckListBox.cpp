#include "mfc/CCheckListBox.h"

#include "mfc/CDC.h"
#include "mfc/CGdiObject.h"

IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

BEGIN_MESSAGE_MAP(CCheckListBox, CListBox)
ON_WM_LBUTTONDOWN()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

void CCheckListBox::SetCheck(int nIndex, int nCheck) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    if (std::size_t(nIndex) >= checks_.size()) checks_.resize(std::size_t(GetCount()), 0);
    checks_[std::size_t(nIndex)] = nCheck ? 1 : 0;
    if (m_hWnd) {
        CRect r;
        if (GetItemRect(nIndex, &r) != LB_ERR) InvalidateRect(&r, FALSE);
    }
}

int CCheckListBox::GetCheck(int nIndex) const {
    if (nIndex < 0 || std::size_t(nIndex) >= checks_.size() || nIndex >= GetCount()) return 0;
    return checks_[std::size_t(nIndex)];
}

int CCheckListBox::AddString(LPCSTR lpszItem) {
    int at = CListBox::AddString(lpszItem);
    if (at >= 0) {
        if (std::size_t(at) > checks_.size()) checks_.resize(std::size_t(at), 0);
        checks_.insert(checks_.begin() + at, 0);
    }
    return at;
}

int CCheckListBox::InsertString(int nIndex, LPCSTR lpszItem) {
    int at = CListBox::InsertString(nIndex, lpszItem);
    if (at >= 0) {
        if (std::size_t(at) > checks_.size()) checks_.resize(std::size_t(at), 0);
        checks_.insert(checks_.begin() + at, 0);
    }
    return at;
}

int CCheckListBox::DeleteString(UINT nIndex) {
    int left = CListBox::DeleteString(nIndex);
    if (left >= 0 && nIndex < checks_.size()) checks_.erase(checks_.begin() + nIndex);
    return left;
}

void CCheckListBox::ResetContent() {
    CListBox::ResetContent();
    checks_.clear();
}

void CCheckListBox::Toggle(int index) {
    if (index < 0 || index >= GetCount()) return;
    SetCheck(index, !GetCheck(index));
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE), LPARAM(m_hWnd));
}

void CCheckListBox::OnLButtonDown(UINT nFlags, CPoint point) {
    if (point.x < BoxWidth) {
        for (int i = GetTopIndex(); i < GetCount(); ++i) {
            CRect r;
            if (GetItemRect(i, &r) == LB_ERR) break;
            if (point.y >= r.top && point.y < r.bottom) {
                Toggle(i);
                break;
            }
        }
    }
    Default();
    (void)nFlags;
}

void CCheckListBox::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_SPACE) {
        Toggle(GetCurSel());
        return;
    }
    (void)nRepCnt;
    (void)nFlags;
    Default();
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    lpMeasureItemStruct->itemHeight = 16;
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT item) {
    if (int(item->itemID) < 0) return;
    CDC* dc = CDC::FromHandle(item->hDC);
    CRect r = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&r, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // The box: a frame of the window text's colour, a cross when checked.
    const int size = 11;
    const int x = r.left + 1, y = r.top + (r.Height() - size) / 2;
    CRect box(x, y, x + size, y + size);
    dc->FillSolidRect(&box, GetSysColor(COLOR_WINDOW));
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(box.left, box.top);
    dc->LineTo(box.right - 1, box.top);
    dc->LineTo(box.right - 1, box.bottom - 1);
    dc->LineTo(box.left, box.bottom - 1);
    dc->LineTo(box.left, box.top);
    if (GetCheck(int(item->itemID))) {
        dc->MoveTo(box.left + 2, box.top + 5);
        dc->LineTo(box.left + 4, box.top + 8);
        dc->LineTo(box.left + 9, box.top + 2);
    }
    dc->SelectObject(old);
    CString text;
    GetText(int(item->itemID), text);
    int mode = dc->SetBkMode(TRANSPARENT);
    COLORREF colour =
        dc->SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    dc->TextOut(r.left + BoxWidth + 2, r.top + 1, text, text.GetLength());
    dc->SetTextColor(colour);
    dc->SetBkMode(mode);
}
