#include "geomkit/TApproxWithBezierSegment.h"

#include <cfloat>
#include <cmath>

#include "geomkit/WSegmentPrepared.h"

namespace {

using P = WPont<double>;
using V = WVektor<double>;

// Angle between two chord vectors; 0 when either has length 0.
double TurningAngle(const V& a, const V& b) {
    double la = a.Length(), lb = b.Length();
    if (la == 0 || lb == 0) return 0;
    double c = Dot(a, b) / (la * lb);
    return std::acos(c > 1 ? 1 : (c < -1 ? -1 : c));
}

// Cumulative modified chord length from the chords d[1..n−1] (d[0] unused) and their vectors.
void ModifiedChord(const std::vector<double>& d, const std::vector<V>& chords,
                   std::vector<double>& out) {
    std::size_t n = d.size();
    std::vector<double> turn(n + 1, 0.0); // turn[i]: between chord i and chord i + 1
    for (std::size_t i = 1; i + 1 < n; ++i) {
        double sum = d[i] + d[i + 1];
        turn[i] =
            sum == 0 ? 0 : 1.5 * d[i] * d[i + 1] * TurningAngle(chords[i], chords[i + 1]) / sum;
    }
    out.assign(n, 0.0);
    for (std::size_t i = 1; i < n; ++i)
        out[i] = out[i - 1] + d[i] + turn[i - 1] + (i + 1 < n ? turn[i] : 0);
}

bool Finite(double v) {
    return std::isfinite(v);
}

} // namespace

TApproxWithBezierSegment::TApproxWithBezierSegment()
    : m_count(0), m_corrections(3), m_sumSquaredError(0), m_maxError(0), m_weighting(0),
      m_direction(nullptr), m_first(0), m_last(0), m_distancesPrepared(0), m_points(nullptr),
      m_type(eParamModifiedChord), m_a11(0), m_a12(0), m_a22(0), m_alpha(0) {}

TApproxWithBezierSegment::~TApproxWithBezierSegment() = default;

int TApproxWithBezierSegment::Distances(const WPointArray& points, int first, int last,
                                        PARAMETRIZATION_TYPE type, std::vector<double>& out) {
    int n = last - first + 1;
    if (n < 1) return 0;
    std::vector<V> chords(n);
    std::vector<double> d(n, 0.0);
    for (int i = 1; i < n; ++i) {
        chords[i] = V(points[first + i] - points[first + i - 1]);
        d[i] = chords[i].Length();
    }
    if (type == eParamAffineChord || type == eParamAffineModified) {
        // Chords measured with the inverse covariance of the run's points.
        double mx = 0, my = 0;
        for (int i = 0; i < n; ++i) {
            mx += points[first + i].x;
            my += points[first + i].y;
        }
        mx /= n;
        my /= n;
        double vx = 0, vy = 0, cov = 0;
        for (int i = 0; i < n; ++i) {
            double dx = points[first + i].x - mx, dy = points[first + i].y - my;
            vx += dx * dx;
            vy += dy * dy;
            cov += dx * dy;
        }
        vx /= n;
        vy /= n;
        cov /= n;
        double det = vx * vy - cov * cov;
        // Collinear points have no inverse covariance; they keep the Euclidean chords.
        if (det > 0 && Finite(det)) {
            for (int i = 1; i < n; ++i) {
                double dx = chords[i].x, dy = chords[i].y;
                double q = (vy * dx * dx - 2 * cov * dx * dy + vx * dy * dy) / det;
                d[i] = std::sqrt(q > 0 ? q : 0);
            }
        }
    }
    out.assign(n, 0.0);
    switch (type) {
    case eParamUniform:
        for (int i = 1; i < n; ++i)
            out[i] = i;
        return 1;
    case eParamCentripetal1:
    case eParamCentripetal:
        for (int i = 1; i < n; ++i)
            out[i] = out[i - 1] + std::sqrt(d[i]);
        return 1;
    case eParamAffineChord:
        for (int i = 1; i < n; ++i)
            out[i] = out[i - 1] + d[i];
        return 1;
    case eParamAffineModified:
    case eParamModifiedChord:
        ModifiedChord(d, chords, out);
        return 1;
    default:
        return 0;
    }
}

int TApproxWithBezierSegment::FillDistancesArray(const WPointArray* points,
                                                 PARAMETRIZATION_TYPE type) {
    m_distancesPrepared = 0;
    m_distances.clear();
    if (!points || points->empty() || type == eParamAffineChord || type == eParamAffineModified)
        return 0;
    if (!Distances(*points, 0, int(points->size()) - 1, type, m_distances)) return 0;
    m_distancesPrepared = 1;
    return 1;
}

