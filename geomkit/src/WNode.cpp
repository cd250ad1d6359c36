#include "geomkit/WNode.h"

#include <cmath>

#include "geomkit/KArchive.h"
#include "geomkit/WBoundingBox.h"
#include "geomkit/WTransMatrix.h"

WNode::WNode(const WNode& n)
    : WObject(), m_anchor(n.m_anchor), m_first(n.m_first), m_second(n.m_second), m_kind(n.m_kind) {}

WNode& WNode::operator=(const WNode& n) {
    m_anchor = n.m_anchor;
    m_first = n.m_first;
    m_second = n.m_second;
    m_kind = n.m_kind;
    return *this;
}

WNode::~WNode() = default;

void WNode::Initialize(const WPont<float>& p) {
    m_anchor = p;
    m_first = m_second = WVektor<float>();
    m_kind = 0;
}

void WNode::Initialize(const WVektor<float>& a, const WPont<float>& p) {
    m_anchor = p;
    m_first = a;
    m_second = WVektor<float>();
    m_kind = eFirstVector;
}

void WNode::Initialize(const WPont<float>& p, const WVektor<float>& b) {
    m_anchor = p;
    m_first = WVektor<float>();
    m_second = b;
    m_kind = eSecondVector;
}

void WNode::Initialize(const WVektor<float>& a, const WPont<float>& p, const WVektor<float>& b) {
    m_anchor = p;
    m_first = a;
    m_second = b;
    m_kind = eFirstVector | eSecondVector;
}

void WNode::Serialize(KArchive& ar) {
    if (ar.IsStoring()) {
        ar.StoreByte(m_kind);
        ar.StoreFloat(m_first.x).StoreFloat(m_first.y);
        ar.StoreFloat(m_anchor.x).StoreFloat(m_anchor.y);
        ar.StoreFloat(m_second.x).StoreFloat(m_second.y);
    } else {
        ar.LoadByte(m_kind);
        ar.LoadFloat(m_first.x).LoadFloat(m_first.y);
        ar.LoadFloat(m_anchor.x).LoadFloat(m_anchor.y);
        ar.LoadFloat(m_second.x).LoadFloat(m_second.y);
    }
}

COXSPtr<WNode> WNode::Copy() const {
    return COXSPtr<WNode>(new WNode(*this));
}

void WNode::AcceptLinearTrans(const WTransMatrix& m, const COXSPtr<WNodeRef>& ref) {
    const WNodeRef& r = *ref;
    if (r.Contains(eAnchor)) {
        AcceptLinearTrans(m);
        return;
    }
    bool keepsLine = (m_kind & (eSmooth | eSymmetric)) != 0;
    if (r.Contains(eFirstControl)) {
        m.Transform(m_first);
        if (keepsLine && HasSecondVector()) {
            KeepRegular(m_first, m_second);
            return;
        }
    }
    if (r.Contains(eSecondControl)) {
        m.Transform(m_second);
        if (keepsLine && HasFirstVector()) KeepRegular(m_second, m_first);
    }
}

void WNode::AcceptLinearTrans(const WTransMatrix& m) {
    m.Transform(m_anchor);
    if (HasFirstVector()) m.Transform(m_first);
    if (HasSecondVector()) m.Transform(m_second);
}

void WNode::StretchAlong(WVektor<float>& vector, const WVektor<float>& target) {
    double n = vector.Length();
    if (n == 0) return;
    double w = Dot(WVektor<double>(target), WVektor<double>(vector)) / n;
    if (w > 0) vector = vector * (w / n);
}

void WNode::AddVector(const WVektor<float>& d, const COXSPtr<WNodeRef>& ref,
                      const WPont<float>* cursor) {
    const WNodeRef& r = *ref;
    if (r.Contains(eAnchor)) {
        m_anchor += d; // the vectors are relative: the control points follow
        return;
    }
    bool keepsLine = (m_kind & (eSmooth | eSymmetric)) != 0;
    if (r.Contains(eFirstControl)) {
        if (!HasFirstVector()) SetFirstVector(WVektor<float>());
        if (keepsLine && !HasSecondVector()) {
            StretchAlong(m_first, cursor ? *cursor - m_anchor : m_first + d);
        } else {
            m_first += d;
            if (keepsLine) {
                KeepRegular(m_first, m_second);
                return;
            }
        }
    }
    if (r.Contains(eSecondControl)) {
        if (!HasSecondVector()) SetSecondVector(WVektor<float>());
        if (keepsLine && !HasFirstVector()) {
            StretchAlong(m_second, cursor ? *cursor - m_anchor : m_second + d);
        } else {
            m_second += d;
            if (keepsLine) KeepRegular(m_second, m_first);
        }
    }
}

WPont<float> WNode::GetPointAt(const COXSPtr<WNodeRef>& ref) const {
    const WNodeRef& r = *ref;
    if (r.Contains(eAnchor)) return m_anchor;
    if (r.Contains(eFirstControl)) return m_anchor + m_first;
    if (r.Contains(eSecondControl)) return m_anchor + m_second;
    return WPont<float>(0, 0);
}

WVektor<float> WNode::GetNormalVectorAt(const COXSPtr<WNodeRef>&) const {
    return WVektor<float>(0, 1);
}

