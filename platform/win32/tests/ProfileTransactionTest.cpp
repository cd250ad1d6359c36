#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "KernelScratchFolder.h"
#include "win32/KernelTesting.h"
#include "win32/ProfileLock.h"
#include "win32/ProfileTransaction.h"
#include "win32/kernel.h"

namespace {

const std::string kDevices = "; cutters\n"
                             "[Coral]\n"
                             "Driver=cutdrv-coral.dll\n"
                             "MaxX=1000 ; wide\n"
                             "\n"
                             "[Dune]\n"
                             "Driver=cutdrv-dune.dll\n";

std::string value(const std::string& file, const char* section, const char* key) {
    char buffer[256];
    GetPrivateProfileStringA(section, key, "<none>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

// A child that holds the file's lock until it is killed; returns its pid once it holds it.
pid_t holdLockInChild(const std::string& file) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ProfileLock lock(file.c_str());
        char byte = lock.Held() ? 'y' : 'n';
        if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
        for (;;)
            ::pause();
    }
    char byte = 0;
    ::close(ready[1]);
    if (::read(ready[0], &byte, 1) != 1 || byte != 'y') pid = -1;
    ::close(ready[0]);
    return pid;
}

class ProfileTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SdResetFileOperationTesting();
        folder.write("Devices.ini", kDevices);
    }
    void TearDown() override {
        SdResetFileOperationTesting();
        if (SdFakeClockInstalled()) SdRemoveFakeClock();
    }
    KernelScratchFolder folder;
    std::string file = folder.path("Devices.ini");
};

TEST_F(ProfileTransactionTest, AppliesEveryEditInOneReplacement) {
    ProfileTransaction edits(file.c_str());
    edits.RequireSection("coral");
    edits.WriteString("Coral", "MaxX", "2000");
    edits.WriteString("Coral", "BaudRate", "6");
    edits.WriteString("Dune", nullptr, nullptr);
    ASSERT_TRUE(edits.Commit());
    EXPECT_EQ(SdFileOperationCount(SD_FILE_RENAME), 1);
    EXPECT_EQ(folder.read("Devices.ini"), "; cutters\n"
                                          "[Coral]\n"
                                          "Driver=cutdrv-coral.dll\n"
                                          "MaxX=2000\n"
                                          "BaudRate=6\n"
                                          "\n");
}

TEST_F(ProfileTransactionTest, EditsThatChangeNothingLeaveTheFileAlone) {
    struct stat before {};
    ::stat(file.c_str(), &before);
    ProfileTransaction edits(file.c_str());
    edits.WriteString("Dune", "Driver", "cutdrv-dune.dll");
    edits.WriteString("Coral", "Missing", nullptr);
    ASSERT_TRUE(edits.Commit());
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(SdFileOperationCount(SD_FILE_WRITE), 0);
    EXPECT_EQ(folder.read("Devices.ini"), kDevices);
}

TEST_F(ProfileTransactionTest, CopiedSectionKeepsEveryLineAndTakesLaterEdits) {
    ProfileTransaction edits(file.c_str());
    edits.CopySection("coral", "Coral 2");
    edits.WriteString("Coral 2", "MaxX", "500");
    ASSERT_TRUE(edits.Commit());
    EXPECT_EQ(folder.read("Devices.ini"), kDevices + "\n"
                                                     "[Coral 2]\n"
                                                     "Driver=cutdrv-coral.dll\n"
                                                     "MaxX=500\n");
}

