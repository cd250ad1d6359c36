#include "app/CSignApp.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <doc/CSignDoc.h>
#include <doc/CWMPDocMan.h>
#include <doc/HtmlHelpCall.h>
#include <mfc/CCmdUI.h>
#include <mfc/CCommandLineInfo.h>
#include <mfc/CDocTemplate.h>
#include <mfc/CFrameWnd.h>
#include <mfc/CPrintDialog.h>
#include <mfc/CPropertySheet.h>
#include <mfc/FrameworkIds.h>
#include <pathkit/Path.h>
#include <settings/ProgramFolders.h>
#include <sheet/COleSheetView.h>
#include <sheet/SheetSettings.h>
#include <shell/SectionLineReader.h>
#include <win32/DisplayBackend.h>
#include <win32/help.h>
#include <win32/module.h>

#include "app/AppIds.h"
#include "app/AppSettings.h"
#include "app/CSignFrame.h"
#include "app/CSplashWnd.h"
#include "app/OptionPages.h"

BEGIN_MESSAGE_MAP(CSignApp, CWinApp)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_DO_NOTHING, DoNothing)
ON_COMMAND(ID_DISABLED_COMMAND, DoNothing)
ON_UPDATE_COMMAND_UI(ID_DISABLED_COMMAND, OnUpdateDisabled)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_HELP_FINDER, OnHelpFinder)
ON_COMMAND(ID_DEFAULT_HELP, OnHelpFinder)
ON_COMMAND(ID_HELP, OnHelp)
ON_COMMAND(ID_OPTIONS, OnOptions)
ON_COMMAND(ID_FILE_PRINT_SETUP, PrintSetup)
END_MESSAGE_MAP()

namespace {
// One "name=value" line of section "Templates"; a line without '=' is skipped.
class TemplateLineReader : public SectionLineReader {
public:
    TemplateLineReader(std::string file, CSignApp& app)
        : SectionLineReader(std::move(file)), app(app) {}
    int OnLine(const char* line) override {
        const char* eq = std::strchr(line, '=');
        if (eq == nullptr) return 1;
        app.m_templateNames.Add(CString(std::string(line, size_t(eq - line)).c_str()));
        app.m_templateValues.Add(CString(eq + 1));
        return 1;
    }

private:
    CSignApp& app;
};

CString LoadText(UINT id) {
    CString s;
    s.LoadString(id);
    return s;
}
} // namespace

CSignApp::CSignApp() : CWinApp("signdesk") {}

CSignApp::~CSignApp() = default;

BOOL CSignApp::InitInstance() {
    // 1. The profile in the data folder.
    const CString profile = GetDataFilePath("Application.ini");
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup(profile);

    // 2. The resource library: the program's name plus ".so", beside it.
    const CString exe = m_pszExeName != nullptr ? CString(m_pszExeName) : GetProgramFileName();
    const CString library = exe + ".so";
    m_hResources = ::LoadLibraryA(GetProgramDir() + library);
    if (m_hResources == nullptr) {
        CString text;
        text.Format("Unable to find %s.", LPCSTR(library));
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    AfxSetResourceHandle(m_hResources);

    // 4.-5. OLE, the control container, 3-D controls: nothing to do here, all succeed.
    if (!AfxOleInit()) {
        AfxMessageBox(IDS_OLE_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    Path::DefAccuracy = 0.01f;
    Enable3dControls();
    LoadStdProfileSettings(4);

    // 6.-9. The settings.
    AppSettings& s = Settings();
    s.ReadFirstSettings();
    s.FontDirectory = AppSettings::WithoutTrailingSeparator(
        s.FontDirectory.IsEmpty() ? EnsureDefaultFolder(LoadText(IDS_FONT_FOLDER))
                                  : s.FontDirectory);
    s.KerningDirectory = AppSettings::WithoutTrailingSeparator(
        s.KerningDirectory.IsEmpty() ? EnsureDefaultFolder("Kerning") : s.KerningDirectory);
    MakeDirectories(s.KerningDirectory);
    s.ReadLastSettings(LoadText(IDS_DIMENSION_FONT), GetProgramDir() + "WCLProfiles");
    // A profile that cannot be read is dropped; one that is only read-only stays in use.
    if (!s.WCLProfile.IsEmpty() && ::access(s.WCLProfile, R_OK) != 0) s.WCLProfile.Empty();

    // 10. The document manager with the previewing file dialogs, and the document template.
    if (m_pDocManager == nullptr) m_pDocManager = new CWMPDocMan;
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CSignDoc),
                                          RUNTIME_CLASS(CSignFrame),
                                          ViewClass ? ViewClass : RUNTIME_CLASS(COleSheetView)));
    // 11. Shell registration.
    EnableShellOpen();
    RegisterShellFileTypes(TRUE);

    // 12. The command line.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    SetSplashEnabled(cmdInfo.m_bShowSplash);
    const BOOL processed = ProcessShellCommand(cmdInfo);
    SetSplashEnabled(FALSE);
    if (!processed) {
        // Nothing of this run reaches the profile, not even the frame's placement.
        std::free(const_cast<char*>(m_pszProfileName));
        m_pszProfileName = nullptr;
        return FALSE;
    }
    // 13. Dropped files.
    if (m_pMainWnd != nullptr) m_pMainWnd->DragAcceptFiles(TRUE);
    // A lost display saves the design as the autosave timer does before the program ends.
    if (m_pMainWnd != nullptr) ::SdSetDisplayLostCommand(m_pMainWnd->m_hWnd, ID_AUTOSAVE);
    // 14. The tracing templates.
    LoadTemplates();
    // 16. The palette bar loads the default palette.
    if (m_pMainWnd != nullptr) m_pMainWnd->PostMessage(WM_COMMAND, ID_LOAD_DEFAULT_PALETTE);
    m_bStarted = TRUE;
    return TRUE;
}

