#include "pathkit/Path.h"

#include <cmath>
#include <utility>

#include "pathkit/TMatrix.h"

namespace {

constexpr std::uint16_t SubPathGrowStep = 10;

bool IsValidAccuracy(float a) {
    return a > 0 && std::isfinite(a);
}

} // namespace

float Path::DefAccuracy = 0.1f;

float Path::ValidAccuracy(float a) {
    if (IsValidAccuracy(a)) return a;
    return IsValidAccuracy(DefAccuracy) ? DefAccuracy : 0.1f;
}

Path::Path(float a)
    : subPaths(SubPathGrowStep), curveState(0), building(ValidAccuracy(a)),
      accuracy(ValidAccuracy(a)), clusterCount(0), normalCount_(0), normalAccuracy_(0) {}

Path::Path(const Path& other)
    : subPaths(SubPathGrowStep), pending(other.pending), curveState(other.curveState),
      building(other.accuracy), ctrlBox(other.ctrlBox), accBox(other.accBox),
      accuracy(ValidAccuracy(other.accuracy)), clusterCount(other.clusterCount), normalCount_(0),
      normalAccuracy_(0) {
    std::uint16_t n = other.subPaths.Filled();
    subPaths.Grow(n);
    for (const SubPath& sp : other.subPaths) {
        SubPath* copy = subPaths.Append(sp);
        copy->Invalidate(SP_ALL_INVALID);
    }
    SetAccuracy(accuracy);
}

Path::Path(Path&& other) noexcept
    : subPaths(std::move(other.subPaths)), pending(other.pending), curveState(other.curveState),
      building(std::move(other.building)), ctrlBox(other.ctrlBox), accBox(other.accBox),
      accuracy(other.accuracy), clusterCount(other.clusterCount), normalCount_(other.normalCount_),
      normalAccuracy_(other.normalAccuracy_) {}

Path& Path::operator=(Path& other) noexcept {
    if (this == &other) return *this;
    subPaths = other.subPaths;
    pending = other.pending;
    curveState = other.curveState;
    building = other.building;
    ctrlBox = other.ctrlBox;
    accBox = other.accBox;
    accuracy = other.accuracy;
    clusterCount = other.clusterCount;
    normalCount_ = other.normalCount_;
    normalAccuracy_ = other.normalAccuracy_;
    return *this;
}

Path& Path::operator=(Path&& other) noexcept {
    return *this = other;
}

// ---- building

floatPoint Path::PreviousPoint() const {
    const PathMember* last = building.members.last();
    return last ? last->end : pending.end;
}

void Path::AppendLine(float x, float y, PMCallback callback) {
    floatPoint prev = PreviousPoint();
    floatPoint p(x, y);
    pending.flags = 0;
    pending.start = prev;
    pending.ctrl1 = prev;
    pending.end = p;
    pending.ctrl2 = p;
    // A zero-length line is kept only as the first member.
    if (!building.members.Filled() || p != prev) building.members.Append(pending);
    if (callback) callback(&pending);
}

void Path::Append(PathCmd cmd, float x, float y, PMCallback callback) {
    switch (int(cmd) & 7) {
    case PC_MOVETO:
        ClosePath();
        pending.end = floatPoint(x, y);
        curveState = 0;
        break;
    case PC_LINETO:
        AppendLine(x, y, callback);
        break;
    case PC_CURVETO:
        pending.flags = PM_CURVE;
        pending.start = PreviousPoint();
        pending.ctrl1 = floatPoint(x, y);
        curveState = 1;
        break;
    case PC_CURVEPOINT:
        if (curveState == 1) {
            pending.ctrl2 = floatPoint(x, y);
            curveState = 2;
        } else if (curveState == 2) {
            pending.end = floatPoint(x, y);
            building.members.Append(pending);
            curveState = 0;
            if (callback) callback(&pending);
        }
        break;
    default:
        break;
    }
    building.Invalidate(SP_ALL_INVALID);
}

void Path::Append(float x, float y) {
    AppendLine(x, y, nullptr);
    building.Invalidate(SP_ALL_INVALID);
}

void Path::Append(float x1, float y1, float x2, float y2, float x3, float y3) {
    pending.flags = PM_CURVE;
    pending.start = PreviousPoint();
    pending.ctrl1 = floatPoint(x1, y1);
    pending.ctrl2 = floatPoint(x2, y2);
    pending.end = floatPoint(x3, y3);
    building.members.Append(pending);
    building.Invalidate(SP_ALL_INVALID);
}

void Path::ClosePath() {
    if (!building.members.Filled()) return;
    building.members.Compact();
    building.Invalidate(SP_ALL_INVALID);
    SubPath* slot = subPaths.Append();
    *slot = building;
    // A fresh sub-path with the same accuracy and cluster count.
    building.ctrlBox = floatBBox();
    building.accBox = floatBBox();
    building.clusterStep = 0;
    building.state = SP_ALL_INVALID;
    building.depth = 0;
    building.rotation = 0;
}

