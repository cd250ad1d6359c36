// Thin wrappers: each call is one message of the control.

#include "mfc/CControls.h"

#include <strings.h>

#include "WndState.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)

namespace {

LRESULT send(const CWnd* wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(wnd->m_hWnd, msg, wParam, lParam);
}

LPARAM text(LPCSTR s) {
    return reinterpret_cast<LPARAM>(s);
}

// The owner-draw requests a parent hands back to its list box, combo box or button.
template <class Control>
BOOL ownerDrawNotify(Control* control, UINT message, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_DRAWITEM:
        control->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        break;
    case WM_MEASUREITEM:
        control->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        break;
    default:
        return FALSE;
    }
    if (pResult != nullptr) *pResult = TRUE;
    return TRUE;
}

} // namespace

std::unique_ptr<CWnd> sdwnd::makeTemporary(HWND hWnd) {
    char name[64] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    if (strcasecmp(name, WC_EDITA) == 0) return std::make_unique<CEdit>();
    if (strcasecmp(name, WC_BUTTONA) == 0) return std::make_unique<CButton>();
    if (strcasecmp(name, WC_COMBOBOXA) == 0) return std::make_unique<CComboBox>();
    if (strcasecmp(name, WC_LISTBOXA) == 0) return std::make_unique<CListBox>();
    if (strcasecmp(name, WC_STATICA) == 0) return std::make_unique<CStatic>();
    if (strcasecmp(name, WC_SCROLLBARA) == 0) return std::make_unique<CScrollBar>();
    if (strcasecmp(name, UPDOWN_CLASSA) == 0) return std::make_unique<CSpinButtonCtrl>();
    if (strcasecmp(name, TRACKBAR_CLASSA) == 0) return std::make_unique<CSliderCtrl>();
    return std::make_unique<CWnd>();
}

CScrollBar* AfxScrollBarFromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    // Sliders and scroll bars alike come as the control's own object when it has one.
    if (CWnd* permanent = CWnd::FromHandlePermanent(hWnd))
        return reinterpret_cast<CScrollBar*>(permanent);
    auto& temporary = sdwnd::state().temporary;
    auto it = temporary.find(hWnd);
    if (it != temporary.end()) {
        if (auto* bar = dynamic_cast<CScrollBar*>(it->second.get())) return bar;
        if (sdwnd::state().tempLocks > 0) return reinterpret_cast<CScrollBar*>(it->second.get());
        it->second->m_hWnd = nullptr;
        temporary.erase(it);
    }
    auto bar = std::make_unique<CScrollBar>();
    bar->m_hWnd = hWnd;
    CScrollBar* result = bar.get();
    temporary.emplace(hWnd, std::move(bar));
    return result;
}

// ---- static ----

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    return CWnd::Create(WC_STATICA, lpszText, dwStyle, rect, pParentWnd, nID);
}
HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(
        send(this, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}
HBITMAP CStatic::GetBitmap() const {
    return reinterpret_cast<HBITMAP>(send(this, STM_GETIMAGE, IMAGE_BITMAP));
}
HICON CStatic::SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(send(this, STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
}
HICON CStatic::GetIcon() const {
    return reinterpret_cast<HICON>(send(this, STM_GETICON));
}

// ---- button ----

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    return CWnd::Create(WC_BUTTONA, lpszCaption, dwStyle, rect, pParentWnd, nID);
}
int CButton::GetCheck() const {
    return int(send(this, BM_GETCHECK));
}
void CButton::SetCheck(int nCheck) {
    send(this, BM_SETCHECK, WPARAM(nCheck));
}
UINT CButton::GetState() const {
    return UINT(send(this, BM_GETSTATE));
}
void CButton::SetState(BOOL bHighlight) {
    send(this, BM_SETSTATE, WPARAM(bHighlight));
}
UINT CButton::GetButtonStyle() const {
    return UINT(GetStyle() & 0xFFFF);
}
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
    send(this, BM_SETSTYLE, nStyle, LPARAM(bRedraw));
}
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(
        send(this, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}
HBITMAP CButton::GetBitmap() const {
    return reinterpret_cast<HBITMAP>(send(this, BM_GETIMAGE, IMAGE_BITMAP));
}
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult != nullptr) *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- edit ----

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_EDITA, nullptr, dwStyle, rect, pParentWnd, nID);
}
DWORD CEdit::GetSel() const {
    return DWORD(send(this, EM_GETSEL));
}
void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
    DWORD start = 0, end = 0;
    send(this, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    nStartChar = int(start);
    nEndChar = int(end);
}
void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
    send(this, EM_SETSEL, WPARAM(nStartChar), LPARAM(nEndChar));
    if (!bNoScroll) send(this, EM_SCROLLCARET);
}
void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll) {
    SetSel(SHORT(LOWORD(dwSelection)), SHORT(HIWORD(dwSelection)), bNoScroll);
}
void CEdit::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo) {
    send(this, EM_REPLACESEL, WPARAM(bCanUndo), text(lpszNewText));
}
void CEdit::LimitText(int nChars) {
    send(this, EM_LIMITTEXT, WPARAM(nChars));
}
void CEdit::SetLimitText(UINT nMax) {
    send(this, EM_SETLIMITTEXT, nMax);
}
UINT CEdit::GetLimitText() const {
    return UINT(send(this, EM_GETLIMITTEXT));
}
BOOL CEdit::GetModify() const {
    return BOOL(send(this, EM_GETMODIFY));
}
void CEdit::SetModify(BOOL bModified) {
    send(this, EM_SETMODIFY, WPARAM(bModified));
}
BOOL CEdit::SetReadOnly(BOOL bReadOnly) {
    return BOOL(send(this, EM_SETREADONLY, WPARAM(bReadOnly)));
}
int CEdit::GetLineCount() const {
    return int(send(this, EM_GETLINECOUNT));
}
BOOL CEdit::CanUndo() const {
    return BOOL(send(this, EM_CANUNDO));
}
BOOL CEdit::Undo() {
    return BOOL(send(this, EM_UNDO));
}
void CEdit::Clear() {
    send(this, WM_CLEAR);
}
void CEdit::Copy() {
    send(this, WM_COPY);
}
void CEdit::Cut() {
    send(this, WM_CUT);
}
void CEdit::Paste() {
    send(this, WM_PASTE);
}

