#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GeomTestUtil.h"
#include "RecordingArchive.h"
#include "RecordingDevice.h"
#include "geomkit/WInterval.h"
#include "geomkit/WNode.h"
#include "geomkit/WSegment.h"
#include "geomkit/WSegmentPrepared.h"
#include "geomkit/WTransMatrix.h"

namespace {

using V = WVektor<float>;
using P = WPont<float>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kKappa = 0.5522847498307935;

WSegment Curve(P p0, P c1, P c2, P p3) {
    WSegment s;
    s.Initialize(p0, c1, c2, p3);
    return s;
}

WSegment Line(P p0, P p3) {
    WSegment s;
    s.Initialize(p0, p3);
    return s;
}

// The usual four-point quarter circle of radius r about the origin, from (r, 0) to (0, r).
WSegment QuarterCircle(float r) {
    float k = float(kKappa * r);
    return Curve(P(r, 0), P(r, k), P(k, r), P(0, r));
}

void ExpectPoint(const P& p, double x, double y, double tol = 1e-5) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

COXSPtr<WSegmentRef> At(float t) {
    return COXSPtr<WSegmentRef>(new WSegmentRef(t));
}

} // namespace

TEST(WSegment, InitialisationDecidesLineOrCurve) {
    WSegment s;
    EXPECT_EQ(s.GetFlags(), 0);
    s.Initialize(P(0, 0), V(0, 0), V(0, 0), P(1, 1));
    EXPECT_EQ(s.GetFlags(), WSegment::eVisible); // a visible line
    s.Initialize(P(0, 0), V(0, 0), V(0, -1e-30f), P(1, 1));
    EXPECT_EQ(s.GetFlags(), WSegment::eVisible | WSegment::eCurve);
    s.Initialize(P(0, 0), P(0, 0), P(1, 1), P(1, 1)); // control points on the ends
    EXPECT_FALSE(s.IsCurve());
    s.Initialize(P(0, 0), P(0, 1), P(1, 1), P(1, 1));
    EXPECT_TRUE(s.IsCurve());
    EXPECT_EQ(s.GetV1(), V(0, 1));
    s.Initialize(P(5, 5), P(6, 6)); // a line keeps the visible bit
    EXPECT_EQ(s.GetFlags(), WSegment::eVisible);
    s.MakeInvisible();
    EXPECT_FALSE(s.IsVisible());

    WNode a, b;
    a.Initialize(P(0, 0), V(1, 0));
    b.Initialize(P(3, 0));
    WSegment fromNodes(a, b);
    EXPECT_TRUE(fromNodes.IsCurve());
    EXPECT_EQ(fromNodes.GetV1(), V(1, 0));
    EXPECT_EQ(fromNodes.GetV2(), V(0, 0));
    a.Initialize(P(0, 0));
    b.Initialize(V(7, 7), P(3, 0));
    b.ClearFirstVector();
    EXPECT_FALSE(WSegment(a, b).IsCurve());
}

TEST(WSegment, EvaluationOfLinesAndCurves) {
    WSegment line = Line(P(0, 0), P(10, 0));
    ExpectPoint(line.CoordAtParam(0.5), 5, 0);
    EXPECT_EQ(line.GradientAtParam(0.3), V(10, 0));
    WSegmentPrepared prepared(line);
    ExpectPoint(prepared.CoordAtParamIfPrepared(0.25), 1.5625, 0); // the cubic form of a line
    ExpectPoint(prepared.CoordAtParamIfPrepared(0.5), 5, 0);

    WSegment q = QuarterCircle(10);
    ExpectPoint(q.CoordAtParam(0), 10, 0);
    ExpectPoint(q.CoordAtParam(1), 0, 10);
    P mid = q.CoordAtParam(0.5);
    EXPECT_NEAR(mid.x, mid.y, 1e-5);
    EXPECT_NEAR(std::hypot(mid.x, mid.y), 10, 1e-3); // the usual quarter-circle fit
    WSegmentPrepared pq(q);
    for (double t : {0.0, 0.2, 0.7, 1.0}) {
        ExpectPoint(pq.CoordAtParamIfPrepared(t), q.CoordAtParam(t).x, q.CoordAtParam(t).y, 1e-4);
        V g = q.GradientAtParam(t), h = pq.GradientAtParamIfPrepared(t);
        EXPECT_NEAR(g.x, h.x, 1e-4);
        EXPECT_NEAR(g.y, h.y, 1e-4);
    }
    ExpectPoint(P(q.GradientAtParam(0).x, q.GradientAtParam(0).y), 0, 3 * kKappa * 10, 1e-4);
}

