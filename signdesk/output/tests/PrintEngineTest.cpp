// The print engine: the layout of copies and tiles, marks and the printed pages.
#include <gtest/gtest.h>

#include <cmath>

#include <pathkit/Path.h>
#include <shell/BoxTransforms.h>

#include "OutputFixture.h"
#include "output/PrintCut.h"
#include "output/PrintRun.h"

namespace {

class PrintEngineTest : public OutputTest {
protected:
    // The design of the hand-checked example: an 80 x 40 box, two copies, gap 5, at (10, 10),
    // margins 10, marks 5 mm off, crop marks and three registration marks.
    void WorkedExample() {
        Options(10, 5, 1, 1);
        design.AddRect(0, 0, 80, 40, RGB(0, 0, 0), true);
        design.x = 10;
        design.y = 10;
        design.copies = 2;
        design.gap = 5;
        engine->Attach(&design);
        engine->UpdateLayout(1);
    }
    // Where a design point lands on the page for each copy of page 0.
    std::vector<floatPoint> Placed(float x, float y, int page = 0) {
        std::vector<floatPoint> out;
        engine->ForEachCopy(page, [&](const floatTMatrix& m) {
            float px = x, py = y;
            (engine->designMatrix * m).Transform(px, py);
            out.emplace_back(px, py);
        });
        return out;
    }
};

void ExpectNear(const floatPoint& p, float x, float y, float tol = 0.001f) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}

} // namespace

TEST_F(PrintEngineTest, WorkedExampleLaysOutTwoCopiesWithTheirMarks) {
    WorkedExample();
    EXPECT_FLOAT_EQ(engine->mediaWidth, 210);
    EXPECT_FLOAT_EQ(engine->GetCopyMargin(), 5);
    EXPECT_EQ(engine->columnsPerPage, 2);
    EXPECT_EQ(engine->rowsPerPage, 1);
    EXPECT_FLOAT_EQ(engine->blockWidth, 185);
    EXPECT_FLOAT_EQ(engine->blockHeight, 50);
    EXPECT_EQ(engine->GetPageCount(), 1);
    // The design's top-left and bottom-right corners (y up in the design).
    auto topLeft = Placed(0, 40);
    auto bottomRight = Placed(80, 0);
    ASSERT_EQ(topLeft.size(), 2u);
    ExpectNear(topLeft[0], 15, 15);
    ExpectNear(bottomRight[0], 95, 55);
    ExpectNear(topLeft[1], 110, 15);
    ExpectNear(bottomRight[1], 190, 55);
    floatPoint marks[3];
    DefaultRegistrationPoints(*engine, marks);
    ExpectNear(marks[0], 10, 60);
    ExpectNear(marks[1], 10, 10);
    ExpectNear(marks[2], 195, 10);
}

TEST_F(PrintEngineTest, WorkedExamplePrintsDesignsCropAndSyncMarks) {
    WorkedExample();
    CDC& dc = Printer("Raster");
    ASSERT_EQ(PrintPages(dc, *engine, "Raster", "sign", false), PrintRunResult::Printed);
    ReleasePrinter();
    auto pages = SdGdiPrintedPages();
    ASSERT_EQ(pages.size(), 1u);
    const SdGdiImage& img = pages[0].image;
    const double px = double(img.width) / 210.0;
    auto at = [&](double xmm, double ymm) { return img.at(int(xmm * px), int(ymm * px)); };
    // The designs, filled; white between and round them.
    EXPECT_EQ(at(55, 35), RGB(0, 0, 0));
    EXPECT_EQ(at(150, 35), RGB(0, 0, 0));
    EXPECT_FALSE(Ink(at(102.5, 35)));
    EXPECT_FALSE(Ink(at(5, 5)));
    // Crop marks: arms of 5 mm from each corner of (10, 10)-(100, 60) and (105, 10)-(195, 60);
    // sync marks of 10 mm at (10, 60), (10, 10) and (195, 10).
    EXPECT_TRUE(Ink(at(12, 10.05)));
    EXPECT_TRUE(Ink(at(98, 10.05)));
    EXPECT_TRUE(Ink(at(107, 10.05)));
    EXPECT_TRUE(Ink(at(10.05, 58)));
    EXPECT_TRUE(Ink(at(18, 59.95))); // a sync arm past the crop arm's 5 mm
    EXPECT_TRUE(Ink(at(10.05, 18)));
    EXPECT_TRUE(Ink(at(194.95, 18)));
    EXPECT_FALSE(Ink(at(18, 64)));
    // The pen is 2 pixels wide at 300 dpi.
    int y0 = int(35 * px);
    int x = int(12 * px);
    int rows = 0;
    for (int y = int(9 * px); y < int(11 * px); ++y)
        if (Ink(img.at(x, y))) ++rows;
    EXPECT_EQ(rows, 2);
    (void)y0;
}

