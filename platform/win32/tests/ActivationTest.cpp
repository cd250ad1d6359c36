// The active window: the messages of a change, the focus it gives back and where the
// activation goes when the active window does.

#include <map>
#include <string>
#include <vector>

#include "UserTestWindow.h"

namespace {

class ActivationTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        main = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, {0, 0, 400, 300}, "main");
        first = Make(WS_CHILD | WS_VISIBLE, main, 1, {10, 10, 100, 40});
        second = Make(WS_CHILD | WS_VISIBLE, main, 2, {10, 50, 100, 80});
        dialog = Make(WS_POPUP | WS_CAPTION | WS_VISIBLE, main, 0, {50, 50, 250, 150}, "dialog");
        other = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, {500, 0, 700, 100}, "other");
        names = {{main, "main"},     {first, "first"}, {second, "second"},
                 {dialog, "dialog"}, {other, "other"}, {nullptr, "0"}};
        events.clear();
    }

    // The activation and focus messages since the last call: "main:ACTIVATE 1 other=0".
    std::vector<std::string> Taken() {
        std::vector<std::string> log;
        for (const UserEvent& e : events) {
            const std::string who = names[e.hwnd] + ":";
            const std::string other = names[reinterpret_cast<HWND>(e.lParam)];
            if (e.msg == WM_ACTIVATE)
                log.push_back(who + "ACTIVATE " + std::to_string(LOWORD(e.wParam)) +
                              " other=" + other);
            else if (e.msg == WM_ACTIVATEAPP)
                log.push_back(who + "ACTIVATEAPP " + std::to_string(e.wParam));
            else if (e.msg == WM_SETFOCUS)
                log.push_back(who + "SETFOCUS");
            else if (e.msg == WM_KILLFOCUS)
                log.push_back(who + "KILLFOCUS");
        }
        events.clear();
        return log;
    }

    HWND main = nullptr, first = nullptr, second = nullptr, dialog = nullptr, other = nullptr;
    std::map<HWND, std::string> names;
};

using Lines = std::vector<std::string>;

TEST_F(ActivationTest, ChangesSendTheirMessagesAndTheFocusReturnsWhereItWas) {
    EXPECT_EQ(GetActiveWindow(), nullptr);
    // A child stands for its window; the program becoming active tells every top-level
    // window (top of the z-order first).
    EXPECT_EQ(SetActiveWindow(first), nullptr);
    EXPECT_EQ(Taken(), (Lines{"other:ACTIVATEAPP 1", "dialog:ACTIVATEAPP 1", "main:ACTIVATEAPP 1",
                              "main:ACTIVATE 1 other=0", "main:SETFOCUS"}));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(SetActiveWindow(main), main);
    EXPECT_EQ(Taken(), Lines{});

    // Between the program's windows: no ACTIVATEAPP; the focus goes into the new one.
    SetFocus(second);
    Taken();
    EXPECT_EQ(SetActiveWindow(dialog), main);
    EXPECT_EQ(Taken(), (Lines{"main:ACTIVATE 0 other=dialog", "dialog:ACTIVATE 1 other=main",
                              "second:KILLFOCUS", "dialog:SETFOCUS"}));

    // The active window goes: its owner is active again, the focus back on its child.
    DestroyWindow(dialog);
    EXPECT_EQ(Taken(), (Lines{"dialog:ACTIVATE 0 other=main", "main:ACTIVATE 1 other=dialog",
                              "dialog:KILLFOCUS", "second:SETFOCUS"}));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), second);

    // The program inactive: every top-level window hears it and the focus goes; activated
    // again, the focus returns to the same child.
    EXPECT_EQ(SetActiveWindow(nullptr), main);
    EXPECT_EQ(Taken(), (Lines{"main:ACTIVATE 0 other=0", "other:ACTIVATEAPP 0",
                              "main:ACTIVATEAPP 0", "second:KILLFOCUS"}));
    EXPECT_EQ(GetFocus(), nullptr);
    SetActiveWindow(main);
    EXPECT_EQ(Taken(), (Lines{"other:ACTIVATEAPP 1", "main:ACTIVATEAPP 1",
                              "main:ACTIVATE 1 other=0", "second:SETFOCUS"}));

    // A remembered child that is gone leaves the focus to the window itself.
    SetActiveWindow(other);
    DestroyWindow(second);
    Taken();
    SetActiveWindow(main);
    EXPECT_EQ(Taken(), (Lines{"other:ACTIVATE 0 other=main", "main:ACTIVATE 1 other=other",
                              "other:KILLFOCUS", "main:SETFOCUS"}));
}

TEST_F(ActivationTest, HidingTheActiveWindowWithoutAnOwnerLeavesTheProgramInactive) {
    SetActiveWindow(other);
    ShowWindow(main, SW_HIDE); // not the active one: nothing changes
    EXPECT_EQ(GetActiveWindow(), other);
    ShowWindow(other, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    // A handle that is no window changes nothing.
    SetActiveWindow(dialog);
    EXPECT_EQ(SetActiveWindow(reinterpret_cast<HWND>(0x7777)), nullptr);
    EXPECT_EQ(GetActiveWindow(), dialog);
}

} // namespace