void Path::Close() {
    const PathMember* last = building.members.last();
    if (!last) return;
    floatPoint first = building.members[0].start;
    if (first != last->end) Append(first.x, first.y);
}

void Path::AddSubPath(SubPath& sp) {
    normalCount_ = 0;
    SubPath* slot = subPaths.Append();
    *slot = sp;
}

void Path::Concat(Path& other) {
    if (&other == this) return;
    std::uint16_t n = other.subPaths.Filled();
    if (!n) return;
    if (unsigned(subPaths.Filled()) + n > SubPathEClassDynArr::DefaultLimit)
        throw SubPathEClassDynArr::LimitCheck();
    // Sub-paths moved into an empty path keep their normal form; added to others, they end it.
    if (subPaths.Filled()) {
        normalCount_ = 0;
    } else {
        normalCount_ = other.normalCount_;
        normalAccuracy_ = other.normalAccuracy_;
    }
    other.normalCount_ = 0;
    // With the room made first, moving the sub-paths cannot fail half-way.
    subPaths.Grow(n);
    for (SubPath& sp : other.subPaths)
        *subPaths.Append() = sp;
    other.subPaths.Destroy();
}

// ---- caches

bool Path::IsNormal() const {
    if (!normalCount_ || normalCount_ != subPaths.Filled() || accuracy != normalAccuracy_)
        return false;
    for (const SubPath& sp : subPaths)
        if (!(sp.state & SP_NORMAL)) return false;
    return true;
}

void Path::MarkNormal() {
    normalCount_ = subPaths.Filled();
    normalAccuracy_ = accuracy;
    for (SubPath& sp : subPaths)
        sp.state = std::uint16_t(sp.state | SP_NORMAL);
}

void Path::Invalidate(unsigned bits) {
    for (SubPath& sp : subPaths)
        sp.Invalidate(bits);
}

void Path::UniteCtrlBoxes() {
    bool first = true;
    for (const SubPath& sp : subPaths) {
        if (!sp.members.Filled()) continue;
        if (first) {
            ctrlBox = sp.ctrlBox;
        } else {
            ctrlBox += sp.ctrlBox;
        }
        first = false;
    }
}

void Path::UniteAccBoxes() {
    bool first = true;
    for (const SubPath& sp : subPaths) {
        if (!sp.members.Filled()) continue;
        if (first) {
            accBox = sp.accBox;
        } else {
            accBox += sp.accBox;
        }
        first = false;
    }
}

unsigned Path::Validate(unsigned bits) {
    unsigned handled = 0;
    for (std::uint16_t i = 0; i < subPaths.Filled();) {
        SubPath& sp = subPaths[i];
        if (!sp.members.Filled()) {
            subPaths.DeleteAt(i, 1);
            normalCount_ = 0;
            continue;
        }
        handled |= sp.Validate(bits);
        ++i;
    }
    if (handled & SP_CTRLBOX_INVALID) UniteCtrlBoxes();
    if (handled & SP_ACCBOX_INVALID) UniteAccBoxes();
    return handled;
}

void Path::RecalcCtrlBBox() {
    for (SubPath& sp : subPaths)
        if (sp.members.Filled()) sp.CtrlBBox();
    UniteCtrlBoxes();
}

void Path::RecalcAccBBox() {
    for (SubPath& sp : subPaths)
        if (sp.members.Filled()) sp.AccBBox();
    UniteAccBoxes();
}

void Path::RefreshBBoxes() {
    if (!subPaths.Filled()) return;
    Validate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
    UniteCtrlBoxes();
    UniteAccBoxes();
}

void Path::BuildClusters(unsigned n) {
    clusterCount = n;
    for (SubPath& sp : subPaths)
        sp.BuildClusters(n);
}

void Path::SetAccuracy(float a) {
    accuracy = ValidAccuracy(a);
    building.SetAccuracy(accuracy);
    for (SubPath& sp : subPaths)
        sp.SetAccuracy(accuracy);
}

void Path::Transform(const floatTMatrix& m) {
    for (SubPath& sp : subPaths)
        sp.Transform(m);
}

// ---- member states

void Path::SetPMState(std::uint16_t mask, std::uint16_t value, std::uint16_t testMask,
                      std::uint16_t testValue) {
    for (SubPath& sp : subPaths)
        sp.SetPMState(mask, value, testMask, testValue);
}

void Path::SelectPM(std::uint16_t testMask, std::uint16_t testValue) {
    for (SubPath& sp : subPaths)
        sp.SelectPM(testMask, testValue);
}

void Path::UnSelectPM(std::uint16_t testMask, std::uint16_t testValue) {
    for (SubPath& sp : subPaths)
        sp.UnSelectPM(testMask, testValue);
}

unsigned Path::Count(std::uint16_t testMask, std::uint16_t testValue) const {
    unsigned n = 0;
    for (const SubPath& sp : subPaths)
        n += sp.Count(testMask, testValue);
    return n;
}
