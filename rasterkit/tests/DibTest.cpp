// Pixel access and pixel operations of the bitmap classes, CDib's life cycle and the clipboard.

#include <cstring>
#include <type_traits>

#include "RasterTestSupport.h"
#include "testing/PlatformTest.h"
#include "win32/KernelTesting.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"

namespace {

class DibTest : public PlatformTest {};

// A 24-bit bitmap whose pixel (x, y) is (x, y, x + y) as red, green, blue.
void Gradient(CDib& dib, int w, int h) {
    ASSERT_TRUE(dib.Create(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned v = Bgr(BYTE(x), BYTE(y), BYTE(x + y));
            dib.SetPixel(x, y, v);
        }
}

std::vector<unsigned> AllPixels(CDib& dib) {
    std::vector<unsigned> v;
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x) {
            unsigned p = 0;
            dib.GetPixel(x, y, p);
            v.push_back(p);
        }
    return v;
}

} // namespace

static_assert(!std::is_copy_constructible_v<DIBInterface>);
static_assert(!std::is_copy_constructible_v<CDib>);
static_assert(!std::is_copy_assignable_v<CDib>);
static_assert(std::is_nothrow_move_constructible_v<CDib>);

TEST_F(DibTest, AccessorsReadAndWriteEachDepth) {
    CDib one(10, 2, 1);
    unsigned zero = 0, v = 7;
    one.SetPixel(9, 1, zero);
    one.GetPixel(9, 1, v);
    EXPECT_EQ(v, 0u);
    one.GetPixel(8, 1, v);
    EXPECT_EQ(v, 1u);
    BYTE bgr[3];
    one.GetRGB(9, 1, bgr); // entry 0: black
    EXPECT_EQ(bgr[0] + bgr[1] + bgr[2], 0);
    one.GetRGB(8, 1, bgr); // entry 1: blue 128
    EXPECT_EQ(bgr[0], 128);

    CDib four(3, 1, 4);
    unsigned a = 0xA, b = 0x5;
    four.SetPixel(0, 0, a);
    four.SetPixel(1, 0, b);
    EXPECT_EQ(*four.GetPointer(0, 0), 0xA5); // high nibble first
    EXPECT_EQ(*four.GetPointer(2, 0), 0xFF);

    CDib rgb(2, 2, 24);
    unsigned c = Bgr(1, 2, 3);
    rgb.SetPixel(1, 0, c);
    const BYTE* p = rgb.GetPointer(1, 0);
    EXPECT_EQ(p[0], 3); // blue first
    EXPECT_EQ(p[2], 1);
    // Row 0 is the top row, stored last.
    EXPECT_EQ(rgb.GetPointer(0, 0), rgb.GetBits() + rgb.GetBytesPerRow());
    int rgbInts[3];
    rgb.GetPixel(1, 0, rgbInts);
    EXPECT_EQ(rgbInts[0], 1);
    EXPECT_EQ(rgbInts[2], 3);
}

TEST_F(DibTest, PublicAccessIsCheckedOutsideTheBitmap) {
    CDib dib(4, 3, 8);
    unsigned v = 42;
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 3}, {1 << 30, 1 << 30}}) {
        EXPECT_EQ(dib.GetPointer(x, y), nullptr);
        dib.SetPixel(x, y, v); // nothing happens
        unsigned out = 5;
        dib.GetPixel(x, y, out);
        EXPECT_EQ(out, 5u);
    }
    for (long i = 0; i < dib.GetTotalBytes(); ++i)
        EXPECT_EQ(dib.GetBits()[i], 0xFF);
    EXPECT_TRUE(dib.IsInside(3, 2));
    EXPECT_FALSE(dib.IsInside(4, 2));
    CDib empty;
    EXPECT_EQ(empty.GetPointer(0, 0), nullptr);
    EXPECT_EQ(empty.GetBitsPerPixel(), 0);
}

