// The sheet view in a headless program: mapping and zoom history, the temporary tools over
// a recording mode, the cross-hair and guide lines dragged from the rulers, repaint and
// settings.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include <gtest/gtest.h>

#include <sheet/FrameworkModes.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <shell/SheetSizeDlgIds.h>
#include <testing/DialogDriver.h>
#include <testing/InputDriver.h>
#include <win32/GdiTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/UserTesting.h>

#include "SheetTestApp.h"

namespace {

class SheetViewTest : public SheetTest {};

CPoint Client(COleSheetView* v, float x, float y) {
    CPoint p;
    v->WorldToClient(x, y, p);
    return p;
}

} // namespace

TEST_F(SheetViewTest, FitPageCentresTheSheetWithItsMargin) {
    StartApp();
    Command(ID_FIT_PAGE);
    view->UpdateWindow();
    EXPECT_EQ(view->zoomKind, ZOOM_FIT_PAGE);
    // margin 600 / 64 = 9 px; height 582 px; width 210 * 582 / 297 = 411.5 px, centred.
    const CPoint topLeft = Client(view, 0, 297);
    const CPoint bottomRight = Client(view, 210, 0);
    EXPECT_EQ(topLeft.x, 194);
    EXPECT_EQ(topLeft.y, 9);
    EXPECT_EQ(bottomRight.x, 605);
    EXPECT_EQ(bottomRight.y, 591);
    floatPoint w;
    view->ClientToWorld(400, 300, w);
    EXPECT_NEAR(w.x, 105, 0.6);
    EXPECT_NEAR(w.y, 148.5, 0.6);
}

TEST_F(SheetViewTest, ZoomAtKeepsThePointUnderTheMouse) {
    StartApp();
    for (const CPoint at : {CPoint(400, 300), CPoint(250, 120), CPoint(520, 480)}) {
        floatPoint before, after;
        view->ClientToWorld(at.x, at.y, before);
        view->ZoomAt(3, &at);
        view->ClientToWorld(at.x, at.y, after);
        // Within one pixel (the scroll position is truncated).
        const float pixel = 1.01f / std::fabs(view->worldToDevice.m11);
        EXPECT_NEAR(after.x, before.x, pixel) << at.x;
        EXPECT_NEAR(after.y, before.y, pixel) << at.y;
        EXPECT_EQ(view->zoomKind, ZOOM_FREE);
    }
}

TEST_F(SheetViewTest, TheHistoryKeepsTheLast24StatesAndRestoresThemInReverse) {
    StartApp();
    const CPoint centre(400, 300);
    std::vector<floatTMatrix> after;
    for (int i = 0; i < 25; ++i) {
        view->ZoomAt(1.1f, &centre);
        after.push_back(view->worldToDevice);
    }
    EXPECT_EQ(view->zoomTop, ZOOM_HISTORY_DEPTH - 1);
    // Zoom back i gives the state before zoom 25 - i + 1, i.e. after zoom 24 - i.
    for (int i = 1; i <= 24; ++i) {
        Command(ID_ZOOM_BACK);
        EXPECT_TRUE(view->worldToDevice == after[std::size_t(24 - i)]) << i;
    }
    EXPECT_EQ(view->zoomTop, -1);
    const floatTMatrix last = view->worldToDevice;
    // The command is disabled now, and does nothing when sent anyway.
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, ID_ZOOM_BACK, "Back");
    popup.TrackPopupMenu(0, 0, 0, frame);
    EXPECT_EQ(sdtest::LastPopupMenu().items[0].state & MF_GRAYED, UINT(MF_GRAYED));
    Command(ID_ZOOM_BACK);
    EXPECT_TRUE(view->worldToDevice == last);
}

TEST_F(SheetViewTest, AZoomPastTheLimitBeepsAndKeepsEverything) {
    StartApp();
    const CPoint centre(400, 300);
    // From fit page: the kind stays fit page.
    const floatTMatrix fit = view->worldToDevice;
    view->ZoomAt(1e6f, &centre);
    EXPECT_EQ(SdBeepCount(), 1);
    EXPECT_EQ(view->zoomKind, ZOOM_FIT_PAGE);
    EXPECT_EQ(view->zoomTop, -1);
    EXPECT_TRUE(view->worldToDevice == fit);
    // From free zoom, and to an empty rectangle.
    view->ZoomAt(2, &centre);
    const floatTMatrix free = view->worldToDevice;
    const CRect empty(100, 100, 100, 300);
    view->ZoomToRect(&empty);
    view->ZoomAt(1e7f, &centre);
    EXPECT_EQ(SdBeepCount(), 3);
    EXPECT_EQ(view->zoomKind, ZOOM_FREE);
    EXPECT_EQ(view->zoomTop, 0);
    EXPECT_TRUE(view->worldToDevice == free);
}

