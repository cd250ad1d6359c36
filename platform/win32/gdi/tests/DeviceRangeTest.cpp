// The device range: coordinates computed past a LONG end at its edge, never wrap round.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "GdiFixture.h"
#include "win32/DeviceRange.h"

namespace {

constexpr std::int64_t Max = INT32_MAX, Min = INT32_MIN;

TEST(DeviceRange, CoordinatesNearTheEndsAreClamped) {
    struct Case {
        std::int64_t value;
        LONG want;
    };
    const Case sums[] = {
        {Max - 1, INT32_MAX - 1},
        {Max, INT32_MAX},
        {Max + 1, INT32_MAX},
        {Max + 100000, INT32_MAX},
        {Max + Max, INT32_MAX},
        {std::numeric_limits<std::int64_t>::max(), INT32_MAX},
        {Min + 1, INT32_MIN + 1},
        {Min, INT32_MIN},
        {Min - 1, INT32_MIN},
        {Min + Min, INT32_MIN},
        {std::numeric_limits<std::int64_t>::min(), INT32_MIN},
        {0, 0},
    };
    for (const Case& c : sums)
        EXPECT_EQ(SdDeviceCoord(c.value), c.want) << c.value;

    const double inf = std::numeric_limits<double>::infinity();
    struct Scaled {
        double value;
        LONG want;
    };
    const Scaled scaled[] = {
        {2147483646.0, INT32_MAX - 1},
        {2147483647.0, INT32_MAX},
        {2147483647.75, INT32_MAX},
        {4.0e9, INT32_MAX},
        {1.0e300, INT32_MAX},
        {inf, INT32_MAX},
        {-2147483648.0, INT32_MIN},
        {-2147483648.5, INT32_MIN},
        {-inf, INT32_MIN},
        {std::nan(""), 0},
        {-7.0, -7},
    };
    for (const Scaled& c : scaled)
        EXPECT_EQ(SdDeviceCoord(c.value), c.want) << c.value;

    // A rectangle at both ends grown and shrunk.
    RECT r{INT32_MIN + 1, -5, INT32_MAX - 1, 5};
    SdInflateDeviceRect(r, 1, 1);
    EXPECT_EQ(r.left, INT32_MIN);
    EXPECT_EQ(r.right, INT32_MAX);
    SdInflateDeviceRect(r, 100, INT32_MAX);
    EXPECT_EQ(r.left, INT32_MIN);
    EXPECT_EQ(r.top, INT32_MIN);
    EXPECT_EQ(r.right, INT32_MAX);
    EXPECT_EQ(r.bottom, INT32_MAX);
    SdInflateDeviceRect(r, -1, -1);
    EXPECT_EQ(r.left, INT32_MIN + 1);
    EXPECT_EQ(r.right, INT32_MAX - 1);
}

// The mapping of a context clamps through the same rule: a logical point far out lands on
// the edge, halves rounding up.
TEST(DeviceRange, MappedPointsEndAtTheEdge) {
    DibCanvas canvas(10, 10);
    SetMapMode(canvas.dc, MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc, 2, 2, nullptr);
    SetViewportExtEx(canvas.dc, 5, 5, nullptr);
    POINT p[] = {{INT32_MAX - 10, INT32_MIN + 10}, {1, -1}, {3, -3}};
    ASSERT_TRUE(LPtoDP(canvas.dc, p, 3));
    EXPECT_EQ(p[0].x, INT32_MAX);
    EXPECT_EQ(p[0].y, INT32_MIN);
    EXPECT_EQ(p[1].x, 3);  // 2.5
    EXPECT_EQ(p[1].y, -2); // -2.5
    EXPECT_EQ(p[2].x, 8);  // 7.5
}

// A pen is at most as wide as the device range: a dot under a world transform of strong zoom
// is a disc that covers the surface, whatever the zoom.
TEST(DeviceRange, PensWiderThanTheRangeStillPaint) {
    for (float zoom : {1e6f, 1e30f, std::numeric_limits<float>::max()}) {
        DibCanvas canvas(20, 20);
        canvas.Clear();
        SetGraphicsMode(canvas.dc, GM_ADVANCED);
        const XFORM x{zoom, 0, 0, zoom, 0, 0};
        ASSERT_TRUE(SetWorldTransform(canvas.dc, &x));
        HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(canvas.dc, pen);
        const POINT dot[] = {{0, 0}, {0, 0}};
        EXPECT_TRUE(Polyline(canvas.dc, dot, 2));
        SelectObject(canvas.dc, old);
        DeleteObject(pen);
        EXPECT_EQ(countColor(canvas.Read(), RGB(0, 0, 0)), 400) << zoom;
    }
}

// Regions hold ±2^30: a rectangle across the device range, made directly or from region
// data, ends there, whatever its width.
TEST(DeviceRange, RegionsAcrossTheRangeEndAtTheRegionRange) {
    constexpr LONG End = 1 << 30;
    const RECT wide{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    std::vector<char> buf(sizeof(RGNDATAHEADER) + sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    data->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, sizeof(RECT), wide};
    std::memcpy(data->Buffer, &wide, sizeof wide);
    for (HRGN rgn :
         {CreateRectRgnIndirect(&wide), ExtCreateRegion(nullptr, DWORD(buf.size()), data)}) {
        ASSERT_NE(rgn, nullptr);
        RECT box{};
        EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
        EXPECT_EQ(box.left, -End);
        EXPECT_EQ(box.top, -End);
        EXPECT_EQ(box.right, End);
        EXPECT_EQ(box.bottom, End);
        DeleteObject(rgn);
    }
}

} // namespace
