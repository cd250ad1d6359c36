// Fitted output with the trace settings' default preset.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>

#include "TraceTestUtil.h"

namespace {

Path TracePreset(const Pixels& p, bool snap = true) {
    SetDefaultPreset();
    if (!snap) SetExtTraceParam(1, 1, 1, 0, 0, 1, 5, 5, 0);
    HDIB dib = MakeMonoDib(p);
    EXPECT_EQ(PrepareTracing(dib), 1);
    Path out;
    TraceAll(dib, out);
    GlobalFree(dib);
    return out;
}

// XOR pixels of the default preset's output, measured on this tracer and rounded up by a
// tenth. The preset removes bumps up to 10 pixels wide, smooths steps up to 3 pixels long
// and drops outlines of 3 pixels or less: small glyphs lose most of their detail.
const std::map<std::string, long> PresetXorBound{
    {"sans8", 160},   {"sans12", 285},   {"sans24", 828},       {"sans72", 594},
    {"serif8", 205},  {"serif12", 324},  {"serif24", 878},      {"serif72", 583},
    {"liberation8", 193}, {"liberation12", 295}, {"liberation24", 624}, {"liberation72", 556},
    {"logo", 893},    {"lines", 172},    {"holes", 50},         {"checkerboard", 126},
};

TEST(FittedTest, DefaultPresetStaysWithinTheMeasuredXorAndNearTheEdges) {
    for (const NamedBitmap& b : TestSet()) {
        Path out = TracePreset(b.pixels);
        long x = XorCount(Rasterise(out, b.pixels.w, b.pixels.h), b.pixels);
        EXPECT_LE(x, PresetXorBound.at(b.name)) << b.name;
        // Without snapping every differing pixel lies near a source edge: within 1.5 pixels
        // but for the inner corner of the 72-pixel DejaVu 'R' (1.58).
        Path loose = TracePreset(b.pixels, false);
        double far = XorDistanceFromEdges(b.pixels, Rasterise(loose, b.pixels.w, b.pixels.h));
        EXPECT_LE(far, b.name == "sans72" ? 1.6 : 1.5) << b.name;
    }
}

TEST(FittedTest, ADiscIsTracedMostlyAsCurvesOnTheCircle) {
    const double r = 40, c = 50; // pixels
    Pixels disc(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) disc.at(x, y) = std::hypot(x + 0.5 - c, y + 0.5 - c) < r;
    Path out = TracePreset(disc);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    int curves = 0, lines = 0;
    for (const PathMember& m : out.subPaths[0].members) {
        (m.IsCurve() ? curves : lines)++;
        // On-curve points within a pixel of the true circle (half-pixel units).
        EXPECT_NEAR(std::hypot(m.end.x / 2 - c, m.end.y / 2 - c), r, 1.0);
    }
    EXPECT_GT(curves, 3 * lines);
    EXPECT_LE(XorCount(Rasterise(out, 100, 100), disc), 60);
}

TEST(FittedTest, LongStraightEdgesStayLinesExactlyAxisParallel) {
    // A rectangle with a notch cut into its bottom edge.
    Pixels p(100, 70);
    for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 90; ++x) p.at(x, y) = !(y >= 45 && x >= 40 && x < 60);
    Path out = TracePreset(p);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    int axisLines = 0;
    for (const PathMember& m : out.subPaths[0].members) {
        float dx = m.end.x - m.start.x, dy = m.end.y - m.start.y;
        if (std::hypot(dx, dy) < 30) continue; // long edges only: 15 pixels or more
        EXPECT_FALSE(m.IsCurve());
        EXPECT_TRUE(dx == 0 || dy == 0) << m.start.x << "," << m.start.y << " " << m.end.x << ","
                                        << m.end.y;
        ++axisLines;
    }
    // The four sides, the two bottom pieces beside the notch and its right side; its left
    // side comes out shorter, partly fitted into the corner's curve.
    EXPECT_GE(axisLines, 6);
    EXPECT_LE(XorCount(Rasterise(out, 100, 70), p), 40);
}

