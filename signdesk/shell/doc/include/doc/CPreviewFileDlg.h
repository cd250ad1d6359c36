#pragma once
// The file dialog of the native documents: one entry for both native forms when opening,
// the archive form proposed for a document that came from a compound file. Its preview
// switch is the program-wide one that also decides whether saved designs carry a preview.

#include <mfc/CFileDialog.h>

class CPreviewFileDlg : public CFileDialog {
    DECLARE_DYNAMIC(CPreviewFileDlg)
public:
    CPreviewFileDlg(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                    LPCSTR lpszFilter, CWnd* pParentWnd);
};

// The template's entry "Name (*.ext)|*.ext|"; when opening, from "(*.wtp)" on it becomes
// "(*.wtp;*.wmp)|*.wtp;*.wmp|"; then the all-files entry.
CString DocumentFileFilter(LPCSTR templateEntry, BOOL bOpen);
// A name ending in ".wmp" (any case) ends in ".wtp" instead.
CString ProposedDocumentName(LPCSTR fileName);
// Runs the dialog; TRUE with fileName set when it ended with OK.
BOOL PromptDocumentFileName(CString& fileName, BOOL bOpen, CWnd* pParent = nullptr);
