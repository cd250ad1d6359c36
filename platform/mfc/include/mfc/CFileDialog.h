#pragma once
// The file dialog of the old style: a folder list, a file list filtered by the chosen file
// type, and a file-name field. With OFN_ENABLETEMPLATE the dialog is the template
// m_ofn.lpTemplateName of m_ofn.hInstance (the resource module when null), which keeps the
// standard control ids (win32/commdlg.h); otherwise a template of the framework's own.
// OFN_EXPLORER dialogs are shown in the same style; with OFN_ENABLETEMPLATE as well the
// template is a child template instead: the framework's dialog is made, the child is
// created below its controls (the dialog grows to hold it), and the child's commands and
// owner-draw and colour messages reach this object as if its own controls sent them.
// Headless, a dialog script for the template id or the dialog's runtime class name drives
// it.
//
// Selecting a file in the list puts its name into the name field and calls
// OnFileNameChange.
//
// The folder list holds the folders from the root down to the current one, then the
// current folder's subfolders; a double click (or Enter on it) opens the folder. Filters
// are the framework's "Text (*.txt)|*.txt|All (*.*)|*.*||" form; patterns are matched
// without regard to case.

#include <string>
#include <vector>

#include "mfc/CDialog.h"
#include "win32/commdlg.h"

class MFC_API CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    ~CFileDialog() override;

    INT_PTR DoModal() override;

    // The chosen file after IDOK.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const;

    OPENFILENAMEA m_ofn{};
    BOOL m_bOpenFileDialog;

    // The child template's window (OFN_EXPLORER with OFN_ENABLETEMPLATE), else null.
    HWND GetChildTemplateWindow() const { return m_hWndChild; }

protected:
    // The standard controls are filled before the derived class's OnInitDialog.
    void PreInitDialog() override;
    void OnOK() override;
    // A last check of the chosen name: TRUE refuses it (the dialog stays).
    virtual BOOL OnFileNameOK();
    // The selected file changed (nothing in the base).
    virtual void OnFileNameChange();
    // The folder shown joined with the name field's text; empty without a name.
    CString GetCurrentFilePath() const;
    LPCDLGTEMPLATE FindTemplate(int* templateId) const override;

    void OnFolderOpen();
    void OnFileDblClk();
    void OnTypeChange();
    void OnFileSelChange();
    DECLARE_MESSAGE_MAP()

private:
    void fillLists();
    bool hasChildTemplate() const;
    void createChildTemplate();
    bool openFolder(const std::string& folder);
    std::string currentPatterns() const;

    CString m_strFilter;
    char m_szFileName[4096] = {};
    char m_szFileTitle[260] = {};
    std::string m_folder;
    std::vector<std::string> m_folderEntries; // full paths, as listed
    HWND m_hWndChild = nullptr;
};
