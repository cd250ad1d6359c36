// The view's own commands and messages: palette colours dropped on objects, inserting and
// opening OLE objects through the hooks, in-place items, the zoom to the selection, the
// clipboard commands, the tool options bar and the document-changed message.

#include <algorithm>

#include <app/AppIds.h>
#include <doc/DocResourceIds.h>
#include <mfc/CCmdUI.h>
#include <mfc/CException.h>
#include <mfc/COleInsertDialog.h>
#include <mfc/CWaitCursor.h>
#include <model/CUndoStep.h>
#include <model/ViewHooks.h>
#include <shell/PrivateMessages.h>
#include <testing/DialogDriver.h>
#include <testing/InputDriver.h>
#include <win32/UserTesting.h>

#include "SignViewTestSupport.h"
#include "view/BitmapSheetWindow.h"
#include "view/LayerDialogWindow.h"
#include "view/SignViewHooks.h"
#include "view/SignViewIds.h"

namespace {

using namespace SignViewIds;

class SignViewCommandsTest : public SignViewTest {
protected:
    void SetUp() override {
        SignViewTest::SetUp();
        ViewHooks() = SignViewHooks{};
    }
    void TearDown() override {
        ViewHooks() = SignViewHooks{};
        SignViewTest::TearDown();
    }

    CTestCmdUI Update(UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui;
    }
    void Command(UINT id) {
        frame->SendMessage(WM_COMMAND, id, 0);
        PumpMessages();
    }
    void Select(CSignObj* obj) {
        obj->Select();
        doc->m_sheet.UpdateSelection();
    }
    // The mode log without the document's change notices.
    std::vector<std::string> Switches() const {
        std::vector<std::string> out;
        for (const std::string& s : modeLog)
            if (s != "document changed") out.push_back(s);
        return out;
    }
    // Outlive the view, its modes and the document's objects.
    std::vector<std::string> oleLog;
    int deletedObjects = 0;
    int deletedItems = 0;
    std::string LastStep() const {
        const int n = doc->GetStepCount();
        return n == 0 ? std::string() : std::string(LPCSTR(doc->GetStep(n - 1)->m_strName));
    }
};

// A path object that counts its deletion, and can refuse to be added.
struct Tracked : CPathObj {
    explicit Tracked(int& deleted, bool refuse = false) : deleted_(deleted), refuse_(refuse) {
        m_path.MoveTo({100, 100});
        m_path.LineTo({200, 100});
        m_path.LineTo({200, 200});
        m_path.LineTo({100, 100});
        m_path.ClosePath();
    }
    ~Tracked() override { ++deleted_; }
    void RefreshBBox() override {
        if (refuse_) AfxThrowMemoryException();
        CPathObj::RefreshBBox();
    }
    int& deleted_;
    bool refuse_;
};

// A modeless window that only keeps its state.
struct Item : CObject {};

struct FakeToolWindow : ViewToolWindow {
    BOOL Create(CSignView*) override { return open = TRUE; }
    BOOL IsOpen() const override { return open; }
    void Destroy() override { open = FALSE; }
    void Refresh() override { ++refreshed; }
    BOOL open = FALSE;
    int refreshed = 0;
};

struct FakeItem : InPlaceItem {
    BOOL IsUIActive() const override { return uiActive; }
    CWnd* GetInPlaceWindow() override { return window; }
    void SetItemRects() override { ++rects; }
    void Close() override { ++closed; }
    BOOL uiActive = TRUE;
    CWnd* window = nullptr;
    int rects = 0;
    int closed = 0;
};

} // namespace

// ---- palette colours ----

