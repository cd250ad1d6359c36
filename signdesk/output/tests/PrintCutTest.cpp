// Cutting printed copies through a bound cutter: the worked example's calibration into an
// HP-GL file, refusals of contours past the cutter and an abort between copies.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include <pathkit/AbortHandler.h>
#include <plot/Plotter.h>
#include <shell/BoxTransforms.h>
#include <testing/DibCanvas.h>
#include <testing/FakeSpooler.h>

#include "OutputFixture.h"
#include "output/PrintCut.h"

namespace {

struct Step {
    long a, b;
};

class PrintCutTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        saved = DRV;
        devices = (DataFolder() / "Devices.ini").string();
        output = (DataFolder() / "cut.plt").string();
        // An HP-GL cutter writing absolute coordinates into a file.
        std::ofstream(devices) << "[Test HP-GL]\nDriver=cutdrv-coral.dll\nDevice=" << output
                               << "\nStepSize=0.025\nMaxX=5000\nMaxY=610\nPageSize=0\n"
                                  "NumberOfPens=1\nAbsoluteCoords=1\nAccuracy=0.1\nToolOffset=0\n"
                                  "PlotSpeed=400\nCutSpeed=200\nInitialize=IN;\nPlotInit=SP1;\n"
                                  "CutInit=SP1;\nSelectPen=SP#;\nSetSpeed=VS#;\nReset=IN;\n"
                                  "End=PU;SP0;\nMoveRel=PU#,#;\nLineRel=PD#,#;\nBezier=\n"
                                  "SetOrigin=\nSetDepth=\nGetPlottingArea=\nGetHeadPos=\n"
                                  "MuliplePoints=0\nisGPGL=0\nOrigoPos=0\nSwapXY=0\nMirrorToX=0\n"
                                  "MirrorToY=0\nUseAutoSync=0\n";
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved;
        OutputTest::TearDown();
    }
    void WorkedExample() {
        Options(10, 5, 1, 1);
        design.AddRect(0, 0, 80, 40, RGB(0, 0, 0), true);
        design.x = design.y = 10;
        design.copies = 2;
        design.gap = 5;
        engine->Attach(&design);
        engine->UpdateLayout(1);
        outlines = Path();
        lines = Path();
        design.GetCutContours(outlines, lines);
        engine->outlinePaths = &outlines;
        engine->linePaths = &lines;
    }
    floatTMatrix WorkedFit() {
        floatPoint t[3];
        DefaultRegistrationPoints(*engine, t);
        floatPoint m[3] = {{29.7f, 70}, {30, 20}, {215, 21.1f}};
        floatTMatrix fit;
        EXPECT_TRUE(MatrixFromThreePoints(fit, t[0], t[1], t[2], m[0], m[1], m[2]));
        return fit;
    }
    CutReport Cut(const floatTMatrix& calibration, bool ask, AbortHandler* handler = nullptr,
                  int sheet = 0) {
        EXPECT_EQ(DRV.Attach("cutdrv-coral.dll", "Test HP-GL", devices.c_str(), handler), 0);
        DRV.headX = DRV.headY = 0;
        DRV.Init(1);
        DRV.HPStart();
        DRV.HPEnd();
        DRV.Start(1);
        DRV.SetSpeed(1);
        CutReport r = CutSheetCopies(DRV, *engine, calibration, sheet, ask);
        if (!DRV.aborted) DRV.End();
        DRV.Exit();
        DRV.Detach();
        return r;
    }
    // The points of the PU and PD commands, in the file's order (HP-GL X first).
    std::vector<Step> Points(const char* command) {
        std::ifstream in(output);
        std::stringstream s;
        s << in.rdbuf();
        std::string text = s.str();
        std::vector<Step> out;
        std::regex re(std::string(command) + "(-?[0-9]+),(-?[0-9]+);");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re);
             it != std::sregex_iterator(); ++it)
            out.push_back(Step{std::stol((*it)[1]), std::stol((*it)[2])});
        return out;
    }
    static bool Has(const std::vector<Step>& pts, long first, long second) {
        // The cutter's X is the plot library's second coordinate.
        for (const Step& p : pts)
            if (std::labs(p.a - second) <= 1 && std::labs(p.b - first) <= 1) return true;
        return false;
    }

    Plotter saved;
    std::string devices, output;
    Path outlines, lines;
    FakeSpooler spooler; // no printers: the device is a file
};

class AbortAfter : public AbortHandler {
public:
    explicit AbortAfter(int polls) : left(polls) {}
    void CheckAbort() override {
        if (--left <= 0) aborted = DRV.aborted = 1;
    }
    int left;
};

} // namespace

TEST_F(PrintCutTest, WorkedExampleCutsEveryCornerThroughTheCalibration) {
    WorkedExample();
    floatTMatrix fit = WorkedFit();
    CutReport r = Cut(fit, true);
    EXPECT_EQ(r.result, CutResult::Done);
    EXPECT_EQ(r.copiesCut, 2);
    std::vector<Step> all = Points("PU");
    std::vector<Step> down = Points("PD");
    all.insert(all.end(), down.begin(), down.end());
    // The second copy's top-left corner, page (110, 15), is (5199, 1024) steps.
    EXPECT_TRUE(Has(all, 5199, 1024));
    // Every corner of both copies, mapped by the fit.
    const float pages[8][2] = {{15, 15},  {95, 15},  {95, 55},  {15, 55},
                               {110, 15}, {190, 15}, {190, 55}, {110, 55}};
    for (const auto& p : pages) {
        float x = p[0], y = p[1];
        fit.Transform(x, y);
        long sx = long(std::floor(x / 0.025f + 0.5f)), sy = long(std::floor(y / 0.025f + 0.5f));
        EXPECT_TRUE(Has(all, sx, sy)) << p[0] << "," << p[1] << " -> " << sx << "," << sy;
    }
}

