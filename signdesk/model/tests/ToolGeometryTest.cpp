// The tools' small geometry helpers: axis snapping of handle drags, range overlap, markers,
// and the outline view's default colours.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mfc/CDC.h"
#include "model/ToolGeometry.h"
#include "model/ViewColors.h"
#include "win32/GdiTesting.h"

TEST(ToolGeometryTest, RotatePointAboutSnapsToTheNearestQuarterTurn) {
    const double ref = 30 * M_PI / 180;
    const struct {
        double angleDeg; // of the vector, from the x axis
        double expectedDeg;
    } rows[] = {{40, 30},   {20, 30},   {100, 120}, {190, 210}, {250, 210},
                {280, 300}, {-50, -60}, {74, 30},   {76, 120}};
    for (const auto& row : rows) {
        const double a = row.angleDeg * M_PI / 180;
        floatPoint p(float(5 + 10 * std::cos(a)), float(-3 + 10 * std::sin(a)));
        RotatePointAbout(5, -3, p, ref);
        const double e = row.expectedDeg * M_PI / 180;
        EXPECT_NEAR(p.x, 5 + 10 * std::cos(e), 1e-4) << row.angleDeg;
        EXPECT_NEAR(p.y, -3 + 10 * std::sin(e), 1e-4) << row.angleDeg;
    }
    // The centre itself stays.
    floatPoint c(5, -3);
    RotatePointAbout(5, -3, c, ref);
    EXPECT_EQ(c.x, 5);
    EXPECT_EQ(c.y, -3);
}

TEST(ToolGeometryTest, RangesOverlapClosed) {
    const struct {
        float a0, a1, b0, b1;
        BOOL expected;
    } rows[] = {{0, 1, 1, 2, 1},  {0, 1, 1.001f, 2, 0}, {2, 3, 0, 2, 1},
                {0, 10, 4, 5, 1}, {4, 5, 0, 10, 1},     {-3, -2, -1, 0, 0}};
    for (const auto& row : rows) {
        floatRange a, b;
        a.low = row.a0;
        a.high = row.a1;
        b.low = row.b0;
        b.high = row.b1;
        EXPECT_EQ(RangesOverlap(a, b), row.expected) << row.a0 << " " << row.b0;
    }
}

TEST(ToolGeometryTest, MarkersAndDefaultColours) {
    HDC hdc = SdCreateRecordingDC(50, 50);
    CDC dc;
    dc.Attach(hdc);
    DrawSquareMarker(&dc, 10, 20, 3);
    DrawRoundMarker(&dc, 10, 20, 5);
    std::vector<std::string> calls;
    for (const std::string& line : SdGdiCallLog(hdc))
        if (line.rfind("Ellipse", 0) == 0 || line.rfind("Rectangle", 0) == 0) calls.push_back(line);
    EXPECT_EQ(calls, (std::vector<std::string>{"Rectangle(7,17,13,23)", "Ellipse(5,15,15,25)"}));
    dc.Detach();
    DeleteDC(hdc);

    const ViewColors defaults;
    EXPECT_EQ(defaults.LineColor, 0u);
    EXPECT_EQ(defaults.CurveColor, 0x7F7F7Fu);
    EXPECT_EQ(defaults.TraceBGColor, 0xFFFFFFu);
}
