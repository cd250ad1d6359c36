// The palette bar in the program's frame: its grid at the bar's size, picks and drags as the
// user makes them, the colour editor's drops, clipboard palettes and the printed chart.

#include <gtest/gtest.h>

#include <app/AppIds.h>
#include <app/CPaletteEditorDialog.h>
#include <app/PaletteChart.h>
#include <app/PaletteFiles.h>
#include <doc/CColourEditor.h>
#include <mfc/CPrintDialog.h>
#include <mfc/CString.h>
#include <shell/PrivateMessages.h>
#include <testing/DialogDriver.h>
#include <testing/InputDriver.h>
#include <win32/GdiTesting.h>
#include <win32/KernelTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/UserTesting.h>
#include <win32/clipboard.h>

#include "SignAppFixture.h"

namespace {

constexpr COLORREF kNone = 0xFFFFFFFF;
constexpr COLORREF A = RGB(200, 0, 0), B = RGB(0, 200, 0), C = RGB(0, 0, 200), D = RGB(90, 90, 90);

class PaletteBarTest : public SignAppTest {
protected:
    void SetUp() override {
        SignAppTest::SetUp();
        ASSERT_TRUE(Start());
        bar = &Frame()->paletteBar;
        PumpMessages();
    }
    void TearDown() override {
        Exit();
        SignAppTest::TearDown();
    }
    // The grid's client point on the screen.
    POINT Grid(int x, int y) const { return sdtest::ScreenPoint(bar->grid.m_hWnd, x, y); }
    POINT CellCentre(int index) const {
        return POINT{(index % (bar->columns + 1)) * bar->cellSize + bar->cellSize / 2,
                     (index / (bar->columns + 1)) * bar->cellSize + bar->cellSize / 2};
    }
    void DragInGrid(POINT from, POINT to) {
        sdtest::Drag(bar->grid.m_hWnd, from, to, 2);
        PumpMessages();
    }
    CPaletteBar* bar = nullptr;
};

TEST_F(PaletteBarTest, GridOfTheBarsHeightShowsColumnsPlusOneCellsARow) {
    CRect back, forward;
    bar->backOne.GetWindowRect(&back);
    bar->forwardOne.GetWindowRect(&forward);
    bar->ScreenToClient(&back);
    bar->ScreenToClient(&forward);
    // The grid runs from the back buttons + 2 to the forward buttons - 2.
    const int width = back.right + 2 + 205 + 2 + forward.Width() + 2;
    CRect barRect;
    bar->GetClientRect(&barRect);
    bar->MoveWindow(0, 0, width, barRect.Height());
    CRect grid;
    bar->grid.GetClientRect(&grid);
    ASSERT_EQ(grid, CRect(0, 0, 205, 40));
    EXPECT_EQ(bar->cellSize, 20);
    EXPECT_EQ(bar->columns, 10);
    EXPECT_EQ(bar->pageSize, 20);

    std::vector<COLORREF> list;
    for (int i = 0; i < 30; ++i)
        list.push_back(RGB(i * 8, 255 - i * 8, 7));
    bar->SetColors(list);
    bar->grid.UpdateWindow();
    const SdGdiImage picture = SdGdiReadWindow(bar->grid.m_hWnd);
    // The eleventh cell of the first row is cut by the edge; the second row begins at 11.
    EXPECT_EQ(picture.at(202, 10), list[10]);
    EXPECT_EQ(picture.at(10, 30), list[11]);

    // Forward by a page stops at the last page; back by one from there.
    for (int i = 0; i < 3; ++i)
        bar->SendMessage(WM_COMMAND, IDC_PAL_FORWARD_PAGE);
    // The buttons report their last mouse event; without a press nothing moves.
    EXPECT_EQ(bar->firstVisible, 0);
    sdtest::Click(bar->forwardPage.m_hWnd, 3, 3);
    sdtest::Click(bar->forwardPage.m_hWnd, 3, 3);
    PumpMessages();
    EXPECT_EQ(bar->firstVisible, 10); // count 30 - page 20
    sdtest::Click(bar->backOne.m_hWnd, 3, 3);
    PumpMessages();
    EXPECT_EQ(bar->firstVisible, 9);
}

TEST_F(PaletteBarTest, AClickOrAShortDragPicksALongerOneDoesNot) {
    bar->SetColors({A, B, C});
    struct Case {
        int distance;
        bool picks;
    } cases[] = {{0, true}, {3, true}, {4, false}};
    for (const Case& c : cases) {
        Settings().DefaultFillColor = D;
        bar->fillChanged = 0;
        const POINT from = CellCentre(1);
        DragInGrid(from, POINT{from.x + c.distance, from.y - 1 + (c.distance > 0)});
        EXPECT_EQ(Settings().DefaultFillColor, c.picks ? B : D) << c.distance;
        EXPECT_EQ(bar->fillChanged, c.picks ? 1 : 0) << c.distance;
    }
    // A right click on the position after the last colour: no outline.
    Settings().DefaultOutlineColor = A;
    const POINT after = CellCentre(3);
    sdtest::Click(bar->grid.m_hWnd, after.x, after.y, true);
    PumpMessages();
    EXPECT_EQ(Settings().DefaultOutlineColor, kNone);
    EXPECT_EQ(bar->outlineChanged, 1);
    EXPECT_EQ(bar->selectedIndex, 3);
    // The no-colour button: left clears the fill.
    sdtest::Click(bar->noColor.m_hWnd, 3, 3);
    PumpMessages();
    EXPECT_EQ(Settings().DefaultFillColor, kNone);
    // An empty bar only beeps.
    bar->OnClearColors();
    SdResetBeeps();
    Settings().DefaultFillColor = D;
    sdtest::Click(bar->grid.m_hWnd, 5, 5);
    PumpMessages();
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_EQ(Settings().DefaultFillColor, D);
}

TEST_F(PaletteBarTest, DragsInTheGridMoveCopyOrDelete) {
    bar->SetColors({A, B, C, D});
    // Move: taken out first, so the colour lands before the target's colour.
    DragInGrid(CellCentre(0), CellCentre(2));
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{B, C, A, D}));
    EXPECT_EQ(bar->selectedIndex, 2);
    // Copy with Shift.
    sdtest::KeyDown(VK_SHIFT);
    DragInGrid(CellCentre(3), CellCentre(0));
    sdtest::KeyUp(VK_SHIFT);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{D, B, C, A, D}));
    // Dropped on the bar beside the grid: deleted.
    const POINT from = CellCentre(1);
    POINT swatch = sdtest::ScreenPoint(bar->GetDlgItem(IDC_PAL_SWATCH)->m_hWnd, 4, 4);
    ::ScreenToClient(bar->grid.m_hWnd, &swatch);
    DragInGrid(from, swatch);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{D, C, A, D}));
}

