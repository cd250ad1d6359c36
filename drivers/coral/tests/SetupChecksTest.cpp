// The setup sheet's checks: refused input, failed writes, a vanished section, the enabling
// rules, the device line, and a cut that uses what the sheet saved.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <testing/FakeUsbTree.h>
#include <win32/KernelTesting.h>
#include <win32/ProfileLock.h>
#include <win32/user.h>

#include "CoralTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

constexpr int General = 0, Commands = 1, Serial = 2, Coordinates = 3;

const std::string kDevices = "[Cutter]\r\n"
                             "Driver=cutdrv-coral.dll\r\n"
                             "Device=COM2\r\n"
                             "MaxX=1000\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "Driver=cutdrv-dune.dll\r\n";

class SetupChecksTest : public CoralTest {
protected:
    PlotterDriver* Load(const std::string& bytes) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << bytes;
        return Bind("Cutter");
    }
    int RunSheet(PlotterDriver* driver, std::function<void(HWND)> script) {
        SetDialogScriptForClass("CSetupSheet", std::move(script));
        return driver->Setup(nullptr);
    }
    std::string LastMessage() const {
        auto log = MessageBoxLog();
        return log.empty() ? std::string() : log.back().text;
    }
};

// Each value is refused with a prompt that names the limits; the sheet stays, the file is
// untouched, and a valid value then saves.
TEST_F(SetupChecksTest, BadInputKeepsThePage) {
    struct Row {
        int page;
        int control;
        std::string text;
        std::string prompt; // a part of the prompt
    };
    const Row rows[] = {
        {General, 1003, "1x", "number"},
        {General, 1025, "0,5", "number"},
        {General, 1025, "nan", "number"},
        {General, 1003, "5", "10"},
        {General, 1024, "4000", "500"},
        {General, 1007, "33", "32"},
        {Serial, 1036, "0", "3600"},
        {Commands, 1010, std::string(30, '#'), "MoveRel"},
        {General, 1002, "\b", "name"},
        {General, 1002, "a]b", "]"},
        {General, 1002, "other", "Another device"},
    };
    PlotterDriver* driver = Load(kDevices);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(RunSheet(driver,
                           [&](HWND s) {
                               PushMessageBoxAnswer(IDOK);
                               Type(s, row.page, row.control, row.text);
                               Ok(s);
                               EXPECT_TRUE(::IsWindowVisible(s));
                               EXPECT_NE(LastMessage().find(row.prompt), std::string::npos)
                                   << LastMessage();
                               Cancel(s);
                           }),
                  0);
        EXPECT_EQ(ReadFile(ini_), kDevices);
    }
    // Lengths whose steps would pass 32 bits at the step size name the limit that fits.
    RunSheet(driver, [&](HWND s) {
        PushMessageBoxAnswer(IDOK);
        Type(s, General, 1006, "0.0001");
        Type(s, General, 1003, "1000000");
        Ok(s);
        EXPECT_NE(LastMessage().find("214748"), std::string::npos) << LastMessage();
        Type(s, General, 1003, "200000");
        Ok(s);
    });
    EXPECT_NE(ReadFile(ini_).find("MaxX=200000\r\n"), std::string::npos);
    EXPECT_NEAR(double(driver->maxX), 2e9, 1e3)
        << "the driver reloaded (steps of a float step size)";
}

TEST_F(SetupChecksTest, AFailedWriteNamesTheFileAndKeepsTheSheet) {
    PlotterDriver* driver = Load(kDevices);
    ::chmod(ini_.c_str(), 0444);
    EXPECT_EQ(RunSheet(driver,
                       [&](HWND s) {
                           PushMessageBoxAnswer(IDOK);
                           Type(s, General, 1003, "1200");
                           Ok(s);
                           EXPECT_TRUE(::IsWindowVisible(s));
                           EXPECT_NE(LastMessage().find(ini_), std::string::npos);
                           EXPECT_NE(LastMessage().find("read-only"), std::string::npos);
                           Cancel(s);
                       }),
              0);
    struct stat st {};
    ::stat(ini_.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u) << "the read-only file is never made writable";
    EXPECT_EQ(ReadFile(ini_), kDevices);
    EXPECT_EQ(driver->maxX, 40000) << "nothing reloaded";
    ::chmod(ini_.c_str(), 0644);

    SdFailFileOperation(SD_FILE_WRITE, 1, ENOSPC);
    EXPECT_EQ(RunSheet(driver,
                       [&](HWND s) {
                           PushMessageBoxAnswer(IDOK);
                           Type(s, General, 1003, "1200");
                           Ok(s);
                           EXPECT_NE(LastMessage().find("disk is full"), std::string::npos);
                           Ok(s);
                       }),
              1);
    SdResetFileOperationTesting();
    EXPECT_NE(ReadFile(ini_).find("MaxX=1200"), std::string::npos);
}

