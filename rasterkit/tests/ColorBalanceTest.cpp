// Colour balance tables and keep-lightness.

#include <algorithm>

#include <gtest/gtest.h>

#include "rasterkit/ColorBalance.h"

TEST(ColorBalanceTest, ResetHasNoEffect) {
    ColorBalance cb;
    cb.m_redShadows = 50;
    cb.CreateLUT();
    EXPECT_EQ(cb.HasEffect(), 1);
    cb.Reset();
    EXPECT_EQ(cb.HasEffect(), 0);
    for (int v : {0, 1, 77, 128, 254, 255}) {
        BYTE r = BYTE(v), g = BYTE(255 - v), b = BYTE(v / 2);
        cb.CalcBalance(r, g, b);
        EXPECT_EQ(r, v);
        EXPECT_EQ(g, 255 - v);
        EXPECT_EQ(b, v / 2);
    }
    // An amount of exactly 0 picks the non-positive curves and adds nothing.
    cb.m_greenMidtones = 0;
    cb.CreateLUT();
    EXPECT_EQ(cb.HasEffect(), 0);
}

TEST(ColorBalanceTest, RedShadowsTable) {
    ColorBalance cb;
    cb.m_redShadows = 100;
    cb.CreateLUT();
    EXPECT_EQ(cb.m_lutRed[64], 114); // 64 + 100 * 0.5026
    EXPECT_EQ(cb.m_lutRed[255], 253);
    EXPECT_EQ(cb.m_lutRed[0], 0);    // 0 + 100 * p(0) is negative: clamped
    EXPECT_EQ(cb.m_lutGreen[64], 64);
    int rgb[3] = {64, 64, 64};
    cb.CalcBalance(rgb);
    EXPECT_EQ(rgb[0], 114);
    EXPECT_EQ(rgb[1], 64);
    // Negative highlights pull bright values down through the other curve.
    ColorBalance down;
    down.m_blueHighlights = -100;
    down.CreateLUT();
    EXPECT_LT(down.m_lutBlue[200], 200);
    EXPECT_NEAR(ColorBalance::CT.T[0][16], 1.075 - 0.5, 1e-12);
    EXPECT_NEAR(ColorBalance::CT.T[5][255 - 16], 1.075 - 0.5, 1e-12);
}

TEST(ColorBalanceTest, KeepLightnessKeepsAGreysLightness) {
    ColorBalance cb;
    cb.m_redShadows = 80;
    cb.m_blueMidtones = -60;
    cb.m_bKeepLightness = 1;
    cb.CreateLUT();
    for (int v : {20, 64, 100, 128, 180, 230}) {
        BYTE r = BYTE(v), g = BYTE(v), b = BYTE(v);
        cb.CalcBalance(r, g, b);
        const int lightness = (std::max({r, g, b}) + std::min({r, g, b})) / 2;
        EXPECT_NEAR(lightness, v, 1) << v;
        EXPECT_FALSE(r == g && g == b) << v; // but its colour moved
    }
}