TEST_F(SignViewCommandsTest, DroppedPaletteColourSetsFillAndOutlineAsOneStep) {
    StartApp();
    CPathObj* obj = AddSquare(100, 100, 200, RGB(255, 0, 0));
    doc->RecordStep("Start");
    const int steps = doc->GetStepCount();
    frame->paletteBar.draggedColor = RGB(10, 20, 30);
    view->ValidateRect(nullptr);
    const CPoint edge = Client(100, 200);

    EXPECT_TRUE(view->OnCtrlDrop(&frame->paletteBar, 3, edge.x, edge.y));
    EXPECT_EQ(obj->GetColor(), RGB(10, 20, 30));
    EXPECT_EQ(obj->m_clrOutline, RGB(10, 20, 30));
    EXPECT_EQ(doc->GetStepCount(), steps + 1);
    EXPECT_EQ(LastStep(), "Color change");
    // The views redraw the object's box.
    CRect update;
    ASSERT_TRUE(::GetUpdateRect(view->m_hWnd, &update, FALSE));
    const CPoint lt = Client(100, 300), rb = Client(300, 100);
    EXPECT_LE(update.left, lt.x);
    EXPECT_LE(update.top, lt.y);
    EXPECT_GE(update.right, rb.x);
    EXPECT_GE(update.bottom, rb.y);

    // Beside every object: nothing.
    const CPoint away = Client(700, 500);
    frame->paletteBar.draggedColor = RGB(1, 1, 1);
    EXPECT_FALSE(view->OnCtrlDrop(&frame->paletteBar, 3, away.x, away.y));
    EXPECT_EQ(obj->GetColor(), RGB(10, 20, 30));
    EXPECT_EQ(doc->GetStepCount(), steps + 1);
}

TEST_F(SignViewCommandsTest, DropFlagsAndShiftDecideWhatIsColouredAndWhere) {
    StartApp();
    CPathObj* obj = AddSquare(100, 100, 200, RGB(255, 0, 0));
    obj->SetOutlineColor(RGB(0, 0, 0));
    frame->paletteBar.draggedColor = RGB(0, 200, 0);
    const CPoint inside = Client(200, 200);
    // Inside the shape, away from its outline, only with Shift.
    EXPECT_FALSE(view->OnCtrlDrop(&frame->paletteBar, 1, inside.x, inside.y));
    SdSetKeyDown(VK_SHIFT, true);
    EXPECT_TRUE(view->OnCtrlDrop(&frame->paletteBar, 2, inside.x, inside.y));
    EXPECT_EQ(obj->GetColor(), RGB(255, 0, 0));
    EXPECT_EQ(obj->m_clrOutline, RGB(0, 200, 0));
    frame->paletteBar.draggedColor = RGB(0, 0, 200);
    EXPECT_TRUE(view->OnCtrlDrop(&frame->paletteBar, 1, inside.x, inside.y));
    EXPECT_EQ(obj->GetColor(), RGB(0, 0, 200));
    EXPECT_EQ(obj->m_clrOutline, RGB(0, 200, 0));
}

TEST_F(SignViewCommandsTest, DragCursorsOverTheSheetAndObjects) {
    StartApp();
    AddSquare(100, 100, 200, RGB(255, 0, 0));
    CPaletteBar* bar = &frame->paletteBar;
    const CPoint edge = Client(100, 200), away = Client(700, 500);

    EXPECT_TRUE(view->OnCtrlDragEnter(bar, 0, away.x, away.y));
    EXPECT_EQ(SdShownCursorId(), DropCursor);
    EXPECT_TRUE(view->OnCtrlDragOver(bar, 0, edge.x, edge.y));
    EXPECT_EQ(SdShownCursorId(), DropOnObjectCursor);
    const KeyHints hints = GetLastKeyHints();
    EXPECT_EQ(hints.shift, 0);
    EXPECT_EQ(hints.ctrl, 1);
    SdSetKeyDown(VK_SHIFT, true);
    EXPECT_TRUE(view->OnCtrlDragOver(bar, 0, edge.x, edge.y));
    EXPECT_EQ(SdShownCursorId(), DropOnObjectShiftCursor);
    EXPECT_TRUE(view->OnCtrlDragOver(bar, 0, away.x, away.y));
    EXPECT_EQ(SdShownCursorId(), DropCursor);
    EXPECT_TRUE(view->OnCtrlDragLeave(bar, 0, away.x, away.y));
    EXPECT_EQ(SdShownCursorId(), UINT(32512)); // IDC_ARROW
    for (UINT id : {DropCursor, DropOnObjectCursor, DropOnObjectShiftCursor})
        EXPECT_NE(::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)), nullptr) << id;
}