// A refused transaction writes nothing, whatever edits came before the refusal.
TEST_F(ProfileTransactionTest, RefusalsLeaveTheFileUntouched) {
    struct Case {
        const char* what;
        void (*edit)(ProfileTransaction&);
        DWORD error;
        bool removeFile = false;
    };
    const Case cases[] = {
        {"unsafe key", [](ProfileTransaction& t) { t.WriteString("Coral", "a=b", "1"); },
         ERROR_INVALID_PARAMETER},
        {"line break in value",
         [](ProfileTransaction& t) { t.WriteString("Coral", "K", "1\n[X]"); },
         ERROR_INVALID_PARAMETER},
        {"unsafe new name", [](ProfileTransaction& t) { t.CopySection("Coral", "[x"); },
         ERROR_INVALID_PARAMETER},
        {"section gone", [](ProfileTransaction& t) { t.RequireSection("Gone"); }, ERROR_NOT_FOUND},
        {"file gone", [](ProfileTransaction& t) { t.RequireSection("Coral"); },
         ERROR_FILE_NOT_FOUND, true},
        {"copy of a missing section", [](ProfileTransaction& t) { t.CopySection("Gone", "New"); },
         ERROR_NOT_FOUND},
        {"copy onto a section", [](ProfileTransaction& t) { t.CopySection("Coral", "DUNE"); },
         ERROR_ALREADY_EXISTS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write("Devices.ini", kDevices);
        if (c.removeFile) ::unlink(file.c_str());
        ProfileTransaction edits(file.c_str());
        edits.WriteString("Coral", "MaxX", "1");
        c.edit(edits);
        EXPECT_FALSE(edits.Commit());
        EXPECT_EQ(GetLastError(), c.error);
        if (c.removeFile)
            EXPECT_FALSE(folder.read("Devices.ini")) << "the lock's empty file stays";
        else
            EXPECT_EQ(folder.read("Devices.ini"), kDevices);
    }
}

TEST_F(ProfileTransactionTest, FileErrorsLeaveTheOldContent) {
    ProfileTransaction edits(file.c_str());
    edits.WriteString("Coral", "MaxX", "2");

    SdFailFileOperation(SD_FILE_WRITE, 1, ENOSPC);
    EXPECT_FALSE(edits.Commit());
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    SdFailFileOperation(SD_FILE_FSYNC, 1, EIO);
    EXPECT_FALSE(edits.Commit());
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    // Read-only: no write permission bits, even for root.
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(edits.Commit());
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(folder.read("Devices.ini"), kDevices);
    ::chmod(file.c_str(), 0644);

    ASSERT_TRUE(edits.Commit());
    EXPECT_EQ(value(file, "Coral", "MaxX"), "2");
}

// Every write waits for the lock; the kernel drops it when its holder dies.
TEST_F(ProfileTransactionTest, WritersWaitForTheLockUntilItsHolderDies) {
    pid_t holder = holdLockInChild(file);
    ASSERT_GT(holder, 0);
    SdInstallFakeClock(1000, SYSTEMTIME{});
    EXPECT_FALSE(WritePrivateProfileStringA("Coral", "MaxX", "3", file.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_LOCK_VIOLATION);
    EXPECT_GE(GetTickCount() - 1000, ProfileLock::kDefaultTimeout);
    ProfileTransaction edits(file.c_str());
    edits.WriteString("Coral", "MaxX", "3");
    EXPECT_FALSE(edits.Commit(500));
    EXPECT_EQ(folder.read("Devices.ini"), kDevices);

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(edits.Commit());
    EXPECT_EQ(value(file, "Coral", "MaxX"), "3");
}

// A process killed at its write, fsync or rename leaves the old file whole; the next writer
// gets the lock.
TEST_F(ProfileTransactionTest, KilledWriterLeavesTheOldOrTheNewFile) {
    const std::string changed = [&] {
        folder.write("Expected.ini", kDevices);
        std::string other = folder.path("Expected.ini");
        WritePrivateProfileStringA("Coral", "MaxX", "9", other.c_str());
        WritePrivateProfileStringA("Coral", "BaudRate", "6", other.c_str());
        return *folder.read("Expected.ini");
    }();
    for (SdFileOperation kind : {SD_FILE_WRITE, SD_FILE_FSYNC, SD_FILE_RENAME}) {
        for (int nth = 1; nth <= 2; ++nth) {
            SCOPED_TRACE(testing::Message() << "operation " << kind << " #" << nth);
            folder.write("Devices.ini", kDevices);
            pid_t child = ::fork();
            if (child == 0) {
                SdKillAtFileOperation(kind, nth);
                ProfileTransaction edits(file.c_str());
                edits.WriteString("Coral", "MaxX", "9");
                edits.WriteString("Coral", "BaudRate", "6");
                ::_exit(edits.Commit() ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            auto now = folder.read("Devices.ini");
            if (nth == 1) {
                ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
                EXPECT_EQ(now, kDevices);
            } else {
                // One commit makes one operation of each kind: the second is never reached.
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                EXPECT_EQ(now, changed);
            }
            EXPECT_TRUE(WritePrivateProfileStringA("Dune", "Port", "COM2", file.c_str()));
        }
    }
}

// Two processes writing different keys of one section at once lose none of them.
TEST_F(ProfileTransactionTest, ConcurrentWritersLoseNothing) {
    constexpr int kRounds = 60;
    pid_t child = ::fork();
    if (child == 0) {
        for (int i = 1; i <= kRounds; ++i)
            if (!WritePrivateProfileStringA("Coral", "WindowsUSBID", std::to_string(i).c_str(),
                                            file.c_str()))
                ::_exit(1);
        ::_exit(0);
    }
    for (int i = 1; i <= kRounds; ++i) {
        ProfileTransaction edits(file.c_str());
        edits.WriteString("Coral", "MaxX", std::to_string(i).c_str());
        edits.WriteString("Coral", ("Key" + std::to_string(i)).c_str(), "x");
        ASSERT_TRUE(edits.Commit());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(value(file, "Coral", "WindowsUSBID"), std::to_string(kRounds));
    EXPECT_EQ(value(file, "Coral", "MaxX"), std::to_string(kRounds));
    for (int i = 1; i <= kRounds; ++i)
        EXPECT_EQ(value(file, "Coral", ("Key" + std::to_string(i)).c_str()), "x");
}

TEST_F(ProfileTransactionTest, LockOfAMissingFileLeavesNoFileBehind) {
    std::string missing = folder.path("New.ini");
    {
        ProfileLock lock(missing.c_str());
        ASSERT_TRUE(lock.Held());
        EXPECT_TRUE(lock.Created());
    }
    EXPECT_FALSE(folder.read("New.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, missing.c_str()));
    EXPECT_FALSE(folder.read("New.ini"));
    ProfileLock noFolder(folder.path("no/such/File.ini").c_str());
    EXPECT_FALSE(noFolder.Held());
    EXPECT_EQ(noFolder.Error(), ERROR_PATH_NOT_FOUND);
}

} // namespace
