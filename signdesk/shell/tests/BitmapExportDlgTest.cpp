// The bitmap export dialog on the program's template: resolution and pixel sizes follow one
// another as the user edits any of them.

#include <gtest/gtest.h>

#include <mfc/afx.h>
#include <win32/module.h>

#include "shell/CBitmapExportDlg.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"

namespace {

class BitmapExportDlgTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
    }
    void TearDown() override {
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        PlatformTest::TearDown();
    }
    HINSTANCE module = nullptr;
    HINSTANCE previous = nullptr;
};

} // namespace

TEST_F(BitmapExportDlgTest, SizesFollowEachOther) {
    CBitmapExportDlg dialog;
    dialog.m_fWidthMM = 100;
    dialog.m_fHeightMM = 50;
    SetDialogScript(IDD_BITMAP_EXPORT, [](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_WIDTH), "1181");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_HEIGHT), "590");
        EXPECT_EQ(::SendDlgItemMessageA(hwnd, IDC_EXPORT_RESOLUTION, CB_GETCOUNT, 0, 0), 10);

        sdtest::Select(hwnd, IDC_EXPORT_RESOLUTION, "100");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_RESOLUTION), "100");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_WIDTH), "393");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_HEIGHT), "196");

        sdtest::Type(hwnd, IDC_EXPORT_PIXEL_WIDTH, "2000");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_HEIGHT), "1000");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_RESOLUTION), "508");

        sdtest::Type(hwnd, IDC_EXPORT_PIXEL_HEIGHT, "300");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_WIDTH), "600");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_RESOLUTION), "152.4");

        // A typed resolution of 0 gives no sizes: they stay as they were.
        sdtest::Type(hwnd, IDC_EXPORT_RESOLUTION, "0");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_WIDTH), "600");
        sdtest::Type(hwnd, IDC_EXPORT_RESOLUTION, "300");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_WIDTH), "1181");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nPixelWidth, 1181u);
    EXPECT_EQ(dialog.m_nPixelHeight, 590u);
    EXPECT_EQ(dialog.m_strResolution, CString("300"));
}

TEST_F(BitmapExportDlgTest, OkRefusesSizesOutsideTheRange) {
    for (const char* width : {"0", "32768"}) {
        const size_t boxes = MessageBoxLog().size();
        CBitmapExportDlg dialog;
        dialog.m_fWidthMM = 10;
        dialog.m_fHeightMM = 10;
        SetDialogScript(IDD_BITMAP_EXPORT, [&](HWND hwnd) {
            // Typed straight into the field: the height does not follow.
            ::SetDlgItemTextA(hwnd, IDC_EXPORT_PIXEL_WIDTH, width);
            PushMessageBoxAnswer(IDOK);
            sdtest::Click(hwnd, IDOK);
            EXPECT_TRUE(::IsWindowVisible(hwnd)) << width;
            sdtest::Click(hwnd, IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(MessageBoxLog().size(), boxes + 1) << width;
    }
    // A side of 0 mm gives no ratio: typing a width leaves the height alone.
    CBitmapExportDlg line;
    line.m_fWidthMM = 100;
    line.m_fHeightMM = 0;
    SetDialogScript(IDD_BITMAP_EXPORT, [](HWND hwnd) {
        sdtest::Type(hwnd, IDC_EXPORT_PIXEL_WIDTH, "500");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_EXPORT_PIXEL_HEIGHT), "0");
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(line.DoModal(), IDCANCEL);
}