int TApproxWithBezierSegment::Init(const WPointArray* points, int first, int last,
                                   PARAMETRIZATION_TYPE type) {
    if (!points || first < 0 || last < first || last >= int(points->size())) return 0;
    if (m_distancesPrepared && int(m_distances.size()) != int(points->size()))
        m_distancesPrepared = 0; // prepared for another sequence
    m_points = points;
    m_first = first;
    m_last = last;
    m_count = last - first + 1;
    m_type = type == eParamCentripetal1 ? eParamCentripetal : type;
    return MakeTheParamArray();
}

int TApproxWithBezierSegment::MakeTheParamArray() {
    std::vector<double> own;
    const double* dist;
    if (m_distancesPrepared) {
        dist = m_distances.data() + m_first;
    } else {
        if (!Distances(*m_points, m_first, m_last, m_type, own)) return 0;
        dist = own.data();
    }
    m_params.assign(m_count, 0.0);
    double total = dist[m_count - 1] - dist[0];
    if (total > 0 && Finite(total)) {
        for (int j = 1; j < m_count - 1; ++j)
            m_params[j] = (dist[j] - dist[0]) / total;
    } else {
        // All points on one spot: spread the parameters evenly instead of dividing by zero.
        for (int j = 1; j < m_count - 1; ++j)
            m_params[j] = double(j) / (m_count - 1);
    }
    if (m_count > 1) m_params[m_count - 1] = 1;
    return 1;
}

void TApproxWithBezierSegment::ComputeWeightsAndBasis() {
    m_weights.assign(m_count, 1.0);
    m_b0.resize(m_count);
    m_b1.resize(m_count);
    m_b2.resize(m_count);
    m_b3.resize(m_count);
    for (int j = 0; j < m_count; ++j) {
        double u = m_params[j], mu = 1 - u;
        m_b0[j] = mu * mu * mu;
        m_b1[j] = 3 * u * mu * mu;
        m_b2[j] = 3 * u * u * mu;
        m_b3[j] = u * u * u;
        if (j == 0 || j == m_count - 1) continue;
        double& w = m_weights[j];
        switch (m_weighting) {
        case 1:
            w = (u <= 0.1 || u >= 0.9) ? 8 : ((u <= 0.2 || u >= 0.8) ? 4 : 1);
            break;
        case 2:
            w = (u <= 0.3 || u >= 0.7) ? 1 : 0.1;
            break;
        case 3:
            w = (u <= 0.3 || u >= 0.7) ? 1.5 : 0.1;
            break;
        case 4:
            w = 10 * (u - 0.5) * (u - 0.5) + 0.1;
            break;
        default:
            break;
        }
    }
}

int TApproxWithBezierSegment::SolveLin2(double a, double b, double c, double d, double e, double f,
                                        double& x, double& y) {
    if (a == 0) return 0;
    double reduced = d - b * c / a;
    if (reduced == 0) return 0;
    y = (f - c * e / a) / reduced;
    x = (e - b * y) / a;
    return 1;
}

int TApproxWithBezierSegment::Solve() {
    const WPointArray& pts = *m_points;
    P p0(pts[m_first]), p3(pts[m_last]);
    ComputeWeightsAndBasis();
    double a11 = 0, a12 = 0, a22 = 0;
    V r1, r2;
    const bool constrained = m_direction != nullptr;
    for (int j = 1; j < m_count - 1; ++j) {
        double w = m_weights[j], b1 = m_b1[j], b2 = m_b2[j];
        P p(pts[m_first + j]);
        // The part of the point that the two free control points must explain.
        double k0 = constrained ? m_b0[j] + b1 : m_b0[j];
        V r(p.x - k0 * p0.x - m_b3[j] * p3.x, p.y - k0 * p0.y - m_b3[j] * p3.y);
        a11 += w * b1 * b1;
        a12 += w * b1 * b2;
        a22 += w * b2 * b2;
        r1 += r * (w * b1);
        r2 += r * (w * b2);
    }
    m_a11 = a11;
    m_a12 = a12;
    m_a22 = a22;
    // The thirds of the chord: the control points of the straight segment.
    P third1 = p0 + (p3 - p0) * (1.0 / 3), third2 = p3 + (p0 - p3) * (1.0 / 3);
    P c1, c2;
    if (constrained) {
        V v(*m_direction);
        double vv = v.SquaredLength();
        double den = vv * (a11 - (a22 != 0 ? a12 * a12 / a22 : 0));
        if (a22 == 0 || den == 0 || !Finite(den)) {
            m_alpha = -1;
            c1 = p0 - v;
            c2 = third2;
        } else {
            m_alpha = (Dot(v, r1) - a12 * Dot(v, r2) / a22) / den;
            c1 = p0 + v * m_alpha;
            c2 = P(0, 0) + (r2 - v * (m_alpha * a12)) / a22;
        }
    } else {
        double x1, y1, x2, y2;
        if (SolveLin2(a11, a12, a12, a22, r1.x, r2.x, x1, x2) &&
            SolveLin2(a11, a12, a12, a22, r1.y, r2.y, y1, y2)) {
            c1 = P(x1, y1);
            c2 = P(x2, y2);
        } else if (a11 != 0) {
            // The second equation depends on the first; consistent only when its reduced right
            // sides vanish too. Then C2 is free: take it on the chord and C1 from the first.
            double fx = r2.x - a12 * r1.x / a11, fy = r2.y - a12 * r1.y / a11;
            if (std::fabs(fx) > 1e-12 || std::fabs(fy) > 1e-12) return 0;
            c2 = third2;
            c1 = P(0, 0) + (r1 - V(c2.x, c2.y) * a12) / a11;
        } else {
            if (a12 != 0 || a22 != 0 || !r1.IsZero() || !r2.IsZero()) return 0;
            c1 = third1;
            c2 = third2;
        }
    }
    m_segment.Initialize(WPont<float>(p0), WPont<float>(c1), WPont<float>(c2), WPont<float>(p3));
    return 1;
}