TEST(WSegment, GradientAtEndsWithoutControlVectors) {
    WSegment s = Curve(P(0, 0), P(0, 0), P(5, 5), P(10, 0)); // V1 = 0
    EXPECT_EQ(s.GradientAtParam(0), s.GradientAtParam(0.001));
    WSegment e = Curve(P(0, 0), P(5, 5), P(10, 0), P(10, 0)); // V2 = 0
    EXPECT_EQ(e.GradientAtParam(1), e.GradientAtParam(0.999));

    WSegment degenerate;
    degenerate.Initialize(P(1, 1), V(0, 0), V(0, 0), P(1, 1));
    degenerate.Initialize(P(1, 1), V(1e-30f, 0), V(0, 0), P(1, 1)); // curve bit set
    EXPECT_TRUE(degenerate.IsCurve());
    WSegment point = Curve(P(1, 1), P(1, 1), P(1, 1), P(1, 1));
    EXPECT_FALSE(point.IsCurve());
    WSegment pointCurve = Curve(P(1, 1), P(1, 1), P(1, 1), P(1, 1));
    pointCurve.MakeQuarterEllipseShape(P(1, 1), P(1, 1), 0, 0, 0); // curve, all vectors zero
    EXPECT_EQ(pointCurve.GradientAtParam(0), V(1, 0));
    EXPECT_EQ(pointCurve.GradientAtParam(0.5), V(1, 0)); // a zero derivative is never returned
}

TEST(WSegment, DivisionMeetsTheCurvePoint) {
    WSegment q = Curve(P(0, 0), P(2, 8), P(9, 7), P(10, 0));
    COXSPtr<WSegment> a(new WSegment), b(new WSegment);
    q.Division(0.5f, a, b);
    ExpectPoint(a->GetP3(), q.CoordAtParam(0.5).x, q.CoordAtParam(0.5).y, 1e-6);
    EXPECT_EQ(a->GetP3(), b->GetP0());
    EXPECT_EQ(a->GetP0(), q.GetP0());
    EXPECT_EQ(b->GetP3(), q.GetP3());
    for (double t : {0.1, 0.3, 0.8}) {
        P pa = a->CoordAtParam(t), pb = b->CoordAtParam(t);
        ExpectPoint(pa, q.CoordAtParam(t / 2).x, q.CoordAtParam(t / 2).y, 1e-5);
        ExpectPoint(pb, q.CoordAtParam(0.5 + t / 2).x, q.CoordAtParam(0.5 + t / 2).y, 1e-5);
    }
    // Hand-checked halves: (0,0) (1,4) (3.25,5.75) (5.375,5.625) and on (7.5,5.5) (9.5,3.5).
    ExpectPoint(a->GetC1(), 1, 4);
    ExpectPoint(a->GetC2(), 3.25, 5.75);
    ExpectPoint(a->GetP3(), 5.375, 5.625);
    ExpectPoint(b->GetC1(), 7.5, 5.5);
    ExpectPoint(b->GetC2(), 9.5, 3.5);
    EXPECT_EQ(a->GetFlags(), q.GetFlags());

    // Splitting into itself works: everything is read before it is written.
    COXSPtr<WSegment> self(new WSegment(q)), rest(new WSegment);
    self->Division(0.5f, self, rest);
    ExpectPoint(self->GetC2(), 3.25, 5.75);
    ExpectPoint(rest->GetC1(), 7.5, 5.5);

    WSegment line = Line(P(0, 0), P(10, 0));
    line.Division(0.25f, a, b);
    ExpectPoint(a->GetP3(), 2.5, 0);
    ExpectPoint(b->GetP0(), 2.5, 0);
    EXPECT_FALSE(a->IsCurve());

    COXSPtr<WSegment> empty;
    EXPECT_TRUE(ThrowsMemoryException([&] { q.Division(0.5f, empty, b); }));
}

