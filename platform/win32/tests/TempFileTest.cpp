#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>

#include "EnvOverride.h"
#include "KernelScratchFolder.h"
#include "win32/kernel.h"

namespace {

TEST(TempFileTest, TempPathEndsWithSlashAndReportsTheSizeNeeded) {
    {
        EnvOverride tmp("TMPDIR", "/var/tmp");
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 9u);
        EXPECT_STREQ(buffer, "/var/tmp/");

        char small[9] = "unused!";
        EXPECT_EQ(GetTempPathA(sizeof small, small), 10u); // with the NUL
        EXPECT_STREQ(small, "unused!");
        EXPECT_EQ(GetTempPathA(10, buffer), 9u);
    }
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        EnvOverride tmp("TMPDIR", unset);
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 5u);
        EXPECT_STREQ(buffer, "/tmp/");
    }
}

TEST(TempFileTest, ZeroUniqueCreatesDistinctEmptyFiles) {
    KernelScratchFolder folder;
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        char name[MAX_PATH] = {};
        UINT unique = GetTempFileNameA(folder.path().c_str(), "Tmpfile", 0, name);
        ASSERT_NE(unique, 0u);
        std::string file = name;
        char expected[32];
        std::snprintf(expected, sizeof expected, "/Tmp%X.tmp", unique);
        EXPECT_EQ(file, folder.path() + expected);
        EXPECT_TRUE(std::filesystem::is_regular_file(file));
        EXPECT_EQ(std::filesystem::file_size(file), 0u);
        names.insert(file);
    }
    EXPECT_EQ(names.size(), 20u);
}

TEST(TempFileTest, GivenUniqueOnlyFormatsTheName) {
    KernelScratchFolder folder;
    char name[MAX_PATH] = {};
    std::string windowsStyle = folder.path() + "\\";
    EXPECT_EQ(GetTempFileNameA(windowsStyle.c_str(), "ab", 0x1A2B, name), 0x1A2Bu);
    EXPECT_EQ(std::string(name), folder.path() + "/ab1A2B.tmp");
    EXPECT_FALSE(std::filesystem::exists(name));
    EXPECT_EQ(GetTempFileNameA(folder.path().c_str(), nullptr, 0x12345, name), 0x12345u);
    EXPECT_EQ(std::string(name), folder.path() + "/2345.tmp");
}

TEST(TempFileTest, FailuresReturnZero) {
    KernelScratchFolder folder;
    char name[MAX_PATH] = "untouched";
    SetLastError(0);
    EXPECT_EQ(GetTempFileNameA(folder.path("missing").c_str(), "Tmp", 0, name), 0u);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_STREQ(name, "untouched");

    // A name that would not fit MAX_PATH is refused rather than written past the buffer.
    std::string deep(MAX_PATH, 'd');
    EXPECT_EQ(GetTempFileNameA(deep.c_str(), "Tmp", 0, name), 0u);
    EXPECT_EQ(GetTempFileNameA(deep.c_str(), "Tmp", 7, name), 0u);
    EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
    EXPECT_STREQ(name, "untouched");
}

TEST(TempFileTest, CollisionsAreSkippedAndExhaustionFails) {
    KernelScratchFolder folder;
    char name[MAX_PATH];
    // Take every number but one; the search must find it.
    for (UINT n = 1; n <= 0xFFFF; ++n) {
        if (n == 0xBEEF) continue;
        ASSERT_NE(GetTempFileNameA(folder.path().c_str(), "x", n, name), 0u);
        int fd = ::open(name, O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    EXPECT_EQ(GetTempFileNameA(folder.path().c_str(), "x", 0, name), 0xBEEFu);
    EXPECT_EQ(std::string(name), folder.path() + "/xBEEF.tmp");
    SetLastError(0);
    EXPECT_EQ(GetTempFileNameA(folder.path().c_str(), "x", 0, name), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
}

} // namespace

namespace {

TEST(DeleteFileTest, RemovesFilesAndRefusesWhatItCannot) {
    KernelScratchFolder folder;
    folder.write("a.tmp", "x");
    EXPECT_TRUE(DeleteFileA(folder.path("a.tmp").c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder.path("a.tmp")));

    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(folder.path("a.tmp").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // Stored names may use '\'.
    folder.write("b.tmp", "x");
    std::string windowsStyle = folder.path() + "\\b.tmp";
    EXPECT_TRUE(DeleteFileA(windowsStyle.c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder.path("b.tmp")));

    std::filesystem::create_directory(folder.path("sub"));
    EXPECT_FALSE(DeleteFileA(folder.path("sub").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("sub")));

    EXPECT_FALSE(DeleteFileA(nullptr));
    EXPECT_FALSE(DeleteFileA(""));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

} // namespace
