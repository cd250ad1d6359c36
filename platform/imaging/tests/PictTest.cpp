// Macintosh pictures: ours read by ImageMagick, theirs (ImageMagick, ppmtopict) read by us,
// hand-built images of the other kinds, and pictures that are not pixels or lie.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>

#include <testing/PlatformTest.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

class PictTest : public PlatformTest {
protected:
    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }
    Rgb LoadBytes(const std::vector<BYTE>& bytes, int* result, KOVAFILEINFO* info = nullptr) {
        const std::string path = Path("in.pct");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        KOVAFILEINFO own;
        KOVAFILEINFO* i = info != nullptr ? info : &own;
        KovaInitFileInfo(i);
        const int described = KovaFileInfo(path.c_str(), i);
        HGLOBAL dib = Load(path, result);
        EXPECT_EQ(described, *result);
        if (dib == nullptr) return {};
        Rgb rgb = PixelsOf(dib);
        GlobalFree(dib);
        return rgb;
    }
};

void Be16(std::vector<BYTE>& v, unsigned x) {
    v.push_back(BYTE(x >> 8));
    v.push_back(BYTE(x));
}
void Be32(std::vector<BYTE>& v, std::uint32_t x) {
    Be16(v, x >> 16);
    Be16(v, x & 0xFFFF);
}
void Rect(std::vector<BYTE>& v, int top, int left, int bottom, int right) {
    Be16(v, unsigned(top));
    Be16(v, unsigned(left));
    Be16(v, unsigned(bottom));
    Be16(v, unsigned(right));
}

// A version 2 picture of the frame with the opcodes given, ended by 00FF.
std::vector<BYTE> Picture2(int h, int w, const std::vector<BYTE>& ops) {
    std::vector<BYTE> v(512, 0);
    Be16(v, 0);
    Rect(v, 0, 0, h, w);
    v.insert(v.end(), {0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00, 0xFF, 0xFE, 0, 0});
    Be32(v, 150u << 16);
    Be32(v, 150u << 16);
    Rect(v, 0, 0, h, w);
    Be32(v, 0);
    v.insert(v.end(), ops.begin(), ops.end());
    if (v.size() & 1) v.push_back(0);
    Be16(v, 0xFF);
    return v;
}

// The pixel map fields after rowBytes and bounds.
void Map(std::vector<BYTE>& v, int packType, int pixelType, int bits, int cmpCount) {
    Be16(v, 0);
    Be16(v, unsigned(packType));
    Be32(v, 0);
    Be32(v, 72u << 16);
    Be32(v, 72u << 16);
    Be16(v, unsigned(pixelType));
    Be16(v, unsigned(bits));
    Be16(v, unsigned(cmpCount));
    Be16(v, unsigned(bits == 32 ? 8 : bits == 16 ? 5 : bits));
    Be32(v, 0);
    Be32(v, 0);
    Be32(v, 0);
}

// A PackBitsRect of a palette pixel map (rows given as stored, with their counts when packed).
std::vector<BYTE> PaletteOp(int bits, int rowBytes, int top, int h, int w,
                            const std::vector<std::array<BYTE, 3>>& table,
                            const std::vector<BYTE>& rows, int dstTop, int op = 0x98) {
    std::vector<BYTE> v;
    Be16(v, unsigned(op));
    Be16(v, unsigned(rowBytes) | 0x8000);
    Rect(v, top, 0, top + h, w);
    Map(v, 0, 0, bits, 1);
    Be32(v, 0);
    Be16(v, 0);
    Be16(v, unsigned(table.size() - 1));
    for (size_t i = 0; i < table.size(); ++i) {
        Be16(v, unsigned(i));
        for (BYTE c : table[i])
            Be16(v, c * 257u);
    }
    Rect(v, top, 0, top + h, w);
    Rect(v, dstTop, 0, dstTop + h, w);
    Be16(v, 0);
    if (op == 0x99) v.insert(v.end(), {0x00, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0});
    v.insert(v.end(), rows.begin(), rows.end());
    return v;
}

} // namespace

