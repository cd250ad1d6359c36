// The selection tool in the headless program, through the view with the platform's mouse and
// keys: picking, Shift toggling, the band, locked objects and hidden layers, the status text,
// moves by drag and by arrow keys with their one undo step, and the hand-over to the weld.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include <dialogs/GeneralPageIds.h>
#include <doc/CSignDoc.h>
#include <doc/SignDocSettings.h>
#include <mfc/CArchive.h>
#include <mfc/CCmdUI.h>
#include <mfc/CMemFile.h>
#include <model/CClippedObj.h>
#include <model/CPathObj.h>
#include <model/CUndoStep.h>
#include <select/AlignMode.h>
#include <select/DeskewMode.h>
#include <select/SelectDialogIds.h>
#include <select/SelectMode.h>
#include <select/SelectTools.h>
#include <select/TransformMode.h>
#include <select/WeldMode.h>
#include <sheet/SheetSettings.h>
#include <testing/DialogDriver.h>
#include <testing/InputDriver.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>

#include "SheetTestApp.h"

namespace {

// Records what an update handler says.
class UpdateProbe : public CCmdUI {
public:
    explicit UpdateProbe(UINT id) { m_nID = id; }
    void Enable(BOOL on = TRUE) override { enabled = on; }
    BOOL enabled = TRUE;
};

CPathObj* Box(float x0, float y0, float x1, float y1) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo({x0, y0});
    obj->m_path.LineTo({x1, y0});
    obj->m_path.LineTo({x1, y1});
    obj->m_path.LineTo({x0, y1});
    obj->m_path.LineTo({x0, y0});
    obj->m_path.ClosePath();
    obj->m_path.Prepare();
    obj->RefreshBBox();
    return obj;
}

class SelectModeTest : public SheetTest {
protected:
    void SetUp() override {
        SheetTest::SetUp();
        StartApp(210, 297, RUNTIME_CLASS(CSignDoc));
        signDoc = dynamic_cast<CSignDoc*>(doc);
        ASSERT_NE(nullptr, signDoc);
        SetKeyState(VK_SHIFT, false);
        SetKeyState(VK_CONTROL, false);
        // Each gesture comes a second after the last: no press counts as a double click.
        SdInstallFakeClock(1000, SYSTEMTIME{});
    }
    void TearDown() override {
        SdRemoveFakeClock();
        SheetTest::TearDown();
    }
    void Drag(CPoint from, CPoint to) {
        SdAdvanceFakeClock(1000);
        sdtest::Drag(view->m_hWnd, from, to);
    }
    // a and b side by side, c over a's right half (on top), locked d, e on hidden layer 5.
    void Design() {
        a = Box(20, 20, 60, 60);
        b = Box(100, 20, 140, 60);
        c = Box(40, 30, 80, 50);
        d = Box(20, 100, 60, 140);
        d->m_bLocked = 1;
        e = Box(100, 100, 140, 140);
        e->SetLayer(5, 0);
        for (CPathObj* o : {a, b, c, d, e})
            signDoc->m_sheet.Add(o);
        signDoc->m_sheet.SetLayerVisible(5, FALSE);
        signDoc->RecalcBounds();
        signDoc->RecordStep("Open");
        view->InstallMode(new SelectMode);
        sdtest::PumpInput();
    }
    CPoint At(float x, float y) {
        CPoint p;
        view->WorldToClient(x, y, p);
        return p;
    }
    void ClickAt(float x, float y, bool shift = false) {
        const CPoint p = At(x, y);
        SdAdvanceFakeClock(1000);
        if (shift) sdtest::KeyDown(VK_SHIFT);
        sdtest::Click(view->m_hWnd, p.x, p.y);
        if (shift) sdtest::KeyUp(VK_SHIFT);
    }
    void SetKeyState(int key, bool down) { SdSetKeyDown(key, down); }
    std::string Selected() {
        std::string s;
        for (CPathObj* o : {a, b, c, d, e})
            s += o->m_bSelected ? '1' : '0';
        return s;
    }
    std::vector<BYTE> Archive() {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            signDoc->m_sheet.Serialize(ar);
            ar.Close();
        }
        std::vector<BYTE> out(std::size_t(file.GetLength()));
        file.SeekToBegin();
        if (!out.empty()) file.Read(out.data(), UINT(out.size()));
        return out;
    }
    std::string LastStep() {
        const int n = signDoc->GetStepCount();
        return n ? std::string(LPCSTR(signDoc->GetStep(n - 1)->m_strName)) : "";
    }
    std::string Status() { return std::string(LPCSTR(frame->GetStatusBar()->GetPaneText(0))); }

    CSignDoc* signDoc = nullptr;
    CPathObj *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr, *e = nullptr;
};

} // namespace

