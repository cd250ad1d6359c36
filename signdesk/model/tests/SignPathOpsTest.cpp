// The object list's operations on path objects: selection counts, break apart, removal of
// empty paths and reading coloured text paths into objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "SquarePath.h"
#include "TestObj.h"
#include "model/CClippedObj.h"
#include "model/CGroupObj.h"
#include "model/CShapeObj.h"
#include "model/CSign.h"
#include "pathkit/ColorWPFReader.h"
#include "pathkit/InStrStream.h"

namespace {

CPathObj* AddPath(CSign& sign, std::initializer_list<floatBBox> squares) {
    auto* o = new CPathObj;
    for (const floatBBox& b : squares)
        AddSquare(o->m_path, b.left, b.bottom, b.right - b.left);
    o->m_path.Prepare();
    o->RefreshBBox();
    sign.Add(o);
    return o;
}

void Refresh(CSign& sign) {
    sign.CountLayerObjects();
    sign.RefreshBounds(1);
    sign.UpdateSelection();
}

double Area(const SubPath& sp) {
    double a = 0;
    for (const PathMember& pm : sp.members)
        a += double(pm.start.x) * pm.end.y - double(pm.end.x) * pm.start.y;
    return a / 2;
}

} // namespace

TEST(SignPathOpsTest, SelectionCountsPathObjects) {
    CSign sign;
    AddPath(sign, {floatBBox(0, 0, 1, 1)})->Select();
    auto* pClipped = new CClippedObj;
    pClipped->m_bbClip = floatBBox(2, 2, 3, 3);
    pClipped->ResetContour();
    pClipped->Select();
    sign.Add(pClipped);
    auto* pBox = new CTestObj(5, 5, 6, 6, 1, 0);
    pBox->Select();
    sign.Add(pBox);
    AddPath(sign, {floatBBox(7, 7, 8, 8)}); // not selected
    auto* pEmpty = new CPathObj;            // no box: not counted
    pEmpty->Select();
    sign.Add(pEmpty);
    Refresh(sign);
    EXPECT_EQ(sign.m_nSelected, 3u);
    EXPECT_EQ(sign.m_nSelectedPaths, 2u);
    EXPECT_EQ(sign.m_nFirstSelected, 0);
}

TEST(SignPathOpsTest, BreakApartMakesOneObjectPerSubPathInPlace) {
    CSign sign;
    CPathObj* before = AddPath(sign, {floatBBox(50, 50, 51, 51)});
    // A square with a hole, and a square beside it.
    CPathObj* whole =
        AddPath(sign, {floatBBox(0, 0, 10, 10), floatBBox(3, 3, 7, 7), floatBBox(20, 0, 25, 5)});
    CPathObj* after = AddPath(sign, {floatBBox(60, 60, 61, 61)});
    whole->SetColor(RGB(10, 20, 30));
    whole->SetLayer(3, 0);
    whole->m_fOutlineWidth = 0.7f;
    whole->m_clrOutline = RGB(1, 1, 1);
    whole->Select();
    Refresh(sign);

    sign.BreakApartSelection();
    ASSERT_EQ(sign.GetSize(), 5);
    EXPECT_EQ(sign.GetObj(0), before);
    EXPECT_EQ(sign.GetObj(4), after);
    EXPECT_FALSE(before->m_bSelected);
    double areas[3];
    for (int i = 1; i <= 3; ++i) {
        auto* piece = dynamic_cast<CPathObj*>(sign.GetObj(i));
        ASSERT_NE(piece, nullptr);
        ASSERT_EQ(piece->m_path.subPaths.Filled(), 1);
        EXPECT_TRUE(piece->m_bSelected);
        EXPECT_EQ(piece->GetColor(), RGB(10, 20, 30));
        EXPECT_EQ(piece->GetLayer(), 3);
        EXPECT_EQ(piece->m_fOutlineWidth, 0.7f);
        EXPECT_EQ(piece->m_clrOutline, RGB(1, 1, 1));
        // Every piece stands alone: the hole became an outer (counter-clockwise) contour.
        areas[i - 1] = Area(piece->m_path.subPaths[0]);
    }
    std::sort(areas, areas + 3);
    EXPECT_DOUBLE_EQ(areas[0], 16);
    EXPECT_DOUBLE_EQ(areas[1], 25);
    EXPECT_DOUBLE_EQ(areas[2], 100);
    EXPECT_EQ(sign.m_nSelected, 3u);
    EXPECT_EQ(sign.m_nSelectedPaths, 3u);
    EXPECT_EQ(sign.m_nFirstSelected, 1);

    // Objects that are not paths stay as they are.
    CSign other;
    auto* pBox = new CTestObj(0, 0, 1, 1, 1, 0);
    pBox->Select();
    other.Add(pBox);
    other.BreakApartSelection();
    ASSERT_EQ(other.GetSize(), 1);
    EXPECT_EQ(other.GetObj(0), pBox);
}

