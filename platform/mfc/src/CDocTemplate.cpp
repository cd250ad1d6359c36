#include "mfc/CDocTemplate.h"

#include <algorithm>
#include <cstring>

#include "mfc/CDocument.h"
#include "mfc/CFileDialog.h"
#include "mfc/CFrameWnd.h"
#include "mfc/CView.h"
#include "mfc/CWaitCursor.h"
#include "mfc/CWinApp.h"
#include "mfc/FrameworkIds.h"
#include "mfc/FrameworkStrings.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {
    m_strDocStrings.LoadString(nIDResource);
}

CDocTemplate::~CDocTemplate() = default;

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const {
    rString.Empty();
    const char* text = m_strDocStrings;
    for (int part = 0; text != nullptr; ++part) {
        const char* end = std::strchr(text, '\n');
        if (part == int(index)) {
            rString = end ? CString(text, int(end - text)) : CString(text);
            return !rString.IsEmpty();
        }
        text = end ? end + 1 : nullptr;
    }
    return FALSE;
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (m_pDocClass == nullptr) return nullptr;
    auto* doc = DYNAMIC_DOWNCAST(CDocument, m_pDocClass->CreateObject());
    if (doc != nullptr) AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    if (m_pFrameClass == nullptr) return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* object = m_pFrameClass->CreateObject();
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, object);
    if (frame == nullptr) {
        delete object;
        return nullptr;
    }
    // A frame that fails deletes itself (PostNcDestroy).
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    if (pDoc->m_pDocTemplate == this) pDoc->m_pDocTemplate = nullptr;
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty()) {
        if (!title.LoadString(AFX_IDS_UNTITLED)) title = "Untitled";
    }
    pDocument->SetTitle(title);
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    for (POSITION pos = GetFirstDocPosition(); pos != nullptr;) {
        CDocument* doc = GetNextDoc(pos);
        doc->OnCloseDocument();
        pos = GetFirstDocPosition(); // the list changed
    }
}

// ---- one document ----

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                       CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc != nullptr) {
        CDocument* doc = m_pOnlyDoc;
        m_pOnlyDoc = nullptr;
        doc->m_pDocTemplate = nullptr;
        doc->OnCloseDocument();
    }
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const {
    return m_pOnlyDoc != nullptr ? reinterpret_cast<POSITION>(std::uintptr_t(1)) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const {
    CDocument* doc = rPos != nullptr ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return doc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible) {
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    bool createdDoc = false;
    bool createdFrame = false;
    if (doc != nullptr) {
        if (!doc->SaveModified()) return nullptr;
        POSITION pos = doc->GetFirstViewPosition();
        if (CView* view = doc->GetNextView(pos)) frame = view->GetParentFrame();
    } else {
        doc = CreateNewDocument();
        if (doc == nullptr) return nullptr;
        createdDoc = true;
    }
    if (frame == nullptr) {
        // The document must not go with a frame that fails.
        const BOOL autoDelete = doc->m_bAutoDelete;
        doc->m_bAutoDelete = FALSE;
        frame = CreateNewFrame(doc, nullptr);
        doc->m_bAutoDelete = autoDelete;
        if (frame == nullptr) {
            if (createdDoc) delete doc;
            return nullptr;
        }
        createdFrame = true;
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (createdFrame) frame->DestroyWindow(); // the document goes with its last view
            else if (createdDoc) delete doc;
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        const BOOL wasModified = doc->IsModified();
        doc->SetModifiedFlag(FALSE);
        // OnOpenDocument has told the user what failed.
        if (!doc->OnOpenDocument(lpszPathName)) {
            if (createdFrame) {
                frame->DestroyWindow();
            } else if (createdDoc) {
                delete doc;
            } else if (!doc->IsModified()) {
                doc->SetModifiedFlag(wasModified); // the old contents are untouched
            } else {
                // The old contents are gone: an empty new document rather than a half-read one.
                SetDefaultTitle(doc);
                doc->OnNewDocument();
            }
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    if (createdFrame) {
        CWinThread* thread = AfxGetThread();
        if (thread != nullptr && thread->m_pMainWnd == nullptr) thread->m_pMainWnd = frame;
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

// ---- the application's templates ----

CDocManager::~CDocManager() {
    for (CDocTemplate* t : m_templates) delete t;
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) {
    if (pTemplate != nullptr) m_templates.push_back(pTemplate);
}

CDocTemplate* CDocManager::GetDocTemplate(int nIndex) const {
    return nIndex >= 0 && nIndex < GetDocTemplateCount() ? m_templates[std::size_t(nIndex)] : nullptr;
}

void CDocManager::OnFileNew() {
    if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
    CString fileName;
    if (!DoPromptFileName(fileName, 0, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
    if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(fileName);
}

void CDocManager::CloseAllDocuments(BOOL bEndSession) {
    for (CDocTemplate* t : m_templates) t->CloseAllDocuments(bEndSession);
}

BOOL CDocManager::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags,
                                   BOOL bOpenFileDialog, CDocTemplate* pTemplate) {
    CString filter;
    CString defaultExt;
    auto append = [&](CDocTemplate* t) {
        CString name, ext;
        if (!t->GetDocString(name, CDocTemplate::filterName) ||
            !t->GetDocString(ext, CDocTemplate::filterExt))
            return;
        if (defaultExt.IsEmpty()) defaultExt = ext[0] == '.' ? ext.Mid(1) : ext;
        filter += name + "|*" + ext + "|";
    };
    if (pTemplate != nullptr)
        append(pTemplate);
    else
        for (CDocTemplate* t : m_templates) append(t);
    CString all;
    if (!all.LoadString(AFX_IDS_ALLFILTER)) all = "All files (*.*)";
    filter += all + "|*.*||";
    CFileDialog dialog(bOpenFileDialog, defaultExt.IsEmpty() ? nullptr : LPCSTR(defaultExt),
                       fileName.IsEmpty() ? nullptr : LPCSTR(fileName),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | lFlags, filter);
    CString title;
    if (nIDSTitle != 0 && title.LoadString(nIDSTitle)) dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK) return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}

BOOL CDocManager::SaveAllModified() {
    for (CDocTemplate* t : m_templates)
        for (POSITION pos = t->GetFirstDocPosition(); pos != nullptr;)
            if (!t->GetNextDoc(pos)->SaveModified()) return FALSE;
    return TRUE;
}
