// Print set-up defaults and the print dialogs driven by scripts.

#include <gtest/gtest.h>

#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"
#include "testing/PrivateCupsd.h"
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

TEST_F(PrintDialogTest, DefaultsArePortraitOnTheFirstPrintersOwnPaper) {
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
    // No paper asked for: the printer's default media applies.
    EXPECT_EQ(dm->dmFields & (DM_ORIENTATION | DM_PAPERSIZE), DM_ORIENTATION);
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
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_PAPER), "Printer default");
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
    EXPECT_TRUE(dm->dmFields & DM_PAPERSIZE);
    ::GlobalUnlock(setup.m_pd.hDevMode);
    // Shown again with the chosen paper; the printer's default chosen again drops it.
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_PAPER), "A3");
        sdtest::Select(hwnd, SD_PRINT_PAPER, "Printer default");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(setup.DoModal(), IDOK);
    dm = setup.GetDevMode();
    EXPECT_FALSE(dm->dmFields & DM_PAPERSIZE);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
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

TEST_F(PrintDialogTest, ThePrinterChosenInTheDialogStaysTheApplications) {
    SdAddFakePrinter("Proof");
    SdAddFakePrinter("Office");
    CWinApp app("print");
    auto chosen = [&] {
        PRINTDLGA pd{};
        app.GetPrinterDeviceDefaults(&pd);
        CPrintDialog look(TRUE);
        look.m_pd.hDevNames = pd.hDevNames;
        return look.GetDeviceName();
    };
    CPrintDialog first(TRUE);
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        sdtest::Select(hwnd, SD_PRINT_PRINTER, "Office");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(app.DoPrintDialog(&first), IDOK);
    EXPECT_EQ(chosen(), CString("Office"));
    // Cancel keeps it.
    CPrintDialog second(TRUE);
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_PRINTER), "Office");
        sdtest::Select(hwnd, SD_PRINT_PRINTER, "Proof");
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(app.DoPrintDialog(&second), IDCANCEL);
    EXPECT_EQ(chosen(), CString("Office"));
}

namespace {

// The application's default set-up on a queue of a print service of the test's own, whose
// default media is A6 at 100 dpi.
class QueueSetupTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const std::string why = cupsd.Start();
        if (!why.empty()) GTEST_SKIP() << "no private print service: " << why;
    }
    PrivateCupsd cupsd;
};

} // namespace

TEST_F(QueueSetupTest, WithoutAChosenPaperTheQueuesOwnMediaIsUsed) {
    CWinApp app("print");
    CPrintDialog print(FALSE);
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&print.m_pd));
    ASSERT_EQ(print.GetDeviceName(), CString(PrivateCupsd::Queue));
    HDC dc = print.CreatePrinterDC();
    ASSERT_NE(dc, nullptr);
    // A6, 105 x 148 mm at 100 dpi.
    EXPECT_EQ(::GetDeviceCaps(dc, PHYSICALWIDTH), 413);
    EXPECT_EQ(::GetDeviceCaps(dc, PHYSICALHEIGHT), 583);
    ::DeleteDC(dc);
    // A4 chosen in the set-up dialog: the queue prints on A4.
    CPrintDialog setup(TRUE);
    SetDialogScriptForClass("CPrintDialog", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_PRINT_PAPER), "Printer default");
        sdtest::Select(hwnd, SD_PRINT_PAPER, "A4");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(app.DoPrintDialog(&setup), IDOK);
    CPrintDialog again(FALSE);
    app.GetPrinterDeviceDefaults(&again.m_pd);
    dc = again.CreatePrinterDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(::GetDeviceCaps(dc, PHYSICALWIDTH), 827);
    EXPECT_EQ(::GetDeviceCaps(dc, PHYSICALHEIGHT), 1169);
    ::DeleteDC(dc);
}