TEST_F(PaletteBarTest, TheColourEditorsDropsCarryItsColour) {
    bar->SetColors({A, B, C});
    bar->SendMessage(WM_COMMAND, ID_SHOW_COLOUR_EDITOR);
    CColourEditor* editor = bar->GetColourEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->m_hWnd, nullptr);
    editor->SetColourAndShow(RGB(10, 20, 30));
    const COLORREF colour = editor->GetColor();

    // The editor hands its drags to the frame, which makes the bar their source.
    const POINT over = Grid(CellCentre(1).x, CellCentre(1).y);
    ::SetCursorPos(over.x, over.y);
    Frame()->SendMessage(WM_CTRLDROP, MK_LBUTTON, reinterpret_cast<LPARAM>(editor->m_hWnd));
    EXPECT_EQ(bar->draggedColor, colour);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A, colour, C}));
    // With Shift, or after the last colour, one is inserted.
    Frame()->SendMessage(WM_CTRLDROP, MK_LBUTTON | MK_SHIFT,
                         reinterpret_cast<LPARAM>(editor->m_hWnd));
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A, colour, colour, C}));
    const POINT after = Grid(CellCentre(4).x, CellCentre(4).y);
    ::SetCursorPos(after.x, after.y);
    Frame()->SendMessage(WM_CTRLDROP, MK_LBUTTON, reinterpret_cast<LPARAM>(editor->m_hWnd));
    EXPECT_EQ(bar->colors.size(), 5u);
    EXPECT_EQ(bar->colors.back(), colour);

    // Off the grid inside the bar: nothing, and the drop does not come round again.
    const POINT beside = sdtest::ScreenPoint(bar->m_hWnd, 1, 1);
    ::SetCursorPos(beside.x, beside.y);
    Frame()->SendMessage(WM_CTRLDROP, MK_LBUTTON, reinterpret_cast<LPARAM>(editor->m_hWnd));
    EXPECT_EQ(bar->colors.size(), 5u);
}

