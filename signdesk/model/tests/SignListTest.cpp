#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TestObj.h"
#include "model/CFillObj.h"
#include "model/CGroupObj.h"
#include "model/CSign.h"

namespace {

CTestObj* AddBox(CSign& sign, float l, float b, float r, float t, signed char layer = 0,
                 COLORREF color = 0) {
    auto* o = new CTestObj(l, b, r, t, layer, color);
    sign.Add(o);
    return o;
}

void Refresh(CSign& sign) {
    sign.CountLayerObjects();
    sign.RefreshBounds(1);
    sign.UpdateSelection();
}

} // namespace

TEST(SignListTest, HitOrderAcrossAndWithinLayers) {
    CSign sign;
    CTestObj* under = AddBox(sign, 0, 0, 10, 10, 3);
    CTestObj* over = AddBox(sign, 5, 5, 15, 15, 3);
    CTestObj* high = AddBox(sign, 8, 8, 9, 9, 10);
    CTestObj* low = AddBox(sign, 7, 7, 20, 20, 9); // later, but on a lower layer
    Refresh(sign);
    floatPoint p(8.5f, 8.5f);
    EXPECT_EQ(sign.HitTest(p, 0, 0, 0), high);
    p = floatPoint(7.5f, 7.5f);
    EXPECT_EQ(sign.HitTest(p, 0, 0, 0), low);
    sign.SetLayerVisible(9, FALSE); // hidden layers are neither drawn nor hit
    p = floatPoint(7.5f, 7.5f);
    EXPECT_EQ(sign.HitTest(p, 0, 0, 0), over);
    p = floatPoint(2, 2);
    EXPECT_EQ(sign.HitTest(p, 0, 0, 0), under);
}

TEST(SignListTest, TheGrownExtentDecidesFirst) {
    CSign sign;
    CTestObj* o = AddBox(sign, 0, 0, 10, 10);
    Refresh(sign);
    // On the boundary of the extent grown by the tolerance: the objects are asked.
    floatPoint edge(12, 5);
    EXPECT_EQ(sign.HitTest(edge, 2, 0, 0), o);
    EXPECT_EQ(o->m_nHitQueries, 1);
    floatPoint outside(12.01f, 5);
    EXPECT_EQ(sign.HitTest(outside, 2, 0, 0), nullptr);
    EXPECT_EQ(o->m_nHitQueries, 1); // nobody was asked
}

TEST(SignListTest, GroupAndUngroupKeepOrderAndSelection) {
    CSign sign;
    CTestObj* a = AddBox(sign, 0, 0, 1, 1);
    CTestObj* b = AddBox(sign, 2, 0, 3, 1);
    CTestObj* c = AddBox(sign, 4, 0, 5, 1);
    CTestObj* d = AddBox(sign, 6, 0, 7, 1);
    b->Select();
    d->Select();
    sign.GroupSelection();
    ASSERT_EQ(sign.GetSize(), 3);
    EXPECT_EQ(sign.GetObj(0), a);
    EXPECT_EQ(sign.GetObj(1), c);
    auto* g = static_cast<CGroupObj*>(sign.GetObj(2));
    ASSERT_TRUE(g->IsGroup());
    EXPECT_EQ(g->GetChild(0), b);
    EXPECT_EQ(g->GetChild(1), d);
    EXPECT_EQ(g->m_bSelected, 1);
    EXPECT_EQ(sign.m_nSelected, 1u);
    EXPECT_EQ(sign.m_nFirstSelected, 2);
    EXPECT_FLOAT_EQ(sign.m_bbSelection.left, 2);
    EXPECT_FLOAT_EQ(sign.m_bbSelection.right, 7);

    // Moved to the front, then ungrouped: the children take the group's place.
    sign.RemoveAt(2);
    sign.InsertAt(1, g);
    sign.UngroupSelection();
    ASSERT_EQ(sign.GetSize(), 4);
    EXPECT_EQ(sign.GetObj(0), a);
    EXPECT_EQ(sign.GetObj(1), b);
    EXPECT_EQ(sign.GetObj(2), d);
    EXPECT_EQ(sign.GetObj(3), c);
    EXPECT_EQ(b->m_bSelected, 1);
    EXPECT_EQ(d->m_bSelected, 1);
    EXPECT_EQ(sign.m_nSelected, 2u);
    EXPECT_EQ(sign.m_nFirstSelected, 1);

    // Nothing selected: an empty group is appended.
    sign.UnselectAll();
    sign.GroupSelection();
    ASSERT_EQ(sign.GetSize(), 5);
    EXPECT_EQ(sign.GetObj(4)->GetBBox(), nullptr);
    RemoveEmptyObjects(sign);
    EXPECT_EQ(sign.GetSize(), 4);
}