TEST(WSegment, CutoffReproducesAndShrinks) {
    WSegment q = Curve(P(0, 0), P(2, 8), P(9, 7), P(10, 0));
    COXSPtr<WSegment> whole = q.Cutoff(0, 1);
    ExpectPoint(whole->GetC1(), 2, 8);
    ExpectPoint(whole->GetC2(), 9, 7);
    COXSPtr<WSegment> part = q.Cutoff(WInterval(0.75, 0.25));
    for (double t : {0.0, 0.5, 1.0})
        ExpectPoint(part->CoordAtParam(t), q.CoordAtParam(0.25 + t / 2).x,
                    q.CoordAtParam(0.25 + t / 2).y, 1e-5);

    WSegment line = Line(P(0, 0), P(10, 0));
    line.MakeVisible();
    COXSPtr<WSegment> piece = line.Cutoff(0.2, 0.4);
    ExpectPoint(piece->GetP0(), 2, 0);
    ExpectPoint(piece->GetP3(), 4, 0);
    EXPECT_EQ(piece->GetFlags(), 0); // a fresh line: not visible
}

TEST(WSegment, ArcShapes) {
    WSegment arc;
    arc.MakeArcShape(P(0, 0), P(10, 0), P(0, 10));
    EXPECT_TRUE(arc.IsCurve());
    double k = kPi / 2 * 0.3484320557491289;
    ExpectPoint(arc.GetC1(), 10, 10 * k, 1e-4);
    ExpectPoint(arc.GetC2(), 10 * k, 10, 1e-4);

    // Anticlockwise from (10,0) to (0,−10) is three quarters: the minor arc goes clockwise.
    arc.MakeArcShape(P(0, 0), P(10, 0), P(0, -10));
    ExpectPoint(arc.GetC1(), 10, -10 * k, 1e-4);
    ExpectPoint(arc.GetC2(), 10 * k, -10, 1e-4);
    P mid = arc.CoordAtParam(0.5);
    EXPECT_GT(mid.x, 0);
    EXPECT_LT(mid.y, 0);

    arc.MakeArcShape(P(0, 0), P(0, 0), P(0, 10)); // no angle: straight handles of length 0
    EXPECT_EQ(arc.GetV1(), V(0, 0));

    struct Case {
        double angle;
        V v1, v2;
    } cases[] = {
        {0, V(0, 2), V(1, 0)},     {90, V(-1, 0), V(0, 2)},  {90.7, V(-1, 0), V(0, 2)},
        {180, V(0, -2), V(-1, 0)}, {-90, V(1, 0), V(0, -2)}, {450, V(-1, 0), V(0, 2)},
        {-360, V(0, 2), V(1, 0)},  {45, V(1, 0), V(0, -2)},  {std::nan(""), V(1, 0), V(0, -2)},
    };
    for (const Case& c : cases) {
        WSegment e;
        e.MakeQuarterEllipseShape(P(0, 0), P(1, 1), 1 / kKappa, 2 / kKappa, c.angle);
        ExpectPoint(P(e.GetV1().x, e.GetV1().y), c.v1.x, c.v1.y);
        ExpectPoint(P(e.GetV2().x, e.GetV2().y), c.v2.x, c.v2.y);
        EXPECT_TRUE(e.IsCurve());
    }
}

