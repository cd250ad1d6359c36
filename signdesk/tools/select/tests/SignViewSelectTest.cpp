// The selection tools in the program's own view, on the sample design: the tools started by
// their commands, the mouse and keys through the platform's input, the design, its stored
// bytes and the undo steps read back, and the handles seen on the view's pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <app/AppIds.h>
#include <app/AppSettings.h>
#include <app/CSignFrame.h>
#include <doc/CSignDoc.h>
#include <mfc/CDocTemplate.h>
#include <mfc/CToolBar.h>
#include <mfc/CWinApp.h>
#include <model/CPathObj.h>
#include <model/CUndoStep.h>
#include <select/AlignMode.h>
#include <select/SelectMode.h>
#include <select/SelectTools.h>
#include <select/TransformMode.h>
#include <select/WeldMode.h>
#include <sheet/SheetSettings.h>
#include <shell/MeasureFields.h>
#include <testing/InputDriver.h>
#include <testing/PlatformTest.h>
#include <view/CSignView.h>
#include <view/ToolTable.h>
#include <win32/GdiTesting.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>
#include <win32/module.h>

namespace {

class ViewApp : public CWinApp {
public:
    ViewApp() : CWinApp("Select View Test") {}
};

class SignViewSelectTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        Settings() = AppSettings{};
        SheetSettings::Grid = FALSE;
        SheetSettings::MouseSens = 3;
        SelectMode::KeepProportions = 0;
        SelectMode::NudgeSmall = 1.0f;
        SelectMode::NudgeLarge = 10.0f;
        RegisterSelectTools([](UINT command, CRuntimeClass* toolClass, MakeSelectTool make) {
            ToolTable::Register(command, toolClass, std::move(make));
        });
        resources = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(resources, nullptr);
        previousResources = AfxGetResourceHandle();
        AfxSetResourceHandle(resources);
        SdSetKeyDown(VK_SHIFT, false);
        SdSetKeyDown(VK_CONTROL, false);
        // Each gesture a second after the last: no press counts as a double click.
        SdInstallFakeClock(1000, SYSTEMTIME{});

        app = std::make_unique<ViewApp>();
        app->m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
        app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CSignDoc),
                                                   RUNTIME_CLASS(CSignFrame),
                                                   RUNTIME_CLASS(CSignView)));
        app->OnFileNew();
        frame = DYNAMIC_DOWNCAST(CSignFrame, app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        view = DYNAMIC_DOWNCAST(CSignView, frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        frame->ShowWindow(SW_SHOW);
        frame->MoveWindow(0, 0, 1000, 700);
        sdtest::PumpInput();
        ASSERT_NE(app->OpenDocumentFile(SAMPLE_DESIGN), nullptr);
        doc = view->GetSignDoc();
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(7, doc->m_sheet.GetSize());
        view->UpdateWindow();
        sdtest::PumpInput();
    }
    void TearDown() override {
        PlatformTest::TearDown();
        app.reset();
        ToolTable::Reset();
        SdRemoveFakeClock();
        SdResetKeyState();
        AfxSetResourceHandle(previousResources);
        if (resources != nullptr) ::FreeLibrary(resources);
    }

    void Command(UINT id) {
        view->SendMessage(WM_COMMAND, id, 0);
        sdtest::PumpInput();
    }
    CPoint At(float x, float y) const {
        CPoint p;
        view->WorldToClient(x, y, p);
        return p;
    }
    // The middle of object i's box.
    CPoint Middle(int i) const {
        const floatBBox& b = *doc->m_sheet.GetObj(i)->GetBBox();
        return At((b.left + b.right) / 2, (b.bottom + b.top) / 2);
    }
    void ClickAt(CPoint p, bool shift = false) {
        SdAdvanceFakeClock(1000);
        if (shift) sdtest::KeyDown(VK_SHIFT);
        sdtest::Click(view->m_hWnd, p.x, p.y);
        if (shift) sdtest::KeyUp(VK_SHIFT);
    }
    void Drag(CPoint from, CPoint to) {
        SdAdvanceFakeClock(1000);
        sdtest::Drag(view->m_hWnd, from, to);
    }
    // One character per object: 1 selected.
    std::string Selected() const {
        std::string s;
        for (int i = 0; i < doc->m_sheet.GetSize(); ++i)
            s += doc->m_sheet.GetObj(i)->m_bSelected ? '1' : '0';
        return s;
    }
    std::string LastStep() const {
        const int n = doc->GetStepCount();
        return n ? std::string(LPCSTR(doc->GetStep(n - 1)->m_strName)) : "";
    }
    std::string Status() const {
        return std::string(LPCSTR(frame->GetStatusBar()->GetPaneText(0)));
    }
    std::vector<BYTE> StoredBytes() {
        const std::filesystem::path file = DataFolder() / "stored.wtp";
        EXPECT_TRUE(doc->OnSaveDocument(file.c_str()));
        std::ifstream in(file, std::ios::binary);
        return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
    }
    SdGdiImage Picture() {
        view->Invalidate(TRUE);
        view->UpdateWindow();
        return SdGdiReadWindow(view->m_hWnd);
    }
    SelectMode* Tool() const { return dynamic_cast<SelectMode*>(view->mode); }

    std::unique_ptr<ViewApp> app;
    HMODULE resources = nullptr;
    HINSTANCE previousResources = nullptr;
    CSignFrame* frame = nullptr;
    CSignView* view = nullptr;
    CSignDoc* doc = nullptr;
};

} // namespace