TEST_F(SelectModeTest, ClicksAndBandsSelectNeverLockedOrHidden) {
    Design();
    ClickAt(40, 50); // on c's left edge over a's inside: c is hit (topmost with an edge there)
    EXPECT_EQ("00100", Selected());
    EXPECT_EQ("Selection change", LastStep());
    ClickAt(100, 40, true); // Shift adds b
    EXPECT_EQ("01100", Selected());
    EXPECT_EQ(0, Status().find("2 objects selected (dX=100 dY=40 D="));
    ClickAt(100, 40, true); // and takes it away again
    EXPECT_EQ("00100", Selected());
    ClickAt(20, 120); // the locked object is never picked
    EXPECT_EQ("00000", Selected());
    ClickAt(100, 120); // nor one on a hidden layer
    EXPECT_EQ("00000", Selected());

    // A band over everything takes what lies wholly inside it, never locked or hidden.
    Drag(At(10, 150), At(150, 10));
    EXPECT_EQ("11100", Selected());
    // A band round b alone; then empty ground clears.
    Drag(At(90, 70), At(150, 10));
    EXPECT_EQ("01000", Selected());
    ClickAt(180, 250);
    EXPECT_EQ("00000", Selected());
    EXPECT_EQ(0, Status().find("No object selected"));
}

TEST_F(SelectModeTest, ADragMovesTheSelectionInOneStepAndUndoesByteForByte) {
    Design();
    ClickAt(20, 40);
    ClickAt(100, 40, true);
    ASSERT_EQ("11000", Selected());
    const std::vector<BYTE> before = Archive();
    const int steps = signDoc->GetStepCount();
    // A drag shorter than the pick distance moves nothing.
    const CPoint from = At(20, 40);
    Drag(from, CPoint(from.x + 1, from.y));
    EXPECT_EQ(before, Archive());
    EXPECT_EQ(steps, signDoc->GetStepCount()); // a step only where something changed
    // 30 mm to the right.
    Drag(from, At(50, 40));
    EXPECT_EQ("Move", LastStep());
    EXPECT_EQ(steps + 1, signDoc->GetStepCount());
    EXPECT_NEAR(50, a->GetBBox()->left, 0.6);
    EXPECT_NEAR(130, b->GetBBox()->left, 0.6);
    EXPECT_FLOAT_EQ(40, c->GetBBox()->left);
    const std::vector<BYTE> after = Archive();
    signDoc->Undo();
    EXPECT_EQ(before, Archive());
    signDoc->Redo();
    EXPECT_EQ(after, Archive());
}

TEST_F(SelectModeTest, ArrowKeysNudgeInOneStepPerKeyUp) {
    Design();
    ClickAt(100, 40);
    const int steps = signDoc->GetStepCount();
    // Twenty repeats of Right, one key-up: 20 mm in one "Move".
    for (int i = 0; i < 20; ++i)
        view->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    view->SendMessage(WM_KEYUP, VK_RIGHT, 0);
    sdtest::PumpInput();
    EXPECT_FLOAT_EQ(120, b->GetBBox()->left);
    EXPECT_EQ(steps + 1, signDoc->GetStepCount());
    EXPECT_EQ("Move", LastStep());
    // With Ctrl each press is the large step, 10 mm.
    SetKeyState(VK_CONTROL, true);
    view->SendMessage(WM_KEYDOWN, VK_UP, 1);
    view->SendMessage(WM_KEYUP, VK_UP, 0);
    SetKeyState(VK_CONTROL, false);
    sdtest::PumpInput();
    EXPECT_FLOAT_EQ(30, b->GetBBox()->bottom);
}

TEST_F(SelectModeTest, SpaceDuringAMoveLeavesEverythingAsItWas) {
    Design();
    ClickAt(100, 40);
    const std::vector<BYTE> before = Archive();
    const int steps = signDoc->GetStepCount();
    const SdGdiImage picture = ViewPicture();
    const CPoint from = At(100, 40), to = At(130, 60);
    SdAdvanceFakeClock(1000);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, from.x, from.y);
    sdtest::MouseMove(view->m_hWnd, to.x, to.y);
    view->SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONUP, to.x, to.y);
    sdtest::PumpInput();
    EXPECT_EQ(before, Archive());
    EXPECT_EQ(steps, signDoc->GetStepCount());
    EXPECT_TRUE(ViewPicture().pixels == picture.pixels);
}

