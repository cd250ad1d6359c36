// The display backend under an Xvfb server of the test program's own: what the screen shows
// against PrintWindow, input by XTEST into the router, the loop's waits and the window
// manager's requests.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>
#include <xcb/xtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "testing/PlatformTest.h"
#include "testing/XvfbServer.h"
#include "win32/DisplayBackend.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"
#include "win32/resource.h"
#include "win32/wingdi.h"

namespace {

XvfbServer& server() {
    return XvfbServer::Shared();
}

LPARAM& lastPress() {
    static LPARAM at;
    return at;
}

std::vector<UINT>& seen() {
    static std::vector<UINT> messages;
    return messages;
}

// Key messages as text: "KD:41 C:61 KU:41" (SKD/SKU/SC for the system forms).
std::string& keyLog() {
    static std::string log;
    return log;
}

std::vector<LPARAM>& keyFlags() {
    static std::vector<LPARAM> flags;
    return flags;
}

LRESULT CALLBACK recordProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK ||
        message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_CLOSE ||
        message == WM_MOUSEWHEEL || message == WM_USER)
        seen().push_back(message);
    const char* key = message == WM_KEYDOWN      ? "KD"
                      : message == WM_KEYUP      ? "KU"
                      : message == WM_SYSKEYDOWN ? "SKD"
                      : message == WM_SYSKEYUP   ? "SKU"
                      : message == WM_CHAR       ? "C"
                      : message == WM_SYSCHAR    ? "SC"
                                                 : nullptr;
    if (key) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%s:%02X", keyLog().empty() ? "" : " ", key,
                      unsigned(wParam));
        keyLog() += text;
        keyFlags().push_back(lParam);
    }
    if (message == WM_LBUTTONDOWN) lastPress() = lParam;
    if (message == WM_CLOSE) return 0; // kept open: the test looks
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class XcbDisplayTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        if (!server().WhyNot().empty()) GTEST_SKIP() << server().WhyNot();
        seen().clear();
        keyLog().clear();
        keyFlags().clear();
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = recordProc;
        wc.lpszClassName = "XcbProbe";
        wc.hbrBackground = CreateSolidBrush(RGB(0, 128, 255));
        RegisterClassA(&wc);
        char reason[256] = {};
        ASSERT_TRUE(SdConnectDisplay(server().Name().c_str(), reason, sizeof reason)) << reason;
        probe_ = xcb_connect(server().Name().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(probe_));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(probe_)).data->root;
    }
    void TearDown() override {
        SdDisconnectDisplay();
        if (probe_) xcb_disconnect(probe_);
        PlatformTest::TearDown();
        UnregisterClassA("XcbProbe", nullptr);
    }

    // Pumps the display and the queue until done() holds or 5 s pass.
    template <class Done>
    bool PumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            SdDisplayPump(20);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done()) return true;
        }
        return false;
    }

    HWND Probe(RECT r, DWORD style = WS_POPUP | WS_VISIBLE) {
        HWND w = CreateWindowExA(0, "XcbProbe", "Probe", style, int(r.left), int(r.top),
                                 int(r.right - r.left), int(r.bottom - r.top), nullptr, nullptr,
                                 nullptr, nullptr);
        UpdateWindow(w);
        return w;
    }

    // The screen's pixels of the rectangle, 0xRRGGBB.
    std::vector<uint32_t> Screen(RECT r) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            probe_,
            xcb_get_image(probe_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, int16_t(r.left), int16_t(r.top),
                          uint16_t(w), uint16_t(h), ~0u),
            nullptr);
        std::vector<uint32_t> pixels;
        if (!reply) return pixels;
        const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
        for (int i = 0; i < w * h; ++i)
            pixels.push_back(data[i] & 0xFFFFFF);
        free(reply);
        return pixels;
    }

    std::vector<uint32_t> Printed(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        SdComposeWindow(hwnd, dc);
        std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits),
                                     static_cast<uint32_t*>(bits) + w * h);
        for (uint32_t& p : pixels)
            p &= 0xFFFFFF;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return pixels;
    }

    bool ScreenShows(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return PumpUntil([&] { return Screen(r) == Printed(hwnd); });
    }

    void Fake(uint8_t type, uint8_t detail, int x = 0, int y = 0) {
        xcb_test_fake_input(probe_, type, detail, XCB_CURRENT_TIME, root_, int16_t(x), int16_t(y),
                            0);
        xcb_flush(probe_);
    }

    void Click(int x, int y) {
        Fake(XCB_MOTION_NOTIFY, 0, x, y);
        Fake(XCB_BUTTON_PRESS, 1);
        Fake(XCB_BUTTON_RELEASE, 1);
    }

    size_t Count(UINT message) const {
        return size_t(std::count(seen().begin(), seen().end(), message));
    }

    // While a message box's loop runs: once the box is on the screen, the user clicks the
    // button `boxClick` (0: presses Return). The owner must be disabled meanwhile.
    static void CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR id, DWORD) {
        XcbDisplayTest* t = answering;
        HWND box = nullptr;
        for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h && !box;
             h = GetWindow(h, GW_HWNDNEXT)) {
            char name[16] = {};
            GetClassNameA(h, name, sizeof name);
            if (IsWindowVisible(h) && std::strcmp(name, "#32770") == 0) box = h;
        }
        if (!t || !box) return;
        // Never a hang: a box not answered within 5 s ends, and the answer is wrong.
        if (++t->boxTicks > 500) {
            KillTimer(nullptr, id);
            EndDialog(box, -1);
            return;
        }
        RECT r{};
        GetWindowRect(box, &r);
        if (t->boxActed || t->Screen(r) != t->Printed(box)) return;
        t->boxActed = true;
        t->boxOwnerEnabled = IsWindowEnabled(t->boxOwner) != FALSE;
        // The icon beside the text, as the screen shows it: its blue pixels.
        t->boxIconBlue = -1;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char name[16] = {};
            GetClassNameA(c, name, sizeof name);
            if (strcasecmp(name, "Static") != 0 || (GetWindowLongA(c, GWL_STYLE) & 0x1F) != 3)
                continue;
            RECT ir{};
            GetWindowRect(c, &ir);
            t->boxIconBlue = 0;
            for (uint32_t p : t->Screen(ir))
                t->boxIconBlue += p == 0x0000FFu;
        }
        if (t->boxClick != 0) {
            GetWindowRect(GetDlgItem(box, t->boxClick), &r);
            t->Click(int(r.left + r.right) / 2, int(r.top + r.bottom) / 2);
        } else {
            // Keys go to the X window with the input focus, as a window manager gives it.
            auto* at = xcb_translate_coordinates_reply(
                t->probe_,
                xcb_translate_coordinates(t->probe_, t->root_, t->root_,
                                          int16_t((r.left + r.right) / 2),
                                          int16_t((r.top + r.bottom) / 2)),
                nullptr);
            if (at)
                xcb_set_input_focus(t->probe_, XCB_INPUT_FOCUS_PARENT, at->child, XCB_CURRENT_TIME);
            free(at);
            t->Fake(XCB_KEY_PRESS, 36); // Return
            t->Fake(XCB_KEY_RELEASE, 36);
        }
    }
    static inline XcbDisplayTest* answering = nullptr;
    HWND boxOwner = nullptr;
    int boxClick = 0;
    int boxTicks = 0;
    bool boxActed = false;
    bool boxOwnerEnabled = true;
    int boxIconBlue = -1; // -1: the box had no icon

    xcb_connection_t* probe_ = nullptr;
    xcb_window_t root_ = 0;
};

