#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "pathkit/Bez3.h"
#include "pathkit/Bez3Engines.h"

namespace {

constexpr std::uint32_t One = 0x80000000u;

template <class P> struct Piece {
    P p0, c1, c2, p3;
    std::uint32_t tStart, tEnd;
    int depth;
};

// Beyond this many pieces the recorders drop everything, so that a runaway subdivision fails
// a test instead of hanging it.
constexpr std::size_t Budget = 1 << 21;

// Records every accepted piece with its parameter range and depth.
class FloatRecorder : public floatBez3Base {
public:
    using floatBez3Base::floatBez3Base;
    int CheckEntry(floatPoint&, floatPoint&, floatPoint&, floatPoint&) override {
        return pieces.size() < Budget;
    }
    void Output(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3) override {
        pieces.push_back({p0, c1, c2, p3, tStart, tEnd, depth});
    }
    std::vector<Piece<floatPoint>> pieces;
};

class LongRecorder : public longBez3Base {
public:
    using longBez3Base::longBez3Base;
    int CheckEntry(longPoint&, longPoint&, longPoint&, longPoint&) override {
        return pieces.size() < Budget;
    }
    void Output(longPoint& p0, longPoint& c1, longPoint& c2, longPoint& p3) override {
        pieces.push_back({p0, c1, c2, p3, tStart, tEnd, depth});
    }
    std::vector<Piece<longPoint>> pieces;
};

longPoint L(std::int32_t x, std::int32_t y) {
    longPoint p;
    p.Fill(x, y);
    return p;
}

// Bitwise, so that NaN coordinates compare equal to their copies.
bool Same(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}
bool Same(std::int32_t a, std::int32_t b) {
    return a == b;
}

template <class P> void ExpectContiguous(const std::vector<Piece<P>>& pieces, std::uint32_t t0) {
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces.front().tStart, t0);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].tStart, pieces[i - 1].tEnd) << i;
        EXPECT_TRUE(Same(pieces[i].p0.x, pieces[i - 1].p3.x)) << i;
        EXPECT_TRUE(Same(pieces[i].p0.y, pieces[i - 1].p3.y)) << i;
    }
    EXPECT_EQ(pieces.back().tEnd, t0 + One);
}

// Parabola y = 4t(1 - t), x = t as a cubic: the midpoint deviation of a piece at depth k is
// exactly 4^-k, so the depth at which pieces become flat is known for every tolerance.
const floatPoint Arch[4] = {{0, 0}, {1.0f / 3, 4.0f / 3}, {2.0f / 3, 4.0f / 3}, {1, 0}};

} // namespace

TEST(Bez3Mask, HoldsThePieceWidthOfEveryDepth) {
    EXPECT_EQ(longBez3Base::Mask[0], 0x80000000u);
    EXPECT_EQ(longBez3Base::Mask[1], 0x40000000u);
    EXPECT_EQ(longBez3Base::Mask[16], 0x00008000u);
    EXPECT_EQ(longBez3Base::Mask[31], 1u);
    for (int k = 0; k < 32; ++k)
        EXPECT_EQ(longBez3Base::Mask[k], 0x80000000u >> k) << k;
}

TEST(FloatBez3Base, StraightAndDegenerateCurvesStillComeOutAsQuarters) {
    // Depth 0 never accepts, depth 1 is flat: four pieces of width 0x20000000.
    FloatRecorder r(0.1f);
    r.CalcCurve({0, 0}, {1, 0}, {2, 0}, {3, 0}, 0);
    ASSERT_EQ(r.pieces.size(), 4u);
    const float ends[4] = {0.75f, 1.5f, 2.25f, 3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.pieces[i].tStart, 0x20000000u * i);
        EXPECT_EQ(r.pieces[i].tEnd, 0x20000000u * (i + 1));
        EXPECT_EQ(r.pieces[i].depth, 1);
        EXPECT_EQ(r.pieces[i].p3, floatPoint(ends[i], 0));
    }
    EXPECT_EQ(r.pieces[0].c1, floatPoint(0.25f, 0));
    EXPECT_EQ(r.pieces[0].c2, floatPoint(0.5f, 0));

    FloatRecorder same;
    same.CalcCurve({2, 5}, {2, 5}, {2, 5}, {2, 5}, 0);
    ASSERT_EQ(same.pieces.size(), 4u);
    for (auto& p : same.pieces)
        EXPECT_EQ(p.p3, floatPoint(2, 5));
    ExpectContiguous(same.pieces, 0);
    EXPECT_EQ(same.depth, 0); // restored after the run
}

