#include <cmath>

#include <doc/Snapping.h>
#include <mfc/CCmdUI.h>
#include <mfc/FrameworkIds.h>
#include <model/CUndoStep.h>
#include <model/ViewColors.h>

#include "SignDocTestSupport.h"

namespace {

// An open two-point path object on a layer.
CPathObj* Segment(floatPoint a, floatPoint b, signed char layer = 1) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo(a);
    obj->m_path.LineTo(b);
    obj->m_path.ClosePath(); // finishes the open sub-path
    obj->m_path.RefreshBBoxes();
    obj->SetLayer(char(layer), 0);
    obj->RefreshBBox();
    return obj;
}

class SignDocSnapTest : public SignDocTest {
protected:
    void SetUp() override {
        SignDocTest::SetUp();
        SignDocSettings::SnapToCorners = SignDocSettings::SnapToObject = FALSE;
        SignDocSettings::SnapToGuideLines = FALSE;
        SheetSettings::SnapToGrid = FALSE;
    }
    // After the first document, which resets the grid.
    void Grid5() {
        SheetSettings::GridOffs = floatPoint(0, 0);
        SheetSettings::GridDens = floatPoint(5, 5);
    }
    void TearDown() override {
        SheetSettings::SnapToGrid = FALSE;
        SignDocTest::TearDown();
    }
    void Add(CSignDoc& doc, CPathObj* obj) {
        doc.m_sheet.Add(obj);
        doc.RecalcBounds();
    }
};

TEST_F(SignDocSnapTest, NodeSnapTable) {
    CSignDoc doc;
    // Both ends 1 mm from p = (0, 0), left and right, in two objects on layer 1.
    CPathObj* first = Segment({-1, 0}, {-1, 5});
    CPathObj* second = Segment({1, 0}, {1, 5});
    Add(doc, first);
    Add(doc, second);
    struct Case {
        floatPoint p;
        float tolerance;
        INT_PTR exclude;
        BOOL result;
        floatPoint expected;
    };
    const Case cases[] = {
        {{0, 0}, 1, 0, TRUE, {1, 0}},       // tie: the later object first
        {{0, 0}, 0.5f, 0, FALSE, {0, 0}},   // exactly 2 x tolerance: not taken
        {{0.5f, 0}, 0.5f, 0, TRUE, {1, 0}}, // the box grown by the tolerance must hold p
        {{0, 0}, 0.6f, 0, FALSE, {0, 0}},   {{0, 0}, 1, INT_PTR(second), TRUE, {-1, 0}},
        {{0.2f, 4.9f}, 1, 0, TRUE, {1, 5}}, // nearest end point
    };
    for (const Case& c : cases) {
        floatPoint p = c.p;
        EXPECT_EQ(SnapToNearestNode(doc.m_sheet, p, c.tolerance, c.exclude), c.result);
        EXPECT_FLOAT_EQ(p.x, c.expected.x);
        EXPECT_FLOAT_EQ(p.y, c.expected.y);
    }
    // A higher layer is walked first, whatever the order of the objects.
    CPathObj* high = Segment({-1, 0}, {-1, -5}, 3);
    doc.m_sheet.InsertAt(0, high);
    doc.RecalcBounds();
    floatPoint p(0, 0);
    ASSERT_TRUE(SnapToNearestNode(doc.m_sheet, p, 1, 0));
    EXPECT_FLOAT_EQ(p.x, -1);
    // The selection is left out with exclude 1, and with a selected exclude.
    high->Select();
    first->Select();
    doc.m_sheet.UpdateSelection();
    p = floatPoint(0, 0);
    ASSERT_TRUE(SnapToNearestNode(doc.m_sheet, p, 1, ExcludeSelection));
    EXPECT_FLOAT_EQ(p.x, 1);
    p = floatPoint(0, 0);
    ASSERT_TRUE(SnapToNearestNode(doc.m_sheet, p, 1, INT_PTR(first)));
    EXPECT_FLOAT_EQ(p.x, 1);
}