TEST_F(SignViewSelectTest, TheToolCommandsStartTheirTools) {
    Command(SelectToolIds::Select);
    EXPECT_EQ(RUNTIME_CLASS(SelectMode), view->mode->GetRuntimeClass());
    // The transformation tool needs a selection; its command again gives way to selection.
    Command(SelectToolIds::Transform);
    EXPECT_EQ(RUNTIME_CLASS(SelectMode), view->mode->GetRuntimeClass());
    ClickAt(Middle(6));
    Command(SelectToolIds::Transform);
    EXPECT_EQ(RUNTIME_CLASS(TransformMode), view->mode->GetRuntimeClass());
    Command(SelectToolIds::Transform);
    EXPECT_EQ(RUNTIME_CLASS(SelectMode), view->mode->GetRuntimeClass());
    Command(SelectToolIds::Align);
    EXPECT_EQ(RUNTIME_CLASS(AlignMode), view->mode->GetRuntimeClass());
    Command(SelectToolIds::Select);
    EXPECT_EQ(RUNTIME_CLASS(SelectMode), view->mode->GetRuntimeClass());
}

TEST_F(SignViewSelectTest, ClicksBandsAndTheStatusOnTheSampleDesign) {
    Command(SelectToolIds::Select);
    // The panel (0), the lettering (1-5) on it, the star (6): a click inside a filled shape
    // picks it, the topmost first.
    ClickAt(Middle(6));
    EXPECT_EQ("0000001", Selected());
    EXPECT_EQ("Selection change", LastStep());
    EXPECT_EQ(0u, Status().find("1 path object selected")) << Status();
    const floatBBox panel = *doc->m_sheet.GetObj(0)->GetBBox();
    ClickAt(At(panel.left + 5, (panel.bottom + panel.top) / 2), true);
    EXPECT_EQ("1000001", Selected());
    EXPECT_EQ(0u, Status().find("2 objects selected (dX=")) << Status();
    ClickAt(Middle(6), true);
    EXPECT_EQ("1000000", Selected());
    // Empty ground clears.
    ClickAt(At(690, 5));
    EXPECT_EQ("0000000", Selected());
    EXPECT_EQ(0u, Status().find("No object selected")) << Status();
    // A band round the lettering, started on the panel, takes the letters, not the panel.
    const floatBBox& first = *doc->m_sheet.GetObj(1)->GetBBox();
    const floatBBox& last = *doc->m_sheet.GetObj(5)->GetBBox();
    Drag(At(first.left - 2, first.top + 2), At(last.right + 2, last.bottom - 2));
    EXPECT_EQ("0111110", Selected());
    EXPECT_EQ(0u, Status().find("5 objects selected")) << Status();
    // A click on the panel beside the letters takes the panel alone.
    ClickAt(At(panel.left + 5, (panel.bottom + panel.top) / 2));
    EXPECT_EQ("1000000", Selected());
}

TEST_F(SignViewSelectTest, ADragMovesInOneStepAndUndoRestoresTheStoredBytes) {
    Command(SelectToolIds::Select);
    ClickAt(Middle(6));
    const std::vector<BYTE> before = StoredBytes();
    const int steps = doc->GetStepCount();
    const floatBBox star = *doc->m_sheet.GetObj(6)->GetBBox();
    Drag(Middle(6), CPoint(Middle(6).x - 100, Middle(6).y));
    EXPECT_EQ("Move", LastStep());
    EXPECT_EQ(steps + 1, doc->GetStepCount());
    const floatBBox moved = *doc->m_sheet.GetObj(6)->GetBBox();
    EXPECT_LT(moved.left, star.left - 1);
    EXPECT_NEAR(star.bottom, moved.bottom, 1e-3);
    const std::vector<BYTE> after = StoredBytes();
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(before, StoredBytes());
    Command(ID_EDIT_REDO);
    EXPECT_EQ(after, StoredBytes());
}

