// Documents, views and frames made by a document template: layout of the bars, command
// routing and update handlers, the idle update, bar state, scrolling views, printing and
// print preview, tool bars and the colour dialog.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "TestSupport.h"
#include "data/mfc-test-ids.h"
#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/InputDriver.h"
#include "testing/PlatformTest.h"
#include "win32/GdiTesting.h"
#include "win32/KernelTesting.h"
#include "win32/SpoolerTesting.h"
#include "win32/UserTesting.h"
#include "win32/module.h"
#include "win32/nls.h"

namespace {

constexpr UINT ID_VIEW_ONLY = 400;
constexpr UINT ID_DOC_ONLY = 401;
constexpr UINT ID_FRAME_ONLY = 402;
constexpr UINT ID_APP_ONLY = 403;
constexpr UINT ID_VIEW_AND_DOC = 404;
constexpr UINT ID_DISABLED = 405;
constexpr UINT ID_RULER = 406;

std::vector<std::string> g_handled;

class TestItem : public CDocItem {
    DECLARE_SERIAL(TestItem)
public:
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) ar << m_value;
        else ar >> m_value;
    }
    BOOL IsBlank() const override { return m_value == 0; }
    LONG m_value = 0;
};
IMPLEMENT_SERIAL(TestItem, CDocItem, 1)