TEST_F(SignViewCommandsTest, DragsFromOtherWindowsAreIgnored) {
    StartApp();
    CPathObj* obj = AddSquare(100, 100, 200, RGB(255, 0, 0));
    const CPoint edge = Client(100, 200);
    CWnd* other = &frame->toolOptionsBar;
    ::SetCursor(nullptr);
    EXPECT_FALSE(view->OnCtrlDragEnter(other, 3, edge.x, edge.y));
    EXPECT_FALSE(view->OnCtrlDragOver(other, 3, edge.x, edge.y));
    EXPECT_FALSE(view->OnCtrlDrop(other, 3, edge.x, edge.y));
    EXPECT_FALSE(view->OnCtrlDragLeave(other, 3, edge.x, edge.y));
    EXPECT_FALSE(view->OnCtrlDrop(nullptr, 3, edge.x, edge.y));
    EXPECT_EQ(SdShownCursorId(), 0u);
    EXPECT_EQ(obj->GetColor(), RGB(255, 0, 0));
}

// ---- inserting and opening OLE objects ----

TEST_F(SignViewCommandsTest, InsertWithoutAnObjectServerEndsInItsMessage) {
    StartApp();
    InstallLoggingMode();
    SetDialogScriptForClass("COleInsertDialog", [](HWND dlg) { sdtest::Click(dlg, IDOK); });
    PushMessageBoxAnswer(IDOK);
    Command(InsertObject);
    CString text;
    text.LoadString(InsertFailed);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, std::string(LPCSTR(text)));
    EXPECT_EQ(doc->m_sheet.GetSize(), 0);
    EXPECT_TRUE(Switches().empty()); // the tool was never told to stop
    EXPECT_EQ(SdWaitCursorCount(), 0);
}