TEST_F(SignViewSelectTest, ArrowKeysNudgeInOneStep) {
    Command(SelectToolIds::Select);
    ClickAt(Middle(6));
    const float left = doc->m_sheet.GetObj(6)->GetBBox()->left;
    const int steps = doc->GetStepCount();
    view->SetFocus();
    for (int i = 0; i < 20; ++i)
        view->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    view->SendMessage(WM_KEYUP, VK_RIGHT, 0);
    sdtest::PumpInput();
    EXPECT_NEAR(left + 20, doc->m_sheet.GetObj(6)->GetBBox()->left, 1e-3);
    EXPECT_EQ(steps + 1, doc->GetStepCount());
    EXPECT_EQ("Move", LastStep());
}

namespace {

COLORREF Inverted(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

} // namespace

TEST_F(SignViewSelectTest, TheHandlesAreSeenOnTheViewAndLeaveNothingBehind) {
    Command(SelectToolIds::Select);
    const SdGdiImage plain = Picture();
    ClickAt(Middle(6));
    const SdGdiImage selected = Picture();
    // The handle squares sit on the selection box grown by the handle size (4) and the pick
    // distance (3 pixels), inverting what lies under them.
    const floatBBox star = *doc->m_sheet.GetObj(6)->GetBBox();
    const CPoint topLeft = At(star.left, star.top), bottomRight = At(star.right, star.bottom);
    const int left = topLeft.x - 7, top = topLeft.y - 7, right = bottomRight.x + 7,
              bottom = bottomRight.y + 7, middle = (left + right) / 2;
    struct Spot {
        const char* name;
        int x, y;
    };
    const Spot corners[] = {{"top left", left, top}, {"bottom right", right, bottom}};
    const Spot side = {"top middle", middle, top};
    for (const Spot& s : corners)
        EXPECT_EQ(Inverted(plain.at(s.x, s.y)), selected.at(s.x, s.y)) << s.name;
    EXPECT_EQ(Inverted(plain.at(side.x, side.y)), selected.at(side.x, side.y)) << side.name;
    // Between the handles, off the box: untouched.
    EXPECT_EQ(plain.at(left + 12, top), selected.at(left + 12, top));
    // Keeping the proportions takes the side handles away.
    Command(SelectIds::KeepProportionsSwitch);
    const SdGdiImage kept = Picture();
    EXPECT_EQ(Inverted(plain.at(left, top)), kept.at(left, top));
    EXPECT_EQ(plain.at(side.x, side.y), kept.at(side.x, side.y));
    Command(SelectIds::KeepProportionsSwitch);

    // After a move the window, as painted along the way, is what a full repaint gives: no
    // handle or outline is left at the old place.
    Drag(Middle(6), CPoint(Middle(6).x - 60, Middle(6).y + 20));
    ASSERT_EQ("Move", LastStep());
    view->UpdateWindow();
    const SdGdiImage painted = SdGdiReadWindow(view->m_hWnd);
    EXPECT_EQ(Picture().pixels, painted.pixels);
    // Empty ground: the view is as it was before anything was selected, but for the star's
    // new place; undo puts the star back and the picture is the first one again.
    ClickAt(At(690, 5));
    view->UpdateWindow();
    EXPECT_EQ(Picture().pixels, SdGdiReadWindow(view->m_hWnd).pixels);
    Command(ID_EDIT_UNDO); // the selection change
    Command(ID_EDIT_UNDO); // the move
    ClickAt(At(690, 5));
    EXPECT_EQ(plain.pixels, Picture().pixels);
}

TEST_F(SignViewSelectTest, TheTransformationToolShowsItsSquaresAndCentreCross) {
    Command(SelectToolIds::Select);
    const SdGdiImage plain = Picture();
    ClickAt(Middle(6));
    Command(SelectToolIds::Transform);
    ASSERT_EQ(RUNTIME_CLASS(TransformMode), view->mode->GetRuntimeClass());
    const SdGdiImage shown = Picture();
    // A blue pen, NOTXOR: each channel becomes the complement of pen XOR ground.
    auto blueOver = [](COLORREF c) {
        return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - (255 ^ GetBValue(c)));
    };
    const floatBBox star = *doc->m_sheet.GetObj(6)->GetBBox();
    const CPoint topLeft = At(star.left, star.top);
    // The centre's client point rounded to the nearest pixel, as the cross is drawn.
    floatTMatrix toClient;
    view->GetWorldToClientMatrix(toClient);
    float cx = (star.left + star.right) / 2, cy = (star.bottom + star.top) / 2;
    toClient.Transform(cx, cy);
    const CPoint centre(int(std::lround(cx)), int(std::lround(cy)));
    const int left = topLeft.x - 7, top = topLeft.y - 7;
    // The corner square's outline (half side 3) is drawn, its inside is not.
    EXPECT_EQ(blueOver(plain.at(left - 3, top)), shown.at(left - 3, top));
    EXPECT_EQ(plain.at(left, top), shown.at(left, top));
    // The cross: both arms through the centre.
    for (const CPoint& p : {CPoint(centre.x + 10, centre.y), CPoint(centre.x, centre.y - 10)})
        EXPECT_EQ(blueOver(plain.at(p.x, p.y)), shown.at(p.x, p.y)) << p.x << "," << p.y;