class TestDoc : public COleDocument {
    DECLARE_DYNCREATE(TestDoc)
public:
    BOOL OnNewDocument() override {
        ++m_newCount;
        return COleDocument::OnNewDocument();
    }
    int m_newCount = 0;

protected:
    void OnDocOnly() { g_handled.push_back("doc"); }
    void OnViewAndDoc() { g_handled.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestDoc, COleDocument)
BEGIN_MESSAGE_MAP(TestDoc, COleDocument)
    ON_COMMAND(ID_DOC_ONLY, OnDocOnly)
    ON_COMMAND(ID_VIEW_AND_DOC, OnViewAndDoc)
END_MESSAGE_MAP()

class TestView : public CScrollView {
    DECLARE_DYNCREATE(TestView)
public:
    void OnInitialUpdate() override {
        ++m_initialUpdates;
        SetScrollSizes(MM_TEXT, CSize(1000, 800));
    }
    void OnDraw(CDC* pDC) override {
        if (pDC->IsPrinting()) {
            // A black square on the page's top-left quarter.
            pDC->FillSolidRect(0, 0, m_pageSquare, m_pageSquare, RGB(0, 0, 0));
            return;
        }
        pDC->FillSolidRect(0, 0, 1000, 800, RGB(0, 128, 0));
    }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override {
        pInfo->SetMaxPage(m_pages);
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { m_printed.push_back(0); }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override {
        m_printed.push_back(int(pInfo->m_nCurPage));
        m_pageSquare = pInfo->m_rectDraw.Width() / 2;
        OnDraw(pDC);
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { m_printed.push_back(-1); }
    int m_initialUpdates = 0;
    UINT m_pages = 3;
    int m_pageSquare = 10;
    std::vector<int> m_printed; // 0 begin, pages, -1 end

protected:
    void OnViewOnly() { g_handled.push_back("view"); }
    void OnViewAndDoc() { g_handled.push_back("view"); }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateToolB(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateToolC(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    void OnToolA() { g_handled.push_back("tool A"); }
    void OnDisabled() { g_handled.push_back("disabled"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestView, CScrollView)
BEGIN_MESSAGE_MAP(TestView, CScrollView)
    ON_COMMAND(ID_VIEW_ONLY, OnViewOnly)
    ON_COMMAND(ID_VIEW_AND_DOC, OnViewAndDoc)
    ON_COMMAND(ID_DISABLED, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_DISABLED, OnUpdateDisabled)
    ON_UPDATE_COMMAND_UI(ID_TOOL_B, OnUpdateToolB)
    ON_UPDATE_COMMAND_UI(ID_TOOL_C, OnUpdateToolC)
    ON_COMMAND(ID_TOOL_A, OnToolA)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

// A bar of fixed thickness along its side.
class TestBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id, int thickness, int length = 32767) {
        m_thickness = thickness;
        m_length = length;
        return CreateBar(nullptr, style, parent, id);
    }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override {
        const int length = bStretch ? m_length : std::min(m_length, 60);
        return bHorz ? CSize(length, m_thickness) : CSize(m_thickness, length);
    }
    int m_thickness = 0;
    int m_length = 32767;
};

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
public:
    CToolBar m_tools;
    CStatusBar m_status;
    TestBar m_ruler;
    TestBar m_side;

protected:
    int OnCreate(CREATESTRUCT* cs) {
        if (CFrameWnd::OnCreate(cs) == -1) return -1;
        if (!m_tools.Create(this) || !m_tools.LoadToolBar(IDR_TOOLS)) return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                          ID_INDICATOR_SCRL};
        if (!m_status.Create(this) || !m_status.SetIndicators(indicators, 4)) return -1;
        m_ruler.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, ID_RULER, 25);
        m_side.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT, ID_RULER + 1, 30);
        m_side.EnableDocking(CBRS_ALIGN_ANY);
        return 0;
    }
    void OnFrameOnly() { g_handled.push_back("frame"); }
    void OnFieldLeft() { g_handled.push_back("field left"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_FRAME_ONLY, OnFrameOnly)
    ON_COMMAND(ID_TEST_UNDO, OnFrameOnly)
    ON_CONTROL(EN_KILLFOCUS, ID_FRAME_ONLY, OnFieldLeft)
    ON_COMMAND_EX(ID_RULER, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_RULER, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("Test App") {}

protected:
    void OnAppOnly() { g_handled.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_APP_ONLY, OnAppOnly)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
END_MESSAGE_MAP()

class DocViewTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        g_handled.clear();
        m_module = ::LoadLibraryA(MFC_TEST_RES);
        ASSERT_NE(m_module, nullptr);
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_module);
        m_app = std::make_unique<TestApp>();
        m_app->m_pszProfileName = strdup((DataFolder() / "test.ini").c_str());
        m_app->AddDocTemplate(new CSingleDocTemplate(IDR_DOCFRAME, RUNTIME_CLASS(TestDoc),
                                                     RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(TestView)));
        m_app->OnFileNew();
        frame = DYNAMIC_DOWNCAST(TestFrame, m_app->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        view = DYNAMIC_DOWNCAST(TestView, frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        doc = DYNAMIC_DOWNCAST(TestDoc, view->GetDocument());
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override {
        PlatformTest::TearDown(); // destroys the frame: the view and the document go with it
        m_app.reset();
        AfxSetResourceHandle(m_previous);
        if (m_module != nullptr) ::FreeLibrary(m_module);
    }
    // A command as a menu sends it.
    void Command(UINT id) {
        frame->SendMessage(WM_COMMAND, id, 0);
        sdtest::PumpInput();
    }
    // The window's rectangle in the frame's client area, as text for readable failures.
    std::string RectIn(CWnd* wnd) {
        CRect r;
        wnd->GetWindowRect(&r);
        frame->ScreenToClient(&r);
        return Text(r);
    }
    static std::string Text(const CRect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
               "," + std::to_string(r.bottom);
    }
    CRect Rect(CWnd* wnd) {
        CRect r;
        wnd->GetWindowRect(&r);
        frame->ScreenToClient(&r);
        return r;
    }

    std::unique_ptr<TestApp> m_app;
    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
    TestFrame* frame = nullptr;
    TestView* view = nullptr;
    TestDoc* doc = nullptr;
};

} // namespace

TEST_F(DocViewTest, ANewDocumentMakesFrameAndViewOnceAndReusesThem) {
    EXPECT_EQ(view->GetDlgCtrlID(), int(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(view->m_initialUpdates, 1);
    EXPECT_EQ(doc->m_newCount, 1);
    EXPECT_EQ(doc->GetTitle(), CString("Sheet")); // the template's document name
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(title, CString("Sheet - Test App"));
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_NE(::GetMenu(frame->m_hWnd), nullptr);
    doc->SetModifiedFlag();
    Command(ID_FILE_NEW); // the application lists it
    EXPECT_EQ(m_app->m_pMainWnd, frame);
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(doc->m_newCount, 2);
    EXPECT_EQ(view->m_initialUpdates, 2);
    EXPECT_FALSE(doc->IsModified());
}

// Opening a path reads it into the one document through OnOpenDocument; a failed open keeps
// an untouched document as it was and never leaves a half-read one behind.
TEST_F(DocViewTest, OpeningAFileReadsItIntoTheOneDocument) {
    auto* item = new TestItem;
    item->m_value = 42;
    doc->AddItem(item);
    const std::string path = (DataFolder() / "one.doc").string();
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    Command(ID_FILE_NEW);
    ASSERT_EQ(doc->GetItemCount(), 0);

    EXPECT_EQ(m_app->OpenDocumentFile(path.c_str()), doc);
    EXPECT_EQ(frame->GetActiveView(), view);
    ASSERT_EQ(doc->GetItemCount(), 1);
    EXPECT_EQ(static_cast<TestItem*>(doc->GetItem(0))->m_value, 42);
    EXPECT_EQ(doc->GetPathName(), CString(path.c_str()));
    EXPECT_EQ(doc->GetTitle(), CString("one.doc"));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(view->m_initialUpdates, 3);

    // A file that is no document: reported once, and the document is empty, unnamed, new.
    const std::string junk = (DataFolder() / "junk.doc").string();
    {
        std::FILE* f = std::fopen(junk.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("\x01", f);
        std::fclose(f);
    }
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(m_app->OpenDocumentFile(junk.c_str()), nullptr);
    EXPECT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(doc->GetItemCount(), 0);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_EQ(doc->GetTitle(), CString("Sheet"));
}

TEST_F(DocViewTest, BarsTakeTheirSidesInOrderAndTheViewTheRest) {
    frame->MoveWindow(0, 0, 640, 480);
    // The frame's menu bar takes its line from the top of the 480.
    const int bottom = 480 - GetSystemMetrics(SM_CYMENU);
    const int toolHeight = frame->m_tools.CalcFixedLayout(TRUE, TRUE).cy;
    struct {
        CWnd* wnd;
        CRect expected;
    } cases[] = {
        {&frame->m_tools, CRect(0, 0, 640, toolHeight)},
        {&frame->m_status, CRect(0, bottom - SD_STATUS_HEIGHT, 640, bottom)},
        {&frame->m_ruler, CRect(0, toolHeight, 640, toolHeight + 25)},
        {&frame->m_side, CRect(0, toolHeight + 25, 30, bottom - SD_STATUS_HEIGHT)},
        {view, CRect(30, toolHeight + 25, 640, bottom - SD_STATUS_HEIGHT)},
    };
    for (auto& c : cases) EXPECT_EQ(RectIn(c.wnd), Text(c.expected)) << c.wnd->GetDlgCtrlID();

    // A bar hidden by its command gives its room back.
    Command(ID_RULER);
    EXPECT_FALSE(frame->m_ruler.IsVisible());
    EXPECT_EQ(RectIn(view), Text(CRect(30, toolHeight, 640, bottom - SD_STATUS_HEIGHT)));
    Command(ID_RULER);

    // Docked into the tool bar's row, right of it: the row keeps the tool bar's height.
    CRect tools;
    frame->m_tools.GetWindowRect(&tools);
    frame->m_side.m_dwStyle = CBRS_ALIGN_TOP;
    frame->DockControlBar(&frame->m_side, AFX_IDW_DOCKBAR_TOP,
                          CRect(tools.right + 1, tools.top, tools.right + 61, tools.bottom));
    // The row is as thick as its thickest bar.
    const int toolWidth = frame->m_tools.CalcFixedLayout(FALSE, TRUE).cx;
    EXPECT_EQ(RectIn(&frame->m_tools), Text(CRect(0, 0, toolWidth, 30)));
    EXPECT_EQ(RectIn(&frame->m_side), Text(CRect(toolWidth, 0, 640, 30)));
    EXPECT_EQ(RectIn(view), Text(CRect(0, 30 + 25, 640, bottom - SD_STATUS_HEIGHT)));
}

TEST_F(DocViewTest, CommandsGoToViewDocumentFrameAndApplicationInThatOrder) {
    for (UINT id : {ID_VIEW_ONLY, ID_DOC_ONLY, ID_FRAME_ONLY, ID_APP_ONLY, ID_VIEW_AND_DOC, ID_DISABLED})
        Command(id);
    EXPECT_EQ(g_handled, (std::vector<std::string>{"view", "doc", "frame", "app", "view"}));
    // Menus opened on the frame are updated through the same route; commands nobody handles
    // are disabled, the bar commands checked while their bar shows.
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, ID_DISABLED, "Disabled");
    popup.AppendMenu(MF_STRING, ID_VIEW_STATUS_BAR, "Status bar");
    popup.AppendMenu(MF_STRING, 499, "Nobody");
    popup.AppendMenu(MF_STRING, ID_VIEW_ONLY, "View");
    popup.TrackPopupMenu(0, 0, 0, frame);
    const SdPopupMenuRecord menu = sdtest::LastPopupMenu();
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].state & (MF_GRAYED | MF_CHECKED), MF_GRAYED);
    EXPECT_EQ(menu.items[1].state, MF_CHECKED);
    EXPECT_EQ(menu.items[2].state & (MF_GRAYED | MF_CHECKED), MF_GRAYED);
    EXPECT_EQ(menu.items[3].state, 0u);
    // The accelerator of the frame's resource: Ctrl+Z.
    view->SetFocus();
    sdtest::KeyDown(VK_CONTROL);
    sdtest::PressKey('Z');
    sdtest::KeyUp(VK_CONTROL);
    EXPECT_EQ(g_handled.back(), "frame");
}

TEST_F(DocViewTest, IdleTimeUpdatesToolButtonsAndKeyIndicators) {
    SdSetKeyToggled(VK_CAPITAL, true);
    SdSetKeyToggled(VK_NUMLOCK, false);
    sdtest::IdlePass();
    CToolBar& tools = frame->m_tools;
    ASSERT_EQ(tools.GetCount(), 4);
    EXPECT_EQ(tools.GetItemID(1), 0u);
    EXPECT_EQ(tools.GetButtonStyle(1) & TBBS_SEPARATOR, TBBS_SEPARATOR);
    EXPECT_EQ(tools.GetButtonStyle(0) & TBBS_DISABLED, 0u);
    EXPECT_EQ(tools.GetButtonStyle(2) & TBBS_DISABLED, TBBS_DISABLED);
    EXPECT_EQ(tools.GetButtonStyle(3) & TBBS_CHECKED, TBBS_CHECKED);
    EXPECT_EQ(frame->m_status.GetPaneStyle(1) & SBPS_DISABLED, 0u); // CAPS
    EXPECT_EQ(frame->m_status.GetPaneStyle(2) & SBPS_DISABLED, SBPS_DISABLED); // NUM
    EXPECT_EQ(frame->m_status.GetPaneText(1), CString("CAP"));

    // Buttons sit after the left border, 4 + 7 wide each, the separator 8.
    CRect a, b, sep;
    tools.GetItemRect(0, &a);
    tools.GetItemRect(1, &sep);
    tools.GetItemRect(2, &b);
    EXPECT_EQ(a, CRect(4, 2, 15, 12));
    EXPECT_EQ(sep, CRect(15, 2, 23, 12));
    EXPECT_EQ(b.left, 23);
    // A click on an enabled button runs its command; on a disabled one nothing.
    sdtest::Click(tools.m_hWnd, 8, 6);
    sdtest::Click(tools.m_hWnd, 27, 6);
    EXPECT_EQ(g_handled, (std::vector<std::string>{"tool A"}));
    // Painted: the button's image from the strip, the disabled one in the shadow colour.
    tools.Invalidate();
    tools.UpdateWindow();
    SdGdiImage img = SdGdiReadWindow(tools.m_hWnd);
    EXPECT_EQ(img.at(a.left + 4, a.top + 4), RGB(255, 0, 0));
    EXPECT_EQ(img.at(b.left + 4, b.top + 4), ::GetSysColor(COLOR_3DSHADOW));
}

TEST_F(DocViewTest, BarsPaintButtonStatesPanesAndTheGrip) {
    SdSetKeyToggled(VK_CAPITAL, true);
    SdSetKeyToggled(VK_NUMLOCK, false);
    sdtest::IdlePass();
    CToolBar& tools = frame->m_tools;
    CRect a, sep, b, c;
    tools.GetItemRect(0, &a);
    tools.GetItemRect(1, &sep);
    tools.GetItemRect(2, &b);
    tools.GetItemRect(3, &c);
    tools.Invalidate();
    tools.UpdateWindow();
    SdGdiImage img = SdGdiReadWindow(tools.m_hWnd);
    // Raised: highlight outside top-left, dark shadow outside bottom-right.
    EXPECT_EQ(img.at(a.left, a.top), ::GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(a.right - 1, a.bottom - 1), ::GetSysColor(COLOR_3DDKSHADOW));
    // Checked by its update handler: sunken, its face the half-tone.
    EXPECT_EQ(img.at(c.left, c.top), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.at(c.right - 1, c.bottom - 1), ::GetSysColor(COLOR_3DHILIGHT));
    EXPECT_NE(img.at(c.left + 2, c.top + 2), img.at(c.left + 3, c.top + 2));
    // Disabled by its handler: the image etched; the separator an etched line.
    EXPECT_EQ(img.at(b.left + 4, b.top + 4), ::GetSysColor(COLOR_3DSHADOW));
    const int middle = sep.left + sep.Width() / 2 - 1;
    EXPECT_EQ(img.at(middle, sep.top + 5), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(middle + 1, sep.top + 5), ::GetSysColor(COLOR_3DHILIGHT));

    // The status bar: sunken panes, the CAP indicator's text, no text in the NUM one, and
    // the size grip in the corner of the sizable frame.
    CStatusBar& status = frame->m_status;
    status.Invalidate();
    status.UpdateWindow();
    img = SdGdiReadWindow(status.m_hWnd);
    CRect cap, num;
    status.GetItemRect(1, &cap);
    status.GetItemRect(2, &num);
    EXPECT_EQ(img.at(cap.left, cap.top), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(cap.right - 1, cap.bottom - 1), ::GetSysColor(COLOR_3DHILIGHT));
    int ink = 0, numInk = 0;
    for (int y = cap.top + 1; y < cap.bottom - 1; ++y)
        for (int x = cap.left + 1; x < cap.right - 1; ++x) ink += img.at(x, y) == ::GetSysColor(COLOR_BTNTEXT);
    for (int y = num.top + 1; y < num.bottom - 1; ++y)
        for (int x = num.left + 1; x < num.right - 1; ++x) numInk += img.at(x, y) == ::GetSysColor(COLOR_BTNTEXT);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(numInk, 0);
    ASSERT_TRUE(frame->GetStyle() & WS_THICKFRAME);
    EXPECT_EQ(img.at(img.width - 2, img.height - 1), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(img.width - 4, img.height - 1), ::GetSysColor(COLOR_3DHILIGHT));
}

TEST_F(DocViewTest, FlatToolBarsRaiseTheButtonUnderThePointer) {
    CToolBar flat;
    ASSERT_TRUE(flat.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 0xE810));
    const UINT ids[] = {ID_TOOL_A, ID_TOOL_C, ID_TOOL_B};
    ASSERT_TRUE(flat.SetButtons(ids, 3));
    flat.SetButtonStyle(1, TBBS_CHECKED);
    flat.MoveWindow(0, 0, 200, 40);
    CRect a, c;
    flat.GetItemRect(0, &a);
    flat.GetItemRect(1, &c);
    auto picture = [&flat] {
        flat.Invalidate();
        flat.UpdateWindow();
        return SdGdiReadWindow(flat.m_hWnd);
    };
    SdGdiImage img = picture();
    // At rest a flat button is the face only; a checked one sunken by a pixel.
    EXPECT_EQ(img.at(a.left, a.top), ::GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(img.at(a.right - 1, a.bottom - 1), ::GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(img.at(c.left, c.top), ::GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(img.at(c.right - 1, c.bottom - 1), ::GetSysColor(COLOR_3DHILIGHT));
    // The pointer over the first button raises it; moving on lowers it again.
    sdtest::MouseMove(flat.m_hWnd, a.left + 3, a.top + 3);
    img = picture();
    EXPECT_EQ(img.at(a.left, a.top), ::GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(img.at(a.right - 1, a.bottom - 1), ::GetSysColor(COLOR_3DSHADOW));
    sdtest::MouseMove(flat.m_hWnd, 190, 30);
    img = picture();
    EXPECT_EQ(img.at(a.left, a.top), ::GetSysColor(COLOR_3DFACE));
    flat.DestroyWindow();
}

TEST_F(DocViewTest, BarStateComesBackAndJunkIsPassedOver) {
    frame->ShowControlBar(&frame->m_ruler, FALSE, FALSE);
    frame->SaveBarState("General");
    EXPECT_EQ(m_app->GetProfileInt("General-Summary", "Bars", 0), 4u);
    frame->ShowControlBar(&frame->m_ruler, TRUE, FALSE);
    // The side bar's stored side becomes the right; an unknown bar and a wild side are
    // passed over.
    int sideIndex = -1;
    for (int i = 0; i < 4; ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "General-Bar%d", i);
        if (m_app->GetProfileInt(section, "BarID", 0) == ID_RULER + 1) sideIndex = i;
    }
    ASSERT_GE(sideIndex, 0);
    char section[32];
    std::snprintf(section, sizeof section, "General-Bar%d", sideIndex);
    m_app->WriteProfileInt(section, "DockSide", int(CBRS_ALIGN_RIGHT));
    m_app->WriteProfileInt("General-Summary", "Bars", 6);
    m_app->WriteProfileInt("General-Bar4", "BarID", 9999);
    m_app->WriteProfileString("General-Bar5", "BarID", "junk");
    frame->LoadBarState("General");
    EXPECT_FALSE(frame->m_ruler.IsVisible());
    EXPECT_TRUE(frame->m_tools.IsVisible());
    EXPECT_EQ(frame->m_side.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_RIGHT);
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(Rect(&frame->m_side).right, client.right);
    m_app->WriteProfileInt("General-Summary", "Bars", -7);
    frame->LoadBarState("General");
}

TEST_F(DocViewTest, AScrollViewShowsTheBarsItNeedsAndStaysInsideItsSize) {
    frame->MoveWindow(0, 0, 640, 480);
    CRect client;
    view->GetClientRect(&client);
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
    SCROLLINFO info{};
    view->GetScrollInfo(SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 999);
    EXPECT_EQ(int(info.nPage), client.Width());
    view->ScrollToPosition(CPoint(5000, 30));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(1000 - client.Width(), 30));
    view->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(view->GetScrollPosition().y, 30 + 8); // a tenth of a tenth of 800
    // The painting is shifted by the position.
    view->Invalidate();
    view->UpdateWindow();
    EXPECT_EQ(SdGdiReadWindow(view->m_hWnd).at(0, 0), RGB(0, 128, 0));
    // Big enough: no bars, back at the origin.
    frame->MoveWindow(0, 0, 1200, 1000);
    EXPECT_FALSE(view->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
}

TEST_F(DocViewTest, ContainerDocumentsStoreTheirNonBlankItems) {
    auto* a = new TestItem;
    a->m_value = 7;
    auto* blank = new TestItem;
    auto* b = new TestItem;
    b->m_value = -3;
    doc->AddItem(a);
    doc->AddItem(blank);
    doc->AddItem(b);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        doc->Serialize(ar);
    }
    const Bytes stored = contentsOf(file);
    ASSERT_GE(stored.size(), 4u);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), (Bytes{2, 0, 0, 0}));
    doc->DeleteContents();
    EXPECT_EQ(doc->GetItemCount(), 0);
    file.SeekToBegin();
    {
        CArchive ar(&file, CArchive::load);
        doc->Serialize(ar);
    }
    ASSERT_EQ(doc->GetItemCount(), 2);
    EXPECT_EQ(static_cast<TestItem*>(doc->GetItem(1))->m_value, -3);

    // A class nobody knows, and a record cut short.
    Bytes unknown = Bytes{1, 0, 0, 0, 0xFF, 0xFF, 1, 0, 7, 0} + bytesOf("Nowhere");
    CMemFile bad;
    bad.Write(unknown.data(), UINT(unknown.size()));
    bad.SeekToBegin();
    EXPECT_EQ(archiveCause([&] {
                  CArchive ar(&bad, CArchive::load);
                  doc->Serialize(ar);
              }),
              int(CArchiveException::badClass));
    CMemFile cut;
    cut.Write(stored.data(), UINT(stored.size() - 2));
    cut.SeekToBegin();
    EXPECT_EQ(archiveCause([&] {
                  CArchive ar(&cut, CArchive::load);
                  doc->Serialize(ar);
              }),
              int(CArchiveException::endOfFile));
}

namespace {

class PrintingTest : public DocViewTest {
protected:
    void SetUp() override {
        SdInstallFakeSpooler();
        SdAddFakePrinter("Proof");
        SdPrinterPage page;
        page.widthTenthsMm = 400;
        page.heightTenthsMm = 300;
        page.dpi = 100; // 157 x 118 pixels
        SdGdiDescribePrinter("Proof", SdPrinterKind::Raster, page);
        DocViewTest::SetUp();
    }
    void TearDown() override {
        DocViewTest::TearDown();
        SdRemoveFakeSpooler();
    }
};

} // namespace

TEST_F(PrintingTest, DirectPrintingRunsThePageLoopOnTheApplicationsPrinter) {
    Command(ID_FILE_PRINT_DIRECT);
    EXPECT_EQ(view->m_printed, (std::vector<int>{0, 1, 2, 3, -1}));
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].document, "Sheet");
    EXPECT_EQ(pages[1].image.at(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(pages[1].image.at(pages[1].image.width - 2, 2), RGB(255, 255, 255));
}

TEST_F(PrintingTest, ThePrintDialogChoosesAndCancelPrintsNothing) {
    SetDialogScriptForClass("CPrintDialog", [](HWND hwnd) { sdtest::Click(hwnd, IDCANCEL); });
    Command(ID_FILE_PRINT);
    EXPECT_TRUE(view->m_printed.empty());
    EXPECT_TRUE(SdGdiPrintedPages().empty());
    view->m_pages = 1;
    SetDialogScriptForClass("CPrintDialog", [](HWND hwnd) { sdtest::Click(hwnd, IDOK); });
    Command(ID_FILE_PRINT);
    EXPECT_EQ(view->m_printed, (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(SdGdiPrintedPages().size(), 1u);
}

TEST_F(PrintingTest, PreviewStandsInForTheViewAndDrawsThePageThroughThePreviewContext) {
    frame->MoveWindow(0, 0, 400, 300);
    Command(ID_FILE_PRINT_PREVIEW);
    CWnd* preview = view->GetPrintPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(frame->GetDlgItem(int(AFX_IDW_PANE_FIRST))->m_hWnd, preview->m_hWnd);
    EXPECT_FALSE(view->IsWindowVisible());
    EXPECT_FALSE(frame->m_tools.IsVisible());
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(RectIn(preview), Text(client));
    preview->Invalidate();
    preview->UpdateWindow();
    // The page (the printer's paper) stands centred on the workspace colour; the view's
    // square of half the page's width fills its top left corner.
    SdGdiImage img = SdGdiReadWindow(preview->m_hWnd);
    EXPECT_EQ(img.at(2, 2), ::GetSysColor(COLOR_APPWORKSPACE));
    const COLORREF workspace = ::GetSysColor(COLOR_APPWORKSPACE);
    const int middle = img.height / 2;
    int left = 0, right = img.width - 1;
    while (left < img.width && img.at(left, middle) == workspace) ++left;
    while (right > 0 && (img.at(right, middle) == workspace || img.at(right, middle) == 0)) --right;
    const int pageWidth = right - left + 1;
    ASSERT_GT(pageWidth, 40);
    EXPECT_LT(std::abs((left - 0) - (img.width - 1 - right)), 6); // centred, the shadow aside
    int top = 0;
    while (top < img.height && img.at(left + pageWidth * 3 / 4, top) == workspace) ++top;
    EXPECT_EQ(img.at(left + 2, top + 2), RGB(0, 0, 0));
    EXPECT_EQ(img.at(left + pageWidth / 2 - 3, top + pageWidth / 2 - 3), RGB(0, 0, 0));
    EXPECT_EQ(img.at(left + pageWidth / 2 + 3, top + 2), RGB(255, 255, 255));
    EXPECT_EQ(img.at(left + 2, top + pageWidth / 2 + 3), RGB(255, 255, 255));
    Command(AFX_ID_PREVIEW_NEXT);
    Command(AFX_ID_PREVIEW_CLOSE);
    EXPECT_EQ(view->GetPrintPreview(), nullptr);
    EXPECT_TRUE(view->IsWindowVisible());
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(view->GetDlgCtrlID(), int(AFX_IDW_PANE_FIRST));
    EXPECT_TRUE(frame->m_tools.IsVisible());
    EXPECT_EQ(view->m_printed.front(), 0);
    EXPECT_EQ(view->m_printed.back(), -1);
}

TEST_F(DocViewTest, PrintWindowShowsEachBarAndTheViewAtItsRectangle) {
    frame->MoveWindow(0, 0, 320, 240);
    frame->UpdateWindow();
    for (CWnd* w : {static_cast<CWnd*>(&frame->m_tools), static_cast<CWnd*>(&frame->m_status),
                    static_cast<CWnd*>(view)}) {
        w->Invalidate();
        w->UpdateWindow();
    }
    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 320, 240);
    CBitmap* old = dc.SelectObject(&bitmap);
    ASSERT_TRUE(::PrintWindow(frame->m_hWnd, dc.m_hDC, 0));
    // The picture holds the menu bar above the client area.
    const int menuBar = GetSystemMetrics(SM_CYMENU);
    CRect tools = Rect(&frame->m_tools);
    ::OffsetRect(&tools, 0, menuBar);
    CRect a;
    frame->m_tools.GetItemRect(0, &a);
    EXPECT_EQ(dc.GetPixel(tools.left + a.left + 4, tools.top + a.top + 4), RGB(255, 0, 0));
    CRect pane = Rect(view);
    ::OffsetRect(&pane, 0, menuBar);
    EXPECT_EQ(dc.GetPixel(pane.left + 5, pane.top + 5), RGB(0, 128, 0));
    CRect status = Rect(&frame->m_status);
    ::OffsetRect(&status, 0, menuBar);
    EXPECT_EQ(dc.GetPixel(status.left + 3, status.top + 10), ::GetSysColor(COLOR_3DFACE));
    dc.SelectObject(old);
    ::ReleaseDC(nullptr, screen.Detach());
}

TEST_F(DocViewTest, TheColourDialogTakesThreeNumbersAndRefusesOthers) {
    CColorDialog dialog(RGB(10, 20, 30));
    SetDialogScriptForClass("CColorDialog", [](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, SD_COLOR_GREEN), "20");
        sdtest::Type(hwnd, SD_COLOR_RED, "300");
        sdtest::Click(hwnd, IDOK); // refused: stays open
        sdtest::Type(hwnd, SD_COLOR_RED, "200");
        sdtest::Click(hwnd, IDOK);
    });
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetColor(), RGB(200, 20, 30));
}

