// The process-wide clipboard: ownership of handles, open/close rules.

#include <cstring>

#include <gtest/gtest.h>

#include "testing/PlatformTest.h"
#include "win32/ClipboardTesting.h"
#include "win32/KernelTesting.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"

namespace {

class ClipboardTest : public PlatformTest {};

HGLOBAL MakeBlock(const char* text) {
    const SIZE_T n = std::strlen(text) + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(mem), text, n);
    GlobalUnlock(mem);
    return mem;
}

HWND FakeWindow(int n) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1000 + n));
}

} // namespace

TEST_F(ClipboardTest, DataNeedsTheClipboardOpen) {
    HGLOBAL mem = MakeBlock("x");
    EXPECT_EQ(SetClipboardData(CF_TEXT, mem), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    GlobalFree(mem); // refused, so still ours
}

TEST_F(ClipboardTest, HandlesBelongToTheClipboardUntilEmptied) {
    const SIZE_T before = SdLiveGlobalCount();
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL first = MakeBlock("first");
    EXPECT_EQ(SetClipboardData(CF_DIB, first), first);
    HGLOBAL second = MakeBlock("second");
    EXPECT_EQ(SetClipboardData(CF_DIB, second), second); // frees the first
    EXPECT_EQ(GlobalFlags(first), GMEM_INVALID_HANDLE);
    EXPECT_TRUE(CloseClipboard());

    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)); // no need to open
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE got = GetClipboardData(CF_DIB);
    ASSERT_EQ(got, second);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(got)), "second");
    GlobalUnlock(got);
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(SdLiveGlobalCount(), before);
}

TEST_F(ClipboardTest, AnotherOwnerCannotOpenItWhileOpen) {
    ASSERT_TRUE(OpenClipboard(FakeWindow(1)));
    EXPECT_TRUE(OpenClipboard(FakeWindow(1)));
    EXPECT_FALSE(OpenClipboard(FakeWindow(2)));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), FakeWindow(1));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(OpenClipboard(FakeWindow(2)));
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(ClipboardTest, ResetFreesWhatItHolds) {
    const SIZE_T before = SdLiveGlobalCount();
    ASSERT_TRUE(OpenClipboard(nullptr));
    SetClipboardData(CF_TEXT, MakeBlock("left behind"));
    SdResetClipboard();
    EXPECT_EQ(SdLiveGlobalCount(), before);
    EXPECT_FALSE(CloseClipboard()); // reset closed it
}
