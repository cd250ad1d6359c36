#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "RecordingArchive.h"
#include "RecordingDevice.h"
#include "geomkit/WInterruptHandler.h"
#include "geomkit/WPath.h"
#include "geomkit/WTransMatrix.h"

namespace {

using P = WPont<float>;
using SubPath = WPath::SubPath;
using SubPathPtr = WPath::SubPathPtr;

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

std::vector<P> Anchors(const SubPathPtr& sp) {
    std::vector<P> out;
    for (int i = 0; i < sp->GetNodeCount(); ++i)
        out.push_back(sp->GetNode(i)->GetAnchor());
    return out;
}

class StopAfter : public WInterruptHandler {
public:
    explicit StopAfter(int allowed) : m_allowed(allowed) {}
    int CheckInterrupt() override { return m_allowed-- <= 0; }

private:
    int m_allowed;
};

} // namespace

TEST(WPath, KeysAndOrder) {
    WPath path;
    SubPathPtr a = Square(0, 0, 1), b = Square(2, 0, 1), c = Square(4, 0, 1);
    EXPECT_EQ(path.Add(a, -1, 0, 0), 0);
    EXPECT_EQ(path.Add(b, -1, 0, 0), 1);
    EXPECT_EQ(path.Add(c, -1, 0, 0), 2);
    EXPECT_EQ(b->GetKey(), 1);
    ASSERT_EQ(path.RemoveByKey(1), 1);
    EXPECT_EQ(path.Add(Square(6, 0, 1), -1, 0, 0), 3);

    // Moving in the list changes indexes, not keys.
    ASSERT_EQ(path.MoveSubPathInList(0, 2), 1);
    EXPECT_EQ(path.GetIndex(0), 2);
    EXPECT_EQ(path.GetKey(2), 0);
    EXPECT_EQ(path.GetSubPathByKey(0), a);
    EXPECT_EQ(path.GetSubPathByKey(2), c);
    EXPECT_EQ(path.MoveSubPathInList(5, 1), 0);
    EXPECT_EQ(path.GetKey(9), -1);
    EXPECT_EQ(path.GetIndex(77), -1);
    EXPECT_TRUE(path.GetSubPathByIndex(-1).IsEmpty());

    // Insertion at a position.
    SubPathPtr first = Square(9, 9, 1);
    EXPECT_EQ(path.Add(first, 0, 0, 0), 4);
    EXPECT_EQ(path.GetSubPathByIndex(0), first);
    EXPECT_EQ(path.GetIndex(0), 3);

    ASSERT_EQ(path.RemoveByAddress(c.Get()), 1);
    EXPECT_TRUE(path.GetSubPathByKey(2).IsEmpty());
    EXPECT_EQ(path.RemoveByAddress(c.Get()), 0);
    EXPECT_EQ(path.GetSize(), 3);
}

TEST(WPath, AddReportsRefusals) {
    WPath path;
    path.Add(Square(0, 0, 1), -1, 0, 0);
    path.Add(Square(2, 0, 1), -1, 0, 0);
    EXPECT_EQ(path.GetBBox(), WBoundingBox(0, 3, 0, 1));

    // An empty pointer.
    EXPECT_EQ(path.Add(SubPathPtr(), -1, 0, 0), WPath::eEmptySubPath);
    EXPECT_EQ(path.Add(SubPathPtr(), -1, 0, 0), -2);

    // A key in use is a refusal (−1), not the list's own −2; the sub-path still takes the key.
    SubPathPtr clash = Square(4, 0, 1);
    clash->SetKey(1);
    EXPECT_EQ(path.Add(clash, -1, 1, 0), WPath::eRefused);
    EXPECT_EQ(clash->GetKey(), 1);
    // Also when the check is asked to be skipped: two entries under one key would corrupt the
    // list.
    EXPECT_EQ(path.Add(clash, -1, 1, 1), WPath::eRefused);
    EXPECT_EQ(path.GetSize(), 2);

    // A bad position.
    SubPathPtr lost = Square(4, 0, 1);
    EXPECT_EQ(path.Add(lost, 5, 0, 0), -1);
    EXPECT_EQ(lost->GetKey(), 2);
    EXPECT_EQ(path.GetNextKey(), 2);
    EXPECT_EQ(path.GetSize(), 2);
    // The cached box grew even so.
    EXPECT_EQ(path.GetBBox(), WBoundingBox(0, 5, 0, 1));

    // From the last counted key on, free keys are searched and wrap round.
    SubPathPtr top = Square(0, 5, 1);
    top->SetKey(2147483647);
    EXPECT_EQ(path.Add(top, -1, 1, 0), 2147483647);
    EXPECT_EQ(path.GetNextKey(), 2);
    SubPathPtr again = Square(0, 7, 1);
    again->SetKey(2147483647);
    EXPECT_EQ(path.Add(again, -1, 1, 0), -2147483648L);
    EXPECT_EQ(again->GetKey(), -2147483648L);
}