TEST(WSegment, ExactExtremesOfAProtrudingCurve) {
    // x(t) = −12·t·(1 − t): the bulge reaches −3 at t = 0.5; y(t) = 3t.
    WSegment s = Curve(P(0, 0), P(-4, 1), P(-4, 2), P(0, 3));
    double min, max, tmin, tmax;
    s.ExactMinXMaxX(min, max, &tmin, &tmax);
    EXPECT_NEAR(min, -3, 1e-12);
    EXPECT_NEAR(tmin, 0.5, 1e-12);
    EXPECT_EQ(max, 0);
    EXPECT_EQ(tmax, 0); // P0.x ≥ P3.x: the maximum is at the start
    s.ExactMinYMaxY(min, max, &tmin, &tmax);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 3);
    EXPECT_EQ(tmin, 0);
    EXPECT_EQ(tmax, 1);
    // The control polygon sticks out further than the curve.
    EXPECT_EQ(s.MinX(), -4);
    EXPECT_EQ(s.MaxX(), 0);
    WBoundingBox box = s.GetControlBBox();
    EXPECT_EQ(box.left, -4);
    EXPECT_EQ(box.top, 3);

    // An S-curve with both a maximum and a minimum inside.
    WSegment w = Curve(P(0, 0), P(10, 3), P(-10, 6), P(0, 9));
    w.ExactMinXMaxX(min, max, nullptr, nullptr);
    double sMin = 0, sMax = 0;
    for (int i = 0; i <= 10000; ++i) {
        double x = w.CoordAtParam(i / 10000.0).x;
        sMin = std::min(sMin, x);
        sMax = std::max(sMax, x);
    }
    EXPECT_NEAR(min, sMin, 1e-4);
    EXPECT_NEAR(max, sMax, 1e-4);
    EXPECT_GT(max, 2.8);

    WSegment line = Line(P(5, 1), P(2, 7));
    line.ExactMinXMaxX(min, max, &tmin, &tmax);
    EXPECT_EQ(min, 2);
    EXPECT_EQ(tmin, 1);
    EXPECT_EQ(line.MaxY(), 7);
}

TEST(WSegment, ConvexShellOfTheControlPolygon) {
    P out[4];
    WSegment quad = Curve(P(0, 0), P(1, 2), P(3, 2), P(4, 0));
    ASSERT_EQ(quad.ConvexShell(out), 4);
    EXPECT_EQ(out[0], P(0, 0));
    EXPECT_EQ(out[1], P(4, 0));
    EXPECT_EQ(out[2], P(3, 2));
    EXPECT_EQ(out[3], P(1, 2));

    WSegment tri = Curve(P(0, 0), P(2, 1), P(2, 4), P(4, 0)); // C1 inside
    ASSERT_EQ(tri.ConvexShell(out), 3);
    EXPECT_EQ(out[1], P(4, 0));
    EXPECT_EQ(out[2], P(2, 4));
    EXPECT_EQ(out[3], out[0]);

    WSegment leftC1 = Curve(P(5, 0), P(0, 1), P(3, 4), P(6, 3)); // pivot is C1
    leftC1.ConvexShell(out);
    EXPECT_EQ(out[0], P(0, 1));

    EXPECT_EQ(Line(P(1, 1), P(2, 2)).ConvexShell(out), 2);
    EXPECT_EQ(out[1], P(2, 2));
}

