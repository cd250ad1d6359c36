#include "geomkit/WSubPath.h"

#include <algorithm>
#include <cmath>

#include "WSubPathIterator.h"
#include "geomkit/KArchive.h"
#include "geomkit/WAbsPrimDrawingDevice.h"
#include "geomkit/WAngle.h"
#include "geomkit/WQSegmentClickOn.h"
#include "geomkit/WQuestionSubPath.h"
#include "geomkit/WTransMatrix.h"

namespace {

// Two anchors closer than this in x and in y are the same point.
constexpr double kSamePoint = 0.00001;
// Padding the node array past its end stops here; a larger index is refused.
constexpr int kMaxPaddedNodes = 1 << 24;

bool SamePoint(const WPont<float>& a, const WPont<float>& b) {
    return std::fabs(double(a.x) - double(b.x)) < kSamePoint &&
           std::fabs(double(a.y) - double(b.y)) < kSamePoint;
}

// Finite and inside the range a box accepts; false for NaN.
bool Usable(double v) {
    return v < 1e38 && v > -1e38;
}

bool UsableVector(const WVektor<float>& v) {
    constexpr float kMax = 3.4028235e38f;
    return v.x > -kMax && v.x < kMax && v.y > -kMax && v.y < kMax;
}

bool HasVectors(const WSegment& s) {
    return s.GetV1().x != 0 || s.GetV1().y != 0 || s.GetV2().x != 0 || s.GetV2().y != 0;
}

bool Outside(double v, double low, double high) {
    return v < low || v > high;
}

// Angle of a direction in [0, full turn].
double DirectionAngle(const WVektor<float>& v) {
    return WAngle(std::atan2(double(v.y), double(v.x))).NormToCircle();
}

// Sets a vector without touching the node's presence bits.
template <class N> void SetFirstRaw(N& n, const WVektor<float>& v) {
    BYTE kind = n.GetKind();
    n.SetFirstVector(v);
    n.SetKind(kind);
}

template <class N> void SetSecondRaw(N& n, const WVektor<float>& v) {
    BYTE kind = n.GetKind();
    n.SetSecondVector(v);
    n.SetKind(kind);
}

template <class N> void SymmetricToSmooth(N& n) {
    BYTE kind = n.GetKind();
    if (kind & WNode::eSymmetric) n.SetKind(BYTE((kind & ~WNode::eSymmetric) | WNode::eSmooth));
}

} // namespace

#define SUBPATH_TEMPLATE template <class N, class S>
#define SUBPATH WSubPath<N, S>

SUBPATH_TEMPLATE SUBPATH::WSubPath()
    : m_bboxDirty(1), m_mark(0), m_key(0), m_attributes(0), m_depth(-1), m_direction(0) {}

SUBPATH_TEMPLATE SUBPATH::WSubPath(const WSubPath& src)
    : WObject(), m_nodes(src.m_nodes), m_bbox(src.m_bbox), m_bboxDirty(src.m_bboxDirty), m_mark(0),
      m_key(src.m_key), m_attributes(src.m_attributes), m_depth(src.m_depth),
      m_direction(src.m_direction) {}

SUBPATH_TEMPLATE SUBPATH& SUBPATH::operator=(const WSubPath& src) {
    Initialize(src);
    return *this;
}

SUBPATH_TEMPLATE SUBPATH::~WSubPath() = default;

// ---- archive

SUBPATH_TEMPLATE void SUBPATH::Serialize(KArchive& ar) {
    if (ar.IsStoring()) {
        ar.StoreByte(m_attributes);
        ar.StoreCount(int(m_nodes.size()));
        for (N& n : m_nodes)
            n.Serialize(ar);
        return;
    }
    Clear();
    BYTE attributes = 0;
    ar.LoadByte(attributes);
    m_attributes = attributes;
    int count = 0;
    ar.LoadCount(count);
    // Nodes are read one at a time: a damaged count runs the archive out of data instead of
    // claiming memory up front.
    for (int i = 0; i < count; ++i) {
        N n;
        n.Serialize(ar);
        m_nodes.push_back(n);
    }
}

