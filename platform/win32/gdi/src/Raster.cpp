#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "win32/wingdi.h"

namespace sdgdi {

namespace {

using i64 = std::int64_t;
using i128 = __int128;

i128 floorDiv(i128 a, i128 b) {
    i128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
i128 ceilDiv(i128 a, i128 b) {
    return -floorDiv(-a, b);
}
i64 clamp64(i128 v, i64 lo, i64 hi) {
    return v < lo ? lo : v > hi ? hi : i64(v);
}

struct Edge {
    i64 x0, y0, x1, y1; // y0 < y1
    int dir;
    i64 rowStart, rowEnd;
    i64 xAt(i64 row, i64 lo, i64 hi) const {
        // First pixel whose centre is at or right of the edge on this row. Coordinates of
        // real pages fit 64-bit products; far-off ones take 128 bits.
        constexpr i64 small = i64(1) << 29;
        i64 sy = row * kFix + kFix / 2;
        if (x0 > -small && x0 < small && x1 > -small && x1 < small && y0 > -small && y0 < small &&
            y1 > -small && y1 < small && sy > -small && sy < small) {
            i64 dy = y1 - y0;
            i64 num = x0 * dy + (sy - y0) * (x1 - x0) - (kFix / 2) * dy;
            i64 den = dy * kFix;
            i64 q = num / den;
            if (num % den != 0 && num > 0) ++q; // ceiling (den > 0)
            return q < lo ? lo : q > hi ? hi : q;
        }
        i128 dy = y1 - y0;
        i128 sampleY = i128(row) * kFix + kFix / 2;
        i128 num = i128(x0) * dy + (sampleY - y0) * i128(x1 - x0) - (kFix / 2) * dy;
        return clamp64(ceilDiv(num, dy * kFix), lo, hi);
    }
};

} // namespace

namespace {

// An edge crossing the current row: its first pixel at or right of it, clamped, with what
// steps it to the next row. Edges of small coordinates step exactly in integers: the crossing
// is ceil(num / den), kept as q * den - r with 0 <= r < den, and num grows by a fixed step
// per row; others are worked out again on each row.
struct Crossing {
    const Edge* edge;
    i64 x; // clamped
    int dir;
    bool stepped;
    i64 q, r, den, stepQ, stepR;
};

bool smallEdge(const Edge& e) {
    constexpr i64 small = i64(1) << 28;
    return e.x0 > -small && e.x0 < small && e.x1 > -small && e.x1 < small && e.y0 > -small &&
           e.y0 < small && e.y1 > -small && e.y1 < small;
}

Crossing startCrossing(const Edge& e, i64 row, i64 lo, i64 hi) {
    Crossing c{&e, 0, e.dir, false, 0, 0, 0, 0, 0};
    if (smallEdge(e)) {
        // The same numbers as Edge::xAt's 64-bit branch.
        const i64 dy = e.y1 - e.y0;
        const i64 sy = row * kFix + kFix / 2;
        const i64 num = e.x0 * dy + (sy - e.y0) * (e.x1 - e.x0) - (kFix / 2) * dy;
        c.den = dy * kFix;
        i64 q = num / c.den;
        if (num % c.den != 0 && num > 0) ++q;
        c.q = q;
        c.r = q * c.den - num;
        const i64 step = kFix * (e.x1 - e.x0);
        i64 sq = step / c.den, sr = step % c.den;
        if (sr < 0) sr += c.den, --sq; // floor
        c.stepQ = sq;
        c.stepR = sr;
        c.stepped = true;
        c.x = q < lo ? lo : q > hi ? hi : q;
    } else {
        c.x = e.xAt(row, lo, hi);
    }
    return c;
}

void advance(Crossing& c, i64 row, i64 lo, i64 hi) {
    if (!c.stepped) {
        c.x = c.edge->xAt(row, lo, hi);
        return;
    }
    // num + step = (q + stepQ) * den - (r - stepR)
    c.q += c.stepQ;
    c.r -= c.stepR;
    if (c.r < 0) {
        c.r += c.den;
        ++c.q;
    }
    c.x = c.q < lo ? lo : c.q > hi ? hi : c.q;
}

// Working arrays kept between fills of a thread, so that large fills do not fetch fresh memory
// each time; a fill started from inside another's sink takes arrays of its own.
struct FillScratch {
    std::vector<Edge> edges;
    std::vector<const Edge*> order;
    std::vector<std::uint32_t> start;
    std::vector<Crossing> active, incoming, merged;
    bool busy = false;
};

} // namespace

void fillPolygons(const std::vector<FixPolygon>& polygons, bool winding, const PixelBox& bounds,
                  const SpanSink& sink) {
    if (bounds.empty()) return;
    thread_local FillScratch kept;
    FillScratch own;
    FillScratch& scratch = kept.busy ? own : kept;
    struct Busy {
        FillScratch& s;
        explicit Busy(FillScratch& s) : s(s) { s.busy = true; }
        // Arrays of a very large fill are not kept.
        ~Busy() {
            if (s.edges.capacity() > (std::size_t(1) << 18) ||
                s.active.capacity() > (std::size_t(1) << 16))
                s = FillScratch();
            s.busy = false;
        }
    } busy(scratch);
    std::size_t total = 0;
    for (const FixPolygon& poly : polygons)
        total += poly.size();
    std::vector<Edge>& edges = scratch.edges;
    edges.clear();
    edges.reserve(total);
    for (const FixPolygon& poly : polygons) {
        std::size_t n = poly.size();
        if (n < 2) continue;
        for (std::size_t i = 0; i < n; ++i) {
            FixPoint a = poly[i], b = poly[i + 1 < n ? i + 1 : 0];
            if (a.y == b.y) continue;
            Edge e{};
            e.dir = a.y < b.y ? 1 : -1;
            if (a.y > b.y) std::swap(a, b);
            e.x0 = a.x;
            e.y0 = a.y;
            e.x1 = b.x;
            e.y1 = b.y;
            e.rowStart = i64(ceilDiv(i128(e.y0) - kFix / 2, kFix));
            e.rowEnd = i64(ceilDiv(i128(e.y1) - kFix / 2, kFix));
            if (e.rowStart >= e.rowEnd) continue;
            if (e.rowEnd <= bounds.top || e.rowStart >= bounds.bottom) continue;
            edges.push_back(e);
        }
    }
    if (edges.empty()) return;
    // The edges in order of the first row they cross within the bounds (rows above the bounds
    // count as its top row): by buckets of rows when the bounds are not much taller than the
    // edges are many, else by sorting.
    std::vector<const Edge*>& order = scratch.order;
    order.resize(edges.size());
    auto firstRow = [&](const Edge& e) { return std::max(e.rowStart, bounds.top); };
    const i64 rows = bounds.bottom - bounds.top;
    if (rows <= i64(4 * edges.size() + 4096)) {
        std::vector<std::uint32_t>& start = scratch.start;
        start.assign(std::size_t(rows) + 1, 0);
        for (const Edge& e : edges)
            ++start[std::size_t(firstRow(e) - bounds.top) + 1];
        for (std::size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        for (const Edge& e : edges)
            order[start[std::size_t(firstRow(e) - bounds.top)]++] = &e;
    } else {
        for (std::size_t i = 0; i < edges.size(); ++i)
            order[i] = &edges[i];
        std::sort(order.begin(), order.end(),
                  [&](const Edge* a, const Edge* b) { return firstRow(*a) < firstRow(*b); });
    }

    const i64 lo = bounds.left, hi = bounds.right;
    // The crossings of the current row, kept in order of (x, dir) from row to row.
    std::vector<Crossing>& active = scratch.active;
    std::vector<Crossing>& incoming = scratch.incoming;
    std::vector<Crossing>& merged = scratch.merged;
    active.clear();
    auto before = [](const Crossing& a, const Crossing& b) {
        return a.x < b.x || (a.x == b.x && a.dir < b.dir);
    };
    std::size_t next = 0;
    i64 y = std::max(bounds.top, firstRow(*order.front()));
    bool fresh = true; // the crossings are already at row y
    while (y < bounds.bottom) {
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [y](const Crossing& c) { return c.edge->rowEnd <= y; }),
                     active.end());
        if (!fresh)
            for (Crossing& c : active)
                advance(c, y, lo, hi);
        fresh = false;
        // Insertion sort: the order changes little from one row to the next.
        for (std::size_t i = 1; i < active.size(); ++i) {
            if (!before(active[i], active[i - 1])) continue;
            Crossing c = active[i];
            std::size_t j = i;
            do {
                active[j] = active[j - 1];
                --j;
            } while (j > 0 && before(c, active[j - 1]));
            active[j] = c;
        }
        // Edges starting on this row are sorted apart and merged in.
        incoming.clear();
        while (next < order.size() && firstRow(*order[next]) <= y) {
            if (order[next]->rowEnd > y) incoming.push_back(startCrossing(*order[next], y, lo, hi));
            ++next;
        }
        if (!incoming.empty()) {
            std::sort(incoming.begin(), incoming.end(), before);
            merged.clear();
            std::merge(active.begin(), active.end(), incoming.begin(), incoming.end(),
                       std::back_inserter(merged), before);
            active.swap(merged);
        }
        if (active.empty()) {
            if (next >= order.size()) break;
            y = std::max(y + 1, firstRow(*order[next]));
            fresh = true;
            continue;
        }
        // Rows up to the next event share the same spans when every active edge is vertical.
        i64 band = y + 1;
        bool vertical = std::all_of(active.begin(), active.end(),
                                    [](const Crossing& c) { return c.edge->x0 == c.edge->x1; });
        if (vertical) {
            i64 event = bounds.bottom;
            if (next < order.size()) event = std::min(event, firstRow(*order[next]));
            for (const Crossing& c : active)
                event = std::min(event, c.edge->rowEnd);
            band = std::max(band, event);
        }
        if (!winding) {
            for (std::size_t i = 0; i + 1 < active.size(); i += 2)
                if (active[i].x < active[i + 1].x) sink(y, band, active[i].x, active[i + 1].x);
        } else {
            int count = 0;
            i64 start = 0;
            for (const Crossing& c : active) {
                int was = count;
                count += c.dir;
                if (was == 0 && count != 0)
                    start = c.x;
                else if (was != 0 && count == 0 && start < c.x)
                    sink(y, band, start, c.x);
            }
        }
        if (band > y + 1) {
            // Vertical edges keep their crossings; the next row starts from them as they are.
            y = band;
            fresh = true;
            continue;
        }
        y = band;
    }
}

std::int64_t lineLength(i64 x0, i64 y0, i64 x1, i64 y1) {
    i128 dx = i128(x1) - x0, dy = i128(y1) - y0;
    if (dx < 0) dx = -dx;
    if (dy < 0) dy = -dy;
    i128 n = std::max(dx, dy);
    return n > std::numeric_limits<i64>::max() ? std::numeric_limits<i64>::max() : i64(n);
}

void linePixels(i64 x0, i64 y0, i64 x1, i64 y1, const PixelBox& bounds, const PixelSink& sink) {
    if (bounds.empty()) return;
    i128 dx = i128(x1) - x0, dy = i128(y1) - y0;
    bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    i128 major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    i128 amaj = major < 0 ? -major : major, amin = minor < 0 ? -minor : minor;
    if (amaj == 0) return;
    int smaj = major < 0 ? -1 : 1, smin = minor < 0 ? -1 : 1;
    i64 m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;
    i64 majLo = xMajor ? bounds.left : bounds.top, majHi = xMajor ? bounds.right : bounds.bottom;
    i64 minLo = xMajor ? bounds.top : bounds.left, minHi = xMajor ? bounds.bottom : bounds.right;
    auto minorAt = [&](i128 i) { return n0 + smin * floorDiv(2 * i * amin + amaj, 2 * amaj); };
    // Steps whose major coordinate lies in [majLo, majHi).
    i128 iLo, iHi;
    if (smaj > 0) {
        iLo = i128(majLo) - m0;
        iHi = i128(majHi) - m0; // exclusive
    } else {
        iLo = i128(m0) - (majHi - 1);
        iHi = i128(m0) - majLo + 1;
    }
    iLo = std::max<i128>(iLo, 0);
    iHi = std::min<i128>(iHi, amaj);
    if (iLo >= iHi) return;
    // The minor coordinate is monotone in i: narrow to [minLo, minHi) by bisection.
    auto inMinor = [&](i128 i, bool wantLow) {
        i128 v = minorAt(i);
        return wantLow ? (smin > 0 ? v >= minLo : v < minHi) : (smin > 0 ? v >= minHi : v < minLo);
    };
    {
        i128 a = iLo, b = iHi; // first i with inMinor(low)
        while (a < b) {
            i128 m = a + (b - a) / 2;
            if (inMinor(m, true))
                b = m;
            else
                a = m + 1;
        }
        iLo = a;
        a = iLo;
        b = iHi; // first i past the range
        while (a < b) {
            i128 m = a + (b - a) / 2;
            if (inMinor(m, false))
                b = m;
            else
                a = m + 1;
        }
        iHi = a;
    }
    for (i128 i = iLo; i < iHi; ++i) {
        i64 m = i64(m0 + smaj * i);
        i64 n = i64(minorAt(i));
        if (xMajor)
            sink(m, n, i64(i));
        else
            sink(n, m, i64(i));
    }
}

namespace {

double area(const FixPolygon& p) {
    double a = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const FixPoint& u = p[i];
        const FixPoint& v = p[(i + 1) % p.size()];
        a += double(u.x) * double(v.y) - double(v.x) * double(u.y);
    }
    return a / 2;
}

void orient(FixPolygon& p) {
    if (area(p) < 0) std::reverse(p.begin(), p.end());
}

FixPoint fix(double x, double y) {
    auto c = [](double v) {
        if (!(v == v)) return i64(0);
        const double lim = 4.0e18;
        v = std::floor(v + 0.5);
        return i64(v < -lim ? -lim : v > lim ? lim : v);
    };
    return FixPoint{c(x), c(y)};
}

} // namespace

