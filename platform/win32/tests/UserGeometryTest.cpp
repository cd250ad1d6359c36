#include <climits>

#include "UserTestWindow.h"
#include "win32/kernel.h"

namespace {

using UserGeometryTest = UserTest;

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT ClientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

bool Same(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b);
}

testing::AssertionResult RectIs(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    if (r.left == left && r.top == top && r.right == right && r.bottom == bottom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "rect is {" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

TEST_F(UserGeometryTest, MovingAndSizingSendTheirMessages) {
    HWND frame = Make(WS_OVERLAPPED | WS_VISIBLE, nullptr, 0, {100, 50, 500, 350});
    HWND child = Make(WS_CHILD | WS_VISIBLE, frame, 1, {10, 20, 60, 50});
    EXPECT_TRUE(RectIs(WindowRect(child), 110, 70, 160, 100)); // screen coordinates
    EXPECT_TRUE(RectIs(ClientRect(child), 0, 0, 50, 30));
    POINT p{5, 6};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 115);
    EXPECT_EQ(p.y, 76);
    ScreenToClient(frame, &p);
    EXPECT_EQ(p.x, 15);
    EXPECT_EQ(p.y, 26);

    events.clear();
    ASSERT_TRUE(MoveWindow(child, 30, 40, 80, 60, TRUE));
    EXPECT_EQ(MessagesOf(child), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE,
                                                    WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(EventsOf(child, WM_MOVE)[0].lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(EventsOf(child, WM_SIZE)[0].lParam, MAKELPARAM(80, 60));
    EXPECT_EQ(EventsOf(child, WM_SIZE)[0].wParam, SIZE_RESTORED);

    // Only what changed is reported; flags keep position or size.
    struct Case {
        int x, y, cx, cy;
        UINT flags;
        std::vector<UINT> notices;
        RECT after; // in the parent's client coordinates
    };
    const Case cases[] = {
        {30, 40, 80, 60, SWP_NOZORDER, {}, {30, 40, 110, 100}},
        {1, 2, 80, 60, SWP_NOZORDER, {WM_MOVE}, {1, 2, 81, 62}},
        {9, 9, 10, 20, SWP_NOZORDER | SWP_NOMOVE, {WM_SIZE}, {1, 2, 11, 22}},
        {7, 8, 99, 99, SWP_NOZORDER | SWP_NOSIZE, {WM_MOVE}, {7, 8, 17, 28}},
        {0, 0, -5, -5, SWP_NOZORDER | SWP_NOMOVE, {WM_SIZE}, {7, 8, 7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.cx << "x" << c.cy);
        events.clear();
        ASSERT_TRUE(SetWindowPos(child, nullptr, c.x, c.y, c.cx, c.cy, c.flags));
        std::vector<UINT> notices;
        for (UINT m : MessagesOf(child))
            if (m == WM_MOVE || m == WM_SIZE) notices.push_back(m);
        EXPECT_EQ(notices, c.notices);
        RECT r = WindowRect(child);
        OffsetRect(&r, -100, -50);
        EXPECT_TRUE(Same(r, c.after));
    }
}

TEST_F(UserGeometryTest, WindowPosChangingCanAlterTheMove) {
    HWND hwnd = Make(WS_POPUP);
    answer = [](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_WINDOWPOSCHANGING) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            pos->cx = std::min(pos->cx, 200); // a window with a maximum width
        }
        return std::nullopt;
    };
    SetWindowPos(hwnd, nullptr, 0, 0, 999, 50, SWP_NOZORDER);
    EXPECT_TRUE(RectIs(WindowRect(hwnd), 0, 0, 200, 50));
}

TEST_F(UserGeometryTest, ZOrderAndVisibilityFlags) {
    HWND frame = Make(WS_OVERLAPPED | WS_VISIBLE);
    HWND a = Make(WS_CHILD, frame, 1);
    HWND b = Make(WS_CHILD, frame, 2);
    HWND c = Make(WS_CHILD, frame, 3); // z-order: c b a
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDLAST), c);
    SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), a);
    EXPECT_TRUE(IsWindowVisible(a));
    SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    EXPECT_FALSE(IsWindowVisible(a));

    // A child is visible only while its parent is.
    ShowWindow(b, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(b));
    EXPECT_TRUE(ShowWindow(frame, SW_HIDE)); // it was visible
    EXPECT_FALSE(IsWindowVisible(b));
    EXPECT_EQ(EventsOf(frame, WM_SHOWWINDOW).back().wParam, WPARAM(FALSE));
}

