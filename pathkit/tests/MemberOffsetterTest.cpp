#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "pathkit/MemberOffsetter.h"
#include "pathkit/Path.h"
#include "pathkit/PathMember.h"

namespace {

PathMember Line(floatPoint s, floatPoint e, std::uint16_t flags = 0) {
    PathMember m(s, e);
    m.flags = flags;
    m.ctrl1 = s;
    m.ctrl2 = e;
    return m;
}

PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e) {
    PathMember m(s, e);
    m.flags = PM_CURVE;
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    return m;
}

// The usual quarter circle: radius 100 about the origin, counter-clockwise from (100, 0).
constexpr float Handle = 55.228f;
PathMember QuarterCircle() {
    return Curve({100, 0}, {100, Handle}, {Handle, 100}, {0, 100});
}

// A circular arc of at most 90 degrees about c, from angle a0 by sweep (degrees, negative:
// clockwise), with the handles of the best cubic approximation.
PathMember Arc(floatPoint c, double r, double a0, double sweep) {
    double a = a0 * std::numbers::pi / 180, b = (a0 + sweep) * std::numbers::pi / 180;
    double k = 4.0 / 3 * std::tan((b - a) / 4) * r;
    auto at = [&](double ang, double along) {
        return floatPoint(float(c.x + r * std::cos(ang) - along * std::sin(ang)),
                          float(c.y + r * std::sin(ang) + along * std::cos(ang)));
    };
    return Curve(at(a, 0), at(a, k), at(b, -k), at(b, 0));
}

floatPoint PointAt(const PathMember& m, double t) {
    floatPoint p;
    m.GetPointAt(std::uint32_t(t * double(PM_PARAM_ONE)), p);
    return p;
}

