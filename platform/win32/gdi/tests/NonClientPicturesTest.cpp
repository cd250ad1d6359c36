// Window edges in pictures: a top-level window's menu bar, a floating child's frame and
// caption, client edges and scroll bars with the size box.

#include <gtest/gtest.h>

#include "GdiFixture.h"
#include "testing/PlatformTest.h"
#include "win32/NonClient.h"
#include "win32/menu.h"
#include "win32/nls.h"
#include "win32/user.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace non_client_pictures_test {

COLORREF sys(int index) {
    return GetSysColor(index);
}

class NonClientPicturesTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "NonClientPicture";
        RegisterClassA(&wc);
    }
    void TearDown() override {
        PlatformTest::TearDown();
        SdGdiResetTesting();
    }
    HWND Make(DWORD style, DWORD exStyle, HWND parent, RECT r, const char* title = "") {
        return CreateWindowExA(exStyle, "NonClientPicture", title, style | WS_VISIBLE, int(r.left),
                               int(r.top), int(r.right - r.left), int(r.bottom - r.top), parent,
                               nullptr, nullptr, nullptr);
    }
    SdGdiImage Picture(HWND hwnd, int w, int h) {
        DibCanvas canvas(w, h);
        canvas.Clear(RGB(1, 2, 3));
        EXPECT_TRUE(PrintWindow(hwnd, canvas.dc, 0));
        return canvas.Read();
    }
    static int Count(const SdGdiImage& img, RECT r, COLORREF c) {
        int n = 0;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                n += img.at(int(x), int(y)) == c;
        return n;
    }
};

TEST_F(NonClientPicturesTest, MenuBarCaptionFramesEdgesAndScrollBars) {
    HWND frame = Make(WS_OVERLAPPEDWINDOW, 0, nullptr, RECT{0, 0, 320, 240}, "Signs");
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "&File");
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 2, "&Edit");
    SetMenu(frame, menu);
    HWND tool = Make(WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW, frame,
                     RECT{10, 10, 150, 100}, "Tools");
    HWND pane =
        Make(WS_CHILD | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, frame, RECT{160, 10, 300, 150});
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 99, 20, 0, 0};
    SetScrollInfo(pane, SB_VERT, &info, TRUE);
    SetScrollInfo(pane, SB_HORZ, &info, TRUE);
    SetFocus(tool);
    SdGdiImage img = Picture(frame, 320, 240);
    const int menuHeight = GetSystemMetrics(SM_CYMENU);

    // The menu bar: the menu colour, "File" in the menu text, "Edit" etched grey.
    EXPECT_EQ(img.at(200, 2), sys(COLOR_MENU));
    EXPECT_GT(Count(img, RECT{0, 0, 40, menuHeight}, sys(COLOR_MENUTEXT)), 15);
    EXPECT_GT(Count(img, RECT{40, 0, 80, menuHeight}, sys(COLOR_GRAYTEXT)), 10);
    EXPECT_EQ(Count(img, RECT{40, 0, 80, menuHeight}, sys(COLOR_MENUTEXT)), 0);
    EXPECT_EQ(img.at(5, menuHeight + 5), sys(COLOR_WINDOW)); // the client area below

    // The tool window (client origin at 0, menuHeight): raised sizing frame, active caption
    // (it has the focus) with the close button at its right.
    const int tx = 10, ty = menuHeight + 10;
    EXPECT_EQ(img.at(tx, ty + 50), sys(COLOR_3DLIGHT));
    EXPECT_EQ(img.at(tx + 139, ty + 50), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.at(tx + 3, ty + 50), sys(COLOR_ACTIVEBORDER));
    const SdNonClientLayout l = SdGetNonClientLayout(tool);
    EXPECT_EQ(img.at(tx + l.caption.left + 60, ty + l.caption.top + 1), sys(COLOR_ACTIVECAPTION));
    EXPECT_GT(Count(img,
                    RECT{tx + l.caption.left, ty + l.caption.top, tx + 60, ty + l.caption.bottom},
                    sys(COLOR_CAPTIONTEXT)),
              10);
    EXPECT_EQ(img.at(tx + l.closeButton.left, ty + l.closeButton.top), sys(COLOR_3DHILIGHT));
    EXPECT_GT(Count(img,
                    RECT{tx + l.closeButton.left, ty + l.closeButton.top, tx + l.closeButton.right,
                         ty + l.closeButton.bottom},
                    sys(COLOR_BTNTEXT)),
              8);
    // Without the focus the caption is the inactive one.
    SetFocus(nullptr);
    img = Picture(frame, 320, 240);
    EXPECT_EQ(img.at(tx + l.caption.left + 60, ty + l.caption.top + 1), sys(COLOR_INACTIVECAPTION));

    // The pane: sunken client edge, its bars inside it, the size box between them.
    const int px = 160, py = menuHeight + 10;
    EXPECT_EQ(img.at(px, py + 50), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(px + 1, py + 50), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.at(px + 139, py + 50), sys(COLOR_3DHILIGHT));
    const SdNonClientLayout p = SdGetNonClientLayout(pane);
    EXPECT_EQ(p.vscroll.right, 138);
    EXPECT_EQ(img.at(px + p.vscroll.left, py + p.vscroll.top),
              sys(COLOR_3DHILIGHT)); // the up arrow
    EXPECT_EQ(img.at(px + p.sizeBox.left + 2, py + p.sizeBox.top + 2), sys(COLOR_3DFACE));
    EXPECT_EQ(img.at(px + 10, py + 10), sys(COLOR_WINDOW));
}

} // namespace non_client_pictures_test

namespace non_client_pictures_test {

// A procedure with its own non-client area: 8 pixels on the left, 4 at the top, none else.
// It paints its client area red; the strips stay as the non-client painting leaves them.
LRESULT CALLBACK ownAreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCALCSIZE) {
        RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                         : reinterpret_cast<RECT*>(lParam);
        r->left += 8;
        r->top += 4;
        return 0;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client{};
        GetClientRect(hwnd, &client);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &client, red);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(NonClientPicturesTest, AProceduresOwnClientAreaIsWhereItAndItsChildrenPaint) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ownAreaProc;
    wc.lpszClassName = "OwnAreaPicture";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "OwnAreaPicture", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    HWND child = Make(WS_CHILD, 0, w, RECT{0, 0, 5, 5});
    ASSERT_NE(child, nullptr);
    const SdGdiImage img = Picture(w, 40, 30);
    const COLORREF red = RGB(255, 0, 0), window = sys(COLOR_WINDOW);
    EXPECT_EQ(Count(img, RECT{0, 0, 40, 30}, red), 32 * 26 - 25);
    EXPECT_EQ(img.at(13, 4), red);
    EXPECT_EQ(img.at(39, 29), red);
    EXPECT_NE(img.at(7, 10), red);
    EXPECT_NE(img.at(20, 3), red);
    EXPECT_EQ(img.at(8, 4), window); // the child at the client's origin
    EXPECT_EQ(img.at(12, 8), window);
    EXPECT_EQ(img.at(13, 9), red);
}

} // namespace non_client_pictures_test