TEST(SignListTest, GroupingNeverNestsBeyondTheWalkers) {
    CSign sign;
    CObArray* pArray = &sign;
    for (int i = 0; i < 63; ++i) { // 64 levels
        auto* g = new CGroupObj;
        pArray->Add(g);
        pArray = &g->m_children;
    }
    pArray->Add(new CTestObj(0, 0, 1, 1));
    sign.GetObj(0)->Select();
    sign.GroupSelection();
    EXPECT_EQ(sign.GetSize(), 1); // nothing happened
    EXPECT_EQ(sign.GetObj(0)->m_bSelected, 1);
    EXPECT_EQ(TreeHeight(sign.GetObj(0)), 64);
}

TEST(SignListTest, CountsDuplicateReplaceAndLock) {
    CSign sign;
    CTestObj* a = AddBox(sign, 0, 0, 1, 1, 2, 0xFF);
    auto* g = new CGroupObj;
    auto* b = new CTestObj(2, 2, 3, 3, 5, 0xFF00);
    auto* c = new CTestObj(4, 4, 5, 5, 5, 0xFF);
    g->m_children.Add(b);
    g->m_children.Add(c);
    sign.Add(g);
    Refresh(sign);
    EXPECT_EQ(sign.GetLayerCount(2), 1u);
    EXPECT_EQ(sign.GetLayerCount(5), 2u);
    EXPECT_EQ(sign.GetLayerCount(-128), 0u); // groups are not counted
    EXPECT_EQ(sign.GetObjectOrdinal(c->m_nSerial), 3);
    EXPECT_EQ(sign.GetObjectOrdinal(0), -1);
    EXPECT_FLOAT_EQ(sign.m_bbExtent.right, 5);
    EXPECT_EQ(g->GetColor(), 0xFFu); // the last leaf's

    sign.SelectByColor(0xFF);
    EXPECT_EQ(a->m_bSelected, 1);
    EXPECT_EQ(g->m_bSelected, 1); // a group's colour is its last leaf's
    EXPECT_EQ(b->m_bSelected, 1);
    sign.UnselectAll();

    a->Select();
    a->m_fOutlineWidth = 0.25f;
    sign.DuplicateSelection();
    ASSERT_EQ(sign.GetSize(), 3);
    auto* copy = static_cast<CTestObj*>(sign.GetObj(2));
    EXPECT_NE(copy, a);
    EXPECT_EQ(copy->m_bSelected, 1);
    EXPECT_EQ(a->m_bSelected, 0);
    EXPECT_EQ(copy->m_fOutlineWidth, 0.25f);
    EXPECT_EQ(copy->m_nLayer, 2);
    EXPECT_GT(copy->m_nSerial, a->m_nSerial);
    EXPECT_EQ(sign.m_nFirstSelected, 2);

    // Replace a child inside the group; an object not in the tree changes nothing.
    auto* replacement = new CTestObj(9, 9, 10, 10, 5);
    sign.ReplaceObject(b, replacement);
    EXPECT_EQ(g->GetChild(0), replacement);
    CTestObj stranger;
    sign.ReplaceObject(&stranger, nullptr);
    EXPECT_EQ(sign.GetSize(), 3);
    sign.ReplaceObject(copy, nullptr);
    EXPECT_EQ(sign.GetSize(), 2);

    // Locking: selection passes over locked objects.
    c->Select();
    sign.LockSelection();
    EXPECT_EQ(c->m_bLocked, 1);
    EXPECT_EQ(c->m_bSelected, 0);
    c->m_bSelected = 1;
    sign.UnselectAll(); // top level only: the group is not locked, so c is unselected
    EXPECT_EQ(c->m_bSelected, 0);
    a->m_bLocked = 1;
    a->m_bSelected = 1;
    sign.UnselectAll();
    EXPECT_EQ(a->m_bSelected, 1);
    sign.UnlockAll();
    EXPECT_EQ(a->m_bLocked, 0);
    EXPECT_EQ(c->m_bLocked, 0);

    sign.DeleteSelected();
    ASSERT_EQ(sign.GetSize(), 1);
    EXPECT_EQ(sign.GetObj(0), g);
}

