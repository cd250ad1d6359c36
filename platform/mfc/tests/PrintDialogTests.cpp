// Print set-up defaults and the print dialogs driven by scripts.

#include <gtest/gtest.h>

#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"
#include "win32/SpoolerTesting.h"

namespace {

class PrintDialogTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SdInstallFakeSpooler();
    }
    void TearDown() override {
        SdRemoveFakeSpooler();
        PlatformTest::TearDown();
    }
};

} // namespace

TEST_F(PrintDialogTest, DefaultsArePortraitA4OnTheFirstPrinter) {
    CPrintDialog none(TRUE);
    EXPECT_FALSE(none.GetDefaults());
    EXPECT_EQ(none.GetDevMode(), nullptr);
    CWinApp app("print");
    PRINTDLGA pd{};
    EXPECT_FALSE(app.GetPrinterDeviceDefaults(&pd));

    SdAddFakePrinter("Proof");
    SdAddFakePrinter("Office");
    CPrintDialog setup(TRUE);
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&setup.m_pd));
    EXPECT_EQ(setup.GetDeviceName(), CString("Proof"));
    EXPECT_EQ(setup.GetDriverName(), CString("winspool"));
    const DEVMODEA* dm = setup.GetDevMode();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm->dmFields & (DM_ORIENTATION | DM_PAPERSIZE), DM_ORIENTATION | DM_PAPERSIZE);
    ::GlobalUnlock(setup.m_pd.hDevMode);
    // The application keeps its set-up: a second query gives the same handles.
    PRINTDLGA again{};
    app.GetPrinterDeviceDefaults(&again);
    EXPECT_EQ(again.hDevMode, setup.m_pd.hDevMode);
}

TEST_F(PrintDialogTest, SetupAndPrintDialogs) {
    SdAddFakePrinter("Proof");
    SdAddFakePrinter("Office");
    CPrintDialog setup(TRUE);
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_PRINTER), "Proof");
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, SD_PRINT_PORTRAIT), 1u);
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_PAPER), "A4");
        sdtest::Select(hwnd, SD_PRINT_PRINTER, "Office");
        sdtest::Click(hwnd, SD_PRINT_LANDSCAPE);
        sdtest::Select(hwnd, SD_PRINT_PAPER, "A3");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(setup.DoModal(), IDOK);
    EXPECT_EQ(setup.GetDeviceName(), CString("Office"));
    const DEVMODEA* dm = setup.GetDevMode();
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_A3);
    ::GlobalUnlock(setup.m_pd.hDevMode);
    ::GlobalFree(setup.m_pd.hDevMode);
    ::GlobalFree(setup.m_pd.hDevNames);

    CPrintDialog print(FALSE, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIES |
                                  PD_HIDEPRINTTOFILE);
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_COPIES), "1");
        PushMessageBoxAnswer(IDOK);
        sdtest::Type(hwnd, SD_PRINT_COPIES, "0");
        sdtest::Click(hwnd, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        sdtest::Type(hwnd, SD_PRINT_COPIES, "3");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(print.DoModal(), IDOK);
    EXPECT_EQ(print.GetCopies(), 3);
    ::GlobalFree(print.m_pd.hDevMode);
    ::GlobalFree(print.m_pd.hDevNames);
}

TEST_F(PrintDialogTest, NoPrinterIsToldAndCancelled) {
    CPrintDialog print(FALSE);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(print.DoModal(), IDCANCEL);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "No printers are installed.");
}
