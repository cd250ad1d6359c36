#include "ContourOffsetter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "outline/OutlineManager.h"
#include "pathkit/BezierSplit.h"
#include "pathkit/MemberOffsetter.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/SubPath.h"

namespace {

constexpr double Pi = std::numbers::pi;
// Turns within this sine of a full reversal are taken as one: tangents of pieces near a cusp
// carry rounding noise of this order, and the loop an inner join makes there would reach
// the distance over the sine away.
constexpr double ReversalSine = 1e-6;
// Parameters at which an offset piece is compared with the exact offset.
constexpr double CheckParams[] = {0.25, 0.5, 0.75};

struct Pt {
    double x, y;
};

Pt P(const floatPoint& p) {
    return {p.x, p.y};
}

floatPoint F(const Pt& p) {
    return floatPoint(float(p.x), float(p.y));
}

double Dist(const floatPoint& a, const floatPoint& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

Pt Eval(const PathMember& m, double t) {
    double u = 1 - t;
    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * m.start.x + w1 * m.ctrl1.x + w2 * m.ctrl2.x + w3 * m.end.x,
            w0 * m.start.y + w1 * m.ctrl1.y + w2 * m.ctrl2.y + w3 * m.end.y};
}

Pt FirstDerivative(const PathMember& m, double t) {
    double u = 1 - t;
    double a = 3 * u * u, b = 6 * u * t, c = 3 * t * t;
    return {a * (double(m.ctrl1.x) - m.start.x) + b * (double(m.ctrl2.x) - m.ctrl1.x) +
                c * (double(m.end.x) - m.ctrl2.x),
            a * (double(m.ctrl1.y) - m.start.y) + b * (double(m.ctrl2.y) - m.ctrl1.y) +
                c * (double(m.end.y) - m.ctrl2.y)};
}

Pt SecondDerivative(const PathMember& m, double t) {
    double u = 1 - t;
    return {6 * u * (double(m.ctrl2.x) - 2.0 * m.ctrl1.x + m.start.x) +
                6 * t * (double(m.end.x) - 2.0 * m.ctrl2.x + m.ctrl1.x),
            6 * u * (double(m.ctrl2.y) - 2.0 * m.ctrl1.y + m.start.y) +
                6 * t * (double(m.end.y) - 2.0 * m.ctrl2.y + m.ctrl1.y)};
}

// The parameter of the point of the curve nearest to p, searched from t (Newton steps on the
// squared distance); stays at a local minimum near t.
double NearestParam(const PathMember& m, const Pt& p, double t) {
    for (int i = 0; i < 8; ++i) {
        Pt q = Eval(m, t), d1 = FirstDerivative(m, t), d2 = SecondDerivative(m, t);
        double rx = q.x - p.x, ry = q.y - p.y;
        double f = rx * d1.x + ry * d1.y;
        double fp = d1.x * d1.x + d1.y * d1.y + rx * d2.x + ry * d2.y;
        if (!(fp > 0)) break;
        double next = std::clamp(t - f / fp, 0.0, 1.0);
        bool done = std::fabs(next - t) < 1e-10;
        t = next;
        if (done) break;
    }
    return t;
}

double Extent(const PathMember& m) {
    double left = std::min({m.start.x, m.ctrl1.x, m.ctrl2.x, m.end.x});
    double right = std::max({m.start.x, m.ctrl1.x, m.ctrl2.x, m.end.x});
    double bottom = std::min({m.start.y, m.ctrl1.y, m.ctrl2.y, m.end.y});
    double top = std::max({m.start.y, m.ctrl1.y, m.ctrl2.y, m.end.y});
    return std::hypot(right - left, top - bottom);
}

bool HasLength(const PathMember& m) {
    if (!m.IsCurve()) return m.start != m.end;
    return m.start != m.end || m.ctrl1 != m.start || m.ctrl2 != m.start;
}

// The part of a cubic from parameter t0 to t1 (de Casteljau, in doubles).
PathMember Part(const PathMember& m, double t0, double t1) {
    Pt p[4] = {P(m.start), P(m.ctrl1), P(m.ctrl2), P(m.end)};
    KeepCubicFrom(p, t0);
    // Then up to t1, rescaled to the remaining span.
    KeepCubicTo(p, t0 < 1 ? (t1 - t0) / (1 - t0) : 1);
    PathMember out = m;
    out.start = F(p[0]);
    out.ctrl1 = F(p[1]);
    out.ctrl2 = F(p[2]);
    out.end = F(p[3]);
    return out;
}

// Moves an end point to p, near the member: a curve is first cut back to its point nearest to
// p, so that its shape stays where it was.
void MoveEnd(PathMember& m, const floatPoint& p) {
    if (m.IsCurve()) {
        double t = NearestParam(m, P(p), 1);
        if (t < 1 && t > 0) m = Part(m, 0, t);
    } else {
        m.ctrl2 = p;
    }
    m.end = p;
}

void MoveStart(PathMember& m, const floatPoint& p) {
    if (m.IsCurve()) {
        double t = NearestParam(m, P(p), 0);
        if (t > 0 && t < 1) m = Part(m, t, 1);
    } else {
        m.ctrl1 = p;
    }
    m.start = p;
}

// A curve with each handle that lies within `noise` of an end point put on that point. A
// handle that near carries only the rounding of the coordinates: at a cusp it points anywhere,
// and the end would be moved along that stray direction instead of the curve's own.
PathMember Settled(const PathMember& m, double noise) {
    PathMember out = m;
    if (!m.IsCurve()) return out;
    auto settle = [noise](floatPoint& handle, const floatPoint& nearEnd, const floatPoint& farEnd) {
        if (handle == nearEnd || handle == farEnd) return;
        if (Dist(handle, nearEnd) <= noise) {
            handle = nearEnd;
        } else if (Dist(handle, farEnd) <= noise) {
            handle = farEnd;
        }
    };
    settle(out.ctrl1, out.start, out.end);
    settle(out.ctrl2, out.end, out.start);
    return out;
}

PathMember Reversed(const PathMember& m) {
    PathMember r = m;
    r.Reverse();
    return r;
}

} // namespace

