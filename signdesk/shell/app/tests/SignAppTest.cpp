#include <clocale>
#include <cmath>
#include <vector>

#include <app/AppIds.h>
#include <app/CPaletteBar.h>
#include <doc/CSignDoc.h>
#include <doc/DocResourceIds.h>
#include <doc/SignDocSettings.h>
#include <mfc/CPrintDialog.h>
#include <mfc/CStatusBar.h>
#include <mfc/CView.h>
#include <mfc/FrameworkIds.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <testing/DialogDriver.h>
#include <win32/GdiTesting.h>
#include <win32/KernelTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/UserTesting.h>
#include <win32/commdlg.h>
#include <win32/help.h>
#include <win32/shellapi.h>

#include <cstring>

#include "SignAppFixture.h"

namespace {
std::vector<std::string> KeysOf(const std::string& text, const std::string& section) {
    std::vector<std::string> keys;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && line.find('=') != std::string::npos)
            keys.push_back(line.substr(0, line.find('=')));
    }
    return keys;
}

std::string ValueOf(const std::string& text, const std::string& section, const std::string& key) {
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[')
            inside = line == "[" + section + "]";
        else if (inside && line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return "<missing>";
}
} // namespace

TEST_F(SignAppTest, StartUpBuildsTheFrameWithItsBarsPanesPaletteAndTimer) {
    ASSERT_TRUE(Start());
    CSignFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetControlBar(AFX_IDW_TOOLBAR), &frame->mainToolBar);
    EXPECT_EQ(frame->GetControlBar(ID_VIEW_SIGN_TOOLBAR), &frame->signToolBar);
    EXPECT_EQ(frame->GetControlBar(ID_VIEW_TOOL_OPTIONS), &frame->toolOptionsBar);
    EXPECT_EQ(frame->GetControlBar(ID_VIEW_SHEET_TOOLBAR), &frame->toolBar);
    EXPECT_EQ(frame->GetControlBar(AFX_IDW_STATUS_BAR), &frame->statusBar);
    EXPECT_EQ(frame->GetControlBar(ID_VIEW_PALETTE_BAR), &frame->paletteBar);
    const int widths[] = {80, 35, 15, 15, 15, 30};
    for (int pane = 1; pane <= 6; ++pane) {
        UINT id = 1, style = 0;
        int width = 0;
        frame->statusBar.GetPaneInfo(pane, id, style, width);
        EXPECT_EQ(width, widths[pane - 1]) << "pane " << pane;
        EXPECT_EQ(id, 0u);
    }
    EXPECT_NE(frame->autoSaveTimer, 0u);
    // The posted command loads the default palette once more; both loads give its 40 colours.
    frame->paletteBar.colors.clear();
    PumpMessages();
    ASSERT_EQ(frame->paletteBar.colors.size(), 40u);
    EXPECT_EQ(frame->paletteBar.colors[2], RGB(255, 0, 0));
    // The bar draws its cells: the third of the first row is red.
    frame->paletteBar.Invalidate();
    frame->paletteBar.UpdateWindow();
    const SdGdiImage picture = SdGdiReadWindow(frame->paletteBar.m_hWnd);
    const CRect grid = frame->paletteBar.GridRect();
    const int cell = frame->paletteBar.cellSize;
    EXPECT_EQ(cell, 20);
    EXPECT_EQ(picture.at(grid.left + 2 * cell + cell / 2, grid.top + cell / 2), RGB(255, 0, 0));
    EXPECT_EQ(picture.at(grid.left + cell / 2, grid.top + cell / 2), RGB(0, 0, 0));
    frame->ShowKeyHints(TRUE, FALSE, TRUE, FALSE);
    EXPECT_STREQ(LPCSTR(frame->statusBar.GetPaneText(3)), "Sh");
    EXPECT_STREQ(LPCSTR(frame->statusBar.GetPaneText(4)), "");
    EXPECT_STREQ(LPCSTR(frame->statusBar.GetPaneText(6)), "Sh+Ct");
    EXPECT_EQ(Exit(), 0);
}

