// PNG encoding and decoding of packed bitmaps.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include "imaging/ImagingToolkit.h"
#include "win32/wingdi.h"

namespace {

// A canonical packed bitmap whose table entry i is (i, 255 - i, 7) and whose pixel (x, y)
// holds value (3x + 5y) modulo the table size, or that as grey in 24 bits.
std::vector<BYTE> Packed(int w, int h, int bits) {
    const int entries = bits <= 8 ? 1 << bits : 0;
    const int row = ((w * bits + 31) / 32) * 4;
    std::vector<BYTE> b(sizeof(BITMAPINFOHEADER) + entries * 4 + row * h);
    BITMAPINFOHEADER hd{};
    hd.biSize = sizeof hd;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = WORD(bits);
    hd.biSizeImage = DWORD(row * h);
    std::memcpy(b.data(), &hd, sizeof hd);
    BYTE* t = b.data() + sizeof hd;
    for (int i = 0; i < entries; ++i) {
        t[4 * i] = 7;
        t[4 * i + 1] = BYTE(255 - i);
        t[4 * i + 2] = BYTE(i);
    }
    BYTE* px = t + entries * 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* r = px + row * y;
            const int v = (3 * x + 5 * y) % (entries ? entries : 256);
            switch (bits) {
            case 1:
                r[x / 8] |= BYTE(v << (7 - x % 8));
                break;
            case 4:
                r[x / 2] |= BYTE(v << (x % 2 ? 0 : 4));
                break;
            case 8:
                r[x] = BYTE(v);
                break;
            default:
                r[3 * x] = BYTE(v), r[3 * x + 1] = BYTE(v / 2), r[3 * x + 2] = BYTE(255 - v);
            }
        }
    return b;
}

std::vector<BYTE> Bytes(HGLOBAL block) {
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(block));
    std::vector<BYTE> out(p, p + GlobalSize(block));
    GlobalUnlock(block);
    return out;
}

} // namespace

TEST(ImagingToolkitTest, RoundTripKeepsPictureAndDepth) {
    for (int bits : {1, 4, 8, 24}) {
        const std::vector<BYTE> packed = Packed(13, 7, bits);
        HGLOBAL encoded = nullptr;
        DWORD size = 0;
        ASSERT_EQ(ImgEncode(packed.data(), packed.size(), IMG_FORMAT_PNG, &encoded, &size), 0)
            << bits;
        const std::vector<BYTE> png = Bytes(encoded);
        ASSERT_GE(png.size(), size_t(size));
        EXPECT_TRUE(ImgIsPNG(png.data(), size));
        HGLOBAL decoded = ImgDecode(png.data(), size);
        ASSERT_NE(decoded, nullptr) << bits;
        std::vector<BYTE> back = Bytes(decoded);
        back.resize(packed.size());
        EXPECT_EQ(back, packed) << bits;
        GlobalFree(decoded);
        GlobalFree(encoded);
    }
}

TEST(ImagingToolkitTest, RefusesWhatItCannotTake) {
    std::vector<BYTE> packed = Packed(4, 4, 8);
    HGLOBAL out = nullptr;
    DWORD size = 0;
    EXPECT_EQ(ImgEncode(packed.data(), packed.size(), 6, &out, &size), -1);      // format
    EXPECT_EQ(ImgEncode(packed.data(), packed.size() - 1, 75, &out, &size), -1); // short
    packed[14] = 16;                                                             // depth
    EXPECT_EQ(ImgEncode(packed.data(), packed.size(), 75, &out, &size), -1);

    // Damaged PNG data: a truncated stream, a flipped byte, garbage.
    std::vector<BYTE> good = Packed(9, 9, 24);
    ASSERT_EQ(ImgEncode(good.data(), good.size(), 75, &out, &size), 0);
    std::vector<BYTE> png = Bytes(out);
    png.resize(size);
    GlobalFree(out);
    // Cut in the signature, the header and the image data.
    for (size_t cut : {size_t(8), size_t(30), png.size() / 2 + 10}) {
        HGLOBAL cutShort = ImgDecode(png.data(), cut);
        EXPECT_EQ(cutShort, nullptr) << cut;
        if (cutShort) GlobalFree(cutShort);
    }
    std::vector<BYTE> flipped = png;
    // A damaged checksum may be passed over by the codec; then the picture keeps its size.
    for (size_t at : {size_t(40), flipped.size() - 20}) {
        flipped[at] ^= 0xFF;
        if (HGLOBAL damaged = ImgDecode(flipped.data(), flipped.size())) {
            EXPECT_EQ(Bytes(damaged).size(), good.size());
            GlobalFree(damaged);
        }
    }
    const BYTE junk[] = "not a picture at all";
    EXPECT_EQ(ImgDecode(junk, sizeof junk), nullptr);
    EXPECT_EQ(ImgLoadFile("/nonexistent/file.png"), nullptr);
}

namespace {

// The colour of pixel (x, y), counted from the top, of a canonical packed bitmap.
COLORREF PixelAt(const std::vector<BYTE>& packed, int x, int y) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, packed.data(), sizeof h);
    const int bits = h.biBitCount, entries = bits <= 8 ? 1 << bits : 0;
    const int row = ((h.biWidth * bits + 31) / 32) * 4;
    const BYTE* table = packed.data() + sizeof h;
    const BYTE* r = table + entries * 4 + row * (h.biHeight - 1 - y);
    if (bits == 24) return RGB(r[3 * x + 2], r[3 * x + 1], r[3 * x]);
    int i = bits == 8   ? r[x]
            : bits == 4 ? (r[x / 2] >> (x % 2 ? 0 : 4)) & 15
                        : (r[x / 8] >> (7 - x % 8)) & 1;
    return RGB(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
}

} // namespace

