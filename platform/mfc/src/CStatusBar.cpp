#include "mfc/CStatusBar.h"

#include <algorithm>

#include "mfc/CClientDC.h"
#include "mfc/CCmdUI.h"
#include "mfc/CDC.h"
#include "mfc/CFrameWnd.h"
#include "win32/nls.h"
#include "win32/userdraw.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    if (!CreateBar(nullptr, dwStyle, pParentWnd, nID)) return FALSE;
    CRect client;
    pParentWnd->GetClientRect(&client);
    MoveWindow(0, std::max(0, int(client.bottom) - SD_STATUS_HEIGHT), client.right,
               std::min(SD_STATUS_HEIGHT, int(client.bottom)), FALSE);
    return TRUE;
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL) {
    return CSize(32767, SD_STATUS_HEIGHT);
}

namespace {

// What an update handler does to a pane.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const UINT style = bar->GetPaneStyle(int(m_nIndex));
        const UINT changed = bOn ? style & ~SBPS_DISABLED : style | SBPS_DISABLED;
        if (changed != style) bar->SetPaneStyle(int(m_nIndex), changed);
    }
    void SetCheck(int nCheck) override {
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const UINT style = bar->GetPaneStyle(int(m_nIndex));
        const UINT changed = nCheck ? style | SBPS_POPOUT : style & ~SBPS_POPOUT;
        if (changed != style) bar->SetPaneStyle(int(m_nIndex), changed);
    }
    void SetText(LPCSTR lpszText) override {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(int(m_nIndex), lpszText);
    }
};

} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = UINT(m_panes.size());
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        state.m_nIndex = UINT(i);
        state.m_nID = m_panes[i].id;
        // Panes have no command of their own: without a handler they are left as they are.
        state.DoUpdate(pTarget, FALSE);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
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

void CStatusBar::DoPaint(CDC* pDC) {
    HDC dc = pDC->m_hDC;
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& pane = m_panes[std::size_t(i)];
        CRect rect;
        GetItemRect(i, &rect);
        RECT inner = rect;
        // Sunken, or raised for a pane that pops out.
        if (!(pane.style & SBPS_NOBORDERS))
            ::DrawEdge(dc, &inner, (pane.style & SBPS_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                       BF_RECT | BF_ADJUST);
        if ((pane.style & SBPS_DISABLED) || pane.text.IsEmpty()) continue;
        inner.left += 1;
        ::DrawTextA(dc, pane.text, pane.text.GetLength(), &inner,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::SelectObject(dc, oldFont);
    // The size grip in the corner of a frame the user can size.
    CWnd* parent = GetParent();
    if (parent && (parent->GetStyle() & WS_THICKFRAME) && !(parent->GetStyle() & WS_MAXIMIZE)) {
        CRect client;
        GetClientRect(&client);
        const int side = std::min(client.Height(), ::GetSystemMetrics(SM_CXVSCROLL));
        RECT grip{client.right - side, client.bottom - side, client.right, client.bottom};
        ::DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

void CStatusBar::OnSize(UINT, int, int) {
    Invalidate();
}