// ---- copying and clearing

SUBPATH_TEMPLATE void SUBPATH::Initialize(const WSubPath& src) {
    m_mark = 0;
    if (&src == this) return;
    Clear();
    m_bbox = src.m_bbox;
    m_bboxDirty = src.m_bboxDirty;
    m_attributes = src.m_attributes;
    m_key = src.m_key;
    m_depth = src.m_depth;
    m_direction = src.m_direction;
    m_nodes = src.m_nodes;
}

SUBPATH_TEMPLATE void SUBPATH::Clear() {
    m_nodes.clear();
    m_bbox.Invalidate();
    m_bboxDirty = 1;
}

SUBPATH_TEMPLATE COXSPtr<SUBPATH> SUBPATH::Copy() const {
    COXSPtr<WSubPath> copy(new WSubPath);
    copy->Initialize(*this);
    return copy;
}

SUBPATH_TEMPLATE COXSPtr<SUBPATH> SUBPATH::LinearTrans(const WTransMatrix& m) const {
    COXSPtr<WSubPath> copy = Copy();
    copy->AcceptLinearTrans(m);
    return copy;
}

// ---- queries

SUBPATH_TEMPLATE int SUBPATH::HasExtent() const {
    const int count = GetNodeCount();
    if (count == 0) return 0;
    const BYTE vectors = WNode::eFirstVector | WNode::eSecondVector;
    if (count == 1) return IsClosed() && (m_nodes[0].GetKind() & vectors) ? 1 : 0;
    for (const N& n : m_nodes)
        if (n.GetKind() & vectors) return 1;
    for (int i = 1; i < count; ++i)
        if (!SamePoint(m_nodes[i].GetAnchor(), m_nodes[i - 1].GetAnchor())) return 1;
    return 0;
}

SUBPATH_TEMPLATE WBoundingBox SUBPATH::GetBBox() {
    return m_bboxDirty ? RecalculateBBox() : m_bbox;
}

SUBPATH_TEMPLATE WBoundingBox SUBPATH::GetControlBBox() const {
    WBoundingBox box;
    for (const N& n : m_nodes) {
        box.Expand(n.GetAnchor());
        if (n.HasFirstVector() && UsableVector(n.GetFirstVector()))
            box.Expand(n.GetFirstControlPoint());
        if (n.HasSecondVector() && UsableVector(n.GetSecondVector()))
            box.Expand(n.GetSecondControlPoint());
    }
    return box;
}

SUBPATH_TEMPLATE WBoundingBox SUBPATH::RecalculateBBox() {
    m_bbox.Invalidate();
    m_bboxDirty = 1;
    if (m_nodes.empty()) return m_bbox;
    m_bbox.Expand(m_nodes[0].GetAnchor());
    if (m_nodes.size() > 1 || IsClosed()) {
        S segment;
        const int count = GetSegmentCount();
        for (int i = 0; i < count; ++i) {
            GetSegment(i, segment);
            m_bbox.Expand(segment.GetP3());
            if (HasVectors(segment)) GrowByExtremes(segment);
        }
    }
    m_bboxDirty = 0;
    return m_bbox;
}

SUBPATH_TEMPLATE void SUBPATH::GrowBBox(const S& segment) {
    m_bbox.Expand(segment.GetP0());
    m_bbox.Expand(segment.GetP3());
    if (segment.IsCurve()) GrowByExtremes(segment);
}

