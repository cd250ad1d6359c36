// Tool start through the view's commands and messages, with stand-in tools: the install
// steps, the class tests, the menu states, font editing, the tool windows and the display
// switches.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <app/AppIds.h>
#include <app/AppSettings.h>
#include <app/CSignFrame.h>
#include <doc/CSignDoc.h>
#include <mfc/CCmdUI.h>
#include <mfc/CDocTemplate.h>
#include <mfc/CException.h>
#include <mfc/CWinApp.h>
#include <model/CPathObj.h>
#include <model/CUndoStep.h>
#include <sheet/FrameworkModes.h>
#include <sheet/SheetSettings.h>
#include <shell/PrivateMessages.h>
#include <testing/PlatformTest.h>
#include <win32/module.h>

#include "view/AnswerYes.h"
#include "view/CSignView.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"
#include "view/ToolTable.h"

using namespace SignViewIds;

namespace {

std::vector<std::string> g_log;

// A tool that writes each operation the view calls on it into the log.
class LoggedTool : public COleOperatingMode {
    DECLARE_DYNAMIC(LoggedTool)
public:
    explicit LoggedTool(const char* name) : name(name) { g_log.push_back("make " + this->name); }
    ~LoggedTool() override {
        g_log.push_back("delete " + name +
                        (view != nullptr && view->mode == this ? " (current)" : ""));
    }
    void Deactivate(COleOperatingMode* next) override {
        const bool focused = view != nullptr && ::GetFocus() == view->m_hWnd;
        g_log.push_back("deactivate " + name + (focused ? " (view focused)" : ""));
        (void)next;
    }
    void SetView(COleSheetView* sheetView, BOOL fresh) override {
        COleOperatingMode::SetView(sheetView, fresh);
        g_log.push_back("set view " + name + (fresh ? " fresh" : "") +
                        (sheetView->mode == this ? " (current)" : ""));
    }
    void Activate() override { g_log.push_back("activate " + name); }
    std::string name;
};
IMPLEMENT_DYNAMIC(LoggedTool, COleOperatingMode)

#define STAND_IN(Name, Base)                                                                       \
    class Name : public Base {                                                                     \
        DECLARE_DYNAMIC(Name)                                                                      \
    public:                                                                                        \
        explicit Name(const char* name = #Name) : Base(name) {}                                    \
    };                                                                                             \
    IMPLEMENT_DYNAMIC(Name, Base)

// The tools' family tree as the real tools have it.
STAND_IN(Select, LoggedTool)
STAND_IN(Transform, Select)
STAND_IN(Align, Select)
STAND_IN(NodeEdit, LoggedTool)
STAND_IN(Freehand, NodeEdit)
STAND_IN(RegShape, LoggedTool)
STAND_IN(Text, LoggedTool)
STAND_IN(Coloring, LoggedTool)
STAND_IN(Distortion, LoggedTool)
STAND_IN(Perspective, Distortion)
STAND_IN(Envelope, Distortion)
STAND_IN(Sphere, Distortion)
STAND_IN(EnvSphere, Distortion)
STAND_IN(FontEdit, LoggedTool)
STAND_IN(Fill, LoggedTool)
STAND_IN(Transparency, Fill)
STAND_IN(Shadow, LoggedTool)
STAND_IN(Stripe, LoggedTool)
STAND_IN(Measure, LoggedTool)
STAND_IN(DimLine, LoggedTool)

#define REGISTER(command, T) ToolTable::Register(command, RUNTIME_CLASS(T), [] { return new T; })

void RegisterStandIns() {
    REGISTER(TransformTool, Transform);
    REGISTER(SelectTool, Select);
    REGISTER(NodeEditTool, NodeEdit);
    REGISTER(FreehandTool, Freehand);
    REGISTER(RegShapeTool, RegShape);
    REGISTER(TextTool, Text);
    REGISTER(ColoringTool, Coloring);
    ToolTable::Register(DistortionTool, RUNTIME_CLASS(Distortion), [] { return new Perspective; });
    REGISTER(PerspectiveTool, Perspective);
    REGISTER(EnvelopeTool, Envelope);
    REGISTER(SphereTool, Sphere);
    REGISTER(EnvSphereTool, EnvSphere);
    REGISTER(FontEditTool, FontEdit);
    REGISTER(AlignTool, Align);
    REGISTER(FillTool, Fill);
    REGISTER(TransparencyTool, Transparency);
    REGISTER(ShadowTool, Shadow);
    REGISTER(StripeTool, Stripe);
    REGISTER(MeasureTool, Measure);
    REGISTER(DimLineTool, DimLine);
}

// The document's save question, as the program asks it of a changed design.
class ToolTestDoc : public CSignDoc {
    DECLARE_DYNCREATE(ToolTestDoc)
public:
    BOOL SaveModified() override {
        if (!IsModified()) return TRUE;
        return AfxMessageBox("Save the changes?", MB_YESNOCANCEL) != IDCANCEL;
    }
};
IMPLEMENT_DYNCREATE(ToolTestDoc, CSignDoc)

class ToolTestFrame : public CSignFrame {
    DECLARE_DYNCREATE(ToolTestFrame)
public:
    void OnModeChanged() override { g_log.push_back("frame told"); }
};
IMPLEMENT_DYNCREATE(ToolTestFrame, CSignFrame)

class ToolTestApp : public CWinApp {
public:
    ToolTestApp() : CWinApp("View Tools Test") {}
};

// A modeless window of the view that only counts.
struct CountingToolWindow : ViewToolWindow {
    BOOL Create(CSignView*) override {
        ++creates;
        open = TRUE;
        return TRUE;
    }
    BOOL IsOpen() const override { return open; }
    void Destroy() override { open = FALSE; }
    void UpdateFromSelection() override { ++updates; }
    BOOL open = FALSE;
    int creates = 0;
    int updates = 0;
};

CPathObj* Square(float x, float y, float s) {
    auto* obj = new CPathObj;
    obj->m_path.MoveTo({x, y});
    obj->m_path.LineTo({x + s, y});
    obj->m_path.LineTo({x + s, y + s});
    obj->m_path.LineTo({x, y + s});
    obj->m_path.LineTo({x, y});
    obj->m_path.ClosePath();
    obj->SetColor(RGB(255, 0, 0));
    obj->RefreshBBox();
    return obj;
}

class ViewToolsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        g_log.clear();
        resources = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(resources, nullptr);
        previousResources = AfxGetResourceHandle();
        AfxSetResourceHandle(resources);
        Settings() = AppSettings{};
        RegisterStandIns();
        SignViewHooks& hooks = ViewHooks();
        hooks.layerDialog = [this](CSignView&) { return Window(layerDialog); };
        hooks.cleanupSheet = [this](CSignView&) { return Window(cleanupSheet); };
        hooks.bitmapSheet = [this](CSignView&) { return Window(bitmapSheet); };
        hooks.runPrintSheet = [this](CWnd* parent, CSignView& v) {
            printSheetParents.push_back(parent);
            EXPECT_EQ(&v, view);
        };
        app = std::make_unique<ToolTestApp>();
        app->m_pszProfileName = strdup((DataFolder() / "Application.ini").c_str());
        app->AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(ToolTestDoc),
                                                   RUNTIME_CLASS(ToolTestFrame),
                                                   RUNTIME_CLASS(CSignView)));
        app->OnFileNew();
        frame = dynamic_cast<ToolTestFrame*>(app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        frame->MoveWindow(0, 0, 1000, 800);
        view = dynamic_cast<CSignView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        doc = dynamic_cast<ToolTestDoc*>(view->GetDocument());
        ASSERT_NE(doc, nullptr);
        PumpMessages();
        g_log.clear();
    }
    void TearDown() override {
        PlatformTest::TearDown();
        app.reset();
        ToolTable::Reset();
        ViewHooks() = SignViewHooks{};
        CSignView::SmoothBitmapPaint = FALSE;
        AfxSetResourceHandle(previousResources);
        if (resources != nullptr) ::FreeLibrary(resources);
    }

    std::unique_ptr<ViewToolWindow> Window(CountingToolWindow*& seen) {
        auto window = std::make_unique<CountingToolWindow>();
        seen = window.get();
        return window;
    }
    // A command as the menu gives it: routed from the frame, run only when enabled.
    void Command(UINT id) {
        frame->SendMessage(WM_COMMAND, id, 0);
        PumpMessages();
    }
    CTestCmdUI State(UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(frame, TRUE);
        return ui;
    }
    // The command's menu item: enabled, then ticked.
    std::pair<bool, bool> Item(UINT id) {
        CTestCmdUI ui = State(id);
        return {ui.m_bEnabled != FALSE, ui.m_nCheck == 1};
    }
    std::string Current() const {
        return view->mode != nullptr ? view->mode->GetRuntimeClass()->m_lpszClassName : "none";
    }
    void SelectSomething() {
        doc->AddObject(Square(10, 10, 20), TRUE, -1);
        PumpMessages();
    }

    HMODULE resources = nullptr;
    HINSTANCE previousResources = nullptr;
    std::unique_ptr<ToolTestApp> app;
    ToolTestFrame* frame = nullptr;
    CSignView* view = nullptr;
    ToolTestDoc* doc = nullptr;
    CountingToolWindow* layerDialog = nullptr;
    CountingToolWindow* cleanupSheet = nullptr;
    CountingToolWindow* bitmapSheet = nullptr;
    std::vector<CWnd*> printSheetParents;
};

} // namespace