TEST(SignListTest, SelectionPasses) {
    CSign sign;
    CTestObj* a = AddBox(sign, 0, 0, 1, 1);
    CTestObj* b = AddBox(sign, 2, 0, 3, 1);
    Refresh(sign);
    // No selection: the AND tests answer 1, except distortion.
    EXPECT_EQ(sign.AcceptsTransform(floatTMatrix(2, 0, 0, 2, 0, 0)), 1);
    EXPECT_EQ(sign.AcceptsTransform(floatTMatrix(0, 0, 0, 2, 0, 0)), 0);
    EXPECT_EQ(sign.AcceptsTransform(floatTMatrix(1, 0, 0, 0, 0, 0)), 0);
    // Non-finite entries are refused wherever they stand.
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    for (const floatTMatrix& m :
         {floatTMatrix(inf, 0, 0, 1, 0, 0), floatTMatrix(1, nan, 0, 1, 0, 0),
          floatTMatrix(1, 0, 0, 1, nan, 0), floatTMatrix(1, 0, 0, 1, 0, -inf)})
        EXPECT_EQ(sign.AcceptsTransform(m), 0);
    EXPECT_EQ(sign.CanExportTo("wpf", 1), 1);
    CSign none;
    EXPECT_EQ(none.CanDistortSelection(), 0);
    EXPECT_EQ(sign.CanDistortSelection(), 1);

    b->Select();
    sign.TransformObjects(floatTMatrix(1, 0, 0, 1, 10, 0), 1);
    EXPECT_FLOAT_EQ(a->m_box.left, 0);
    EXPECT_FLOAT_EQ(b->m_box.left, 12);
    b->m_fOutlineWidth = 1;
    EXPECT_EQ(sign.CanExportTo("wpf", 1), 0);
    EXPECT_EQ(sign.CanExportTo("wpf", 0), 0);
    a->Select();
    b->Unselect();
    EXPECT_EQ(sign.CanExportTo("wpf", 1), 1);

    auto* fill = new CFillObj;
    sign.SetSelectionFill(fill);
    EXPECT_EQ(a->m_pFill, fill);
    EXPECT_EQ(b->m_pFill, nullptr);
    EXPECT_EQ(sign.NeedsRasterPrinting(nullptr, 0), 0);
    sign.SetSelectionTransparency(new CFillObj);
    EXPECT_EQ(sign.NeedsRasterPrinting(nullptr, 0), 1);
}

TEST(GroupObjTest, GroupForwardsToItsChildren) {
    CGroupObj g;
    EXPECT_EQ(g.GetBBox(), nullptr);
    EXPECT_EQ(g.AcceptsTransform(floatTMatrix(0, 0, 0, 0, 0, 0)), 1);
    EXPECT_EQ(g.CanDistort(), 1);
    EXPECT_EQ(g.GetColor(), 0u);
    auto* a = new CTestObj(0, 0, 2, 2, 3);
    auto* b = new CTestObj(1, 1, 4, 4, 5);
    auto* free = new CTestObj(0, 0, 4, 4, 5);
    free->m_nLayer = NO_LAYER;
    g.m_children.Add(a);
    g.m_children.Add(b);
    g.RefreshBBox();
    ASSERT_NE(g.GetBBox(), nullptr);
    EXPECT_FLOAT_EQ(g.m_bbox.left, 0);
    EXPECT_FLOAT_EQ(g.m_bbox.top, 4);

    floatPoint p(1.5f, 1.5f);
    EXPECT_EQ(g.HitTest(p, 5, 0, 0, 1), b); // layer 5 reaches only b
    EXPECT_EQ(g.HitTest(p, 3, 0, 0, 1), a);
    EXPECT_EQ(g.HitTest(p, 3, 0, 0, 0), &g);
    floatPoint far(10, 10);
    EXPECT_EQ(g.HitTest(far, 3, 0, 0, 1), nullptr);
    EXPECT_EQ(a->m_nHitQueries, 2);

    g.Select();
    EXPECT_EQ(a->m_bSelected, 1);
    EXPECT_EQ(b->m_bSelected, 1);
    EXPECT_EQ(g.ToggleSelect(), 0);
    EXPECT_EQ(b->m_bSelected, 0);

    CFillObj fill; // a group takes no fill
    g.SetFill(&fill);
    EXPECT_EQ(g.m_pFill, nullptr);
    EXPECT_EQ(fill.m_nRefCount, 0);
    CSignObj* dup = g.Duplicate();
    auto* copy = static_cast<CGroupObj*>(dup);
    ASSERT_EQ(copy->m_children.GetSize(), 2);
    EXPECT_NE(copy->GetChild(0), a);
    EXPECT_FLOAT_EQ(copy->m_bbox.right, 4);
    delete dup;

    g.m_fOutlineWidth = 1;
    g.Transform(floatTMatrix(2, 0, 0, 2, 0, 0));
    EXPECT_EQ(g.m_fOutlineWidth, 1); // the group's own width is not scaled
    EXPECT_FLOAT_EQ(b->m_box.right, 8);
    delete free;
}