TEST_F(PictTest, OurPicturesReadByImageMagick) {
    if (!HasProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    for (int bits : {1, 4, 8, 24}) {
        // 300 wide: packed rows with two-byte counts; 3 wide: rows under 8 bytes.
        for (int w : {300, 3}) {
            HGLOBAL picture = MakePicture(w, 17, bits, 150);
            const Rgb expected = PixelsOf(picture);
            const std::string file = Path("a.pct"), ppm = Path("a.ppm");
            ASSERT_EQ(Save(picture, file, IMG_PCT, bits), IMG_SUCCESS) << bits;
            ASSERT_TRUE(RunShell("convert " + file + " " + ppm)) << bits << " " << w;
            EXPECT_EQ(ReadPnm(ppm), expected) << bits << " " << w;
            HGLOBAL back = Load(file);
            ASSERT_NE(back, nullptr) << bits;
            EXPECT_EQ(BitsOf(back), bits);
            EXPECT_EQ(PixelsOf(back), expected) << bits << " " << w;
            KOVAFILEINFO info;
            KovaInitFileInfo(&info);
            ASSERT_EQ(KovaFileInfo(file.c_str(), &info), IMG_SUCCESS);
            EXPECT_EQ(info.format, IMG_PCT);
            EXPECT_EQ(info.xResolution, 150);
            GlobalFree(back);
            GlobalFree(picture);
        }
    }
}

TEST_F(PictTest, OtherProgramsPicturesReadByUs) {
    HGLOBAL picture = MakePicture(97, 31, 24);
    const Rgb colour = PixelsOf(picture);
    GlobalFree(picture);
    const std::string ppm = Path("in.ppm"), pct = Path("peer.pct");
    WritePpm(ppm, colour);
    if (HasProgram("convert")) {
        ASSERT_TRUE(RunShell("convert " + ppm + " PICT:" + pct));
        HGLOBAL back = Load(pct);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(PixelsOf(back), colour);
        GlobalFree(back);
    }
    // ppmtopict writes 8-bit pixel maps: a picture of few colours.
    Rgb few = colour;
    for (size_t i = 0; i < few.px.size(); ++i)
        few.px[i] = BYTE(few.px[i] / 64 * 64);
    WritePpm(ppm, few);
    if (HasProgram("ppmtopict")) {
        ASSERT_TRUE(RunShell("ppmtopict " + ppm + " > " + pct));
        HGLOBAL back = Load(pct);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(BitsOf(back), 8);
        EXPECT_EQ(PixelsOf(back), few);
        GlobalFree(back);
    }
}

TEST_F(PictTest, HandBuiltImages) {
    const std::array<BYTE, 3> k = {0, 0, 0}, wt = {255, 255, 255}, r = {250, 0, 0}, b = {0, 0, 250};
    auto pixels = [](int w, int h, const std::vector<std::array<BYTE, 3>>& px) {
        Rgb out{w, h, {}};
        for (const auto& p : px)
            out.px.insert(out.px.end(), p.begin(), p.end());
        return out;
    };
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        int bits;
        Rgb expected;
    };
    // Two bands of a 2-bit map (rows under 8 bytes), the second with a mask region.
    std::vector<BYTE> bands = PaletteOp(2, 2, 0, 1, 3, {k, wt, r, b}, {0x1B, 0x00}, 0);
    const std::vector<BYTE> band2 = PaletteOp(2, 2, 5, 1, 3, {k, wt, r, b}, {0xE4, 0x00}, 1, 0x99);
    bands.insert(bands.end(), band2.begin(), band2.end());
    // An 8-bit map of 10 wide: packed rows (a run of 10, then 5 literals and a run of 5).
    const std::vector<BYTE> packed =
        PaletteOp(8, 10, 0, 2, 10, {k, r}, {2, 0xF7, 1, 8, 4, 0, 1, 0, 1, 0, 0xFC, 1}, 0);
    // Version 1: a bit map (set bits black) in one-byte opcodes.
    std::vector<BYTE> v1(512, 0);
    Be16(v1, 0);
    Rect(v1, 0, 0, 2, 8);
    v1.insert(v1.end(), {0x11, 0x01, 0x90, 0x00, 0x02});
    Rect(v1, 0, 0, 2, 8);
    Rect(v1, 0, 0, 2, 8);
    Rect(v1, 0, 0, 2, 8);
    v1.insert(v1.end(), {0x00, 0x00, 0x81, 0x00, 0x00, 0xFF, 0xFF});
    // Direct pixels: 16 bits packed as words (pack type 3), and 32 bits with the pad byte
    // dropped (pack type 2).
    std::vector<BYTE> d16;
    Be16(d16, 0x9A);
    Be32(d16, 0xFF);
    Be16(d16, 0x8000 | 8);
    Rect(d16, 0, 0, 1, 4);
    Map(d16, 3, 16, 16, 3);
    Rect(d16, 0, 0, 1, 4);
    Rect(d16, 0, 0, 1, 4);
    Be16(d16, 0);
    d16.insert(d16.end(), {6, 0xFE, 0x7C, 0x00, 0x00, 0x00, 0x1F}); // 3 x red, a literal blue
    std::vector<BYTE> d32;
    Be16(d32, 0x9A);
    Be32(d32, 0xFF);
    Be16(d32, 0x8000 | 8);
    Rect(d32, 0, 0, 1, 2);
    Map(d32, 2, 16, 32, 3);
    Rect(d32, 0, 0, 1, 2);
    Rect(d32, 0, 0, 1, 2);
    Be16(d32, 0);
    d32.insert(d32.end(), {10, 20, 30, 40, 50, 60});
    const std::array<BYTE, 3> red = {255, 0, 0}, blue = {0, 0, 255};
    const Case cases[] = {
        {"2-bit bands", Picture2(2, 3, bands), 4, pixels(3, 2, {k, wt, r, b, r, wt})},
        {"packed 8 bits", Picture2(2, 10, packed), 8,
         pixels(10, 2, {r, r, r, r, r, r, r, r, r, r, k, r, k, r, k, r, r, r, r, r})},
        {"version 1 bit map", v1, 1,
         pixels(8, 2, {k, wt, wt, wt, wt, wt, wt, k, wt, wt, wt, wt, wt, wt, wt, wt})},
        {"16 bits, words packed", Picture2(1, 4, d16), 24, pixels(4, 1, {red, red, red, blue})},
        {"32 bits, pad dropped", Picture2(1, 2, d32), 24,
         pixels(2, 1, {{10, 20, 30}, {40, 50, 60}})},
    };
    for (const Case& c : cases) {
        int result = 0;
        KOVAFILEINFO info;
        EXPECT_EQ(LoadBytes(c.file, &result, &info), c.expected) << c.name << " " << result;
        EXPECT_EQ(info.bitsPerPixel, c.bits) << c.name;
    }
}

