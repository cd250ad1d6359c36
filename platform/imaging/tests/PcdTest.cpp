// Photo CD base images: hand-checked colours, the turn of the picture, ImageMagick's reading of
// ours, and cut files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <functional>

#include <testing/PlatformTest.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

constexpr size_t kBase = 0x30000;

struct Ycc {
    BYTE y, c1, c2;
};

// An image pac whose base image has luma and chroma of f(x, y) (chroma from each 2 x 2
// block's top-left pixel).
std::vector<BYTE> Pac(const std::function<Ycc(int, int)>& f, int turn = 0) {
    std::vector<BYTE> v(kBase + 768 * 512 * 3 / 2, 0);
    std::memcpy(&v[0x800], "PCD_IPI", 7);
    v[0xE02] = BYTE(turn);
    for (int pair = 0; pair < 256; ++pair) {
        BYTE* rows = &v[kBase + size_t(pair) * 768 * 3];
        for (int k = 0; k < 2; ++k)
            for (int x = 0; x < 768; ++x)
                rows[k * 768 + x] = f(x, 2 * pair + k).y;
        for (int x = 0; x < 384; ++x) {
            rows[1536 + x] = f(2 * x, 2 * pair).c1;
            rows[1920 + x] = f(2 * x, 2 * pair).c2;
        }
    }
    return v;
}

class PcdTest : public PlatformTest {
protected:
    std::string Path(const std::string& name) const { return (DataFolder() / name).string(); }
    Rgb LoadBytes(const std::vector<BYTE>& bytes, int* result, const std::string& name = "in.pcd") {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        HGLOBAL dib = Load(path, result);
        if (dib == nullptr) return {};
        Rgb rgb = PixelsOf(dib);
        GlobalFree(dib);
        return rgb;
    }
};

std::array<BYTE, 3> PcdPixel(const Rgb& rgb, long x, long y) {
    const size_t i = size_t(3 * (y * rgb.width + x));
    return {rgb.px[i], rgb.px[i + 1], rgb.px[i + 2]};
}

} // namespace

TEST_F(PcdTest, ColoursByHand) {
    // Left: reference white; middle: black; right: luma 100, chroma 200 and 100.
    const std::vector<BYTE> pac = Pac([](int x, int) {
        return x < 256 ? Ycc{188, 156, 137} : x < 512 ? Ycc{0, 156, 137} : Ycc{100, 200, 100};
    });
    int result = 0;
    const Rgb rgb = LoadBytes(pac, &result);
    ASSERT_EQ(result, IMG_SUCCESS);
    EXPECT_EQ(rgb.width, 768);
    EXPECT_EQ(rgb.height, 512);
    EXPECT_EQ(PcdPixel(rgb, 10, 10), (std::array<BYTE, 3>{255, 255, 255}));
    EXPECT_EQ(PcdPixel(rgb, 300, 500), (std::array<BYTE, 3>{0, 0, 0}));
    // R = 135.84 - 67.40, G = 135.84 - 18.93 + 34.30, B = 135.84 + 97.59.
    EXPECT_EQ(PcdPixel(rgb, 767, 511), (std::array<BYTE, 3>{68, 151, 233}));
    KOVAFILEINFO info;
    KovaInitFileInfo(&info);
    ASSERT_EQ(KovaFileInfo(Path("in.pcd").c_str(), &info), IMG_SUCCESS);
    EXPECT_EQ(info.format, IMG_PCD);
    EXPECT_EQ(info.bitsPerPixel, 24);
}

TEST_F(PcdTest, TurnedPictures) {
    // A white block at the stored picture's top left corner, the rest black.
    auto marker = [](int x, int y) {
        return x < 2 && y < 2 ? Ycc{188, 156, 137} : Ycc{0, 156, 137};
    };
    struct Case {
        int turn;
        long width, height, x, y; // where the corner lands
    };
    const Case cases[] = {{0, 768, 512, 0, 0},
                          {1, 512, 768, 0, 767}, // a quarter left
                          {2, 768, 512, 767, 511},
                          {3, 512, 768, 511, 0}}; // a quarter right
    for (const Case& c : cases) {
        int result = 0;
        const Rgb rgb = LoadBytes(Pac(marker, c.turn), &result);
        ASSERT_EQ(result, IMG_SUCCESS) << c.turn;
        EXPECT_EQ(rgb.width, c.width) << c.turn;
        EXPECT_EQ(rgb.height, c.height) << c.turn;
        EXPECT_EQ(PcdPixel(rgb, c.x, c.y)[0], 255) << c.turn;
        EXPECT_EQ(PcdPixel(rgb, c.width - 1 - c.x, c.height - 1 - c.y)[0], 0) << c.turn;
    }
}

// ImageMagick converts the same PhotoYCC without the luma gain of 1.3584 (its reference white
// stays 188): its values times 1.3584 are ours.
Rgb Gained(const Rgb& rgb) {
    Rgb out = rgb;
    for (BYTE& v : out.px)
        v = BYTE(std::min(255.0, std::round(v * 1.3584)));
    return out;
}

TEST_F(PcdTest, OursReadByImageMagick) {
    if (!HasProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    // (ImageMagick's own pacs are no reference: its writer clips the chroma, and its reader
    // gives blue 224 for the 180 written.) Ours, turned, read by ImageMagick.
    const std::vector<BYTE> pac = Pac(
        [](int x, int y) {
            return Ycc{BYTE(30 + x / 6), BYTE(120 + y / 8), BYTE(110 + x / 16)};
        },
        3);
    int result = 0;
    const Rgb ours = LoadBytes(pac, &result, "ours.pcd");
    ASSERT_EQ(result, IMG_SUCCESS);
    ASSERT_TRUE(RunShell("convert " + Path("ours.pcd") + " " + Path("ours.ppm")));
    EXPECT_LE(MaxDifference(Gained(ReadPnm(Path("ours.ppm"))), ours), 4);
}

TEST_F(PcdTest, CutAndForeignFiles) {
    std::vector<BYTE> pac = Pac([](int, int) { return Ycc{1, 2, 3}; });
    pac.resize(pac.size() - 1);
    int result = 0;
    EXPECT_EQ(LoadBytes(pac, &result), Rgb{});
    EXPECT_EQ(result, IMG_ERR_DAMAGED);
    pac.resize(0x900);
    EXPECT_EQ(LoadBytes(pac, &result), Rgb{});
    EXPECT_EQ(result, IMG_ERR_DAMAGED);
    pac[0x801] = 'X'; // no longer a pac
    EXPECT_EQ(LoadBytes(pac, &result), Rgb{});
    EXPECT_LT(result, 0);
}
