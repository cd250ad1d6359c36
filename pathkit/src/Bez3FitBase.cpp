#include "pathkit/Bez3FitBase.h"

#include "SegmentGeometry.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "pathkit/AbortHandler.h"
#include "pathkit/NumericToolkit.h"

namespace {

// Fits between two polls of the abort handler; the counters run over the life of the library.
constexpr unsigned PollInterval = 50;
unsigned freeFitCalls = 0;
unsigned tangentFitCalls = 0;

void CountFit(unsigned& calls) {
    if (++calls % PollInterval == 0) DefAbortProc();
}

// Tangents are averaged over the points within this share of the chord length from an end.
constexpr double TangentReach = 0.0015;

constexpr double Infinity = std::numeric_limits<double>::infinity();

double Bez(double a, double b, double c, double d, double t) {
    return a + t * (3 * (b - a) + t * (3 * (a - 2 * b + c) + t * (3 * (b - c) - a + d)));
}

// Bernstein weights of the two control points.
double Weight1(double t) {
    return 3 * t * (1 - t) * (1 - t);
}
double Weight2(double t) {
    return 3 * t * t * (1 - t);
}

floatPoint PointOf(const SmoothRec& r) {
    return floatPoint(r.x, r.y);
}

// A result is used only when it is a finite float.
bool ToFloat(double v, float& out) {
    if (!(std::fabs(v) <= FLT_MAX)) return false;
    out = float(v);
    return true;
}

bool IsFinite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// The control points of the straight segment p0-p3.
void StraightHandles(const floatPoint& p0, const floatPoint& p3, floatPoint& c1, floatPoint& c2) {
    double dx = double(p3.x) - p0.x, dy = double(p3.y) - p0.y;
    c1 = floatPoint(float(p0.x + dx / 3), float(p0.y + dy / 3));
    c2 = floatPoint(float(p0.x + 2 * dx / 3), float(p0.y + 2 * dy / 3));
}

double SegmentDistance(const floatPoint& a, const floatPoint& b, const floatPoint& p) {
    return std::sqrt(SegmentDist2(a, b, p));
}

// Scales (x, y) to unit length; false when it has no finite non-zero length.
bool Normalize(double& x, double& y) {
    double len = std::hypot(x, y);
    if (!(len > 0) || !std::isfinite(len)) return false;
    x /= len;
    y /= len;
    return true;
}

} // namespace

Bez3FitBase::Bez3FitBase(float tol, int search, int tangents)
    : firstCmd(PC_MOVETO), haveFirstCmd(false), rangeFirst(0), rangeLast(0), startValue(0), span(0),
      testPrevT(0), testPrev(nullptr), testParams{0.2, 0.4, 0.6, 0.8}, tolerance(tol > 0 ? tol : 0),
      searchMode(search), tangentMode(tangents) {}

Bez3FitBase::~Bez3FitBase() = default;

void Bez3FitBase::Output(PathCmd, float, float) {}

// ---- collecting

void Bez3FitBase::AddPoint(PathCmd cmd, float x, float y) {
    if (int(cmd) == int(EndRun)) {
        FitHeldRun();
        return;
    }
    if (!points.Filled() && !haveFirstCmd) {
        // Kept even when the point itself is dropped, so that a run still starts as asked.
        firstCmd = cmd;
        haveFirstCmd = true;
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    const SmoothRec* last = points.last();
    if (last && last->x == x && last->y == y) return;
    if (points.IsFull()) {
        // The full run is fitted and the next one continues from its last point.
        SmoothRec carried = *last;
        FitHeldRun();
        firstCmd = PC_LINETO;
        haveFirstCmd = true;
        carried.len = 0;
        points.Append(carried);
    }
    points.Append(SmoothRec{x, y, 0});
}

void Bez3FitBase::AddPoint(float x, float y, double t) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(t)) return;
    const SmoothRec* last = points.last();
    if (last && last->x == x && last->y == y) return;
    if (points.IsFull()) return;
    points.Append(SmoothRec{x, y, t});
}

void Bez3FitBase::ResetRun() {
    points.Reset();
    firstCmd = PC_MOVETO;
    haveFirstCmd = false;
}

void Bez3FitBase::FitHeldRun() {
    // The run is dropped also when the abort handler cancels the fit.
    struct Reset {
        Bez3FitBase* fitter;
        ~Reset() { fitter->ResetRun(); }
    } reset{this};
    FitCurves();
}