// ---- list box ----

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_LISTBOXA, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CListBox::GetCount() const {
    return int(send(this, LB_GETCOUNT));
}
int CListBox::GetCurSel() const {
    return int(send(this, LB_GETCURSEL));
}
int CListBox::SetCurSel(int nSelect) {
    return int(send(this, LB_SETCURSEL, WPARAM(nSelect)));
}
int CListBox::GetSel(int nIndex) const {
    return int(send(this, LB_GETSEL, WPARAM(nIndex)));
}
int CListBox::SetSel(int nIndex, BOOL bSelect) {
    return int(send(this, LB_SETSEL, WPARAM(bSelect), LPARAM(nIndex)));
}
int CListBox::GetSelCount() const {
    return int(send(this, LB_GETSELCOUNT));
}
int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const {
    return int(send(this, LB_GETSELITEMS, WPARAM(nMaxItems), reinterpret_cast<LPARAM>(rgIndex)));
}
int CListBox::GetTopIndex() const {
    return int(send(this, LB_GETTOPINDEX));
}
int CListBox::SetTopIndex(int nIndex) {
    return int(send(this, LB_SETTOPINDEX, WPARAM(nIndex)));
}
int CListBox::GetText(int nIndex, LPSTR lpszBuffer) const {
    return int(send(this, LB_GETTEXT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
}
void CListBox::GetText(int nIndex, CString& rString) const {
    const int length = GetTextLen(nIndex);
    if (length < 0) {
        rString.Empty();
        return;
    }
    const int copied = GetText(nIndex, rString.GetBuffer(length));
    rString.ReleaseBuffer(copied < 0 ? 0 : copied);
}
int CListBox::GetTextLen(int nIndex) const {
    return int(send(this, LB_GETTEXTLEN, WPARAM(nIndex)));
}
DWORD_PTR CListBox::GetItemData(int nIndex) const {
    return DWORD_PTR(send(this, LB_GETITEMDATA, WPARAM(nIndex)));
}
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return int(send(this, LB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData)));
}
int CListBox::GetItemRect(int nIndex, LPRECT lpRect) const {
    return int(send(this, LB_GETITEMRECT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpRect)));
}
int CListBox::GetItemHeight(int nIndex) const {
    return int(send(this, LB_GETITEMHEIGHT, WPARAM(nIndex)));
}
int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight) {
    return int(send(this, LB_SETITEMHEIGHT, WPARAM(nIndex), LPARAM(cyItemHeight)));
}
int CListBox::AddString(LPCSTR lpszItem) {
    return int(send(this, LB_ADDSTRING, 0, text(lpszItem)));
}
int CListBox::InsertString(int nIndex, LPCSTR lpszItem) {
    return int(send(this, LB_INSERTSTRING, WPARAM(nIndex), text(lpszItem)));
}
int CListBox::DeleteString(UINT nIndex) {
    return int(send(this, LB_DELETESTRING, nIndex));
}
void CListBox::ResetContent() {
    send(this, LB_RESETCONTENT);
}
int CListBox::FindString(int nStartAfter, LPCSTR lpszItem) const {
    return int(send(this, LB_FINDSTRING, WPARAM(nStartAfter), text(lpszItem)));
}
int CListBox::FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return int(send(this, LB_FINDSTRINGEXACT, WPARAM(nIndexStart), text(lpszFind)));
}
int CListBox::SelectString(int nStartAfter, LPCSTR lpszItem) {
    return int(send(this, LB_SELECTSTRING, WPARAM(nStartAfter), text(lpszItem)));
}
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (ownerDrawNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- combo box ----

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_COMBOBOXA, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CComboBox::GetCount() const {
    return int(send(this, CB_GETCOUNT));
}
int CComboBox::GetCurSel() const {
    return int(send(this, CB_GETCURSEL));
}
int CComboBox::SetCurSel(int nSelect) {
    return int(send(this, CB_SETCURSEL, WPARAM(nSelect)));
}
DWORD CComboBox::GetEditSel() const {
    return DWORD(send(this, CB_GETEDITSEL));
}
BOOL CComboBox::LimitText(int nMaxChars) {
    return BOOL(send(this, CB_LIMITTEXT, WPARAM(nMaxChars)));
}
BOOL CComboBox::SetEditSel(int nStartChar, int nEndChar) {
    return BOOL(send(this, CB_SETEDITSEL, 0, MAKELPARAM(WORD(nStartChar), WORD(nEndChar))));
}
DWORD_PTR CComboBox::GetItemData(int nIndex) const {
    return DWORD_PTR(send(this, CB_GETITEMDATA, WPARAM(nIndex)));
}
int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return int(send(this, CB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData)));
}
int CComboBox::GetLBText(int nIndex, LPSTR lpszText) const {
    return int(send(this, CB_GETLBTEXT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}
void CComboBox::GetLBText(int nIndex, CString& rString) const {
    const int length = GetLBTextLen(nIndex);
    if (length < 0) {
        rString.Empty();
        return;
    }
    const int copied = GetLBText(nIndex, rString.GetBuffer(length));
    rString.ReleaseBuffer(copied < 0 ? 0 : copied);
}
int CComboBox::GetLBTextLen(int nIndex) const {
    return int(send(this, CB_GETLBTEXTLEN, WPARAM(nIndex)));
}
int CComboBox::SetItemHeight(int nIndex, UINT cyItemHeight) {
    return int(send(this, CB_SETITEMHEIGHT, WPARAM(nIndex), LPARAM(cyItemHeight)));
}
int CComboBox::GetItemHeight(int nIndex) const {
    return int(send(this, CB_GETITEMHEIGHT, WPARAM(nIndex)));
}
void CComboBox::ShowDropDown(BOOL bShowIt) {
    send(this, CB_SHOWDROPDOWN, WPARAM(bShowIt));
}
BOOL CComboBox::GetDroppedState() const {
    return BOOL(send(this, CB_GETDROPPEDSTATE));
}
int CComboBox::AddString(LPCSTR lpszString) {
    return int(send(this, CB_ADDSTRING, 0, text(lpszString)));
}
int CComboBox::DeleteString(UINT nIndex) {
    return int(send(this, CB_DELETESTRING, nIndex));
}
int CComboBox::InsertString(int nIndex, LPCSTR lpszString) {
    return int(send(this, CB_INSERTSTRING, WPARAM(nIndex), text(lpszString)));
}
void CComboBox::ResetContent() {
    send(this, CB_RESETCONTENT);
}
int CComboBox::FindString(int nStartAfter, LPCSTR lpszString) const {
    return int(send(this, CB_FINDSTRING, WPARAM(nStartAfter), text(lpszString)));
}
int CComboBox::FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return int(send(this, CB_FINDSTRINGEXACT, WPARAM(nIndexStart), text(lpszFind)));
}
int CComboBox::SelectString(int nStartAfter, LPCSTR lpszString) {
    return int(send(this, CB_SELECTSTRING, WPARAM(nStartAfter), text(lpszString)));
}
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (ownerDrawNotify(this, message, lParam, pResult)) return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- scroll bar ----

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_SCROLLBARA, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CScrollBar::GetScrollPos() const {
    return ::GetScrollPos(m_hWnd, SB_CTL);
}
int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw) {
    return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw);
}
void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const {
    ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
}
void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw) {
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
}
BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
}
BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
}