double Dist(const floatPoint& a, const floatPoint& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// Largest deviation of the member from the circle about c with radius r, over 400 samples.
double RadialError(const PathMember& m, floatPoint c, double r) {
    double worst = 0;
    for (int i = 0; i <= 400; ++i)
        worst = std::fmax(worst, std::fabs(Dist(PointAt(m, i / 400.0), c) - r));
    return worst;
}

void ExpectPoint(const floatPoint& p, double x, double y, double tol = 1e-4) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

// Consecutive pieces share their end points exactly, and together span the member.
void ExpectChain(const PathMemberDynArr& pieces, const PathMember& m) {
    ASSERT_GT(pieces.Filled(), 0);
    EXPECT_EQ(pieces[0].start, m.start);
    EXPECT_EQ(pieces.last()->end, m.end);
    for (std::uint16_t i = 1; i < pieces.Filled(); ++i)
        EXPECT_EQ(pieces[i].start, pieces[std::uint16_t(i - 1)].end) << i;
}

// Every piece boundary lies on the member.
void ExpectBoundariesOnMember(const PathMemberDynArr& pieces, const PathMember& m) {
    for (const PathMember& p : pieces) {
        double best = 1e9;
        for (int i = 0; i <= 4096; ++i)
            best = std::fmin(best, Dist(PointAt(m, i / 4096.0), p.start));
        EXPECT_LT(best, 0.01);
    }
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

} // namespace

TEST(MemberOffsetter, ConstructorDefaults) {
    MemberOffsetter a(0.05f);
    EXPECT_EQ(a.accuracy, 0.05f);
    EXPECT_EQ(a.handleRatio, 1.2f);
    MemberOffsetter b(0, 0.5f);
    EXPECT_EQ(b.accuracy, Path::ValidAccuracy(0));
    EXPECT_EQ(b.handleRatio, MemberOffsetter::DefaultHandleRatio);
    MemberOffsetter c(kNaN, kNaN);
    EXPECT_EQ(c.accuracy, Path::ValidAccuracy(0));
    EXPECT_EQ(c.handleRatio, MemberOffsetter::DefaultHandleRatio);
}

TEST(MemberOffsetter, QuarterCircleOffsetsToAQuarterCircle) {
    MemberOffsetter off(0.01f);
    off.Split(QuarterCircle());
    ASSERT_EQ(off.pieces.Filled(), 1);
    EXPECT_EQ(off.pieces[0].ctrl1, QuarterCircle().ctrl1);
    EXPECT_EQ(off.pieces[0].ctrl2, QuarterCircle().ctrl2);

    // The centre stays, the handles scale with the radius: outwards and inwards.
    double originalError = RadialError(QuarterCircle(), {0, 0}, 100);
    for (float d : {10.0f, -10.0f, 50.0f, -60.0f, 0.0f}) {
        SCOPED_TRACE(d);
        PathMemberDynArr out;
        off.OffsetMember(QuarterCircle(), d, out);
        ASSERT_EQ(out.Filled(), 1);
        const PathMember& o = out[0];
        double r = 100 + d, h = Handle * r / 100;
        EXPECT_TRUE(o.IsCurve());
        ExpectPoint(o.start, r, 0);
        ExpectPoint(o.ctrl1, r, h);
        ExpectPoint(o.ctrl2, h, r);
        ExpectPoint(o.end, 0, r);
        EXPECT_LT(RadialError(o, {0, 0}, r), 0.1);
        EXPECT_NEAR(RadialError(o, {0, 0}, r) / r, originalError / 100, 1e-6);
    }
}

TEST(MemberOffsetter, ArcsEitherWayRoundKeepTheirCentre) {
    // Positive distances move to the right of travel: outwards counter-clockwise, inwards
    // clockwise.
    floatPoint c(20, -5);
    struct {
        double a0, sweep, d, radius;
    } cases[] = {
        {30, 80, 5, 45},
        {30, 80, -5, 35},
        {30, -80, 5, 35},
        {200, -90, -12.5, 52.5},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.a0 + k.sweep);
        PathMember arc = Arc(c, 40, k.a0, k.sweep);
        MemberOffsetter off(0.01f);
        PathMemberDynArr out;
        off.OffsetMember(arc, float(k.d), out);
        ASSERT_EQ(out.Filled(), 1);
        // The cubic's own small deviation from the circle, scaled with the radius.
        EXPECT_NEAR(RadialError(out[0], c, k.radius) / k.radius, RadialError(arc, c, 40) / 40,
                    1e-6);
        EXPECT_NEAR(Dist(out[0].start, c), k.radius, 1e-4);
        EXPECT_NEAR(Dist(out[0].end, c), k.radius, 1e-4);
        // Handles scaled by the ratio of the radii, in their own directions.
        double f = k.radius / 40;
        EXPECT_NEAR(out[0].ctrl1.x - out[0].start.x, f * (arc.ctrl1.x - arc.start.x), 1e-4);
        EXPECT_NEAR(out[0].ctrl1.y - out[0].start.y, f * (arc.ctrl1.y - arc.start.y), 1e-4);
        EXPECT_NEAR(out[0].ctrl2.x - out[0].end.x, f * (arc.ctrl2.x - arc.end.x), 1e-4);
        EXPECT_NEAR(out[0].ctrl2.y - out[0].end.y, f * (arc.ctrl2.y - arc.end.y), 1e-4);
    }
}

TEST(MemberOffsetter, InsideOffsetBeyondTheCentre) {
    // Moved past the centre, the ends land on the far side and the handles keep their
    // directions, scaled by the distance from the centre: (150 - 100) / 100.
    PathMember o = MemberOffsetter::Offset(QuarterCircle(), -150);
    ExpectPoint(o.start, -50, 0);
    ExpectPoint(o.ctrl1, -50, Handle / 2);
    ExpectPoint(o.ctrl2, Handle / 2, -50);
    ExpectPoint(o.end, 0, -50);
    // Exactly onto the centre: everything collapses there.
    o = MemberOffsetter::Offset(QuarterCircle(), -100);
    for (const floatPoint& p : {o.start, o.ctrl1, o.ctrl2, o.end})
        ExpectPoint(p, 0, 0);
}

