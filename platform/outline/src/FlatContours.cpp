#include "FlatContours.h"

#include <algorithm>
#include <cmath>

#include "pathkit/Path.h"

namespace {

// The integral of (1 + 4x^2)^-1/4 (the chord count density along the parabola y = x^2) and its
// inverse, both approximated in closed form to within a few percent.
double ParabolaIntegral(double x) {
    const double d = 0.67;
    return x / (1 - d + std::sqrt(std::sqrt(d * d * d * d + 0.25 * x * x)));
}

double ParabolaIntegralInverse(double x) {
    const double b = 0.39;
    return x * (1 - b + std::sqrt(b * b + 0.25 * x * x));
}

// One quadratic piece seen as a part of the parabola y = x^2: its ends at x0 and x2 and the
// scale from that parabola to the piece, and the integral at both ends.
struct Parabola {
    double x0, x2, scale, a0, a2;
};

} // namespace

// Chords placed by the parabola estimate: each cubic is cut into quadratics (within a tenth of
// the tolerance), and every quadratic gets chords spaced evenly in the integral of the square
// root of its curvature, which puts a near-minimal number of chords within the tolerance.
void FlatContours::AppendCurve(const Pt& p0, const Pt& p1, const Pt& p2, const Pt& p3) {
    // A margin for what the checks at chord middles miss.
    double tol = 0.9 * tolerance_;
    double ex = p3.x - 3 * p2.x + 3 * p1.x - p0.x, ey = p3.y - 3 * p2.y + 3 * p1.y - p0.y;
    double quadErr = ex * ex + ey * ey; // the error of one quadratic is sqrt(3)/36 of its root
    double quadTol = 0.1 * tol;
    double wanted = std::ceil(std::pow(quadErr / (432 * quadTol * quadTol), 1.0 / 6));
    int quads = wanted >= 1 ? (wanted < MaxChords ? int(wanted) : MaxChords) : 1;
    const double flatTol = 0.75 * tol, sqrtTol = std::sqrt(flatTol);

    auto at = [&](double t) {
        double u = 1 - t;
        double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
        return Pt{w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
                  w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y};
    };
    auto derivative = [&](double t) {
        double u = 1 - t;
        double a = 3 * u * u, b = 6 * u * t, c = 3 * t * t;
        return Pt{a * (p1.x - p0.x) + b * (p2.x - p1.x) + c * (p3.x - p2.x),
                  a * (p1.y - p0.y) + b * (p2.y - p1.y) + c * (p3.y - p2.y)};
    };

    struct Quad {
        Pt q0, q1, q2;
        Parabola par;
        double chords; // the estimate, before rounding
    };
    std::vector<Quad> pieces(static_cast<std::size_t>(quads));
    double total = 0;
    for (int i = 0; i < quads; ++i) {
        double t0 = double(i) / quads, t1 = double(i + 1) / quads, h = (t1 - t0) / 3;
        Pt a = at(t0), b = at(t1), da = derivative(t0), db = derivative(t1);
        // The quadratic through the piece's ends whose control point is the mean of the
        // piece's handles lengthened by half (where a quadratic's handles would end).
        Pt c{0.5 * ((a.x + 1.5 * h * da.x) + (b.x - 1.5 * h * db.x)),
             0.5 * ((a.y + 1.5 * h * da.y) + (b.y - 1.5 * h * db.y))};
        Quad& q = pieces[std::size_t(i)];
        q.q0 = a, q.q1 = c, q.q2 = b;
        double d01x = c.x - a.x, d01y = c.y - a.y, d12x = b.x - c.x, d12y = b.y - c.y;
        double ddx = d01x - d12x, ddy = d01y - d12y;
        double cross = (b.x - a.x) * ddy - (b.y - a.y) * ddx;
        double x0 = (d01x * ddx + d01y * ddy) / cross, x2 = (d12x * ddx + d12y * ddy) / cross;
        double scale = std::fabs(cross / (std::hypot(ddx, ddy) * (x2 - x0)));
        q.par = {x0, x2, scale, ParabolaIntegral(x0), ParabolaIntegral(x2)};
        q.chords = 0;
        if (std::isfinite(scale) && std::isfinite(q.par.a0) && std::isfinite(q.par.a2)) {
            double da2 = std::fabs(q.par.a2 - q.par.a0), sqrtScale = std::sqrt(scale);
            if ((x0 < 0) == (x2 < 0)) {
                q.chords = da2 * sqrtScale;
            } else {
                // Through the vertex: the curvature there bounds the count.
                double xmin = sqrtTol / sqrtScale;
                q.chords = sqrtTol * da2 / ParabolaIntegral(xmin);
            }
        }
        if (!std::isfinite(q.chords)) q.chords = 0;
        total += q.chords;
    }
    double n = std::ceil(0.5 * total / sqrtTol);
    int count = n > MaxChords ? MaxChords : (n >= 1 ? int(n) : 1);
    if (!(total > 0)) count = 1; // straight (or without direction): the checks below decide

    // Chord ends evenly spaced in the summed estimate, taken on the cubic at the parameter they
    // have on their quadratic.
    std::vector<double> params;
    params.reserve(std::size_t(count) + 1);
    params.push_back(0);
    double step = total / count, target = step, before = 0;
    std::size_t qi = 0;
    for (int k = 1; k < count; ++k, target += step) {
        while (qi + 1 < pieces.size() && before + pieces[qi].chords < target) {
            before += pieces[qi].chords;
            ++qi;
        }
        const Quad& q = pieces[qi];
        double f = q.chords > 0 ? std::clamp((target - before) / q.chords, 0.0, 1.0) : 1.0;
        double a = q.par.a0 + (q.par.a2 - q.par.a0) * f;
        double u0 = ParabolaIntegralInverse(q.par.a0), u2 = ParabolaIntegralInverse(q.par.a2);
        double t = (ParabolaIntegralInverse(a) - u0) / (u2 - u0);
        if (!std::isfinite(t)) t = f;
        t = (double(qi) + std::clamp(t, 0.0, 1.0)) / quads;
        params.push_back(std::max(t, params.back()));
    }
    params.push_back(1);

    // The estimate is close, not exact: a chord whose curve strays beyond the tolerance at a
    // quarter, the middle or three quarters of its span is halved (a few times at most).
    std::size_t budget = std::size_t(MaxChords) - std::size_t(count);
    auto strays = [&](double t0, const Pt& a, double t1, const Pt& b) {
        double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        for (double w : {0.25, 0.5, 0.75}) {
            Pt m = at(t0 + (t1 - t0) * w);
            double f = len2 > 0 ? std::clamp(((m.x - a.x) * dx + (m.y - a.y) * dy) / len2, 0.0, 1.0)
                                : 0;
            double ex = a.x + f * dx - m.x, ey = a.y + f * dy - m.y;
            if (ex * ex + ey * ey > 0.81 * tol * tol) return true;
        }
        return false;
    };
    auto emit = [&](auto&& self, double t0, const Pt& a, double t1, const Pt& b, int depth) -> void {
        if (depth < 4 && budget > 0 && strays(t0, a, t1, b)) {
            --budget;
            double tm = 0.5 * (t0 + t1);
            Pt m = at(tm);
            self(self, t0, a, tm, m, depth + 1);
            points_.push_back(m);
            self(self, tm, m, t1, b, depth + 1);
        }
    };
    Pt prev = p0;
    for (std::size_t k = 1; k < params.size(); ++k) {
        Pt next = k + 1 < params.size() ? at(params[k]) : p3;
        emit(emit, params[k - 1], prev, params[k], next, 0);
        if (k + 1 < params.size()) points_.push_back(next);
        prev = next;
    }
}

