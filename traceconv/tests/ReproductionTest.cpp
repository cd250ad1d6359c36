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

} // namespace
