#include "mfc/CPropertySheet.h"

#include <algorithm>
#include <cstring>

#include "ModalLoop.h"
#include "WndState.h"
#include "mfc/CWinApp.h"
#include "win32/nls.h"
#include "win32/userdraw.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// A copy of a page's resource template made a child control of the sheet.
std::vector<BYTE> childTemplate(LPCSTR name) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, name, RT_DIALOG);
    if (found == nullptr) return {};
    const DWORD size = ::SizeofResource(module, found);
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    if (data == nullptr || size < sizeof(DLGTEMPLATE)) return {};
    std::vector<BYTE> copy(data, data + size);
    WORD head[2];
    std::memcpy(head, copy.data(), sizeof head);
    const std::size_t styleOffset = head[0] == 1 && head[1] == 0xFFFF ? 12 : 0;
    if (copy.size() < styleOffset + 4) return {};
    DWORD style;
    std::memcpy(&style, copy.data() + styleOffset, 4);
    style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE | WS_DISABLED |
               DS_MODALFRAME);
    style |= WS_CHILD | DS_CONTROL;
    std::memcpy(copy.data() + styleOffset, &style, 4);
    return copy;
}

// An empty popup dialog with the caption: the sheet's own template.
std::vector<BYTE> sheetTemplate(DWORD style, DWORD exStyle, const CString& caption) {
    std::vector<BYTE> bytes(sizeof(DLGTEMPLATE));
    DLGTEMPLATE head{style, exStyle, 0, 0, 0, 0, 0};
    std::memcpy(bytes.data(), &head, sizeof head);
    auto word = [&bytes](WORD w) {
        bytes.push_back(BYTE(w & 0xFF));
        bytes.push_back(BYTE(w >> 8));
    };
    word(0); // no menu
    word(0); // the dialog class
    // The caption, UTF-16: bytes of the ANSI text below 128 are the same characters; others
    // go through the code page.
    int count = ::MultiByteToWideChar(CP_ACP, 0, caption, -1, nullptr, 0);
    std::vector<WCHAR> wide(std::size_t(std::max(count, 1)), 0);
    if (count > 0) ::MultiByteToWideChar(CP_ACP, 0, caption, -1, wide.data(), count);
    for (WCHAR c : wide) word(WORD(c));
    if (wide.back() != 0) word(0);
    while (bytes.size() % 4 != 0) bytes.push_back(0);
    return bytes;
}

// The row of tabs above the pages, one per page, the shown page's raised; a click shows its
// page (which the pages may refuse).
constexpr int kTabsId = 0x3020;
constexpr char kTabsClass[] = "SdSheetTabs";

CPropertySheet* tabsSheet(HWND tabs) {
    return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(tabs)));
}

// The tabs' rectangles in the row's client coordinates.
std::vector<RECT> tabRects(HWND tabs, const CPropertySheet& sheet) {
    std::vector<RECT> rects;
    HDC dc = ::GetDC(tabs);
    HGDIOBJ old = ::SelectObject(dc, HGDIOBJ(::SendMessageA(::GetParent(tabs), WM_GETFONT, 0, 0)));
    int x = 2;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        const CString& caption = sheet.GetPage(i)->m_strCaption;
        SIZE size{};
        ::GetTextExtentPoint32A(dc, caption, caption.GetLength(), &size);
        const int width = int(size.cx) + 12;
        rects.push_back(RECT{x, 2, x + width, SD_SHEET_TAB_HEIGHT});
        x += width;
    }
    if (old != nullptr) ::SelectObject(dc, old);
    ::ReleaseDC(tabs, dc);
    const int active = sheet.GetActiveIndex();
    if (active >= 0 && active < int(rects.size())) {
        RECT& r = rects[std::size_t(active)];
        r.left -= 2;
        r.right += 2;
        r.top = 0;
    }
    return rects;
}

