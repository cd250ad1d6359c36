// Drawing paths on device contexts: fills in bands, strokes, the node display, clip regions
// and GDI paths, checked on 24-bit DIB sections and on the recording context.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "PathTestUtil.h"
#include "mfc/CDC.h"
#include "mfc/CPreviewDC.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/PathDraw.h"
#include "testing/DibCanvas.h"
#include "win32/GdiTesting.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

// A CDC over a white 24-bit top-down DIB section with a black brush.
struct Canvas : DibCanvas {
    Canvas(int w, int h) : DibCanvas(w, h) {
        Clear();
        dc.SelectStockObject(BLACK_BRUSH);
    }
};

int Count(const SdGdiImage& img, COLORREF c) {
    int n = 0;
    for (COLORREF p : img.pixels) n += p == c;
    return n;
}

int Differing(const SdGdiImage& a, const SdGdiImage& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

// A circle of four Bezier quarters; counter-clockwise unless reversed.
void Circle(Path& path, float cx, float cy, float r, bool reversed = false) {
    const float k = 0.5522847f * r;
    float s = reversed ? -1.0f : 1.0f;
    path.MoveTo(floatPoint(cx + r, cy));
    path.CurveTo(floatPoint(cx + r, cy + s * k), floatPoint(cx + k, cy + s * r), floatPoint(cx, cy + s * r));
    path.CurveTo(floatPoint(cx - k, cy + s * r), floatPoint(cx - r, cy + s * k), floatPoint(cx - r, cy));
    path.CurveTo(floatPoint(cx - r, cy - s * k), floatPoint(cx - k, cy - s * r), floatPoint(cx, cy - s * r));
    path.CurveTo(floatPoint(cx + k, cy - s * r), floatPoint(cx + r, cy - s * k), floatPoint(cx + r, cy));
    path.ClosePath();
}

class PathDrawTest : public ::testing::Test {
protected:
    void TearDown() override { SdGdiResetTesting(); }
    floatTMatrix identity;
};

TEST_F(PathDrawTest, RingFillLeavesTheHoleAndCoversTheArea) {
    Canvas c(100, 100);
    Path ring;
    Circle(ring, 50, 50, 40);
    Circle(ring, 50, 50, 20, true);
    ASSERT_EQ(Paint(&c.dc, identity, ring, PP_FILL), 1);
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(50, 50), White);
    EXPECT_EQ(img.at(50, 40), White);
    EXPECT_EQ(img.at(50, 20), Black);
    // Within a pixel on each edge row: 2 × 80 rows outside, 2 × 40 rows inside.
    double area = M_PI * (40.0 * 40 - 20.0 * 20);
    EXPECT_NEAR(Count(img, Black), area, 240);
    // The pen was restored after the fill.
    EXPECT_EQ(GetCurrentObject(c.dc.m_hDC, OBJ_PEN), GetStockObject(BLACK_PEN));
}

TEST_F(PathDrawTest, BandsGiveIdenticalPixelsAndGivingUpIsReported) {
    // Diamond ring: 45-degree edges cross every row at whole pixels, so band clipping is exact.
    Path ring;
    pathtest::Polygon(ring, {{50, 10}, {90, 50}, {50, 90}, {10, 50}});
    pathtest::Polygon(ring, {{50, 30}, {30, 50}, {50, 70}, {70, 50}});
    Canvas whole(100, 100), banded(100, 100);
    ASSERT_EQ(Paint(&whole.dc, identity, ring, PP_FILL), 1);
    SdGdiFailCall("PolyPolygon", 3); // the whole, then both halves, split again
    SdGdiSetLogging(banded.dc.m_hDC, true);
    ASSERT_EQ(Paint(&banded.dc, identity, ring, PP_FILL), 1);
    int calls = 0;
    for (const std::string& line : SdGdiCallLog(banded.dc.m_hDC)) calls += line.rfind("Poly", 0) == 0;
    EXPECT_GE(calls, 7); // 3 failed, 4 quarter bands
    EXPECT_EQ(Differing(whole.Read(), banded.Read()), 0);
    EXPECT_GT(Count(whole.Read(), Black), 0);

    // GDI failing for good: bands shrink to single rows, are given up, and Paint says so.
    Canvas failing(100, 100);
    SdGdiFailCall("PolyPolygon", -1);
    SdGdiFailCall("Polygon", -1);
    EXPECT_EQ(Paint(&failing.dc, identity, ring, PP_FILL), 0);
    EXPECT_EQ(Count(failing.Read(), Black), 0);
    SdGdiClearFailures();
}