TEST_F(SignAppTest, SettingsAreReadCorrectedAndWrittenBackInTheirOrder) {
    WriteProfile("[Settings]\nDPI=50\nDefaultWidth=-0.5\nDupDx=0.3\nFontDirectory=/tmp/fonts\\\n"
                 "KerningDirectory=" +
                 (DataFolder() / "kern").string() +
                 "\\\nAutoSave=0\n"
                 "[DimensionalLine]\nArrowSize=20\n[ColorCalibration]\nEnableCorrection=1\n");
    // Numbers keep their '.' under a decimal-comma locale.
    const std::string oldLocale = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    ASSERT_TRUE(Start());
    const AppSettings& s = Settings();
    EXPECT_EQ(s.DPI, 75);
    EXPECT_FLOAT_EQ(s.DefaultWidth, 0.5f);
    EXPECT_FLOAT_EQ(s.DupDx, 0.3f);
    EXPECT_FLOAT_EQ(s.DupDy, 10.0f);
    EXPECT_STREQ(LPCSTR(s.FontDirectory), "/tmp/fonts");
    EXPECT_EQ(std::string(LPCSTR(s.KerningDirectory)), (DataFolder() / "kern").string());
    EXPECT_TRUE(std::filesystem::is_directory(DataFolder() / "kern"));
    EXPECT_EQ(Frame()->autoSaveTimer, 0u);
    EXPECT_EQ(Frame()->SetAutoSaveTimer(3) != 0, true);
    Settings().ArrowSize = 12.7f;
    // A value the file cannot hold is left out alone; every other key is still written.
    Settings().ImportPath = "/tmp/a\nb";
    EXPECT_EQ(Exit(), 0);
    std::setlocale(LC_NUMERIC, oldLocale.c_str());

    const std::string text = ReadProfile();
    EXPECT_EQ(ValueOf(text, "Settings", "DPI"), "75");
    EXPECT_EQ(ValueOf(text, "Settings", "DefaultWidth"), "0.5");
    EXPECT_EQ(ValueOf(text, "Settings", "DupDx"), "0.3");
    EXPECT_EQ(ValueOf(text, "Settings", "AutoSave"), "3");
    EXPECT_EQ(ValueOf(text, "Settings", "FontDirectory"), "/tmp/fonts");
    EXPECT_EQ(ValueOf(text, "DimensionalLine", "ArrowSize"), "12");
    EXPECT_EQ(ValueOf(text, "ColorCalibration", "EnableCorrection"), "0");
    EXPECT_EQ(ValueOf(text, "Settings", "ImportPath"), "<missing>");
    const std::vector<std::string> keys = KeysOf(text, "Settings");
    ASSERT_GE(keys.size(), 61u);
    // The file keeps the keys it had first; the new ones follow in the exit order.
    const std::vector<std::string> tail(keys.end() - 4, keys.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SnapToGuideLines", "AdvPrinting", "CropMarkWidth",
                                              "SynchMarkWidth"}));
    EXPECT_EQ(KeysOf(text, "ColorCalibration"),
              (std::vector<std::string>{"EnableCorrection", "WCLPath", "WCLProfile", "EnableWCL"}));
}

TEST_F(SignAppTest, MissingKeysGiveTheDefaultsAndTheBuiltInTemplates) {
    ASSERT_TRUE(Start());
    const AppSettings& s = Settings();
    EXPECT_EQ(s.DPI, 150);
    EXPECT_EQ(s.AutoSave, 5);
    EXPECT_EQ(s.CurveColor, 0x7F7F7Fu);
    EXPECT_FLOAT_EQ(s.CharSpacing, 0.08f);
    EXPECT_STREQ(LPCSTR(s.FontName), "DejaVu Sans Book");
    EXPECT_EQ(std::string(LPCSTR(s.WCLPath)), programDir.string() + "/WCLProfiles");
    ASSERT_EQ(app->m_templateNames.GetSize(), 6);
    EXPECT_STREQ(LPCSTR(app->m_templateNames[0]), "Default setting");
    EXPECT_STREQ(LPCSTR(app->m_templateValues[5]), "1,3,2,0.3,5,5,1,1,1,1,1,0,1,");
    app->m_removedTemplateNames.Add("Line art");
    EXPECT_EQ(Exit(), 0);
    const std::string text = ReadProfile();
    EXPECT_EQ(ValueOf(text, "Templates", "Default setting"), "2,3,10,0.5,5,5,1,1,1,1,1,0,1,");
    EXPECT_EQ(ValueOf(text, "Templates", "Line art"), "<missing>");
    EXPECT_EQ(KeysOf(text, "Templates").size(), 5u);
}

