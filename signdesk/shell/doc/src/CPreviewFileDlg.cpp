#include "doc/CPreviewFileDlg.h"

#include <cstring>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/FrameworkStrings.h>
#include <win32/resource.h>

#include "doc/DocResourceIds.h"
#include "doc/SignDocSettings.h"

IMPLEMENT_DYNAMIC(CPreviewFileDlg, CFileDialog)

BEGIN_MESSAGE_MAP(CPreviewFileDlg, CFileDialog)
ON_COMMAND(IDC_PREVIEW_CHECK, OnPreviewCheck)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

namespace {

constexpr const char* NativeEntry = "Sign design (*.wtp)|*.wtp|";

} // namespace

CPreviewFileDlg::CPreviewFileDlg(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                                 DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd) {
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLETEMPLATE;
    m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_PREVIEW_PANE);
}

BOOL CPreviewFileDlg::OnInitDialog() {
    const BOOL result = CFileDialog::OnInitDialog();
    if (HWND child = GetChildTemplateWindow())
        ::SendDlgItemMessageA(child, IDC_PREVIEW_CHECK, BM_SETCHECK,
                              SignDocSettings::ShowFilePreview ? BST_CHECKED : BST_UNCHECKED, 0);
    return result;
}

void CPreviewFileDlg::UpdatePreview() {
    HWND child = GetChildTemplateWindow();
    HWND area = child ? ::GetDlgItem(child, IDC_PREVIEW_AREA) : nullptr;
    if (area == nullptr) return;
    ::InvalidateRect(area, nullptr, TRUE);
    ::UpdateWindow(area);
}

void CPreviewFileDlg::OnPreviewCheck() {
    SignDocSettings::ShowFilePreview = !SignDocSettings::ShowFilePreview;
    UpdatePreview();
}

void CPreviewFileDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT dis) {
    if (nIDCtl != IDC_PREVIEW_AREA || dis == nullptr) {
        CFileDialog::OnDrawItem(nIDCtl, dis);
        return;
    }
    CDC* dc = CDC::FromHandle(dis->hDC);
    if (SignDocSettings::ShowFilePreview)
        DrawPreview(dc, &dis->rcItem);
    else
        CPreviewFileDlg::DrawPreview(dc, &dis->rcItem);
}

void CPreviewFileDlg::DrawPreview(CDC* pDC, const RECT* area) {
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = pDC->SelectObject(&pen);
    pDC->MoveTo(area->left, area->top);
    pDC->LineTo(area->right, area->bottom);
    pDC->MoveTo(area->left, area->bottom);
    pDC->LineTo(area->right, area->top);
    pDC->SelectObject(old);
}

CString DocumentFileFilter(LPCSTR templateEntry, BOOL bOpen) {
    CString filter = templateEntry ? templateEntry : NativeEntry;
    if (bOpen) {
        const int at = filter.Find("(*.wtp)");
        if (at >= 0) filter = filter.Left(at) + "(*.wtp;*.wmp)|*.wtp;*.wmp|";
    }
    CString all;
    if (!all.LoadString(AFX_IDS_ALLFILTER)) all = "All files (*.*)";
    return filter + all + "|*.*||";
}

CString ProposedDocumentName(LPCSTR fileName) {
    CString name = fileName ? fileName : "";
    const int n = name.GetLength();
    if (n >= 4 && name.Right(4).CompareNoCase(".wmp") == 0) name = name.Left(n - 3) + "wtp";
    return name;
}
