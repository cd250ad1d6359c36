#pragma once
// The program's file dialog with a preview pane below the file list (child template 2009: the
// owner-drawn area 2512 and the check box 2513). The check box switches the program-wide
// preview flag (SignDocSettings::ShowFilePreview), which also decides whether saved designs
// carry a preview; with the flag off the pane shows a cross.

#include <mfc/CFileDialog.h>

class CDC;

class CPreviewFileDlg : public CFileDialog {
    DECLARE_DYNAMIC(CPreviewFileDlg)
public:
    CPreviewFileDlg(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                    LPCSTR lpszFilter, CWnd* pParentWnd);

    // Redraws the pane at once.
    void UpdatePreview();

protected:
    BOOL OnInitDialog() override;
    // The pane's picture; the base draws the cross that stands for no preview.
    virtual void DrawPreview(CDC* pDC, const RECT* area);

    void OnPreviewCheck();
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    DECLARE_MESSAGE_MAP()
};

// The template's entry "Name (*.ext)|*.ext|"; when opening, from "(*.wtp)" on it becomes
// "(*.wtp;*.wmp)|*.wtp;*.wmp|"; then the all-files entry.
CString DocumentFileFilter(LPCSTR templateEntry, BOOL bOpen);
// A name ending in ".wmp" (any case) ends in ".wtp" instead.
CString ProposedDocumentName(LPCSTR fileName);
