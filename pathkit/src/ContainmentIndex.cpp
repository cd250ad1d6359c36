#include "ContainmentIndex.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "CrossingRules.h"
#include "pathkit/Path.h"

using namespace crossing;

namespace {

// Buckets and cells hold about this many members each.
constexpr double MembersPerBucket = 8;
constexpr int MaxBuckets = 1 << 16;
constexpr int MaxGridSide = 1024;

} // namespace

int ContainmentIndex::Buckets::Of(std::int64_t v) const {
    if (count <= 1) return 0;
    std::int64_t d = v - origin;
    if (d < 0) return 0;
    std::int64_t k = d >> shift;
    return k >= count ? count - 1 : int(k);
}

void ContainmentIndex::Fill(Buckets& b, const std::vector<std::int64_t>& lo,
                            const std::vector<std::int64_t>& hi,
                            const std::vector<std::uint16_t>& byLow,
                            const std::vector<std::uint16_t>& byHigh) {
    std::size_t n = lo.size();
    std::int64_t bottom = *std::min_element(lo.begin(), lo.end());
    std::int64_t top = *std::max_element(hi.begin(), hi.end());
    int most = int(std::clamp(double(n) / MembersPerBucket, 1.0, double(MaxBuckets)));
    b.origin = bottom;
    b.shift = 0;
    while (b.shift < 62 && ((top - bottom) >> b.shift) + 1 > most)
        ++b.shift;
    b.count = int(((top - bottom) >> b.shift) + 1);
    b.first.assign(std::size_t(b.count) + 1, 0);
    firstBucket_.resize(n);
    lastBucket_.resize(n);
    // Each member adds one from its first bucket to its last: marked at both ends, summed up
    // into counts, then into offsets.
    for (std::size_t i = 0; i < n; ++i) {
        int k0 = b.Of(lo[i]), k1 = b.Of(hi[i]);
        firstBucket_[i] = k0, lastBucket_[i] = k1;
        if (k1 < k0) continue;
        ++b.first[std::size_t(k0) + 1];
        if (std::size_t(k1) + 2 < b.first.size()) --b.first[std::size_t(k1) + 2];
    }
    for (std::size_t k = 2; k < b.first.size(); ++k)
        b.first[k] += b.first[k - 1];
    for (std::size_t k = 1; k < b.first.size(); ++k)
        b.first[k] += b.first[k - 1];
    // Filled in the order of the sort key, every bucket's list comes out sorted.
    auto fillInOrder = [&](std::vector<std::uint16_t>& list,
                           const std::vector<std::uint16_t>& order) {
        list.resize(b.first.back());
        fill_.assign(b.first.begin(), b.first.end() - 1);
        for (std::uint16_t i : order)
            for (int k = firstBucket_[i], last = lastBucket_[i]; k <= last; ++k)
                list[fill_[std::size_t(k)]++] = i;
    };
    fillInOrder(b.byLow, byLow);
    fillInOrder(b.byHigh, byHigh);
}

void ContainmentIndex::Order(std::vector<std::uint16_t>& order,
                             const std::vector<std::int64_t>& key, bool descending, bool fresh) {
    std::size_t n = key.size();
    auto before = [&key, descending](std::uint16_t x, std::uint16_t y) {
        return descending ? key[x] > key[y] : key[x] < key[y];
    };
    if (fresh || order.size() != n) {
        // Integer coordinates fit in 32 bits: key and index as one number, sorted by the key's
        // digits from the lowest, each pass keeping the order of the one before, so that equal
        // keys stay in index order.
        keys_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t k = std::uint32_t(std::int32_t(key[i])) ^ 0x80000000u;
            if (descending) k = ~k;
            keys_[i] = std::uint64_t(k) << 32 | i;
        }
        constexpr int Bits = 11;
        constexpr std::size_t Digits = std::size_t(1) << Bits;
        if (n < Digits / 2) {
            std::sort(keys_.begin(), keys_.end());
        } else {
            spare_.resize(n);
            std::vector<std::uint32_t>& count = fill_;
            for (int shift = 32; shift < 64; shift += Bits) {
                count.assign(Digits + 1, 0);
                for (std::uint64_t k : keys_)
                    ++count[(k >> shift & (Digits - 1)) + 1];
                if (count[((keys_[0] >> shift) & (Digits - 1)) + 1] == n) continue;
                for (std::size_t d = 1; d <= Digits; ++d)
                    count[d] += count[d - 1];
                for (std::uint64_t k : keys_)
                    spare_[count[k >> shift & (Digits - 1)]++] = k;
                keys_.swap(spare_);
            }
        }
        order.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            order[i] = std::uint16_t(keys_[i]);
        return;
    }
    // A finer accuracy keeps the order of unequal keys: only runs of equal keys may come apart,
    // and an insertion sort mends them in a few moves.
    std::size_t moves = 0, budget = 4 * n + 64;
    for (std::size_t i = 1; i < n; ++i) {
        std::uint16_t v = order[i];
        std::size_t j = i;
        for (; j > 0 && before(v, order[j - 1]); --j) {
            order[j] = order[j - 1];
            ++moves;
        }
        order[j] = v;
        if (moves > budget) {
            std::sort(order.begin(), order.end(), before);
            return;
        }
    }
}

