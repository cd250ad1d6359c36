#include "pathkit/Fragment.h"

#include <cstdint>

#include "pathkit/PathQueries.h"

namespace {

// Points at one third and two thirds of a member.
constexpr std::uint32_t OneThird = 708669603u;
constexpr std::uint32_t TwoThirds = 1417339207u;

bool Closer(const floatPoint& a, const floatPoint& b, float tol) {
    double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    return dx * dx + dy * dy < double(tol) * tol;
}

// Every member's start and its points at one and two thirds lie beside the other run.
bool AllBeside(const Fragment& from, const Fragment& on, float tol, int direction) {
    for (int i = 0; i < from.count; ++i) {
        const PathMember& m = from.members[i];
        floatPoint p1, p2;
        m.GetPointAt(OneThird, p1);
        m.GetPointAt(TwoThirds, p2);
        if (!on.IsBeside(m.start, tol, direction) || !on.IsBeside(p1, tol, direction) ||
            !on.IsBeside(p2, tol, direction))
            return false;
    }
    return true;
}

} // namespace

void Fragment::Fill(PathMember* first, int n, float a) {
    members = first;
    count = n;
    accuracy = a;
    fragmentFlags = 0;
    box = floatBBox();
    BoundingBox();
}

void Fragment::BoundingBox() {
    if (count <= 0) return;
    members[0].CtrlBBox(box);
    floatBBox b;
    for (int i = 1; i < count; ++i) {
        members[i].CtrlBBox(b);
        box += b;
    }
}

double Fragment::Spin() const {
    double spin = 0;
    for (int i = 0; i < count; ++i) {
        spin += members[i].Spin();
        if (i > 0) spin += Angle(members[i - 1], members[i]);
    }
    return spin;
}

bool Fragment::IsBeside(const floatPoint& p, float tol, int direction) const {
    if (count <= 0) return false;
    auto index = [&](int k) { return direction < 0 ? count - 1 - k : k; };
    std::uint32_t param;
    for (int k = 0; k < count; ++k)
        if (members[index(k)].IsBeside(p, tol, accuracy, param, 0)) return true;
    for (int k = 0; k < count; ++k)
        if (Closer(members[index(k)].start, p, tol)) return true;
    return Closer(members[count - 1].end, p, tol);
}

void Fragment::SetPMState(std::uint16_t mask, std::uint16_t value) {
    for (int i = 0; i < count; ++i) {
        PathMember& m = members[i];
        std::uint16_t f = std::uint16_t((m.flags & ~mask) | (mask & value));
        if (f != m.flags) f |= PM_CHANGED;
        m.flags = f;
    }
}

int IsEqual(Fragment& a, Fragment& b, float tol) {
    if (a.count <= 0 || b.count <= 0) return 0;
    if (!(a.box.left - tol <= b.box.right && b.box.left <= a.box.right + tol &&
          a.box.bottom - tol <= b.box.top && b.box.bottom <= a.box.top + tol))
        return 0;
    int direction;
    if (a.start() == b.start()) {
        direction = 1;
    } else if (a.start() == b.end() && a.end() == b.start()) {
        direction = -1;
    } else {
        return 0;
    }
    if (!AllBeside(a, b, tol, direction) || !AllBeside(b, a, tol, direction)) return 0;
    return direction;
}
