#include "UserTestWindow.h"
#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

class UserMessageTest : public UserTest {
protected:
    void InstallClock(DWORD ticks = 1000) { SdInstallFakeClock(ticks, SYSTEMTIME{}); }

    // What PeekMessage(PM_REMOVE) yields until the queue is dry, without dispatching.
    std::vector<UINT> Drain(HWND filter = nullptr) {
        std::vector<UINT> out;
        MSG msg;
        while (out.size() < 100 && PeekMessageA(&msg, filter, 0, 0, PM_REMOVE))
            out.push_back(msg.message);
        return out;
    }
};

TEST_F(UserMessageTest, SendIsImmediatePostWaitsForThePump) {
    HWND hwnd = Make(WS_POPUP);
    events.clear();
    EXPECT_TRUE(PostMessageA(hwnd, WM_USER + 1, 10, 11));
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 2, 0, 0), 0);
    EXPECT_TRUE(PostMessageA(hwnd, WM_USER + 3, 0, 0));
    EXPECT_EQ(MessagesOf(hwnd), std::vector<UINT>{WM_USER + 2});
    EXPECT_EQ(PumpMessages(), 2);
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<UINT>{WM_USER + 2, WM_USER + 1, WM_USER + 3}));
    EXPECT_EQ(EventsOf(hwnd, WM_USER + 1)[0].lParam, 11);

    answer = [](HWND, UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_USER) return LRESULT(w * 2);
        return std::nullopt;
    };
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 21, 0), 42);
    MSG msg{hwnd, WM_USER, 5, 0, 0, {}};
    EXPECT_EQ(DispatchMessageA(&msg), 10);
}

TEST_F(UserMessageTest, PostedMessagesOfADestroyedWindowAreDropped) {
    HWND a = Make(WS_POPUP);
    HWND b = Make(WS_POPUP);
    PostMessageA(a, WM_USER, 0, 0);
    PostMessageA(b, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 5, 0, 0);
    DestroyWindow(a);
    EXPECT_EQ(SdPostedMessageCount(), 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr); // a thread message, which has no window to go to
    EXPECT_EQ(DispatchMessageA(&msg), 0);
}

TEST_F(UserMessageTest, PeekFilters) {
    HWND a = Make(WS_POPUP);
    HWND b = Make(WS_POPUP);
    struct Case {
        const char* what;
        HWND filter;
        UINT min, max;
        HWND hwnd;
        UINT message;
    };
    const Case cases[] = {
        {"everything", nullptr, 0, 0, a, WM_USER + 1},
        {"window b", b, 0, 0, b, WM_COMMAND},
        {"range", nullptr, WM_KEYFIRST, WM_KEYLAST, b, WM_KEYDOWN},
        {"single message", nullptr, WM_USER + 2, WM_USER + 2, a, WM_USER + 2},
        {"thread messages", reinterpret_cast<HWND>(-1), 0, 0, nullptr, WM_APP},
        {"window and range", a, WM_COMMAND, WM_COMMAND, nullptr, 0},
        {"reversed range lies outside", nullptr, WM_USER + 10, WM_COMMAND, b, WM_COMMAND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PostMessageA(a, WM_USER + 1, 0, 0);
        PostMessageA(b, WM_COMMAND, 0, 0);
        PostMessageA(b, WM_KEYDOWN, 'A', 0);
        PostMessageA(a, WM_USER + 2, 0, 0);
        PostMessageA(nullptr, WM_APP, 0, 0);
        MSG msg{};
        BOOL found = PeekMessageA(&msg, c.filter, c.min, c.max, PM_NOREMOVE);
        EXPECT_EQ(found, c.message != 0);
        if (found) {
            EXPECT_EQ(msg.hwnd, c.hwnd);
            EXPECT_EQ(msg.message, c.message);
            EXPECT_EQ(SdPostedMessageCount(), 5); // PM_NOREMOVE left it
            ASSERT_TRUE(PeekMessageA(&msg, c.filter, c.min, c.max, PM_REMOVE));
            EXPECT_EQ(msg.message, c.message);
            EXPECT_EQ(SdPostedMessageCount(), 4);
        }
        Drain();
    }
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(0x777), 0, 0, PM_REMOVE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(UserMessageTest, QuitComesAfterPostedMessagesAndPassesAnyFilter) {
    HWND hwnd = Make(WS_POPUP);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_USER, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_USER, WM_USER, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(GetMessageA(&msg, hwnd, WM_USER, WM_USER), 0);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(SdIdleQuitCount(), 0);
}

TEST_F(UserMessageTest, GetMessageNeverWaitsForMessagesThatCannotCome) {
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(SdIdleQuitCount(), 1);

    // A message loop in the usual form ends.
    HWND hwnd = Make(WS_POPUP);
    PostMessageA(hwnd, WM_USER, 0, 0);
    int loops = 0;
    while (GetMessageA(&msg, nullptr, 0, 0) && loops < 10) {
        DispatchMessageA(&msg);
        ++loops;
    }
    EXPECT_EQ(loops, 1);

    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(0x5555), 0, 0), -1);
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);

    // A pending timer is waited for through Sleep, which the fake clock turns into time.
    InstallClock(5000);
    SetTimer(hwnd, 9, 250, nullptr);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_EQ(GetTickCount(), 5250u);
}