void Bez3FitBase::CalcLen() {
    std::uint16_t n = points.Filled();
    if (!n) return;
    points[0].len = 0;
    for (std::uint16_t k = 1; k < n; ++k) {
        const SmoothRec &a = points[std::uint16_t(k - 1)], &b = points[k];
        points[k].len = a.len + std::hypot(double(b.x) - a.x, double(b.y) - a.y);
    }
}

// ---- run search

void Bez3FitBase::FitCurves() {
    std::uint16_t n = points.Filled();
    if (!n) return;
    CalcLen();
    FitCurves(0, n - 1u);
}

void Bez3FitBase::FitCurves(unsigned first, unsigned last) {
    unsigned n = points.Filled();
    if (first >= n) return;
    if (last >= n) last = n - 1;
    if (last < first) last = first;

    Output(firstCmd, points[std::uint16_t(first)].x, points[std::uint16_t(first)].y);
    if (!(tolerance > 0)) {
        for (unsigned k = first + 1; k <= last; ++k)
            Output(PC_LINETO, points[std::uint16_t(k)].x, points[std::uint16_t(k)].y);
        return;
    }
    for (unsigned h = first; h < last;) {
        floatPoint c1, c2;
        unsigned fitted = h; // the end of the range c1 and c2 were fitted for; h: none
        unsigned m = last;
        if (last - h >= 2)
            m = searchMode ? ShrinkSearch(h, last, c1, c2, fitted)
                           : GrowSearch(h, last, c1, c2, fitted);
        if (m <= h) m = h + 1;
        OutputPiece(h, m, c1, c2, fitted);
        h = m;
    }
}

double Bez3FitBase::FitRange(unsigned first, unsigned last, floatPoint& c1, floatPoint& c2) {
    if (tangentMode) return FitBez3T(first, last, c1, c2, nullptr, nullptr);
    return FitBez3(first, last, c1, c2);
}

// A run that comes back to its first point is a loop, which one cubic cannot follow: fitted
// from one point back to the same point it comes out a teardrop or a figure eight that
// covers a part of what the points enclose. Such a run never fits.
bool Bez3FitBase::ReturnsToStart(unsigned h, unsigned e) const {
    const SmoothRec &a = points[std::uint16_t(h)], &b = points[std::uint16_t(e)];
    return a.x == b.x && a.y == b.y;
}

// Doubles the run while it fits; the first failure halves back. A NaN error fails.
unsigned Bez3FitBase::GrowSearch(unsigned h, unsigned last, floatPoint& c1, floatPoint& c2,
                                 unsigned& fitted) {
    unsigned e = h + 2;
    for (;;) {
        double error = ReturnsToStart(h, e) ? Infinity : FitRange(h, e, c1, c2);
        fitted = e;
        if (!(error <= tolerance)) return (h + e) / 2;
        if (e == last) return last;
        unsigned next = 2 * e - h;
        e = next > last ? last : next;
    }
}

// Halves the run until it fits; a run of one step needs no fit.
unsigned Bez3FitBase::ShrinkSearch(unsigned h, unsigned last, floatPoint& c1, floatPoint& c2,
                                   unsigned& fitted) {
    unsigned m = last;
    while (m - h >= 2) {
        double error = ReturnsToStart(h, m) ? Infinity : FitRange(h, m, c1, c2);
        fitted = m;
        if (error < tolerance) break;
        m = (h + m) / 2;
    }
    return m;
}

void Bez3FitBase::OutputPiece(unsigned h, unsigned m, floatPoint& c1, floatPoint& c2,
                              unsigned fitted) {
    auto lineTo = [this](unsigned k) {
        const SmoothRec& r = points[std::uint16_t(k)];
        Output(PC_LINETO, r.x, r.y);
    };
    if (m - h <= 1) {
        lineTo(m);
        return;
    }
    const SmoothRec &a = points[std::uint16_t(h)], &b = points[std::uint16_t(h + 1)],
                    &c = points[std::uint16_t(m)];
    if (m - h == 2 && std::fabs(VectAngle(double(b.x) - a.x, double(b.y) - a.y, double(c.x) - b.x,
                                          double(c.y) - b.y)) >= CornerAngle) {
        lineTo(h + 1);
        lineTo(m);
        return;
    }
    if (fitted != m && !ReturnsToStart(h, m)) FitRange(h, m, c1, c2);
    if (ReturnsToStart(h, m) || !IsFinite(c1) || !IsFinite(c2)) {
        for (unsigned k = h + 1; k <= m; ++k)
            lineTo(k);
        return;
    }
    if (IsStraight(h, m, c1, c2)) {
        lineTo(m);
        return;
    }
    Output(PC_CURVETO, c1.x, c1.y);
    Output(PC_CURVEPOINT, c2.x, c2.y);
    Output(PC_CURVEPOINT, c.x, c.y);
}

