// Where input goes (the router, hit tests, double clicks, cursors), a window's own scroll
// bars, scrolling contents, accelerators, scripted popup menus and clipboard format names.

#include <vector>

#include "UserTestWindow.h"
#include "data/test-ids.h"
#include "win32/InputRouter.h"
#include "win32/KernelTesting.h"
#include "win32/MenuTesting.h"
#include "win32/accelerator.h"
#include "win32/clipboard.h"
#include "win32/controls.h"
#include "win32/module.h"
#include "win32/nls.h"

namespace {

class WindowInputTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        SdInstallFakeClock(100000, SYSTEMTIME{});
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &WindowInputTest::DoubleClickProc;
        wc.lpszClassName = "SdDoubleClickWindow";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override {
        UserTest::TearDown();
        SdRemoveFakeClock();
    }
    static LRESULT CALLBACK DoubleClickProc(HWND h, UINT m, WPARAM w, LPARAM l) {
        received.push_back(m);
        return DefWindowProcA(h, m, w, l);
    }
    static inline std::vector<UINT> received;

    // The posted messages, handled; returns the events they caused (painting left out).
    std::vector<UserEvent> Pump() {
        events.clear();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        std::vector<UserEvent> input;
        for (const UserEvent& e : events)
            if (e.msg != WM_PAINT && e.msg != WM_ERASEBKGND) input.push_back(e);
        return input;
    }
};

TEST_F(WindowInputTest, TheDeepestVisibleEnabledWindowUnderThePointGetsTheInput) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{100, 100, 400, 300});
    HWND child = Make(WS_CHILD | WS_VISIBLE, top, 1, RECT{10, 10, 110, 110});
    HWND grandchild = Make(WS_CHILD | WS_VISIBLE, child, 2, RECT{20, 20, 60, 60});
    HWND hidden = Make(WS_CHILD, top, 3, RECT{150, 10, 250, 110});
    HWND disabled = Make(WS_CHILD | WS_VISIBLE | WS_DISABLED, top, 4, RECT{150, 120, 250, 190});
    (void)hidden;
    (void)disabled;
    struct Case {
        POINT screen;
        HWND expected;
    } cases[] = {{{105, 105}, top},         {{115, 115}, child},     {{135, 135}, grandchild},
                 {{170, 170}, child},       {{260, 120}, top},       {{260, 230}, top},
                 {{399, 299}, top},         {{400, 300}, nullptr},   {{50, 50}, nullptr}};
    for (const Case& c : cases) EXPECT_EQ(WindowFromPoint(c.screen), c.expected) << c.screen.x;
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{15, 15}), child);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{200, 50}), hidden); // hidden ones count here
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{5, 5}), top);
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{500, 5}), nullptr);
}

TEST_F(WindowInputTest, MouseInputAsksForTheCursorFirstAndCarriesClientPointAndKeys) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{100, 100, 400, 300});
    HWND child = Make(WS_CHILD | WS_VISIBLE, top, 1, RECT{10, 10, 110, 110});
    SdSetKeyDown(VK_SHIFT, true);
    EXPECT_EQ(SdRouteMouse(WM_LBUTTONDOWN, POINT{130, 140}), child);
    SdSetKeyDown(VK_SHIFT, false);
    // The cursor question is sent at once, the press is posted; the child's parent is asked
    // first by the default handling.
    ASSERT_GE(events.size(), 2u);
    std::vector<UINT> asked;
    for (const UserEvent& e : events)
        if (e.msg == WM_SETCURSOR) asked.push_back(UINT(reinterpret_cast<UINT_PTR>(e.hwnd) == reinterpret_cast<UINT_PTR>(child) ? 1 : 2));
    EXPECT_EQ(asked, (std::vector<UINT>{1, 2}));
    const UserEvent setCursor = EventsOf(child, WM_SETCURSOR).front();
    EXPECT_EQ(LOWORD(DWORD(setCursor.lParam)), HTCLIENT);
    EXPECT_EQ(HIWORD(DWORD(setCursor.lParam)), WM_LBUTTONDOWN);
    auto handled = Pump();
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].msg, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(GET_X_LPARAM(handled[0].lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(handled[0].lParam), 30);
    EXPECT_EQ(handled[0].wParam, MK_LBUTTON | MK_SHIFT);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 130);
    EXPECT_EQ(GetKeyState(VK_LBUTTON) < 0, true);

    // Under capture the captured window gets the input wherever it is, unasked.
    SetCapture(child);
    events.clear();
    EXPECT_EQ(SdRouteMouse(WM_MOUSEMOVE, POINT{350, 250}), child);
    EXPECT_TRUE(EventsOf(child, WM_SETCURSOR).empty());
    handled = Pump();
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(handled[0].lParam), 240);
    EXPECT_EQ(handled[0].wParam, MK_LBUTTON);
    SdRouteMouse(WM_LBUTTONUP, POINT{350, 250});
    handled = Pump();
    EXPECT_EQ(handled.back().wParam, 0u);
    ReleaseCapture();
    EXPECT_EQ(SdRouteMouse(WM_MOUSEMOVE, POINT{5, 5}), nullptr); // over the bare desktop
}

