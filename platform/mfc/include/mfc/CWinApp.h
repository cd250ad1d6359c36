#pragma once
// The application object. There is one per process; constructing it makes it the current
// thread object. Its profile is the INI file m_pszProfileName.

#include "mfc/CString.h"
#include "mfc/CWinThread.h"

class CDocManager;
class CDocTemplate;

class MFC_API CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

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

    // The application's document templates (its document manager, made on first use, owns
    // them).
    void AddDocTemplate(CDocTemplate* pTemplate);
    // A new document of the first template (ID_FILE_NEW); the application's map lists it.
    void OnFileNew();
    // Closes the main window (ID_APP_EXIT).
    void OnAppExit();
    void CloseAllDocuments(BOOL bEndSession);

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
};

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
