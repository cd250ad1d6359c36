// The clipboard's data object: availability and format data as a memory file.

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "testing/PlatformTest.h"
#include "win32/kernel.h"

namespace {

class COleDataObjectTest : public PlatformTest {};

void PutOnClipboard(UINT format, const Bytes& bytes) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(format, mem);
    ASSERT_TRUE(CloseClipboard());
}

} // namespace

TEST_F(COleDataObjectTest, GivesACopyOfTheFormatAsAFile) {
    PutOnClipboard(CF_DIB, Bytes{1, 2, 3, 4, 5});
    COleDataObject data;
    EXPECT_FALSE(data.IsDataAvailable(CF_DIB)); // not attached yet
    EXPECT_EQ(data.GetFileData(CF_DIB), nullptr);
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_TRUE(data.IsDataAvailable(CF_DIB));
    EXPECT_FALSE(data.IsDataAvailable(CF_TEXT));
    EXPECT_EQ(data.GetFileData(CF_TEXT), nullptr);

    CFile* file = data.GetFileData(CF_DIB);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetPosition(), 0u);
    EXPECT_EQ(contentsOf(*static_cast<CMemFile*>(file)), (Bytes{1, 2, 3, 4, 5}));
    delete file;

    // The clipboard is closed again and still holds its data.
    EXPECT_TRUE(OpenClipboard(nullptr));
    EXPECT_NE(GetClipboardData(CF_DIB), nullptr);
    EXPECT_TRUE(CloseClipboard());
    data.Release();
    EXPECT_FALSE(data.IsDataAvailable(CF_DIB));
}

TEST_F(COleDataObjectTest, ClipboardHeldByAnotherOwnerGivesNoData) {
    PutOnClipboard(CF_DIB, Bytes{9});
    ASSERT_TRUE(OpenClipboard(reinterpret_cast<HWND>(0x1234)));
    COleDataObject data;
    data.AttachClipboard();
    EXPECT_EQ(data.GetFileData(CF_DIB), nullptr);
    EXPECT_TRUE(CloseClipboard());
}