TEST(WPath, CopiesAndKeys) {
    WPath path;
    path.Add(Square(0, 0, 1), -1, 0, 0);
    path.Add(Square(2, 0, 1), -1, 0, 0);
    path.Add(Square(4, 0, 1), -1, 0, 0);
    path.RemoveByKey(0);

    COXSPtr<WPath> copy = path.Copy();
    EXPECT_EQ(copy->GetKey(0), 1);
    EXPECT_EQ(copy->GetKey(1), 2);
    EXPECT_NE(copy->GetSubPathByKey(1), path.GetSubPathByKey(1)); // deep copies

    WPath renumbered(path);
    EXPECT_EQ(renumbered.GetKey(0), 0);
    EXPECT_EQ(renumbered.GetKey(1), 1);

    COXSPtr<WPath> target(new WPath);
    target->Add(Square(8, 8, 1), -1, 0, 0);
    ASSERT_EQ(target->Add(copy), 1);
    EXPECT_EQ(target->GetSize(), 3);
    EXPECT_EQ(target->GetKey(2), 2);
    EXPECT_EQ(target->Add(COXSPtr<WPath>()), 0);
    // A path added to itself doubles.
    ASSERT_EQ(target->Add(target), 1);
    EXPECT_EQ(target->GetSize(), 6);

    WPath other;
    ASSERT_EQ(other.Initialize(copy), 1);
    EXPECT_EQ(other.GetKey(0), 0);
    EXPECT_EQ(Anchors(other.GetSubPathByIndex(1)), Anchors(copy->GetSubPathByIndex(1)));
}

TEST(WPath, BoxesAndTransforms) {
    WPath path;
    EXPECT_FALSE(path.GetBBox().IsValid());
    EXPECT_EQ(path.IsBBoxDirty(), 1);

    path.Add(Square(0, 0, 2), -1, 0, 0);
    path.Add(Square(5, 5, 2), -1, 0, 0);
    EXPECT_EQ(path.GetBBox(), WBoundingBox(0, 7, 0, 7));
    EXPECT_EQ(path.IsBBoxDirty(), 0);

    path.Move(1, -1);
    EXPECT_EQ(path.IsBBoxDirty(), 0);
    EXPECT_EQ(path.GetBBox(), WBoundingBox(1, 8, -1, 6));
    path.Scale(2, 1);
    EXPECT_EQ(path.GetBBox(), WBoundingBox(2, 16, -1, 6));
    EXPECT_EQ(path.GetSubPathByIndex(1)->GetNode(0)->GetAnchor(), P(12, 4));

    WTransMatrix skew;
    skew.SkewX(0.5);
    COXSPtr<WPath> skewed = path.LinearTrans(skew);
    EXPECT_EQ(skewed->IsBBoxDirty(), 1);
    EXPECT_EQ(path.GetBBox(), WBoundingBox(2, 16, -1, 6));

    path.RemoveByIndex(1);
    EXPECT_EQ(path.IsBBoxDirty(), 1);
    EXPECT_EQ(path.GetBBox(), WBoundingBox(2, 6, -1, 1));
    EXPECT_EQ(path.GetControlBBox(), WBoundingBox(2, 6, -1, 1));

    // The cached box is trusted once validated.
    path.GetSubPathByIndex(0)->GetNode(0)->SetAnchor(P(-50, -50));
    path.InvalidateBBox();
    path.ValidateBBox();
    EXPECT_EQ(path.GetBBox(), WBoundingBox(2, 6, -1, 1));
    EXPECT_EQ(path.RecalculateBBox(1).left, -50);

    path.Clear();
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_EQ(path.GetNextKey(), 0);
    EXPECT_EQ(path.Add(Square(0, 0, 1), -1, 0, 0), 0);
}