TEST_F(SelectModeTest, CommandsWorkOnTheSelection) {
    Design();
    Command(SelectIds::SelectAll);
    EXPECT_EQ("11100", Selected());
    EXPECT_EQ("Select all", LastStep());
    Command(SelectIds::Combine);
    ASSERT_EQ(3, signDoc->m_sheet.GetSize()); // the locked and the hidden stay
    EXPECT_EQ("Combine", LastStep());
    Command(SelectIds::Simplify);
    EXPECT_TRUE(signDoc->m_sheet.GetObj(0)->IsGroup());
    signDoc->m_sheet.UnselectAll();
    // Commands whose work comes later are disabled.
    for (UINT id : {SelectIds::Trace, SelectIds::GuideEdit, SelectIds::Outline, SelectIds::Import,
                    SelectIds::Export, SelectIds::FilterFirst}) {
        UpdateProbe ui(id);
        view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        EXPECT_FALSE(ui.enabled) << id;
    }
    // The weld commands hand over to the weld tool with their kind.
    signDoc->m_sheet.GetObj(0)->Select();
    Command(SelectIds::WeldFirst + 2);
    auto* weld = dynamic_cast<WeldMode*>(view->mode);
    ASSERT_NE(nullptr, weld);
    EXPECT_EQ(3u, weld->kind);
}

namespace {

class ResizeTest : public SelectModeTest {
protected:
    // One selected rectangle 40 x 20 at (100, 20), or a vertical line at x = 120.
    SelectMode* Start(bool line) {
        CPathObj* o = line ? nullptr : Box(100, 20, 140, 40);
        if (line) {
            o = new CPathObj;
            o->m_path.MoveTo({120, 20});
            o->m_path.LineTo({120, 60});
            o->m_path.ClosePath();
            o->RefreshBBox();
        }
        o->Select();
        signDoc->m_sheet.Add(o);
        signDoc->RecalcBounds();
        signDoc->RecordStep("Open");
        auto* mode = new SelectMode;
        view->InstallMode(mode);
        sdtest::PumpInput();
        shape = o;
        return mode;
    }
    // A handle's point on the box grown by the pick distance and the handle size.
    floatPoint HandlePoint(SelectMode* mode, int handle) {
        floatTMatrix m;
        view->GetWorldToClientMatrix(m);
        const float grow = float(SheetSettings::UsableMouseSens() + mode->handleSize) / m.m11;
        const floatBBox b = signDoc->m_sheet.m_bbSelection;
        const floatBBox g(b.left - grow, b.bottom - grow, b.right + grow, b.top + grow);
        const float mx = (g.left + g.right) / 2, my = (g.bottom + g.top) / 2;
        const floatPoint points[8] = {{g.left, g.top},    {g.right, g.top}, {g.right, g.bottom},
                                      {g.left, g.bottom}, {mx, g.top},      {g.right, my},
                                      {mx, g.bottom},     {g.left, my}};
        return points[handle];
    }
    CPathObj* shape = nullptr;
};

} // namespace