TEST_F(PrintCutTest, TwoSyncMarksCutFromTheFirstMark) {
    WorkedExample();
    engine->syncMarks = 2;
    engine->UpdateLayout(1);
    Cut(floatTMatrix(), false);
    std::vector<Step> all = Points("PD");
    // The first copy's design corner (15, 15) lies 5 mm from the block's corner (10, 10).
    EXPECT_TRUE(Has(all, 200, 200));
    EXPECT_TRUE(Has(all, 200 + 3200, 200 + 1600));
}

TEST_F(PrintCutTest, ContoursPastTheCutterAreAskedAbout) {
    WorkedExample();
    floatTMatrix far(1, 0, 0, 1, 0, 5000); // 5 m along: past MaxY
    PushMessageBoxAnswer(IDNO);
    CutReport r = Cut(far, true);
    EXPECT_EQ(r.result, CutResult::NothingCut);
    EXPECT_TRUE(Points("PD").empty());
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("past the cutter"), std::string::npos);
}

TEST_F(PrintCutTest, AnAbortStopsBetweenCopiesAndSaysWhere) {
    WorkedExample();
    AbortAfter handler(2);
    CutReport r = Cut(WorkedFit(), false, &handler);
    EXPECT_EQ(r.result, CutResult::Aborted);
    EXPECT_LT(r.copiesCut, 2);
    EXPECT_EQ(r.copiesOnSheet, 2);
}

// 10 copies of 55 x 100 mm without marks lie 3 x 2 on a sheet: the first sheet cuts six, the
// second the four left, in the first four cells; a third sheet has none.
TEST_F(PrintCutTest, EachSheetCutsItsOwnCopies) {
    Options(10, 5, 0, 0);
    design.AddRect(0, 0, 55, 100, RGB(0, 0, 0), true);
    design.x = design.y = 10;
    design.copies = 10;
    design.gap = 5;
    engine->Attach(&design);
    engine->UpdateLayout(1);
    design.GetCutContours(outlines, lines);
    engine->outlinePaths = &outlines;
    engine->linePaths = &lines;
    ASSERT_EQ(engine->columnsPerPage, 3);
    ASSERT_EQ(engine->rowsPerPage, 2);
    // Top-left corners of the six cells, in steps of 0.025 mm.
    const long cells[6][2] = {{400, 400},  {2800, 400},  {5200, 400},
                              {400, 4600}, {2800, 4600}, {5200, 4600}};
    struct Case {
        int sheet, cut;
        CutResult result;
    } cases[] = {{0, 6, CutResult::Done}, {1, 4, CutResult::Done}, {2, 0, CutResult::NothingCut}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sheet);
        std::remove(output.c_str());
        CutReport r = Cut(floatTMatrix(), false, nullptr, c.sheet);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.copiesCut, c.cut);
        EXPECT_EQ(r.copiesOnSheet, c.cut);
        std::vector<Step> all = Points("PU");
        std::vector<Step> down = Points("PD");
        all.insert(all.end(), down.begin(), down.end());
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Has(all, cells[i][0], cells[i][1]), i < c.cut) << "cell " << i;
        // The cut page's preview shows the same copies.
        DibCanvas canvas(300, 400);
        RECT rect{0, 0, 300, 400};
        design.draws = 0;
        design.onDraw = [](int) {}; // counts the drawings
        engine->PaintPreview(&canvas.dc, rect, nullptr, c.sheet);
        EXPECT_EQ(design.draws, c.cut);
    }
}

TEST(PrintCut, JogStepsReadingsAndChecks) {
    EXPECT_EQ(JogStep(0.025f, false, false), 400);
    EXPECT_EQ(JogStep(0.025f, true, false), 40);
    EXPECT_EQ(JogStep(0.025f, true, true), 4);
    EXPECT_EQ(JogStep(0, false, false), 0);
    EXPECT_EQ(JogTo(100, -400, 1000000), 0);
    EXPECT_EQ(JogTo(999900, 400, 1000000), 1000000);
    floatPoint laser = HeadReading(1188, 2800, 0.025f, true, 20, -3);
    EXPECT_NEAR(laser.x, 49.7, 1e-4);
    EXPECT_NEAR(laser.y, 67, 1e-4);

    const floatPoint t[3] = {{0, 100}, {0, 0}, {100, 0}};
    struct Case {
        floatPoint m[3];
        bool laser;
        int want;
    } cases[] = {
        {{{0, 100}, {0, 0}, {100, 0}}, false, 0},
        {{{0, 97.5f}, {0, 0}, {97.5f, 0}}, false, 0}, // ratio 0.975 passes
        {{{0, 96.9f}, {0, 0}, {100, 0}}, false, 382}, // asks
        {{{0, 100}, {-1, -1}, {100, 0}}, false, 381}, // never recorded
        {{{15, 100}, {25, 0}, {120, 0}}, true, 381},  // x below the laser offset 20
        {{{0, 0}, {50, 0}, {100, 0}}, false, 380},    // collinear
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckCalibration(t, c.m, c.laser, 20, 0), c.want);
}