LRESULT CALLBACK tabsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertySheet* sheet = tabsSheet(hwnd);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT client{};
        ::GetClientRect(hwnd, &client);
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_3DFACE));
        if (sheet != nullptr) {
            // The top edge of the pages' panel, open under the shown tab.
            RECT line{0, SD_SHEET_TAB_HEIGHT - 2, client.right, SD_SHEET_TAB_HEIGHT};
            ::DrawEdge(dc, &line, EDGE_RAISED, BF_TOP | BF_SOFT);
            HGDIOBJ old =
                ::SelectObject(dc, HGDIOBJ(::SendMessageA(::GetParent(hwnd), WM_GETFONT, 0, 0)));
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            const std::vector<RECT> rects = tabRects(hwnd, *sheet);
            for (std::size_t i = 0; i < rects.size(); ++i) {
                RECT r = rects[i];
                if (int(i) == sheet->GetActiveIndex()) {
                    RECT gap{r.left + 1, r.bottom - 2, r.right - 1, r.bottom};
                    ::FillRect(dc, &gap, ::GetSysColorBrush(COLOR_3DFACE));
                }
                ::DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
                const CString& caption = sheet->GetPage(int(i))->m_strCaption;
                ::DrawTextA(dc, caption, caption.GetLength(), &r,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            if (old != nullptr) ::SelectObject(dc, old);
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (sheet != nullptr) {
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const std::vector<RECT> rects = tabRects(hwnd, *sheet);
            for (std::size_t i = 0; i < rects.size(); ++i)
                if (::PtInRect(&rects[i], at)) {
                    sheet->SetActivePage(int(i));
                    break;
                }
        }
        return 0;
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void registerTabs() {
    WNDCLASSA wc{};
    if (::GetClassInfoA(nullptr, kTabsClass, &wc)) return;
    wc.lpfnWndProc = tabsProc;
    wc.lpszClassName = kTabsClass;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    ::RegisterClassA(&wc);
}

} // namespace

INT_PTR AfxSheetProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr) wnd = sdmodal::attachPending(hWnd);
    auto* sheet = dynamic_cast<CPropertySheet*>(wnd);
    if (sheet != nullptr && message == WM_INITDIALOG) return sheet->OnInitDialog();
    return FALSE;
}

// ---- page ----

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate) {
    if (nIDCaption != 0) m_strCaption.LoadString(nIDCaption);
}

CPropertyPage::CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption)
    : CDialog(lpszTemplateName) {
    if (nIDCaption != 0) m_strCaption.LoadString(nIDCaption);
}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive) {
        m_bFirstSetActive = FALSE;
        return TRUE;
    }
    return UpdateData(FALSE);
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset() {
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(BOOL bChanged) {
    m_bModified = bChanged;
    if (m_pSheet == nullptr || m_pSheet->m_hWnd == nullptr) return;
    bool any = false;
    for (CPropertyPage* page : m_pSheet->m_pages) any = any || page->m_bModified;
    if (HWND apply = ::GetDlgItem(m_pSheet->m_hWnd, ID_APPLY_NOW)) ::EnableWindow(apply, any);
}

void CPropertyPage::CancelToClose() {
    if (m_pSheet == nullptr || m_pSheet->m_hWnd == nullptr) return;
    if (HWND cancel = ::GetDlgItem(m_pSheet->m_hWnd, IDCANCEL)) ::EnableWindow(cancel, FALSE);
    if (HWND ok = ::GetDlgItem(m_pSheet->m_hWnd, IDOK)) ::SetWindowTextA(ok, "Close");
}

BOOL CPropertyPage::PreTranslateMessage(MSG*) {
    // The sheet's keyboard interface covers its pages.
    return FALSE;
}

// ---- sheet ----

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_pParentWnd(pParentWnd), m_nStartPage(iSelectPage) {
    m_strCaption.LoadString(nIDCaption);
}

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption), m_pParentWnd(pParentWnd), m_nStartPage(iSelectPage) {}

CPropertySheet::~CPropertySheet() {
    if (m_hWnd != nullptr) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (pPage == nullptr) return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
    if (m_hWnd != nullptr && m_active < 0) SetActivePage(int(m_pages.size()) - 1);
}

