// The clipboard picture reduced to 1, 4 and 8 bits.

#include "rasterkit/DepthReduction.h"
#include "RasterTestSupport.h"
#include "testing/PlatformTest.h"
#include "win32/kernel.h"

namespace {

class DepthReductionTest : public PlatformTest {};

struct Px {
    BYTE r, g, b;
};

// One row of colours, each with its 1-bit and 4-bit answers (as the table's colours).
const struct {
    Px in;
    Px oneBit;
    Px fourBit;
} kCases[] = {
    {{255, 0, 0}, {0, 0, 0}, {255, 0, 0}},
    {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}},
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    {{100, 100, 100}, {0, 0, 0}, {128, 128, 128}},
    {{200, 200, 200}, {255, 255, 255}, {192, 192, 192}},
    {{0, 0, 255}, {0, 0, 0}, {0, 0, 255}},
    {{255, 255, 0}, {255, 255, 255}, {255, 255, 0}},
    {{130, 0, 0}, {0, 0, 0}, {128, 0, 0}},
};
constexpr int kCount = int(sizeof kCases / sizeof kCases[0]);

void Fill(CDib& src) {
    ASSERT_TRUE(src.Create(kCount, 3, 24));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < kCount; ++x) {
            unsigned v = Bgr(kCases[x].in.r, kCases[x].in.g, kCases[x].in.b);
            src.SetPixel(x, y, v);
        }
}

Px At(CDib& dib, int x, int y) {
    int rgb[3] = {-1, -1, -1};
    dib.GetPixel(x, y, rgb);
    return Px{BYTE(rgb[0]), BYTE(rgb[1]), BYTE(rgb[2])};
}

bool Same(Px a, Px b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST_F(DepthReductionTest, EachDepthTakesTheColoursItCanShow) {
    CDib src;
    Fill(src);
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        CDib out(ReduceColourDepth(src, bits));
        ASSERT_FALSE(out.IsEmpty());
        EXPECT_EQ(out.GetBitsPerPixel(), bits);
        EXPECT_EQ(out.GetWidth(), kCount);
        EXPECT_EQ(out.GetHeight(), 3);
        for (int x = 0; x < kCount; ++x) {
            const Px got = At(out, x, 1);
            const Px& in = kCases[x].in;
            const Px& want = bits == 1 ? kCases[x].oneBit : bits == 4 ? kCases[x].fourBit : in;
            if (bits != 8) {
                EXPECT_TRUE(Same(got, want)) << x;
            }
        }
        if (bits == 8) {
            // Black and white lie in the table: the dither keeps them exactly.
            EXPECT_TRUE(Same(At(out, 1, 0), Px{255, 255, 255}));
            EXPECT_TRUE(Same(At(out, 2, 0), Px{0, 0, 0}));
        }
    }
}

TEST_F(DepthReductionTest, OtherDepthsAndEmptyPicturesGiveNothing) {
    CDib src;
    Fill(src);
    for (int bits : {0, 2, 16, 32})
        EXPECT_EQ(ReduceColourDepth(src, bits), nullptr) << bits;
    CDib empty;
    EXPECT_EQ(ReduceColourDepth(empty, 8), nullptr);
}