TEST_F(ResizeTest, HandlesAsATable) {
    struct Case {
        const char* name;
        bool line, keepProportions;
        int handle;
        floatPoint to;
        floatBBox expected;
    } cases[] = {
        {"corner keeps the ratio about the opposite corner",
         false,
         false,
         1,
         {160, 0},
         floatBBox(100, 20, 160, 50)},
        {"bottom left corner", false, false, 3, {80, 0}, floatBBox(80, 10, 140, 40)},
        {"right side", false, false, 5, {170, 30}, floatBBox(100, 20, 170, 40)},
        {"top side", false, false, 4, {120, 60}, floatBBox(100, 20, 140, 60)},
        {"past the opposite corner nothing changes",
         false,
         false,
         1,
         {50, 0},
         floatBBox(100, 20, 140, 40)},
        {"no side handles while keeping proportions",
         false,
         true,
         5,
         {170, 30},
         floatBBox(100, 20, 140, 40)},
        {"a line without width moves with its side, finite",
         true,
         false,
         5,
         {150, 40},
         floatBBox(150, 20, 150, 60)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        signDoc->m_sheet.DeleteAll();
        SelectMode::KeepProportions = c.keepProportions ? 1 : 0;
        SelectMode* mode = Start(c.line);
        const floatPoint h = HandlePoint(mode, c.handle);
        floatPoint probe = h;
        EXPECT_EQ(c.keepProportions && c.handle >= 4 ? -1 : c.handle, mode->HitHandle(probe));
        Drag(At(h.x, h.y), At(c.to.x, c.to.y == 0 ? h.y : c.to.y));
        const floatBBox& b = *shape->GetBBox();
        EXPECT_NEAR(c.expected.left, b.left, 0.6);
        EXPECT_NEAR(c.expected.right, b.right, 0.6);
        EXPECT_NEAR(c.expected.bottom, b.bottom, 0.6);
        EXPECT_NEAR(c.expected.top, b.top, 0.6);
        EXPECT_TRUE(std::isfinite(b.left) && std::isfinite(b.right) && std::isfinite(b.top));
    }
    SelectMode::KeepProportions = 0;
}

TEST_F(SelectModeTest, AlignmentCommandsThroughTheView) {
    // A [10, 20], B [25, 45], C [80, 110] across, selected; the selection box is [10, 110].
    CPathObj* boxes[3] = {Box(10, 100, 20, 110), Box(25, 100, 45, 120), Box(80, 100, 110, 105)};
    for (CPathObj* o : boxes) {
        o->Select();
        signDoc->m_sheet.Add(o);
    }
    signDoc->RecalcBounds();
    signDoc->RecordStep("Open");
    auto* mode = new AlignMode;
    view->InstallMode(mode);
    sdtest::PumpInput();

    Command(AlignIds::Kinds[6]); // equal gaps: (100 - 60) / 2 = 20
    EXPECT_FLOAT_EQ(40, boxes[1]->GetBBox()->left);
    EXPECT_FLOAT_EQ(80, boxes[2]->GetBBox()->left);
    EXPECT_EQ("Align", LastStep());
    EXPECT_EQ(6, mode->activeAlignment);
    Command(AlignIds::Kinds[4]); // centres on 60
    for (CPathObj* o : boxes)
        EXPECT_FLOAT_EQ(60, (o->GetBBox()->left + o->GetBBox()->right) / 2);
    // Against the page each alignment is applied once: left edges on 0.
    Command(AlignIds::ToPage);
    EXPECT_EQ(-1, mode->activeAlignment);
    Command(AlignIds::Kinds[0]);
    for (CPathObj* o : boxes)
        EXPECT_FLOAT_EQ(0, o->GetBBox()->left);
    EXPECT_EQ(-1, mode->activeAlignment);
    // Nothing selected: nothing moves and nothing is recorded.
    signDoc->m_sheet.UnselectAll();
    const int steps = signDoc->GetStepCount();
    Command(AlignIds::Kinds[2]);
    EXPECT_FLOAT_EQ(0, boxes[0]->GetBBox()->left);
    EXPECT_EQ(steps, signDoc->GetStepCount());
}

namespace {

// A bar 100 x 1 mm about (100, 150), turned by `degrees`.
CPathObj* Bar(double degrees) {
    const double r = degrees * M_PI / 180, c = std::cos(r), s = std::sin(r);
    auto* obj = new CPathObj;
    const double corners[4][2] = {{-50, -0.5}, {50, -0.5}, {50, 0.5}, {-50, 0.5}};
    for (int i = 0; i <= 4; ++i) {
        const double* k = corners[i % 4];
        const floatPoint p(float(100 + k[0] * c - k[1] * s), float(150 + k[0] * s + k[1] * c));
        if (i == 0) {
            obj->m_path.MoveTo(p);
        } else {
            obj->m_path.LineTo(p);
        }
    }
    obj->m_path.ClosePath();
    obj->m_path.Prepare();
    obj->RefreshBBox();
    return obj;
}

} // namespace

TEST_F(SelectModeTest, DeskewTurnsTheLineDrawnLevelOrUpright) {
    struct Case {
        double bar;  // the bar's angle
        CPoint line; // the line drawn, client pixels from (200, 300)
        bool level;  // the bar ends level (else upright)
    } cases[] = {
        {10, CPoint(400, -71), true},  // a line rising 10°: turned by -10°
        {80, CPoint(50, -284), false}, // a line at 80°: turned by +10°
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        signDoc->m_sheet.DeleteAll();
        CPathObj* bar = Bar(c.bar);
        bar->Select();
        signDoc->m_sheet.Add(bar);
        signDoc->RecalcBounds();
        signDoc->RecordStep("Open");
        auto* select = new SelectMode;
        view->InstallMode(select);
        view->crossHairAngle = 0.3;
        Command(DeskewIds::Start);
        ASSERT_NE(nullptr, dynamic_cast<DeskewMode*>(view->mode));
        Drag(CPoint(200, 300), CPoint(200 + c.line.x, 300 + c.line.y));
        EXPECT_EQ(select, view->mode); // the selection tool is back
        EXPECT_DOUBLE_EQ(0.3, view->crossHairAngle);
        EXPECT_EQ("Deskew", LastStep());
        const floatBBox& b = *bar->GetBBox();
        const float across = c.level ? b.top - b.bottom : b.right - b.left;
        EXPECT_NEAR(1, across, 0.3);
        EXPECT_NEAR(100, (b.left + b.right) / 2, 0.01); // about the selection's centre
    }
    // A click without a drag turns nothing and records nothing.
    const int steps = signDoc->GetStepCount();
    const floatBBox before = *signDoc->m_sheet.GetObj(0)->GetBBox();
    Command(DeskewIds::Start);
    SdAdvanceFakeClock(1000);
    sdtest::Click(view->m_hWnd, 300, 300);
    EXPECT_EQ(steps, signDoc->GetStepCount());
    EXPECT_FLOAT_EQ(before.left, signDoc->m_sheet.GetObj(0)->GetBBox()->left);
    EXPECT_NE(nullptr, dynamic_cast<SelectMode*>(view->mode));
    EXPECT_EQ(nullptr, dynamic_cast<DeskewMode*>(view->mode));

    // A selection that refuses to turn (a clipped picture) beeps and records nothing.
    auto* clipped = new CClippedObj;
    clipped->m_bbClip = floatBBox(150, 200, 170, 220);
    clipped->ResetContour();
    clipped->RefreshBBox();
    signDoc->m_sheet.UnselectAll();
    clipped->Select();
    signDoc->m_sheet.Add(clipped);
    signDoc->RecalcBounds();
    signDoc->RecordStep("Picture");
    const int before2 = signDoc->GetStepCount();
    const int beeps = SdBeepCount();
    Command(DeskewIds::Start);
    Drag(CPoint(200, 300), CPoint(600, 229));
    EXPECT_EQ(beeps + 1, SdBeepCount());
    EXPECT_EQ(before2, signDoc->GetStepCount());
    EXPECT_FLOAT_EQ(150, clipped->GetBBox()->left);
}

namespace {

// The page of a property sheet that holds control `id`.
HWND PageWith(HWND sheet, int id) {
    for (HWND child = ::GetWindow(sheet, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetDlgItem(child, id)) return child;
    return nullptr;
}

} // namespace

TEST_F(SelectModeTest, ThePropertiesCommandShowsTheGeneralPage) {
    Design();
    ClickAt(100, 40);
    const std::vector<BYTE> before = Archive();
    // Cancel changes nothing.
    SetDialogScriptForClass("CPropertySheet", [](HWND sheet) {
        HWND page = PageWith(sheet, IDC_GP_OUTLINE_WIDTH);
        ASSERT_NE(nullptr, page);
        ::SetDlgItemTextA(page, IDC_GP_OUTLINE_WIDTH, "0.5");
        sdtest::Click(sheet, IDCANCEL);
    });
    Command(SelectIds::Properties);
    EXPECT_EQ(before, Archive());
    // OK writes the page's values to the object.
    SetDialogScriptForClass("CPropertySheet", [](HWND sheet) {
        HWND page = PageWith(sheet, IDC_GP_OUTLINE_WIDTH);
        ASSERT_NE(nullptr, page);
        ::SetDlgItemTextA(page, IDC_GP_OUTLINE_WIDTH, "0.5");
        ::SetDlgItemTextA(page, IDC_GP_POS_X, "110");
        sdtest::Click(sheet, IDOK);
    });
    Command(SelectIds::Properties);
    EXPECT_FLOAT_EQ(0.5f, b->m_fOutlineWidth);
    EXPECT_NEAR(110, b->GetBBox()->left, 1e-3);
    EXPECT_EQ("Property change", LastStep());
}

namespace {

class TransformTest : public SelectModeTest {
protected:
    // A selected triangle (100, 100) (140, 100) (140, 120) with a 0.5 mm outline.
    TransformMode* Start() {
        shape = new CPathObj;
        shape->m_path.MoveTo({100, 100});
        shape->m_path.LineTo({140, 100});
        shape->m_path.LineTo({140, 120});
        shape->m_path.LineTo({100, 100});
        shape->m_path.ClosePath();
        shape->m_path.Prepare();
        shape->RefreshBBox();
        shape->m_fOutlineWidth = 0.5f;
        shape->Select();
        signDoc->m_sheet.Add(shape);
        signDoc->RecalcBounds();
        signDoc->RecordStep("Open");
        auto* mode = new TransformMode;
        view->InstallMode(mode);
        sdtest::PumpInput();
        return mode;
    }
    std::vector<floatPoint> Nodes() {
        std::vector<floatPoint> out;
        for (const SubPath& sp : shape->m_path.subPaths)
            for (const PathMember& m : sp.members)
                out.push_back(m.start);
        return out;
    }
    CPathObj* shape = nullptr;
};

} // namespace

TEST_F(TransformTest, FourCtrlQuarterTurnsComeBackAndUndoByteForByte) {
    TransformMode* mode = Start();
    const std::vector<floatPoint> start = Nodes();
    const std::vector<BYTE> original = Archive();
    const floatPoint c = mode->centre;
    EXPECT_FLOAT_EQ(120, c.x);
    EXPECT_FLOAT_EQ(110, c.y);
    for (int turn = 0; turn < 4; ++turn) {
        SCOPED_TRACE(turn);
        floatTMatrix m;
        view->GetWorldToClientMatrix(m);
        const float grow = float(SheetSettings::UsableMouseSens() + mode->handleSize) / m.m11;
        const floatBBox b = signDoc->m_sheet.m_bbSelection;
        const floatPoint handle(b.right + grow,
                                b.top + grow); // top right: rotate from (right, top)
        // The pointer a quarter turn on from the corner, about the centre, far out so that
        // whole pixels stay within half a degree.
        const floatPoint to(c.x - 4 * (b.top - c.y), c.y + 4 * (b.right - c.x));
        SdAdvanceFakeClock(1000);
        const CPoint from = At(handle.x, handle.y), there = At(to.x, to.y);
        sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, from.x, from.y);
        SetKeyState(VK_CONTROL, true);
        view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(there.x, there.y));
        SetKeyState(VK_CONTROL, false);
        view->SendMessage(WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(there.x, there.y));
        sdtest::PumpInput();
        EXPECT_EQ("Rotate", LastStep());
        EXPECT_FLOAT_EQ(120, mode->centre.x); // the centre stays put
    }
    const std::vector<floatPoint> end = Nodes();
    ASSERT_EQ(start.size(), end.size());
    // The nodes come back; Prepare may start the contour elsewhere, so match each node.
    for (const floatPoint& p : start) {
        double best = 1e9;
        for (const floatPoint& q : end)
            best = std::min(best, std::hypot(double(p.x) - q.x, double(p.y) - q.y));
        EXPECT_LT(best, 1e-4);
    }
    EXPECT_NEAR(0.5f, shape->m_fOutlineWidth, 1e-5);
    EXPECT_TRUE(shape->m_path.subPaths[0].IsClosed());
    for (int i = 0; i < 4; ++i)
        signDoc->Undo();
    EXPECT_EQ(original, Archive());
}

