// Toolkit bitmaps: handing packed bitmaps over without copies, mirrors, cuts, copies, and the
// size limits every reader applies before it allocates.
#include <gtest/gtest.h>

#include <chrono>
#include <zlib.h>

#include <win32/KernelTesting.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

std::vector<BYTE> Bytes(HGLOBAL block, SIZE_T size) {
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    std::vector<BYTE> out(p, p + size);
    GlobalUnlock(block);
    return out;
}

HGLOBAL Block(const std::vector<BYTE>& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

std::vector<BYTE> Encoded(int format, int w, int h, int bits) {
    HGLOBAL dib = MakePicture(w, h, bits);
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    EXPECT_EQ(KovaBitmapFromDib(&b, dib), IMG_SUCCESS);
    HGLOBAL out = nullptr;
    DWORD size = 0;
    EXPECT_EQ(KovaSaveMemory(&out, &b, format, bits, 2, &size), IMG_SUCCESS);
    std::vector<BYTE> bytes = Bytes(out, size);
    GlobalFree(out);
    KovaFreeBitmap(&b);
    return bytes;
}

void PutBe32(std::vector<BYTE>& v, size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + size_t(i)] = BYTE(x >> (24 - 8 * i));
}

// A PNG of the given header whose image data are `data`, every checksum right.
std::vector<BYTE> Png(std::uint32_t w, std::uint32_t h, int colourType,
                      const std::vector<BYTE>& data) {
    std::vector<BYTE> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, const std::vector<BYTE>& body) {
        const size_t at = png.size();
        png.resize(at + 12 + body.size());
        PutBe32(png, at, std::uint32_t(body.size()));
        std::memcpy(png.data() + at + 4, type, 4);
        if (!body.empty()) std::memcpy(png.data() + at + 8, body.data(), body.size());
        PutBe32(png, at + 8 + body.size(),
                std::uint32_t(crc32(0, png.data() + at + 4, uInt(body.size() + 4))));
    };
    std::vector<BYTE> ihdr(13, 0);
    PutBe32(ihdr, 0, w);
    PutBe32(ihdr, 4, h);
    ihdr[8] = 8;
    ihdr[9] = BYTE(colourType);
    chunk("IHDR", ihdr);
    chunk("IDAT", data);
    chunk("IEND", {});
    return png;
}

} // namespace

TEST(KernelTest, PackedBitmapsPassWithoutCopies) {
    const SIZE_T live = SdLiveGlobalCount();
    HGLOBAL dib = MakePicture(5, 3, 8);
    const std::vector<BYTE> before = Bytes(dib, GlobalSize(dib));
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);

    // A failed take leaves the block with the caller, unchanged.
    KovaTestingFailCalls(KOVA_FAIL_FROM_DIB, 1);
    EXPECT_EQ(KovaBitmapFromDib(&b, dib), IMG_ERR_MEMORY);
    EXPECT_FALSE(b.allocated);
    EXPECT_EQ(Bytes(dib, GlobalSize(dib)), before);

    ASSERT_EQ(KovaBitmapFromDib(&b, dib), IMG_SUCCESS);
    EXPECT_EQ(b.dib, dib);
    EXPECT_EQ(b.width, 5);
    EXPECT_EQ(b.height, 3);
    EXPECT_EQ(b.bitsPerPixel, 8);
    KovaTestingFailCalls(KOVA_FAIL_TO_DIB, 1);
    EXPECT_EQ(KovaDibFromBitmap(&b), nullptr);
    EXPECT_TRUE(b.allocated);
    HGLOBAL back = KovaDibFromBitmap(&b);
    EXPECT_EQ(back, dib);
    EXPECT_FALSE(b.allocated);
    EXPECT_EQ(KovaFreeBitmap(&b), IMG_SUCCESS); // nothing left to free
    GlobalFree(back);

    // Something that is not a packed bitmap stays with the caller.
    HGLOBAL junk = Block({1, 2, 3});
    EXPECT_EQ(KovaBitmapFromDib(&b, junk), IMG_ERR_FORMAT);
    GlobalFree(junk);
    EXPECT_EQ(SdLiveGlobalCount(), live);
}