TEST_F(PictTest, DrawingsAndLies) {
    const std::vector<BYTE> image = PaletteOp(8, 2, 0, 1, 2, {{0, 0, 0}}, {0, 0}, 0);
    std::vector<BYTE> scaled = image;
    scaled[scaled.size() - 6 - 2 - 1] = 4; // the destination's right: 4 instead of 2
    std::vector<BYTE> bigTable = image;
    bigTable[2 + 2 + 8 + 36 + 6] = 0x01; // the table's count - 1: 256
    std::vector<BYTE> frameRect = image;
    frameRect.insert(frameRect.end(), {0x00, 0x30, 0, 0, 0, 0, 0, 1, 0, 1});
    std::vector<BYTE> quickTime = {0x82, 0x00, 0, 0, 0, 4, 1, 2, 3, 4};
    std::vector<BYTE> cut = Picture2(1, 2, image);
    cut.resize(cut.size() - 6);
    std::vector<BYTE> huge = Picture2(1, 2, image);
    huge[512 + 2 + 4] = 0x7F, huge[512 + 2 + 6] = 0x7F; // a frame of 32767 x 32767
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        int result;
    };
    const Case cases[] = {
        {"a line: a drawing", Picture2(1, 2, frameRect), IMG_ERR_UNSUPPORTED},
        {"compressed pixels", Picture2(1, 2, quickTime), IMG_ERR_UNSUPPORTED},
        {"scaled image", Picture2(1, 2, scaled), IMG_ERR_UNSUPPORTED},
        {"no image", Picture2(1, 2, {}), IMG_ERR_UNSUPPORTED},
        {"table past the end", Picture2(1, 2, bigTable), IMG_ERR_DAMAGED},
        {"cut short", cut, IMG_ERR_DAMAGED},
        {"frame past the limits", huge, IMG_ERR_TOO_LARGE},
    };
    for (const Case& c : cases) {
        int result = 0;
        EXPECT_EQ(LoadBytes(c.file, &result), Rgb{}) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}