TEST_F(TransformTest, ArmsMirrorAndTypedSkewsHaveTheirLimits) {
    TransformMode* mode = Start();
    // The vertical arm, 5 mm above the centre: left and right change places.
    const CPoint arm = At(mode->centre.x, mode->centre.y + 5);
    SdAdvanceFakeClock(1000);
    sdtest::Click(view->m_hWnd, arm.x, arm.y);
    EXPECT_EQ("Mirror vertically", LastStep());
    EXPECT_NEAR(100, shape->GetBBox()->left, 1e-4);
    bool found = false;
    for (const floatPoint& p : Nodes())
        found |= std::fabs(p.x - 100) < 1e-4 && std::fabs(p.y - 120) < 1e-4;
    EXPECT_TRUE(found) << "(140, 120) mirrored to (100, 120)";

    // 80 degrees is taken; 80.5 answers 193 and changes nothing.
    mode->SkewBy(80);
    EXPECT_EQ("Skew", LastStep());
    const std::vector<BYTE> skewed = Archive();
    PushMessageBoxAnswer(IDOK);
    mode->SkewBy(80.5);
    const auto log = MessageBoxLog();
    ASSERT_FALSE(log.empty());
    CString text;
    text.LoadString(TransformIds::BadSkew);
    EXPECT_EQ(std::string(LPCSTR(text)), log.back().text);
    EXPECT_EQ(skewed, Archive());
}