TEST(MemberOffsetter, LinesOffsetExactly) {
    struct {
        PathMember line;
        float d;
        floatPoint start, end;
    } cases[] = {
        {Line({0, 0}, {10, 0}), 2, {0, -2}, {10, -2}},
        {Line({0, 0}, {3, 4}, PM_SELECTED | PM_SMOOTH), 5, {4, -3}, {7, 1}},
        {Line({0, 0}, {0, 10}), -1, {-1, 0}, {-1, 10}},
        {Line({3, 3}, {3, 3}, PM_SYMMETRIC), 4, {3, 3}, {3, 3}},
    };
    for (const auto& c : cases) {
        MemberOffsetter off(0.01f);
        PathMemberDynArr out;
        out.Append(Line({-9, -9}, {-8, -8})); // offsets are appended
        off.OffsetMember(c.line, c.d, out);
        ASSERT_EQ(out.Filled(), 2);
        const PathMember& o = out[1];
        EXPECT_EQ(o.flags, 0);
        EXPECT_EQ(o.start, c.start);
        EXPECT_EQ(o.end, c.end);
        EXPECT_EQ(o.ctrl1, c.start);
        EXPECT_EQ(o.ctrl2, c.end);
    }
}

TEST(MemberOffsetter, StraightCurvesShiftWithoutScaling) {
    PathMember o = MemberOffsetter::Offset(Curve({0, 0}, {10, 0}, {20, 0}, {30, 0}), 2);
    EXPECT_TRUE(o.IsCurve());
    ExpectPoint(o.start, 0, -2);
    ExpectPoint(o.ctrl1, 10, -2);
    ExpectPoint(o.ctrl2, 20, -2);
    ExpectPoint(o.end, 30, -2);
}