int CSignApp::ExitInstance() {
    if (m_bStarted) {
        Settings().Write();
        SaveTemplates();
    }
    return CWinApp::ExitInstance();
}

void CSignApp::LoadTemplates() {
    m_templateNames.RemoveAll();
    m_templateValues.RemoveAll();
    if (!GetProfileString("Templates", "Default setting", "").IsEmpty()) {
        TemplateLineReader reader(std::string(LPCSTR(m_pszProfileName)), *this);
        ReadSectionLines(reader, "Templates");
        return;
    }
    static const struct {
        UINT name;
        const char* value;
    } builtIn[] = {
        {IDS_TEMPLATE_1, "2,3,10,0.5,5,5,1,1,1,1,1,0,1,"},
        {IDS_TEMPLATE_2, "3,3,10,0.5,5,5,0,0,0,0,0,0,0,"},
        {IDS_TEMPLATE_3, "1,4,0,0,5,5,0,0,0,0,0,0,0,"},
        {IDS_TEMPLATE_4, "0,0,0,0,5,5,0,0,0,0,0,0,0,"},
        {IDS_TEMPLATE_5, "1,3,1,0.2,5,5,1,1,1,1,1,0,1,"},
        {IDS_TEMPLATE_6, "1,3,2,0.3,5,5,1,1,1,1,1,0,1,"},
    };
    for (const auto& t : builtIn) {
        m_templateNames.Add(LoadText(t.name));
        m_templateValues.Add(t.value);
    }
}

void CSignApp::SaveTemplates() {
    for (int i = 0; i < m_templateNames.GetSize() && i < m_templateValues.GetSize(); ++i)
        WriteProfileString("Templates", m_templateNames[i], m_templateValues[i]);
    for (int i = 0; i < m_removedTemplateNames.GetSize(); ++i)
        WriteProfileString("Templates", m_removedTemplateNames[i], nullptr);
}

void CSignApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
    const CString exe = m_pszExeName != nullptr ? CString(m_pszExeName) : GetProgramFileName();
    const CString file = GetProgramDir() + exe + ".chm";
    if (::access(file, R_OK) != 0) {
        CWinApp::WinHelp(dwData, nCmd);
        return;
    }
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    if (nCmd == HELP_CONTEXT)
        HtmlHelpCall(owner, file, HH_HELP_CONTEXT, dwData);
    else if (nCmd == HELP_FINDER)
        HtmlHelpCall(owner, file, HH_DISPLAY_TOPIC, 0);
}

void CSignApp::OnFileOpen() {
    if (!Settings().WMPPath.IsEmpty()) (void)::chdir(Settings().WMPPath);
    CWinApp::OnFileOpen();
}

