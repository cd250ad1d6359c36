#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "CoralTest.h"

namespace {

// The knife's last direction survives from job to job, so each test first cuts one line to
// the right: afterwards the knife trails along +x whatever came before.
class DragKnifeTest : public CoralTest {
protected:
    std::string Cut(const std::string& toolOffset,
                    const std::function<void(PlotterDriver*)>& body) {
        PlotterDriver* d = Attach("ToolOffset=" + toolOffset +
                                  "\nMoveRel=M#,#;\nLineRel=L#,#;\nEnd=E;\nMaxX=100\nMaxY=100");
        Job(d, [](PlotterDriver* d) {
            d->MoveTo(100, 100);
            d->LineTo(200, 100);
        });
        return JobOutput(d, body);
    }
};

void Square(PlotterDriver* d) {
    d->MoveTo(1000, 1000);
    d->LineTo(2000, 1000);
    d->LineTo(2000, 2000);
    d->LineTo(1000, 2000);
    d->LineTo(1000, 1000);
}

// Offset 0.1 mm = 4 steps: each lane ends 4 steps beyond its corner, and the knife swivels
// around the corner through one point at 45 degrees (asin(3/4) allows 48.6 degrees a step).
TEST_F(DragKnifeTest, SquareGetsOvercutAndSwivelledCorners) {
    EXPECT_EQ(Cut("0.1", Square), "M1000,1000;"
                                  "L1004,0;"                // to (2004, 1000)
                                  "L-2,2;L-2,2;L0,1000;"    // (2002, 1002), (2000, 1004)
                                  "L-2,-2;L-2,-2;L-1000,0;" // (1998, 2002), (1996, 2000)
                                  "L2,-2;L2,-2;L0,-1000;"   // (998, 1998), (1000, 1996)
                                  "E;");
}

// Offset 20 steps: ceil((pi/2) / asin(3/20)) - 1 = 10 points between the lanes.
TEST_F(DragKnifeTest, WideOffsetSwivelsInStepsOfThreeSteps) {
    std::string out = Cut("0.5", [](PlotterDriver* d) {
        d->MoveTo(1000, 1000);
        d->LineTo(2000, 1000);
        d->LineTo(2000, 2000);
    });
    EXPECT_EQ(std::count(out.begin(), out.end(), 'L'), 1 + 10 + 1 + 1) << out;
    EXPECT_TRUE(out.starts_with("M1000,1000;L1020,0;")) << out;
    EXPECT_TRUE(out.ends_with("L0,1000;E;")) << out; // from (2000, 1020) to (2000, 2020)
}

TEST_F(DragKnifeTest, LinesNearTheEdgeAreNotCompensated) {
    // The inner box is 4 < x < 3996 at 100 mm: (3998, 1000) lies outside it.
    EXPECT_EQ(Cut("0.1",
                  [](PlotterDriver* d) {
                      d->MoveTo(1000, 1000);
                      d->LineTo(3998, 1000);
                      d->LineTo(3000, 1000);
                  }),
              "M1000,1000;L2998,0;L-998,0;E;");
}

// Offsets under 3 steps turn in quarter turns at most; a line of length 0 has no direction
// and leaves the knife alone.
TEST_F(DragKnifeTest, DegenerateInputsStaySane) {
    EXPECT_EQ(Cut("0.05",
                  [](PlotterDriver* d) {
                      d->MoveTo(1000, 1000);
                      d->LineTo(2000, 1000);
                      d->LineTo(2000, 1000);
                      d->LineTo(1000, 1000); // straight back: half a turn
                  }),
              "M1000,1000;L1002,0;"
              "L-2,2;"    // (2000, 1002), the knife across
              "L-2,-2;"   // (1998, 1000)
              "L-1000,0;" // (998, 1000)
              "E;");
}

} // namespace