TEST_F(SignAppTest, JunkInTheProfileIsSkippedAndNothingElseLost) {
    std::string junk = "[Settings]\nDPI=300\n" + std::string(5000, 'z') + "\n";
    junk += std::string("\x01\x02\xff\0binary=1\n", 14);
    junk += "=no key\n[unclosed\nAutoSave=9\n[Settings]\nMouseSens=abc\nDupDx=1e999x\n";
    WriteProfile(junk);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Settings().DPI, 300);
    EXPECT_EQ(Settings().MouseSens, 0);
    EXPECT_TRUE(std::isfinite(Settings().DupDx));
    EXPECT_EQ(Exit(), 0);
    EXPECT_EQ(ValueOf(ReadProfile(), "Settings", "DPI"), "300");
}

TEST_F(SignAppTest, StoredTemplatesAreReadFromTheirSection) {
    WriteProfile("[Templates]\nDefault setting=1,2,\nMine=3,4,\nno equals sign\n\n[Other]\nX=1\n");
    ASSERT_TRUE(Start());
    ASSERT_EQ(app->m_templateNames.GetSize(), 2);
    EXPECT_STREQ(LPCSTR(app->m_templateNames[1]), "Mine");
    EXPECT_STREQ(LPCSTR(app->m_templateValues[1]), "3,4,");
    Exit();
}

TEST_F(SignAppTest, AnUnreadableColourProfileIsDroppedAReadOnlyOneKept) {
    const std::filesystem::path readOnly = DataFolder() / "ro.wcl";
    std::ofstream(readOnly) << "x";
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    WriteProfile("[ColorCalibration]\nWCLProfile=" + readOnly.string() + "\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(std::string(LPCSTR(Settings().WCLProfile)), readOnly.string());
    Exit();
    Settings() = AppSettings{};
    WriteProfile("[ColorCalibration]\nWCLProfile=" + (DataFolder() / "gone.wcl").string() + "\n");
    app = std::make_unique<CSignApp>();
    app->m_pszExeName = strdup("signdesk");
    COleSheetFrame::framesCreated = 0;
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Settings().WCLProfile.IsEmpty());
    Exit();
}

// A start-up that ends early says why, ends with status 1 and leaves the profile as it was.
TEST_F(SignAppTest, FailedStartUpsLeaveTheProfileByteIdentical) {
    const std::string original = "[Settings]\r\nDPI=50\r\n; the user's own note\r\nAutoSave=7\r\n";
    struct Case {
        const char* name;
        const char* exe;
        std::vector<std::string> args;
        std::string box;
    } cases[] = {
        {"no resource module", "nosuchprogram", {}, "Unable to find nosuchprogram.so."},
        {"unopenable document",
         "signdesk",
         {"/no/such/design.wtp"},
         "Cannot open the file /no/such/design.wtp."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteProfile(original);
        Settings() = AppSettings{};
        COleSheetFrame::framesCreated = 0;
        app = std::make_unique<CSignApp>();
        app->m_pszExeName = strdup(c.exe);
        std::vector<std::string> storage = {"signdesk"};
        storage.insert(storage.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& a : storage)
            argv.push_back(a.data());
        PushMessageBoxAnswer(IDOK);
        EXPECT_EQ(AfxWinMain(int(argv.size()), argv.data()), 1);
        const auto log = MessageBoxLog();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back().text, c.box);
        EXPECT_EQ(ReadProfile(), original);
    }
}

TEST_F(SignAppTest, AHeadlessRunEndsNormallyAndWritesTheSettings) {
    std::string exe = "signdesk";
    char* argv[] = {exe.data()};
    EXPECT_EQ(AfxWinMain(1, argv), 0);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(ValueOf(ReadProfile(), "Settings", "DPI"), "150");
}

