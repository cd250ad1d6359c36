#include "mfc/CStatusBar.h"

#include <algorithm>

#include "mfc/CClientDC.h"
#include "mfc/CDC.h"

IMPLEMENT_DYNAMIC(CStatusBar, CWnd)

BEGIN_MESSAGE_MAP(CStatusBar, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) return FALSE;
    CRect client;
    pParentWnd->GetClientRect(&client);
    const CRect rect(0, std::max(0, client.bottom - SD_STATUS_HEIGHT), client.right, client.bottom);
    // The bar styles (CBRS_*) are the framework's; the window gets the window styles.
    const DWORD windowStyle = (dwStyle & 0xFFFF0000) | WS_CHILD;
    return CreateEx(0, AfxRegisterWndClass(0), "", windowStyle, rect, pParentWnd, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    if (nIDCount < 0 || (nIDCount > 0 && lpIDArray == nullptr)) return FALSE;
    BOOL allFound = TRUE;
    m_panes.assign(std::size_t(nIDCount), Pane{});
    for (int i = 0; i < nIDCount; ++i) {
        Pane& pane = m_panes[std::size_t(i)];
        pane.id = lpIDArray[i];
        if (pane.id != ID_SEPARATOR) {
            if (!pane.text.LoadString(pane.id)) allFound = FALSE;
            pane.width = pane.text.GetLength() * SD_STATUS_CHAR_WIDTH;
        }
    }
    if (!m_panes.empty() && m_panes[0].id == ID_SEPARATOR)
        m_panes[0].style = SBPS_NOBORDERS | SBPS_STRETCH;
    if (m_hWnd != nullptr) Invalidate();
    return allFound;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == nIDFind) return int(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const {
    return valid(nIndex) ? m_panes[std::size_t(nIndex)].id : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
    *lpRect = RECT{0, 0, 0, 0};
    if (!valid(nIndex) || m_hWnd == nullptr) return;
    CRect client;
    GetClientRect(&client);
    int fixed = 0;
    int stretchers = 0;
    for (const Pane& pane : m_panes) {
        if (pane.style & SBPS_STRETCH) ++stretchers;
        else fixed += pane.width;
    }
    fixed += SD_STATUS_GAP * (int(m_panes.size()) - 1);
    // Only the first stretching pane gets the spare width.
    const int spare = std::max(0, client.Width() - fixed);
    int x = 0;
    bool stretched = false;
    for (int i = 0; i <= nIndex; ++i) {
        const Pane& pane = m_panes[std::size_t(i)];
        int width = pane.width;
        if ((pane.style & SBPS_STRETCH) && !stretched) {
            width = std::max(pane.width, spare);
            stretched = true;
        }
        if (i == nIndex) {
            *lpRect = RECT{x, SD_STATUS_INSET, x + width, std::max(SD_STATUS_INSET,
                                                                   client.bottom - SD_STATUS_INSET)};
            return;
        }
        x += width + SD_STATUS_GAP;
    }
    (void)stretchers;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (!valid(nIndex)) {
        nID = 0;
        nStyle = 0;
        cxWidth = 0;
        return;
    }
    const Pane& pane = m_panes[std::size_t(nIndex)];
    nID = pane.id;
    nStyle = pane.style;
    cxWidth = pane.width;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (!valid(nIndex)) return;
    Pane& pane = m_panes[std::size_t(nIndex)];
    pane.id = nID;
    pane.style = nStyle;
    pane.width = std::max(0, cxWidth);
    if (m_hWnd != nullptr) Invalidate();
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
    return valid(nIndex) ? m_panes[std::size_t(nIndex)].style : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
    if (!valid(nIndex)) return;
    m_panes[std::size_t(nIndex)].style = nStyle;
    if (m_hWnd != nullptr) Invalidate();
}

CString CStatusBar::GetPaneText(int nIndex) const {
    return valid(nIndex) ? m_panes[std::size_t(nIndex)].text : CString();
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const {
    rString = GetPaneText(nIndex);
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate) {
    if (!valid(nIndex)) return FALSE;
    Pane& pane = m_panes[std::size_t(nIndex)];
    const CString text(lpszNewText);
    if (pane.text == text) return TRUE;
    pane.text = text;
    if (bUpdate && m_hWnd != nullptr) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        InvalidateRect(&rect);
    }
    return TRUE;
}

void CStatusBar::OnPaint() {
    CPaintDC dc(this);
    if (dc.m_hDC == nullptr) return;
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& pane = m_panes[std::size_t(i)];
        if ((pane.style & SBPS_DISABLED) || pane.text.IsEmpty()) continue;
        CRect rect;
        GetItemRect(i, &rect);
        dc.ExtTextOut(rect.left + 2, rect.top, ETO_CLIPPED, &rect, pane.text,
                      UINT(pane.text.GetLength()), nullptr);
    }
}

void CStatusBar::OnSize(UINT, int, int) {
    Invalidate();
}
