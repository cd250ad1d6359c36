#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "shell/ProcessLaunch.h"
#include "testing/PlatformTest.h"

namespace fs = std::filesystem;

namespace {

// Children of this process that have ended but were never reaped.
int Zombies() {
    int n = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        long parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &parent) == 2 &&
            parent == ::getpid() && state == 'Z')
            ++n;
    }
    return n;
}

TEST(SplitCommandLine, WindowsQuotingRules) {
    using V = std::vector<std::string>;
    struct Case {
        const char* line;
        V args;
    } cases[] = {
        {"", V{}},
        {"  prog  a\tb ", V{"prog", "a", "b"}},
        {"\"C:\\Program Files\\x.exe\" \"two words\"", V{"C:\\Program Files\\x.exe", "two words"}},
        {"p a\\\\\"b c\" d", V{"p", "a\\b c", "d"}},
        {"p a\\\\\\\"b", V{"p", "a\\\"b"}},
        {"p a\\b\\\\c", V{"p", "a\\b\\\\c"}},
        {"p \"a\"\"b\"", V{"p", "a\"b"}},
        {"p \"\"", V{"p", ""}},
        {"p \"open", V{"p", "open"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

class ProcessLaunchTest : public PlatformTest {};

TEST_F(ProcessLaunchTest, WaitsForTheProcessWithinItsTime) {
    fs::path mark = DataFolder() / "mark";
    std::string line = "sh -c \"echo done > '" + mark.string() + "'\"";
    RunProcessAndWait(line.c_str(), 10000);
    EXPECT_TRUE(fs::exists(mark));
    EXPECT_EQ(Zombies(), 0);
}

TEST_F(ProcessLaunchTest, MinusOneReturnsAtOnceAndLeavesNoZombie) {
    auto start = std::chrono::steady_clock::now();
    RunProcessAndWait("sleep 0.3", -1);
    RunProcessAndWait("sleep 5", 50); // outlives its wait
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_EQ(Zombies(), 0);
}

TEST_F(ProcessLaunchTest, AFailedStartIsReported) {
    PushMessageBoxAnswer(IDOK);
    RunProcessAndWait("sd-no-such-program --x", 1000);
    auto log = MessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "Unable to run:sd-no-such-program --x");
}

} // namespace