TEST_F(SignViewCommandsTest, CancelledInsertDoesNothing) {
    StartApp();
    int made = 0;
    ViewHooks().insertObject = [&](CSignDoc&, COleInsertDialog&, CObject*&) -> CSignObj* {
        ++made;
        return nullptr;
    };
    SetDialogScriptForClass("COleInsertDialog", [](HWND dlg) { sdtest::Click(dlg, IDCANCEL); });
    Command(InsertObject);
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(SignViewCommandsTest,
       FailedInsertReactivatesTheToolAndDeletesOnlyWhatTheDocumentDidNotTake) {
    StartApp();
    LoggingMode* mode = InstallLoggingMode();
    Item item;
    bool refuse = true;
    ViewHooks().insertObject = [&](CSignDoc&, COleInsertDialog&, CObject*& made) -> CSignObj* {
        made = &item;
        return new Tracked(deletedObjects, refuse);
    };
    ViewHooks().deleteItem = [&](CObject* it) {
        EXPECT_EQ(it, &item);
        ++deletedItems;
    };
    SetDialogScriptForClass("COleInsertDialog", [](HWND dlg) { sdtest::Click(dlg, IDOK); });

    // The document refuses the object: it is deleted with its item, the tool works again.
    PushMessageBoxAnswer(IDOK);
    Command(InsertObject);
    EXPECT_EQ(doc->m_sheet.GetSize(), 0);
    EXPECT_EQ(deletedObjects, 1);
    EXPECT_EQ(deletedItems, 1);
    EXPECT_EQ(Switches(), (std::vector<std::string>{"Deactivate", "Activate"}));
    EXPECT_EQ(SdWaitCursorCount(), 0);

    // The document took it, then the tool failed to start again: the object stays.
    refuse = false;
    modeLog.clear();
    mode->throwOnActivate = 1;
    PushMessageBoxAnswer(IDOK);
    Command(InsertObject);
    EXPECT_EQ(doc->m_sheet.GetSize(), 1);
    EXPECT_EQ(deletedObjects, 1);
    EXPECT_EQ(deletedItems, 1);
    EXPECT_EQ(MessageBoxLog().size(), 2u);
}

TEST_F(SignViewCommandsTest, InsertedNewObjectOpensForEditing) {
    StartApp();
    InstallLoggingMode();
    Item item;
    CSignObj* inserted = nullptr;
    std::vector<int> verbs;
    ViewHooks().insertObject = [&](CSignDoc&, COleInsertDialog& dlg, CObject*& made) -> CSignObj* {
        EXPECT_EQ(dlg.m_dwFlags & IOF_SELECTCREATENEW, IOF_SELECTCREATENEW);
        made = &item;
        return inserted = new Tracked(deletedObjects);
    };
    ViewHooks().containerItem = [&](CSignObj* obj) -> CObject* {
        return obj == inserted ? &item : nullptr;
    };
    ViewHooks().oleMode = [&] { return new LoggingMode(oleLog); };
    ViewHooks().doVerb = [&](CObject* it, int verb, CSignView&) {
        EXPECT_EQ(it, &item);
        verbs.push_back(verb);
    };
    SetDialogScriptForClass("COleInsertDialog", [](HWND dlg) { sdtest::Click(dlg, IDOK); });
    Command(InsertObject);
    ASSERT_EQ(doc->m_sheet.GetSize(), 1);
    EXPECT_EQ(inserted->m_bSelected, 1);
    EXPECT_EQ(Switches(),
              (std::vector<std::string>{"Deactivate", "Activate", "Deactivate", "deleted"}));
    EXPECT_EQ(verbs, (std::vector<int>{-2}));
    EXPECT_EQ(oleLog, (std::vector<std::string>{"Activate"}));
    EXPECT_TRUE(view->IsSelected(&item));
    Item other;
    EXPECT_FALSE(view->IsSelected(&other));
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(SignViewCommandsTest, OpeningNeedsExactlyOneSelectedOleObject) {
    StartApp();
    Item item;
    CPathObj* a = AddSquare(10, 10, 10, RGB(0, 0, 0));
    CPathObj* b = AddSquare(30, 10, 10, RGB(0, 0, 0));
    int verbs = 0;
    ViewHooks().containerItem = [&](CSignObj* obj) -> CObject* {
        return obj == a ? &item : nullptr;
    };
    ViewHooks().doVerb = [&](CObject*, int, CSignView&) { ++verbs; };
    Select(a);
    Select(b);
    EXPECT_EQ(view->SendMessage(WM_EDITOLEOBJECT), 0);
    EXPECT_FALSE(view->IsSelected(&item));
    b->Unselect();
    doc->m_sheet.UpdateSelection();
    EXPECT_TRUE(view->IsSelected(&item));
    EXPECT_EQ(view->SendMessage(WM_EDITOLEOBJECT), 1);
    a->Unselect();
    Select(b);
    EXPECT_EQ(view->SendMessage(WM_EDITOLEOBJECT), 0);
    EXPECT_EQ(verbs, 1);
}

TEST_F(SignViewCommandsTest, InPlaceItemTakesFocusSizeAndCancel) {
    StartApp();
    FakeItem item;
    CWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, "Edit", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), view, 1));
    item.window = &edit;
    ViewHooks().inPlaceActiveItem = [&](CSignDoc&, CSignView&) { return &item; };

    view->SendMessage(WM_SETFOCUS);
    EXPECT_EQ(::GetFocus(), edit.m_hWnd);
    item.uiActive = FALSE;
    ::SetFocus(nullptr);
    view->SendMessage(WM_SETFOCUS);
    EXPECT_NE(::GetFocus(), edit.m_hWnd);

    SizeView(700, 500);
    EXPECT_GE(item.rects, 1);
    const int rects = item.rects;
    view->SendMessage(WM_SIZE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(item.rects, rects);

    SdResetBeeps();
    Command(CancelInPlace);
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_EQ(item.closed, 1);
    ViewHooks().inPlaceActiveItem = nullptr;
    Command(CancelInPlace);
    EXPECT_EQ(SdBeepCount(), 2);
    EXPECT_EQ(item.closed, 1);
}

// ---- other commands ----

TEST_F(SignViewCommandsTest, ZoomToSelectionWhileAnObjectIsSelected) {
    StartApp();
    CPathObj* obj = AddSquare(100, 100, 50, RGB(255, 0, 0));
    EXPECT_FALSE(Update(ZoomToSelection).m_bEnabled);
    Select(obj);
    EXPECT_TRUE(Update(ZoomToSelection).m_bEnabled);
    const int before = Client(150, 150).x - Client(100, 100).x;
    Command(ZoomToSelection);
    view->UpdateWindow();
    EXPECT_EQ(view->zoomKind, ZOOM_FREE);
    EXPECT_GT(Client(150, 150).x - Client(100, 100).x, 4 * before);
}

