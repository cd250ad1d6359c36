// Image processing and colour reduction by pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <imaging/KovaImg.h>

#include "ImagingTestSupport.h"

using namespace imagingtest;

namespace {

struct Held {
    KOVABITMAP b;
    explicit Held(HGLOBAL dib) {
        KovaInitBitmap(&b, 1, 1, 1);
        EXPECT_EQ(KovaBitmapFromDib(&b, dib), IMG_SUCCESS);
    }
    ~Held() { KovaFreeBitmap(&b); }
    Rgb Pixels() const { return PixelsOf(b.dib); }
};

// How far the reduced picture, seen from afar (the mean of each run of 10 pixels of a row),
// lies from the ramp it came from.
double RampError(const Rgb& reduced, const Rgb& ramp) {
    double sum = 0;
    int runs = 0;
    for (long y = 0; y < ramp.height; ++y)
        for (long x0 = 0; x0 + 10 <= ramp.width; x0 += 10, ++runs) {
            double a = 0, b = 0;
            for (long x = x0; x < x0 + 10; ++x) {
                a += reduced.px[size_t((y * ramp.width + x) * 3)];
                b += ramp.px[size_t((y * ramp.width + x) * 3)];
            }
            sum += std::fabs(a - b) / 10;
        }
    return sum / runs;
}

} // namespace

TEST(EffectsTest, NeutralSettingsKeepThePicture) {
    const std::function<int(KOVABITMAP*)> neutral[] = {
        [](KOVABITMAP* b) { return KovaBrightness(b, 0); },
        [](KOVABITMAP* b) { return KovaContrast(b, 0); },
        [](KOVABITMAP* b) { return KovaHue(b, 0); },
        [](KOVABITMAP* b) { return KovaSaturation(b, 0); },
        [](KOVABITMAP* b) { return KovaGamma(b, 100); },
        [](KOVABITMAP* b) { return KovaSharpen(b, 0); },
        [](KOVABITMAP* b) { return KovaTemperature(b, 0); },
    };
    for (int bits : {8, 24}) {
        for (size_t i = 0; i < std::size(neutral); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i << " at " << bits);
            Held h(MakePicture(12, 7, bits));
            const Rgb before = h.Pixels();
            ASSERT_EQ(neutral[i](&h.b), IMG_SUCCESS);
            EXPECT_EQ(h.b.bitsPerPixel, bits); // point operations keep the depth
            EXPECT_LE(MaxDifference(h.Pixels(), before), 1);
        }
    }
}

TEST(EffectsTest, EffectsByPixels) {
    Held grey(MakePicture(12, 7, 24));
    ASSERT_EQ(KovaGrayScale(&grey.b), IMG_SUCCESS);
    const Rgb g = grey.Pixels();
    for (size_t i = 0; i < g.px.size(); i += 3) {
        EXPECT_EQ(g.px[i], g.px[i + 1]);
        EXPECT_EQ(g.px[i], g.px[i + 2]);
    }
    Held inverted(MakePicture(12, 7, 4));
    const Rgb before = inverted.Pixels();
    KovaInvert(&inverted.b);
    EXPECT_EQ(int(inverted.Pixels().px[0]), 255 - before.px[0]);
    KovaInvert(&inverted.b);
    EXPECT_EQ(inverted.Pixels(), before);
    // Brightness +100 is white, thresholds are black and white, a hue turn of 120 degrees
    // takes red to green.
    Held bright(MakePicture(4, 4, 24));
    KovaBrightness(&bright.b, 100);
    for (BYTE v : bright.Pixels().px)
        EXPECT_EQ(v, 255);
    Held hue(MakePicture(4, 4, 24));
    std::memset(static_cast<BYTE*>(GlobalLock(hue.b.dib)) + 40, 0, 4 * 12);
    for (int i = 0; i < 16; ++i)
        static_cast<BYTE*>(GlobalLock(hue.b.dib))[40 + (i / 4) * 12 + (i % 4) * 3 + 2] = 255;
    GlobalUnlock(hue.b.dib);
    GlobalUnlock(hue.b.dib);
    KovaHue(&hue.b, 120);
    const Rgb h = hue.Pixels();
    EXPECT_EQ(h.px[0], 0);
    EXPECT_EQ(h.px[1], 255);
    EXPECT_EQ(h.px[2], 0);
    // Every filter keeps the size and gives 24 bits.
    const std::function<int(KOVABITMAP*)> filters[] = {
        [](KOVABITMAP* b) { return KovaMosaic(b, 4); },
        [](KOVABITMAP* b) { return KovaMedian(b, 3); },
        [](KOVABITMAP* b) { return KovaAverage(b, 5); },
        [](KOVABITMAP* b) { return KovaEdgeDetect(b); },
        [](KOVABITMAP* b) { return KovaEmboss(b, 3, 50); },
        [](KOVABITMAP* b) { return KovaLineDrawing(b, 16); },
        [](KOVABITMAP* b) { return KovaOilPaint(b, 3); },
        [](KOVABITMAP* b) { return KovaSharpen(b, 50); },
        [](KOVABITMAP* b) { return KovaThreshold(b, 128); },
        [](KOVABITMAP* b) { return KovaPosterize(b, 4); },
    };
    for (const auto& f : filters) {
        Held p(MakePicture(9, 5, 8));
        ASSERT_EQ(f(&p.b), IMG_SUCCESS);
        EXPECT_EQ(p.b.width, 9);
        EXPECT_EQ(p.b.height, 5);
    }
}

