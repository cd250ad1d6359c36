#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geomkit/WSegment.h"
#include "geomkit/WSegmentSlicer.h"

namespace {

using P = WPont<float>;

struct Sample {
    float t;
    P p;
};

// Collects every point; stops after `stopAfter` points when that is positive.
class Collector : public WSegmentSlicer {
public:
    explicit Collector(const WSegment* s, int stopAfter = 0)
        : WSegmentSlicer(s), m_stopAfter(stopAfter) {}
    std::vector<Sample> samples;

protected:
    int OutPut(float t, const P& p) override {
        samples.push_back({t, p});
        return m_stopAfter <= 0 || int(samples.size()) < m_stopAfter;
    }

private:
    int m_stopAfter;
};

WSegment Curve(P p0, P c1, P c2, P p3) {
    WSegment s;
    s.Initialize(p0, c1, c2, p3);
    return s;
}

// Largest turn in degrees between consecutive chords of the walk.
double LargestTurn(const WSegment& s, const std::vector<Sample>& samples) {
    double worst = 0;
    P prev = s.GetP0();
    WVektor<double> last(0, 0);
    for (const Sample& x : samples) {
        WVektor<double> chord(x.p - prev);
        if (last.SquaredLength() > 0 && chord.SquaredLength() > 0) {
            double c = Dot(last, chord) / (last.Length() * chord.Length());
            worst = std::max(worst, std::acos(std::min(1.0, c)) * 180 / 3.14159265358979);
        }
        last = chord;
        prev = x.p;
    }
    return worst;
}

} // namespace

TEST(WSegmentSlicer, StraightSegments) {
    WSegment line;
    line.Initialize(P(0, 0), P(1, 0));
    Collector plain(&line);
    EXPECT_EQ(plain.StartSlicing(), 1);
    ASSERT_EQ(plain.samples.size(), 1u);
    EXPECT_EQ(plain.samples[0].t, 1.0f);
    EXPECT_EQ(plain.samples[0].p, P(1, 0));

    Collector sliced(&line);
    sliced.SetLineSlicing(1);
    EXPECT_EQ(sliced.StartSlicing(), 1);
    ASSERT_EQ(sliced.samples.size(), 4u);
    const float ts[] = {0.25f, 0.5f, 0.75f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(sliced.samples[i].t, ts[i]);
        EXPECT_FLOAT_EQ(sliced.samples[i].p.x, ts[i]);
    }

    // Zero, NaN and enormous lengths end without stalling.
    const P ends[] = {P(0, 0), P(std::nanf(""), 0), P(3e38f, 3e38f)};
    for (const P& end : ends) {
        WSegment odd;
        odd.Initialize(P(0, 0), end);
        Collector c(&odd, 10);
        c.SetLineSlicing(1);
        c.StartSlicing();
        EXPECT_LE(c.samples.size(), 10u);
    }

    Collector none(nullptr);
    EXPECT_EQ(none.StartSlicing(), 0);
}

TEST(WSegmentSlicer, CurveWalkIsAdaptive) {
    WSegment q = Curve(P(10, 0), P(10, 5.5228f), P(5.5228f, 10), P(0, 10));
    Collector c(&q);
    EXPECT_EQ(c.StartSlicing(), 1);
    ASSERT_GE(c.samples.size(), 10u);
    EXPECT_LE(c.samples.size(), 1000u);
    EXPECT_EQ(c.samples.back().t, 1.0f);
    EXPECT_EQ(c.samples.back().p, q.GetP3());
    for (std::size_t i = 1; i < c.samples.size(); ++i) {
        EXPECT_GT(c.samples[i].t, c.samples[i - 1].t);
        EXPECT_LT(c.samples[i].t - c.samples[i - 1].t, 0.1f + 1e-6f);
    }
    for (const Sample& s : c.samples) {
        P on = q.CoordAtParam(s.t);
        EXPECT_NEAR(s.p.x, on.x, 1e-3); // forward differencing stays on the curve
        EXPECT_NEAR(s.p.y, on.y, 1e-3);
    }
    EXPECT_LT(LargestTurn(q, c.samples), 5.5);

    // A tight bend needs small steps; a gentle one a few long ones.
    WSegment tight = Curve(P(0, 0), P(10, 10), P(-10, 10), P(0.1f, 0));
    Collector ct(&tight);
    ct.StartSlicing();
    WSegment gentle = Curve(P(0, 0), P(3, 0.1f), P(7, 0.1f), P(10, 0));
    Collector cg(&gentle);
    cg.StartSlicing();
    EXPECT_GT(ct.samples.size(), 2 * cg.samples.size());
    EXPECT_LE(cg.samples.size(), 15u);

    // With no first control vector the first step goes untested.
    WSegment startFlat = Curve(P(0, 0), P(0, 0), P(5, 5), P(10, 0));
    Collector cf(&startFlat);
    EXPECT_EQ(cf.StartSlicing(), 1);
    EXPECT_EQ(cf.samples.back().p, startFlat.GetP3());
}