ContourOffsetter::ContourOffsetter(double distance, int mode, double limitAngle, float accuracy)
    : distance_(distance), mode_(mode), limitAngle_(limitAngle * Pi / 180),
      accuracy_(Path::ValidAccuracy(accuracy)), tolerance_(0.5 * accuracy_) {}

ContourOffsetter::Vec ContourOffsetter::StartTangent(const PathMember& m) {
    Vec v{double(m.end.x) - m.start.x, double(m.end.y) - m.start.y};
    if (m.IsCurve()) {
        if (m.ctrl1 != m.start) {
            v = {double(m.ctrl1.x) - m.start.x, double(m.ctrl1.y) - m.start.y};
        } else if (m.ctrl2 != m.start) {
            v = {double(m.ctrl2.x) - m.start.x, double(m.ctrl2.y) - m.start.y};
        }
    }
    double len = std::hypot(v.x, v.y);
    if (!(len > 0)) return {0, 0};
    return {v.x / len, v.y / len};
}

ContourOffsetter::Vec ContourOffsetter::EndTangent(const PathMember& m) {
    Vec v{double(m.end.x) - m.start.x, double(m.end.y) - m.start.y};
    if (m.IsCurve()) {
        if (m.ctrl2 != m.end) {
            v = {double(m.end.x) - m.ctrl2.x, double(m.end.y) - m.ctrl2.y};
        } else if (m.ctrl1 != m.end) {
            v = {double(m.end.x) - m.ctrl1.x, double(m.end.y) - m.ctrl1.y};
        }
    }
    double len = std::hypot(v.x, v.y);
    if (!(len > 0)) return {0, 0};
    return {v.x / len, v.y / len};
}