TEST(EffectsTest, ColourReduction) {
    // A grey ramp of 300 levels across: to 4 bits with its own palette of 16 colours.
    Held ramp(MakePicture(300, 8, 24));
    {
        BYTE* p = static_cast<BYTE*>(GlobalLock(ramp.b.dib)) + 40;
        const int row = 300 * 3;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 300; ++x)
                std::memset(p + y * row + 3 * x, x * 255 / 299, 3);
        GlobalUnlock(ramp.b.dib);
    }
    const Rgb source = ramp.Pixels();
    double errors[3];
    const int dithers[3] = {0, 0x10000, 0x70000};
    for (int i = 0; i < 3; ++i) {
        KOVABITMAP out;
        KovaInitBitmap(&out, 1, 1, 1);
        ASSERT_EQ(KovaColorRes(&out, &ramp.b, 4, dithers[i] | 2, nullptr, 300, 0, 0), IMG_SUCCESS);
        EXPECT_EQ(out.bitsPerPixel, 4);
        errors[i] = RampError(PixelsOf(out.dib), source);
        KovaFreeBitmap(&out);
    }
    // Seen from afar, error diffusion follows the ramp more closely than plain rounding.
    EXPECT_LT(errors[2], errors[0]);
    // Fixed palettes: black and white at 1 bit.
    KOVABITMAP bw;
    KovaInitBitmap(&bw, 1, 1, 1);
    ASSERT_EQ(KovaColorRes(&bw, &ramp.b, 1, 8, nullptr, 2, 0, 0), IMG_SUCCESS);
    const Rgb two = PixelsOf(bw.dib);
    EXPECT_EQ(two.px[0], 0);
    EXPECT_EQ(two.px[3 * 299], 255);
    KovaFreeBitmap(&bw);
    // Fewer than 2 colours count as 2; 16 bits keep 32 levels a channel in 24-bit pixels.
    KOVABITMAP one, sixteen;
    KovaInitBitmap(&one, 1, 1, 1);
    KovaInitBitmap(&sixteen, 1, 1, 1);
    ASSERT_EQ(KovaColorRes(&one, &ramp.b, 8, 2, nullptr, 1, 0, 0), IMG_SUCCESS);
    ASSERT_EQ(KovaColorRes(&sixteen, &ramp.b, 16, 4, nullptr, 65536, 0, 0), IMG_SUCCESS);
    EXPECT_EQ(sixteen.bitsPerPixel, 24);
    bool level[256] = {};
    for (int k = 0; k < 32; ++k)
        level[k * 255 / 31] = true;
    for (BYTE v : PixelsOf(sixteen.dib).px)
        ASSERT_TRUE(level[v]) << int(v);
    KovaFreeBitmap(&one);
    KovaFreeBitmap(&sixteen);
}