TEST_F(PathDrawTest, OpenPathsFillNothingAndTwoPointContoursDrop) {
    Canvas c(50, 50);
    Path open;
    open.MoveTo(floatPoint(5, 5));
    open.LineTo(floatPoint(40, 5));
    open.LineTo(floatPoint(40, 40));
    open.ClosePath();
    EXPECT_EQ(Paint(&c.dc, identity, open, PP_FILL), 1);
    EXPECT_EQ(Count(c.Read(), Black), 0);
    CRgn rgn;
    EXPECT_EQ(PathRegion(&rgn, identity, open), 0);
    Path flat; // closed, but only two points apart
    pathtest::Polygon(flat, {{5, 5}, {40, 5}});
    EXPECT_EQ(Paint(&c.dc, identity, flat, PP_FILL), 1);
    EXPECT_EQ(Count(c.Read(), Black), 0);
    // Stroking draws the open path: one pixel per step along both lines.
    EXPECT_EQ(Paint(&c.dc, identity, open, PP_STROKE), 1);
    EXPECT_EQ(Count(c.Read(), Black), 70);
}

TEST_F(PathDrawTest, TransformKeepsRectanglesOrderedUnderRotation) {
    floatTMatrix rot(0, 1, -1, 0, 100, 0); // 90 degrees, then shifted right
    floatBBox box(10, 20, 30, 60);
    CRect r;
    Transform(rot, box, r);
    EXPECT_EQ(r, CRect(40, 10, 80, 30));
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.top, r.bottom);
}

// The node display on the recording context.
std::vector<std::string> Mark(int x, int y, int h) {
    auto p = [](const char* f, int a, int b) { return std::string(f) + "(" + std::to_string(a) + "," + std::to_string(b) + ")"; };
    return {p("MoveToEx", x - h, y - h), p("LineTo", x + h, y - h), p("LineTo", x + h, y + h),
            p("LineTo", x - h, y + h),   p("LineTo", x - h, y - h), p("MoveToEx", x, y)};
}
std::string Mv(int x, int y) {
    return "MoveToEx(" + std::to_string(x) + "," + std::to_string(y) + ")";
}
std::string Ln(int x, int y) {
    return "LineTo(" + std::to_string(x) + "," + std::to_string(y) + ")";
}
std::vector<std::string> Cat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct NodeCase {
    const char* name;
    unsigned flags;
    std::vector<std::string> expected;
};

