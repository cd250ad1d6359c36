#include "geomkit/WClipBezierSegment.h"

#include <vector>

#include "geomkit/WEquationSolve.h"
#include "geomkit/WSegment.h"
#include "geomkit/WTransMatrix.h"

namespace {

// Position code of a side letter.
int SideCode(char side) {
    switch (side) {
    case 'B':
        return 5;
    case 'F':
        return 3;
    case 'J':
        return 1;
    case 'L':
        return 7;
    default:
        return 0;
    }
}

// Cubic Bezier of one coordinate at t.
double Bezier(const double v[4], double t) {
    const double mt = 1 - t;
    return mt * mt * mt * v[0] + 3 * t * mt * mt * v[1] + 3 * t * t * mt * v[2] + t * t * t * v[3];
}

struct Pass {
    char side;
    int coordinate;
    bool negate; // keeps the part below the axis
};

} // namespace

WClipBezierSegment::WClipBezierSegment()
    : m_xMin(0), m_xMax(0), m_yMin(0), m_yMax(0), m_startPosition(0), m_endPosition(0),
      m_capacity(kMaxPieces), m_pieces(new WKeyedList<COXSPtr<WSegment>>), m_count(0) {}

WClipBezierSegment::~WClipBezierSegment() = default;

void WClipBezierSegment::Initialize(double x1, double y1, double x2, double y2) {
    m_xMin = x1;
    m_yMin = y1;
    m_xMax = x2;
    m_yMax = y2;
    m_count = 0;
}

void WClipBezierSegment::Initialize(const WPont<float>& p1, const WPont<float>& p2) {
    Initialize(p1.x, p1.y, p2.x, p2.y);
}

void WClipBezierSegment::Initialize(const WPont<float>& c, double size) {
    Initialize(c, size, size);
}

void WClipBezierSegment::Initialize(const WPont<float>& c, double w, double h) {
    Initialize(c.x - w / 2, c.y - h / 2, c.x + w / 2, c.y + h / 2);
}

const WInterval& WClipBezierSegment::GetInterval(int i) const {
    static const WInterval none;
    return i >= 0 && i < m_count ? m_intervals[i] : none;
}

COXSPtr<WSegment> WClipBezierSegment::GetPiece(int i) const {
    return i >= 0 && i < m_count ? m_pieces->GetByIndex(i) : COXSPtr<WSegment>();
}

const CString& WClipBezierSegment::GetSides(int k) const {
    static const CString none;
    return k >= 0 && k < kGapCount ? m_sides[k] : none;
}

const WClipBezierSegment::GapTurn& WClipBezierSegment::GetGapTurn(int k) const {
    static const GapTurn none;
    return k >= 0 && k < kGapCount ? m_turns[k] : none;
}

int WClipBezierSegment::BelowAxis(double a, double b, double c, double d, double axis) const {
    return a <= axis && b < axis && c < axis && d <= axis;
}

int WClipBezierSegment::AboveAxis(double a, double b, double c, double d, double axis) const {
    return a >= axis && b > axis && c > axis && d >= axis;
}

