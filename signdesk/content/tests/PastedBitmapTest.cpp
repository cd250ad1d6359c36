// Pasting pictures from the clipboard as bitmap objects.
#include <gtest/gtest.h>

#include <content/CBitmapObj.h>
#include <content/PastedBitmap.h>
#include <testing/PlatformTest.h>
#include <win32/UserTesting.h>
#include <win32/clipboard.h>
#include <win32/user.h>

namespace {

class PastedBitmapTest : public PlatformTest {
protected:
    void TearDown() override {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        PlatformTest::TearDown();
    }
    static void Offer(UINT format, HANDLE data) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(format, data);
        CloseClipboard();
    }
};

} // namespace

TEST_F(PastedBitmapTest, PackedBitmapAndBitmapHandle) {
    CDib dib;
    ASSERT_TRUE(dib.Create(150, 30, 24));
    dib.Fill(10, 20, 30, 0, 0, 0, 0);
    Offer(CF_DIB, dib.Copy());
    std::unique_ptr<CBitmapObj> pasted(CreateBitmapFromClipboard(CF_DIB));
    ASSERT_NE(pasted, nullptr);
    EXPECT_NEAR(pasted->m_bbClip.right, 25.4f, 1e-4); // 150 pixels are an inch
    EXPECT_NEAR(pasted->m_bbClip.top, 5.08f, 1e-4);
    EXPECT_EQ(pasted->bitmap->m_nRefCount, 1);
    BYTE c[3];
    pasted->bitmap->image.GetRGB(5, 5, c);
    EXPECT_EQ(c[2], 10); // blue, green, red
    EXPECT_EQ(c[0], 30);

    HDC screen = GetDC(nullptr);
    HBITMAP handle = CreateCompatibleBitmap(screen, 40, 20);
    ReleaseDC(nullptr, screen);
    Offer(CF_BITMAP, handle);
    pasted.reset(CreateBitmapFromClipboard(CF_BITMAP));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->bitmap->image.GetWidth(), 40);
    EXPECT_EQ(pasted->bitmap->image.GetHeight(), 20);
}

TEST_F(PastedBitmapTest, NothingReadableIsReported) {
    HGLOBAL junk = GlobalAlloc(GMEM_MOVEABLE, 8);
    Offer(CF_DIB, junk);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(CreateBitmapFromClipboard(CF_DIB), nullptr);
    ASSERT_FALSE(SdMessageBoxLog().empty());
    EXPECT_EQ(SdMessageBoxLog().back().text, "Unable to load bitmap");
}
