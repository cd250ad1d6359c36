// The non-client model: client rectangles for each style, the hit test at every part, and
// clicks on a window's own scroll bar.

#include <string>

#include "UserTestWindow.h"
#include "testing/InputDriver.h"
#include "win32/menu.h"
#include "win32/nls.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace non_client_test {

using NonClientTest = UserTest;

TEST_F(NonClientTest, ClientRectanglesForEachStyle) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 400, 300});
    const struct {
        const char* name;
        DWORD style, exStyle;
        bool child;
        RECT insets; // left, top, right, bottom
    } cases[] = {
        {"plain child", 0, 0, true, {0, 0, 0, 0}},
        {"border", WS_BORDER, 0, true, {1, 1, 1, 1}},
        {"dialog frame", WS_DLGFRAME, 0, true, {3, 3, 3, 3}},
        {"modal frame", 0, WS_EX_DLGMODALFRAME, true, {3, 3, 3, 3}},
        {"sizing frame", WS_THICKFRAME | WS_BORDER, 0, true, {4, 4, 4, 4}},
        {"caption", WS_CAPTION | WS_SYSMENU, 0, true, {3, 3 + 19, 3, 3}},
        {"tool window", WS_CAPTION, WS_EX_TOOLWINDOW, true, {3, 3 + 15, 3, 3}},
        {"floating sizable", WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, true, {4, 4 + 15, 4, 4}},
        {"client edge", 0, WS_EX_CLIENTEDGE, true, {2, 2, 2, 2}},
        {"static edge", 0, WS_EX_STATICEDGE, true, {1, 1, 1, 1}},
        {"border and client edge", WS_BORDER, WS_EX_CLIENTEDGE, true, {3, 3, 3, 3}},
        {"scroll bars", WS_HSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE, true, {2, 2, 2 + 16, 2 + 16}},
        {"top-level frame", WS_OVERLAPPEDWINDOW, 0, false, {0, 0, 0, 0}},
        {"top-level edge", WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, false, {2, 2, 2, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DWORD style = c.style | (c.child ? WS_CHILD : WS_POPUP);
        HWND w = CreateWindowExA(c.exStyle, className, "", style, 10, 20, 200, 150,
                                 c.child ? top : nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(w, nullptr);
        RECT client{};
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, 200 - c.insets.left - c.insets.right);
        EXPECT_EQ(client.bottom, 150 - c.insets.top - c.insets.bottom);
        RECT window{};
        GetWindowRect(w, &window);
        POINT origin{0, 0};
        ClientToScreen(w, &origin);
        EXPECT_EQ(origin.x - window.left, c.insets.left);
        EXPECT_EQ(origin.y - window.top, c.insets.top);
        // The default WM_NCCALCSIZE gives the same rectangle in the parent's coordinates.
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = RECT{10, 20, 210, 170};
        SendMessageA(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        EXPECT_EQ(params.rgrc[0].left, 10 + c.insets.left);
        EXPECT_EQ(params.rgrc[0].top, 20 + c.insets.top);
        EXPECT_EQ(params.rgrc[0].right - params.rgrc[0].left, client.right);
        EXPECT_EQ(params.rgrc[0].bottom - params.rgrc[0].top, client.bottom);
        // AdjustWindowRectEx goes the other way (scroll bars aside, as the original's does).
        RECT adjusted{0, 0, 100, 50};
        AdjustWindowRectEx(&adjusted, style & ~(WS_HSCROLL | WS_VSCROLL), FALSE, c.exStyle);
        if (!(c.style & (WS_HSCROLL | WS_VSCROLL))) {
            EXPECT_EQ(-adjusted.left, c.insets.left);
            EXPECT_EQ(-adjusted.top, c.insets.top);
            EXPECT_EQ(adjusted.right - 100, c.insets.right);
        }
        DestroyWindow(w);
    }
    // A top-level window's menu bar takes a line, and gives it back.
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "&File");
    ASSERT_TRUE(SetMenu(top, menu));
    RECT client{};
    GetClientRect(top, &client);
    EXPECT_EQ(client.bottom, 300 - GetSystemMetrics(SM_CYMENU));
    EXPECT_FALSE(EventsOf(top, WM_SIZE).empty());
    SetMenu(top, nullptr);
    GetClientRect(top, &client);
    EXPECT_EQ(client.bottom, 300);
    DestroyMenu(menu);
    RECT r{0, 0, 100, 100};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(r.top, -GetSystemMetrics(SM_CYMENU));
    EXPECT_FALSE(AdjustWindowRectEx(nullptr, 0, FALSE, 0));
}

TEST_F(NonClientTest, HitTestAnswersEveryPart) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 400, 300});
    // A sizable child with a caption and its buttons, and both scroll bars: 200 x 150 at 10, 20.
    HWND w = CreateWindowExA(0, className, "Tool",
                             WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                 WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_HSCROLL | WS_VSCROLL,
                             10, 20, 200, 150, top, nullptr, nullptr, nullptr);
    RECT wr{};
    GetWindowRect(w, &wr);
    auto hit = [&](int x, int y) {
        return SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(WORD(wr.left + x), WORD(wr.top + y)));
    };
    const struct {
        int x, y;
        LRESULT expected;
    } points[] = {
        {1, 1, HTTOPLEFT},      {100, 1, HTTOP},           {198, 1, HTTOPRIGHT},
        {1, 75, HTLEFT},        {198, 75, HTRIGHT},        {1, 148, HTBOTTOMLEFT},
        {100, 148, HTBOTTOM},   {198, 148, HTBOTTOMRIGHT}, {1, 20, HTTOPLEFT},
        {50, 10, HTCAPTION},    {186, 10, HTCLOSE},        {166, 10, HTMAXBUTTON},
        {150, 10, HTMINBUTTON}, {50, 60, HTCLIENT},        {186, 60, HTVSCROLL},
        {50, 138, HTHSCROLL},   {186, 138, HTGROWBOX},     {-1, 10, HTNOWHERE},
        {200, 10, HTNOWHERE},
    };
    for (const auto& p : points)
        EXPECT_EQ(hit(p.x, p.y), p.expected) << p.x << "," << p.y;
    // A plain border is a border; a top-level window's menu bar is the menu.
    HWND bordered = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 250, 20,
                                    50, 50, top, nullptr, nullptr, nullptr);
    RECT br{};
    GetWindowRect(bordered, &br);
    EXPECT_EQ(SendMessageA(bordered, WM_NCHITTEST, 0, MAKELPARAM(WORD(br.left), WORD(br.top + 20))),
              HTBORDER);
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "&File");
    SetMenu(top, menu);
    EXPECT_EQ(SendMessageA(top, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTMENU);
    EXPECT_EQ(SendMessageA(top, WM_NCHITTEST, 0, MAKELPARAM(5, 25)), HTCLIENT);
}