void TApproxWithBezierSegment::CorrectParameters() {
    WSegmentPrepared prepared(m_segment);
    double length = m_segment.GetLength();
    if (!(length > 0) || !Finite(length)) return;
    const WPointArray& pts = *m_points;
    for (int j = 1; j < m_count - 1; ++j) {
        double u = m_params[j];
        V g(prepared.GradientAtParamIfPrepared(u));
        double gl = g.Length();
        if (gl != 0) g = g / gl;
        V diff(P(pts[m_first + j]) - P(prepared.CoordAtParamIfPrepared(u)));
        double step = Dot(diff, g) / length;
        if (Finite(step)) m_params[j] = u + step;
    }
}

double TApproxWithBezierSegment::ComputeError() {
    m_sumSquaredError = 0;
    m_maxError = 0;
    if (m_direction && !(m_alpha > 0)) {
        m_sumSquaredError = m_maxError = DBL_MAX;
        return m_sumSquaredError;
    }
    WSegmentPrepared prepared(m_segment);
    const WPointArray& pts = *m_points;
    for (int j = 1; j < m_count - 1; ++j) {
        double d2 =
            SquaredDistance(P(pts[m_first + j]), P(prepared.CoordAtParamIfPrepared(m_params[j])));
        m_sumSquaredError += d2;
        double d = std::sqrt(d2);
        if (d > m_maxError) m_maxError = d;
    }
    if (!Finite(m_sumSquaredError)) // NaN points must not pass a tolerance test
        m_sumSquaredError = m_maxError = DBL_MAX;
    return m_sumSquaredError;
}

int TApproxWithBezierSegment::Approximation() {
    if (!m_points || m_count < 2) return 0;
    const WPointArray& pts = *m_points;
    WPont<float> p0 = pts[m_first], p3 = pts[m_last];
    m_alpha = 0;
    if (m_count == 2) {
        m_segment = WSegment();
        m_segment.Initialize(p0, p3);
        if (m_direction) m_alpha = 1;
    } else if (m_count == 3) {
        double u = m_params[1], mu = 1 - u;
        double b0 = mu * mu * mu, b1 = 3 * u * mu * mu, b2 = 3 * u * u * mu, b3 = u * u * u;
        m_segment = WSegment();
        if (!(u > 0 && u < 1) || b2 == 0) {
            // The middle point sits on an end of the parameter range: no curve passes through
            // it there, so the run becomes the straight segment.
            m_segment.Initialize(p0, p3);
        } else {
            P a(p0), m(pts[m_first + 1]), b(p3);
            P c1 = a + (m - a) / (3 * u);
            P c2((m.x - b0 * a.x - b1 * c1.x - b3 * b.x) / b2,
                 (m.y - b0 * a.y - b1 * c1.y - b3 * b.y) / b2);
            m_segment.Initialize(p0, WPont<float>(c1), WPont<float>(c2), p3);
        }
        if (m_direction) m_alpha = 1;
    } else {
        if (!Solve()) return 0;
        for (int i = 0; i < m_corrections; ++i) {
            CorrectParameters();
            if (!Solve()) return 0;
        }
    }
    ComputeError();
    return 1;
}