TEST(KernelTest, MirrorsCutsAndCopiesByPixels) {
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        HGLOBAL dib = MakePicture(11, 4, bits);
        const Rgb original = PixelsOf(dib);
        KOVABITMAP b, copy;
        KovaInitBitmap(&b, 1, 1, 1);
        KovaInitBitmap(&copy, 1, 1, 1);
        ASSERT_EQ(KovaBitmapFromDib(&b, dib), IMG_SUCCESS);
        ASSERT_EQ(KovaCopyBitmap(&copy, &b), IMG_SUCCESS);
        EXPECT_NE(copy.dib, b.dib);

        ASSERT_EQ(KovaFlipBitmap(&b), IMG_SUCCESS);
        ASSERT_EQ(KovaReverseBitmap(&b), IMG_SUCCESS);
        const Rgb turned = PixelsOf(b.dib);
        for (long y = 0; y < 4; ++y)
            for (long x = 0; x < 11; ++x)
                for (int k = 0; k < 3; ++k)
                    ASSERT_EQ(turned.px[size_t((y * 11 + x) * 3 + k)],
                              original.px[size_t(((3 - y) * 11 + (10 - x)) * 3 + k)]);

        ASSERT_EQ(KovaTrimBitmap(&copy, 9, 1, 5, 2), IMG_SUCCESS); // clipped to 2 x 2
        EXPECT_EQ(copy.width, 2);
        EXPECT_EQ(copy.height, 2);
        EXPECT_EQ(copy.bitsPerPixel, bits);
        const Rgb cut = PixelsOf(copy.dib);
        for (long y = 0; y < 2; ++y)
            for (long x = 0; x < 2; ++x)
                for (int k = 0; k < 3; ++k)
                    EXPECT_EQ(cut.px[size_t((y * 2 + x) * 3 + k)],
                              original.px[size_t(((y + 1) * 11 + x + 9) * 3 + k)]);
        EXPECT_EQ(KovaTrimBitmap(&copy, 5, 5, 1, 1), IMG_ERR_PARAM);
        KovaFreeBitmap(&b);
        KovaFreeBitmap(&copy);
    }
}

// Sizes the data cannot fill are refused from the header, before any global memory is asked.
TEST(KernelTest, OversizedPicturesRefusedBeforeAllocating) {
    std::vector<BYTE> jpeg = Encoded(IMG_JPEG_444, 16, 16, 24);
    // The frame header's height and width follow its marker, length and precision.
    size_t sof = 2;
    while (!(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0))
        ++sof;
    auto setSize = [&](std::vector<BYTE>& j, unsigned w, unsigned h) {
        j[sof + 5] = BYTE(h >> 8), j[sof + 6] = BYTE(h), j[sof + 7] = BYTE(w >> 8),
                j[sof + 8] = BYTE(w);
    };
    std::vector<BYTE> huge = jpeg, large = jpeg;
    setSize(huge, 20000, 20000);
    setSize(large, 16000, 16000);
    large.resize(1024);

    const std::vector<BYTE> bomb = [] {
        // 16 KB of deflated zeros for a picture of 60000 x 4000 RGB pixels.
        std::vector<BYTE> zeros(16u << 20, 0), packed(compressBound(uLong(zeros.size())));
        uLongf n = uLongf(packed.size());
        compress2(packed.data(), &n, zeros.data(), uLong(zeros.size()), 9);
        packed.resize(n);
        return Png(60000, 4000, 2, packed);
    }();
    std::vector<BYTE> largePng = Png(16000, 16000, 0, std::vector<BYTE>(1024, 0));
    struct Case {
        const char* name;
        const std::vector<BYTE>* bytes;
        int result;
    } cases[] = {
        {"20000 x 20000 JPEG", &huge, IMG_ERR_TOO_LARGE},
        {"16000 x 16000 JPEG in 1 KB", &large, IMG_ERR_DAMAGED},
        {"16000 x 16000 PNG in 1 KB", &largePng, IMG_ERR_DAMAGED},
        {"deflate bomb", &bomb, IMG_ERR_DAMAGED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HGLOBAL block = Block(*c.bytes);
        KOVAFILEINFO info;
        KOVABITMAP b;
        KovaInitBitmap(&b, 1, 1, 1);
        SdResetMemoryTesting();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(KovaMemoryInfo(block, &info, DWORD(c.bytes->size())), c.result);
        EXPECT_EQ(KovaLoadMemory(block, &b, 0, 1, 0, nullptr, nullptr, DWORD(c.bytes->size())),
                  c.result);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(SdGlobalRequestCount(), 0);
        EXPECT_LT(took, std::chrono::milliseconds(10));
        EXPECT_FALSE(b.allocated);
        GlobalFree(block);
    }
}

namespace {

COLORREF At(const Rgb& p, long x, long y) {
    const BYTE* c = p.px.data() + (y * p.width + x) * 3;
    return RGB(c[0], c[1], c[2]);
}

KOVABITMAP Bitmap(HGLOBAL dib) {
    KOVABITMAP b;
    KovaInitBitmap(&b, 1, 1, 1);
    EXPECT_EQ(KovaBitmapFromDib(&b, dib), IMG_SUCCESS);
    return b;
}

} // namespace

TEST(KernelTest, QuarterTurnsMovePixelsExactly) {
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        HGLOBAL dib = MakePicture(9, 5, bits);
        const Rgb original = PixelsOf(dib);
        KOVABITMAP b = Bitmap(dib);
        ASSERT_EQ(KovaRotateBitmap(&b, 90, 1), IMG_SUCCESS);
        const Rgb quarter = PixelsOf(b.dib);
        ASSERT_EQ(quarter.width, 5);
        ASSERT_EQ(quarter.height, 9);
        // Clockwise as seen: the top-left pixel goes to the top right, the bottom left to the
        // top left.
        EXPECT_EQ(At(quarter, 4, 0), At(original, 0, 0));
        EXPECT_EQ(At(quarter, 0, 0), At(original, 0, 4));
        EXPECT_EQ(At(quarter, 0, 8), At(original, 8, 4));
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(KovaRotateBitmapFine(&b, 9000, 1, 0), IMG_SUCCESS);
        EXPECT_EQ(PixelsOf(b.dib), original);
        // A half turn is both mirrors.
        ASSERT_EQ(KovaRotateBitmap(&b, -180, 1), IMG_SUCCESS);
        ASSERT_EQ(KovaFlipBitmap(&b), IMG_SUCCESS);
        ASSERT_EQ(KovaReverseBitmap(&b), IMG_SUCCESS);
        EXPECT_EQ(PixelsOf(b.dib), original);
        KovaFreeBitmap(&b);
    }
}

