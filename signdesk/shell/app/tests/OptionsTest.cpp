// The options sheet run from the frame's command, and the start-up picture.

#include "SignAppFixture.h"

#include <app/AppIds.h>
#include <app/CSplashWnd.h>
#include <app/OptionPages.h>
#include <mfc/CPropertySheet.h>
#include <settings/CUnit.h>
#include <sheet/SheetSettings.h>
#include <testing/DialogDriver.h>

namespace {

class OptionsTest : public SignAppTest {
protected:
    void SetUp() override {
        SignAppTest::SetUp();
        AppUnit.unit = CUnit::MM;
        ASSERT_TRUE(Start());
        PumpMessages();
    }
    void TearDown() override {
        Exit();
        SignAppTest::TearDown();
    }
    CPropertySheet* Sheet(HWND hwnd) {
        return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(hwnd));
    }
    // The page at `index`, made by showing it.
    HWND Page(CPropertySheet* sheet, int index) {
        EXPECT_TRUE(sheet->SetActivePage(index));
        return sheet->GetPage(index)->m_hWnd;
    }
    void RunOptions(SdDialogScript script) {
        SetDialogScriptForClass("CPropertySheet", std::move(script));
        Frame()->SendMessage(WM_COMMAND, ID_OPTIONS);
    }
};

} // namespace