TEST_F(PathDrawTest, NodeDisplaySequences) {
    // A line (plain node), a smooth curve, a symmetric curve, then a line that starts away
    // from the previous end (a gap) and ends away from the first start (another).
    SubPath sp;
    PathMember line1(floatPoint(0, 0), floatPoint(10, 0));
    PathMember curve1(floatPoint(10, 0), floatPoint(20, 10));
    curve1.flags = PM_CURVE | PM_SMOOTH | PM_SELECTED | PM_START_SEL | PM_CTRL2_SEL;
    curve1.ctrl1 = floatPoint(14, 0);
    curve1.ctrl2 = floatPoint(20, 6);
    PathMember curve2(floatPoint(20, 10), floatPoint(10, 20));
    curve2.flags = PM_CURVE | PM_SYMMETRIC;
    curve2.ctrl1 = floatPoint(20, 14);
    curve2.ctrl2 = floatPoint(14, 20);
    PathMember line2(floatPoint(8, 20), floatPoint(0, 2));
    line2.flags = PM_SMOOTH;
    for (PathMember* pm : {&line1, &curve1, &curve2, &line2}) *sp.members.Append() = *pm;

    const std::vector<std::string> gap12 = Cat({Mark(10, 20, 5), Mark(8, 20, 4)});
    const std::vector<std::string> gapEnd = Cat({Mark(0, 2, 5), Mark(0, 0, 4)});
    const NodeCase cases[] = {
        {"marks", PD_NODES | PD_NO_VISIBILITY,
         Cat({{Mv(0, 0)}, Mark(0, 0, 2), {Ln(10, 0)}, Mark(10, 0, 2),
              {Mv(10, 0)}, Mark(10, 0, 1), Mark(20, 10, 2),
              {Mv(20, 10)}, Mark(20, 10, 3), Mark(10, 20, 2), gap12,
              {Mv(8, 20)}, Mark(8, 20, 1), {Ln(0, 2)}, Mark(0, 2, 2), gapEnd})},
        {"handles of curves only", PD_HANDLES | PD_ONLY_CURVES | PD_NO_VISIBILITY,
         Cat({{Mv(10, 0), Mv(10, 0), Ln(14, 0)}, Mark(14, 0, 2), Mark(20, 6, 2), {Ln(20, 10)},
              {Mv(20, 10), Mv(20, 10), Ln(20, 14)}, Mark(20, 14, 2), Mark(14, 20, 2), {Ln(10, 20)}})},
        {"selection-aware, selected only", PD_SELECTION_AWARE | PD_ONLY_SELECTED | PD_NO_VISIBILITY,
         Cat({{Mv(10, 0)}, Mark(10, 0, 1), Mark(20, 6, 2), {Ln(20, 10)}})},
        {"lines only, unselected", PD_NODES | PD_ONLY_LINES | PD_ONLY_UNSELECTED | PD_NO_VISIBILITY,
         Cat({{Mv(0, 0)}, Mark(0, 0, 2), {Ln(10, 0)}, Mark(10, 0, 2),
              {Mv(8, 20)}, Mark(8, 20, 1), {Ln(0, 2)}, Mark(0, 2, 2), gapEnd})},
    };
    HDC rec = SdCreateRecordingDC(100, 100);
    CDC dc;
    dc.Attach(rec);
    for (const NodeCase& k : cases) {
        SdGdiClearCallLog(rec);
        Paint(&dc, identity, sp, k.flags);
        EXPECT_EQ(SdGdiCallLog(rec), k.expected) << k.name;
    }
    // A zero-length line draws nothing at all.
    SdGdiClearCallLog(rec);
    PathMember dot(floatPoint(3, 3), floatPoint(3.2f, 3.1f));
    Draw(&dc, identity, dot, PD_NODES);
    EXPECT_TRUE(SdGdiCallLog(rec).empty());
}

TEST_F(PathDrawTest, NodeDisplayTwiceWithNotXorRestoresTheSurface) {
    Canvas c(60, 60);
    SetPixel(c.dc.m_hDC, 3, 3, RGB(9, 99, 199));
    SdGdiImage before = c.Read();
    Path path;
    Circle(path, 30, 30, 20);
    path.subPaths[0].members[0].flags |= PM_SELECTED;
    c.dc.SetROP2(R2_NOTXORPEN);
    const unsigned flags = PP_STROKE | PD_NODES | PD_HANDLES | PD_CURVE;
    Paint(&c.dc, identity, path, flags);
    EXPECT_GT(Differing(before, c.Read()), 100);
    Paint(&c.dc, identity, path, flags);
    EXPECT_EQ(c.Read().raw, before.raw);
}

TEST_F(PathDrawTest, ClipWithViewportOriginAndOutside) {
    Canvas c(100, 100);
    c.dc.SetViewportOrg(10, 10);
    Path tri;
    pathtest::Polygon(tri, {{0, 0}, {40, 0}, {0, 40}});
    ASSERT_EQ(Clip(&c.dc, identity, tri), 1);
    RECT box{0, 0, 40, 40};
    FillRect(c.dc.m_hDC, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(12, 12), Black);
    EXPECT_EQ(img.at(45, 45), White); // inside the box, outside the triangle
    EXPECT_EQ(img.at(5, 5), White);
    // A second path elsewhere leaves nothing visible.
    Path far;
    pathtest::Square(far, 60, 60, 10, false);
    EXPECT_EQ(Clip(&c.dc, identity, far), 0);
    Path empty;
    EXPECT_EQ(Clip(&c.dc, identity, empty), 1);
}