void Paint(HWND hwnd, RECT r, COLORREF c) {
    HDC dc = GetDC(hwnd);
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(hwnd, dc);
}

TEST_F(XcbDisplayTest, ScreenShowsWhatPrintWindowComposesAlsoAfterChangesAndMoves) {
    HWND w = Probe(RECT{40, 30, 240, 150});
    HWND child = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 20, 10, 50, 40, w, nullptr,
                                 nullptr, nullptr);
    Paint(child, RECT{0, 0, 50, 40}, RGB(200, 0, 0));
    EXPECT_TRUE(ScreenShows(w));
    Paint(w, RECT{100, 60, 180, 100}, RGB(0, 160, 0));
    EXPECT_TRUE(ScreenShows(w)) << "a change after the first picture";
    SetWindowPos(w, nullptr, 300, 200, 260, 90, SWP_NOZORDER);
    Paint(w, RECT{0, 0, 260, 90}, RGB(250, 250, 0));
    EXPECT_TRUE(ScreenShows(w)) << "moved and resized";
    // A second window over the first, then gone: the first shows whole again.
    HWND cover = Probe(RECT{320, 210, 420, 260});
    Paint(cover, RECT{0, 0, 100, 50}, RGB(0, 0, 0));
    EXPECT_TRUE(ScreenShows(cover));
    DestroyWindow(cover);
    EXPECT_TRUE(ScreenShows(w)) << "uncovered";
}

