// The view on the screen: page, objects layer by layer, guide lines, marked box, font-editing
// guides, and the off-screen bands the content is painted through.

#include <cmath>

#include <mfc/CWaitCursor.h>
#include <sheet/SheetSettings.h>
#include <testing/DibCanvas.h>

#include "SignViewTestSupport.h"
#include "view/FontEditLayout.h"
#include "view/SignViewHooks.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGuide = RGB(192, 192, 192); // the grid colour NOTXOR'ed on white paper

// Counts its paints: a group-like object on the mixed layer.
class CountingObj : public CSignObj {
public:
    signed char GetLayer() override { return NO_LAYER; }
    void Paint(CDC*, const floatTMatrix&, int, int layer, int) override { layers.push_back(layer); }
    std::vector<int> layers;
};

// The clean-up sheet open on its alignment page.
struct AligningSheet : ViewToolWindow {
    BOOL Create(CSignView*) override { return TRUE; }
    BOOL IsOpen() const override { return TRUE; }
    void Destroy() override {}
    BOOL GetAlignmentLine(BOOL& horizontal, float& value) const override {
        horizontal = TRUE;
        value = 300;
        return TRUE;
    }
};

class SignViewPaintTest : public SignViewTest {
protected:
    void TearDown() override {
        ViewHooks() = SignViewHooks{};
        SignViewTest::TearDown();
    }
};

} // namespace

TEST_F(SignViewPaintTest, PageShadowAndObjectsAtTheirPlacesWhoeverDrawsThePage) {
    StartApp(1000, 600);
    AddSquare(100, 100, 100, RGB(255, 0, 0));
    AddSquare(600, 300, 100, RGB(0, 0, 255), 5);
    for (BOOL ownPage : {FALSE, TRUE}) {
        SCOPED_TRACE(ownPage ? "the view's own page" : "the framework's page");
        CSignDoc::OwnPage = ownPage;
        const SdGdiImage pic = Picture();
        const CPoint lb = Client(0, 0), rt = Client(1000, 600);
        ASSERT_GT(lb.x, 4);
        ASSERT_GT(rt.y, 4);
        const int midY = (lb.y + rt.y) / 2;
        EXPECT_EQ(pic.at(lb.x - 4, midY), ::GetSysColor(COLOR_APPWORKSPACE));
        EXPECT_EQ(pic.at(Client(500, 500).x, Client(500, 500).y), kWhite);
        EXPECT_EQ(pic.at(rt.x + 2, midY), RGB(0, 0, 0));
        EXPECT_EQ(pic.at((lb.x + rt.x) / 2, lb.y + 2), RGB(0, 0, 0));
        EXPECT_EQ(pic.at(Client(150, 150).x, Client(150, 150).y), RGB(255, 0, 0));
        EXPECT_EQ(pic.at(Client(650, 350).x, Client(650, 350).y), RGB(0, 0, 255));
        // Just outside the first square: paper.
        EXPECT_EQ(pic.at(Client(95, 150).x, Client(95, 150).y), kWhite);
    }
}

TEST_F(SignViewPaintTest, HiddenLayersAreNotPainted) {
    StartApp();
    AddSquare(400, 200, 100, RGB(0, 160, 0), 2);
    const CPoint c = Client(450, 250);
    EXPECT_EQ(Picture().at(c.x, c.y), RGB(0, 160, 0));
    doc->m_sheet.SetLayerVisible(2, FALSE);
    EXPECT_EQ(Picture().at(c.x, c.y), kWhite);
}

TEST_F(SignViewPaintTest, MixedLayerObjectPaintedOncePerShownLayerThatHoldsObjects) {
    StartApp();
    AddSquare(10, 10, 10, RGB(1, 1, 1), 1);
    AddSquare(30, 10, 10, RGB(2, 2, 2), 3);
    auto* counting = new CountingObj;
    doc->m_sheet.Add(counting);
    doc->m_sheet.CountLayerObjects();
    DibCanvas canvas(100, 100);

    view->DrawSheetObjects(&canvas.dc, view->worldToDevice, 0);
    EXPECT_EQ(counting->layers, (std::vector<int>{1, 3}));

    counting->layers.clear();
    doc->m_sheet.SetLayerVisible(3, FALSE);
    view->DrawSheetObjects(&canvas.dc, view->worldToDevice, 0);
    EXPECT_EQ(counting->layers, (std::vector<int>{1}));
}

