// imgflt-wpg through the file library and through its ordinals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>

#include <imaging/KovaFilter.h>

#include "../../../platform/imaging/tests/ImagingTestSupport.h"

namespace {

using imagingtest::Rgb;

std::string WpgTemp(const std::string& name) {
    static const std::string dir = [] {
        const auto d = std::filesystem::temp_directory_path() / ("wpg-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d.string();
    }();
    return dir + "/" + name;
}

void PutWpg(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<BYTE> GetWpg(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<BYTE> FileHeader() {
    return {0xFF, 'W', 'P', 'C', 16, 0, 0, 0, 1, 0x16, 1, 0, 0, 0, 0, 0};
}

// A record with the length in its short, 16-bit or 32-bit form (form 0 picks the shortest).
void Record(std::vector<BYTE>& f, BYTE type, const std::vector<BYTE>& data, int form = 0) {
    const size_t n = data.size();
    f.push_back(type);
    if (form == 0) form = n < 0xFF ? 1 : n < 0x8000 ? 2 : 3;
    if (form == 1) {
        f.push_back(BYTE(n));
    } else if (form == 2) {
        f.insert(f.end(), {0xFF, BYTE(n), BYTE(n >> 8)});
    } else {
        const unsigned high = unsigned(n >> 16) | 0x8000u;
        f.insert(f.end(), {0xFF, BYTE(high), BYTE(high >> 8), BYTE(n), BYTE(n >> 8)});
    }
    f.insert(f.end(), data.begin(), data.end());
}

std::vector<BYTE> BitmapData(int w, int h, int depth, const std::vector<BYTE>& coded,
                             int dpi = 96) {
    std::vector<BYTE> d = {BYTE(w), BYTE(w >> 8), BYTE(h),        BYTE(h >> 8), BYTE(depth),
                           0,       BYTE(dpi),    BYTE(dpi >> 8), BYTE(dpi),    BYTE(dpi >> 8)};
    d.insert(d.end(), coded.begin(), coded.end());
    return d;
}

std::vector<BYTE> Map(int first, const std::vector<std::array<BYTE, 3>>& colours) {
    std::vector<BYTE> d = {BYTE(first), BYTE(first >> 8), BYTE(colours.size()),
                           BYTE(colours.size() >> 8)};
    for (const auto& c : colours)
        d.insert(d.end(), c.begin(), c.end());
    return d;
}

Rgb LoadWpg(const std::vector<BYTE>& file, int* result = nullptr) {
    const std::string path = WpgTemp("in.wpg");
    PutWpg(path, file);
    HGLOBAL dib = imagingtest::Load(path, result);
    if (dib == nullptr) return {};
    Rgb rgb = imagingtest::PixelsOf(dib);
    GlobalFree(dib);
    return rgb;
}

TEST(WpgRead, RecordsMapsAndRuns) {
    const std::array<BYTE, 3> red = {200, 10, 20}, blue = {5, 6, 250};
    // 8 bits, 4 x 3: a run, a literal, then the row repeated; the map names 1 and 2.
    std::vector<BYTE> f = FileHeader();
    Record(f, 0x0F, {1, 0, 4, 0, 3, 0});
    Record(f, 14, Map(1, {red, blue}));
    Record(f, 11, BitmapData(4, 3, 8, {0x84, 1, 4, 2, 1, 2, 1, 0, 1}));
    Record(f, 16, {});
    Rgb expected{4, 3, {}};
    const std::array<BYTE, 3> row[3][4] = {
        {red, red, red, red}, {blue, red, blue, red}, {blue, red, blue, red}};
    for (auto& r : row)
        for (auto& c : r)
            expected.px.insert(expected.px.end(), c.begin(), c.end());
    int result = 0;
    EXPECT_EQ(LoadWpg(f, &result), expected) << result;

    // Record 20 after its 10 bytes, a long length, 1 bit with 0x80 c (c bytes 0xFF).
    std::vector<BYTE> g = FileHeader();
    std::vector<BYTE> data(10, 0x33);
    const std::vector<BYTE> bits = BitmapData(16, 2, 1, {0x80, 2, 2, 0x0F, 0xF0});
    data.insert(data.end(), bits.begin(), bits.end());
    Record(g, 20, data, 3);
    Rgb bw{16, 2, {}};
    for (int i = 0; i < 16; ++i)
        bw.px.insert(bw.px.end(), 3, 255);
    for (int i = 0; i < 16; ++i)
        bw.px.insert(bw.px.end(), 3, (i >= 4 && i < 12) ? 255 : 0);
    EXPECT_EQ(LoadWpg(g, &result), bw) << result;

    // 2 bits load at 4 with a grey ramp; a map beyond 255 keeps the first entries only.
    std::vector<BYTE> k = FileHeader();
    Record(k, 14, Map(254, {red, blue, red, blue}));
    Record(k, 11, BitmapData(4, 1, 2, {1, 0x1B}), 2);
    EXPECT_EQ(LoadWpg(k, &result), (Rgb{4, 1, {0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}}))
        << result;
}

TEST(WpgWrite, ReadBackAtEveryDepth) {
    for (int bits : {1, 4, 8}) {
        HGLOBAL dib = imagingtest::MakePicture(300, 7, bits, 150);
        const std::string path = WpgTemp("out.wpg");
        ASSERT_EQ(imagingtest::Save(dib, path, IMG_WPG, 0), IMG_SUCCESS) << bits;
        const std::vector<BYTE> file = GetWpg(path);
        ASSERT_GT(file.size(), 16u);
        EXPECT_EQ(std::vector<BYTE>(file.begin(), file.begin() + 16), FileHeader());
        EXPECT_EQ(LoadWpg(file), imagingtest::PixelsOf(dib)) << bits;
        if (imagingtest::HasProgram("convert")) {
            const std::string back = WpgTemp("back.ppm");
            ASSERT_TRUE(imagingtest::RunShell("convert " + path + " " + back)) << bits;
            EXPECT_EQ(imagingtest::ReadPnm(back), imagingtest::PixelsOf(dib)) << bits;
        }
        GlobalFree(dib);
    }
    HGLOBAL dib = imagingtest::MakePicture(5, 5, 24);
    EXPECT_EQ(imagingtest::Save(dib, WpgTemp("x.wpg"), IMG_WPG, 0), FLT_ERR_BITS);
    GlobalFree(dib);
}

TEST(WpgRead, LyingRecords) {
    auto file = [](auto build) {
        std::vector<BYTE> f = FileHeader();
        build(f);
        return f;
    };
    struct Case {
        const char* name;
        std::vector<BYTE> file;
        int result;
    };
    const Case cases[] = {
        {"end first", file([](auto& f) {
             Record(f, 16, {});
             Record(f, 11, BitmapData(1, 1, 8, {1, 5}));
         }),
         FLT_ERR_FORMAT},
        {"length past the end", file([](auto& f) {
             f.insert(f.end(), {11, 0xFF, 0xFF, 0x7F});
         }),
         FLT_ERR_FORMAT},
        {"long length past the end", file([](auto& f) {
             f.insert(f.end(), {11, 0xFF, 0x01, 0x80, 0, 0});
         }),
         FLT_ERR_FORMAT},
        {"cut length", file([](auto& f) {
             f.insert(f.end(), {14, 0xFF, 0x01});
         }),
         FLT_ERR_FORMAT},
        {"map count past its record", file([](auto& f) {
             Record(f, 14, {0, 0, 200, 0, 1, 2, 3});
         }),
         FLT_ERR_FORMAT},
        {"depth 3", file([](auto& f) {
             Record(f, 11, BitmapData(1, 1, 3, {1, 5}));
         }),
         FLT_ERR_BITS},
        {"zero width", file([](auto& f) {
             Record(f, 11, BitmapData(0, 1, 8, {1, 5}));
         }),
         FLT_ERR_FORMAT},
        {"huge", file([](auto& f) {
             Record(f, 11, BitmapData(65535, 65535, 8, {1, 5}));
         }),
         FLT_ERR_FORMAT},
        {"runs short", file([](auto& f) {
             Record(f, 11, BitmapData(8, 8, 8, {0x88, 1}));
         }),
         FLT_ERR_FORMAT},
        {"repeat first", file([](auto& f) {
             Record(f, 11, BitmapData(2, 2, 8, {0, 1, 2, 1, 1}));
         }),
         FLT_ERR_FORMAT},
        {"no bitmap", file([](auto& f) {
             Record(f, 14, Map(0, {{1, 2, 3}}));
         }),
         FLT_ERR_FORMAT},
    };
    for (const Case& c : cases) {
        int result = 0;
        EXPECT_EQ(LoadWpg(c.file, &result), Rgb{}) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}

} // namespace