TEST_F(PaletteBarTest, PastesAClipboardPalette) {
    bar->SetColors({A});
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } logical{};
    logical.head.palVersion = 0x300;
    logical.head.palNumEntries = 3;
    PALETTEENTRY* e = logical.head.palPalEntry;
    e[0] = PALETTEENTRY{255, 0, 0, 0};
    e[1] = PALETTEENTRY{0, 128, 0, 0};
    e[2] = PALETTEENTRY{1, 2, 3, 0};
    HPALETTE palette = ::CreatePalette(&logical.head);
    ASSERT_NE(palette, nullptr);
    // No palette on the clipboard: nothing changes.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    Frame()->SendMessage(WM_COMMAND, ID_PASTE_PALETTE);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A}));

    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ASSERT_NE(::SetClipboardData(CF_PALETTE, palette), nullptr);
    ::CloseClipboard();
    Frame()->SendMessage(WM_COMMAND, ID_PASTE_PALETTE);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 128, 0), RGB(1, 2, 3)}));
}

TEST(PaletteChartLayoutTest, CellsSpreadOverThePrintableArea) {
    struct Case {
        float printableW, printableH, paperW, paperH, offX, offY;
        bool fits;
        int columns, rows;
        float left, top;
    } cases[] = {
        // Letter, 6.5 mm margins: (216 - 202.33) / 2 and (279 - 264.82) / 2.
        {203, 266, 216, 279, 6.5f, 6.5f, true, 8, 16, 6.833f, 7.088f},
        {210, 297, 210, 297, 0, 0, true, 8, 18, 1.111f, 0.474f},
        // One cell exactly: no gaps, kept inside the printable area.
        {25, 16, 40, 40, 30, 30, true, 1, 1, 30, 30},
        {24.9f, 100, 210, 297, 0, 0, false, 0, 0, 0, 0},
        {100, 15.9f, 210, 297, 0, 0, false, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PaletteChartLayout layout;
        ASSERT_EQ(layout.Compute(c.printableW, c.printableH, c.paperW, c.paperH, c.offX, c.offY),
                  c.fits)
            << c.printableW << " x " << c.printableH;
        if (!c.fits) continue;
        EXPECT_EQ(layout.columns, c.columns);
        EXPECT_EQ(layout.rows, c.rows);
        EXPECT_NEAR(layout.left, c.left, 0.01f);
        EXPECT_NEAR(layout.top, c.top, 0.01f);
    }
    // Through the tables: identity without them; the grey part goes to black.
    EXPECT_EQ(CorrectPrintColor(RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_EQ(CorrectPrintColor(RGB(100, 150, 200)), RGB(100, 150, 200));
}

TEST_F(PaletteBarTest, PrintsTheChartOrRefusesAPageWithoutRoom) {
    SdInstallFakeSpooler();
    SdAddFakePrinter("Tiny");
    // A set-up of 20 x 15 mm: not one cell fits. The chart once looped here for ever.
    HGLOBAL mode = nullptr, names = nullptr;
    ASSERT_TRUE(AfxMakePrinterSetup("Tiny", &mode, &names));
    auto* devMode = static_cast<DEVMODEA*>(::GlobalLock(mode));
    devMode->dmFields = (devMode->dmFields & ~DM_PAPERSIZE) | DM_PAPERWIDTH | DM_PAPERLENGTH;
    devMode->dmPaperWidth = 200;
    devMode->dmPaperLength = 150;
    ::GlobalUnlock(mode);
    app->SelectPrinter(names, mode);
    SdGdiClearPrintedPages();
    bar->SetColors({A, B, C});
    SetDialogScriptForClass("CPrintDialog", [](HWND hwnd) { sdtest::Click(hwnd, IDOK); });
    PushMessageBoxAnswer(IDOK);
    Frame()->SendMessage(WM_COMMAND, ID_PRINT_PALETTE);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    CString expected;
    expected.LoadString(IDS_CHART_PAGE_TOO_SMALL);
    EXPECT_EQ(MessageBoxLog()[0].text, std::string(LPCSTR(expected)));
    EXPECT_TRUE(SdGdiPrintedPages().empty());
    SdRemoveFakeSpooler();

    // A4 at 300 dpi: one page, the first swatch at the chart's corner.
    SdInstallFakeSpooler();
    SdAddFakePrinter("Proof");
    ASSERT_TRUE(AfxMakePrinterSetup("Proof", &mode, &names));
    app->SelectPrinter(names, mode);
    SdGdiClearPrintedPages();
    Frame()->SendMessage(WM_COMMAND, ID_PRINT_PALETTE);
    const auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 1u);
    CString title;
    title.LoadString(IDS_CHART_DOCUMENT);
    EXPECT_EQ(pages[0].document, std::string(LPCSTR(title)));
    PaletteChartLayout layout;
    ASSERT_TRUE(layout.Compute(210, 297, 210, 297, 0, 0));
    const double px = 300 / 25.4;
    auto at = [&](float xmm, float ymm) { return pages[0].image.at(int(xmm * px), int(ymm * px)); };
    const float x0 = std::trunc(layout.left), y0 = std::trunc(layout.top);
    EXPECT_EQ(at(x0 + 10, y0 + 4), A);
    const float x1 = std::trunc(x0 + 25 + layout.gapX);
    EXPECT_EQ(at(x1 + 10, y0 + 4), B);
    // Nothing in the fourth cell's box.
    const float x3 = std::trunc(std::trunc(x1 + 25 + layout.gapX) + 25 + layout.gapX);
    EXPECT_EQ(at(x3 + 10, y0 + 4), RGB(255, 255, 255));
    SdRemoveFakeSpooler();
}

TEST(InterpolateColorsTest, RunsEndOnTheTargetColour) {
    const COLORREF white = RGB(255, 255, 255), black = 0;
    COLORREF out[3] = {7, 7, 7};
    InterpolateColors(white, black, out, 2);
    EXPECT_EQ(out[0], RGB(128, 128, 128)); // floor(127.5 + 0.5)
    EXPECT_EQ(out[1], black);
    InterpolateColors(RGB(0, 10, 200), RGB(30, 10, 0), out, 3);
    EXPECT_EQ(out[0], RGB(10, 10, 133));
    EXPECT_EQ(out[2], RGB(30, 10, 0));
    out[0] = 7;
    InterpolateColors(white, black, out, 0);
    EXPECT_EQ(out[0], 7u);
}

TEST_F(PaletteBarTest, ThePaletteEditorInsertsDeletesAndAppendsRuns) {
    bar->SetColors({A, B, C});
    Settings().DefaultFillColor = RGB(255, 255, 255);
    Settings().DefaultOutlineColor = 0;
    Frame()->SendMessage(WM_COMMAND, ID_PALETTE_EDITOR);
    CPaletteEditorDialog* editor = bar->GetPaletteEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->m_hWnd, nullptr);
    EXPECT_EQ(editor->startColor, RGB(255, 255, 255));
    const HWND dlg = editor->m_hWnd;
    auto enabled = [&](int id) { return ::IsWindowEnabled(::GetDlgItem(dlg, id)) != FALSE; };

    const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128);
    sdtest::Type(dlg, IDC_PE_INDEX, "1");
    sdtest::Type(dlg, IDC_PE_COUNT, "3");
    EXPECT_EQ(bar->selectedIndex, 1);
    EXPECT_EQ(editor->count, 3);
    EXPECT_TRUE(enabled(IDC_PE_INSERT));
    EXPECT_FALSE(enabled(IDC_PE_DELETE)); // 1 + 3 > 3 colours
    sdtest::Click(dlg, IDC_PE_INSERT);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A, white, grey, 0, B, C}));
    EXPECT_TRUE(enabled(IDC_PE_DELETE));
    sdtest::Type(dlg, IDC_PE_COUNT, "2");
    sdtest::Click(dlg, IDC_PE_DELETE);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A, 0, B, C}));
    sdtest::Type(dlg, IDC_PE_COUNT, "1");
    sdtest::Click(dlg, IDC_PE_APPEND);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A, 0, B, C, white}));
    sdtest::Type(dlg, IDC_PE_COUNT, "0");
    EXPECT_FALSE(enabled(IDC_PE_INSERT));
    EXPECT_FALSE(enabled(IDC_PE_APPEND));

    // A colour dropped on a swatch becomes its end of the run.
    bar->SendMessage(WM_COMMAND, ID_SHOW_COLOUR_EDITOR);
    CColourEditor* mixer = bar->GetColourEditor();
    ASSERT_NE(mixer, nullptr);
    mixer->SetColourAndShow(RGB(40, 80, 120));
    const POINT end = sdtest::ScreenPoint(::GetDlgItem(dlg, IDC_PE_END), 3, 3);
    ::SetCursorPos(end.x, end.y);
    Frame()->SendMessage(WM_CTRLDROP, MK_LBUTTON, reinterpret_cast<LPARAM>(mixer->m_hWnd));
    EXPECT_EQ(editor->endColor, mixer->GetColor());
    EXPECT_EQ(editor->startColor, white);
    // Closed, it is no drop target any more.
    editor->SendMessage(WM_CLOSE);
    EXPECT_EQ(editor->m_hWnd, nullptr);
    EXPECT_EQ(std::count(Frame()->dropTargets.begin(), Frame()->dropTargets.end(),
                         static_cast<CWnd*>(editor)),
              0);
}

