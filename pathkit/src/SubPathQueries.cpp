// Hit test and ray crossings of one contour.
//
// Crossings are counted in integer units (a quarter of the accuracy) on a flattening of the
// outline that does not depend on the ray: lines as they are, curves cut into chords by
// integer midpoint subdivision from a fixed origin. Every chord is judged on its own by one
// half-open rule, seen in a frame turned so that the ray runs from p to the left:
//
//   a chord a -> b crosses when exactly one of its end points lies strictly above the ray's
//   line (y > 0) and the point where it meets the line lies strictly left of p (x < 0).
//
// A vertex on the ray thus belongs to the side below, so where the outline passes through a
// vertex (or a joint of two members or of two chords) exactly one of the chords meeting there
// counts, and where it only touches the ray none does; a chord lying along the ray never
// counts, and the chords before and after it are counted as if it were a single vertex. The
// result is the same for every ray direction whenever p is not on the flattened outline.
//
// The sign of a crossing is the sign of the chord's change in y for a horizontal ray and in x
// for a vertical one, so the signed sum is minus the winding number for the rays to the left
// and upwards and the winding number for the rays downwards and to the right.

#include <cmath>
#include <cstdint>

#include "CrossingRules.h"
#include "UnitMap.h"
#include "pathkit/Bez3Engines.h"
#include "pathkit/LPathMember.h"
#include "pathkit/SubPath.h"

using namespace crossing;

int SubPath::GetCrossings(const floatPoint& p, int direction, int rule) {
    std::uint16_t n = members.Filled();
    if (!n || !IsFinite(p)) return 0;
    Validate(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);

    UnitMap map(ScaleFactor(), ctrlBox);
    longPoint P = map.Map(p);
    if (direction < 0 || direction > 3) {
        longPoint lb = map.Map(ctrlBox.LB()), rt = map.Map(ctrlBox.RT());
        std::int64_t d[4] = {std::int64_t(P.x) - (lb.x - 2), std::int64_t(P.y) - (lb.y - 2),
                             std::int64_t(rt.x) + 4 - P.x, std::int64_t(rt.y) + 2 - P.y};
        direction = 0;
        for (int k = 1; k < 4; ++k)
            if (d[k] < d[direction]) direction = k;
    }

    Ray ray{direction, P.x, P.y};
    // The cluster index counts from (0, 0) without an origin; its rounding may differ from the
    // map's by a unit, and saturation keeps the order of values, so a box widened by one unit
    // that misses the ray holds no member that meets it.
    double factor = ScaleFactor();
    Ray clusterRay{direction, ClusterUnits(p.x, factor), ClusterUnits(p.y, factor)};
    unsigned step = clusters.Filled() && clusterStep ? clusterStep : n;

    Tally tally;
    CurveCrossings curve(ray, tally);
    LPathMember l;
    longBBox box;
    for (unsigned first = 0; first < n; first += step) {
        unsigned k = first / step;
        if (clusters.Filled() && k < clusters.Filled() &&
            !clusterRay.Meets(clusters[std::uint16_t(k)], 1))
            continue;
        unsigned last = first + step < n ? first + step : n;
        for (unsigned i = first; i < last; ++i) {
            map.Fill(l, members[std::uint16_t(i)]);
            l.CtrlBBox(box);
            if (!ray.Meets(box)) continue;
            if (l.IsCurve()) {
                curve.CalcCurve(l.start, l.ctrl1, l.ctrl2, l.end, 0);
            } else {
                tally.Add(ray.Chord(l.start, l.end));
            }
        }
    }
    return rule == 1 ? tally.sum * DirectionSign[direction] : tally.count;
}

int SubPath::SimpleInside(const floatPoint& p, int direction, int rule) {
    int c = GetCrossings(p, direction, rule);
    return rule == 1 ? c != 0 : (c & 1);
}

int SubPath::IsInside(const floatPoint& p, int rule) {
    if (!members.Filled()) return 0;
    if (rule == 0) {
        Validate(SP_CTRLBOX_INVALID);
        if (!ctrlBox.IsInside(p, 0)) return 0;
    }
    int answer[4] = {-1, -1, -1, -1};
    auto at = [&](int d) {
        if (answer[d] < 0) answer[d] = SimpleInside(p, d, rule);
        return answer[d];
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (i != j && at(i) == at(j)) return answer[i];
    return -1;
}

int SubPath::IsBeside(const floatPoint& p, float tol, unsigned& member, std::uint32_t& param) {
    std::uint16_t n = members.Filled();
    if (!n || !(tol >= 0)) return 0;
    Validate(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    if (!ctrlBox.IsInside(p, tol)) return 0;

    double factor = ScaleFactor();
    std::int64_t px = ClusterUnits(p.x, factor), py = ClusterUnits(p.y, factor);
    double tolUnits = std::ceil(double(tol) * factor) + 1;
    std::int64_t t = tolUnits < 4.0e9 ? std::int64_t(tolUnits) : std::int64_t(4000000000);
    unsigned step = clusters.Filled() && clusterStep ? clusterStep : n;
    auto clusterHolds = [&](unsigned k) {
        if (!clusters.Filled() || k >= clusters.Filled()) return true;
        const longBBox& b = clusters[std::uint16_t(k)];
        return b.left - t <= px && px <= b.right + t && b.bottom - t <= py && py <= b.top + t;
    };

    for (unsigned first = 0; first < n; first += step) {
        if (!clusterHolds(first / step)) continue;
        unsigned last = first + step < n ? first + step : n;
        for (unsigned i = first; i < last; ++i) {
            if (members[std::uint16_t(i)].IsBeside(p, tol, accuracy, param, 0)) {
                member = i;
                return 1;
            }
        }
    }
    double tol2 = double(tol) * tol;
    for (unsigned first = 0; first < n; first += step) {
        if (!clusterHolds(first / step)) continue;
        unsigned last = first + step < n ? first + step : n;
        for (unsigned i = first; i < last; ++i) {
            const floatPoint& s = members[std::uint16_t(i)].start;
            double dx = double(s.x) - p.x, dy = double(s.y) - p.y;
            if (dx * dx + dy * dy < tol2) {
                member = i;
                param = 0;
                return 1;
            }
        }
    }
    return 0;
}