TEST_F(ViewToolsTest, AToolIsInstalledInEightSteps) {
    Command(SelectTool);
    ASSERT_EQ(Current(), "Select");
    frame->SetFocus();
    g_log.clear();
    Command(NodeEditTool);
    EXPECT_EQ(g_log, (std::vector<std::string>{
                         "make NodeEdit",
                         "deactivate Select (view focused)",
                         "delete Select (current)",
                         "set view NodeEdit fresh (current)",
                         "activate NodeEdit",
                         "frame told",
                     }));
    EXPECT_EQ(view->mode->view, view);
}

// Which commands replace which tools: exact tests ignore subclasses, kind tests count them,
// and transformation toggles back to selection.
TEST_F(ViewToolsTest, EachCommandStartsItsToolUnlessTheClassTestSaysItIsCurrent) {
    SelectSomething();
    struct Case {
        UINT current; // the command that makes the current tool
        UINT command;
        const char* expected; // the new tool, or null when nothing happens
    };
    const Case cases[] = {
        {TransparencyTool, FillTool, "Fill"},
        {FillTool, TransparencyTool, "Transparency"},
        {FillTool, FillTool, nullptr},
        {EnvelopeTool, EnvelopeTool, nullptr},
        {PerspectiveTool, PerspectiveTool, nullptr},
        {FreehandTool, NodeEditTool, "NodeEdit"},
        {NodeEditTool, FreehandTool, "Freehand"},
        {AlignTool, SelectTool, "Select"},
        {SelectTool, SelectTool, nullptr},
        {AlignTool, AlignTool, nullptr},
        {SelectTool, TransformTool, "Transform"},
        {TransformTool, TransformTool, "Select"},
        {SelectTool, DistortionTool, "Perspective"},
        {EnvelopeTool, SphereTool, "Sphere"},
        {ShadowTool, ShadowTool, nullptr},
        {SelectTool, ShadowTool, "Shadow"},
        {SelectTool, StripeTool, "Stripe"},
        {SelectTool, DimLineTool, "DimLine"},
        {SelectTool, EnvSphereTool, "EnvSphere"},
        {SelectTool, RegShapeTool, "RegShape"},
        {SelectTool, TextTool, "Text"},
        {SelectTool, ColoringTool, "Coloring"},
    };
    for (const Case& c : cases) {
        view->SwitchMode(ToolTable::NewToolFor(c.current, nullptr));
        const COleOperatingMode* before = view->mode;
        const std::string beforeName = Current();
        g_log.clear();
        Command(c.command);
        const std::string what = beforeName + " then " + std::to_string(c.command);
        if (c.expected == nullptr) {
            EXPECT_EQ(view->mode, before) << what;
            EXPECT_TRUE(g_log.empty()) << what;
        } else {
            EXPECT_EQ(Current(), c.expected) << what;
            EXPECT_NE(view->mode, before) << what;
        }
    }
}

