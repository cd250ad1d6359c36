#pragma once
// A window class for the user tests that records every message its windows receive and
// lets a test answer chosen messages itself.

#include <functional>
#include <optional>
#include <vector>

#include "testing/PlatformTest.h"
#include "win32/user.h"

struct UserEvent {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class UserTest : public PlatformTest {
protected:
    static constexpr const char* className = "SdRecordingWindow";
    static constexpr int extraBytes = 16;

    void SetUp() override {
        PlatformTest::SetUp();
        current_ = this;
        WNDCLASSA wc{};
        wc.lpfnWndProc = &UserTest::Proc;
        wc.lpszClassName = className;
        wc.cbWndExtra = extraBytes;
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override {
        PlatformTest::TearDown(); // destroys the windows while the recorder still exists
        current_ = nullptr;
    }

    HWND Make(DWORD style, HWND parent = nullptr, int id = 0, RECT r = {10, 20, 110, 70},
              const char* name = "window") {
        return CreateWindowExA(0, className, name, style, int(r.left), int(r.top),
                               int(r.right - r.left), int(r.bottom - r.top), parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                               nullptr);
    }

    // Messages of one window (or of all, for NULL), in order of arrival.
    std::vector<UINT> MessagesOf(HWND hwnd) const {
        std::vector<UINT> out;
        for (const UserEvent& e : events)
            if (!hwnd || e.hwnd == hwnd) out.push_back(e.msg);
        return out;
    }
    std::vector<UserEvent> EventsOf(HWND hwnd, UINT msg) const {
        std::vector<UserEvent> out;
        for (const UserEvent& e : events)
            if (e.hwnd == hwnd && e.msg == msg) out.push_back(e);
        return out;
    }

    std::vector<UserEvent> events;
    // Returns a result to answer a message instead of DefWindowProc.
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> answer;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (UserTest* test = current_) {
            test->events.push_back(UserEvent{hwnd, msg, wParam, lParam});
            if (test->answer)
                if (std::optional<LRESULT> r = test->answer(hwnd, msg, wParam, lParam)) return *r;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    static inline UserTest* current_ = nullptr;
};