TEST_F(PathDrawTest, ClipOnAPreviewContext) {
    Canvas screen(100, 100);
    CPreviewDC preview;
    preview.SetOutputDC(screen.dc.m_hDC);
    preview.SetAttribDC(screen.dc.m_hDC);
    preview.SetScaleRatio(1, 2);
    preview.SetTopLeftOffset(CSize(5, 5));
    Path tri; // printer units
    pathtest::Polygon(tri, {{0, 0}, {80, 0}, {0, 80}});
    ASSERT_EQ(Clip(&preview, identity, tri), 1);
    RECT all{0, 0, 100, 100};
    FillRect(screen.dc.m_hDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SdGdiImage img = screen.Read();
    EXPECT_EQ(img.at(10, 10), Black);
    EXPECT_EQ(img.at(40, 40), White);
    EXPECT_EQ(img.at(3, 3), White);
    EXPECT_NEAR(Count(img, Black), 40 * 40 / 2, 45);
    preview.ReleaseOutputDC();
    preview.ReleaseAttribDC();
}

TEST_F(PathDrawTest, ClipBuildsLargeRegionsAndReportsFailures) {
    Canvas c(100, 100);
    Path many; // 20,000 points round a circle of radius 40
    const int n = 20000;
    many.MoveTo(floatPoint(90, 50));
    for (int i = 1; i < n; ++i) {
        double t = 2 * M_PI * i / n;
        many.LineTo(floatPoint(float(50 + 40 * std::cos(t)), float(50 + 40 * std::sin(t))));
    }
    many.LineTo(floatPoint(90, 50));
    many.ClosePath();
    ASSERT_EQ(Clip(&c.dc, identity, many), 1);
    RECT all{0, 0, 100, 100};
    FillRect(c.dc.m_hDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SdGdiImage img = c.Read();
    EXPECT_EQ(img.at(1, 1), White);
    EXPECT_EQ(img.at(50, 50), Black);
    EXPECT_NEAR(Count(img, Black), M_PI * 1600, 170);

    // The region cannot be made: 0, and the clip is left as it was.
    Canvas d(100, 100);
    Path tri;
    pathtest::Polygon(tri, {{0, 0}, {40, 0}, {0, 40}});
    SdGdiFailCall("CreatePolygonRgn", 1);
    EXPECT_EQ(Clip(&d.dc, identity, tri), 0);
    RECT box;
    EXPECT_EQ(d.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box.right, 100);
}

TEST_F(PathDrawTest, GdiPathAgreesWithPaint) {
    Path path;
    Circle(path, 50, 50, 30);
    pathtest::Square(path, 40, 40, 20, true);
    Canvas painted(100, 100), filled(100, 100), clipped(100, 100);
    Paint(&painted.dc, identity, path, PP_FILL);
    ASSERT_EQ(MakePath(&filled.dc, identity, path, 0, 0), 1);
    filled.dc.SetPolyFillMode(ALTERNATE);
    filled.dc.SelectStockObject(NULL_PEN);
    ASSERT_TRUE(filled.dc.FillPath());
    // Flattening differs by less than a pixel along the outline (2 π r ≈ 190 pixels).
    EXPECT_LT(Differing(painted.Read(), filled.Read()), 190);
    ASSERT_EQ(MakePath(&clipped.dc, identity, path, 1, 0), 1);
    ASSERT_TRUE(clipped.dc.SelectClipPath(RGN_AND));
    RECT all{0, 0, 100, 100};
    FillRect(clipped.dc.m_hDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_LT(Differing(painted.Read(), clipped.Read()), 190);
    // Strokes: the GDI path's outline against Paint's polylines.
    Canvas s1(100, 100), s2(100, 100);
    Paint(&s1.dc, identity, path, PP_STROKE);
    MakePath(&s2.dc, identity, path, 0, 0);
    s2.dc.StrokePath();
    EXPECT_LT(Differing(s1.Read(), s2.Read()), 120);
    // Only open sub-paths asked for, none there.
    EXPECT_EQ(MakePath(&s2.dc, identity, path, 0, 1), 0);
}

struct Collector : ContourProcessor {
    std::vector<POINT> points;
    using ContourProcessor::Output;
    void Output(CDC*, int x, int y) override { points.push_back(POINT{x, y}); }
};

TEST_F(PathDrawTest, ContourProcessorWalksTheOutline) {
    Canvas c(40, 40);
    Path square;
    pathtest::Square(square, 5, 5, 10, false);
    Collector col;
    ASSERT_EQ(Paint(&c.dc, identity, square, &col, PP_FILL), 1);
    // Four sides of ten steps each, every point once.
    EXPECT_EQ(col.points.size(), 40u);
    Collector line;
    line.ContourProcessor::Output(nullptr, 0, 0, 5, 2);
    std::vector<std::pair<int, int>> got;
    for (POINT p : line.points) got.emplace_back(p.x, p.y);
    std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    EXPECT_EQ(got, expected);
}

} // namespace
