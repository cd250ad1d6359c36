// A window's menu bar worked with keys and mouse as a user would, and the pictures of the
// bar and of an open popup.

#include <gtest/gtest.h>

#include "GdiFixture.h"
#include "testing/InputDriver.h"
#include "testing/PlatformTest.h"
#include "win32/WindowLook.h"
#include "win32/menu.h"
#include "win32/nls.h"
#include "win32/user.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace menu_look_test {

COLORREF sys(int index) {
    return GetSysColor(index);
}

constexpr UINT MN_GETHMENU = 0x01E1;

std::vector<UINT> g_messages;
std::vector<WORD> g_commands;

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) g_commands.push_back(LOWORD(wParam));
    if (msg == WM_INITMENU || msg == WM_INITMENUPOPUP) g_messages.push_back(msg);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class MenuLookTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        g_messages.clear();
        g_commands.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = frameProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "MenuLookFrame";
        RegisterClassA(&wc);
        file = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, 101, "&New\tCtrl+N");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_STRING | MF_CHECKED, 102, "&Open...");
        recent = CreatePopupMenu();
        AppendMenuA(recent, MF_STRING, 111, "&1 Shop.sgn");
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
        AppendMenuA(file, MF_STRING | MF_GRAYED, 103, "E&xit");
        HMENU edit = CreatePopupMenu();
        AppendMenuA(edit, MF_STRING, 201, "&Undo");
        bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
        AppendMenuA(bar, MF_STRING, 301, "&Help");
        frame = CreateWindowExA(0, "MenuLookFrame", "Signs", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                100, 320, 200, nullptr, bar, nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        SetFocus(frame);
    }
    void TearDown() override {
        SdEndMenuTracking();
        PlatformTest::TearDown();
        SdGdiResetTesting();
    }
    // The popup that has the keys, or null.
    static HWND OpenPopup() {
        HWND focus = GetFocus();
        char name[16] = {};
        if (focus) GetClassNameA(focus, name, sizeof name);
        return std::string(name) == "#32768" && SendMessageA(focus, MN_GETHMENU, 0, 0) ? focus
                                                                                       : nullptr;
    }
    static HMENU MenuOf(HWND popup) {
        return reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    }
    SdGdiImage Picture(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        DibCanvas canvas(int(r.right - r.left), int(r.bottom - r.top));
        canvas.Clear(RGB(1, 2, 3));
        EXPECT_TRUE(PrintWindow(hwnd, canvas.dc, 0));
        return canvas.Read();
    }
    static int Count(const SdGdiImage& img, RECT r, COLORREF c) {
        int n = 0;
        for (LONG y = std::max<LONG>(0, r.top); y < std::min<LONG>(img.height, r.bottom); ++y)
            for (LONG x = std::max<LONG>(0, r.left); x < std::min<LONG>(img.width, r.right); ++x)
                n += img.at(int(x), int(y)) == c;
        return n;
    }
    HMENU bar = nullptr, file = nullptr, recent = nullptr;
    HWND frame = nullptr;
};

