#include "geomkit/TApproxWithBezierCurves.h"

#include <cmath>

#include "geomkit/WSubPath.h"

namespace {

// Upper bound of the samples taken from one segment, whatever the step.
constexpr double kMaxSamplesPerSegment = 1 << 20;

} // namespace

TApproxWithBezierCurves::TApproxWithBezierCurves()
    : m_tolerance(10.0), m_window(100), m_smoothJoins(0), m_type(eParamModifiedChord),
      m_points(nullptr), m_size(0) {}

TApproxWithBezierCurves::~TApproxWithBezierCurves() = default;

int TApproxWithBezierCurves::MakeThePointArray(WPointArray& out, const COXSPtr<SubPath>& source,
                                               double step) {
    out.clear();
    if (source.IsEmpty() || source->IsEmpty()) return 0;
    const SubPath& sp = *source;
    int count = sp.GetSegmentCount();
    if (count == 0) {
        out.push_back(sp.GetNodeCopy(0).GetAnchor());
        return 1;
    }
    WSegment segment;
    for (int i = 0; i < count; ++i) {
        if (!sp.GetSegment(i, segment)) continue;
        out.push_back(segment.GetP0());
        double polygon = segment.GetV1().Length() + segment.GetV2().Length() +
                         Distance(segment.GetP0(), segment.GetP3());
        // A step that is not positive takes no samples between the anchors.
        if (step > 0 && polygon > 5 * step) {
            double pieces = std::trunc(polygon / (5 * step));
            int n = pieces < kMaxSamplesPerSegment ? int(pieces) : int(kMaxSamplesPerSegment);
            double dt = 1.0 / n, t = 0;
            for (int k = 1; k < n; ++k) {
                t += dt;
                out.push_back(segment.CoordAtParam(t));
            }
        }
    }
    out.push_back(segment.GetP3()); // for a closed source, the first anchor again
    return 1;
}

int TApproxWithBezierCurves::Init(WPointArray* points, PARAMETRIZATION_TYPE type) {
    m_points = points;
    m_size = points ? int(points->size()) : 0;
    m_type = type == eParamCentripetal1 ? eParamCentripetal : type;
    return points && type >= 1 && type <= 5;
}

int TApproxWithBezierCurves::FitRun(int s, int e, bool& accepted) {
    if (!m_fitter.Init(m_points, s, e, m_type) || !m_fitter.Approximation()) return 0;
    double error = m_fitter.GetMaxError();
    // The last run may exceed the tolerance by a third.
    double limit = e == m_size - 1 ? 0.75 * error : error;
    accepted = !(m_tolerance < limit) && error == error;
    return 1;
}

void TApproxWithBezierCurves::AppendRun(const WSegment& segment, bool first) {
    SubPath& result = *m_result;
    WVektor<float> v1 = segment.GetV1(), v2 = segment.GetV2();
    if (!segment.IsCurve()) v1 = v2 = WVektor<float>();
    if (first) {
        WNode start;
        if (v1.IsZero())
            start.Initialize(segment.GetP0());
        else
            start.Initialize(segment.GetP0(), v1);
        result.InsertNode(start, -1, 1);
    } else if (WNode* last = result.GetLastNode()) {
        if (!v1.IsZero()) last->SetSecondVector(v1);
        if (m_smoothJoins && last->HasFirstVector() && last->HasSecondVector()) {
            WVektor<double> a(last->GetFirstVector()), b(last->GetSecondVector());
            double la = a.Length(), lb = b.Length();
            // Opposite within 0.1 radian.
            if (la > 0 && lb > 0 && Dot(a, b) / (la * lb) <= -std::cos(0.1))
                last->SetKind(BYTE((last->GetKind() | WNode::eSmooth) & ~WNode::eGeneral));
        }
    }
    WNode end;
    if (v2.IsZero())
        end.Initialize(segment.GetP3());
    else
        end.Initialize(v2, segment.GetP3());
    result.InsertNode(end, -1, 1);
}

int TApproxWithBezierCurves::Approximation() {
    m_result = COXSPtr<SubPath>(new SubPath);
    if (!m_points || m_size < 2) return 0;
    if (!m_fitter.FillDistancesArray(m_points, m_type)) return 0;
    m_fitter.SetWeighting(m_smoothJoins ? 4 : 0);
    m_fitter.SetDirection(nullptr);
    const int last = m_size - 1;
    const int window = m_window > 1 ? m_window : 1;
    int s = 0;
    while (s < last) {
        // A straight previous run leaves no direction to continue.
        m_fitter.SetDirection(m_smoothJoins && s > 0 && !m_direction.IsZero() ? &m_direction
                                                                              : nullptr);
        // Bisection between the last accepted and the last rejected end. A run of two points
        // is the straight segment between them and always fits.
        int good = s + 1, bad = -1;
        int candidate = s + window < last ? s + window : last;
        WSegment fitted;
        int fittedEnd = -1;
        for (;;) {
            bool accepted = false;
            if (!FitRun(s, candidate, accepted)) return 0;
            if (accepted) {
                good = candidate;
                fitted = m_fitter.GetSegment();
                fittedEnd = candidate;
            } else {
                bad = candidate;
            }
            if (bad < 0) break;
            int next = (good + bad) / 2;
            if (next == candidate || next <= s) break;
            candidate = next;
        }
        if (fittedEnd != good) {
            bool accepted;
            if (!FitRun(s, good, accepted)) return 0;
            fitted = m_fitter.GetSegment();
        }
        AppendRun(fitted, s == 0);
        m_direction = fitted.IsCurve() ? -fitted.GetV2() : WVektor<float>();
        s = good;
    }
    SubPath& result = *m_result;
    WNode* first = result.GetNode(0);
    WNode* end = result.GetLastNode();
    if (first && end && result.GetNodeCount() > 1 &&
        std::fabs(first->GetAnchor().x - end->GetAnchor().x) < 0.00001f &&
        std::fabs(first->GetAnchor().y - end->GetAnchor().y) < 0.00001f)
        result.Close();
    return 1;
}
