#pragma once
// The application object of signdesk: settings, resource library, the document template,
// the command line, the tracing-parameter templates; settings written back at exit.

#include <mfc/CStringArray.h>
#include <mfc/CWinApp.h>

class CSignApp : public CWinApp {
public:
    CSignApp();
    ~CSignApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Section "Templates": the six built-in templates when "Default setting" is missing or
    // empty. Saving deletes the keys of removed templates.
    void LoadTemplates();
    void SaveTemplates();
    // Help: the HTML help file beside the program (its name + ".chm") when there is one,
    // else the framework's help.
    void WinHelp(DWORD_PTR dwData, UINT nCmd = 1) override;
    // The start-up picture sees every message first.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The view class of the document template; the program sets the sign view's, tests of
    // the application alone get the framework's sheet view.
    static inline CRuntimeClass* ViewClass = nullptr;

    HINSTANCE m_hResources = nullptr;
    CStringArray m_templateNames;
    CStringArray m_templateValues;
    CStringArray m_removedTemplateNames;

protected:
    // Only a start-up that completed writes the settings back: a failed one leaves the
    // user's profile as it was.
    BOOL m_bStarted = FALSE;

    // From the "WMPPath" folder, through the document manager's dialog.
    void OnFileOpen();
    // The options sheet: the settings copied back only after OK.
    void OnOptions();
    // The print set-up dialog; the printer chosen becomes the program's.
    void PrintSetup();
    void DoNothing() {}
    void OnUpdateDisabled(class CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
