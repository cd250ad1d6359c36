#pragma once
// A view larger than its window: the window's own scroll bars show which part is visible.
// Sizes are device pixels (MM_TEXT). The bars appear when the total size exceeds the client
// area and the position stays within the total size; OnPrepareDC moves the viewport origin
// by the position, so OnDraw draws in whole-view coordinates.

#include "mfc/CView.h"

class MFC_API CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    static const SIZE sizeDefault;

    // nMapMode MM_TEXT; a default page is a tenth of the total, a default line a tenth of
    // the page.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CPoint GetScrollPosition() const;
    CPoint GetDeviceScrollPosition() const;
    CSize GetTotalSize() const { return m_totalDev; }
    // Clamped to the total size; the window's contents move (ScrollWindow).
    void ScrollToPosition(POINT pt);

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    // Scroll code (low byte horizontal, high byte vertical, 0xFF none) to a scroll.
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

protected:
    CScrollView() = default;
    // Shows the bars that are needed for the client area and sets their range and page.
    void UpdateBars();

    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

    int m_nMapMode = 0;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bInsideUpdate = FALSE;
};