int WClipBezierSegment::CutBezierAtAxis(const WSegment* s, WInterval& first, WInterval& second,
                                        double axis, int coordinate) {
    if (!s) return -1;
    // Coordinates of P0, C1, C2, P3; a coordinate other than x or y reads as 0 throughout.
    double v[4] = {0, 0, 0, 0};
    if (coordinate == 0 || coordinate == 1) {
        auto pick = [coordinate](const WPont<float>& p) {
            return coordinate ? double(p.y) : double(p.x);
        };
        v[0] = pick(s->GetP0());
        v[3] = pick(s->GetP3());
        if (s->IsCurve()) {
            v[1] = pick(s->GetC1());
            v[2] = pick(s->GetC2());
        } else {
            v[1] = v[0] + (v[3] - v[0]) / 3;
            v[2] = v[3] + (v[0] - v[3]) / 3;
        }
    }
    if (BelowAxis(v[0], v[1], v[2], v[3], axis)) return -1;
    if (AboveAxis(v[0], v[1], v[2], v[3], axis)) return 0;

    WEquationSolve eq(v[3] - 3 * v[2] + 3 * v[1] - v[0], 3 * (v[0] - 2 * v[1] + v[2]),
                      3 * (v[1] - v[0]), v[0] - axis);
    eq.Solve();
    const int roots = eq.Normalize(1);

    // The roots cut [0, 1] into pieces; each is kept when its middle lies above the axis, and
    // neighbours that are both kept join. A root where the curve only touches the axis thus
    // neither splits a kept part nor claims a part that lies below.
    double bounds[5];
    int n = 0;
    bounds[n++] = 0;
    for (int i = 0; i < roots && i < 3; ++i)
        bounds[n++] = eq.GetRoot(i);
    bounds[n++] = 1;
    double lower[4], upper[4];
    int kept = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const double lo = bounds[i], hi = bounds[i + 1];
        if (!(hi > lo) || !(Bezier(v, (lo + hi) / 2) > axis)) continue;
        if (kept > 0 && upper[kept - 1] == lo)
            upper[kept - 1] = hi;
        else if (kept < 4) {
            lower[kept] = lo;
            upper[kept] = hi;
            ++kept;
        }
    }
    if (kept == 0) return -1;
    if (kept == 1 && lower[0] == 0 && upper[0] == 1) return 0;
    first.Initialize(lower[0], upper[0], 0);
    if (kept == 1) return 1;
    second.Initialize(lower[1], upper[1], 0);
    return 2;
}

void WClipBezierSegment::TransformRelativeIntervalToAbsolute(const WInterval& outer,
                                                             WInterval& rel) const {
    const double lo = outer.Dist() * rel.Lower() + outer.Lower();
    const double hi = outer.Dist() * rel.Upper() + outer.Lower();
    rel.Initialize(lo, hi, rel.IsInside() ? 0 : 1);
}

int WClipBezierSegment::Position(const WPont<float>& p) const {
    const bool right = p.x >= m_xMax, left = p.x < m_xMin;
    const bool above = p.y >= m_yMax, below = p.y < m_yMin;
    if (right) return above ? 2 : (below ? 8 : 1);
    if (left) return above ? 4 : (below ? 6 : 5);
    return above ? 3 : (below ? 7 : 0);
}

int WClipBezierSegment::DetermineDirection(const CString& sides) const {
    int sum = 0;
    for (int i = 1; i < sides.GetLength(); ++i) {
        const char p = sides[i - 1], c = sides[i];
        if ((p == 'F' && c == 'B') || (p == 'L' && c == 'J') || (p == 'J' && c == 'F') ||
            (p == 'B' && c == 'L'))
            ++sum;
        else if ((p == 'L' && c == 'B') || (p == 'B' && c == 'F') || (p == 'F' && c == 'J') ||
                 (p == 'J' && c == 'L'))
            --sum;
    }
    return sum > 0 ? 1 : (sum < 0 ? -1 : 0);
}

