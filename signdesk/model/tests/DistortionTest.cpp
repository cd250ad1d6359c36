// Envelope, perspective and sphere mappings, checked on a 5 x 5 grid over a 100 mm square.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "PathArea.h"
#include "SquarePath.h"
#include "model/CEnvSphereTrans.h"
#include "model/CPathObj.h"
#include "model/CPerspectiveTrans.h"
#include "model/CSphereTrans.h"
#include "pathkit/NumericToolkit.h"

namespace {

constexpr float kSide = 100;

std::vector<floatPoint> Grid() {
    std::vector<floatPoint> g;
    for (int j = 0; j <= 4; ++j)
        for (int i = 0; i <= 4; ++i)
            g.emplace_back(kSide * i / 4, kSide * j / 4);
    return g;
}

PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e) {
    PathMember m(s, e);
    m.flags = PM_CURVE;
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    return m;
}

// A straight edge with its control points at the thirds.
PathMember Edge(floatPoint s, floatPoint e) {
    return Curve(s, s + (e - s) / 3.0, s + (e - s) * (2.0 / 3.0), e);
}

void BuildSquare(Path& p, float x0, float y0, float s) {
    AddSquare(p, x0, y0, s);
    p.Prepare();
}

struct Patch {
    CEnvSphereTrans trans{0.01f, 30, 0, 0};
    // Straight sides, the top edge's control points raised by h.
    explicit Patch(float h) {
        const floatPoint lb(0, 0), rb(kSide, 0), lt(0, kSide), rt(kSide, kSide);
        PathMember top = Edge(lt, rt);
        top.ctrl1.y += h;
        top.ctrl2.y += h;
        trans.SetPatch(floatBBox(0, 0, kSide, kSide), Edge(lb, rb), Edge(rb, rt), top,
                       Edge(lb, lt));
    }
};

double B(int i, double t) {
    const double w[4] = {(1 - t) * (1 - t) * (1 - t), 3 * t * (1 - t) * (1 - t),
                         3 * t * t * (1 - t), t * t * t};
    return w[i];
}

} // namespace

TEST(EnvSphereTransTest, StraightEdgesGiveTheIdentity) {
    Patch patch(0);
    for (floatPoint p : Grid()) {
        floatPoint q = p;
        patch.trans.TransformPoint(q);
        EXPECT_NEAR(q.x, p.x, 1e-4) << p.x << "," << p.y;
        EXPECT_NEAR(q.y, p.y, 1e-4) << p.x << "," << p.y;
    }
}

TEST(EnvSphereTransTest, RaisedTopEdgeLiftsTheUpperRows) {
    const float h = 8;
    Patch patch(h);
    for (floatPoint p : Grid()) {
        floatPoint q = p;
        patch.trans.TransformPoint(q);
        const double u = p.x / kSide, v = p.y / kSide;
        // The raised controls and the inner points that follow them: rows 2 and 3, columns 1, 2.
        const double lift = h * (B(1, u) + B(2, u)) * (B(2, v) + B(3, v));
        EXPECT_NEAR(q.x, p.x, 1e-4);
        EXPECT_NEAR(q.y, p.y + lift, 1e-4) << p.x << "," << p.y;
    }
    floatPoint topMiddle(50, 100), centre(50, 50);
    patch.trans.TransformPoint(topMiddle);
    patch.trans.TransformPoint(centre);
    EXPECT_NEAR(topMiddle.y, 100 + 0.75 * h, 1e-4);
    EXPECT_NEAR(centre.y, 50 + 0.375 * h, 1e-4);
}

TEST(EnvSphereTransTest, DistortedSquareGainsTheAreaUnderTheTopCurve) {
    const float h = 20;
    Patch patch(h);
    CPathObj obj;
    BuildSquare(obj.m_path, 0, 0, kSide);
    obj.Distort(patch.trans);
    ASSERT_EQ(obj.m_path.subPaths.Filled(), 1);
    EXPECT_TRUE(obj.m_path.subPaths[0].IsClosed());
    // The top curve bounds an extra h * side * (1/4 + 1/4).
    EXPECT_NEAR(std::fabs(SignedArea(obj.m_path)), kSide * kSide + 0.5 * h * kSide, 5.0);
}