TEST_F(WindowInputTest, ASecondPressSoonAndNearIsADoubleClickOnlyForClassesThatWantOne) {
    HWND wants = CreateWindowExA(0, "SdDoubleClickWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                 100, nullptr, nullptr, nullptr, nullptr);
    HWND plain = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{200, 0, 300, 100});
    auto clicks = [&](POINT first, POINT second, DWORD pause) {
        received.clear();
        SdResetDoubleClick();
        SdRouteMouse(WM_LBUTTONDOWN, first);
        SdRouteMouse(WM_LBUTTONUP, first);
        SdAdvanceFakeClock(pause);
        SdRouteMouse(WM_LBUTTONDOWN, second);
        SdRouteMouse(WM_LBUTTONUP, second);
        SdRouteMouse(WM_LBUTTONDOWN, second); // a third press starts afresh
        Pump();
        std::vector<UINT> buttons;
        for (UINT m : received)
            if (m >= WM_LBUTTONDOWN && m <= WM_LBUTTONDBLCLK) buttons.push_back(m);
        return buttons;
    };
    const std::vector<UINT> doubled{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                    WM_LBUTTONDOWN};
    // The second press did not pair with the first, so the third pairs with it.
    const std::vector<UINT> single{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                   WM_LBUTTONDBLCLK};
    EXPECT_EQ(clicks({10, 10}, {11, 12}, 500), doubled);
    EXPECT_EQ(clicks({10, 10}, {10, 10}, 501), single);  // too late
    EXPECT_EQ(clicks({10, 10}, {13, 10}, 100), single);  // too far
    (void)wants;
    events.clear();
    SdResetDoubleClick();
    SdRouteMouse(WM_LBUTTONDOWN, {250, 50});
    SdRouteMouse(WM_LBUTTONDOWN, {250, 50});
    std::vector<UINT> plainButtons;
    for (const UserEvent& e : Pump())
        if (e.hwnd == plain) plainButtons.push_back(e.msg);
    EXPECT_EQ(plainButtons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
}

TEST_F(WindowInputTest, KeysGoToTheFocusAndTheirStateFollowsTheQueue) {
    HWND top = Make(WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(SdRouteKey(WM_KEYDOWN, 'A'), nullptr); // no focus: nowhere
    Pump();
    SetFocus(top);
    EXPECT_EQ(SdRouteKey(WM_KEYDOWN, VK_CONTROL), top);
    EXPECT_LT(GetAsyncKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0); // not yet taken from the queue
    auto handled = Pump();
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    SdRouteKey(WM_KEYUP, VK_CONTROL);
    handled = Pump();
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(DWORD(handled[0].lParam), 0xC0000001u);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

TEST_F(WindowInputTest, CursorsComeFromTheSystemAndFromResourceModules) {
    struct {
        LPCSTR id;
        UINT value;
    } system[] = {{IDC_ARROW, 32512}, {IDC_SIZEWE, 32644}, {IDC_SIZENS, 32645}, {IDC_SIZEALL, 32646}};
    for (auto& c : system) {
        HCURSOR cursor = LoadCursorA(nullptr, c.id);
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(SdCursorId(cursor), c.value);
    }
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    HCURSOR zoom = LoadCursorA(module, MAKEINTRESOURCEA(IDC_TEST_CURSOR));
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(LoadCursorA(module, MAKEINTRESOURCEA(IDC_TEST_CURSOR)), zoom);
    EXPECT_EQ(SdCursorId(zoom), UINT(IDC_TEST_CURSOR));
    EXPECT_EQ(LoadCursorA(module, MAKEINTRESOURCEA(IDS_GREETING)), nullptr);
    SetCursor(zoom);
    EXPECT_EQ(SdShownCursorId(), UINT(IDC_TEST_CURSOR));
    EXPECT_EQ(SdCursorId(reinterpret_cast<HCURSOR>(0x1234)), 0u);
    FreeLibrary(module);
}

TEST_F(WindowInputTest, TheDefaultCursorIsTheClassCursorUnlessTheParentSetsOne) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    wc.lpszClassName = "SdCrossWindow";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 300, 300});
    HWND child = CreateWindowExA(0, "SdCrossWindow", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top,
                                 nullptr, nullptr, nullptr);
    SdRouteMouse(WM_MOUSEMOVE, POINT{20, 20});
    EXPECT_EQ(SdShownCursorId(), 32515u);
    answer = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (h == top && m == WM_SETCURSOR) {
            SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
            return TRUE;
        }
        return std::nullopt;
    };
    SdRouteMouse(WM_MOUSEMOVE, POINT{21, 20});
    EXPECT_EQ(SdShownCursorId(), 32646u);
    (void)child;
    Pump();
    answer = nullptr;
}