    // Dragging the centre moves the cross, and what is left on the window is a full repaint.
    Drag(centre, CPoint(centre.x + 20, centre.y + 15));
    view->UpdateWindow();
    const SdGdiImage painted = SdGdiReadWindow(view->m_hWnd);
    const SdGdiImage repainted = Picture();
    EXPECT_EQ(repainted.pixels, painted.pixels);
    EXPECT_EQ(blueOver(plain.at(centre.x + 20, centre.y + 30)),
              repainted.at(centre.x + 20, centre.y + 30));
}

namespace {

// A vertical line 100 mm long at x = 650, added to the design on the lettering's layer.
CPathObj* AddLine(CSignDoc* doc) {
    auto* line = new CPathObj;
    line->m_path.MoveTo({650, 40});
    line->m_path.LineTo({650, 140});
    line->m_path.ClosePath();
    line->SetLayer(2, 1);
    line->m_path.Prepare();
    line->RefreshBBox();
    doc->AddObject(line, FALSE, -1);
    doc->m_sheet.CountLayerObjects();
    doc->RecalcBounds();
    return line;
}

} // namespace

TEST_F(SignViewSelectTest, TheOptionsBarHoldsTheFieldsAndTypedValuesMoveAndResize) {
    Command(SelectToolIds::Select);
    CToolBar* bar = view->GetModeToolBar();
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(17, bar->GetCount());
    EXPECT_EQ(UINT(SelectIds::Duplicate), bar->GetItemID(0));
    auto field = [&](UINT id) { return bar->GetDlgItem(int(id)); };
    for (UINT id : {1500u, 1501u, 1502u, 1503u, 1554u, 1555u, 2740u, 2745u})
        ASSERT_NE(nullptr, field(id)) << id;
    // Labels show their pictures; nothing selected, the position fields are disabled.
    EXPECT_NE(nullptr,
              reinterpret_cast<HBITMAP>(field(2740)->SendMessage(STM_GETIMAGE, IMAGE_BITMAP)));
    EXPECT_FALSE(field(1500)->IsWindowEnabled());
    float value = 0;
    ASSERT_TRUE(GetWindowMeasure(field(1555), value));
    EXPECT_FLOAT_EQ(10, value);

    ClickAt(Middle(6));
    const floatBBox star = *doc->m_sheet.GetObj(6)->GetBBox();
    EXPECT_TRUE(field(1500)->IsWindowEnabled());
    ASSERT_TRUE(GetWindowMeasure(field(1502), value));
    EXPECT_NEAR(star.right - star.left, value, 0.001);
    const std::vector<BYTE> before = StoredBytes();

    // Typed and committed with Enter, as a user does.
    auto type = [&](UINT id, const char* text) {
        field(id)->SetFocus();
        field(id)->SetWindowText(text);
        sdtest::PressKey(VK_RETURN);
    };
    type(1502, "100");
    EXPECT_EQ("Resize", LastStep());
    const floatBBox wider = *doc->m_sheet.GetObj(6)->GetBBox();
    EXPECT_NEAR(100, wider.right - wider.left, 0.01);
    EXPECT_NEAR(star.left, wider.left, 0.01);
    EXPECT_NEAR(star.top - star.bottom, wider.top - wider.bottom, 0.01);
    type(1500, "50");
    EXPECT_EQ("Move", LastStep());
    EXPECT_NEAR(50, doc->m_sheet.GetObj(6)->GetBBox()->left, 0.01);
    ASSERT_TRUE(GetWindowMeasure(field(1500), value));
    EXPECT_NEAR(50, value, 0.001);

    // Out of range or no number: a beep, nothing changed, no step.
    const std::vector<BYTE> typed = StoredBytes();
    const int steps = doc->GetStepCount();
    for (const char* bad : {"0.005", "100001", "-"}) {
        SdResetBeeps();
        type(1503, bad);
        EXPECT_EQ(1, SdBeepCount()) << bad;
    }
    EXPECT_EQ(steps, doc->GetStepCount());
    EXPECT_EQ(typed, StoredBytes());
    // The nudge steps are settings: no step, the next arrow key goes that far.
    type(1554, "2.5");
    EXPECT_FLOAT_EQ(2.5f, SelectMode::NudgeSmall);
    EXPECT_EQ(steps, doc->GetStepCount());
    // A value typed and then left for the design counts as entered.
    field(1500)->SetFocus();
    field(1500)->SetWindowText("70");
    view->SetFocus();
    EXPECT_EQ("Move", LastStep());
    EXPECT_NEAR(70, doc->m_sheet.GetObj(6)->GetBBox()->left, 0.01);
    EXPECT_EQ(steps + 1, doc->GetStepCount());

    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(before, StoredBytes());
    // Another tool takes the fields down and builds its own.
    Command(SelectToolIds::Align);
    Command(SelectToolIds::Select);
    EXPECT_EQ(17, bar->GetCount());
}

