// Inside or outside the other path: the classification step of path combination.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

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
            // Clusters are rebuilt by the next search that needs them.
            path.Validate(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID);
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

// The ends of the other path's members, for the crossing judge: a member's start (end even) or
// end (odd), by its point.
struct JudgeEnds {
    struct End {
        std::uint64_t key;
        std::uint32_t end;
    };
    std::vector<const PathMember*> members;
    std::vector<End> ends, spare;
    std::vector<std::uint64_t> keys; // of the ends, in their order
};

// Orders the ends by key, a byte of the key a pass from the lowest; passes in which every
// key has the same byte are left out. Ends of equal keys may come in any order.
void SortEnds(std::vector<JudgeEnds::End>& ends, std::vector<JudgeEnds::End>& spare) {
    constexpr int Bits = 8;
    constexpr std::size_t Digits = std::size_t(1) << Bits;
    std::size_t n = ends.size();
    if (n < 2) return;
    spare.resize(n);
    std::size_t count[Digits + 1];
    for (int shift = 0; shift < 64; shift += Bits) {
        std::fill(count, count + Digits + 1, 0);
        for (const JudgeEnds::End& e : ends)
            ++count[(e.key >> shift & (Digits - 1)) + 1];
        if (count[(ends[0].key >> shift & (Digits - 1)) + 1] == n) continue;
        for (std::size_t d = 1; d <= Digits; ++d)
            count[d] += count[d - 1];
        for (const JudgeEnds::End& e : ends)
            spare[count[e.key >> shift & (Digits - 1)]++] = e;
        ends.swap(spare);
    }
}

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

    // The judge's memory, kept with the index.
    JudgeEnds& Ends() { return own_ ? ownEnds_ : Kept().ends; }

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
        JudgeEnds ends;
        bool busy = false;
    };
    static Slot& Kept() {
        thread_local Slot slot;
        return slot;
    }
    ContainmentIndex* index_ = nullptr;
    std::unique_ptr<ContainmentIndex> own_;
    JudgeEnds ownEnds_;
};

} // namespace

namespace {

// Tangent directions at a point, in radians, that are nearer than this are not told apart.
constexpr double MinSeparation = 1e-4;

// Direction in which a member leaves its start (reversed: its end), in radians; false when
// the member has no direction there.
bool LeavingAngle(const PathMember& m, bool fromEnd, double& angle) {
    floatPoint at = fromEnd ? m.end : m.start;
    floatPoint cands[3] = {fromEnd ? m.ctrl2 : m.ctrl1, fromEnd ? m.ctrl1 : m.ctrl2,
                           fromEnd ? m.start : m.end};
    int first = m.IsCurve() ? 0 : 2;
    for (int k = first; k < 3; ++k) {
        double dx = double(cands[k].x) - at.x, dy = double(cands[k].y) - at.y;
        if (dx == 0 && dy == 0) continue;
        if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
        angle = std::atan2(dy, dx);
        return true;
    }
    return false;
}

// Counter-clockwise turn from a to b in [0, 2 pi).
double Turn(double a, double b) {
    double d = std::fmod(b - a, 2 * std::numbers::pi);
    return d < 0 ? d + 2 * std::numbers::pi : d;
}

bool Finite(const floatBBox& b) {
    return std::isfinite(b.left) && std::isfinite(b.right) && std::isfinite(b.bottom) &&
           std::isfinite(b.top);
}

// The contours whose control boxes meet no other contour's (edges touching count as meeting).
std::vector<char> AloneContours(Path& path) {
    std::uint16_t n = path.subPaths.Filled();
    std::vector<std::uint16_t> order(n);
    for (std::uint16_t i = 0; i < n; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::uint16_t i, std::uint16_t j) {
        return path.subPaths[i].ctrlBox.left < path.subPaths[j].ctrlBox.left;
    });
    std::vector<char> alone(n, 1);
    for (std::uint16_t k = 0; k < n; ++k) {
        const floatBBox& a = path.subPaths[order[k]].ctrlBox;
        for (std::uint16_t l = k + 1; l < n; ++l) {
            const floatBBox& b = path.subPaths[order[l]].ctrlBox;
            if (b.left > a.right) break;
            if (b.bottom > a.top || a.bottom > b.top) continue;
            alone[order[k]] = alone[order[l]] = 0;
        }
    }
    return alone;
}

