#include "pathkit/NodeCleanup.h"

#include <cmath>
#include <numbers>

#include "NodeGeometry.h"
#include "SegmentGeometry.h"
#include "pathkit/Bez3Engines.h"
#include "pathkit/NonLinearTrans.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/PathMeasure.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPath.h"

using namespace nodegeom;

namespace {

// Control points within this fraction of the chord length make a curve a candidate for a
// line; within StraightRatio it is one without flattening.
constexpr double CandidateRatio = 0.1;
constexpr double StraightRatio = 0.02;
// Handles at least this share of the curve's length mark a corner drawn as a curve.
constexpr double CornerHandleShare = 0.95;
constexpr double MaxCornerSpin = 2.0943951023931953; // 120 degrees
// A line leaving a corner curve within this turn (5 degrees) gives that end's tangent.
constexpr double TangentLineTurn = 0.0872664625997164739;
// Two snapped lines turning by less than this are parallel.
constexpr double ParallelTurn = 0.0001;
// Turning a line about its middle by at most 90 degrees moves an end by at most this share of
// its length (sin 45 degrees, with room for rounding).
constexpr double MaxSnapShift = 0.7072;
// LocalSmooth slices into steps of at most this many accuracies.
constexpr int SmoothStepFactor = 5;
// Beyond this many pieces every further piece counts as flat, so that an accuracy below the
// float resolution of the coordinates cannot run away.
constexpr unsigned MaxPieces = 1u << 14;

// The largest squared distance of a flattened curve from the chord between its ends.
class ChordDeviation : public floatBez3Base {
public:
    ChordDeviation(const PathMember& m, float accuracy)
        : floatBez3Base(accuracy), a(m.start), b(m.end), worst(0), pieces(0) {
        CalcCurve(m.start, m.ctrl1, m.ctrl2, m.end, 0);
    }

    int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) override {
        if (pieces >= MaxPieces) return 1;
        return floatBez3Base::CheckOutput(p0, mid, p3);
    }
    void Output(floatPoint&, floatPoint&, floatPoint&, floatPoint& p3) override {
        ++pieces;
        double d = SegmentDist2(a, b, p3);
        if (!(d <= worst)) worst = d; // NaN wins
    }

    floatPoint a, b;
    double worst;
    unsigned pieces;
};

// Distance of p from the chord (the segment between the curve's ends), as a fraction of the
// chord length g. Measured from the segment, not its line: a curve that runs on past an end
// and turns back (the tip of a thin stroke) is no straight line.
double ChordRatio(double g, const floatPoint& from, const floatPoint& to, const floatPoint& p) {
    return std::sqrt(SegmentDist2(from, to, p)) / g;
}

// Every end point of members i .. j-1 lies within tol of the chord from member i's start to
// member j's end, the chord taken as the segment between them: a run that turns back on
// itself (a thin loop whose chord is a point, a spike along the chord's line) is no run of
// collinear lines, and joining it would lose what it encloses.
bool EndsNearChord(const SubPath& sp, unsigned i, unsigned j, double tol) {
    const floatPoint& a = sp.members[std::uint16_t(i)].start;
    const floatPoint& b = sp.members[std::uint16_t(j)].end;
    for (unsigned k = i; k < j; ++k)
        if (!(SegmentDist2(a, b, sp.members[std::uint16_t(k)].end) <= tol * tol)) return false;
    return true;
}

// The nearer of the directions angle and angle + pi to dir, and the signed angle from it.
double NearestDirection(const Vec& dir, double angle, Vec& ref) {
    Vec r = {std::cos(angle), std::sin(angle)};
    double a1 = VectAngle(r, dir), a2 = VectAngle(Scaled(r, -1), dir);
    if (std::fabs(a1) <= std::fabs(a2)) {
        ref = r;
        return a1;
    }
    ref = Scaled(r, -1);
    return a2;
}

bool IsSnapped(const PathMember& m) {
    return m.flags & PM_SNAPPED;
}