TEST_F(SheetViewTest, ZoomToRectPutsTheRectanglesCornerAtTheWindowsCorner) {
    StartApp();
    floatPoint corner;
    view->ClientToWorld(300, 200, corner);
    const CRect band(300, 200, 400, 300);
    view->ZoomToRect(&band);
    EXPECT_EQ(view->zoomKind, ZOOM_FREE);
    // 100 px fitted into 600 - 10: a scale of 5.9.
    EXPECT_NEAR(view->worldToDevice.m11 / view->zoomHistory[0].matrix.m11, 5.9, 0.01);
    const CPoint at = Client(view, corner.x, corner.y);
    EXPECT_LE(std::abs(at.x), 1);
    EXPECT_LE(std::abs(at.y), 1);
    // One push for a zoom to a world box as well.
    view->ZoomToBox(floatBBox(50, 50, 100, 100));
    EXPECT_EQ(view->zoomTop, 1);
}

TEST_F(SheetViewTest, PageMarginGrowsBySixteenthsUpToItsLimit) {
    StartApp();
    std::vector<float> margins;
    for (int i = 0; i < 9; ++i) {
        Command(ID_SMALLER_PAGE);
        margins.push_back(view->pageMargin);
    }
    EXPECT_FLOAT_EQ(margins[0], 5.0f / 64);
    EXPECT_FLOAT_EQ(margins[1], 9.0f / 64);
    EXPECT_FLOAT_EQ(margins[7], 0.46875f);
    EXPECT_FLOAT_EQ(margins[8], 0.46875f);
}

TEST_F(SheetViewTest, RealSizeOnlyForSheetsUnder500mm) {
    for (float side : {499.0f, 500.0f}) {
        StartApp(side, 100);
        CMenu popup;
        popup.CreatePopupMenu();
        popup.AppendMenu(MF_STRING, ID_REAL_SIZE, "Real");
        popup.TrackPopupMenu(0, 0, 0, frame);
        EXPECT_EQ(sdtest::LastPopupMenu().items[0].state & MF_GRAYED,
                  side < 500 ? 0u : UINT(MF_GRAYED));
        frame->DestroyWindow();
        app.reset();
    }
}

TEST_F(SheetViewTest, AFreshProfileGivesAWhitePageWithShadowAndNoGrid) {
    StartApp();
    EXPECT_FALSE(SheetSettings::Grid);
    EXPECT_FALSE(SheetSettings::LineGrid);
    EXPECT_FALSE(SheetSettings::SnapToGrid);
    EXPECT_TRUE(view->guideLinesShown);
    EXPECT_FLOAT_EQ(SheetSettings::GridDens.x, 25);
    EXPECT_FLOAT_EQ(SheetSettings::GridDens.y, 25);
    EXPECT_EQ(SheetSettings::MouseSens, 3);
    EXPECT_EQ(SheetSettings::SnapProximity, 8);
    EXPECT_EQ(SheetSettings::BGColor, RGB(255, 255, 255));
    EXPECT_EQ(SheetSettings::GridColor, RGB(192, 192, 192));
    const SdGdiImage picture = ViewPicture();
    const CPoint topLeft = Client(view, 0, 297), bottomRight = Client(view, 210, 0);
    EXPECT_EQ(picture.at(400, 300), RGB(255, 255, 255));
    EXPECT_EQ(picture.at(5, 5), ::GetSysColor(COLOR_APPWORKSPACE));
    // The shadow: two pixels right of the page and below it.
    EXPECT_EQ(picture.at(bottomRight.x + 2, 300), RGB(0, 0, 0));
    EXPECT_EQ(picture.at(300, bottomRight.y + 2), RGB(0, 0, 0));
    EXPECT_EQ(picture.at(bottomRight.x + 5, 300), ::GetSysColor(COLOR_APPWORKSPACE));
    EXPECT_NE(picture.at(topLeft.x - 2, 300), RGB(0, 0, 0));
}

