#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "InstallerFiles.h"
#include "InstallerTree.h"

namespace {

class ProgramRunTest : public InstallerTree {
protected:
    // Runs the program as a child with the tree's folders; its exit status.
    int Run(const std::string& arguments) {
        std::string command = "XDG_CONFIG_HOME='" + DataFolder().string() + "' XDG_CONFIG_DIRS='" +
                              Shared() + "..' '" CUTTERMAN_PROGRAM "' " + arguments + " > '" +
                              DataFolder().string() + "/out.txt' 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output() { return Read(DataFolder().string() + "/out.txt").value_or(""); }
    std::string Quoted(const std::string& text) { return "'" + text + "'"; }
};

TEST_F(ProgramRunTest, ABadCommandLineEndsWithStatusOne) {
    EXPECT_EQ(Run("signdesk.ini"), 1);
    EXPECT_NE(Output().find("bad command line"), std::string::npos) << Output();
    EXPECT_EQ(Run("a b c"), 1);
    EXPECT_EQ(Run(Quoted(Program() + "missing/signdesk.ini")), 1);
    EXPECT_NE(Output().find("cannot change to the folder"), std::string::npos) << Output();
}

TEST_F(ProgramRunTest, WithoutDisplayOrScriptOnlyTheSpoolerRefreshRuns) {
    Write(Program() + "Devices.ini", "[Gamma]\r\nDevice=out.plt\r\n");
    MakeProgram(Program() + "spooler");
    EXPECT_EQ(Run(Quoted(Program() + "signdesk.ini")), 3);
    EXPECT_EQ(Read(Program() + "Devices.ini"), "[Gamma]\r\nDevice=out.plt\r\n");
    EXPECT_FALSE(Read(Program() + "Plot.ini"));
    EXPECT_EQ(Read(Program() + "spooler.ini"),
              " \r\n[DEVICE 1]\r\nName=Gamma\r\nPort=out.plt\r\nBaud=9600\r\nStop=1\r\nData=8\r\n"
              "Parity=NOPARITY\r\nDTR/DSR=1\r\nRTS/CTS=0\r\nXON/XOFF=0\r\n");
    // The same in two arguments.
    EXPECT_EQ(Run(Quoted(Program()) + " signdesk.ini"), 3);
}

TEST_F(ProgramRunTest, ASecondRunSaysSoAndChangesNothing) {
    Write(Program() + "Devices.ini", "[Gamma]\r\n");
    MakeProgram(Program() + "spooler");
    RunLock held(DataFolder().string() + "/signdesk/cutterman.lock");
    ASSERT_TRUE(held.Held());
    EXPECT_EQ(Run(Quoted(Program() + "signdesk.ini")), 1);
    EXPECT_NE(Output().find("another cutterman run"), std::string::npos) << Output();
    EXPECT_FALSE(Read(Program() + "spooler.ini"));
}

} // namespace
