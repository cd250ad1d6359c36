// What the window layer asks of the drawing layer: scrolled pixels, a window composed with
// its children and scroll bars, and bitmaps from resource modules.

#include <gtest/gtest.h>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "win32/controls.h"
#include "win32/module.h"
#include "win32/nls.h"
#include "win32/user.h"

namespace {

class WindowPicturesTest : public PlatformTest {
protected:
    void TearDown() override {
        PlatformTest::TearDown();
        SdGdiResetTesting();
    }
    // Windows of a class that paints nothing itself, so that the tests' own pixels stay.
    HWND Make(DWORD style, HWND parent, RECT r) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "PictureTestWindow";
        RegisterClassA(&wc); // once; later calls find it registered
        return CreateWindowExA(0, "PictureTestWindow", "", style, int(r.left), int(r.top),
                               int(r.right - r.left), int(r.bottom - r.top), parent, nullptr,
                               nullptr, nullptr);
    }
    static void Fill(HWND hwnd, RECT r, COLORREF c) {
        HDC dc = GetDC(hwnd);
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc, &r, b);
        DeleteObject(b);
        ReleaseDC(hwnd, dc);
    }
};

constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF blue = RGB(0, 0, 255);

TEST_F(WindowPicturesTest, ScrollingMovesPixelsWithinTheClipOnly) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 12, 3});
    Fill(w, RECT{0, 0, 12, 3}, white);
    Fill(w, RECT{6, 0, 7, 3}, red);
    Fill(w, RECT{9, 0, 10, 3}, red);
    ScrollWindowEx(w, -4, 0, nullptr, nullptr, nullptr, nullptr, 0);
    // The uncovered strip (columns 8 to 11) keeps its old pixels until it is repainted.
    EXPECT_EQ(mask(SdGdiReadWindow(w), red)[1], "..#..#...#..");
    Fill(w, RECT{0, 0, 12, 3}, white);
    Fill(w, RECT{6, 0, 7, 3}, red);
    RECT clip{0, 0, 4, 3};
    ScrollWindowEx(w, -4, 0, nullptr, &clip, nullptr, nullptr, 0);
    EXPECT_EQ(mask(SdGdiReadWindow(w), red)[1], "..#...#....."); // only the clip is written
    Fill(w, RECT{0, 0, 1, 1}, blue);
    RECT area{0, 0, 12, 2};
    ScrollWindowEx(w, 0, 1, &area, nullptr, nullptr, nullptr, 0);
    auto rows = mask(SdGdiReadWindow(w), blue);
    EXPECT_EQ(rows[0], "#...........");
    EXPECT_EQ(rows[1], "#...........");
    EXPECT_EQ(rows[2], "............"); // outside the area: untouched
}

TEST_F(WindowPicturesTest, PrintWindowComposesChildrenInZOrderWithTheScrollBars) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 200, 400, 280});
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 299, 100, 0, 0};
    SetScrollInfo(top, SB_HORZ, &info, TRUE);
    Fill(top, RECT{0, 0, 100, 64}, white);
    HWND below = Make(WS_CHILD | WS_VISIBLE, top, RECT{10, 10, 30, 30});
    HWND above = Make(WS_CHILD | WS_VISIBLE, top, RECT{20, 20, 130, 40}); // made later: on top
    HWND hidden = Make(WS_CHILD, top, RECT{50, 0, 60, 10});
    Fill(below, RECT{0, 0, 20, 20}, red);
    Fill(above, RECT{0, 0, 110, 20}, blue);
    Fill(hidden, RECT{0, 0, 10, 10}, red);
    SetWindowPos(above, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DibCanvas canvas(100, 80);
    canvas.Clear(RGB(1, 2, 3));
    ASSERT_TRUE(PrintWindow(top, canvas.dc, 0));
    SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(5, 5), white);
    EXPECT_EQ(img.at(15, 15), red);
    EXPECT_EQ(img.at(25, 25), blue); // the top child over the lower one
    EXPECT_EQ(img.at(99, 25), blue); // clipped to the parent's client area
    EXPECT_EQ(img.at(55, 5), white); // a hidden child is not drawn
    // The bar along the bottom: arrow boxes in the face colour with their arrows, the
    // track's pattern beside them.
    EXPECT_EQ(img.at(2, 72), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(img.at(7, 71), RGB(0, 0, 0)); // the left arrow's tip
    EXPECT_EQ(img.at(0, 64), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(img.at(99, 79), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_NE(img.at(50, 72), img.at(51, 72)); // the 50 % pattern
    EXPECT_FALSE(PrintWindow(reinterpret_cast<HWND>(0x77), canvas.dc, 0));
}

TEST_F(WindowPicturesTest, BitmapsLoadFromPackedDibsAndBmpFilesAndRefuseShortData) {
    HMODULE module = LoadLibraryA("gdi-test-res.dll");
    ASSERT_NE(module, nullptr);
    for (int id : {1, 2}) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(WORD(id)));
        ASSERT_NE(bitmap, nullptr) << id;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), red) << id;
        EXPECT_EQ(GetPixel(dc, 1, 0), white) << id;
        EXPECT_EQ(GetPixel(dc, 0, 1), blue) << id;
        EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0)) << id;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(3)), nullptr);
    EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(4)), nullptr);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    FreeLibrary(module);
}

} // namespace

namespace {

TEST_F(WindowPicturesTest, MappedBitmapsTakeTheMapsColours) {
    HMODULE module = LoadLibraryA("gdi-test-res.dll");
    ASSERT_NE(module, nullptr);
    auto pixels = [](HBITMAP bitmap) {
        std::vector<COLORREF> out;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                out.push_back(GetPixel(dc, x, y));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return out;
    };
    // Without a map the greys of a colour table become the button colours.
    HBITMAP standard = CreateMappedBitmap(module, 5, 0, nullptr, 0);
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(pixels(standard),
              (std::vector<COLORREF>{GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
                                     GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNSHADOW)}));
    // A map of its own on the pixels of a picture without a table; other colours stay.
    COLORMAP map[2] = {{RGB(255, 0, 0), RGB(255, 255, 0)}, {RGB(0, 0, 255), RGB(1, 2, 3)}};
    HBITMAP mapped = CreateMappedBitmap(module, 1, 0, map, 2);
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(pixels(mapped),
              (std::vector<COLORREF>{RGB(255, 255, 0), white, RGB(1, 2, 3), RGB(0, 255, 0)}));
    EXPECT_EQ(CreateMappedBitmap(module, 3, 0, nullptr, 0), nullptr);
    EXPECT_EQ(CreateMappedBitmap(nullptr, 1, 0, nullptr, 0), nullptr);
    FreeLibrary(module);
}

} // namespace
