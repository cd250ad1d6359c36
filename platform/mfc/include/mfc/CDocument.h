#pragma once
// A document: the data its views show. It keeps its views, its title and path, and whether
// it was changed since it was last saved. Commands reach it after its active view.
// Reading and writing files is the application's (Serialize).

#include <vector>

#include "mfc/CCmdTarget.h"
#include "mfc/CCreateContext.h"
#include "mfc/CString.h"

class CArchive;
class CDocTemplate;
class CException;
class CFile;
class CFileException;
class CFrameWnd;
class CView;

class MFC_API CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views in the order they were added.
    virtual void AddView(CView* pView);
    // When the last view goes and m_bAutoDelete is set, the document closes and deletes
    // itself.
    virtual void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    int GetViewCount() const { return int(m_viewList.size()); }
    // OnUpdate of every view but the sender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    // Empties the document's data (nothing in the base).
    virtual void DeleteContents();
    // DeleteContents, modified flag cleared, no path; TRUE.
    virtual BOOL OnNewDocument();
    // Destroys the frames of the views (which closes the document with the last of them),
    // otherwise empties it and, with m_bAutoDelete, deletes it.
    virtual void OnCloseDocument();
    // Whether the document may be dropped: TRUE in the base.
    virtual BOOL SaveModified();

    // Document files. Open: DeleteContents, then Serialize from the file; a failure is
    // reported (the file named) and leaves the document emptied. Save never truncates the
    // file it replaces: the archive goes to a temporary file in the same folder, which is
    // flushed to the disk and renamed over the target; on any failure the old file stays
    // as it was, the temporary file is removed, the failure is reported once and the
    // modified flag is kept.
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
    // Saves to lpszPathName (no prompt); with bReplace the document takes the name.
    virtual BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
    // The file a document is read from or written to; null with *pError set on failure.
    virtual CFile* GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
    virtual void ReleaseFile(CFile* pFile, BOOL bAbort);
    // One message box: the exception's own text, else nIDPDefault.
    virtual void ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL bSaving,
                                         UINT nIDPDefault);
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void OnChangedViewList();

    BOOL m_bAutoDelete = TRUE;
    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_viewList;
    bool m_bClosing = false;
};
