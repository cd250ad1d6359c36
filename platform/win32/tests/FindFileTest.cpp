#include <gtest/gtest.h>

#include <set>
#include <string>

#include "KernelScratchFolder.h"
#include "win32/findfile.h"

namespace {

std::set<std::string> findAll(const std::string& pattern) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(h, &data));
    EXPECT_EQ(DWORD(ERROR_NO_MORE_FILES), GetLastError());
    EXPECT_TRUE(FindClose(h));
    return names;
}

TEST(FindFileTest, PatternMatchesWithoutCaseAndTakesBackslashes) {
    KernelScratchFolder dir;
    dir.write("a.wft", "1234");
    dir.write("B.WFT", "");
    dir.write("c.wftx", "");
    dir.write("d.txt", "");
    dir.write("Caf\xC3\xA9.wft", "");
    std::string winDir = dir.path();
    for (char& c : winDir)
        if (c == '/') c = '\\';
    EXPECT_EQ((std::set<std::string>{"a.wft", "B.WFT", "Caf\xE9.wft"}),
              findAll(winDir + "\\*.wft"));
    EXPECT_EQ((std::set<std::string>{"a.wft", "B.WFT"}), findAll(dir.path() + "/?.Wft"));
    EXPECT_EQ((std::set<std::string>{"d.txt"}), findAll(dir.path() + "/D*"));

    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir.path() + "/a.wft").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(4u, data.nFileSizeLow);
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), data.dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(FindClose(h));
    EXPECT_FALSE(FindClose(h)); // stale handle
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
}

TEST(FindFileTest, NothingFoundAndMissingFolder) {
    KernelScratchFolder dir;
    WIN32_FIND_DATAA data;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((dir.path() + "/*.wft").c_str(), &data));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((dir.path() + "/none/*.wft").c_str(), &data));
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());
}

} // namespace
