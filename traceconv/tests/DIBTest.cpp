// The bitmap handle and its helpers.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <traceconv/DIB.h>
#include <win32/kernel.h>

namespace {

// A packed bitmap block: header of the given size, colour table, zeroed bits.
HDIB Block(DWORD headerSize, int bits, int w, int h, DWORD clrUsed = 0, int tableEntries = -1) {
    int entries = tableEntries >= 0 ? tableEntries : (clrUsed ? int(clrUsed) : (bits <= 8 ? 1 << bits : 0));
    int entry = headerSize == 12 ? 3 : 4;
    std::size_t stride = std::size_t((bits * w + 31) / 32) * 4;
    std::size_t size = headerSize + std::size_t(entries) * entry + stride * h;
    HDIB handle = GlobalAlloc(GHND, size);
    auto* p = static_cast<char*>(GlobalLock(handle));
    if (headerSize == 12) {
        BITMAPCOREHEADER c{12, WORD(w), WORD(h), 1, WORD(bits)};
        std::memcpy(p, &c, sizeof c);
    } else {
        BITMAPINFOHEADER bi{};
        bi.biSize = headerSize;
        bi.biWidth = w;
        bi.biHeight = h;
        bi.biPlanes = 1;
        bi.biBitCount = WORD(bits);
        bi.biClrUsed = clrUsed;
        std::memcpy(p, &bi, sizeof bi);
    }
    GlobalUnlock(handle);
    return handle;
}

UINT Locks(HDIB h) {
    return GlobalFlags(h) & GMEM_LOCKCOUNT;
}

TEST(DIBTest, LockCountsAndDestroyUnlocksAndFrees) {
    DIB dib;
    EXPECT_FALSE(dib.IsLoaded());
    EXPECT_EQ(dib.BmpInfo(), nullptr);
    HDIB h = Block(40, 8, 4, 4);
    dib.SetData(h);
    EXPECT_TRUE(dib.IsLoaded());
    EXPECT_EQ(dib.GetData(), h);
    dib.Lock();
    dib.Lock();
    dib.UnLock();
    EXPECT_NE(dib.BmpInfo(), nullptr);
    EXPECT_EQ(Locks(h), 1u);
    dib.Destroy();
    EXPECT_EQ(GlobalFlags(h), GMEM_INVALID_HANDLE); // freed
    EXPECT_FALSE(dib.IsLoaded());
    EXPECT_EQ(dib.BmpInfo(), nullptr);
}

TEST(DIBTest, EmptyForgetsTheBlockAndGivesBackItsLock) {
    HDIB h = Block(40, 1, 8, 2);
    {
        DIB dib;
        dib.SetData(h);
        dib.Lock();
        dib.Empty();
        EXPECT_FALSE(dib.IsLoaded());
    } // the destructor frees nothing now
    EXPECT_EQ(Locks(h), 0u);
    EXPECT_NE(GlobalFlags(h), GMEM_INVALID_HANDLE);
    GlobalFree(h);
}

TEST(DIBTest, HeaderFieldsAndGeometryOfBothHeaderForms) {
    struct Case {
        DWORD header;
        int bits, w, h;
        int stride, entries;
        long bitsOffset;
    };
    const Case cases[] = {
        {40, 1, 17, 3, 4, 2, 48},       {40, 4, 9, 2, 8, 16, 104},
        {40, 8, 5, 2, 8, 256, 1064},    {40, 24, 3, 2, 12, 0, 40},
        {12, 8, 5, 2, 8, 256, 12 + 768}, {124, 4, 8, 1, 4, 16, 124 + 64},
        {108, 1, 33, 1, 8, 2, 108 + 8},
    };
    for (const Case& c : cases) {
        DIB dib;
        dib.SetData(Block(c.header, c.bits, c.w, c.h));
        dib.Lock();
        EXPECT_EQ(dib.BitsPerPixel(), c.bits) << c.header << "/" << c.bits;
        EXPECT_EQ(dib.Width(), c.w);
        EXPECT_EQ(dib.Height(), c.h);
        EXPECT_EQ(dib.StorageWidth(), c.stride);
        EXPECT_EQ(dib.NumColorEntries(), c.entries);
        EXPECT_EQ(static_cast<char*>(dib.GetBits()) - reinterpret_cast<char*>(dib.BmpInfo()),
                  c.bitsOffset);
        EXPECT_EQ(reinterpret_cast<char*>(dib.ColorTab()) - reinterpret_cast<char*>(dib.BmpInfo()),
                  long(c.header));
        EXPECT_TRUE(dib.IsTraceable());
        dib.UnLock();
    }
}

TEST(DIBTest, ColoursUsedFollowTheTwoRules) {
    // Colours used 300 on 8 bits: the table holds 300 entries (the bits follow them), but
    // only 256 are colours.
    DIB dib;
    dib.SetData(Block(40, 8, 4, 1, 300));
    dib.Lock();
    char* header = reinterpret_cast<char*>(dib.BmpInfo());
    EXPECT_EQ(dib.NumColorEntries(), 256);
    EXPECT_EQ(DIBNumColors(header), 300);
    EXPECT_EQ(PaletteSize(header), 1200);
    dib.UnLock();
    // Fewer in use than the depth allows: both say so; a 108-byte header is an info header.
    DIB few;
    few.SetData(Block(108, 8, 4, 1, 7));
    few.Lock();
    header = reinterpret_cast<char*>(few.BmpInfo());
    EXPECT_EQ(few.NumColorEntries(), 7);
    EXPECT_EQ(DIBNumColors(header), 7);
    EXPECT_EQ(PaletteSize(header), 28);
    few.UnLock();
    // A core header: three bytes an entry.
    BITMAPCOREHEADER core{12, 4, 4, 1, 4};
    EXPECT_EQ(DIBNumColors(reinterpret_cast<char*>(&core)), 16);
    EXPECT_EQ(PaletteSize(reinterpret_cast<char*>(&core)), 48);
    // 24 bits: no table unless colours are named.
    BITMAPINFOHEADER deep{};
    deep.biSize = 40;
    deep.biBitCount = 24;
    EXPECT_EQ(DIBNumColors(reinterpret_cast<char*>(&deep)), 0);
    deep.biClrUsed = 5;
    EXPECT_EQ(PaletteSize(reinterpret_cast<char*>(&deep)), 20);
}

TEST(DIBTest, PixelsOfEveryDepthAndNothingOutside) {
    for (int bits : {1, 4, 8, 24}) {
        DIB dib;
        dib.SetData(Block(40, bits, 11, 3));
        dib.Lock();
        const long value = bits == 1 ? 1 : bits == 4 ? 0xA : bits == 8 ? 0xC3 : 0x123456;
        dib.SetPixel(9, 2, value);
        dib.SetPixel(10, 2, bits == 24 ? 0x0F0E0D : 0);
        EXPECT_EQ(dib.GetPixel(9, 2), value) << bits;
        EXPECT_EQ(dib.GetPixel(8, 2), 0) << bits;
        EXPECT_EQ(dib.GetPixel(9, 1), 0) << bits;
        // Outside the bitmap nothing is read or written.
        std::vector<char> before(GlobalSize(dib.GetData()));
        std::memcpy(before.data(), dib.BmpInfo(), before.size());
        for (auto [x, y] : {std::pair{-1, 0}, {11, 0}, {0, -1}, {0, 3}, {1 << 30, 1 << 30}}) {
            dib.SetPixel(x, y, 0xFFFFFF);
            EXPECT_EQ(dib.GetPixel(x, y), 0);
            EXPECT_EQ(dib.GetPixelAddress(x, y), nullptr);
        }
        EXPECT_EQ(std::memcmp(before.data(), dib.BmpInfo(), before.size()), 0) << bits;
        dib.UnLock();
    }
    // The byte address of each depth, and none for 32 bits.
    DIB deep;
    deep.SetData(Block(40, 32, 4, 1));
    deep.Lock();
    EXPECT_EQ(deep.GetPixelAddress(1, 0), nullptr);
    deep.UnLock();
    DIB four;
    four.SetData(Block(40, 4, 8, 2));
    four.Lock();
    char* bitsStart = static_cast<char*>(four.GetBits());
    EXPECT_EQ(static_cast<char*>(four.GetPixelAddress(5, 1)), bitsStart + 4 + 2);
    four.SetPixel(4, 0, 0x7);
    four.SetPixel(5, 0, 0x9);
    EXPECT_EQ(static_cast<unsigned char>(bitsStart[2]), 0x79);
    four.UnLock();
}

TEST(DIBTest, PixelsBeyondAShortBlockAreNotReached) {
    // The header promises three rows; the block holds one and a half.
    HDIB h = Block(40, 8, 8, 3);
    h = GlobalReAlloc(h, 40 + 1024 + 12, GMEM_MOVEABLE);
    ASSERT_NE(h, nullptr);
    DIB dib;
    dib.SetData(h);
    dib.Lock();
    EXPECT_FALSE(dib.IsTraceable());
    EXPECT_NE(dib.GetPixelAddress(7, 0), nullptr);
    EXPECT_NE(dib.GetPixelAddress(3, 1), nullptr);
    EXPECT_EQ(dib.GetPixelAddress(4, 1), nullptr);
    EXPECT_EQ(dib.GetPixel(0, 2), 0);
    dib.UnLock();
}

} // namespace
