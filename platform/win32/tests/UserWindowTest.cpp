#include <cstring>
#include <string>

#include "UserTestWindow.h"
#include "win32/kernel.h"

namespace {

using UserWindowTest = UserTest;

std::string ClassOf(HWND hwnd) {
    char name[64];
    return GetClassNameA(hwnd, name, sizeof name) ? std::string(name) : std::string();
}

TEST_F(UserWindowTest, CreationSendsCreateMessagesWithTheCreateStruct) {
    int tag = 0;
    CREATESTRUCTA seen{};
    answer = [&](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
        return std::nullopt;
    };
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, className, "Title", WS_POPUP, 5, 6, 70, 80,
                                nullptr, nullptr, nullptr, &tag);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(MessagesOf(hwnd),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(seen.lpCreateParams, &tag);
    EXPECT_EQ(seen.x, 5);
    EXPECT_EQ(seen.cy, 80);
    EXPECT_EQ(seen.style, LONG(WS_POPUP));
    EXPECT_EQ(seen.dwExStyle, WS_EX_TOOLWINDOW);
    EXPECT_STREQ(seen.lpszName, "Title");
    UserEvent size = EventsOf(hwnd, WM_SIZE).at(0);
    EXPECT_EQ(size.lParam, MAKELPARAM(70, 80));

    char text[16];
    EXPECT_EQ(GetWindowTextA(hwnd, text, sizeof text), 5); // DefWindowProc's WM_NCCREATE
    EXPECT_STREQ(text, "Title");
    EXPECT_EQ(ClassOf(hwnd), className);
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(UserWindowTest, FailedCreationsReturnNullAndLeaveNoWindow) {
    struct Case {
        const char* what;
        UINT refuse; // message answered with `with`
        LRESULT with;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        {"WM_NCCREATE refuses", WM_NCCREATE, FALSE, {WM_NCCREATE, WM_NCDESTROY}},
        {"WM_CREATE refuses",
         WM_CREATE,
         -1,
         {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        answer = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == c.refuse) return c.with;
            return std::nullopt;
        };
        EXPECT_EQ(Make(WS_OVERLAPPED), nullptr);
        ASSERT_FALSE(events.empty());
        HWND made = events.front().hwnd;
        EXPECT_EQ(MessagesOf(nullptr), c.expected);
        EXPECT_FALSE(IsWindow(made));
    }
    answer = nullptr;

    SetLastError(0);
    EXPECT_EQ(CreateWindowA("NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_EQ(
        CreateWindowA(MAKEINTATOMA(0xBEEF), "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(Make(WS_CHILD), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
    EXPECT_EQ(Make(WS_CHILD, reinterpret_cast<HWND>(0x1234)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    // Nothing is left behind: the class can go.
    EXPECT_TRUE(UnregisterClassA(className, nullptr));
}

TEST_F(UserWindowTest, DestroyTakesOwnedWindowsFirstThenTheTreeInOrder) {
    HWND top = Make(WS_OVERLAPPEDWINDOW);
    HWND a = Make(WS_CHILD, top, 1);
    HWND a1 = Make(WS_CHILD, a, 2);
    HWND b = Make(WS_CHILD, top, 3);
    HWND owned = Make(WS_POPUP, a1); // owned by the top-level ancestor
    ASSERT_TRUE(top && a && a1 && b && owned);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), top);
    events.clear();

    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const UserEvent& e : events)
        if (e.msg == WM_DESTROY || e.msg == WM_NCDESTROY) order.emplace_back(e.hwnd, e.msg);
    // Children are kept in z-order, the last created on top.
    std::vector<std::pair<HWND, UINT>> expected = {
        {owned, WM_DESTROY}, {owned, WM_NCDESTROY}, {top, WM_DESTROY}, {b, WM_DESTROY},
        {b, WM_NCDESTROY},   {a, WM_DESTROY},       {a1, WM_DESTROY},  {a1, WM_NCDESTROY},
        {a, WM_NCDESTROY},   {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND hwnd : {top, a, a1, b, owned})
        EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(DestroyWindow(top));
    EXPECT_TRUE(UnregisterClassA(className, nullptr));
}

TEST_F(UserWindowTest, DestroyFromWithinDestructionIsSafe) {
    HWND parent = Make(WS_OVERLAPPED);
    HWND child = Make(WS_CHILD, parent);
    BOOL again = TRUE;
    answer = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_DESTROY && hwnd == parent) {
            again = DestroyWindow(parent); // already going
            DestroyWindow(child);          // destroyed early by its parent
        }
        return std::nullopt;
    };
    ASSERT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(again);
    EXPECT_EQ(EventsOf(child, WM_DESTROY).size(), 1u);
    EXPECT_EQ(EventsOf(child, WM_NCDESTROY).size(), 1u);
    EXPECT_EQ(EventsOf(parent, WM_NCDESTROY).size(), 1u);
}

TEST_F(UserWindowTest, BogusHandlesAreRefusedEverywhere) {
    HWND gone = Make(WS_OVERLAPPED);
    DestroyWindow(gone);
    int local = 0;
    const HWND bogus[] = {nullptr,
                          reinterpret_cast<HWND>(1),
                          reinterpret_cast<HWND>(-1),
                          reinterpret_cast<HWND>(0xDEADBEEF),
                          reinterpret_cast<HWND>(&local),
                          reinterpret_cast<HWND>(UINTPTR_MAX - 7),
                          gone};
    for (HWND hwnd : bogus) {
        SCOPED_TRACE(reinterpret_cast<UINT_PTR>(hwnd));
        RECT r{};
        char text[8] = "x";
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(SendMessageA(hwnd, WM_USER, 1, 2), 0);
        EXPECT_FALSE(DestroyWindow(hwnd));
        EXPECT_FALSE(GetWindowRect(hwnd, &r));
        EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
        EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), 0);
        EXPECT_EQ(GetWindowTextA(hwnd, text, sizeof text), 0);
        EXPECT_EQ(GetParent(hwnd), nullptr);
        if (hwnd) {
            EXPECT_FALSE(InvalidateRect(hwnd, nullptr, TRUE));
            EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
        }
    }
    EXPECT_EQ(SdPostedMessageCount(), 0);
    EXPECT_TRUE(IsWindow(GetDesktopWindow()));
    EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));
}