TEST_F(NonClientTest, ClicksOnAWindowsScrollBarScrollIt) {
    HWND w =
        Make(WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, nullptr, 0, RECT{100, 100, 300, 250});
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    SetScrollInfo(w, SB_HORZ, &info, TRUE);
    RECT client{};
    GetClientRect(w, &client);
    auto codes = [&](UINT msg) {
        std::vector<WORD> out;
        for (const UserEvent& e : EventsOf(w, msg))
            out.push_back(LOWORD(e.wParam));
        return out;
    };
    // The down arrow at the bottom of the vertical bar; the track below the thumb.
    sdtest::Click(w, int(client.right) + 8, int(client.bottom) - 4);
    EXPECT_EQ(codes(WM_VSCROLL), (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));
    events.clear();
    sdtest::Click(w, int(client.right) + 8, int(client.bottom) - 30);
    EXPECT_EQ(codes(WM_VSCROLL), (std::vector<WORD>{SB_PAGEDOWN, SB_ENDSCROLL}));
    events.clear();
    sdtest::Click(w, 4, int(client.bottom) + 8);
    EXPECT_EQ(codes(WM_HSCROLL), (std::vector<WORD>{SB_LINEUP, SB_ENDSCROLL}));
    // The size box scrolls nothing.
    events.clear();
    sdtest::Click(w, int(client.right) + 8, int(client.bottom) + 8);
    EXPECT_TRUE(codes(WM_VSCROLL).empty());
    EXPECT_TRUE(codes(WM_HSCROLL).empty());
}

} // namespace non_client_test

