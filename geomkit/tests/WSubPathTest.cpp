#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "RecordingArchive.h"
#include "RecordingDevice.h"
#include "geomkit/WAngle.h"
#include "geomkit/WSubPath.h"
#include "geomkit/WTransMatrix.h"

namespace {

using P = WPont<float>;
using V = WVektor<float>;
using SubPath = WSubPath<WNode, WSegment>;
using SubPathPtr = COXSPtr<SubPath>;

const double kPi = 3.14159265358979323846;

// A polygon through the points, closed when asked.
SubPathPtr Polygon(std::initializer_list<P> points, bool closed) {
    SubPathPtr sp(new SubPath);
    for (const P& p : points)
        sp->LineTo(p.x, p.y);
    if (closed) sp->Close();
    return sp;
}

// Anticlockwise with y up.
SubPathPtr Square(float x0, float y0, float size) {
    return Polygon({P(x0, y0), P(x0 + size, y0), P(x0 + size, y0 + size), P(x0, y0 + size)}, true);
}

std::vector<P> Anchors(SubPath& sp) {
    std::vector<P> out;
    for (int i = 0; i < sp.GetNodeCount(); ++i)
        out.push_back(sp.GetNode(i)->GetAnchor());
    return out;
}

void ExpectNear(const P& a, const P& b, double tol = 1e-4) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
}

} // namespace

TEST(WSubPath, ConstructionState) {
    SubPath sp;
    EXPECT_TRUE(sp.IsEmpty());
    EXPECT_FALSE(sp.IsClosed());
    EXPECT_EQ(sp.GetSegmentCount(), 0);
    EXPECT_EQ(sp.GetContainmentDepth(), -1);
    EXPECT_EQ(sp.GetDirection(), 0);
    EXPECT_EQ(sp.IsBBoxDirty(), 1);
    EXPECT_FALSE(sp.GetBBox().IsValid());
    EXPECT_EQ(sp.IsBBoxDirty(), 1);
    EXPECT_EQ(sp.GetNode(0), nullptr);
    EXPECT_EQ(sp.GetLastNode(), nullptr);
}

TEST(WSubPath, BuildingOperations) {
    SubPath sp;
    sp.MoveTo(1, 1);
    sp.LineTo(5, 1);
    sp.MoveTo(2, 3); // starts again
    ASSERT_EQ(sp.GetNodeCount(), 1);
    EXPECT_EQ(sp.GetNode(0)->GetAnchor(), P(2, 3));

    ASSERT_EQ(sp.CurveTo(V(1, 0), V(0, -1), P(6, 6)), 1);
    EXPECT_EQ(sp.GetNode(0)->GetKind(), WNode::eSecondVector);
    EXPECT_EQ(sp.GetNode(1)->GetKind(), WNode::eFirstVector);
    EXPECT_EQ(sp.GetNode(1)->GetFirstVector(), V(0, -1));
    WSegment s;
    ASSERT_EQ(sp.GetSegment(0, s), 1);
    EXPECT_TRUE(s.IsCurve());
    EXPECT_EQ(s.GetC1(), P(3, 3));
    EXPECT_EQ(sp.GetSegment(1, s), 0); // open: the last node has no next node

    // A closed sub-path refuses lines but takes curves.
    sp.Close();
    const int before = sp.GetNodeCount();
    EXPECT_EQ(sp.LineTo(9, 9), 0);
    EXPECT_EQ(sp.GetNodeCount(), before);
    EXPECT_EQ(sp.CurveTo(1, 0, 0, 1, 9, 9), 1);
    EXPECT_EQ(sp.GetNodeCount(), before + 1);

    // An empty sub-path takes a curve's end point only.
    SubPath fresh;
    fresh.CurveTo(V(4, 4), V(4, 4), P(7, 8));
    ASSERT_EQ(fresh.GetNodeCount(), 1);
    EXPECT_EQ(fresh.GetNode(0)->GetKind(), 0);
}