TEST_F(SetupChecksTest, ALockHeldTooLongIsReported) {
    PlotterDriver* driver = Load(kDevices);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    if (holder == 0) {
        ProfileLock lock(ini_.c_str());
        char byte = 'y';
        if (::write(ready[1], &byte, 1) != 1) ::_exit(1);
        for (;;)
            ::pause();
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    SdInstallFakeClock(1000, SYSTEMTIME{});
    EXPECT_EQ(RunSheet(driver,
                       [&](HWND s) {
                           PushMessageBoxAnswer(IDOK);
                           Type(s, General, 1003, "1200");
                           Ok(s);
                           EXPECT_NE(LastMessage().find("10 seconds"), std::string::npos);
                           Cancel(s);
                       }),
              0);
    SdRemoveFakeClock();
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(ReadFile(ini_), kDevices);
}

TEST_F(SetupChecksTest, AVanishedSectionIsWrittenAgainOnlyWhenAsked) {
    const std::string others = "[Other]\r\nDriver=cutdrv-dune.dll\r\n";
    PlotterDriver* driver = Load(kDevices);
    EXPECT_EQ(RunSheet(driver,
                       [&](HWND s) {
                           std::ofstream(ini_, std::ios::binary) << others;
                           PushMessageBoxAnswer(IDNO);
                           Ok(s);
                       }),
              0);
    EXPECT_EQ(ReadFile(ini_), others);

    driver = Load(kDevices);
    EXPECT_EQ(RunSheet(driver,
                       [&](HWND s) {
                           std::ofstream(ini_, std::ios::binary) << others;
                           PushMessageBoxAnswer(IDYES);
                           Ok(s);
                       }),
              1);
    std::string written = ReadFile(ini_);
    EXPECT_EQ(written.find(others), 0u);
    for (const char* line : {"[Cutter]\r\n", "Device=COM2\r\n", "MaxX=1000\r\n", "BaudRate=4\r\n",
                             "StartLine=PD#,#\r\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line;
}

TEST_F(SetupChecksTest, EnablingRules) {
    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());
    struct Port {
        std::string device;
        bool serial;
    };
    for (const Port& port : {Port{"com2", true}, Port{cutter.PortPath(), true}, Port{"COM9", false},
                             Port{"LPT1:", false}}) {
        SCOPED_TRACE(port.device);
        PlotterDriver* driver = Load("[Cutter]\r\nDevice=" + port.device + "\r\n");
        RunSheet(driver, [&](HWND s) {
            for (int id : {1019, 1020, 1021, 1022, 549, 550, 551})
                EXPECT_EQ(Enabled(s, Serial, id), port.serial) << id;
            Cancel(s);
        });
    }
    PlotterDriver* driver = Load("[Cutter]\r\nisGPGL=1\r\nOrigoPos=2\r\nBaudRate=40\r\n");
    RunSheet(driver, [&](HWND s) {
        EXPECT_TRUE(Enabled(s, Commands, 1011));
        EXPECT_FALSE(Enabled(s, Commands, 1018));
        Click(s, Commands, 1035);
        EXPECT_FALSE(Enabled(s, Commands, 1011));
        for (int id : {1018, 1019, 1020})
            EXPECT_TRUE(Enabled(s, Commands, id));
        EXPECT_FALSE(Enabled(s, Commands, 1032));
        EXPECT_FALSE(Enabled(s, Commands, 1034));
        EXPECT_TRUE(Enabled(s, Coordinates, 1043));
        sdtest::Select(Page(s, Coordinates), 1042, "0");
        EXPECT_FALSE(Enabled(s, Coordinates, 1043));
        EXPECT_FALSE(Enabled(s, Coordinates, 1044));
        // A baud index outside the list shows no choice; the serial page is disabled (LPT1),
        // so none is required.
        EXPECT_EQ(Text(s, Serial, 1019), "");
        Ok(s);
    });
    EXPECT_EQ(ReadFile(ini_),
              "[Cutter]\r\nisGPGL=1\r\nOrigoPos=0\r\nBaudRate=40\r\nDriver=cutdrv-coral.dll\r\n"
              "MuliplePoints=1\r\n");
}

TEST_F(SetupChecksTest, DeviceLineSaysWhatTheTextReaches) {
    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());
    FakePort com3("COM3", cutter.PortPath());
    const std::string missing = Path("dev/ttyUSB3");
    struct Row {
        std::string device;
        std::string line;
    };
    const Row rows[] = {
        {"COM3", "COM3 \xE2\x86\x92 " + cutter.PortPath() + " (Ports.ini)"},
        {missing, missing + ": missing"},
        {"out.plt", "file " + (std::filesystem::current_path() / "out.plt").string()},
        {"USB", "USB: no cutter with these ids"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.device);
        PlotterDriver* driver =
            Load("[Cutter]\r\nDevice=" + row.device + "\r\nWindowsUSBID=vid_0b4d&pid_110a\r\n");
        RunSheet(driver, [&](HWND s) {
            EXPECT_EQ(Text(s, General, 1050), row.line);
            Cancel(s);
        });
    }
    EXPECT_FALSE(std::filesystem::exists(missing)) << "nothing is created";

    // The USB cutter plugged in; the list offers the device files present.
    FakeUsbTree usb(DataFolder() / "usb");
    usb.AddDevice("1-2", "0b4d", "110a", cutter.PortPath());
    PlotterDriver* driver = Load("[Cutter]\r\nDevice=USB\r\nWindowsUSBID=vid_0b4d&pid_110a\r\n");
    RunSheet(driver, [&](HWND s) {
        EXPECT_EQ(Text(s, General, 1050).rfind("USB \xE2\x86\x92 " + usb.DevRoot(), 0), 0u)
            << Text(s, General, 1050);
        EXPECT_TRUE(sdtest::Select(Page(s, General), 1001, usb.DevRoot() + "/ttyACM0") ||
                    sdtest::Select(Page(s, General), 1001, usb.DevRoot() + "/ttyUSB0"));
        EXPECT_TRUE(Enabled(s, Serial, 1019)) << "a terminal takes the serial settings";
        Cancel(s);
    });
}

// A cut after the sheet's OK uses the new keys: the new bytes reach the cutter, on the new
// line settings, and the old device gets nothing.
TEST_F(SetupChecksTest, TheNextCutUsesWhatWasSaved) {
    FakeCutter oldCutter, newCutter;
    ASSERT_TRUE(oldCutter.IsOpen() && newCutter.IsOpen());
    FakePort com1("COM1", oldCutter.PortPath());
    FakePort com2("COM2", newCutter.PortPath());
    PlotterDriver* driver = Load("[Cutter]\r\nDevice=COM1\r\nMoveRel=PU#,#;\r\nBaudRate=4\r\n");
    EXPECT_EQ(RunSheet(driver,
                       [](HWND s) {
                           Type(s, General, 1001, "COM2");
                           Type(s, Commands, 1010, "MV#,#;");
                           sdtest::Select(Page(s, Serial), 1019, "9600");
                           Ok(s);
                       }),
              1);
    Job(driver, [](PlotterDriver* d) { d->MoveTo(100, 200); });
    EXPECT_TRUE(newCutter.WaitForReceived("MV100,200;"));
    EXPECT_EQ(newCutter.LineSettings().baudRate, 9600u);
    EXPECT_EQ(oldCutter.Received(), "");
}

// A process killed at its write, fsync or rename while OK saves leaves the old file or the
// new one, byte for byte.
TEST_F(SetupChecksTest, OkKilledMidWriteLeavesTheOldOrTheNewFile) {
    PlotterDriver* driver = Load(kDevices);
    const std::string changed = "[Cutter]\r\nDriver=cutdrv-coral.dll\r\nDevice=COM2\r\n"
                                "MaxX=1200\r\n\r\n[Other]\r\nDriver=cutdrv-dune.dll\r\n";
    for (SdFileOperation kind : {SD_FILE_WRITE, SD_FILE_FSYNC, SD_FILE_RENAME}) {
        SCOPED_TRACE(int(kind));
        std::ofstream(ini_, std::ios::binary) << kDevices;
        pid_t child = ::fork();
        if (child == 0) {
            SdKillAtFileOperation(kind, 1);
            SetDialogScriptForClass("CSetupSheet", [](HWND s) {
                Type(s, General, 1003, "1200");
                Ok(s);
            });
            driver->Setup(nullptr);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(ReadFile(ini_), kDevices);
    }
    SdResetFileOperationTesting();
    EXPECT_EQ(RunSheet(driver,
                       [](HWND s) {
                           Type(s, General, 1003, "1200");
                           Ok(s);
                       }),
              1);
    EXPECT_EQ(ReadFile(ini_), changed);
}

} // namespace
