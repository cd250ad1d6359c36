// The sheet size and grid dialog on the program's template, and the standard sheet list.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include <mfc/afx.h>
#include <win32/SpoolerTesting.h>
#include <win32/kernel.h>
#include <win32/module.h>

#include "shell/CSheetSizeDlg.h"
#include "settings/CUnit.h"
#include "settings/ProgramFolders.h"
#include "shell/StdSheets.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"

namespace {

class SheetSizeDlgTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        SdInstallFakeSpooler(); // no printers
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        app.m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
        AppUnit.unit = CUnit::MM;
        sheets = std::string(GetDataFilePath("StdSheets.cfg"));
    }
    void TearDown() override {
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        SdRemoveFakeSpooler();
        PlatformTest::TearDown();
    }
    void WriteSheets(const std::string& text) {
        std::ofstream(sheets) << "[StandardSheets]\n" << text;
    }
    std::string Profile(const char* section, const char* key, const std::string& file) {
        char text[64];
        ::GetPrivateProfileStringA(section, key, "", text, sizeof text, file.c_str());
        return text;
    }
    CWinApp app{"sheet size"};
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    std::string sheets;
};

} // namespace

TEST_F(SheetSizeDlgTest, AFreshListHasTheBuiltInSizesAndIsWrittenBack) {
    LoadStdSheets(sheets.c_str());
    ASSERT_EQ(StdSheetNames.Filled(), 26);
    struct {
        int index;
        const char* name;
        float w, h;
    } cases[] = {{0, "A0", 840, 1188}, {4, "A4", 210, 297}, {12, "A12", 13, 18},
                 {13, "B0", 1028, 1456}, {15, "B2", 514, 728}, {25, "B12", 16, 22}};
    for (auto& c : cases) {
        EXPECT_STREQ(StdSheetNames[std::uint16_t(c.index)], c.name);
        EXPECT_EQ(StdSheetWidths[std::uint16_t(c.index)], c.w);
        EXPECT_EQ(StdSheetHeights[std::uint16_t(c.index)], c.h);
    }
    EXPECT_EQ(Profile("StandardSheets", "NumberOfSheets", sheets), "26");
    EXPECT_EQ(Profile("StandardSheets", "Name26", sheets), "B12");
    EXPECT_EQ(Profile("StandardSheets", "W1", sheets), "840");
}

TEST_F(SheetSizeDlgTest, TheFileIsNotTrusted) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"zero sizes", "NumberOfSheets=2\nName1=X\nW1=0\nH1=5\nName2=Y\nW2=4\nH2=0\n", {}},
        {"negative count", "NumberOfSheets=-3\nName1=X\nW1=1\nH1=1\n", {}},
        {"wild count", "NumberOfSheets=2000000000\nName1=X\nW1=1\nH1=1\nName2=\nW2=1\nH2=1\n"
                       "Name3=Z\nW3=nan\nH3=1\nName4=Q\nW4=2\nH4=3\n",
         {"X", "Q"}},
        {"long name", "NumberOfSheets=1\nName1=" + std::string(100, 'n') + "\nW1=1\nH1=2\n",
         {std::string(79, 'n')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSheets(c.text);
        LoadStdSheets(sheets.c_str());
        std::vector<std::string> names;
        for (std::uint16_t i = 0; i < StdSheetNames.Filled(); ++i) names.emplace_back(StdSheetNames[i]);
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(SheetSizeDlgTest, TheCurrentSizeChoosesItsSheetAndLandscapeTurnsTheChoice) {
    CSheetSizeDlg dialog;
    dialog.sheetWidth = 297;
    dialog.sheetHeight = 210;
    SetDialogScript(IDD_SHEET_SIZE, [](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_STD_SHEETS), "A4");
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_LANDSCAPE), 1u);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_SHEET_WIDTH)));
        sdtest::Select(hwnd, IDC_STD_SHEETS, "A3");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SHEET_WIDTH), "420");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SHEET_HEIGHT), "297");
        sdtest::Click(hwnd, IDC_LANDSCAPE); // portrait again
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SHEET_WIDTH), "297");
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_LANDSCAPE), 0u);
        sdtest::Select(hwnd, IDC_STD_SHEETS, "[...]");
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_SHEET_WIDTH)));
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.sheetWidth, 297);
    EXPECT_EQ(dialog.sheetHeight, 420);
    EXPECT_FALSE(dialog.landscape);
}

TEST_F(SheetSizeDlgTest, PrinterPageWithoutPrinterGivesTheDefaultAndSizesBecomeTheDefault) {
    CSheetSizeDlg dialog;
    dialog.sheetWidth = 210;
    dialog.sheetHeight = 297;
    SetDialogScript(IDD_SHEET_SIZE, [](HWND hwnd) {
        sdtest::Click(hwnd, IDC_PRINTER_PAGE);
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_STD_SHEETS), "[...]");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SHEET_WIDTH), "800");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SHEET_HEIGHT), "470");
        EXPECT_EQ(::IsDlgButtonChecked(hwnd, IDC_LANDSCAPE), 1u);
        sdtest::Click(hwnd, IDC_STORE_DEFAULT);
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(Profile("Settings", "DocWidth", app.m_pszProfileName), "800");
    EXPECT_EQ(Profile("Settings", "DocHeight", app.m_pszProfileName), "470");
}

TEST_F(SheetSizeDlgTest, AGridSpacingOfZeroIsRefusedAndColoursComeFromTheColourDialog) {
    CSheetSizeDlg dialog;
    dialog.sheetWidth = 100;
    dialog.sheetHeight = 50;
    SetDialogScriptForClass("CColorDialog", [](HWND hwnd) {
        sdtest::Type(hwnd, SD_COLOR_RED, "10");
        sdtest::Click(hwnd, IDOK);
    });
    SetDialogScript(IDD_SHEET_SIZE, [](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_GRID_DENSITY_X), "25");
        sdtest::Click(hwnd, IDC_GRID_COLOR);
        sdtest::Type(hwnd, IDC_GRID_DENSITY_X, "0");
        sdtest::Click(hwnd, IDOK); // refused: the dialog stays
        EXPECT_TRUE(::IsWindow(hwnd));
        sdtest::Type(hwnd, IDC_GRID_DENSITY_X, "12.5");
        sdtest::Click(hwnd, IDC_LINE_GRID);
        sdtest::Click(hwnd, IDOK);
    });
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.gridDensityX, 12.5f);
    EXPECT_TRUE(dialog.lineGrid);
    EXPECT_EQ(dialog.gridColor, RGB(10, 192, 192));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
}
