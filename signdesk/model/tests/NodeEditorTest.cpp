// Node operations on the path objects of a sheet: which objects take part, counting and
// hit tests, undo of a node move, and the clean-up selections.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "ModelTestSupport.h"
#include "model/CEditablePathIterator.h"
#include "model/CGroupObj.h"
#include "model/CNodeEditor.h"
#include "model/CPathObj.h"
#include "model/CSign.h"
#include "model/HashBytes.h"
#include "model/UndoList.h"
#include "pathkit/NodeEdit.h"

namespace {

CPathObj* NewSquare(float x0, float s, signed char layer = 1, CPathObj* pObj = nullptr) {
    CPathObj* o = pObj ? pObj : new CPathObj;
    Path& p = o->m_path;
    p.MoveTo({x0, 0});
    p.LineTo({x0 + s, 0});
    p.LineTo({x0 + s, s});
    p.LineTo({x0, s});
    p.LineTo({x0, 0});
    p.ClosePath();
    p.Prepare();
    o->SetLayer(layer, 0);
    o->RefreshBBox();
    o->UpdateStamp();
    return o;
}

void SelectAllNodes(CPathObj* o) {
    o->m_path.SetPMState(PM_ALL_SEL, PM_ALL_SEL, 0, 0);
    o->UpdateStamp();
}

// The object's record as documents hold it.
Bytes Record(CPathObj* o) {
    CSharedObjTableScope scope;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        o->Serialize(ar);
        ar.Close();
    }
    Bytes out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(out.data(), UINT(out.size()));
    return out;
}

// A sheet with one object of each kind the node tools must tell apart.
struct Sheet {
    CSign sign;
    CPathObj* plain;         // selected, visible: takes part
    CPathObj* locked;        // selected but locked
    CConstantPath* constant; // selected but not editable
    CPathObj* hidden;        // selected, on a hidden layer
    CPathObj* idle;          // not selected, on the hidden layer
    CPathObj* grouped;       // selected, inside a group

    Sheet() {
        plain = NewSquare(0, 10);
        locked = NewSquare(20, 10);
        constant = static_cast<CConstantPath*>(NewSquare(40, 10, 1, new CConstantPath));
        hidden = NewSquare(60, 10, 5);
        idle = NewSquare(80, 10, 5);
        grouped = NewSquare(100, 10);
        auto* group = new CGroupObj;
        group->m_children.Add(grouped);
        for (CSignObj* o : {static_cast<CSignObj*>(plain), static_cast<CSignObj*>(locked),
                            static_cast<CSignObj*>(constant), static_cast<CSignObj*>(hidden),
                            static_cast<CSignObj*>(idle), static_cast<CSignObj*>(group)})
            sign.Add(o);
        for (CPathObj* o : {plain, locked, static_cast<CPathObj*>(constant), hidden, grouped})
            o->m_bSelected = 1;
        locked->m_bLocked = 1;
        sign.SetLayerVisible(5, 0);
        sign.CountLayerObjects();
        for (CPathObj* o : All())
            SelectAllNodes(o);
    }
    std::vector<CPathObj*> All() { return {plain, locked, constant, hidden, idle, grouped}; }
};

std::vector<CPathObj*> Walk(CEditablePathIterator& it) {
    std::vector<CPathObj*> out;
    for (; CPathObj* p = it.CurrentPath(); it.Next())
        out.push_back(p);
    return out;
}

} // namespace

TEST(NodeEditorTest, IteratorsSkipLockedConstantAndHidden) {
    Sheet s;
    CEditablePathIterator editable(&s.sign);
    EXPECT_EQ(Walk(editable), (std::vector<CPathObj*>{s.plain, s.hidden, s.idle, s.grouped}));
    CNodeEditor editor;
    editor.Attach(&s.sign);
    CSelectedPathIterator selected(&editor);
    EXPECT_EQ(Walk(selected), (std::vector<CPathObj*>{s.plain, s.grouped}));
    // Backwards the same objects.
    selected.Last();
    EXPECT_EQ(selected.CurrentPath(), s.grouped);
    selected.Prev();
    EXPECT_EQ(selected.CurrentPath(), s.plain);
    selected.Prev();
    EXPECT_EQ(selected.CurrentPath(), nullptr);
}

