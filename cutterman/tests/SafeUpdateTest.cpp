#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <win32/KernelTesting.h>
#include <win32/kernel.h>

#include "Installer.h"
#include "InstallerTree.h"

namespace {

class SafeUpdateTest : public InstallerTree {
protected:
    // An installer in set-up mode whose list removes Gamma and adds Alpha Cutter.
    Installer Prepared() {
        Installer in;
        in.setup = true;
        in.programFolder = Program();
        in.baseline = {"Gamma", "Beta Cutter"};
        in.installed = {"Beta Cutter", "Alpha Cutter"};
        return in;
    }
    int Leftovers() {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Program()))
            n += entry.path().filename().string().starts_with(".Devices.");
        return n;
    }
};

const std::string kBefore = "[Gamma]\r\nDriver=x\r\n[Beta Cutter]\r\nDriver=y\r\n";

TEST_F(SafeUpdateTest, AnUpdateKilledAtAnyStepLeavesTheOldOrTheNewFile) {
    Installer reference = Prepared();
    Write(Program() + "Devices.ini", kBefore);
    ASSERT_TRUE(reference.UpdateDeviceFile(Program(), false));
    const std::string after = *Read(Program() + "Devices.ini");
    ASSERT_NE(after, kBefore);

    // The update makes two replacements (Devices.old, Devices.ini): one write, flush and rename
    // each.
    for (SdFileOperation kind : {SD_FILE_WRITE, SD_FILE_FSYNC, SD_FILE_RENAME}) {
        for (int nth = 1; nth <= 2; ++nth) {
            SCOPED_TRACE(std::to_string(int(kind)) + " #" + std::to_string(nth));
            Write(Program() + "Devices.ini", kBefore);
            std::filesystem::remove(Program() + "Devices.old");
            pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                SdResetFileOperationTesting();
                SdKillAtFileOperation(kind, nth);
                Installer in = Prepared();
                in.UpdateDeviceFile(Program(), false);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status));
            std::string devices = *Read(Program() + "Devices.ini");
            EXPECT_TRUE(devices == kBefore || devices == after);
            auto old = Read(Program() + "Devices.old");
            EXPECT_TRUE(!old || *old == kBefore);
            if (nth == 2) {
                EXPECT_EQ(old, kBefore); // the backup was complete before
            }

            // The next run cleans up what the killed one left and does the update.
            Installer next = Prepared();
            EXPECT_TRUE(next.UpdateDeviceFile(Program(), false));
            EXPECT_EQ(Read(Program() + "Devices.ini"), devices == kBefore ? after : devices);
            EXPECT_EQ(Leftovers(), 0);
        }
    }
}

TEST_F(SafeUpdateTest, AFailedWriteKeepsTheFileAndSaysSo) {
    Write(Program() + "Devices.ini", kBefore);
    SdResetFileOperationTesting();
    SdFailFileOperation(SD_FILE_WRITE, 2, ENOSPC);
    PushMessageBoxAnswer(IDOK);
    Installer in = Prepared();
    EXPECT_FALSE(in.UpdateDeviceFile(Program(), false));
    SdResetFileOperationTesting();
    EXPECT_TRUE(in.failed);
    EXPECT_EQ(Read(Program() + "Devices.ini"), kBefore);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Unable to write INI file");
}

TEST_F(SafeUpdateTest, TheMainProgramsWritesDuringAnUpdateAreKept) {
    const std::string path = Program() + "Devices.ini";
    Write(path, kBefore);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        for (int i = 1; i <= 60; ++i) {
            std::string value = std::to_string(i);
            if (!WritePrivateProfileStringA("Beta Cutter", "WindowsUSBID", value.c_str(),
                                            path.c_str()))
                ::_exit(2);
            if (i == 1 && ::write(ready[1], "x", 1) != 1) ::_exit(3);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char signal;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);
    for (int round = 0; round < 10; ++round) {
        Installer in = Prepared();
        // Alternately add and remove Alpha Cutter, while the writer works.
        if (round % 2) {
            in.baseline = {"Beta Cutter", "Alpha Cutter"};
            in.installed = {"Beta Cutter"};
        }
        ASSERT_TRUE(in.UpdateDeviceFile(Program(), false));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    char value[16];
    GetPrivateProfileStringA("Beta Cutter", "WindowsUSBID", "", value, sizeof value, path.c_str());
    EXPECT_STREQ(value, "60");
    std::string devices = *Read(path);
    EXPECT_EQ(devices.find("[Gamma]"), std::string::npos);
    EXPECT_EQ(devices.find("[Alpha Cutter]"), std::string::npos); // removed in the last round
}

TEST_F(SafeUpdateTest, AJunkDeviceFileChangesOnlyInTheSectionsAddedOrRemoved) {
    std::string head = "\xEF\xBB\xBForphan=1\r\n[Foo\r\nx=\x01\xFF\r\n[]\rlone=cr\r";
    head += "[Long]\nValue=" + std::string(100000, 'v') + "\n";
    std::string tail;
    for (int i = 0; i < 2000; ++i)
        tail += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    tail += std::string("[Bin\0ary]\n\x7F\x00\n", 13);
    const std::string gamma = "[Gamma]\r\nold=1\r\n[gamma ]\r\nold=2\r\n";
    Write(Program() + "Devices.ini", head + gamma + tail);
    Installer in;
    in.setup = true;
    in.programFolder = Program();
    in.baseline = {"Gamma", "Foo"};
    in.installed = {"Foo", "Beta Cutter"};
    ASSERT_TRUE(in.UpdateDeviceFile(Program(), false));
    const std::string master = MasterFixture();
    const std::string beta =
        master.substr(master.find("[Beta"), master.find("\n\n[Gamma") + 1 - master.find("[Beta"));
    // Both sections of the name go; the new one is appended after an empty line in the
    // file's own line end (its first, CR LF).
    EXPECT_EQ(Read(Program() + "Devices.ini"), head + tail + "\r\n" + beta);
}

} // namespace
