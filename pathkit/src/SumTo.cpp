// The union of all contours of one path.

#include <cstdint>

#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"

namespace {

// Below this merge accuracy a failed merge is not retried.
constexpr float MergeAccuracyLimit = 0.0001f;
// Bounds the retries for a source of very coarse accuracy.
constexpr int MaxAttempts = 12;

bool Overlap(const floatBBox& a, const floatBBox& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

bool OverlapsAny(const Path& group, const SubPath& sp) {
    for (const SubPath& g : group.subPaths)
        if (Overlap(g.ctrlBox, sp.ctrlBox)) return true;
    return false;
}

// Moves the source's sub-paths into groups of contours whose boxes are apart from each other:
// within a group nothing needs merging.
void Group(Path& source, float accuracy, PathEClassDynArr& groups) {
    while (source.subPaths.Filled()) {
        Path* group = groups.Append();
        group->SetAccuracy(accuracy);
        group->AddSubPath(*source.subPaths.last());
        source.subPaths.DeleteAt(std::uint16_t(source.subPaths.Filled() - 1), 1);
        for (std::uint16_t i = 0; i < source.subPaths.Filled();) {
            if (OverlapsAny(*group, source.subPaths[i])) {
                ++i;
                continue;
            }
            group->AddSubPath(source.subPaths[i]);
            source.subPaths.DeleteAt(i, 1);
        }
    }
}

// Puts the grouped sub-paths back into the source; its buffer still has room for all of them.
void Ungroup(PathEClassDynArr& groups, Path& source) noexcept {
    for (Path& group : groups) {
        for (SubPath& sp : group.subPaths) {
            if (source.subPaths.Filled() >= source.subPaths.Allocated()) return;
            source.AddSubPath(sp);
        }
    }
}

// Merges every group into a copy of the first. With stopAtFailure the first failed merge ends
// the run; otherwise the remaining groups are merged all the same. Returns 0 or the first
// failure.
int MergeGroups(PathEClassDynArr& groups, float accuracy, float mergeAccuracy, bool stopAtFailure,
                Path& running) {
    Path first(groups[0]);
    running.subPaths.Destroy();
    running.Concat(first);
    running.SetAccuracy(accuracy);
    int result = 0;
    for (std::uint16_t k = 1; k < groups.Filled(); ++k) {
        Path group(groups[k]);
        group.SetAccuracy(mergeAccuracy);
        running.SetAccuracy(accuracy);
        Path merged(accuracy);
        int code = Merge(group, running, &merged);
        running.subPaths.Destroy();
        running.Concat(merged);
        if (code) {
            if (!result) result = code;
            if (stopAtFailure) break;
        }
    }
    return result;
}

} // namespace

int SumTo(Path& source, Path& out) {
    source.ClosePath();
    source.Validate(0);
    if (!source.subPaths.Filled()) return 0;
    source.Validate(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    float accuracy = Path::ValidAccuracy(source.accuracy);

    PathEClassDynArr groups(10);
    Path running(accuracy);
    int result = 0;
    try {
        // The source's buffer keeps its room while the sub-paths are in the groups.
        Group(source, accuracy, groups);
        float mergeAccuracy = accuracy;
        for (int attempt = 1;; ++attempt, mergeAccuracy *= 0.1f) {
            // At the last accuracy tried, groups after a failed merge are still merged rather
            // than dropped.
            bool last = mergeAccuracy < MergeAccuracyLimit || attempt >= MaxAttempts;
            result = MergeGroups(groups, accuracy, mergeAccuracy, !last, running) ? -1 : 0;
            if (!result || last) break;
        }
    } catch (...) {
        Ungroup(groups, source);
        throw;
    }

    out.ClosePath();
    out.subPaths.Destroy();
    out.Concat(running);
    out.SetAccuracy(accuracy);
    out.Prepare();
    out.SetPMState(PM_OVERLAYED | PM_SELECTED | PM_CONTAINED | PM_INSERTED, 0, 0, 0);
    return result;
}