TEST(FloatBez3Base, DepthOfFlatnessFollowsTheTolerance) {
    struct Case {
        float tolerance;
        std::size_t pieces; // 2^(k+1) for flatness at depth k (deviation 4^-k)
    };
    const Case cases[] = {{0.3f, 4}, {0.2f, 8}, {0.02f, 16}, {0.01f, 32}, {0.001f, 64}};
    for (const Case& c : cases) {
        FloatRecorder r(c.tolerance);
        r.CalcCurve(Arch[0], Arch[1], Arch[2], Arch[3], 0);
        ASSERT_EQ(r.pieces.size(), c.pieces) << c.tolerance;
        for (auto& p : r.pieces)
            EXPECT_EQ(p.tEnd - p.tStart, One / c.pieces);
        ExpectContiguous(r.pieces, 0);
    }
    // The last test before the output at depth 4 found 4^-4.
    FloatRecorder r(0.01f);
    r.CalcCurve(Arch[0], Arch[1], Arch[2], Arch[3], 0);
    EXPECT_NEAR(r.deviation, 1.0 / 256, 1e-6);
    EXPECT_FLOAT_EQ(r.chordMid.y, (r.pieces[30].p0.y + r.pieces[31].p3.y) / 2);
}

TEST(FloatBez3Base, PiecesFollowTheExactCurveWithinTolerance) {
    const floatPoint p[4] = {{10, 0}, {-5, 40}, {60, 35}, {30, -10}};
    const std::uint32_t t0 = 0x40000000u; // ranges start where the caller says
    const float tol = 0.001f;
    FloatRecorder r(tol);
    r.CalcCurve(p[0], p[1], p[2], p[3], t0);
    ExpectContiguous(r.pieces, t0);
    ASSERT_GT(r.pieces.size(), 64u);

    auto at = [&](std::uint32_t t) {
        double u = double(t - t0) / One;
        return floatPoint(float(bez3(p[0].x, p[1].x, p[2].x, p[3].x, u)),
                          float(bez3(p[0].y, p[1].y, p[2].y, p[3].y, u)));
    };
    for (auto& piece : r.pieces) {
        floatPoint s = at(piece.tStart), e = at(piece.tEnd);
        EXPECT_NEAR(piece.p0.x, s.x, 1e-4);
        EXPECT_NEAR(piece.p3.y, e.y, 1e-4);
        // The chord midpoint stays within the tolerance of the curve's midpoint.
        floatPoint m = at(piece.tStart + (piece.tEnd - piece.tStart) / 2);
        EXPECT_LT(std::fabs((piece.p0.x + piece.p3.x) / 2 - m.x), tol);
        EXPECT_LT(std::fabs((piece.p0.y + piece.p3.y) / 2 - m.y), tol);
    }
}

TEST(FloatBez3Base, CheckEntryPrunesAndDepthStopsAt31) {
    // Keep only the leftmost chain: never flat, so it runs to the depth limit.
    class LeftChain : public FloatRecorder {
    public:
        using FloatRecorder::FloatRecorder;
        int CheckEntry(floatPoint&, floatPoint&, floatPoint&, floatPoint&) override {
            ++entries;
            return tStart == 0;
        }
        int CheckOutput(floatPoint&, floatPoint&, floatPoint&) override { return 0; }
        int entries = 0;
    };
    LeftChain r;
    r.CalcCurve({0, 0}, {0, 1}, {1, 1}, {1, 0}, 0);
    // Depths 0..31 entered on the left, 1..31 rejected on the right.
    EXPECT_EQ(r.entries, 32 + 31);
    ASSERT_EQ(r.pieces.size(), 2u);
    EXPECT_EQ(r.pieces[0].depth, 31);
    // A piece of width 1 cannot be halved: the right half keeps the unit.
    EXPECT_EQ(r.pieces[0].tStart, 0u);
    EXPECT_EQ(r.pieces[0].tEnd, 0u);
    EXPECT_EQ(r.pieces[1].tStart, 0u);
    EXPECT_EQ(r.pieces[1].tEnd, 1u);
}