TEST_F(SheetViewTest, GridDotsKeepFourPickDistancesAndStartAtTheOrigin) {
    StartApp();
    SheetSettings::Grid = TRUE;
    SheetSettings::GridDens = floatPoint(1, 1);
    SheetSettings::GridOffs = floatPoint(10, 20);
    SheetSettings::MouseSens = 3;
    // 2 px per mm, the page's top-left corner at the window's.
    view->zoomKind = ZOOM_FREE;
    view->worldToDevice = floatTMatrix(2, 0, 0, -2, 0, 594);
    view->UpdateScrollSizes();
    view->Invalidate(TRUE);
    const SdGdiImage picture = ViewPicture();
    std::set<int> columns, rows;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.at(x, y) == SheetSettings::GridColor) {
                columns.insert(x);
                rows.insert(y);
            }
    ASSERT_FALSE(columns.empty());
    // Every 6 mm = 12 px from x = 10 mm (20 px); rows every 12 px up from y = 20 mm.
    EXPECT_EQ(*columns.begin(), 20);
    for (int x : columns)
        EXPECT_EQ((x - 20) % 12, 0) << x;
    EXPECT_EQ(*rows.rbegin(), 594 - 40);
    for (int y : rows)
        EXPECT_EQ((594 - 40 - y) % 12, 0) << y;
    EXPECT_LT(*columns.rbegin(), 420);
}

TEST_F(SheetViewTest, ZeroSpacingAndPickDistanceStayUsable) {
    StartApp();
    SheetSettings::Grid = TRUE;
    SheetSettings::GridDens = floatPoint(0, -1);
    SheetSettings::MouseSens = 0;
    view->Invalidate(TRUE);
    const SdGdiImage picture = ViewPicture(); // must end
    int dots = 0;
    for (COLORREF c : picture.pixels)
        dots += c == SheetSettings::GridColor;
    EXPECT_GT(dots, 0);
    EXPECT_LT(dots, 800 * 600 / 16);
}

TEST_F(SheetViewTest, OnlyTheFirstViewReadsTheSettingsAndEveryViewWritesThem) {
    StartApp();
    const std::string ini = (DataFolder() / "Application.ini").string();
    ::WritePrivateProfileStringA("SheetSettings", "MouseSens", "7", ini.c_str());
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(COleSheetView);
    context.m_pCurrentDoc = doc;
    auto* second =
        DYNAMIC_DOWNCAST(COleSheetView, frame->CreateView(&context, AFX_IDW_PANE_FIRST + 1));
    ASSERT_NE(second, nullptr);
    second->OnInitialUpdate();
    EXPECT_EQ(SheetSettings::MouseSens, 3);
    EXPECT_EQ(COleSheetView::initialisedViews, 2);
    SheetSettings::MouseSens = 5;
    second->DestroyWindow();
    EXPECT_EQ(::GetPrivateProfileIntA("SheetSettings", "MouseSens", 0, ini.c_str()), 5);
    SheetSettings::MouseSens = 6;
    frame->DestroyWindow();
    EXPECT_EQ(::GetPrivateProfileIntA("SheetSettings", "MouseSens", 0, ini.c_str()), 6);
}

TEST_F(SheetViewTest, TheSheetDialogStoresItsValuesOnOkOnly) {
    StartApp();
    SetDialogScript(IDD_SHEET_SIZE, [](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_STD_SHEETS), "A4");
        sdtest::Select(hwnd, IDC_STD_SHEETS, "A3");
        sdtest::Type(hwnd, IDC_GRID_DENSITY_X, "10");
        sdtest::Click(hwnd, IDOK);
    });
    Command(ID_SHEET_SETTINGS);
    EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 297);
    EXPECT_FLOAT_EQ(SheetSettings::DocHeight, 420);
    EXPECT_FLOAT_EQ(SheetSettings::GridDens.x, 10);
    SetDialogScript(IDD_SHEET_SIZE, [](HWND hwnd) {
        sdtest::Select(hwnd, IDC_STD_SHEETS, "A5");
        sdtest::Click(hwnd, IDCANCEL);
    });
    Command(ID_SHEET_SETTINGS);
    EXPECT_FLOAT_EQ(SheetSettings::DocWidth, 297);
}

