#include <gtest/gtest.h>

#include <vector>

#include "geomkit/WNode.h"
#include "geomkit/WPathHandle.h"
#include "geomkit/WSubPathHandle.h"

namespace {

COXSPtr<WBezierRef> NodeRef(int type) {
    WNodeRef* r = new WNodeRef;
    r->Add(type);
    return COXSPtr<WBezierRef>(r);
}

std::vector<int> Keys(WSubPathHandle& h) {
    std::vector<int> keys;
    int key;
    COXSPtr<WBezierRef> value;
    for (h.SetToFirst(); h.GetCurrentPair(key, value); h.Next())
        keys.push_back(key);
    return keys;
}

} // namespace

TEST(WSubPathHandle, PairsKeepTheirFirstValue) {
    WSubPathHandle h;
    EXPECT_EQ(h.IsEmpty(), 1);
    COXSPtr<WBezierRef> a = NodeRef(0), b = NodeRef(1);
    h.AddPair(3, a);
    h.AddPair(3, b);
    EXPECT_EQ(h.GetCount(), 1);
    EXPECT_EQ(h.GetHandle(3), a);
    EXPECT_EQ(h.Exist(3), 1);
    EXPECT_EQ(h.Exist(4), 0);
    EXPECT_TRUE(h.GetHandle(4).IsEmpty());
    h.RemovePair(4);
    h.RemovePair(3);
    EXPECT_EQ(h.IsEmpty(), 1);
}

TEST(WSubPathHandle, AddSubtractToggles) {
    WSubPathHandle h, other;
    COXSPtr<WBezierRef> five = NodeRef(2);
    h.AddPair(1, NodeRef(0));
    h.AddPair(2, NodeRef(0));
    other.AddPair(2, NodeRef(1));
    other.AddPair(5, five);
    h.AddSubtract(other);
    EXPECT_EQ(Keys(h), (std::vector<int>{1, 5}));
    EXPECT_EQ(h.GetHandle(5), five); // shared, not copied
    h.AddSubtract(h);
    EXPECT_EQ(h.GetCount(), 0);
}

TEST(WSubPathHandle, WalkSelectAllAndIterators) {
    WSubPathHandle h;
    h.AddPair(7, NodeRef(0));
    h.AddPair(2, NodeRef(0));
    int key = -1;
    COXSPtr<WBezierRef> value;
    h.SetToFirst();
    ASSERT_EQ(h.GetCurrentPair(key, value), 1);
    EXPECT_EQ(key, 7);
    h.Next();
    h.Next();
    EXPECT_TRUE(h.IsDone());
    EXPECT_EQ(h.GetCurrentPair(key, value), 0);

    COXSPtr<WIterator<int>> it = h.CreateIndexIterator();
    it->SetToLast();
    EXPECT_EQ(it->GetCurrent(), 2);

    h.ClearAll();
    h.SelectAll();
    EXPECT_EQ(h.IsEmpty(), 0); // everything selected, without pairs
    EXPECT_TRUE(it->IsDone()); // the iterator walks the handle's own list

    WPathHandle p;
    p.SelectAll();
    EXPECT_EQ(p.IsEmpty(), 1);
    COXSPtr<WSubPathHandle> sub(new WSubPathHandle);
    p.AddPair(40, sub);
    EXPECT_EQ(p.GetHandle(40), sub);
    COXSPtr<WIterator<long>> keys = p.CreateKeyIterator();
    EXPECT_EQ(keys->GetCurrent(), 40);
}

TEST(WSubPathHandle, NodeReferences) {
    WNodeRef r;
    EXPECT_TRUE(r.IsEmpty());
    r.Add(WNode::eSecondControl);
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_EQ(r.Contains(WNode::eSecondControl), 1);
    EXPECT_EQ(r.Contains(WNode::eAnchor), 0);
    EXPECT_EQ(r.Contains(WNode::eFirstControl), 0);
    EXPECT_EQ(r.IsNodeRef(), 1);
    WSegmentRef s;
    s.Initialize(0.25f);
    EXPECT_EQ(s.IsNodeRef(), 0);
    EXPECT_EQ(s.GetParam(), 0.25f);
}