TEST_F(UserWindowTest, CloseDestroysThroughDefWindowProc) {
    HWND hwnd = Make(WS_OVERLAPPED);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));

    hwnd = Make(WS_OVERLAPPED);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER) return 42;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
}

TEST_F(UserWindowTest, WindowLongsAndExtraBytes) {
    HWND parent = Make(WS_OVERLAPPED);
    HWND hwnd = Make(WS_CHILD | WS_TABSTOP, parent, 77);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_ID), 77);
    EXPECT_EQ(DWORD(GetWindowLongA(hwnd, GWL_STYLE)), DWORD(WS_CHILD | WS_TABSTOP));
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(parent));

    // Subclassing: the new procedure handles WM_USER and chains the rest.
    auto original = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, original);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 42);
    events.clear();
    SendMessageA(hwnd, WM_USER + 1, 0, 0);
    EXPECT_EQ(MessagesOf(hwnd), std::vector<UINT>{WM_USER + 1});

    // Extra bytes: in range they hold what was written; past the end nothing is touched.
    const LONG_PTR big = LONG_PTR(0x1122334455667788LL);
    EXPECT_EQ(SetWindowLongPtrA(hwnd, 8, big), 0);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS); // a previous 0 is not a failure
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 8), big);
    EXPECT_EQ(GetWindowLongA(hwnd, 12), LONG(0x11223344));
    for (int index : {9, 16, 1000, -3, INT32_MIN}) {
        SCOPED_TRACE(index);
        SetLastError(0);
        EXPECT_EQ(GetWindowLongPtrA(hwnd, index), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
        EXPECT_EQ(SetWindowLongPtrA(hwnd, index, 5), 0);
    }
    EXPECT_EQ(SetWindowLongA(hwnd, 12, 7), LONG(0x11223344));
    EXPECT_EQ(GetWindowLongA(hwnd, 12), 7);
}

TEST_F(UserWindowTest, ParentsOwnersAndDialogItems) {
    HWND frame = Make(WS_OVERLAPPEDWINDOW);
    HWND popup = Make(WS_POPUP, frame);
    HWND overlappedOwned = Make(WS_OVERLAPPED, frame);
    HWND first = Make(WS_CHILD, frame, 100);
    HWND second = Make(WS_CHILD, frame, 200);
    HWND inner = Make(WS_CHILD, second, 300);

    EXPECT_EQ(GetParent(first), frame);
    EXPECT_EQ(GetParent(popup), frame); // the owner of a popup
    EXPECT_EQ(GetParent(overlappedOwned), nullptr);
    EXPECT_EQ(GetWindow(overlappedOwned, GW_OWNER), frame);
    EXPECT_EQ(GetParent(frame), nullptr);
    EXPECT_EQ(GetAncestor(frame, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetAncestor(inner, GA_ROOT), frame);
    EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), frame);
    EXPECT_TRUE(IsChild(frame, inner));
    EXPECT_FALSE(IsChild(frame, popup));

    EXPECT_EQ(GetDlgItem(frame, 200), second);
    EXPECT_EQ(GetDlgItem(frame, 300), nullptr); // direct children only
    EXPECT_EQ(GetLastError(), ERROR_CONTROL_ID_NOT_FOUND);
    EXPECT_EQ(GetDlgCtrlID(inner), 300);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), second); // newest on top
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), nullptr);

    // Moving a child under another window; cycles are refused.
    EXPECT_EQ(SetParent(inner, first), second);
    EXPECT_EQ(GetParent(inner), first);
    EXPECT_EQ(GetWindow(second, GW_CHILD), nullptr);
    EXPECT_EQ(SetParent(frame, inner), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // So are owner cycles.
    EXPECT_EQ(SetWindowLongPtrA(frame, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(popup)), 0);
    EXPECT_EQ(GetWindow(frame, GW_OWNER), nullptr);
}