TEST_F(XcbDisplayTest, UncoveringPutsTheKeptPictureAgainWithoutPainting) {
    HWND w = Probe(RECT{200, 200, 400, 300});
    Paint(w, RECT{10, 10, 190, 90}, RGB(90, 30, 200));
    ASSERT_TRUE(ScreenShows(w));
    // Another program's window over ours, then gone: only Expose can bring the pixels back.
    const xcb_window_t other = xcb_generate_id(probe_);
    const uint32_t values[] = {0x00FF00, 1};
    xcb_create_window(probe_, XCB_COPY_FROM_PARENT, other, root_, 150, 150, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(probe_, other);
    xcb_flush(probe_);
    ASSERT_TRUE(PumpUntil([&] { return Screen(RECT{200, 200, 201, 201})[0] == 0x00FF00; }));
    xcb_destroy_window(probe_, other);
    xcb_flush(probe_);
    EXPECT_TRUE(ScreenShows(w));
}

TEST_F(XcbDisplayTest, ALargeWindowShowsThroughSharedMemoryAndInStripsUnderTheRequestLimit) {
    HWND w = Probe(RECT{0, 0, 1900, 1000});
    for (int y = 0; y < 1000; y += 10)
        Paint(w, RECT{0, y, 1900, y + 5}, RGB(y % 256, 0, 255 - y % 256));
    EXPECT_TRUE(ScreenShows(w)) << "shared memory";
    SdDisconnectDisplay();
    setenv("SDXCB_NO_SHM", "1", 1);
    char reason[256] = {};
    ASSERT_TRUE(SdConnectDisplay(server().Name().c_str(), reason, sizeof reason)) << reason;
    unsetenv("SDXCB_NO_SHM");
    EXPECT_TRUE(ScreenShows(w)) << "put_image strips";
}

TEST_F(XcbDisplayTest, ClicksReachTheWindowUnderThePointerAndPairsBecomeDoubleClicks) {
    HWND w = Probe(RECT{100, 100, 300, 200});
    ASSERT_TRUE(ScreenShows(w));
    Click(150, 150);
    ASSERT_TRUE(PumpUntil([&] { return Count(WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 1u);
    Click(151, 150); // at once, 1 px off: the second press of a double click
    ASSERT_TRUE(PumpUntil([&] { return Count(WM_LBUTTONUP) == 2; }));
    EXPECT_EQ(Count(WM_LBUTTONDBLCLK), 1u);
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 1u);
    Click(190, 150); // far from the last press: a single click again
    ASSERT_TRUE(PumpUntil([&] { return Count(WM_LBUTTONUP) == 3; }));
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 2u);
    SetFocus(w);
    Fake(XCB_BUTTON_PRESS, 5);
    Fake(XCB_BUTTON_RELEASE, 5);
    EXPECT_TRUE(PumpUntil([&] { return Count(WM_MOUSEWHEEL) == 1; }));
}

TEST_F(XcbDisplayTest, TheCaptureGetsPressesOutsideItsWindow) {
    HWND w = Probe(RECT{100, 100, 300, 200});
    ASSERT_TRUE(ScreenShows(w));
    Click(700, 500); // nobody's
    PumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 0u);
    SetCapture(w);
    SdDisplayPump(0); // grabs the pointer
    Click(700, 500);
    ASSERT_TRUE(PumpUntil([&] { return Count(WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(lastPress(), MAKELPARAM(600, 400)); // client coordinates, outside the client area
    ReleaseCapture();
}

// X key codes of a PC keyboard (evdev).
constexpr uint8_t kNumLock = 77, kShift = 50, kControl = 37, kAlt = 64, kAltGr = 108, kE = 26,
                  kF = 41, kG = 42, kZ = 52, kKeypad7 = 79, kAcute = 21, kSleep = 150, kA = 38;

struct KeyCase {
    const char* layout;
    std::vector<int> keys; // key code pressed; negative: released
    const char* messages;
};

TEST_F(XcbDisplayTest, KeysBecomeVirtualKeysAndCharactersOfTheLayout) {
    HWND w = Probe(RECT{100, 100, 300, 200});
    ASSERT_TRUE(ScreenShows(w));
    SetFocus(w);
    Fake(XCB_MOTION_NOTIFY, 0, 150, 150); // the server's focus follows the pointer
    const KeyCase cases[] = {
        {"us", {kA, -kA}, "KD:41 C:61 KU:41"},
        {"us", {kShift, kA, -kA, -kShift}, "KD:10 KD:41 C:41 KU:41 KU:10"},
        {"us", {kControl, kZ, -kZ, -kControl}, "KD:11 KD:5A C:1A KU:5A KU:11"},
        {"us", {kAlt, kF, -kF, -kAlt}, "SKD:12 SKD:46 SC:66 SKU:46 KU:12"},
        {"us", {kKeypad7, -kKeypad7}, "KD:24 KU:24"},
        {"us",
         {kNumLock, -kNumLock, kKeypad7, -kKeypad7, kNumLock, -kNumLock},
         "KD:90 KU:90 KD:67 C:37 KU:67 KD:90 KU:90"},
        {"us", {kSleep, -kSleep}, ""},
        {"de", {kZ, -kZ}, "KD:59 C:79 KU:59"},
        {"de", {kAltGr, kE, -kE, -kAltGr}, "KD:12 KD:45 C:80 KU:45 KU:12"},
        {"de", {kAcute, -kAcute, kE, -kE}, "KD:BB KU:BB KD:45 C:E9 KU:45"},
        {"de", {kAltGr, kG, -kG, -kAltGr}, "KD:12 KD:47 C:3F KU:47 KU:12"},
    };
    for (const KeyCase& c : cases) {
        const std::string command =
            std::string("setxkbmap -display ") + server().Name() + " " + c.layout;
        if (std::system(command.c_str()) != 0) GTEST_SKIP() << "setxkbmap failed: " << command;
        // The keymap changes through an event: let the backend see it before the keys.
        PumpUntil([] { return false; }, std::chrono::milliseconds(200));
        keyLog().clear();
        for (int k : c.keys)
            Fake(k > 0 ? XCB_KEY_PRESS : XCB_KEY_RELEASE, uint8_t(std::abs(k)));
        PumpUntil([&] { return keyLog() == c.messages; }, std::chrono::milliseconds(1000));
        EXPECT_EQ(keyLog(), c.messages) << c.layout << " case " << (&c - cases);
    }
}

TEST_F(XcbDisplayTest, AHeldKeyRepeatsAsPressesWithThePreviousStateBit) {
    HWND w = Probe(RECT{100, 100, 300, 200});
    ASSERT_TRUE(ScreenShows(w));
    SetFocus(w);
    Fake(XCB_MOTION_NOTIFY, 0, 150, 150);
    // The server repeats a key held past its delay.
    Fake(XCB_KEY_PRESS, kA);
    ASSERT_TRUE(PumpUntil([&] { return keyLog().size() > std::string("KD:41 C:61").size(); }));
    Fake(XCB_KEY_RELEASE, kA);
    ASSERT_TRUE(PumpUntil([&] { return keyLog().find("KU") != std::string::npos; }));
    const std::string log = keyLog();
    EXPECT_EQ(log.rfind("KD:41 C:61 KD:41 C:61", 0), 0u) << log;
    EXPECT_EQ(log.find("KU"), log.size() - 5) << "one release, at the end: " << log;
    ASSERT_GE(keyFlags().size(), 5u);
    EXPECT_EQ(keyFlags()[0], LPARAM(0x001E0001)); // scan code 0x1E, first press
    EXPECT_EQ(keyFlags()[2], LPARAM(0x401E0001)); // previous state: down
    EXPECT_EQ(keyFlags().back(), LPARAM(0xC01E0001u));
}

TEST_F(XcbDisplayTest, CloseFromTheWindowManagerBecomesWmClose) {
    HWND w = Probe(RECT{100, 100, 300, 200}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(ScreenShows(w));
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        probe_, xcb_translate_coordinates(probe_, root_, root_, 150, 150), nullptr);
    ASSERT_TRUE(at && at->child);
    auto atom = [&](const char* name) {
        auto* r = xcb_intern_atom_reply(
            probe_, xcb_intern_atom(probe_, 0, uint16_t(strlen(name)), name), nullptr);
        xcb_atom_t a = r->atom;
        free(r);
        return a;
    };
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = at->child;
    e.type = atom("WM_PROTOCOLS");
    e.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(probe_, 0, at->child, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(probe_);
    free(at);
    EXPECT_TRUE(PumpUntil([&] { return Count(WM_CLOSE) == 1; }));
}

// The X window showing the model's window at a screen point, and its properties.
struct Shown {
    xcb_window_t id = 0;
    bool overrideRedirect = false;
    std::vector<uint32_t> type, state, transientFor;
    std::string title;
};

TEST_F(XcbDisplayTest, WindowsTellTheWindowManagerWhatKindTheyAre) {
    auto atom = [&](const char* name) {
        auto* r = xcb_intern_atom_reply(
            probe_, xcb_intern_atom(probe_, 0, uint16_t(strlen(name)), name), nullptr);
        xcb_atom_t a = r->atom;
        free(r);
        return a;
    };
    auto shownAt = [&](int x, int y) {
        Shown s;
        auto* at = xcb_translate_coordinates_reply(
            probe_, xcb_translate_coordinates(probe_, root_, root_, int16_t(x), int16_t(y)),
            nullptr);
        if (!at) return s;
        s.id = at->child;
        free(at);
        auto* attributes = xcb_get_window_attributes_reply(
            probe_, xcb_get_window_attributes(probe_, s.id), nullptr);
        if (attributes) s.overrideRedirect = attributes->override_redirect;
        free(attributes);
        auto property = [&](xcb_atom_t name) {
            std::vector<uint32_t> values;
            auto* r = xcb_get_property_reply(
                probe_, xcb_get_property(probe_, 0, s.id, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                nullptr);
            if (r && r->format == 32) {
                auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
                values.assign(v, v + xcb_get_property_value_length(r) / 4);
            } else if (r && r->format == 8) {
                s.title.assign(static_cast<const char*>(xcb_get_property_value(r)),
                               size_t(xcb_get_property_value_length(r)));
            }
            free(r);
            return values;
        };
        s.type = property(atom("_NET_WM_WINDOW_TYPE"));
        s.state = property(atom("_NET_WM_STATE"));
        s.transientFor = property(XCB_ATOM_WM_TRANSIENT_FOR);
        property(atom("_NET_WM_NAME"));
        return s;
    };
    HWND main = CreateWindowExA(0, "XcbProbe", "Gr\xFC\xDF", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND tool =
        CreateWindowExA(WS_EX_TOOLWINDOW, "XcbProbe", "Tools", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                        500, 0, 100, 100, main, nullptr, nullptr, nullptr);
    HWND modal =
        CreateWindowExA(WS_EX_DLGMODALFRAME, "XcbProbe", "Box", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                        700, 0, 100, 100, main, nullptr, nullptr, nullptr);
    EnableWindow(main, FALSE); // the owner waits for the box
    // A drop-down list of the layer's (its class registered here when the layer has none yet).
    WNDCLASSA listClass{};
    listClass.lpfnWndProc = DefWindowProcA;
    listClass.lpszClassName = "ComboLBox";
    RegisterClassA(&listClass);
    HWND list = CreateWindowExA(0, "ComboLBox", "", WS_POPUP | WS_VISIBLE, 900, 0, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    SdDisplayPump(0);
    const Shown m = shownAt(10, 10), t = shownAt(510, 10), d = shownAt(710, 10),
                p = shownAt(910, 10);
    EXPECT_EQ(m.type, std::vector<uint32_t>{atom("_NET_WM_WINDOW_TYPE_NORMAL")});
    EXPECT_EQ(m.title, "Gr\xC3\xBC\xC3\x9F"); // UTF-8 of the code page's text
    EXPECT_EQ(t.type, std::vector<uint32_t>{atom("_NET_WM_WINDOW_TYPE_UTILITY")});
    EXPECT_EQ(t.transientFor, std::vector<uint32_t>{m.id});
    EXPECT_EQ(d.type, std::vector<uint32_t>{atom("_NET_WM_WINDOW_TYPE_DIALOG")});
    EXPECT_EQ(d.state, std::vector<uint32_t>{atom("_NET_WM_STATE_MODAL")});
    EXPECT_TRUE(p.overrideRedirect);
    EXPECT_FALSE(m.overrideRedirect);
    DestroyWindow(list);
    UnregisterClassA("ComboLBox", nullptr);
    (void)tool;
    (void)modal;
}

TEST_F(XcbDisplayTest, TheUsersMovesAndResizesReachTheModel) {
    HWND w = Probe(RECT{100, 100, 300, 200}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(ScreenShows(w));
    auto* at = xcb_translate_coordinates_reply(
        probe_, xcb_translate_coordinates(probe_, root_, root_, 150, 150), nullptr);
    ASSERT_TRUE(at && at->child);
    const xcb_window_t id = at->child;
    free(at);
    // A resize, as a window manager does it.
    const uint32_t size[] = {320, 140};
    xcb_configure_window(probe_, id, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(probe_);
    RECT r{};
    ASSERT_TRUE(PumpUntil([&] { return GetWindowRect(w, &r) && r.right - r.left == 320; }));
    EXPECT_EQ(r.bottom - r.top, 140);
    EXPECT_EQ(r.left, 100);
    // A move reported by the window manager (a sent ConfigureNotify in root coordinates).
    xcb_configure_notify_event_t e{};
    e.response_type = XCB_CONFIGURE_NOTIFY;
    e.event = id;
    e.window = id;
    e.x = 400;
    e.y = 250;
    e.width = 320;
    e.height = 140;
    xcb_send_event(probe_, 0, id, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(probe_);
    ASSERT_TRUE(PumpUntil([&] { return GetWindowRect(w, &r) && r.left == 400; }));
    EXPECT_EQ(r.top, 250);
    // The X window stays where it is (no window manager moved it): read it, not the root.
    auto windowPixels = [&] {
        std::vector<uint32_t> pixels;
        auto* reply = xcb_get_image_reply(
            probe_, xcb_get_image(probe_, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0, 320, 140, ~0u),
            nullptr);
        if (!reply) return pixels;
        const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
        for (int i = 0; i < 320 * 140; ++i)
            pixels.push_back(data[i] & 0xFFFFFF);
        free(reply);
        return pixels;
    };
    EXPECT_TRUE(PumpUntil([&] { return windowPixels() == Printed(w); }))
        << "the new size painted and shown";
}

TEST_F(XcbDisplayTest, AStormOfInvalidationsAndMovesEndsInTheRightPictureAndQuickPosts) {
    HWND w = Probe(RECT{0, 0, 300, 200});
    ASSERT_TRUE(ScreenShows(w));
    for (int i = 0; i < 10000; ++i) {
        RECT r{i % 300, i % 200, i % 300 + 5, i % 200 + 5};
        InvalidateRect(w, &r, TRUE);
    }
    for (int i = 0; i < 1000; ++i)
        SetWindowPos(w, nullptr, i % 500, i % 300, 300, 200, SWP_NOZORDER);
    Paint(w, RECT{50, 50, 100, 100}, RGB(255, 0, 255));
    const auto start = std::chrono::steady_clock::now();
    PostMessageA(w, WM_USER, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Count(WM_USER) == 1; }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(ScreenShows(w));
}

TEST_F(XcbDisplayTest, TheCursorTheLayerSetsIsShown) {
    auto* version =
        xcb_xfixes_query_version_reply(probe_, xcb_xfixes_query_version(probe_, 4, 0), nullptr);
    if (!version) GTEST_SKIP() << "the server has no XFixes";
    free(version);
    HWND w = Probe(RECT{100, 100, 300, 200});
    ASSERT_TRUE(ScreenShows(w));
    Fake(XCB_MOTION_NOTIFY, 0, 150, 150);
    // The cursor's picture as the server shows it.
    auto shownCursor = [&] {
        std::vector<uint32_t> image;
        auto* r =
            xcb_xfixes_get_cursor_image_reply(probe_, xcb_xfixes_get_cursor_image(probe_), nullptr);
        if (!r) return image;
        const uint32_t* p = xcb_xfixes_get_cursor_image_cursor_image(r);
        image.assign(p, p + r->width * r->height);
        free(r);
        return image;
    };
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    SdDisplayPump(0);
    std::vector<uint32_t> arrow;
    ASSERT_TRUE(PumpUntil([&] { return !(arrow = shownCursor()).empty(); }));
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));
    EXPECT_TRUE(PumpUntil([&] { return shownCursor() != arrow; })) << "the cross";
}

TEST_F(XcbDisplayTest, TheDisplaysFocusMovesTheLayersFocusBackToTheLastChild) {
    HWND a = Probe(RECT{0, 0, 200, 100});
    HWND field = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, a, nullptr,
                                 nullptr, nullptr);
    HWND b = Probe(RECT{300, 0, 500, 100});
    ASSERT_TRUE(ScreenShows(b));
    auto xWindowAt = [&](int x, int y) {
        auto* at = xcb_translate_coordinates_reply(
            probe_, xcb_translate_coordinates(probe_, root_, root_, int16_t(x), int16_t(y)),
            nullptr);
        xcb_window_t id = at ? at->child : 0;
        free(at);
        return id;
    };
    const xcb_window_t xa = xWindowAt(150, 50), xb = xWindowAt(350, 50);
    ASSERT_TRUE(xa && xb);
    xcb_set_input_focus(probe_, XCB_INPUT_FOCUS_NONE, xa, XCB_CURRENT_TIME);
    xcb_flush(probe_);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == a; }));
    SetFocus(field);
    xcb_set_input_focus(probe_, XCB_INPUT_FOCUS_NONE, xb, XCB_CURRENT_TIME);
    xcb_flush(probe_);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == b; }));
    xcb_set_input_focus(probe_, XCB_INPUT_FOCUS_NONE, xa, XCB_CURRENT_TIME);
    xcb_flush(probe_);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == field; }));
}

