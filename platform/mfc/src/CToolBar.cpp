#include "mfc/CToolBar.h"

#include <algorithm>
#include <cstdio>

#include "mfc/CCmdUI.h"
#include "mfc/CClientDC.h"
#include "mfc/CFrameWnd.h"
#include "mfc/CMiniFrameWnd.h"
#include "mfc/CWinApp.h"
#include "win32/controls.h"
#include "win32/resource.h"
#include "win32/userdraw.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CANCELMODE()
    ON_MESSAGE(TB_AUTOSIZE, OnAutoSize)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CToolBar::CToolBar() {
    m_cxLeftBorder = 4;
    m_cxRightBorder = 4;
    m_cyTopBorder = 2;
    m_cyBottomBorder = 2;
}

CToolBar::~CToolBar() {
    if (m_hWndTip != nullptr && ::IsWindow(m_hWndTip)) ::DestroyWindow(m_hWndTip);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    return CreateBar(nullptr, dwStyle, pParentWnd, nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID) {
    m_ctrlStyle = dwCtrlStyle;
    return Create(pParentWnd, dwStyle, nID);
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
    return LoadToolBar(MAKEINTRESOURCEA(WORD(nIDResource)));
}

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, lpszResourceName, RT_TOOLBAR);
    if (found == nullptr) return FALSE;
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    const DWORD size = ::SizeofResource(module, found);
    auto word = [data](DWORD at) { return WORD(data[at] | (data[at + 1] << 8)); };
    if (data == nullptr || size < 8 || word(0) != 1) return FALSE;
    const int width = word(2), height = word(4), count = word(6);
    if (width <= 0 || height <= 0 || DWORD(8 + 2 * count) > size) return FALSE;
    std::vector<UINT> ids(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) ids[std::size_t(i)] = word(DWORD(8 + 2 * i));
    if (!LoadBitmap(lpszResourceName)) return FALSE;
    SetSizes(CSize(width + 7, height + 7), CSize(width, height));
    return SetButtons(ids.data(), count);
}

BOOL CToolBar::LoadBitmap(UINT nIDResource) {
    return LoadBitmap(MAKEINTRESOURCEA(WORD(nIDResource)));
}