TEST_F(PrintEngineTest, WorkedExampleCalibrationCutsThroughTheFit) {
    WorkedExample();
    floatPoint targets[3];
    DefaultRegistrationPoints(*engine, targets);
    const float step = 0.025f;
    floatPoint measured[3] = {HeadReading(1188, 2800, step, false, 0, 0),
                              HeadReading(1200, 800, step, false, 0, 0),
                              HeadReading(8600, 844, step, false, 0, 0)};
    ExpectNear(measured[0], 29.7f, 70);
    ExpectNear(measured[2], 215, 21.1f);
    EXPECT_EQ(CheckCalibration(targets, measured, false, 0, 0), 0);
    EXPECT_NEAR(DistanceRatio(targets[0], targets[1], measured[0], measured[1]), 0.99998, 0.00002);
    floatTMatrix fit;
    ASSERT_TRUE(MatrixFromThreePoints(fit, targets[0], targets[1], targets[2], measured[0],
                                      measured[1], measured[2]));
    EXPECT_NEAR(fit.m11, 1, 1e-4);
    EXPECT_NEAR(fit.m21, -0.006, 1e-5);
    EXPECT_NEAR(fit.dx, 20.06, 1e-3);
    EXPECT_NEAR(fit.m12, 0.0059459, 1e-6);
    EXPECT_NEAR(fit.m22, 1, 1e-4);
    EXPECT_NEAR(fit.dy, 9.94054, 1e-3);
    // The second copy's top-left corner is page (110, 15).
    std::vector<floatTMatrix> cuts;
    engine->ForEachCopy(
        0, [&](const floatTMatrix& m) { cuts.push_back(CopyCutMatrix(*engine, m, fit, step)); });
    ASSERT_EQ(cuts.size(), 2u);
    float x = 0, y = 40;
    cuts[1].Transform(x, y);
    EXPECT_NEAR(x * step, 129.97, 0.002);
    EXPECT_NEAR(y * step, 25.5946, 0.002);
    EXPECT_EQ(std::lround(std::floor(x + 0.5f)), 5199);
    EXPECT_EQ(std::lround(std::floor(y + 0.5f)), 1024);
}

TEST_F(PrintEngineTest, LayoutUpdateTable) {
    struct Case {
        int copies;
        int columns, rows;
        float blockW, blockH;
    } cases[] = {
        {5, 3, 2, 160, 65}, // 7 rows would fit
        {1, 1, 1, 50, 30},
        {30, 3, 7, 160, 240}, // rows capped at trunc(252 / 35)
    };
    // A = 190, B = 247: margins 10 on a 210 x 267 page, the block at the margin corner.
    Options(10, 0, 0, 0);
    design.AddRect(0, 0, 50, 30);
    engine->Attach(&design);
    engine->mediaHeight = 267;
    engine->tiles.SetTileSize(190, 247);
    for (const Case& c : cases) {
        engine->copies = c.copies;
        engine->gap = 5;
        engine->xPosition = engine->yPosition = 10;
        engine->UpdateLayout(1);
        EXPECT_EQ(engine->columnsPerPage, c.columns) << c.copies;
        EXPECT_EQ(engine->rowsPerPage, c.rows) << c.copies;
        EXPECT_FLOAT_EQ(engine->blockWidth, c.blockW) << c.copies;
        EXPECT_FLOAT_EQ(engine->blockHeight, c.blockH) << c.copies;
    }
    // Copies 0: nothing changes.
    float w = engine->blockWidth;
    engine->copies = 0;
    engine->UpdateLayout(1);
    EXPECT_FLOAT_EQ(engine->blockWidth, w);
    EXPECT_EQ(engine->GetPageCount(), 0);
}

TEST_F(PrintEngineTest, MarksWidenTheCellAndPageCountFollowsTheGrid) {
    Options(0, 5, 0, 0);
    design.AddRect(0, 0, 50, 30);
    design.copies = 10;
    design.gap = 0;
    engine->Attach(&design);
    engine->UpdateLayout(1);
    EXPECT_FLOAT_EQ(engine->GetCopyMargin(), 0); // neither mark on
    EXPECT_EQ(engine->columnsPerPage, 4);        // 210 / 50
    engine->cropMarks = 1;
    engine->UpdateLayout(1);
    EXPECT_EQ(engine->columnsPerPage, 3); // 210 / 60
    EXPECT_EQ(engine->rowsPerPage, 4);    // ceil(10 / 3), 7 fit
    EXPECT_EQ(engine->GetPageCount(), 1);
    engine->copies = 13;
    engine->UpdateLayout(1);
    EXPECT_EQ(engine->rowsPerPage, 5);
    EXPECT_EQ(engine->GetPageCount(), 1);
    engine->copies = 30; // 3 x 7 a page
    engine->UpdateLayout(1);
    EXPECT_EQ(engine->GetPageCount(), 2);
    // The last page holds what is left.
    int onLast = engine->ForEachCopy(1, [](const floatTMatrix&) {});
    EXPECT_EQ(onLast, 9);
}

