// Print-and-cut from end to end: a star and a square marked for cutting are printed with three
// registration marks and cut on a sheet moved on the cutter. Taken back through the sheet's
// placement, every cut point lies on a printed edge and every printed edge on the cut.
#include <gtest/gtest.h>

#include <cmath>

#include "PrintAndCutRun.h"

namespace {

class PrintAndCutEndToEndTest : public PrintAndCutRun {
protected:
    void SetUp() override {
        PrintAndCutRun::SetUp();
        // A ten-pointed star and a square, two copies.
        SourcePath star;
        for (int i = 0; i <= 10; ++i) {
            double a = M_PI / 2 + i * M_PI / 5, r = (i % 2) ? 12 : 30;
            float x = float(30 + r * std::cos(a)), y = float(30 + r * std::sin(a));
            if (i == 0)
                star.path.Append(PC_MOVETO, x, y);
            else
                star.path.Append(x, y);
        }
        star.path.ClosePath();
        star.cut = true;
        design.paths.push_back(std::move(star));
        design.AddRect(70, 5, 110, 55, RGB(0, 0, 0), true);
        LayOut();
    }

    void Run(bool laser) {
        PrintCalibrateCut(laser);
        ASSERT_GT(cut.size(), 20u);
        int off = 0;
        for (const CutPoint& p : cut)
            if (OnPage(p) && !OnPrintedEdge(p.x, p.y, 0.2)) ++off;
        EXPECT_EQ(off, 0);
        // Only the designs' edges, not the marks between the copies.
        auto edges = InkEdges(15, 15, 190, 55, [](float x, float) { return !(x > 95 && x < 110); });
        EXPECT_GT(edges.size(), 50u);
        int far = 0;
        for (const floatPoint& e : edges)
            if (DistanceToCut(e.x, e.y) > 0.2 + 0.5 / px) ++far;
        EXPECT_EQ(far, 0);
    }
};

} // namespace

TEST_F(PrintAndCutEndToEndTest, CutsThePrintedShapesOnAMovedSheet) {
    Run(false);
}

TEST_F(PrintAndCutEndToEndTest, CutsThePrintedShapesWithTheLaserPointer) {
    Run(true);
}
