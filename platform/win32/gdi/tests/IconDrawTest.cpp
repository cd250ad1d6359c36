// Icons drawn over a coloured background and read back by pixels: mask, XOR and alpha images
// from resource modules, stretched and partial draws, the system's icons, damaged resources,
// and icon statics.

#include <gtest/gtest.h>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "win32/controls.h"
#include "win32/icon.h"
#include "win32/module.h"
#include "win32/nls.h"
#include "win32/resource.h"
#include "win32/user.h"
#include "win32/userdraw.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace icon_draw_test {

constexpr COLORREF bg = RGB(10, 20, 200);
constexpr COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255),
                   white = RGB(255, 255, 255), black = RGB(0, 0, 0);
constexpr COLORREF xorYellow = RGB(245, 235, 200); // bg XOR (255, 255, 0)

class IconDrawTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = LoadLibraryA("gdi-test-res.dll");
        ASSERT_NE(module, nullptr);
        canvas.Clear(bg);
    }
    void TearDown() override {
        FreeLibrary(module);
        PlatformTest::TearDown();
        SdGdiResetTesting();
    }
    HICON Own(int id, int cx = 0, int cy = 0) {
        return static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(WORD(id)), IMAGE_ICON, cx, cy, 0));
    }
    // The rows of a w x h area at (x, y) as the colours' letters.
    std::vector<std::string> Rows(int x, int y, int w, int h) {
        const SdGdiImage img = canvas.Read();
        std::vector<std::string> rows;
        for (int j = 0; j < h; ++j) {
            std::string row;
            for (int i = 0; i < w; ++i) {
                const COLORREF c = img.at(x + i, y + j);
                row += c == bg          ? '.'
                       : c == red       ? 'r'
                       : c == green     ? 'g'
                       : c == blue      ? 'b'
                       : c == white     ? 'w'
                       : c == black     ? 'k'
                       : c == xorYellow ? 'x'
                                        : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }
    HMODULE module = nullptr;
    DibCanvas canvas{40, 40};
};

using Lines = std::vector<std::string>;

TEST_F(IconDrawTest, MaskedImagesKeepTheBackgroundAndXorWhereTheMaskIsSet) {
    // The icon file, its group directory with an RT_ICON image: the same picture.
    for (int id : {30, 41}) {
        canvas.Clear(bg);
        HICON icon = Own(id);
        ASSERT_NE(icon, nullptr) << id;
        EXPECT_TRUE(DrawIcon(canvas.dc, 3, 5, icon)) << id;
        EXPECT_EQ(Rows(2, 4, 6, 6),
                  (Lines{"......", ".rgb..", ".wk.x.", ".rrrr.", "......", "......"}))
            << id;
        EXPECT_TRUE(DestroyIcon(icon));
    }
    // Stretched to twice its size, each pixel becomes two by two.
    canvas.Clear(bg);
    HICON icon = Own(30);
    EXPECT_TRUE(DrawIconEx(canvas.dc, 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(Rows(0, 0, 8, 8), (Lines{"rrggbb..", "rrggbb..", "wwkk..xx", "wwkk..xx", "rrrrrrrr",
                                       "rrrrrrrr", "........", "........"}));
    // The mask alone blackens what the icon covers; the image alone is copied, background and all.
    canvas.Clear(bg);
    EXPECT_TRUE(DrawIconEx(canvas.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
    EXPECT_TRUE(DrawIconEx(canvas.dc, 10, 0, icon, 0, 0, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(Rows(0, 0, 4, 4), (Lines{"kkk.", "kk..", "kkkk", "...."}));
    EXPECT_EQ(Rows(10, 0, 4, 4), (Lines{"rgbk", "wkk?", "rrrr", "kkkk"}));
    EXPECT_EQ(canvas.Read().at(13, 1), RGB(255, 255, 0));
    // A brush fills the icon's box first.
    HBRUSH brush = CreateSolidBrush(white);
    EXPECT_TRUE(DrawIconEx(canvas.dc, 20, 0, icon, 0, 0, 0, brush, DI_NORMAL));
    DeleteObject(brush);
    EXPECT_EQ(Rows(20, 0, 4, 4), (Lines{"rgbw", "wkwb", "rrrr", "wwww"})); // white XOR yellow
    DestroyIcon(icon);
}

TEST_F(IconDrawTest, AlphaImagesBlendOverTheBackground) {
    // Asked for 2 x 2, the 32-bit image of the file is chosen.
    HICON icon = Own(30, 2, 2);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(DrawIcon(canvas.dc, 1, 1, icon));
    const SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(1, 1), red);              // alpha 255
    EXPECT_EQ(img.at(2, 1), bg);               // alpha 0
    EXPECT_EQ(img.at(1, 2), RGB(5, 10, 228));  // blue at 128
    EXPECT_EQ(img.at(2, 2), RGB(71, 79, 214)); // white at 64
    EXPECT_EQ(img.at(3, 1), bg);
    DestroyIcon(icon);
}

TEST_F(IconDrawTest, LoadedIconsTakeTheirSizeAndDrawClipped) {
    // LoadIcon's icons are of the system's size: the 4 x 4 image stretched to 32 x 32.
    HICON shared = LoadIconA(module, MAKEINTRESOURCEA(30));
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(30)), shared);
    EXPECT_TRUE(DrawIcon(canvas.dc, 0, 0, shared));
    EXPECT_EQ(Rows(0, 0, 1, 1)[0], "r");
    EXPECT_EQ(Rows(7, 7, 2, 1)[0], "rg");
    EXPECT_EQ(Rows(24, 8, 8, 1)[0], "xxxxxxxx");
    EXPECT_EQ(Rows(0, 31, 1, 2), (Lines{".", "."}));
    EXPECT_EQ(Rows(32, 0, 1, 1)[0], ".");
    EXPECT_TRUE(DestroyIcon(shared)); // shared: it stays
    EXPECT_TRUE(DrawIcon(canvas.dc, 0, 0, shared));
    // DI_DEFAULTSIZE with no size given: the system's size for an icon of its own.
    canvas.Clear(bg);
    HICON own = Own(30);
    EXPECT_TRUE(DrawIconEx(canvas.dc, 0, 0, own, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE));
    EXPECT_EQ(Rows(31, 23, 1, 1)[0], "r");
    // Partly outside the surface and outside a clip: only what shows is drawn.
    canvas.Clear(bg);
    HRGN clip = CreateRectRgn(0, 0, 2, 40);
    SelectClipRgn(canvas.dc, clip);
    DeleteObject(clip);
    EXPECT_TRUE(DrawIcon(canvas.dc, -1, 38, own));
    EXPECT_EQ(Rows(0, 37, 3, 3), (Lines{"...", "gb.", "k.."}));
    SelectClipRgn(canvas.dc, nullptr);
    EXPECT_TRUE(DestroyIcon(own));
    EXPECT_FALSE(DestroyIcon(own));
    EXPECT_FALSE(DrawIcon(canvas.dc, 0, 0, own));
    EXPECT_FALSE(DrawIcon(canvas.dc, 0, 0, nullptr));
}

TEST_F(IconDrawTest, DamagedIconsDrawNothing) {
    for (int id : {43, 44, 45}) {
        canvas.Clear(bg);
        HICON icon = LoadIconA(module, MAKEINTRESOURCEA(WORD(id)));
        ASSERT_NE(icon, nullptr) << id; // the resource is there
        EXPECT_FALSE(DrawIcon(canvas.dc, 0, 0, icon)) << id;
        EXPECT_EQ(countColor(canvas.Read(), bg), 40 * 40) << id;
        EXPECT_EQ(LoadImageA(module, MAKEINTRESOURCEA(WORD(id)), IMAGE_ICON, 0, 0, 0), nullptr)
            << id;
    }
    EXPECT_EQ(LoadImageA(module, MAKEINTRESOURCEA(99), IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadImageA(module, "x.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST_F(IconDrawTest, SystemIconsShowTheirClassicPictures) {
    struct Case {
        LPCSTR id;
        POINT fill;
        COLORREF colour;
        POINT mark;
        COLORREF markColour;
    };
    const Case cases[] = {
        {IDI_HAND, {16, 5}, red, {16, 16}, white},                     // white cross
        {IDI_EXCLAMATION, {3, 29}, RGB(255, 255, 0), {15, 12}, black}, // black "!"
        {IDI_QUESTION, {4, 13}, white, {13, 5}, blue},                 // blue "?"
        {IDI_ASTERISK, {4, 13}, white, {14, 5}, blue},                 // blue "i"
        {IDI_APPLICATION, {10, 20}, white, {10, 6}, RGB(0, 0, 128)},   // title bar
    };
    for (const Case& c : cases) {
        canvas.Clear(bg);
        HICON icon = LoadIconA(nullptr, c.id);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(SdIconId(icon), UINT(reinterpret_cast<UINT_PTR>(c.id)));
        EXPECT_TRUE(DrawIcon(canvas.dc, 0, 0, icon));
        const SdGdiImage img = canvas.Read();
        const UINT id = SdIconId(icon);
        EXPECT_EQ(img.at(0, 0), bg) << id; // corners show the background
        EXPECT_EQ(img.at(31, 0), bg) << id;
        EXPECT_EQ(img.at(int(c.fill.x), int(c.fill.y)), c.colour) << id;
        EXPECT_EQ(img.at(int(c.mark.x), int(c.mark.y)), c.markColour) << id;
        EXPECT_EQ(img.at(32, 16), bg) << id;
    }
    // The stop sign's rim is black: the top-most pixel of the disc.
    canvas.Clear(bg);
    DrawIcon(canvas.dc, 0, 0, LoadIconA(nullptr, IDI_ERROR));
    EXPECT_EQ(Rows(16, 0, 1, 2), (Lines{".", "k"}));
}

TEST_F(IconDrawTest, IconStaticsLoadTheirIconByNameAndPaintIt) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    wc.lpszClassName = "IconDrawPanel";
    RegisterClassA(&wc);
    HWND panel = CreateWindowExA(0, "IconDrawPanel", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND icon = CreateWindowExA(0, "Static", "#30", WS_CHILD | WS_VISIBLE | SS_ICON, 2, 3, 5, 5,
                                panel, nullptr, module, nullptr);
    ASSERT_NE(icon, nullptr);
    // The static takes the icon's size.
    RECT r{};
    GetWindowRect(icon, &r);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)),
              LoadIconA(module, MAKEINTRESOURCEA(30)));
    canvas.Clear(bg);
    ASSERT_TRUE(PrintWindow(panel, canvas.dc, 0));
    const SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(2, 3), red);
    EXPECT_EQ(img.at(2 + 31, 3), GetSysColor(COLOR_3DFACE)); // transparent: the panel's face
    EXPECT_EQ(img.at(1, 3), GetSysColor(COLOR_3DFACE));
    DestroyWindow(panel);
}

} // namespace icon_draw_test