TEST_F(SignViewSelectTest, TypedSizesOfAStraightLineStayFinite) {
    CPathObj* line = AddLine(doc);
    Command(SelectToolIds::Select);
    ClickAt(At(650, 90));
    ASSERT_TRUE(line->m_bSelected);
    CToolBar* bar = view->GetModeToolBar();
    auto type = [&](UINT id, const char* text) {
        bar->GetDlgItem(int(id))->SetFocus();
        bar->GetDlgItem(int(id))->SetWindowText(text);
        sdtest::PressKey(VK_RETURN);
    };
    // No width to scale: the width typed leaves the line where it is; x and the height work.
    type(1502, "30");
    type(1500, "600");
    type(1503, "50");
    const floatBBox& b = *line->GetBBox();
    for (float v : {b.left, b.right, b.bottom, b.top})
        ASSERT_TRUE(std::isfinite(v));
    EXPECT_NEAR(600, b.left, 0.01);
    EXPECT_NEAR(600, b.right, 0.01);
    EXPECT_NEAR(40, b.bottom, 0.01);
    EXPECT_NEAR(90, b.top, 0.01);
}

TEST_F(SignViewSelectTest, TheTransformationToolsFieldsTurnSkewAndPlaceTheCentre) {
    Command(SelectToolIds::Select);
    ClickAt(Middle(6));
    Command(SelectToolIds::Transform);
    auto* tool = dynamic_cast<TransformMode*>(view->mode);
    ASSERT_NE(nullptr, tool);
    CToolBar* bar = view->GetModeToolBar();
    // The first four fields are the centre, the rotation and the skew now.
    ASSERT_EQ(nullptr, bar->GetDlgItem(1500));
    for (UINT id : {1504u, 1505u, 1506u, 1507u})
        ASSERT_NE(nullptr, bar->GetDlgItem(int(id))) << id;
    const floatBBox star = *doc->m_sheet.GetObj(6)->GetBBox();
    float value = 0;
    ASSERT_TRUE(GetWindowMeasure(bar->GetDlgItem(1504), value));
    EXPECT_NEAR((star.left + star.right) / 2, value, 0.001);
    auto type = [&](UINT id, const char* text) {
        bar->GetDlgItem(int(id))->SetFocus();
        bar->GetDlgItem(int(id))->SetWindowText(text);
        sdtest::PressKey(VK_RETURN);
    };
    // A quarter turn about the centre: width and height change places, the centre stays.
    type(1506, "90");
    EXPECT_EQ("Rotate", LastStep());
    const floatBBox turned = *doc->m_sheet.GetObj(6)->GetBBox();
    EXPECT_NEAR(star.top - star.bottom, turned.right - turned.left, 0.01);
    EXPECT_NEAR((star.left + star.right) / 2, (turned.left + turned.right) / 2, 0.01);
    ASSERT_TRUE(GetWindowFloat(bar->GetDlgItem(1506), value));
    EXPECT_EQ(0, value);
    // 80.5 degrees of skew is refused with message 193; nothing changes.
    const std::vector<BYTE> before = StoredBytes();
    PushMessageBoxAnswer(IDOK);
    type(1507, "80.5");
    EXPECT_EQ(before, StoredBytes());
    ASSERT_FALSE(MessageBoxLog().empty());
    // The centre typed: the cross goes there.
    type(1504, "100");
    type(1505, "-20000"); // out of range: a beep, y stays
    EXPECT_FLOAT_EQ(100, tool->centre.x);
    EXPECT_NEAR((star.bottom + star.top) / 2, tool->centre.y, 0.01);
}