TEST(NodeEditorTest, OperationsReachOnlyTheSelectedEditablePaths) {
    Sheet s;
    CNodeEditor editor;
    editor.Attach(&s.sign);
    EXPECT_EQ(editor.m_nSelectedPaths, 2u);
    EXPECT_EQ(editor.m_nSelectedNodes, 8u);
    EXPECT_EQ(editor.m_nSubPathsWithNodes, 2u);
    EXPECT_EQ(editor.m_nPathsWithNodes, 2u);
    EXPECT_TRUE(s.plain->m_path.HasSelection());
    EXPECT_FALSE(s.locked->m_path.HasSelection());
    EXPECT_FLOAT_EQ(editor.m_accBox.left, 0);
    EXPECT_FLOAT_EQ(editor.m_accBox.right, 110);

    std::vector<Bytes> before;
    for (CPathObj* o : s.All())
        before.push_back(Record(o));
    editor.MoveSelection(floatPoint(1, 2));
    EXPECT_FLOAT_EQ(s.plain->m_path.accBox.left, 1);
    EXPECT_FLOAT_EQ(s.grouped->m_path.accBox.bottom, 2);
    const std::vector<CPathObj*> all = s.All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const bool takesPart = all[i] == s.plain || all[i] == s.grouped;
        EXPECT_EQ(Record(all[i]) != before[i], takesPart) << i;
    }

    // Touch also reaches unselected paths on hidden layers, never a selected hidden one.
    for (CPathObj* o : all)
        for (SubPath& sp : o->m_path.subPaths)
            for (PathMember& m : sp.members)
                m.flags &= std::uint16_t(~PM_CHANGED);
    editor.Touch(0, 0);
    auto touched = [](CPathObj* o) { return o->m_path.Count(PM_CHANGED, PM_CHANGED) == 4; };
    EXPECT_TRUE(touched(s.plain));
    EXPECT_TRUE(touched(s.idle));
    EXPECT_FALSE(touched(s.hidden));
    EXPECT_FALSE(touched(s.locked));
    EXPECT_FALSE(touched(s.constant));

    editor.UnselectAllNodes();
    EXPECT_EQ(editor.CountSelectedNodes(nullptr, nullptr, nullptr), 0u);
    EXPECT_FALSE(s.plain->m_path.HasSelection());
    EXPECT_EQ(s.hidden->m_path.Count(PM_ALL_SEL, PM_ALL_SEL), 4u);
}

TEST(NodeEditorTest, CountReportsTheFirstSelectedMember) {
    Sheet s;
    CNodeEditor editor;
    editor.Attach(&s.sign);
    editor.UnselectAllNodes();
    PathMember& m = s.grouped->m_path.subPaths[0].members[2];
    m.flags |= PM_ALL_SEL;
    s.grouped->m_path.subPaths[0].members[3].flags |= PM_ALL_SEL;
    CSelectedPathIterator pos(&editor);
    int sub = -1, member = -1;
    EXPECT_EQ(editor.CountSelectedNodes(&pos, &sub, &member), 2u);
    EXPECT_EQ(pos.CurrentPath(), s.grouped);
    EXPECT_EQ(sub, 0);
    EXPECT_EQ(member, 2);
    EXPECT_EQ(editor.m_nPathsWithNodes, 1u);
    EXPECT_TRUE(s.grouped->m_path.HasSelection());
    EXPECT_FALSE(s.plain->m_path.HasSelection());

    floatBBox box;
    editor.GetSelectedNodesBox(box);
    EXPECT_FLOAT_EQ(box.left, 100);
    EXPECT_FLOAT_EQ(box.right, 110);
}

