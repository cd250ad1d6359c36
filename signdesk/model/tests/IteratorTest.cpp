#include <gtest/gtest.h>

#include <vector>

#include "mfc/CException.h"
#include "model/CGroupObj.h"
#include "model/CObjIterator.h"
#include "model/CObjTreeIterator.h"
#include "model/COwnedObArray.h"

namespace {

// p1, G1(c1, c2), E (empty group), p2, G2(c3, G3(c4))
struct Tree {
    COwnedObArray root;
    CSignObj *p1, *c1, *c2, *p2, *c3, *c4;
    CGroupObj *g1, *empty, *g2, *g3;
    Tree() {
        p1 = new CSignObj;
        g1 = new CGroupObj;
        c1 = new CSignObj;
        c2 = new CSignObj;
        g1->m_children.Add(c1);
        g1->m_children.Add(c2);
        empty = new CGroupObj;
        p2 = new CSignObj;
        g2 = new CGroupObj;
        c3 = new CSignObj;
        g3 = new CGroupObj;
        c4 = new CSignObj;
        g3->m_children.Add(c4);
        g2->m_children.Add(c3);
        g2->m_children.Add(g3);
        for (CObject* o : std::initializer_list<CObject*>{p1, g1, empty, p2, g2})
            root.Add(o);
    }
};

} // namespace

TEST(ObjIteratorTest, LeavesForwardAndBackward) {
    Tree t;
    CObjIterator it(&t.root);
    std::vector<CSignObj*> forward;
    for (it.First(); it.Current(); it.Next())
        forward.push_back(it.Current());
    EXPECT_EQ(forward, (std::vector<CSignObj*>{t.p1, t.c1, t.c2, t.p2, t.c3, t.c4}));
    it.Next(); // past the end stays past the end
    EXPECT_EQ(it.Current(), nullptr);

    std::vector<CSignObj*> backward;
    for (it.Last(); it.Current(); it.Prev())
        backward.push_back(it.Current());
    EXPECT_EQ(backward, (std::vector<CSignObj*>{t.c4, t.c3, t.p2, t.c2, t.c1, t.p1}));

    COwnedObArray none;
    CObjIterator empty(&none);
    empty.First();
    EXPECT_EQ(empty.Current(), nullptr);
    empty.Last();
    EXPECT_EQ(empty.Current(), nullptr);
}

TEST(ObjTreeIteratorTest, PreOrderWithOrdinalsAndPositions) {
    Tree t;
    CObjTreeIterator it(&t.root);
    std::vector<CSignObj*> order;
    std::vector<int> ordinals;
    for (it.First(); !it.IsDone(); it.Next()) {
        order.push_back(it.Current());
        ordinals.push_back(it.GetOrdinal());
        DWORD parent, prev;
        int index;
        it.GetPosition(&parent, &prev, &index);
        if (it.Current() == t.c1) {
            EXPECT_EQ(parent, t.g1->m_nSerial);
            EXPECT_EQ(prev, 0u);
            EXPECT_EQ(index, 0);
        }
        if (it.Current() == t.g3) { // a pending group reports its own position
            EXPECT_EQ(parent, t.g2->m_nSerial);
            EXPECT_EQ(prev, t.c3->m_nSerial);
            EXPECT_EQ(index, 1);
        }
        if (it.Current() == t.p2) {
            EXPECT_EQ(parent, 0u);
            EXPECT_EQ(prev, t.empty->m_nSerial);
        }
    }
    EXPECT_EQ(order, (std::vector<CSignObj*>{t.p1, t.g1, t.c1, t.c2, t.empty, t.p2, t.g2, t.c3,
                                             t.g3, t.c4}));
    EXPECT_EQ(ordinals, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(it.Current(), nullptr);

    EXPECT_EQ(it.FindChildArray(0), &t.root);
    EXPECT_EQ(it.FindChildArray(t.g3->m_nSerial), &t.g3->m_children);
    EXPECT_EQ(it.FindChildArray(t.empty->m_nSerial), &t.empty->m_children);
    EXPECT_EQ(it.FindChildArray(t.p1->m_nSerial), nullptr);
    EXPECT_EQ(it.FindChildArray(0xFFFFFFF0u), nullptr);
}

TEST(ObjTreeIteratorTest, FindObjectBySerialSearchesBehindThePosition) {
    Tree t;
    CObjTreeIterator it(&t.root);
    it.First();
    EXPECT_EQ(FindObjectBySerial(t.c4->m_nSerial, it), t.c4);
    EXPECT_EQ(it.Current(), t.c4);
    EXPECT_EQ(FindObjectBySerial(t.c1->m_nSerial, it), t.c1); // second pass
    EXPECT_EQ(it.Current(), t.c1);
    EXPECT_EQ(FindObjectBySerial(0, it), nullptr);
    EXPECT_EQ(FindObjectBySerial(0xFFFFFFF0u, it), nullptr);

    EXPECT_EQ(IndexOfObject(t.p2, t.root, FALSE), 3);
    EXPECT_EQ(IndexOfObject(t.c1, t.root, FALSE), -1);
    EXPECT_EQ(IndexOfObject(nullptr, t.root, TRUE), -1);
    t.root.Add(nullptr);
    EXPECT_EQ(IndexOfObject(nullptr, t.root, FALSE), -1);
    EXPECT_EQ(IndexOfObject(nullptr, t.root, TRUE), 5);
}

TEST(ObjIteratorTest, WalkersNeverStepPastTheirLevels) {
    // 70 nested groups with a leaf at the bottom: groups beyond the 64 levels are not
    // entered (a deeper tree is refused when loading and grouping).
    COwnedObArray root;
    CObArray* pArray = &root;
    for (int i = 0; i < 70; ++i) {
        auto* g = new CGroupObj;
        pArray->Add(g);
        pArray = &g->m_children;
    }
    pArray->Add(new CSignObj);
    CObjIterator leaves(&root);
    leaves.First();
    EXPECT_EQ(leaves.Current(), nullptr);
    leaves.Last();
    EXPECT_EQ(leaves.Current(), nullptr);
    CObjTreeIterator all(&root);
    int visited = 0;
    for (all.First(); !all.IsDone(); all.Next())
        ++visited;
    EXPECT_EQ(visited, 64);
}

TEST(OwnedObArrayTest, RangeOperations) {
    COwnedObArray a;
    for (int i = 0; i < 6; ++i)
        a.Add(new CSignObj);
    CObject* last = a.GetAt(5);
    a.DeleteRange(1, 3); // slots 1 and 2 emptied
    EXPECT_EQ(a.GetSize(), 6);
    EXPECT_EQ(a.GetAt(1), nullptr);
    EXPECT_EQ(a.GetAt(2), nullptr);
    a.DeleteAt(1, 2);
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a.PopLast(), last);
    delete last;
    EXPECT_EQ(a.GetSize(), 3);
    bool thrown = false;
    try {
        a.DeleteAt(2, 5);
    } catch (CException* e) {
        e->Delete();
        thrown = true;
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ(a.GetSize(), 3);
    COwnedObArray b;
    b.Add(new CSignObj);
    a.MoveAll(b);
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(b.GetSize(), 3);
    b.Truncate(1);
    EXPECT_EQ(b.GetSize(), 1);
    COwnedObArray empty;
    EXPECT_EQ(empty.PopLast(), nullptr);
}