TEST(WPath, NormalizeNestedSquares) {
    // Both drawn anticlockwise; the inner one is a hole.
    for (bool clockwise : {false, true}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "anticlockwise");
        WPath path;
        SubPathPtr outer = Square(0, 0, 10), inner = Square(3, 3, 4);
        if (clockwise) {
            outer->Reverse();
            inner->Reverse();
        }
        path.Add(inner, -1, 0, 0);
        path.Add(outer, -1, 0, 0);
        path.Normalize();
        EXPECT_EQ(outer->GetContainmentDepth(), 0);
        EXPECT_EQ(inner->GetContainmentDepth(), 1);
        EXPECT_EQ(outer->GetDirection(), -1);
        EXPECT_EQ(inner->GetDirection(), 1);
        EXPECT_EQ(outer->ComputeDirection(), -1);
        EXPECT_EQ(inner->ComputeDirection(), 1);
    }

    // Three deep, and an open outline around it that gives no depth.
    WPath path;
    SubPathPtr a = Square(0, 0, 30), b = Square(5, 5, 20), c = Square(10, 10, 10);
    SubPathPtr open = Polygon({P(-5, -5), P(40, -5), P(40, 40), P(-5, 40)}, false);
    path.Add(open, -1, 0, 0);
    path.Add(c, -1, 0, 0);
    path.Add(a, -1, 0, 0);
    path.Add(b, -1, 0, 0);
    path.Normalize();
    EXPECT_EQ(a->GetContainmentDepth(), 0);
    EXPECT_EQ(b->GetContainmentDepth(), 1);
    EXPECT_EQ(c->GetContainmentDepth(), 2);
    EXPECT_EQ(a->GetDirection(), -1);
    EXPECT_EQ(b->GetDirection(), 1);
    EXPECT_EQ(c->GetDirection(), -1);
    EXPECT_EQ(open->GetDirection(), 0);
    EXPECT_EQ(Anchors(open), (std::vector<P>{P(-5, -5), P(40, -5), P(40, 40), P(-5, 40)}));
}

