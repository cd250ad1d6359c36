#include "pathkit/CornerIterator.h"

#include <cmath>

#include "pathkit/Bez3Engines.h"
#include "pathkit/Path.h"
#include "pathkit/PathMember.h"
#include "pathkit/SubPath.h"

namespace {

constexpr std::uint16_t CornerGrowStep = 50;
// Beyond this many corners of one member every further piece counts as flat, so that a
// tolerance far below the float resolution of the coordinates cannot run away.
constexpr std::uint16_t MaxCornersPerMember = 16384;

class CornerFlattener : public floatBez3Base {
public:
    CornerFlattener(float tolerance, CornerIterator::CornerDynArr& out, unsigned index)
        : floatBez3Base(tolerance), out(out), index(index) {}

    void Output(floatPoint&, floatPoint&, floatPoint&, floatPoint& p3) override {
        out.Append(CornerIterator::Corner{p3.x, p3.y, tEnd, index});
    }
    int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) override {
        if (out.Filled() >= MaxCornersPerMember) return 1;
        return floatBez3Base::CheckOutput(p0, mid, p3);
    }

private:
    CornerIterator::CornerDynArr& out;
    unsigned index;
};

} // namespace

CornerIterator::CornerIterator()
    : subPath(nullptr), corners(CornerGrowStep), pos(0), member(0), cornerCount(0), accuracy(0),
      prev(), cur(), next(), after(), before(CornerGrowStep), ahead(CornerGrowStep),
      beforeValid(false), aheadValid(false) {}

void CornerIterator::Flatten(const PathMember& m, unsigned index, CornerDynArr& out) const {
    out.Reset();
    const floatPoint& s = m.start;
    const floatPoint& e = m.end;
    out.Append(Corner{s.x, s.y, 0, index});
    if (m.IsCurve()) {
        CornerFlattener flattener(accuracy, out, index);
        flattener.CalcCurve(s, m.ctrl1, m.ctrl2, e, 0);
        const Corner* last = out.last();
        if (last->param == PM_PARAM_ONE && last->x == e.x && last->y == e.y) return;
    }
    out.Append(Corner{e.x, e.y, PM_PARAM_ONE, index});
}

void CornerIterator::Interpolate(const PathMember& m, unsigned index) {
    Flatten(m, index, corners);
    member = index;
    pos = 0;
    beforeValid = aheadValid = false;
    cur = corners[0];
    next = corners[1];
}

void CornerIterator::Init(SubPath& sp, float acc, unsigned m) {
    subPath = &sp;
    accuracy = (acc > 0 && std::isfinite(acc)) ? acc : Path::ValidAccuracy(sp.accuracy);
    cornerCount = 0;
    pos = 0;
    beforeValid = aheadValid = false;
    corners.Reset();
    prev = cur = next = after = Corner();
    std::uint16_t n = sp.members.Filled();
    if (!n) {
        member = 0;
        return;
    }
    member = m % n;
    Flatten(sp.members[std::uint16_t(member)], member, corners);
    cur = corners[0];
    next = corners[1];
    FillPrevious();
    FillAfter();
}

const CornerIterator::CornerDynArr& CornerIterator::Before() {
    if (!beforeValid) {
        unsigned index = subPath->members.Prev(int(member));
        Flatten(subPath->members[std::uint16_t(index)], index, before);
        beforeValid = true;
    }
    return before;
}

const CornerIterator::CornerDynArr& CornerIterator::Ahead() {
    if (!aheadValid) {
        unsigned index = subPath->members.Next(int(member));
        Flatten(subPath->members[std::uint16_t(index)], index, ahead);
        aheadValid = true;
    }
    return ahead;
}

// Every member has at least two corners and pos stays below the last one.
void CornerIterator::FillPrevious() {
    if (pos > 0) {
        prev = corners[std::uint16_t(pos - 1)];
    } else {
        const CornerDynArr& b = Before();
        prev = b[std::uint16_t(b.Filled() - 2)];
    }
}

void CornerIterator::FillAfter() {
    if (pos + 2 < corners.Filled()) {
        after = corners[std::uint16_t(pos + 2)];
    } else {
        after = Ahead()[1];
    }
}

bool CornerIterator::Overflow() const {
    return pos >= int(corners.Filled()) - 2;
}

CornerIterator& CornerIterator::operator++() {
    if (!subPath || corners.Filled() < 2) return *this;
    ++cornerCount;
    if (pos + 2 < corners.Filled()) {
        ++pos;
    } else {
        Ahead();
        before = corners;
        corners = ahead;
        beforeValid = true;
        aheadValid = false;
        member = subPath->members.Next(int(member));
        pos = 0;
    }
    prev = cur;
    cur = corners[std::uint16_t(pos)];
    next = corners[std::uint16_t(pos + 1)];
    FillAfter();
    return *this;
}

CornerIterator& CornerIterator::operator--() {
    if (!subPath || corners.Filled() < 2) return *this;
    --cornerCount;
    if (pos > 0) {
        --pos;
    } else {
        Before();
        ahead = corners;
        corners = before;
        aheadValid = true;
        beforeValid = false;
        member = subPath->members.Prev(int(member));
        pos = corners.Filled() - 2;
    }
    after = next;
    next = corners[std::uint16_t(pos + 1)];
    cur = corners[std::uint16_t(pos)];
    FillPrevious();
    return *this;
}