TEST_F(XcbDisplayTest, AWindowLargerThanTheScreenShowsItsVisiblePart) {
    HWND w = Probe(RECT{0, 0, 5000, 4000});
    Paint(w, RECT{1000, 500, 1100, 600}, RGB(10, 200, 30));
    Paint(w, RECT{4000, 3000, 4100, 3100}, RGB(200, 10, 30)); // off the screen
    SdDisplayPump(0); // one picture of 80 MB: composed once, not per wait
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Screen(RECT{1000, 500, 1001, 501})[0] != 0x0AC81E &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::yield();
    ASSERT_EQ(Screen(RECT{1000, 500, 1001, 501})[0], 0x0AC81Eu);
    const std::vector<uint32_t> printed = Printed(w);
    const std::vector<uint32_t> screen = Screen(RECT{0, 0, 1920, 1080});
    ASSERT_EQ(screen.size(), size_t(1920 * 1080));
    size_t differing = 0;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x)
            differing += screen[size_t(y) * 1920 + x] != printed[size_t(y) * 5000 + x];
    EXPECT_EQ(differing, 0u);
}

TEST_F(XcbDisplayTest, MinimisingAsksTheWindowManagerAndItsRestoreReachesTheModel) {
    HWND w = Probe(RECT{100, 100, 300, 200}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(ScreenShows(w));
    auto* at = xcb_translate_coordinates_reply(
        probe_, xcb_translate_coordinates(probe_, root_, root_, 150, 150), nullptr);
    ASSERT_TRUE(at && at->child);
    const xcb_window_t id = at->child;
    free(at);
    // The probe plays the window manager from here.
    const uint32_t redirect = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
    ASSERT_FALSE(xcb_request_check(
        probe_, xcb_change_window_attributes_checked(probe_, root_, XCB_CW_EVENT_MASK, &redirect)));
    ShowWindow(w, SW_MINIMIZE);
    auto* r =
        xcb_intern_atom_reply(probe_, xcb_intern_atom(probe_, 0, 15, "WM_CHANGE_STATE"), nullptr);
    const xcb_atom_t changeState = r->atom;
    free(r);
    bool asked = false;
    PumpUntil([&] {
        while (xcb_generic_event_t* e = xcb_poll_for_event(probe_)) {
            auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
            if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->type == changeState &&
                m->window == id && m->data.data32[0] == 3)
                asked = true;
            free(e);
        }
        return asked;
    });
    EXPECT_TRUE(asked) << "WM_CHANGE_STATE, iconic";
    xcb_unmap_window(probe_, id);
    xcb_map_window(probe_, id); // the user restores it from its icon
    xcb_flush(probe_);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(w); }));
}

