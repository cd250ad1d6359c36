#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ContourSampling.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/Bez3FitBase.h"
#include "pathkit/Path.h"
#include "pathkit/PathFitter.h"

namespace {

using contour::Pt;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr double kPi = std::numbers::pi;

struct Cmd {
    int cmd;
    float x, y;
};

class Recorder : public Bez3FitBase {
public:
    using Bez3FitBase::Bez3FitBase;
    void Output(PathCmd cmd, float x, float y) override { out.push_back({int(cmd), x, y}); }

    // "1 2 3 0 0": the commands received.
    std::string Commands() const {
        std::string s;
        for (const Cmd& c : out)
            s += (s.empty() ? "" : " ") + std::to_string(c.cmd);
        return s;
    }
    bool AllFinite() const {
        for (const Cmd& c : out)
            if (!std::isfinite(c.x) || !std::isfinite(c.y)) return false;
        return true;
    }

    std::vector<Cmd> out;
};

void Feed(Bez3FitBase& fitter, const std::vector<floatPoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i)
        fitter.AddPoint(i ? PC_LINETO : PC_MOVETO, points[i].x, points[i].y);
    fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
}

bool Finite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Counts the polls and optionally cancels, installed for its lifetime.
class CountingHandler : public AbortHandler {
public:
    explicit CountingHandler(int throwAt = 0) : previous_(DefAbortHandler), throwAt_(throwAt) {
        DefAbortHandler = this;
    }
    ~CountingHandler() override { DefAbortHandler = previous_; }
    void SetStage(const char*, float, float) override {}
    void SetProgress(float) override {}
    void CheckAbort() override {
        if (++polls == throwAt_) throw std::runtime_error("cancelled");
    }
    int polls = 0;

private:
    AbortHandler* previous_;
    int throwAt_;
};

// ---- refitting a known cubic

struct Mode {
    const char* name;
    int search;
    int tangents;
};

void PrintTo(const Mode& m, std::ostream* os) {
    *os << m.name;
}

class RefitCubic : public testing::TestWithParam<Mode> {};

