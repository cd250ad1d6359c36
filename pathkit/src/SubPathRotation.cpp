// Orientation of a contour from the turn at its right-most point.

#include <cmath>
#include <numbers>

#include "pathkit/CornerIterator.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/SubPath.h"

namespace {

// The right-most corner, the upper one among equals: the lexicographic maximum of (x, y). Its
// neighbours both lie before it in that order, so the contour turns there unless it doubles
// back on itself.
struct Extreme {
    bool found = false;
    unsigned member = 0;
    int steps = 0; // from the member's first corner
    float x = 0;
    float y = 0;

    void Offer(const CornerIterator::Corner& c, unsigned m, int k) {
        if (!std::isfinite(c.x) || !std::isfinite(c.y)) return;
        if (found && !(c.x > x || (c.x == x && c.y > y))) return;
        found = true;
        member = m;
        steps = k;
        x = c.x;
        y = c.y;
    }
};

void ScanMember(SubPath& sp, CornerIterator& it, float tol, unsigned m, Extreme& best) {
    it.Init(sp, tol, m);
    for (int k = 0;; ++k) {
        best.Offer(it.Current(), m, k);
        if (it.Overflow()) {
            best.Offer(it.Next(), m, k + 1);
            return;
        }
        ++it;
    }
}

bool Usable(const CornerIterator::Corner& c, const floatPoint& p) {
    return std::isfinite(c.x) && std::isfinite(c.y) && (c.x != p.x || c.y != p.y);
}

int Sign(double angle) {
    return angle > 0 ? 1 : (angle < 0 ? -1 : 0);
}

// The turn at the right-most corner of a flattening with tolerance tol: 1 clockwise,
// -1 counter-clockwise, 0 undecided.
int TurnAtRightMost(SubPath& sp, float tol) {
    std::uint16_t n = sp.members.Filled();
    CornerIterator it;
    Extreme best;
    floatBBox box;
    // Members whose exact box reaches the right edge hold the right-most point of the curve;
    // then any other member whose control box reaches the best corner found may hold a
    // corner further right.
    for (std::uint16_t m = 0; m < n; ++m) {
        sp.members[m].AccBBox(box);
        if (box.right >= sp.accBox.right) ScanMember(sp, it, tol, m, best);
    }
    if (!best.found) return 0;
    for (std::uint16_t m = 0; m < n; ++m) {
        sp.members[m].AccBBox(box);
        if (box.right >= sp.accBox.right) continue;
        sp.members[m].CtrlBBox(box);
        if (box.right >= best.x) ScanMember(sp, it, tol, m, best);
    }

    floatPoint p(best.x, best.y), before, after;
    bool haveBefore = false, haveAfter = false;
    // Each walk passes every member once at most.
    it.Init(sp, tol, best.member);
    for (int k = 0; k < best.steps; ++k)
        ++it;
    for (unsigned crossed = 0; crossed <= n;) {
        if (Usable(it.Previous(), p)) {
            before = it.Previous().Point();
            haveBefore = true;
            break;
        }
        if (it.Current().param == 0) ++crossed;
        --it;
    }
    it.Init(sp, tol, best.member);
    for (int k = 0; k < best.steps; ++k)
        ++it;
    for (unsigned crossed = 0; crossed <= n;) {
        if (Usable(it.Next(), p)) {
            after = it.Next().Point();
            haveAfter = true;
            break;
        }
        if (it.Overflow()) ++crossed;
        ++it;
    }
    if (!haveBefore || !haveAfter) return 0;

    double angle = VectAngle(double(after.x) - p.x, double(after.y) - p.y, double(p.x) - before.x,
                             double(p.y) - before.y);
    // 0: no turn; pi: the contour doubles back, which says nothing about its orientation.
    if (angle == std::numbers::pi) return 0;
    return Sign(angle);
}

// The member start with the greatest x, with the previous member's start and its own end.
int FallbackTurn(const SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    int k = -1;
    for (std::uint16_t i = 0; i < n; ++i) {
        float x = sp.members[i].start.x;
        if (std::isfinite(x) && (k < 0 || x > sp.members[std::uint16_t(k)].start.x)) k = i;
    }
    if (k < 0) return 0;
    floatPoint p = sp.members[std::uint16_t(k)].start;
    floatPoint before = sp.members[sp.members.Prev(k)].start;
    floatPoint after = sp.members[std::uint16_t(k)].end;
    return Sign(VectAngle(double(after.x) - p.x, double(after.y) - p.y, double(p.x) - before.x,
                          double(p.y) - before.y));
}

bool IsFinite(const floatBBox& b) {
    return std::isfinite(b.left) && std::isfinite(b.right) && std::isfinite(b.bottom) &&
           std::isfinite(b.top);
}

} // namespace

int SubPath::CalcRotation() {
    if (!members.Filled()) return 0;
    if (state & SP_ACCBOX_INVALID) AccBBox();
    if (!IsFinite(accBox)) {
        rotation = 0;
        return 0;
    }
    if (accBox.right == accBox.left || accBox.top == accBox.bottom) return 0;
    if (state & SP_TURN_KNOWN) return 0;
    Validate(SP_ALL_INVALID);

    // A coarse flattening finds the turn of most contours; one or two members (a single loop,
    // a lens) need the fine one.
    float acc = Path::ValidAccuracy(accuracy);
    int turn = 0;
    if (members.Filled() >= 3) turn = TurnAtRightMost(*this, 32 * acc);
    if (!turn) turn = TurnAtRightMost(*this, acc);
    if (!turn) turn = FallbackTurn(*this);
    rotation = std::int8_t(turn);
    return 0;
}
