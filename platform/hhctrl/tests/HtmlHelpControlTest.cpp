// The help control module as the program binds it: by its control's name and ordinal 14.
// A stand-in xdg-open first on PATH records what it was asked to open.

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "testing/PlatformTest.h"
#include "testing/XvfbServer.h"
#include "win32/DisplayBackend.h"
#include "win32/help.h"
#include "win32/module.h"
#include "win32/resource.h"

namespace {

using HelpEntry = HWND (*)(HWND, LPCSTR, UINT, DWORD_PTR);

class HtmlHelpControlTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = ::LoadLibraryA("hhctrl.ocx");
        ASSERT_NE(module, nullptr);
        entry = reinterpret_cast<HelpEntry>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module, MAKEINTRESOURCEA(14))));
        ASSERT_NE(entry, nullptr);
        const std::filesystem::path bin = DataFolder() / "bin";
        std::filesystem::create_directories(bin);
        opened = DataFolder() / "opened";
        std::ofstream(bin / "xdg-open")
            << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << opened.string() << "'\n";
        std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        savedPath = path != nullptr ? path : "";
        ::setenv("PATH", (bin.string() + ":" + savedPath).c_str(), 1);
        SdClearHelpLog();
    }
    void TearDown() override {
        ::setenv("PATH", savedPath.c_str(), 1);
        SdDisconnectDisplay();
        if (module != nullptr) ::FreeLibrary(module);
        PlatformTest::TearDown();
    }
    // The lines the stand-in viewer wrote, once there are `count` (at most 10 s).
    std::vector<std::string> Opened(size_t count) const {
        std::vector<std::string> lines;
        for (int tries = 0; tries < 1000; ++tries) {
            lines.clear();
            std::ifstream in(opened);
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() >= count) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return lines;
    }

    HMODULE module = nullptr;
    HelpEntry entry = nullptr;
    std::filesystem::path opened;
    std::string savedPath;
};

TEST_F(HtmlHelpControlTest, HeadlessEachRequestIsLoggedAndNothingOpens) {
    EXPECT_EQ(entry(nullptr, "/p/signdesk.chm", HH_HELP_CONTEXT, 0x20000 + 181), nullptr);
    entry(nullptr, "/p/signdesk.chm", HH_DISPLAY_TOPIC, 0);
    const std::vector<SdHelpRecord> log = SdHelpLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].viewer, "HtmlHelp");
    EXPECT_EQ(log[0].file, "/p/signdesk.chm");
    EXPECT_EQ(log[0].command, HH_HELP_CONTEXT);
    EXPECT_EQ(log[0].data, 0x20000u + 181);
    EXPECT_EQ(log[1].command, HH_DISPLAY_TOPIC);
    EXPECT_FALSE(std::filesystem::exists(opened));
}

TEST_F(HtmlHelpControlTest, WithADisplayTheFileOpensInTheDesktopsViewer) {
    XvfbServer& server = XvfbServer::Shared();
    if (server.Name().empty()) GTEST_SKIP() << server.WhyNot();
    char reason[256] = {};
    ASSERT_TRUE(SdConnectDisplay(server.Name().c_str(), reason, sizeof reason)) << reason;
    const std::string file = (DataFolder() / "my help.chm").string();
    entry(nullptr, file.c_str(), HH_HELP_CONTEXT, 7);
    EXPECT_EQ(Opened(1), std::vector<std::string>{file});
    // A topic inside the file opens the file.
    entry(nullptr, (file + "::/index.htm").c_str(), HH_DISPLAY_TOPIC, 0);
    EXPECT_EQ(Opened(2), (std::vector<std::string>{file, file}));
    EXPECT_EQ(SdHelpLog().size(), 2u);
}

} // namespace