FlatContours::FlatContours(const Path& path, double tolerance)
    : tolerance_(tolerance > 0 ? tolerance : 0.01) {
    for (const SubPath& sp : path.subPaths) {
        subPathFirst_.push_back(spans_.size());
        for (const PathMember& m : sp.members) {
            Span span{points_.size(), 0, 0, 0, 0, 0};
            double x0 = m.start.x, y0 = m.start.y, x1 = m.ctrl1.x, y1 = m.ctrl1.y;
            double x2 = m.ctrl2.x, y2 = m.ctrl2.y, x3 = m.end.x, y3 = m.end.y;
            points_.push_back({x0, y0});
            if (m.IsCurve()) AppendCurve({x0, y0}, {x1, y1}, {x2, y2}, {x3, y3});
            points_.push_back({x3, y3});
            span.count = points_.size() - span.first;
            span.left = span.right = x0;
            span.bottom = span.top = y0;
            for (std::size_t i = span.first; i < points_.size(); ++i) {
                span.left = std::min(span.left, points_[i].x);
                span.right = std::max(span.right, points_[i].x);
                span.bottom = std::min(span.bottom, points_[i].y);
                span.top = std::max(span.top, points_[i].y);
            }
            spans_.push_back(span);
        }
    }
    BuildIndexes();
}