SUBPATH_TEMPLATE void SUBPATH::GrowByExtremes(const S& segment) {
    // The exact extremes are needed only where a control point lies outside the box so far.
    const WPont<float> c1 = segment.GetC1(), c2 = segment.GetC2();
    double min, max;
    if (Outside(c1.x, m_bbox.left, m_bbox.right) || Outside(c2.x, m_bbox.left, m_bbox.right)) {
        segment.ExactMinXMaxX(min, max);
        if (Usable(min) && min < m_bbox.left) m_bbox.left = min;
        if (Usable(max) && max > m_bbox.right) m_bbox.right = max;
    }
    if (Outside(c1.y, m_bbox.bottom, m_bbox.top) || Outside(c2.y, m_bbox.bottom, m_bbox.top)) {
        segment.ExactMinYMaxY(min, max);
        if (Usable(min) && min < m_bbox.bottom) m_bbox.bottom = min;
        if (Usable(max) && max > m_bbox.top) m_bbox.top = max;
    }
}

SUBPATH_TEMPLATE BYTE SUBPATH::GetFlags() const {
    return m_attributes;
}

SUBPATH_TEMPLATE void SUBPATH::SetMark() {
    m_mark = 1;
}

SUBPATH_TEMPLATE void SUBPATH::ClearMark() {
    m_mark = 0;
}

SUBPATH_TEMPLATE COXSPtr<WIterator<N*>> SUBPATH::CreateNodeIterator() {
    return COXSPtr<WIterator<N*>>(new WSubPathNodeIterator<WSubPath, N>(this));
}

SUBPATH_TEMPLATE COXSPtr<WIterator<S*>> SUBPATH::CreateSegmentIterator() {
    return COXSPtr<WIterator<S*>>(new WSubPathSegmentIterator<WSubPath, S>(this));
}

SUBPATH_TEMPLATE N* SUBPATH::GetNode(int i) {
    return i >= 0 && i < GetNodeCount() ? &m_nodes[i] : nullptr;
}

SUBPATH_TEMPLATE const N* SUBPATH::GetNode(int i) const {
    return i >= 0 && i < GetNodeCount() ? &m_nodes[i] : nullptr;
}

SUBPATH_TEMPLATE N* SUBPATH::GetNodeUnchecked(int i) {
    return GetNode(i);
}

SUBPATH_TEMPLATE N SUBPATH::GetNodeCopy(int i) const {
    const N* n = GetNode(i);
    return n ? *n : N();
}

SUBPATH_TEMPLATE N* SUBPATH::GetLastNode() {
    return m_nodes.empty() ? nullptr : &m_nodes.back();
}

SUBPATH_TEMPLATE int SUBPATH::GetSegment(int i, S& segment) const {
    if (i < 0 || i >= GetNodeCount()) return 0;
    int next = i;
    if (!NextNodeIndex(next)) return 0;
    segment.Initialize(m_nodes[i], m_nodes[next]);
    return 1;
}

SUBPATH_TEMPLATE S* SUBPATH::CreateSegment(int i) const {
    S* segment = new S;
    if (!GetSegment(i, *segment)) {
        delete segment;
        return nullptr;
    }
    return segment;
}

SUBPATH_TEMPLATE int SUBPATH::GetSegmentCount() const {
    const int count = GetNodeCount();
    if (count == 0) return 0;
    return IsClosed() ? count : count - 1;
}

SUBPATH_TEMPLATE int SUBPATH::IsClosed() const {
    return (m_attributes & eClosed) != 0;
}

SUBPATH_TEMPLATE int SUBPATH::IsEmpty() const {
    return m_nodes.empty();
}

SUBPATH_TEMPLATE int SUBPATH::GetNodeCount() const {
    return int(m_nodes.size());
}

SUBPATH_TEMPLATE int SUBPATH::NextNodeIndex(int& i) const {
    const int count = GetNodeCount();
    if (i < 0 || i >= count) return 0;
    if (i < count - 1) {
        ++i;
        return 1;
    }
    if (!IsClosed()) return 0;
    i = 0;
    return 1;
}