TEST_F(PrintEngineTest, SyncMarkTableAndScaleTwoCropMarks) {
    struct Case {
        int sync;
        int marks;
    } cases[] = {{0, 0}, {1, 3}, {2, 2}, {3, 0}};
    design.AddRect(0, 0, 40, 20);
    for (const Case& c : cases) {
        Options(0, 5, 0, c.sync);
        engine->Attach(&design);
        engine->xPosition = engine->yPosition = 20;
        engine->UpdateLayout(1);
        HDC rec = SdCreateRecordingDC(2480, 3508);
        CDC dc;
        dc.Attach(rec);
        engine->DrawSyncMarks(&dc, floatTMatrix(10, 0, 0, 10, 0, 0));
        int moves = 0;
        for (const std::string& line : SdGdiCallLog(rec))
            if (line.rfind("MoveToEx", 0) == 0) ++moves;
        EXPECT_EQ(moves, c.marks) << c.sync;
        ::DeleteDC(dc.Detach());
    }
    // At scale 2 the crop marks still stand 5 mm off the design with 5 mm arms on paper.
    Options(0, 5, 1, 0);
    engine->Attach(&design);
    engine->SetScale(2);
    engine->UpdateLayout(1);
    HDC rec = SdCreateRecordingDC(2480, 3508);
    CDC dc;
    dc.Attach(rec);
    floatTMatrix copy;
    engine->ForEachCopy(0, [&](const floatTMatrix& m) { copy = m; });
    engine->DrawCropMarks(&dc, copy); // page millimetres, not printing
    auto log = SdGdiCallLog(rec);
    ASSERT_GE(log.size(), 3u);
    // The first mark: the block starts at (0, 0), the design 5 mm in at (5, 5)-(85, 45); its
    // corner (x0, y1) lies 5 mm off the design's far corner on paper, arms 5 mm.
    std::vector<std::string> lines;
    for (const std::string& l : log)
        if (l.rfind("MoveToEx", 0) == 0 || l.rfind("LineTo", 0) == 0) lines.push_back(l);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "MoveToEx(5,50)");
    EXPECT_EQ(lines[1], "LineTo(0,50)");
    EXPECT_EQ(lines[2], "LineTo(0,45)");
    ::DeleteDC(dc.Detach());
}

TEST_F(PrintEngineTest, DetailLevelsAndStoredValuesAreKeptInRange) {
    design.AddRect(0, 0, 40, 20);
    struct Case {
        const char* detail;
        int want;
    } cases[] = {{"0", 0}, {"3", 3}, {"7", 3}, {"-2", 0}};
    for (const Case& c : cases) {
        Set("General", "Detail", c.detail);
        engine->Attach(&design);
        EXPECT_EQ(engine->detail, c.want) << c.detail;
    }
    Set("General", "SyncMarks", "5");
    Set("General", "MarkerDist", "250");
    Set("General", "leftMargin", "-3");
    design.scale = std::nanf("");
    design.gap = -4;
    engine->Attach(&design);
    EXPECT_EQ(engine->syncMarks, 0);
    EXPECT_FLOAT_EQ(engine->markerDistance, 100);
    EXPECT_FLOAT_EQ(engine->leftMargin, 0);
    EXPECT_FLOAT_EQ(engine->scale, 1);
    EXPECT_FLOAT_EQ(engine->gap, 0);
    EXPECT_FLOAT_EQ(engine->designWidth, 40);
    design.scale = -2;
    engine->Attach(&design);
    EXPECT_FLOAT_EQ(engine->scale, 1);
}

TEST_F(PrintEngineTest, DefaultsWithoutAProfileEntry) {
    design.AddRect(0, 0, 40, 20);
    engine->Attach(&design);
    EXPECT_FLOAT_EQ(engine->leftMargin, 0);
    EXPECT_FLOAT_EQ(engine->markerDistance, 5);
    EXPECT_EQ(engine->cropMarks, 0);
    EXPECT_EQ(engine->syncMarks, 0);
    EXPECT_EQ(engine->detail, 1);
    EXPECT_EQ(engine->printAndCut, 0);
}
