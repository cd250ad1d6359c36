// The outline options dialog, the print-and-cut options page and the print options page.
#include <gtest/gtest.h>

#include <mfc/CPropertySheet.h>
#include <settings/CUnit.h>
#include <testing/DialogDriver.h>
#include <win32/user.h>

#include "OutputFixture.h"
#include "output/COutlineDlg.h"
#include "output/CPrintAndCutPage.h"
#include "output/CPrintOptionsPage.h"

namespace {
class OptionDialogsTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        AppUnit.unit = CUnit::MM;
        TheOutlineOptions() = OutlineOptions();
    }
};
bool Enabled(HWND d, int id) {
    return ::IsWindowEnabled(::GetDlgItem(d, id)) != 0;
}
} // namespace

TEST_F(OptionDialogsTest, OutlineDialogStartsAtTwoMillimetresAndKeepsItsRules) {
    COutlineDlg dlg;
    SetDialogScript(COutlineDlg::IDD, [&](HWND d) {
        EXPECT_EQ(sdtest::TextOf(d, 2600), "2");
        EXPECT_EQ(sdtest::TextOf(d, 2601), "1");
        EXPECT_EQ(::IsDlgButtonChecked(d, 2664), 1u);
        EXPECT_TRUE(Enabled(d, 2665));
        sdtest::Click(d, 2664);
        EXPECT_FALSE(Enabled(d, 2665));
        sdtest::Click(d, 2663); // inward
        EXPECT_FALSE(Enabled(d, 2660));
        EXPECT_FALSE(Enabled(d, 2661));
        sdtest::Click(d, 2663);
        sdtest::Click(d, 2660); // both sides
        EXPECT_FALSE(Enabled(d, 2663));
        // Out of range: refused with the range message, the dialog stays.
        sdtest::Type(d, 2601, "101");
        sdtest::Click(d, IDOK);
        EXPECT_TRUE(::IsWindow(d));
        sdtest::Type(d, 2601, "0");
        sdtest::Click(d, IDOK);
        sdtest::Type(d, 2601, "4");
        sdtest::Type(d, 2600, "0.05");
        sdtest::Click(d, IDOK);
        sdtest::Type(d, 2600, "3.5");
        sdtest::Click(d, IDOK);
    });
    AllowUnscriptedMessageBoxes();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(MessageBoxLog().size(), 3u);
    EXPECT_FLOAT_EQ(TheOutlineOptions().distance, 3.5f);
    EXPECT_EQ(TheOutlineOptions().count, 4);
    EXPECT_EQ(TheOutlineOptions().bothSides, 1);
    EXPECT_EQ(TheOutlineOptions().combined, 0);
}

TEST_F(OptionDialogsTest, PrintAndCutPageEnablingAndLimits) {
    CPrintAndCutPage page;
    page.markColor = RGB(255, 0, 0);
    page.choice = 3;
    CPropertySheet sheet("Options");
    sheet.AddPage(&page);
    SetDialogScriptForClass("CPropertySheet", [&](HWND s) {
        HWND d = static_cast<CPropertySheet*>(CWnd::FromHandle(s))->GetActivePage()->m_hWnd;
        EXPECT_EQ(::IsDlgButtonChecked(d, 2643), 1u);
        EXPECT_TRUE(Enabled(d, 2660));
        sdtest::Click(d, 2649); // two marks: no crop marks
        EXPECT_FALSE(Enabled(d, 2660));
        sdtest::Click(d, 2648);
        EXPECT_TRUE(Enabled(d, 2660));
        EXPECT_FALSE(Enabled(d, 2600));
        sdtest::Click(d, 2662);
        EXPECT_TRUE(Enabled(d, 2600));
        sdtest::Click(d, 2641);
        // Cancelling the colour dialog keeps the colour.
        SetDialogScriptForClass("CColorDialog", [](HWND c) { sdtest::Click(c, IDCANCEL); });
        sdtest::Click(d, 1130);
        EXPECT_EQ(DialogLog().back().className, "CColorDialog");
        // The field takes no more than 255 characters.
        sdtest::Type(d, 2600, std::string(256, 'a'));
        EXPECT_EQ(sdtest::TextOf(d, 2600).size(), 255u);
        sdtest::Type(d, 2600, "/profiles/shop.wcl");
        static_cast<CPropertySheet*>(CWnd::FromHandle(s))->PressButton(PSBTN_OK);
    });
    AllowUnscriptedMessageBoxes();
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(page.markColor, RGB(255, 0, 0));
    EXPECT_EQ(page.choice, 1);
    EXPECT_EQ(page.syncMarks, 1);
    EXPECT_EQ(page.colourCalibration, 1);
    EXPECT_EQ(std::string(page.profilePath), "/profiles/shop.wcl");
}

TEST_F(OptionDialogsTest, PrintOptionsPageSavesMarksAndLaysOutAgain) {
    Set("General", "MarkerDist", "2.5");
    design.AddRect(0, 0, 50, 30);
    design.copies = 4;
    design.gap = 0;
    engine->Attach(&design);
    engine->UpdateLayout(1);
    ASSERT_EQ(engine->columnsPerPage, 4); // no marks: 4 x 50 in 210
    engine->BuildPreviewBitmap(100, 100);
    const int builds = engine->previewBitmapBuilds;
    CPrintOptionsPage page(*engine);
    CPropertySheet sheet("Options");
    sheet.AddPage(&page);
    SetDialogScriptForClass("CPropertySheet", [&](HWND s) {
        HWND d = static_cast<CPropertySheet*>(CWnd::FromHandle(s))->GetActivePage()->m_hWnd;
        EXPECT_EQ(sdtest::TextOf(d, 2602), "2.5");
        sdtest::Type(d, 2602, "5");
        sdtest::Click(d, 2660); // crop marks: cells of 60
        EXPECT_EQ(engine->columnsPerPage, 3);
        EXPECT_EQ(engine->previewBitmapBuilds, builds); // marks do not redraw the picture
        sdtest::Click(d, 2646);                         // the detail does
        EXPECT_EQ(engine->previewBitmapBuilds, builds + 1);
        sdtest::Type(d, 2602, "150");
        EXPECT_FALSE(static_cast<CPropertySheet*>(CWnd::FromHandle(s))->PressButton(PSBTN_OK) &&
                     !::IsWindow(s));
        sdtest::Type(d, 2602, "5");
        static_cast<CPropertySheet*>(CWnd::FromHandle(s))->PressButton(PSBTN_OK);
    });
    AllowUnscriptedMessageBoxes();
    sheet.DoModal();
    char text[32];
    ::GetPrivateProfileStringA("General", "CropMarks", "", text, sizeof text, profile.c_str());
    EXPECT_STREQ(text, "1");
    ::GetPrivateProfileStringA("General", "MarkerDist", "", text, sizeof text, profile.c_str());
    EXPECT_STREQ(text, "5");
}