TEST_F(XcbDisplayTest, AMessageBoxWaitsForTheUsersAnswer) {
    boxOwner = Probe(RECT{100, 100, 600, 400}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(ScreenShows(boxOwner));
    struct Case {
        UINT type;
        int click; // 0: Return, the default button
        int answer;
        bool blueIcon; // the question's and the information's icons show a blue mark
    };
    const Case cases[] = {
        {MB_YESNO, IDNO, IDNO, false},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDYES, IDYES, true},
        {MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONINFORMATION, 0, IDCANCEL, true},
        {MB_OK, 0, IDOK, false},
    };
    AllowUnscriptedMessageBoxes();
    AllowUnscriptedDialogs(); // the box is a dialog the user works
    answering = this;
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        boxClick = c.click;
        boxTicks = 0;
        boxActed = false;
        boxOwnerEnabled = true;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerTheBox);
        const std::string text =
            "A question that wants an answer from the user, long enough to "
            "be wrapped onto a second line of the box.\nAnd a line of its own.";
        EXPECT_EQ(MessageBoxA(boxOwner, text.c_str(), "Question", c.type), c.answer);
        KillTimer(nullptr, timer);
        if (c.blueIcon)
            EXPECT_GT(boxIconBlue, 20);
        else
            EXPECT_EQ(boxIconBlue, -1);
        EXPECT_FALSE(boxOwnerEnabled);
        EXPECT_TRUE(IsWindowEnabled(boxOwner));
    }
    answering = nullptr;
    ASSERT_EQ(MessageBoxLog().size(), std::size(cases));
    EXPECT_FALSE(MessageBoxLog()[0].scripted);
    EXPECT_EQ(MessageBoxLog()[0].answer, IDNO);
    // A scripted answer still comes first.
    PushMessageBoxAnswer(IDRETRY);
    EXPECT_EQ(MessageBoxA(boxOwner, "Again?", "Question", MB_RETRYCANCEL), IDRETRY);
}