FixPolygon ellipsePolygon(double cx, double cy, double rx, double ry) {
    double r = std::max(std::fabs(rx), std::fabs(ry));
    int n = 8;
    if (r > kFix / 8.0) {
        double step = 2 * std::acos(std::max(0.0, 1 - (kFix / 8.0) / r));
        n = std::clamp(int(std::ceil(2 * M_PI / step)), 8, 4096);
    }
    FixPolygon p;
    p.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        double t = 2 * M_PI * i / n;
        p.push_back(fix(cx + rx * std::cos(t), cy + ry * std::sin(t)));
    }
    return p;
}

namespace {

// The pieces of a stroke checked against the visible pixels.
class StrokeSink {
public:
    StrokeSink(std::vector<FixPolygon>& out, const PixelBox* visible)
        : out_(out), visible_(visible) {
        if (visible_) {
            // Pixel centres of the corner pixels.
            cx0_ = visible_->left * kFix + kFix / 2;
            cy0_ = visible_->top * kFix + kFix / 2;
            cx1_ = (visible_->right - 1) * kFix + kFix / 2;
            cy1_ = (visible_->bottom - 1) * kFix + kFix / 2;
        }
    }
    bool covered() const { return covered_; }

    // A convex polygon, oriented.
    void add(FixPolygon&& p) {
        if (covered_) return;
        if (visible_) {
            std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
            for (const FixPoint& q : p) {
                x0 = std::min(x0, q.x);
                y0 = std::min(y0, q.y);
                x1 = std::max(x1, q.x);
                y1 = std::max(y1, q.y);
            }
            if (outside(x0, y0, x1, y1)) return;
            if (containsCorners(p)) return coverAll();
        }
        out_.push_back(std::move(p));
    }
    // A round cap or join: tested before its polygon is built.
    void addCircle(double cx, double cy, double r) {
        if (covered_) return;
        if (visible_) {
            if (outside(std::int64_t(std::floor(cx - r)), std::int64_t(std::floor(cy - r)),
                        std::int64_t(std::ceil(cx + r)), std::int64_t(std::ceil(cy + r))))
                return;
            // The polygon has at least 8 vertices on the circle: it holds the disc of radius
            // r cos(pi/8) less the rounding of its vertices.
            double inner = r * 0.9238 - 2;
            bool all = inner > 0;
            for (double x : {double(cx0_), double(cx1_)})
                for (double y : {double(cy0_), double(cy1_)})
                    all = all && std::hypot(x - cx, y - cy) < inner;
            if (all) return coverAll();
        }
        out_.push_back(ellipsePolygon(cx, cy, r, r));
    }

private:
    std::vector<FixPolygon>& out_;
    const PixelBox* visible_;
    std::int64_t cx0_ = 0, cy0_ = 0, cx1_ = 0, cy1_ = 0;
    bool covered_ = false;

