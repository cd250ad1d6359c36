#include "geomkit/WSegment.h"

#include <cmath>

#include "geomkit/KArchive.h"
#include "geomkit/WAbsPrimDrawingDevice.h"
#include "geomkit/WEquationSolve.h"
#include "geomkit/WInterval.h"
#include "geomkit/WNode.h"
#include "geomkit/WQSegmentClickOn.h"
#include "geomkit/WSegmentSlicer.h"
#include "geomkit/WTransMatrix.h"

namespace {

using P = WPont<double>;
using V = WVektor<double>;

// Flattening for drawing: the smallest tolerance honoured and the deepest subdivision. They
// bound the work for a zero, negative or NaN tolerance from the device.
constexpr double kMinFlatness = 1e-4;
constexpr int kMaxFlattenDepth = 16;

bool IsFinite(const WPont<float>& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool IsFinite(const WVektor<float>& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

P Mid(const P& a, const P& b) {
    return P((a.x + b.x) / 2, (a.y + b.y) / 2);
}

P Lerp(const P& a, const P& b, double t) {
    return P(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
}

// The smallest (or, with `larger`, the largest) value of one coordinate over the end points
// and, for a curve, the control points.
double ControlExtreme(const WSegment& s, float WPont<float>::*axis, bool larger) {
    auto better = [larger](double a, double b) { return larger ? a > b : a < b; };
    double p0 = s.GetP0().*axis, p3 = s.GetP3().*axis;
    double v = better(p0, p3) ? p0 : p3;
    if (s.IsCurve()) {
        double c1 = s.GetC1().*axis, c2 = s.GetC2().*axis;
        if (better(c1, v)) v = c1;
        if (better(c2, v)) v = c2;
    }
    return v;
}

} // namespace

WSegment::WSegment(const WSegment& s)
    : WObject(), m_p0(s.m_p0), m_v1(s.m_v1), m_v2(s.m_v2), m_p3(s.m_p3), m_flags(s.m_flags) {}

WSegment& WSegment::operator=(const WSegment& s) {
    m_p0 = s.m_p0;
    m_v1 = s.m_v1;
    m_v2 = s.m_v2;
    m_p3 = s.m_p3;
    m_flags = s.m_flags;
    return *this;
}

WSegment::~WSegment() = default;

void WSegment::Initialize(const WPont<float>& p0, const WPont<float>& p3) {
    m_p0 = p0;
    m_p3 = p3;
    m_v1 = m_v2 = WVektor<float>();
    m_flags &= BYTE(~eCurve);
}

void WSegment::Initialize(const WPont<float>& p0, const WVektor<float>& v1,
                          const WVektor<float>& v2, const WPont<float>& p3) {
    m_p0 = p0;
    m_v1 = v1;
    m_v2 = v2;
    m_p3 = p3;
    if (v1.x != 0 || v1.y != 0 || v2.x != 0 || v2.y != 0)
        m_flags |= eCurve;
    else
        m_flags &= BYTE(~eCurve);
    m_flags |= eVisible;
}

void WSegment::Initialize(const WPont<float>& p0, const WPont<float>& c1, const WPont<float>& c2,
                          const WPont<float>& p3) {
    Initialize(p0, c1 - p0, c2 - p3, p3);
}

void WSegment::Initialize(const WNode& a, const WNode& b) {
    if (a.HasSecondVector() || b.HasFirstVector()) {
        m_p0 = a.GetAnchor();
        m_v1 = a.HasSecondVector() ? a.GetSecondVector() : WVektor<float>();
        m_v2 = b.HasFirstVector() ? b.GetFirstVector() : WVektor<float>();
        m_p3 = b.GetAnchor();
        m_flags |= eCurve;
    } else {
        Initialize(a.GetAnchor(), b.GetAnchor());
    }
}

void WSegment::Serialize(KArchive& ar) {
    if (ar.IsStoring()) {
        ar.StoreByte(m_flags);
        ar.StoreFloat(m_p0.x).StoreFloat(m_p0.y).StoreFloat(m_v1.x).StoreFloat(m_v1.y);
        ar.StoreFloat(m_v2.x).StoreFloat(m_v2.y).StoreFloat(m_p3.x).StoreFloat(m_p3.y);
    } else {
        ar.LoadByte(m_flags);
        ar.LoadFloat(m_p0.x).LoadFloat(m_p0.y).LoadFloat(m_v1.x).LoadFloat(m_v1.y);
        ar.LoadFloat(m_v2.x).LoadFloat(m_v2.y).LoadFloat(m_p3.x).LoadFloat(m_p3.y);
    }
}

COXSPtr<WSegment> WSegment::Copy() const {
    return COXSPtr<WSegment>(new WSegment(*this));
}

int WSegment::Question(WQuestionSegment& q) const {
    return q.Answer(this);
}

COXSPtr<WBezierRef> WSegment::IsPointNear(const WPont<float>& p, float tol) const {
    WQSegmentClickOn click;
    click.Initialize(p, tol);
    if (!click.Answer(this)) return COXSPtr<WBezierRef>();
    return COXSPtr<WBezierRef>(new WSegmentRef(click.GetClickedParam()));
}

int WSegment::HitTest(const WPont<float>& p, float tol) const {
    WQSegmentClickOn click;
    click.Initialize(p, tol);
    return click.Answer(this) ? 1 : 0;
}

// ---- evaluation

WPont<float> WSegment::CoordAtParam(double t) const {
    P p0(m_p0), p3(m_p3);
    if (!IsCurve()) return WPont<float>(Lerp(p0, p3, t));
    P c1(GetC1()), c2(GetC2());
    double mt = 1 - t;
    double b0 = mt * mt * mt, b1 = 3 * t * mt * mt, b2 = 3 * t * t * mt, b3 = t * t * t;
    return WPont<float>(float(b0 * p0.x + b1 * c1.x + b2 * c2.x + b3 * p3.x),
                        float(b0 * p0.y + b1 * c1.y + b2 * c2.y + b3 * p3.y));
}

WVektor<float> WSegment::GradientAtParam(double t) const {
    if (!IsCurve()) return m_p3 - m_p0;
    bool v1Zero = m_v1.x == 0 && m_v1.y == 0, v2Zero = m_v2.x == 0 && m_v2.y == 0;
    if ((t == 0 && v1Zero) || (t == 1 && v2Zero)) {
        // The plain derivative vanishes at an end without a control vector: look just inside.
        if (v1Zero && v2Zero && SquaredDistance(m_p0, m_p3) < 1e-20) return WVektor<float>(1, 0);
        t = t == 0 ? 0.001 : 0.999;
    }
    double k1 = 3 - 12 * t + 9 * t * t, k2 = 6 * t - 9 * t * t, k3 = 6 * t - 6 * t * t;
    double cx = double(m_p3.x) - m_p0.x, cy = double(m_p3.y) - m_p0.y;
    WVektor<float> g(float(k1 * m_v1.x + k2 * m_v2.x + k3 * cx),
                     float(k1 * m_v1.y + k2 * m_v2.y + k3 * cy));
    if (g.x == 0 && g.y == 0) return WVektor<float>(1, 0);
    return g;
}

// ---- splitting and shaping

void WSegment::Division(float t, COXSPtr<WSegment>& first, COXSPtr<WSegment>& second) const {
    WSegment& a = *first; // an empty target throws before anything changes
    WSegment& b = *second;
    P p0(m_p0), p3(m_p3);
    BYTE flags = m_flags;
    if (IsCurve()) {
        P c1(GetC1()), c2(GetC2());
        P q0 = Lerp(p0, c1, t), q1 = Lerp(c1, c2, t), q2 = Lerp(c2, p3, t);
        P r0 = Lerp(q0, q1, t), r1 = Lerp(q1, q2, t), s = Lerp(r0, r1, t);
        // Either target may be this segment: everything is computed before it is written.
        WPont<float> sf(s);
        WVektor<float> av1(q0 - p0), av2(r0 - s), bv1(r1 - s), bv2(q2 - p3);
        WPont<float> op0 = m_p0, op3 = m_p3;
        a.m_p0 = op0;
        a.m_v1 = av1;
        a.m_v2 = av2;
        a.m_p3 = sf;
        b.m_p0 = sf;
        b.m_v1 = bv1;
        b.m_v2 = bv2;
        b.m_p3 = op3;
    } else {
        WPont<float> sf(Lerp(p0, p3, t)), op0 = m_p0, op3 = m_p3;
        a.m_p0 = op0;
        a.m_p3 = sf;
        b.m_p0 = sf;
        b.m_p3 = op3;
    }
    a.m_flags = flags;
    b.m_flags = flags;
}

COXSPtr<WSegment> WSegment::Cutoff(double t0, double t1) const {
    COXSPtr<WSegment> piece(new WSegment);
    if (!IsCurve()) {
        piece->Initialize(CoordAtParam(t0), CoordAtParam(t1));
        return piece;
    }
    // Plain derivative, without the end-point rules of GradientAtParam.
    auto derivative = [this](double t) {
        double k1 = 3 - 12 * t + 9 * t * t, k2 = 6 * t - 9 * t * t, k3 = 6 * t - 6 * t * t;
        return V(k1 * m_v1.x + k2 * m_v2.x + k3 * (double(m_p3.x) - m_p0.x),
                 k1 * m_v1.y + k2 * m_v2.y + k3 * (double(m_p3.y) - m_p0.y));
    };
    double f = (t1 - t0) / 3;
    piece->Initialize(CoordAtParam(t0), WVektor<float>(derivative(t0) * f),
                      WVektor<float>(derivative(t1) * -f), CoordAtParam(t1));
    return piece;
}

COXSPtr<WSegment> WSegment::Cutoff(const WInterval& i) const {
    return Cutoff(i.Lower(), i.Upper());
}

void WSegment::MakeArcShape(const WPont<float>& centre, const WPont<float>& start,
                            const WPont<float>& end) {
    m_p0 = start;
    m_p3 = end;
    V a = V(start - centre), b = V(end - centre);
    double aa = a.SquaredLength(), bb = b.SquaredLength();
    double phi = 0;
    if (aa != 0 && bb != 0) {
        double ratio = Dot(a, b) / (std::sqrt(aa) * std::sqrt(bb));
        phi = std::acos(ratio > 1 ? 1 : (ratio < -1 ? -1 : ratio));
    }
    double k = phi * 0.3484320557491289; // φ / 2.87
    m_v1 = WVektor<float>(float(k * -a.y), float(k * a.x));
    double kf = float(k);
    m_v2 = WVektor<float>(float(-kf * -b.y), float(-kf * b.x));
    // Crossing handles mean the anticlockwise arc is the major one: take the other way round.
    if (Distance(m_p0, m_p3) < double(float(Distance(GetC1(), GetC2())))) {
        m_v1 = -m_v1;
        m_v2 = -m_v2;
    }
    m_flags |= eCurve;
}

void WSegment::MakeQuarterEllipseShape(const WPont<float>& p0, const WPont<float>& p3, double rx,
                                       double ry, double angle) {
    m_p0 = p0;
    m_p3 = p3;
    float h = float(rx * 0.5522847498307935), v = float(ry * 0.5522847498307935);
    double r = std::fmod(angle, 360.0);
    if (r < 0) r += 360;
    double degrees = std::trunc(r); // stays a double: NaN matches no row
    if (degrees == 0) {
        m_v1 = WVektor<float>(0, v);
        m_v2 = WVektor<float>(h, 0);
    } else if (degrees == 90) {
        m_v1 = WVektor<float>(-h, 0);
        m_v2 = WVektor<float>(0, v);
    } else if (degrees == 180) {
        m_v1 = WVektor<float>(0, -v);
        m_v2 = WVektor<float>(-h, 0);
    } else {
        m_v1 = WVektor<float>(h, 0);
        m_v2 = WVektor<float>(0, -v);
    }
    m_flags |= eCurve;
}

// ---- transformation

void WSegment::AcceptLinearTrans(const WTransMatrix& m) {
    m.Transform(m_p0);
    m.Transform(m_p3);
    if (IsCurve()) {
        m.Transform(m_v1);
        m.Transform(m_v2);
    }
}

void WSegment::AcceptLinearTrans(const WTransMatrix& m, const COXSPtr<WSegmentRef>& ref) {
    double t = ref->GetParam();
    P at(CoordAtParam(t));
    P moved = m.GetTransformed(at);
    V delta = moved - at;
    if (!std::isfinite(delta.x) || !std::isfinite(delta.y)) return;
    // The handle weights below vanish at the ends; there the end point itself moves.
    if (t == 0) {
        m_p0 = WPont<float>(P(m_p0) + delta);
        return;
    }
    if (t == 1) {
        m_p3 = WPont<float>(P(m_p3) + delta);
        return;
    }
    double w = 2 * t * t - 2 * t + 1;
    m_v1 = WVektor<float>(V(m_v1) + delta / (3 * t * w));
    m_v2 = WVektor<float>(V(m_v2) + delta / (3 * (1 - t) * w));
}

void WSegment::AddVector(const WVektor<float>& d, const COXSPtr<WSegmentRef>& ref) {
    AcceptLinearTrans(WTransMatrix(1, 0, 0, 1, d.x, d.y), ref);
}

WPont<float> WSegment::GetPointAt(const COXSPtr<WSegmentRef>& ref) const {
    return CoordAtParam(ref->GetParam());
}

WVektor<float> WSegment::GetNormalVectorAt(const COXSPtr<WSegmentRef>& ref) const {
    WVektor<float> g = GradientAtParam(ref->GetParam());
    return WVektor<float>(-g.y, g.x);
}

// ---- extremes and boxes

void WSegment::Extremes(int axis, double& min, double& max, double* tmin, double* tmax) const {
    double p0 = axis ? m_p0.y : m_p0.x, p3 = axis ? m_p3.y : m_p3.x;
    double v1 = axis ? m_v1.y : m_v1.x, v2 = axis ? m_v2.y : m_v2.x;
    double t0, t1;
    if (p0 >= p3) {
        max = p0;
        t1 = 0;
        min = p3;
        t0 = 1;
    } else {
        min = p0;
        t0 = 0;
        max = p3;
        t1 = 1;
    }
    if (IsCurve()) {
        // Roots of the derivative of the coordinate within [0, 1].
        WEquationSolve eq(9 * (v1 - v2) + 6 * (p0 - p3), 6 * (v2 - 2 * v1 - (p0 - p3)), 3 * v1);
        eq.Solve();
        int n = eq.Normalize(1);
        double c1 = p0 + v1, c2 = p3 + v2;
        for (int i = 0; i < n; ++i) {
            double t = eq.GetRoot(i), mt = 1 - t;
            double x =
                mt * mt * mt * p0 + 3 * t * mt * mt * c1 + 3 * t * t * mt * c2 + t * t * t * p3;
            if (x < min) {
                min = x;
                t0 = t;
            } else if (x > max) {
                max = x;
                t1 = t;
            }
        }
    }
    if (tmin) *tmin = t0;
    if (tmax) *tmax = t1;
}

void WSegment::ExactMinXMaxX(double& min, double& max, double* tmin, double* tmax) const {
    Extremes(0, min, max, tmin, tmax);
}

void WSegment::ExactMinYMaxY(double& min, double& max, double* tmin, double* tmax) const {
    Extremes(1, min, max, tmin, tmax);
}

double WSegment::MinX() const { return ControlExtreme(*this, &WPont<float>::x, false); }

double WSegment::MaxX() const { return ControlExtreme(*this, &WPont<float>::x, true); }

double WSegment::MinY() const { return ControlExtreme(*this, &WPont<float>::y, false); }

double WSegment::MaxY() const { return ControlExtreme(*this, &WPont<float>::y, true); }

WBoundingBox WSegment::GetControlBBox() const {
    WBoundingBox box(m_p0, m_p3);
    if (IsCurve()) {
        box.Expand(GetC1());
        box.Expand(GetC2());
    }
    return box;
}

int WSegment::ConvexShell(WPont<float> out[4]) const {
    if (!IsCurve()) {
        out[0] = m_p0;
        out[1] = m_p3;
        return 2;
    }
    WPont<float> pts[4] = {m_p0, GetC1(), GetC2(), m_p3};
    // Pivot: the leftmost point, looked up among C1, C2, P3, else P0.
    double minX = MinX();
    int pivot = 0;
    for (int i = 1; i < 4; ++i)
        if (pts[i].x == minX) {
            pivot = i;
            break;
        }
    WPont<float> t = pts[0];
    pts[0] = pts[pivot];
    pts[pivot] = t;
    // The three others by angle round the pivot.
    V rel[3];
    for (int i = 0; i < 3; ++i)
        rel[i] = V(pts[i + 1] - pts[0]);
    auto before = [](const V& a, const V& b) { return a.y * b.x - a.x * b.y < 0; };
    for (int i = 1; i < 3; ++i)
        for (int j = i; j > 0 && before(rel[j], rel[j - 1]); --j) {
            V s = rel[j];
            rel[j] = rel[j - 1];
            rel[j - 1] = s;
        }
    const V &f = rel[0], &m = rel[1], &l = rel[2];
    P pivotD(pts[0]);
    out[0] = pts[0];
    out[1] = WPont<float>(pivotD + f);
    if ((m.y - f.y) * (l.x - f.x) - (l.y - f.y) * (m.x - f.x) < 0) {
        out[2] = WPont<float>(pivotD + m);
        out[3] = WPont<float>(pivotD + l);
        return 4;
    }
    out[2] = WPont<float>(pivotD + l);
    out[3] = pts[0];
    return 3;
}

// ---- length

double WSegment::GetLength() const {
    if (!IsCurve()) return Distance(m_p0, m_p3);
    WSegmentLength length(this, 1.0f);
    return length.GetLength(1.0f);
}

int WSegment::GetTParamAtArcLength(double s, double& t) const {
    if (IsCurve()) {
        WSegmentTParamAtArcLength search(this);
        return search.GetParamAtLength(s, t);
    }
    double l = Distance(m_p0, m_p3);
    t = 0;
    if (!(s <= l)) return 0; // beyond the end, or NaN
    if (l != 0) t = s / l;   // a zero-length line answers t = 0
    return 1;
}

// ---- drawing

void WSegment::Draw(WAbsPrimDrawingDevice* device, const WBoundingBox&) const {
    if (!device) return;
    device->MoveTo(m_p0);
    if (!IsCurve()) {
        device->LineTo(m_p3);
        return;
    }
    double tol = device->ConvertLength(0.9);
    if (!(tol >= kMinFlatness)) tol = kMinFlatness;
    if (IsFinite(m_p0) && IsFinite(m_p3) && IsFinite(m_v1) && IsFinite(m_v2)) {
        const P p[4] = {P(m_p0), P(GetC1()), P(GetC2()), P(m_p3)};
        FlattenPiece(device, p, tol * tol, 0);
    } else {
        device->LineTo(m_p3);
    }
    device->EndCurve();
    device->CurveDone(0);
}

void WSegment::FlattenPiece(WAbsPrimDrawingDevice* device, const P p[4], double tol2,
                            int depth) const {
    double dx = p[3].x - p[0].x, dy = p[3].y - p[0].y;
    bool flat;
    if (depth == 0 && std::fabs(dx) < 0.00001 && std::fabs(dy) < 0.00001) {
        flat = false; // a closed loop is always split once
    } else {
        double limit = (dx * dx + dy * dy) * tol2;
        flat = true;
        for (int i = 1; i <= 2 && flat; ++i) {
            double cross = dx * (p[i].y - p[0].y) - dy * (p[i].x - p[0].x);
            flat = cross * cross <= limit;
        }
    }
    if (flat || depth >= kMaxFlattenDepth) {
        device->LineTo(p[3]);
        return;
    }
    P q0 = Mid(p[0], p[1]), q1 = Mid(p[1], p[2]), q2 = Mid(p[2], p[3]);
    P r0 = Mid(q0, q1), r1 = Mid(q1, q2), s = Mid(r0, r1);
    const P first[4] = {p[0], q0, r0, s};
    const P second[4] = {s, r1, q2, p[3]};
    FlattenPiece(device, first, tol2, depth + 1);
    FlattenPiece(device, second, tol2, depth + 1);
}
