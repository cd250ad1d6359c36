// The raster save options dialog on the program's template, worked as a user would.
#include <gtest/gtest.h>

#include <cstring>

#include <content/CBitmapSaveOptionsDlg.h>
#include <mfc/CWinApp.h>
#include <testing/DialogDriver.h>
#include <testing/PlatformTest.h>
#include <win32/controls.h>
#include <win32/module.h>

namespace {

class BitmapSaveOptionsDlgTest : public PlatformTest {
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
    // The dialog as the raster export opens it.
    static void ForExport(CBitmapSaveOptionsDlg& d, const char* extension, float w, float h,
                          const char* dpi) {
        d.extension = extension;
        d.width = w;
        d.height = h;
        d.resolution = dpi;
        d.bitsPerPixel = 24;
        d.sizeFollowsResolution = 1;
    }
    // The chosen format's name.
    static std::string Chosen(HWND hwnd) {
        char text[64] = "";
        const LRESULT i = ::SendDlgItemMessage(hwnd, IDC_BSO_FORMATS, LB_GETCURSEL, 0, 0);
        if (i >= 0)
            ::SendDlgItemMessage(hwnd, IDC_BSO_FORMATS, LB_GETTEXT, WPARAM(i), LPARAM(text));
        return text;
    }
    static int Checked(HWND hwnd) {
        static const int depths[6] = {1, 4, 8, 16, 24, 32};
        for (int i = 0; i < 6; ++i)
            if (::IsDlgButtonChecked(hwnd, IDC_BSO_DEPTH_1 + i)) return depths[i];
        return 0;
    }
    CWinApp app{"save options"};
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
};

} // namespace

TEST_F(BitmapSaveOptionsDlgTest, TheExtensionChoosesTheFormatWithoutCase) {
    struct Case {
        const char* extension;
        const char* format;
    } cases[] = {{"bmp", "Windows Bitmap"},
                 {"ica", "IBM IOCA (Raw)"},
                 {"TIF", "TIFF"},
                 {"Png", "Compuserve PNG"},
                 {"xyz", "KOVA"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        CBitmapSaveOptionsDlg d;
        ForExport(d, c.extension, 100, 50, "75");
        std::string shown;
        SetDialogScript(IDD_BITMAP_SAVE_OPTIONS, [&](HWND hwnd) {
            shown = Chosen(hwnd);
            sdtest::Click(hwnd, IDOK);
        });
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(shown, c.format);
        EXPECT_STRCASEEQ(d.extension, c.format == std::string("KOVA") ? "cmp" : c.extension);
    }
}

TEST_F(BitmapSaveOptionsDlgTest, DepthsFollowTheVariant) {
    CBitmapSaveOptionsDlg d;
    ForExport(d, "jpg", 100, 50, "75");
    SetDialogScript(IDD_BITMAP_SAVE_OPTIONS, [&](HWND hwnd) {
        EXPECT_EQ(Checked(hwnd), 24);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_DEPTH_1)));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_DEPTH_32)));
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_QUALITY)));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_PRESETS)));
        // CCITT Fax takes 1 bit only.
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "CCITT Fax");
        EXPECT_EQ(Checked(hwnd), 1);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_QUALITY)));
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_VARIANTS)));
        sdtest::Select(hwnd, IDC_BSO_VARIANTS, "Group 4");
        // Back to JPEG from 1 bit: the smallest depth above, 8.
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "JPEG");
        EXPECT_EQ(Checked(hwnd), 8);
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "Windows Bitmap");
        sdtest::Click(hwnd, IDC_BSO_DEPTH_16);
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "JPEG"); // 16 becomes 24
        EXPECT_EQ(Checked(hwnd), 24);
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "Windows Bitmap");
        sdtest::Click(hwnd, IDC_BSO_DEPTH_32);
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "JPEG"); // 32: the largest below, 24
        EXPECT_EQ(Checked(hwnd), 24);
        sdtest::Select(hwnd, IDC_BSO_VARIANTS, "JFIF 4:4:4");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.formatCode, 10);
    EXPECT_EQ(d.bitsPerPixel, 24);
    EXPECT_STREQ(d.extension, "jpg");
}