TEST_F(PaletteBarTest, NamingAColourAndTheOptionsMenu) {
    PaletteEntries().RemoveAll();
    PaletteEntries().Add("C80000 ");
    bar->SetColors({A, B});
    struct Case {
        int cell;
        const char* typed;
        const char* entry;
        int entries;
    } cases[] = {
        {0, "Crimson", "C80000 Crimson", 1}, // listed: named in place
        {1, "Leaf", "00C800 Leaf", 2},       // not listed: appended
    };
    for (const Case& c : cases) {
        const POINT at = CellCentre(c.cell);
        sdtest::Click(bar->grid.m_hWnd, at.x, at.y);
        PumpMessages();
        SetDialogScript(IDD_PALETTE_NAME, [&](HWND hwnd) {
            sdtest::Type(hwnd, IDC_PN_NAME, c.typed);
            sdtest::Click(hwnd, IDOK);
        });
        Frame()->SendMessage(WM_COMMAND, ID_NAME_COLOR);
        ASSERT_EQ(PaletteEntries().GetSize(), c.entries);
        EXPECT_STREQ(LPCSTR(PaletteEntries()[c.entries - 1]), c.entry);
    }
    EXPECT_STREQ(LPCSTR(GetColorName(B)), "Leaf");

    // The options button: the editor's model checked, paste greyed without a palette.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    sdtest::ChooseFromPopupMenus({ID_COLOR_CMYK});
    sdtest::Click(bar->GetDlgItem(IDC_PAL_OPTIONS)->m_hWnd, 3, 3);
    PumpMessages();
    const SdPopupMenuRecord menu = sdtest::LastPopupMenu();
    auto state = [&](UINT id) {
        for (const SdPopupMenuItem& item : menu.items)
            if (item.id == id) return item.state;
        return UINT(0xFFFF);
    };
    EXPECT_TRUE(state(ID_COLOR_HLS) & MF_CHECKED);
    EXPECT_FALSE(state(ID_COLOR_RGB) & MF_CHECKED);
    EXPECT_TRUE(state(ID_PASTE_PALETTE) & MF_GRAYED);
    EXPECT_EQ(ColorDisplayMode, 1);
    EXPECT_STREQ(LPCSTR(GetColorName(RGB(255, 0, 0))), "CMYK(  0,255,255,  0)");
    ColorDisplayMode = 0;
}

} // namespace