TEST_F(WindowInputTest, OwnScrollBarsShowWhenTheRangeExceedsThePageAndShrinkTheClientArea) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 200, 100});
    RECT client{};
    auto clientSize = [&] {
        GetClientRect(w, &client);
        return std::pair<LONG, LONG>(client.right, client.bottom);
    };
    EXPECT_EQ(clientSize(), (std::pair<LONG, LONG>(200, 100)));
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 399, 200, 500, 0};
    events.clear();
    EXPECT_EQ(SetScrollInfo(w, SB_HORZ, &info, TRUE), 200); // 399 - 200 + 1
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(clientSize(), (std::pair<LONG, LONG>(200, 100 - GetSystemMetrics(SM_CYHSCROLL))));
    auto sizes = EventsOf(w, WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(HIWORD(DWORD(sizes[0].lParam)), 84);
    EXPECT_EQ(GetScrollPos(w, SB_HORZ), 200);

    // The window reaches its own strip through the hit test; a press on the right arrow
    // scrolls a line.
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(195, 95)), HTHSCROLL);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(100, 50)), HTCLIENT);
    EXPECT_EQ(SdRouteMouse(WM_LBUTTONDOWN, POINT{195, 95}), w);
    auto handled = Pump();
    std::vector<WORD> codes;
    for (const UserEvent& e : handled)
        if (e.msg == WM_HSCROLL) codes.push_back(LOWORD(DWORD(e.wParam)));
    EXPECT_EQ(codes, (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));

    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = 150;
    SetScrollInfo(w, SB_HORZ, &info, TRUE);
    EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(clientSize(), (std::pair<LONG, LONG>(200, 100)));
    EXPECT_EQ(GetScrollPos(w, SB_HORZ), 0);
    info.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(clientSize(), (std::pair<LONG, LONG>(184, 100)));
    EXPECT_TRUE(ShowScrollBar(w, SB_BOTH, FALSE));
    EXPECT_EQ(clientSize(), (std::pair<LONG, LONG>(200, 100)));
    EXPECT_FALSE(ShowScrollBar(w, 9, TRUE));
}

TEST_F(WindowInputTest, ScrollingMovesThePendingUpdateAndInvalidatesTheUncoveredStrip) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 200, 100});
    ValidateRect(w, nullptr);
    RECT strip{};
    struct Case {
        int dx, dy;
        RECT expected;
    } cases[] = {{-30, 0, {170, 0, 200, 100}}, {30, 0, {0, 0, 30, 100}}, {0, 20, {0, 0, 200, 20}},
                 {0, -20, {0, 80, 200, 100}}, {-30, -20, {0, 80, 200, 100}}};
    for (const Case& c : cases) {
        ValidateRect(w, nullptr);
        EXPECT_EQ(ScrollWindowEx(w, c.dx, c.dy, nullptr, nullptr, nullptr, &strip, SW_INVALIDATE), 2);
        RECT update{};
        GetUpdateRect(w, &update, FALSE);
        if (c.dx && c.dy) {
            // Both strips: their bounding rectangle.
            EXPECT_EQ(update.left, 0);
            EXPECT_EQ(update.top, 0);
            EXPECT_EQ(update.right, 200);
            EXPECT_EQ(update.bottom, 100);
        } else {
            EXPECT_TRUE(EqualRect(&strip, &c.expected)) << c.dx << "," << c.dy;
            EXPECT_TRUE(EqualRect(&update, &c.expected)) << c.dx << "," << c.dy;
        }
    }
    // A pending area moves with the pixels.
    ValidateRect(w, nullptr);
    RECT pending{50, 10, 60, 20};
    InvalidateRect(w, &pending, FALSE);
    ScrollWindowEx(w, 0, 30, nullptr, nullptr, nullptr, nullptr, 0);
    RECT update{};
    GetUpdateRect(w, &update, FALSE);
    RECT moved{50, 40, 60, 50};
    EXPECT_TRUE(EqualRect(&update, &moved));
    EXPECT_EQ(ScrollWindowEx(w, 0, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE), 1);
    EXPECT_EQ(ScrollWindowEx(reinterpret_cast<HWND>(0x42), 1, 0, nullptr, nullptr, nullptr, nullptr, 0), 0);
}