TEST_F(XcbDisplayTest, AMessagePostedFromAnotherThreadEndsTheWaitAtOnce) {
    HWND w = Probe(RECT{0, 0, 10, 10});
    std::thread poster([w] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessageA(w, WM_USER, 0, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    MSG msg;
    // With a display GetMessage does not end for idleness: it waits for the post.
    ASSERT_EQ(GetMessageA(&msg, nullptr, WM_USER, WM_USER), 1);
    const auto waited = std::chrono::steady_clock::now() - start;
    poster.join();
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_LT(waited, std::chrono::seconds(2));
}

// Runs an xclip command while the test pumps the display; its standard output.
std::string RunWhilePumping(const std::string& command, const std::function<void()>& pump) {
    std::atomic<bool> done{false};
    std::string output;
    std::thread runner([&] {
        if (FILE* f = popen(command.c_str(), "r")) {
            char buffer[256];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                output.append(buffer, n);
            pclose(f);
        }
        done = true;
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < end)
        pump();
    runner.join();
    return output;
}

TEST_F(XcbDisplayTest, ClipboardTextGoesBothWaysInTheCodePageWithCrLf) {
    if (std::system("command -v xclip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xclip is not installed";
    HWND w = Probe(RECT{0, 0, 20, 20});
    // Ours to another program: UTF-8 with LF.
    ASSERT_TRUE(OpenClipboard(w));
    EmptyClipboard();
    const char ours[] = "a\r\nb\xE9\x80";
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof ours);
    std::memcpy(GlobalLock(mem), ours, sizeof ours);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    const std::string xclip = "xclip -display " + server().Name() + " -selection clipboard";
    EXPECT_EQ(RunWhilePumping(xclip + " -o -t UTF8_STRING", [] { SdDisplayPump(20); }),
              "a\nb\xC3\xA9\xE2\x82\xAC");
    // Another program's to ours: the code page ('?' for what it lacks), CR LF.
    const std::string give =
        "printf 'x\\ny\\303\\274\\305\\213' | " + xclip + " -i -quiet -loops 1 -t UTF8_STRING";
    // In the foreground (no daemon left behind), served once, ended if it is never asked.
    std::thread giver(
        [&] { (void)!std::system(("timeout 10 sh -c \"" + give + "\" >/dev/null 2>&1").c_str()); });
    std::string pasted;
    PumpUntil([&] {
        if (!OpenClipboard(w)) return false;
        if (GetClipboardOwner() == nullptr)
            if (HANDLE h = GetClipboardData(CF_TEXT)) {
                pasted = static_cast<const char*>(GlobalLock(h));
                GlobalUnlock(h);
            }
        CloseClipboard();
        return !pasted.empty();
    });
    giver.join();
    EXPECT_EQ(pasted, "x\r\ny\xFC?");
}

TEST_F(XcbDisplayTest, PrivateFormatsGoByteForByteUnderTheNamesAtom) {
    if (std::system("command -v xclip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xclip is not installed";
    HWND w = Probe(RECT{0, 0, 20, 20});
    const UINT format = RegisterClipboardFormatA("SignDesk Test Objects");
    const std::string ours("\x01\x00\x02\xFFzz", 6);
    ASSERT_TRUE(OpenClipboard(w));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, ours.size());
    std::memcpy(GlobalLock(mem), ours.data(), ours.size());
    GlobalUnlock(mem);
    SetClipboardData(format, mem);
    CloseClipboard();
    const std::string xclip = "xclip -display " + server().Name() + " -selection clipboard";
    EXPECT_EQ(RunWhilePumping(xclip + " -o -t 'SignDesk Test Objects'", [] { SdDisplayPump(20); }),
              ours);
    // Another process's: the same format by name, its bytes as they come.
    const std::string file = (DataFolder() / "objects.bin").string();
    FILE* f = std::fopen(file.c_str(), "wb");
    const std::string theirs("\x00\x03\x04", 3);
    std::fwrite(theirs.data(), 1, theirs.size(), f);
    std::fclose(f);
    const std::string give = xclip + " -i -quiet -t 'SignDesk Test Objects' " + file;
    std::thread giver(
        [&] { (void)!std::system(("timeout 10 " + give + " >/dev/null 2>&1").c_str()); });
    std::string pasted;
    PumpUntil([&] {
        if (!OpenClipboard(w)) return false;
        if (GetClipboardOwner() == nullptr)
            if (HANDLE h = GetClipboardData(format)) {
                pasted.assign(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
                GlobalUnlock(h);
            }
        CloseClipboard();
        return !pasted.empty();
    });
    // Taking the clipboard back ends the other program.
    ASSERT_TRUE(OpenClipboard(w));
    EmptyClipboard();
    CloseClipboard();
    SdDisplayPump(0);
    giver.join();
    EXPECT_EQ(pasted, theirs);
}

TEST(XcbDisplaySwitchTest, NoServerGivesAReasonNamingTheDisplay) {
    char reason[256] = {};
    EXPECT_FALSE(SdConnectDisplay(":9999", reason, sizeof reason));
    EXPECT_NE(std::string(reason).find("DISPLAY=:9999"), std::string::npos) << reason;
    EXPECT_FALSE(SdDisplayActive());
}

} // namespace

namespace {

std::string& lostMarker() {
    static std::string path;
    return path;
}

// Stands for the application's autosave: the command leaves a file.
LRESULT CALLBACK autosaveProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == 32931)
        if (FILE* f = std::fopen(lostMarker().c_str(), "w")) std::fclose(f);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The process that loses its display: its own server, killed under a waiting loop.
void loseTheDisplay() {
    XvfbServer own;
    if (!own.WhyNot().empty()) std::_Exit(5);
    WNDCLASSA wc{};
    wc.lpfnWndProc = autosaveProc;
    wc.lpszClassName = "XcbAutosave";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "XcbAutosave", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                             200, 100, nullptr, nullptr, nullptr, nullptr);
    char reason[256] = {};
    if (!SdConnectDisplay(own.Name().c_str(), reason, sizeof reason)) std::_Exit(6);
    SdSetDisplayLostCommand(w, 32931);
    SdDisplayPump(0);
    own.Kill();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    std::_Exit(7); // the loop must not end by itself
}

TEST(XcbLostDisplayTest, ALostConnectionRunsTheAutosaveCommandAndExitsWith4) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed";
    lostMarker() =
        (std::filesystem::temp_directory_path() / ("sdxcb-lost-" + std::to_string(getpid())))
            .string();
    std::filesystem::remove(lostMarker());
    EXPECT_EXIT(loseTheDisplay(), ::testing::ExitedWithCode(4),
                "connection to display :[0-9]+ was lost");
    EXPECT_TRUE(std::filesystem::exists(lostMarker()));
    std::filesystem::remove(lostMarker());
}

} // namespace