namespace {

// Index cells are limited in number so that a degenerate geometry cannot make them explode.
constexpr double MaxCells = 1 << 20;

} // namespace

void FlatContours::BuildIndexes() {
    std::size_t chords = 0;
    double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
    for (const Span& s : spans_) {
        chords += s.count - 1;
        left = std::min(left, s.left);
        right = std::max(right, s.right);
        bottom = std::min(bottom, s.bottom);
        top = std::max(top, s.top);
    }
    if (!chords || !std::isfinite(left) || !std::isfinite(right) || !std::isfinite(bottom) ||
        !std::isfinite(top) || chords > 0xFFFFFFFFu || points_.size() > 0xFFFFFFFFu)
        return; // no index: the queries scan every span
    double width = right - left, height = top - bottom;

    // Rows: about two chords each.
    rows_ = int(std::clamp(double(chords) / 2, 1.0, MaxCells));
    bottom_ = bottom;
    rowHeight_ = height > 0 ? height / rows_ : 0;
    if (!(rowHeight_ > 0)) rows_ = 1;
    // Cells: about one chord each.
    double area = std::max(width, 1e-9) * std::max(height, 1e-9);
    cellSize_ = std::sqrt(area / double(chords));
    left_ = left;
    columns_ = int(std::clamp(std::ceil(std::max(width, 1e-9) / cellSize_), 1.0, 4096.0));
    cellRows_ = int(std::clamp(std::ceil(std::max(height, 1e-9) / cellSize_), 1.0, 4096.0));
    cellSize_ = std::max(std::max(width, 1e-9) / columns_, std::max(height, 1e-9) / cellRows_);
    if (!(cellSize_ > 0) || !std::isfinite(cellSize_)) {
        columns_ = cellRows_ = 1;
        cellSize_ = 1;
    }

    // Counting pass, then filling pass, for both indexes.
    rowFirst_.assign(std::size_t(rows_) + 1, 0);
    cellFirst_.assign(std::size_t(columns_) * cellRows_ + 1, 0);
    auto visit = [&](auto&& row, auto&& cell) {
        for (std::size_t si = 0; si < spans_.size(); ++si) {
            const Span& s = spans_[si];
            for (std::size_t i = s.first + 1; i < s.first + s.count; ++i) {
                const Pt &a = points_[i - 1], &b = points_[i];
                ChordRef ref{std::uint32_t(i - 1), std::uint32_t(si)};
                int r0 = Row(std::min(a.y, b.y)), r1 = Row(std::max(a.y, b.y));
                for (int r = r0; r <= r1; ++r)
                    row(r, ref);
                int c0 = Cell(std::min(a.x, b.x), left_), c1 = Cell(std::max(a.x, b.x), left_);
                int k0 = Cell(std::min(a.y, b.y), bottom_), k1 = Cell(std::max(a.y, b.y), bottom_);
                c0 = std::min(c0, columns_ - 1), c1 = std::min(c1, columns_ - 1);
                k0 = std::min(k0, cellRows_ - 1), k1 = std::min(k1, cellRows_ - 1);
                for (int k = k0; k <= k1; ++k)
                    for (int c = c0; c <= c1; ++c)
                        cell(k * columns_ + c, ref);
            }
        }
    };
    visit([&](int r, ChordRef) { ++rowFirst_[std::size_t(r) + 1]; },
          [&](int c, ChordRef) { ++cellFirst_[std::size_t(c) + 1]; });
    for (std::size_t r = 1; r < rowFirst_.size(); ++r)
        rowFirst_[r] += rowFirst_[r - 1];
    for (std::size_t c = 1; c < cellFirst_.size(); ++c)
        cellFirst_[c] += cellFirst_[c - 1];
    rowChords_.resize(rowFirst_.back());
    cellChords_.resize(cellFirst_.back());
    std::vector<std::uint32_t> rowFill(rowFirst_.begin(), rowFirst_.end() - 1);
    std::vector<std::uint32_t> cellFill(cellFirst_.begin(), cellFirst_.end() - 1);
    visit([&](int r, ChordRef ref) { rowChords_[rowFill[std::size_t(r)]++] = ref; },
          [&](int c, ChordRef ref) { cellChords_[cellFill[std::size_t(c)]++] = ref; });
}

