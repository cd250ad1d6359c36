// Tool tips driven by scripted mouse input and the fake clock: the delays, what hides a tip,
// text from the tool, a resource or the tool's window, and the tools' messages.

#include <cstdio>
#include <string>

#include "UserTestWindow.h"
#include "testing/InputDriver.h"
#include "win32/KernelTesting.h"
#include "win32/controls.h"
#include "win32/module.h"
#include "win32/resource.h"

// Named, so that its helpers stay apart when test sources compile in batches.
namespace tool_tip_test {

class ToolTipTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        SdInstallFakeClock(10000, SYSTEMTIME{});
        parent = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{0, 0, 300, 200});
        button = Make(WS_CHILD | WS_VISIBLE, parent, 5, RECT{100, 100, 140, 120});
        tip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent,
                              nullptr, nullptr, nullptr);
        ASSERT_NE(tip, nullptr);
        // The button's tool asks its window (the parent) for its text.
        answer = [this](HWND h, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (h != parent || msg != WM_NOTIFY) return std::nullopt;
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            notes.push_back(hdr->code);
            if (hdr->code == TTN_GETDISPINFOA) {
                auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
                EXPECT_EQ(hdr->idFrom, reinterpret_cast<UINT_PTR>(button));
                EXPECT_TRUE(info->uFlags & TTF_IDISHWND);
                std::snprintf(info->szText, sizeof info->szText, "Weld %d", ++asked);
            }
            return 0;
        };
    }
    bool Add(UINT flags, HWND hwnd, UINT_PTR id, RECT r, LPSTR text, HINSTANCE hinst = nullptr) {
        TOOLINFOA info{sizeof info, flags, hwnd, id, r, hinst, text, 0, nullptr};
        return SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    // Time passes and what fell due is handled.
    void Wait(DWORD ms) {
        SdAdvanceFakeClock(ms);
        sdtest::PumpInput();
    }
    bool Shown() const { return IsWindowVisible(tip) != FALSE; }
    std::string Text() const {
        char text[100] = {};
        GetWindowTextA(tip, text, sizeof text);
        return text;
    }
    HWND parent = nullptr, button = nullptr, tip = nullptr;
    std::vector<UINT> notes; // WM_NOTIFY codes the parent got
    int asked = 0;
};

TEST_F(ToolTipTest, ATipShowsAfterTheDelayAndHidesOnLeaveClickAndTime) {
    char select[] = "Select";
    ASSERT_TRUE(Add(TTF_SUBCLASS, parent, 1, RECT{10, 10, 60, 40}, select));
    ASSERT_TRUE(Add(TTF_SUBCLASS | TTF_IDISHWND, parent, reinterpret_cast<UINT_PTR>(button), RECT{},
                    LPSTR_TEXTCALLBACKA));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);

    // Resting on the tool: nothing before the initial delay, the tip below the cursor then.
    sdtest::MouseMove(parent, 20, 20);
    Wait(499);
    EXPECT_FALSE(Shown());
    Wait(1);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Text(), "Select");
    RECT at{};
    GetWindowRect(tip, &at);
    EXPECT_EQ(at.left, 20);
    EXPECT_EQ(at.top, 40);
    EXPECT_GT(at.right - at.left, 6);
    EXPECT_EQ(notes, std::vector<UINT>{TTN_SHOW});
    // Moving within the tool keeps it; off every tool hides it at once.
    sdtest::MouseMove(parent, 50, 30);
    EXPECT_TRUE(Shown());
    sdtest::MouseMove(parent, 250, 150);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(notes, (std::vector<UINT>{TTN_SHOW, TTN_POP}));

    // A click hides it until the mouse has left the tool.
    sdtest::MouseMove(parent, 20, 20);
    Wait(500);
    ASSERT_TRUE(Shown());
    sdtest::Click(parent, 20, 20);
    EXPECT_FALSE(Shown());
    sdtest::MouseMove(parent, 21, 21);
    Wait(2000);
    EXPECT_FALSE(Shown());
    sdtest::MouseMove(parent, 250, 150);
    Wait(2000); // long past the reshow time
    sdtest::MouseMove(parent, 20, 20);
    Wait(500);
    EXPECT_TRUE(Shown());

    // From a shown tip to another tool: the reshow delay, the text asked of the window.
    sdtest::MouseMove(button, 5, 5);
    EXPECT_FALSE(Shown());
    Wait(100);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Text(), "Weld 1");
    // The automatic pop delay hides it.
    Wait(4999);
    EXPECT_TRUE(Shown());
    Wait(1);
    EXPECT_FALSE(Shown());

    // Leaving for another window, whose messages the tip never sees, hides it too.
    HWND other = Make(WS_POPUP | WS_VISIBLE, nullptr, 0, RECT{400, 0, 500, 100});
    sdtest::MouseMove(parent, 250, 150);
    sdtest::MouseMove(parent, 20, 20);
    Wait(500);
    ASSERT_TRUE(Shown());
    sdtest::MouseMove(other, 10, 10);
    Wait(100);
    EXPECT_FALSE(Shown());
}