namespace non_client_test {

TEST_F(NonClientTest, AProceduresOwnClientAreaRulesGeometryChildrenAndHitTests) {
    // Bordered windows keep a tenth of their width on the left and 6 pixels at the top beyond
    // the border; a window titled "inside out" answers a rectangle turned inside out.
    answer = [](HWND h, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg != WM_NCCALCSIZE || !(GetWindowLongA(h, GWL_STYLE) & WS_BORDER))
            return std::nullopt;
        RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                         : reinterpret_cast<RECT*>(lParam);
        char title[16] = {};
        GetWindowTextA(h, title, sizeof title);
        if (std::string(title) == "inside out") {
            *r = RECT{r->right + 50, r->bottom + 50, r->left - 50, r->top - 50};
            return 0;
        }
        DefWindowProcA(h, msg, wParam, lParam);
        r->left += (r->right - r->left) / 10;
        r->top += 6;
        return 0;
    };
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 400, 300});
    HWND w = Make(WS_CHILD | WS_VISIBLE | WS_BORDER, top, 1, RECT{10, 20, 210, 120});
    ASSERT_NE(w, nullptr);
    // Border 1; the default client is 11..209 x 21..119, then 19 more on the left, 6 on top.
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 179);
    EXPECT_EQ(client.bottom, 92);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    EXPECT_EQ(origin.x, 30);
    EXPECT_EQ(origin.y, 27);
    HWND child = Make(WS_CHILD | WS_VISIBLE, w, 2, RECT{0, 0, 10, 10});
    RECT at{};
    GetWindowRect(child, &at);
    EXPECT_EQ(at.left, 30);
    EXPECT_EQ(at.top, 27);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(30, 27)), HTCLIENT);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(29, 40)), HTBORDER);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(40, 26)), HTBORDER);
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(10, 20)), HTBORDER);

    // A new size is asked about again; WM_SIZE tells the procedure's client size.
    events.clear();
    ASSERT_TRUE(MoveWindow(w, 10, 20, 300, 100, TRUE));
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 309 - (11 + 29));
    const auto sizes = EventsOf(w, WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lParam), 269);
    const auto asked = EventsOf(w, WM_NCCALCSIZE);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].wParam, WPARAM(TRUE));
    // A rectangle turned inside out leaves an empty client area at the window's corner.
    HWND odd =
        Make(WS_CHILD | WS_VISIBLE | WS_BORDER, top, 3, RECT{0, 150, 100, 200}, "inside out");
    ASSERT_NE(odd, nullptr);
    GetClientRect(odd, &client);
    EXPECT_EQ(client.right, 0);
    EXPECT_EQ(client.bottom, 0);
    EXPECT_NE(SendMessageA(odd, WM_NCHITTEST, 0, MAKELPARAM(50, 175)), HTCLIENT);
    // Windows whose procedure answers as the default keep the style's model.
    HWND plain = Make(WS_CHILD | WS_VISIBLE, top, 4, RECT{0, 0, 50, 50});
    SetWindowLongA(plain, GWL_STYLE, GetWindowLongA(plain, GWL_STYLE) | WS_DLGFRAME);
    GetClientRect(plain, &client);
    EXPECT_EQ(client.right, 44);
}

} // namespace non_client_test