TEST_F(SheetViewTest, TheMouseMovesTheRulerMarkersAndShowsItsPosition) {
    StartApp();
    sdtest::MouseMove(view->m_hWnd, 300, 200);
    EXPECT_EQ(frame->horizontalRuler.markerPos, 300);
    EXPECT_EQ(frame->verticalRuler.markerPos, 200);
    EXPECT_TRUE(frame->horizontalRuler.markerDrawn);
    floatPoint w;
    view->ClientToWorld(300, 200, w);
    char expected[64];
    std::snprintf(expected, sizeof expected, " %-6.2f, %-6.2f", double(w.x), double(w.y));
    EXPECT_EQ(frame->statusBar.GetPaneText(1), CString(expected));
    // The view's cursor shows over it.
    view->cursor = ::LoadCursorA(nullptr, IDC_SIZEALL);
    sdtest::MouseMove(view->m_hWnd, 310, 200);
    EXPECT_EQ(SdShownCursorId(), 32646u); // IDC_SIZEALL
}

TEST_F(SheetViewTest, AWorldBoxInvalidatesItsPixelsWithThePickDistance) {
    StartApp();
    view->UpdateWindow();
    const floatBBox box(100, 100, 110, 120);
    view->InvalidateWorldRect(&box, FALSE, 2);
    RECT update;
    ASSERT_TRUE(::GetUpdateRect(view->m_hWnd, &update, FALSE));
    const CPoint a = Client(view, 100, 120), b = Client(view, 110, 100);
    EXPECT_EQ(update.left, a.x - 5);
    EXPECT_EQ(update.top, a.y - 5);
    EXPECT_EQ(update.right, b.x + 5);
    EXPECT_EQ(update.bottom, b.y + 5);
}

TEST_F(SheetViewTest, PrintingFitsThePageToThePaperOrPrintsItAtRealSize) {
    StartApp(210, 297);
    SdInstallFakeSpooler();
    SdAddFakePrinter("Proof");
    SdGdiDescribePrinter("Proof", SdPrinterKind::Raster, SdPrinterPage{});
    {
        CDC printer;
        ASSERT_TRUE(printer.CreateDC("WINSPOOL", "Proof", nullptr, nullptr));
        printer.m_bPrinting = TRUE;
        CPrintInfo info;
        const int width = printer.GetDeviceCaps(HORZRES), height = printer.GetDeviceCaps(VERTRES);
        const double pxPerMm = double(width) / printer.GetDeviceCaps(HORZSIZE);
        view->OnPrepareDC(&printer, &info);
        float x0 = 0, y0 = 297, x1 = 210, y1 = 0;
        view->printMatrix.Transform(x0, y0);
        view->printMatrix.Transform(x1, y1);
        // Top-left corner up, the page filling the paper's smaller fit, y pointing down.
        EXPECT_NEAR(x0, 0, 1);
        EXPECT_NEAR(y0, 0, 1);
        EXPECT_LE(x1, width);
        EXPECT_LE(y1, height);
        EXPECT_TRUE(std::fabs(x1 - (width - 1)) < 1.5 || std::fabs(y1 - (height - 1)) < 1.5);
        view->printFitToPage = FALSE;
        view->OnPrepareDC(&printer, &info);
        float x2 = 210, y2 = 0;
        view->printMatrix.Transform(x2, y2);
        EXPECT_NEAR(x2, 210 * pxPerMm, 1);
    }
    SdRemoveFakeSpooler();
}

TEST_F(SheetViewTest, JunkSheetSettingsGiveUsableValues) {
    const std::string ini = (DataFolder() / "Application.ini").string();
    ::WritePrivateProfileStringA("SheetSettings", "GridDens.x", "abc", ini.c_str());
    ::WritePrivateProfileStringA("SheetSettings", "GridDens.y", "-3", ini.c_str());
    ::WritePrivateProfileStringA("SheetSettings", "GridOffs.x", "1e999", ini.c_str());
    ::WritePrivateProfileStringA("SheetSettings", "MouseSens", "junk", ini.c_str());
    ::WritePrivateProfileStringA("SheetSettings", "Grid", "1", ini.c_str());
    StartApp();
    EXPECT_FLOAT_EQ(SheetSettings::GridDens.x, 25);
    EXPECT_FLOAT_EQ(SheetSettings::GridDens.y, 25);
    EXPECT_FLOAT_EQ(SheetSettings::GridOffs.x, 0);
    EXPECT_EQ(SheetSettings::UsableMouseSens(), 1);
    const SdGdiImage picture = ViewPicture(); // the grid is drawn, and the repaint ends
    EXPECT_NE(std::count(picture.pixels.begin(), picture.pixels.end(), SheetSettings::GridColor),
              0);
}
