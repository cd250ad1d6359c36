#include "CutOrderOptimizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <geomkit/WClipBezierSegment.h>
#include <geomkit/WInterval.h>
#include <geomkit/WNode.h>
#include <geomkit/WSegment.h>
#include <pathkit/Path.h>
#include <pathkit/TMatrix.h>

namespace {

// Node kind marks carried from and to the members' connection flags.
constexpr BYTE kSmoothMark = WNode::eSmooth;
constexpr BYTE kSymmetricMark = WNode::eSymmetric;

constexpr double kNoCrossing = 1e10;

WPont<float> Pt(const floatPoint& p) {
    return WPont<float>(p.x, p.y);
}

bool IsZero(const WVektor<float>& v) {
    return v.x == 0 && v.y == 0;
}

// The node of the sub-path nearest the knife, the first one on ties; node 0 at distance 0
// for fewer than two nodes.
int NearestNode(WPath::SubPath& sp, double kx, double ky, double& distance) {
    distance = 0;
    int count = sp.GetNodeCount();
    if (count < 2) return 0;
    int best = 0;
    for (int i = 0; i < count; ++i) {
        const WPont<float>& a = sp.GetNodeUnchecked(i)->GetAnchor();
        double d = CutOrderOptimizer::Distance(kx, ky, a.x, a.y);
        if (i == 0 || d < distance) {
            distance = d;
            best = i;
        }
    }
    return best;
}

// Band k (from 1) holds the tops t with bottom + 10 (k - 1) < t <= bottom + 10 k; the first
// band also holds t = bottom. 0 for a top that is no number.
std::int64_t BandOf(double top, double bottom) {
    if (!std::isfinite(top) || !std::isfinite(bottom)) return 0;
    const double h = CutOrderOptimizer::BandHeight;
    double k = std::max(1.0, std::ceil((top - bottom) / h));
    if (k > 9e15) return 0;
    // The division may round across a band's end.
    while (k > 1 && top <= bottom + h * (k - 1))
        k -= 1;
    while (top > bottom + h * k)
        k += 1;
    return std::int64_t(k);
}

} // namespace

CutOrderOptimizer::CutOrderOptimizer() : path_(new WPath) {}

void CutOrderOptimizer::Load(const Path& path) {
    for (const ::SubPath& source : path.subPaths) {
        std::uint16_t n = source.members.Filled();
        if (!n) continue;
        WPath::SubPathPtr sp(new WPath::SubPath);
        sp->MoveTo(source.members[0].start.x, source.members[0].start.y);
        for (const PathMember& pm : source.members) {
            if (pm.IsCurve())
                sp->CurveTo(Pt(pm.ctrl1) - Pt(pm.start), Pt(pm.ctrl2) - Pt(pm.end), Pt(pm.end));
            else
                sp->LineTo(pm.end.x, pm.end.y);
            WNode* last = sp->GetLastNode();
            if (pm.IsSmooth()) last->SetKind(BYTE(last->GetKind() | kSmoothMark));
            if (pm.IsSymmetric()) last->SetKind(BYTE(last->GetKind() | kSymmetricMark));
        }
        if (source.members[0].start == source.members[n - 1].end) sp->Close();
        path_->Add(sp, -1, 0, 0);
    }
}

void CutOrderOptimizer::SetMatrix(const floatTMatrix& m) {
    // floatTMatrix maps x' = x m11 + y m21 + dx; WTransMatrix x' = a x + b y + e.
    matrix_.Init(m.m11, m.m21, m.m12, m.m22, m.dx, m.dy);
    inverse_ = matrix_.Inverse();
}

void CutOrderOptimizer::Optimise() {
    COXSPtr<WPath> result(new WPath);
    const int count = path_->GetSize();
    if (count == 0) {
        path_ = result;
        return;
    }
    path_->AcceptLinearTrans(matrix_);

    // Each sub-path's band, from its own exact box; the path's bottom from all of them.
    std::vector<WPath::SubPathPtr> subPaths(count);
    std::vector<double> tops(count);
    double bottom = 0;
    bool haveBottom = false;
    for (int i = 0; i < count; ++i) {
        subPaths[i] = path_->GetSubPathByIndex(i);
        WBoundingBox box = subPaths[i]->RecalculateBBox();
        tops[i] = box.IsValid() ? box.top : NAN;
        if (box.IsValid() && (!haveBottom || box.bottom < bottom)) {
            bottom = box.bottom;
            haveBottom = true;
        }
    }
    // Only bands that hold a sub-path are visited, so a tall path costs no empty bands.
    std::vector<std::pair<std::int64_t, int>> order; // (band, index)
    std::vector<int> leftOver;
    order.reserve(count);
    for (int i = 0; i < count; ++i) {
        std::int64_t band = haveBottom ? BandOf(tops[i], bottom) : 0;
        if (band > 0)
            order.emplace_back(band, i);
        else
            leftOver.push_back(i);
    }
    std::sort(order.begin(), order.end());

    double kx = 0, ky = 0;
    std::vector<int> list;
    for (std::size_t at = 0; at < order.size();) {
        std::size_t end = at;
        list.clear();
        while (end < order.size() && order[end].first == order[at].first)
            list.push_back(order[end++].second);
        at = end;

        while (!list.empty()) {
            std::size_t chosen = 0;
            int chosenNode = 0;
            double chosenDistance = 0;
            for (std::size_t j = 0; j < list.size(); ++j) {
                double d;
                int node = NearestNode(*subPaths[list[j]], kx, ky, d);
                if (j == 0 || d < chosenDistance) {
                    chosen = j;
                    chosenNode = node;
                    chosenDistance = d;
                }
            }
            SubPath& sp = *subPaths[list[chosen]];
            if (sp.IsClosed() && !SplitAtCrossing(sp, kx, ky, chosenDistance))
                sp.SetStartNode(chosenNode);
            result->Add(subPaths[list[chosen]], -1, 0, 0);
            list.erase(list.begin() + std::ptrdiff_t(chosen));

            const WNode* knife = sp.IsClosed() ? sp.GetNode(0) : sp.GetLastNode();
            if (knife) {
                kx = knife->GetAnchor().x;
                ky = knife->GetAnchor().y;
            }
        }
    }
    // Sub-paths without a usable box (points that are no numbers) keep their order at the end.
    for (int i : leftOver)
        result->Add(subPaths[i], -1, 0, 0);

    path_ = result;
    path_->AcceptLinearTrans(inverse_);
}

