#pragma once
// What a print job and its preview know: the pages, the page being printed, the rectangle
// to draw in, and the print dialog that chose the printer.

#include "mfc/CRect.h"
#include "mfc/CString.h"

class CPrintDialog;

struct MFC_API CPrintInfo {
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    UINT GetFromPage() const;
    UINT GetToPage() const;

    CPrintDialog* m_pPD;       // owned
    BOOL m_bDirect = FALSE;    // printed without the dialog (57608)
    BOOL m_bPreview = FALSE;
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;
    CString m_strPageDesc;
    void* m_lpUserData = nullptr;
    CRect m_rectDraw;          // printer pixels of the page being printed

private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
};
