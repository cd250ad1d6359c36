// signdesk on a display: the program's entry without one, and the main window under an Xvfb
// of the test program's own against PrintWindow.

#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <mfc/CDocument.h>
#include <testing/XvfbServer.h>
#include <win32/DisplayBackend.h>
#include <win32/wingdi.h>

#include "SignAppFixture.h"

namespace {

std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The program run as a user runs it, through the shell: its exit status and standard error.
struct ProgramRun {
    int status = -1;
    std::string err;
};

ProgramRun RunProgram(const std::string& environment, const std::string& args,
                      const std::filesystem::path& work) {
    const std::filesystem::path err = work / "stderr.txt";
    const std::string command = "env " + environment + " XDG_CONFIG_HOME='" + work.string() +
                                "' '" SIGNDESK_PROGRAM "' " + args + " >/dev/null 2>'" +
                                err.string() + "'";
    ProgramRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadText(err);
    return run;
}

TEST(DisplayEntryTest, WithoutADisplayTheProgramEndsWith3NamingDisplayAndSnapshotsStayHeadless) {
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("sd-entry-" + std::to_string(getpid()));
    std::filesystem::create_directories(work);
    struct Case {
        std::string environment;
        std::string args;
        int status;
        const char* err; // a part of the one line on standard error; "" for none
    };
    const Case cases[] = {
        {"-u DISPLAY", "", 3, "DISPLAY is not set"},
        {"DISPLAY=", "", 3, "DISPLAY is not set"},
        // A display named but not there: the reason names it.
        {"DISPLAY=:9876", "", 3, "DISPLAY=:9876"},
        // A snapshot never connects, whatever DISPLAY holds.
        {"DISPLAY=:9876", "--snapshot '" + (work / "out.png").string() + "'", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.environment + " " + c.args);
        const ProgramRun run = RunProgram(c.environment, c.args, work);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (*c.err != '\0') {
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("DISPLAY"), std::string::npos) << run.err;
            // One line, and nothing of the run happened: no settings were written.
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_FALSE(std::filesystem::exists(work / "signdesk" / "Application.ini"));
        }
    }
    EXPECT_TRUE(std::filesystem::exists(work / "out.png"));
    std::filesystem::remove_all(work);
}

// The window's picture as PrintWindow paints it whole, 0xRRGGBB.
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
    PrintWindow(hwnd, dc, 0);
    std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits),
                                 static_cast<uint32_t*>(bits) + w * h);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

class SignDisplayTest : public SignAppTest {
protected:
    void SetUp() override {
        SignAppTest::SetUp();
        if (!XvfbServer::Shared().WhyNot().empty()) GTEST_SKIP() << XvfbServer::Shared().WhyNot();
        char reason[256] = {};
        ASSERT_TRUE(SdConnectDisplay(XvfbServer::Shared().Name().c_str(), reason, sizeof reason))
            << reason;
        probe = xcb_connect(XvfbServer::Shared().Name().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(probe));
        root = xcb_setup_roots_iterator(xcb_get_setup(probe)).data->root;
    }
    void TearDown() override {
        SdDisconnectDisplay();
        if (probe != nullptr) xcb_disconnect(probe);
        SignAppTest::TearDown();
    }

    // The screen's pixels of the rectangle, 0xRRGGBB.
    std::vector<uint32_t> Screen(RECT r) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        std::vector<uint32_t> pixels;
        // In strips: one request of a whole main window may pass the server's limit.
        for (int y = 0; y < h; y += 64) {
            const int rows = std::min(64, h - y);
            xcb_get_image_reply_t* reply = xcb_get_image_reply(
                probe,
                xcb_get_image(probe, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(r.left),
                              int16_t(r.top + y), uint16_t(w), uint16_t(rows), ~0u),
                nullptr);
            if (reply == nullptr) return {};
            const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
            for (int i = 0; i < w * rows; ++i)
                pixels.push_back(data[i] & 0xFFFFFF);
            free(reply);
        }
        return pixels;
    }

    // Runs the loop until the screen shows the window as PrintWindow paints it, or 10 s pass.
    bool ScreenShows(HWND hwnd) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        RECT r{};
        while (std::chrono::steady_clock::now() < end) {
            SdDisplayPump(20);
            PumpMessages();
            GetWindowRect(hwnd, &r);
            if (Screen(r) == Printed(hwnd)) return true;
        }
        return false;
    }

    xcb_connection_t* probe = nullptr;
    xcb_window_t root = 0;
};

TEST_F(SignDisplayTest, TheMainWindowShowsWhatPrintWindowPaintsAlsoAfterAResize) {
    ASSERT_TRUE(Start());
    HWND frame = Frame()->m_hWnd;
    ASSERT_TRUE(IsWindowVisible(frame));
    EXPECT_TRUE(ScreenShows(frame));
    SetWindowPos(frame, nullptr, 20, 30, 700, 500, SWP_NOZORDER);
    EXPECT_TRUE(ScreenShows(frame)) << "resized";
    Exit();
}

} // namespace
