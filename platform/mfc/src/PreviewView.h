#pragma once
// Print preview: a window that stands in for a view in its frame and shows one page at a
// time as the printer would print it, drawn by the view through a CPreviewDC. Commands:
// AFX_ID_PREVIEW_NEXT and _PREV turn the page, _PRINT prints, _CLOSE ends the preview.

#include <memory>

#include "mfc/CFrameWnd.h"
#include "mfc/CPreviewDC.h"
#include "mfc/CView.h"

class SdPreviewView : public CView {
public:
    SdPreviewView(CView* view, std::unique_ptr<CPrintInfo> info);
    ~SdPreviewView() override;

    void OnDraw(CDC* pDC) override;
    // The view's page on the screen: client pixels.
    CRect PageRect() const;
    UINT CurrentPage() const { return m_page; }
    void Close();

    CPrintPreviewState m_state;

protected:
    void OnNextPage();
    void OnPrevPage();
    void OnPreviewPrint();
    void OnPreviewClose();
    void OnUpdateNextPage(CCmdUI* pCmdUI);
    void OnUpdatePrevPage(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    CView* m_pView;
    std::unique_ptr<CPrintInfo> m_pInfo;
    CDC m_printer;
    UINT m_page;

public:
    // Shows the preview of the view in its frame (the view's OnBeginPrinting runs first).
    static void Open(CView* view, CFrameWnd* frame, std::unique_ptr<CPrintInfo> info);
};
