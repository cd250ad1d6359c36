#include "text/BaselineGeometry.h"

#include <cmath>
#include <limits>

#include "BaselineWalker.h"
#include "pathkit/PathMeasure.h"
#include "pathkit/SubPath.h"

namespace {

// v scaled to length 1; a zero vector stays zero.
floatPoint Unit(floatPoint v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    if (length != 0) {
        v.x /= length;
        v.y /= length;
    }
    return v;
}

floatPoint Minus(const floatPoint& a, const floatPoint& b) {
    return floatPoint(a.x - b.x, a.y - b.y);
}

// The direction in which a member leaves its start and the one in which it reaches its end.
floatPoint StartDirection(const PathMember& m) {
    return Unit(Minus(m.IsCurve() ? m.ctrl1 : m.end, m.start));
}
floatPoint EndDirection(const PathMember& m) {
    return Unit(Minus(m.end, m.IsCurve() ? m.ctrl2 : m.start));
}

} // namespace

BaselineWalker::BaselineWalker(const SubPath& sp) : sp_(sp) {
    lengths_.reserve(sp.members.Filled());
    for (const PathMember& m : sp.members) {
        lengths_.push_back(GetPMLength(m, sp.accuracy));
        total_ += lengths_.back();
    }
}

void BaselineWalker::PointAt(float d, floatPoint& point, floatPoint& tangent) const {
    const std::uint16_t n = sp_.members.Filled();
    if (n == 0) {
        point = floatPoint(0, 0);
        tangent = floatPoint(1, 0);
        return;
    }
    const PathMember& first = sp_.members[0];
    if (!std::isfinite(d)) {
        const float none = std::numeric_limits<float>::quiet_NaN();
        point = floatPoint(none, none);
        tangent = StartDirection(first);
        return;
    }
    if (sp_.IsClosed()) {
        // A closed baseline without length has nowhere to go but its start.
        if (!(total_ > 0) || !std::isfinite(total_)) {
            point = first.start;
            tangent = StartDirection(first);
            return;
        }
        d = std::fmod(d, total_);
        if (d < 0) d += total_;
    }
    if (d < 0) {
        tangent = StartDirection(first);
        point = floatPoint(first.start.x + tangent.x * d, first.start.y + tangent.y * d);
        return;
    }
    std::uint16_t i = 0;
    while (i < n && lengths_[i] <= d) {
        d -= lengths_[i];
        ++i;
    }
    if (i < n) {
        PathMember member = sp_.members[i];
        const std::uint32_t t = GetTParamAt(member, d, sp_.accuracy);
        if (t == 0) {
            // Exactly at the member's start: the piece before it has no direction of its own.
            point = member.start;
            tangent = StartDirection(member);
            return;
        }
        PathMember piece;
        member.Cut(0, t, piece, nullptr, nullptr);
        point = piece.end;
        tangent = EndDirection(piece);
        return;
    }
    const PathMember& last = sp_.members[std::uint16_t(n - 1)];
    tangent = EndDirection(last);
    point = floatPoint(last.end.x + tangent.x * d, last.end.y + tangent.y * d);
}

float SubPathLengthTo(const SubPath& sp, int member, std::uint32_t t) {
    const int n = sp.members.Filled();
    float length = 0;
    for (int i = 0; i < member && i < n; ++i)
        length += GetPMLength(sp.members[std::uint16_t(i)], sp.accuracy);
    if (t == 0 || member < 0 || member >= n) return length;
    PathMember m = sp.members[std::uint16_t(member)];
    if (t & 0x80000000u) return length + GetPMLength(m, sp.accuracy);
    PathMember piece;
    m.Cut(0, t, piece, nullptr, nullptr);
    return length + GetPMLength(piece, sp.accuracy);
}

void PointAtLength(const SubPath& sp, float d, floatPoint& point, floatPoint& tangent) {
    BaselineWalker(sp).PointAt(d, point, tangent);
}
