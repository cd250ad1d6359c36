#include "PreviewView.h"

#include <algorithm>

#include "mfc/CCmdUI.h"
#include "mfc/CClientDC.h"
#include "mfc/CPrintDialog.h"

BEGIN_MESSAGE_MAP(SdPreviewView, CView)
    ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
    ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
    ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
    ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
    ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
END_MESSAGE_MAP()

namespace {

// The pane id of the view while the preview stands in for it.
constexpr UINT hiddenViewId = AFX_IDW_PANE_LAST;

} // namespace

SdPreviewView::SdPreviewView(CView* view, std::unique_ptr<CPrintInfo> info)
    : m_pView(view), m_pInfo(std::move(info)), m_page(m_pInfo->GetMinPage()) {
    m_printer.Attach(m_pInfo->m_pPD->m_pd.hDC);
    m_pInfo->m_pPD->m_pd.hDC = nullptr; // m_printer deletes it
    m_printer.m_bPrinting = TRUE;
}

SdPreviewView::~SdPreviewView() = default;

void SdPreviewView::Open(CView* view, CFrameWnd* frame, std::unique_ptr<CPrintInfo> info) {
    auto* preview = new SdPreviewView(view, std::move(info));
    view->OnBeginPrinting(&preview->m_printer, preview->m_pInfo.get());
    frame->OnSetPreviewMode(TRUE, &preview->m_state);
    view->SetDlgCtrlID(int(hiddenViewId));
    view->ShowWindow(SW_HIDE);
    if (!preview->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), frame,
                         AFX_IDW_PANE_FIRST)) {
        // PostNcDestroy deleted the preview: the view comes back.
        view->SetDlgCtrlID(int(AFX_IDW_PANE_FIRST));
        view->ShowWindow(SW_SHOW);
        CPrintPreviewState state;
        frame->OnSetPreviewMode(FALSE, &state);
        return;
    }
    view->m_pPreview = preview;
    frame->SetActiveView(preview, FALSE);
    frame->RecalcLayout();
}

CRect SdPreviewView::PageRect() const {
    CRect client;
    GetClientRect(&client);
    const int pageWidth = std::max(1, m_printer.GetDeviceCaps(HORZRES));
    const int pageHeight = std::max(1, m_printer.GetDeviceCaps(VERTRES));
    const int room = 8;
    const int w = std::max(1, int(client.Width()) - 2 * room);
    const int h = std::max(1, int(client.Height()) - 2 * room);
    // The larger scale that fits both ways.
    int width, height;
    if (std::int64_t(w) * pageHeight <= std::int64_t(h) * pageWidth) {
        width = w;
        height = int(std::int64_t(pageHeight) * w / pageWidth);
    } else {
        height = h;
        width = int(std::int64_t(pageWidth) * h / pageHeight);
    }
    const int left = (int(client.Width()) - width) / 2;
    const int top = (int(client.Height()) - height) / 2;
    return CRect(left, top, left + width, top + height);
}

void SdPreviewView::OnDraw(CDC* pDC) {
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, ::GetSysColor(COLOR_APPWORKSPACE));
    const CRect page = PageRect();
    pDC->FillSolidRect(page.left + 3, page.top + 3, page.Width(), page.Height(), RGB(0, 0, 0));
    pDC->FillSolidRect(&page, RGB(255, 255, 255));
    if (m_pView == nullptr || m_printer.m_hDC == nullptr) return;

    const int saved = m_printer.SaveDC();
    CPreviewDC dc;
    dc.m_bPrinting = TRUE;
    dc.SetAttribDC(m_printer.m_hDC);
    dc.SetOutputDC(pDC->m_hDC);
    ::IntersectClipRect(pDC->m_hDC, page.left, page.top, page.right, page.bottom);
    const int pageWidth = std::max(1, m_printer.GetDeviceCaps(HORZRES));
    dc.SetScaleRatio(std::max(1, page.Width()), pageWidth);
    dc.SetTopLeftOffset(CSize(page.left, page.top));
    m_pInfo->m_nCurPage = m_page;
    m_pInfo->m_bContinuePrinting = TRUE;
    m_pView->OnPrepareDC(&dc, m_pInfo.get());
    if (m_pInfo->m_bContinuePrinting) {
        m_pInfo->m_rectDraw.SetRect(0, 0, pageWidth, m_printer.GetDeviceCaps(VERTRES));
        m_pView->OnPrint(&dc, m_pInfo.get());
    }
    dc.ReleaseOutputDC();
    dc.ReleaseAttribDC();
    m_printer.RestoreDC(saved);
}

void SdPreviewView::OnNextPage() {
    if (m_page < m_pInfo->GetMaxPage()) {
        ++m_page;
        Invalidate();
    }
}

void SdPreviewView::OnPrevPage() {
    if (m_page > m_pInfo->GetMinPage()) {
        --m_page;
        Invalidate();
    }
}

void SdPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_page < m_pInfo->GetMaxPage() && m_pInfo->GetMaxPage() != 0xFFFF);
}

void SdPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_page > m_pInfo->GetMinPage());
}

void SdPreviewView::OnPreviewClose() {
    Close();
}

void SdPreviewView::OnPreviewPrint() {
    CView* view = m_pView;
    Close();
    if (view != nullptr) view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
}

void SdPreviewView::Close() {
    CFrameWnd* frame = GetParentFrame();
    CView* view = m_pView;
    m_pView = nullptr;
    if (view != nullptr) {
        view->SetDlgCtrlID(int(AFX_IDW_PANE_FIRST));
        view->ShowWindow(SW_SHOW);
        view->m_pPreview = nullptr;
    }
    if (frame != nullptr) {
        frame->SetActiveView(view, FALSE);
        frame->OnSetPreviewMode(FALSE, &m_state);
    }
    if (view != nullptr) view->OnEndPrintPreview(&m_printer, m_pInfo.get(), POINT{0, 0}, this);
    DestroyWindow(); // PostNcDestroy deletes the preview
    if (frame != nullptr) frame->RecalcLayout();
}
