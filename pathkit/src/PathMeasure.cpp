#include "pathkit/PathMeasure.h"

#include "SegmentGeometry.h"

#include <cmath>

#include "pathkit/Bez3Engines.h"
#include "pathkit/LPathMember.h"
#include "pathkit/Path.h"
#include "pathkit/PathMember.h"

namespace {

// The measuring flattener works on the member in integer units of a quarter accuracy, with a
// tolerance of four units (one accuracy).
constexpr std::int32_t MeasureTolerance = 4;
// Scaled coordinates stay within this bound, so that a very fine accuracy on large
// coordinates never saturates the integer conversion (2^30).
constexpr double MaxUnits = 1073741824.0;
// Beyond this many chords every further foot-point piece counts as flat, so that an accuracy
// below the float resolution of the coordinates cannot run away.
constexpr unsigned MaxFootChords = 1u << 16;

bool IsFinite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool AllFinite(const PathMember& m) {
    return IsFinite(m.start) && IsFinite(m.end) && IsFinite(m.ctrl1) && IsFinite(m.ctrl2);
}

double Distance(const floatPoint& a, const floatPoint& b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

double Distance(const longPoint& a, const longPoint& b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

// Units per millimetre for a finite curve: 4 / accuracy, reduced when the coordinates would
// leave the integer range.
double MeasureScale(const PathMember& m, float accuracy) {
    double s = 4.0 / Path::ValidAccuracy(accuracy);
    double extent = 0;
    for (const floatPoint& p : {m.start, m.ctrl1, m.ctrl2, m.end})
        extent = std::fmax(extent, std::fmax(std::fabs(double(p.x)), std::fabs(double(p.y))));
    if (extent * s > MaxUnits) s = MaxUnits / extent;
    return s;
}

// Adds up the chords of the flattened pieces; with a target, stops at the piece whose chord
// reaches it and interpolates the parameter there.
class MeasureFlattener : public longBez3Base {
public:
    explicit MeasureFlattener(double target)
        : longBez3Base(MeasureTolerance), length(0), target(target), param(PM_PARAM_ONE),
          found(false) {}

    int CheckEntry(longPoint&, longPoint&, longPoint&, longPoint&) override { return !found; }

    void Output(longPoint& p0, longPoint&, longPoint&, longPoint& p3) override {
        if (found) return;
        double chord = Distance(p0, p3);
        if (target > 0 && length + chord >= target) {
            found = true;
            double part = chord > 0 ? (target - length) / chord : 0;
            param = tStart + std::uint32_t(std::floor(double(tEnd - tStart) * part + 0.5));
            return;
        }
        length += chord;
    }

    void Measure(const PathMember& m, double scale) {
        LPathMember lm;
        lm.Fill(m, scale);
        CalcCurve(lm.start, lm.ctrl1, lm.ctrl2, lm.end, 0);
    }

    double length; // units
    double target; // units; 0 when only measuring
    std::uint32_t param;
    bool found;
};

// Projects a point onto every chord of the flattening.
class FootFlattener : public floatBez3Base {
public:
    FootFlattener(const floatPoint& centre, float tolerance)
        : floatBez3Base(tolerance), centre(centre), chords(0), hits(0), param(0) {}

    int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) override {
        if (chords >= MaxFootChords) return 1;
        return floatBez3Base::CheckOutput(p0, mid, p3);
    }

    void Output(floatPoint& p0, floatPoint&, floatPoint&, floatPoint& p3) override;

    floatPoint centre;
    unsigned chords;
    int hits;
    std::uint32_t param;
};

void FootFlattener::Output(floatPoint& p0, floatPoint&, floatPoint&, floatPoint& p3) {
    ++chords;
    double u = SegmentProjection(p0, p3, centre);
    if (!(u >= 0 && u <= 1)) return;
    ++hits;
    param = tStart + std::uint32_t(std::floor(double(tEnd - tStart) * u + 0.5));
}

} // namespace

float GetPMLength(const PathMember& m, float accuracy) {
    if (!m.IsCurve()) return float(Distance(m.start, m.end));
    if (!AllFinite(m))
        return float(Distance(m.start, m.ctrl1) + Distance(m.ctrl1, m.ctrl2) +
                     Distance(m.ctrl2, m.end));
    double s = MeasureScale(m, accuracy);
    MeasureFlattener f(0);
    f.Measure(m, s);
    return float(f.length / s);
}

std::uint32_t GetTParamAt(const PathMember& m, float length, float accuracy) {
    if (std::isnan(length)) return 0;
    if (!m.IsCurve()) {
        double total = Distance(m.start, m.end);
        if (std::isnan(total)) return 0;
        if (length >= total) return PM_PARAM_ONE;
        double t = double(length) / total * double(PM_PARAM_ONE);
        // Negative lengths; an infinite line gives 0 for every finite length.
        if (!(t > 0)) return 0;
        return std::uint32_t(t);
    }
    if (!(length > 0)) return 0;
    if (!AllFinite(m)) return 0;
    double s = MeasureScale(m, accuracy);
    MeasureFlattener f(double(length) * s);
    f.Measure(m, s);
    return f.param;
}

int FindFootPoint(const PathMember& m, const floatPoint& centre, float accuracy,
                  std::uint32_t& param) {
    if (!m.IsCurve()) {
        double u = SegmentProjection(m.start, m.end, centre);
        if (!(u >= 0 && u <= 1)) return 0;
        param = std::uint32_t(std::floor(u * double(PM_PARAM_ONE) + 0.5));
        return 1;
    }
    FootFlattener f(centre, Path::ValidAccuracy(accuracy));
    f.CalcCurve(m.start, m.ctrl1, m.ctrl2, m.end, 0);
    if (f.hits) param = f.param;
    return f.hits;
}