TEST_F(UserGeometryTest, ShowStatesMinimiseMaximiseAndRestore) {
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW, nullptr, 0, {100, 100, 400, 300});
    const RECT normal{100, 100, 400, 300};
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWMAXIMIZED)); // was hidden
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsZoomed(hwnd));
    EXPECT_TRUE(RectIs(WindowRect(hwnd), 0, 0, SD_SCREEN_WIDTH, SD_SCREEN_HEIGHT));
    EXPECT_EQ(EventsOf(hwnd, WM_SIZE).back().wParam, SIZE_MAXIMIZED);

    // Minimising a maximised window remembers to come back maximised.
    events.clear();
    EXPECT_TRUE(ShowWindow(hwnd, SW_MINIMIZE));
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_FALSE(IsZoomed(hwnd));
    EXPECT_TRUE(RectIs(ClientRect(hwnd), 0, 0, 0, 0));
    ASSERT_FALSE(EventsOf(hwnd, WM_SIZE).empty());
    EXPECT_EQ(EventsOf(hwnd, WM_SIZE).back().wParam, SIZE_MINIMIZED);
    EXPECT_EQ(EventsOf(hwnd, WM_SIZE).back().lParam, 0);
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_TRUE(IsZoomed(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(hwnd));
    EXPECT_TRUE(Same(WindowRect(hwnd), normal));

    // SW_SHOWNORMAL restores to the normal rectangle whatever came before.
    ShowWindow(hwnd, SW_MAXIMIZE);
    ShowWindow(hwnd, SW_SHOWMINIMIZED);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    EXPECT_FALSE(IsIconic(hwnd) || IsZoomed(hwnd));
    EXPECT_TRUE(Same(WindowRect(hwnd), normal));

    EXPECT_FALSE(ShowWindow(hwnd, 12));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_SHOWWIN_COMMAND);
    EXPECT_FALSE(ShowWindow(hwnd, -1));

    // A maximised child fills its parent's client area.
    HWND child = Make(WS_CHILD | WS_VISIBLE, hwnd, 1, {5, 5, 20, 20});
    ShowWindow(child, SW_MAXIMIZE);
    EXPECT_TRUE(Same(WindowRect(child), normal));
}