namespace {
class TestDialogBar : public CDialogBar {
protected:
    void OnOwn() { g_handled.push_back("bar"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDialogBar, CDialogBar)
    ON_COMMAND(IDC_BAR_OWN, OnOwn)
END_MESSAGE_MAP()
} // namespace

TEST_F(DocViewTest, DialogBarIsTheTemplateAsAChildBarAndPassesCommandsOn) {
    TestDialogBar bar;
    ASSERT_TRUE(bar.Create(frame, IDD_TEST_BAR, WS_VISIBLE | CBRS_ALIGN_BOTTOM, 0xE820));
    EXPECT_EQ(bar.GetDlgCtrlID(), 0xE820);
    EXPECT_TRUE(bar.GetStyle() & WS_CHILD);
    EXPECT_FALSE(bar.GetStyle() & (WS_POPUP | WS_CAPTION));
    EXPECT_EQ(bar.GetParent(), frame);
    CRect units(0, 0, 160, 24);
    ::MapDialogRect(bar.m_hWnd, &units);
    EXPECT_EQ(bar.m_sizeDefault, units.Size());
    EXPECT_EQ(bar.CalcFixedLayout(TRUE, TRUE), CSize(32767, units.Height()));

    // Laid out along the bottom, above the status bar, right of the side bar (both joined
    // first).
    frame->MoveWindow(0, 0, 640, 480);
    frame->RecalcLayout();
    const int bottom = 480 - GetSystemMetrics(SM_CYMENU) - SD_STATUS_HEIGHT;
    EXPECT_EQ(RectIn(&bar), Text(CRect(30, bottom - units.Height(), 640, bottom)));
    ASSERT_NE(bar.GetDlgItem(IDC_BAR_OWN), nullptr);

    // A control's command: the bar's map first, else the frame.
    ::SendMessageA(bar.GetDlgItem(IDC_BAR_OWN)->m_hWnd, BM_CLICK, 0, 0);
    ::SendMessageA(bar.GetDlgItem(IDC_BAR_FRAME)->m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(g_handled, (std::vector<std::string>{"bar", "frame"}));
    bar.DestroyWindow();
}

TEST_F(DocViewTest, FloatingBarLeavesItsEdgeForASmallWindowAndDocksAgain) {
    frame->MoveWindow(0, 0, 640, 480);
    CToolBar& tools = frame->m_tools;
    const CSize size = tools.CalcFixedLayout(FALSE, TRUE);
    frame->FloatControlBar(&tools, CPoint(300, 200));
    ASSERT_TRUE(tools.IsFloating());
    auto* mini =
        DYNAMIC_DOWNCAST(CMiniFrameWnd, CWnd::FromHandlePermanent(::GetParent(tools.m_hWnd)));
    ASSERT_NE(mini, nullptr);
    EXPECT_EQ(::GetWindow(mini->m_hWnd, GW_OWNER), frame->m_hWnd);
    CRect client;
    mini->GetClientRect(&client);
    EXPECT_EQ(client.Size(), size);
    POINT corner{0, 0};
    ::ClientToScreen(mini->m_hWnd, &corner);
    EXPECT_EQ(corner.x, 300);
    EXPECT_EQ(corner.y, 200);
    // The edge is given back: the ruler is now the top bar.
    EXPECT_EQ(Rect(&frame->m_ruler).top, 0);
    // Commands of the small window go to the frame.
    mini->SendMessage(WM_COMMAND, ID_FRAME_ONLY);
    EXPECT_EQ(g_handled, (std::vector<std::string>{"frame"}));

    // Fewer buttons: the window shrinks to them.
    const UINT two[] = {ID_TOOL_A, ID_TOOL_B};
    tools.SetButtons(two, 2);
    tools.SendMessage(TB_AUTOSIZE);
    mini->GetClientRect(&client);
    EXPECT_EQ(client.Size(), tools.CalcFixedLayout(FALSE, TRUE));
    EXPECT_LT(client.Width(), size.cx);

    // Docked again: on the top edge in a row of its own after the ruler's, the small window
    // gone.
    const HWND miniWnd = mini->m_hWnd;
    frame->DockControlBar(&tools, AFX_IDW_DOCKBAR_TOP);
    EXPECT_FALSE(tools.IsFloating());
    EXPECT_FALSE(::IsWindow(miniWnd));
    EXPECT_EQ(tools.GetParent(), frame);
    EXPECT_EQ(Rect(&frame->m_ruler).top, 0);
    EXPECT_EQ(Rect(&tools).top, 25);
    EXPECT_EQ(Rect(view).top, 25 + tools.CalcFixedLayout(TRUE, TRUE).cy);

    // Closing the small window hides the bar.
    frame->FloatControlBar(&tools, CPoint(10, 10));
    CWnd* again = CWnd::FromHandlePermanent(::GetParent(tools.m_hWnd));
    ASSERT_NE(again, nullptr);
    again->SendMessage(WM_CLOSE);
    EXPECT_FALSE(tools.IsVisible());
    frame->DockControlBar(&tools, AFX_IDW_DOCKBAR_TOP);
    EXPECT_TRUE(tools.IsVisible());
}

TEST_F(DocViewTest, FlyByPromptsFollowThePointerOverTheButtons) {
    SYSTEMTIME noon{};
    noon.wYear = 2026;
    noon.wMonth = 1;
    noon.wDay = 1;
    noon.wHour = 12;
    SdInstallFakeClock(1000, noon);
    frame->MoveWindow(0, 0, 640, 480);
    CToolBar& tools = frame->m_tools;
    tools.SetBarStyle(tools.GetBarStyle() | CBRS_FLYBY);
    CRect first, separator;
    tools.GetItemRect(0, &first);
    tools.GetItemRect(1, &separator);
    auto prompt = [&] { return std::string(LPCSTR(frame->m_status.GetPaneText(0))); };

    sdtest::MouseMove(tools.m_hWnd, first.CenterPoint().x, first.CenterPoint().y);
    EXPECT_EQ(prompt(), "Runs the first tool");
    sdtest::MouseMove(tools.m_hWnd, separator.CenterPoint().x, separator.CenterPoint().y);
    EXPECT_EQ(prompt(), "Ready");
    sdtest::MouseMove(tools.m_hWnd, first.CenterPoint().x, first.CenterPoint().y);
    EXPECT_EQ(prompt(), "Runs the first tool");
    // Off the bar: the bar hears nothing more; its timer sees the pointer gone.
    sdtest::MouseMove(view->m_hWnd, 50, 50);
    EXPECT_EQ(prompt(), "Runs the first tool");
    SdAdvanceFakeClock(250);
    sdtest::PumpInput();
    EXPECT_EQ(prompt(), "Ready");
    SdRemoveFakeClock();
}

TEST_F(DocViewTest, ToolTipsShowTheTipOfTheButtonUnderThePointer) {
    SYSTEMTIME noon{};
    noon.wYear = 2026;
    noon.wMonth = 1;
    noon.wDay = 1;
    SdInstallFakeClock(1000, noon);
    frame->MoveWindow(0, 0, 640, 480);
    CToolBar& tools = frame->m_tools;
    EXPECT_EQ(tools.GetToolTipWindow(), nullptr);
    tools.SetBarStyle(tools.GetBarStyle() | CBRS_TOOLTIPS);
    const HWND tip = tools.GetToolTipWindow();
    ASSERT_NE(tip, nullptr);
    // One tool per button, none for the separator.
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), tools.GetCount() - 1);