// Whether the gap between the last end and the first start can have been opened by
// SnapLinesIn on a closed contour: the contour is not known to be open (Path::Prepare gives open
// contours depth -1), a snapped member meets the gap, and the gap is no wider than snapping
// can make it (turning a line about its middle by at most 90 degrees moves an end by at most
// sin 45 degrees times the line's length).
bool ClosingGapFromSnapping(const SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    if (n < 2 || sp.depth < 0) return false;
    const PathMember& first = sp.members[0];
    const PathMember& last = sp.members[std::uint16_t(n - 1)];
    if (first.start == last.end) return false;
    double reach = 0;
    if (IsSnapped(first)) reach += Length(Diff(first.end, first.start));
    if (IsSnapped(last)) reach += Length(Diff(last.end, last.start));
    return Length(Diff(first.start, last.end)) <= reach * MaxSnapShift;
}

enum class Recovery { Kept, Deleted, NeedsTurn };

// Closes the gap at node k (between member k-1, wrapping, and member k).
Recovery RecoverNode(SubPath& sp, unsigned k) {
    std::uint16_t pi = sp.members.Prev(int(k));
    PathMember& prev = sp.members[pi];
    PathMember& m = sp.members[std::uint16_t(k)];
    if (prev.end == m.start) return Recovery::Kept;
    prev.flags |= PM_CHANGED;
    m.flags |= PM_CHANGED;
    if (!IsSnapped(m)) {
        SetStart(m, prev.end);
        return Recovery::Kept;
    }
    if (!IsSnapped(prev)) {
        SetEnd(prev, m.start);
        return Recovery::Kept;
    }
    if (std::fabs(Angle(prev, m)) >= ParallelTurn) {
        floatPoint x;
        if (CrossLines(prev.start, prev.end, m.start, m.end, x)) SetStart(m, x);
        SetEnd(prev, m.start);
        return Recovery::Kept;
    }
    if (k == 0) return Recovery::NeedsTurn;
    // Two parallel snapped lines: the previous one moves onto the member's line and takes its
    // place.
    floatPoint oldStart = prev.start;
    Vec gap = Diff(m.start, prev.end);
    SetStart(prev, Plus(prev.start, gap));
    SetEnd(prev, m.end);
    std::uint16_t bi = sp.members.Prev(pi);
    if (bi != pi && bi != k) {
        PathMember& before = sp.members[bi];
        if (before.end == oldStart) {
            SetEnd(before, prev.start);
            before.flags |= PM_CHANGED;
        }
    }
    sp.members.DeleteAt(std::uint16_t(k), 1);
    return Recovery::Deleted;
}

} // namespace

void FindStraightLinesIn(SubPath& sp, float tol, float factor) {
    if (sp.members.Filled() <= 1) return;
    bool changed = false;
    for (PathMember& m : sp.members) {
        if (!m.IsCurve() || m.start == m.end) continue;
        Vec chord = Diff(m.end, m.start);
        double g = Length(chord);
        if (!(g >= double(tol) * factor) || !(g > 0)) continue;
        double f = ChordRatio(g, m.start, m.end, m.ctrl1);
        double h = ChordRatio(g, m.start, m.end, m.ctrl2);
        if (!(f < CandidateRatio && h < CandidateRatio)) continue;
        bool straight = f <= StraightRatio && h < StraightRatio;
        if (!straight) straight = ChordDeviation(m, sp.accuracy).worst < tol;
        if (!straight) continue;
        MakeLine(m);
        m.flags |= PM_CHANGED;
        changed = true;
    }
    if (changed) sp.Invalidate(SP_ALL_INVALID);
}