TEST(NodeEditorTest, HitTestsTakeTheTopmostVisiblePath) {
    CSign sign;
    CPathObj* below = NewSquare(0, 10, 1);
    CPathObj* above = NewSquare(0, 10, 2);
    CPathObj* hiddenTop = NewSquare(0, 10, 3);
    sign.Add(above); // added first, but on a higher layer
    sign.Add(below);
    sign.Add(hiddenTop);
    sign.SetLayerVisible(3, 0);
    sign.CountLayerObjects();
    CNodeEditor editor;
    editor.Attach(&sign);

    floatPoint p(10.05f, 5);
    unsigned sub = 9, member = 9;
    std::uint32_t param = 0;
    EXPECT_EQ(editor.HitTest(p, 0.1f, &sub, &member, &param), above);
    EXPECT_EQ(sub, 0u);
    floatPoint inside(5, 5);
    EXPECT_EQ(editor.FindPathContaining(inside), above);
    floatPoint outside(15, 5);
    EXPECT_EQ(editor.HitTest(outside, 0.1f, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(editor.FindPathContaining(outside), nullptr);

    // Control points: selected members of selected paths only.
    floatPoint corner(10.02f, 0.01f);
    int hitSub = -1, hitMember = -1, which = -1;
    EXPECT_EQ(editor.HitControlPoint(corner, 0.05f, &hitSub, &hitMember, &which), nullptr);
    below->m_bSelected = 1;
    SelectAllNodes(below);
    EXPECT_EQ(editor.HitControlPoint(corner, 0.05f, &hitSub, &hitMember, &which), below);
    const PathMember& hit = below->m_path.subPaths[0].members[std::uint16_t(hitMember)];
    const floatPoint& at = which == 0 ? hit.start : hit.end;
    EXPECT_FLOAT_EQ(at.x, 10);
    EXPECT_FLOAT_EQ(at.y, 0);
}

TEST(NodeEditorTest, HitMemberPointOrder) {
    PathMember curve(floatPoint(0, 0), floatPoint(1, 0));
    curve.flags = PM_CURVE;
    curve.ctrl1 = floatPoint(0, 5);
    curve.ctrl2 = floatPoint(1, 5);
    PathMember line = curve;
    line.flags = 0;
    const struct {
        floatPoint p;
        const PathMember* m;
        int expected;
    } rows[] = {
        {{0.5f, 0}, &curve, 0},    // start and end both within 0.6: the start wins
        {{0.9f, 0.1f}, &curve, 1}, // the end
        {{0.1f, 5}, &curve, 2},    {{1, 4.6f}, &curve, 3},
        {{0.1f, 5}, &line, -1}, // a line has no control points
        {{0.5f, 2}, &curve, -1},   {{0, 0}, nullptr, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(HitMemberPoint(row.p, 0.6f, row.m), row.expected) << row.p.x << "," << row.p.y;
    // Within the tolerance in x and in y, bounds included.
    EXPECT_EQ(HitMemberPoint(floatPoint(0.5f, 0.5f), 0.5f, &line), 0);
}

namespace {

// The document's side of undo for one sheet.
class NodeDoc : public UndoList {
public:
    CSign& GetUndoSign() override { return m_sign; }
    void SerializeUndoSettings(CArchive&) override {}
    DWORD GetUndoStateHash() override { return 0; }
    void InvalidateUndoBox(const floatBBox*) override {}
    void SetUndoModified() override {}
    CSign m_sign;
};

} // namespace

TEST(NodeEditorTest, NodeMoveUndoneByteExact) {
    NodeDoc doc;
    CPathObj* o = NewSquare(0, 10);
    o->m_bSelected = 1;
    doc.m_sign.Add(o);
    doc.m_sign.CountLayerObjects();
    doc.RecordStep("Create");
    const Bytes before = Record(o);

    CNodeEditor editor;
    editor.Attach(&doc.m_sign);
    editor.SelectNodesIn(floatBBox(9, -1, 11, 1), 0); // the corner (10, 0)
    ASSERT_EQ(editor.CountSelectedNodes(nullptr, nullptr, nullptr), 2u);
    editor.MoveSelection(floatPoint(3, -2));
    ASSERT_EQ(doc.RecordStep("Move nodes"), 1);

    doc.Undo();
    auto* back = static_cast<CPathObj*>(doc.m_sign.GetObj(0));
    EXPECT_EQ(Record(back), before);
    doc.Redo();
    back = static_cast<CPathObj*>(doc.m_sign.GetObj(0));
    EXPECT_NE(Record(back), before);
}

namespace {

// A closed contour: a right-angled corner between two lines at (10, 0), two corners between a
// curve and a line, and an open polyline whose only qualifying corner is at (20, 1).
CPathObj* CornerShapes(CSign& sign) {
    auto* o = new CPathObj;
    Path& p = o->m_path;
    p.MoveTo({0, 0});
    p.LineTo({10, 0});
    p.LineTo({10, 10});
    p.CurveTo({5, 12}, {0, 5}, {0, 0});
    p.ClosePath();
    p.MoveTo({30, 0});
    p.LineTo({40, 0});
    p.LineTo({50, 1});
    p.LineTo({50, 11});
    p.ClosePath();
    o->RefreshBBox();
    o->UpdateStamp();
    o->m_bSelected = 1;
    sign.Add(o);
    sign.CountLayerObjects();
    return o;
}

} // namespace

TEST(NodeEditorTest, RoundCornersSelectsTheLinesOfRightAngles) {
    CSign sign;
    CPathObj* o = CornerShapes(sign);
    CNodeEditor editor;
    editor.Attach(&sign);
    const DWORD stamp = o->m_nStamp;
    const float deg = float(std::numbers::pi / 180);
    editor.RoundCorners(150 * deg, 30 * deg, 0);
    const SubPath& closed = o->m_path.subPaths[0];
    EXPECT_EQ(closed.members[0].flags & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_EQ(closed.members[1].flags & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_EQ(closed.members[2].flags & PM_ALL_SEL, 0); // the curve's corners are left alone
    EXPECT_TRUE(closed.members[0].IsChanged());
    const SubPath& open = o->m_path.subPaths[1];
    // (40, 0) turns by less than 30 degrees; the free ends make no corner.
    EXPECT_EQ(open.members[0].flags & PM_ALL_SEL, 0);
    EXPECT_EQ(open.members[1].flags & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_EQ(open.members[2].flags & PM_ALL_SEL, PM_ALL_SEL);
    EXPECT_NE(o->m_nStamp, stamp);

    // Applied, the two selected lines meet in an arc instead of the corner.
    editor.RoundCorners(0, 2, 1);
    const SubPath& rounded = o->m_path.subPaths[0];
    EXPECT_GT(rounded.members.Filled(), 3);
    for (const PathMember& m : rounded.members)
        EXPECT_FALSE(m.end.x == 10 && m.end.y == 0);
}

TEST(NodeEditorTest, SelectMembersByShapeTests) {
    CSign sign;
    CPathObj* o = CornerShapes(sign);
    CNodeEditor editor;
    editor.Attach(&sign);
    auto selected = [&](int sub) {
        std::vector<int> out;
        const SubPath& sp = o->m_path.subPaths[std::uint16_t(sub)];
        for (std::uint16_t i = 0; i < sp.members.Filled(); ++i)
            if (sp.members[i].IsPMSelected()) out.push_back(i);
        return out;
    };
    // Every test off: every member.
    editor.SelectMembersByShape(0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    EXPECT_EQ(selected(0), (std::vector<int>{0, 1, 2}));
    editor.SelectMembersByShape(0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(selected(0).empty());
    // Horizontal members within 1 degree, 5 mm or longer.
    editor.SelectMembersByShape(1, 0, 0.0175f, 1, 5, 100, 0, 0, 0, 1);
    EXPECT_EQ(selected(0), (std::vector<int>{0}));
    EXPECT_EQ(selected(1), (std::vector<int>{0}));
    // Curves that spin.
    editor.SelectMembersByShape(0, 0, 0, 0, 0, 0, 1, 0.1f, 4, 1);
    EXPECT_EQ(selected(0), (std::vector<int>{0, 2}));
}