PathMember ContourOffsetter::OffsetPiece(const PathMember& piece) const {
    float d = float(distance_);
    PathMember out = MemberOffsetter::Offset(piece, d);
    if (!piece.IsCurve()) return out;
    // The crossing of the end normals as MemberOffsetter finds it: start + a n1 = end + b n2.
    // Moving an end past it (a - d and a of opposite signs) mirrors the arc there, so the
    // handle must point the other way.
    Vec chord{double(piece.end.x) - piece.start.x, double(piece.end.y) - piece.start.y};
    Vec dir1{double(piece.ctrl1.x) - piece.start.x, double(piece.ctrl1.y) - piece.start.y};
    Vec dir2{double(piece.end.x) - piece.ctrl2.x, double(piece.end.y) - piece.ctrl2.y};
    if (dir1.x == 0 && dir1.y == 0) dir1 = chord;
    if (dir2.x == 0 && dir2.y == 0) dir2 = chord;
    double l1 = std::hypot(dir1.x, dir1.y), l2 = std::hypot(dir2.x, dir2.y);
    if (!(l1 > 0) || !(l2 > 0)) return out;
    Vec n1{dir1.y / l1, -dir1.x / l1}, n2{dir2.y / l2, -dir2.x / l2};
    double a, b;
    if (!SolveLin2(n1.x, -n2.x, n1.y, -n2.y, chord.x, chord.y, a, b) || a == 0 || b == 0)
        return out;
    if ((a - d) / a < 0)
        out.ctrl1 = floatPoint(2 * out.start.x - out.ctrl1.x, 2 * out.start.y - out.ctrl1.y);
    if ((b - d) / b < 0)
        out.ctrl2 = floatPoint(2 * out.end.x - out.ctrl2.x, 2 * out.end.y - out.ctrl2.y);
    return out;
}

double ContourOffsetter::OffsetError(const PathMember& piece, const PathMember& offset) const {
    if (!piece.IsCurve() || !offset.IsCurve()) return 0;
    double worst = 0;
    double reach = std::fabs(distance_);
    for (double t : CheckParams) {
        // The exact offset point of the piece at t, and how far the offset curve passes it.
        Pt p = Eval(piece, t), d1 = FirstDerivative(piece, t);
        double len = std::hypot(d1.x, d1.y);
        if (len > 0) {
            Pt exact{p.x + distance_ * d1.y / len, p.y - distance_ * d1.x / len};
            Pt q = Eval(offset, NearestParam(offset, exact, t));
            worst = std::max(worst, std::hypot(q.x - exact.x, q.y - exact.y));
        }
        // The offset curve's point at t should lie at the distance from the piece.
        Pt o = Eval(offset, t);
        Pt foot = Eval(piece, NearestParam(piece, o, t));
        worst = std::max(worst, std::fabs(std::hypot(o.x - foot.x, o.y - foot.y) - reach));
    }
    return std::isnan(worst) ? HUGE_VAL : worst;
}

void ContourOffsetter::AddPiece(const PathMember& piece, int depth) {
    // Pieces far below the accuracy carry no direction worth following (their tangents come
    // from rounding noise): the joins on either side close the gap they leave.
    if (Extent(piece) <= DegenerateExtent * accuracy_) return;
    PathMember offset = OffsetPiece(piece);
    if (piece.IsCurve() && depth < MaxRefineDepth && Extent(piece) > accuracy_ &&
        OffsetError(piece, offset) > tolerance_) {
        PathMember left, right;
        HalveMember(piece, left, right);
        AddPiece(left, depth + 1);
        // The right half starts at the stored end of the left half's last piece, whatever
        // precision the compiler keeps the halving midpoints in.
        right.start = pieces_.back().to;
        AddPiece(right, depth + 1);
        return;
    }
    Vec from = StartTangent(piece), to = EndTangent(piece);
    if (piece.IsCurve() && !WithinReach(piece, offset)) {
        // A piece too small or too sharply turned to halve further, whose handles the move
        // scaled out of all proportion (by 10^12 near a cusp): its ends moved along their
        // normals, joined straight, stay within the distance.
        offset.flags = 0;
        offset.start = offset.ctrl1 = F({piece.start.x + distance_ * from.y,
                                        piece.start.y - distance_ * from.x});
        offset.end = offset.ctrl2 =
            F({piece.end.x + distance_ * to.y, piece.end.y - distance_ * to.x});
    }
    pieces_.push_back(
        {offset, piece.start, piece.end, from, to, !offset.IsCurve() && piece.IsCurve()});
}

bool ContourOffsetter::WithinReach(const PathMember& piece, const PathMember& offset) const {
    // The offset curve lies within its control hull; the hull within reach of the piece's start
    // keeps every point of it within the distance of the piece, give or take its size.
    double reach = std::fabs(distance_) + Extent(piece) + accuracy_;
    for (const floatPoint& p : {offset.start, offset.ctrl1, offset.ctrl2, offset.end})
        if (!(Dist(p, piece.start) <= reach)) return false;
    return true;
}

void ContourOffsetter::OffsetClosed(const SubPath& contour, Path& raw) {
    std::vector<PathMember> members(contour.members.begin(), contour.members.end());
    OffsetCycle(members, raw);
}