    bool outside(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) const {
        return x1 < cx0_ || x0 > cx1_ || y1 < cy0_ || y0 > cy1_;
    }
    // Every corner pixel centre strictly inside the convex polygon (positive area).
    bool containsCorners(const FixPolygon& p) const {
        if (p.size() < 3) return false;
        for (std::int64_t x : {cx0_, cx1_})
            for (std::int64_t y : {cy0_, cy1_})
                for (std::size_t i = 0; i < p.size(); ++i) {
                    const FixPoint& a = p[i];
                    const FixPoint& b = p[(i + 1) % p.size()];
                    __int128 cross =
                        __int128(b.x - a.x) * (y - a.y) - __int128(b.y - a.y) * (x - a.x);
                    if (cross <= 0) return false;
                }
        return true;
    }
    void coverAll() {
        covered_ = true;
        std::int64_t l = visible_->left * kFix, t = visible_->top * kFix,
                     r = visible_->right * kFix, b = visible_->bottom * kFix;
        FixPolygon box{{l, t}, {r, t}, {r, b}, {l, b}};
        orient(box);
        out_.push_back(std::move(box));
    }
};

} // namespace

bool strokePolyline(const std::vector<FixPoint>& in, bool closed, const StrokeStyle& style,
                    std::vector<FixPolygon>& out, const PixelBox* visible) {
    StrokeSink sink(out, visible);
    std::vector<FixPoint> pts;
    for (const FixPoint& p : in)
        if (pts.empty() || p.x != pts.back().x || p.y != pts.back().y) pts.push_back(p);
    if (closed && pts.size() > 1 && pts.front().x == pts.back().x && pts.front().y == pts.back().y)
        pts.pop_back();
    double h = style.width * kFix / 2;
    if (h <= 0) return false;
    bool round = style.join == PS_JOIN_ROUND;
    if (pts.size() == 1) {
        if (style.endCap == PS_ENDCAP_ROUND) sink.addCircle(double(pts[0].x), double(pts[0].y), h);
        return sink.covered();
    }
    std::size_t segs = closed ? pts.size() : pts.size() - 1;
    for (std::size_t i = 0; i < segs; ++i) {
        const FixPoint& a = pts[i];
        const FixPoint& b = pts[(i + 1) % pts.size()];
        double dx = double(b.x - a.x), dy = double(b.y - a.y);
        double len = std::hypot(dx, dy);
        if (len == 0) continue;
        double nx = -dy / len * h, ny = dx / len * h;
        double ex = 0, ey = 0, sx = 0, sy = 0;
        if (!closed && style.endCap == PS_ENDCAP_SQUARE) {
            if (i == 0) sx = dx / len * h, sy = dy / len * h;
            if (i + 1 == segs) ex = dx / len * h, ey = dy / len * h;
        }
        FixPolygon q{fix(a.x + nx - sx, a.y + ny - sy), fix(b.x + nx + ex, b.y + ny + ey),
                     fix(b.x - nx + ex, b.y - ny + ey), fix(a.x - nx - sx, a.y - ny - sy)};
        orient(q);
        sink.add(std::move(q));
        if (sink.covered()) return true;
    }
    // Joins at inner vertices (all of them when closed), caps at the ends.
    for (std::size_t i = 0; i < pts.size(); ++i) {
        bool end = !closed && (i == 0 || i + 1 == pts.size());
        if (sink.covered()) return true;
        if (end) {
            if (style.endCap == PS_ENDCAP_ROUND)
                sink.addCircle(double(pts[i].x), double(pts[i].y), h);
            continue;
        }
        if (round) {
            sink.addCircle(double(pts[i].x), double(pts[i].y), h);
            continue;
        }
        const FixPoint& p = pts[(i + pts.size() - 1) % pts.size()];
        const FixPoint& v = pts[i];
        const FixPoint& n = pts[(i + 1) % pts.size()];
        double d1x = double(v.x - p.x), d1y = double(v.y - p.y);
        double d2x = double(n.x - v.x), d2y = double(n.y - v.y);
        double l1 = std::hypot(d1x, d1y), l2 = std::hypot(d2x, d2y);
        if (l1 == 0 || l2 == 0) continue;
        double cross = d1x * d2y - d1y * d2x;
        double side = cross > 0 ? -1 : 1; // the outer side of the turn
        double n1x = -d1y / l1 * h * side, n1y = d1x / l1 * h * side;
        double n2x = -d2y / l2 * h * side, n2y = d2x / l2 * h * side;
        FixPolygon j{v, fix(v.x + n1x, v.y + n1y)};
        if (style.join == PS_JOIN_MITER) {
            // The outer offset lines meet at the miter tip; beyond ten half-widths, bevel.
            double cosTurn = (d1x * d2x + d1y * d2y) / (l1 * l2);
            double half = std::sqrt(std::max(0.0, (1 + cosTurn) / 2));
            if (half > 0.1) {
                double mx = n1x + n2x, my = n1y + n2y, ml = std::hypot(mx, my);
                if (ml > 0) {
                    double len = h / half;
                    j.push_back(fix(v.x + mx / ml * len, v.y + my / ml * len));
                }
            }
        }
        j.push_back(fix(v.x + n2x, v.y + n2y));
        orient(j);
        if (std::fabs(area(j)) > 0) sink.add(std::move(j));
    }
    return sink.covered();
}

void flattenBezier(const FixPoint& p0, const FixPoint& c1, const FixPoint& c2, const FixPoint& p3,
                   std::vector<FixPoint>& out) {
    // Pieces from the control polygon's length: the deviation of a uniform split falls with
    // the square of the count, so sqrt(length) pieces keep it under a quarter pixel.
    double len = std::hypot(double(c1.x - p0.x), double(c1.y - p0.y)) +
                 std::hypot(double(c2.x - c1.x), double(c2.y - c1.y)) +
                 std::hypot(double(p3.x - c2.x), double(p3.y - c2.y));
    int n = std::clamp(int(std::ceil(std::sqrt(len / kFix) * 2)), 1, 4096);
    for (int i = 1; i < n; ++i) {
        double t = double(i) / n, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back(
            fix(a * double(p0.x) + b * double(c1.x) + c * double(c2.x) + d * double(p3.x),
                a * double(p0.y) + b * double(c1.y) + c * double(c2.y) + d * double(p3.y)));
    }
    out.push_back(p3);
}

} // namespace sdgdi
