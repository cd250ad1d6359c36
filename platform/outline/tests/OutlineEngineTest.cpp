#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OutlineEngine.h"
#include "OutlineTestUtil.h"
#include "outline/OutlineManager.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/BezRecordFile.h"

using namespace outlinetest;

namespace {

constexpr float Accuracy = 0.01f;

Path Outline(const Path& source, double d, int mode = OUTLINE_ROUND, double limitAngle = 60) {
    OutlineSettings s;
    s.distance = d;
    s.mode = mode;
    s.limitAngle = limitAngle;
    s.accuracy = Accuracy;
    Path copy(source), out(Accuracy);
    OutlineEngine(s).Run(copy, out);
    return out;
}

Path Square20() {
    Path p(Accuracy);
    Rect(p, 0, 0, 20, 20);
    return p;
}

// Outer circle of radius 10 and a hole of radius 6 about the origin.
Path LetterO() {
    Path p(Accuracy);
    Circle(p, 0, 0, 10);
    Circle(p, 0, 0, 6, true);
    return p;
}

const PathMember* CurveFrom(const SubPath& sp, float x, float y) {
    for (const PathMember& m : sp.members)
        if (m.IsCurve() && std::fabs(m.start.x - x) < 1e-4 && std::fabs(m.start.y - y) < 1e-4)
            return &m;
    return nullptr;
}

void ExpectPoint(const floatPoint& p, double x, double y, double tol = 1e-4) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

} // namespace

TEST(OutlineEngine, CircleGrowsAndShrinksByTheDistance) {
    Path circle(Accuracy);
    Circle(circle, 0, 0, 10);
    for (double d : {2.0, -2.0}) {
        SCOPED_TRACE(d);
        Path out = Outline(circle, d);
        ASSERT_EQ(out.subPaths.Filled(), 1);
        const SubPath& sp = out.subPaths[0];
        // Still four quarter arcs: arcs offset exactly, without splitting.
        EXPECT_EQ(sp.members.Filled(), 4);
        EXPECT_TRUE(sp.IsClosed());
        EXPECT_LT(RadialError(sp, 0, 0, 10 + d), Accuracy);
        EXPECT_LT(OffsetError(circle, out, d), 0.1 * Accuracy);
        EXPECT_EQ(sp.rotation, -1); // counter-clockwise
    }
}

TEST(OutlineEngine, SquareCornersFollowTheMode) {
    // Mitred: the square grown to (-2, -2)-(22, 22).
    Path mitred = Outline(Square20(), 2, OUTLINE_MITRE);
    ASSERT_EQ(mitred.subPaths.Filled(), 1);
    std::vector<Pt> corners = TurningPoints(mitred.subPaths[0]);
    EXPECT_TRUE(SameCycle(corners, {{-2, -2}, {22, -2}, {22, 22}, {-2, 22}}, 1e-5))
        << Text(corners);

    // Bevelled: each corner cut by a line between the moved edges' ends.
    Path bevelled = Outline(Square20(), 2, OUTLINE_BEVEL);
    ASSERT_EQ(bevelled.subPaths.Filled(), 1);
    corners = TurningPoints(bevelled.subPaths[0]);
    EXPECT_TRUE(SameCycle(
        corners, {{0, -2}, {20, -2}, {22, 0}, {22, 20}, {20, 22}, {0, 22}, {-2, 20}, {-2, 0}},
        1e-5))
        << Text(corners);

    // Round: quarter circles of radius 2 about the corners, handles 4/3 tan(22.5 deg) * 2.
    Path round = Outline(Square20(), 2, OUTLINE_ROUND);
    ASSERT_EQ(round.subPaths.Filled(), 1);
    const SubPath& sp = round.subPaths[0];
    EXPECT_EQ(sp.members.Filled(), 8);
    const double k = 1.104569;
    const PathMember* arc = CurveFrom(sp, 20, -2);
    ASSERT_NE(arc, nullptr);
    ExpectPoint(arc->ctrl1, 20 + k, -2);
    ExpectPoint(arc->ctrl2, 22, -k);
    ExpectPoint(arc->end, 22, 0);
    floatPoint mid;
    arc->GetPointAt(PM_PARAM_ONE / 2, mid);
    ExpectPoint(mid, 20 + std::sqrt(2.0), -std::sqrt(2.0), 1e-3);
    arc = CurveFrom(sp, -2, 0);
    ASSERT_NE(arc, nullptr);
    ExpectPoint(arc->ctrl1, -2, -k);
    ExpectPoint(arc->ctrl2, -k, -2);
    ExpectPoint(arc->end, 0, -2);
    EXPECT_LT(OffsetError(Square20(), round, 2), 0.1 * Accuracy);

    // Inwards no corner needs treatment: the edges are cut where they cross.
    for (int mode : {OUTLINE_ROUND, OUTLINE_MITRE, OUTLINE_BEVEL}) {
        SCOPED_TRACE(mode);
        Path inner = Outline(Square20(), -2, mode);
        ASSERT_EQ(inner.subPaths.Filled(), 1);
        corners = TurningPoints(inner.subPaths[0]);
        EXPECT_TRUE(SameCycle(corners, {{2, 2}, {18, 2}, {18, 18}, {2, 18}}, 1e-5))
            << Text(corners);
    }
}