TEST_F(SignAppTest, TheAutosaveTimerPostsOnlyWhenNothingElseRuns) {
    ASSERT_TRUE(Start());
    CSignFrame* frame = Frame();
    PumpMessages();
    auto autosavePosted = [&] {
        MSG msg;
        bool found = false;
        while (::PeekMessageA(&msg, frame->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            found = found || LOWORD(msg.wParam) == ID_AUTOSAVE;
        return found;
    };
    frame->SendMessage(WM_TIMER, CSignFrame::kAutoSaveTimer);
    EXPECT_TRUE(autosavePosted());
    frame->printing = 1;
    const UINT_PTR before = frame->autoSaveTimer;
    frame->SendMessage(WM_TIMER, CSignFrame::kAutoSaveTimer);
    EXPECT_FALSE(autosavePosted());
    EXPECT_NE(frame->autoSaveTimer, 0u);
    (void)before;
    frame->printing = 0;
    frame->autoSaveBusy = 1;
    frame->SendMessage(WM_TIMER, CSignFrame::kAutoSaveTimer);
    EXPECT_FALSE(autosavePosted());
    frame->autoSaveBusy = 0;
    EXPECT_EQ(frame->SetAutoSaveTimer(0), 0u);
    EXPECT_EQ(Settings().AutoSave, 0);
    frame->SendMessage(WM_TIMER, CSignFrame::kAutoSaveTimer);
    EXPECT_FALSE(autosavePosted());
    Exit();
}

TEST_F(SignAppTest, FlatLookTogglesTwiceBackToWhereItWas) {
    ASSERT_TRUE(Start());
    CSignFrame* frame = Frame();
    const DWORD style = frame->mainToolBar.GetStyle();
    EXPECT_NE(style & 0x0800, 0u);
    frame->SendMessage(WM_COMMAND, ID_FLAT_LOOK);
    EXPECT_EQ(frame->signToolBar.GetStyle() & 0x0800, 0u);
    EXPECT_EQ(Settings().FlatLook, 0);
    frame->SendMessage(WM_COMMAND, ID_FLAT_LOOK);
    EXPECT_EQ(frame->mainToolBar.GetStyle(), style);
    EXPECT_EQ(Settings().FlatLook, 1);
    Exit();
}

namespace {
// A frame whose imports are recorded; "refused" in a name refuses it.
class DropFrame : public CSignFrame {
public:
    BOOL ImportDroppedFile(LPCSTR path) override {
        if (std::strstr(path, "refused") != nullptr) return FALSE;
        imported.emplace_back(path);
        return TRUE;
    }
    std::vector<std::string> imported;
};
} // namespace

TEST_F(SignAppTest, DroppedFilesAreImportedWholeAndARefusedOneBeeps) {
    ASSERT_TRUE(Start());
    EXPECT_NE(Frame()->GetExStyle() & WS_EX_ACCEPTFILES, 0u);
    Exit();
    // A frame deletes itself when its window goes.
    DropFrame& frame = *new DropFrame;
    ASSERT_TRUE(frame.Create(nullptr, "drops"));
    const std::string longPath = "/" + std::string(300, 'p') + "/long.wtp";
    const char* paths[] = {longPath.c_str(), "/x/refused.plt", "/x/c.eps"};
    SdResetBeeps();
    frame.SendMessage(WM_DROPFILES, WPARAM(SdMakeDropFiles(paths, 3, POINT{1, 1})));
    EXPECT_EQ(frame.imported, (std::vector<std::string>{longPath, "/x/c.eps"}));
    EXPECT_EQ(SdBeepCount(), 1);
    frame.DestroyWindow();
}

TEST_F(SignAppTest, HelpUsesTheHtmlHelpFileBesideTheProgramElseTheFrameworks) {
    ASSERT_TRUE(Start());
    SdClearHelpLog();
    app->WinHelp(0x20000 + 181);
    Frame()->SendMessage(WM_COMMAND, ID_HELP_FINDER);
    std::ofstream(programDir / "signdesk.chm") << "help";
    app->WinHelp(0x20000 + 181);
    app->WinHelp(0, HELP_FINDER);
    app->WinHelp(0, HELP_QUIT);
    const std::vector<SdHelpRecord> log = SdHelpLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].viewer, "WinHelp");
    EXPECT_EQ(log[0].file, "signdesk.hlp");
    EXPECT_EQ(log[0].data, 0x20000u + 181);
    EXPECT_EQ(log[1].command, UINT(HELP_FINDER));
    EXPECT_EQ(log[2].viewer, "HtmlHelp");
    EXPECT_EQ(log[2].file, programDir.string() + "/signdesk.chm");
    EXPECT_EQ(log[2].command, UINT(HH_HELP_CONTEXT));
    EXPECT_EQ(log[2].data, 0x20000u + 181);
    EXPECT_EQ(log[3].command, UINT(HH_DISPLAY_TOPIC));
    Exit();
}

