// The program's command line and the framework's entry.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/CCommandLineInfo.h"
#include "mfc/CWinApp.h"

namespace {
// Parses args through the application as AfxWinMain hands them over.
class ArgsApp : public CWinApp {
public:
    BOOL InitInstance() override {
        ParseCommandLine(info);
        return succeed;
    }
    int ExitInstance() override {
        ++exits;
        return CWinApp::ExitInstance();
    }
    CCommandLineInfo info;
    BOOL succeed = TRUE;
    int exits = 0;
};

int RunWith([[maybe_unused]] ArgsApp& app, std::vector<std::string> args) {
    args.insert(args.begin(), "program");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return AfxWinMain(int(argv.size()), argv.data());
}
} // namespace

TEST(CommandLineTest, FilesFlagsAndAbsolutePaths) {
    struct Case {
        std::vector<std::string> args;
        int command;
        const char* file;
        BOOL splash;
    } cases[] = {
        {{}, CCommandLineInfo::FileNew, "", TRUE},
        {{"/home/user/a.wtp"}, CCommandLineInfo::FileOpen, "/home/user/a.wtp", TRUE},
        // A path of one part that exists is a file, not a flag: it is opened and told about.
        {{"/tmp"}, CCommandLineInfo::FileOpen, "/tmp", TRUE},
        {{"/p", "b.wtp"}, CCommandLineInfo::FilePrint, "b.wtp", TRUE},
        {{"-nologo", "c.wtp"}, CCommandLineInfo::FileOpen, "c.wtp", FALSE},
        {{"/Embedding"}, CCommandLineInfo::FileNothing, "", FALSE},
    };
    for (const Case& c : cases) {
        ArgsApp app;
        EXPECT_EQ(RunWith(app, c.args), 0);
        EXPECT_EQ(app.info.m_nShellCommand, c.command);
        EXPECT_STREQ(LPCSTR(app.info.m_strFileName), c.file);
        EXPECT_EQ(app.info.m_bShowSplash, c.splash);
        EXPECT_EQ(app.exits, 1);
    }
    ArgsApp app;
    RunWith(app, {"/pt", "d.wtp", "Printer", "Driver", "Port"});
    EXPECT_EQ(app.info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_STREQ(LPCSTR(app.info.m_strPrinterName), "Printer");
    EXPECT_STREQ(LPCSTR(app.info.m_strPortName), "Port");
}

TEST(CommandLineTest, AFailedStartUpStillRunsTheExitProcessingAndReturnsOne) {
    ArgsApp app;
    app.succeed = FALSE;
    EXPECT_EQ(RunWith(app, {}), 1);
    EXPECT_EQ(app.exits, 1);
}

TEST(CommandLineTest, TheRecentFileListKeepsFourNewestFirst) {
    CWinApp app;
    app.LoadStdProfileSettings(4);
    for (const char* f : {"a", "b", "c", "d", "e", "c"}) app.AddToRecentFileList(f);
    ASSERT_EQ(app.m_recentFiles.GetSize(), 4);
    EXPECT_STREQ(LPCSTR(app.m_recentFiles[0]), "c");
    EXPECT_STREQ(LPCSTR(app.m_recentFiles[1]), "e");
    EXPECT_STREQ(LPCSTR(app.m_recentFiles[3]), "b");
}
