// Path clean-up and canonical form.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "ContainedBy.h"
#include "ContainmentIndex.h"
#include "NormalForm.h"
#include "pathkit/Path.h"

namespace {

// A contour is indexed when at least IndexedAfter contours are tested against it and it has
// at least IndexedFrom members.
constexpr std::uint32_t IndexedAfter = 4;
constexpr std::uint16_t IndexedFrom = 32;

// Closed intervals in x and y; a NaN edge overlaps nothing.
bool Overlap(const floatBBox& a, const floatBBox& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

// Ascending, NaN last, so that the order is a strict weak one.
int CompareLeft(float a, float b) {
    bool an = std::isnan(a), bn = std::isnan(b);
    if (an || bn) return int(an) - int(bn);
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The closed sub-paths by the cells of a grid their control boxes meet; a box with an edge
// that is not a number overlaps nothing and stays out. Few sub-paths make one cell.
class BoxGrid {
public:
    BoxGrid(Path& path, const std::vector<char>& closed) : path_(path) {
        std::uint16_t n = path.subPaths.Filled();
        seen_.assign(n, 0);
        double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
        for (std::uint16_t i = 0; i < n; ++i) {
            const floatBBox& b = path.subPaths[i].ctrlBox;
            if (!closed[i] || !Finite(b)) continue;
            left = std::min(left, double(b.left)), right = std::max(right, double(b.right));
            bottom = std::min(bottom, double(b.bottom)), top = std::max(top, double(b.top));
        }
        if (n > 32 && left <= right && bottom <= top) {
            double w = std::max(right - left, 1e-9), h = std::max(top - bottom, 1e-9);
            double cell = std::sqrt(w * h / n);
            if (cell > 0 && std::isfinite(cell)) {
                columns_ = int(std::clamp(std::ceil(w / cell), 1.0, 256.0));
                rows_ = int(std::clamp(std::ceil(h / cell), 1.0, 256.0));
                cell_ = std::max(w / columns_, h / rows_);
                left_ = left, bottom_ = bottom;
            }
        }
        std::size_t cells = std::size_t(columns_) * rows_;
        first_.assign(cells + 1, 0);
        auto each = [&](auto&& visit) {
            for (std::uint16_t i = 0; i < n; ++i) {
                const floatBBox& b = path.subPaths[i].ctrlBox;
                if (!closed[i] || !Finite(b)) continue;
                for (int r = Cell(b.bottom, bottom_, rows_); r <= Cell(b.top, bottom_, rows_); ++r)
                    for (int c = Cell(b.left, left_, columns_); c <= Cell(b.right, left_, columns_);
                         ++c)
                        visit(std::size_t(r) * columns_ + c, i);
            }
        };
        each([&](std::size_t cell, std::uint16_t) { ++first_[cell + 1]; });
        for (std::size_t k = 1; k <= cells; ++k)
            first_[k] += first_[k - 1];
        items_.resize(first_.back());
        std::vector<std::uint32_t> fill(first_.begin(), first_.end() - 1);
        each([&](std::size_t cell, std::uint16_t i) { items_[fill[cell]++] = i; });
    }

    // The closed sub-paths whose boxes may overlap that of sub-path i, each once.
    void Near(std::uint16_t i, std::vector<std::uint16_t>& out) {
        out.clear();
        const floatBBox& b = path_.subPaths[i].ctrlBox;
        if (!Finite(b)) return;
        ++stamp_;
        for (int r = Cell(b.bottom, bottom_, rows_); r <= Cell(b.top, bottom_, rows_); ++r) {
            for (int c = Cell(b.left, left_, columns_); c <= Cell(b.right, left_, columns_); ++c) {
                std::size_t cell = std::size_t(r) * columns_ + c;
                for (std::uint32_t k = first_[cell]; k < first_[cell + 1]; ++k) {
                    std::uint16_t j = items_[k];
                    if (seen_[j] == stamp_) continue;
                    seen_[j] = stamp_;
                    out.push_back(j);
                }
            }
        }
    }

private:
    static bool Finite(const floatBBox& b) {
        return !std::isnan(b.left) && !std::isnan(b.right) && !std::isnan(b.bottom) &&
               !std::isnan(b.top);
    }
    int Cell(double v, double origin, int cells) const {
        double k = std::floor((v - origin) / cell_);
        return !(k > 0) ? 0 : (k >= cells - 1 ? cells - 1 : int(k));
    }

    Path& path_;
    double left_ = 0, bottom_ = 0, cell_ = 1;
    int columns_ = 1, rows_ = 1;
    std::vector<std::uint32_t> first_;
    std::vector<std::uint16_t> items_;
    std::vector<std::uint32_t> seen_;
    std::uint32_t stamp_ = 0;
};

} // namespace

// Deepest first (open sub-paths, depth -1, last), then by the left edge of the control box.
int CompareForPrepare(const SubPath* a, const SubPath* b) {
    if (a->depth != b->depth) return a->depth > b->depth ? -1 : 1;
    return CompareLeft(a->ctrlBox.left, b->ctrlBox.left);
}

bool IsFlatOrInfinite(const floatBBox& b) {
    return !(std::isfinite(b.left) && std::isfinite(b.right) && std::isfinite(b.bottom) &&
             std::isfinite(b.top) && b.left != b.right && b.bottom != b.top);
}

void Path::Clean() {
    float tol = ValidAccuracy(accuracy);
    for (std::uint16_t i = 0; i < subPaths.Filled();) {
        SubPath& sp = subPaths[i];
        PathMemberEDynArr& m = sp.members;
        std::uint16_t kept = 0;
        for (std::uint16_t j = 0; j < m.Filled(); ++j) {
            const PathMember& pm = m[j];
            // A curve returning to its start stays when it bulges out (a loop).
            if (pm.start == pm.end && pm.IsLine(tol)) continue;
            if (kept != j) m[kept] = m[j];
            ++kept;
        }
        if (kept != m.Filled()) {
            m.ResetTo(kept);
            // Member indices moved: the clusters no longer match them.
            sp.Invalidate(SP_ALL_INVALID);
        }
        if (!kept) {
            subPaths.DeleteAt(i, 1);
            continue;
        }
        ++i;
    }
}

void Path::Prepare() {
    PrepareCountingReversals(*this, false);
}

unsigned PrepareCountingReversals(Path& path, bool knowTurns) {
    // Prepared already: Clean, the depths, the order and the turns would come out as they are.
    if (path.IsNormal()) {
        path.Validate(SP_ALL_INVALID);
        return 0;
    }
    path.Clean();
    path.Validate(SP_ALL_INVALID);

    SubPathEClassDynArr& subPaths = path.subPaths;
    std::uint16_t n = subPaths.Filled();
    std::vector<char> closed(n);
    for (std::uint16_t i = 0; i < n; ++i)
        closed[i] = subPaths[i].IsClosed();
    // The depth counts the closed contours around each one; only contours whose boxes overlap
    // can hold it, and a grid of the boxes finds them (the count does not depend on the order
    // in which they are found).
    BoxGrid grid(path, closed);
    std::vector<std::uint16_t> near;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs;
    std::vector<std::uint32_t> asked(n);
    for (std::uint16_t i = 0; i < n; ++i) {
        if (!closed[i]) continue;
        grid.Near(i, near);
        for (std::uint16_t j : near) {
            if (j == i || !closed[j] || !Overlap(subPaths[i].ctrlBox, subPaths[j].ctrlBox))
                continue;
            pairs.emplace_back(i, j);
            ++asked[j];
        }
    }
    // A long contour asked about many times is answered by an index of its chords, which gives
    // the same answers.
    std::vector<char> indexed(n);
    bool anyIndexed = false;
    for (std::uint16_t j = 0; j < n; ++j) {
        indexed[j] = asked[j] >= IndexedAfter && subPaths[j].members.Filled() >= IndexedFrom;
        anyIndexed = anyIndexed || indexed[j];
    }
    std::unique_ptr<ContainmentIndex> index;
    if (anyIndexed) index = std::make_unique<ContainmentIndex>(path, indexed);

    std::vector<int> depth(n);
    for (const auto& pair : pairs) {
        // Named copies, not a structured binding: clang 14 lets no lambda capture one.
        const std::uint16_t i = pair.first, j = pair.second;
        SubPath& sp = subPaths[i];
        int in;
        if (indexed[j]) {
            in = containment::ContainedBy(
                sp, subPaths[j],
                [&index, j](const floatPoint& p, float tol) { return index->IsBeside(j, p, tol); },
                [&index, j](const floatPoint& p) { return index->IsInside(j, p); });
        } else {
            in = sp.IsContainedBy(subPaths[j]);
        }
        if (in && depth[i] < INT16_MAX) ++depth[i];
    }
    for (std::uint16_t i = 0; i < n; ++i)
        subPaths[i].depth = closed[i] ? std::int16_t(depth[i]) : std::int16_t(-1);

    // Stable: equal keys keep their order, so the result does not vary between runs.
    subPaths.Sort(CompareForPrepare);

    unsigned reversed = 0;
    for (SubPath& sp : subPaths) {
        if (!sp.IsClosed()) continue;
        sp.CalcRotation();
        bool hole = sp.depth & 1;
        if (hole ? sp.rotation < 0 : sp.rotation >= 0) {
            sp.Reverse();
            ++reversed;
        } else if (knowTurns && !IsFlatOrInfinite(sp.accBox) && !(sp.state & SP_ACCBOX_INVALID)) {
            // The turn just found belongs to the members as they stay.
            sp.state = std::uint16_t(sp.state | SP_TURN_KNOWN);
        }
    }
    return reversed;
}

int Path::CollectOpenSubPaths() {
    Validate(SP_ACCBOX_INVALID | SP_CLUSTERS_INVALID);

    // The pieces are collected aside first, so that nothing is lost when they do not fit.
    Path pieces(accuracy);
    DynArr<std::uint16_t> split;
    for (std::uint16_t i = 0; i < subPaths.Filled(); ++i) {
        SubPath& sp = subPaths[i];
        PathMemberEDynArr& m = sp.members;
        std::uint16_t n = m.Filled();
        int firstGap = -1;
        for (std::uint16_t k = 0; k < n && firstGap < 0; ++k)
            if (m[k].start != m[m.Prev(k)].end) firstGap = k;
        if (firstGap < 0) continue;

        sp.Rotate(firstGap);
        for (std::uint16_t k = 0; k < n; ++k) {
            if (k == 0 || m[k].start != m[k - 1].end) pieces.ClosePath();
            pieces.building.members.Append(m[k]);
        }
        pieces.ClosePath();
        split.Append(i);
    }
    if (!split.Filled()) return 0;

    std::uint16_t made = pieces.subPaths.Filled();
    if (unsigned(subPaths.Filled()) - split.Filled() + made > SubPathEClassDynArr::DefaultLimit)
        throw SubPathEClassDynArr::LimitCheck();
    // Room first, so that the moves below cannot fail.
    if (made > split.Filled()) subPaths.Grow(std::uint16_t(made - split.Filled()));
    for (std::uint16_t k = split.Filled(); k-- > 0;)
        subPaths.DeleteAt(split[k], 1);
    Concat(pieces);
    Prepare();
    return made;
}
