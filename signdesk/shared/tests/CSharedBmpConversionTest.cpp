// Pictures between the program's bitmaps and the imaging toolkit: in memory, and through a
// temporary bitmap file when memory is short; clones.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <imaging/KovaKern.h>
#include <shared/CSharedBmp.h>
#include <testing/PlatformTest.h>
#include <win32/UserTesting.h>

namespace {

class SharedBmpConversionTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        char folder[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, folder);
        tempFolder_ = folder;
    }
    // Temporary files of the conversions still there.
    int TempFiles() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(tempFolder_))
            if (e.path().filename().string().rfind("Tmp", 0) == 0) ++n;
        return n;
    }
    static void Picture(CDib& dib, int bits) {
        ASSERT_TRUE(dib.Create(7, 5, bits));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                unsigned v = bits == 24 ? unsigned(x * 0x100401 + y * 0x30) : unsigned(x + y) % 2;
                dib.SetPixel(x, y, v);
            }
        if (bits <= 8) dib.GetColorTab()[1] = RGBQUAD{10, 200, 30, 0};
    }
    static std::string Diff(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
        if (a.size() != b.size())
            return "sizes " + std::to_string(a.size()) + " " + std::to_string(b.size());
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return "at " + std::to_string(i) + ": " + std::to_string(a[i]) + " " +
                       std::to_string(b[i]);
        return "";
    }
    static std::vector<BYTE> Bytes(const CDib& dib) {
        const BYTE* p = static_cast<const BYTE*>(static_cast<const void*>(dib.GetInfo()));
        return std::vector<BYTE>(p, p + 40 + dib.GetPaletteSize() + dib.GetTotalBytes());
    }

private:
    std::filesystem::path tempFolder_;
};

} // namespace

TEST_F(SharedBmpConversionTest, RoundTripsInMemoryAndThroughTemporaryFiles) {
    const int before = TempFiles();
    for (int bits : {1, 8, 24}) {
        SCOPED_TRACE(bits);
        CDib dib;
        Picture(dib, bits);
        dib.ChangeFromDIB(dib.ChangeToDIB()); // row padding zeroed, as every intake leaves it
        const std::vector<BYTE> original = Bytes(dib);
        KOVABITMAP bitmap;
        KovaInitBitmap(&bitmap, 1, 1, 1);

        // In memory.
        ASSERT_EQ(ConvertDibToToolkitBitmap(&dib, &bitmap), 0);
        EXPECT_TRUE(dib.IsEmpty());
        ASSERT_EQ(ConvertToolkitBitmapToDib(&bitmap, &dib), 0);
        EXPECT_EQ(Diff(Bytes(dib), original), "");

        // The toolkit refuses the block: through a file, same pixels.
        KovaTestingFailCalls(KOVA_FAIL_FROM_DIB, 1);
        ASSERT_EQ(ConvertDibToToolkitBitmap(&dib, &bitmap), 0);
        // Handing it back fails: through a file again.
        KovaTestingFailCalls(KOVA_FAIL_TO_DIB, 1);
        ASSERT_EQ(ConvertToolkitBitmapToDib(&bitmap, &dib), 0);
        EXPECT_EQ(Diff(Bytes(dib), original), "");
        EXPECT_FALSE(bitmap.allocated);

        // The toolkit refuses it and cannot read the file: the picture stays.
        KovaTestingFailCalls(KOVA_FAIL_FROM_DIB, 1);
        KovaTestingFailCalls(KOVA_FAIL_LOAD_FILE, 1);
        EXPECT_EQ(ConvertDibToToolkitBitmap(&dib, &bitmap), -1);
        EXPECT_EQ(Diff(Bytes(dib), original), "");
        EXPECT_FALSE(bitmap.allocated);
    }
    EXPECT_EQ(TempFiles(), before);
}

TEST_F(SharedBmpConversionTest, NoMemoryAndNoFileIsReported) {
    CDib dib;
    Picture(dib, 8);
    KOVABITMAP bitmap;
    KovaInitBitmap(&bitmap, 1, 1, 1);
    ASSERT_EQ(ConvertDibToToolkitBitmap(&dib, &bitmap), 0);
    KovaTestingFailCalls(KOVA_FAIL_TO_DIB, 1);
    KovaTestingFailCalls(KOVA_FAIL_SAVE_FILE, 1);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(ConvertToolkitBitmapToDib(&bitmap, &dib), -1);
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_FALSE(bitmap.allocated); // freed, not leaked
    ASSERT_FALSE(SdMessageBoxLog().empty());
    EXPECT_EQ(SdMessageBoxLog().back().text,
              "No memory and no hard disk space in the Temp directory");
}

TEST_F(SharedBmpConversionTest, ClonesAreIndependentCopies) {
    CSharedBmp shared;
    Picture(shared.image, 8);
    ASSERT_TRUE(shared.mask.Create(7, 5, 1));
    shared.image.ChangeFromDIB(shared.image.ChangeToDIB()); // row padding zeroed
    shared.mask.ChangeFromDIB(shared.mask.ChangeToDIB());
    shared.fileName = "photo.png";
    std::unique_ptr<CSharedBmp> clone(shared.Clone()), clone24(shared.Clone24());
    EXPECT_EQ(Bytes(clone->image), Bytes(shared.image));
    EXPECT_NE(clone->image.GetInfo(), shared.image.GetInfo());
    EXPECT_EQ(Bytes(clone->mask), Bytes(shared.mask));
    EXPECT_TRUE(clone->fileName.IsEmpty());
    EXPECT_EQ(clone->encodedImageSize, 0u);
    EXPECT_EQ(clone24->image.GetBitsPerPixel(), 24);
    EXPECT_EQ(clone24->mask.GetBitsPerPixel(), 1);
    for (int x = 0; x < 7; ++x) {
        BYTE a[3], b[3];
        clone24->image.GetRGB(x, 2, a);
        shared.image.GetRGB(x, 2, b);
        EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << x;
    }
}

TEST_F(SharedBmpConversionTest, ProbesMemory) {
    EXPECT_EQ(ProbeGlobalMemory(1 << 20), 0);
    FailGlobalRequests(1);
    PushMessageBoxAnswer(IDCANCEL); // the allocator's question whether to try again
    EXPECT_EQ(ProbeGlobalMemory(1 << 20), -1);
}