TEST_F(ViewToolsTest, TransformationTwiceLeavesTheSelectionTool) {
    SelectSomething();
    Command(TransformTool);
    EXPECT_EQ(Current(), "Transform");
    EXPECT_EQ(Item(TransformTool), std::make_pair(true, true));
    Command(TransformTool);
    EXPECT_EQ(Current(), "Select");
    EXPECT_EQ(Item(SelectTool), std::make_pair(true, true));
    EXPECT_EQ(Item(TransformTool), std::make_pair(true, false));
}

TEST_F(ViewToolsTest, MenuItemsAreEnabledAndTickedByTheTableRules) {
    struct Case {
        UINT current;
        bool selection;
        UINT command;
        bool enabled;
        bool checked;
    };
    const Case cases[] = {
        // Distortion: off while any distortion tool runs and without a selection.
        {SelectTool, true, DistortionTool, true, false},
        {PerspectiveTool, true, DistortionTool, false, true},
        {EnvelopeTool, true, DistortionTool, false, true},
        {SelectTool, false, DistortionTool, false, false},
        // Perspective stays enabled while it runs.
        {PerspectiveTool, true, PerspectiveTool, true, true},
        {SelectTool, false, PerspectiveTool, false, false},
        {SelectTool, false, EnvelopeTool, false, false},
        {SelectTool, false, TransformTool, false, false},
        {SelectTool, false, ShadowTool, false, false},
        {SelectTool, true, ShadowTool, true, false},
        // Exact classes for fill and transparency, kinds elsewhere.
        {TransparencyTool, true, FillTool, true, false},
        {TransparencyTool, true, TransparencyTool, true, true},
        {FillTool, true, FillTool, true, true},
        {FreehandTool, true, NodeEditTool, true, false},
        {FreehandTool, true, FreehandTool, true, true},
        {AlignTool, true, SelectTool, true, false},
        {AlignTool, true, AlignTool, true, true},
        {SphereTool, true, SphereTool, true, true},
        {MeasureTool, true, MeasureTool, true, true},
        // The marked box is greyed while measuring.
        {MeasureTool, true, MarkedBox, false, true},
        {SelectTool, true, StripeTool, true, false},
        {SelectTool, true, DimLineTool, true, false},
        {SelectTool, false, FontEditTool, true, false},
    };
    for (const Case& c : cases) {
        doc->m_sheet.DeleteAll();
        if (c.selection) SelectSomething();
        doc->RecalcBounds();
        PumpMessages();
        view->SwitchMode(ToolTable::NewToolFor(c.current, nullptr));
        view->markedBoxShown = 1;
        const std::string what =
            Current() + (c.selection ? " selection " : " ") + std::to_string(c.command);
        EXPECT_EQ(Item(c.command), std::make_pair(c.enabled, c.checked)) << what;
    }
}