int FlatContours::Row(double y) const {
    if (rows_ <= 1) return 0;
    double r = std::floor((y - bottom_) / rowHeight_);
    return r < 0 ? 0 : (r >= rows_ - 1 ? rows_ - 1 : int(r));
}

int FlatContours::Cell(double v, double origin) const {
    double c = std::floor((v - origin) / cellSize_);
    return c < 0 ? 0 : (c > 4095 ? 4095 : int(c));
}

int FlatContours::Winding(double x, double y) const {
    // Crossings of the ray from (x, y) towards +x: a chord running upwards with the point on
    // its left counts +1, one running downwards with the point on its right -1. A chord's
    // lower end belongs to it, its upper end does not. A chord not reaching y from both
    // sides never counts, and a member lying wholly left of x is passed over.
    auto count = [&](const Pt& a, const Pt& b, int& w) {
        double side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
        if (a.y <= y) {
            if (b.y > y && side > 0) ++w;
        } else if (b.y <= y && side < 0) {
            --w;
        }
    };
    int w = 0;
    if (!rowFirst_.empty()) {
        // Rows are found by one monotone map, so the row of y holds every chord whose y range
        // holds y.
        if (std::isnan(y) || std::isnan(x)) return 0;
        int r = Row(y);
        for (std::uint32_t k = rowFirst_[std::size_t(r)]; k < rowFirst_[std::size_t(r) + 1]; ++k) {
            const ChordRef& c = rowChords_[k];
            const Span& s = spans_[c.span];
            if (s.top <= y || s.bottom > y || s.right < x) continue;
            count(points_[c.point], points_[c.point + 1], w);
        }
        return w;
    }
    for (const Span& s : spans_) {
        if (s.top <= y || s.bottom > y || s.right < x) continue;
        const Pt* p = points_.data() + s.first;
        for (std::size_t i = 1; i < s.count; ++i)
            count(p[i - 1], p[i], w);
    }
    return w;
}

void FlatContours::Windings(double x1, double y1, double x2, double y2, int& w1,
                            int& w2) const {
    if (rowFirst_.empty() || std::isnan(x1) || std::isnan(y1) || std::isnan(x2) ||
        std::isnan(y2) || Row(y1) != Row(y2)) {
        w1 = Winding(x1, y1);
        w2 = Winding(x2, y2);
        return;
    }
    // The same tests as Winding, for both points on each chord of the row.
    auto count = [](const Pt& a, const Pt& b, double x, double y, int& w) {
        double side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
        if (a.y <= y) {
            if (b.y > y && side > 0) ++w;
        } else if (b.y <= y && side < 0) {
            --w;
        }
    };
    w1 = w2 = 0;
    int r = Row(y1);
    for (std::uint32_t k = rowFirst_[std::size_t(r)]; k < rowFirst_[std::size_t(r) + 1]; ++k) {
        const ChordRef& c = rowChords_[k];
        const Span& s = spans_[c.span];
        const Pt &a = points_[c.point], &b = points_[c.point + 1];
        if (!(s.top <= y1 || s.bottom > y1 || s.right < x1)) count(a, b, x1, y1, w1);
        if (!(s.top <= y2 || s.bottom > y2 || s.right < x2)) count(a, b, x2, y2, w2);
    }
}

