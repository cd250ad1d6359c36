#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "EnvOverride.h"
#include "KernelScratchFolder.h"
#include "win32/kernel.h"

namespace {

TEST(KernelFoldersTest, WindowsFolderIsTheSharedSettingsFolder) {
    struct {
        const char* configDirs;
        const char* expected;
    } cases[] = {{"/shared:/b", "/shared/signdesk"},
                 {"/shared/", "/shared/signdesk"},
                 {nullptr, "/etc/xdg/signdesk"},
                 {":/b", "/etc/xdg/signdesk"},
                 {"/", "/signdesk"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configDirs ? c.configDirs : "(unset)");
        EnvOverride configDirs("XDG_CONFIG_DIRS", c.configDirs);
        char buffer[MAX_PATH] = "";
        UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(n, std::strlen(c.expected));
    }
    EnvOverride configDirs("XDG_CONFIG_DIRS", "/shared");
    char small[4] = "abc";
    EXPECT_EQ(GetWindowsDirectoryA(small, sizeof small), std::strlen("/shared/signdesk") + 1);
    EXPECT_STREQ(small, "abc");
}

TEST(KernelFoldersTest, CurrentFolderChangesAndReportsWhyNot) {
    KernelScratchFolder scratch;
    char saved[4096];
    ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
    std::filesystem::create_directories(scratch.path("Sub Folder"));
    std::string backslashed = scratch.path("Sub Folder");
    backslashed[backslashed.rfind('/')] = '\\';
    ASSERT_TRUE(SetCurrentDirectoryA(backslashed.c_str()));
    char now[4096];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof now, now), scratch.path("Sub Folder").size());
    EXPECT_EQ(std::string(now), std::filesystem::canonical(scratch.path("Sub Folder")).string());

    EXPECT_FALSE(SetCurrentDirectoryA(scratch.path("missing").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(SetCurrentDirectoryA(""));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_TRUE(SetCurrentDirectoryA(saved));
}

TEST(KernelFoldersTest, MoveRenamesOrRefusesAnExistingTarget) {
    KernelScratchFolder scratch;
    scratch.write("a", "first");
    scratch.write("b", "second");
    const std::string a = scratch.path("a"), b = scratch.path("b"), c = scratch.path("c");

    EXPECT_FALSE(MoveFileExA(a.c_str(), b.c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(scratch.read("b"), "second");

    EXPECT_TRUE(
        MoveFileExA(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(scratch.read("a"), std::nullopt);
    EXPECT_EQ(scratch.read("b"), "first");

    EXPECT_TRUE(MoveFileExA(b.c_str(), c.c_str(), 0));
    EXPECT_EQ(scratch.read("c"), "first");

    EXPECT_FALSE(MoveFileExA(a.c_str(), c.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    std::filesystem::create_directories(scratch.path("folder"));
    EXPECT_FALSE(MoveFileExA(c.c_str(), scratch.path("folder").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(scratch.read("c"), "first");
}

TEST(KernelFoldersTest, CopyWritesTheWholeFileBesideTheTarget) {
    KernelScratchFolder scratch;
    std::string bytes(100000, 'x');
    bytes[5] = '\0';
    bytes += "\r\nend";
    scratch.write("src", bytes);
    scratch.write("dst", "old");
    const std::string src = scratch.path("src"), dst = scratch.path("dst");

    EXPECT_FALSE(CopyFileA(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(scratch.read("dst"), "old");

    EXPECT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(scratch.read("dst"), bytes);
    EXPECT_EQ(scratch.read("src"), bytes);
    EXPECT_TRUE(CopyFileA(src.c_str(), scratch.path("new").c_str(), TRUE));
    EXPECT_EQ(scratch.read("new"), bytes);
    // Nothing but the files themselves is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(scratch.path()))
        ++entries;
    EXPECT_EQ(entries, 3);

    EXPECT_FALSE(CopyFileA(scratch.path("missing").c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CopyFileA(src.c_str(), scratch.path("no/such/folder").c_str(), FALSE));
    EXPECT_EQ(scratch.read("dst"), bytes);
}

} // namespace