TEST_F(TransformTest, ARefusedRotationBeepsAndRecordsNothing) {
    auto* clipped = new CClippedObj;
    clipped->m_bbClip = floatBBox(100, 100, 140, 120);
    clipped->ResetContour();
    clipped->RefreshBBox();
    clipped->Select();
    signDoc->m_sheet.Add(clipped);
    signDoc->RecalcBounds();
    signDoc->RecordStep("Open");
    auto* mode = new TransformMode;
    view->InstallMode(mode);
    const std::vector<BYTE> before = Archive();
    const int beeps = SdBeepCount();
    mode->RotateBy(30);
    EXPECT_GT(SdBeepCount(), beeps);
    EXPECT_EQ(before, Archive());
}

TEST_F(SelectModeTest, MultiplicateLaysOutCopiesRightAndDown) {
    Design();
    ClickAt(100, 40); // b: 40 x 40 at (100, 20)
    SetDialogScript(IDD_MULTIPLICATE, [](HWND dlg) {
        EXPECT_EQ("1", sdtest::TextOf(dlg, IDC_MUL_COLUMNS));
        EXPECT_EQ("10", sdtest::TextOf(dlg, IDC_MUL_GAP_X));
        ::SetDlgItemTextA(dlg, IDC_MUL_COLUMNS, "3");
        ::SetDlgItemTextA(dlg, IDC_MUL_ROWS, "2");
        ::SetDlgItemTextA(dlg, IDC_MUL_GAP_Y, "5");
        sdtest::Click(dlg, IDOK);
    });
    const int before = signDoc->m_sheet.GetSize();
    Command(SelectIds::Multiplicate);
    ASSERT_EQ(before + 5, signDoc->m_sheet.GetSize());
    EXPECT_EQ("Multiplicate", LastStep());
    // Cells by rows, each step the size plus the gap: x 100, 150, 200; y 20, -25.
    std::vector<std::pair<float, float>> corners;
    for (int i = 0; i < signDoc->m_sheet.GetSize(); ++i) {
        CSignObj* o = signDoc->m_sheet.GetObj(i);
        if (o->m_bSelected) corners.push_back({o->GetBBox()->left, o->GetBBox()->bottom});
    }
    const std::vector<std::pair<float, float>> expected = {{100, 20},  {150, 20},  {200, 20},
                                                           {100, -25}, {150, -25}, {200, -25}};
    EXPECT_EQ(expected, corners);
    // Cancel: nothing.
    SetDialogScript(IDD_MULTIPLICATE, [](HWND dlg) { sdtest::Click(dlg, IDCANCEL); });
    signDoc->m_sheet.UnselectAll();
    b->Select();
    Command(SelectIds::Multiplicate);
    EXPECT_EQ(before + 5, signDoc->m_sheet.GetSize());
}