void ContainmentIndex::Chords(Contour& c, bool fresh) {
    SubPath& sp = *c.sp;
    std::uint16_t n = sp.members.Filled();
    c.map = UnitMap(sp.ScaleFactor(), sp.ctrlBox);
    c.members.resize(n);
    std::vector<std::int64_t>&bottom = c.edgeBottom, &top = c.edgeTop, &left = c.edgeLeft,
    &right = c.edgeRight;
    bottom.resize(n), top.resize(n), left.resize(n), right.resize(n);
    for (std::uint16_t i = 0; i < n; ++i) {
        Member& m = c.members[i];
        c.map.Fill(m.l, sp.members[i]);
        m.l.CtrlBBox(m.box);
        bottom[i] = m.box.bottom, top[i] = m.box.top;
        left[i] = m.box.left, right[i] = m.box.right;
    }
    if (!n) return;
    Order(c.byLeft, left, false, fresh);
    Order(c.byRight, right, true, fresh);
    Order(c.byBottom, bottom, false, fresh);
    Order(c.byTop, top, true, fresh);
    Fill(c.rows, bottom, top, c.byLeft, c.byRight);
    Fill(c.columns, left, right, c.byBottom, c.byTop);
}

ContainmentIndex::ContainmentIndex(Path& path) : path_(&path) {
    Build();
}

ContainmentIndex::ContainmentIndex(Path& path, std::vector<char> only)
    : path_(&path), only_(std::move(only)) {
    Build();
}

void ContainmentIndex::Rebuild(Path& path) {
    path_ = &path;
    only_.clear();
    Build();
}

void ContainmentIndex::Rebuild() {
    // The boxes and grids in millimetres stay; the members must be the same ones.
    Path& path = *path_;
    std::uint16_t count = path.subPaths.Filled();
    bool same = contours_.size() == count;
    for (std::uint16_t s = 0; same && s < count; ++s)
        same = contours_[s].sp == &path.subPaths[s] &&
               contours_[s].members.size() == path.subPaths[s].members.Filled();
    if (!same) {
        Build();
        return;
    }
    for (Contour& c : contours_)
        Chords(c, false);
}