SUBPATH_TEMPLATE int SUBPATH::PrevNodeIndex(int& i) const {
    const int count = GetNodeCount();
    if (i < 0 || i >= count) return 0;
    if (i >= 1) {
        --i;
        return 1;
    }
    if (!IsClosed()) return 0;
    i = count - 1;
    return 1;
}

SUBPATH_TEMPLATE double SUBPATH::GetLength() const {
    double length = 0;
    S segment;
    const int count = GetSegmentCount();
    for (int i = 0; i < count; ++i) {
        GetSegment(i, segment);
        length += segment.GetLength();
    }
    return length;
}

SUBPATH_TEMPLATE void SUBPATH::SetKey(long key) {
    m_key = key;
}

SUBPATH_TEMPLATE long SUBPATH::GetKey() const {
    return m_key;
}

SUBPATH_TEMPLATE int SUBPATH::Question(const COXSPtr<WQuestionSubPath>& q) {
    return q->Answer(this);
}

// ---- building

SUBPATH_TEMPLATE int SUBPATH::MoveTo(float x, float y) {
    if (!m_nodes.empty()) Clear();
    N n;
    n.Initialize(WPont<float>(x, y));
    return InsertNode(n, -1, 1);
}

SUBPATH_TEMPLATE int SUBPATH::LineTo(float x, float y) {
    if (m_nodes.empty()) return MoveTo(x, y);
    S segment;
    segment.Initialize(m_nodes.back().GetAnchor(), WPont<float>(x, y));
    return AppendSegment(segment);
}

SUBPATH_TEMPLATE int SUBPATH::CurveTo(const WVektor<float>& out, const WVektor<float>& in,
                                      const WPont<float>& point) {
    if (m_nodes.empty()) return MoveTo(point.x, point.y);
    m_nodes.back().SetSecondVector(out);
    N n;
    n.Initialize(in, point);
    return InsertNode(n, -1, 1);
}

SUBPATH_TEMPLATE int SUBPATH::CurveTo(float ox, float oy, float ix, float iy, float x, float y) {
    return CurveTo(WVektor<float>(ox, oy), WVektor<float>(ix, iy), WPont<float>(x, y));
}

SUBPATH_TEMPLATE int SUBPATH::AppendSegment(const S& segment) {
    if (IsClosed()) return 0;
    if (m_nodes.empty()) MoveTo(segment.GetP0().x, segment.GetP0().y);
    if (!SamePoint(m_nodes.back().GetAnchor(), segment.GetP0())) return 0;
    N n;
    if (segment.IsCurve()) {
        m_nodes.back().SetSecondVector(segment.GetV1());
        n.Initialize(segment.GetV2(), segment.GetP3());
    } else {
        m_nodes.back().ClearSecondVector();
        n.Initialize(segment.GetP3());
    }
    return InsertNode(n, -1, 1);
}

SUBPATH_TEMPLATE int SUBPATH::AppendSubPath(const COXSPtr<WSubPath>& other, int closeWhenMeeting) {
    if (IsClosed()) return 0;
    WSubPath& src = *other;
    if (src.IsEmpty()) return 1;
    // Copied first: other may be this sub-path.
    const std::vector<N> nodes = src.m_nodes;
    const bool srcClosed = src.IsClosed();
    const WBoundingBox srcBox = src.GetBBox();

    size_t first = 0;
    int joinFrom = -1;
    if (!m_nodes.empty()) {
        N& last = m_nodes.back();
        if (SamePoint(last.GetAnchor(), nodes[0].GetAnchor())) {
            if (nodes[0].HasSecondVector())
                last.SetSecondVector(nodes[0].GetSecondVector());
            else
                last.ClearSecondVector();
            first = 1;
        } else {
            joinFrom = GetNodeCount() - 1;
        }
    }
    m_nodes.insert(m_nodes.end(), nodes.begin() + first, nodes.end());
    if (srcClosed) m_nodes.push_back(nodes[0]);

    m_bbox.Expand(srcBox);
    S join;
    if (joinFrom >= 0 && GetSegment(joinFrom, join)) GrowBBox(join);

    if (closeWhenMeeting && GetNodeCount() >= 2 &&
        SamePoint(m_nodes.front().GetAnchor(), m_nodes.back().GetAnchor())) {
        const N& last = m_nodes.back();
        if (last.HasFirstVector()) m_nodes.front().SetFirstVector(last.GetFirstVector());
        RemoveNodeAt(GetNodeCount() - 1);
        Close();
    }
    return 1;
}