void JoinStraightLinesIn(SubPath& sp, float tol) {
    std::uint16_t n = sp.members.Filled();
    if (n < 3) return;
    if (sp.IsClosed() && !sp.members[0].IsCurve()) {
        for (std::uint16_t i = 1; i < n; ++i) {
            if (sp.members[i].IsCurve()) {
                sp.Rotate(i);
                break;
            }
        }
    }
    bool changed = false;
    for (unsigned i = 0; i < sp.members.Filled(); ++i) {
        if (sp.members[std::uint16_t(i)].IsCurve()) continue;
        unsigned j = i + 1;
        while (j < sp.members.Filled() && !sp.members[std::uint16_t(j)].IsCurve() &&
               EndsNearChord(sp, i, j, tol))
            ++j;
        if (j - i < 2) continue;
        PathMember& first = sp.members[std::uint16_t(i)];
        SetEnd(first, sp.members[std::uint16_t(j - 1)].end);
        first.flags |= PM_CHANGED;
        sp.members.DeleteAt(std::uint16_t(i + 1), std::uint16_t(j - i - 1));
        changed = true;
    }
    if (changed) sp.Invalidate(SP_ALL_INVALID);
}

void LocalSmooth(SubPath& sp, float accuracy, float angle) {
    std::uint16_t n = sp.members.Filled();
    if (n < 2) return;
    auto selected = [&sp](unsigned i) { return sp.members[std::uint16_t(i)].IsPMSelected(); };
    int lastRunStart = -1;
    for (std::uint16_t i = 0; i < n; ++i)
        if (selected(i) && !selected(sp.members.Prev(i))) lastRunStart = i;
    if (lastRunStart < 0) {
        if (!selected(0)) return;
    } else if (lastRunStart > 0 && sp.IsClosed()) {
        sp.Rotate(lastRunStart);
    }

    NonLinearTrans refit(Path::ValidAccuracy(accuracy), SmoothStepFactor, 1, 1);
    for (unsigned i = 0; i < sp.members.Filled();) {
        if (!selected(i)) {
            ++i;
            continue;
        }
        unsigned j = i;
        bool finite = true;
        for (; j < sp.members.Filled() && selected(j); ++j)
            finite = finite && IsFinite(sp.members[std::uint16_t(j)]);
        if (!finite) {
            i = j;
            continue;
        }
        SubPath run(SubPath::DefaultAccuracy);
        run.members.InsertAt(0, &sp.members[std::uint16_t(i)], std::uint16_t(j - i));
        if (j - i > 1) refit.Transform(run);
        std::uint16_t r = run.members.Filled();
        if (!r) {
            i = j;
            continue;
        }
        if (angle > 0) {
            for (std::uint16_t k = run.IsClosed() ? 0 : 1; k < r; ++k) {
                PathMember& prev = run.members[run.members.Prev(k)];
                PathMember& next = run.members[k];
                if (std::fabs(Angle(prev, next)) < angle) MakeSmoothConnection(prev, next);
            }
        }
        for (PathMember& m : run.members)
            m.flags |= PM_SELECTED | PM_CHANGED;
        ReplaceRun(sp, i, j - 1, run.members.first(), r);
        i += r;
    }
    sp.Invalidate(SP_ALL_INVALID);
}

