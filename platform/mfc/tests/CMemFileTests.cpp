// Files in memory: growth, attached buffers and positions past the end.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestSupport.h"

TEST(CMemFileTest, GrowsAndReadsBack) {
    CMemFile file(16);
    for (int i = 0; i < 100; ++i)
        file.Write("0123456789", 10);
    EXPECT_EQ(file.GetLength(), 1000u);
    file.Seek(995, CFile::begin);
    char buffer[10] = {};
    EXPECT_EQ(file.Read(buffer, 10), 5u);
    EXPECT_EQ(std::string(buffer, 5), "56789");
    EXPECT_EQ(file.Read(buffer, 10), 0u);
}

TEST(CMemFileTest, WritingPastTheEndFillsTheGapWithZeros) {
    CMemFile file;
    file.Write("ab", 2);
    EXPECT_EQ(file.Seek(3, CFile::current), 5u);
    file.Write("c", 1);
    EXPECT_EQ(contentsOf(file), (Bytes{'a', 'b', 0, 0, 0, 'c'}));
    file.SetLength(8);
    EXPECT_EQ(contentsOf(file), (Bytes{'a', 'b', 0, 0, 0, 'c', 0, 0}));
    file.SetLength(1);
    EXPECT_EQ(file.GetPosition(), 1u);
    EXPECT_EQ(fileCause([&] { file.Seek(-2, CFile::current); }), CFileException::badSeek);
    EXPECT_EQ(file.GetPosition(), 1u);
}

TEST(CMemFileTest, AttachedBufferWithoutGrowStepIsTheWholeFile) {
    BYTE buffer[4] = {1, 2, 3, 4};
    CMemFile file(1024);
    file.Attach(buffer, sizeof buffer);
    EXPECT_EQ(file.GetLength(), 4u);
    BYTE b;
    file.Read(&b, 1);
    EXPECT_EQ(b, 1);
    file.Write("xyz", 3); // in place
    EXPECT_EQ(buffer[3], 'z');
    EXPECT_TRUE(throwsFramework<CMemoryException>([&] { file.Write("!", 1); }));
    EXPECT_EQ(file.GetLength(), 4u);
    EXPECT_EQ(file.Detach(), buffer);
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CMemFileTest, AttachedBufferWithGrowStepStartsEmptyAndStaysTheCallers) {
    BYTE buffer[4] = {9, 9, 9, 9};
    CMemFile file;
    file.Attach(buffer, sizeof buffer, 8);
    EXPECT_EQ(file.GetLength(), 0u);
    file.Write("ab", 2); // fits: written in place
    EXPECT_EQ(buffer[1], 'b');
    file.Write("cdef", 4); // grows into a block of the file's own; the buffer is left alone
    EXPECT_EQ(buffer[2], 9);
    BYTE* own = file.Detach();
    ASSERT_NE(own, buffer);
    EXPECT_EQ(std::memcmp(own, "abcdef", 6), 0);
    std::free(own);
}

TEST(CMemFileTest, DetachHandsOverTheBlock) {
    CMemFile file;
    file.Write("data", 4);
    BYTE* block = file.Detach();
    EXPECT_EQ(std::memcmp(block, "data", 4), 0);
    std::free(block);
    file.Write("x", 1); // usable again
    EXPECT_EQ(file.GetLength(), 1u);
}