TEST_F(SignViewSelectTest, TheAlignmentBarsButtonsAlignTheLettering) {
    Command(SelectToolIds::Select);
    const floatBBox& first = *doc->m_sheet.GetObj(1)->GetBBox();
    const floatBBox& last = *doc->m_sheet.GetObj(5)->GetBBox();
    Drag(At(first.left - 2, first.top + 2), At(last.right + 2, last.bottom - 2));
    ASSERT_EQ("0111110", Selected());
    const float left = doc->m_sheet.m_bbSelection.left;
    Command(SelectToolIds::Align);
    CToolBar* bar = view->GetModeToolBar();
    ASSERT_EQ(11, bar->GetCount());
    // The user clicks the first button: every letter's left edge on the selection's.
    CRect button;
    bar->GetItemRect(bar->CommandToIndex(AlignIds::Kinds[0]), &button);
    SdAdvanceFakeClock(1000);
    sdtest::Click(bar->m_hWnd, button.CenterPoint().x, button.CenterPoint().y);
    EXPECT_EQ("Align", LastStep());
    for (int i = 1; i <= 5; ++i)
        EXPECT_FLOAT_EQ(left, doc->m_sheet.GetObj(i)->GetBBox()->left) << i;
    // The button shows the alignment in force.
    sdtest::IdlePass();
    EXPECT_TRUE(bar->GetButtonStyle(bar->CommandToIndex(AlignIds::Kinds[0])) & TBBS_CHECKED);
}

TEST_F(SignViewSelectTest, ThePreviewCatchesUpWhenThePointerRests) {
    Command(SelectToolIds::Select);
    ClickAt(Middle(6));
    CToolBar* bar = view->GetModeToolBar();
    const float left = doc->m_sheet.GetObj(6)->GetBBox()->left;
    view->UpdateWindow();
    const SdGdiImage beforePress = SdGdiReadWindow(view->m_hWnd);
    const CPoint from = Middle(6), to(from.x - 60, from.y);
    floatPoint a, b;
    view->ClientToWorld(from.x, from.y, a);
    view->ClientToWorld(to.x, to.y, b);
    SdAdvanceFakeClock(1000);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, from.x, from.y);
    sdtest::MouseMove(view->m_hWnd, to.x, to.y);
    // Moving, only the dotted box follows; the fields still show the old place.
    float x = 0;
    ASSERT_TRUE(GetWindowMeasure(bar->GetDlgItem(1500), x));
    EXPECT_NEAR(left, x, 0.001);
    const SdGdiImage moving = SdGdiReadWindow(view->m_hWnd);
    // Half a second at rest: the outlines and the fields catch up.
    SdAdvanceFakeClock(600);
    sdtest::PumpInput();
    ASSERT_TRUE(GetWindowMeasure(bar->GetDlgItem(1500), x));
    EXPECT_NEAR(left + (b.x - a.x), x, 0.01);
    EXPECT_NE(moving.pixels, SdGdiReadWindow(view->m_hWnd).pixels);
    // Space drops the move: the window is as before the press, nothing moved or recorded.
    const int steps = doc->GetStepCount();
    view->SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    sdtest::PumpInput();
    EXPECT_EQ(beforePress.pixels, SdGdiReadWindow(view->m_hWnd).pixels);
    ASSERT_TRUE(GetWindowMeasure(bar->GetDlgItem(1500), x));
    EXPECT_NEAR(left, x, 0.001);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONUP, to.x, to.y);
    EXPECT_FLOAT_EQ(left, doc->m_sheet.GetObj(6)->GetBBox()->left);
    EXPECT_EQ(steps, doc->GetStepCount());

    // A drag that ends after the preview caught up leaves no outline behind.
    SdAdvanceFakeClock(1000);
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONDOWN, from.x, from.y);
    sdtest::MouseMove(view->m_hWnd, to.x, to.y);
    SdAdvanceFakeClock(600);
    sdtest::PumpInput();
    sdtest::MouseEvent(view->m_hWnd, WM_LBUTTONUP, to.x, to.y);
    EXPECT_EQ("Move", LastStep());
    view->UpdateWindow();
    const SdGdiImage painted = SdGdiReadWindow(view->m_hWnd);
    EXPECT_EQ(Picture().pixels, painted.pixels);
}