TEST(SignPathOpsTest, RemoveEmptyObjectsTakesEmptyEditablePaths) {
    CObArray array;
    auto* pEmpty = new CPathObj;
    auto* pConstant = new CConstantPath; // not node-edited: kept even when empty
    auto* pShape = new CRegShapeObj;     // likewise
    auto* pGroup = new CGroupObj;
    pGroup->m_children.Add(new CPathObj); // the group is left empty and goes too
    auto* pKept = new CPathObj;
    AddSquare(pKept->m_path, 0, 0, 1);
    array.Add(pEmpty);
    array.Add(pConstant);
    array.Add(pShape);
    array.Add(pGroup);
    array.Add(pKept);
    RemoveEmptyObjects(array);
    ASSERT_EQ(array.GetSize(), 3);
    EXPECT_EQ(array.GetAt(0), pConstant);
    EXPECT_EQ(array.GetAt(1), pShape);
    EXPECT_EQ(array.GetAt(2), pKept);
    ObArrayTruncate(array, 0);
}

TEST(SignPathOpsTest, ReadWPFObjects) {
    const auto read = [](const std::string& text, CObArray& out) {
        InStrStream in(text.data(), long(text.size()));
        ColorWPFReader reader(in, 0);
        ReadWPFObjects(reader, out);
    };
    const std::string red = "Path Layer=2 Color=R255G0B0 FrameColor=R0G0B255 FrameWidth=0.5\r\n"
                            "SubPath 0 0\r\n L 10 0\r\n L 10 10\r\n L 0 0\r\nEndSubPath\r\n"
                            "EndPath\r\n";
    const std::string blue = "Path Layer=-4 Color=R0G0B255 LinesOnly\r\n"
                             "SubPath 20 0\r\n L 30 0\r\n L 30 10\r\n L 20 0\r\nEndSubPath\r\n"
                             "EndPath\r\n";
    const std::string empty = "Path Layer=1 Color=R0G0B0\r\nEndPath\r\n";

    CObArray out;
    read(red + empty + blue, out);
    ASSERT_EQ(out.GetSize(), 1);
    auto* pGroup = dynamic_cast<CGroupObj*>(static_cast<CObject*>(out.GetAt(0)));
    ASSERT_NE(pGroup, nullptr);
    ASSERT_EQ(pGroup->m_children.GetSize(), 2);
    auto* first = dynamic_cast<CPathObj*>(pGroup->GetChild(0));
    auto* second = dynamic_cast<CPathObj*>(pGroup->GetChild(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetColor(), RGB(255, 0, 0));
    EXPECT_EQ(first->GetLayer(), 2);
    EXPECT_EQ(first->m_clrOutline, RGB(0, 0, 255));
    EXPECT_EQ(first->m_fOutlineWidth, 0.5f);
    EXPECT_EQ(second->GetColor(), RGB(0, 0, 255));
    EXPECT_EQ(second->GetLayer(), -4);
    EXPECT_TRUE(second->IsLinesOnly());
    EXPECT_EQ(second->m_fOutlineWidth, 0.f);
    ASSERT_NE(pGroup->GetBBox(), nullptr);
    EXPECT_EQ(pGroup->GetBBox()->right, 30.f);
    ObArrayTruncate(out, 0);

    // One path comes as itself, none as nothing.
    read(empty + blue, out);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(static_cast<CObject*>(out.GetAt(0))->GetRuntimeClass(), RUNTIME_CLASS(CPathObj));
    ObArrayTruncate(out, 0);
    read(empty, out);
    read("", out);
    EXPECT_EQ(out.GetSize(), 0);
}

// Select all and the band: unlocked objects on shown layers only; a group counts by its
// members; the band takes boxes wholly inside, bounds included, and toggles with Shift.
TEST(SignPathOpsTest, SelectAllAndSelectInBox) {
    CSign sign;
    auto* a = new CTestObj(0, 0, 10, 10, 0);
    auto* b = new CTestObj(20, 0, 30, 10, 0);
    auto* locked = new CTestObj(0, 20, 10, 30, 0);
    locked->m_bLocked = 1;
    auto* hidden = new CTestObj(20, 20, 30, 30, 5);
    auto* group = new CGroupObj; // one member hidden, one shown
    group->m_children.Add(new CTestObj(40, 0, 45, 5, 5));
    group->m_children.Add(new CTestObj(45, 5, 50, 10, 0));
    group->RefreshBBox();
    auto* hiddenGroup = new CGroupObj;
    hiddenGroup->m_children.Add(new CTestObj(60, 0, 70, 10, 5));
    hiddenGroup->RefreshBBox();
    for (CSignObj* o : std::initializer_list<CSignObj*>{a, b, locked, hidden, group, hiddenGroup})
        sign.Add(o);
    sign.SetLayerVisible(5, FALSE);
    Refresh(sign);

    auto selected = [&] {
        std::string s;
        for (int i = 0; i < sign.GetSize(); ++i)
            s += sign.GetObj(i)->m_bSelected ? '1' : '0';
        return s;
    };
    sign.SelectAll();
    EXPECT_EQ("110010", selected());
    EXPECT_EQ(3u, sign.UpdateSelection());

    struct Case {
        floatBBox box;
        BOOL toggle;
        const char* before;
        const char* after;
    } cases[] = {
        {floatBBox(0, 0, 30, 10), FALSE, "000000", "110000"},     // bounds included
        {floatBBox(0.5f, 0, 30, 10), FALSE, "000000", "010000"},  // a sticks out
        {floatBBox(-5, -5, 100, 100), FALSE, "000000", "110010"}, // never locked or hidden
        {floatBBox(-5, -5, 35, 15), TRUE, "100010", "010010"},    // Shift toggles
        {floatBBox(100, 100, 200, 200), FALSE, "100000", "100000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        for (int i = 0; i < sign.GetSize(); ++i)
            c.before[i] == '1' ? sign.GetObj(i)->Select() : sign.GetObj(i)->Unselect();
        sign.SelectInBox(&c.box, c.toggle);
        EXPECT_EQ(c.after, selected());
    }
    sign.UnselectAll();
    sign.SelectInBox(nullptr, FALSE);
    EXPECT_EQ("000000", selected());
}

// The selected paths, groups entered, become one object at the first selected place with the
// colour and layer of the lowest layer; objects without a path are left alone.
TEST(SignPathOpsTest, CombineSelectionJoinsThePathsInOne) {
    CSign sign;
    CPathObj* below = AddPath(sign, {floatBBox(100, 0, 101, 1)});
    CPathObj* first = AddPath(sign, {floatBBox(0, 0, 1, 1), floatBBox(2, 0, 3, 1)});
    first->SetColor(0x0000FF);
    first->SetLayer(2, 0);
    auto* box = new CTestObj(50, 50, 60, 60, 0);
    box->Select();
    sign.Add(box);
    auto* group = new CGroupObj;
    auto* member = new CPathObj;
    AddSquare(member->m_path, 4, 0, 1);
    member->m_path.Prepare();
    member->RefreshBBox();
    member->SetColor(0x00FF00);
    member->SetLayer(1, 0);
    group->m_children.Add(member);
    group->RefreshBBox();
    sign.Add(group);
    CPathObj* last = AddPath(sign, {floatBBox(6, 0, 7, 1)});
    last->SetColor(0xFF0000);
    last->SetLayer(3, 0);
    for (CSignObj* o : std::initializer_list<CSignObj*>{first, group, last})
        o->Select();
    Refresh(sign);

    sign.CombineSelection();
    ASSERT_EQ(3, sign.GetSize());
    EXPECT_EQ(below, sign.GetObj(0));
    auto* combined = dynamic_cast<CPathObj*>(sign.GetObj(1));
    ASSERT_NE(nullptr, combined);
    EXPECT_EQ(box, sign.GetObj(2));
    EXPECT_EQ(4, int(combined->m_path.subPaths.Filled()));
    EXPECT_EQ(COLORREF(0x00FF00), combined->GetColor());
    EXPECT_EQ(1, combined->GetLayer());
    EXPECT_TRUE(combined->m_bSelected);
    EXPECT_FALSE(box->m_bSelected);
    EXPECT_EQ(1u, sign.m_nSelected);

    // Nothing with a path selected: nothing changes.
    sign.UnselectAll();
    box->Select();
    sign.CombineSelection();
    EXPECT_EQ(3, sign.GetSize());
}

TEST(SignPathOpsTest, SimplifySelectionGroupsTheSubPathsOfEachPath) {
    CSign sign;
    CPathObj* two = AddPath(sign, {floatBBox(0, 0, 1, 1), floatBBox(2, 0, 3, 1)});
    two->SetColor(0x0000FF);
    two->SetLayer(4, 0);
    CPathObj* one = AddPath(sign, {floatBBox(5, 0, 6, 1)});
    CPathObj* unselected = AddPath(sign, {floatBBox(8, 0, 9, 1), floatBBox(10, 0, 11, 1)});
    two->Select();
    one->Select();
    Refresh(sign);
    sign.SimplifySelection();
    ASSERT_EQ(3, sign.GetSize());
    ASSERT_TRUE(sign.GetObj(0)->IsGroup());
    auto* group = static_cast<CGroupObj*>(sign.GetObj(0));
    EXPECT_TRUE(group->m_bSelected);
    ASSERT_EQ(2, group->m_children.GetSize());
    for (int i = 0; i < 2; ++i) {
        auto* piece = static_cast<CPathObj*>(group->GetChild(i));
        EXPECT_EQ(1, int(piece->m_path.subPaths.Filled()));
        EXPECT_EQ(COLORREF(0x0000FF), piece->GetColor());
        EXPECT_EQ(4, piece->GetLayer());
    }
    EXPECT_EQ(one, sign.GetObj(1));
    EXPECT_EQ(unselected, sign.GetObj(2));
    EXPECT_EQ(2u, sign.m_nSelected);
}