TEST_F(SignViewCommandsTest, ClipboardCommandsGoThroughTheDocument) {
    StartApp();
    CPathObj* obj = AddSquare(100, 100, 50, RGB(255, 0, 0));
    EXPECT_FALSE(Update(EditCopy).m_bEnabled);
    EXPECT_FALSE(Update(EditCut).m_bEnabled);
    Select(obj);
    EXPECT_TRUE(Update(EditCopy).m_bEnabled);
    Command(EditCopy);
    EXPECT_TRUE(Update(EditPaste).m_bEnabled);
    EXPECT_TRUE(Update(EditPasteSpecial).m_bEnabled);
    Command(EditPaste);
    EXPECT_EQ(doc->m_sheet.GetSize(), 2);
    EXPECT_EQ(LastStep(), "Paste");
    Command(EditCut);
    EXPECT_EQ(doc->m_sheet.GetSize(), 1);
    EXPECT_EQ(LastStep(), "Cut");
    Command(EditPasteSpecial);
    EXPECT_EQ(doc->m_sheet.GetSize(), 2);
}

TEST_F(SignViewCommandsTest, CommandsWithoutTheirPartStayDisabled) {
    StartApp();
    AddSquare(100, 100, 50, RGB(255, 0, 0));
    EXPECT_FALSE(Update(AlwaysDisabled).m_bEnabled);
    EXPECT_FALSE(Update(CutJob).m_bEnabled);
    EXPECT_FALSE(Update(PlotJob).m_bEnabled);
    int cuts = 0;
    ViewHooks().cutJob = [&](CSignView&) { ++cuts; };
    EXPECT_TRUE(Update(CutJob).m_bEnabled);
    Command(CutJob);
    EXPECT_EQ(cuts, 1);
}

TEST_F(SignViewCommandsTest, ToolOptionsBarIsTheFramesAndTakesAToolBar) {
    StartApp();
    EXPECT_EQ(view->GetModeToolBar(), &frame->toolOptionsBar);
    view->LoadModeToolBar(IDR_SIGN_TOOLBAR);
    EXPECT_GT(frame->toolOptionsBar.GetCount(), 0);
}

TEST_F(SignViewCommandsTest, DocumentChangeRefreshesTheOpenToolWindows) {
    auto* layers = new FakeToolWindow;
    auto* bitmaps = new FakeToolWindow;
    ViewHooks().layerDialog = [&](CSignView&) { return std::unique_ptr<ViewToolWindow>(layers); };
    ViewHooks().bitmapSheet = [&](CSignView&) { return std::unique_ptr<ViewToolWindow>(bitmaps); };
    StartApp();
    InstallLoggingMode();
    view->SendMessage(WM_DOCCHANGED);
    EXPECT_EQ(layers->refreshed, 0);
    layers->open = TRUE;
    view->SendMessage(WM_DOCCHANGED);
    EXPECT_EQ(layers->refreshed, 1);
    EXPECT_EQ(bitmaps->refreshed, 0);
    bitmaps->open = TRUE;
    view->SendMessage(WM_DOCCHANGED);
    EXPECT_EQ(bitmaps->refreshed, 1);
    EXPECT_EQ(std::count(modeLog.begin(), modeLog.end(), "document changed"), 3);
}

TEST_F(SignViewCommandsTest, BitmapSheetIsTheViewsModelessWindow) {
    ViewHooks().bitmapSheet = MakeBitmapSheetWindow;
    StartApp();
    ASSERT_NE(view->bitmapSheet, nullptr);
    EXPECT_FALSE(view->bitmapSheet->IsOpen());
    ASSERT_TRUE(view->bitmapSheet->Create(view));
    EXPECT_TRUE(view->bitmapSheet->IsOpen());
    AddSquare(10, 10, 10, RGB(0, 0, 0));
    view->SendMessage(WM_DOCCHANGED);
    PumpMessages();
    view->bitmapSheet->Destroy();
    EXPECT_FALSE(view->bitmapSheet->IsOpen());
    // Opened again; the view's end takes it along.
    EXPECT_TRUE(view->bitmapSheet->Create(view));
}