TEST_F(DibTest, CopyRectReadsEveryDepthAndClips) {
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        CDib src(5, 4, bits);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                unsigned v = bits == 24 ? Bgr(BYTE(x * 40), BYTE(y * 60), 7)
                                        : unsigned(x + y) % (bits == 1 ? 2u : 16u);
                src.SetPixel(x, y, v);
            }
        CDib dst(5, 4, 24);
        dst.CopyRect(src, 0, 0, 0, 0, 0, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                BYTE a[3], b[3];
                src.GetRGB(x, y, a);
                dst.GetRGB(x, y, b);
                EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << x << "," << y;
            }
    }
    // Partly outside destination and source: only the shared part changes.
    CDib src;
    Gradient(src, 4, 4);
    CDib dst(6, 5, 24);
    dst.Fill(9, 9, 9, 0, 0, 0, 0);
    dst.CopyRect(src, 4, 4, 4, 3, 1, -1); // dst x 4..7, y 3..6; src x 1..4, y -1..2
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            int rgb[3];
            dst.GetPixel(x, y, rgb);
            const int sx = x - 4 + 1, sy = y - 3 - 1;
            const bool copied = x >= 4 && y >= 3 && sx < 4 && sy >= 0 && sy < 4;
            if (copied)
                EXPECT_TRUE(rgb[0] == sx && rgb[1] == sy) << x << "," << y;
            else
                EXPECT_TRUE(rgb[0] == 9 && rgb[1] == 9 && rgb[2] == 9) << x << "," << y;
        }
    // A destination that is not 24-bit is left alone.
    CDib eight(4, 4, 8);
    eight.CopyRect(src, 0, 0, 0, 0, 0, 0);
    eight.Fill(0, 0, 0, 0, 0, 0, 0);
    for (long i = 0; i < eight.GetTotalBytes(); ++i)
        EXPECT_EQ(eight.GetBits()[i], 0xFF);
}