void ContainmentIndex::Build() {
    Path& path = *path_;
    std::uint16_t count = path.subPaths.Filled();
    contours_.resize(count);
    box_ = floatBBox();
    any_ = false;
    left_ = 0, bottom_ = 0, cell_ = 1;
    columns_ = 1, rows_ = 1;
    for (std::uint16_t s = 0; s < count; ++s) {
        SubPath& sp = path.subPaths[s];
        if (s == 0) {
            box_ = sp.ctrlBox;
        } else {
            box_ += sp.ctrlBox;
        }
        any_ = true;
        Contour& c = contours_[s];
        c.sp = &sp;
        std::uint16_t n = sp.members.Filled();
        c.gridColumns = c.gridRows = 0;
        if (!only_.empty() && !(s < only_.size() && only_[s])) {
            c.members.clear();
            continue;
        }
        Chords(c, true);
        if (!n) continue;
        c.seen.assign(n, 0);
        double fl = HUGE_VAL, fr = -HUGE_VAL, fb = HUGE_VAL, ft = -HUGE_VAL;
        c.boxes.resize(n);
        for (std::uint16_t i = 0; i < n; ++i) {
            floatBBox& fb2 = c.boxes[i];
            sp.members[i].CtrlBBox(fb2);
            fl = std::min(fl, double(fb2.left)), fr = std::max(fr, double(fb2.right));
            fb = std::min(fb, double(fb2.bottom)), ft = std::max(ft, double(fb2.top));
        }

        // The grid; a contour whose boxes are not finite keeps a single cell.
        c.gridColumns = c.gridRows = 1;
        c.left = 0, c.bottom = 0, c.cell = 1;
        if (std::isfinite(fl) && std::isfinite(fr) && std::isfinite(fb) && std::isfinite(ft)) {
            double w = std::max(fr - fl, 1e-9), h = std::max(ft - fb, 1e-9);
            double cell = std::sqrt(w * h / n);
            if (cell > 0 && std::isfinite(cell)) {
                c.gridColumns = int(std::clamp(std::ceil(w / cell), 1.0, double(MaxGridSide)));
                c.gridRows = int(std::clamp(std::ceil(h / cell), 1.0, double(MaxGridSide)));
                c.cell = std::max(w / c.gridColumns, h / c.gridRows);
                c.left = fl, c.bottom = fb;
            }
        }
        auto cellOf = [&c](double v, double origin, int cells) {
            double k = std::floor((v - origin) / c.cell);
            return !(k > 0) ? 0 : (k >= cells - 1 ? cells - 1 : int(k));
        };
        std::size_t cells = std::size_t(c.gridColumns) * c.gridRows;
        c.cellFirst.assign(cells + 1, 0);
        std::vector<std::int32_t>&c0 = cells_[0], &c1 = cells_[1], &r0 = cells_[2], &r1 = cells_[3];
        c0.resize(n), c1.resize(n), r0.resize(n), r1.resize(n);
        for (std::uint16_t i = 0; i < n; ++i) {
            const floatBBox& b = c.boxes[i];
            c0[i] = cellOf(b.left, c.left, c.gridColumns);
            c1[i] = cellOf(b.right, c.left, c.gridColumns);
            r0[i] = cellOf(b.bottom, c.bottom, c.gridRows);
            r1[i] = cellOf(b.top, c.bottom, c.gridRows);
            for (int r = r0[i]; r <= r1[i]; ++r)
                for (int k = c0[i]; k <= c1[i]; ++k)
                    ++c.cellFirst[std::size_t(r) * c.gridColumns + k + 1];
        }
        for (std::size_t k = 1; k <= cells; ++k)
            c.cellFirst[k] += c.cellFirst[k - 1];
        c.cellItems.resize(c.cellFirst.back());
        std::vector<std::uint32_t>& fill = fill_;
        fill.assign(c.cellFirst.begin(), c.cellFirst.end() - 1);
        for (std::uint16_t i = 0; i < n; ++i)
            for (int r = r0[i]; r <= r1[i]; ++r)
                for (int k = c0[i]; k <= c1[i]; ++k)
                    c.cellItems[fill[std::size_t(r) * c.gridColumns + k]++] = std::uint16_t(i);
    }

    // The contour grid: about one contour per cell.
    closed_.resize(count);
    contourSeen_.assign(count, 0);
    for (std::uint16_t i = 0; i < count; ++i)
        closed_[i] = path.subPaths[i].IsClosed();
    if (any_ && std::isfinite(box_.left) && std::isfinite(box_.right) &&
        std::isfinite(box_.bottom) && std::isfinite(box_.top)) {
        double w = std::max(double(box_.right) - box_.left, 1e-9);
        double h = std::max(double(box_.top) - box_.bottom, 1e-9);
        double cell = std::sqrt(w * h / count);
        if (cell > 0 && std::isfinite(cell)) {
            columns_ = int(std::clamp(std::ceil(w / cell), 1.0, double(MaxGridSide)));
            rows_ = int(std::clamp(std::ceil(h / cell), 1.0, double(MaxGridSide)));
            cell_ = std::max(w / columns_, h / rows_);
            left_ = box_.left, bottom_ = box_.bottom;
        }
    }
    std::size_t cells = std::size_t(columns_) * rows_;
    cellFirst_.assign(cells + 1, 0);
    auto each = [&](auto&& visit) {
        for (std::uint16_t i = 0; i < count; ++i) {
            const floatBBox& b = path.subPaths[i].ctrlBox;
            int x0 = CellX(b.left), x1 = CellX(b.right), y0 = CellY(b.bottom), y1 = CellY(b.top);
            for (int r = y0; r <= y1; ++r)
                for (int k = x0; k <= x1; ++k)
                    visit(std::size_t(r) * columns_ + k, i);
        }
    };
    each([&](std::size_t cell, std::uint16_t) { ++cellFirst_[cell + 1]; });
    for (std::size_t k = 1; k <= cells; ++k)
        cellFirst_[k] += cellFirst_[k - 1];
    cellItems_.resize(cellFirst_.back());
    std::vector<std::uint32_t>& fill = fill_;
    fill.assign(cellFirst_.begin(), cellFirst_.end() - 1);
    each([&](std::size_t cell, std::uint16_t i) { cellItems_[fill[cell]++] = i; });
}