TEST_F(BitmapSaveOptionsDlgTest, SizesFollowTheResolutionAndTheOtherField) {
    CBitmapSaveOptionsDlg d;
    ForExport(d, "png", 100, 50, "254");
    SetDialogScript(IDD_BITMAP_SAVE_OPTIONS, [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_WIDTH), "1000");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_HEIGHT), "500");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_RESOLUTION), "254");
        sdtest::Type(hwnd, IDC_BSO_PIXEL_WIDTH, "2000");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_HEIGHT), "1000");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_RESOLUTION), "508");
        sdtest::Type(hwnd, IDC_BSO_PIXEL_HEIGHT, "250");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_WIDTH), "500");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_RESOLUTION), "127");
        sdtest::Select(hwnd, IDC_BSO_RESOLUTION, "50");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_WIDTH), "196"); // 100 / 0.508
        // A resolution that is no number keeps the sizes.
        sdtest::Type(hwnd, IDC_BSO_RESOLUTION, "abc");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_WIDTH), "196");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.pixelWidth, 196);
    EXPECT_EQ(d.pixelHeight, 98);
    EXPECT_EQ(d.formatCode, 75);
}

// Saving a bitmap object: its pixel sizes become the width and height, and a size of no
// pixels is refused.
TEST_F(BitmapSaveOptionsDlgTest, ZeroSizesAndBadQualitiesAreRefused) {
    CBitmapSaveOptionsDlg d;
    d.extension = "bmp";
    d.resolution = "150";
    d.pixelWidth = 0;
    d.pixelHeight = 40;
    d.bitsPerPixel = 8;
    d.sizeFollowsResolution = 0;
    SetDialogScript(IDD_BITMAP_SAVE_OPTIONS, [&](HWND hwnd) {
        // Width 0: typing a height changes nothing (no division by it).
        sdtest::Type(hwnd, IDC_BSO_PIXEL_HEIGHT, "80");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_PIXEL_WIDTH), "0");
        sdtest::Click(hwnd, IDOK); // under a pixel: refused
        EXPECT_TRUE(::IsWindow(hwnd));
        sdtest::Type(hwnd, IDC_BSO_PIXEL_WIDTH, "30");
        sdtest::Select(hwnd, IDC_BSO_FORMATS, "JPEG");
        sdtest::Type(hwnd, IDC_BSO_QUALITY, "300");
        sdtest::Click(hwnd, IDOK); // out of range: refused
        EXPECT_TRUE(::IsWindow(hwnd));
        sdtest::Type(hwnd, IDC_BSO_QUALITY, "40");
        ::SendMessage(hwnd, WM_HSCROLL, SB_PAGERIGHT,
                      LPARAM(::GetDlgItem(hwnd, IDC_BSO_QUALITY_SCROLL)));
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_QUALITY), "50");
        ::SendMessage(hwnd, WM_HSCROLL, SB_RIGHT,
                      LPARAM(::GetDlgItem(hwnd, IDC_BSO_QUALITY_SCROLL)));
        ::SendMessage(hwnd, WM_HSCROLL, SB_LINERIGHT,
                      LPARAM(::GetDlgItem(hwnd, IDC_BSO_QUALITY_SCROLL)));
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_BSO_QUALITY), "255");
        sdtest::Click(hwnd, IDOK);
    });
    PushMessageBoxAnswer(IDOK);
    PushMessageBoxAnswer(IDOK);
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.pixelWidth, 30);
    EXPECT_EQ(d.quality, 255);
    EXPECT_EQ(d.formatCode, 21);
    EXPECT_EQ(MessageBoxLog().size(), 2u);
}

TEST_F(BitmapSaveOptionsDlgTest, PresetsOfTheOwnFormat) {
    struct Case {
        int depthButton;
        const char* preset;
        int code, quality;
    } cases[] = {{IDC_BSO_DEPTH_1, "KOVA_1", 26, 1},
                 {IDC_BSO_DEPTH_24, "QS", 20, -5},
                 {IDC_BSO_DEPTH_8, "Custom", 20, 77}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preset);
        CBitmapSaveOptionsDlg d;
        ForExport(d, "cmp", 100, 50, "75");
        SetDialogScript(IDD_BITMAP_SAVE_OPTIONS, [&](HWND hwnd) {
            sdtest::Click(hwnd, c.depthButton);
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_PRESETS)));
            sdtest::Select(hwnd, IDC_BSO_PRESETS, c.preset);
            if (c.quality == 77)
                sdtest::Type(hwnd, IDC_BSO_QUALITY, "77");
            else
                EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BSO_QUALITY)));
            sdtest::Click(hwnd, IDOK);
        });
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(d.formatCode, c.code);
        EXPECT_EQ(d.quality, c.quality);
    }
}