TEST_F(DibTest, FillAndIsFilledWithClipToTheBitmap) {
    CDib dib(5, 4, 24);
    dib.Fill(10, 20, 30, 0, 0, 0, 0);
    EXPECT_EQ(dib.IsFilledWith(10, 20, 30, 0, 0, 0, 0), 1);
    dib.Fill(1, 2, 3, 10, 10, 3, 2); // reaches far outside
    EXPECT_EQ(dib.IsFilledWith(1, 2, 3, 2, 2, 3, 2), 1);
    EXPECT_EQ(dib.IsFilledWith(1, 2, 3, 3, 2, 2, 2), 0);
    EXPECT_EQ(dib.IsFilledWith(10, 20, 30, 5, 2, 0, 0), 1);
    EXPECT_EQ(dib.IsFilledWith(10, 20, 30, 3, 4, 0, 0), 1);
    dib.Fill(7, 7, 7, 3, 3, -2, -2); // only (0..0, 0..0) inside
    int rgb[3];
    dib.GetPixel(0, 0, rgb);
    EXPECT_EQ(rgb[0], 7);
    dib.GetPixel(1, 0, rgb);
    EXPECT_EQ(rgb[0], 10);
    const BYTE* b = dib.GetPointer(0, 0);
    EXPECT_EQ(b[0], 7);

    CDib empty;
    EXPECT_EQ(empty.IsFilledWith(1, 1, 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(dib.IsFilledWith(1, 1, 1, 5, 5, 100, 100), 1); // nothing inside
}

TEST_F(DibTest, AlphaMergeAndMaskByteRules) {
    CDib src(3, 1, 24), mask(3, 1, 24), dst(3, 1, 24);
    src.Fill(255, 255, 255, 0, 0, 0, 0);
    dst.Fill(100, 100, 100, 0, 0, 0, 0);
    BYTE* m = mask.GetPointer(0, 0);
    const BYTE masks[3] = {0, 255, 128};
    for (int x = 0; x < 3; ++x)
        m[3 * x] = m[3 * x + 1] = m[3 * x + 2] = masks[x];
    dst.AlphaMerge(src, mask, 0, 0, 0, 0, 0, 0);
    const BYTE* d = dst.GetPointer(0, 0);
    EXPECT_EQ(d[0], 254);                                     // (255 * 255) >> 8
    EXPECT_EQ(d[3], 100);                                     // mask 255 keeps d
    EXPECT_EQ(d[6], ((127 * 255) >> 8) + ((128 * 100) >> 8)); // 126 + 50

    dst.Fill(100, 100, 100, 0, 0, 0, 0);
    src.Fill(30, 30, 30, 0, 0, 0, 0);
    dst.Mask(src, mask, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(d[0], 30);
    EXPECT_EQ(d[3], 255);
    EXPECT_EQ(d[6], 30);

    // Clipped to all three bitmaps: a rectangle hanging off every edge changes only what
    // lies inside all of them.
    CDib big(5, 5, 24), small(2, 2, 24), smallMask(2, 2, 24);
    big.Fill(1, 1, 1, 0, 0, 0, 0);
    small.Fill(200, 200, 200, 0, 0, 0, 0);
    smallMask.Fill(0, 0, 0, 0, 0, 0, 0);
    big.Mask(small, smallMask, 4, 4, 4, 4, 0, 0);
    EXPECT_EQ(big.IsFilledWith(200, 200, 200, 1, 1, 4, 4), 1);
    EXPECT_EQ(big.IsFilledWith(1, 1, 1, 4, 5, 0, 0), 1);
    EXPECT_EQ(big.IsFilledWith(1, 1, 1, 5, 4, 0, 0), 1);
    big.AlphaMerge(small, smallMask, 0, 0, -1, -1, 0, 0);
    EXPECT_EQ(big.IsFilledWith(199, 199, 199, 1, 1, 0, 0), 1);
    EXPECT_EQ(big.IsFilledWith(1, 1, 1, 3, 3, 1, 1), 1);
    // A mask of another depth: nothing.
    CDib eightMask(2, 2, 8);
    big.Mask(small, eightMask, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(big.IsFilledWith(199, 199, 199, 1, 1, 0, 0), 1);
}

TEST_F(DibTest, FlipReversesRows) {
    CDib dib;
    Gradient(dib, 3, 4);
    dib.Flip();
    int rgb[3];
    dib.GetPixel(2, 0, rgb);
    EXPECT_EQ(rgb[1], 3);
    dib.GetPixel(2, 3, rgb);
    EXPECT_EQ(rgb[1], 0);
}

TEST_F(DibTest, GrayScaleAndTransientPalette) {
    CDib dib(2, 1, 24);
    unsigned red = Bgr(255, 0, 0), mixed = Bgr(10, 200, 90);
    dib.SetPixel(0, 0, red);
    dib.SetPixel(1, 0, mixed);
    dib.GrayScale();
    ASSERT_EQ(dib.GetBitsPerPixel(), 8);
    EXPECT_TRUE(dib.IsGrayScale());
    unsigned v;
    dib.GetPixel(0, 0, v);
    EXPECT_EQ(v, 76u); // 30 * 255 / 100
    dib.GetPixel(1, 0, v);
    EXPECT_EQ(v, (30 * 10 + 59 * 200 + 11 * 90) / 100u);
    EXPECT_EQ(dib.GetColorTab()[200].rgbGreen, 200);
    dib.GrayScale(); // once only
    EXPECT_EQ(dib.GetBitsPerPixel(), 8);

    // From black to (255, 0, 100): steps of 1, 0 and 100 / 255.
    dib.SetTransientPalette(RGB(0, 0, 0), RGB(255, 0, 100));
    const RGBQUAD* t = dib.GetColorTab();
    EXPECT_EQ(t[0].rgbRed + t[0].rgbGreen + t[0].rgbBlue, 0);
    EXPECT_EQ(t[255].rgbRed, 255);
    EXPECT_EQ(t[255].rgbBlue, 100);
    EXPECT_EQ(t[128].rgbRed, 128);
    EXPECT_EQ(t[128].rgbBlue, 50); // 128 * 0.39216 = 50.2
    EXPECT_EQ(t[128].rgbGreen, 0);
}

TEST_F(DibTest, CopyIsDeepAndMovesTransfer) {
    const SIZE_T live = SdLiveGlobalCount();
    {
        CDib a;
        Gradient(a, 4, 3);
        CDib b(a.Copy());
        ASSERT_FALSE(b.IsEmpty());
        EXPECT_NE(b.GetBits(), a.GetBits());
        EXPECT_EQ(AllPixels(a), AllPixels(b));
        b.Fill(0, 0, 0, 0, 0, 0, 0);
        EXPECT_NE(AllPixels(a), AllPixels(b));

        CDib c(std::move(a));
        EXPECT_TRUE(a.IsEmpty());
        EXPECT_EQ(a.GetBits(), nullptr);
        EXPECT_EQ(c.GetWidth(), 4);
        b = std::move(c);
        EXPECT_TRUE(c.IsEmpty());
        EXPECT_EQ(b.GetWidth(), 4);
        int rgb[3];
        b.GetPixel(3, 2, rgb);
        EXPECT_EQ(rgb[2], 5);

        void* handle = b.ChangeToDIB();
        EXPECT_TRUE(b.IsEmpty());
        CDib d;
        ASSERT_TRUE(d.ChangeFromDIB(handle)); // canonical: taken over as it is
        EXPECT_EQ(d.ChangeToDIB(), handle);
        GlobalFree(handle);

        void* c24 = d.Copy24();
        EXPECT_EQ(c24, nullptr); // d is empty now
    }
    EXPECT_EQ(SdLiveGlobalCount(), live);
}

TEST_F(DibTest, CopyPaletteFromTakesOnlyTheEntriesBothHave) {
    CDib eight(2, 2, 8), one(2, 2, 1), four(2, 2, 4);
    one.GetColorTab()[1] = RGBQUAD{1, 2, 3, 0};
    eight.CopyPaletteFrom(one); // two entries, not 256 read past the 1-bit table
    EXPECT_EQ(eight.GetColorTab()[1].rgbRed, 3);
    EXPECT_EQ(eight.GetColorTab()[2].rgbGreen, 128); // its own entry 2 stays
    four.CopyPaletteFrom(eight);
    EXPECT_EQ(four.GetColorTab()[1].rgbBlue, 1);
    CDib wide(2, 2, 24);
    wide.CopyPaletteFrom(eight); // no table: nothing
    eight.CopyPaletteFrom(wide);
    EXPECT_EQ(eight.GetColorTab()[1].rgbRed, 3);
}

TEST_F(DibTest, Copy24OfEveryDepth) {
    CDib four(3, 2, 4);
    unsigned idx = 9;
    four.SetPixel(1, 1, idx);
    CDib wide(four.Copy24());
    ASSERT_EQ(wide.GetBitsPerPixel(), 24);
    BYTE a[3], b[3];
    four.GetRGB(1, 1, a);
    wide.GetRGB(1, 1, b);
    EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]);
}

TEST_F(DibTest, ChangeFromDibConvertsOtherFormsAndFreesWhatItRefuses) {
    const SIZE_T live = SdLiveGlobalCount();
    // A packed core-header bitmap: 12-byte header, 3-byte table entries, 2 x 1 at 8 bits.
    Bytes packed(12 + 256 * 3 + 4, 0);
    Put32(packed, 0, 12);
    Put16(packed, 4, 2);
    Put16(packed, 6, 1);
    Put16(packed, 8, 1);
    Put16(packed, 10, 8);
    packed[12 + 3 * 5 + 2] = 77; // entry 5: red 77
    packed[12 + 256 * 3 + 1] = 5;
    auto toHandle = [](const Bytes& b) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, b.size());
        std::memcpy(GlobalLock(h), b.data(), b.size());
        GlobalUnlock(h);
        return h;
    };
    {
        CDib dib;
        ASSERT_TRUE(dib.ChangeFromDIB(toHandle(packed)));
        EXPECT_EQ(dib.GetInfo()->bmiHeader.biSize, 40u);
        int rgb[3];
        dib.GetPixel(1, 0, rgb);
        EXPECT_EQ(rgb[0], 77);

        Put32(packed, 0, 99); // a header size not read
        EXPECT_FALSE(dib.ChangeFromDIB(toHandle(packed)));
        EXPECT_EQ(dib.GetLoadError(), CDib::HeaderSize);
        EXPECT_TRUE(dib.IsEmpty());
    }
    EXPECT_EQ(SdLiveGlobalCount(), live);
}