int ContainmentIndex::CellX(double x) const {
    double k = std::floor((x - left_) / cell_);
    return !(k > 0) ? 0 : (k >= columns_ - 1 ? columns_ - 1 : int(k));
}

int ContainmentIndex::CellY(double y) const {
    double k = std::floor((y - bottom_) / cell_);
    return !(k > 0) ? 0 : (k >= rows_ - 1 ? rows_ - 1 : int(k));
}

void ContainmentIndex::Candidates(int x0, int x1, int y0, int y1) {
    candidates_.clear();
    if (++stamp_ == 0) {
        for (Contour& c : contours_)
            std::fill(c.seen.begin(), c.seen.end(), 0);
        std::fill(contourSeen_.begin(), contourSeen_.end(), 0);
        stamp_ = 1;
    }
    for (int r = y0; r <= y1; ++r) {
        for (int k = x0; k <= x1; ++k) {
            std::size_t cell = std::size_t(r) * columns_ + k;
            for (std::uint32_t j = cellFirst_[cell]; j < cellFirst_[cell + 1]; ++j) {
                std::uint32_t i = cellItems_[j];
                if (contourSeen_[i] == stamp_) continue;
                contourSeen_[i] = stamp_;
                candidates_.push_back(i);
            }
        }
    }
    // Several cells: their lists interleave.
    if (x0 != x1 || y0 != y1) std::sort(candidates_.begin(), candidates_.end());
}

// SubPath::GetCrossings(p, direction, 0) for a direction of 0 to 3.
int ContainmentIndex::Crossings(Contour& c, const floatPoint& p, int direction) {
    SubPath& sp = *c.sp;
    std::uint16_t n = sp.members.Filled();
    if (!n || !IsFinite(p)) return 0;
    longPoint P = c.map.Map(p);
    Ray ray{direction, P.x, P.y};
    double factor = sp.ScaleFactor();
    Ray clusterRay{direction, ClusterUnits(p.x, factor), ClusterUnits(p.y, factor)};
    unsigned step = sp.clusters.Filled() && sp.clusterStep ? sp.clusterStep : n;

    Tally tally;
    CurveCrossings curve(ray, tally);
    bool horizontal = direction == 0 || direction == 2, low = direction < 2;
    const Buckets& b = horizontal ? c.rows : c.columns;
    int k = b.Of(horizontal ? P.y : P.x);
    // The edge that decides whether the ray can reach a member, and the point's place.
    const std::vector<std::int64_t>& edge =
        horizontal ? (low ? c.edgeLeft : c.edgeRight) : (low ? c.edgeBottom : c.edgeTop);
    std::int64_t at = horizontal ? P.x : P.y;
    const std::vector<std::uint16_t>& list = low ? b.byLow : b.byHigh;
    for (std::uint32_t j = b.first[std::size_t(k)]; j < b.first[std::size_t(k) + 1]; ++j) {
        std::uint32_t i = list[j];
        if (low ? edge[i] > at : edge[i] < at) break;
        unsigned cluster = i / step;
        if (sp.clusters.Filled() && cluster < sp.clusters.Filled() &&
            !clusterRay.Meets(sp.clusters[std::uint16_t(cluster)], 1))
            continue;
        Member& m = c.members[i];
        if (!ray.Meets(m.box)) continue;
        if (m.l.IsCurve()) {
            curve.CalcCurve(m.l.start, m.l.ctrl1, m.l.ctrl2, m.l.end, 0);
        } else {
            tally.Add(ray.Chord(m.l.start, m.l.end));
        }
    }
    return tally.count;
}