void CPropertySheet::RemovePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return;
    if (m_hWnd != nullptr && GetPageCount() == 1) return;
    CPropertyPage* page = m_pages[std::size_t(nPage)];
    if (nPage == m_active && m_hWnd != nullptr) {
        // Another page is shown first, whatever the leaving page thinks.
        const int next = nPage + 1 < GetPageCount() ? nPage + 1 : nPage - 1;
        CPropertyPage* shown = m_pages[std::size_t(next)];
        if (shown->m_hWnd == nullptr) createPage(shown);
        shown->OnSetActive();
        shown->ShowWindow(SW_SHOW);
        m_active = next;
    }
    if (page->m_hWnd != nullptr) page->DestroyWindow();
    page->m_pSheet = nullptr;
    page->m_bFirstSetActive = TRUE;
    m_pages.erase(m_pages.begin() + nPage);
    if (m_active > nPage) --m_active;
    if (m_pages.empty()) m_active = -1;
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
    RemovePage(GetPageIndex(pPage));
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[std::size_t(nPage)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return m_hWnd != nullptr ? GetPage(m_active) : GetPage(int(m_nStartPage));
}

int CPropertySheet::GetActiveIndex() const {
    return m_hWnd != nullptr ? m_active : int(m_nStartPage);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : int(it - m_pages.begin());
}

void CPropertySheet::SetTitle(LPCSTR lpszText) {
    m_strCaption = lpszText;
    if (m_hWnd != nullptr) SetWindowText(lpszText);
}