TEST(OutlineEngine, MitresSharperThanTheLimitAngleAreCutOff) {
    // A triangle with a 30 degree tip at the origin pointing to -x; the base corners have 75
    // degrees. Sides of length 40.
    const double c15 = std::cos(Pi / 12), s15 = std::sin(Pi / 12), t15 = std::tan(Pi / 12);
    float bx = float(40 * c15), by = float(40 * s15);
    Path triangle(Accuracy);
    Polygon(triangle, {{0, 0}, {bx, -by}, {bx, by}});

    // Base corners mitred in full: the moved edges meet at x = bx + 1,
    // y = +-(40 sin 15 + tan 15 + 1 / cos 15). The tip is cut square at 1 / sin 30 = 2 from
    // the corner, where the moved edges y = +-(x tan 15 + 1 / cos 15) reach x = -2.
    double baseY = 40 * s15 + t15 + 1 / c15; // 11.656
    double tipY = 1 / c15 - 2 * t15;         // 0.499378
    Path cut = Outline(triangle, 1, OUTLINE_MITRE, 60);
    ASSERT_EQ(cut.subPaths.Filled(), 1);
    std::vector<Pt> corners = TurningPoints(cut.subPaths[0]);
    EXPECT_TRUE(
        SameCycle(corners, {{-2, -tipY}, {bx + 1, -baseY}, {bx + 1, baseY}, {-2, tipY}}, 1e-4))
        << Text(corners);

    // Below the tip's angle the mitre runs out to 1 / sin 15 from the corner.
    Path sharp = Outline(triangle, 1, OUTLINE_MITRE, 20);
    ASSERT_EQ(sharp.subPaths.Filled(), 1);
    corners = TurningPoints(sharp.subPaths[0]);
    EXPECT_TRUE(SameCycle(corners, {{-1 / s15, 0}, {bx + 1, -baseY}, {bx + 1, baseY}}, 1e-4))
        << Text(corners);
}

TEST(OutlineEngine, HolesShrinkAsTheAreaGrowsAndVanish) {
    struct Case {
        double d;
        std::vector<double> radii; // outer contour first, then the hole
    };
    const Case cases[] = {
        {1, {11, 5}}, // outline: the hole shrinks
        {-1, {9, 7}}, // inline: the hole grows
        {7, {17}},    // the hole closes
        {-2.5, {}},   // the ring is only 4 wide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        Path out = Outline(LetterO(), c.d);
        ASSERT_EQ(out.subPaths.Filled(), c.radii.size());
        for (std::size_t i = 0; i < c.radii.size(); ++i) {
            // Prepared: the hole first (deepest), clockwise; the outer contour
            // counter-clockwise.
            const SubPath& sp = out.subPaths[std::uint16_t(c.radii.size() - 1 - i)];
            EXPECT_LT(RadialError(sp, 0, 0, c.radii[i]), Accuracy);
            EXPECT_EQ(sp.rotation, i == 0 ? -1 : 1);
        }
    }
}

