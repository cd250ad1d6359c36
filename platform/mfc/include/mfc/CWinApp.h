#pragma once
// The application object. There is one per process; constructing it makes it the current
// thread object. Its profile is the INI file m_pszProfileName.

#include "mfc/CString.h"
#include "mfc/CStringArray.h"
#include "mfc/CWinThread.h"

class CCommandLineInfo;
class CDocManager;
class CDocTemplate;
class CDocument;

class MFC_API CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // ---- the program's run (AfxWinMain: InitInstance, then Run; ExitInstance also after a
    // failed start-up) ----
    // TRUE in the base.
    virtual BOOL InitInstance();
    // With a display the message loop. Without one nothing can arrive: what is queued is
    // dispatched (timers are not awaited), the headless hook is handed the main window, the
    // main window is closed as a user would close it and the exit processing runs.
    int Run() override;
    // The program's arguments (AfxWinMain's, less its own) one by one into rCmdInfo. Flags
    // begin with '-', or with '/' when no other '/' follows (an absolute path is a file).
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // New document, open or print the file; FALSE when that failed.
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    // The document read from the file through the first template, or null (reported).
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    // The recent-file list (section "Recent File List", keys "File1"...) of nMaxMRU entries.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void AddToRecentFileList(LPCSTR lpszPathName);
    // The shell's file associations and DDE have no counterpart here: these succeed.
    void EnableShellOpen() {}
    void RegisterShellFileTypes(BOOL bCompat = FALSE) { (void)bCompat; }
    BOOL Enable3dControls() { return TRUE; }
    // The framework's help: WinHelp with the help file (m_pszHelpFilePath, else the program's
    // name + ".hlp") for the main window. nCmd: HELP_CONTEXT (1) unless given.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = 1);
    // The help contents (HELP_FINDER) and the help of the current context.
    void OnHelpFinder();
    void OnHelp();

    // Profile access through the private-profile functions on m_pszProfileName. Without a
    // profile name the reads give their defaults and the writes fail. A null section (the
    // write of three nulls) only flushes: the profile functions write through at once.
    CString GetProfileStringA(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    // Signed decimal, as the profile functions read it; the result is the int's bits.
    UINT GetProfileIntA(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileStringA(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    BOOL WriteProfileIntA(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);

    CString GetProfileString(LPCSTR s, LPCSTR e, LPCSTR d = nullptr) {
        return GetProfileStringA(s, e, d);
    }
    UINT GetProfileInt(LPCSTR s, LPCSTR e, int d) { return GetProfileIntA(s, e, d); }
    BOOL WriteProfileString(LPCSTR s, LPCSTR e, LPCSTR v) { return WriteProfileStringA(s, e, v); }
    BOOL WriteProfileInt(LPCSTR s, LPCSTR e, int v) { return WriteProfileIntA(s, e, v); }

    // The application's printer set-up into the dialog's hDevMode and hDevNames (the
    // application keeps owning them); the default printer's the first time. FALSE without
    // a printer.
    BOOL GetPrinterDeviceDefaults(struct PRINTDLGA* pPrintDlg);
    // Makes the set-up the application's; the old one is freed with bFreeOld.
    void SelectPrinter(HGLOBAL hDevNames, HGLOBAL hDevMode, BOOL bFreeOld = TRUE);
    // Runs the print dialog on the application's set-up; the printer and set-up it ends
    // with (also after Cancel) stay the application's. The dialog's result.
    int DoPrintDialog(class CPrintDialog* pPD);

    // The application's document templates (its document manager, made on first use, owns
    // them).
    void AddDocTemplate(CDocTemplate* pTemplate);
    // A new document of the first template (ID_FILE_NEW); the application's map lists it.
    void OnFileNew();
    // The document manager's open dialog and the chosen file opened (ID_FILE_OPEN).
    void OnFileOpen();
    // Closes the main window (ID_APP_EXIT).
    void OnAppExit();
    void CloseAllDocuments(BOOL bEndSession);

    // Icons of the resource module (AfxGetResourceHandle) and the system's (IDI_*).
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCSTR lpszIconName) const;

    // Every AfxMessageBox goes through here: the application's name is the caption, the main
    // window the owner, and a box without an icon gets the usual one for its buttons.
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // Heap strings from strdup(): whoever replaces one frees the old value with free(); the
    // destructor frees them all.
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    HINSTANCE m_hInstance = nullptr;
    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;
    CDocManager* m_pDocManager = nullptr;
    // The recent files, most recent first; at most m_nMaxMRU.
    CStringArray m_recentFiles;
    UINT m_nMaxMRU = 0;
};

// The framework's entry: InitInstance, Run, and ExitInstance after a failed start-up too.
// 1 when start-up failed, else Run's result. argv[0] is the program.
MFC_API int AfxWinMain(int argc, char** argv);
// What the headless Run hands the main window to (the program's entry writes its picture);
// its result becomes the exit status when not 0.
using SdHeadlessHook = int (*)(HWND mainWnd);
MFC_API void SdSetHeadlessHook(SdHeadlessHook hook);
// OLE and the control container have no counterpart here: both succeed.
MFC_API BOOL AfxOleInit();
MFC_API void AfxEnableControlContainer();

// Message boxes of the framework; without an application object the box has no owner and
// no caption.
MFC_API int AfxMessageBox(LPCSTR lpszText, UINT nType = 0 /* MB_OK */, UINT nIDHelp = 0);
MFC_API int AfxMessageBox(UINT nIDPrompt, UINT nType = 0 /* MB_OK */, UINT nIDHelp = UINT(-1));

// The application object, or null.
MFC_API CWinApp* AfxGetApp();
// The application's m_hInstance, else the program's module.
MFC_API HINSTANCE AfxGetInstanceHandle();
// The module that resources (strings, dialogs, menus...) are loaded from.
MFC_API HINSTANCE AfxGetResourceHandle();
MFC_API void AfxSetResourceHandle(HINSTANCE hInstResource);
