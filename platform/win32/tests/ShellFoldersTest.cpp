#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "EnvOverride.h"
#include "KernelScratchFolder.h"
#include "win32/shlobj.h"

namespace {

struct Case {
    const char* what;
    int csidl;
    const char* configHome;
    const char* home;
    const char* configDirs;
    const char* expected; // null: FALSE
};

TEST(ShellFoldersTest, ApplicationDataFoldersFollowTheXdgVariables) {
    const std::string longName = "/" + std::string(MAX_PATH, 'a');
    const Case cases[] = {
        {"config home", CSIDL_APPDATA, "/cfg", "/home/u", nullptr, "/cfg"},
        {"trailing slash dropped", CSIDL_APPDATA, "/cfg//", "/home/u", nullptr, "/cfg"},
        {"home's .config", CSIDL_APPDATA, nullptr, "/home/u", nullptr, "/home/u/.config"},
        {"empty config home", CSIDL_APPDATA, "", "/home/u", nullptr, "/home/u/.config"},
        {"no user folder", CSIDL_APPDATA, nullptr, nullptr, nullptr, nullptr},
        {"too long", CSIDL_APPDATA, longName.c_str(), "/home/u", nullptr, nullptr},
        {"first shared folder", CSIDL_COMMON_APPDATA, "/cfg", "/home/u", "/a:/b", "/a"},
        {"shared default", CSIDL_COMMON_APPDATA, nullptr, nullptr, nullptr, "/etc/xdg"},
        {"empty first entry", CSIDL_COMMON_APPDATA, nullptr, nullptr, ":/b", "/etc/xdg"},
        {"another folder", 0x0005, "/cfg", "/home/u", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EnvOverride configHome("XDG_CONFIG_HOME", c.configHome);
        EnvOverride home("HOME", c.home);
        EnvOverride configDirs("XDG_CONFIG_DIRS", c.configDirs);
        char path[MAX_PATH] = "untouched";
        BOOL ok = SHGetSpecialFolderPathA(nullptr, path, c.csidl, FALSE);
        if (c.expected) {
            EXPECT_TRUE(ok);
            EXPECT_STREQ(path, c.expected);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_STREQ(path, "untouched");
        }
    }
}

TEST(ShellFoldersTest, CreateMakesTheMissingFolder) {
    KernelScratchFolder scratch;
    const std::string folder = scratch.path("a/b");
    EnvOverride configHome("XDG_CONFIG_HOME", folder.c_str());
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, TRUE));
    EXPECT_EQ(path, folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A file in the way is not a folder.
    scratch.write("file", "x");
    EnvOverride blocked("XDG_CONFIG_HOME", scratch.path("file").c_str());
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA | CSIDL_FLAG_CREATE, FALSE));
}

TEST(ShellFoldersTest, ItemListsCarryTheSpecialFolder) {
    EnvOverride configHome("XDG_CONFIG_HOME", "/cfg/user");
    EnvOverride configDirs("XDG_CONFIG_DIRS", "/shared:/other");
    struct {
        int csidl;
        const char* expected;
    } cases[] = {{CSIDL_APPDATA, "/cfg/user"}, {CSIDL_COMMON_APPDATA, "/shared"}};
    for (const auto& c : cases) {
        LPITEMIDLIST list = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, c.csidl, &list), S_OK);
        char path[MAX_PATH] = "untouched";
        EXPECT_TRUE(SHGetPathFromIDListA(list, path));
        EXPECT_STREQ(path, c.expected);
        ILFree(list);
    }

    LPITEMIDLIST list = reinterpret_cast<LPITEMIDLIST>(1);
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 0x0005, &list), E_FAIL);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, nullptr), E_INVALIDARG);
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));
    EXPECT_STREQ(path, "");
}

} // namespace