TEST(MemberOffsetter, SplitsAtInflectionsAndSharpTurns) {
    struct {
        const char* name;
        PathMember curve;
    } cases[] = {
        {"S-curve", Curve({0, 0}, {10, 10}, {20, -10}, {30, 0})},
        {"half circle", Curve({100, 0}, {100, 133.3333f}, {-100, 133.3333f}, {-100, 0})},
        {"cusp", Curve({0, 0}, {10, 10}, {0, 10}, {10, 0})},
        {"loop", Curve({0, 0}, {15, 10}, {-5, 10}, {10, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemberOffsetter off(0.01f);
        off.Split(c.curve);
        EXPECT_GT(off.pieces.Filled(), 1);
        EXPECT_LT(off.pieces.Filled(), 500);
        ExpectChain(off.pieces, c.curve);
        EXPECT_EQ(off.depth, 0);
        ExpectBoundariesOnMember(off.pieces, c.curve);
    }
    // The S-curve's first cut is its inflection at t = 0.5.
    MemberOffsetter off(0.01f);
    off.Split(cases[0].curve);
    bool cutAtMiddle = false;
    for (const PathMember& p : off.pieces)
        cutAtMiddle |= p.start == floatPoint(15, 0);
    EXPECT_TRUE(cutAtMiddle);
}

TEST(MemberOffsetter, HandleRatioLimit) {
    // Turns 90 degrees with handles of 15 and 10.
    PathMember c = Curve({0, 0}, {0, 15}, {10, 20}, {20, 20});
    MemberOffsetter strict(0.01f);
    strict.Split(c);
    EXPECT_GT(strict.pieces.Filled(), 1);
    MemberOffsetter loose(0.01f, 1.6f);
    loose.Split(c);
    EXPECT_EQ(loose.pieces.Filled(), 1);
}

TEST(MemberOffsetter, OffsetPiecesJoinUp) {
    // Halves share their tangent at the cut, so the offsets of neighbours meet, each end a
    // distance d from the member.
    PathMember s = Curve({0, 0}, {10, 10}, {20, -10}, {30, 0});
    MemberOffsetter off(0.01f);
    PathMemberDynArr out;
    off.OffsetMember(s, 3, out);
    ASSERT_EQ(out.Filled(), off.pieces.Filled());
    ASSERT_GT(out.Filled(), 1);
    for (std::uint16_t i = 0; i < out.Filled(); ++i) {
        EXPECT_NEAR(Dist(out[i].start, off.pieces[i].start), 3, 1e-4) << i;
        EXPECT_NEAR(Dist(out[i].end, off.pieces[i].end), 3, 1e-4) << i;
        if (i > 0) {
            EXPECT_LT(Dist(out[i].start, out[std::uint16_t(i - 1)].end), 1e-4) << i;
        }
    }
}

TEST(MemberOffsetter, ZeroHandlesTakeTheOtherControlPoint) {
    MemberOffsetter off(0.01f);
    // Both handles zero: a straight piece from the chord.
    off.Split(Curve({0, 0}, {0, 0}, {10, 0}, {10, 0}));
    ASSERT_EQ(off.pieces.Filled(), 1);
    EXPECT_EQ(off.pieces[0].ctrl1, floatPoint(10, 0));
    EXPECT_EQ(off.pieces[0].ctrl2, floatPoint(10, 0));
    PathMember o = MemberOffsetter::Offset(off.pieces[0], 2);
    ExpectPoint(o.start, 0, -2);
    ExpectPoint(o.ctrl1, 10, -2);
    ExpectPoint(o.ctrl2, 10, -2);
    ExpectPoint(o.end, 10, -2);

    // A zero start handle on a bent curve: the first piece leaves towards (10, 10), and the
    // pieces are cut from the curve itself, not from the one with the moved control point.
    PathMember bent = Curve({0, 0}, {0, 0}, {10, 10}, {20, 0});
    off.Split(bent);
    ExpectChain(off.pieces, bent);
    ExpectBoundariesOnMember(off.pieces, bent);
    const floatPoint& c1 = off.pieces[0].ctrl1;
    EXPECT_GT(c1.x, 0);
    EXPECT_FLOAT_EQ(c1.x, c1.y);
}

TEST(MemberOffsetter, DegenerateMembers) {
    MemberOffsetter off(0.01f);
    // A curve shrunk to a point stays one piece and offsets to itself.
    PathMember dot = Curve({5, 5}, {5, 5}, {5, 5}, {5, 5});
    PathMemberDynArr out;
    off.OffsetMember(dot, 3, out);
    ASSERT_EQ(out.Filled(), 1);
    for (const floatPoint& p : {out[0].start, out[0].ctrl1, out[0].ctrl2, out[0].end})
        EXPECT_EQ(p, floatPoint(5, 5));

    // Points that are not finite: one piece, no hang.
    for (float bad : {kNaN, kInf}) {
        out.Reset();
        off.OffsetMember(Curve({0, 0}, {bad, 1}, {5, 5}, {10, 0}), 2, out);
        EXPECT_EQ(out.Filled(), 1);
        out.Reset();
        off.OffsetMember(Line({0, 0}, {bad, 0}), 2, out);
        EXPECT_EQ(out.Filled(), 1);
    }
    out.Reset();
    off.OffsetMember(QuarterCircle(), kNaN, out);
    EXPECT_EQ(out.Filled(), 1);
}

TEST(MemberOffsetter, SplittingBelowTheFloatResolutionEnds) {
    // A loop of a few millimetres far from the origin: halves soon stop changing.
    PathMember far = Curve({1e7f, 0}, {1e7f + 3, 4}, {1e7f - 3, 4}, {1e7f, 0});
    MemberOffsetter off(1e-6f);
    off.Split(far);
    EXPECT_GE(off.pieces.Filled(), 1);
    EXPECT_LE(off.pieces.Filled(), PathMemberDynArr::DefaultLimit);
    ExpectChain(off.pieces, far);
}