TEST_F(UserWindowTest, TextGoesThroughMessagesAndTruncates) {
    HWND hwnd = Make(WS_OVERLAPPED, nullptr, 0, {0, 0, 10, 10}, nullptr);
    char text[8] = "junk";
    EXPECT_EQ(GetWindowTextA(hwnd, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    events.clear();
    EXPECT_TRUE(SetWindowTextA(hwnd, "Signs and letters"));
    EXPECT_EQ(MessagesOf(hwnd), std::vector<UINT>{WM_SETTEXT});
    EXPECT_EQ(GetWindowTextLengthA(hwnd), 17);
    EXPECT_EQ(GetWindowTextA(hwnd, text, sizeof text), 7);
    EXPECT_STREQ(text, "Signs a");
    EXPECT_EQ(GetWindowTextA(hwnd, text, 1), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(GetWindowTextA(hwnd, text, 0), 0);
    EXPECT_EQ(GetWindowTextA(hwnd, nullptr, 5), 0);
    EXPECT_TRUE(SetWindowTextA(hwnd, nullptr));
    EXPECT_EQ(GetWindowTextLengthA(hwnd), 0);
}

TEST_F(UserWindowTest, FocusCaptureAndEnabling) {
    HWND frame = Make(WS_OVERLAPPED | WS_VISIBLE);
    HWND edit = Make(WS_CHILD | WS_VISIBLE, frame, 1);
    HWND list = Make(WS_CHILD | WS_VISIBLE, frame, 2);
    events.clear();

    EXPECT_EQ(SetFocus(edit), nullptr);
    EXPECT_EQ(SetFocus(list), edit);
    EXPECT_EQ(GetFocus(), list);
    ASSERT_EQ(EventsOf(edit, WM_KILLFOCUS).size(), 1u);
    EXPECT_EQ(EventsOf(edit, WM_KILLFOCUS)[0].wParam, reinterpret_cast<WPARAM>(list));
    ASSERT_EQ(EventsOf(list, WM_SETFOCUS).size(), 1u);
    EXPECT_EQ(EventsOf(list, WM_SETFOCUS)[0].wParam, reinterpret_cast<WPARAM>(edit));
    EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x4321)), nullptr);
    EXPECT_EQ(GetFocus(), list);

    // Disabling the focus window takes the focus away.
    EXPECT_FALSE(EnableWindow(list, FALSE)); // was enabled
    EXPECT_FALSE(IsWindowEnabled(list));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(EventsOf(list, WM_ENABLE).at(0).wParam, WPARAM(FALSE));
    EXPECT_TRUE(EnableWindow(list, TRUE)); // was disabled
    EXPECT_TRUE(IsWindowEnabled(list));

    EXPECT_EQ(SetCapture(edit), nullptr);
    EXPECT_EQ(SetCapture(list), edit);
    EXPECT_EQ(EventsOf(edit, WM_CAPTURECHANGED).at(0).lParam, reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(EventsOf(list, WM_CAPTURECHANGED).size(), 1u);

    // Destroying the focus window and the capture window lets both go.
    SetFocus(edit);
    SetCapture(edit);
    events.clear();
    DestroyWindow(edit);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(MessagesOf(edit),
              (std::vector<UINT>{WM_KILLFOCUS, WM_CAPTURECHANGED, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(UserWindowTest, ClassRegistry) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "sdrecordingwindow"; // names match without case
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    wc.lpszClassName = "Other";
    wc.cbWndExtra = -1;
    EXPECT_EQ(RegisterClassA(&wc), 0);
    wc.cbWndExtra = 0;
    wc.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);

    wc.lpfnWndProc = DefWindowProcA;
    ATOM atom = RegisterClassA(&wc);
    ASSERT_NE(atom, 0);
    HWND byAtom = CreateWindowA(MAKEINTATOMA(atom), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(byAtom, nullptr);
    EXPECT_EQ(ClassOf(byAtom), "Other");
    EXPECT_FALSE(UnregisterClassA("Other", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    DestroyWindow(byAtom);
    EXPECT_TRUE(UnregisterClassA("OTHER", nullptr));
    EXPECT_FALSE(GetClassInfoA(nullptr, "Other", &wc));
}

} // namespace
