// IOCA bilevel images, raw and wrapped: round trips of every code, the bytes we write, hand-built
// segments and bad input.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <testing/PlatformTest.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

class IocaTest : public PlatformTest {
protected:
    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }
    std::vector<BYTE> Bytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Put(const std::string& path, const std::vector<BYTE>& bytes) const {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // Loads the bytes; the result code in *result.
    Rgb LoadBytes(const std::vector<BYTE>& bytes, int* result, KOVAFILEINFO* info = nullptr) {
        const std::string path = Path("in.ica");
        Put(path, bytes);
        KOVAFILEINFO own;
        KovaInitFileInfo(info != nullptr ? info : &own);
        const int described = KovaFileInfo(path.c_str(), info != nullptr ? info : &own);
        HGLOBAL dib = Load(path, result);
        EXPECT_EQ(described, *result);
        if (dib == nullptr) return {};
        Rgb rgb = PixelsOf(dib);
        GlobalFree(dib);
        return rgb;
    }
};

// A raw segment: begin segment (name "AB"), begin image content, an unknown field, the size
// (unit base, x and y units, width, height), the encoding, bits per element, the data in two
// pieces, the ends.
std::vector<BYTE> Segment(int unitBase, int units, int w, int h, int compression, int bits,
                          const std::vector<BYTE>& data) {
    std::vector<BYTE> s = {0x70, 0x02, 'A', 'B', 0x91, 0x01, 0xFF, 0x97, 0x02, 0x12, 0x34};
    s.insert(s.end(), {0x94, 0x09, BYTE(unitBase), BYTE(units >> 8), BYTE(units), BYTE(units >> 8),
                       BYTE(units), BYTE(w >> 8), BYTE(w), BYTE(h >> 8), BYTE(h)});
    s.insert(s.end(), {0x95, 0x02, BYTE(compression), 0x01, 0x96, 0x01, BYTE(bits)});
    const size_t half = data.size() / 2;
    s.insert(s.end(), {0xFE, 0x92, 0x00, BYTE(half)});
    s.insert(s.end(), data.begin(), data.begin() + long(half));
    s.insert(s.end(), {0xFE, 0x92, 0x00, BYTE(data.size() - half)});
    s.insert(s.end(), data.begin() + long(half), data.end());
    s.insert(s.end(), {0x93, 0x00, 0x71, 0x00});
    return s;
}

} // namespace

TEST_F(IocaTest, EveryCodeReadsBack) {
    HGLOBAL picture = MakePicture(61, 23, 1, 200);
    const Rgb expected = PixelsOf(picture);
    for (int format : {IMG_IOCA_G3_1D, IMG_IOCA_G3_2D, IMG_IOCA_G4, IMG_IOCA_RAW_G3_1D,
                       IMG_IOCA_RAW_G3_2D, IMG_IOCA_RAW_G4}) {
        const std::string file = Path("a.ica");
        ASSERT_EQ(Save(picture, file, format, 1), IMG_SUCCESS) << format;
        KOVAFILEINFO info;
        KovaInitFileInfo(&info);
        ASSERT_EQ(KovaFileInfo(file.c_str(), &info), IMG_SUCCESS) << format;
        EXPECT_EQ(info.format, format);
        EXPECT_EQ(info.width, 61);
        EXPECT_EQ(info.height, 23);
        EXPECT_EQ(info.bitsPerPixel, 1);
        EXPECT_EQ(info.xResolution, 200);
        EXPECT_EQ(info.yResolution, 200);
        HGLOBAL back = Load(file);
        ASSERT_NE(back, nullptr) << format;
        EXPECT_EQ(PixelsOf(back), expected) << format;
        GlobalFree(back);
        EXPECT_EQ(Save(picture, file, format, 8), IMG_ERR_PARAM) << format;
    }
    GlobalFree(picture);
    // Colour pictures go at 1 bit.
    HGLOBAL colour = MakePicture(40, 30, 24);
    ASSERT_EQ(Save(colour, Path("c.ica"), IMG_IOCA_G4, 1), IMG_SUCCESS);
    HGLOBAL back = Load(Path("c.ica"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(BitsOf(back), 1);
    GlobalFree(back);
    GlobalFree(colour);
}

TEST_F(IocaTest, BytesWritten) {
    // 8 x 2 white at 300 dpi.
    HGLOBAL picture = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 48 + 8);
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(picture));
    *h = BITMAPINFOHEADER{40, 8, 2, 1, 1, 0, 8, 11811, 11811, 0, 0};
    BYTE* table = reinterpret_cast<BYTE*>(h) + 40;
    std::memset(table, 0, 4);
    std::memset(table + 4, 255, 3);
    std::memset(table + 8, 0xFF, 8); // index 1: white
    GlobalUnlock(picture);
    ASSERT_EQ(Save(picture, Path("raw.ica"), IMG_IOCA_RAW_G4, 1), IMG_SUCCESS);
    const std::vector<BYTE> raw = Bytes(Path("raw.ica"));
    const std::vector<BYTE> head = {0x70, 0x00, 0x91, 0x01, 0xFF, 0x94, 0x09, 0x00, 0x0B,
                                    0xB8, 0x0B, 0xB8, 0x00, 0x08, 0x00, 0x02, 0x95, 0x02,
                                    0x0A, 0x01, 0x96, 0x01, 0x01, 0xFE, 0x92, 0x00};
    ASSERT_GT(raw.size(), head.size() + 4);
    EXPECT_EQ(std::vector<BYTE>(raw.begin(), raw.begin() + long(head.size())), head);
    EXPECT_EQ(std::vector<BYTE>(raw.end() - 4, raw.end()), (std::vector<BYTE>{0x93, 0, 0x71, 0}));
    EXPECT_EQ(raw[26], raw.size() - 31); // the data field's length

    ASSERT_EQ(Save(picture, Path("wrapped.ica"), IMG_IOCA_G4, 1), IMG_SUCCESS);
    const std::vector<BYTE> wrapped = Bytes(Path("wrapped.ica"));
    const std::vector<BYTE> begin = {0x5A, 0x00, 0x10, 0xD3, 0xA8, 0xFB, 0,    0,   0,
                                     0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40};
    ASSERT_GT(wrapped.size(), 3 * begin.size());
    EXPECT_EQ(std::vector<BYTE>(wrapped.begin(), wrapped.begin() + 17), begin);
    // The descriptor after the group's begin: unit base, resolutions, size.
    const std::vector<BYTE> descriptor = {0x5A, 0x00, 0x11, 0xD3, 0xA6, 0xFB, 0,    0,    0,
                                          0x00, 0x0B, 0xB8, 0x0B, 0xB8, 0x00, 0x08, 0x00, 0x02};
    EXPECT_EQ(std::vector<BYTE>(wrapped.begin() + 34, wrapped.begin() + 52), descriptor);
    // The picture data field holds the raw segment.
    EXPECT_EQ(std::vector<BYTE>(wrapped.begin() + 78, wrapped.begin() + 78 + long(raw.size())),
              raw);
    EXPECT_EQ(std::vector<BYTE>(wrapped.end() - 17, wrapped.begin() + long(wrapped.size()) - 11),
              (std::vector<BYTE>{0x5A, 0x00, 0x10, 0xD3, 0xA9, 0xFB}));
    GlobalFree(picture);
}