namespace {

// The state of a popup's item by command; -1 when the popup has no such item.
int ItemState(const SdPopupMenuRecord& popup, UINT id) {
    for (const SdPopupMenuItem& item : popup.items)
        if (item.id == id) return int(item.state & (MF_GRAYED | MF_DISABLED));
    return -1;
}

} // namespace

TEST_F(SignViewSelectTest, TheRightButtonMenuAndTheStackingOrder) {
    Command(SelectToolIds::Select);
    // Nothing selected: the object items are grayed and the sheet size is offered.
    sdtest::Click(view->m_hWnd, At(690, 5).x, At(690, 5).y, true);
    SdPopupMenuRecord popup = sdtest::LastPopupMenu();
    EXPECT_EQ(view->m_hWnd, popup.owner);
    for (UINT id : {32773u, 32800u, 32819u, 32784u, 32777u})
        EXPECT_NE(0, ItemState(popup, id)) << id;
    EXPECT_EQ(0, ItemState(popup, 40013));

    // The star (last in the list) selected: to the back by the menu, then to the front by
    // Shift+End; to the front again changes nothing and records nothing.
    ClickAt(Middle(6));
    CSignObj* star = doc->m_sheet.GetObj(6);
    sdtest::ChooseFromPopupMenus({SelectIds::ToBack});
    sdtest::Click(view->m_hWnd, Middle(6).x, Middle(6).y, true);
    popup = sdtest::LastPopupMenu();
    for (UINT id : {32773u, 32800u, 32775u, 32776u, 32777u, 32778u})
        EXPECT_EQ(0, ItemState(popup, id)) << id;
    EXPECT_EQ(-1, ItemState(popup, 40013));
    EXPECT_EQ(star, doc->m_sheet.GetObj(0));
    EXPECT_EQ("To back", LastStep());
    sdtest::KeyDown(VK_SHIFT);
    sdtest::PressKey(VK_END);
    EXPECT_EQ(star, doc->m_sheet.GetObj(6));
    EXPECT_EQ("To front", LastStep());
    const int steps = doc->GetStepCount();
    sdtest::PressKey(VK_END);
    EXPECT_EQ(steps, doc->GetStepCount());
    // Shift+Up: one layer up, its own step.
    const int layer = star->GetLayer();
    sdtest::PressKey(VK_UP);
    sdtest::KeyUp(VK_SHIFT);
    EXPECT_EQ(layer + 1, star->GetLayer());
    EXPECT_EQ("Layer change", LastStep());
}

TEST_F(SignViewSelectTest, TheWeldToolsBarSetsTheKindAndTheSwitches) {
    Command(SelectToolIds::Select);
    ClickAt(Middle(6));
    Command(SelectIds::WeldFirst);
    auto* weld = dynamic_cast<WeldMode*>(view->mode);
    ASSERT_NE(nullptr, weld);
    CToolBar* bar = view->GetModeToolBar();
    ASSERT_EQ(5, bar->GetCount());
    auto press = [&](UINT id) {
        CRect button;
        bar->GetItemRect(bar->CommandToIndex(id), &button);
        SdAdvanceFakeClock(1000);
        sdtest::Click(bar->m_hWnd, button.CenterPoint().x, button.CenterPoint().y);
        sdtest::IdlePass();
    };
    press(WeldIds::Subtract);
    EXPECT_EQ(3u, weld->kind);
    EXPECT_TRUE(bar->GetButtonStyle(bar->CommandToIndex(WeldIds::Subtract)) & TBBS_CHECKED);
    EXPECT_FALSE(bar->GetButtonStyle(bar->CommandToIndex(WeldIds::Weld)) & TBBS_CHECKED);
    const BYTE keep = WeldMode::KeepTarget;
    press(WeldIds::KeepTarget);
    EXPECT_NE(keep, WeldMode::KeepTarget);
    press(WeldIds::KeepTarget);
    EXPECT_EQ(keep, WeldMode::KeepTarget);
}