TEST_F(SelectModeTest, GuideLinePropertiesAndDelete) {
    Design();
    *signDoc->m_guideLines.Append() = GuideLine{150, 200, 0};
    *signDoc->m_guideLines.Append() = GuideLine{180, 100, M_PI / 2};
    // A right press on the horizontal guide, then its properties: 30 degrees through (160, 210).
    const CPoint on = At(120, 200);
    view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(on.x, on.y));
    view->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(on.x, on.y));
    sdtest::PumpInput();
    SetDialogScript(IDD_GUIDE_LINE, [](HWND dlg) {
        EXPECT_EQ("150", sdtest::TextOf(dlg, IDC_GUIDE_X));
        EXPECT_EQ("0", sdtest::TextOf(dlg, IDC_GUIDE_ANGLE));
        ::SetDlgItemTextA(dlg, IDC_GUIDE_X, "160");
        ::SetDlgItemTextA(dlg, IDC_GUIDE_Y, "210");
        ::SetDlgItemTextA(dlg, IDC_GUIDE_ANGLE, "30");
        sdtest::Click(dlg, IDOK);
    });
    Command(SelectIds::GuideProperties);
    const GuideLine& g = signDoc->m_guideLines[0];
    EXPECT_FLOAT_EQ(160, g.x);
    EXPECT_FLOAT_EQ(210, g.y);
    EXPECT_NEAR(M_PI / 6, g.angle, 1e-6);
    EXPECT_EQ("Guideline properties", LastStep());
    // The other one deleted.
    const CPoint other = At(180, 50);
    view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(other.x, other.y));
    view->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(other.x, other.y));
    sdtest::PumpInput();
    Command(SelectIds::GuideDelete);
    ASSERT_EQ(1, int(signDoc->m_guideLines.Filled()));
    EXPECT_FLOAT_EQ(160, signDoc->m_guideLines[0].x);
    EXPECT_EQ("Guideline delete", LastStep());
}

