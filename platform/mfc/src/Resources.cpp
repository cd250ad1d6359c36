// Strings and the resource module, on the win32 layer's current resource module.

#include "mfc/CString.h"
#include "mfc/CWinApp.h"
#include "mfc/FrameworkStrings.h"
#include "win32/icon.h"
#include "win32/resource.h"

HINSTANCE AfxGetResourceHandle() {
    return SdGetResourceModule();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
    SdSetResourceModule(hInstResource);
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const {
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(WORD(nIDResource)));
}

HICON CWinApp::LoadStandardIcon(LPCSTR lpszIconName) const {
    return ::LoadIconA(nullptr, lpszIconName);
}

BOOL CString::LoadString(UINT nID) {
    // Resource strings are short; a longer one is read again with more room.
    for (int size = 256;; size *= 4) {
        const int n = ::LoadStringA(AfxGetResourceHandle(), nID, GetBuffer(size), size + 1);
        if (n <= 0) {
            // The framework's own prompts, unless the resource module words them itself.
            if (LPCSTR text = AfxFrameworkString(nID)) {
                *this = text;
                return TRUE;
            }
            Empty();
            return FALSE;
        }
        if (n < size || size >= (1 << 20)) {
            ReleaseBuffer(n);
            return TRUE;
        }
    }
}
