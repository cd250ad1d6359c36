#pragma once
// Document templates: how a kind of document is made, with its frame and view. The string
// resource of the template's id holds its texts separated by '\n' (window title, document
// name, ...); its menu, accelerators and frame title come from the same id.

#include <vector>

#include "mfc/CCmdTarget.h"
#include "mfc/CCreateContext.h"
#include "mfc/CString.h"

class CDocument;
class CFrameWnd;

class MFC_API CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName
    };

    ~CDocTemplate() override;

    // The document's class must be creatable; the frame is made with LoadFrame.
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    // Sends the first update to the frame's views and shows it.
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    // A new document (path null) or, for a path, the document read from it.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void SetDefaultTitle(CDocument* pDocument);
    // Closes every document (their frames go with them).
    void CloseAllDocuments(BOOL bEndSession);
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                 CRuntimeClass* pViewClass);
    CString m_strDocStrings;
};

// One document at a time, in one frame: a new document reuses both.
class MFC_API CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    // The document is reused when it exists (after SaveModified), else made with its frame;
    // the first frame becomes the application's main window. Path null: OnNewDocument.
    // A path: OnOpenDocument, then the document takes the path. A failed open of a reused
    // document leaves it as it was, or a new empty one when its contents were already gone;
    // a document and frame made for the open go again.
    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;

protected:
    CDocument* m_pOnlyDoc = nullptr;
};

// The application's templates.
class MFC_API CDocManager : public CObject {
public:
    CDocManager() = default;
    // Deletes the templates.
    ~CDocManager() override;
    void AddDocTemplate(CDocTemplate* pTemplate);
    int GetDocTemplateCount() const { return int(m_templates.size()); }
    CDocTemplate* GetDocTemplate(int nIndex) const;
    // A new document of the first template.
    virtual void OnFileNew();
    // The open dialog (DoPromptFileName, every template), then the chosen file opened
    // through the application. Cancel opens nothing.
    virtual void OnFileOpen();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual BOOL SaveAllModified();
    // The open or save file dialog for documents: the template's filter entry (every
    // template's when none is given), then all files; the title from nIDSTitle (0: the
    // dialog's own), lFlags added to the usual ones. TRUE with fileName set after OK.
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags,
                                  BOOL bOpenFileDialog, CDocTemplate* pTemplate);

private:
    std::vector<CDocTemplate*> m_templates;
};