void ContourOffsetter::OffsetOpen(const SubPath& contour, Path& raw) {
    if (!(distance_ > 0)) return;
    std::vector<PathMember> members(contour.members.begin(), contour.members.end());
    for (std::size_t i = contour.members.Filled(); i-- > 0;)
        members.push_back(Reversed(members[i]));
    OffsetCycle(members, raw);
}

void ContourOffsetter::OffsetCycle(const std::vector<PathMember>& members, Path& raw) {
    pieces_.clear();
    MemberOffsetter splitter(accuracy_);
    for (const PathMember& m : members) {
        if (!HasLength(m)) continue;
        if (!m.IsCurve()) {
            AddPiece(m, 0);
            continue;
        }
        splitter.Split(m);
        // Handles far below the accuracy from an end carry no direction either.
        for (const PathMember& piece : splitter.pieces)
            AddPiece(Settled(piece, DegenerateExtent * accuracy_), 0);
    }
    std::size_t k = pieces_.size();
    if (!k) return;

    // Junction i lies between piece i - 1 and piece i (junction 0 closes the contour).
    std::vector<char> meets(k);
    for (std::size_t i = 0; i < k; ++i)
        meets[i] = Meet(pieces_[(i + k - 1) % k], pieces_[i]);

    for (const Piece& p : pieces_)
        if (p.straightened) bevels_.push_back({p.offset.start, p.offset.end});

    raw.ClosePath();
    floatPoint first = pieces_[0].offset.start;
    raw.Append(PC_MOVETO, first.x, first.y);
    for (std::size_t i = 0; i < k; ++i) {
        const Piece& p = pieces_[i];
        if (i > 0 && !meets[i]) {
            const Piece& q = pieces_[i - 1];
            Join(raw, q.offset.end, p.offset.start, q.to, q.tangentTo, p.tangentFrom);
        }
        const PathMember& m = p.offset;
        if (m.IsCurve()) {
            raw.Append(m.ctrl1.x, m.ctrl1.y, m.ctrl2.x, m.ctrl2.y, m.end.x, m.end.y);
        } else {
            raw.Append(m.end.x, m.end.y);
        }
    }
    if (!meets[0]) {
        const Piece& q = pieces_[k - 1];
        Join(raw, q.offset.end, first, q.to, q.tangentTo, pieces_[0].tangentFrom);
    }
    raw.ClosePath();
}

bool ContourOffsetter::Meet(Piece& prev, Piece& next) const {
    floatPoint e = prev.offset.end, s = next.offset.start;
    floatPoint at;
    if (Dist(e, s) <= accuracy_) {
        at = MidPoint(e, s);
    } else {
        // On the inner side of a slight turn the moved members cross right beside their ends,
        // too close for the crossing search to tell the loop between them from the ends: they
        // are cut at the crossing of their end tangents here.
        const Vec &t1 = prev.tangentTo, &t2 = next.tangentFrom;
        double cross = t1.x * t2.y - t1.y * t2.x, dot = t1.x * t2.x + t1.y * t2.y;
        if (dot <= 0 || cross * distance_ > 0) return false;
        Vec u1 = EndTangent(prev.offset), u2 = StartTangent(next.offset);
        double a, b;
        // e + a u1 = s + b u2
        if (!SolveLin2(u1.x, -u2.x, u1.y, -u2.y, double(s.x) - e.x, double(s.y) - e.y, a, b))
            return false;
        const double reach = MeetReach * accuracy_;
        if (!(std::fabs(a) <= reach && std::fabs(b) <= reach)) return false;
        at = F({e.x + a * u1.x, e.y + a * u1.y});
    }
    MoveEnd(prev.offset, at);
    MoveStart(next.offset, at);
    return true;
}