// The ends of other's members, for telling whether a junction of a crosses other there: the
// inside state of a run of a is then the opposite of the state of the run before it. Only a
// contour whose box meets no other one's is judged: near it no other contour holds a point,
// so the inside test changes exactly where a crosses it.
class CrossingJudge {
public:
    // Only paths of closed contours with finite boxes; otherwise never a crossing. The ends
    // are kept in memory that outlives the judge.
    CrossingJudge(Path& other, JudgeEnds& kept)
        : members_(kept.members), ends_(kept.ends), keys_(kept.keys) {
        members_.clear();
        ends_.clear();
        keys_.clear();
        for (SubPath& sp : other.subPaths)
            if (!sp.IsClosed() || !Finite(sp.ctrlBox)) return;
        std::vector<char> alone = AloneContours(other);
        std::size_t count = 0;
        for (std::uint16_t i = 0; i < other.subPaths.Filled(); ++i)
            if (alone[i]) count += other.subPaths[i].members.Filled();
        members_.reserve(count);
        ends_.reserve(2 * count);
        for (std::uint16_t i = 0; i < other.subPaths.Filled(); ++i) {
            if (!alone[i]) continue;
            for (const PathMember& m : other.subPaths[i].members) {
                auto k = std::uint32_t(members_.size());
                members_.push_back(&m);
                ends_.push_back(End{Key(m.start), 2 * k});
                ends_.push_back(End{Key(m.end), 2 * k + 1});
            }
        }
        SortEnds(ends_, kept.spare);
        keys_.resize(ends_.size());
        for (std::size_t i = 0; i < ends_.size(); ++i)
            keys_[i] = ends_[i].key;
        usable_ = true;
    }