bool CutOrderOptimizer::SplitAtCrossing(SubPath& sp, double kx, double ky, double bound) {
    if (sp.IsEmpty()) return false;
    WBoundingBox box = sp.GetBBox();
    double c = ky;
    if (ky < box.bottom) c = box.bottom + 0.1;
    if (ky > box.top) c = box.top - 0.1;

    WClipBezierSegment clipper;
    double best = kNoCrossing;
    int bestSegment = -1;
    double bestT = 0;
    const int segments = sp.GetSegmentCount();
    for (int i = 0; i < segments; ++i) {
        WSegment segment;
        if (!sp.GetSegment(i, segment)) continue;
        WInterval pieces[2];
        int n = clipper.CutBezierAtAxis(&segment, pieces[0], pieces[1], c, 1);
        for (int k = 0; k < n; ++k) {
            double candidates[2] = {pieces[k].Lower(), pieces[k].Upper()};
            bool take[2] = {candidates[0] > 0, candidates[1] < 1};
            for (int e = 0; e < 2; ++e) {
                if (!take[e]) continue;
                double x = segment.CoordAtParam(candidates[e]).x;
                double d = Distance(kx, ky, x, c);
                if (d < best) {
                    best = d;
                    bestSegment = i;
                    bestT = candidates[e];
                }
            }
        }
    }
    if (bestSegment < 0 || !(best < kNoCrossing) || !(best < bound)) return false;

    const int nodes = sp.GetNodeCount();
    if (bestT > 0 && bestT < 1) {
        // The new node takes the place after the segment's start node.
        sp.SplitSegment(bestSegment + 1, bestT);
        sp.SetStartNode(bestSegment + 1);
    } else if (bestT >= 1) {
        sp.SetStartNode((bestSegment + 1) % nodes);
    } else {
        sp.SetStartNode(bestSegment);
    }
    return true;
}

void CutOrderOptimizer::Store(Path& path) const {
    path.ClosePath();
    path.subPaths.Destroy();
    const int count = path_->GetSize();
    for (int i = 0; i < count; ++i) {
        WPath::SubPathPtr sp = path_->GetSubPathByIndex(i);
        const int nodes = sp ? sp->GetNodeCount() : 0;
        if (!nodes) continue;
        const WNode* first = sp->GetNodeUnchecked(0);
        path.Append(PC_MOVETO, first->GetAnchor().x, first->GetAnchor().y);
        // Segment from node a to node b (b = 0 closes the outline).
        auto append = [&](const WNode& a, const WNode& b) {
            const WPont<float>& q = b.GetAnchor();
            std::uint16_t before = path.building.members.Filled();
            if (!IsZero(a.GetSecondVector()) || !IsZero(b.GetFirstVector())) {
                WPont<float> c1 = a.GetSecondControlPoint(), c2 = b.GetFirstControlPoint();
                path.Append(c1.x, c1.y, c2.x, c2.y, q.x, q.y);
            } else {
                path.Append(q.x, q.y);
            }
            PathMember* added =
                path.building.members.Filled() > before ? path.building.members.last() : nullptr;
            if (added && (b.GetKind() & kSmoothMark)) added->flags |= PM_SMOOTH;
            if (added && (b.GetKind() & kSymmetricMark)) added->flags |= PM_SYMMETRIC;
        };
        for (int j = 1; j < nodes; ++j)
            append(*sp->GetNodeUnchecked(j - 1), *sp->GetNodeUnchecked(j));
        if (sp->IsClosed()) append(*sp->GetNodeUnchecked(nodes - 1), *first);
        path.ClosePath();
    }
    path.ClosePath();
    path.Invalidate(SP_ALL_INVALID);
    path.Validate(SP_ALL_INVALID);
}
