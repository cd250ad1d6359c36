#include "ContainmentIndex.h"

#include <algorithm>
#include <cmath>

#include "CrossingRules.h"
#include "pathkit/Path.h"

using namespace crossing;

namespace {

// Buckets and cells hold about this many members each.
constexpr double MembersPerBucket = 2;
constexpr int MaxBuckets = 1 << 16;
constexpr int MaxGridSide = 1024;

} // namespace

int ContainmentIndex::Buckets::Of(std::int64_t v) const {
    if (count <= 1) return 0;
    std::int64_t d = v - origin;
    if (d < 0) return 0;
    std::int64_t k = d / size;
    return k >= count ? count - 1 : int(k);
}

void ContainmentIndex::Fill(Buckets& b, const std::vector<std::int64_t>& lo,
                            const std::vector<std::int64_t>& hi) {
    std::size_t n = lo.size();
    std::int64_t low = *std::min_element(lo.begin(), lo.end());
    std::int64_t high = *std::max_element(hi.begin(), hi.end());
    b.count = int(std::clamp(double(n) / MembersPerBucket, 1.0, double(MaxBuckets)));
    b.origin = low;
    b.size = std::max<std::int64_t>(1, (high - low) / b.count + 1);
    b.first.assign(std::size_t(b.count) + 1, 0);
    for (std::size_t i = 0; i < n; ++i)
        for (int k = b.Of(lo[i]); k <= b.Of(hi[i]); ++k)
            ++b.first[std::size_t(k) + 1];
    for (std::size_t k = 1; k < b.first.size(); ++k)
        b.first[k] += b.first[k - 1];
    b.items.resize(b.first.back());
    std::vector<std::uint32_t> fill(b.first.begin(), b.first.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        for (int k = b.Of(lo[i]); k <= b.Of(hi[i]); ++k)
            b.items[fill[std::size_t(k)]++] = std::uint32_t(i);
}

ContainmentIndex::ContainmentIndex(Path& path) : path_(path) {
    std::uint16_t count = path.subPaths.Filled();
    contours_.resize(count);
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
        c.map = UnitMap(sp.ScaleFactor(), sp.ctrlBox);
        std::uint16_t n = sp.members.Filled();
        if (!n) continue;
        c.members.resize(n);
        c.seen.assign(n, 0);
        std::vector<std::int64_t> bottom(n), top(n), left(n), right(n);
        double fl = HUGE_VAL, fr = -HUGE_VAL, fb = HUGE_VAL, ft = -HUGE_VAL;
        for (std::uint16_t i = 0; i < n; ++i) {
            Member& m = c.members[i];
            c.map.Fill(m.l, sp.members[i]);
            m.l.CtrlBBox(m.box);
            bottom[i] = m.box.bottom, top[i] = m.box.top;
            left[i] = m.box.left, right[i] = m.box.right;
            floatBBox fb2;
            sp.members[i].CtrlBBox(fb2);
            fl = std::min(fl, double(fb2.left)), fr = std::max(fr, double(fb2.right));
            fb = std::min(fb, double(fb2.bottom)), ft = std::max(ft, double(fb2.top));
        }
        Fill(c.rows, bottom, top);
        Fill(c.columns, left, right);

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
        std::vector<int> c0(n), c1(n), r0(n), r1(n);
        for (std::uint16_t i = 0; i < n; ++i) {
            floatBBox b;
            sp.members[i].CtrlBBox(b);
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
        std::vector<std::uint32_t> fill(c.cellFirst.begin(), c.cellFirst.end() - 1);
        for (std::uint16_t i = 0; i < n; ++i)
            for (int r = r0[i]; r <= r1[i]; ++r)
                for (int k = c0[i]; k <= c1[i]; ++k)
                    c.cellItems[fill[std::size_t(r) * c.gridColumns + k]++] = i;
    }
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
    const Buckets& b = direction == 0 || direction == 2 ? c.rows : c.columns;
    int k = b.Of(direction == 0 || direction == 2 ? P.y : P.x);
    for (std::uint32_t j = b.first[std::size_t(k)]; j < b.first[std::size_t(k) + 1]; ++j) {
        std::uint32_t i = b.items[j];
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

int ContainmentIndex::QuickInside(const floatPoint& p) {
    if (!any_ || !box_.IsInside(p, 0)) return 0;
    for (Contour& c : contours_) {
        SubPath& sp = *c.sp;
        if (sp.IsClosed() && sp.ctrlBox.IsInside(p, 0) && Inside(c, p)) return sp.depth + 1;
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
    for (Contour& c : contours_)
        if (Beside(c, p, tol)) return true;
    return false;
}