TEST_F(SignDocSnapTest, CornersBeatOutlinesAndToleranceZeroGoesToTheGrid) {
    CSignDoc doc;
    Add(doc, Segment({0, 0}, {10, 0}));
    SignDocSettings::SnapToCorners = SignDocSettings::SnapToObject = TRUE;
    floatPoint p(1.5f, 0.1f);
    ASSERT_TRUE(doc.SnapPoint(&p, 1, 0));
    EXPECT_FLOAT_EQ(p.x, 0);
    EXPECT_FLOAT_EQ(p.y, 0);
    // Out of node range: the outline.
    p = floatPoint(5, 0.5f);
    ASSERT_TRUE(doc.SnapPoint(&p, 1, 0));
    EXPECT_NEAR(p.x, 5, 1e-3);
    EXPECT_NEAR(p.y, 0, 1e-3);
    // SnapX takes only x.
    p = floatPoint(1.5f, 0.1f);
    ASSERT_TRUE(doc.SnapX(&p, 1, 0));
    EXPECT_FLOAT_EQ(p.x, 0);
    EXPECT_FLOAT_EQ(p.y, 0.1f);
    // Tolerance 0: the grid decides.
    Grid5();
    SheetSettings::SnapToGrid = TRUE;
    p = floatPoint(1.5f, 3.1f);
    ASSERT_TRUE(doc.SnapPoint(&p, 0, 0));
    EXPECT_FLOAT_EQ(p.x, 0);
    EXPECT_FLOAT_EQ(p.y, 5);
    SheetSettings::SnapToGrid = FALSE;
    p = floatPoint(1.5f, 3.1f);
    EXPECT_FALSE(doc.SnapPoint(&p, 0, 0));
}

TEST_F(SignDocSnapTest, CrossingGuidesProjectInTurn) {
    GuideLineDynArr guides;
    *guides.Append() = GuideLine{0, 0, 0};              // the x axis
    *guides.Append() = GuideLine{0, 0, std::atan(1.0)}; // the diagonal
    floatPoint p(0.5f, 0.2f);
    ASSERT_TRUE(SnapToGuides(guides, p, 1));
    EXPECT_NEAR(p.x, 0.25, 1e-4);
    EXPECT_NEAR(p.y, 0.25, 1e-4);
    EXPECT_EQ(FindGuideLine(guides, floatPoint(3, 2.5f), 1), 1);
    EXPECT_EQ(FindGuideLine(guides, floatPoint(3, 0.5f), 1), 0);
    EXPECT_EQ(FindGuideLine(guides, floatPoint(3, 1.5f), 0.5f), -1);
    EXPECT_EQ(FindGuideLine(GuideLineDynArr(), floatPoint(0, 0), 1), -1);
}

TEST_F(SignDocSnapTest, AddGuideLineWithoutAViewSnapsToTheGridOnly) {
    CSignDoc doc;
    doc.OnNewDocument();
    Grid5();
    SheetSettings::SnapToGrid = TRUE;
    SignDocSettings::SnapToGuideLines = TRUE;
    *doc.m_guideLines.Append() = GuideLine{0, 7, 0};
    doc.RecordStep("Guide");
    const floatPoint anchor(6.1f, 7.2f);
    EXPECT_TRUE(doc.AddGuideLine(&anchor, 0.5));
    ASSERT_EQ(doc.m_guideLines.Filled(), 2);
    EXPECT_FLOAT_EQ(doc.m_guideLines[1].x, 5);
    EXPECT_FLOAT_EQ(doc.m_guideLines[1].y, 5);
    EXPECT_TRUE(SignDocSettings::SnapToGuideLines);
    ASSERT_EQ(doc.GetStepCount(), 2);
    EXPECT_STREQ(LPCSTR(doc.GetStep(1)->m_strName), "Add guideline");
    // Undo takes the guide away again.
    doc.Undo();
    EXPECT_EQ(doc.m_guideLines.Filled(), 1);
}