BOOL CToolBar::LoadBitmap(LPCSTR lpszResourceName) {
    HBITMAP bitmap = ::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName);
    if (bitmap == nullptr) return FALSE;
    m_bitmap.DeleteObject();
    m_bitmap.Attach(bitmap);
    if (m_hWnd != nullptr) Invalidate();
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    if (nIDCount < 0) return FALSE;
    m_buttons.assign(std::size_t(nIDCount), Button{});
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        Button& b = m_buttons[std::size_t(i)];
        b.id = lpIDArray != nullptr ? lpIDArray[i] : 0;
        if (lpIDArray != nullptr && b.id == 0) {
            b.style = TBBS_SEPARATOR;
            b.image = SD_TOOLBAR_SEPARATOR;
        } else {
            b.image = image++;
        }
    }
    if (m_hWnd != nullptr) Invalidate();
    SyncToolTips();
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
    m_sizeImage = CSize(std::max<LONG>(1, sizeImage.cx), std::max<LONG>(1, sizeImage.cy));
    m_sizeButton = CSize(std::max<LONG>(sizeButton.cx, m_sizeImage.cx + 7),
                         std::max<LONG>(sizeButton.cy, m_sizeImage.cy + 6));
    if (m_hWnd != nullptr) Invalidate();
    SyncToolTips();
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].id == nIDFind && !(m_buttons[i].style & TBBS_SEPARATOR)) return int(i);
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return 0;
    const Button& b = m_buttons[std::size_t(nIndex)];
    return (b.style & TBBS_SEPARATOR) ? 0 : b.id;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
    *lpRect = RECT{0, 0, 0, 0};
    if (nIndex < 0 || nIndex >= GetCount()) return;
    const bool horizontal = (m_dwStyle & CBRS_ORIENT_VERT) == 0;
    int at = horizontal ? m_cxLeftBorder : m_cyTopBorder;
    for (int i = 0; i < GetCount(); ++i) {
        const Button& b = m_buttons[std::size_t(i)];
        if (b.style & TBBS_HIDDEN) {
            if (i == nIndex) return;
            continue;
        }
        const int length = (b.style & TBBS_SEPARATOR) ? b.image
                                                      : (horizontal ? m_sizeButton.cx : m_sizeButton.cy);
        if (i == nIndex) {
            *lpRect = horizontal ? RECT{at, m_cyTopBorder, at + length, m_cyTopBorder + m_sizeButton.cy}
                                 : RECT{m_cxLeftBorder, at, m_cxLeftBorder + m_sizeButton.cx, at + length};
            return;
        }
        at += length;
    }
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
    return nIndex >= 0 && nIndex < GetCount() ? m_buttons[std::size_t(nIndex)].style : 0;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    Button& b = m_buttons[std::size_t(nIndex)];
    if (b.style == nStyle) return;
    b.style = nStyle;
    InvalidateButton(nIndex);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        nID = nStyle = 0;
        iImage = 0;
        return;
    }
    const Button& b = m_buttons[std::size_t(nIndex)];
    nID = b.id;
    nStyle = b.style;
    iImage = b.image;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    m_buttons[std::size_t(nIndex)] = Button{nID, nStyle, std::max(0, iImage)};
    if (m_hWnd != nullptr) Invalidate();
    SyncToolTips();
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    int length = 0;
    for (int i = 0; i < GetCount(); ++i) {
        RECT r;
        GetItemRect(i, &r);
        length = std::max<int>(length, bHorz ? r.right : r.bottom);
    }
    if (bHorz) {
        const int height = m_cyTopBorder + m_sizeButton.cy + m_cyBottomBorder +
                           ((m_dwStyle & CBRS_BORDER_TOP) ? 2 : 0) +
                           ((m_dwStyle & CBRS_BORDER_BOTTOM) ? 2 : 0);
        return CSize(bStretch ? 32767 : length + m_cxRightBorder, height);
    }
    const int width = m_cxLeftBorder + m_sizeButton.cx + m_cxRightBorder +
                      ((m_dwStyle & CBRS_BORDER_LEFT) ? 2 : 0) + ((m_dwStyle & CBRS_BORDER_RIGHT) ? 2 : 0);
    return CSize(width, bStretch ? 32767 : length + m_cyBottomBorder);
}