int MakeCornersIn(SubPath& sp, int selectedOnly) {
    if (sp.members.Filled() < 3) return 0;
    bool closed = sp.IsClosed();
    int result = 0;
    for (unsigned i = 0; i < sp.members.Filled(); ++i) {
        std::uint16_t count = sp.members.Filled();
        PathMember m = sp.members[std::uint16_t(i)];
        if (!m.IsCurve() || (selectedOnly && !m.IsPMSelected())) continue;
        double length = GetPMLength(m, sp.accuracy);
        double handles = Length(Diff(m.ctrl1, m.start)) + Length(Diff(m.end, m.ctrl2));
        if (!(length > 0) || !(handles / length >= CornerHandleShare)) continue;
        if (!(std::fabs(m.Spin()) <= MaxCornerSpin)) continue;
        PathMember left, right;
        m.Cut(0, PM_PARAM_ONE / 2, left, nullptr, nullptr);
        m.Cut(PM_PARAM_ONE / 2, PM_PARAM_ONE, right, nullptr, nullptr);
        if (!(left.Spin() * right.Spin() >= 0)) continue;
        // The end tangents alone do not see a hook that turns back on itself (the end of a
        // stroke taken in one curve): its halves together turn by more than the limit, and
        // a corner would cut the stroke off.
        if (!(std::fabs(left.Spin()) + std::fabs(right.Spin()) <= MaxCornerSpin)) continue;

        floatPoint s0 = m.start, s1 = m.ctrl1, e0 = m.ctrl2, e1 = m.end;
        if (i > 0 || closed) {
            const PathMember& prev = sp.members[sp.members.Prev(int(i))];
            if (!prev.IsCurve() && std::fabs(Angle(prev, m)) <= TangentLineTurn) {
                s0 = prev.start;
                s1 = prev.end;
            }
        }
        if (i + 1 < count || closed) {
            const PathMember& next = sp.members[sp.members.Next(int(i))];
            if (!next.IsCurve() && std::fabs(Angle(m, next)) <= TangentLineTurn) {
                e0 = next.start;
                e1 = next.end;
            }
        }
        floatPoint corner;
        if (!CrossLines(s0, s1, e0, e1, corner)) continue;
        PathMember lines[2] = {PathMember(m.start, corner), PathMember(corner, m.end)};
        for (PathMember& l : lines) {
            MakeLine(l);
            l.flags = PM_CHANGED;
        }
        ReplaceRun(sp, i, i, lines, 2);
        ++i;
        result = 1;
    }
    if (result) sp.Invalidate(SP_ALL_INVALID);
    return result;
}

double MinAngle(const floatPoint& direction, double angle) {
    Vec ref;
    return NearestDirection(Vec{direction.x, direction.y}, angle, ref);
}

int SnapLinesIn(SubPath& sp, float angle, float tol, int selectedOnly) {
    if (!std::isfinite(angle)) return 0;
    int result = 0;
    for (PathMember& m : sp.members) {
        if (m.IsCurve() || (selectedOnly && !m.IsPMSelected()) || !IsFinite(m)) continue;
        Vec dir = Diff(m.end, m.start);
        Vec ref;
        double a = NearestDirection(dir, angle, ref);
        if (!(tol == 0 || std::fabs(a) <= tol)) continue;
        // An axis given as a float (1.5707964 for the vertical) is off by its rounding:
        // lines snapped to an axis lie exactly on it.
        if (std::fabs(ref.x) < 1e-6) ref = {0, ref.y > 0 ? 1.0 : -1.0};
        if (std::fabs(ref.y) < 1e-6) ref = {ref.x > 0 ? 1.0 : -1.0, 0};
        // The direction turned by -a is ref itself; built from it, lines on an axis come out
        // exactly on it.
        Vec half = Scaled(ref, Length(dir) / 2);
        Vec mid = {(double(m.start.x) + m.end.x) / 2, (double(m.start.y) + m.end.y) / 2};
        m.start.Fill(float(mid.x - half.x), float(mid.y - half.y));
        m.end.Fill(float(mid.x + half.x), float(mid.y + half.y));
        m.ctrl1 = m.start;
        m.ctrl2 = m.end;
        m.flags |= PM_SNAPPED | PM_CHANGED;
        result = 1;
    }
    if (result) sp.Invalidate(SP_ALL_INVALID);
    return result;
}

void RecoverConnectionsIn(SubPath& sp) {
    if (sp.members.Filled() < 2) return;
    // The closing node first, while only snapping has moved its members. Two parallel lines
    // there are joined as inner members: the members turn by one and the new closing node is
    // looked at again.
    std::uint16_t n = sp.members.Filled();
    for (unsigned turns = 0; turns < n && ClosingGapFromSnapping(sp); ++turns) {
        if (RecoverNode(sp, 0) != Recovery::NeedsTurn) break;
        sp.Rotate(1);
    }
    for (unsigned k = 1; k < sp.members.Filled();) {
        if (RecoverNode(sp, k) != Recovery::Deleted) ++k;
    }
    UpdateConnectionsIn(sp);
    sp.SetPMState(PM_SNAPPED, 0, 0, 0);
    sp.Invalidate(SP_ALL_INVALID);
}
