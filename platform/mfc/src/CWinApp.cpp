#include "mfc/CWinApp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "AppState.h"
#include "mfc/CDocTemplate.h"
#include "mfc/CWnd.h"
#include "win32/kernel.h"
#include "win32/module.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace appstate {
std::atomic<CWinThread*> currentThread{nullptr};
std::atomic<CWinApp*> app{nullptr};
} // namespace appstate

CWinApp::CWinApp(LPCSTR lpszAppName) {
    if (lpszAppName != nullptr) m_pszAppName = strdup(lpszAppName);
    appstate::app.store(this);
    appstate::currentThread.store(this);
}

CWinApp::~CWinApp() {
    delete m_pDocManager;
    m_pDocManager = nullptr;
    CWinApp* self = this;
    appstate::app.compare_exchange_strong(self, nullptr);
    if (m_hDevMode != nullptr) ::GlobalFree(m_hDevMode);
    if (m_hDevNames != nullptr) ::GlobalFree(m_hDevNames);
    for (LPCSTR* p :
         {&m_pszAppName, &m_pszExeName, &m_pszHelpFilePath, &m_pszProfileName, &m_pszRegistryKey}) {
        std::free(const_cast<char*>(*p));
        *p = nullptr;
    }
}

CString CWinApp::GetProfileStringA(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
    if (lpszDefault == nullptr) lpszDefault = "";
    if (m_pszProfileName == nullptr) return CString(lpszDefault);
    // A value cut to fit returns size - 1 (size - 2 for name lists): try again with more room.
    std::vector<char> buffer(512);
    for (;;) {
        const DWORD n =
            ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault, buffer.data(),
                                       DWORD(buffer.size()), m_pszProfileName);
        if (n + 2 < buffer.size() || buffer.size() >= (1u << 24)) {
            return CString(buffer.data(), int(std::min<std::size_t>(n, buffer.size() - 1)));
        }
        buffer.resize(buffer.size() * 4);
    }
}

UINT CWinApp::GetProfileIntA(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    if (m_pszProfileName == nullptr) return UINT(nDefault);
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileStringA(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
    if (m_pszProfileName == nullptr) return FALSE;
    if (lpszSection == nullptr) return TRUE; // flush request: nothing is held back
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::WriteProfileIntA(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", nValue);
    return WriteProfileStringA(lpszSection, lpszEntry, text);
}

CWinApp* AfxGetApp() {
    return appstate::app.load();
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->m_hInstance != nullptr ? app->m_hInstance
                                                         : ::GetModuleHandleA(nullptr);
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    if (m_pDocManager == nullptr) m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

void CWinApp::OnFileNew() {
    if (m_pDocManager != nullptr) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
    if (m_pDocManager != nullptr) m_pDocManager->OnFileOpen();
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    if (m_pDocManager != nullptr) m_pDocManager->CloseAllDocuments(bEndSession);
}
