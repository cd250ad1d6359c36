// The framework's entry and the application's run: start-up, the shell command, the
// headless run and the recent-file list.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mfc/CCommandLineInfo.h"
#include "mfc/CDocTemplate.h"
#include "mfc/CDocument.h"
#include "mfc/CWinApp.h"
#include "mfc/CWnd.h"
#include "mfc/FrameworkIds.h"
#include "win32/DisplayBackend.h"
#include "win32/help.h"

namespace {
std::vector<std::string>& programArgs() {
    static std::vector<std::string> args;
    return args;
}
SdHeadlessHook headlessHook = nullptr;

// A lost display ends the run inside whatever loop is waiting; the exit processing still runs.
void exitOnLostDisplay() {
    if (CWinApp* app = AfxGetApp()) app->ExitInstance();
}

// Each message taken from the queue goes the usual way; WM_QUIT stops and is kept in
// msgCur. A loop that keeps posting itself new work ends after this many messages.
constexpr int kMaxQueuedMessages = 100000;
bool dispatchQueued(CWinApp& app) {
    MSG msg;
    for (int n = 0; n < kMaxQueuedMessages && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            app.m_msgCur = msg;
            return false;
        }
        if (!app.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}
} // namespace

BOOL AfxOleInit() {
    return TRUE;
}

void AfxEnableControlContainer() {}

void SdSetHeadlessHook(SdHeadlessHook hook) {
    headlessHook = hook;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    if (::SdDisplayActive()) {
        ::SdSetDisplayLostExit(&exitOnLostDisplay);
        const int code = CWinThread::Run();
        ::SdSetDisplayLostExit(nullptr);
        return code;
    }
    int hookResult = 0;
    if (dispatchQueued(*this)) {
        OnIdle(0);
        if (headlessHook != nullptr && m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr)
            hookResult = headlessHook(m_pMainWnd->m_hWnd);
        if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr)
            m_pMainWnd->SendMessage(WM_CLOSE);
        dispatchQueued(*this);
    }
    const int code = ExitInstance();
    return hookResult != 0 ? hookResult : code;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    const std::vector<std::string>& args = programArgs();
    for (size_t i = 0; i < args.size(); ++i) {
        const char* arg = args[i].c_str();
        // '-' leads a flag; '/' only when no other '/' follows, as absolute paths begin with
        // one too.
        const bool flag =
            arg[0] != '\0' && arg[1] != '\0' &&
            (arg[0] == '-' || (arg[0] == '/' && std::strchr(arg + 1, '/') == nullptr));
        rCmdInfo.ParseParam(flag ? arg + 1 : arg, flag, i + 1 == args.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        if (OpenDocumentFile(rCmdInfo.m_strFileName) == nullptr) return FALSE;
        if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return TRUE;
    case CCommandLineInfo::AppUnregister:
        return FALSE;
    default:
        return TRUE;
    }
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName) {
    if (m_pDocManager == nullptr || m_pDocManager->GetDocTemplateCount() == 0) return nullptr;
    if (lpszFileName == nullptr || ::access(lpszFileName, R_OK) != 0) {
        CString text;
        text.Format("Cannot open the file %s.", lpszFileName != nullptr ? lpszFileName : "");
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    CDocument* doc = m_pDocManager->GetDocTemplate(0)->OpenDocumentFile(lpszFileName);
    if (doc != nullptr) AddToRecentFileList(lpszFileName);
    return doc;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    m_nMaxMRU = nMaxMRU;
    m_recentFiles.RemoveAll();
    for (UINT i = 1; i <= nMaxMRU; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "File%u", i);
        CString name = GetProfileStringA("Recent File List", key, "");
        if (!name.IsEmpty()) m_recentFiles.Add(name);
    }
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName) {
    if (m_nMaxMRU == 0 || lpszPathName == nullptr) return;
    for (int i = 0; i < m_recentFiles.GetSize(); ++i)
        if (m_recentFiles[i] == CString(lpszPathName)) {
            m_recentFiles.RemoveAt(i);
            break;
        }
    m_recentFiles.InsertAt(0, CString(lpszPathName));
    while (m_recentFiles.GetSize() > int(m_nMaxMRU))
        m_recentFiles.RemoveAt(m_recentFiles.GetSize() - 1);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
    CString file = m_pszHelpFilePath != nullptr ? CString(m_pszHelpFilePath) : CString();
    if (file.IsEmpty() && m_pszExeName != nullptr) file = CString(m_pszExeName) + ".hlp";
    CWnd* main = GetMainWnd();
    ::WinHelpA(main != nullptr ? main->m_hWnd : nullptr, file, nCmd, dwData);
}

void CWinApp::OnHelpFinder() {
    WinHelp(0, HELP_FINDER);
}

void CWinApp::OnHelp() {
    WinHelp(0, HELP_CONTEXT);
}

int AfxWinMain(int argc, char** argv) {
    std::vector<std::string>& args = programArgs();
    args.clear();
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        std::fprintf(stderr, "%s: no application object\n", argc > 0 ? argv[0] : "program");
        return 1;
    }
    if (!app->InitInstance()) {
        // A frame made before the failure goes first; the exit processing runs as after a run.
        if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr)
            ::DestroyWindow(app->m_pMainWnd->m_hWnd);
        app->m_pMainWnd = nullptr;
        app->ExitInstance();
        return 1;
    }
    return app->Run();
}