// Every midpoint of the halving is a float before the next one is taken from it, in the
// optimised build as much as in the unoptimised one: the pieces of six halvings equal those of
// a reference that stores each midpoint.
TEST(FloatBez3Base, EveryMidpointIsRoundedToFloat) {
    class SixHalvings : public floatBez3Base {
    public:
        int CheckOutput(floatPoint&, floatPoint&, floatPoint&) override { return depth >= 5; }
        void Output(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3) override {
            pieces.push_back({p0, c1, c2, p3});
        }
        std::vector<std::array<floatPoint, 4>> pieces;
    };
    struct Reference {
        static float Mid(float a, float b) {
            volatile float m = float((double(a) + b) * 0.5);
            return m;
        }
        static floatPoint Mid(const floatPoint& a, const floatPoint& b) {
            return floatPoint(Mid(a.x, b.x), Mid(a.y, b.y));
        }
        static void Halve(const std::array<floatPoint, 4>& p, int depth,
                          std::vector<std::array<floatPoint, 4>>& out) {
            if (depth == 6) {
                out.push_back(p);
                return;
            }
            floatPoint l1 = Mid(p[0], p[1]), h = Mid(p[1], p[2]), r2 = Mid(p[2], p[3]);
            floatPoint l2 = Mid(l1, h), r1 = Mid(h, r2), m = Mid(l2, r1);
            Halve({p[0], l1, l2, m}, depth + 1, out);
            Halve({m, r1, r2, p[3]}, depth + 1, out);
        }
    };
    const std::array<floatPoint, 4> curve = {
        floatPoint(-163.596f, -254.862f), floatPoint(12.3457f, 199.871f),
        floatPoint(287.113f, -77.7071f), floatPoint(-98.7654f, 143.211f)};
    SixHalvings engine;
    engine.CalcCurve(curve[0], curve[1], curve[2], curve[3], 0);
    std::vector<std::array<floatPoint, 4>> expected;
    Reference::Halve(curve, 0, expected);
    ASSERT_EQ(engine.pieces.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_TRUE(Same(engine.pieces[i][k].x, expected[i][k].x)) << i << ' ' << k;
            EXPECT_TRUE(Same(engine.pieces[i][k].y, expected[i][k].y)) << i << ' ' << k;
        }
    }
}

TEST(FloatBez3Base, BadToleranceTakesTheDefault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {0.0f, -1.0f, nan, inf, -inf}) {
        floatBez3Base e(bad);
        EXPECT_EQ(e.tolerance, floatBez3Base::DefaultTolerance) << bad;
        floatBez3Base f(0.5f);
        f.SetErrorTolerance(bad);
        EXPECT_EQ(f.tolerance, floatBez3Base::DefaultTolerance) << bad;
    }
    floatBez3Base g;
    EXPECT_EQ(g.tolerance, 0.01f);
    g.SetErrorTolerance(0.25f);
    EXPECT_EQ(g.tolerance, 0.25f);

    // Zero tolerance would otherwise subdivide to depth 31 everywhere.
    FloatRecorder r(0.0f);
    r.CalcCurve(Arch[0], Arch[1], Arch[2], Arch[3], 0);
    EXPECT_EQ(r.pieces.size(), 32u);
}