TEST(WSegmentSlicer, OutputCanStopTheWalk) {
    WSegment q = Curve(P(0, 0), P(0, 10), P(10, 10), P(10, 0));
    Collector c(&q, 3);
    EXPECT_EQ(c.StartSlicing(), 0);
    EXPECT_EQ(c.samples.size(), 3u);
}

TEST(WSegmentSlicer, DegenerateCurvesTerminate) {
    const P bad[] = {P(std::nanf(""), 1), P(3e38f, -3e38f), P(0, 0)};
    for (const P& c1 : bad) {
        WSegment s = Curve(P(0, 0), c1, P(0, 0), P(0, 0));
        Collector c(&s);
        c.StartSlicing();
        EXPECT_LE(c.samples.size(), 2100u);
        EXPECT_EQ(c.samples.back().t, 1.0f);
    }
}

TEST(WSegmentLength, LinesCurvesAndLimits) {
    WSegment line;
    line.Initialize(P(1, 1), P(4, 5));
    WSegmentLength ll(&line);
    EXPECT_DOUBLE_EQ(ll.GetLength(), 5);
    EXPECT_DOUBLE_EQ(ll.GetLength(0.5f), 2.5);
    EXPECT_DOUBLE_EQ(ll.GetLength(), 2.5); // the limit is kept
    EXPECT_DOUBLE_EQ(ll.GetLength(7), 5);  // clamped to 1
    EXPECT_DOUBLE_EQ(ll.GetLength(std::nanf("")), 0);

    // Symmetric curve: half the parameter range is half the length.
    WSegment arch = Curve(P(0, 0), P(2, 6), P(8, 6), P(10, 0));
    WSegmentLength la(&arch);
    double whole = la.GetLength(1), half = la.GetLength(0.5f);
    EXPECT_NEAR(half, whole / 2, whole * 1e-3);
    EXPECT_EQ(la.GetLength(0), 0);
}

TEST(WSegmentTParamAtArcLength, SearchAndFailures) {
    WSegment arch = Curve(P(0, 0), P(2, 6), P(8, 6), P(10, 0));
    double length = arch.GetLength();
    WSegmentTParamAtArcLength search(&arch);
    double t = -1;
    EXPECT_EQ(search.GetParamAtLength(length / 2, t), 1);
    EXPECT_NEAR(t, 0.5, 1e-3);
    // The parameter found lies at the requested length along the curve.
    double quarter = -1;
    EXPECT_EQ(search.GetParamAtLength(length / 4, quarter), 1);
    WSegmentLength part(&arch);
    EXPECT_NEAR(part.GetLength(float(quarter)), length / 4, length * 2e-3);

    EXPECT_EQ(search.GetParamAtLength(length + 1, t), 0);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(search.GetParamAtLength(0, t), 1);
    EXPECT_EQ(t, 0);

    WSegment dot = Curve(P(1, 1), P(1, 1.000001f), P(1, 1), P(1, 1));
    WSegmentTParamAtArcLength tiny(&dot);
    t = -1;
    EXPECT_EQ(tiny.GetParamAtLength(0.5, t), 0);
    EXPECT_EQ(t, 0);
}