TEST_F(ToolTipTest, TheToolsMessagesChangeWhatAndWhenItShows) {
    char select[] = "Select", move[] = "Move";
    ASSERT_TRUE(Add(TTF_SUBCLASS, parent, 1, RECT{10, 10, 60, 40}, select));
    // Delays: the initial one alone, then all from the automatic one.
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    sdtest::MouseMove(parent, 20, 20);
    Wait(100);
    ASSERT_TRUE(Shown());
    // A new text shows at once.
    TOOLINFOA info{sizeof info, 0, parent, 1, RECT{}, nullptr, move, 0, nullptr};
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(Text(), "Move");
    char buffer[80] = {};
    info.lpszText = buffer;
    EXPECT_EQ(SendMessageA(tip, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&info)), 4);
    EXPECT_STREQ(buffer, "Move");
    SendMessageA(tip, TTM_POP, 0, 0);
    EXPECT_FALSE(Shown());
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 1000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 1000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 200);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 10000);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, -1);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);

    // The tool's rectangle moved: the old place shows nothing, the new one does.
    info.rect = RECT{200, 10, 260, 40};
    SendMessageA(tip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
    sdtest::MouseMove(parent, 150, 150);
    sdtest::MouseMove(parent, 20, 20);
    Wait(1000);
    EXPECT_FALSE(Shown());
    TTHITTESTINFOA hit{parent, POINT{210, 20}, {}};
    hit.ti.cbSize = sizeof hit.ti;
    EXPECT_TRUE(SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)));
    EXPECT_EQ(hit.ti.uId, 1u);
    hit.pt = POINT{20, 20};
    EXPECT_FALSE(SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)));
    sdtest::MouseMove(parent, 210, 20);
    Wait(500);
    EXPECT_TRUE(Shown());

    // Inactive, it hides and shows nothing; active again, it does.
    SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
    EXPECT_FALSE(Shown());
    sdtest::MouseMove(parent, 150, 150);
    sdtest::MouseMove(parent, 210, 20);
    Wait(1000);
    EXPECT_FALSE(Shown());
    SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
    sdtest::MouseMove(parent, 211, 20);
    Wait(500);
    EXPECT_TRUE(Shown());

    // A deleted tool hides and is gone; deleting it again changes nothing.
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_FALSE(Shown());
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_FALSE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
    sdtest::MouseMove(parent, 212, 20);
    Wait(1000);
    EXPECT_FALSE(Shown());
}

TEST_F(ToolTipTest, ToolsWithoutSubclassingHearOnlyRelayedMessages) {
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    // The text is a string resource (IDS_GREETING, "Hello").
    ASSERT_TRUE(Add(0, parent, 3, RECT{10, 10, 60, 40}, MAKEINTRESOURCEA(1), module));
    sdtest::MouseMove(parent, 20, 20);
    Wait(1000);
    EXPECT_FALSE(Shown());
    MSG msg{parent, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20), 0, {}};
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    Wait(500);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Text(), "Hello");
    msg.message = WM_LBUTTONDOWN;
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    EXPECT_FALSE(Shown());
    // Bad input: no message, a message that is no mouse message, a tool on no window.
    SendMessageA(tip, TTM_RELAYEVENT, 0, 0);
    msg.message = WM_KEYDOWN;
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    char text[] = "x";
    EXPECT_FALSE(Add(0, reinterpret_cast<HWND>(0x7777), 1, RECT{0, 0, 5, 5}, text));
    EXPECT_FALSE(SendMessageA(tip, TTM_ADDTOOLA, 0, 0));
    // A tip destroyed with its tools leaves their windows' messages alone.
    ASSERT_TRUE(
        Add(TTF_SUBCLASS | TTF_IDISHWND, parent, reinterpret_cast<UINT_PTR>(button), RECT{}, text));
    DestroyWindow(tip);
    sdtest::MouseMove(button, 5, 5);
    Wait(1000);
    DestroyWindow(parent);
    FreeLibrary(module);
}

} // namespace tool_tip_test