// OS/2 2.x headers: 16 bytes (the rest counts as 0) and 64 bytes, 4-byte table entries;
// their Huffman and 24-bit run codings (3 and 4) are refused.
TEST_F(DibTest, Os2VersionTwoHeaders) {
    for (unsigned size : {16u, 64u}) {
        SCOPED_TRACE(size);
        Bytes packed(size + 256 * 4 + 4, 0);
        Put32(packed, 0, size);
        Put32(packed, 4, 2);
        Put32(packed, 8, 1);
        Put16(packed, 12, 1);
        Put16(packed, 14, 8);
        packed[size + 4 * 5 + 2] = 77; // entry 5: red 77
        packed[size + 256 * 4 + 1] = 5;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, packed.size());
        std::memcpy(GlobalLock(h), packed.data(), packed.size());
        GlobalUnlock(h);
        CDib dib;
        ASSERT_TRUE(dib.ChangeFromDIB(h));
        int rgb[3];
        dib.GetPixel(1, 0, rgb);
        EXPECT_EQ(rgb[0], 77);
        if (size == 64) {
            Put32(packed, 16, 3);
            h = GlobalAlloc(GMEM_MOVEABLE, packed.size());
            std::memcpy(GlobalLock(h), packed.data(), packed.size());
            GlobalUnlock(h);
            EXPECT_FALSE(dib.ChangeFromDIB(h));
            EXPECT_EQ(dib.GetLoadError(), CDib::Compression);
        }
    }
}