namespace {
TEST_F(PaletteBarTest, TheToolOptionsBarTakesTheSizeOfItsButtonsDockedOrFloating) {
    CSignFrame* frame = Frame();
    CToolBar& bar = frame->toolOptionsBar;
    const UINT three[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};
    bar.SetButtons(three, 3);
    frame->RecalcModeToolBar();
    CRect docked;
    bar.GetWindowRect(&docked);
    EXPECT_FALSE(bar.IsFloating());

    frame->FloatControlBar(&bar, CPoint(100, 120));
    const UINT one[] = {ID_SEPARATOR};
    bar.SetButtons(one, 1);
    frame->RecalcModeToolBar();
    ASSERT_TRUE(bar.IsFloating());
    CRect floating;
    bar.GetWindowRect(&floating);
    EXPECT_EQ(floating.TopLeft(), CPoint(100, 120));
    EXPECT_EQ(floating.Size(), bar.CalcFixedLayout(FALSE, TRUE));
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_FALSE(bar.IsFloating());
}
} // namespace

namespace {
TEST_F(PaletteBarTest, TheStandardToolBarPromptsItsCommandsInTheStatusBar) {
    CSignFrame* frame = Frame();
    frame->ShowWindow(SW_SHOWNORMAL);
    CToolBar& tools = frame->mainToolBar;
    ASSERT_TRUE(tools.GetBarStyle() & CBRS_FLYBY);
    const int open = tools.CommandToIndex(57601);
    ASSERT_GE(open, 0);
    CRect item;
    tools.GetItemRect(open, &item);
    sdtest::MouseMove(tools.m_hWnd, item.CenterPoint().x, item.CenterPoint().y);
    EXPECT_STREQ(LPCSTR(frame->statusBar.GetPaneText(0)), "Opens a design");
}
} // namespace

