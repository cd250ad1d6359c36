// Message boxes of the framework and the reporting of exceptions.

#include "mfc/CException.h"
#include "mfc/CString.h"
#include "mfc/CWinApp.h"
#include "mfc/CWnd.h"
#include "win32/user.h"

namespace {

UINT withDefaultIcon(UINT nType) {
    if ((nType & MB_ICONMASK) != 0) return nType;
    switch (nType & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return nType | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return nType | MB_ICONQUESTION;
    default:
        return nType;
    }
}

HWND mainWindowHandle() {
    CWnd* main = AfxGetMainWnd();
    return main != nullptr ? main->m_hWnd : nullptr;
}

} // namespace

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT) {
    return ::MessageBoxA(mainWindowHandle(), lpszPrompt,
                         m_pszAppName != nullptr ? m_pszAppName : "", withDefaultIcon(nType));
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, 0);
    return ::MessageBoxA(mainWindowHandle(), lpszText, "", withDefaultIcon(nType));
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT) {
    CString text;
    text.LoadString(nIDPrompt);
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(text, nType, nIDPrompt);
    return ::MessageBoxA(mainWindowHandle(), text, "", withDefaultIcon(nType));
}

int CException::ReportError(UINT nType, UINT nMessageID) {
    char text[512];
    if (GetErrorMessage(text, sizeof text)) return AfxMessageBox(text, nType);
    if (nMessageID != 0) return AfxMessageBox(nMessageID, nType);
    return AfxMessageBox("No error message is available.", nType);
}