// A grab at the selection's corner moves it so that the corner itself snaps: to the grid here,
// to a guide line next.
TEST_F(SelectModeTest, ACornerGrabSnapsTheCorner) {
    CPathObj* box = Box(21, 21, 41, 41);
    box->Select();
    signDoc->m_sheet.Add(box);
    signDoc->RecalcBounds();
    signDoc->RecordStep("Open");
    view->InstallMode(new SelectMode);
    const BOOL snap = SheetSettings::SnapToGrid;
    const floatPoint dens = SheetSettings::GridDens, offs = SheetSettings::GridOffs;
    SheetSettings::SnapToGrid = TRUE;
    SheetSettings::GridDens = floatPoint(10, 10);
    SheetSettings::GridOffs = floatPoint(0, 0);
    Drag(At(41, 41), At(59.2f, 68.9f)); // the top right corner near (60, 70)
    SheetSettings::SnapToGrid = snap;
    SheetSettings::GridDens = dens;
    SheetSettings::GridOffs = offs;
    EXPECT_EQ("Move", LastStep());
    EXPECT_FLOAT_EQ(60, box->GetBBox()->right);
    EXPECT_FLOAT_EQ(70, box->GetBBox()->top);

    // A vertical guide at x = 100 takes the right edge.
    *signDoc->m_guideLines.Append() = GuideLine{100, 0, M_PI / 2};
    const BOOL guides = SignDocSettings::SnapToGuideLines;
    SignDocSettings::SnapToGuideLines = TRUE;
    Drag(At(60, 70), At(98.5f, 80));
    SignDocSettings::SnapToGuideLines = guides;
    EXPECT_FLOAT_EQ(100, box->GetBBox()->right);
}

TEST_F(TransformTest, SideHandlesSkewWithTheDraggedSideFollowing) {
    struct Case {
        int handle;
        float dx, dy;     // the pointer's move from the handle, mm
        floatPoint node;  // a node of the triangle
        floatPoint moved; // where it goes
    } cases[] = {
        {4, 10, 0, {140, 120}, {150, 120}},  // top right: the top moves right
        {4, 10, 0, {100, 100}, {100, 100}},  // the bottom stays
        {6, -10, 0, {100, 100}, {90, 100}},  // bottom left follows the bottom handle
        {6, -10, 0, {140, 120}, {140, 120}}, // the top stays
        {5, 0, 8, {140, 100}, {140, 108}},   // right side up
        {7, 0, -8, {100, 100}, {100, 92}},   // left side down
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handle);
        signDoc->m_sheet.DeleteAll();
        TransformMode* mode = Start();
        floatTMatrix m;
        view->GetWorldToClientMatrix(m);
        const float grow = float(SheetSettings::UsableMouseSens() + mode->handleSize) / m.m11;
        const floatBBox b = signDoc->m_sheet.m_bbSelection;
        const float mx = (b.left + b.right) / 2, my = (b.bottom + b.top) / 2;
        const floatPoint sides[4] = {
            {mx, b.top + grow}, {b.right + grow, my}, {mx, b.bottom - grow}, {b.left - grow, my}};
        const floatPoint h = sides[c.handle - 4];
        // The pointer's move is measured from the side's middle, so start there exactly.
        Drag(At(h.x, h.y), At(mx + c.dx, (c.handle == 5 || c.handle == 7 ? my : h.y) + c.dy));
        EXPECT_EQ("Skew", LastStep());
        double best = 1e9;
        for (const floatPoint& q : Nodes())
            best = std::min(best, std::hypot(double(q.x) - c.moved.x, double(q.y) - c.moved.y));
        EXPECT_LT(best, 0.6) << c.node.x << "," << c.node.y;
    }
}

TEST(SelectTools, TheViewsEntriesMakeTheirTools) {
    std::map<UINT, std::pair<CRuntimeClass*, MakeSelectTool>> entries;
    RegisterSelectTools([&](UINT command, CRuntimeClass* toolClass, MakeSelectTool make) {
        entries[command] = {toolClass, std::move(make)};
    });
    ASSERT_EQ(3u, entries.size());
    for (auto& [command, entry] : entries) {
        SCOPED_TRACE(command);
        std::unique_ptr<COleOperatingMode> tool(entry.second());
        ASSERT_NE(nullptr, tool);
        EXPECT_EQ(entry.first, tool->GetRuntimeClass());
    }
    EXPECT_EQ(RUNTIME_CLASS(SelectMode), entries[SelectToolIds::Select].first);
    EXPECT_EQ(RUNTIME_CLASS(TransformMode), entries[SelectToolIds::Transform].first);
    EXPECT_EQ(RUNTIME_CLASS(AlignMode), entries[SelectToolIds::Align].first);
}