TEST(KernelTest, TurnsAndShearsByPixels) {
    // A white picture with a black pixel right of the centre.
    HGLOBAL dib = MakePicture(41, 21, 24);
    {
        BYTE* p = static_cast<BYTE*>(GlobalLock(dib)) + 40;
        std::memset(p, 255, GlobalSize(dib) - 40);
        const SIZE_T row = (41 * 3 + 3) / 4 * 4;
        BYTE* px = p + row * 10 + 3 * 30; // row 10 from the bottom is the middle one
        px[0] = px[1] = px[2] = 0;
        GlobalUnlock(dib);
    }
    KOVABITMAP b = Bitmap(dib);
    KOVABITMAP turned;
    KovaInitBitmap(&turned, 1, 1, 1);
    ASSERT_EQ(KovaCopyBitmap(&turned, &b), IMG_SUCCESS);
    // 30 degrees clockwise: a picture of 41 cos + 21 sin by 41 sin + 21 cos, filled with red;
    // the black pixel 10 right of the centre now lies at (10 cos, 10 sin) from it.
    ASSERT_EQ(KovaRotateBitmapFine(&turned, 3000, 1, RGB(255, 0, 0)), IMG_SUCCESS);
    const Rgb r = PixelsOf(turned.dib);
    EXPECT_EQ(r.width, 46);  // 35.5 + 10.5
    EXPECT_EQ(r.height, 39); // 20.5 + 18.2
    EXPECT_EQ(At(r, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(At(r, 23, 19), RGB(255, 255, 255));
    EXPECT_EQ(At(r, 23 + 8, 19 + 5), RGB(0, 0, 0)); // (8.66, 5) from the centre
    KovaFreeBitmap(&turned);

    // Shear by 20 degrees: rows move right by up to 21 tan 20 = 7.6 pixels.
    ASSERT_EQ(KovaShearBitmap(&b, 2000, 1, RGB(0, 0, 255)), IMG_SUCCESS);
    const Rgb s = PixelsOf(b.dib);
    EXPECT_EQ(s.width, 49);
    EXPECT_EQ(s.height, 21);
    EXPECT_EQ(At(s, 0, 0), RGB(0, 0, 255));     // the top row moved right
    EXPECT_EQ(At(s, 48, 20), RGB(0, 0, 255));   // the bottom row did not
    EXPECT_EQ(At(s, 30 + 4, 10), RGB(0, 0, 0)); // the middle row by 10.5 tan 20 = 3.8
    EXPECT_EQ(KovaShearBitmap(&b, 4600, 1, 0), IMG_ERR_PARAM);
    KovaFreeBitmap(&b);
}