SUBPATH_TEMPLATE void SUBPATH::MakeArc(const WPont<float>& center, double radius,
                                       const WDirectedAngleRange& range) {
    Clear();
    // An arc is an open outline; a closed sub-path would refuse every piece.
    Open();
    const double sweep = range.FAngleDiff();
    if (!(sweep >= 2.220446e-16)) return;
    // One piece per quarter turn or less; the sweep never exceeds a full turn.
    int pieces = int(std::ceil(sweep * 0.6366197723695659));
    pieces = std::clamp(pieces, 1, 8);
    double step = sweep / pieces;
    if (range.Direction() == 1) step = -step;
    const double start = range.Start().Value();
    std::vector<WPont<float>> points;
    for (int k = 0; k <= pieces; ++k) {
        double a = start + k * step;
        points.emplace_back(float(center.x + radius * std::cos(a)),
                            float(center.y + radius * std::sin(a)));
    }
    for (int k = 0; k < pieces; ++k) {
        S segment;
        segment.MakeArcShape(center, points[k], points[k + 1]);
        AppendSegment(segment);
    }
}

// ---- editing

SUBPATH_TEMPLATE int SUBPATH::InsertNode(const N& node, int index, int updateBox) {
    const int count = GetNodeCount();
    if (index == -1) index = count;
    if (index < 0) return 0;
    const N copy = node; // node may live in this array
    if (index > count) {
        if (index >= kMaxPaddedNodes) return 0;
        m_nodes.resize(size_t(index));
        m_bboxDirty = 1; // the padding is not in the box
    }
    m_nodes.insert(m_nodes.begin() + index, copy);
    if (!updateBox) return 1;
    if (m_nodes.size() == 1) {
        m_bbox.Invalidate();
        m_bbox.Expand(copy.GetAnchor());
        m_bboxDirty = 0;
        return 1;
    }
    S segment;
    int prev = index;
    if (PrevNodeIndex(prev) && GetSegment(prev, segment)) GrowBBox(segment);
    if (GetSegment(index, segment)) GrowBBox(segment);
    return 1;
}

SUBPATH_TEMPLATE int SUBPATH::AppendNodes(const N* nodes, int count) {
    if (!nodes || count <= 0) return 0;
    const std::vector<N> copy(nodes, nodes + count); // nodes may live in this array
    m_nodes.insert(m_nodes.end(), copy.begin(), copy.end());
    m_bboxDirty = 1;
    return 1;
}

SUBPATH_TEMPLATE void SUBPATH::RemoveNodeAt(int i) {
    m_nodes[i].PrepareToRemove();
    m_nodes.erase(m_nodes.begin() + i);
}

SUBPATH_TEMPLATE int SUBPATH::RemoveNode(int i) {
    if (i < 0 || i >= GetNodeCount()) return 0;
    RemoveNodeAt(i);
    m_bboxDirty = 1;
    return 1;
}

SUBPATH_TEMPLATE int SUBPATH::SwapNodes(int a, int b) {
    const int count = GetNodeCount();
    if (a < 0 || a >= count || b < 0 || b >= count || a == b) return 0;
    std::swap(m_nodes[a], m_nodes[b]);
    m_bboxDirty = 1;
    return 1;
}