TEST(WSubPath, AppendSegmentChecksTheJoin) {
    SubPath sp;
    sp.MoveTo(0, 0);
    WSegment s;
    s.Initialize(P(0.00002f, 0), P(5, 0));
    EXPECT_EQ(sp.AppendSegment(s), 0);
    s.Initialize(P(0.000005f, 0), P(5, 0));
    EXPECT_EQ(sp.AppendSegment(s), 1);
    s.Initialize(P(5, 0), V(1, 1), V(-1, 1), P(9, 0));
    ASSERT_EQ(sp.AppendSegment(s), 1);
    EXPECT_EQ(sp.GetNode(1)->GetSecondVector(), V(1, 1));
    EXPECT_EQ(sp.GetNode(2)->GetFirstVector(), V(-1, 1));
    // A straight segment after a curve clears the vector the last node had.
    sp.GetNode(2)->SetSecondVector(V(3, 3));
    s.Initialize(P(9, 0), P(9, 5));
    ASSERT_EQ(sp.AppendSegment(s), 1);
    EXPECT_FALSE(sp.GetNode(2)->HasSecondVector());
    EXPECT_EQ(sp.GetNode(2)->GetSecondVector(), V(0, 0));
}

TEST(WSubPath, CloseMergesRepeatedNode) {
    SubPathPtr sp = Polygon({P(0, 0), P(4, 0), P(4, 4), P(0, 0)}, false);
    sp->Close();
    EXPECT_TRUE(sp->IsClosed());
    EXPECT_EQ(sp->GetNodeCount(), 3);
    EXPECT_EQ(sp->GetSegmentCount(), 3);

    // Not repeated: just closed.
    SubPathPtr open = Polygon({P(0, 0), P(4, 0), P(4, 4)}, false);
    open->Close();
    EXPECT_EQ(open->GetNodeCount(), 3);

    // A single node stays.
    SubPath single;
    single.MoveTo(2, 2);
    single.Close();
    EXPECT_TRUE(single.IsClosed());
    EXPECT_EQ(single.GetNodeCount(), 1);
}