TEST_F(SignViewPaintTest, GuideLinesSkipTheOneBeingEdited) {
    StartApp();
    view->guideLinesShown = TRUE;
    *doc->m_guideLines.Append() = GuideLine{500, 300, 3.14159265358979 / 2};
    *doc->m_guideLines.Append() = GuideLine{200, 100, 0};
    const CPoint vertical = Client(500, 450), horizontal = Client(700, 100);

    SdGdiImage pic = Picture();
    EXPECT_EQ(pic.at(vertical.x, vertical.y), kGuide);
    EXPECT_EQ(pic.at(horizontal.x, horizontal.y), kGuide);

    view->editedGuideLine = 0;
    pic = Picture();
    EXPECT_EQ(pic.at(vertical.x, vertical.y), kWhite);
    EXPECT_EQ(pic.at(horizontal.x, horizontal.y), kGuide);

    view->guideLinesShown = FALSE;
    pic = Picture();
    EXPECT_EQ(pic.at(horizontal.x, horizontal.y), kWhite);
}

TEST_F(SignViewPaintTest, MarkedBoxDrawnTwiceRestoresTheSurface) {
    StartApp();
    DibCanvas canvas(800, 600);
    canvas.Clear(kWhite);
    const SdGdiImage before = canvas.Read();
    view->markedBox = floatBBox(100, 100, 400, 400);

    view->DrawMarkedBox(&canvas.dc, view->worldToDevice);
    const SdGdiImage drawn = canvas.Read();
    // The middle of the bottom edge; the centre, where the diagonals cross, twice inverted.
    const CPoint edge = Client(250, 100), centre = Client(250, 250);
    EXPECT_EQ(drawn.at(edge.x, edge.y), RGB(0, 0, 0));
    EXPECT_EQ(drawn.at(centre.x, centre.y), kWhite);
    EXPECT_NE(drawn.pixels, before.pixels);

    view->DrawMarkedBox(&canvas.dc, view->worldToDevice);
    EXPECT_EQ(canvas.Read().pixels, before.pixels);
}

TEST_F(SignViewPaintTest, MarkedBoxShownByItsFlagAndSetAtTheFirstUpdate) {
    StartApp(1000, 600);
    // The middle half of the page.
    EXPECT_FLOAT_EQ(view->markedBox.left, 250);
    EXPECT_FLOAT_EQ(view->markedBox.right, 750);
    EXPECT_FLOAT_EQ(view->markedBox.bottom, 150);
    EXPECT_FLOAT_EQ(view->markedBox.top, 450);
    EXPECT_EQ(view->markedBoxShown, 0);
    const CPoint edge = Client(500, 150);
    EXPECT_EQ(Picture().at(edge.x, edge.y), kWhite);
    view->markedBoxShown = 1;
    EXPECT_EQ(Picture().at(edge.x, edge.y), RGB(0, 0, 0));
}

TEST_F(SignViewPaintTest, FontEditingGuidesBaseLineThreePixelsWide) {
    StartApp(620, 300);
    const SdGdiImage plain = Picture();
    doc->m_bFontEditing = 1;
    const SdGdiImage pic = Picture();
    // Between two cell lines, away from the dotted verticals.
    const CPoint base = Client(60, FontEditLayout::A), cap = Client(60, FontEditLayout::B);
    int baseRows = 0, capRows = 0;
    for (int dy = -4; dy <= 4; ++dy) {
        baseRows += pic.at(base.x, base.y + dy) == kGuide;
        capRows += pic.at(cap.x, cap.y + dy) == kGuide;
    }
    EXPECT_EQ(baseRows, 3);
    EXPECT_EQ(capRows, 1);
    EXPECT_EQ(plain.at(base.x, base.y), kWhite);
    // The first cell line runs from B down to A at x = D.
    const CPoint cell = Client(FontEditLayout::D, 150);
    int cellPixels = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -6; dy <= 6; ++dy)
            cellPixels += pic.at(cell.x + dx, cell.y + dy) == kGuide;
    EXPECT_GT(cellPixels, 0);
    EXPECT_LT(cellPixels, 13); // dotted
}

// ---- bands ----

TEST(SignViewBands, RowsPerBandKeepEveryBandWithinAMegabyteAndAtLeastOneRow) {
    struct Case {
        int w, h, rows;
    };
    for (const Case& c :
         {Case{1000, 349, 349}, Case{1000, 350, 349}, Case{800, 600, 436}, Case{349525, 1, 1},
          Case{349526, 2, 1}, Case{400000, 3, 1}, Case{0, 10, 0}, Case{10, 0, 0}}) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_EQ(CSignView::BandRows(c.w, c.h), c.rows);
    }
}