SUBPATH_TEMPLATE int SUBPATH::SetSegment(int i, const S& segment) {
    if (i < 0 || i >= GetNodeCount()) return 0;
    int next = i;
    if (!NextNodeIndex(next)) return 0;
    N& a = m_nodes[i];
    N& b = m_nodes[next];
    a.SetAnchor(segment.GetP0());
    b.SetAnchor(segment.GetP3());
    if (segment.IsCurve()) {
        a.SetSecondVector(segment.GetV1());
        b.SetFirstVector(segment.GetV2());
    } else {
        a.ClearSecondVector();
        b.ClearFirstVector();
        a.MakeGeneral();
        b.MakeGeneral();
    }
    m_bboxDirty = 1;
    return 1;
}

SUBPATH_TEMPLATE int SUBPATH::SplitSegment(int index, double t) {
    if (!(t > 0 && t < 1)) return 0;
    const int count = GetNodeCount();
    int start, end;
    if (IsClosed()) {
        if (count == 0 || index < 0 || index > count) return 0;
        start = index == 0 || index == count ? count - 1 : index - 1;
        end = index == count ? 0 : index;
    } else {
        if (index < 1 || index > count - 1) return 0;
        start = index - 1;
        end = index;
    }
    S segment;
    if (!GetSegment(start, segment)) return 0;
    N n;
    const WPont<float> p = segment.CoordAtParam(t);
    if (segment.IsCurve()) {
        const WVektor<float> g = segment.GradientAtParam(t);
        n.Initialize(g * (-t / 3), p, g * ((1 - t) / 3));
    } else {
        n.Initialize(p);
    }
    N& q = m_nodes[start];
    SetSecondRaw(q, q.GetSecondVector() * t);
    N& r = m_nodes[end];
    SetFirstRaw(r, r.GetFirstVector() * (1 - t));
    SymmetricToSmooth(q);
    SymmetricToSmooth(r);
    return InsertNode(n, index == count ? -1 : index, 1);
}

SUBPATH_TEMPLATE int SUBPATH::SetStartNode(int n) {
    if (n < 0 || n >= GetNodeCount()) return 0;
    std::rotate(m_nodes.begin(), m_nodes.begin() + n, m_nodes.end());
    return 1;
}

SUBPATH_TEMPLATE COXSPtr<SUBPATH> SUBPATH::OpenAtSegment(int n) {
    const int count = GetNodeCount();
    if (n < 0 || n >= count) return COXSPtr<WSubPath>();
    m_bboxDirty = 1;
    if (IsClosed()) {
        std::rotate(m_nodes.begin(), m_nodes.begin() + (n + 1), m_nodes.end());
        Open();
        return COXSPtr<WSubPath>();
    }
    COXSPtr<WSubPath> rest(new WSubPath);
    rest->m_nodes.assign(m_nodes.begin() + (n + 1), m_nodes.end());
    m_nodes.erase(m_nodes.begin() + (n + 1), m_nodes.end());
    return rest;
}

SUBPATH_TEMPLATE COXSPtr<SUBPATH> SUBPATH::OpenAtNode(int n) {
    if (n < 0 || n >= GetNodeCount()) return COXSPtr<WSubPath>();
    const N& node = m_nodes[n];
    N copy;
    if (node.HasSecondVector())
        copy.Initialize(node.GetAnchor(), node.GetSecondVector());
    else
        copy.Initialize(node.GetAnchor());
    InsertNode(copy, n + 1, 1);
    m_nodes[n].ClearSecondVector();
    m_nodes[n].MakeGeneral();
    return OpenAtSegment(n);
}