TEST(EnvSphereTransTest, FlatBoxLeavesPointsAlone) {
    CEnvSphereTrans t(0.01f, 30, 0, 0);
    const PathMember e = Edge({0, 0}, {100, 0});
    t.SetPatch(floatBBox(0, 0, 100, 0), e, e, e, e);
    floatPoint p(30, 40);
    t.TransformPoint(p);
    EXPECT_EQ(p.x, 30);
    EXPECT_EQ(p.y, 40);
}

namespace {

const floatPoint kQuad[4] = {{10, 0}, {90, 20}, {0, 100}, {120, 110}};

void SetQuad(CPerspectiveTrans& t, const floatPoint q[4]) {
    ASSERT_EQ(t.SetCorners(0, kSide, 0, kSide, q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y,
                           q[3].x, q[3].y),
              1);
}

double Cross(floatPoint o, floatPoint a, floatPoint b) {
    return (double(a.x) - o.x) * (double(b.y) - o.y) - (double(a.y) - o.y) * (double(b.x) - o.x);
}

} // namespace

TEST(PerspectiveTransTest, BoxCornersOntoTheQuadAndLinesStayStraight) {
    CPerspectiveTrans t(0.01f, 30, 0, 0);
    SetQuad(t, kQuad);
    const floatPoint corners[4] = {{0, 0}, {kSide, 0}, {0, kSide}, {kSide, kSide}};
    for (int i = 0; i < 4; ++i) {
        floatPoint p = corners[i];
        t.TransformPoint(p);
        EXPECT_NEAR(p.x, kQuad[i].x, 1e-3) << i;
        EXPECT_NEAR(p.y, kQuad[i].y, 1e-3) << i;
    }
    floatPoint centre(50, 50), crossing;
    t.TransformPoint(centre);
    ASSERT_TRUE(IntersectionPoint(kQuad[0], kQuad[3], kQuad[1], kQuad[2], crossing));
    EXPECT_NEAR(centre.x, crossing.x, 1e-3);
    EXPECT_NEAR(centre.y, crossing.y, 1e-3);

    // Every row and column of the grid stays on one straight line.
    std::vector<floatPoint> g = Grid();
    for (floatPoint& p : g)
        t.TransformPoint(p);
    for (int k = 0; k <= 4; ++k)
        for (int i = 1; i < 4; ++i) {
            const floatPoint *row = &g[std::size_t(5 * k)], *col = &g[std::size_t(k)];
            EXPECT_NEAR(Cross(row[0], row[4], row[i]), 0, 0.05) << "row " << k;
            EXPECT_NEAR(Cross(col[0], col[20], col[std::size_t(5 * i)]), 0, 0.05) << "col " << k;
        }
}

TEST(PerspectiveTransTest, BoxCornersOntoThemselvesGiveTheIdentity) {
    CPerspectiveTrans t(0.01f, 30, 0, 0);
    const floatPoint same[4] = {{0, 0}, {kSide, 0}, {0, kSide}, {kSide, kSide}};
    SetQuad(t, same);
    for (floatPoint p : Grid()) {
        floatPoint q = p;
        t.TransformPoint(q);
        EXPECT_NEAR(q.x, p.x, 1e-4);
        EXPECT_NEAR(q.y, p.y, 1e-4);
    }
}

TEST(PerspectiveTransTest, DegenerateBoxRefusedAndMappingKept) {
    CPerspectiveTrans t(0.01f, 30, 0, 0);
    SetQuad(t, kQuad);
    EXPECT_EQ(t.SetCorners(0, 0.00005f, 0, kSide, 0, 0, 1, 0, 0, 1, 1, 1), 0);
    EXPECT_EQ(t.SetCorners(0, kSide, 5, 5.00005f, 0, 0, 1, 0, 0, 1, 1, 1), 0);
    floatPoint p(0, 0);
    t.TransformPoint(p);
    EXPECT_NEAR(p.x, kQuad[0].x, 1e-3);
    EXPECT_NEAR(p.y, kQuad[0].y, 1e-3);
}