TEST(OutlineEngine, ThinStrokeVanishesInwards) {
    Path bar(Accuracy);
    Rect(bar, 0, 0, 20, 1);
    EXPECT_EQ(Outline(bar, -0.6).subPaths.Filled(), 0);
    EXPECT_EQ(Outline(bar, -0.5).subPaths.Filled(), 0);

    Path thin = Outline(bar, -0.4);
    ASSERT_EQ(thin.subPaths.Filled(), 1);
    std::vector<Pt> corners = TurningPoints(thin.subPaths[0]);
    EXPECT_TRUE(SameCycle(corners, {{0.4, 0.4}, {19.6, 0.4}, {19.6, 0.6}, {0.4, 0.6}}, 1e-5))
        << Text(corners);

    // A dot smaller than the distance, beside a large letter.
    Path dotted = LetterO();
    Circle(dotted, 20, 0, 1.5);
    EXPECT_EQ(Outline(dotted, -1.6).subPaths.Filled(), 2);
}

TEST(OutlineEngine, CurvesTighterThanTheDistanceFoldAway) {
    // Corners rounded with radius 2, shrunk by 3: the arcs fold back past their centres and
    // the straight edges meet in sharp corners.
    Path rounded(Accuracy);
    RoundedRect(rounded, 0, 0, 20, 20, 2);
    Path out = Outline(rounded, -3);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    std::vector<Pt> corners = TurningPoints(out.subPaths[0]);
    EXPECT_TRUE(SameCycle(corners, {{3, 3}, {17, 3}, {17, 17}, {3, 17}}, 1e-4)) << Text(corners);
    for (const PathMember& m : out.subPaths[0].members)
        EXPECT_FALSE(m.IsCurve());

    // A circle shrunk past its centre leaves nothing, not a small circle turned inside out.
    Path circle(Accuracy);
    Circle(circle, 0, 0, 6);
    EXPECT_EQ(Outline(circle, -7).subPaths.Filled(), 0);
    EXPECT_EQ(Outline(circle, -12.5).subPaths.Filled(), 0);
}

TEST(OutlineEngine, NeighboursMergeAndInnerCornersStaySharp) {
    // An L: its inner corner at (10, 10) moves to (11, 11) and stays sharp.
    Path l(Accuracy);
    Polygon(l, {{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}});
    Path out = Outline(l, 1, OUTLINE_MITRE);
    ASSERT_EQ(out.subPaths.Filled(), 1);
    std::vector<Pt> corners = TurningPoints(out.subPaths[0]);
    EXPECT_TRUE(
        SameCycle(corners, {{-1, -1}, {21, -1}, {21, 11}, {11, 11}, {11, 21}, {-1, 21}}, 1e-5))
        << Text(corners);

    // Shrunk, the inner corner is the one that needs treatment: mitred it stays square.
    Path inner = Outline(l, -1, OUTLINE_MITRE);
    ASSERT_EQ(inner.subPaths.Filled(), 1);
    corners = TurningPoints(inner.subPaths[0]);
    EXPECT_TRUE(SameCycle(corners, {{1, 1}, {19, 1}, {19, 9}, {9, 9}, {9, 19}, {1, 19}}, 1e-5))
        << Text(corners);

    // Two squares 1 apart grown by 1 become one contour.
    Path pair(Accuracy);
    Rect(pair, 0, 0, 10, 10);
    Rect(pair, 11, 0, 21, 10);
    Path merged = Outline(pair, 1, OUTLINE_MITRE);
    ASSERT_EQ(merged.subPaths.Filled(), 1);
    corners = TurningPoints(merged.subPaths[0]);
    EXPECT_TRUE(SameCycle(corners, {{-1, -1}, {22, -1}, {22, 11}, {-1, 11}}, 1e-5))
        << Text(corners);
}