TEST_F(MenuLookTest, KeysOpenThePopupAndChooseACommand) {
    // F10 highlights the first item of the bar; it shows sunken.
    sdtest::PressKey(VK_F10);
    EXPECT_EQ(SdMenuBarHighlight(frame), 0);
    EXPECT_EQ(g_messages, std::vector<UINT>{WM_INITMENU});
    SdGdiImage img = Picture(frame);
    EXPECT_EQ(img.at(0, 0), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(0, GetSystemMetrics(SM_CYMENU) - 1), sys(COLOR_3DHILIGHT));

    // Down opens the popup below the item, its first item selected.
    sdtest::PressKey(VK_DOWN);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(MenuOf(popup), file);
    EXPECT_EQ(g_messages.back(), WM_INITMENUPOPUP);
    RECT fr{}, pr{};
    GetWindowRect(frame, &fr);
    GetWindowRect(popup, &pr);
    EXPECT_EQ(pr.left, fr.left);
    EXPECT_EQ(pr.top, fr.top + GetSystemMetrics(SM_CYMENU));

    // Down again passes over the separator to "Open...".
    sdtest::PressKey(VK_DOWN);
    img = Picture(popup);
    const int w = img.width;
    // Raised box; the first item plain, the separator etched, "Open..." highlighted with its
    // check mark in the highlight text colour; the submenu's arrow; "Exit" grey.
    EXPECT_EQ(img.at(0, 0), sys(COLOR_3DLIGHT));
    EXPECT_EQ(img.at(w - 1, img.height - 1), sys(COLOR_3DDKSHADOW));
    const int itemHeight = 13 + 4;
    const int top = 3;
    EXPECT_GT(Count(img, RECT{20, top, w / 2, top + itemHeight}, sys(COLOR_MENUTEXT)), 10);
    EXPECT_EQ(img.at(w / 2, top + itemHeight / 2), sys(COLOR_MENU));
    const int separator = top + itemHeight + 4;
    EXPECT_EQ(img.at(w / 2, separator - 1), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(w / 2, separator), sys(COLOR_3DHILIGHT));
    const int open = top + itemHeight + 9;
    EXPECT_EQ(img.at(w / 2, open + 1), sys(COLOR_HIGHLIGHT));
    EXPECT_GT(Count(img, RECT{3, open, 20, open + itemHeight}, sys(COLOR_HIGHLIGHTTEXT)),
              15); // the check
    EXPECT_GT(Count(img, RECT{20, open, w - 20, open + itemHeight}, sys(COLOR_HIGHLIGHTTEXT)), 20);
    const int recentTop = open + itemHeight;
    EXPECT_GT(
        Count(img, RECT{w - 19, recentTop, w - 3, recentTop + itemHeight}, sys(COLOR_MENUTEXT)), 8);
    const int exitTop = recentTop + itemHeight;
    EXPECT_GT(Count(img, RECT{20, exitTop, w / 2, exitTop + itemHeight}, sys(COLOR_GRAYTEXT)), 8);
    EXPECT_EQ(Count(img, RECT{20, exitTop, w / 2, exitTop + itemHeight}, sys(COLOR_MENUTEXT)), 0);
    // The accelerator text lies right of the labels.
    EXPECT_GT(Count(img, RECT{w / 2, top, w - 16, top + itemHeight}, sys(COLOR_MENUTEXT)), 10);

    // Enter chooses it: the owner gets the command, the menus close, the focus comes back.
    sdtest::PressKey(VK_RETURN);
    EXPECT_EQ(g_commands, std::vector<WORD>{102});
    EXPECT_EQ(SdMenuBarHighlight(frame), -1);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetFocus(), frame);
}