TEST(PerspectiveTransTest, PointOnTheVanishingLineStaysPut) {
    // The top edge shrunk to half its width: the line y = -100 of the box's plane maps to
    // infinity.
    CPerspectiveTrans t(0.01f, 30, 0, 0);
    const floatPoint trapezoid[4] = {{0, 0}, {kSide, 0}, {25, kSide}, {75, kSide}};
    SetQuad(t, trapezoid);
    floatPoint far(30, -100);
    t.TransformPoint(far);
    EXPECT_EQ(far.x, 30);
    EXPECT_EQ(far.y, -100);
    floatPoint near(30, -99);
    t.TransformPoint(near);
    EXPECT_GT(std::fabs(near.y), 1000);
}

TEST(PerspectiveTransTest, ClosedContourStaysJoined) {
    CPerspectiveTrans t(0.01f, 30, 0, 0);
    SetQuad(t, kQuad);
    Path path;
    path.MoveTo({10, 10});
    path.LineTo({90, 20});
    path.LineTo({40, 80});
    path.LineTo({10, 10});
    path.ClosePath();
    t.Transform(path);
    const SubPath& sp = path.subPaths[0];
    ASSERT_EQ(sp.members.Filled(), 3);
    for (std::uint16_t i = 0; i < 3; ++i) {
        const PathMember& m = sp.members[i];
        EXPECT_FALSE(m.IsCurve());
        const floatPoint& next = sp.members[std::uint16_t((i + 1) % 3)].start;
        EXPECT_EQ(m.end.x, next.x) << i;
        EXPECT_EQ(m.end.y, next.y) << i;
    }
    floatPoint first(10, 10);
    t.TransformPoint(first);
    EXPECT_EQ(sp.members[0].start.x, first.x);
    EXPECT_TRUE(sp.IsClosed());
    EXPECT_TRUE(sp.state & SP_ALL_INVALID);
}

TEST(SphereTransTest, BulgeInsideTheRimOnly) {
    CSphereTrans t(0.01f, 30, 0, 0);
    t.SetParams(50, 50, 10, 1.5707964);
    const struct {
        float dx, dy;
        double expected; // distance from the centre afterwards
    } rows[] = {{5, 0, 7.0710678}, {0, -5, 7.0710678}, {3, 4, 7.0710678},
                {12, 0, 12},       {10, 0, 10},        {0, 0, 0}};
    for (const auto& row : rows) {
        floatPoint p(50 + row.dx, 50 + row.dy);
        t.TransformPoint(p);
        const double dx = p.x - 50.0, dy = p.y - 50.0;
        EXPECT_NEAR(std::hypot(dx, dy), row.expected, 1e-5) << row.dx << "," << row.dy;
        // Along the same ray.
        EXPECT_NEAR(dx * row.dy - dy * row.dx, 0, 1e-5);
    }

    // Over the grid, with a sphere reaching the grid's corners' neighbours.
    t.SetParams(50, 50, 50, 1.0);
    for (floatPoint p : Grid()) {
        floatPoint q = p;
        t.TransformPoint(q);
        const double r = std::hypot(p.x - 50.0, p.y - 50.0);
        const double expected = r > 50 ? r : 50 * std::sin(r / 50) / std::sin(1.0);
        EXPECT_NEAR(std::hypot(q.x - 50.0, q.y - 50.0), expected, 1e-4);
    }
}

TEST(SphereTransTest, UnusableSphereLeavesPointsAlone) {
    const struct { double R, A; } rows[] = {{10, 0}, {10, M_PI}, {0, 1}, {-5, 1}, {10, NAN}};
    for (const auto& row : rows) {
        CSphereTrans t(0.01f, 30, 0, 0);
        t.SetParams(0, 0, row.R, row.A);
        floatPoint p(3, 1);
        t.TransformPoint(p);
        EXPECT_EQ(p.x, 3) << row.R << " " << row.A;
        EXPECT_EQ(p.y, 1) << row.R << " " << row.A;
    }
}
