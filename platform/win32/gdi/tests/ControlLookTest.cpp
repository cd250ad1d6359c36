// The predefined controls paint themselves: a window holding each kind in its states,
// read back through PrintWindow and checked at hand-chosen pixels.

#include <gtest/gtest.h>

#include "GdiFixture.h"
#include "testing/InputDriver.h"
#include "testing/PlatformTest.h"
#include "win32/KernelTesting.h"
#include "win32/controls.h"
#include "win32/nls.h"
#include "win32/user.h"
#include "win32/userdraw.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace control_look_test {

COLORREF sys(int index) {
    return GetSysColor(index);
}

// The face colour inverted: where a focus rectangle's dots fall on a button face.
constexpr COLORREF invertedFace = RGB(63, 63, 63);

// Answers WM_CTLCOLORSTATIC with a brush of its own when asked to.
HBRUSH g_staticBrush = nullptr;
LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC && g_staticBrush) {
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        return reinterpret_cast<LRESULT>(g_staticBrush);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class ControlLookTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = panelProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
        wc.lpszClassName = "ControlLookPanel";
        RegisterClassA(&wc);
        panel = CreateWindowExA(0, "ControlLookPanel", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(panel, nullptr);
    }
    void TearDown() override {
        g_staticBrush = nullptr;
        PlatformTest::TearDown();
        SdGdiResetTesting();
    }
    HWND Add(const char* cls, const char* text, DWORD style, RECT r, int id = 0) {
        HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, int(r.left),
                                 int(r.top), int(r.right - r.left), int(r.bottom - r.top), panel,
                                 reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
        EXPECT_NE(h, nullptr) << cls;
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        return h;
    }
    SdGdiImage Picture() {
        DibCanvas canvas(320, 240);
        canvas.Clear(RGB(1, 2, 3));
        EXPECT_TRUE(PrintWindow(panel, canvas.dc, 0));
        SdGdiImage img = canvas.Read();
        return img;
    }
    // The picture a display shows: only what is pending painted.
    SdGdiImage Composed() {
        DibCanvas canvas(320, 240);
        canvas.Clear(RGB(1, 2, 3));
        EXPECT_TRUE(SdComposeWindow(panel, canvas.dc));
        return canvas.Read();
    }
    // The bounding box of the pixels of a colour inside r.
    static RECT Ink(const SdGdiImage& img, RECT r, COLORREF c) {
        RECT box{r.right, r.bottom, r.left, r.top};
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                if (img.at(int(x), int(y)) == c) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }
    static int Count(const SdGdiImage& img, RECT r, COLORREF c) {
        int n = 0;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                n += img.at(int(x), int(y)) == c;
        return n;
    }
    HWND panel = nullptr;
};