TEST_F(OptionsTest, CancelAfterEditingEveryPageChangesNothing) {
    const AppSettings before = Settings();
    const UINT_PTR timer = Frame()->autoSaveTimer;
    ASSERT_NE(timer, 0u);
    RunOptions([&](HWND hwnd) {
        CPropertySheet* sheet = Sheet(hwnd);
        ASSERT_NE(sheet, nullptr);
        ASSERT_EQ(sheet->GetPageCount(), 4);
        // The tab order: clipboard, general, memory, text.
        EXPECT_NE(dynamic_cast<CClipboardPage*>(sheet->GetPage(0)), nullptr);
        EXPECT_NE(dynamic_cast<CMiscPage*>(sheet->GetPage(1)), nullptr);
        EXPECT_NE(dynamic_cast<CMemPage*>(sheet->GetPage(2)), nullptr);
        EXPECT_NE(dynamic_cast<CTextPage*>(sheet->GetPage(3)), nullptr);
        sdtest::Type(Page(sheet, 0), IDC_CLIPBOARD_DPI, "300");
        sdtest::Type(Page(sheet, 1), IDC_AUTOSAVE, "0");
        sdtest::Type(Page(sheet, 2), IDC_MIN_UNDO_STEPS, "50");
        sdtest::Type(Page(sheet, 3), IDC_CHAR_SPACING, "12");
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(Settings().DPI, before.DPI);
    EXPECT_EQ(Settings().AutoSave, before.AutoSave);
    EXPECT_EQ(Settings().MinUndoSteps, before.MinUndoSteps);
    EXPECT_EQ(Settings().CharSpacing, before.CharSpacing);
    EXPECT_EQ(Frame()->autoSaveTimer, timer) << "the timer runs on as before";
}

TEST_F(OptionsTest, OkCopiesEveryPageBack) {
    Settings().CharSpacing = 0.08f;
    Settings().DPI = 150;
    RunOptions([&](HWND hwnd) {
        CPropertySheet* sheet = Sheet(hwnd);
        HWND clipboard = Page(sheet, 0);
        // The depth list and the resolution list from the resources, the current dpi chosen.
        EXPECT_EQ(::SendDlgItemMessageA(clipboard, IDC_COLOUR_DEPTH, CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(::SendDlgItemMessageA(clipboard, IDC_CLIPBOARD_DPI, CB_GETCOUNT, 0, 0), 10);
        EXPECT_EQ(sdtest::TextOf(clipboard, IDC_CLIPBOARD_DPI), "150");
        sdtest::Select(clipboard, IDC_CLIPBOARD_DPI, "300");
        EXPECT_EQ(sdtest::TextOf(clipboard, IDC_CLIPBOARD_DPI), "300");
        sdtest::Type(clipboard, IDC_CLIPBOARD_DPI, "600");
        sdtest::Select(clipboard, IDC_COLOUR_DEPTH, "24");

        HWND misc = Page(sheet, 1);
        sdtest::Type(misc, IDC_AUTOSAVE, "0");
        sdtest::Type(misc, IDC_MOUSE_SENS, "7");
        sdtest::Type(misc, IDC_SNAP_PROXIMITY, "12");
        sdtest::Type(misc, IDC_DUP_DX, "-25.5");

        HWND memory = Page(sheet, 2);
        sdtest::Type(memory, IDC_MAX_UNDO_MEM, "8000");

        HWND text = Page(sheet, 3);
        EXPECT_EQ(sdtest::TextOf(text, IDC_CHAR_SPACING), "8");
        sdtest::Type(text, IDC_CHAR_SPACING, "12");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(Settings().DPI, 600);
    EXPECT_EQ(Settings().ColourDepth, 3);
    EXPECT_EQ(Settings().AutoSave, 0);
    EXPECT_EQ(Frame()->autoSaveTimer, 0u) << "autosave 0 stops the timer";
    EXPECT_EQ(Settings().MouseSens, 7);
    EXPECT_EQ(SheetSettings::MouseSens, 7);
    EXPECT_EQ(SheetSettings::SnapProximity, 12);
    EXPECT_FLOAT_EQ(Settings().DupDx, -25.5f);
    EXPECT_EQ(Settings().MaxUndoMem, 8000);
    EXPECT_FLOAT_EQ(Settings().CharSpacing, 0.12f);
}

TEST_F(OptionsTest, ValuesOutsideTheirRangesStopTheSheet) {
    struct Case {
        int page, control;
        const char* text;
        bool accepted;
        int unit;
    };
    const Case cases[] = {
        {1, IDC_DUP_DX, "-39.37", true, CUnit::INCH},
        {1, IDC_DUP_DX, "-39.38", false, CUnit::INCH},
        {0, IDC_CLIPBOARD_DPI, "49", false, CUnit::MM},
        {0, IDC_CLIPBOARD_DPI, "50", true, CUnit::MM},
        {0, IDC_CLIPBOARD_DPI, "3000", true, CUnit::MM},
        {0, IDC_CLIPBOARD_DPI, "3001", false, CUnit::MM},
        {3, IDC_CHAR_SIZE, "0.5", false, CUnit::MM},
        {3, IDC_CHAR_SIZE, "5000", true, CUnit::MM},
        {1, IDC_MOUSE_SENS, "11", false, CUnit::MM},
        {2, IDC_WORK_MEM_SIZE, "1023", false, CUnit::MM},
    };
    for (const Case& c : cases) {
        AppUnit.unit = c.unit;
        const size_t boxes = MessageBoxLog().size();
        bool stayed = false;
        RunOptions([&](HWND hwnd) {
            CPropertySheet* sheet = Sheet(hwnd);
            sdtest::Type(Page(sheet, c.page), c.control, c.text);
            if (!c.accepted) PushMessageBoxAnswer(IDOK);
            sdtest::Click(hwnd, IDOK);
            stayed = ::IsWindowVisible(hwnd) != FALSE;
            if (stayed) sdtest::Click(hwnd, IDCANCEL);
        });
        EXPECT_EQ(stayed, !c.accepted) << c.text;
        EXPECT_EQ(MessageBoxLog().size(), boxes + (c.accepted ? 0 : 1)) << c.text;
    }
    AppUnit.unit = CUnit::MM;
}

TEST_F(OptionsTest, SplashClosesOnAKeyOrItsTimerAndNeedsItsPicture) {
    SetSplashEnabled(TRUE);
    ShowSplash(Frame());
    CSplashWnd* splash = CurrentSplash();
    ASSERT_NE(splash, nullptr) << "the program folder's picture";
    EXPECT_EQ(splash->dib.GetWidth(), 360);
    EXPECT_TRUE(splash->IsWindowVisible());
    ShowSplash(Frame());
    EXPECT_EQ(CurrentSplash(), splash) << "one at a time";

    // A key is swallowed and closes the picture.
    MSG key{Frame()->m_hWnd, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_TRUE(PreTranslateSplashMessage(&key));
    MSG move{Frame()->m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(PreTranslateSplashMessage(&move));
    PumpMessages();
    EXPECT_EQ(CurrentSplash(), nullptr);
    EXPECT_FALSE(PreTranslateSplashMessage(&key)) << "nothing to close any more";

    // Its timer closes it too.
    ShowSplash(Frame());
    ASSERT_NE(CurrentSplash(), nullptr);
    CurrentSplash()->SendMessage(WM_TIMER, 1);
    EXPECT_EQ(CurrentSplash(), nullptr);

    // Without the picture, or not enabled: none, and no message.
    std::filesystem::remove(programDir / "signdesk.bmp");
    ShowSplash(Frame());
    EXPECT_EQ(CurrentSplash(), nullptr);
    SetSplashEnabled(FALSE);
    SetSplashEnabled(FALSE);
}