// A piece whose control points and points all lie within half the tolerance (the accuracy of
// a path fitter) of its chord is output as a line.
bool Bez3FitBase::IsStraight(unsigned h, unsigned m, const floatPoint& c1,
                             const floatPoint& c2) const {
    double limit = tolerance / 2.0;
    floatPoint a = PointOf(points[std::uint16_t(h)]), b = PointOf(points[std::uint16_t(m)]);
    if (!(SegmentDistance(a, b, c1) <= limit) || !(SegmentDistance(a, b, c2) <= limit))
        return false;
    for (unsigned k = h + 1; k < m; ++k)
        if (!(SegmentDistance(a, b, PointOf(points[std::uint16_t(k)])) <= limit)) return false;
    return true;
}

// ---- fits

double Bez3FitBase::FitBez3(unsigned first, unsigned last, floatPoint& c1, floatPoint& c2) {
    CountFit(freeFitCalls);
    Prepare(first, last);
    if (!points.Filled()) return 0;
    floatPoint p0 = PointOf(points[std::uint16_t(rangeFirst)]);
    floatPoint p3 = PointOf(points[std::uint16_t(rangeLast)]);
    // Also the result when the normal system is singular.
    StraightHandles(p0, p3, c1, c2);
    if (rangeLast - rangeFirst < 1) return 0;
    if (!HasLength()) return CalcError(c1, c2, 0);

    double a11 = 0, a12 = 0, a22 = 0, rx1 = 0, rx2 = 0, ry1 = 0, ry2 = 0;
    auto addSample = [&](double t, double sx, double sy) {
        double w0 = (1 - t) * (1 - t) * (1 - t), w1 = Weight1(t), w2 = Weight2(t), w3 = t * t * t;
        double dx = sx - w0 * p0.x - w3 * p3.x, dy = sy - w0 * p0.y - w3 * p3.y;
        a11 += w1 * w1;
        a12 += w1 * w2;
        a22 += w2 * w2;
        rx1 += w1 * dx;
        rx2 += w2 * dx;
        ry1 += w1 * dy;
        ry2 += w2 * dy;
    };
    for (unsigned k = rangeFirst + 1; k < rangeLast; ++k) {
        SmoothRec* r = &points[std::uint16_t(k)];
        double t = TParamOf(r);
        CalcTestPoints(r, t);
        addSample(t, r->x, r->y);
    }
    CalcTestPoints(&points[std::uint16_t(rangeLast)], 1.0);
    for (int i = 0; i < 4; ++i)
        addSample(testParams[i], testPoints[i].x, testPoints[i].y);

    double x1, x2, y1, y2;
    floatPoint f1, f2;
    if (SolveLin2(a11, a12, a12, a22, rx1, rx2, x1, x2) &&
        SolveLin2(a11, a12, a12, a22, ry1, ry2, y1, y2) && ToFloat(x1, f1.x) && ToFloat(y1, f1.y) &&
        ToFloat(x2, f2.x) && ToFloat(y2, f2.y)) {
        c1 = f1;
        c2 = f2;
    }
    return CalcError(c1, c2, 1);
}