// ---- spin ----

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(UPDOWN_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
BOOL CSpinButtonCtrl::SetAccel(int nAccel, UDACCEL* pAccel) {
    return BOOL(send(this, UDM_SETACCEL, WPARAM(nAccel), reinterpret_cast<LPARAM>(pAccel)));
}
UINT CSpinButtonCtrl::GetAccel(int nAccel, UDACCEL* pAccel) const {
    return UINT(send(this, UDM_GETACCEL, WPARAM(nAccel), reinterpret_cast<LPARAM>(pAccel)));
}
int CSpinButtonCtrl::SetBase(int nBase) {
    return int(send(this, UDM_SETBASE, WPARAM(nBase)));
}
UINT CSpinButtonCtrl::GetBase() const {
    return UINT(send(this, UDM_GETBASE));
}
CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy) {
    return CWnd::FromHandle(reinterpret_cast<HWND>(
        send(this, UDM_SETBUDDY, reinterpret_cast<WPARAM>((pWndBuddy != nullptr ? pWndBuddy->m_hWnd : nullptr)))));
}
CWnd* CSpinButtonCtrl::GetBuddy() const {
    return CWnd::FromHandle(reinterpret_cast<HWND>(send(this, UDM_GETBUDDY)));
}
int CSpinButtonCtrl::SetPos(int nPos) {
    return int(SHORT(LOWORD(DWORD(send(this, UDM_SETPOS, 0, MAKELPARAM(WORD(nPos), 0))))));
}
int CSpinButtonCtrl::GetPos() const {
    return int(send(this, UDM_GETPOS));
}
int CSpinButtonCtrl::SetPos32(int nPos) {
    return int(send(this, UDM_SETPOS32, 0, LPARAM(nPos)));
}
int CSpinButtonCtrl::GetPos32(BOOL* lpbError) const {
    return int(send(this, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(lpbError)));
}
void CSpinButtonCtrl::SetRange(short nLower, short nUpper) {
    send(this, UDM_SETRANGE, 0, MAKELPARAM(WORD(nUpper), WORD(nLower)));
}
void CSpinButtonCtrl::SetRange32(int nLower, int nUpper) {
    send(this, UDM_SETRANGE32, WPARAM(nLower), LPARAM(nUpper));
}
DWORD CSpinButtonCtrl::GetRange() const {
    return DWORD(send(this, UDM_GETRANGE));
}
void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
    const DWORD range = GetRange();
    lower = SHORT(HIWORD(range));
    upper = SHORT(LOWORD(range));
}
void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
    send(this, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}