TEST(OutlineEngine, OpenContoursGrowIntoBands) {
    Path line(Accuracy);
    line.MoveTo({0, 0});
    line.LineTo({10, 0});
    line.ClosePath();
    Path band = Outline(line, 1);
    ASSERT_EQ(band.subPaths.Filled(), 1);
    EXPECT_NEAR(Area(band.subPaths[0]), 20 + Pi, 1e-3);
    EXPECT_LT(OffsetError(line, band, 1), 0.1 * Accuracy);
    EXPECT_EQ(Outline(line, -1).subPaths.Filled(), 0);

    // A contour open by less than the accuracy is closed.
    Path almost(Accuracy);
    Polygon(almost, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    almost.subPaths[0].members.last()->end = floatPoint(0, 0.004f);
    Path grown = Outline(almost, -1);
    ASSERT_EQ(grown.subPaths.Filled(), 1);
    EXPECT_TRUE(
        SameCycle(TurningPoints(grown.subPaths[0]), {{1, 1}, {9, 1}, {9, 9}, {1, 9}}, 1e-5));
}

// Members that meet at a slight kink (as quadratic font curves converted to cubics do) move
// apart by a fraction of the accuracy at the corners; on the inner side they must be cut where
// they cross without splitting the contour there or bending it.
TEST(OutlineEngine, SlightKinksKeepTheContourWhole) {
    struct Case {
        double tilt; // radians by which the handles lean towards the chord
        double d;
    };
    const Case cases[] = {{0.001, -0.3}, {0.001, -1.3}, {0.0045, -0.3}, {-0.003, 0.3},
                          {0.008, -1.3}, {0.02, 2.5},   {-0.02, -2.5}};
    for (const Case& c : cases) {
        // A circle of radius 3 in four arcs, each with its handles leaning a little.
        const double r = 3, k = 4.0 / 3 * std::tan(Pi / 8) * r;
        auto at = [](double angle, double radius) {
            return floatPoint(float(radius * std::cos(angle)), float(radius * std::sin(angle)));
        };
        Path kinked(Accuracy);
        kinked.MoveTo(at(0.1, r));
        for (int q = 0; q < 4; ++q) {
            double a0 = 0.1 + q * Pi / 2, a1 = a0 + Pi / 2;
            floatPoint s = at(a0, r), e = at(a1, r);
            double t0 = a0 + c.tilt, t1 = a1 - 1.3 * c.tilt;
            floatPoint c1(float(s.x - k * std::sin(t0)), float(s.y + k * std::cos(t0)));
            floatPoint c2(float(e.x + k * std::sin(t1)), float(e.y - k * std::cos(t1)));
            kinked.CurveTo(c1, c2, q == 3 ? at(0.1, r) : e);
        }
        kinked.ClosePath();
        for (int mode : {OUTLINE_ROUND, OUTLINE_MITRE, OUTLINE_BEVEL}) {
            SCOPED_TRACE(testing::Message()
                         << "tilt " << c.tilt << ", d " << c.d << ", mode " << mode);
            Path out = Outline(kinked, c.d, mode);
            ASSERT_EQ(out.subPaths.Filled(), 1);
            if (mode == OUTLINE_ROUND) {
                EXPECT_LT(OffsetError(kinked, out, c.d), Accuracy);
            }
        }
    }
}

// Shapes whose exact offset area is checked on a grid: every point well away from both
// outlines must lie inside the result exactly when it lies within the grown (or outside the
// shrunk) area, and every point of the result at the distance from the source.
TEST(OutlineEngine, ResultBoundsTheExactOffsetArea) {
    std::vector<Path> shapes;
    Path star(Accuracy);
    star.MoveTo({10, 0});
    for (int i = 1; i < 14; ++i) {
        double a = i * Pi / 7, r = i % 2 ? 4 : 10;
        star.LineTo({float(r * std::cos(a)), float(r * std::sin(a))});
    }
    star.LineTo({10, 0});
    star.ClosePath();
    shapes.push_back(star);

    Path blob(Accuracy); // curves of varying curvature, with an inflection
    blob.MoveTo({0, 0});
    blob.CurveTo({10, -5}, {20, 15}, {30, 0});
    blob.CurveTo({35, 10}, {25, 25}, {15, 20});
    blob.CurveTo({5, 30}, {-10, 15}, {0, 0});
    blob.ClosePath();
    shapes.push_back(blob);

    Path rings(Accuracy); // two overlapping letters O
    Circle(rings, 0, 0, 8);
    Circle(rings, 0, 0, 5);
    Circle(rings, 10, 0, 8);
    Circle(rings, 10, 0, 5);
    shapes.push_back(rings);

    for (std::size_t s = 0; s < shapes.size(); ++s) {
        Path normal = shapes[s];
        normal.Normalize();
        normal.Validate(SP_ALL_INVALID);
        for (double d : {0.5, 4.0, -1.5, -3.0}) {
            SCOPED_TRACE(testing::Message() << "shape " << s << ", distance " << d);
            Path out = Outline(shapes[s], d);
            for (const SubPath& sp : out.subPaths)
                EXPECT_TRUE(sp.IsClosed());
            EXPECT_EQ(AreaMismatches(normal, out, d, 0.05, 40), 0);
            EXPECT_LT(OffsetError(normal, out, d), 0.5 * Accuracy);
        }
    }
}

TEST(OutlineEngine, DegenerateInputGivesFiniteContoursOrNone) {
    Path figureEight(Accuracy);
    Polygon(figureEight, {{0, 0}, {10, 10}, {10, 0}, {0, 10}});
    Path zeroArea(Accuracy);
    Polygon(zeroArea, {{0, 0}, {10, 0}, {20, 0}});
    Path point(Accuracy);
    point.MoveTo({5, 5});
    point.LineTo({5, 5});
    point.ClosePath();
    Path twice(Accuracy);
    Rect(twice, 0, 0, 10, 10);
    Rect(twice, 0, 0, 10, 10);
    Path cusp(Accuracy);
    cusp.MoveTo({0, 0});
    cusp.CurveTo({10, 10}, {0, 10}, {10, 0});
    cusp.LineTo({0, 0});
    cusp.ClosePath();
    Path far(Accuracy);
    Rect(far, 99000, 99000, 99990, 99990);
    Path tiny(Accuracy);
    Rect(tiny, 0, 0, 0.001f, 0.001f);

    const Path* inputs[] = {&figureEight, &zeroArea, &point, &twice, &cusp, &far, &tiny};
    for (std::size_t i = 0; i < std::size(inputs); ++i) {
        for (double d : {3.0, -3.0, 0.02}) {
            for (int mode : {OUTLINE_ROUND, OUTLINE_MITRE, OUTLINE_BEVEL}) {
                SCOPED_TRACE(testing::Message()
                             << "input " << i << ", d " << d << ", mode " << mode);
                Path out = Outline(*inputs[i], d, mode);
                for (const SubPath& sp : out.subPaths) {
                    EXPECT_TRUE(sp.IsClosed());
                    for (const PathMember& m : sp.members)
                        for (const floatPoint& p : {m.start, m.ctrl1, m.ctrl2, m.end})
                            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
                }
            }
        }
    }
    // Distances beyond use give nothing.
    EXPECT_EQ(Outline(Square20(), std::numeric_limits<double>::quiet_NaN()).subPaths.Filled(), 0);
    EXPECT_EQ(Outline(Square20(), 1e6).subPaths.Filled(), 0);
    EXPECT_EQ(Outline(Square20(), -1e6).subPaths.Filled(), 0);
}

TEST(OutlineEngine, ZeroDistanceGivesTheNormalisedContours) {
    Path out = Outline(LetterO(), 0);
    ASSERT_EQ(out.subPaths.Filled(), 2);
    // The quarter arcs as they were: within their own deviation from the circle.
    EXPECT_EQ(out.subPaths[0].members.Filled(), 4);
    EXPECT_EQ(out.subPaths[1].members.Filled(), 4);
    EXPECT_LT(RadialError(out.subPaths[0], 0, 0, 6), 0.0003 * 6);
    EXPECT_LT(RadialError(out.subPaths[1], 0, 0, 10), 0.0003 * 10);
}

TEST(OutlineEngine, AbortHandlerIsPolledAndMayCancel) {
    struct Cancel {};
    class Cancelling : public AbortHandler {
    public:
        void SetStage(const char*, float, float) override {}
        void SetProgress(float) override {}
        void CheckAbort() override {
            if (++polls == cancelAt) throw Cancel();
        }
        int polls = 0;
        int cancelAt = 0;
    };
    Cancelling handler;
    AbortHandler* saved = DefAbortHandler;
    DefAbortHandler = &handler;
    Path out = Outline(LetterO(), 1);
    int polls = handler.polls;
    EXPECT_GE(polls, 3);
    handler.polls = 0;
    handler.cancelAt = 2;
    Path o = LetterO(), cancelled(Accuracy);
    OutlineSettings settings;
    settings.distance = 1;
    EXPECT_THROW(OutlineEngine(settings).Run(o, cancelled), Cancel);
    DefAbortHandler = saved;
    EXPECT_EQ(cancelled.subPaths.Filled(), 0);
}

// Found by fuzzing. flyoff-spike: a closed sub-path of two curves, a sub-picometre one beside a
// zero-width cusp spike 14 mm long; its offset pieces near the cusp had handles scaled by
// 10^12, and the result reached 1.4e10. mitre-reversal: an open line whose mitred end caps
// took their bisector from the rounding noise of two opposite points, 5.9 mm out at 1.5.
// cusp-tips: two zero-width cusp spikes; the pieces ending at their tips had handles 10^-17
// off the tip, so the tips' offsets went sideways, the caps dropped out and the chains were
// closed by lines 3.9 mm out. near-corners: two strokes from one point, one starting with a
// handle 10^-38 off the axis; their offsets' corners 10^-38 apart were not one point, the
// caps lying on each other were both kept and chained wrongly, 3.6 mm out with mitres.
// sliver: two lines of one stroke lying on each other 0.02 mm apart at one end were both kept;
// the sliver between them was closed by a line 36 mm long. hook and fold-start: curves with a
// handle 320 mm long or none at the start, whose offsets fold finer than the accuracy; the
// kept pieces fell apart into chains closed by lines up to 0.7 mm beyond the distance, or
// dropped whole. straight-tip: a curve turned too sharply to move, made a straight line
// across its tip, was not taken as a bevel, and the whole contour was dropped in bevel mode.
// retracted-handle (two inputs): a curve with a handle on its end point was moved there along
// its chord's normal instead of its tangent's, so the mitre met 4.24 mm out at a distance of 1.5.
TEST(OutlineEngine, ResultsStayWithinTheDistanceOfTheOutline) {
    for (const char* name :
         {"flyoff-spike.bez", "mitre-reversal.bez", "cusp-tips.bez", "near-corners.bez",
          "sliver.bez", "hook.bez", "fold-start.bez", "straight-tip.bez",
          "retracted-handle.bez", "retracted-handle-2.bez"}) {
        std::FILE* f = std::fopen((std::string(SD_TEST_DATA_DIR "/") + name).c_str(), "rb");
        ASSERT_NE(f, nullptr) << name;
        unsigned char bytes[256];
        std::size_t n = std::fread(bytes, 1, sizeof bytes, f);
        std::fclose(f);
        Path source(Accuracy);
        ReadBezRecords(bytes, n, source, 1, 1);
        ASSERT_GE(source.subPaths.Filled(), 1);
        auto segments = Segments(source, 4000);
        for (double d : {1.5, -1.5}) {
            for (int mode : {OUTLINE_ROUND, OUTLINE_MITRE, OUTLINE_BEVEL}) {
                SCOPED_TRACE(testing::Message() << name << ", d " << d << ", mode " << mode);
                OutlineSettings s;
                s.distance = d;
                s.mode = mode;
                s.accuracy = 0.05f;
                Path copy(source), out(s.accuracy);
                OutlineEngine(s).Run(copy, out);
                if (d > 0) {
                    ASSERT_GE(out.subPaths.Filled(), 1);
                }
                // A mitre reaches the distance over the sine of half the limit angle along the
                // bisector, its cut corners the distance beside that.
                double reach =
                    (mode == OUTLINE_MITRE ? std::sqrt(5.0) : 1) * std::fabs(d) + s.accuracy + 0.01;
                // Round caps round the cusps keep the distance too, not cut flat through a tip
                // (elsewhere, lines bridging chains of pieces apart at a fold may pass nearer).
                bool cusps =
                    std::string(name) == "flyoff-spike.bez" || std::string(name) == "cusp-tips.bez";
                double keep = mode == OUTLINE_ROUND && cusps ? std::fabs(d) - s.accuracy - 0.01 : 0;
                for (const Pt& p : Sample(out, 32)) {
                    double at = DistanceTo(segments, p);
                    ASSERT_LE(at, reach) << p.x << " " << p.y;
                    ASSERT_GE(at, keep) << p.x << " " << p.y;
                }
            }
        }
    }
}