TEST_F(ControlLookTest, PushButtonsShowEdgesCaptionAndState) {
    const RECT normal{10, 10, 85, 33}, off{100, 10, 175, 33}, deflt{190, 10, 265, 33};
    Add("Button", "Apply", BS_PUSHBUTTON, normal);
    HWND disabled = Add("Button", "Apply", BS_PUSHBUTTON, off);
    EnableWindow(disabled, FALSE);
    HWND focused = Add("Button", "OK", BS_DEFPUSHBUTTON, deflt);
    SetFocus(focused);
    SdGdiImage img = Picture();

    // Light outside top-left, dark shadow outside bottom-right, shadow within it.
    EXPECT_EQ(img.at(10, 10), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(84, 32), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.at(83, 31), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(14, 14), sys(COLOR_3DFACE));
    // The caption's ink is centred in the button within a pixel.
    RECT ink = Ink(img, RECT{12, 12, 83, 31}, sys(COLOR_BTNTEXT));
    ASSERT_LT(ink.left, ink.right);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, (normal.left + normal.right) / 2.0, 1.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (normal.top + normal.bottom) / 2.0, 2.0);

    // Disabled: grey caption with its highlight one pixel down and right, no black ink.
    const RECT offInside{102, 12, 173, 31};
    EXPECT_EQ(Count(img, offInside, sys(COLOR_BTNTEXT)), 0);
    RECT grey = Ink(img, offInside, sys(COLOR_GRAYTEXT));
    RECT light = Ink(img, offInside, sys(COLOR_3DHILIGHT));
    ASSERT_LT(grey.left, grey.right);
    EXPECT_EQ(light.right, grey.right + 1);
    EXPECT_EQ(light.bottom, grey.bottom + 1);

    // The default button has a black frame; the focused one a dotted rectangle 4 inside.
    EXPECT_EQ(img.at(190, 10), sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(img.at(191, 11), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(194, 14), invertedFace);
    EXPECT_EQ(img.at(195, 14), sys(COLOR_3DFACE));
    EXPECT_EQ(img.at(196, 14), invertedFace);

    // Pressed: dark frame, shadow frame, face, caption one pixel down and right.
    SendMessageA(disabled, BM_SETSTATE, TRUE, 0);
    HWND pressed = Add("Button", "Apply", BS_PUSHBUTTON, RECT{10, 50, 85, 73});
    SendMessageA(pressed, BM_SETSTATE, TRUE, 0);
    img = Picture();
    EXPECT_EQ(img.at(10, 50), sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(img.at(11, 51), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(84, 72), sys(COLOR_WINDOWFRAME));
    RECT pressedInk = Ink(img, RECT{12, 52, 83, 71}, sys(COLOR_BTNTEXT));
    EXPECT_EQ(pressedInk.left, ink.left + 1);
    EXPECT_EQ(pressedInk.top, ink.top + 40 + 1);
}

TEST_F(ControlLookTest, CheckBoxesRadioButtonsAndGroupBoxes) {
    HWND check = Add("Button", "Check", BS_AUTOCHECKBOX, RECT{10, 10, 110, 26});
    HWND three = Add("Button", "Maybe", BS_AUTO3STATE, RECT{10, 30, 110, 46});
    HWND radio = Add("Button", "One", BS_AUTORADIOBUTTON, RECT{10, 50, 110, 66});
    Add("Button", "Group", BS_GROUPBOX, RECT{150, 10, 300, 100});
    SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(check);
    SdGdiImage img = Picture();
    // The box: 13 pixels, vertically centred at the left; the mark inside it.
    EXPECT_EQ(img.at(10, 11), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(22, 23), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(11, 12), sys(COLOR_3DDKSHADOW));
    RECT mark = Ink(img, RECT{12, 13, 21, 22}, sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(mark.left, 13);
    EXPECT_EQ(mark.right, 20);
    EXPECT_EQ(mark.top, 14);
    EXPECT_EQ(mark.bottom, 21);
    EXPECT_EQ(Count(img, RECT{12, 13, 21, 22}, sys(COLOR_WINDOWTEXT)), 21);
    // Its text starts after the gap, and the focus dots surround it.
    RECT text = Ink(img, RECT{23, 10, 110, 26}, sys(COLOR_WINDOWTEXT));
    EXPECT_GE(text.left, 27);
    EXPECT_LT(text.left, 30);
    EXPECT_GT(Count(img, RECT{23, 10, 110, 26}, invertedFace), 10);
    // The indeterminate box: a grey mark on the pattern.
    EXPECT_GT(Count(img, RECT{12, 33, 21, 42}, sys(COLOR_3DSHADOW)), 10);
    EXPECT_EQ(Count(img, RECT{12, 33, 21, 42}, sys(COLOR_WINDOWTEXT)), 0);
    // The radio button's dot in its middle.
    EXPECT_EQ(img.at(16, 58), sys(COLOR_WINDOWTEXT));
    // The group box: etched frame through the caption's middle, interrupted by the caption.
    EXPECT_EQ(img.at(150, 30), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(151, 30), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(250, 16), sys(COLOR_3DSHADOW));
    EXPECT_GT(Count(img, RECT{158, 10, 200, 24}, sys(COLOR_WINDOWTEXT)), 10);
    EXPECT_EQ(Count(img, RECT{158, 16, 185, 17}, sys(COLOR_3DSHADOW)), 0);
}

TEST_F(ControlLookTest, EditFieldsShowTextSelectionCaretAndBackgrounds) {
    HWND edit = Add("Edit", "Hello world", ES_AUTOHSCROLL, RECT{10, 10, 150, 30});
    HWND readOnly = Add("Edit", "Fixed", ES_READONLY, RECT{10, 40, 150, 60});
    HWND password = Add("Edit", "secret", ES_PASSWORD, RECT{10, 70, 150, 90});
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, 5);
    SdGdiImage img = Picture();
    // The selected word on the highlight, in the highlight text colour; the rest black on white.
    RECT selection = Ink(img, RECT{10, 10, 150, 30}, sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(selection.left, 11);
    EXPECT_EQ(selection.top, 11);
    EXPECT_EQ(selection.bottom, 11 + 13);
    EXPECT_GT(Count(img, selection, sys(COLOR_HIGHLIGHTTEXT)), 10);
    EXPECT_GT(Count(img, RECT{selection.right, 10, 150, 30}, sys(COLOR_WINDOWTEXT)), 10);
    EXPECT_EQ(img.at(140, 25), sys(COLOR_WINDOW));
    // Read-only: the face colour behind the text (WM_CTLCOLORSTATIC).
    EXPECT_EQ(img.at(140, 55), sys(COLOR_3DFACE));
    // The password field shows as many stars as characters: six equal marks.
    EXPECT_GT(Count(img, RECT{10, 70, 150, 90}, sys(COLOR_WINDOWTEXT)), 6);
    // The caret: an inverted line at the end of an unselected field.
    SendMessageA(edit, EM_SETSEL, 11, 11);
    img = Picture();
    RECT words = Ink(img, RECT{10, 10, 150, 30}, sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(words.bottom - words.top, 13); // the caret's full height
    EXPECT_EQ(Count(img, RECT{10, 10, 150, 30}, sys(COLOR_HIGHLIGHT)), 0);
    // A text longer than the field scrolls to keep the caret in view.
    SetWindowTextA(edit, "The quick brown fox jumps over the lazy dog and on");
    SendMessageA(edit, EM_SETSEL, 50, 50);
    img = Picture();
    EXPECT_EQ(Ink(img, RECT{10, 10, 150, 30}, sys(COLOR_WINDOWTEXT)).right, 149);
    (void)readOnly;
    (void)password;
}

TEST_F(ControlLookTest, StaticsHonourTheirParentsColoursAndStyles) {
    HWND left = Add("Static", "&Name:", SS_LEFT, RECT{10, 10, 110, 26});
    Add("Static", "&Name:", SS_LEFT | SS_NOPREFIX, RECT{10, 30, 110, 46});
    Add("Static", "", SS_ETCHEDHORZ, RECT{10, 60, 110, 62});
    Add("Static", "", SS_BLACKFRAME, RECT{10, 70, 50, 90});
    Add("Static", "R", SS_RIGHT, RECT{120, 10, 220, 26});
    SdGdiImage img = Picture();
    // The mnemonic is underlined; without prefixes the ampersand shows and nothing is.
    // (The face's ascent is 10: the underline lies on the row below the baseline's.)
    RECT underline = Ink(img, RECT{10, 21, 30, 22}, sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(underline.left, 10);
    EXPECT_GE(underline.right, 17);
    EXPECT_EQ(Ink(img, RECT{10, 41, 30, 42}, sys(COLOR_WINDOWTEXT)).right, 10); // none there
    EXPECT_GT(Ink(img, RECT{10, 30, 110, 46}, sys(COLOR_WINDOWTEXT)).right,
              Ink(img, RECT{10, 10, 110, 26}, sys(COLOR_WINDOWTEXT)).right);
    EXPECT_EQ(img.at(50, 60), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(50, 61), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(10, 80), sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(img.at(30, 80), sys(COLOR_3DFACE));
    EXPECT_GE(Ink(img, RECT{120, 10, 220, 26}, sys(COLOR_WINDOWTEXT)).right, 217);
    // The parent's WM_CTLCOLORSTATIC answer: its brush behind, its text colour.
    g_staticBrush = CreateSolidBrush(RGB(255, 255, 0));
    img = Picture();
    EXPECT_EQ(img.at(100, 12), RGB(255, 255, 0));
    EXPECT_GT(Count(img, RECT{10, 10, 110, 26}, RGB(0, 0, 255)), 10);
    // An answer that is no brush: the default face.
    DeleteObject(g_staticBrush);
    g_staticBrush = reinterpret_cast<HBRUSH>(0x1234);
    img = Picture();
    EXPECT_EQ(img.at(100, 12), sys(COLOR_3DFACE));
    g_staticBrush = nullptr;
    EnableWindow(left, FALSE);
    img = Picture();
    EXPECT_EQ(Count(img, RECT{10, 10, 110, 26}, sys(COLOR_WINDOWTEXT)), 0);
    EXPECT_GT(Count(img, RECT{10, 10, 110, 26}, sys(COLOR_GRAYTEXT)), 10);
}

TEST_F(ControlLookTest, ListsShowItemsSelectionAndFocus) {
    HWND list = Add("ListBox", "", LBS_NOTIFY, RECT{10, 10, 110, 90});
    for (const char* item : {"Alpha", "Beta", "Gamma"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SetFocus(list);
    HWND combo = Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{150, 10, 260, 32});
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Red"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SdGdiImage img = Picture();
    const int h = int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    // The second item is highlighted across the whole width, with the focus dots around it.
    EXPECT_EQ(img.at(60, 10 + h + h / 2), sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(img.at(60, 10 + h / 2), sys(COLOR_WINDOW));
    EXPECT_GT(Count(img, RECT{10, 10 + h, 110, 10 + 2 * h}, sys(COLOR_HIGHLIGHTTEXT)), 10);
    EXPECT_GT(Count(img, RECT{10, 10, 110, 10 + h}, sys(COLOR_WINDOWTEXT)), 10);
    // The combo box: sunken field, its text, the drop button with its arrow at the right.
    EXPECT_EQ(img.at(150, 10), sys(COLOR_3DSHADOW));
    EXPECT_GT(Count(img, RECT{152, 12, 240, 30}, sys(COLOR_WINDOWTEXT)), 10);
    EXPECT_EQ(img.at(257, 20), sys(COLOR_3DDKSHADOW));
    EXPECT_GT(Count(img, RECT{242, 12, 258, 30}, sys(COLOR_BTNTEXT)), 6);
}

TEST_F(ControlLookTest, TheDroppedListIsAPopupThatPicks) {
    HWND combo = Add("ComboBox", "", CBS_DROPDOWNLIST, RECT{10, 10, 120, 32});
    for (const char* s : {"Red", "Green", "Blue"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT box{};
    GetWindowRect(combo, &box);
    HWND list = WindowFromPoint(POINT{box.left + 5, box.bottom + 5});
    ASSERT_NE(list, nullptr);
    char name[16] = {};
    GetClassNameA(list, name, sizeof name);
    EXPECT_STREQ(name, "ComboLBox");
    RECT lr{};
    GetWindowRect(list, &lr);
    const int h = int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(lr.right - lr.left, box.right - box.left);
    EXPECT_EQ(lr.bottom - lr.top, 3 * h + 2);
    // Bordered, the selected item highlighted, the others in the window colours.
    DibCanvas canvas(int(lr.right - lr.left), int(lr.bottom - lr.top));
    ASSERT_TRUE(PrintWindow(list, canvas.dc, 0));
    SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(0, 0), sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(img.at(60, h / 2), sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(img.at(60, h + h / 2), sys(COLOR_WINDOW));
    EXPECT_GT(Count(img, RECT{1, 2 * h, 100, 3 * h}, sys(COLOR_WINDOWTEXT)), 10);
    // A click on "Blue" picks it and closes the list.
    sdtest::Click(list, 20, 2 * h + h / 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
}

TEST_F(ControlLookTest, ToolTipsShowTheirTextOnTheInfoColours) {
    HWND tip =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "Weed the job", WS_POPUP | WS_VISIBLE, 500,
                        400, 90, 19, panel, nullptr, nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    DibCanvas canvas(90, 19);
    ASSERT_TRUE(PrintWindow(tip, canvas.dc, 0));
    SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(0, 0), sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(img.at(88, 2), sys(COLOR_INFOBK));
    EXPECT_GT(Count(img, RECT{1, 1, 89, 18}, sys(COLOR_INFOTEXT)), 30);
    SetWindowTextA(tip, "");
    ASSERT_TRUE(PrintWindow(tip, canvas.dc, 0));
    EXPECT_EQ(Count(canvas.Read(), RECT{1, 1, 89, 18}, sys(COLOR_INFOTEXT)), 0);
}

TEST_F(ControlLookTest, AToolsTipIsSizedToItsTextAndPaintsIt) {
    SdInstallFakeClock(1000, SYSTEMTIME{});
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP, 0, 0, 0, 0, panel, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(tip, nullptr);
    char text[] = "Weed the job";
    TOOLINFOA info{sizeof info, TTF_SUBCLASS, panel, 1,      RECT{0, 0, 100, 100},
                   nullptr,     text,         0,     nullptr};
    ASSERT_TRUE(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
    sdtest::MouseMove(panel, 30, 30);
    SdAdvanceFakeClock(500);
    sdtest::PumpInput();
    ASSERT_TRUE(IsWindowVisible(tip));
    RECT r{};
    GetWindowRect(tip, &r);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, int(sizeof text - 1), &extent);
    DeleteDC(dc);
    EXPECT_EQ(r.right - r.left, extent.cx + 6);
    EXPECT_EQ(r.bottom - r.top, 13 + 4);
    const int w = int(r.right - r.left), h = int(r.bottom - r.top);
    DibCanvas canvas(w, h);
    ASSERT_TRUE(PrintWindow(tip, canvas.dc, 0));
    const SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(0, 0), sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(img.at(w - 1, h - 1), sys(COLOR_WINDOWFRAME));
    // The text within the frame, a pixel or more clear of it on every side.
    const RECT ink = Ink(img, RECT{1, 1, w - 1, h - 1}, sys(COLOR_INFOTEXT));
    EXPECT_GE(ink.left, 3);
    EXPECT_LE(ink.right, w - 2);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.bottom, h - 2);
}

TEST_F(ControlLookTest, ScrollBarsUpDownsAndTrackbars) {
    HWND bar = Add("ScrollBar", "", SBS_HORZ, RECT{10, 10, 210, 26});
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0};
    SendMessageA(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    Add(UPDOWN_CLASSA, "", 0, RECT{230, 10, 246, 40});
    HWND track = Add(TRACKBAR_CLASSA, "", TBS_AUTOTICKS, RECT{10, 50, 210, 90});
    SendMessageA(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(track, TBM_SETPOS, TRUE, 10);
    SdGdiImage img = Picture();
    // Arrows at both ends; the thumb, half the track long, at the start.
    EXPECT_EQ(img.at(17, 18), sys(COLOR_BTNTEXT));  // left arrow's tip area
    EXPECT_EQ(img.at(201, 18), sys(COLOR_BTNTEXT)); // right arrow
    EXPECT_EQ(img.at(26, 10), sys(COLOR_3DLIGHT)); // the thumb's raised edge begins after the arrow
    EXPECT_EQ(img.at(58, 18), sys(COLOR_3DFACE));  // inside the thumb (84 long: half the track)
    EXPECT_EQ(img.at(109, 18), sys(COLOR_3DDKSHADOW)); // its far edge
    EXPECT_NE(img.at(150, 18), img.at(151, 18));       // the track's pattern after it
    // A press on the right part of the track shows it dark and pages the parent.
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 8));
    img = Picture();
    EXPECT_EQ(img.at(150, 18), sys(COLOR_3DDKSHADOW));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(150, 8));
    // A dragged thumb shows where it is held before the parent moves it: 42 pixels on is
    // position 25 of 50, the thumb then at 58.
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 8));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(82, 8));
    const SdGdiImage dragged = Picture();
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(82, 8));
    EXPECT_EQ(dragged.at(68, 10), sys(COLOR_3DLIGHT));
    EXPECT_EQ(dragged.at(151, 18), sys(COLOR_3DDKSHADOW));
    EXPECT_NE(dragged.at(30, 18), dragged.at(31, 18)); // the track where it was
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    // The up-down: two arrow buttons one above the other.
    EXPECT_EQ(img.at(230, 10), sys(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(245, 24), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.at(230, 25), sys(COLOR_3DHILIGHT));
    // The trackbar: its sunken channel, the thumb at the far end, a tick at each end.
    EXPECT_EQ(img.at(100, 58), sys(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(100, 73), sys(COLOR_3DFACE));
    RECT thumb = Ink(img, RECT{150, 64, 210, 75}, sys(COLOR_3DDKSHADOW)); // below the channel
    EXPECT_GT(thumb.left, 190);
    EXPECT_GT(Count(img, RECT{10, 74, 210, 80}, sys(COLOR_WINDOWTEXT)), 2);
}

TEST_F(ControlLookTest, BadSizesAndFontsPaintNothingWrong) {
    // Zero and negative sizes, a huge text, a deleted font: no crash, nothing outside.
    Add("Button", "x", BS_PUSHBUTTON, RECT{10, 10, 10, 10});
    Add("Static", std::string(100000, 'W').c_str(), SS_LEFT, RECT{10, 10, 60, 30});
    HWND edit = Add("Edit", std::string(100000, 'a').c_str(), ES_AUTOHSCROLL, RECT{10, 40, 60, 60});
    SendMessageA(edit, EM_SETSEL, 100000, 100000);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    HFONT font = CreateFontIndirectA(&lf);
    HWND button = Add("Button", "Font", BS_PUSHBUTTON, RECT{10, 70, 80, 90});
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    DeleteObject(font);
    HWND negative = CreateWindowExA(0, "ListBox", "", WS_CHILD | WS_VISIBLE, 100, 100, -20, -5,
                                    panel, nullptr, nullptr, nullptr);
    (void)negative;
    SdGdiImage img = Picture();
    EXPECT_EQ(img.at(100, 20), sys(COLOR_3DFACE)); // the long static did not spill over
    EXPECT_GT(Count(img, RECT{10, 70, 80, 90}, sys(COLOR_BTNTEXT)), 5);
}

// On a display only what is pending is painted: every state change that changes a control's
// picture must invalidate it, or the screen keeps the old picture. Each change is composed
// pending-only and compared with a full repaint.
TEST_F(ControlLookTest, EveryStateChangeRepaintsWhatItChanges) {
    struct Case {
        const char* label;
        const char* cls;
        const char* text;
        DWORD style;
        void (*prepare)(HWND);
        void (*change)(HWND);
    };
    auto none = [](HWND) {};
    auto items = [](HWND h) {
        for (const char* t : {"one", "two", "three", "four", "five", "six", "seven", "eight"})
            SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    };
    auto comboItems = [](HWND h) {
        for (const char* t : {"alpha", "beta", "gamma"})
            SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    };
    auto longText = [](HWND h) {
        SetWindowTextA(h, "a long line of text\r\nsecond\r\nthird\r\nfourth\r\nfifth\r\nsixth");
    };
    auto trackRange = [](HWND h) { SendMessageA(h, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10)); };
    auto barRange = [](HWND h) { SendMessageA(h, SBM_SETRANGE, 0, 99); };
    auto disable = [](HWND h) { EnableWindow(h, FALSE); };
    auto focus = [](HWND h) { SetFocus(h); };
    auto retitle = [](HWND h) { SetWindowTextA(h, "Other"); };
    const Case cases[] = {
        {"push: text", "Button", "Apply", BS_PUSHBUTTON, none, retitle},
        {"push: resized", "Button", "Apply", BS_PUSHBUTTON, none,
         [](HWND h) { SetWindowPos(h, nullptr, 30, 40, 120, 50, SWP_NOZORDER); }},
        {"list: resized", "ListBox", "", WS_BORDER | WS_VSCROLL, items,
         [](HWND h) { SetWindowPos(h, nullptr, 0, 0, 100, 200, SWP_NOZORDER | SWP_NOMOVE); }},
        {"push: pressed", "Button", "Apply", BS_PUSHBUTTON, none,
         [](HWND h) { SendMessageA(h, BM_SETSTATE, TRUE, 0); }},
        {"push: disabled", "Button", "Apply", BS_PUSHBUTTON, none, disable},
        {"push: focus", "Button", "Apply", BS_PUSHBUTTON, none, focus},
        {"push: default", "Button", "Apply", BS_PUSHBUTTON, none,
         [](HWND h) { SendMessageA(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); }},
        {"check: checked", "Button", "Check", BS_CHECKBOX, none,
         [](HWND h) { SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0); }},
        {"3-state: indeterminate", "Button", "Check", BS_3STATE, none,
         [](HWND h) { SendMessageA(h, BM_SETCHECK, BST_INDETERMINATE, 0); }},
        {"radio: checked", "Button", "Radio", BS_RADIOBUTTON, none,
         [](HWND h) { SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0); }},
        {"check: disabled", "Button", "Check", BS_CHECKBOX, none, disable},
        {"check: focus", "Button", "Check", BS_CHECKBOX, none, focus},
        {"group: text", "Button", "Group", BS_GROUPBOX, none, retitle},
        {"edit: text", "Edit", "text", WS_BORDER, none, retitle},
        {"edit: selection", "Edit", "selected text", WS_BORDER, focus,
         [](HWND h) { SendMessageA(h, EM_SETSEL, 2, 8); }},
        {"edit: replaced", "Edit", "text", WS_BORDER, none,
         [](HWND h) { SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("new ")); }},
        {"edit: read-only", "Edit", "text", WS_BORDER, none,
         [](HWND h) { SendMessageA(h, EM_SETREADONLY, TRUE, 0); }},
        {"edit: disabled", "Edit", "text", WS_BORDER, none, disable},
        {"edit: password", "Edit", "secret", WS_BORDER, none,
         [](HWND h) { SendMessageA(h, EM_SETPASSWORDCHAR, '*', 0); }},
        {"edit: scrolled", "Edit", "", WS_BORDER | ES_MULTILINE, longText,
         [](HWND h) { SendMessageA(h, EM_SETSEL, 60, 60), SendMessageA(h, EM_SCROLLCARET, 0, 0); }},
        {"edit: typed", "Edit", "text", WS_BORDER, focus,
         [](HWND h) { SendMessageA(h, WM_CHAR, 'x', 1); }},
        {"edit: caret key", "Edit", "text", WS_BORDER, focus,
         [](HWND h) { SendMessageA(h, WM_KEYDOWN, VK_HOME, 1); }},
        {"static: text", "Static", "Label", SS_LEFT, none, retitle},
        {"static: disabled", "Static", "Label", SS_LEFT, none, disable},
        {"list: item added", "ListBox", "", WS_BORDER, none,
         [](HWND h) { SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("added")); }},
        {"list: selection", "ListBox", "", WS_BORDER, items,
         [](HWND h) { SendMessageA(h, LB_SETCURSEL, 1, 0); }},
        {"list: item deleted", "ListBox", "", WS_BORDER, items,
         [](HWND h) { SendMessageA(h, LB_DELETESTRING, 0, 0); }},
        {"list: emptied", "ListBox", "", WS_BORDER, items,
         [](HWND h) { SendMessageA(h, LB_RESETCONTENT, 0, 0); }},
        {"list: scrolled", "ListBox", "", WS_BORDER | WS_VSCROLL, items,
         [](HWND h) { SendMessageA(h, LB_SETTOPINDEX, 3, 0); }},
        {"list: multiple selection", "ListBox", "", WS_BORDER | LBS_MULTIPLESEL, items,
         [](HWND h) { SendMessageA(h, LB_SETSEL, TRUE, 2); }},
        {"list: key", "ListBox", "", WS_BORDER, items,
         [](HWND h) { SendMessageA(h, WM_KEYDOWN, VK_DOWN, 1); }},
        {"list: click", "ListBox", "", WS_BORDER, items,
         [](HWND h) { SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20)); }},
        {"list: focus", "ListBox", "", WS_BORDER, items, focus},
        {"list: disabled", "ListBox", "", WS_BORDER, items, disable},
        {"combo: selection", "ComboBox", "", CBS_DROPDOWNLIST, comboItems,
         [](HWND h) { SendMessageA(h, CB_SETCURSEL, 1, 0); }},
        {"combo: edit text", "ComboBox", "", CBS_DROPDOWN, comboItems, retitle},
        {"combo: disabled", "ComboBox", "", CBS_DROPDOWNLIST, comboItems, disable},
        {"combo: focus", "ComboBox", "", CBS_DROPDOWNLIST, comboItems, focus},
        {"combo: key", "ComboBox", "", CBS_DROPDOWNLIST, comboItems,
         [](HWND h) { SendMessageA(h, WM_KEYDOWN, VK_DOWN, 1); }},
        {"combo with edit: disabled", "ComboBox", "", CBS_DROPDOWN, comboItems, disable},
        {"scroll bar: click", "ScrollBar", "", SBS_HORZ, barRange,
         [](HWND h) { SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 8)); }},
        {"scroll bar: position", "ScrollBar", "", SBS_HORZ, barRange,
         [](HWND h) { SendMessageA(h, SBM_SETPOS, 70, TRUE); }},
        {"scroll bar: range", "ScrollBar", "", SBS_HORZ, barRange,
         [](HWND h) { SendMessageA(h, SBM_SETRANGEREDRAW, 0, 9); }},
        {"scroll bar: disabled", "ScrollBar", "", SBS_HORZ, barRange, disable},
        {"up-down: disabled", UPDOWN_CLASSA, "", 0, none, disable},
        {"trackbar: position", TRACKBAR_CLASSA, "", TBS_AUTOTICKS, trackRange,
         [](HWND h) { SendMessageA(h, TBM_SETPOS, TRUE, 7); }},
        {"trackbar: range", TRACKBAR_CLASSA, "", TBS_AUTOTICKS, trackRange,
         [](HWND h) { SendMessageA(h, TBM_SETRANGE, TRUE, MAKELPARAM(0, 3)); }},
        {"trackbar: disabled", TRACKBAR_CLASSA, "", 0, trackRange, disable},
        {"trackbar: focus", TRACKBAR_CLASSA, "", 0, trackRange, focus},
        {"trackbar: key", TRACKBAR_CLASSA, "", 0, trackRange,
         [](HWND h) { SendMessageA(h, WM_KEYDOWN, VK_END, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        HWND other = Add("Button", "Other", BS_PUSHBUTTON, RECT{200, 200, 300, 230});
        SetFocus(other);
        HWND h = Add(c.cls, c.text, c.style, RECT{20, 20, 180, 120});
        c.prepare(h);
        Composed();
        c.change(h);
        const SdGdiImage pending = Composed();
        const SdGdiImage whole = Picture();
        int differ = 0;
        for (size_t i = 0; i < whole.pixels.size(); ++i)
            differ += pending.pixels[i] != whole.pixels[i];
        EXPECT_EQ(differ, 0);
        DestroyWindow(h);
        DestroyWindow(other);
    }
}

} // namespace control_look_test
