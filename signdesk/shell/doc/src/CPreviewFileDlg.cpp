#include "doc/CPreviewFileDlg.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CPreviewFileDlg, CFileDialog)

namespace {

constexpr const char* NativeEntry = "Sign design (*.wtp)|*.wtp|";
constexpr const char* AllFilesEntry = "All files (*.*)|*.*|";

} // namespace

CPreviewFileDlg::CPreviewFileDlg(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                                 DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd) {}

CString DocumentFileFilter(LPCSTR templateEntry, BOOL bOpen) {
    CString filter = templateEntry ? templateEntry : NativeEntry;
    if (bOpen) {
        const int at = filter.Find("(*.wtp)");
        if (at >= 0) filter = filter.Left(at) + "(*.wtp;*.wmp)|*.wtp;*.wmp|";
    }
    return filter + AllFilesEntry + "|";
}

CString ProposedDocumentName(LPCSTR fileName) {
    CString name = fileName ? fileName : "";
    const int n = name.GetLength();
    if (n >= 4 && name.Right(4).CompareNoCase(".wmp") == 0) name = name.Left(n - 3) + "wtp";
    return name;
}

BOOL PromptDocumentFileName(CString& fileName, BOOL bOpen, CWnd* pParent) {
    const CString proposed = ProposedDocumentName(fileName);
    const CString filter = DocumentFileFilter(nullptr, bOpen);
    CPreviewFileDlg dialog(bOpen, "wtp", proposed.IsEmpty() ? nullptr : LPCSTR(proposed),
                           OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, pParent);
    if (dialog.DoModal() != IDOK) return FALSE;
    fileName = dialog.GetPathName();
    return TRUE;
}