TEST_F(SignAppTest, TheAutosaveIntervalIsTheSettingInMinutes) {
    SdInstallFakeClock(1000, SYSTEMTIME{});
    WriteProfile("[Settings]\nAutoSave=0\n");
    ASSERT_TRUE(Start());
    CSignFrame* frame = Frame();
    PumpMessages();
    auto autosaveAfter = [&](DWORD ms) {
        SdAdvanceFakeClock(ms);
        MSG msg;
        bool found = false;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_COMMAND && LOWORD(msg.wParam) == ID_AUTOSAVE)
                found = true;
            else
                ::DispatchMessageA(&msg);
        }
        return found;
    };
    EXPECT_FALSE(autosaveAfter(3600000));
    frame->SetAutoSaveTimer(3);
    EXPECT_FALSE(autosaveAfter(179999));
    EXPECT_TRUE(autosaveAfter(1));
    Settings().AutoSave = 5;
    frame->SetAutoSaveTimer(-1);
    EXPECT_FALSE(autosaveAfter(299999));
    EXPECT_TRUE(autosaveAfter(1));
    Exit();
    SdRemoveFakeClock();
}

// The sample design of the program folder opens into the one document; a file that is no
// design is reported and leaves an empty, unnamed design.
TEST_F(SignAppTest, TheSampleDesignOpensAndABadFileLeavesAnEmptyDesign) {
    ASSERT_TRUE(Start());
    const std::string sample = (programDir / "Sample.wtp").string();
    CDocument* opened = app->OpenDocumentFile(sample.c_str());
    auto* doc = dynamic_cast<CSignDoc*>(opened);
    ASSERT_NE(doc, nullptr);
    CView* view = Frame()->GetActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(doc->GetTitle(), CString("Sample.wtp"));
    // The panel on layer 1; five letters and the star on layer 2.
    ASSERT_EQ(doc->m_sheet.GetSize(), 7);
    EXPECT_EQ(doc->m_sheet.GetLayerCount(1), 1u);
    EXPECT_EQ(doc->m_sheet.GetLayerCount(2), 6u);
    EXPECT_EQ(SheetSettings::DocWidth, 700.0f);
    EXPECT_EQ(SheetSettings::DocHeight, 400.0f);
    const floatBBox& panel = *doc->m_sheet.GetObj(0)->GetBBox();
    EXPECT_NEAR(panel.left, 20.0f, 0.01f);
    EXPECT_NEAR(panel.right, 680.0f, 0.01f);

    const std::string junk = (DataFolder() / "junk.wtp").string();
    std::ofstream(junk, std::ios::binary) << "no design";
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(app->OpenDocumentFile(junk.c_str()), nullptr);
    EXPECT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(Frame()->GetActiveView()->GetDocument(), doc);
    EXPECT_EQ(doc->m_sheet.GetSize(), 0);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    Exit();
}

// A design stores the palette bar's colours and gives its own to the bar when it opens.
TEST_F(SignAppTest, DesignsCarryThePaletteBarsColours) {
    ASSERT_TRUE(Start());
    CPaletteBar& bar = Frame()->paletteBar;
    bar.SetColors({});
    ASSERT_NE(app->OpenDocumentFile((programDir / "Sample.wtp").string().c_str()), nullptr);
    ASSERT_EQ(bar.colors.size(), 40u);
    EXPECT_EQ(bar.colors[2], RGB(255, 0, 0));

    bar.SetColors({RGB(1, 2, 3), RGB(250, 251, 252)});
    auto* doc = dynamic_cast<CSignDoc*>(Frame()->GetActiveView()->GetDocument());
    ASSERT_NE(doc, nullptr);
    const std::string saved = (DataFolder() / "saved.wtp").string();
    ASSERT_TRUE(doc->OnSaveDocument(saved.c_str()));
    bar.SetColors({});
    ASSERT_NE(app->OpenDocumentFile(saved.c_str()), nullptr);
    EXPECT_EQ(bar.colors, (std::vector<COLORREF>{RGB(1, 2, 3), RGB(250, 251, 252)}));
    Exit();
}