TEST_F(WindowInputTest, AcceleratorsSendTheirCommandWhenKeyAndModifiersMatch) {
    HWND w = Make(WS_POPUP | WS_VISIBLE);
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_TEST_ACCEL));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 2);
    EXPECT_EQ(LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDS_GREETING)), nullptr);
    struct Case {
        int key;
        bool control, shift;
        int command; // 0: none
    } cases[] = {{'Z', true, false, 10000}, {'Z', false, false, 0}, {'Z', true, true, 0},
                 {VK_F2, false, true, 10001}, {VK_F2, false, false, 0}};
    for (const Case& c : cases) {
        SdSetKeyDown(VK_CONTROL, c.control);
        SdSetKeyDown(VK_SHIFT, c.shift);
        events.clear();
        MSG msg{w, WM_KEYDOWN, WPARAM(c.key), 0, 0, {0, 0}};
        EXPECT_EQ(TranslateAcceleratorA(w, table, &msg), c.command ? 1 : 0) << c.key;
        auto commands = EventsOf(w, WM_COMMAND);
        if (c.command) {
            ASSERT_EQ(commands.size(), 1u);
            EXPECT_EQ(commands[0].wParam, MAKEWPARAM(WORD(c.command), 1));
        } else {
            EXPECT_TRUE(commands.empty());
        }
    }
    SdResetKeyState();
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    EXPECT_FALSE(DestroyAcceleratorTable(table));
    FreeLibrary(module);
}

TEST_F(WindowInputTest, PopupMenusChooseWhatTheScriptSaysAfterTheOwnerSetTheItems) {
    HWND owner = Make(WS_POPUP | WS_VISIBLE);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 100, "First");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 101, "Grey");
    answer = [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (h == owner && m == WM_INITMENUPOPUP) CheckMenuItem(reinterpret_cast<HMENU>(w), 100, MF_CHECKED);
        return std::nullopt;
    };
    // Nothing scripted: nothing chosen.
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 5, 6, 0, owner, nullptr));
    SdPushPopupMenuChoice(100);
    SdPushPopupMenuChoice(101);
    SdPushPopupMenuChoice(100);
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 7, 8, 0, owner, nullptr));
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0); // greyed
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 100);
    auto handled = Pump();
    auto commands = EventsOf(owner, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u); // only the choice without TPM_RETURNCMD is posted
    EXPECT_EQ(commands[0].wParam, 100u);
    auto log = SdPopupMenuLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_FALSE(log[0].scripted);
    EXPECT_EQ(log[0].chosen, 0u);
    EXPECT_EQ(log[1].at.x, 7);
    EXPECT_EQ(log[1].chosen, 100u);
    ASSERT_EQ(log[1].items.size(), 3u);
    EXPECT_EQ(log[1].items[0].state, MF_CHECKED);
    EXPECT_EQ(log[1].items[1].id, 0u);
    EXPECT_EQ(log[1].items[2].text, "Grey");
    EXPECT_EQ(SdPendingPopupMenuChoices(), 0);
    DestroyMenu(menu);
    answer = nullptr;
}

TEST_F(WindowInputTest, ClipboardFormatsAreRegisteredOncePerNameWithoutCase) {
    const UINT a = RegisterClipboardFormatA("Tarvel MERIDO data");
    const UINT b = RegisterClipboardFormatA("WPF");
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterClipboardFormatA("tarvel merido DATA"), a);
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
    char name[8];
    EXPECT_EQ(GetClipboardFormatNameA(a, name, sizeof name), 7);
    EXPECT_STREQ(name, "Tarvel ");
    EXPECT_EQ(GetClipboardFormatNameA(CF_TEXT, name, sizeof name), 0);
}

TEST_F(WindowInputTest, TheSystemIsOfTheNtFamilyWithTheClassicMetrics) {
    EXPECT_EQ(GetVersion() & 0x80000000u, 0u);
    EXPECT_EQ(GetVersion() & 0xFF, 5u);
    EXPECT_EQ(GetSysColor(COLOR_APPWORKSPACE), RGB(128, 128, 128));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), SD_SCREEN_WIDTH);
    EXPECT_FALSE(SdDisplayActive());
}

} // namespace