void ContourOffsetter::Join(Path& raw, const floatPoint& e, const floatPoint& s,
                            const floatPoint& vertex, const Vec& t1, const Vec& t2) {
    double cross = t1.x * t2.y - t1.y * t2.x, dot = t1.x * t2.x + t1.y * t2.y;
    double turn = std::atan2(cross, dot);
    // A reversal turns round the outer side of the end, whichever way the rounding went.
    bool reversal = dot < 0 && std::fabs(cross) < ReversalSine;
    if (reversal) turn = distance_ > 0 ? Pi : -Pi;
    bool outer = turn * distance_ > 0;
    if (!outer) {
        // The moved members overlap: the loop through the corner winds like the contour.
        if (Dist(e, s) > accuracy_) raw.Append(vertex.x, vertex.y);
        raw.Append(s.x, s.y);
        return;
    }
    switch (mode_) {
    case OUTLINE_MITRE:
        MitreJoin(raw, e, s, vertex, t1, t2, turn);
        break;
    case OUTLINE_BEVEL:
        raw.Append(s.x, s.y);
        bevels_.push_back({e, s});
        break;
    default:
        RoundJoin(raw, e, s, vertex, turn);
        break;
    }
}

void ContourOffsetter::RoundJoin(Path& raw, const floatPoint& e, const floatPoint& s,
                                 const floatPoint& vertex, double turn) const {
    // Cubics of at most a quarter turn each, with the handles of the best circular fit.
    int n = std::max(1, int(std::ceil(std::fabs(turn) / (Pi / 2) - 1e-9)));
    double step = turn / n;
    double k = 4.0 / 3 * std::tan(step / 4);
    Pt c = P(vertex);
    Pt r0{double(e.x) - c.x, double(e.y) - c.y};
    auto radius = [&](double angle) {
        double cs = std::cos(angle), sn = std::sin(angle);
        return Pt{r0.x * cs - r0.y * sn, r0.x * sn + r0.y * cs};
    };
    for (int i = 0; i < n; ++i) {
        Pt a = radius(i * step), b = radius((i + 1) * step);
        // Handles along the tangents (the radius turned a quarter counter-clockwise).
        floatPoint c1 = F({c.x + a.x - k * a.y, c.y + a.y + k * a.x});
        floatPoint c2 = F({c.x + b.x + k * b.y, c.y + b.y - k * b.x});
        floatPoint end = i + 1 == n ? s : F({c.x + b.x, c.y + b.y});
        raw.Append(c1.x, c1.y, c2.x, c2.y, end.x, end.y);
    }
}

void ContourOffsetter::MitreJoin(Path& raw, const floatPoint& e, const floatPoint& s,
                                 const floatPoint& vertex, const Vec& t1, const Vec& t2,
                                 double turn) const {
    Pt v = P(vertex);
    Pt ev{double(e.x) - v.x, double(e.y) - v.y}, sv{double(s.x) - v.x, double(s.y) - v.y};
    double dot = t1.x * t2.x + t1.y * t2.y;
    // The angle between the members is pi - |turn|.
    if (Pi - std::fabs(turn) >= limitAngle_ && 1 + dot > 1e-9) {
        floatPoint tip = F({v.x + (ev.x + sv.x) / (1 + dot), v.y + (ev.y + sv.y) / (1 + dot)});
        raw.Append(tip.x, tip.y);
        raw.Append(s.x, s.y);
        return;
    }
    // Cut square across the bisector b at the mitre length of the limit angle.
    double reach = std::fabs(distance_) / std::sin(limitAngle_ / 2);
    Pt b{ev.x + sv.x, ev.y + sv.y};
    double bl = std::hypot(b.x, b.y);
    if (bl > 1e-3 * std::fabs(distance_)) {
        b = {b.x / bl, b.y / bl};
    } else {
        // Nearly a reversal: the moved ends lie almost opposite each other and their sum
        // points anywhere; the bisector is the direction between the tangents.
        b = {t1.x - t2.x, t1.y - t2.y};
        double l = std::hypot(b.x, b.y);
        b = l > 0 ? Pt{b.x / l, b.y / l} : Pt{t1.x, t1.y};
    }
    double along1 = t1.x * b.x + t1.y * b.y, along2 = -(t2.x * b.x + t2.y * b.y);
    if (!(along1 > 0) || !(along2 > 0)) {
        raw.Append(s.x, s.y);
        return;
    }
    double u = (reach - (ev.x * b.x + ev.y * b.y)) / along1;
    double w = (reach - (sv.x * b.x + sv.y * b.y)) / along2;
    floatPoint p1 = F({double(e.x) + u * t1.x, double(e.y) + u * t1.y});
    floatPoint p2 = F({double(s.x) - w * t2.x, double(s.y) - w * t2.y});
    raw.Append(p1.x, p1.y);
    raw.Append(p2.x, p2.y);
    raw.Append(s.x, s.y);
}