TEST(ImagingToolkitTest, OtherPngKinds) {
    struct Case {
        const char* file;
        int bits, width;
        std::vector<COLORREF> topRow;
    } cases[] = {
        {"grey8.png", 8, 2, {RGB(0, 0, 0), RGB(85, 85, 85)}},
        {"rgba-clear.png", 24, 1, {RGB(255, 255, 255)}}, // transparent over white
        {"rgb16.png", 24, 1, {RGB(255, 0, 0)}},
        {"pal2.png", 4, 4, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)}},
        {"interlaced.png", 24, 3, {RGB(10, 20, 30), RGB(10, 20, 30), RGB(10, 20, 30)}},
        // Stored at 1 bit, interlaced: read into the packed rows (every pixel: below).
        {"pal1-interlaced.png",
         1,
         11,
         {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 255),
          RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255), RGB(255, 0, 0),
          RGB(0, 0, 255)}},
        // A transparent entry: composed over white, so not read as stored.
        {"pal4-clear.png",
         4,
         5,
         {RGB(255, 0, 0), RGB(255, 255, 255), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)}},
    };
    for (const Case& c : cases) {
        const std::string path = std::string(SD_TEST_DATA_DIR "/png/") + c.file;
        HGLOBAL block = ImgLoadFile(path.c_str());
        ASSERT_NE(block, nullptr) << c.file;
        const std::vector<BYTE> packed = Bytes(block);
        GlobalFree(block);
        BITMAPINFOHEADER h;
        std::memcpy(&h, packed.data(), sizeof h);
        EXPECT_EQ(h.biBitCount, c.bits) << c.file;
        EXPECT_EQ(h.biWidth, c.width) << c.file;
        for (int x = 0; x < c.width; ++x)
            EXPECT_EQ(PixelAt(packed, x, 0), c.topRow[size_t(x)]) << c.file << " " << x;
    }
}

TEST(ImagingToolkitTest, InterlacedOneBitPaletteEveryPixelAndTruncations) {
    const std::string path = SD_TEST_DATA_DIR "/png/pal1-interlaced.png";
    HGLOBAL block = ImgLoadFile(path.c_str());
    ASSERT_NE(block, nullptr);
    const std::vector<BYTE> packed = Bytes(block);
    GlobalFree(block);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(PixelAt(packed, x, y), (x + 2 * y) % 3 ? RGB(0, 0, 255) : RGB(255, 0, 0))
                << x << ", " << y;
    // Cut inside the image data, or with a byte of it changed: refused, nothing kept.
    std::ifstream in(path, std::ios::binary);
    const std::vector<BYTE> file((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 90u);
    for (SIZE_T cut : {SIZE_T(70), SIZE_T(85), file.size() - 13}) {
        HGLOBAL damaged = ImgDecode(file.data(), cut);
        EXPECT_EQ(damaged, nullptr) << cut;
        if (damaged) GlobalFree(damaged);
    }
    // A changed byte of the image data, with its chunk's checksum wrong, then made right.
    std::vector<BYTE> changed = file;
    changed[80] ^= 0x55;
    HGLOBAL damaged = ImgDecode(changed.data(), changed.size());
    EXPECT_EQ(damaged, nullptr);
    if (damaged) GlobalFree(damaged);
    const uLong crc = crc32(crc32(0, nullptr, 0), changed.data() + 55, 4 + 41);
    for (int i = 0; i < 4; ++i)
        changed[100 + i] = BYTE(crc >> (24 - 8 * i));
    damaged = ImgDecode(changed.data(), changed.size());
    EXPECT_EQ(damaged, nullptr);
    if (damaged) GlobalFree(damaged);
}

// A resolution past what the format allows (2^31 - 1 pixels a metre) or on one axis only
// stays unknown, so that the picture saves and reads back the same (fuzz findings: the first
// wrapped to a negative value, the second was not written again).
TEST(ImagingToolkitTest, ResolutionPastTheFormatsRangeIsUnknown) {
    for (const char* name : {"phys-huge.png", "phys-one-axis.png"}) {
        SCOPED_TRACE(name);
        HGLOBAL block = ImgLoadFile((std::string(SD_TEST_DATA_DIR "/png/") + name).c_str());
        ASSERT_NE(block, nullptr);
        const std::vector<BYTE> first = Bytes(block);
        GlobalFree(block);
        BITMAPINFOHEADER h;
        std::memcpy(&h, first.data(), sizeof h);
        EXPECT_EQ(h.biXPelsPerMeter, 0);
        EXPECT_EQ(h.biYPelsPerMeter, 0);
        HGLOBAL encoded = nullptr;
        DWORD size = 0;
        ASSERT_EQ(ImgEncode(first.data(), first.size(), IMG_FORMAT_PNG, &encoded, &size), 0);
        const std::vector<BYTE> png = Bytes(encoded);
        GlobalFree(encoded);
        HGLOBAL again = ImgDecode(png.data(), size);
        ASSERT_NE(again, nullptr);
        std::vector<BYTE> second = Bytes(again);
        GlobalFree(again);
        second.resize(first.size());
        EXPECT_EQ(second, first);
    }
}

// Inputs the fuzz target reported: each is refused.
TEST(ImagingToolkitTest, FuzzFindingsAreRefused) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SD_TEST_DATA_DIR "/png-bad")) {
        ++files;
        HGLOBAL block = ImgLoadFile(entry.path().string().c_str());
        EXPECT_EQ(block, nullptr) << entry.path();
        if (block) GlobalFree(block);
    }
    EXPECT_GE(files, 1);
}
