#include <gtest/gtest.h>

#include <cmath>

#include "GeomTestUtil.h"
#include "RecordingArchive.h"
#include "geomkit/WBoundingBox.h"
#include "geomkit/WNode.h"
#include "geomkit/WTransMatrix.h"

namespace {

using V = WVektor<float>;
using P = WPont<float>;

COXSPtr<WNodeRef> Ref(int type) {
    COXSPtr<WNodeRef> r(new WNodeRef);
    r->Add(type);
    return r;
}

// The single point type a hit reference holds, or −1.
int HitType(const COXSPtr<WBezierRef>& ref) {
    if (ref.IsEmpty()) return -1;
    const WNodeRef* n = static_cast<const WNodeRef*>(ref.Get());
    for (int t = 0; t < 3; ++t)
        if (n->Contains(t)) return t;
    return -1;
}

void ExpectVector(const V& v, float x, float y) {
    EXPECT_NEAR(v.x, x, 1e-5);
    EXPECT_NEAR(v.y, y, 1e-5);
}

} // namespace

TEST(WNode, InitialisationSetsPresenceBits) {
    WNode n;
    EXPECT_EQ(n.GetKind(), 0);
    n.Initialize(V(1, 2), P(3, 4));
    EXPECT_EQ(n.GetKind(), WNode::eFirstVector);
    n.Initialize(P(3, 4), V(5, 6));
    EXPECT_EQ(n.GetKind(), WNode::eSecondVector);
    EXPECT_EQ(n.GetFirstVector(), V());
    n.Initialize(V(1, 2), P(3, 4), V(5, 6));
    EXPECT_EQ(n.GetKind(), 3);
    EXPECT_EQ(n.GetSecondControlPoint(), P(8, 10));
    n.Initialize(P(7, 7));
    EXPECT_EQ(n.GetKind(), 0);
    EXPECT_EQ(n.GetSecondVector(), V());

    WNode m;
    m.Initialize(V(1, 2), P(3, 4), V(5, 6));
    COXSPtr<WNode> copy = m.Copy();
    EXPECT_EQ(copy->GetAnchor(), P(3, 4));
    EXPECT_EQ(copy->GetKind(), 3);
}

TEST(WNode, ReversingExchangesTheVectors) {
    WNode n;
    n.Initialize(V(1, 2), P(0, 0));
    n.ReverseInPlace();
    EXPECT_EQ(n.GetKind(), WNode::eSecondVector);
    EXPECT_EQ(n.GetSecondVector(), V(1, 2));
    EXPECT_EQ(n.GetFirstVector(), V());

    WNode s;
    s.Initialize(V(-1, 0), P(0, 0), V(2, 0));
    s.MakeSmooth();
    EXPECT_EQ(s.GetKind(), 3 + WNode::eSmooth);
    WNode r = s.Reverse();
    EXPECT_EQ(r.GetKind(), 3); // smooth cleared
    EXPECT_EQ(r.GetFirstVector(), V(2, 0));
    s.ReverseInPlace();
    EXPECT_EQ(s.GetKind(), 3 + WNode::eSmooth);
    EXPECT_EQ(s.GetFirstVector(), V(2, 0));

    WNode one;
    one.Initialize(P(0, 0), V(1, 1));
    EXPECT_EQ(one.Reverse().GetKind(), WNode::eFirstVector);
}

