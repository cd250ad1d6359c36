// Every bitmap of the test set traced and re-rasterised by FreeType's outline rasteriser.

#include <gtest/gtest.h>

#include <cmath>

#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>

#include "TraceTestUtil.h"

namespace {

Path TraceWith(const Pixels& p, bool preset) {
    if (preset) {
        SetDefaultPreset();
    } else {
        SetTraceParam(nullptr, 0, 0, 0, 0);
        SetExtTraceParam(1, 1, 1, 1, 1, 1, 5, 5, 0);
    }
    HDIB dib = MakeMonoDib(p);
    EXPECT_EQ(PrepareTracing(dib), 1);
    Path out;
    TraceAll(dib, out);
    GlobalFree(dib);
    return out;
}

class Reproduction : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Reproduction, ExactOutlinesRasteriseToTheSourceAndEncloseItsPixelCount) {
    const NamedBitmap& b = TestSet()[GetParam()];
    Path out = TraceWith(b.pixels, false);
    for (const SubPath& sp : out.subPaths)
        for (const PathMember& m : sp.members) ASSERT_FALSE(m.IsCurve());
    Pixels back = Rasterise(out, b.pixels.w, b.pixels.h);
    EXPECT_EQ(XorCount(back, b.pixels), 0) << b.name;
    EXPECT_EQ(PolygonArea(out), double(b.pixels.Count())) << b.name;
}

std::string Name(const ::testing::TestParamInfo<std::size_t>& info) {
    return TestSet()[info.param].name;
}

INSTANTIATE_TEST_SUITE_P(TestSet, Reproduction, ::testing::Range<std::size_t>(0, 16), Name);

TEST(ReproductionNoise, RandomPixelsAtEveryDensity) {
    // Noise is all corner contacts, holes, splits and joins; exact tracing must still
    // enclose exactly the traced pixels.
    std::uint32_t state = 12345;
    for (int density : {10, 30, 50, 70, 90}) {
        for (int round = 0; round < 4; ++round) {
            Pixels p(37 + round * 11, 29 + round * 7);
            for (auto& v : p.px) {
                state = state * 1664525u + 1013904223u;
                v = (state >> 8) % 100 < unsigned(density);
            }
            Path out = TraceWith(p, false);
            EXPECT_EQ(XorCount(Rasterise(out, p.w, p.h), p), 0) << density << "/" << round;
            EXPECT_EQ(PolygonArea(out), double(p.Count())) << density << "/" << round;
        }
    }
}

} // namespace