COXSPtr<WBezierRef> WNode::IsPointNear(const WPont<float>& p, float tol, int withControls,
                                       int firstBeforeSecond) const {
    double tol2 = float(tol * tol);
    int hit = -1;
    if (withControls) {
        // An absent vector's control point lies on the anchor, so a click there reports the
        // control point, which AddVector then pulls out.
        int order[2] = {eSecondControl, eFirstControl};
        if (firstBeforeSecond) {
            order[0] = eFirstControl;
            order[1] = eSecondControl;
        }
        for (int type : order) {
            WPont<float> c = type == eFirstControl ? m_anchor + m_first : m_anchor + m_second;
            if (SquaredDistance(c, p) < tol2) {
                hit = type;
                break;
            }
        }
    }
    if (hit < 0 && SquaredDistance(m_anchor, p) < tol2) hit = eAnchor;
    if (hit < 0) return COXSPtr<WBezierRef>();
    WNodeRef* r = new WNodeRef;
    r->Add(hit);
    return COXSPtr<WBezierRef>(r);
}

COXSPtr<WNodeRef> WNode::IsInBox(const WBoundingBox& box, int withControls) const {
    WNodeRef r;
    if (box.IsInside(m_anchor)) r.Add(eAnchor);
    if (withControls) {
        if (HasFirstVector() && box.IsInside(m_anchor + m_first)) r.Add(eFirstControl);
        if (HasSecondVector() && box.IsInside(m_anchor + m_second)) r.Add(eSecondControl);
    }
    if (r.IsEmpty()) return COXSPtr<WNodeRef>();
    return COXSPtr<WNodeRef>(new WNodeRef(r));
}

void WNode::PrepareToRemove() {}

void WNode::KeepRegular(const WVektor<float>& v, WVektor<float>& other) const {
    if (IsSmooth()) {
        double l = v.Length();
        if (l > 1e-10) other = v * (-other.Length() / l);
    }
    if (IsSymmetric()) other = -v;
}

WNode WNode::Reverse() const {
    WNode n;
    n.m_anchor = m_anchor;
    n.m_first = m_second;
    n.m_second = m_first;
    n.m_kind =
        BYTE((HasFirstVector() ? eSecondVector : 0) | (HasSecondVector() ? eFirstVector : 0));
    return n;
}

void WNode::ReverseInPlace() {
    WVektor<float> t = m_first;
    m_first = m_second;
    m_second = t;
    BYTE presence = m_kind & (eFirstVector | eSecondVector);
    if (presence == eFirstVector || presence == eSecondVector)
        m_kind ^= eFirstVector | eSecondVector;
}

void WNode::MakeGeneral() {
    m_kind = BYTE((m_kind | eGeneral) & ~(eSmooth | eSymmetric));
}

void WNode::MakeSmooth() {
    if (!HasFirstVector() || !HasSecondVector()) return;
    m_kind = BYTE((m_kind | eSmooth) & ~(eGeneral | eSymmetric));
    WVektor<double> a(m_first), b(m_second);
    double aa = a.SquaredLength(), bb = b.SquaredLength();
    if (aa == 0 || bb == 0) return;
    // Distance of the anchor from the line through the two control points.
    WPont<double> anchor(m_anchor), c1 = anchor + a, c2 = anchor + b;
    WVektor<double> u = (c2 - c1).Normalized();
    WPont<double> foot = c1 + u * Dot(anchor - c1, u);
    double dist = (anchor - foot).Length();
    if (dist < 1e-10 && aa > 1e-10 && bb > 1e-10 && bb <= (b - a).SquaredLength())
        return; // already opposite
    double ratio = Dot(a, b) / (std::sqrt(aa) * std::sqrt(bb));
    ratio = ratio > 1 ? 1 : (ratio < -1 ? -1 : ratio);
    double phi = std::acos(ratio);
    if (a.y * b.x - a.x * b.y > 0) phi = 6.28318530718 - phi; // anticlockwise angle from a to b
    // Share the turn between the vectors by their squared lengths.
    double num = -aa * std::sin(2 * phi), den = aa * std::cos(2 * phi) + bb;
    double psi = (num == 0 && den == 0) ? 0 : 0.5 * std::atan(num / den);
    auto turn = [](const WVektor<double>& v, double angle) {
        double c = std::cos(angle), s = std::sin(angle);
        return WVektor<float>(float(v.x * c - v.y * s), float(v.x * s + v.y * c));
    };
    m_second = turn(b, psi);
    m_first = turn(a, -(3.14159265359 - phi - psi));
}

void WNode::MakeSymmetric() {
    if (!HasFirstVector() || !HasSecondVector()) return;
    MakeSmooth();
    m_kind |= eSymmetric;
    WVektor<double> a(m_first), b(m_second);
    double la = a.Length(), lb = b.Length(), l = (la + lb) / 2;
    if (la != 0)
        m_first = WVektor<float>(a * (l / la));
    else if (lb != 0)
        m_first = WVektor<float>(b * (-l / lb));
    if (lb != 0)
        m_second = WVektor<float>(b * (l / lb));
    else if (la != 0)
        m_second = WVektor<float>(a * (-l / la));
}