double Bez3FitBase::FitBez3T(unsigned first, unsigned last, floatPoint& c1, floatPoint& c2,
                             floatPoint* startTangent, floatPoint* endTangent) {
    CountFit(tangentFitCalls);
    Prepare(first, last);
    if (!points.Filled()) return 0;
    floatPoint p0 = PointOf(points[std::uint16_t(rangeFirst)]);
    floatPoint p3 = PointOf(points[std::uint16_t(rangeLast)]);
    // Handles of length 0, also the result when the normal system is singular.
    c1 = p0;
    c2 = p3;
    if (rangeLast - rangeFirst < 1) return 0;
    if (!HasLength()) return CalcError(c1, c2, 0);

    floatPoint s = startTangent ? *startTangent : CalcStartTangential();
    floatPoint e = endTangent ? *endTangent : CalcEndTangential();
    double u1x = double(s.x) - p0.x, u1y = double(s.y) - p0.y;
    double u2x = double(e.x) - p3.x, u2y = double(e.y) - p3.y;

    double a11 = 0, a12 = 0, a22 = 0, r1 = 0, r2 = 0;
    double u11 = u1x * u1x + u1y * u1y, u12 = u1x * u2x + u1y * u2y, u22 = u2x * u2x + u2y * u2y;
    for (unsigned k = rangeFirst + 1; k < rangeLast; ++k) {
        const SmoothRec& r = points[std::uint16_t(k)];
        double t = TParamOf(&r);
        double w1 = Weight1(t), w2 = Weight2(t);
        double w01 = (1 - t) * (1 - t) * (1 - t) + w1, w23 = w2 + t * t * t;
        double dx = r.x - w01 * p0.x - w23 * p3.x, dy = r.y - w01 * p0.y - w23 * p3.y;
        a11 += w1 * w1 * u11;
        a12 += w1 * w2 * u12;
        a22 += w2 * w2 * u22;
        r1 += w1 * (u1x * dx + u1y * dy);
        r2 += w2 * (u2x * dx + u2y * dy);
    }
    double h1, h2;
    floatPoint f1, f2;
    if (SolveLin2(a11, a12, a12, a22, r1, r2, h1, h2) && ToFloat(p0.x + h1 * u1x, f1.x) &&
        ToFloat(p0.y + h1 * u1y, f1.y) && ToFloat(p3.x + h2 * u2x, f2.x) &&
        ToFloat(p3.y + h2 * u2y, f2.y)) {
        c1 = f1;
        c2 = f2;
    }
    return CalcError(c1, c2, 0);
}

void Bez3FitBase::FitBez3T(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3) {
    double d1x = double(c1.x) - p0.x, d1y = double(c1.y) - p0.y;
    double d2x = double(c2.x) - p3.x, d2y = double(c2.y) - p3.y;
    double a11 = 0, a12 = 0, a22 = 0, r1 = 0, r2 = 0;
    double d11 = d1x * d1x + d1y * d1y, d12 = d1x * d2x + d1y * d2y, d22 = d2x * d2x + d2y * d2y;
    for (const SmoothRec& r : points) {
        double t = r.len;
        double w1 = Weight1(t), w2 = Weight2(t);
        double w01 = (1 - t) * (1 - t) * (1 - t) + w1, w23 = w2 + t * t * t;
        double dx = r.x - w01 * p0.x - w23 * p3.x, dy = r.y - w01 * p0.y - w23 * p3.y;
        a11 += w1 * w1 * d11;
        a12 += w1 * w2 * d12;
        a22 += w2 * w2 * d22;
        r1 += w1 * (d1x * dx + d1y * dy);
        r2 += w2 * (d2x * dx + d2y * dy);
    }
    ResetRun();
    double f1, f2;
    floatPoint n1, n2;
    if (SolveLin2(a11, a12, a12, a22, r1, r2, f1, f2) && ToFloat(p0.x + f1 * d1x, n1.x) &&
        ToFloat(p0.y + f1 * d1y, n1.y) && ToFloat(p3.x + f2 * d2x, n2.x) &&
        ToFloat(p3.y + f2 * d2y, n2.y)) {
        c1 = n1;
        c2 = n2;
    }
}

// ---- tangents

namespace {

// The unit vector from `from` along the average of the vectors to the points picked by the
// caller; when they cancel out, towards `next`, then `far`, then along x.
floatPoint UnitTangent(const floatPoint& from, double sx, double sy, const floatPoint& next,
                       const floatPoint& far) {
    if (!Normalize(sx, sy)) {
        sx = double(next.x) - from.x;
        sy = double(next.y) - from.y;
        if (!Normalize(sx, sy)) {
            sx = double(far.x) - from.x;
            sy = double(far.y) - from.y;
            if (!Normalize(sx, sy)) {
                sx = 1;
                sy = 0;
            }
        }
    }
    return floatPoint(float(from.x + sx), float(from.y + sy));
}

} // namespace

