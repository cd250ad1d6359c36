#include "app/CSplashWnd.h"

#include <mfc/CClientDC.h>
#include <mfc/CFile.h>
#include <mfc/CWinApp.h>
#include <settings/ProgramFolders.h>
#include <win32/userdraw.h>

namespace {
BOOL splashEnabled = FALSE;
CSplashWnd* splashWnd = nullptr;
constexpr UINT_PTR kCloseTimer = 1;
} // namespace

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWnd::~CSplashWnd() {
    if (splashWnd == this) splashWnd = nullptr;
}

void SetSplashEnabled(BOOL enabled) { splashEnabled = enabled; }

CSplashWnd* CurrentSplash() { return splashWnd; }

void ShowSplash(CWnd* parent) {
    if (!splashEnabled || splashWnd != nullptr) return;
    auto* splash = new CSplashWnd;
    splashWnd = splash;
    if (!splash->Create(parent)) {
        delete splash;
        return;
    }
    splash->UpdateWindow();
}

BOOL PreTranslateSplashMessage(MSG* msg) {
    if (splashWnd == nullptr || splashWnd->m_hWnd == nullptr) return FALSE;
    switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        splashWnd->PostMessage(WM_TIMER, kCloseTimer);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CSplashWnd::Create(CWnd* parent) {
    CWinApp* app = AfxGetApp();
    const CString exe = app != nullptr && app->m_pszExeName != nullptr
                            ? CString(app->m_pszExeName)
                            : GetProgramFileName();
    // The program has no extension here: its name plus one, never cut at a '.' of a folder.
    CFile file;
    if (!file.Open(GetProgramDir() + exe + ".bmp", CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    if (dib.Load(file) != 0) return FALSE;
    LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    return CreateEx(0, cls, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, dib.GetWidth(), dib.GetHeight(),
                    parent != nullptr ? parent->m_hWnd : nullptr, nullptr);
}

int CSplashWnd::OnCreate(CREATESTRUCT* cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    CenterWindow();
    SetTimer(kCloseTimer, 5000, nullptr);
    return 0;
}

void CSplashWnd::OnPaint() {
    CPaintDC dc(this);
    if (dib.IsEmpty()) return;
    dib.Paint(&dc, 0, 0, dib.GetWidth(), dib.GetHeight(), 0, 0, dib.GetWidth(), dib.GetHeight(), 0);
    CRect r;
    GetClientRect(&r);
    ::DrawEdge(dc.m_hDC, &r, EDGE_RAISED, BF_RECT);
    r.DeflateRect(2, 2);
    ::DrawEdge(dc.m_hDC, &r, EDGE_SUNKEN, BF_RECT);
}

void CSplashWnd::OnTimer(UINT_PTR) {
    DestroyWindow();
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd != nullptr)
        app->m_pMainWnd->UpdateWindow();
}

void CSplashWnd::PostNcDestroy() { delete this; }
