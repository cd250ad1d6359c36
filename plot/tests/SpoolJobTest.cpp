// Opening a job: the spool job file with its header, and the Device key put back.

#include <stdexcept>

#include <win32/KernelTesting.h>
#include <win32/kernel.h>

#include "PlotTest.h"
#include "SpoolJobFile.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SYSTEMTIME At(WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t{};
    t.wYear = 2024;
    t.wMonth = 3;
    t.wDay = 14;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

TEST(SpoolJobFileTest, ChecksumFoldsEveryByteWithItsPosition) {
    EXPECT_EQ(SpoolJobFile::Checksum("abc", 3), 0x00636EB2u);
    EXPECT_EQ(SpoolJobFile::Checksum("", 0), 0u);
    // Bytes above 127 count as unsigned.
    EXPECT_EQ(SpoolJobFile::Checksum("\xff", 1), (255u + 953u) ^ 255u);
}

TEST(SpoolJobFileTest, FileNamesAreBuiltFromSafeParts) {
    struct Case {
        const char* folder;
        const char* job;
        SYSTEMTIME time;
        const char* sheet;
        const char* expected;
    };
    const Case cases[] = {
        {"/spool", "Sign", At(9, 5, 7), "2/5", "/spool/Sign-090507-2.5.wjob"},
        {"/spool", "", At(12, 0, 0), "1/1", "/spool/-120000-1.1.wjob"},
        {"/spool/", "Sign", At(23, 59, 59), "3", "/spool/Sign-235959-3.wjob"},
        {"C:\\spool\\", "Sign", At(0, 0, 1), "1/2", "C:\\spool\\Sign-000001-1.2.wjob"},
        // Only the first '/' of the sheet becomes '.'; no text can leave the folder.
        {"/spool", "../../etc/x", At(1, 2, 3), "1/2/3", "/spool/.._.._etc_x-010203-1.2_3.wjob"},
        {"/spool", "a\\b:c*d?e\"f<g>h|i\nj", At(1, 2, 3), "1",
         "/spool/a_b_c_d_e_f_g_h_i_j-010203-1.wjob"},
        // ANSI text reaches the file system as UTF-8.
        {"/spool", "Caf\xe9 \x80", At(1, 2, 3), "1",
         "/spool/Caf\xc3\xa9 \xe2\x82\xac-010203-1.wjob"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(SpoolJobFile::FileName(c.folder, c.job, c.time, c.sheet), c.expected) << c.job;
}

TEST(SpoolJobFileTest, HeaderValuesCannotAddLines) {
    CString header = SpoolJobFile::HeaderText("A\nCopies=99", "Dev\r", "", "", "1 x 1", "1/1", 1);
    EXPECT_STREQ(header, "Name=A Copies=99\nDevice=Dev \nMedia=\nColor=\nSheetSize=1 x 1\n"
                         "Sheet=1/1\nCopies=1\nTarvelSignature=");
}

class SpoolJobTest : public PlotTest {
protected:
    void SetUp() override {
        PlotTest::SetUp();
        spool_ = DataFolder() / "spool";
        std::filesystem::create_directories(spool_);
        SdInstallFakeClock(1000, At(9, 5, 7));
        AttachMock();
        plotter_.useSpooler = 1;
        plotter_.spoolDirectory = spool_.c_str();
        plotter_.jobName = "Sign 12";
        plotter_.media = "Vinyl";
        plotter_.color = "Red";
        plotter_.sheetSizeText = "600 x 300";
        plotter_.sheetText = "2/5";
        plotter_.copies = 3;
        plotter_.headX = 15;
        plotter_.headY = 25;
    }

    std::string DeviceKey() const {
        char device[512];
        GetPrivateProfileStringA(Device, "Device", "<missing>", device, sizeof device,
                                 DevicesIni().c_str());
        return device;
    }

    std::filesystem::path spool_;
};

TEST_F(SpoolJobTest, InitWritesTheJobHeaderIntoANewSpoolFile) {
    plotter_.Init(1);
    const std::filesystem::path file = spool_ / "Sign 12-090507-2.5.wjob";
    EXPECT_EQ(mock_->openedDevice, file.string());
    EXPECT_EQ(DeviceKey(), "COM2");
    EXPECT_EQ(plotter_.savedDevice, "COM2");
    plotter_.Write("IN;PU0,0;", -1);
    plotter_.Exit();
    EXPECT_EQ(TakeCalls(), (Calls{"Init", "Write 4", "Write 109", "Write 9", "Write 4",
                                  "SetHeadPos 25 15", "Write 9", "Exit"}));
    EXPECT_EQ(ReadFile(file), ReadFile(SD_TEST_DATA_DIR "/spool/job-sheet-2-of-5.wjob"));
}

TEST_F(SpoolJobTest, AMissingDeviceKeyIsLeftAsTheFirstParallelPort) {
    WriteDevicesIni(std::string("[") + Device + "]\nDriver=" + MockDriverFile + "\n");
    plotter_.Init(0);
    EXPECT_EQ(DeviceKey(), "LPT1:");
}

TEST_F(SpoolJobTest, TheDeviceKeyIsPutBackWhenTheDriverThrows) {
    mock_->throwInInit = true;
    EXPECT_THROW(plotter_.Init(1), std::runtime_error);
    EXPECT_EQ(DeviceKey(), "COM2");
    EXPECT_EQ(TakeCalls(), (Calls{"Init"}));
}

TEST_F(SpoolJobTest, WithoutSpoolingInitOnlyOpensTheOutput) {
    plotter_.useSpooler = 0;
    plotter_.Init(1);
    plotter_.Init(0);
    EXPECT_EQ(TakeCalls(), (Calls{"Init", "SetHeadPos 25 15", "Init"}));
    EXPECT_EQ(mock_->openedDevice, "COM2");
    EXPECT_FALSE(std::filesystem::exists(spool_ / "Sign 12-090507-2.5.wjob"));
}

} // namespace