TEST_F(DibTest, ClipboardCopyAndPasteKeepsThePictureUpright) {
    CDib dib;
    Gradient(dib, 5, 3);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(CF_DIB, dib.Copy()), nullptr);
    ASSERT_TRUE(CloseClipboard());

    CDib pasted;
    ASSERT_EQ(pasted.CreateFromClipboard(), 1);
    EXPECT_EQ(AllPixels(pasted), AllPixels(dib));
    int rgb[3];
    pasted.GetPixel(0, 2, rgb); // bottom-left: (0, 2, 2)
    EXPECT_EQ(rgb[1], 2);

    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(pasted.CreateFromClipboard(), 0);
    EXPECT_FALSE(pasted.IsEmpty()); // nothing there: the picture stays
}

TEST_F(DibTest, GreyOfEveryDepthWeighsEachPixelsColour) {
    // Odd widths end rows inside a byte and inside the row padding.
    std::uint32_t state = 77;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int bits : {1, 4, 8, 24}) {
        const int w = 37, h = 5;
        CDib dib(w, h, bits);
        if (bits <= 8) {
            RGBQUAD* table = dib.GetColorTab();
            for (int i = 0; i < (1 << bits); ++i)
                table[i] = RGBQUAD{BYTE(next()), BYTE(next()), BYTE(next()), 0};
        }
        std::vector<int> expected;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned v = bits == 24 ? next() & 0xFFFFFF : next() % (1u << bits);
                dib.SetPixel(x, y, v);
                int rgb[3];
                dib.GetPixel(x, y, rgb);
                expected.push_back((30 * rgb[0] + 59 * rgb[1] + 11 * rgb[2]) / 100);
            }
        dib.GrayScale();
        ASSERT_EQ(dib.GetBitsPerPixel(), 8);
        std::vector<unsigned> grey = AllPixels(dib);
        for (std::size_t i = 0; i < grey.size(); ++i)
            ASSERT_EQ(int(grey[i]), expected[i]) << bits << " bits, pixel " << i;
    }
}
