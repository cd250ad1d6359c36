#include "shell/ColorModel.h"

#include <gtest/gtest.h>

namespace {

struct ByteCase {
    uint32_t r, g, b;
    int h, l, s;
};

TEST(ColorModel, RGBToHLSBytesTable) {
    const ByteCase cases[] = {
        {255, 0, 0, 0, 127, 255},     // pure red
        {0, 255, 0, 85, 127, 255},    // 120 degrees
        {0, 0, 255, 170, 127, 255},   // 240 degrees
        {128, 128, 128, 0, 128, 0},   // grey: hue -1 truncates to 0
        {0, 0, 0, 0, 0, 0},
        {255, 255, 255, 0, 255, 0},
        {0x1FF, 0x100, 0x100, 0, 127, 255}, // only the low byte counts
    };
    for (const auto& c : cases) {
        uint8_t h, l, s;
        RGBToHLSBytes(c.r, c.g, c.b, &h, &l, &s);
        EXPECT_EQ(h, c.h) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(l, c.l) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(s, c.s) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(ColorModel, RedByteRoundTripLosesOneStep) {
    uint8_t r, g, b;
    HLSToRGBBytes(0, 127, 255, &r, &g, &b);
    EXPECT_EQ(r, 254);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
}

TEST(ColorModel, UnitScaleGreyAndHueEdges) {
    float hue, l, s;
    RGBToHLS(0.25f, 0.25f, 0.25f, &hue, &l, &s);
    EXPECT_EQ(hue, -1.0f);
    EXPECT_EQ(s, 0.0f);
    EXPECT_FLOAT_EQ(l, 0.25f);

    float r, g, b;
    HLSToRGB(-1.0f, 0.4f, 0.0f, &r, &g, &b);
    EXPECT_EQ(r, 0.4f);
    EXPECT_EQ(g, 0.4f);
    EXPECT_EQ(b, 0.4f);

    // Hue 360 stays 360 for green: V(360) = m1 = 0 at full saturation.
    HLSToRGB(360.0f, 0.5f, 1.0f, &r, &g, &b);
    EXPECT_FLOAT_EQ(r, 1.0f);
    EXPECT_FLOAT_EQ(g, 0.0f);
    EXPECT_FLOAT_EQ(b, 0.0f);

    // Magenta: hue from the red branch comes out negative and wraps.
    RGBToHLS(1.0f, 0.0f, 0.5f, &hue, &l, &s);
    EXPECT_FLOAT_EQ(hue, 330.0f);
    EXPECT_FLOAT_EQ(l, 0.5f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    HLSToRGB(hue, l, s, &r, &g, &b);
    EXPECT_NEAR(r, 1.0f, 1e-6);
    EXPECT_NEAR(g, 0.0f, 1e-6);
    EXPECT_NEAR(b, 0.5f, 1e-6);

    // Light colours use the other saturation formula.
    RGBToHLS(1.0f, 0.5f, 0.5f, &hue, &l, &s);
    EXPECT_FLOAT_EQ(l, 0.75f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(hue, 0.0f);
}

TEST(ColorModel, YIQ) {
    float r = 1, g = 1, b = 1;
    RGBToYIQ(r, g, b);
    EXPECT_NEAR(r, 1.0f, 1e-6);
    EXPECT_NEAR(g, 0.0f, 1e-6);
    EXPECT_NEAR(b, 0.0f, 1e-6);

    // All three inputs are read before any is written.
    r = 1, g = 0, b = 0;
    RGBToYIQ(r, g, b);
    EXPECT_NEAR(r, 0.299f, 1e-6);
    EXPECT_NEAR(g, 0.596f, 1e-6);
    EXPECT_NEAR(b, 0.211f, 1e-6);
}

} // namespace