    // The run starting with next, after the run ending with prev, lies on the other side of
    // other: exactly one contour of other passes their junction, with both directions apart
    // from a's and one on each side of a.
    bool Crosses(const PathMember& prev, const PathMember& next) const {
        if (!usable_ || prev.IsOverlayed() || next.IsOverlayed()) return false;
        const floatPoint& p = next.start;
        if (!(prev.end == p) || !std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        // Exactly two ends there.
        std::uint64_t key = Key(p);
        std::size_t at =
            std::size_t(std::lower_bound(keys_.begin(), keys_.end(), key) - keys_.begin());
        if (at + 2 > keys_.size() || keys_[at] != key || keys_[at + 1] != key ||
            (at + 2 < keys_.size() && keys_[at + 2] == key))
            return false;
        double out, back;
        if (!LeavingAngle(next, false, out) || !LeavingAngle(prev, true, back)) return false;
        double sector = Turn(out, back);
        if (!(sector > MinSeparation && sector < 2 * std::numbers::pi - MinSeparation))
            return false;
        bool side[2];
        for (int k = 0; k < 2; ++k) {
            std::uint32_t end = ends_[at + std::size_t(k)].end;
            double h;
            if (!LeavingAngle(*members_[end / 2], end & 1, h)) return false;
            double t = Turn(out, h);
            if (t < MinSeparation || t > 2 * std::numbers::pi - MinSeparation) return false;
            if (std::fabs(t - sector) < MinSeparation) return false;
            side[k] = t < sector;
        }
        return side[0] != side[1];
    }

private:
    using End = JudgeEnds::End;
    // Equal for equal finite points (zeros of either sign alike).
    static std::uint64_t Key(const floatPoint& p) {
        auto bits = [](float v) {
            v += 0.0f; // -0 to +0
            std::uint32_t u;
            std::memcpy(&u, &v, sizeof u);
            return u;
        };
        return std::uint64_t(bits(p.y)) << 32 | bits(p.x);
    }
    std::vector<const PathMember*>& members_;
    std::vector<End>& ends_;
    std::vector<std::uint64_t>& keys_;
    bool usable_ = false;
};

// Checks every carried state against the sampling test when set (a test switch).
bool CheckCarried() {
    static const bool check = [] {
        const char* v = std::getenv("SIGNDESK_CHECK_CARRIED");
        return v && std::strcmp(v, "0") != 0;
    }();
    return check;
}

struct CarryCount {
    std::atomic<long> carried{0};
    ~CarryCount() {
        if (CheckCarried()) std::fprintf(stderr, "carried states checked: %ld\n", carried.load());
    }
};
CarryCount carryCount;

// Both ways to ask: the path itself, or an index of it built once for many questions.
// carried: the state the run must have (0 outside, 1 inside) when it crosses into it from
// the run before, else -1; decided: the state set on every member, else -1.
template <class Other>
int MarkFragment(Fragment& fragment, Other& other, float tol, int carried, int& decided) {
    decided = -1;
    bool anyFree = false;
    for (int i = 0; i < fragment.count; ++i) {
        const PathMember& m = fragment.members[i];
        if (m.IsOverlayed()) continue;
        anyFree = true;
        floatPoint p1, p2;
        m.GetPointAt(OneThird, p1);
        m.GetPointAt(TwoThirds, p2);
        if (other.IsBeside(p1, tol) || other.IsBeside(p2, tol)) continue;
        bool inside;
        if (carried >= 0) {
            inside = carried != 0;
        } else {
            inside = other.QuickInside(p1) & 1;
            if (inside != bool(other.QuickInside(p2) & 1)) continue;
        }
        fragment.SetPMState(PM_CONTAINED, inside ? PM_CONTAINED : 0);
        decided = inside;
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

// MarkFragment with a carried state, run also without it when checking; a difference in any
// member's flags stops the program.
template <class Other>
int MarkCarried(Fragment& fragment, Other& other, float tol, int carried, int& decided) {
    if (carried < 0 || !CheckCarried()) return MarkFragment(fragment, other, tol, carried, decided);
    std::vector<std::uint16_t> before(fragment.count), sampled(fragment.count);
    for (int i = 0; i < fragment.count; ++i)
        before[i] = fragment.members[i].flags;
    int sampledDecided;
    int sampledResult = MarkFragment(fragment, other, tol, -1, sampledDecided);
    for (int i = 0; i < fragment.count; ++i) {
        sampled[i] = fragment.members[i].flags;
        fragment.members[i].flags = before[i];
    }
    int result = MarkFragment(fragment, other, tol, carried, decided);
    ++carryCount.carried;
    for (int i = 0; i < fragment.count; ++i) {
        if (sampled[i] == fragment.members[i].flags && sampledResult == result) continue;
        const PathMember& m = fragment.members[i];
        std::fprintf(stderr,
                     "carried state differs: member %d of %d at (%.9g, %.9g)-(%.9g, %.9g): "
                     "flags %#x sampled, %#x carried\n",
                     i, fragment.count, double(m.start.x), double(m.start.y), double(m.end.x),
                     double(m.end.y), sampled[i], fragment.members[i].flags);
        std::abort();
    }
    return result;
}

struct Direct {
    Path& path;
    bool IsBeside(const floatPoint& p, float tol) { return Beside(path, p, tol); }
    int QuickInside(const floatPoint& p) { return path.QuickInside(p); }
};

} // namespace

int MarkContainment(Fragment& fragment, Path& other, float tol) {
    Direct direct{other};
    int decided;
    return MarkFragment(fragment, direct, tol, -1, decided);
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
    std::unique_ptr<CrossingJudge> judge;
    Direct direct{other};
    auto mark = [&](Fragment& f, int carried, int& decided) {
        if (!index && ++runs > DirectRuns) {
            index.Build(other);
            judge = std::make_unique<CrossingJudge>(other, index.Ends());
        }
        return index ? MarkCarried(f, *index, 4 * other.accuracy, carried, decided)
                     : MarkCarried(f, direct, 4 * other.accuracy, carried, decided);
    };
    for (SubPath& sp : a.subPaths) {
        FragmentArray fragments;
        fragments.FillByInsertions(sp);
        // The state of the run before, when every member got it from one sample pair.
        int previous = -1;
        for (std::uint16_t k = 0; k < fragments.Filled(); ++k) {
            Fragment& f = fragments[k];
            int carried = -1;
            if (previous >= 0 && judge && f.count > 0 &&
                judge->Crosses(*fragments[std::uint16_t(k - 1)].EndPathMember(),
                               *f.StartPathMember()))
                carried = !previous;
            int decided;
            while (mark(f, carried, decided) < 0) {
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
            previous = decided;
        }
    }
    return result;
}