TEST_F(MenuLookTest, RadioItemsShowABullet) {
    AppendMenuA(file, MF_STRING, 401, "&Small");
    AppendMenuA(file, MF_STRING, 402, "&Medium");
    AppendMenuA(file, MF_STRING | MF_GRAYED, 403, "&Large");
    CheckMenuRadioItem(file, 401, 403, 402, MF_BYCOMMAND);
    sdtest::PressKey(VK_F10);
    sdtest::PressKey(VK_DOWN);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    // Items of 17 below the separator's 9: Open, Recent, Exit, then the three sizes.
    const int itemHeight = 13 + 4, small = 3 + itemHeight + 9 + 3 * itemHeight;
    const int medium = small + itemHeight, large = medium + itemHeight;
    auto ink = [&](const SdGdiImage& img, int top, COLORREF c) {
        RECT box{100, 100, 0, 0};
        for (int y = top; y < top + itemHeight; ++y)
            for (int x = 3; x < 20; ++x)
                if (img.at(x, y) == c) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y - top);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y - top + 1);
                }
        return box;
    };
    SdGdiImage img = Picture(popup);
    // A round dot 6 across, centred on its item's row; none beside the others.
    const RECT dot = ink(img, medium, sys(COLOR_MENUTEXT));
    EXPECT_EQ(dot.right - dot.left, 6);
    EXPECT_EQ(dot.bottom - dot.top, 6);
    EXPECT_EQ(dot.top, (itemHeight - 6) / 2);
    EXPECT_EQ(Count(img, RECT{3, medium, 20, medium + itemHeight}, sys(COLOR_MENUTEXT)), 32);
    EXPECT_EQ(Count(img, RECT{3, small, 20, small + itemHeight}, sys(COLOR_MENUTEXT)), 0);
    // The check mark beside "Open..." is no dot: 7 across.
    const RECT check = ink(img, 3 + itemHeight + 9, sys(COLOR_MENUTEXT));
    EXPECT_EQ(check.right - check.left, 7);
    // On a grey item the dot is etched: shadow, and highlight a pixel down and right.
    CheckMenuRadioItem(file, 401, 403, 403, MF_BYCOMMAND);
    InvalidateRect(popup, nullptr, TRUE);
    img = Picture(popup);
    const RECT shadow = ink(img, large, sys(COLOR_3DSHADOW));
    EXPECT_EQ(shadow.right - shadow.left, 6);
    EXPECT_GT(Count(img, RECT{3, large, 21, large + itemHeight}, sys(COLOR_3DHILIGHT)), 0);
    EXPECT_EQ(Count(img, RECT{3, medium, 20, medium + itemHeight}, sys(COLOR_MENUTEXT)), 0);
}

TEST_F(MenuLookTest, ArrowsMnemonicsEscapeAndGreyedItems) {
    // Alt+E opens the Edit popup; "u" chooses Undo.
    sdtest::KeyDown(VK_MENU);
    sdtest::PressKey('E');
    sdtest::KeyUp(VK_MENU);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(SdMenuBarHighlight(frame), 1);
    sdtest::PressKey('U');
    EXPECT_EQ(g_commands, std::vector<WORD>{201});

    // Left and right move along the bar with the popup open; right on "Recent" opens it.
    sdtest::PressKey(VK_F10);
    sdtest::PressKey(VK_RIGHT);
    EXPECT_EQ(SdMenuBarHighlight(frame), 1);
    sdtest::PressKey(VK_LEFT);
    sdtest::PressKey(VK_DOWN);
    EXPECT_EQ(MenuOf(OpenPopup()), file);
    sdtest::PressKey(VK_UP); // wraps to the last item: the greyed Exit
    sdtest::PressKey(VK_RETURN);
    EXPECT_EQ(g_commands.size(), 1u); // nothing chosen
    sdtest::PressKey(VK_UP);
    sdtest::PressKey(VK_RIGHT);
    HWND sub = OpenPopup();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(MenuOf(sub), recent);
    // Escape closes one level at a time, then the bar.
    sdtest::PressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(sub));
    EXPECT_EQ(MenuOf(OpenPopup()), file);
    sdtest::PressKey(VK_ESCAPE);
    EXPECT_EQ(OpenPopup(), nullptr);
    EXPECT_EQ(SdMenuBarHighlight(frame), 0);
    sdtest::PressKey(VK_ESCAPE);
    EXPECT_EQ(SdMenuBarHighlight(frame), -1);
    EXPECT_EQ(GetFocus(), frame);
    // A bar item without a popup is a command of its own.
    sdtest::KeyDown(VK_MENU);
    sdtest::PressKey('H');
    sdtest::KeyUp(VK_MENU);
    EXPECT_EQ(g_commands.back(), 301);
}

TEST_F(MenuLookTest, ClicksOnTheBarAndThePopup) {
    // A click on "File" in the bar (above the client area) opens its popup.
    sdtest::Click(frame, 10, -GetSystemMetrics(SM_CYMENU) / 2);
    HWND popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(MenuOf(popup), file);
    // A click on "New" chooses it.
    sdtest::Click(popup, 30, 3 + 8);
    EXPECT_EQ(g_commands, std::vector<WORD>{101});
    EXPECT_FALSE(IsWindow(popup));
}

} // namespace menu_look_test