TEST_F(IocaTest, HandBuiltSegments) {
    // Uncompressed 10 x 2 at 118.11 units per 10 cm (300 dpi): set bits black.
    int result = 0;
    KOVAFILEINFO info;
    const Rgb got =
        LoadBytes(Segment(1, 1181, 10, 2, 0x03, 1, {0x80, 0x40, 0x00, 0xC0}), &result, &info);
    ASSERT_EQ(result, IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_IOCA_RAW_G3_1D);
    EXPECT_EQ(info.xResolution, 300);
    Rgb expected{10, 2, std::vector<BYTE>(60, 255)};
    for (int i : {0, 9, 18, 19})
        std::memset(&expected.px[size_t(3 * i)], 0, 3);
    EXPECT_EQ(got, expected);

    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
        int result;
    };
    std::vector<BYTE> cut = Segment(0, 2000, 10, 2, 0x03, 1, {1, 2, 3, 4});
    cut.resize(cut.size() - 12);
    std::vector<BYTE> noSize = Segment(0, 2000, 10, 2, 0x03, 1, {1, 2, 3, 4});
    noSize[11] = 0x97; // the size field becomes an unknown one
    std::vector<BYTE> wrapped = {0x5A, 0x00, 0x10, 0xD3, 0xA8, 0xFB, 0, 0, 0,
                                 1,    2,    3,    4,    5,    6,    7, 8, 0x5A,
                                 0x7F, 0xFF, 0xD3, 0xEE, 0xFB, 0,    0, 0};
    const Case cases[] = {
        {"IBM MMR", Segment(0, 2000, 10, 2, 0x01, 1, {1, 2, 3, 4}), IMG_ERR_UNSUPPORTED},
        {"8 bits", Segment(0, 2000, 10, 2, 0x03, 8, {1, 2, 3, 4}), IMG_ERR_UNSUPPORTED},
        {"rows missing", Segment(0, 2000, 10, 3, 0x03, 1, {1, 2, 3, 4}), IMG_ERR_DAMAGED},
        {"width 0", Segment(0, 2000, 0, 2, 0x03, 1, {1, 2, 3, 4}), IMG_ERR_TOO_LARGE},
        {"more rows than bits", Segment(0, 2000, 65535, 65535, 0x0A, 1, {1, 2, 3, 4}),
         IMG_ERR_TOO_LARGE},
        {"coded rows beyond the data", Segment(0, 2000, 100, 9000, 0x0A, 1, {1, 2, 3, 4}),
         IMG_ERR_DAMAGED},
        {"field past the end", cut, IMG_ERR_DAMAGED},
        {"no size", noSize, IMG_ERR_DAMAGED},
        {"wrapped field past the end", wrapped, IMG_ERR_DAMAGED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadBytes(c.bytes, &result), Rgb{}) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}
