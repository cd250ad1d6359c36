#include "mfc/CScrollView.h"

#include <algorithm>
#include <climits>

#include "mfc/CDC.h"
#include "win32/nls.h"

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault{0, 0};

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage,
                                 const SIZE& sizeLine) {
    m_nMapMode = nMapMode;
    m_totalDev = CSize(std::max<LONG>(0, sizeTotal.cx), std::max<LONG>(0, sizeTotal.cy));
    m_pageDev = sizePage;
    if (m_pageDev.cx <= 0) m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy <= 0) m_pageDev.cy = m_totalDev.cy / 10;
    m_lineDev = sizeLine;
    if (m_lineDev.cx <= 0) m_lineDev.cx = std::max<LONG>(1, m_pageDev.cx / 10);
    if (m_lineDev.cy <= 0) m_lineDev.cy = std::max<LONG>(1, m_pageDev.cy / 10);
    if (m_hWnd != nullptr) UpdateBars();
}

CPoint CScrollView::GetDeviceScrollPosition() const {
    return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const {
    return GetDeviceScrollPosition();
}

void CScrollView::ScrollToPosition(POINT pt) {
    const CPoint old = GetDeviceScrollPosition();
    SetScrollPos(SB_HORZ, pt.x);
    SetScrollPos(SB_VERT, pt.y);
    const CPoint now = GetDeviceScrollPosition();
    if (now != old) ScrollWindow(old.x - now.x, old.y - now.y);
}

void CScrollView::UpdateBars() {
    if (m_bInsideUpdate || m_hWnd == nullptr || m_nMapMode == 0) return;
    m_bInsideUpdate = TRUE;
    CRect client;
    GetClientRect(&client);
    const int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    const DWORD style = GetStyle();
    // The client area without any bar.
    const int fullWidth = client.Width() + ((style & WS_VSCROLL) ? barWidth : 0);
    const int fullHeight = client.Height() + ((style & WS_HSCROLL) ? barHeight : 0);
    bool needH = m_totalDev.cx > fullWidth;
    bool needV = m_totalDev.cy > fullHeight;
    if (needH && !needV) needV = m_totalDev.cy > fullHeight - barHeight;
    if (needV && !needH) needH = m_totalDev.cx > fullWidth - barWidth;
    const int width = std::max(0, fullWidth - (needV ? barWidth : 0));
    const int height = std::max(0, fullHeight - (needH ? barHeight : 0));
    const CPoint old = GetDeviceScrollPosition();
    const CPoint pos(std::clamp<LONG>(old.x, 0, std::max<LONG>(0, m_totalDev.cx - width)),
                     std::clamp<LONG>(old.y, 0, std::max<LONG>(0, m_totalDev.cy - height)));
    SCROLLINFO info{sizeof info, SIF_ALL, 0, std::max<int>(0, m_totalDev.cx - 1), UINT(width),
                    needH ? int(pos.x) : 0, 0};
    SetScrollInfo(SB_HORZ, &info, TRUE);
    info = SCROLLINFO{sizeof info, SIF_ALL, 0, std::max<int>(0, m_totalDev.cy - 1), UINT(height),
                      needV ? int(pos.y) : 0, 0};
    SetScrollInfo(SB_VERT, &info, TRUE);
    const CPoint now = GetDeviceScrollPosition();
    if (now != old) ScrollWindow(old.x - now.x, old.y - now.y);
    m_bInsideUpdate = FALSE;
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
    if (pDC != nullptr && !pDC->IsPrinting()) {
        pDC->SetMapMode(MM_TEXT);
        const CPoint pos = GetDeviceScrollPosition();
        pDC->SetViewportOrg(-pos.x, -pos.y);
    }
    CView::OnPrepareDC(pDC, pInfo);
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll) {
    const CPoint orig = GetDeviceScrollPosition();
    CPoint pos = orig;
    auto apply = [](LONG& v, BYTE code, UINT thumb, LONG line, LONG page) {
        switch (code) {
        case SB_TOP:
            v = 0;
            break;
        case SB_BOTTOM:
            v = INT_MAX;
            break;
        case SB_LINEUP:
            v -= line;
            break;
        case SB_LINEDOWN:
            v += line;
            break;
        case SB_PAGEUP:
            v -= page;
            break;
        case SB_PAGEDOWN:
            v += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            v = LONG(thumb);
            break;
        default:
            break;
        }
    };
    apply(pos.x, BYTE(nScrollCode & 0xFF), nPos, m_lineDev.cx, m_pageDev.cx);
    apply(pos.y, BYTE((nScrollCode >> 8) & 0xFF), nPos, m_lineDev.cy, m_pageDev.cy);
    return OnScrollBy(CSize(pos.x - orig.x, pos.y - orig.y), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll) {
    const CPoint orig = GetDeviceScrollPosition();
    auto limit = [this](int bar) {
        SCROLLINFO info{};
        if (!GetScrollInfo(bar, &info, SIF_RANGE | SIF_PAGE)) return 0;
        return std::max(0, info.nMax - int(info.nPage) + 1);
    };
    const DWORD style = GetStyle();
    const LONG x = (style & WS_HSCROLL) ? std::clamp<LONG>(orig.x + sizeScroll.cx, 0, limit(SB_HORZ)) : orig.x;
    const LONG y = (style & WS_VSCROLL) ? std::clamp<LONG>(orig.y + sizeScroll.cy, 0, limit(SB_VERT)) : orig.y;
    if (x == orig.x && y == orig.y) return FALSE;
    if (bDoScroll) {
        ScrollWindow(orig.x - x, orig.y - y);
        if (x != orig.x) SetScrollPos(SB_HORZ, x);
        if (y != orig.y) SetScrollPos(SB_VERT, y);
    }
    return TRUE;
}

void CScrollView::OnSize(UINT, int, int) {
    UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar != nullptr) {
        CWnd::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(BYTE(nSBCode), 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar != nullptr) {
        CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(0xFF, BYTE(nSBCode)), nPos);
}
