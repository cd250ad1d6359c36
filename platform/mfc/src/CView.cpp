#include "mfc/CView.h"

#include <algorithm>
#include <memory>

#include "mfc/CClientDC.h"
#include "mfc/CDocument.h"
#include "mfc/CFrameWnd.h"
#include "mfc/CPrintDialog.h"
#include "mfc/CWinApp.h"
#include "PreviewView.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
}

void CView::PostNcDestroy() {
    delete this;
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(UINT_PTR(COLOR_WINDOW + 1)));
    return TRUE;
}

BOOL CView::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                   CWnd* pParentWnd, UINT nID, void* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    pContext);
}

int CView::OnCreate(CREATESTRUCT* lpcs) {
    auto* context = static_cast<CCreateContext*>(lpcs != nullptr ? lpcs->lpCreateParams : nullptr);
    if (context != nullptr && context->m_pCurrentDoc != nullptr) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    if (CFrameWnd* frame = GetParentFrame())
        if (frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
    Default();
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
    Invalidate(TRUE);
}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo) {
    // A view that does not say how many pages it has prints one.
    if (pInfo != nullptr && pInfo->GetMaxPage() == 0xFFFF)
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage == 1;
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*) {
    if (bActivate && pActivateView == this && m_hWnd != nullptr && ::IsWindowVisible(m_hWnd)) SetFocus();
}

BOOL CView::IsSelected(const CObject*) const {
    return FALSE;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- printing ----

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
    CWinApp* app = AfxGetApp();
    PRINTDLGA& pd = pInfo->m_pPD->m_pd;
    pd.nMinPage = WORD(std::min<UINT>(pInfo->GetMinPage(), 0xFFFF));
    pd.nMaxPage = WORD(std::min<UINT>(pInfo->GetMaxPage(), 0xFFFF));
    pd.nFromPage = pd.nMinPage;
    pd.nToPage = pd.nMaxPage;
    if (app != nullptr) app->GetPrinterDeviceDefaults(&pd);
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        if (pd.hDevNames == nullptr) return FALSE;
        pInfo->m_pPD->CreatePrinterDC();
    } else {
        pInfo->m_pPD->m_pParentWnd = this;
        if (pInfo->m_pPD->DoModal() != IDOK) return FALSE;
        // The dialog may have chosen another printer: it becomes the application's.
        if (app != nullptr) app->SelectPrinter(pd.hDevNames, pd.hDevMode, FALSE);
    }
    return pd.hDC != nullptr;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*) {
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT, CWnd*) {
    OnEndPrinting(pDC, pInfo);
}

void CView::OnFilePrint() {
    CPrintInfo info;
    const MSG* current = GetCurrentMessage();
    info.m_bDirect = current != nullptr && current->message == WM_COMMAND &&
                     LOWORD(DWORD(current->wParam)) == ID_FILE_PRINT_DIRECT;
    if (!OnPreparePrinting(&info)) return;
    CDC dc;
    dc.Attach(info.m_pPD->m_pd.hDC);
    info.m_pPD->m_pd.hDC = nullptr; // the CDC deletes it
    dc.m_bPrinting = TRUE;
    OnBeginPrinting(&dc, &info);
    CString title = m_pDocument != nullptr ? m_pDocument->GetTitle() : CString();
    if (dc.StartDoc(title) <= 0) {
        OnEndPrinting(&dc, &info);
        return;
    }
    const UINT last = info.GetToPage();
    bool failed = false;
    for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= last; ++info.m_nCurPage) {
        OnPrepareDC(&dc, &info);
        if (!info.m_bContinuePrinting) break;
        if (dc.StartPage() <= 0) {
            failed = true;
            break;
        }
        info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
        OnPrint(&dc, &info);
        if (dc.EndPage() <= 0) {
            failed = true;
            break;
        }
        if (info.m_nCurPage == 0xFFFF) break;
    }
    if (failed) dc.AbortDoc();
    else dc.EndDoc();
    OnEndPrinting(&dc, &info);
}

void CView::OnFilePrintPreview() {
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr || m_pPreview != nullptr) return;
    auto info = std::make_unique<CPrintInfo>();
    info->m_bPreview = TRUE;
    if (!OnPreparePrinting(info.get())) return;
    SdPreviewView::Open(this, frame, std::move(info));
}