TEST_F(UserGeometryTest, PlacementRoundTrips) {
    struct Case {
        const char* what;
        UINT showCmd;
        UINT flags;
        bool zoomed;
        bool iconic;
    };
    const Case cases[] = {
        {"normal", SW_SHOWNORMAL, 0, false, false},
        {"maximised", SW_SHOWMAXIMIZED, 0, true, false},
        {"minimised", SW_SHOWMINIMIZED, 0, false, true},
        {"minimised from maximised", SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        wp.flags = c.flags;
        wp.showCmd = c.showCmd;
        wp.ptMinPosition = POINT{-1, -1};
        wp.ptMaxPosition = POINT{-1, -1};
        wp.rcNormalPosition = RECT{40, 30, 840, 630};

        HWND hwnd = Make(WS_OVERLAPPEDWINDOW); // hidden, elsewhere
        ASSERT_TRUE(SetWindowPlacement(hwnd, &wp));
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_EQ(bool(IsZoomed(hwnd)), c.zoomed);
        EXPECT_EQ(bool(IsIconic(hwnd)), c.iconic);
        if (c.zoomed) {
            EXPECT_TRUE(RectIs(ClientRect(hwnd), 0, 0, SD_SCREEN_WIDTH, SD_SCREEN_HEIGHT));
        }

        WINDOWPLACEMENT back{};
        ASSERT_TRUE(GetWindowPlacement(hwnd, &back));
        EXPECT_EQ(back.length, sizeof back);
        EXPECT_EQ(back.showCmd, c.showCmd);
        EXPECT_EQ(back.flags, c.flags);
        EXPECT_TRUE(Same(back.rcNormalPosition, wp.rcNormalPosition));

        // Restoring ends on the stored normal rectangle (through maximised if so flagged).
        ShowWindow(hwnd, SW_RESTORE);
        if (c.flags & WPF_RESTORETOMAXIMIZED) {
            EXPECT_TRUE(IsZoomed(hwnd));
            ShowWindow(hwnd, SW_RESTORE);
        }
        EXPECT_TRUE(Same(WindowRect(hwnd), wp.rcNormalPosition));
        DestroyWindow(hwnd);
    }
}

TEST_F(UserGeometryTest, BadPlacementsAreRefusedOrClamped) {
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, {10, 10, 110, 110});
    const RECT before = WindowRect(hwnd);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_SHOWMAXIMIZED;
    wp.rcNormalPosition = RECT{0, 0, 50, 50};

    WINDOWPLACEMENT shortLength = wp;
    shortLength.length = sizeof wp - 4;
    WINDOWPLACEMENT badCommand = wp;
    badCommand.showCmd = 99;
    const WINDOWPLACEMENT* refused[] = {&shortLength, &badCommand, nullptr};
    for (const WINDOWPLACEMENT* bad : refused) {
        SetLastError(0);
        EXPECT_FALSE(SetWindowPlacement(hwnd, bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_TRUE(Same(WindowRect(hwnd), before)); // nothing half done
        EXPECT_FALSE(IsZoomed(hwnd));
    }

    // Extreme and inverted rectangles from a damaged settings file.
    const RECT extremes[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                             {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
                             {100, 100, 50, 50}};
    for (const RECT& r : extremes) {
        wp.showCmd = SW_SHOWNORMAL;
        wp.rcNormalPosition = r;
        ASSERT_TRUE(SetWindowPlacement(hwnd, &wp));
        RECT now = WindowRect(hwnd);
        EXPECT_LE(now.left, now.right);
        EXPECT_LE(now.top, now.bottom);
        HWND child =
            Make(WS_CHILD | WS_VISIBLE, hwnd, 1, {INT_MAX / 2, INT_MAX / 2, INT_MAX, INT_MAX});
        RECT childRect = WindowRect(child); // sums of nested offsets must not overflow
        EXPECT_LE(childRect.left, childRect.right);
        POINT p{INT_MAX, INT_MIN};
        ClientToScreen(child, &p);
        DestroyWindow(child);
    }
    EXPECT_FALSE(GetWindowPlacement(hwnd, nullptr));
}

TEST_F(UserGeometryTest, DefaultPositionAndInitialStateStyles) {
    HWND hwnd =
        CreateWindowA(className, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MAXIMIZE, CW_USEDEFAULT,
                      0, CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsZoomed(hwnd));
    WINDOWPLACEMENT wp{};
    GetWindowPlacement(hwnd, &wp);
    EXPECT_GT(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 0);
    EXPECT_GT(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 0);
    EXPECT_EQ(EventsOf(hwnd, WM_SHOWWINDOW).size(), 1u);

    HWND child = CreateWindowA(className, "", WS_CHILD, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, hwnd,
                               nullptr, nullptr, nullptr);
    EXPECT_TRUE(RectIs(WindowRect(child), 0, 0, 0, 0));
}

} // namespace