TEST_F(SignViewSelectTest, AnAlignmentsMarkerIsSeenAndDraggedToAlignAgain) {
    Command(SelectToolIds::Select);
    const floatBBox& first = *doc->m_sheet.GetObj(1)->GetBBox();
    const floatBBox& last = *doc->m_sheet.GetObj(5)->GetBBox();
    Drag(At(first.left - 2, first.top + 2), At(last.right + 2, last.bottom - 2));
    ASSERT_EQ("0111110", Selected());
    Command(SelectToolIds::Align);
    auto* tool = dynamic_cast<AlignMode*>(view->mode);
    ASSERT_NE(nullptr, tool);
    Command(AlignIds::Kinds[0]); // left edges together
    ASSERT_EQ(0, tool->activeAlignment);
    const floatBBox box = doc->m_sheet.m_bbSelection;
    // The left marker: a black square at the middle of the left edge, inverting the ground
    // beside the edge line; without the alignment in force it is not there.
    const CPoint marker = At(box.left, (box.bottom + box.top) / 2);
    const SdGdiImage shown = Picture();
    tool->activeAlignment = -1;
    const SdGdiImage hidden = Picture();
    tool->activeAlignment = 0;
    EXPECT_EQ(Inverted(hidden.at(marker.x + 2, marker.y + 2)),
              shown.at(marker.x + 2, marker.y + 2));
    EXPECT_EQ(hidden.at(marker.x + 12, marker.y + 2), shown.at(marker.x + 12, marker.y + 2));

    // Dragged 40 pixels to the left, the marker takes every left edge with it: one "Align".
    const CPoint to(marker.x - 40, marker.y);
    floatPoint target;
    view->ClientToWorld(to.x, to.y, target);
    const int steps = doc->GetStepCount();
    Drag(marker, to);
    EXPECT_EQ("Align", LastStep());
    EXPECT_EQ(steps + 1, doc->GetStepCount());
    for (int i = 1; i <= 5; ++i)
        EXPECT_NEAR(target.x, doc->m_sheet.GetObj(i)->GetBBox()->left, 0.5) << i;
    EXPECT_EQ(0, tool->activeAlignment); // still in force
    // A click elsewhere ends it.
    ClickAt(At(690, 5));
    EXPECT_EQ(-1, tool->activeAlignment);
}

TEST_F(SignViewSelectTest, TheCursorTellsWhatAPressWouldDoAndStays) {
    Command(SelectToolIds::Select);
    ClickAt(Middle(6));
    const floatBBox star = *doc->m_sheet.GetObj(6)->GetBBox();
    const CPoint topLeft = At(star.left, star.top), bottomRight = At(star.right, star.bottom);
    const int left = topLeft.x - 7, top = topLeft.y - 7, right = bottomRight.x + 7;
    auto cursor = [&](UINT id) {
        return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
    };
    struct Case {
        CPoint at;
        HCURSOR expected;
    };
    const Case cases[] = {
        {CPoint(left, top), cursor(30983)},               // top-left corner handle
        {CPoint(right, top), cursor(30984)},              // top-right
        {CPoint((left + right) / 2, top), cursor(30985)}, // top side
        {Middle(6), cursor(30987)},                       // on the selected star
        {Middle(1), ::LoadCursorA(nullptr, IDC_CROSS)},   // on a letter not selected
        {At(690, 5), ::LoadCursorA(nullptr, IDC_ARROW)},  // empty ground
    };
    for (const Case& c : cases) {
        sdtest::MouseMove(view->m_hWnd, c.at.x, c.at.y);
        EXPECT_NE(nullptr, c.expected);
        EXPECT_EQ(c.expected, view->cursor) << c.at.x << "," << c.at.y;
        // The view's own WM_SETCURSOR shows the same.
        view->SendMessage(WM_SETCURSOR, WPARAM(view->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(c.expected, ::GetCursor());
    }
    // The transformation tool: corners rotate, sides skew.
    Command(SelectToolIds::Transform);
    sdtest::MouseMove(view->m_hWnd, left, top);
    EXPECT_EQ(cursor(113), view->cursor);
    sdtest::MouseMove(view->m_hWnd, (left + right) / 2, top);
    EXPECT_EQ(cursor(111), view->cursor);
}
