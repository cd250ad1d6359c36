#include "pathkit/NodeEdit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "NodeGeometry.h"
#include "pathkit/BBox.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPath.h"

using namespace nodegeom;

namespace {

// A line's control points sit at these fractions of its chord once it is a curve.
constexpr double ThirdOfChord = 0.33333;

bool Overlap(const floatBBox& a, const floatBBox& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

// How far next's handle turns back (prev's handle turns by theta minus this) when a joint
// turning by theta is smoothed; u2 and v2 are the squared handle lengths. The turn e solves
// tan 2e = L sin 2theta / (S + L cos 2theta), L the larger and S the smaller of u2 and v2.
// That equation has a solution every quarter turn, and the principal one can turn the handles
// the long way round (for equal handles and |theta| > 90 degrees always): the solution that
// moves the handle tips least, weighed the same way, is taken.
double SmoothingShare(double u2, double v2, double theta) {
    double large = u2 >= v2 ? u2 : v2, small = u2 >= v2 ? v2 : u2;
    double b2 = 2 * (std::numbers::pi - theta);
    double num = -large * std::sin(b2), den = small + large * std::cos(b2);
    double e0 = 0;
    if (den != 0) {
        e0 = 0.5 * std::atan(num / den);
    } else if (num != 0) {
        e0 = num > 0 ? std::numbers::pi / 4 : -std::numbers::pi / 4;
    }
    double best = e0, bestCost = HUGE_VAL;
    for (int k : {0, -1, 1, -2, 2}) {
        double e = e0 + k * std::numbers::pi / 2;
        double cost = small * (1 - std::cos(e)) + large * (1 - std::cos(theta - e));
        if (cost < bestCost) {
            best = e;
            bestCost = cost;
        }
    }
    return best;
}

// The handle scaled to length r; a zero handle stays.
floatPoint HandleOfLength(const floatPoint& node, const floatPoint& cp, double r) {
    Vec h = Diff(cp, node);
    double len = Length(h);
    if (!(len > 0)) return cp;
    return Plus(node, Scaled(h, r / len));
}

} // namespace

void ConvertToCurve(PathMember& m) {
    if (m.IsCurve()) return;
    Vec chord = Diff(m.end, m.start);
    m.ctrl1 = Plus(m.start, Scaled(chord, ThirdOfChord));
    m.ctrl2 = Plus(m.end, Scaled(chord, -ThirdOfChord));
    m.flags |= PM_CURVE | PM_CHANGED;
}

void MakeSmoothConnection(PathMember& prev, PathMember& next) {
    const PathMember prevBefore = prev, nextBefore = next;
    const floatPoint joint = next.start;
    SetEnd(prev, joint);
    bool prevCurve = prev.IsCurve(), nextCurve = next.IsCurve();
    if (prevCurve && nextCurve) {
        Vec u = Diff(prev.ctrl2, joint), v = Diff(next.ctrl1, joint);
        double theta = Angle(prev, next);
        double e = SmoothingShare(u.x * u.x + u.y * u.y, v.x * v.x + v.y * v.y, theta);
        floatPoint c2 = Plus(joint, Rotated(u, theta - e));
        floatPoint c1 = Plus(joint, Rotated(v, -e));
        prev.ctrl2 = c2;
        next.ctrl1 = c1;
    } else if (prevCurve) {
        Vec d = Diff(next.start, next.end);
        double dl = Length(d);
        if (dl != 0) prev.ctrl2 = Plus(joint, Scaled(d, Length(Diff(prev.ctrl2, joint)) / dl));
    } else if (nextCurve) {
        Vec d = Diff(prev.end, prev.start);
        double dl = Length(d);
        if (dl != 0) next.ctrl1 = Plus(joint, Scaled(d, Length(Diff(next.ctrl1, joint)) / dl));
    }
    if (prevCurve || nextCurve) next.flags |= PM_SMOOTH;
    MarkIfChanged(prev, prevBefore);
    MarkIfChanged(next, nextBefore);
}

void MakeSymmetricConnection(PathMember& prev, PathMember& next) {
    MakeSmoothConnection(prev, next);
    if (!prev.IsCurve() || !next.IsCurve()) return;
    const PathMember prevBefore = prev, nextBefore = next;
    double f = Length(Diff(prev.ctrl2, prev.end)), o = Length(Diff(next.ctrl1, next.start));
    double r = (f + o) / 2;
    floatPoint c2 = HandleOfLength(prev.end, prev.ctrl2, r);
    floatPoint c1 = HandleOfLength(next.start, next.ctrl1, r);
    prev.ctrl2 = c2;
    next.ctrl1 = c1;
    next.flags |= PM_SYMMETRIC;
    MarkIfChanged(prev, prevBefore);
    MarkIfChanged(next, nextBefore);
}

void Touch(SubPath& sp, unsigned mask, unsigned value) {
    for (PathMember& m : sp.members)
        if ((m.flags & mask) == value) m.flags |= PM_CHANGED;
}

void Touch(Path& path, unsigned mask, unsigned value) {
    for (SubPath& sp : path.subPaths)
        Touch(sp, mask, value);
    path.Validate(SP_ALL_INVALID);
}

void SelectPathMembersIn(Path& path, const floatBBox& box, int toggle) {
    for (SubPath& sp : path.subPaths) {
        if (!sp.members.Filled()) continue;
        sp.Validate(SP_CTRLBOX_INVALID);
        if (!Overlap(sp.ctrlBox, box)) continue;
        for (PathMember& m : sp.members) {
            std::uint16_t before = m.flags;
            std::uint16_t f = std::uint16_t(before & ~PM_SELECTED);
            auto apply = [&](std::uint16_t bits) {
                f = std::uint16_t(toggle ? f ^ bits : f | bits);
            };
            if (box.IsInside(m.start, 0)) apply(PM_START_SEL | PM_CTRL1_SEL);
            if (box.IsInside(m.end, 0)) apply(PM_CTRL2_SEL | PM_END_SEL);
            if (f & PM_NODE_SEL) f |= PM_SELECTED;
            if (f != before) f |= PM_CHANGED;
            m.flags = f;
        }
    }
}

unsigned CountSelectionIn(SubPath& sp) {
    unsigned n = sp.Count(PM_SELECTED, PM_SELECTED);
    if (n) {
        sp.state |= SP_HAS_SELECTION;
    } else {
        sp.state = std::uint16_t(sp.state & ~SP_HAS_SELECTION);
    }
    return n;
}

void MoveSelectionIn(SubPath& sp, const floatPoint& delta) {
    std::uint16_t n = sp.members.Filled();
    if (!n || !IsFinite(delta)) return;
    // Decided on the bits and the joints as they are before anything moves.
    enum : std::uint8_t { MoveStart = 1, MoveEnd = 2 };
    std::vector<std::uint8_t> moves(n, 0);
    for (std::uint16_t i = 0; i < n; ++i) {
        const PathMember& m = sp.members[i];
        if (!(m.flags & PM_SELECTED)) continue;
        const PathMember& prev = sp.members[sp.members.Prev(i)];
        const PathMember& next = sp.members[sp.members.Next(i)];
        // A point with no member joined to it moves on its own bit.
        if ((m.flags & PM_START_SEL) && ((prev.flags & PM_END_SEL) || prev.end != m.start))
            moves[i] |= MoveStart;
        if ((m.flags & PM_END_SEL) && ((next.flags & PM_START_SEL) || next.start != m.end))
            moves[i] |= MoveEnd;
    }
    bool moved = false;
    for (std::uint16_t i = 0; i < n; ++i) {
        PathMember& m = sp.members[i];
        if (!(m.flags & PM_SELECTED)) continue;
        if (moves[i] & MoveStart) {
            m.start += delta;
            if (!m.IsCurve()) {
                m.ctrl1 = m.start;
            } else if (m.flags & PM_CTRL1_SEL) {
                m.ctrl1 += delta;
            }
            moved = true;
        }
        if (moves[i] & MoveEnd) {
            m.end += delta;
            if (!m.IsCurve()) {
                m.ctrl2 = m.end;
            } else if (m.flags & PM_CTRL2_SEL) {
                m.ctrl2 += delta;
            }
            moved = true;
        }
        m.flags |= PM_CHANGED;
        sp.Invalidate(SP_ALL_INVALID);
    }
    if (moved) UpdateConnectionsIn(sp);
}

void MoveSelectionIn(Path& path, const floatPoint& delta) {
    for (SubPath& sp : path.subPaths)
        MoveSelectionIn(sp, delta);
    path.Validate(SP_ALL_INVALID);
}

void ControlPointEdit(PathMember& prev, PathMember& next, const floatPoint& point, int which) {
    if (!IsFinite(point)) return;
    const PathMember prevBefore = prev, nextBefore = next;
    const floatPoint joint = next.start;
    if (!prev.IsCurve() || !next.IsCurve()) {
        PathMember& dragged = which == 0 ? prev : next;
        if (!dragged.IsCurve()) return;
        floatPoint& cp = which == 0 ? prev.ctrl2 : next.ctrl1;
        if (!next.IsSmooth()) {
            cp = point;
        } else {
            // The handle is kept on the line's direction: the projection of the drag onto it.
            Vec d = which == 0 ? Diff(next.start, next.end) : Diff(prev.end, prev.start);
            Vec w = Diff(point, joint);
            double d2 = d.x * d.x + d.y * d.y;
            Vec h = d2 > 0 ? Scaled(d, (w.x * d.x + w.y * d.y) / d2) : Vec{0, 0};
            cp = Plus(joint, h);
        }
    } else {
        floatPoint& cp = which == 0 ? prev.ctrl2 : next.ctrl1;
        floatPoint& opposite = which == 0 ? next.ctrl1 : prev.ctrl2;
        cp = point;
        if (next.IsSmooth()) {
            Vec d = Diff(point, joint);
            double dl = Length(d);
            if (next.IsSymmetric()) {
                opposite = Plus(joint, Scaled(d, -1));
            } else if (dl > 0) {
                // A handle dragged onto the node gives the opposite one no direction.
                opposite = Plus(joint, Scaled(d, -Length(Diff(opposite, joint)) / dl));
            }
        }
    }
    MarkIfChanged(prev, prevBefore);
    MarkIfChanged(next, nextBefore);
}

void EditCurve(PathMember& m, double t, const floatPoint& delta) {
    if (!m.IsCurve() || !IsFinite(delta)) return;
    double s = 1 - t;
    double x, y;
    // The curve point moves by 3ts^2 x + 3t^2 s y times delta; the control points in the
    // ratio s : t.
    if (!SolveLin2(3 * t * s * s, 3 * t * t * s, t, t - 1, 1, 0, x, y)) return;
    const PathMember before = m;
    m.ctrl1 = Plus(m.ctrl1, Vec{delta.x * x, delta.y * x});
    m.ctrl2 = Plus(m.ctrl2, Vec{delta.x * y, delta.y * y});
    MarkIfChanged(m, before);
}

void UpdateConnectionsIn(SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    if (!n) return;
    bool closed = sp.IsClosed();
    for (std::uint16_t i = 0; i < n; ++i) {
        PathMember& m = sp.members[i];
        if (!m.IsSmooth() || (i == 0 && !closed)) continue;
        PathMember& prev = sp.members[sp.members.Prev(i)];
        MakeSmoothConnection(prev, m);
        prev.flags |= PM_CHANGED;
        m.flags |= PM_CHANGED;
    }
    sp.Invalidate(SP_ALL_INVALID);
}

int DetectConnectionTypesIn(SubPath& sp, int smooth, float angleTol, int symmetric, float ratioTol,
                            int mode) {
    if (!(angleTol > 0)) return 0;
    std::uint16_t n = sp.members.Filled();
    if (!n) return 0;
    int result = 0;
    for (std::uint16_t i = sp.IsClosed() ? 0 : 1; i < n; ++i) {
        PathMember& prev = sp.members[sp.members.Prev(i)];
        PathMember& next = sp.members[i];
        bool smoothJoint = smooth && std::fabs(Angle(prev, next)) <= angleTol;
        if (mode == 0) {
            if (!smoothJoint) continue;
            for (PathMember* m : {&prev, &next}) {
                std::uint16_t f = std::uint16_t(m->flags | PM_ALL_SEL);
                if (f != m->flags) m->flags = std::uint16_t(f | PM_CHANGED);
            }
            result = 1;
            continue;
        }
        if (!IsNodeSelected(prev, next)) continue;
        result = 1;
        next.flags = std::uint16_t((next.flags & ~(PM_SMOOTH | PM_SYMMETRIC)) | PM_CHANGED);
        if (!smoothJoint) continue;
        if (mode == 1) {
            MakeSmoothConnection(prev, next);
        } else {
            next.flags |= PM_SMOOTH;
        }
        if (!symmetric || !(ratioTol > 0) || !prev.IsCurve() || !next.IsCurve() ||
            next.ctrl1 == next.start)
            continue;
        double l = Length(Diff(prev.ctrl2, prev.end)) / Length(Diff(next.ctrl1, next.start));
        double ratio = l > 0 ? std::min(l, 1 / l) : 0;
        if (!(ratio >= 1 - ratioTol)) continue;
        if (mode == 1) {
            MakeSymmetricConnection(prev, next);
        } else {
            next.flags |= PM_SYMMETRIC;
        }
    }
    if (result) sp.Invalidate(SP_ALL_INVALID);
    return result;
}

int DetectConnectionTypesIn(Path& path, int smooth, float angleTol, int symmetric, float ratioTol,
                            int mode) {
    int result = 0;
    for (SubPath& sp : path.subPaths)
        result |= DetectConnectionTypesIn(sp, smooth, angleTol, symmetric, ratioTol, mode);
    path.Validate(SP_ALL_INVALID);
    return result;
}

int AlignIn(SubPath& sp, float value, float tol, int axisY, int apply) {
    if (!std::isfinite(value) || (!apply && std::isnan(tol))) return 0;
    auto coord = [axisY](floatPoint& p) -> float& { return axisY ? p.y : p.x; };
    int changed = 0;
    if (apply) {
        for (PathMember& m : sp.members) {
            if (!(m.flags & PM_SELECTED) || !(m.flags & PM_NODE_SEL)) continue;
            const PathMember before = m;
            if (m.flags & PM_START_SEL) coord(m.start) = value;
            if (m.flags & PM_END_SEL) coord(m.end) = value;
            if (m.IsCurve()) {
                if (m.flags & PM_CTRL1_SEL) coord(m.ctrl1) = value;
                if (m.flags & PM_CTRL2_SEL) coord(m.ctrl2) = value;
            } else {
                m.ctrl1 = m.start;
                m.ctrl2 = m.end;
            }
            if (MarkIfChanged(m, before)) changed = 1;
        }
        if (changed) sp.Invalidate(SP_ALL_INVALID);
        return changed;
    }
    auto near = [&](floatPoint& p) { return std::fabs(double(coord(p)) - value) <= tol; };
    for (PathMember& m : sp.members) {
        std::uint16_t f = std::uint16_t(m.flags & ~PM_ALL_SEL);
        if (near(m.start)) f |= PM_START_SEL;
        if (near(m.end)) f |= PM_END_SEL;
        if (m.IsCurve()) {
            if (near(m.ctrl1)) f |= PM_CTRL1_SEL;
            if (near(m.ctrl2)) f |= PM_CTRL2_SEL;
        }
        if (f & PM_NODE_SEL) f |= PM_SELECTED;
        if (f != m.flags) {
            m.flags = std::uint16_t(f | PM_CHANGED);
            changed = 1;
        }
    }
    return changed;
}