bool FlatContours::Beside(std::size_t subPath, std::size_t member, double& mx, double& my,
                          double& lx, double& ly, double& rx, double& ry) const {
    if (subPath >= subPathFirst_.size()) return false;
    std::size_t index = subPathFirst_[subPath] + member;
    std::size_t end =
        subPath + 1 < subPathFirst_.size() ? subPathFirst_[subPath + 1] : spans_.size();
    if (index >= end) return false;
    const Span& s = spans_[index];
    const Pt* p = points_.data() + s.first;
    std::size_t chords = s.count - 1, middle = chords / 2;
    // middle, middle + 1, middle - 1, middle + 2, ...
    for (std::size_t k = 0; k < 2 * chords; ++k) {
        std::size_t step = (k + 1) / 2;
        if (k & 1 ? middle + step >= chords : step > middle) continue;
        std::size_t c = k & 1 ? middle + step : middle - step;
        double dx = p[c + 1].x - p[c].x, dy = p[c + 1].y - p[c].y;
        double len = std::hypot(dx, dy);
        if (!(len > 0)) continue;
        double eps = std::min(0.1 * len, 0.05 * tolerance_);
        mx = (p[c].x + p[c + 1].x) / 2;
        my = (p[c].y + p[c + 1].y) / 2;
        double nx = dy / len, ny = -dx / len; // right of travel
        lx = mx - eps * nx;
        ly = my - eps * ny;
        rx = mx + eps * nx;
        ry = my + eps * ny;
        return true;
    }
    return false;
}

bool FlatContours::NearerThan(double x, double y, double reach) const {
    if (!(reach > 0)) return false;
    double reach2 = reach * reach;
    auto near = [&](const Pt& a, const Pt& b) {
        double ax = a.x, ay = a.y;
        double dx = b.x - ax, dy = b.y - ay;
        double len2 = dx * dx + dy * dy;
        double f = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
        f = std::clamp(f, 0.0, 1.0);
        double ex = ax + f * dx - x, ey = ay + f * dy - y;
        return ex * ex + ey * ey < reach2;
    };
    auto outside = [&](const Span& s) {
        return x < s.left - reach || x > s.right + reach || y < s.bottom - reach ||
               y > s.top + reach;
    };
    if (!cellFirst_.empty() && std::isfinite(x) && std::isfinite(y) && std::isfinite(reach)) {
        // Every chord that can come within reach has a box that meets the square around
        // (x, y); both are mapped to cells by one monotone map (folding everything beyond the
        // grid onto its edge cells), so the square's cells hold that chord.
        int c0 = std::min(Cell(x - reach, left_), columns_ - 1);
        int c1 = std::min(Cell(x + reach, left_), columns_ - 1);
        int k0 = std::min(Cell(y - reach, bottom_), cellRows_ - 1);
        int k1 = std::min(Cell(y + reach, bottom_), cellRows_ - 1);
        if (double(c1 - c0 + 1) * (k1 - k0 + 1) <= double(cellChords_.size())) {
            for (int k = k0; k <= k1; ++k) {
                for (int c = c0; c <= c1; ++c) {
                    std::size_t cell = std::size_t(k) * columns_ + c;
                    for (std::uint32_t i = cellFirst_[cell]; i < cellFirst_[cell + 1]; ++i) {
                        const ChordRef& ref = cellChords_[i];
                        if (outside(spans_[ref.span])) continue;
                        if (near(points_[ref.point], points_[ref.point + 1])) return true;
                    }
                }
            }
            return false;
        }
    }
    for (const Span& s : spans_) {
        if (outside(s)) continue;
        const Pt* p = points_.data() + s.first;
        for (std::size_t i = 1; i < s.count; ++i)
            if (near(p[i - 1], p[i])) return true;
    }
    return false;
}
