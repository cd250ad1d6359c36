#include "mfc/CDocument.h"

#include <algorithm>

#include "mfc/CDocTemplate.h"
#include "mfc/CFrameWnd.h"
#include "mfc/CView.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::CDocument() = default;

CDocument::~CDocument() {
    // Views that outlive their document forget it.
    for (CView* view : m_viewList) view->m_pDocument = nullptr;
    if (m_pDocTemplate != nullptr) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle) {
    m_strTitle = lpszTitle;
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL) {
    m_strPathName = lpszPathName;
    // The title is the file's name.
    const char* name = lpszPathName;
    for (const char* p = lpszPathName; p != nullptr && *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    SetTitle(name);
}

void CDocument::AddView(CView* pView) {
    if (pView == nullptr || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end()) return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList() {
    if (m_viewList.empty() && m_bAutoDelete && !m_bClosing) {
        OnCloseDocument();
        return;
    }
}

POSITION CDocument::GetFirstViewPosition() const {
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
    const std::size_t index = reinterpret_cast<std::uintptr_t>(rPosition) - 1;
    if (rPosition == nullptr || index >= m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = index + 1 < m_viewList.size() ? reinterpret_cast<POSITION>(std::uintptr_t(index + 2))
                                               : nullptr;
    return m_viewList[index];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    const std::vector<CView*> views = m_viewList;
    for (CView* view : views)
        if (view != pSender) view->OnUpdate(pSender, lHint, pHint);
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    m_bClosing = true;
    // Each frame goes with its views; a frame showing two views goes once.
    std::vector<CFrameWnd*> frames;
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame())
            if (std::find(frames.begin(), frames.end(), frame) == frames.end()) frames.push_back(frame);
    for (CFrameWnd* frame : frames)
        if (frame->m_hWnd != nullptr) frame->DestroyWindow();
    m_bClosing = false;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified() {
    return TRUE;
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) {
    return SaveModified();
}