namespace {

// What an update handler does to a button.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CToolBar*>(m_pOther);
        const UINT style = bar->GetButtonStyle(int(m_nIndex)) & ~TBBS_DISABLED;
        bar->SetButtonStyle(int(m_nIndex), bOn ? style : style | TBBS_DISABLED);
    }
    void SetCheck(int nCheck) override {
        auto* bar = static_cast<CToolBar*>(m_pOther);
        UINT style = bar->GetButtonStyle(int(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1) style |= TBBS_CHECKED;
        else if (nCheck == 2) style |= TBBS_INDETERMINATE;
        bar->SetButtonStyle(int(m_nIndex), style | TBBS_CHECKBOX);
    }
    void SetText(LPCSTR) override {}
};

} // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = UINT(GetCount());
    for (int i = 0; i < GetCount(); ++i) {
        const Button& b = m_buttons[std::size_t(i)];
        if (b.style & TBBS_SEPARATOR) continue;
        state.m_nIndex = UINT(i);
        state.m_nID = b.id;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CToolBar::DrawButton(CDC* pDC, int index) {
    const Button& b = m_buttons[std::size_t(index)];
    CRect rect;
    GetItemRect(index, &rect);
    if (rect.IsRectEmpty() || (b.style & TBBS_HIDDEN)) return;
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    const COLORREF light = ::GetSysColor(COLOR_3DHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    HDC dc = pDC->m_hDC;
    if (b.style & TBBS_SEPARATOR) {
        // An etched line down the middle of the gap.
        RECT line{rect.left + rect.Width() / 2 - 1, rect.top + 2, rect.left + rect.Width() / 2 + 1, rect.bottom - 2};
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        return;
    }
    const bool pressed = b.style & TBBS_PRESSED;
    const bool checked = (b.style & (TBBS_CHECKED | TBBS_INDETERMINATE)) != 0;
    const bool down = pressed || checked;
    RECT r = rect;
    if (m_ctrlStyle & TBSTYLE_FLAT) {
        const bool hot = index == m_hot && !(b.style & TBBS_DISABLED);
        pDC->FillSolidRect(&rect, face);
        if (down)
            ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (hot)
            ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        else
            r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    } else {
        ::DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
    }
    if (checked && !pressed) {
        // The checked button's face: the classic half-tone of highlight and face.
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x) ::SetPixelV(dc, x, y, ((x + y) & 1) ? face : light);
    } else {
        pDC->FillSolidRect(&r, face);
    }
    if (m_bitmap.m_hObject == nullptr) return;
    // The image centred, one pixel down and right while the button is down.
    const int x = rect.left + (rect.Width() - m_sizeImage.cx) / 2 + (down ? 1 : 0);
    const int y = rect.top + (rect.Height() - m_sizeImage.cy) / 2 + (down ? 1 : 0);
    CDC images;
    images.CreateCompatibleDC(pDC);
    CBitmap* old = images.SelectObject(&m_bitmap);
    const int sx = b.image * m_sizeImage.cx;
    if (!(b.style & TBBS_DISABLED)) {
        pDC->BitBlt(x, y, m_sizeImage.cx, m_sizeImage.cy, &images, sx, 0, SRCCOPY);
    } else {
        // Greyed: the picture's shape (what is not the face colour) etched: the highlight a
        // pixel down and right, the shadow over it.
        for (int pass = 0; pass < 2; ++pass)
            for (int iy = 0; iy < m_sizeImage.cy; ++iy)
                for (int ix = 0; ix < m_sizeImage.cx; ++ix)
                    if (images.GetPixel(sx + ix, iy) != face) {
                        if (pass == 0) pDC->SetPixel(x + ix + 1, y + iy + 1, light);
                        else pDC->SetPixel(x + ix, y + iy, shadow);
                    }
    }
    images.SelectObject(old);
}

void CToolBar::DoPaint(CDC* pDC) {
    for (int i = 0; i < GetCount(); ++i) DrawButton(pDC, i);
}

void CToolBar::InvalidateButton(int index) {
    if (m_hWnd == nullptr) return;
    CRect rect;
    GetItemRect(index, &rect);
    InvalidateRect(&rect);
}

int CToolBar::HitTest(CPoint point) const {
    for (int i = 0; i < GetCount(); ++i) {
        CRect rect;
        GetItemRect(i, &rect);
        if (rect.PtInRect(point)) return (m_buttons[std::size_t(i)].style & TBBS_SEPARATOR) ? -1 : i;
    }
    return -1;
}

void CToolBar::OnLButtonDown(UINT, CPoint point) {
    const int index = HitTest(point);
    if (index < 0 || (m_buttons[std::size_t(index)].style & TBBS_DISABLED)) return;
    m_tracking = index;
    SetCapture();
    SetButtonStyle(index, GetButtonStyle(index) | TBBS_PRESSED);
    UpdateWindow();
}

void CToolBar::OnMouseMove(UINT, CPoint point) {
    if (m_tracking < 0 && (m_dwStyle & CBRS_FLYBY)) FlyBy(HitTest(point));
    if (m_tracking < 0) {
        // Hot tracking: a flat bar raises the enabled button under the pointer.
        if (!(m_ctrlStyle & TBSTYLE_FLAT)) return;
        int hot = HitTest(point);
        if (hot >= 0 && (m_buttons[std::size_t(hot)].style & (TBBS_DISABLED | TBBS_SEPARATOR))) hot = -1;
        if (hot == m_hot) return;
        if (m_hot >= 0) InvalidateButton(m_hot);
        m_hot = hot;
        if (m_hot >= 0) InvalidateButton(m_hot);
        return;
    }
    // Pressed while the pointer is over the button it went down on.
    const UINT style = GetButtonStyle(m_tracking);
    const bool over = HitTest(point) == m_tracking;
    SetButtonStyle(m_tracking, over ? style | TBBS_PRESSED : style & ~TBBS_PRESSED);
}

void CToolBar::OnLButtonUp(UINT, CPoint point) {
    if (m_tracking < 0) return;
    const int index = m_tracking;
    m_tracking = -1;
    ::ReleaseCapture();
    SetButtonStyle(index, GetButtonStyle(index) & ~TBBS_PRESSED);
    if (HitTest(point) != index || (GetButtonStyle(index) & TBBS_DISABLED)) return;
    CWnd* owner = m_pDockSite != nullptr ? static_cast<CWnd*>(m_pDockSite) : GetParent();
    if (owner != nullptr) owner->SendMessage(WM_COMMAND, WPARAM(GetItemID(index) & 0xFFFF), 0);
}

void CToolBar::OnCancelMode() {
    if (m_tracking >= 0) {
        SetButtonStyle(m_tracking, GetButtonStyle(m_tracking) & ~TBBS_PRESSED);
        m_tracking = -1;
        ::ReleaseCapture();
    }
}

LRESULT CToolBar::OnAutoSize(WPARAM, LPARAM) {
    SyncToolTips();
    if (IsFloating()) {
        CRect client;
        GetWindowRect(&client);
        m_pFloatFrame->FitBar(this, client.TopLeft(), CalcFixedLayout(FALSE, IsHorz()));
    } else if (m_pDockSite != nullptr) {
        m_pDockSite->RecalcLayout();
    }
    return 0;
}

namespace {
constexpr UINT_PTR kFlyByTimer = 0xE000;
} // namespace

void CToolBar::FlyBy(int index) {
    UINT id = 0;
    if (index >= 0 && !(m_buttons[std::size_t(index)].style & TBBS_SEPARATOR))
        id = m_buttons[std::size_t(index)].id;
    if (id == m_flyBy) return;
    m_flyBy = id;
    CWnd* frame = m_pDockSite != nullptr ? static_cast<CWnd*>(m_pDockSite) : GetParentFrame();
    if (frame != nullptr) frame->SendMessage(WM_SETMESSAGESTRING, id != 0 ? id : AFX_IDS_IDLEMESSAGE);
    if (id != 0)
        SetTimer(kFlyByTimer, 200, nullptr);
    else
        KillTimer(kFlyByTimer);
}

void CToolBar::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kFlyByTimer) {
        Default();
        return;
    }
    POINT cursor;
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) == m_hWnd) {
        ScreenToClient(&cursor);
        FlyBy(HitTest(cursor));
    } else {
        FlyBy(-1);
    }
}