int WClipBezierSegment::CutBezier(const WSegment* s, int trackSides) {
    m_count = 0;
    m_pieces->Clear();
    if (trackSides) {
        for (int k = 0; k < kGapCount; ++k) {
            m_sides[k].Empty();
            m_turns[k] = GapTurn();
        }
        if (s) {
            m_startPosition = Position(s->GetP0());
            m_endPosition = Position(s->GetP3());
        }
    }
    if (!s) return 0;

    // Working lists; gaps always has one entry more than pieces.
    std::vector<COXSPtr<WSegment>> pieces;
    std::vector<WInterval> intervals;
    std::vector<CString> gaps;
    const CString left("B");

    COXSPtr<WSegment> whole = s->Copy();
    WInterval a, b;
    switch (CutBezierAtAxis(whole.Get(), a, b, m_xMin, 0)) {
    case 0:
        pieces.push_back(whole);
        intervals.emplace_back();
        intervals.back().Initialize(0, 1, 0);
        gaps.assign(2, CString());
        break;
    case 1:
        pieces.push_back(whole->Cutoff(a));
        intervals.push_back(a);
        gaps.push_back(a.Lower() != 0 ? left : CString());
        gaps.push_back(a.Upper() != 1 ? left : CString());
        break;
    case 2:
        pieces.push_back(whole->Cutoff(a));
        pieces.push_back(whole->Cutoff(b));
        intervals.push_back(a);
        intervals.push_back(b);
        gaps.push_back(a.Lower() != 0 ? left : CString());
        gaps.push_back(left);
        gaps.push_back(b.Upper() != 1 ? left : CString());
        break;
    default:
        gaps.push_back(left);
        break;
    }

    const Pass passes[3] = {{'L', 1, false}, {'J', 0, true}, {'F', 1, true}};
    const double axes[3] = {m_yMin, m_xMax, m_yMax};
    WTransMatrix negating;
    negating.Negate();
    for (int p = 0; p < 3; ++p) {
        const CString side(passes[p].side, 1);
        const double axis = passes[p].negate ? -axes[p] : axes[p];
        for (int i = int(pieces.size()) - 1; i >= 0; --i) {
            const COXSPtr<WSegment> piece = pieces[i];
            WSegment test(*piece);
            if (passes[p].negate) test.AcceptLinearTrans(negating);
            const int result = CutBezierAtAxis(&test, a, b, axis, passes[p].coordinate);
            if (result == 0) continue;
            if (result < 0) {
                pieces.erase(pieces.begin() + i);
                intervals.erase(intervals.begin() + i);
                gaps[i] = gaps[i] + side + gaps[i + 1];
                gaps.erase(gaps.begin() + (i + 1));
                continue;
            }
            // Negation commutes with cutting, so the piece itself is cut at the same parameters.
            WInterval absA = a;
            TransformRelativeIntervalToAbsolute(intervals[i], absA);
            pieces[i] = piece->Cutoff(a);
            if (result == 1) {
                if (a.Lower() != 0) gaps[i] += side;
                if (a.Upper() != 1) gaps[i + 1] = side + gaps[i + 1];
                intervals[i] = absA;
                continue;
            }
            WInterval absB = b;
            TransformRelativeIntervalToAbsolute(intervals[i], absB);
            pieces.insert(pieces.begin() + (i + 1), piece->Cutoff(b));
            intervals[i] = absA;
            intervals.insert(intervals.begin() + (i + 1), absB);
            gaps.insert(gaps.begin() + (i + 1), CString());
            if (a.Lower() != 0) gaps[i] += side;
            gaps[i + 1] = side + gaps[i + 1];
            if (b.Upper() != 1) gaps[i + 2] = side + gaps[i + 2];
        }
    }

    m_count = int(pieces.size()) < m_capacity ? int(pieces.size()) : m_capacity;
    for (int i = 0; i < m_count; ++i) {
        m_intervals[i] = intervals[i];
        m_pieces->Append(pieces[i]);
    }
    if (trackSides) {
        for (int k = 0; k <= m_count; ++k)
            m_sides[k] = gaps[k];
        ComputeGapTurns();
    }
    return m_count;
}

void WClipBezierSegment::ComputeGapTurns() {
    for (int k = 0; k <= m_count; ++k) {
        const CString& sides = m_sides[k];
        if (sides.IsEmpty()) continue;
        GapTurn& turn = m_turns[k];
        turn = GapTurn();
        const int from = k == 0 ? m_startPosition : SideCode(sides[0]);
        const int to = k < m_count ? SideCode(sides[sides.GetLength() - 1]) : m_endPosition;
        const int direction = DetermineDirection(sides);
        int n = to - from;
        if (direction == 1 && n < 0)
            n += 8;
        else if (direction == -1 && n > 0)
            n -= 8;
        else if (direction == 0) {
            if (n < -4)
                n += 8;
            else if (n > 4)
                n -= 8;
        }
        if (k > 0) {
            turn.exitFlag = 1;
            turn.exitTurn = n;
        } else if (m_count > 0) {
            turn.entryFlag = 1;
            turn.entryTurn = n;
        } else {
            turn.exitTurn = n;
        }
    }
}