// SubPath::IsInside(p, 0).
bool ContainmentIndex::Inside(Contour& c, const floatPoint& p) {
    if (!c.sp->members.Filled() || !c.sp->ctrlBox.IsInside(p, 0)) return false;
    int answer[4] = {-1, -1, -1, -1};
    auto at = [&](int d) {
        if (answer[d] < 0) answer[d] = Crossings(c, p, d) & 1;
        return answer[d];
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (i != j && at(i) == at(j)) return answer[i] == 1;
    return false;
}

// The first contour in path order that holds p: a contour whose box holds p is listed in the
// cell of p, the cells' lists run in path order.
int ContainmentIndex::QuickInside(const floatPoint& p) {
    if (!any_ || !box_.IsInside(p, 0)) return 0;
    int x = CellX(p.x), y = CellY(p.y);
    std::size_t cell = std::size_t(y) * columns_ + x;
    for (std::uint32_t j = cellFirst_[cell]; j < cellFirst_[cell + 1]; ++j) {
        std::uint32_t i = cellItems_[j];
        Contour& c = contours_[i];
        SubPath& sp = *c.sp;
        if (closed_[i] && sp.ctrlBox.IsInside(p, 0) && Inside(c, p)) return sp.depth + 1;
    }
    return 0;
}

// SubPath::IsBeside(p, tol, ...) != 0: the members its cluster test lets through, and among
// them the ones whose control box the point comes near (no other can be beside it).
bool ContainmentIndex::Beside(Contour& c, const floatPoint& p, float tol) {
    SubPath& sp = *c.sp;
    std::uint16_t n = sp.members.Filled();
    if (!n || !(tol >= 0)) return false;
    if (!sp.ctrlBox.IsInside(p, tol)) return false;
    double factor = sp.ScaleFactor();
    std::int64_t px = ClusterUnits(p.x, factor), py = ClusterUnits(p.y, factor);
    double tolUnits = std::ceil(double(tol) * factor) + 1;
    std::int64_t t = tolUnits < 4.0e9 ? std::int64_t(tolUnits) : std::int64_t(4000000000);
    unsigned step = sp.clusters.Filled() && sp.clusterStep ? sp.clusterStep : n;
    auto clusterHolds = [&](unsigned k) {
        if (!sp.clusters.Filled() || k >= sp.clusters.Filled()) return true;
        const longBBox& b = sp.clusters[std::uint16_t(k)];
        return b.left - t <= px && px <= b.right + t && b.bottom - t <= py && py <= b.top + t;
    };

    // Twice the tolerance around the point, against the rounding of the box tests.
    double reach = 2.0 * tol + 1e-6 * (std::fabs(double(p.x)) + std::fabs(double(p.y))) + 1e-9;
    auto cellOf = [&c](double v, double origin, int cells) {
        double k = std::floor((v - origin) / c.cell);
        return !(k > 0) ? 0 : (k >= cells - 1 ? cells - 1 : int(k));
    };
    int x0 = cellOf(p.x - reach, c.left, c.gridColumns);
    int x1 = cellOf(p.x + reach, c.left, c.gridColumns);
    int y0 = cellOf(p.y - reach, c.bottom, c.gridRows);
    int y1 = cellOf(p.y + reach, c.bottom, c.gridRows);
    if (++stamp_ == 0) {
        for (Contour& other : contours_)
            std::fill(other.seen.begin(), other.seen.end(), 0);
        std::fill(contourSeen_.begin(), contourSeen_.end(), 0);
        stamp_ = 1;
    }
    double tol2 = double(tol) * tol;
    bool startNear = false;
    for (int r = y0; r <= y1; ++r) {
        for (int k = x0; k <= x1; ++k) {
            std::size_t cell = std::size_t(r) * c.gridColumns + k;
            for (std::uint32_t j = c.cellFirst[cell]; j < c.cellFirst[cell + 1]; ++j) {
                std::uint32_t i = c.cellItems[j];
                if (c.seen[i] == stamp_) continue;
                c.seen[i] = stamp_;
                // The member's own first test; a start beside p lies in the box as well.
                if (!c.boxes[i].IsInside(p, tol)) continue;
                if (!clusterHolds(i / step)) continue;
                PathMember& m = sp.members[std::uint16_t(i)];
                std::uint32_t param;
                if (m.IsBeside(p, tol, sp.accuracy, param, 0)) return true;
                double dx = double(m.start.x) - p.x, dy = double(m.start.y) - p.y;
                if (dx * dx + dy * dy < tol2) startNear = true;
            }
        }
    }
    return startNear;
}

bool ContainmentIndex::IsBeside(const floatPoint& p, float tol) {
    if (!any_ || !box_.IsInside(p, tol)) return false;
    // Twice the tolerance around the point, against the rounding of the box tests.
    double reach = 2.0 * tol + 1e-6 * (std::fabs(double(p.x)) + std::fabs(double(p.y))) + 1e-9;
    Candidates(CellX(p.x - reach), CellX(p.x + reach), CellY(p.y - reach), CellY(p.y + reach));
    std::vector<std::uint32_t> found;
    found.swap(candidates_);
    bool beside = false;
    for (std::uint32_t i : found)
        if (Beside(contours_[i], p, tol)) {
            beside = true;
            break;
        }
    found.swap(candidates_);
    return beside;
}