TEST_F(SignViewCommandsTest, LayerDialogOpensOnTheViewsDocumentAndHidesALayer) {
    ViewHooks().layerDialog = MakeLayerDialogWindow;
    StartApp();
    AddSquare(100, 100, 50, RGB(255, 0, 0), 1);
    AddSquare(300, 100, 50, RGB(0, 0, 255), -5);
    doc->SetModifiedFlag(FALSE);
    const CTestCmdUI closed = Update(LayerDialog);
    EXPECT_TRUE(closed.m_bEnabled);
    EXPECT_EQ(closed.m_nCheck, 0);
    Command(LayerDialog);
    ASSERT_TRUE(view->layerDialog->IsOpen());
    EXPECT_EQ(Update(LayerDialog).m_nCheck, 1);
    // The dialog: the one top-level window holding the layer list.
    HWND dialog = nullptr;
    for (HWND w = ::GetWindow(::GetDesktopWindow(), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (::GetDlgItem(w, IDC_LAYER_LIST) != nullptr) dialog = w;
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, IDC_LAYER_LIST);
    std::vector<std::string> entries;
    for (int i = 0; i < int(::SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
        char text[64] = {};
        ::SendMessageA(list, LB_GETTEXT, WPARAM(i), LPARAM(text));
        entries.push_back(text);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"Layer: -5", "Layer: 1"}));
    const CPoint red = Client(125, 125), blue = Client(325, 125);
    SdGdiImage before = Picture();
    EXPECT_EQ(before.at(blue.x, blue.y), RGB(0, 0, 255));
    // The box of "Layer: -5" unchecked, then Apply: only that layer goes from the picture.
    RECT item{};
    ::SendMessageA(list, LB_GETITEMRECT, 0, LPARAM(&item));
    sdtest::Click(list, item.left + 4, (item.top + item.bottom) / 2);
    EXPECT_TRUE(doc->m_sheet.IsLayerVisible(-5));
    ASSERT_TRUE(sdtest::Click(dialog, IDC_LAYER_APPLY));
    PumpMessages();
    EXPECT_FALSE(doc->m_sheet.IsLayerVisible(-5));
    EXPECT_TRUE(doc->m_sheet.IsLayerVisible(1));
    // What is shown is not stored with the design.
    EXPECT_FALSE(doc->IsModified());
    SdGdiImage after = Picture();
    EXPECT_EQ(after.at(red.x, red.y), RGB(255, 0, 0));
    EXPECT_NE(after.at(blue.x, blue.y), RGB(0, 0, 255));
    // A layer gaining its first object appears when the document tells its views.
    AddSquare(500, 100, 50, RGB(0, 255, 0), 7);
    view->SendMessage(WM_DOCCHANGED);
    EXPECT_EQ(int(::SendMessageA(list, LB_GETCOUNT, 0, 0)), 3);
    // The command again closes it.
    Command(LayerDialog);
    EXPECT_FALSE(view->layerDialog->IsOpen());
    EXPECT_FALSE(::IsWindow(dialog));
}

TEST_F(SignViewCommandsTest, PaletteRealisedWhenTheViewAsks) {
    SdGdiSetScreenDepth(8);
    StartApp();
    view->UpdateWindow();
    // Another window's palette takes the screen's entries.
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } lp{};
    lp.head.palVersion = 0x300;
    lp.head.palNumEntries = 3;
    lp.head.palPalEntry[0] = PALETTEENTRY{1, 2, 3, 0};
    lp.more[0] = PALETTEENTRY{4, 5, 6, 0};
    lp.more[1] = PALETTEENTRY{7, 8, 9, 0};
    HPALETTE foreign = ::CreatePalette(&lp.head);
    auto takeScreen = [&] {
        HDC dc = ::GetDC(view->m_hWnd);
        HPALETTE old = ::SelectPalette(dc, foreign, FALSE);
        ::RealizePalette(dc);
        ::SelectPalette(dc, old, FALSE);
        ::ReleaseDC(view->m_hWnd, dc);
    };
    CRect update;
    takeScreen();
    EXPECT_EQ(view->SendMessage(WM_QUERYNEWPALETTE), TRUE);
    EXPECT_TRUE(::GetUpdateRect(view->m_hWnd, &update, FALSE));
    view->UpdateWindow();
    // Realised already: nothing changes, nothing is repainted.
    EXPECT_EQ(view->SendMessage(WM_QUERYNEWPALETTE), 0);
    EXPECT_FALSE(::GetUpdateRect(view->m_hWnd, &update, FALSE));

    takeScreen();
    view->SendMessage(WM_PALETTECHANGED, WPARAM(view->m_hWnd));
    EXPECT_FALSE(::GetUpdateRect(view->m_hWnd, &update, FALSE));
    view->SendMessage(WM_PALETTECHANGED, WPARAM(frame->m_hWnd));
    EXPECT_TRUE(::GetUpdateRect(view->m_hWnd, &update, FALSE));
    view->UpdateWindow();
    ::DeleteObject(foreign);
    SdGdiSetScreenDepth(24);
}