struct CheckUI : CCmdUI {
    void Enable(BOOL on) override { enabled = on; }
    void SetCheck(int n) override { checked = n; }
    BOOL enabled = -1;
    int checked = -1;
};

CheckUI Query(CSignDoc& doc, UINT id) {
    CheckUI ui;
    ui.m_nID = id;
    doc.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
    return ui;
}

TEST_F(SignDocSnapTest, CommandsSetTheSwitches) {
    CSignDoc doc;
    doc.OnNewDocument();
    const struct {
        UINT id;
        int detail;
    } levels[] = {{32774, 0}, {32885, 1}, {32779, 2}, {32891, 3}};
    for (auto level : levels) {
        ASSERT_TRUE(doc.OnCmdMsg(level.id, CN_COMMAND, nullptr, nullptr));
        EXPECT_EQ(SignDocSettings::Detail, level.detail);
        EXPECT_EQ(Query(doc, level.id).checked, 1);
    }
    EXPECT_EQ(Query(doc, 32774).checked, 0);
    SignDocSettings::Detail = 2;

    for (UINT id : {33060u, 33061u, 33108u}) {
        EXPECT_EQ(Query(doc, id).checked, 0);
        doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
        EXPECT_EQ(Query(doc, id).checked, 1);
        doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
    }
    // Undo with nothing recorded: disabled and harmless.
    EXPECT_FALSE(Query(doc, ID_EDIT_UNDO).enabled);
    doc.OnCmdMsg(ID_EDIT_UNDO, CN_COMMAND, nullptr, nullptr);
    doc.AddObject(Segment({0, 0}, {1, 1}), TRUE, -1);
    doc.RecordStep("Add");
    EXPECT_TRUE(Query(doc, ID_EDIT_UNDO).enabled);
    doc.OnCmdMsg(ID_EDIT_UNDO, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(doc.m_sheet.GetSize(), 0);
    EXPECT_TRUE(Query(doc, ID_EDIT_REDO).enabled);
    doc.OnCmdMsg(ID_EDIT_REDO, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(doc.m_sheet.GetSize(), 1);
}

// Counts the redraws a view would get.
class CountingDoc : public CSignDoc {
public:
    void InvalidateUndoBox(const floatBBox* pBox) override {
        if (pBox == nullptr) ++fullRedraws;
        CSignDoc::InvalidateUndoBox(pBox);
    }
    int fullRedraws = 0;
};

TEST_F(SignDocSnapTest, UndoRestoresGuidesAndRedrawsOnlyWhenTheyDiffer) {
    CountingDoc doc;
    doc.OnNewDocument();
    *doc.m_guideLines.Append() = GuideLine{1, 2, 0.5};
    doc.m_glyphCodes[3] = 'Q';
    doc.m_nCurrentTextSerial = 77;
    ASSERT_TRUE(doc.RecordStep("Guide"));
    // Moving the guide is one step; undo puts it back in place.
    doc.m_guideLines[0].x = 50;
    ASSERT_TRUE(doc.RecordStep("Move guide"));
    doc.fullRedraws = 0;
    doc.Undo();
    ASSERT_EQ(doc.m_guideLines.Filled(), 1);
    EXPECT_FLOAT_EQ(doc.m_guideLines[0].x, 1);
    EXPECT_EQ(doc.m_glyphCodes[3], 'Q');
    EXPECT_EQ(doc.m_nCurrentTextSerial, 77u);
    EXPECT_GE(doc.fullRedraws, 1);
    // A change that leaves the guides alone: restoring redraws no view for them.
    doc.m_nCurrentTextSerial = 78;
    ASSERT_TRUE(doc.RecordStep("Text"));
    doc.fullRedraws = 0;
    doc.Undo();
    EXPECT_EQ(doc.m_nCurrentTextSerial, 77u);
    EXPECT_EQ(doc.fullRedraws, 0);
}

} // namespace