namespace {
TEST_F(PaletteBarTest, CellTipsNameTheColourUnderThePointer) {
    SYSTEMTIME day{};
    day.wYear = 2026;
    day.wMonth = 1;
    day.wDay = 1;
    SdInstallFakeClock(1000, day);
    PaletteEntries().RemoveAll();
    PaletteEntries().Add("00C800 Leaf");
    bar->SetColors({A, B, C});
    const HWND tip = bar->GetToolTipWindow();
    ASSERT_NE(tip, nullptr);
    auto hover = [&](int index) {
        const POINT at = CellCentre(index);
        sdtest::MouseMove(bar->grid.m_hWnd, at.x, at.y);
        SdAdvanceFakeClock(300);
        sdtest::PumpInput();
        char text[80] = {};
        ::GetWindowTextA(tip, text, sizeof text);
        return std::string(::IsWindowVisible(tip) ? text : "(hidden)");
    };
    EXPECT_EQ(hover(1), "Leaf");
    SdAdvanceFakeClock(5000); // the tip pops
    sdtest::PumpInput();
    EXPECT_EQ(hover(0), "RGB(200,  0,  0)");
    // After the last colour there is nothing to name.
    EXPECT_EQ(bar->CellTipText(bar->columns + 1), "");
    SdRemoveFakeClock();
}
} // namespace

namespace {
// A drop target that keeps what reached it.
class DropRecorder : public CWnd {
public:
    std::vector<std::pair<UINT, HWND>> got;
    COLORREF colourAtDrop = 0;
    CPaletteBar* bar = nullptr;

protected:
    LRESULT OnDrop(WPARAM, LPARAM lParam) {
        got.emplace_back(WM_CTRLDROP, reinterpret_cast<HWND>(lParam));
        colourAtDrop = bar->draggedColor;
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DropRecorder, CWnd)
ON_MESSAGE(WM_CTRLDROP, OnDrop)
END_MESSAGE_MAP()

TEST_F(PaletteBarTest, AGridDragEndingOffTheBarReachesTheTargetThereWithItsColour) {
    bar->SetColors({A, B, C});
    DropRecorder target;
    target.bar = bar;
    ASSERT_TRUE(target.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, 200, 100, 100,
                                100, Frame()->m_hWnd, nullptr));
    Frame()->AddDropTarget(&target);
    const POINT onTarget = sdtest::ScreenPoint(target.m_hWnd, 50, 50);
    POINT end = onTarget;
    ::ScreenToClient(bar->grid.m_hWnd, &end);
    DragInGrid(CellCentre(1), end);
    ASSERT_EQ(target.got.size(), 1u);
    // The bar stands as the source; the colour is the dragged cell's; the list is kept.
    EXPECT_EQ(target.got[0].second, bar->m_hWnd);
    EXPECT_EQ(target.colourAtDrop, B);
    EXPECT_EQ(bar->colors, (std::vector<COLORREF>{A, B, C}));
    Frame()->RemoveDropTarget(&target);
    target.DestroyWindow();
}
} // namespace