TEST(WSegment, DraggingAPointOnTheCurve) {
    WSegment s = Curve(P(0, 0), P(2, 8), P(9, 7), P(10, 0));
    P before = s.CoordAtParam(0.5);
    s.AcceptLinearTrans(WTransMatrix(1, 0, 0, 1, 0, 1), At(0.5f));
    ExpectPoint(s.CoordAtParam(0.5), before.x, before.y + 1, 1e-5);
    EXPECT_EQ(s.GetP0(), P(0, 0));
    EXPECT_EQ(s.GetP3(), P(10, 0));

    P at03 = s.CoordAtParam(0.3);
    s.AddVector(V(2, -1), At(0.3f));
    ExpectPoint(s.CoordAtParam(0.3), at03.x + 2, at03.y - 1, 1e-4);

    // At the very ends the handle weights vanish: the end point moves instead.
    WSegment e = s;
    e.AddVector(V(1, 1), At(0.0f));
    EXPECT_EQ(e.GetP0(), P(1, 1));
    EXPECT_EQ(e.GetC1(), P(s.GetC1().x + 1, s.GetC1().y + 1));
    EXPECT_EQ(e.GetP3(), s.GetP3());
    e = s;
    e.AddVector(V(1, 1), At(1.0f));
    EXPECT_EQ(e.GetP3(), P(11, 1));
    EXPECT_EQ(e.GetV1(), s.GetV1());
    e = s;
    e.AddVector(V(std::nanf(""), 0), At(0.5f)); // a NaN drag changes nothing
    EXPECT_EQ(e.GetV1(), s.GetV1());
    EXPECT_TRUE(ThrowsMemoryException([&] { e.AddVector(V(1, 1), COXSPtr<WSegmentRef>()); }));

    WSegment whole = s;
    whole.AcceptLinearTrans(WTransMatrix(2, 0, 0, 2, 1, 0));
    EXPECT_EQ(whole.GetP0(), P(1, 0));
    EXPECT_EQ(whole.GetV1(), V(s.GetV1().x * 2, s.GetV1().y * 2));

    EXPECT_EQ(s.GetPointAt(At(1)), s.GetP3());
    V n = Line(P(0, 0), P(3, 0)).GetNormalVectorAt(At(0.5f));
    EXPECT_EQ(n, V(0, 3));
}

TEST(WSegment, LengthAndParameterAtLengthOfLines) {
    WSegment line = Line(P(0, 0), P(3, 4));
    EXPECT_EQ(line.GetLength(), 5);
    double t = -1;
    EXPECT_EQ(line.GetTParamAtArcLength(2.5, t), 1);
    EXPECT_DOUBLE_EQ(t, 0.5);
    EXPECT_EQ(line.GetTParamAtArcLength(5.5, t), 0);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(line.GetTParamAtArcLength(std::nan(""), t), 0);

    WSegment zero = Line(P(2, 2), P(2, 2));
    t = -1;
    EXPECT_EQ(zero.GetTParamAtArcLength(0, t), 1);
    EXPECT_EQ(t, 0); // no 0/0
    EXPECT_EQ(zero.GetTParamAtArcLength(1, t), 0);
}

TEST(WSegment, ArcLengthOfAQuarterCircle) {
    const float r = 10;
    WSegment q = QuarterCircle(r);
    double length = q.GetLength();
    // The polyline of chords turning at most 5° is shorter than the curve by at most
    // 1 − sin(2.5°)/(2.5°) ≈ 3.2e-4 of it; the four-point fit itself is within 1e-4.
    EXPECT_NEAR(length, kPi * r / 2, kPi * r / 2 * 5e-4);
    EXPECT_GT(length, Distance(q.GetP0(), q.GetP3()));
    double polygon = Distance(q.GetP0(), q.GetC1()) + Distance(q.GetC1(), q.GetC2()) +
                     Distance(q.GetC2(), q.GetP3());
    EXPECT_LT(length, polygon);

    double t = -1;
    EXPECT_EQ(q.GetTParamAtArcLength(length / 2, t), 1);
    EXPECT_NEAR(t, 0.5, 1e-3); // symmetric curve
    P half = q.CoordAtParam(t);
    EXPECT_NEAR(std::atan2(half.y, half.x), kPi / 4, 1e-3);
    EXPECT_EQ(q.GetTParamAtArcLength(length * 1.01, t), 0);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(q.GetTParamAtArcLength(0, t), 1);
    EXPECT_EQ(t, 0);
}

