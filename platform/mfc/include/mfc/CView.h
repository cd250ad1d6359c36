#pragma once
// A view: a child of a frame that shows its document and takes input. It paints through
// OnDraw after OnPrepareDC, is told of document changes (OnUpdate), and prints: command
// 57607 (ID_FILE_PRINT) asks the print dialog, 57608 (ID_FILE_PRINT_DIRECT) prints on the
// application's printer without asking, 57609 (ID_FILE_PRINT_PREVIEW) shows the pages in a
// preview window over the frame. Derived views list those commands in their maps.
//
// Printing runs OnPreparePrinting (which calls DoPreparePrinting), OnBeginPrinting, then
// for each page OnPrepareDC and OnPrint (OnDraw by default) between StartPage and EndPage,
// then OnEndPrinting. The view, its first update and its deletion after WM_NCDESTROY are
// the framework's.

#include "mfc/CCreateContext.h"
#include "mfc/CPrintInfo.h"
#include "mfc/CWnd.h"

class CDocument;
class CPreviewDC;

class MFC_API CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // pContext: the CCreateContext that connects the view to its document.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, void* pContext = nullptr) override;

    virtual void OnInitialUpdate();
    // Invalidates the whole view in the base.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    // Whether the document item is selected in this view; FALSE in the base.
    virtual BOOL IsSelected(const CObject* pDocItem) const;

    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    // The printer: the application's set-up for direct printing and preview, otherwise the
    // print dialog's choice. FALSE when there is none or the user cancelled.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CWnd* pPreview);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override;

    // The preview window of this view while it shows (null otherwise).
    CWnd* GetPrintPreview() const { return m_pPreview; }

    CDocument* m_pDocument = nullptr;

protected:
    CView() = default;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    int OnCreate(CREATESTRUCT* lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);
    void OnFilePrint();
    void OnFilePrintPreview();
    DECLARE_MESSAGE_MAP()

private:
    friend class SdPreviewView;
    CWnd* m_pPreview = nullptr;
};
