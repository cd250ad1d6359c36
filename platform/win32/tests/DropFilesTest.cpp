#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "win32/shellapi.h"

TEST(DropFilesTest, PathsOfAnyLengthCountAndPoint) {
    const std::string longPath = "/" + std::string(600, 'd') + "/design.wtp";
    const char* paths[] = {"/a.wtp", longPath.c_str(), "b c.plt"};
    HDROP drop = SdMakeDropFiles(paths, 3, POINT{7, 9});
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 3u);
    EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), longPath.size());
    std::string buffer(longPath.size() + 1, '\0');
    EXPECT_EQ(DragQueryFileA(drop, 1, buffer.data(), UINT(buffer.size())), longPath.size());
    EXPECT_STREQ(buffer.c_str(), longPath.c_str());
    char small[4];
    EXPECT_EQ(DragQueryFileA(drop, 2, small, sizeof small), 3u);
    EXPECT_STREQ(small, "b c");
    EXPECT_EQ(DragQueryFileA(drop, 3, small, sizeof small), 0u);
    POINT pt{};
    EXPECT_TRUE(DragQueryPoint(drop, &pt));
    EXPECT_EQ(pt.x, 7);
    EXPECT_EQ(pt.y, 9);
    DragFinish(drop);
}

TEST(DropFilesTest, ADamagedBlockGivesNothing) {
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + 4);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(header + 1), "abcd", 4); // no ending 0
    GlobalUnlock(block);
    EXPECT_EQ(DragQueryFileA(block, 0xFFFFFFFFu, nullptr, 0), 0u);
    header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = 4000;
    GlobalUnlock(block);
    EXPECT_EQ(DragQueryFileA(block, 0, nullptr, 0), 0u);
    DragFinish(block);
    EXPECT_EQ(DragQueryFileA(nullptr, 0xFFFFFFFFu, nullptr, 0), 0u);
}