TEST(WSegment, DrawingEmitsMovesLinesAndCurveEnds) {
    RecordingDevice dev(0.01);
    WSegment line = Line(P(0, 0), P(3, 4));
    line.Draw(&dev, WBoundingBox());
    EXPECT_EQ(dev.Shape(), "MoveTo LineTo");

    dev.Clear();
    WSegment q = QuarterCircle(10);
    q.Draw(&dev, WBoundingBox());
    EXPECT_EQ(dev.Shape(), "MoveTo ConvertLength LineTo* EndCurve CurveDone");
    EXPECT_EQ(dev.Calls()[1].x, 0.9);
    const auto& calls = dev.Calls();
    const auto& last = calls[calls.size() - 3];
    EXPECT_EQ(last.x, 0); // ends exactly on P3
    EXPECT_EQ(last.y, 10);
    // Every chord lies within the tolerance of the curve: its midpoint is near radius 10.
    double px = 10, py = 0;
    for (const auto& c : calls) {
        if (c.name != "LineTo") continue;
        double mx = (px + c.x) / 2, my = (py + c.y) / 2;
        EXPECT_LT(10 - std::hypot(mx, my), 0.01 + 3e-3);
        px = c.x;
        py = c.y;
    }
    EXPECT_GT(dev.Count("LineTo"), 8);
    EXPECT_LT(dev.Count("LineTo"), 64);

    // A closed loop (end on start) is split at least once.
    dev.Clear();
    Curve(P(0, 0), P(10, 10), P(-10, 10), P(0, 0)).Draw(&dev, WBoundingBox());
    EXPECT_GE(dev.Count("LineTo"), 2);
}

TEST(WSegment, DrawingSurvivesBadTolerancesAndCoordinates) {
    const double inf = std::numeric_limits<double>::infinity();
    WSegment q = QuarterCircle(1000);
    for (double tol : {0.0, -1.0, std::nan(""), 1e-300, inf}) {
        RecordingDevice dev(tol);
        q.Draw(&dev, WBoundingBox());
        int n = dev.Count("LineTo");
        EXPECT_GE(n, 1) << tol;
        EXPECT_LE(n, 1 << 16) << tol; // bounded subdivision
        EXPECT_EQ(dev.Calls().back().name, "CurveDone");
    }
    WSegment bad = Curve(P(0, 0), P(std::nanf(""), 1), P(2, 2), P(3, 0));
    RecordingDevice dev(0.01);
    bad.Draw(&dev, WBoundingBox());
    EXPECT_EQ(dev.Shape(), "MoveTo ConvertLength LineTo EndCurve CurveDone");
    WSegment huge = Curve(P(0, 0), P(3e38f, 3e38f), P(-3e38f, 3e38f), P(1, 0));
    dev.Clear();
    huge.Draw(&dev, WBoundingBox());
    EXPECT_LE(dev.Count("LineTo"), 1 << 16);
    q.Draw(nullptr, WBoundingBox()); // no device: nothing happens
}

TEST(WSegment, RecordOrder) {
    WSegment s = Curve(P(1, 2), P(4, 6), P(5, 8), P(7, 9));
    RecordingArchive out;
    s.Serialize(out);
    using R = RecordingArchive;
    const std::vector<R::Value> expected = {{R::Byte, 3},   {R::Float, 1}, {R::Float, 2},
                                            {R::Float, 3},  {R::Float, 4}, {R::Float, -2},
                                            {R::Float, -1}, {R::Float, 7}, {R::Float, 9}};
    EXPECT_EQ(out.Values(), expected);
    RecordingArchive in(out.Values());
    WSegment back;
    back.Serialize(in);
    EXPECT_TRUE(in.AllRead());
    EXPECT_EQ(back.GetFlags(), 3);
    EXPECT_EQ(back.GetC2(), P(5, 8));
    COXSPtr<WSegment> copy = back.Copy();
    EXPECT_EQ(copy->GetP3(), P(7, 9));
}
