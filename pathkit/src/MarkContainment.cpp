// Inside or outside the other path: the classification step of path combination.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "ContainmentIndex.h"
#include "pathkit/Fragment.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"

namespace {

constexpr std::uint32_t OneThird = 708669603u;
constexpr std::uint32_t TwoThirds = 1417339207u;
constexpr std::uint32_t Half = 0x40000000u;

// Relative to the other path's extent: below this, finer accuracies no longer help.
constexpr float FloorFactor = 2.5e-7f;
// Tenfold refinements at most; bounds the loop when the floor is 0 or not a number.
constexpr int MaxRefinements = 12;

bool Beside(Path& other, const floatPoint& p, float tol) {
    unsigned sp, member;
    std::uint32_t param;
    return other.IsBeside(p, tol, sp, member, param) != 0;
}

void SetContained(PathMember& m, bool inside) {
    std::uint16_t f = std::uint16_t(inside ? m.flags | PM_CONTAINED : m.flags & ~PM_CONTAINED);
    if (f != m.flags) f |= PM_CHANGED;
    m.flags = f;
}

// Keeps other's accuracy as it was, also when classification throws.
class AccuracyKeeper {
public:
    explicit AccuracyKeeper(Path& path) : path(path), saved(path.accuracy) {}
    ~AccuracyKeeper() {
        if (changed) {
            path.SetAccuracy(saved);
            path.Validate(SP_ALL_INVALID);
        }
    }
    void Refine() {
        path.SetAccuracy(path.accuracy * 0.1f);
        path.Validate(SP_ALL_INVALID);
        changed = true;
    }

private:
    Path& path;
    float saved;
    bool changed = false;
};

// The index of one classification, taken from those kept per thread between operations so
// that its memory is reused; a classification started within another builds its own.
class IndexLease {
public:
    IndexLease() = default;
    IndexLease(const IndexLease&) = delete;
    IndexLease& operator=(const IndexLease&) = delete;
    ~IndexLease() {
        if (index_ && !own_) Kept().busy = false;
    }
    explicit operator bool() const { return index_ != nullptr; }
    ContainmentIndex& operator*() const { return *index_; }
    ContainmentIndex* operator->() const { return index_; }

    void Build(Path& path) {
        Slot& kept = Kept();
        if (kept.busy) {
            own_ = std::make_unique<ContainmentIndex>(path);
            index_ = own_.get();
            return;
        }
        // Marked in use only once it is there, so that a failure leaves the slot free.
        bool made = !kept.index;
        if (made) kept.index = std::make_unique<ContainmentIndex>(path);
        kept.busy = true;
        index_ = kept.index.get();
        if (!made) kept.index->Rebuild(path);
    }

private:
    struct Slot {
        std::unique_ptr<ContainmentIndex> index;
        bool busy = false;
    };
    static Slot& Kept() {
        thread_local Slot slot;
        return slot;
    }
    ContainmentIndex* index_ = nullptr;
    std::unique_ptr<ContainmentIndex> own_;
};

} // namespace

namespace {

// Both ways to ask: the path itself, or an index of it built once for many questions.
template <class Other> int MarkFragment(Fragment& fragment, Other& other, float tol) {
    bool anyFree = false;
    for (int i = 0; i < fragment.count; ++i) {
        const PathMember& m = fragment.members[i];
        if (m.IsOverlayed()) continue;
        anyFree = true;
        floatPoint p1, p2;
        m.GetPointAt(OneThird, p1);
        m.GetPointAt(TwoThirds, p2);
        if (other.IsBeside(p1, tol) || other.IsBeside(p2, tol)) continue;
        bool inside = other.QuickInside(p1) & 1;
        if (inside != bool(other.QuickInside(p2) & 1)) continue;
        fragment.SetPMState(PM_CONTAINED, inside ? PM_CONTAINED : 0);
        return 0;
    }
    // A run lying wholly on the other path needs no decision.
    if (!anyFree) return 0;

    for (int i = 0; i < fragment.count; ++i) {
        PathMember& m = fragment.members[i];
        if (m.IsOverlayed()) continue;
        floatPoint p = m.start;
        if (other.IsBeside(p, tol)) {
            p = m.end;
            if (other.IsBeside(p, tol)) m.GetPointAt(Half, p);
        }
        SetContained(m, other.QuickInside(p) & 1);
    }
    return -1;
}

struct Direct {
    Path& path;
    bool IsBeside(const floatPoint& p, float tol) { return Beside(path, p, tol); }
    int QuickInside(const floatPoint& p) { return path.QuickInside(p); }
};

} // namespace

int MarkContainment(Fragment& fragment, Path& other, float tol) {
    Direct direct{other};
    return MarkFragment(fragment, direct, tol);
}

int MarkContainment(Path& a, Path& other) {
    a.Validate(SP_ALL_INVALID);
    other.Validate(SP_ALL_INVALID);
    if (!other.subPaths.Filled()) {
        a.SetPMState(PM_CONTAINED, 0, 0, 0);
        return 0;
    }
    floatBBox box = other.subPaths[0].ctrlBox;
    for (const SubPath& sp : other.subPaths)
        box += sp.ctrlBox;
    float floor = FloorFactor * std::max(box.right - box.left, box.top - box.bottom);

    AccuracyKeeper keeper(other);
    int result = 0;
    int refinements = 0;
    // The index pays for itself only over many questions (welding one letter into a long text
    // asks few): it is built once this many runs have been asked about directly, and again
    // after other's accuracy is refined. Both ways give the same answers.
    constexpr int DirectRuns = 16;
    int runs = 0;
    IndexLease index;
    Direct direct{other};
    auto mark = [&](Fragment& f) {
        if (!index && ++runs > DirectRuns) index.Build(other);
        return index ? MarkFragment(f, *index, 4 * other.accuracy)
                     : MarkFragment(f, direct, 4 * other.accuracy);
    };
    for (SubPath& sp : a.subPaths) {
        FragmentArray fragments;
        fragments.FillByInsertions(sp);
        for (Fragment& f : fragments) {
            while (mark(f) < 0) {
                if (!(other.accuracy > floor) || !(other.accuracy * 0.1f > 0) ||
                    refinements >= MaxRefinements) {
                    result = -1;
                    break;
                }
                a.UnSelectPM(0, 0);
                keeper.Refine();
                if (index) index->Rebuild();
                ++refinements;
            }
        }
    }
    return result;
}