TEST(FloatBez3Base, NonFiniteAndHugeCoordinatesTerminate) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        floatPoint p[4];
        std::size_t maxPieces;
    };
    const Case cases[] = {
        {"all NaN", {{nan, nan}, {nan, nan}, {nan, nan}, {nan, nan}}, 4},
        {"NaN control", {{0, 0}, {nan, 1}, {1, 1}, {1, 0}}, 4},
        {"infinite end", {{0, 0}, {0, 1}, {1, 1}, {inf, 0}}, 64},
        {"infinite control", {{0, 0}, {-inf, inf}, {1, 1}, {1, 0}}, 64},
        {"near float max",
         {{-3e38f, -3e38f}, {-3e38f, 3e38f}, {3e38f, 3e38f}, {3e38f, -3e38f}},
         1 << 20},
        {"tiny tolerance against large coordinates",
         {{1e6f, 1e6f}, {1e6f, 2e6f}, {2e6f, 2e6f}, {2e6f, 1e6f}},
         1 << 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FloatRecorder r(1e-6f);
        r.CalcCurve(c.p[0], c.p[1], c.p[2], c.p[3], 0);
        EXPECT_GE(r.pieces.size(), 4u);
        EXPECT_LE(r.pieces.size(), c.maxPieces);
        ExpectContiguous(r.pieces, 0);
    }
}

TEST(LongBez3Base, IntegerMidpointsTruncateTowardsZero) {
    LongRecorder r(1000);
    r.CalcCurve(L(-3, 0), L(0, 0), L(0, 0), L(0, 0), 0);
    ASSERT_EQ(r.pieces.size(), 4u);
    // Left half (-3, -1, 0, 0): (-3 + 0) / 2 is -1, not -2.
    const auto& first = r.pieces[0];
    EXPECT_EQ(first.p0.x, -3);
    EXPECT_EQ(first.c1.x, -2);
    EXPECT_EQ(first.c2.x, -1);
    EXPECT_EQ(first.p3.x, 0);
    EXPECT_EQ(r.pieces[1].c1.x, 0);
    ExpectContiguous(r.pieces, 0);
}

TEST(LongBez3Base, DepthOfFlatnessFollowsTheTolerance) {
    // y = 12288 t(1 - t), x = 6144 t: the deviation at depth k is 3072 / 4^k, exact in integers.
    const longPoint p[4] = {L(0, 0), L(2048, 4096), L(4096, 4096), L(6144, 0)};
    struct Case {
        std::int32_t tolerance;
        std::size_t pieces;
    };
    const Case cases[] = {{1000, 4}, {100, 16}, {20, 32}, {4, 64}};
    for (const Case& c : cases) {
        LongRecorder r(c.tolerance);
        r.CalcCurve(p[0], p[1], p[2], p[3], 0);
        ASSERT_EQ(r.pieces.size(), c.pieces) << c.tolerance;
        ExpectContiguous(r.pieces, 0);
        // Every piece end lies on the curve.
        for (auto& piece : r.pieces) {
            double t = double(piece.tEnd) / One;
            EXPECT_EQ(piece.p3.x, std::lround(6144 * t));
            EXPECT_EQ(piece.p3.y, std::lround(12288 * t * (1 - t)));
        }
    }
}

TEST(LongBez3Base, ExtremeCoordinatesAndBadTolerance) {
    const std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    const std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    for (std::int32_t tol : {0, -5, 1}) {
        LongRecorder r(tol);
        EXPECT_EQ(r.tolerance, 1);
        // Sums of two coordinates overflow 32 bits; the truncation noise of one unit must not
        // keep pieces from becoming flat.
        r.CalcCurve(L(lo, lo), L(lo, hi), L(hi, hi), L(hi, lo), 0);
        ExpectContiguous(r.pieces, 0);
        EXPECT_LE(r.pieces.size(), 1u << 18);
        EXPECT_EQ(r.pieces.front().p0.x, lo);
        EXPECT_EQ(r.pieces.back().p3.x, hi);
        EXPECT_EQ(r.pieces.back().p3.y, lo);
    }
    // A small curve with the finest tolerance stays small.
    LongRecorder r(1);
    r.CalcCurve(L(0, 0), L(0, 1000), L(1000, 1000), L(1000, 0), 0);
    EXPECT_LE(r.pieces.size(), 256u);
    longBez3Base s;
    s.SetErrorTolerance(7);
    EXPECT_EQ(s.tolerance, 7);
    s.SetErrorTolerance(0);
    EXPECT_EQ(s.tolerance, 1);
}

