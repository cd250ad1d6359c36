#include "OutlineEngine.h"

#include <cmath>
#include <numbers>

#include "ContourOffsetter.h"
#include "FlatContours.h"
#include "WindingFilter.h"
#include "outline/OutlineManager.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/Path.h"

namespace {

// The crossing searches map millimetres to 4 / accuracy units, saturating at 2^30 units from
// the centre of the geometry; the accuracy keeps every point within 2^27 units of it.
constexpr double AccuracyPerExtent = 8.0 / double(1 << 29);
constexpr double DefaultLimitAngle = 60;

double Distance(const floatPoint& a, const floatPoint& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

double SegmentDistance(const floatPoint& a, const floatPoint& b, double x, double y) {
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double len2 = dx * dx + dy * dy;
    double f = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    f = f < 0 ? 0 : (f > 1 ? 1 : f);
    return std::hypot(a.x + f * dx - x, a.y + f * dy - y);
}

} // namespace

OutlineEngine::OutlineEngine(const OutlineSettings& settings) : settings_(settings) {
    if (!(settings_.limitAngle > 0 && settings_.limitAngle < 180))
        settings_.limitAngle = DefaultLimitAngle;
}

float OutlineEngine::WorkingAccuracy(double extent) const {
    double accuracy = Path::ValidAccuracy(settings_.accuracy);
    double floor = extent * AccuracyPerExtent;
    if (std::isfinite(floor) && floor > accuracy) accuracy = floor;
    return float(accuracy);
}

void OutlineEngine::Run(Path& source, Path& out) const {
    double distance = settings_.distance;
    if (!std::isfinite(distance) || std::fabs(distance) > MaxDistance) return;
    source.Validate(SP_CTRLBOX_INVALID);
    if (!source.subPaths.Filled()) return;
    double extent = double(source.ctrlBox.Size()) + 2 * std::fabs(distance);
    // Crossings and the offset members are found within half the accuracy, so that both
    // errors together stay within it.
    float accuracy = WorkingAccuracy(extent) / 2;

    Path closed(accuracy), strokes(accuracy);
    for (SubPath& sp : source.subPaths) {
        if (!sp.members.Filled()) continue;
        PathMember& last = *sp.members.last();
        floatPoint start = sp.members[0].start;
        if (last.end != start && Distance(last.end, start) <= 2 * accuracy) {
            last.end = start;
            if (!last.IsCurve()) last.ctrl2 = start;
        }
        sp.SetAccuracy(accuracy);
        if (sp.IsClosed()) {
            closed.AddSubPath(sp);
        } else if (distance > 0) {
            strokes.AddSubPath(sp);
        }
    }
    source.subPaths.Destroy();

    closed.Normalize();
    DefAbortProc();
    if (distance == 0) {
        out.Concat(closed);
        out.Prepare();
        return;
    }

    ContourOffsetter offsetter(distance, settings_.mode, settings_.limitAngle, accuracy);
    Path raw(accuracy);
    for (const SubPath& sp : closed.subPaths) {
        offsetter.OffsetClosed(sp, raw);
        DefAbortProc();
    }
    for (const SubPath& sp : strokes.subPaths) {
        offsetter.OffsetOpen(sp, raw);
        DefAbortProc();
    }

    // Every point of the result lies at the distance from the contours, except on bevels:
    // pieces nearer than that (loops folded back past a centre of curvature, the lines through
    // corner points) cannot belong to it, whatever their winding.
    closed.Concat(strokes);
    FlatContours contours(closed, accuracy / 4.0);
    double reach = std::fabs(distance) - accuracy;
    const auto& bevels = offsetter.Bevels();
    auto admissible = [&](double x, double y) {
        if (!contours.NearerThan(x, y, reach)) return true;
        for (const auto& b : bevels)
            if (SegmentDistance(b.from, b.to, x, y) <= 0.001 * accuracy) return true;
        return false;
    };

    // Nor does any point lie farther than the distance, or than a mitre's cut corners reach;
    // a chain of kept pieces is closed by a line only where the line stays that near.
    double farthest = std::fabs(distance);
    if (settings_.mode == OUTLINE_MITRE) {
        double sine = std::sin(settings_.limitAngle * std::numbers::pi / 360);
        farthest *= std::sqrt(1 + 1 / (sine * sine));
    }
    farthest += 2 * accuracy;
    auto closable = [&](double x, double y) { return contours.NearerThan(x, y, farthest); };

    Path result(accuracy);
    WindingFilter::Apply(raw, result, admissible, closable);
    out.Concat(result);
    out.Prepare();
}