TEST(WNode, DraggingPoints) {
    WNode corner;
    corner.Initialize(P(10, 10));
    corner.AddVector(V(3, 4), Ref(WNode::eFirstControl));
    EXPECT_EQ(corner.GetKind(), WNode::eFirstVector); // a new handle pulled out of the anchor
    EXPECT_EQ(corner.GetFirstVector(), V(3, 4));
    corner.AddVector(V(1, 1), Ref(WNode::eAnchor));
    EXPECT_EQ(corner.GetAnchor(), P(11, 11));
    EXPECT_EQ(corner.GetFirstControlPoint(), P(14, 15)); // the handle moved with it

    // A smooth node with one handle only changes that handle's length.
    WNode smooth;
    smooth.Initialize(V(1, 0), P(10, 10));
    smooth.SetKind(WNode::eFirstVector | WNode::eSmooth);
    smooth.AddVector(V(2, 5), Ref(WNode::eFirstControl));
    ExpectVector(smooth.GetFirstVector(), 3, 0);
    smooth.AddVector(V(-4, 0), Ref(WNode::eFirstControl));
    ExpectVector(smooth.GetFirstVector(), 3, 0); // pointing back: unchanged
    P cursor(15, 13);
    smooth.AddVector(V(), Ref(WNode::eFirstControl), &cursor);
    ExpectVector(smooth.GetFirstVector(), 5, 0);

    WNode sym;
    sym.Initialize(V(-2, 0), P(0, 0), V(2, 0));
    sym.SetKind(3 | WNode::eSymmetric);
    sym.AddVector(V(0, 2), Ref(WNode::eSecondControl));
    ExpectVector(sym.GetSecondVector(), 2, 2);
    ExpectVector(sym.GetFirstVector(), -2, -2);

    WNode sm;
    sm.Initialize(V(-1, 0), P(0, 0), V(2, 0));
    sm.SetKind(3 | WNode::eSmooth);
    sm.AddVector(V(0, 2), Ref(WNode::eSecondControl));
    ExpectVector(sm.GetSecondVector(), 2, 2);
    ExpectVector(sm.GetFirstVector(), float(-std::sqrt(0.5)), float(-std::sqrt(0.5)));

    EXPECT_TRUE(ThrowsMemoryException([&] { sm.AddVector(V(1, 1), COXSPtr<WNodeRef>()); }));
    ExpectVector(sm.GetSecondVector(), 2, 2); // nothing changed before the throw
}

TEST(WNode, SmoothingAndSymmetry) {
    WNode n;
    n.Initialize(V(0, 0), P(1, 1), V(4, 0));
    n.MakeSymmetric();
    EXPECT_EQ(n.GetKind(), 3 + WNode::eSmooth + WNode::eSymmetric);
    ExpectVector(n.GetFirstVector(), -2, 0);
    ExpectVector(n.GetSecondVector(), 2, 0);

    // At right angles, equal lengths: both turn by 45°.
    WNode right;
    right.Initialize(V(0, 1), P(0, 0), V(1, 0));
    right.MakeSmooth();
    V a = right.GetFirstVector(), b = right.GetSecondVector();
    EXPECT_NEAR(a.Length(), 1, 1e-6);
    EXPECT_NEAR(b.Length(), 1, 1e-6);
    EXPECT_NEAR(Cross(a, b), 0, 1e-6);
    EXPECT_LT(Dot(a, b), 0);
    EXPECT_NEAR(std::fabs(b.y), std::sqrt(0.5), 1e-6); // either way round by 45°

    // A slight kink: the correction is shared by squared lengths, so the short handle takes
    // most of it (9.01° against 0.99° for lengths 3 and 1).
    const double deg = 3.14159265358979 / 180;
    WNode uneven;
    uneven.Initialize(V(-3, 0), P(0, 0), V(float(std::cos(10 * deg)), float(std::sin(10 * deg))));
    uneven.MakeSmooth();
    V la = uneven.GetFirstVector(), lb = uneven.GetSecondVector();
    EXPECT_NEAR(Cross(la, lb), 0, 1e-5);
    EXPECT_LT(Dot(la, lb), 0);
    EXPECT_NEAR(la.Length(), 3, 1e-5);
    EXPECT_NEAR(std::atan2(lb.y, lb.x) / deg, 0.99, 0.01);

    WNode same;
    same.Initialize(V(1, 1), P(0, 0), V(1, 1));
    same.MakeSmooth();
    ExpectVector(same.GetFirstVector(), -1, -1);
    ExpectVector(same.GetSecondVector(), 1, 1);

    WNode general;
    general.SetKind(3 | WNode::eSmooth | WNode::eSymmetric);
    general.MakeGeneral();
    EXPECT_EQ(general.GetKind(), 3 | WNode::eGeneral);
    WNode single;
    single.Initialize(V(1, 0), P(0, 0));
    single.MakeSmooth();
    EXPECT_EQ(single.GetKind(), WNode::eFirstVector); // needs both vectors
}