TEST(WSubPath, SplitSegment) {
    SubPathPtr sp = Polygon({P(0, 0), P(10, 0), P(10, 10)}, false);
    EXPECT_EQ(sp->SplitSegment(1, 0), 0);
    EXPECT_EQ(sp->SplitSegment(1, 1), 0);
    EXPECT_EQ(sp->SplitSegment(0, 0.5), 0); // no segment ends at node 0 of an open sub-path
    EXPECT_EQ(sp->SplitSegment(1, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(sp->GetNodeCount(), 3);
    ASSERT_EQ(sp->SplitSegment(1, 0.5), 1);
    ASSERT_EQ(sp->GetNodeCount(), 4);
    EXPECT_EQ(sp->GetNode(1)->GetAnchor(), P(5, 0));
    EXPECT_EQ(sp->GetNode(1)->GetKind(), 0);

    // A curve split keeps its shape; symmetric ends become smooth.
    SubPath curve;
    curve.MoveTo(0, 0);
    curve.CurveTo(V(3, 6), V(-3, 6), P(10, 0));
    curve.GetNode(0)->SetKind(curve.GetNode(0)->GetKind() | WNode::eSymmetric);
    WSegment original;
    curve.GetSegment(0, original);
    ASSERT_EQ(curve.SplitSegment(1, 0.3), 1);
    ExpectNear(curve.GetNode(1)->GetAnchor(), original.CoordAtParam(0.3));
    EXPECT_EQ(curve.GetNode(0)->GetKind() & (WNode::eSmooth | WNode::eSymmetric), WNode::eSmooth);
    WSegment a, b;
    curve.GetSegment(0, a);
    curve.GetSegment(1, b);
    for (double u : {0.25, 0.5, 0.75}) {
        ExpectNear(a.CoordAtParam(u), original.CoordAtParam(0.3 * u));
        ExpectNear(b.CoordAtParam(u), original.CoordAtParam(0.3 + 0.7 * u));
    }

    // On a closed sub-path 0 and the count both name the closing segment.
    for (int index : {0, 4}) {
        SubPathPtr sq = Square(0, 0, 10);
        ASSERT_EQ(sq->SplitSegment(index, 0.5), 1);
        ASSERT_EQ(sq->GetNodeCount(), 5);
        const int added = index == 0 ? 0 : 4;
        EXPECT_EQ(sq->GetNode(added)->GetAnchor(), P(0, 5));
        EXPECT_EQ(sq->GetSegmentCount(), 5);
    }
}

TEST(WSubPath, RotateOpenAndReplace) {
    SubPathPtr five = Polygon({P(0, 0), P(1, 0), P(2, 0), P(3, 0), P(4, 0)}, false);
    five->Close();
    ASSERT_EQ(five->SetStartNode(2), 1);
    EXPECT_EQ(Anchors(*five), (std::vector<P>{P(2, 0), P(3, 0), P(4, 0), P(0, 0), P(1, 0)}));
    EXPECT_EQ(five->SetStartNode(5), 0);

    // Closed: the segment disappears and the sub-path opens there.
    SubPathPtr sq = Square(0, 0, 10);
    EXPECT_TRUE(sq->OpenAtSegment(1).IsEmpty());
    EXPECT_FALSE(sq->IsClosed());
    EXPECT_EQ(Anchors(*sq), (std::vector<P>{P(10, 10), P(0, 10), P(0, 0), P(10, 0)}));

    // Open: cut in two; at the last index the rest is empty.
    SubPathPtr line = Polygon({P(0, 0), P(1, 0), P(2, 0), P(3, 0)}, false);
    SubPathPtr rest = line->OpenAtSegment(3);
    ASSERT_FALSE(rest.IsEmpty());
    EXPECT_TRUE(rest->IsEmpty());
    EXPECT_EQ(line->GetNodeCount(), 4);
    rest = line->OpenAtSegment(1);
    EXPECT_EQ(Anchors(*line), (std::vector<P>{P(0, 0), P(1, 0)}));
    EXPECT_EQ(Anchors(*rest), (std::vector<P>{P(2, 0), P(3, 0)}));
    EXPECT_TRUE(line->OpenAtSegment(7).IsEmpty());

    // Opening at a node doubles it: both ends lie on it.
    SubPathPtr sq2 = Square(0, 0, 10);
    EXPECT_TRUE(sq2->OpenAtNode(2).IsEmpty());
    EXPECT_EQ(Anchors(*sq2), (std::vector<P>{P(10, 10), P(0, 10), P(0, 0), P(10, 0), P(10, 10)}));

    // Replacing a run of nodes, also across the start of a closed sub-path.
    SubPathPtr detour = Polygon({P(10, 0), P(12, 5), P(10, 10)}, false);
    SubPathPtr sq3 = Square(0, 0, 10);
    ASSERT_EQ(sq3->ReplaceNodeRange(1, 2, detour), 1);
    EXPECT_EQ(Anchors(*sq3), (std::vector<P>{P(0, 0), P(10, 0), P(12, 5), P(10, 10), P(0, 10)}));
    SubPathPtr wrap = Polygon({P(0, 10), P(-5, 5), P(0, 0), P(5, -5), P(10, 0)}, false);
    SubPathPtr sq4 = Square(0, 0, 10);
    ASSERT_EQ(sq4->ReplaceNodeRange(3, 1, wrap), 1);
    EXPECT_EQ(Anchors(*sq4),
              (std::vector<P>{P(10, 0), P(10, 10), P(0, 10), P(-5, 5), P(0, 0), P(5, -5)}));
    // Refused: anchors that do not meet, a wrap on an open sub-path, an empty replacement.
    EXPECT_EQ(Square(0, 0, 10)->ReplaceNodeRange(0, 2, detour), 0);
    EXPECT_EQ(Polygon({P(0, 0), P(10, 0), P(10, 10)}, false)->ReplaceNodeRange(2, 0, detour), 0);
    EXPECT_EQ(Square(0, 0, 10)->ReplaceNodeRange(1, 2, SubPathPtr(new SubPath)), 0);
    EXPECT_EQ(Square(0, 0, 10)->ReplaceNodeRange(1, 2, SubPathPtr()), 0);
}

TEST(WSubPath, AppendSubPath) {
    SubPathPtr a = Polygon({P(0, 0), P(5, 0)}, false);
    SubPathPtr b = Polygon({P(5, 0), P(5, 5), P(0, 0)}, false);
    ASSERT_EQ(a->AppendSubPath(b, 1), 1);
    EXPECT_TRUE(a->IsClosed());
    EXPECT_EQ(Anchors(*a), (std::vector<P>{P(0, 0), P(5, 0), P(5, 5)}));
    EXPECT_EQ(a->AppendSubPath(b, 0), 0); // closed

    // Apart: joined by a line; a closed other comes back to its start.
    SubPathPtr c = Polygon({P(-5, 0), P(-1, 0)}, false);
    ASSERT_EQ(c->AppendSubPath(Square(0, 0, 2), 0), 1);
    EXPECT_EQ(c->GetNodeCount(), 7);
    EXPECT_EQ(c->GetLastNode()->GetAnchor(), P(0, 0));
    EXPECT_EQ(c->GetBBox(), WBoundingBox(-5, 2, 0, 2));
    // Appending a sub-path to itself.
    SubPathPtr d = Polygon({P(0, 0), P(1, 1)}, false);
    ASSERT_EQ(d->AppendSubPath(d, 0), 1);
    EXPECT_EQ(d->GetNodeCount(), 4);
}

TEST(WSubPath, BoxesFollowTheCurve) {
    // The curve bulges up to y = 7.5; its control points reach y = 10.
    SubPath sp;
    sp.MoveTo(0, 0);
    sp.CurveTo(V(0, 10), V(0, 10), P(10, 0));
    EXPECT_EQ(sp.IsBBoxDirty(), 0);
    EXPECT_EQ(sp.GetBBox(), WBoundingBox(0, 10, 0, 7.5));
    EXPECT_EQ(sp.RecalculateBBox(), WBoundingBox(0, 10, 0, 7.5));
    EXPECT_EQ(sp.GetControlBBox(), WBoundingBox(0, 10, 0, 10));
    // A control vector with an infinite component is left out of the control box.
    sp.GetNode(1)->SetSecondVector(V(std::numeric_limits<float>::infinity(), 0));
    EXPECT_EQ(sp.GetControlBBox(), WBoundingBox(0, 10, 0, 10));

    // A translation maps the cached box; a rotation marks it dirty.
    WTransMatrix m;
    m.Translate(1, 2);
    sp.AcceptLinearTrans(m);
    EXPECT_EQ(sp.IsBBoxDirty(), 0);
    EXPECT_EQ(sp.GetBBox(), WBoundingBox(1, 11, 2, 9.5));
    WTransMatrix r;
    r.Rotate(kPi / 2);
    sp.AcceptLinearTrans(r);
    EXPECT_EQ(sp.IsBBoxDirty(), 1);
    EXPECT_NEAR(sp.GetBBox().top, -1, 1e-5);

    // Removing a node leaves the box to be recalculated.
    SubPathPtr sq = Square(0, 0, 10);
    sq->RemoveNode(2);
    EXPECT_EQ(sq->IsBBoxDirty(), 1);
    EXPECT_EQ(sq->GetBBox(), WBoundingBox(0, 10, 0, 10));
    EXPECT_EQ(sq->RemoveNode(3), 0);
}

TEST(WSubPath, HasExtent) {
    SubPath empty;
    EXPECT_EQ(empty.HasExtent(), 0);
    SubPath dot;
    dot.MoveTo(1, 1);
    EXPECT_EQ(dot.HasExtent(), 0);
    dot.Close();
    EXPECT_EQ(dot.HasExtent(), 0);
    dot.GetNode(0)->SetSecondVector(V(1, 1));
    EXPECT_EQ(dot.HasExtent(), 1);
    EXPECT_EQ(Polygon({P(1, 1), P(1.000005f, 1)}, false)->HasExtent(), 0);
    EXPECT_EQ(Polygon({P(1, 1), P(1.00002f, 1)}, false)->HasExtent(), 1);
}

TEST(WSubPath, DirectionAndReverse) {
    SubPathPtr ccw = Square(0, 0, 10);
    EXPECT_EQ(ccw->ComputeDirection(), -1);
    ccw->Reverse();
    EXPECT_EQ(ccw->GetDirection(), 1);
    EXPECT_EQ(ccw->ComputeDirection(), 1);
    // Node 0 stays in place when reversing a closed sub-path.
    EXPECT_EQ(Anchors(*ccw), (std::vector<P>{P(0, 0), P(0, 10), P(10, 10), P(10, 0)}));

    EXPECT_EQ(Polygon({P(0, 0), P(10, 0), P(5, 5)}, false)->ComputeDirection(), 0);

    // A circle: its rightmost point lies inside a segment.
    SubPath circle;
    circle.MakeArc(P(0, 0), 5, WDirectedAngleRange(WAngle(-1.0), WAngle(-1.0 + 2 * kPi - 1e-3), 0));
    circle.Close();
    EXPECT_EQ(circle.ComputeDirection(), -1);
    circle.Reverse();
    EXPECT_EQ(circle.ComputeDirection(), 1);

    // A lens whose rightmost node is a spike: the tangents there coincide, so the outline a
    // little further on decides. A → B (top) → C (bottom) → A runs anticlockwise.
    SubPath lens;
    lens.MoveTo(10, 0);
    lens.CurveTo(V(-5, 0), V(0, 0), P(0, 5));
    lens.LineTo(0, -5);
    lens.CurveTo(V(0, 0), V(-5, 0), P(10, 0));
    lens.Close();
    ASSERT_EQ(lens.GetNodeCount(), 3);
    EXPECT_EQ(lens.GetNode(0)->GetFirstVector(), V(-5, 0));
    EXPECT_EQ(lens.ComputeDirection(), -1);
    lens.Reverse();
    EXPECT_EQ(lens.ComputeDirection(), 1);
}

TEST(WSubPath, FindExtremePoint) {
    SubPathPtr sq = Square(0, 0, 10);
    int index = -1;
    double t = -1;
    // Greatest x: segments 0 (at its end), 1 and 2 (at their starts) tie; the last wins.
    ASSERT_EQ(sq->FindExtremePoint(SubPath::eMaxX, index, t), 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(t, 0);
    // An extreme at the end of a segment is reported as the next node.
    ASSERT_EQ(sq->FindExtremePoint(SubPath::eMinX, index, t), 1);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(sq->FindExtremePoint(4, index, t), 0);

    SubPath arch;
    arch.MoveTo(0, 0);
    arch.CurveTo(V(0, 10), V(0, 10), P(10, 0));
    ASSERT_EQ(arch.FindExtremePoint(SubPath::eMaxY, index, t), 1);
    EXPECT_EQ(index, 0);
    EXPECT_NEAR(t, 0.5, 1e-9);
}

TEST(WSubPath, HitTest) {
    SubPathPtr sq = Square(0, 0, 10);
    int segment = -1;
    float t = -1;
    ASSERT_EQ(sq->HitTest(P(5, 0.5f), 1, &segment, &t), 1);
    EXPECT_EQ(segment, 0);
    EXPECT_NEAR(t, 0.5, 1e-6);
    // On node 0 the closing segment is asked first.
    ASSERT_EQ(sq->HitTest(P(0, 0), 0.5f, &segment, &t), 1);
    EXPECT_EQ(segment, 3);
    EXPECT_NEAR(t, 1, 1e-6);
    EXPECT_EQ(sq->HitTest(P(5, 5), 1, nullptr, nullptr), 0);
    EXPECT_EQ(sq->HitTest(P(12, 5), 1, nullptr, nullptr), 0);
    EXPECT_EQ(sq->HitTest(P(10.5f, 5), 1, nullptr, nullptr), 1);

    // A curve is hit near its bulge.
    SubPath arch;
    arch.MoveTo(0, 0);
    arch.CurveTo(V(0, 10), V(0, 10), P(10, 0));
    ASSERT_EQ(arch.HitTest(P(5, 7.3f), 0.5f, &segment, &t), 1);
    EXPECT_EQ(segment, 0);
    EXPECT_NEAR(t, 0.5, 0.05);
    EXPECT_EQ(arch.HitTest(P(5, 6.5f), 0.5f, nullptr, nullptr), 0);

    // The open sub-path has no closing segment.
    SubPathPtr open = Polygon({P(0, 0), P(10, 0), P(10, 10), P(0, 10)}, false);
    EXPECT_EQ(open->HitTest(P(0, 5), 0.5f, nullptr, nullptr), 0);
}

TEST(WSubPath, MakeArc) {
    // The piece count is ceil(sweep × 0.6366197723695659); that factor lies just above 2/π,
    // so a half turn takes three pieces.
    SubPath arc;
    arc.MakeArc(P(1, 1), 2, WDirectedAngleRange(WAngle(0.0), WAngle(kPi), 0));
    ASSERT_EQ(arc.GetNodeCount(), 4);
    const float h = float(std::sqrt(3.0));
    ExpectNear(arc.GetNode(0)->GetAnchor(), P(3, 1));
    ExpectNear(arc.GetNode(1)->GetAnchor(), P(2, 1 + h));
    ExpectNear(arc.GetNode(2)->GetAnchor(), P(0, 1 + h));
    ExpectNear(arc.GetNode(3)->GetAnchor(), P(-1, 1));
    for (int i = 0; i < 3; ++i) {
        WSegment s;
        arc.GetSegment(i, s);
        for (double u : {0.25, 0.5, 0.75}) {
            const P p = s.CoordAtParam(u);
            EXPECT_NEAR(std::hypot(p.x - 1.0, p.y - 1.0), 2,
                        0.01); // the arc shape is an approximation
        }
    }
    // Clockwise from the same start goes down.
    arc.MakeArc(P(1, 1), 2, WDirectedAngleRange(WAngle(0.0), WAngle(kPi), 1));
    ExpectNear(arc.GetNode(1)->GetAnchor(), P(2, 1 - h));
    // A closed sub-path is replaced too.
    SubPathPtr sq = Square(0, 0, 1);
    sq->MakeArc(P(0, 0), 1, WDirectedAngleRange(WAngle(0.0), WAngle(kPi / 4), 0));
    EXPECT_EQ(sq->GetNodeCount(), 2);
    EXPECT_FALSE(sq->IsClosed());
    // No sweep, no nodes.
    arc.MakeArc(P(0, 0), 1, WDirectedAngleRange(WAngle(1.0), WAngle(1.0), 0));
    EXPECT_TRUE(arc.IsEmpty());
}

TEST(WSubPath, IteratorsAndNodeIndexes) {
    SubPathPtr sq = Square(0, 0, 10);
    COXSPtr<WIterator<WNode*>> nodes = sq->CreateNodeIterator();
    int n = 0;
    for (nodes->SetToFirst(); !nodes->IsDone(); nodes->Next())
        EXPECT_EQ(nodes->GetCurrent(), sq->GetNode(n++));
    EXPECT_EQ(n, 4);
    COXSPtr<WIterator<WSegment*>> segments = sq->CreateSegmentIterator();
    segments->SetToLast();
    WSegment* last = segments->GetCurrent();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetP3(), P(0, 0));
    delete last;
    segments->Next();
    EXPECT_TRUE(segments->IsDone());
    EXPECT_EQ(segments->GetCurrent(), nullptr);

    int i = 3;
    EXPECT_EQ(sq->NextNodeIndex(i), 1);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(sq->PrevNodeIndex(i), 1);
    EXPECT_EQ(i, 3);
    sq->Open();
    EXPECT_EQ(sq->NextNodeIndex(i), 0);
    i = 0;
    EXPECT_EQ(sq->PrevNodeIndex(i), 0);
    EXPECT_EQ(sq->SwapNodes(0, 0), 0);
    EXPECT_EQ(sq->SwapNodes(0, 3), 1);
    EXPECT_EQ(sq->GetNode(0)->GetAnchor(), P(0, 10));
}

TEST(WSubPath, CopyKeepsKeyAndFlags) {
    SubPathPtr sq = Square(0, 0, 10);
    sq->SetKey(42);
    sq->SetContainmentDepth(3);
    sq->SetMark();
    SubPathPtr copy = sq->Copy();
    EXPECT_EQ(copy->GetKey(), 42);
    EXPECT_EQ(copy->GetContainmentDepth(), 3);
    EXPECT_EQ(copy->IsMarked(), 0);
    EXPECT_TRUE(copy->IsClosed());
    EXPECT_EQ(Anchors(*copy), Anchors(*sq));
    WTransMatrix m;
    m.Scale(2, 2);
    SubPathPtr big = sq->LinearTrans(m);
    EXPECT_EQ(big->GetBBox(), WBoundingBox(0, 20, 0, 20));
    EXPECT_EQ(sq->GetBBox(), WBoundingBox(0, 10, 0, 10));
    EXPECT_NEAR(sq->GetLength(), 40, 1e-9);
}

TEST(WSubPath, DrawsEverySegment) {
    SubPath sp;
    sp.MoveTo(0, 0);
    sp.LineTo(10, 0);
    sp.CurveTo(V(0, 5), V(5, 0), P(0, 10));
    RecordingDevice device(0.1);
    EXPECT_EQ(sp.Draw(nullptr, WBoundingBox()), 0);
    ASSERT_EQ(sp.Draw(&device, WBoundingBox()), 1);
    EXPECT_EQ(device.Shape(),
              "MoveTo LineTo MoveTo ConvertLength LineTo* EndCurve CurveDone EndOutline");
    // A clip box away from the outline draws nothing.
    device.Clear();
    EXPECT_EQ(sp.Draw(&device, WBoundingBox(50, 60, 50, 60)), 1);
    EXPECT_TRUE(device.Calls().empty());
}

TEST(WSubPath, ArchiveRecord) {
    SubPath sp;
    sp.MoveTo(1, 2);
    sp.CurveTo(V(3, 4), V(5, 6), P(7, 8));
    sp.Close();
    // A vector whose bit says absent still travels as it is.
    sp.GetNode(0)->SetFirstVector(V(9, 9));
    sp.GetNode(0)->SetKind(WNode::eSecondVector | WNode::eSmooth);

    RecordingArchive out;
    sp.Serialize(out);
    using R = RecordingArchive;
    const std::vector<R::Value> expected = {
        {R::Byte, 1},  {R::Count, 2}, {R::Byte, 10}, {R::Float, 9}, {R::Float, 9}, {R::Float, 1},
        {R::Float, 2}, {R::Float, 3}, {R::Float, 4}, {R::Byte, 1},  {R::Float, 5}, {R::Float, 6},
        {R::Float, 7}, {R::Float, 8}, {R::Float, 0}, {R::Float, 0},
    };
    EXPECT_EQ(out.Values(), expected);

    SubPath back;
    back.MoveTo(50, 50);
    RecordingArchive in(out.Values());
    back.Serialize(in);
    EXPECT_TRUE(in.AllRead());
    EXPECT_TRUE(back.IsClosed());
    ASSERT_EQ(back.GetNodeCount(), 2);
    EXPECT_EQ(back.GetNode(0)->GetKind(), WNode::eSecondVector | WNode::eSmooth);
    EXPECT_EQ(back.GetNode(0)->GetFirstVector(), V(9, 9));
    EXPECT_EQ(back.GetNode(1)->GetFirstVector(), V(5, 6));
    EXPECT_EQ(back.GetBBox(), sp.GetBBox());

    // A negative count reads no nodes.
    RecordingArchive damaged({{R::Byte, 0}, {R::Count, -5}});
    back.Serialize(damaged);
    EXPECT_TRUE(back.IsEmpty());
}

TEST(WSubPath, InsertNodePadsAndRefuses) {
    SubPath sp;
    WNode n;
    n.Initialize(P(3, 3));
    EXPECT_EQ(sp.InsertNode(n, -2, 1), 0);
    EXPECT_EQ(sp.InsertNode(n, 1 << 30, 1), 0);
    ASSERT_EQ(sp.InsertNode(n, 2, 1), 1);
    EXPECT_EQ(sp.GetNodeCount(), 3);
    EXPECT_EQ(sp.GetNode(2)->GetAnchor(), P(3, 3));
    EXPECT_EQ(sp.GetBBox(), WBoundingBox(0, 3, 0, 3));
    ASSERT_EQ(sp.InsertNode(*sp.GetNode(2), 0, 1), 1); // a node of the array itself
    EXPECT_EQ(sp.GetNode(0)->GetAnchor(), P(3, 3));
}

TEST(WSubPath, NaNCoordinatesAreHarmless) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    SubPath sp;
    sp.MoveTo(0, 0);
    sp.CurveTo(V(nan, 1), V(1, inf), P(5, 5));
    sp.LineTo(nan, 3);
    sp.CurveTo(V(1, 1), V(1, 1), P(inf, -inf));
    sp.Close();
    const WBoundingBox box = sp.RecalculateBBox();
    EXPECT_FALSE(std::isnan(box.left) || std::isnan(box.right) || std::isnan(box.bottom) ||
                 std::isnan(box.top));
    EXPECT_EQ(sp.HitTest(P(nan, 0), 1, nullptr, nullptr), 0);
    EXPECT_EQ(sp.HitTest(P(0, 0), nan, nullptr, nullptr), 0);
    const int d = sp.ComputeDirection();
    EXPECT_TRUE(d >= -1 && d <= 1);
    int index = 0;
    double t = 0;
    sp.FindExtremePoint(SubPath::eMaxX, index, t);
    EXPECT_FALSE(std::isnan(t));
    RecordingDevice device(0.1);
    sp.Draw(&device, WBoundingBox());
    EXPECT_EQ(sp.SplitSegment(1, 0.5), 1);
    sp.MakeArc(P(nan, 0), 1, WDirectedAngleRange());
    sp.MakeArc(P(0, 0), inf, WDirectedAngleRange());
}

TEST(WSubPath, LinkedNodes) {
    // The sub-path template also holds nodes that link to their neighbours.
    WSubPath<TNode, WSegment> sp;
    sp.MoveTo(0, 0);
    sp.LineTo(4, 0);
    sp.LineTo(4, 4);
    TNode* a = sp.GetNode(0);
    TNode* b = sp.GetNode(1);
    TNode* c = sp.GetNode(2);
    a->SetNext(b);
    b->SetPrev(a);
    b->SetNext(c);
    sp.RemoveNode(1); // unlinks the node before it goes
    EXPECT_EQ(sp.GetNode(0)->GetNext(), c);
    sp.Reverse();
    EXPECT_EQ(sp.GetNode(1)->GetPrev(), c);
    EXPECT_EQ(sp.GetNode(1)->GetNext(), nullptr);
}
