// The union of many outlines that keeps their holes, and combination with the near islands
// of a large outline only.

#include "pathkit/PathUnion.h"

#include <algorithm>
#include <cstdint>

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
    joined.Concat(result);
    joined.Concat(far);
    joined.Prepare();
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