TEST_P(RefitCubic, SamplesOfACubicAreRefittedWithinTheTolerance) {
    Path path(0.01f); // tolerance 0.02
    PathFitter fitter(path, GetParam().search, GetParam().tangents);
    const Pt a{0, 0}, b{10, 30}, c{40, -10}, d{50, 20};

    std::vector<floatPoint> samples;
    for (int i = 0; i <= 200; ++i) {
        Pt p = contour::Cubic(a, b, c, d, i / 200.0);
        samples.emplace_back(float(p.x), float(p.y));
    }
    Feed(fitter, samples);
    path.ClosePath();

    ASSERT_EQ(path.subPaths.Filled(), 1);
    const SubPath& sp = path.subPaths[0];
    EXPECT_EQ(sp.members[0].start, samples.front());
    EXPECT_EQ(sp.members.last()->end, samples.back());
    EXPECT_LE(sp.members.Filled(), 12) << "the fit should take long runs";
    EXPECT_TRUE(sp.members[0].IsCurve());

    std::vector<Pt> fitted = contour::Sample(sp), given, exact;
    for (const floatPoint& p : samples)
        given.push_back(contour::P(p));
    for (int i = 0; i <= 4000; ++i)
        exact.push_back(contour::Cubic(a, b, c, d, i / 4000.0));
    EXPECT_LE(contour::MaxDistance(given, fitted), 0.02 + 1e-4);
    // Between the samples the result stays close to the curve as well.
    EXPECT_LE(contour::MaxDistance(fitted, exact), 0.02 + 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Modes, RefitCubic,
                         testing::Values(Mode{"Grow", 0, 0}, Mode{"Shrink", 1, 0},
                                         Mode{"GrowTangents", 0, 1}, Mode{"ShrinkTangents", 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- corners and straight runs

struct Turn {
    const char* name;
    double degrees; // signed turn at the middle point
    double leg;
    const char* commands;
};

void PrintTo(const Turn& t, std::ostream* os) {
    *os << t.name;
}

class CornerRule : public testing::TestWithParam<Turn> {};

// Legs of 0.03 fit one cubic within 0.02 whatever the turn, so only the corner rule decides.
TEST_P(CornerRule, ThreePointsKeepTheirCornerFrom85Degrees) {
    const Turn& turn = GetParam();
    double a = turn.degrees * kPi / 180;
    floatPoint p0(0, 0), p1(float(turn.leg), 0),
        p2(float(turn.leg * (1 + std::cos(a))), float(turn.leg * std::sin(a)));
    Recorder r(0.02f, 0, 0);
    Feed(r, {p0, p1, p2});
    EXPECT_EQ(r.Commands(), turn.commands);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back().x, p2.x);
    EXPECT_EQ(r.out.back().y, p2.y);
    if (std::string(turn.commands) == "1 2 2") {
        EXPECT_EQ(r.out[1].x, p1.x);
        EXPECT_EQ(r.out[1].y, p1.y);
    }
}

INSTANTIATE_TEST_SUITE_P(Turns, CornerRule,
                         testing::Values(Turn{"RightAngleLongLegs", 90, 10, "1 2 2"},
                                         Turn{"RightAngleShortLegs", 90, 0.03, "1 2 2"},
                                         Turn{"Just85", 86, 0.03, "1 2 2"},
                                         Turn{"Just85Clockwise", -86, 0.03, "1 2 2"},
                                         Turn{"JustBelow85", 84, 0.03, "1 3 0 0"},
                                         Turn{"JustBelow85Clockwise", -84, 0.03, "1 3 0 0"},
                                         Turn{"Reversal", 180, 0.03, "1 2 2"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CurveFit, DenseLegsKeepTheCornerAsANodeAndStayLines) {
    // Right angle at (20, 0), legs sampled every 0.5.
    std::vector<floatPoint> points;
    for (int i = 0; i <= 40; ++i)
        points.emplace_back(i * 0.5f, 0.0f);
    for (int i = 1; i <= 40; ++i)
        points.emplace_back(20.0f, i * 0.5f);
    for (Mode mode : {Mode{"Grow", 0, 0}, Mode{"ShrinkTangents", 1, 1}}) {
        SCOPED_TRACE(mode.name);
        Path path(0.01f);
        PathFitter fitter(path, mode.search, mode.tangents);
        Feed(fitter, points);
        path.ClosePath();
        ASSERT_EQ(path.subPaths.Filled(), 1);
        bool cornerIsNode = false;
        for (const PathMember& m : path.subPaths[0].members) {
            EXPECT_FALSE(m.IsCurve());
            // Every line lies on one leg.
            EXPECT_TRUE((m.start.y == 0 && m.end.y == 0) || (m.start.x == 20 && m.end.x == 20));
            if (m.end == floatPoint(20, 0)) cornerIsNode = true;
        }
        EXPECT_TRUE(cornerIsNode);
        EXPECT_EQ(path.subPaths[0].members.last()->end, floatPoint(20, 20));
    }
}

TEST(CurveFit, StraightRunGivesLines) {
    // Uneven spacing along a slanted line.
    std::vector<floatPoint> points;
    float s = 0;
    for (int i = 0; i < 60; ++i, s += 0.25f + (i % 3) * 0.5f)
        points.emplace_back(2 + s, 1 + 0.5f * s);
    struct Case {
        Mode mode;
        int members; // 0: any number
    };
    // Growing with fixed tangents starts from runs of two steps, whose handles one inner point
    // cannot determine: it takes short pieces.
    for (Case c : {Case{{"Grow", 0, 0}, 1}, Case{{"Shrink", 1, 0}, 1},
                   Case{{"ShrinkTangents", 1, 1}, 1}, Case{{"GrowTangents", 0, 1}, 0}}) {
        SCOPED_TRACE(c.mode.name);
        Path path(0.01f);
        PathFitter fitter(path, c.mode.search, c.mode.tangents);
        Feed(fitter, points);
        path.ClosePath();
        ASSERT_EQ(path.subPaths.Filled(), 1);
        const PathMemberEDynArr& members = path.subPaths[0].members;
        if (c.members) {
            EXPECT_EQ(members.Filled(), c.members);
        }
        for (const PathMember& m : members) {
            EXPECT_FALSE(m.IsCurve());
            EXPECT_FLOAT_EQ(m.end.y - 1, 0.5f * (m.end.x - 2));
        }
        EXPECT_EQ(members[0].start, points.front());
        EXPECT_EQ(members.last()->end, points.back());
    }
}

TEST(CurveFit, ARunBackToItsStartIsNeverOneCurve) {
    // The corners of a small block and back: one cubic from the start to the same point would
    // be a teardrop (or a figure eight) over a part of the block, whatever the tolerance.
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        Recorder r(20, mode, 0);
        Feed(r, {{5, 0}, {10, 1}, {10, 5}, {5, 6}, {0, 5}, {0, 1}, {5, 0}});
        ASSERT_TRUE(r.AllFinite());
        Pt at{r.out[0].x, r.out[0].y};
        int pieces = 0;
        for (std::size_t i = 1; i < r.out.size(); ++i) {
            if (r.out[i].cmd == PC_CURVETO) {
                i += 2;
                EXPECT_FALSE(r.out[i].x == at.x && r.out[i].y == at.y) << "a curve back to its start";
            }
            at = Pt{r.out[i].x, r.out[i].y};
            ++pieces;
        }
        EXPECT_GE(pieces, 2);
        EXPECT_EQ(r.out.back().x, 5);
        EXPECT_EQ(r.out.back().y, 0);
    }
}

TEST(CurveFit, NoToleranceOutputsThePolylineWithoutRepeats) {
    for (float tolerance : {0.0f, -1.0f, kNaN}) {
        SCOPED_TRACE(tolerance);
        Recorder r(tolerance, 0, 0);
        EXPECT_EQ(r.tolerance, 0.0f);
        Feed(r, {{0, 0}, {1, 0}, {1, 0}, {1, 1}, {3, 5}, {3.5f, 5}});
        EXPECT_EQ(r.Commands(), "1 2 2 2 2");
        ASSERT_EQ(r.out.size(), 5u);
        EXPECT_EQ(r.out[2].x, 1);
        EXPECT_EQ(r.out[2].y, 1);
        EXPECT_EQ(r.out[4].x, 3.5f);

        // Reusable: the next run brings its own first command.
        r.out.clear();
        r.AddPoint(PC_LINETO, 7, 7);
        r.AddPoint(PC_LINETO, 8, 7);
        r.AddPoint(Bez3FitBase::EndRun, 0, 0);
        EXPECT_EQ(r.Commands(), "2 2");
        EXPECT_EQ(r.out[0].x, 7);
    }
}

TEST(CurveFit, PathFitterToleranceFollowsThePathAccuracy) {
    Path path(0.05f);
    PathFitter fitter(path, 0, 0);
    EXPECT_FLOAT_EQ(fitter.GetAccuracy(), 0.05f);
    EXPECT_FLOAT_EQ(fitter.tolerance, 0.1f);
    fitter.SetAccuracy(0.2f);
    EXPECT_FLOAT_EQ(path.accuracy, 0.2f);
    EXPECT_FLOAT_EQ(fitter.tolerance, 0.4f);
    fitter.SetAccuracy(kNaN);
    EXPECT_FLOAT_EQ(fitter.GetAccuracy(), Path::ValidAccuracy(0));
    EXPECT_FLOAT_EQ(fitter.tolerance, 2 * Path::ValidAccuracy(0));
}

// ---- a run ended by a full array

TEST(CurveFit, FullArrayEndsTheRunAndTheNextContinuesWithoutLoss) {
    const int n = SmoothRecDynArr::Limit + 10;
    std::vector<floatPoint> points;
    for (int i = 0; i < n; ++i)
        points.emplace_back(float(i), float(i % 7));
    Recorder r(0, 0, 0);
    Feed(r, points);
    // One move; afterwards the continuation repeats the full run's last point once.
    ASSERT_EQ(r.out.size(), std::size_t(n) + 1);
    EXPECT_EQ(r.out[0].cmd, PC_MOVETO);
    std::vector<floatPoint> received;
    for (const Cmd& c : r.out) {
        if (&c != &r.out[0]) {
            EXPECT_EQ(c.cmd, PC_LINETO);
        }
        if (received.empty() || received.back() != floatPoint(c.x, c.y))
            received.emplace_back(c.x, c.y);
    }
    EXPECT_EQ(received, points);
}

TEST(CurveFit, FullArrayOfALineFitsTwoLinesMeetingAtTheLimit) {
    const int n = SmoothRecDynArr::Limit + 10;
    Path path(0.01f);
    PathFitter fitter(path, 0, 0);
    for (int i = 0; i < n; ++i)
        fitter.AddPoint(i ? PC_LINETO : PC_MOVETO, i * 0.5f, i * 0.25f);
    fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
    path.ClosePath();
    ASSERT_EQ(path.subPaths.Filled(), 1);
    const PathMemberEDynArr& m = path.subPaths[0].members;
    ASSERT_EQ(m.Filled(), 2);
    const int k = SmoothRecDynArr::Limit - 1; // the full run's last point
    EXPECT_EQ(m[0].start, floatPoint(0, 0));
    EXPECT_EQ(m[0].end, floatPoint(k * 0.5f, k * 0.25f));
    EXPECT_EQ(m[1].end, floatPoint((n - 1) * 0.5f, (n - 1) * 0.25f));
    EXPECT_FALSE(m[0].IsCurve() || m[1].IsCurve());
}

// ---- degenerate and bad input

struct BadRun {
    const char* name;
    std::vector<floatPoint> points;
    const char* commands;
};

void PrintTo(const BadRun& r, std::ostream* os) {
    *os << r.name;
}

class DegenerateRun : public testing::TestWithParam<BadRun> {};

TEST_P(DegenerateRun, GivesFinitePlainOutput) {
    for (Mode mode : {Mode{"Grow", 0, 0}, Mode{"Shrink", 1, 0}, Mode{"GrowTangents", 0, 1},
                      Mode{"ShrinkTangents", 1, 1}}) {
        SCOPED_TRACE(mode.name);
        Recorder r(0.02f, mode.search, mode.tangents);
        Feed(r, GetParam().points);
        EXPECT_TRUE(r.AllFinite());
        EXPECT_EQ(r.Commands(), GetParam().commands);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DegenerateRun,
    testing::Values(
        BadRun{"AllPointsEqual", {{3, 3}, {3, 3}, {3, 3}}, "1"},
        BadRun{"TwoPoints", {{0, 0}, {4, 1}}, "1 2"},
        BadRun{"BackAndForth", {{0, 0}, {10, 0}, {5, 0}}, "1 2 2"},
        // The middle point's chord length rounds to the whole span: parameter exactly 1.
        BadRun{"MiddleParameterOne", {{0, 0}, {1e10f, 0}, {1e10f, 1e-7f}}, "1 2 2"},
        BadRun{"NaNAndInfiniteDropped",
               {{kNaN, 0}, {0, 0}, {kInf, 1}, {1, -kInf}, {2, 0}, {kNaN, kNaN}},
               "1 2"},
        BadRun{"HugeCoordinates",
               {{-3e38f, -3e38f}, {0, 3e38f}, {3e38f, -3e38f}, {3e38f, 3e38f}},
               "1 2 2 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CurveFit, DroppedFirstPointKeepsTheRunsMove) {
    Recorder r(0.02f, 0, 0);
    r.AddPoint(PC_MOVETO, kNaN, 1);
    r.AddPoint(PC_LINETO, 5, 5);
    r.AddPoint(PC_LINETO, 6, 5);
    r.AddPoint(Bez3FitBase::EndRun, 0, 0);
    EXPECT_EQ(r.Commands(), "1 2");
    EXPECT_EQ(r.out[0].x, 5);
}

// Parameters given by hand: a middle point at 0 or 1, a range without length, a decreasing one.
struct ParamCase {
    const char* name;
    double t0, t1, t2;
    bool noLength;
};

void PrintTo(const ParamCase& c, std::ostream* os) {
    *os << c.name;
}

class DegenerateParameters : public testing::TestWithParam<ParamCase> {};

TEST_P(DegenerateParameters, FitsGiveFiniteControlPoints) {
    const ParamCase& c = GetParam();
    Bez3FitBase f(0.02f, 0, 0);
    f.AddPoint(0, 0, c.t0);
    f.AddPoint(5, 5, c.t1);
    f.AddPoint(10, 0, c.t2);
    ASSERT_EQ(f.points.Filled(), 3);

    floatPoint c1, c2;
    double error = f.FitBez3(0, 2, c1, c2);
    EXPECT_FALSE(std::isnan(error));
    EXPECT_TRUE(Finite(c1) && Finite(c2));
    if (c.noLength) {
        // The straight segment, and the middle point is measured at parameter 0.
        EXPECT_FLOAT_EQ(c1.x, 10.0f / 3);
        EXPECT_FLOAT_EQ(c2.x, 20.0f / 3);
        EXPECT_EQ(c1.y, 0);
        EXPECT_EQ(c2.y, 0);
        EXPECT_NEAR(error, std::hypot(5, 5), 1e-6);
    }

    error = f.FitBez3T(0, 2, c1, c2, nullptr, nullptr);
    EXPECT_FALSE(std::isnan(error));
    EXPECT_TRUE(Finite(c1) && Finite(c2));
    for (floatPoint t : {f.CalcStartTangential(), f.CalcEndTangential()})
        EXPECT_TRUE(Finite(t));
}

INSTANTIATE_TEST_SUITE_P(Cases, DegenerateParameters,
                         testing::Values(ParamCase{"MiddleAtZero", 0, 0, 1, false},
                                         ParamCase{"MiddleAtOne", 0, 1, 1, false},
                                         ParamCase{"NoLength", 0.5, 0.5, 0.5, true},
                                         ParamCase{"Decreasing", 1, 0.5, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CurveFit, ExplicitParameterPointsDropBadInput) {
    Bez3FitBase f(0.02f, 0, 0);
    f.AddPoint(1, 1, 0.1);
    f.AddPoint(1, 1, 0.2); // repeat
    f.AddPoint(kNaN, 1, 0.3);
    f.AddPoint(2, 1, std::numeric_limits<double>::quiet_NaN());
    f.AddPoint(2, 2, 0.5);
    ASSERT_EQ(f.points.Filled(), 2);
    EXPECT_EQ(f.points[1].len, 0.5);
}

// ---- fitting with fixed tangents and given parameters

TEST(CurveFit, FourPointFitRescalesTheHandles) {
    // Points of the curve (0,0) (0,30) (40,30) (40,0); handles given a third as long.
    const Pt a{0, 0}, b{0, 30}, c{40, 30}, d{40, 0};
    Bez3FitBase f(0.02f, 0, 0);
    for (int i = 0; i <= 20; ++i) {
        Pt p = contour::Cubic(a, b, c, d, i / 20.0);
        f.AddPoint(float(p.x), float(p.y), i / 20.0);
    }
    floatPoint p0(0, 0), c1(0, 10), c2(40, 10), p3(40, 0);
    f.FitBez3T(p0, c1, c2, p3);
    EXPECT_NEAR(c1.x, 0, 1e-4);
    EXPECT_NEAR(c1.y, 30, 1e-3);
    EXPECT_NEAR(c2.x, 40, 1e-4);
    EXPECT_NEAR(c2.y, 30, 1e-3);
    EXPECT_EQ(f.points.Filled(), 0);

    // Without points nothing determines the handles: they stay.
    f.FitBez3T(p0, c1, c2, p3);
    EXPECT_NEAR(c1.y, 30, 1e-3);
    EXPECT_NEAR(c2.y, 30, 1e-3);
}

TEST(CurveFit, TangentFitFollowsGivenTangents) {
    // Quarter-circle-like cubic (0,0) (0,10) (10,20) (20,20), sampled by chord length.
    const Pt a{0, 0}, b{0, 10}, c{10, 20}, d{20, 20};
    Bez3FitBase f(0.02f, 1, 1);
    for (int i = 0; i <= 100; ++i) {
        Pt p = contour::Cubic(a, b, c, d, i / 100.0);
        f.AddPoint(i ? PC_LINETO : PC_MOVETO, float(p.x), float(p.y));
    }
    f.CalcLen();
    floatPoint ts(0, 1), te(19, 20), c1, c2;
    double error = f.FitBez3T(0, 100, c1, c2, &ts, &te);
    // The handles lie along the given tangents.
    EXPECT_EQ(c1.x, 0);
    EXPECT_GT(c1.y, 0);
    EXPECT_EQ(c2.y, 20);
    EXPECT_LT(c2.x, 20);
    EXPECT_LT(error, 0.5);
    // The estimates point along the first and last chords.
    floatPoint s = f.CalcStartTangential(), e = f.CalcEndTangential();
    EXPECT_NEAR(s.x, 0, 0.05);
    EXPECT_NEAR(s.y, 1, 1e-3);
    EXPECT_NEAR(e.x, 19, 1e-3);
    EXPECT_NEAR(e.y, 20, 0.05);
}

// ---- abort polling

TEST(CurveFit, FitsPollTheAbortHandlerEvery50thCall) {
    Bez3FitBase f(0.02f, 0, 0);
    for (floatPoint p : {floatPoint(0, 0), floatPoint(1, 1), floatPoint(2, 0), floatPoint(3, 1)})
        f.AddPoint(PC_LINETO, p.x, p.y);
    f.CalcLen();
    floatPoint c1, c2;
    {
        CountingHandler handler;
        for (int i = 0; i < 100; ++i)
            f.FitBez3(0, 3, c1, c2);
        EXPECT_EQ(handler.polls, 2);
    }
    {
        CountingHandler handler;
        for (int i = 0; i < 100; ++i)
            f.FitBez3T(0, 3, c1, c2, nullptr, nullptr);
        EXPECT_EQ(handler.polls, 2);
    }
}

TEST(CurveFit, CancelledFitLeavesAReusableFitter) {
    // A spiral needs many fits.
    std::vector<floatPoint> points;
    for (int i = 0; i < 3000; ++i) {
        double a = i * 0.05, r = 5 + i * 0.01;
        points.emplace_back(float(r * std::cos(a)), float(r * std::sin(a)));
    }
    Recorder r(0.002f, 0, 0);
    {
        CountingHandler cancelling(1);
        EXPECT_THROW(Feed(r, points), std::runtime_error);
        EXPECT_EQ(cancelling.polls, 1);
    }
    EXPECT_EQ(r.points.Filled(), 0);
    r.out.clear();
    Feed(r, {{0, 0}, {1, 0}});
    EXPECT_EQ(r.Commands(), "1 2");
}

} // namespace