void CSignApp::PrintSetup() {
    CPrintDialog dialog(
        TRUE, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE,
        m_pMainWnd);
    DoPrintDialog(&dialog);
    // The device mode names the printer chosen, cut to its 31 characters.
    const CString device = dialog.GetDeviceName();
    if (DEVMODEA* mode = dialog.GetDevMode()) {
        char* name = reinterpret_cast<char*>(mode->dmDeviceName);
        const int n = std::min(device.GetLength(), 31);
        std::memcpy(name, LPCSTR(device), size_t(n));
        name[n] = '\0';
        ::GlobalUnlock(dialog.m_pd.hDevMode);
    }
}

void CSignApp::OnUpdateDisabled(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}

void CSignApp::OnOptions() {
    AppSettings& settings = Settings();
    CPropertySheet sheet(IDS_OPTIONS_TITLE, m_pMainWnd);
    CClipboardPage clipboard;
    CMiscPage misc;
    CMemPage memory;
    CTextPage text;
    sheet.AddPage(&clipboard);
    sheet.AddPage(&misc);
    sheet.AddPage(&memory);
    sheet.AddPage(&text);

    clipboard.enableWPF = settings.EnableWPF;
    clipboard.enableWMF = settings.EnableWMF;
    clipboard.enableDIB = settings.EnableDIB;
    clipboard.colourDepth = settings.ColourDepth;
    clipboard.dpi = settings.DPI;
    clipboard.enableEMF = settings.EnableEMF;
    misc.dupDx = settings.DupDx;
    misc.dupDy = settings.DupDy;
    misc.mouseSens = UINT(settings.MouseSens);
    misc.nudgeSmall = settings.NudgeSmall;
    misc.nudgeLarge = settings.NudgeLarge;
    misc.defaultLayer = settings.DefaultLayer;
    misc.autoSave = UINT(settings.AutoSave);
    misc.snapProximity = UINT(SheetSettings::SnapProximity);
    memory.minUndoSteps = UINT(settings.MinUndoSteps);
    memory.maxUndoMem = UINT(settings.MaxUndoMem);
    memory.workMemSize = UINT(settings.WorkMemSize);
    text.fontFolder = settings.FontDirectory;
    text.kerningFolder = settings.KerningDirectory;
    text.charSize = settings.CharSize;
    text.lineSpacing = settings.LineSpacing;
    text.charSpacing = settings.CharSpacing * 100.0f;
    text.wordSpacing = settings.WordSpacing;

    if (sheet.DoModal() != IDOK) return;

    settings.EnableWPF = clipboard.enableWPF;
    settings.EnableWMF = clipboard.enableWMF;
    settings.EnableDIB = clipboard.enableDIB;
    settings.ColourDepth = clipboard.colourDepth;
    settings.DPI = clipboard.dpi;
    settings.EnableEMF = clipboard.enableEMF;
    settings.DupDx = misc.dupDx;
    settings.DupDy = misc.dupDy;
    settings.MouseSens = int(misc.mouseSens);
    SheetSettings::MouseSens = int(misc.mouseSens);
    settings.NudgeSmall = misc.nudgeSmall;
    settings.NudgeLarge = misc.nudgeLarge;
    settings.DefaultLayer = misc.defaultLayer;
    SheetSettings::SnapProximity = int(misc.snapProximity);
    settings.MinUndoSteps = int(memory.minUndoSteps);
    settings.MaxUndoMem = int(memory.maxUndoMem);
    settings.WorkMemSize = int(memory.workMemSize);
    settings.FontDirectory = text.fontFolder;
    settings.KerningDirectory = text.kerningFolder;
    settings.CharSize = text.charSize;
    settings.LineSpacing = text.lineSpacing;
    settings.CharSpacing = text.charSpacing * 0.01f;
    settings.WordSpacing = text.wordSpacing;
    if (auto* frame = dynamic_cast<CSignFrame*>(m_pMainWnd))
        frame->SetAutoSaveTimer(int(misc.autoSave));
    else
        settings.AutoSave = int(misc.autoSave);
}

BOOL CSignApp::PreTranslateMessage(MSG* pMsg) {
    if (PreTranslateSplashMessage(pMsg)) return TRUE;
    return CWinApp::PreTranslateMessage(pMsg);
}