TEST(WPath, InsideADiamond) {
    WPath path;
    path.Add(Polygon({P(0, -10), P(10, 0), P(0, 10), P(-10, 0)}, true), -1, 0, 0);
    struct Case {
        P p;
        int inside;
    };
    const Case cases[] = {
        {P(0, 0), 1},
        // Rays through the vertices are classified like the points beside them.
        {P(5, 0), 1},
        {P(5, 0.001f), 1},
        {P(-5, 0), 1},
        {P(0, 5), 1},
        {P(0, -5), 1},
        {P(-9.99f, 0), 1},
        {P(9.99f, 0), 1},
        {P(0, 9.99f), 1},
        {P(0, -9.99f), 1},
        // Just inside and just outside the middles of the edges.
        {P(4.99f, 4.99f), 1},
        {P(5.01f, 5.01f), 0},
        {P(-4.99f, 4.99f), 1},
        {P(-5.01f, 5.01f), 0},
        {P(-4.99f, -4.99f), 1},
        {P(-5.01f, -5.01f), 0},
        {P(4.99f, -4.99f), 1},
        {P(5.01f, -5.01f), 0},
        // Outside beside the vertices.
        {P(10.01f, 0), 0},
        {P(0, 10.01f), 0},
        {P(-10.01f, 0), 0},
        {P(0, -10.01f), 0},
        {P(9, 9), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(path.IsPointInside(c.p), c.inside) << c.p.x << ", " << c.p.y;
    // On the outline the answer is one of the two, and the same each time.
    for (P onOutline : {P(10, 0), P(0, 10), P(-10, 0), P(0, -10), P(5, 5), P(-5, -5)}) {
        const int first = path.IsPointInside(onOutline);
        EXPECT_TRUE(first == 0 || first == 1);
        EXPECT_EQ(path.IsPointInside(onOutline), first);
    }

    // A hole: inside the inner outline is outside the path.
    WPath holed;
    holed.Add(Square(0, 0, 10), -1, 0, 0);
    holed.Add(Square(3, 3, 4), -1, 0, 0);
    EXPECT_EQ(holed.IsPointInside(P(5, 5)), 0);
    EXPECT_EQ(holed.IsPointInside(P(1, 5)), 1);
    EXPECT_EQ(holed.IsPointInside(P(11, 5)), 0);
}

TEST(WPath, HitTests) {
    WPath path;
    SubPathPtr a = Square(0, 0, 10), b = Square(5, 0, 10);
    path.Add(a, -1, 0, 0);
    path.Add(b, -1, 0, 0);
    // (7.5, 0) lies on the bottom of both; the earlier one answers.
    EXPECT_EQ(path.HitTestOnSubPaths(P(7.5f, 0.2f), 0.5f), a);
    EXPECT_EQ(path.HitTestOnSubPaths(P(15, 5), 0.5f), b);
    EXPECT_TRUE(path.HitTestOnSubPaths(P(7.5f, 5), 0.5f).IsEmpty());
    EXPECT_EQ(path.HitTest(P(15.2f, 5), 0.5f), 1);
    EXPECT_EQ(path.HitTest(P(16, 5), 0.5f), 0);
    EXPECT_EQ(path.HitTest(P(std::numeric_limits<float>::quiet_NaN(), 5), 0.5f), 0);
    WPath empty;
    EXPECT_EQ(empty.HitTest(P(0, 0), 1), 0);
    EXPECT_TRUE(empty.HitTestOnSubPaths(P(0, 0), 1).IsEmpty());
}

TEST(WPath, Drawing) {
    WPath path;
    path.Add(Square(0, 0, 1), -1, 0, 0);
    path.Add(Polygon({P(5, 5), P(6, 6)}, false), -1, 0, 0);
    path.Add(SubPathPtr(new SubPath), -1, 0, 0);
    path.Add(Square(3, 3, 1), -1, 0, 0);
    RecordingDevice device;
    path.Draw(&device, WBoundingBox());
    EXPECT_EQ(device.Count("EndOutline"), 3);
    EXPECT_EQ(device.Count("LineTo"), 9);

    device.Clear();
    path.DrawClosedSubPaths(&device, WBoundingBox());
    EXPECT_EQ(device.Count("EndOutline"), 2);
    device.Clear();
    path.DrawOpenedSubPaths(&device, WBoundingBox());
    EXPECT_EQ(device.Count("EndOutline"), 1);

    device.Clear();
    StopAfter never(100);
    path.InterruptableDraw(&never, &device, WBoundingBox());
    EXPECT_EQ(device.Count("EndOutline"), 3);
    device.Clear();
    path.InterruptableDraw(nullptr, &device, WBoundingBox());
    EXPECT_EQ(device.Count("EndOutline"), 3);
    device.Clear();
    StopAfter atOnce(0);
    path.InterruptableDraw(&atOnce, &device, WBoundingBox());
    EXPECT_TRUE(device.Calls().empty());
    device.Clear();
    StopAfter afterOne(1);
    path.InterruptableDraw(&afterOne, &device, WBoundingBox());
    EXPECT_EQ(device.Count("EndOutline"), 1);

    path.Draw(nullptr, WBoundingBox()); // no device: nothing happens
}

TEST(WPath, ArchiveRoundTrip) {
    WPath path;
    path.Add(Square(0, 0, 1), -1, 0, 0);
    path.Add(Square(9, 9, 9), -1, 0, 0);
    SubPathPtr curve(new SubPath);
    curve->MoveTo(1, 2);
    curve->CurveTo(WVektor<float>(1, 0), WVektor<float>(0, -1), P(5, 6));
    path.Add(curve, -1, 0, 0);
    path.Add(SubPathPtr(new SubPath), -1, 0, 0); // dropped on the way
    path.RemoveByKey(0);
    path.GetSubPathByKey(2)->GetNode(0)->SetKind(WNode::eSecondVector | WNode::eSymmetric);

    RecordingArchive out;
    path.Serialize(out);
    using R = RecordingArchive;
    ASSERT_GE(out.Values().size(), 3u);
    EXPECT_EQ(out.Values()[0], (R::Value{R::Version, 1}));
    EXPECT_EQ(out.Values()[1], (R::Value{R::Count, 3}));
    // The empty sub-path is stored as an open record without nodes, at the end.
    const size_t n = out.Values().size();
    EXPECT_EQ(out.Values()[n - 2], (R::Value{R::Byte, 0}));
    EXPECT_EQ(out.Values()[n - 1], (R::Value{R::Count, 0}));

    // Loading replaces what the path held; keys start again at 0.
    WPath back;
    back.Add(Square(50, 50, 1), -1, 0, 0);
    back.Add(Square(60, 50, 1), -1, 0, 0);
    back.Add(Square(70, 50, 1), -1, 0, 0);
    RecordingArchive in(out.Values());
    back.Serialize(in);
    EXPECT_TRUE(in.AllRead());
    ASSERT_EQ(back.GetSize(), 2);
    EXPECT_EQ(back.GetKey(0), 0);
    EXPECT_EQ(back.GetKey(1), 1);
    EXPECT_EQ(back.GetNextKey(), 2);
    EXPECT_TRUE(back.GetSubPathByIndex(0)->IsClosed());
    EXPECT_FALSE(back.GetSubPathByIndex(1)->IsClosed());
    EXPECT_EQ(Anchors(back.GetSubPathByIndex(0)), Anchors(path.GetSubPathByIndex(0)));
    EXPECT_EQ(Anchors(back.GetSubPathByIndex(1)), Anchors(curve));
    const WNode* node = back.GetSubPathByIndex(1)->GetNode(0);
    EXPECT_EQ(node->GetKind(), WNode::eSecondVector | WNode::eSymmetric);
    EXPECT_EQ(node->GetSecondVector(), WVektor<float>(1, 0));
    EXPECT_EQ(back.GetBBox(), WBoundingBox(1, 18, 2, 18));

    // Another version value is read the same way.
    std::vector<R::Value> values = out.Values();
    values[0].value = 7;
    WPath other;
    RecordingArchive in7(values);
    other.Serialize(in7);
    EXPECT_EQ(other.GetSize(), 2);
}

TEST(WPath, IteratorsShareTheList) {
    COXSPtr<WIterator<SubPathPtr>> values;
    COXSPtr<WIterator<long>> keys;
    {
        WPath path;
        path.Add(Square(0, 0, 1), -1, 0, 0);
        path.Add(Square(2, 0, 1), -1, 0, 0);
        path.RemoveByKey(0);
        path.Add(Square(4, 0, 1), -1, 0, 0);
        values = path.CreateIterator();
        keys = path.CreateKeyIterator();
    }
    // The path is gone; its list lives on in the iterators.
    std::vector<long> seen;
    for (keys->SetToFirst(); !keys->IsDone(); keys->Next())
        seen.push_back(keys->GetCurrent());
    EXPECT_EQ(seen, (std::vector<long>{1, 2}));
    values->SetToLast();
    EXPECT_EQ(values->GetCurrent()->GetNode(0)->GetAnchor(), P(4, 0));
}

TEST(WPath, SliceAndMemory) {
    WPath path;
    path.Add(Square(0, 0, 10), -1, 0, 0);
    path.Add(SubPathPtr(new SubPath), -1, 0, 0);
    const long before = path.GetAllocatedMemory();
    path.GetSubPathByIndex(0)->LineTo(3, 3);
    EXPECT_EQ(path.GetAllocatedMemory(), before); // closed: the line was refused
    path.GetSubPathByIndex(1)->LineTo(3, 3);
    EXPECT_EQ(path.GetAllocatedMemory() - before, long(sizeof(WNode)));

    COXSPtr<WPath> lines = path.SliceIntoLines();
    ASSERT_EQ(lines->GetSize(), 2);
    SubPathPtr square = lines->GetSubPathByIndex(0);
    EXPECT_TRUE(square->IsClosed());
    EXPECT_EQ(square->GetNodeCount(), 4);
}

TEST(WPath, NaNOutlinesAreHarmless) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    WPath path;
    SubPathPtr bad(new SubPath);
    bad->MoveTo(nan, 0);
    bad->CurveTo(1, 1, 1, 1, 5, nan);
    bad->CurveTo(1, 1, 1, 1, 5, 5);
    bad->Close();
    path.Add(bad, -1, 0, 0);
    path.Add(Square(0, 0, 10), -1, 0, 0);
    path.Normalize();
    const int d = bad->GetDirection();
    EXPECT_TRUE(d >= -1 && d <= 1);
    EXPECT_EQ(path.IsPointInside(P(nan, 5)), 0);
    EXPECT_EQ(path.HitTest(P(5, nan), 1), 0);
    const WBoundingBox box = path.RecalculateBBox(1);
    EXPECT_FALSE(std::isnan(box.left) || std::isnan(box.top));
    RecordingDevice device;
    path.Draw(&device, box);
}