TEST_F(SignAppTest, FileOpenAndSaveAsGoThroughThePreviewingDocumentDialog) {
    struct PreviewOnAgain {
        ~PreviewOnAgain() { SignDocSettings::ShowFilePreview = TRUE; }
    } previewOnAgain;
    ASSERT_TRUE(Start());
    const std::string sample = (programDir / "Sample.wtp").string();
    auto entries = [](HWND dialog) {
        std::vector<std::string> result;
        const int count = int(::SendDlgItemMessageA(dialog, cmb1, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            ::SendDlgItemMessageA(dialog, cmb1, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
            result.push_back(text);
        }
        return result;
    };
    auto previewBox = [](HWND dialog) {
        for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            if (::GetDlgItem(c, IDC_PREVIEW_CHECK)) return c;
        return HWND(nullptr);
    };
    // Open: both native forms in one entry; the preview switched off for the rest of the run.
    std::vector<std::string> offered;
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        offered = entries(hwnd);
        const HWND pane = previewBox(hwnd);
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(::IsDlgButtonChecked(pane, IDC_PREVIEW_CHECK), UINT(BST_CHECKED));
        sdtest::Click(pane, IDC_PREVIEW_CHECK);
        sdtest::Type(hwnd, edt1, sample);
        sdtest::Click(hwnd, IDOK);
    });
    Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    PumpMessages();
    EXPECT_EQ(offered, (std::vector<std::string>{"Sign designs (*.wtp;*.wmp)", "All files (*.*)"}));
    auto* doc = dynamic_cast<CSignDoc*>(Frame()->GetActiveView()->GetDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(std::string(doc->GetPathName()), sample);
    EXPECT_EQ(doc->m_sheet.GetSize(), 7);

    // Save As of a design from a compound file proposes the archive form, the switch still off.
    const std::filesystem::path wmp = DataFolder() / "plan.wmp", wtp = DataFolder() / "plan.wtp";
    doc->SetPathName(wmp.c_str());
    std::string proposed;
    UINT previewChecked = BST_CHECKED;
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        offered = entries(hwnd);
        proposed = sdtest::TextOf(hwnd, edt1);
        if (const HWND pane = previewBox(hwnd))
            previewChecked = ::IsDlgButtonChecked(pane, IDC_PREVIEW_CHECK);
        sdtest::Type(hwnd, edt1, wtp.string());
        sdtest::Click(hwnd, IDOK);
    });
    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    PumpMessages();
    EXPECT_EQ(proposed, "plan.wtp");
    EXPECT_EQ(offered, (std::vector<std::string>{"Sign designs (*.wtp)", "All files (*.*)"}));
    EXPECT_EQ(previewChecked, UINT(BST_UNCHECKED));
    EXPECT_EQ(std::string(doc->GetPathName()), wtp.string());
    EXPECT_TRUE(std::filesystem::exists(wtp));
    EXPECT_FALSE(std::filesystem::exists(wmp));

    // Cancel opens nothing.
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) { sdtest::Click(hwnd, IDCANCEL); });
    Frame()->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    PumpMessages();
    EXPECT_EQ(Frame()->GetActiveView()->GetDocument(), doc);
    EXPECT_EQ(std::string(doc->GetPathName()), wtp.string());
    Exit();
}

TEST_F(SignAppTest, PrintSetupKeepsTheChosenPrinterWithItsNameCutInTheDeviceMode) {
    ASSERT_TRUE(Start());
    // No printer: told, and nothing set up.
    SdInstallFakeSpooler();
    struct SpoolerRemoved {
        ~SpoolerRemoved() { SdRemoveFakeSpooler(); }
    } spoolerRemoved;
    PushMessageBoxAnswer(IDOK);
    Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_SETUP);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "No printers are installed.");
    EXPECT_EQ(app->m_hDevNames, nullptr);

    const std::string longName = "Workshop-Large-Format-Printer-Second-Floor-East";
    SdAddFakePrinter("Proof");
    SdAddFakePrinter(longName.c_str());
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        sdtest::Select(hwnd, SD_PRINT_PRINTER, longName);
        sdtest::Click(hwnd, IDOK);
    });
    Frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_SETUP);
    ASSERT_NE(app->m_hDevNames, nullptr);
    CPrintDialog look(TRUE);
    look.m_pd.hDevNames = app->m_hDevNames;
    look.m_pd.hDevMode = app->m_hDevMode;
    EXPECT_EQ(std::string(look.GetDeviceName()), longName);
    const DEVMODEA* mode = look.GetDevMode();
    ASSERT_NE(mode, nullptr);
    const char* device = reinterpret_cast<const char*>(mode->dmDeviceName);
    EXPECT_EQ(std::string(device, strnlen(device, sizeof mode->dmDeviceName)),
              longName.substr(0, 31));
    ::GlobalUnlock(app->m_hDevMode);
    Exit();
}
