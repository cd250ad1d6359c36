#include "pathkit/MemberOffsetter.h"

#include <cmath>
#include <numbers>

#include "pathkit/BBox.h"
#include "pathkit/BezierSplit.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"

namespace {

constexpr double QuarterTurn = std::numbers::pi / 2;
// Splitting stops short of the array limit: each of the at most MaxDepth halves still waiting
// on the recursion adds one more piece.
constexpr std::uint16_t MaxPieces = PathMemberDynArr::DefaultLimit - 2 * MemberOffsetter::MaxDepth;

struct Vec {
    double x, y;
};

Vec Diff(const floatPoint& to, const floatPoint& from) {
    return {double(to.x) - from.x, double(to.y) - from.y};
}

double Length(const Vec& v) {
    return std::hypot(v.x, v.y);
}

bool IsFinite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A segment with its box, for the crossing tests of the splitter.
struct Segment {
    Segment(const floatPoint& a, const floatPoint& b) : a(a), b(b), box(a.x, a.y, b.x, b.y) {}

    floatPoint a;
    floatPoint b;
    floatBBox box;
};

bool BoxesMeet(const floatBBox& p, const floatBBox& q) {
    return p.left <= q.right && q.left <= p.right && p.bottom <= q.top && q.bottom <= p.top;
}

// Both segment parameters within [0, 1], ends included; parallel segments never cross.
bool Crosses(const Segment& p, const Segment& q) {
    if (!BoxesMeet(p.box, q.box)) return false;
    Vec u = Diff(p.b, p.a), v = Diff(q.b, q.a), w = Diff(q.a, p.a);
    // p.a + s u = q.a + r v
    double s, r;
    if (!SolveLin2(u.x, -v.x, u.y, -v.y, w.x, w.y, s, r)) return false;
    return s >= 0 && s <= 1 && r >= 0 && r <= 1;
}

// The unit normal to the right of a direction; zero for a zero direction.
Vec RightNormal(const Vec& dir) {
    double len = Length(dir);
    if (!(len > 0)) return {0, 0};
    return {dir.y / len, -dir.x / len};
}

floatPoint Moved(const floatPoint& p, const Vec& v, double f) {
    return floatPoint(float(p.x + v.x * f), float(p.y + v.y * f));
}

} // namespace

MemberOffsetter::MemberOffsetter(float acc, float ratio)
    : accuracy(Path::ValidAccuracy(acc)), handleRatio(ratio >= 1 ? ratio : DefaultHandleRatio),
      depth(0) {}

void MemberOffsetter::Split(const PathMember& m) {
    pieces.Reset();
    depth = 0;
    SplitPiece(m);
}

void MemberOffsetter::SplitPiece(const PathMember& m) {
    PathMember piece = m;
    if (piece.IsCurve()) {
        if (piece.ctrl1 == piece.start) piece.ctrl1 = piece.ctrl2;
        if (piece.ctrl2 == piece.end) piece.ctrl2 = piece.ctrl1;
    }
    // A piece with a point that is not finite would never pass the tests.
    bool keep = !piece.IsCurve() || depth >= MaxDepth || pieces.Filled() >= MaxPieces ||
                !IsFinite(piece.start) || !IsFinite(piece.ctrl1) || !IsFinite(piece.ctrl2) ||
                !IsFinite(piece.end) || IsWellBehaved(piece);
    if (keep) {
        pieces.Append(piece);
        return;
    }
    // The halves come from the member as given: cutting the copy with a moved control point
    // would carry its different shape into every piece below.
    PathMember left, right;
    HalveMember(m, left, right);
    ++depth;
    SplitPiece(left);
    // The right half starts at the stored end of the left half's last piece: the pieces join
    // whatever precision the compiler keeps the halving midpoints in.
    right.start = pieces.last()->end;
    SplitPiece(right);
    --depth;
}

bool MemberOffsetter::IsWellBehaved(PathMember& piece) const {
    if (!(std::fabs(piece.Spin()) <= QuarterTurn)) return false;
    if (piece.IsLine(accuracy)) return true;
    double ratio = Length(Diff(piece.ctrl1, piece.start)) / Length(Diff(piece.end, piece.ctrl2));
    double limit = handleRatio;
    if (!(ratio >= 1 / limit && ratio <= limit)) return false;
    if (Crosses(Segment(piece.start, piece.end), Segment(piece.ctrl1, piece.ctrl2))) return false;
    return !Crosses(Segment(piece.start, piece.ctrl1), Segment(piece.ctrl2, piece.end));
}

PathMember MemberOffsetter::Offset(const PathMember& piece, float d) {
    PathMember out;
    if (!piece.IsCurve()) {
        Vec n = RightNormal(Diff(piece.end, piece.start));
        out.flags = 0;
        out.start = out.ctrl1 = Moved(piece.start, n, d);
        out.end = out.ctrl2 = Moved(piece.end, n, d);
        return out;
    }
    Vec chord = Diff(piece.end, piece.start);
    // A handle on its end point leaves the tangent there to the other handle.
    Vec dir1 = Diff(piece.ctrl1, piece.start), dir2 = Diff(piece.end, piece.ctrl2);
    if (dir1.x == 0 && dir1.y == 0) dir1 = Diff(piece.ctrl2, piece.start);
    if (dir1.x == 0 && dir1.y == 0) dir1 = chord;
    if (dir2.x == 0 && dir2.y == 0) dir2 = Diff(piece.end, piece.ctrl1);
    if (dir2.x == 0 && dir2.y == 0) dir2 = chord;
    Vec n1 = RightNormal(dir1), n2 = RightNormal(dir2);

    // The normals cross at start + a n1 = end + b n2 (the centre of a circular arc); there
    // the moved ends lie at |a - d| and |b - d| instead of |a| and |b|.
    double ratio1 = 1, ratio2 = 1, a, b;
    if (SolveLin2(n1.x, -n2.x, n1.y, -n2.y, chord.x, chord.y, a, b) && a != 0 && b != 0) {
        ratio1 = std::fabs(a - d) / std::fabs(a);
        ratio2 = std::fabs(b - d) / std::fabs(b);
    }
    out.flags = PM_CURVE;
    out.start = Moved(piece.start, n1, d);
    out.end = Moved(piece.end, n2, d);
    out.ctrl1 = Moved(out.start, Diff(piece.ctrl1, piece.start), ratio1);
    out.ctrl2 = Moved(out.end, Diff(piece.ctrl2, piece.end), ratio2);
    return out;
}

void MemberOffsetter::OffsetMember(const PathMember& m, float d, PathMemberDynArr& out) {
    Split(m);
    for (const PathMember& piece : pieces)
        out.Append(Offset(piece, d));
}
