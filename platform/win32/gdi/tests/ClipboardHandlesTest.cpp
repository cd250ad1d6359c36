#include <gtest/gtest.h>

#include "win32/clipboard.h"
#include "win32/kernel.h"
#include "win32/wingdi.h"
#include "win32/wingdi_meta.h"

namespace {

HMETAFILE SmallWindowsMetafile() {
    HDC dc = CreateMetaFileA(nullptr);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 10, 10);
    return CloseMetaFile(dc);
}

TEST(ClipboardHandles, EmptyingDeletesDrawingHandlesOnce) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 1, nullptr);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(SetClipboardData(CF_BITMAP, bitmap), nullptr);
    RECT frame{0, 0, 100, 100};
    HDC emfDc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    LineTo(emfDc, 5, 5);
    ASSERT_NE(SetClipboardData(CF_ENHMETAFILE, CloseEnhMetaFile(emfDc)), nullptr);
    HGLOBAL pictMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(METAFILEPICT));
    auto* pict = static_cast<METAFILEPICT*>(GlobalLock(pictMem));
    pict->mm = 8;
    pict->xExt = pict->yExt = 1000;
    pict->hMF = SmallWindowsMetafile();
    GlobalUnlock(pictMem);
    ASSERT_NE(SetClipboardData(CF_METAFILEPICT, pictMem), nullptr);
    // Replacing a format releases the old handle as what it is.
    HBITMAP second = CreateBitmap(2, 2, 1, 1, nullptr);
    ASSERT_NE(SetClipboardData(CF_BITMAP, second), nullptr);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_NE(GetObjectType(second), 0u);
    // Emptying: every handle goes once (the sanitizers see a second free or a leak).
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetObjectType(second), 0u);
    ASSERT_TRUE(CloseClipboard());
}

} // namespace