namespace {

double CurveDistanceToChords(const floatPoint (&c)[4], const std::vector<Piece<floatPoint>>& pieces) {
    auto at = [&](double t, double& x, double& y) {
        double u = 1 - t;
        double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
        x = w0 * c[0].x + w1 * c[1].x + w2 * c[2].x + w3 * c[3].x;
        y = w0 * c[0].y + w1 * c[1].y + w2 * c[2].y + w3 * c[3].y;
    };
    double worst = 0;
    for (const auto& p : pieces) {
        double t0 = p.tStart / double(One), t1 = p.tEnd / double(One);
        double ax = p.p0.x, ay = p.p0.y, dx = p.p3.x - ax, dy = p.p3.y - ay;
        double len2 = dx * dx + dy * dy;
        for (int k = 0; k <= 64; ++k) {
            double x, y;
            at(t0 + (t1 - t0) * k / 64, x, y);
            double f = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0) : 0;
            worst = std::max(worst, std::hypot(ax + f * dx - x, ay + f * dy - y));
        }
    }
    return worst;
}

} // namespace

// S-curves whose inflection falls in the middle of a piece: the piece's midpoint lies on its
// chord's midpoint although the curve strays from the chord (by 2 to 3.6 times the tolerance
// before the halves' control points were checked too).
TEST(FloatBez3Base, SCurvesStayWithinTheTolerance) {
    struct Case {
        floatPoint c[4];
        float tolerance;
    };
    const Case cases[] = {
        {{{0, 0}, {78.9628906f, 47.5324478f}, {45.3200798f, -8.80839252f}, {80, 0}}, 0.1f},
        {{{0, 0}, {14.79041f, 10.526639f}, {12.3053513f, -1.63407826f}, {20, 0}}, 0.01f},
        {{{0, 0}, {3.30620575f, 11.6702137f}, {14.8037748f, -5.33287811f}, {20, 0}}, 0.001f},
    };
    for (const Case& k : cases) {
        for (float tol : {0.1f, 0.01f, 0.001f}) {
            FloatRecorder r(tol);
            r.CalcCurve(k.c[0], k.c[1], k.c[2], k.c[3], 0);
            ExpectContiguous(r.pieces, 0);
            EXPECT_LE(CurveDistanceToChords(k.c, r.pieces), tol)
                << k.tolerance << " at " << tol;
        }
    }
}

// The acceptance test as it was before S-shaped pieces were checked too.
class MidpointOnlyRecorder : public FloatRecorder {
public:
    using FloatRecorder::FloatRecorder;
    int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) override {
        floatPoint chord(float((double(p0.x) + p3.x) * 0.5), float((double(p0.y) + p3.y) * 0.5));
        float dev = std::max(std::fabs(mid.x - chord.x), std::fabs(mid.y - chord.y));
        return depth > 0 && !(dev >= tolerance);
    }
};

// Convex curves are flattened exactly as by the midpoint test alone, piece for piece.
TEST(FloatBez3Base, ConvexCurvesAreUnchanged) {
    const floatPoint curves[3][4] = {{{0, 0}, {10, 0}, {20, 5}, {25, 20}},
                                     {{0, 0}, {1.0f / 3, 4.0f / 3}, {2.0f / 3, 4.0f / 3}, {1, 0}},
                                     {{5, -3}, {-12.5f, 7.25f}, {3, 30}, {17, 21.5f}}};
    for (const auto& c : curves) {
        for (float tol : {0.1f, 0.01f, 0.001f}) {
            FloatRecorder now(tol);
            MidpointOnlyRecorder before(tol);
            now.CalcCurve(c[0], c[1], c[2], c[3], 0);
            before.CalcCurve(c[0], c[1], c[2], c[3], 0);
            ASSERT_EQ(now.pieces.size(), before.pieces.size()) << tol;
            for (std::size_t i = 0; i < now.pieces.size(); ++i) {
                const auto &a = now.pieces[i], &b = before.pieces[i];
                EXPECT_TRUE(a.tStart == b.tStart && a.tEnd == b.tEnd && a.p0 == b.p0 &&
                            a.c1 == b.c1 && a.c2 == b.c2 && a.p3 == b.p3)
                    << tol << " piece " << i;
            }
        }
    }
}