// ---- slider ----

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CSliderCtrl::GetLineSize() const {
    return int(send(this, TBM_GETLINESIZE));
}
int CSliderCtrl::SetLineSize(int nSize) {
    return int(send(this, TBM_SETLINESIZE, 0, LPARAM(nSize)));
}
int CSliderCtrl::GetPageSize() const {
    return int(send(this, TBM_GETPAGESIZE));
}
int CSliderCtrl::SetPageSize(int nSize) {
    return int(send(this, TBM_SETPAGESIZE, 0, LPARAM(nSize)));
}
int CSliderCtrl::GetRangeMax() const {
    return int(send(this, TBM_GETRANGEMAX));
}
int CSliderCtrl::GetRangeMin() const {
    return int(send(this, TBM_GETRANGEMIN));
}
void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}
void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) {
    send(this, TBM_SETRANGEMIN, WPARAM(bRedraw), LPARAM(nMin));
}
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) {
    send(this, TBM_SETRANGEMAX, WPARAM(bRedraw), LPARAM(nMax));
}
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) {
    SetRangeMin(nMin, FALSE);
    SetRangeMax(nMax, bRedraw);
}
int CSliderCtrl::GetPos() const {
    return int(send(this, TBM_GETPOS));
}
void CSliderCtrl::SetPos(int nPos) {
    send(this, TBM_SETPOS, TRUE, LPARAM(nPos));
}
BOOL CSliderCtrl::SetTic(int nTic) {
    return BOOL(send(this, TBM_SETTIC, 0, LPARAM(nTic)));
}
void CSliderCtrl::SetTicFreq(int nFreq) {
    send(this, TBM_SETTICFREQ, WPARAM(nFreq));
}
void CSliderCtrl::ClearTics(BOOL bRedraw) {
    send(this, TBM_CLEARTICS, WPARAM(bRedraw));
}
UINT CSliderCtrl::GetNumTics() const {
    return UINT(send(this, TBM_GETNUMTICS));
}
