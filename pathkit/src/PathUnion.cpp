// The union of many outlines that keeps their holes, and combination with the near islands
// of a large outline only.

#include "pathkit/PathUnion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "ContainedBy.h"
#include "ContainmentIndex.h"
#include "NormalForm.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/PathCombination.h"
#include "pathkit/PathGroup.h"

namespace {

// Touching boxes meet.
bool Meet(const floatBBox& a, const floatBBox& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

floatBBox BoxOf(Path& path) {
    path.Validate(SP_CTRLBOX_INVALID);
    return path.ctrlBox;
}

// A copy of path's closed contours at the accuracy, normalised (even-odd), split into islands.
PathGroup Islands(const Path& path, float accuracy) {
    Path copy(path);
    copy.ClosePath();
    for (std::uint16_t i = 0; i < copy.subPaths.Filled();) {
        if (copy.subPaths[i].IsOpen() || !copy.subPaths[i].members.Filled()) {
            copy.subPaths.DeleteAt(i, 1);
        } else {
            ++i;
        }
    }
    PathGroup islands;
    if (!copy.subPaths.Filled()) return islands;
    copy.SetAccuracy(accuracy);
    copy.Invalidate(SP_ALL_INVALID);
    copy.Normalize();
    islands << copy;
    return islands;
}

// out's sub-paths give way to result's, at out's accuracy; out is untouched when this throws.
void Replace(Path& out, Path& result) {
    Path replaced(out.accuracy);
    replaced.Concat(result);
    for (const SubPath& sp : replaced.subPaths) {
        if (sp.accuracy != replaced.accuracy) {
            replaced.SetAccuracy(replaced.accuracy);
            break;
        }
    }
    replaced.Prepare();
    // Moved in with their boxes known: the path's boxes are united from them.
    replaced.RefreshBBoxes();
    out.ClosePath();
    out = std::move(replaced);
}

} // namespace

PathUnion::PathUnion(float accuracy) : accuracy_(Path::ValidAccuracy(accuracy)) {}

int PathUnion::Add(const Path& path) {
    PathGroup islands = Islands(path, accuracy_);
    islands_.reserve(islands_.size() + islands.Filled());
    for (Path& island : islands) {
        island.SetAccuracy(accuracy_);
        islands_.emplace_back(std::move(island));
    }
    return int(islands.Filled());
}

int PathUnion::Unite(Path& out) {
    std::vector<Path> islands;
    islands.swap(islands_);

    // Islands packed first-fit, from left to right, into sets whose boxes do not meet: the
    // islands of one set need no merging among themselves.
    struct Placed {
        floatBBox box;
        std::size_t index;
    };
    std::vector<Placed> order;
    order.reserve(islands.size());
    for (std::size_t i = 0; i < islands.size(); ++i)
        order.push_back({BoxOf(islands[i]), i});
    std::stable_sort(order.begin(), order.end(),
                     [](const Placed& a, const Placed& b) { return a.box.left < b.box.left; });
    std::vector<std::vector<floatBBox>> setBoxes;
    std::vector<Path> sets;
    for (const Placed& p : order) {
        std::size_t s = 0;
        for (; s < sets.size(); ++s) {
            const std::vector<floatBBox>& boxes = setBoxes[s];
            // Sorted by left edge: a box whose right edge lies left of p's left edge is apart,
            // so look from the latest back.
            if (std::none_of(boxes.rbegin(), boxes.rend(),
                             [&](const floatBBox& b) { return Meet(b, p.box); }))
                break;
        }
        if (s == sets.size()) {
            sets.emplace_back(accuracy_);
            setBoxes.emplace_back();
        }
        sets[s].Concat(islands[p.index]);
        setBoxes[s].push_back(p.box);
    }
    islands.clear();

    // Pairwise in a balanced tree: each round halves the sets.
    int result = 0;
    while (sets.size() > 1) {
        std::vector<Path> next;
        next.reserve((sets.size() + 1) / 2);
        for (std::size_t i = 0; i + 1 < sets.size(); i += 2) {
            DefAbortProc();
            Path merged(accuracy_);
            int code = SafeMerge(sets[i + 1], sets[i], merged);
            if (code && !result) result = code;
            next.emplace_back(std::move(merged));
        }
        if (sets.size() % 2) next.emplace_back(std::move(sets.back()));
        sets.swap(next);
    }
    Path united(accuracy_);
    if (!sets.empty()) united.Concat(sets[0]);
    Replace(out, united);
    return result;
}

namespace {

// A successful result brought to normal form where the combination did not show it there: a
// Normalize that changes something leaves the form unrecorded, the next one records it.
void MakeNormal(int code, Path& result) {
    for (int i = 0; i < 2 && code == 0 && !result.IsNormal() && result.subPaths.Filled(); ++i)
        result.Normalize();
}

// The holders a contour is asked about (boxes that meet), answered through an index of a
// holder asked often, as Prepare answers them.
class Holders {
public:
    explicit Holders(Path& path) : path_(path), asked_(path.subPaths.Filled()) {}
    void Ask(const SubPath& sp) {
        for (std::uint16_t k = 0; k < path_.subPaths.Filled(); ++k)
            if (Meet(sp.ctrlBox, path_.subPaths[k].ctrlBox)) ++asked_[k];
    }
    void Index() {
        std::vector<char> indexed(asked_.size());
        bool any = false;
        for (std::uint16_t k = 0; k < asked_.size(); ++k) {
            indexed[k] = asked_[k] >= 4 && path_.subPaths[k].members.Filled() >= 32;
            any = any || indexed[k];
        }
        if (any) {
            path_.Validate(SP_ALL_INVALID);
            index_ = std::make_unique<ContainmentIndex>(path_, indexed);
            indexed_ = std::move(indexed);
        }
    }
    // The number of holders around sp.
    int Around(SubPath& sp) {
        int n = 0;
        for (std::uint16_t k = 0; k < path_.subPaths.Filled(); ++k) {
            SubPath& holder = path_.subPaths[k];
            if (!Meet(sp.ctrlBox, holder.ctrlBox)) continue;
            int in;
            if (index_ && indexed_[k]) {
                ContainmentIndex& index = *index_;
                in = containment::ContainedBy(
                    sp, holder,
                    [&index, k](const floatPoint& p, float tol) {
                        return index.IsBeside(k, p, tol);
                    },
                    [&index, k](const floatPoint& p) { return index.IsInside(k, p); });
            } else {
                in = sp.IsContainedBy(holder);
            }
            n += in != 0;
        }
        return n;
    }

private:
    Path& path_;
    std::vector<std::uint32_t> asked_;
    std::vector<char> indexed_;
    std::unique_ptr<ContainmentIndex> index_;
};

bool FiniteClosed(Path& path) {
    for (SubPath& sp : path.subPaths) {
        sp.Validate(SP_CTRLBOX_INVALID);
        const floatBBox& b = sp.ctrlBox;
        if (!sp.IsClosed() || !std::isfinite(b.left) || !std::isfinite(b.right) ||
            !std::isfinite(b.bottom) || !std::isfinite(b.top))
            return false;
    }
    return true;
}

// Path::Prepare of the united contours (prepared) followed by the far contours of a prepared
// path whose other contours are `near`, into joined, without asking every pair of contours
// again: a far contour keeps the far holders it had, loses the near ones and gains the
// united ones around it; a united contour keeps its united holders and gains the far ones.
// Containment, the stable order and the turns are Prepare's own, and a contour whose depth
// keeps its parity keeps the turn Prepare found for it, so joined is what Prepare makes of
// the contours. False (nothing moved) for a box that is no finite number or an open contour:
// Prepare decides then.
bool PrepareJoined(Path& united, Path& far, Path& near, Path& joined) {
    if (!FiniteClosed(united) || !FiniteClosed(far) || !FiniteClosed(near)) return false;
    Holders nearHolders(near), unitedHolders(united), farHolders(far);
    for (const SubPath& sp : far.subPaths) {
        nearHolders.Ask(sp);
        unitedHolders.Ask(sp);
    }
    for (const SubPath& sp : united.subPaths)
        farHolders.Ask(sp);
    nearHolders.Index();
    unitedHolders.Index();
    farHolders.Index();
    std::vector<int> depth;
    for (SubPath& sp : united.subPaths)
        depth.push_back(sp.depth + farHolders.Around(sp));
    for (SubPath& sp : far.subPaths)
        depth.push_back(sp.depth - nearHolders.Around(sp) + unitedHolders.Around(sp));
    if (std::any_of(depth.begin(), depth.end(), [](int d) { return d < 0; }))
        return false; // the far contours' depths were not Prepare's
    joined.Concat(united);
    joined.Concat(far);
    SubPathEClassDynArr& all = joined.subPaths;
    for (std::uint16_t i = 0; i < all.Filled(); ++i) {
        SubPath& sp = all[i];
        const auto d = std::int16_t(std::min(depth[i], int(INT16_MAX)));
        const bool parityKept = (sp.depth & 1) == (d & 1);
        sp.depth = d;
        if (parityKept) continue;
        // The turn does not depend on the order, so it may be settled before the sort.
        sp.CalcRotation();
        if ((d & 1) ? sp.rotation < 0 : sp.rotation >= 0) sp.Reverse();
    }
    // Stable, as Prepare sorts.
    all.Sort(CompareForPrepare);
    return true;
}

// The union with a path in normal form works on its contours that meet a's: an outer contour
// that meets a comes with it (a hole or island inside it lies in its box), and those left out
// touch neither a's contours nor the others, so the result stays in normal form as well.
int UniteNearContours(Path& a, Path& b, Path& out) {
    const float accuracy = b.accuracy;
    Path near(accuracy), far(accuracy);
    for (const SubPath& sp : b.subPaths) {
        bool meets = std::any_of(a.subPaths.begin(), a.subPaths.end(),
                                 [&](const SubPath& p) { return Meet(p.ctrlBox, sp.ctrlBox); });
        SubPath copy(sp);
        CarryClusters(sp, copy);
        (meets ? near : far).AddSubPath(copy);
    }
    // Contours of a path in normal form, with every one around them: in normal form too.
    near.Validate(SP_ALL_INVALID);
    near.MarkNormal();
    Path result(accuracy);
    const int code = SafeMerge(a, near, result);
    MakeNormal(code, result);
    const bool normal = result.IsNormal() || !result.subPaths.Filled();
    result.ClosePath();
    Path joined(accuracy);
    if (!(normal && code == 0) || !PrepareJoined(result, far, near, joined)) {
        joined.Concat(result);
        joined.Concat(far);
        joined.Prepare();
    }
    joined.RefreshBBoxes();
    if (normal && code == 0) joined.MarkNormal();
    out.ClosePath();
    out = std::move(joined);
    return code;
}

} // namespace

int CombineNearIslands(int op, Path& a, Path& b, Path& out) {
    a.ClosePath();
    a.Validate(SP_CTRLBOX_INVALID);
    b.ClosePath();
    if (op == 1 && b.IsNormal()) {
        b.Validate(SP_CTRLBOX_INVALID);
        return UniteNearContours(a, b, out);
    }
    float accuracy = Path::ValidAccuracy(b.accuracy);
    PathGroup islands = Islands(b, accuracy);
    Path near(accuracy), far(accuracy);
    for (Path& island : islands) {
        floatBBox box = BoxOf(island);
        bool meets = std::any_of(a.subPaths.begin(), a.subPaths.end(),
                                 [&](const SubPath& sp) { return Meet(sp.ctrlBox, box); });
        (meets ? near : far).Concat(island);
    }
    Path result(accuracy);
    int code = 0;
    switch (op) {
    case 1:
        code = SafeMerge(a, near, result);
        break;
    case 2:
        code = SafeSection(a, near, result);
        break;
    case 3:
        code = SafeSubtract(a, near, result);
        break;
    default:
        return 0;
    }
    // The islands left out touch neither a nor the combined ones: a result in normal form
    // stays so with them.
    MakeNormal(code, result);
    const bool normal = code == 0 && (result.IsNormal() || !result.subPaths.Filled());
    result.ClosePath();
    if (op != 2) result.Concat(far);
    Replace(out, result);
    if (normal) out.MarkNormal();
    return code;
}