SUBPATH_TEMPLATE int SUBPATH::ReplaceNodeRange(int from, int to,
                                               const COXSPtr<WSubPath>& replacement) {
    if (!replacement || replacement->IsEmpty()) return 0;
    const int count = GetNodeCount();
    if (from < 0 || from >= count || to < 0 || to >= count) return 0;
    if (to < from && !IsClosed()) return 0;
    // Copied first: the replacement may be this sub-path.
    const std::vector<N> nodes = replacement->m_nodes;
    if (!SamePoint(m_nodes[from].GetAnchor(), nodes.front().GetAnchor()) ||
        !SamePoint(m_nodes[to].GetAnchor(), nodes.back().GetAnchor()))
        return 0;

    if (to >= from) {
        for (int i = to - 1; i > from; --i)
            RemoveNodeAt(i);
        to = to > from ? from + 1 : from;
    } else {
        for (int i = count - 1; i > from; --i)
            RemoveNodeAt(i);
        for (int i = to - 1; i >= 0; --i)
            RemoveNodeAt(i);
        from -= to;
        to = 0;
    }
    N& a = m_nodes[from];
    if (nodes.front().HasSecondVector())
        a.SetSecondVector(nodes.front().GetSecondVector());
    else
        a.ClearSecondVector();
    a.MakeGeneral();
    N& b = m_nodes[to];
    if (nodes.back().HasFirstVector())
        b.SetFirstVector(nodes.back().GetFirstVector());
    else
        b.ClearFirstVector();
    b.MakeGeneral();
    if (nodes.size() > 2)
        m_nodes.insert(m_nodes.begin() + (from + 1), nodes.begin() + 1, nodes.end() - 1);
    m_bboxDirty = 1;
    return 1;
}

SUBPATH_TEMPLATE void SUBPATH::Close() {
    if (m_nodes.empty()) return;
    N& first = m_nodes.front();
    N& last = m_nodes.back();
    // A last node repeating the first is merged into it; a single node is never removed.
    if (m_nodes.size() >= 2 && SamePoint(first.GetAnchor(), last.GetAnchor()) &&
        !first.HasFirstVector() && !last.HasSecondVector()) {
        if (last.HasFirstVector()) first.SetFirstVector(last.GetFirstVector());
        RemoveNodeAt(GetNodeCount() - 1);
        m_attributes |= eClosed;
        return;
    }
    m_attributes |= eClosed;
    S closing;
    if (GetSegment(GetNodeCount() - 1, closing)) GrowBBox(closing);
}

SUBPATH_TEMPLATE void SUBPATH::Open() {
    m_attributes &= BYTE(~eClosed);
}

SUBPATH_TEMPLATE void SUBPATH::Reverse() {
    if (IsClosed() && m_nodes.size() > 1)
        std::reverse(m_nodes.begin() + 1, m_nodes.end());
    else
        std::reverse(m_nodes.begin(), m_nodes.end());
    for (N& n : m_nodes)
        n.ReverseInPlace();
    m_direction = -m_direction;
}

SUBPATH_TEMPLATE void SUBPATH::AcceptLinearTrans(const WTransMatrix& m) {
    for (N& n : m_nodes) {
        n.SetAnchor(m.GetTransformed(n.GetAnchor()));
        if (!n.GetFirstVector().IsZero()) SetFirstRaw(n, m.GetTransformed(n.GetFirstVector()));
        if (!n.GetSecondVector().IsZero()) SetSecondRaw(n, m.GetTransformed(n.GetSecondVector()));
    }
    if (m.IsSimpleTrafo())
        m_bbox.AcceptLinearTrans(m);
    else
        m_bboxDirty = 1;
}

// ---- analysis