void CToolBar::SetBarStyle(DWORD dwStyle) {
    CControlBar::SetBarStyle(dwStyle);
    SyncToolTips();
}

void CToolBar::SyncToolTips() {
    const bool wanted = m_hWnd != nullptr && (m_dwStyle & CBRS_TOOLTIPS) != 0;
    if (!wanted) {
        if (m_hWndTip != nullptr && ::IsWindow(m_hWndTip)) ::DestroyWindow(m_hWndTip);
        m_hWndTip = nullptr;
        m_tipTools = 0;
        return;
    }
    if (m_hWndTip == nullptr) {
        m_hWndTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                      m_hWnd, nullptr, nullptr, nullptr);
        if (m_hWndTip == nullptr) return;
    }
    for (int i = 0; i < m_tipTools; ++i) {
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.hwnd = m_hWnd;
        info.uId = UINT_PTR(i);
        ::SendMessageA(m_hWndTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
    m_tipTools = GetCount();
    for (int i = 0; i < m_tipTools; ++i) {
        if (m_buttons[std::size_t(i)].style & TBBS_SEPARATOR) continue;
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = UINT_PTR(i);
        GetItemRect(i, &info.rect);
        info.lpszText = LPSTR_TEXTCALLBACKA;
        ::SendMessageA(m_hWndTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

BOOL CToolBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr != nullptr && hdr->hwndFrom == m_hWndTip && hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        info->szText[0] = '\0';
        const int index = int(hdr->idFrom);
        if (index >= 0 && index < GetCount()) {
            CString text;
            text.LoadString(m_buttons[std::size_t(index)].id);
            const int tip = text.Find('\n');
            text = tip >= 0 ? text.Mid(tip + 1) : CString();
            std::snprintf(info->szText, sizeof info->szText, "%s", LPCSTR(text));
        }
        info->lpszText = info->szText;
        if (pResult != nullptr) *pResult = 0;
        return TRUE;
    }
    return CControlBar::OnNotify(wParam, lParam, pResult);
}

void CToolBar::OnDestroy() {
    if (m_hWndTip != nullptr && ::IsWindow(m_hWndTip)) ::DestroyWindow(m_hWndTip);
    m_hWndTip = nullptr;
    m_tipTools = 0;
    KillTimer(0xE000);
    CControlBar::OnDestroy();
}