TEST_F(SignViewPaintTest, ClipBoxesSplitIntoBandsFromTheTop) {
    StartApp();
    LoggingMode* mode = InstallLoggingMode();
    {
        DibCanvas canvas(1000, 349);
        view->PaintBanded(&canvas.dc);
        EXPECT_EQ(mode->bands, (std::vector<CRect>{CRect(0, 0, 1000, 349)}));
    }
    mode->bands.clear();
    {
        DibCanvas canvas(1000, 350);
        view->PaintBanded(&canvas.dc);
        EXPECT_EQ(mode->bands,
                  (std::vector<CRect>{CRect(0, 0, 1000, 349), CRect(0, 349, 1000, 350)}));
    }
    mode->bands.clear();
    {
        // Wider than a band's bytes: one row at a time, and the paint ends.
        DibCanvas canvas(400000, 3);
        view->PaintBanded(&canvas.dc);
        EXPECT_EQ(mode->bands.size(), 3u);
    }
}

TEST_F(SignViewPaintTest, BandedPaintMatchesOnePaintAcrossTheSeam) {
    StartApp();
    // One pixel a millimetre, y up from the canvas's bottom row.
    view->worldToDevice = floatTMatrix(1, 0, 0, -1, 0, 350);
    AddSquare(100, 0, 200, RGB(200, 30, 30));
    AddSquare(500, -20, 60, RGB(20, 30, 200));
    DibCanvas banded(1000, 350), whole(1000, 350);
    view->PaintBanded(&banded.dc);
    view->DrawSheetBackground(&whole.dc, &view->worldToDevice);
    view->DrawContent(&whole.dc, &view->worldToDevice);
    EXPECT_EQ(banded.Read().pixels, whole.Read().pixels);
    EXPECT_EQ(banded.Read().at(150, 349), RGB(200, 30, 30));
    EXPECT_EQ(banded.Read().at(150, 348), RGB(200, 30, 30));
}

TEST_F(SignViewPaintTest, BandWithoutMemoryIsSkippedAndThePaintGoesOn) {
    StartApp();
    view->worldToDevice = floatTMatrix(1, 0, 0, -1, 0, 350);
    AddSquare(0, 0, 400, RGB(200, 30, 30));
    LoggingMode* mode = InstallLoggingMode();
    DibCanvas canvas(1000, 350);
    canvas.Clear(RGB(1, 2, 3));
    const long skipped = CSignView::SkippedBands;
    SdGdiFailCall("CreateDIBSection", 1);
    view->PaintBanded(&canvas.dc);
    SdGdiClearFailures();
    EXPECT_EQ(CSignView::SkippedBands, skipped + 1);
    EXPECT_EQ(mode->bands, (std::vector<CRect>{CRect(0, 349, 1000, 350)}));
    const SdGdiImage pic = canvas.Read();
    EXPECT_EQ(pic.at(100, 100), RGB(1, 2, 3));
    EXPECT_EQ(pic.at(100, 349), RGB(200, 30, 30));
}

TEST_F(SignViewPaintTest, EmptyClipBoxPaintsNothing) {
    StartApp();
    LoggingMode* mode = InstallLoggingMode();
    DibCanvas canvas(100, 100);
    ::IntersectClipRect(canvas.dc.m_hDC, 10, 10, 10, 10);
    view->PaintBanded(&canvas.dc);
    EXPECT_TRUE(mode->bands.empty());
}

TEST_F(SignViewPaintTest, CleanupSheetsAlignmentLineInXorOnTheScreenOnly) {
    ViewHooks().cleanupSheet = [](CSignView&) { return std::make_unique<AligningSheet>(); };
    StartApp();
    const CPoint on = Client(500, 300);
    // White paper XOR yellow.
    EXPECT_EQ(Picture().at(on.x, on.y), RGB(0, 0, 255));
    CSignDoc::OwnPage = TRUE;
    EXPECT_EQ(Picture().at(on.x, on.y), kWhite);
}

TEST_F(SignViewPaintTest, WaitCursorWhilePaintingUnlessTheViewHoldsTheMouse) {
    StartApp();
    LoggingMode* mode = InstallLoggingMode();
    Picture();
    ASSERT_FALSE(mode->waitCursors.empty());
    EXPECT_EQ(mode->waitCursors.back(), 1);
    view->SetCapture();
    mode->waitCursors.clear();
    Picture();
    ::ReleaseCapture();
    ASSERT_FALSE(mode->waitCursors.empty());
    EXPECT_EQ(mode->waitCursors.back(), 0);
    EXPECT_EQ(SdWaitCursorCount(), 0);
}