    CRect first;
    tools.GetItemRect(0, &first);
    sdtest::MouseMove(tools.m_hWnd, first.CenterPoint().x, first.CenterPoint().y);
    SdAdvanceFakeClock(600);
    sdtest::PumpInput();
    ASSERT_TRUE(::IsWindowVisible(tip));
    char text[80] = {};
    ::GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(text, "First tool");
    // Off the bar it hides; without the style the tips go.
    sdtest::MouseMove(view->m_hWnd, 50, 50);
    SdAdvanceFakeClock(200);
    sdtest::PumpInput();
    EXPECT_FALSE(::IsWindowVisible(tip));
    tools.SetBarStyle(tools.GetBarStyle() & ~CBRS_TOOLTIPS);
    EXPECT_EQ(tools.GetToolTipWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(tip));
    SdRemoveFakeClock();
}

TEST_F(DocViewTest, ABarsFieldTellsTheFrameWhenLeft) {
    // A field on a tool bar: its notifications go on to the frame, as its buttons' commands.
    CEdit field;
    ASSERT_TRUE(field.Create(WS_CHILD | WS_VISIBLE, CRect(30, 2, 60, 12), &frame->m_tools,
                             ID_FRAME_ONLY));
    field.SetFocus();
    view->SetFocus();
    EXPECT_EQ(g_handled, (std::vector<std::string>{"field left"}));
    field.DestroyWindow();
}