SUBPATH_TEMPLATE int SUBPATH::ComputeDirection() {
    const int count = GetNodeCount();
    m_direction = 0;
    if (count < 2 || !IsClosed()) return 0;

    // The rightmost point of the outline; ties go to the later segment.
    S segment;
    double best = -1e38, bestT = 0;
    int bestSegment = -1;
    for (int i = 0; i < count; ++i) {
        GetSegment(i, segment);
        double min, max, tmax;
        segment.ExactMinXMaxX(min, max, nullptr, &tmax);
        if (max >= best) {
            best = max;
            bestSegment = i;
            bestT = tmax;
        }
    }
    if (bestSegment < 0) return 0; // no usable coordinate

    GetSegment(bestSegment, segment);
    WVektor<float> out, in;
    S before, after;
    bool atNode = false;
    if (bestT >= 0.00001 && bestT <= 0.99999) {
        out = segment.GradientAtParam(bestT);
        in = -out;
    } else {
        int node = bestSegment;
        if (bestT > 0.99999) NextNodeIndex(node);
        int prev = node;
        PrevNodeIndex(prev);
        GetSegment(prev, before);
        GetSegment(node, after);
        const N& n = m_nodes[node];
        in = n.HasFirstVector() && !n.GetFirstVector().IsZero() ? n.GetFirstVector()
                                                                : -before.GradientAtParam(1);
        out = n.HasSecondVector() && !n.GetSecondVector().IsZero() ? n.GetSecondVector()
                                                                   : after.GradientAtParam(0);
        atNode = true;
    }
    const double diff = DirectionAngle(out) - DirectionAngle(in);
    int direction = -1;
    if (diff > 0.01) {
        direction = 1;
    } else if (diff >= -0.01 && atNode) {
        // The tangents nearly coincide: compare the outline a little further on either side.
        const double further = DirectionAngle(after.GradientAtParam(0.1)) -
                               DirectionAngle(-before.GradientAtParam(0.9));
        direction = further > 0 ? 1 : -1;
    }
    m_direction = direction;
    return direction;
}

SUBPATH_TEMPLATE int SUBPATH::FindExtremePoint(int kind, int& index, double& t) {
    if (GetNodeCount() < 2 || kind < eMaxX || kind > eMinY) return 0;
    const bool greatest = kind == eMaxX || kind == eMaxY;
    double best = greatest ? -1e38 : 1e38, bestT = 0;
    int bestSegment = -1;
    S segment;
    const int count = GetSegmentCount();
    for (int i = 0; i < count; ++i) {
        GetSegment(i, segment);
        double min, max, tmin, tmax;
        if (kind == eMaxX || kind == eMinX)
            segment.ExactMinXMaxX(min, max, &tmin, &tmax);
        else
            segment.ExactMinYMaxY(min, max, &tmin, &tmax);
        if (greatest ? max >= best : min <= best) {
            best = greatest ? max : min;
            bestT = greatest ? tmax : tmin;
            bestSegment = i;
        }
    }
    if (bestSegment < 0) return 0;
    if (bestT > 0.99999) {
        index = bestSegment;
        NextNodeIndex(index);
        t = 0;
    } else {
        index = bestSegment;
        t = bestT;
    }
    return 1;
}

SUBPATH_TEMPLATE int SUBPATH::HitTest(const WPont<float>& p, float tol, int* segmentIndex,
                                      float* t) {
    if (!GetBBox().IsInsideWithTolerance(p, tol)) return 0;
    WQSegmentClickOn click;
    click.Initialize(p, tol);
    const int count = GetSegmentCount();
    S segment;
    // A closed outline is asked its closing segment first.
    for (int k = 0; k < count; ++k) {
        int start = IsClosed() ? (k == 0 ? count - 1 : k - 1) : k;
        if (!GetSegment(start, segment) || !click.Answer(&segment)) continue;
        if (segmentIndex) *segmentIndex = start;
        if (t) *t = click.GetClickedParam();
        return 1;
    }
    return 0;
}

SUBPATH_TEMPLATE int SUBPATH::Draw(WAbsPrimDrawingDevice* device, const WBoundingBox& box) {
    if (!device) return 0;
    if (box.IsValid() && !box.IsCrossing(GetBBox())) return 1;
    S segment;
    const int count = GetSegmentCount();
    for (int i = 0; i < count; ++i) {
        GetSegment(i, segment);
        segment.Draw(device, box);
    }
    device->EndOutline();
    return 1;
}

template class WSubPath<WNode, WSegment>;
template class WSubPath<TNode, WSegment>;

#undef SUBPATH_TEMPLATE
#undef SUBPATH