TEST(FittedTest, AStraightRunBeyondFiftyTolerancesStaysOneLine) {
    // No post-processing, no simplification: the fitter alone. The rectangle's top and
    // bottom edges are single 60-pixel steps (120 half-pixels, beyond 50 x 1.0).
    Pixels p(64, 12);
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 62; ++x) p.at(x, y) = 1;
    SetTraceParam(nullptr, 0, 0, 0, 0.5f);
    SetExtTraceParam(0, 0, 0, 0, 0, 0, 5, 5, 0);
    HDIB dib = MakeMonoDib(p);
    PrepareTracing(dib);
    Path out;
    TraceAll(dib, out);
    GlobalFree(dib);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    int spans = 0;
    for (const PathMember& m : out.subPaths[0].members) {
        if (std::fabs(m.end.x - m.start.x) == 120 && m.end.y == m.start.y) {
            EXPECT_FALSE(m.IsCurve());
            ++spans;
        }
    }
    EXPECT_EQ(spans, 2);
    EXPECT_EQ(XorCount(Rasterise(out, 64, 12), p), 0);
}

} // namespace

namespace {

// What the trace settings promise, in pixels: where bumps or steps are simplified the outline
// moves by at most one pixel, and the curves stay within twice the tolerance (the fit's
// tolerance with a minimum size, the smoothing's refit in any case).
double PromisedDistance(int a, int b, float f) {
    return ((a || b) ? 1.0 : 0.0) + 2 * f;
}

TEST(FittedTest, SmallShapesStayWithinThePromisedDistance) {
    struct Shape {
        const char* name;
        std::vector<std::string> rows;
    };
    const std::vector<Shape> shapes = {
        {"block 5x3", {"#####", "#####", "#####"}},
        {"line 1x12", {"############"}},
        {"line 12x1", {"#", "#", "#", "#", "#", "#", "#", "#", "#", "#", "#", "#"}},
        {"checker 2x2", {"# ", " #"}},
        {"ring", {" ##### ", "#######", "##   ##", "##   ##", "##   ##", "#######", " ##### "}},
        {"bar on a stem", {"##########", "    ##    ", "    ##    ", "    ##    ", "    ##    "}},
    };
    struct Setting {
        int a, b, c;
        float f;
    };
    for (Setting s : {Setting{10, 3, 3, 0.5f}, Setting{10, 3, 0, 0.5f}, Setting{0, 0, 0, 1.0f}}) {
        const double promise = PromisedDistance(s.a, s.b, s.f);
        for (const Shape& shape : shapes) {
            Pixels p = FromText(shape.rows);
            Pixels framed(p.w + 4, p.h + 4);
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x) framed.at(x + 2, y + 2) = p.at(x, y);
            auto trace = [&](int a, int b, float f) {
                SetTraceParam(nullptr, a, b, s.c, f);
                SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
                HDIB dib = MakeMonoDib(framed);
                PrepareTracing(dib);
                Path out;
                TraceAll(dib, out);
                GlobalFree(dib);
                return out;
            };
            // The exact outlines the same minimum size leaves.
            Path exact = trace(0, 0, 0), fitted = trace(s.a, s.b, s.f);
            std::string what = std::string(shape.name) + " a" + std::to_string(s.a) + " b" +
                               std::to_string(s.b) + " c" + std::to_string(s.c) + " f" +
                               std::to_string(s.f);
            OutlineDistance d = MeasureOutlineDistance(fitted, exact);
            EXPECT_LE(d.outward, promise) << what << " at " << d.outwardAt[0] << "," << d.outwardAt[1];
            EXPECT_LE(d.inward, promise) << what << " at " << d.inwardAt[0] << "," << d.inwardAt[1];
            EXPECT_LE(std::fabs(NetArea(fitted) - NetArea(exact)), promise * Perimeter(exact)) << what;
        }
    }
}

} // namespace