floatPoint Bez3FitBase::CalcStartTangential() {
    if (!points.Filled()) return floatPoint(1, 0);
    floatPoint p0 = PointOf(points[std::uint16_t(rangeFirst)]);
    floatPoint p3 = PointOf(points[std::uint16_t(rangeLast)]);
    floatPoint next = rangeFirst < rangeLast ? PointOf(points[std::uint16_t(rangeFirst + 1)]) : p0;
    double sx = 0, sy = 0;
    for (unsigned k = rangeFirst + 1; k <= rangeLast; ++k) {
        const SmoothRec& r = points[std::uint16_t(k)];
        if (!(TParamOf(&r) <= TangentReach)) break;
        sx += double(r.x) - p0.x;
        sy += double(r.y) - p0.y;
    }
    return UnitTangent(p0, sx, sy, next, p3);
}

floatPoint Bez3FitBase::CalcEndTangential() {
    if (!points.Filled()) return floatPoint(-1, 0);
    floatPoint p0 = PointOf(points[std::uint16_t(rangeFirst)]);
    floatPoint p3 = PointOf(points[std::uint16_t(rangeLast)]);
    floatPoint prev = rangeFirst < rangeLast ? PointOf(points[std::uint16_t(rangeLast - 1)]) : p3;
    double sx = 0, sy = 0;
    for (unsigned k = rangeLast; k-- > rangeFirst;) {
        const SmoothRec& r = points[std::uint16_t(k)];
        if (!(TParamOf(&r) >= 1 - TangentReach)) break;
        sx += double(r.x) - p3.x;
        sy += double(r.y) - p3.y;
    }
    return UnitTangent(p3, sx, sy, prev, p0);
}

// ---- error and parameters

double Bez3FitBase::CalcError(const floatPoint& c1, const floatPoint& c2, int withTests) {
    if (!points.Filled()) return 0;
    const SmoothRec &a = points[std::uint16_t(rangeFirst)], &d = points[std::uint16_t(rangeLast)];
    auto distance = [&](double t, double x, double y) {
        return std::hypot(Bez(a.x, c1.x, c2.x, d.x, t) - x, Bez(a.y, c1.y, c2.y, d.y, t) - y);
    };
    double error = 0;
    for (unsigned k = rangeFirst + 1; k < rangeLast; ++k) {
        const SmoothRec& r = points[std::uint16_t(k)];
        double dist = distance(TParamOf(&r), r.x, r.y);
        if (std::isnan(dist)) return Infinity;
        if (dist > error) error = dist;
    }
    if (withTests) {
        for (int i = 0; i < 4; ++i) {
            double dist = distance(testParams[i], testPoints[i].x, testPoints[i].y);
            if (std::isnan(dist)) return Infinity;
            if (dist > error) error = dist;
        }
    }
    return error;
}

void Bez3FitBase::CalcTestPoints(SmoothRec* rec, double t) {
    if (testPrev) {
        for (int i = 0; i < 4; ++i) {
            double tau = testParams[i];
            // tau > testPrevT, so the divisor is positive.
            if (tau > testPrevT && tau <= t) {
                double f = (tau - testPrevT) / (t - testPrevT);
                testPoints[i] = floatPoint(float(testPrev->x + f * (double(rec->x) - testPrev->x)),
                                           float(testPrev->y + f * (double(rec->y) - testPrev->y)));
            }
        }
    }
    testPrev = rec;
    testPrevT = t;
}

bool Bez3FitBase::HasLength() const {
    return span > 0 && std::isfinite(span);
}

double Bez3FitBase::TParamOf(const SmoothRec* rec) const {
    if (!HasLength()) return 0;
    return (rec->len - startValue) / span;
}

void Bez3FitBase::Prepare(unsigned first, unsigned last) {
    unsigned n = points.Filled();
    if (!n) {
        rangeFirst = rangeLast = 0;
        startValue = span = testPrevT = 0;
        testPrev = nullptr;
        return;
    }
    if (last >= n) last = n - 1;
    if (first > last) first = last;
    rangeFirst = first;
    rangeLast = last;
    const SmoothRec &a = points[std::uint16_t(first)], &b = points[std::uint16_t(last)];
    startValue = a.len;
    span = b.len - a.len;
    testPrev = &points[std::uint16_t(first)];
    testPrevT = 0;
    // Test points the range never reaches (a range without length) stay on the chord.
    for (int i = 0; i < 4; ++i) {
        double f = testParams[i];
        testPoints[i] =
            floatPoint(float(a.x + f * (double(b.x) - a.x)), float(a.y + f * (double(b.y) - a.y)));
    }
}