BOOL CPropertySheet::createPage(CPropertyPage* page) {
    if (page->m_lpDialogTemplate == nullptr && page->m_childTemplate.empty())
        page->m_childTemplate = childTemplate(page->m_lpszTemplateName);
    LPCDLGTEMPLATE t = page->m_lpDialogTemplate != nullptr
                           ? page->m_lpDialogTemplate
                           : reinterpret_cast<LPCDLGTEMPLATE>(page->m_childTemplate.data());
    if (t == nullptr || (page->m_lpDialogTemplate == nullptr && page->m_childTemplate.empty()))
        return FALSE;
    if (!page->CreateIndirect(t, this)) return FALSE;
    if (page->m_strCaption.IsEmpty()) page->GetWindowText(page->m_strCaption);
    page->SetWindowPos(nullptr, SD_SHEET_MARGIN, SD_SHEET_MARGIN + SD_SHEET_TAB_HEIGHT, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
    if (m_hWnd == nullptr) {
        m_nStartPage = UINT(nPage);
        return TRUE;
    }
    if (nPage == m_active) return TRUE;
    CPropertyPage* current = GetPage(m_active);
    if (current != nullptr && current->m_hWnd != nullptr && !current->OnKillActive()) return FALSE;
    CPropertyPage* next = m_pages[std::size_t(nPage)];
    if (next->m_hWnd == nullptr && !createPage(next)) return FALSE;
    layout();
    if (!next->OnSetActive()) {
        if (current != nullptr) current->OnSetActive();
        return FALSE;
    }
    // Focus on the page being hidden would leave the keys with a window nobody sees.
    HWND focus = ::GetFocus();
    const bool focusLeaves = current != nullptr && current->m_hWnd != nullptr && focus != nullptr &&
                             (focus == current->m_hWnd || ::IsChild(current->m_hWnd, focus));
    if (current != nullptr && current->m_hWnd != nullptr) current->ShowWindow(SW_HIDE);
    next->ShowWindow(SW_SHOW);
    m_active = nPage;
    if (HWND tabs = ::GetDlgItem(m_hWnd, kTabsId)) ::InvalidateRect(tabs, nullptr, TRUE);
    if (focusLeaves) {
        HWND first = ::GetNextDlgTabItem(next->m_hWnd, nullptr, FALSE);
        ::SetFocus(first != nullptr ? first : m_hWnd);
    }
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    return SetActivePage(GetPageIndex(pPage));
}

void CPropertySheet::layout() {
    int width = 0;
    int height = 0;
    for (CPropertyPage* page : m_pages) {
        if (page->m_hWnd == nullptr) continue;
        CRect rect;
        page->GetWindowRect(&rect);
        width = std::max(width, rect.Width());
        height = std::max(height, rect.Height());
    }
    const int buttonsTop = SD_SHEET_MARGIN + SD_SHEET_TAB_HEIGHT + height + SD_SHEET_MARGIN;
    const int clientWidth = std::max(width + 2 * SD_SHEET_MARGIN,
                                     4 * SD_SHEET_BUTTON_WIDTH + 3 * SD_SHEET_BUTTON_GAP +
                                         2 * SD_SHEET_MARGIN);
    const int clientHeight = buttonsTop + SD_SHEET_BUTTON_HEIGHT + SD_SHEET_MARGIN;
    SetWindowPos(nullptr, 0, 0, clientWidth, clientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (HWND tabs = ::GetDlgItem(m_hWnd, kTabsId))
        ::SetWindowPos(tabs, nullptr, SD_SHEET_MARGIN, SD_SHEET_MARGIN,
                       clientWidth - 2 * SD_SHEET_MARGIN, SD_SHEET_TAB_HEIGHT,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    int x = clientWidth - SD_SHEET_MARGIN;
    for (int id : {IDHELP, ID_APPLY_NOW, IDCANCEL, IDOK}) {
        HWND button = ::GetDlgItem(m_hWnd, id);
        if (button == nullptr) continue;
        x -= SD_SHEET_BUTTON_WIDTH;
        ::SetWindowPos(button, nullptr, x, buttonsTop, SD_SHEET_BUTTON_WIDTH,
                       SD_SHEET_BUTTON_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
        x -= SD_SHEET_BUTTON_GAP;
    }
}

BOOL CPropertySheet::build(CWnd* pParentWnd, DWORD style, DWORD exStyle) {
    if (m_hWnd != nullptr || m_pages.empty()) return FALSE;
    m_template = sheetTemplate(style & ~WS_VISIBLE, exStyle, m_strCaption);
    CWnd* const saved = sdwnd::state().creatingDialog;
    sdwnd::state().creatingDialog = this;
    HWND hWnd = ::CreateDialogIndirectParamA(
        AfxGetInstanceHandle(), reinterpret_cast<LPCDLGTEMPLATE>(m_template.data()),
        (pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr), AfxSheetProc, reinterpret_cast<LPARAM>(this));
    if (sdwnd::state().creatingDialog == this) sdwnd::state().creatingDialog = saved;
    if (hWnd == nullptr || m_hWnd != hWnd) {
        if (hWnd != nullptr) ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CPropertySheet::OnInitDialog() {
    struct Button {
        int id;
        LPCSTR text;
        bool show;
        DWORD style;
    };
    const Button buttons[] = {
        {IDOK, "OK", true, BS_DEFPUSHBUTTON},
        {IDCANCEL, "Cancel", true, BS_PUSHBUTTON},
        {ID_APPLY_NOW, "&Apply", !(m_psh.dwFlags & PSH_NOAPPLYNOW), BS_PUSHBUTTON},
        {IDHELP, "Help", (m_psh.dwFlags & PSH_HASHELP) != 0, BS_PUSHBUTTON},
    };
    for (const Button& b : buttons) {
        DWORD style = WS_CHILD | WS_TABSTOP | b.style | (b.show ? WS_VISIBLE : 0);
        if (b.id == ID_APPLY_NOW) style |= WS_DISABLED; // until a page is modified
        ::CreateWindowExA(0, WC_BUTTONA, b.text, style, 0, 0, SD_SHEET_BUTTON_WIDTH,
                          SD_SHEET_BUTTON_HEIGHT, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)), nullptr, nullptr);
    }
    // Every tab needs its text before its page is made.
    for (CPropertyPage* page : m_pages) {
        if (!page->m_strCaption.IsEmpty()) continue;
        if (page->m_lpDialogTemplate == nullptr && page->m_childTemplate.empty())
            page->m_childTemplate = childTemplate(page->m_lpszTemplateName);
        char caption[256];
        if (!page->m_childTemplate.empty())
            ::SdGetDialogTemplateCaption(page->m_childTemplate.data(), page->m_childTemplate.size(),
                                         caption, sizeof caption);
        else
            ::SdGetDialogTemplateCaption(page->m_lpDialogTemplate, SIZE_MAX / 2, caption,
                                         sizeof caption);
        page->m_strCaption = caption;
    }
    registerTabs();
    ::CreateWindowExA(0, kTabsClass, "", WS_CHILD | WS_VISIBLE, SD_SHEET_MARGIN, SD_SHEET_MARGIN,
                      0, SD_SHEET_TAB_HEIGHT, m_hWnd,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTabsId)), nullptr, nullptr);
    m_active = -1;
    int start = int(m_nStartPage) < GetPageCount() ? int(m_nStartPage) : 0;
    if (!SetActivePage(start)) return FALSE;
    layout();
    return TRUE;
}

INT_PTR CPropertySheet::DoModal() {
    CWnd* parent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    HWND owner = parent != nullptr && parent->m_hWnd != nullptr
                     ? ::GetAncestor(parent->m_hWnd, GA_ROOT)
                     : nullptr;
    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    m_bModal = TRUE;
    m_bModalEnded = FALSE;
    m_nModalResult = IDCANCEL;
    if (!build(parent, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0)) {
        m_bModal = FALSE;
        return -1;
    }
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    if (!m_bModalEnded) ShowWindow(SW_SHOWNORMAL);
    const int result = sdmodal::run(
        m_hWnd, 0, GetRuntimeClass()->m_lpszClassName, [this] { return m_bModalEnded != FALSE; },
        [this](int r) { EndDialog(r); }, [this] { return m_nModalResult; });
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (m_hWnd != nullptr) DestroyWindow();
    for (CPropertyPage* page : m_pages) page->m_bFirstSetActive = TRUE;
    m_active = -1;
    m_bModal = FALSE;
    return result;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle) {
    if (dwStyle == DWORD(-1)) dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                        WS_VISIBLE;
    if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
    if (!build(m_pParentWnd, dwStyle, dwExStyle)) return FALSE;
    if (dwStyle & WS_VISIBLE) ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

void CPropertySheet::EndDialog(int nEndID) {
    if (m_bModal) {
        m_bModalEnded = TRUE;
        m_nModalResult = nEndID;
    }
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, nEndID);
}

BOOL CPropertySheet::PressButton(int nButton) {
    int id = 0;
    switch (nButton) {
    case PSBTN_OK:
        id = IDOK;
        break;
    case PSBTN_CANCEL:
        id = IDCANCEL;
        break;
    case PSBTN_APPLYNOW:
        id = ID_APPLY_NOW;
        break;
    case PSBTN_HELP:
        id = IDHELP;
        break;
    default:
        return FALSE;
    }
    HWND button = ::GetDlgItem(m_hWnd, id);
    if (button == nullptr || !::IsWindowEnabled(button) ||
        !(::GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE))
        return FALSE;
    SendMessage(WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return TRUE;
}

BOOL CPropertySheet::applyAll() {
    CPropertyPage* current = GetPage(m_active);
    if (current != nullptr && !current->OnKillActive()) return FALSE;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        CPropertyPage* page = m_pages[i];
        if (page->m_hWnd == nullptr) continue;
        if (!page->OnApply()) {
            if (int(i) != m_active) SetActivePage(int(i));
            return FALSE;
        }
    }
    for (CPropertyPage* page : m_pages) page->m_bModified = FALSE;
    if (HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW)) ::EnableWindow(apply, FALSE);
    return TRUE;
}

void CPropertySheet::OnOKButton() {
    if (applyAll()) EndDialog(IDOK);
}

void CPropertySheet::OnApplyNow() {
    if (applyAll()) {
        // The shown page goes on: its controls are loaded again as when it is shown.
        if (CPropertyPage* current = GetPage(m_active)) current->OnSetActive();
    }
}

void CPropertySheet::OnCancelButton() {
    CPropertyPage* current = GetPage(m_active);
    if (current != nullptr && !current->OnQueryCancel()) return;
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd != nullptr) page->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::OnHelpButton() {
    if (CPropertyPage* current = GetPage(m_active))
        current->SendMessage(WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int code = HIWORD(DWORD(wParam));
    if (code == BN_CLICKED) {
        switch (LOWORD(DWORD(wParam))) {
        case IDOK:
            OnOKButton();
            return TRUE;
        case IDCANCEL:
            OnCancelButton();
            return TRUE;
        case ID_APPLY_NOW:
            OnApplyNow();
            return TRUE;
        case IDHELP:
            OnHelpButton();
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
    if (m_hWnd == nullptr || pMsg->hwnd == nullptr) return FALSE;
    const bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                       (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!input || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))) return FALSE;
    // Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up to the one
    // before, wrapping round.
    if (pMsg->message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
        (pMsg->wParam == VK_TAB || pMsg->wParam == VK_NEXT || pMsg->wParam == VK_PRIOR)) {
        const int count = GetPageCount();
        const bool back = pMsg->wParam == VK_PRIOR ||
                          (pMsg->wParam == VK_TAB && (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
        if (count > 1 && m_active >= 0) SetActivePage((m_active + (back ? count - 1 : 1)) % count);
        return TRUE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}