TEST_F(UserMessageTest, TimersFollowTheClockAndDoNotPileUp) {
    InstallClock(0xFFFFFF00u); // the tick count wraps during the test
    HWND hwnd = Make(WS_POPUP);
    EXPECT_EQ(SetTimer(hwnd, 7, 100, nullptr), 7u);
    SdAdvanceFakeClock(99);
    EXPECT_TRUE(Drain().empty());
    SdAdvanceFakeClock(1);
    EXPECT_EQ(Drain(), std::vector<UINT>{WM_TIMER});
    SdAdvanceFakeClock(1000); // ten periods late: still one message
    EXPECT_EQ(Drain(), std::vector<UINT>{WM_TIMER});
    EXPECT_TRUE(Drain().empty());

    // Resetting a timer restarts its period; killing it stops it.
    SdAdvanceFakeClock(60);
    SetTimer(hwnd, 7, 100, nullptr);
    SdAdvanceFakeClock(60);
    EXPECT_TRUE(Drain().empty());
    EXPECT_TRUE(KillTimer(hwnd, 7));
    EXPECT_FALSE(KillTimer(hwnd, 7));
    SdAdvanceFakeClock(500);
    EXPECT_TRUE(Drain().empty());

    // Timers die with their window; a window that is gone gets none.
    SetTimer(hwnd, 1, 10, nullptr);
    DestroyWindow(hwnd);
    SdAdvanceFakeClock(500);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(SetTimer(hwnd, 1, 10, nullptr), 0u);

    // Periods below the minimum are raised to it.
    HWND other = Make(WS_POPUP);
    SetTimer(other, 2, 0, nullptr);
    SdAdvanceFakeClock(USER_TIMER_MINIMUM - 1);
    EXPECT_TRUE(Drain().empty());
    SdAdvanceFakeClock(1);
    EXPECT_EQ(Drain(), std::vector<UINT>{WM_TIMER});
}

std::vector<UINT_PTR> timerCalls;
void CALLBACK OnTimer(HWND, UINT msg, UINT_PTR id, DWORD) {
    if (msg == WM_TIMER) timerCalls.push_back(id);
}

TEST_F(UserMessageTest, TimerProceduresAreCalledOnlyWhenRegistered) {
    InstallClock();
    timerCalls.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 50, &OnTimer);
    ASSERT_NE(id, 0u);
    UINT_PTR second = SetTimer(nullptr, 0, 50, &OnTimer);
    EXPECT_NE(second, id);
    SdAdvanceFakeClock(50);
    EXPECT_EQ(PumpMessages(), 2);
    EXPECT_EQ(timerCalls, (std::vector<UINT_PTR>{id, second}));

    // A posted WM_TIMER whose lParam is not a timer's procedure is not called.
    timerCalls.clear();
    HWND hwnd = Make(WS_POPUP);
    MSG forged{hwnd, WM_TIMER, 99, reinterpret_cast<LPARAM>(&OnTimer), 0, {}};
    DispatchMessageA(&forged);
    EXPECT_TRUE(timerCalls.empty());
    EXPECT_EQ(EventsOf(hwnd, WM_TIMER).size(), 1u); // the window got it instead
    KillTimer(nullptr, id);
    KillTimer(nullptr, second);
}

TEST_F(UserMessageTest, RetrievalOrderPostedQuitPaintTimer) {
    InstallClock();
    HWND hwnd = Make(WS_POPUP | WS_VISIBLE);
    UpdateWindow(hwnd); // paint what showing it invalidated
    SetTimer(hwnd, 1, 10, nullptr);
    SdAdvanceFakeClock(10);
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageA(hwnd, WM_USER, 0, 0);
    PostQuitMessage(0);
    MSG msg;
    std::vector<UINT> order;
    for (int i = 0; i < 4 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        order.push_back(msg.message);
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_QUIT, WM_PAINT, WM_TIMER}));
}

TEST_F(UserMessageTest, PaintFollowsTheUpdateRegion) {
    HWND hwnd = Make(WS_POPUP, nullptr, 0, {0, 0, 100, 80});
    InvalidateRect(hwnd, nullptr, TRUE);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)); // hidden

    ShowWindow(hwnd, SW_SHOW); // showing makes it all invalid
    ValidateRect(hwnd, nullptr);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));

    // The update region is the bounding box of the invalid parts, clipped to the client.
    RECT a{10, 10, 20, 20};
    RECT b{50, 5, 200, 15};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.top, 5);
    EXPECT_EQ(update.right, 100);
    EXPECT_EQ(update.bottom, 20);
    RECT outside{200, 200, 300, 300};
    InvalidateRect(hwnd, &outside, FALSE);
    GetUpdateRect(hwnd, &update, FALSE);
    EXPECT_EQ(update.right, 100);
    // Validating a band along an edge shrinks it; a hole in the middle keeps it whole.
    RECT top{0, 0, 100, 10};
    ValidateRect(hwnd, &top);
    GetUpdateRect(hwnd, &update, FALSE);
    EXPECT_EQ(update.top, 10);
    RECT hole{40, 12, 45, 14};
    ValidateRect(hwnd, &hole);
    GetUpdateRect(hwnd, &update, FALSE);
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.right, 100);

    // BeginPaint hands out the update rectangle and validates it.
    PAINTSTRUCT ps{};
    answer = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m != WM_PAINT) return std::nullopt;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        return 0;
    };
    events.clear();
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageA(&msg);
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.top, 10);
    EXPECT_NE(ps.hdc, nullptr); // the drawing layer hands out a context of the client area
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // Erasing: WM_ERASEBKGND comes from BeginPaint, and fErase says whether it was done.
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_EQ(MessagesOf(hwnd), (std::vector<UINT>{WM_PAINT, WM_PAINT, WM_ERASEBKGND}));
    EXPECT_TRUE(ps.fErase);
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
}