TEST_F(ViewToolsTest, MeasuringShowsTheMarkedBoxFirst) {
    view->markedBoxShown = 0;
    Command(MeasureTool);
    EXPECT_EQ(view->markedBoxShown, 1);
    EXPECT_EQ(Current(), "Measure");
    // Hidden again while measuring: the command shows it, and the tool stays.
    view->markedBoxShown = 0;
    g_log.clear();
    Command(MeasureTool);
    EXPECT_EQ(view->markedBoxShown, 1);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(ViewToolsTest, APostedSelectMessageBringsANewSelectionTool) {
    Command(FillTool);
    g_log.clear();
    EXPECT_EQ(view->SendMessage(WM_SELECTMODE), 1);
    EXPECT_EQ(Current(), "Select");
    EXPECT_EQ(g_log.front(), "make Select");
    // Even over the selection tool the message installs a fresh one.
    g_log.clear();
    view->PostMessage(WM_SELECTMODE);
    PumpMessages();
    EXPECT_EQ(Current(), "Select");
    EXPECT_EQ(g_log, (std::vector<std::string>{"make Select", "deactivate Select (view focused)",
                                               "set view Select fresh (current)", "activate Select",
                                               "frame told", "delete Select"}));
}

TEST_F(ViewToolsTest, AToolThatCannotBeMadeLeavesTheCurrentOneUntouched) {
    Command(FillTool);
    const COleOperatingMode* fill = view->mode;
    ToolTable::Register(StripeTool, RUNTIME_CLASS(Stripe),
                        []() -> COleOperatingMode* { AfxThrowMemoryException(); });
    ToolTable::Register(TextTool, RUNTIME_CLASS(Text),
                        []() -> COleOperatingMode* { throw std::bad_alloc(); });
    g_log.clear();
    PushMessageBoxAnswer(IDOK);
    PushMessageBoxAnswer(IDOK);
    Command(StripeTool);
    Command(TextTool);
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(view->mode, fill);
    EXPECT_TRUE(g_log.empty());
    Command(SelectTool);
    EXPECT_EQ(Current(), "Select");
}

// Without the tools' own entries: selection is the framework's no-operation mode, the
// transformation command starts it, and every other tool command is disabled.
TEST_F(ViewToolsTest, UnregisteredToolsAreDisabledAndSelectionStandsIn) {
    ToolTable::Reset();
    SelectSomething();
    Command(SelectTool);
    EXPECT_EQ(Current(), "COleNoOperationMode");
    const COleOperatingMode* standIn = view->mode;
    Command(SelectTool);
    EXPECT_EQ(view->mode, standIn);
    EXPECT_EQ(Item(SelectTool), std::make_pair(true, true));
    EXPECT_EQ(Item(TransformTool), std::make_pair(true, false));
    Command(TransformTool);
    EXPECT_EQ(Current(), "COleNoOperationMode");
    for (const ToolRow* row = ToolTable::begin(); row != ToolTable::end(); ++row) {
        if (row->command == SelectTool || row->command == TransformTool) continue;
        EXPECT_FALSE(State(row->command).m_bEnabled) << row->command;
        Command(row->command);
        EXPECT_EQ(Current(), "COleNoOperationMode") << row->command;
    }
}

TEST_F(ViewToolsTest, FontEditingEmptiesAChangedDesignOnlyAfterTheSaveQuestion) {
    SelectSomething();
    doc->SetModifiedFlag();
    SheetSettings::DocWidth = 1000;
    SheetSettings::DocHeight = 600;
    const COleOperatingMode* select = view->mode;

    PushMessageBoxAnswer(IDCANCEL);
    Command(FontEditTool);
    EXPECT_EQ(view->mode, select);
    EXPECT_EQ(doc->m_sheet.GetSize(), 1);
    EXPECT_EQ(doc->m_bFontEditing, 0u);
    EXPECT_EQ(SheetSettings::DocWidth, 1000.0f);

    PushMessageBoxAnswer(IDNO);
    Command(FontEditTool);
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(Current(), "FontEdit");
    EXPECT_EQ(doc->m_sheet.GetSize(), 0);
    EXPECT_EQ(doc->m_bFontEditing, 1u);
    EXPECT_EQ(SheetSettings::DocWidth, 620.0f);
    EXPECT_EQ(SheetSettings::DocHeight, 300.0f);
    ASSERT_EQ(doc->GetStepCount(), 1);
    EXPECT_EQ(doc->GetStep(0)->m_strName, CString("Font editing"));
    EXPECT_EQ(Item(FontEditTool), std::make_pair(true, true));

    // Already editing the font: the command does nothing; from another tool, only the tool.
    const COleOperatingMode* fontTool = view->mode;
    Command(FontEditTool);
    EXPECT_EQ(view->mode, fontTool);
    Command(SelectTool);
    SelectSomething();
    g_log.clear();
    Command(FontEditTool);
    EXPECT_EQ(Current(), "FontEdit");
    EXPECT_EQ(g_log.front(), "make FontEdit");
    EXPECT_EQ(doc->m_sheet.GetSize(), 1);
    EXPECT_EQ(doc->GetStepCount(), 1);
    EXPECT_EQ(MessageBoxLog().size(), 2u);

    // Undoing the step leaves font editing and its page.
    doc->m_sheet.DeleteAll();
    doc->RecalcBounds();
    doc->Undo();
    EXPECT_EQ(doc->m_bFontEditing, 0u);
    EXPECT_EQ(SheetSettings::DocWidth, 1000.0f);
    EXPECT_EQ(SheetSettings::DocHeight, 600.0f);
}

TEST_F(ViewToolsTest, ToolWindowsOpenOnDemandAndTickWhileOpen) {
    ASSERT_NE(layerDialog, nullptr);
    Command(LayerDialog);
    EXPECT_TRUE(layerDialog->open);
    EXPECT_EQ(Item(LayerDialog), std::make_pair(true, true));
    Command(LayerDialog);
    EXPECT_FALSE(layerDialog->open);
    EXPECT_EQ(Item(LayerDialog), std::make_pair(true, false));

    Command(CleanupSheet);
    Command(CleanupSheet);
    EXPECT_EQ(cleanupSheet->creates, 1);
    EXPECT_EQ(Item(CleanupSheet), std::make_pair(true, true));

    Command(BitmapSheet);
    Command(BitmapSheet);
    EXPECT_EQ(bitmapSheet->creates, 1);
    EXPECT_EQ(bitmapSheet->updates, 2);
    EXPECT_EQ(Item(BitmapSheet), std::make_pair(true, true));
}

TEST_F(ViewToolsTest, WithoutTheirHooksTheWindowAndOutputCommandsAreDisabled) {
    view->layerDialog.reset();
    view->cleanupSheet.reset();
    view->bitmapSheet.reset();
    ViewHooks().runPrintSheet = nullptr;
    SelectSomething();
    for (UINT id : {LayerDialog, CleanupSheet, BitmapSheet, OutputSheet, OutputSheetPrint})
        EXPECT_FALSE(State(id).m_bEnabled) << id;
}

TEST_F(ViewToolsTest, TheOutputSheetRunsWithTheMainWindowOnceTheDesignHoldsAnObject) {
    EXPECT_FALSE(State(OutputSheet).m_bEnabled);
    Command(OutputSheet);
    EXPECT_TRUE(printSheetParents.empty());
    SelectSomething();
    EXPECT_TRUE(State(OutputSheet).m_bEnabled);
    EXPECT_TRUE(State(OutputSheetPrint).m_bEnabled);
    Command(OutputSheet);
    Command(OutputSheetPrint);
    EXPECT_EQ(printSheetParents, (std::vector<CWnd*>{frame, frame}));
    EXPECT_EQ(AnswerYes(), 1);
}

TEST_F(ViewToolsTest, DisplaySwitchesToggleTheirFlags) {
    const BOOL shown = view->guideLinesShown;
    Command(GuideLines);
    EXPECT_EQ(view->guideLinesShown, !shown);
    EXPECT_EQ(Item(GuideLines).second, !shown);
    Command(GuideLineLock);
    EXPECT_TRUE(view->guideLinesLocked);
    EXPECT_EQ(Item(GuideLineLock), std::make_pair(true, true));
    view->markedBoxShown = 0;
    Command(MarkedBox);
    EXPECT_EQ(view->markedBoxShown, 1);
    EXPECT_EQ(Item(MarkedBox), std::make_pair(true, true));
    // The screen has more than 8 bits a pixel: the dither switch stays off.
    EXPECT_EQ(Item(DisplayDither), std::make_pair(false, false));
    Command(DisplayDither);
    EXPECT_FALSE(CSignView::SmoothBitmapPaint);
}

TEST_F(ViewToolsTest, ThePageTakesTheLastPickedPaletteColour) {
    SheetSettings::BGColor = RGB(255, 255, 255);
    Command(PageColor);
    EXPECT_EQ(SheetSettings::BGColor, RGB(255, 255, 255)); // nothing picked yet
    frame->paletteBar.lastPickedColor = RGB(0, 128, 255);
    Command(PageColor);
    EXPECT_EQ(SheetSettings::BGColor, RGB(0, 128, 255));
    SheetSettings::BGColor = RGB(255, 255, 255);
}

// Zooming keeps the world point under the mouse where it was.
TEST_F(ViewToolsTest, ZoomInAndOutAboutTheMousePosition) {
    SelectSomething();
    CPoint mouse(300, 200);
    view->ClientToScreen(&mouse);
    ::SetCursorPos(mouse.x, mouse.y);
    auto worldUnderMouse = [&] {
        floatTMatrix toWorld;
        view->GetClientToWorldMatrix(toWorld);
        float x = 300, y = 200;
        toWorld.Transform(x, y);
        return std::make_pair(x, y);
    };
    const auto before = worldUnderMouse();
    const float scale = view->worldToDevice.m11;
    Command(ZoomIn);
    EXPECT_EQ(view->zoomKind, int(ZOOM_FREE));
    EXPECT_NEAR(view->worldToDevice.m11, scale * 1.5f, scale * 1e-4f);
    EXPECT_NEAR(worldUnderMouse().first, before.first, 1.0f / view->worldToDevice.m11);
    EXPECT_NEAR(worldUnderMouse().second, before.second, 1.0f / view->worldToDevice.m11);
    Command(ZoomOut);
    EXPECT_NEAR(view->worldToDevice.m11, scale, scale * 1e-4f);
}
