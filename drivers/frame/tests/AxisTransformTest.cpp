#include <gtest/gtest.h>

#include <driverframe/AxisTransform.h>

namespace {

constexpr LONG PW = 48000;  // 1200 mm at 0.025 mm
constexpr LONG PH = 120000; // 3000 mm

struct Setting {
    int swap, origo, mirrorX, mirrorY;
};

AxisTransform Make(Setting s, LONG width = PW, LONG height = PH) {
    AxisTransform t;
    t.Set(s.swap, s.origo, s.mirrorX, s.mirrorY, width, height);
    return t;
}

TEST(AxisTransformTest, ForwardPlacesTheDeviceOrigin) {
    struct Case {
        Setting setting;
        LONG x, y;
        LONG X, Y;
    } cases[] = {
        {{0, 0, 0, 0}, 1000, 2000, 1000, 2000},
        {{0, 0, 1, 1}, 1000, 2000, 1000, 2000}, // mirrors only act with OrigoPos 2
        {{0, 3, 1, 0}, 1000, 2000, 1000, 2000}, // unknown OrigoPos: no change
        {{1, 0, 0, 0}, 1000, 2000, 2000, 1000},
        {{0, 1, 0, 0}, 1000, 2000, 1000, 46000},
        {{1, 1, 0, 0}, 1000, 2000, 46000, 1000},
        {{0, 2, 0, 0}, 1000, 1000, -59000, 23000},
        {{0, 2, 0, 1}, 1000, 1000, 59000, 23000},
        {{0, 2, 1, 0}, 1000, 1000, -59000, -23000},
        {{0, 2, 1, 1}, 1000, 1000, 59000, -23000},
        {{1, 2, 0, 1}, 1000, 1000, -23000, -59000}, // swapped: MirrorToY senses the second axis
    };
    for (const Case& c : cases) {
        AxisTransform t = Make(c.setting);
        LONG x = c.x, y = c.y;
        t.Forward(x, y);
        EXPECT_EQ(x, c.X) << c.setting.swap << c.setting.origo << c.setting.mirrorX
                          << c.setting.mirrorY;
        EXPECT_EQ(y, c.Y) << c.setting.swap << c.setting.origo << c.setting.mirrorX
                          << c.setting.mirrorY;
    }
}

TEST(AxisTransformTest, ReverseUndoesForwardForEverySetting) {
    const LONG points[][2] = {{0, 0}, {1000, 1000}, {-7, 123456}, {59999, 24001}};
    for (int swap = 0; swap < 2; ++swap)
        for (int origo = 0; origo < 4; ++origo)
            for (int mx = 0; mx < 2; ++mx)
                for (int my = 0; my < 2; ++my) {
                    // An odd paper size: the halves round toward zero on both ways.
                    AxisTransform t = Make({swap, origo, mx, my}, PW + 1, PH - 1);
                    for (const auto& p : points) {
                        LONG x = p[0], y = p[1];
                        t.Forward(x, y);
                        t.Reverse(x, y);
                        EXPECT_EQ(x, p[0]) << swap << origo << mx << my;
                        EXPECT_EQ(y, p[1]) << swap << origo << mx << my;
                    }
                }
}

TEST(AxisTransformTest, DeviceOriginInDriverAxes) {
    struct Case {
        Setting setting;
        LONG x, y;
    } cases[] = {
        {{0, 0, 0, 0}, 0, 0},           {{0, 1, 0, 0}, 0, PW},          {{1, 1, 0, 0}, 0, PW},
        {{0, 2, 0, 0}, PH / 2, PW / 2}, {{1, 2, 1, 1}, PH / 2, PW / 2},
    };
    for (const Case& c : cases) {
        LONG x = 0, y = 0;
        Make(c.setting).Reverse(x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST(AxisTransformTest, ExtremeValuesSaturate) {
    AxisTransform t = Make({0, 2, 0, 0}, INT32_MAX, INT32_MAX);
    LONG x = INT32_MIN, y = INT32_MIN;
    t.Forward(x, y);
    EXPECT_EQ(x, INT32_MIN);
    EXPECT_EQ(y, INT32_MAX);
}

} // namespace
