// A dialog made from a template holding every kind of control, shown headless and read back
// through PrintWindow: checked at hand-chosen pixels, and pixel for pixel against its
// reference picture (tests/data/dialog-look.png; SD_UPDATE_PICTURES=1 writes it anew).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <png.h>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "win32/ResourceBuilder.h"
#include "win32/controls.h"
#include "win32/dialog.h"
#include "win32/user.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace dialog_picture_test {

constexpr WORD IDC_NAME = 10, IDC_LIST = 11, IDC_COMBO = 12, IDC_CHECK = 13, IDC_RADIO = 14,
               IDC_OFF = 15;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return FALSE;
    SetDlgItemTextA(dialog, IDC_NAME, "Shop front");
    HWND list = GetDlgItem(dialog, IDC_LIST);
    for (const char* s : {"Vinyl", "Paper", "Film"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    HWND combo = GetDlgItem(dialog, IDC_COMBO);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Cutter"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dialog, IDC_CHECK, BST_CHECKED);
    CheckDlgButton(dialog, IDC_RADIO, BST_CHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_OFF), FALSE);
    return TRUE; // the focus to the first control: the name field
}

std::string referencePath() {
    return std::string(SD_TEST_DATA) + "/dialog-look.png";
}

bool writePng(const std::string& path, const SdGdiImage& img) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(img.width), png_uint_32(img.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(std::size_t(img.width) * 3);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const COLORREF c = img.at(x, y);
            row[std::size_t(x) * 3] = GetRValue(c);
            row[std::size_t(x) * 3 + 1] = GetGValue(c);
            row[std::size_t(x) * 3 + 2] = GetBValue(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// The picture as RGB values, or an empty image when it cannot be read.
SdGdiImage readPng(const std::string& path) {
    SdGdiImage img;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return img;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return img;
    img.width = int(image.width);
    img.height = int(image.height);
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3)
        img.pixels.push_back(RGB(bytes[i], bytes[i + 1], bytes[i + 2]));
    return img;
}

class DialogPictureTest : public PlatformTest {
protected:
    void TearDown() override {
        PlatformTest::TearDown();
        SdGdiResetTesting();
    }
};

TEST_F(DialogPictureTest, EveryControlKindInADialog) {
    sdrc::Bytes t =
        sdrc::dialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE, 0, 0, 0, 160, 100, nullptr,
                     "Sign", 0, nullptr,
                     {
                         {WS_VISIBLE | SS_LEFT, 0, 6, 8, 30, 8, 0xFFFF, "Static", "&Name:"},
                         {WS_VISIBLE | ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, WS_EX_CLIENTEDGE,
                          40, 6, 70, 12, IDC_NAME, "Edit", ""},
                         {WS_VISIBLE | BS_GROUPBOX, 0, 6, 22, 70, 44, 0xFFFF, "Button", "Material"},
                         {WS_VISIBLE | LBS_NOTIFY | WS_TABSTOP, WS_EX_CLIENTEDGE, 12, 32, 58, 30,
                          IDC_LIST, "ListBox", ""},
                         {WS_VISIBLE | CBS_DROPDOWNLIST | WS_TABSTOP, 0, 82, 24, 70, 14, IDC_COMBO,
                          "ComboBox", ""},
                         {WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 82, 42, 70, 10, IDC_CHECK,
                          "Button", "&Weed"},
                         {WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 82, 54, 70,
                          10, IDC_RADIO, "Button", "&Mirror"},
                         {WS_VISIBLE | SBS_HORZ, 0, 6, 70, 146, 8, 0xFFFF, "ScrollBar", ""},
                         {WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, 46, 82, 50, 14,
                          IDOK, "Button", "OK"},
                         {WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0, 102, 82, 50, 14, IDC_OFF,
                          "Button", "Cancel"},
                     });
    HWND dialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                             nullptr, dialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    RECT r{};
    GetWindowRect(dialog, &r);
    ASSERT_EQ(r.right - r.left, 240); // 160 dialog units of 6 / 4
    DibCanvas canvas(int(r.right - r.left), int(r.bottom - r.top));
    canvas.Clear(RGB(1, 2, 3));
    ASSERT_TRUE(PrintWindow(dialog, canvas.dc, 0));
    const SdGdiImage img = canvas.Read();

    // Properties that hold whatever the picture: the dialog's face, the default button's
    // black frame, the focused field's selected text, the checked box's mark.
    EXPECT_EQ(img.at(2, 2), GetSysColor(COLOR_3DFACE));
    RECT ok{};
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    EXPECT_EQ(img.at(int(ok.left - r.left), int(ok.top - r.top)), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NAME));
    EXPECT_GT(countColor(img, GetSysColor(COLOR_HIGHLIGHT)), 100);
    RECT check{};
    GetWindowRect(GetDlgItem(dialog, IDC_CHECK), &check);
    EXPECT_EQ(img.at(int(check.left - r.left) + 6, int(check.top - r.top) + 8),
              GetSysColor(COLOR_WINDOWTEXT));

    if (const char* update = std::getenv("SD_UPDATE_PICTURES"); update && *update == '1') {
        ASSERT_TRUE(writePng(referencePath(), img));
        return;
    }
    const SdGdiImage reference = readPng(referencePath());
    ASSERT_EQ(reference.width, img.width) << referencePath();
    ASSERT_EQ(reference.height, img.height);
    int different = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (img.at(x, y) != reference.at(x, y) && different++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " differs from the reference";
    EXPECT_EQ(different, 0);
}

} // namespace dialog_picture_test