TEST(WNode, HitTestsAndBoxes) {
    WNode n;
    n.Initialize(P(5, 5));
    EXPECT_EQ(HitType(n.IsPointNear(P(5, 5), 1, 1, 0)), WNode::eSecondControl);
    EXPECT_EQ(HitType(n.IsPointNear(P(5, 5), 1, 1, 1)), WNode::eFirstControl);
    EXPECT_EQ(HitType(n.IsPointNear(P(5, 5), 1, 0, 0)), WNode::eAnchor);
    EXPECT_EQ(HitType(n.IsPointNear(P(6, 5), 1, 0, 0)), -1); // exactly at tol misses
    EXPECT_EQ(HitType(n.IsPointNear(P(std::nanf(""), 5), 1, 1, 0)), -1);

    WNode h;
    h.Initialize(V(-3, 0), P(5, 5), V(3, 0));
    EXPECT_EQ(HitType(h.IsPointNear(P(8, 5.5f), 1, 1, 1)), WNode::eSecondControl);
    EXPECT_EQ(HitType(h.IsPointNear(P(8, 5.5f), 1, 0, 1)), -1);

    COXSPtr<WNodeRef> in = h.IsInBox(WBoundingBox(4, 9, 4, 6), 1);
    ASSERT_FALSE(in.IsEmpty());
    EXPECT_TRUE(in->Contains(WNode::eAnchor));
    EXPECT_TRUE(in->Contains(WNode::eSecondControl));
    EXPECT_FALSE(in->Contains(WNode::eFirstControl));
    EXPECT_TRUE(h.IsInBox(WBoundingBox(4, 9, 4, 6), 0)->Contains(WNode::eAnchor));
    EXPECT_TRUE(h.IsInBox(WBoundingBox(0, 5, 0, 5), 1).IsEmpty()); // half-open

    WNode corner;
    corner.Initialize(P(5, 5));
    COXSPtr<WNodeRef> c = corner.IsInBox(WBoundingBox(4, 6, 4, 6), 1);
    EXPECT_FALSE(c->Contains(WNode::eFirstControl)); // absent vectors are not tested here

    EXPECT_EQ(h.GetPointAt(Ref(WNode::eFirstControl)), P(2, 5));
    EXPECT_EQ(h.GetNormalVectorAt(Ref(0)), V(0, 1));
    EXPECT_EQ(h.GetPointAt(COXSPtr<WNodeRef>(new WNodeRef)), P(0, 0));

    WNodeRef odd; // types outside the three point types are ignored
    odd.Add(7);
    odd.Add(-1);
    odd.Add(40);
    EXPECT_TRUE(odd.IsEmpty());
    EXPECT_EQ(odd.Contains(40), 0);
}

TEST(WNode, TransformationsKeepRegularNodesRegular) {
    WNode n;
    n.Initialize(V(-1, 0), P(1, 1), V(2, 0));
    n.AcceptLinearTrans(WTransMatrix(2, 0, 0, 2, 1, 1));
    EXPECT_EQ(n.GetAnchor(), P(3, 3));
    EXPECT_EQ(n.GetFirstVector(), V(-2, 0));
    EXPECT_EQ(n.GetSecondVector(), V(4, 0));

    n.SetKind(3 | WNode::eSmooth);
    WTransMatrix rot;
    rot.Rotate(-3.14159265358979323846 / 2); // (x, y) → (−y, x)
    n.AcceptLinearTrans(rot, Ref(WNode::eFirstControl));
    ExpectVector(n.GetFirstVector(), 0, -2);
    ExpectVector(n.GetSecondVector(), 0, 4); // turned along, own length
    EXPECT_EQ(n.GetAnchor(), P(3, 3));

    n.AcceptLinearTrans(WTransMatrix(1, 0, 0, 1, 5, 0), Ref(WNode::eAnchor));
    EXPECT_EQ(n.GetAnchor(), P(8, 3));
    EXPECT_TRUE(ThrowsMemoryException([&] { n.AcceptLinearTrans(rot, COXSPtr<WNodeRef>()); }));
}

TEST(WNode, RecordOrder) {
    WNode n;
    n.Initialize(V(1, 2), P(3, 4), V(5, 6));
    n.SetKind(3 | WNode::eSymmetric);
    RecordingArchive out;
    n.Serialize(out);
    using R = RecordingArchive;
    const std::vector<R::Value> expected = {{R::Byte, 19}, {R::Float, 1}, {R::Float, 2},
                                            {R::Float, 3}, {R::Float, 4}, {R::Float, 5},
                                            {R::Float, 6}};
    EXPECT_EQ(out.Values(), expected);

    RecordingArchive in(out.Values());
    WNode back;
    back.Serialize(in);
    EXPECT_TRUE(in.AllRead());
    EXPECT_EQ(back.GetKind(), 19);
    EXPECT_EQ(back.GetFirstVector(), V(1, 2));
    EXPECT_EQ(back.GetAnchor(), P(3, 4));
    EXPECT_EQ(back.GetSecondVector(), V(5, 6));
}