TEST_F(UserMessageTest, AWindowThatIgnoresPaintDoesNotHangThePump) {
    HWND hwnd = Make(WS_POPUP | WS_VISIBLE);
    answer = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_PAINT) return 0; // neither BeginPaint nor DefWindowProc
        return std::nullopt;
    };
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(EventsOf(hwnd, WM_PAINT).size(), 1u);
}

TEST_F(UserMessageTest, QueueHasALimit) {
    HWND hwnd = Make(WS_POPUP);
    for (int i = 0; i < SD_POSTED_MESSAGE_LIMIT; ++i)
        ASSERT_TRUE(PostMessageA(hwnd, WM_USER, WPARAM(i), 0));
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_TRUE(PostMessageA(hwnd, WM_USER, 0, 0));
}

TEST_F(UserMessageTest, KeyStateFromHooksAndFromTheQueue) {
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    SdSetKeyDown(VK_SHIFT, true);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    SdSetKeyToggled(VK_CAPITAL, true);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    for (int vk : {-1, 256, 100000}) {
        EXPECT_EQ(GetKeyState(vk), 0);
        EXPECT_EQ(GetAsyncKeyState(vk), 0);
        SdSetKeyDown(vk, true); // ignored
    }
    SdResetKeyState();
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);

    // Messages taken from the queue move the thread's key state, not the physical one.
    HWND hwnd = Make(WS_POPUP);
    PostMessageA(hwnd, WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 1, 1); // a press toggles
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    RECT r{};
    GetWindowRect(hwnd, &r);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, r.left + 3);
    EXPECT_EQ(cursor.y, r.top + 4);
}

TEST_F(UserMessageTest, TranslateMakesCharactersFromKeys) {
    HWND hwnd = Make(WS_POPUP);
    struct Case {
        int vk;
        bool shift, control, capsLock;
        int ch; // -1: no character
    };
    const Case cases[] = {
        {'A', false, false, false, 'a'},        {'A', true, false, false, 'A'},
        {'A', false, false, true, 'A'},         {'A', true, false, true, 'a'},
        {'C', false, true, false, 3},           {'7', false, false, false, '7'},
        {'7', true, false, false, -1},          {VK_NUMPAD0 + 4, false, false, false, '4'},
        {VK_RETURN, false, false, false, '\r'}, {VK_BACK, false, false, false, '\b'},
        {VK_F1, false, false, false, -1},       {VK_LEFT, false, false, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        SdResetKeyState();
        SdSetKeyDown(VK_SHIFT, c.shift);
        SdSetKeyDown(VK_CONTROL, c.control);
        SdSetKeyToggled(VK_CAPITAL, c.capsLock);
        PostMessageA(hwnd, WM_KEYDOWN, WPARAM(c.vk), 0x1E0001);
        PostMessageA(hwnd, WM_USER, 0, 0);
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(TranslateMessage(&msg), c.ch >= 0);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        if (c.ch >= 0) {
            EXPECT_EQ(msg.message, WM_CHAR); // before what was posted after the key
            EXPECT_EQ(msg.wParam, WPARAM(c.ch));
            EXPECT_EQ(msg.lParam, 0x1E0001);
            ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        }
        EXPECT_EQ(msg.message, WM_USER);
    }
    EXPECT_FALSE(TranslateMessage(nullptr));
}

TEST_F(UserMessageTest, BroadcastReachesTopLevelWindowsOnly) {
    HWND a = Make(WS_POPUP);
    HWND b = Make(WS_OVERLAPPED);
    HWND child = Make(WS_CHILD, b);
    events.clear();
    SendMessageA(HWND_BROADCAST, WM_USER + 7, 0, 0);
    PostMessageA(HWND_BROADCAST, WM_USER + 8, 0, 0);
    PumpMessages();
    for (HWND hwnd : {a, b}) {
        EXPECT_EQ(EventsOf(hwnd, WM_USER + 7).size(), 1u);
        EXPECT_EQ(EventsOf(hwnd, WM_USER + 8).size(), 1u);
    }
    EXPECT_TRUE(MessagesOf(child).empty());
}

} // namespace
