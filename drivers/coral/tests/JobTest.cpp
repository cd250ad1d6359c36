#include <gtest/gtest.h>
#include <string>

#include <win32/kernel.h>
#include <win32/user.h>

#include "CoralTest.h"

namespace {

class JobTest : public CoralTest {};

// The section shipped in the program folder, with its device turned into a file. The cut
// is a square of 20 mm and a flattened arch of 0.5 mm (Accuracy 0.1 mm: 4 fourfold steps).
TEST_F(JobTest, DefaultSectionCutsASquareAndAnArch) {
    ini_ = Path("Devices.ini");
    std::filesystem::copy_file(CORAL_DEVICES_INI, ini_);
    const char* section = "Generic HP-GL Cutter";
    WritePrivateProfileStringA(section, "Device", Out().c_str(), ini_.c_str());
    PlotterDriver* d = Bind(section);
    ASSERT_NE(d, nullptr);
    std::string out = JobOutput(d, [](PlotterDriver* d) {
        d->MoveTo(400, 400);
        d->LineTo(1200, 400);
        d->LineTo(1200, 1200);
        d->LineTo(400, 1200);
        d->LineTo(400, 400);
        d->MoveTo(2000, 400);
        d->CurveTo(2000, 400, 2000, 420, 2020, 420, 2020, 400);
    });
    // OrigoPos 1 with the media width (MaxY, 24400 steps): the driver's (x, y) is sent as
    // (x, 24400 - y) from the device origin, so every step across is negated.
    EXPECT_EQ(out, "IN;"                                                  // HPStart
                   "PR;SP1;"                                              // Start(1)
                   "VS20;"                                                // cut speed 200 / 10
                   "PU400,24000;PD800,0;PD0,-800;PD-800,0;PD0,800;"       // the square
                   "PU1600,0;"                                            // to the arch
                   "PD0,-6;PD3,-5;PD3,-2;PD4,-2;PD3,2;PD3,2;PD3,5;PD1,6;" // its eight pieces
                   "PU;SP0;");                                            // End
    LONG x = 0, y = 0;
    d->GetHeadPos(x, y);
    EXPECT_EQ(x, 2020);
    EXPECT_EQ(y, 400);
}

TEST_F(JobTest, RelativeMovesAreSplitAt32700Steps) {
    struct Case {
        const char* keys;
        std::function<void(PlotterDriver*)> body;
        const char* expected;
    } cases[] = {
        {"", [](PlotterDriver* d) { d->MoveTo(70000, 10); }, "M32700,4;M32700,5;M4600,1;"},
        {"", [](PlotterDriver* d) { d->MoveTo(32700, 0); }, "M32700,0;"},
        {"", [](PlotterDriver* d) { d->MoveTo(32701, 32701); }, "M32700,32700;M1,1;"},
        {"",
         [](PlotterDriver* d) {
             d->MoveTo(102700, 10);
             d->LineTo(0, 10);
         },
         "M32700,3;M32700,3;M32700,3;M4600,1;"
         "L-32700,0;L-32700,0;L-32700,0;L-4600,0;"},
        {"AbsoluteCoords=1\n",
         [](PlotterDriver* d) {
             d->MoveTo(70000, 10);
             d->LineTo(100, 100000);
         },
         "M70000,10;L100,100000;"},
    };
    for (const Case& c : cases) {
        PlotterDriver* d = Attach(std::string("MoveRel=M#,#;\nLineRel=L#,#;\nEnd=E;\n"
                                              "MaxX=5000\nMaxY=5000\nToolOffset=0\n") +
                                  c.keys);
        EXPECT_EQ(JobOutput(d, c.body), std::string(c.expected) + "E;") << c.expected;
    }
}

TEST_F(JobTest, PolyLinesAreClosedByTheNextCommand) {
    PlotterDriver* d = Attach("MuliplePoints=1\nMoveRel=PU#,#;\nSelectPen=SP#;\nEnd=E;\n"
                              "ToolOffset=0\nLineRel=never used");
    std::string out = JobOutput(d, [](PlotterDriver* d) {
        d->MoveTo(0, 0);
        d->LineTo(10, 20);
        d->LineTo(30, 40);
        d->MoveTo(50, 50);
        d->LineTo(60, 60);
        d->SelectPen(2);
        d->LineTo(70, 70);
        d->CurveTo(70, 70, 70, 70, 70, 70, 70, 70); // four pieces of length 0
    });
    EXPECT_EQ(out, "PU0,0;PD10,20,20,20;PU20,10;PD10,10;SP2;PD10,10,0,0,0,0,0,0,0,0;E;");
}

TEST_F(JobTest, CurvesAreFlattenedOrSentAsBezier) {
    struct Case {
        const char* keys;
        const char* expected;
    } cases[] = {
        // A straight curve: the points at 1/4, 1/2, 3/4 and 1.
        {"", "M100,100;L75,0;L75,0;L75,0;L75,0;"},
        {"Bezier=BR#,#,#,#,#,#;\n", "M100,100;BR100,0,200,0,300,0;"},
        {"Bezier=BZ#,#,#,#,#,#;\nAbsoluteCoords=1\n", "M100,100;BZ200,100,300,100,400,100;"},
        // The curve goes through the axis transform like every other command.
        {"Bezier=BR#,#,#,#,#,#;\nSwapXY=1\n", "M100,100;BR0,100,0,200,0,300;"},
        {"Bezier=BR#,#,#,#,#,#;\nOrigoPos=1\nPaperWidth=100\n", "M100,3900;BR100,0,200,0,300,0;"},
        {"Bezier=BZ#,#,#,#,#,#;\nAbsoluteCoords=1\nOrigoPos=1\nPaperWidth=100\n",
         "M100,3900;BZ200,3900,300,3900,400,3900;"},
    };
    for (const Case& c : cases) {
        PlotterDriver* d = Attach(std::string("MoveRel=M#,#;\nLineRel=L#,#;\nToolOffset=0\n"
                                              "End=E;\n") +
                                  c.keys);
        std::string out = JobOutput(d, [](PlotterDriver* d) {
            d->MoveTo(100, 100);
            d->CurveTo(100, 100, 200, 100, 300, 100, 400, 100);
        });
        EXPECT_EQ(out, std::string(c.expected) + "E;") << c.keys;
    }
}

TEST_F(JobTest, SectionWithOnlyDeviceSendsOneBlankAtEnd) {
    PlotterDriver* d = Attach("");
    EXPECT_EQ(JobOutput(d,
                        [](PlotterDriver* d) {
                            d->SelectPen(1);
                            d->MoveTo(100, 100);
                            d->LineTo(200, 100);
                            d->CurveTo(200, 100, 300, 200, 400, 200, 500, 100);
                            d->SetOrigin(5, 5);
                        }),
              " ");
}

TEST_F(JobTest, OriginAndResetFollowTheTransform) {
    PlotterDriver* d = Attach("OrigoPos=1\nPaperWidth=100\nSetOrigin=IW#,#;\nReset=RS;\n"
                              "Initialize=IN;\nMoveRel=M#,#;\nEnd=E;\nToolOffset=0");
    LONG x, y;
    std::string out = JobOutput(d, [&](PlotterDriver* d) {
        d->GetHeadPos(x, y);
        EXPECT_EQ(x, 0); // the device origin lies at the far end of the second axis
        EXPECT_EQ(y, 4000);
        d->SetOrigin(100, 200);
        d->MoveTo(100, 3900);
        d->Reset();
        d->GetHeadPos(x, y);
    });
    EXPECT_EQ(out, "IN;IW100,3800;M100,100;RS;E;");
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 4000);
}

TEST_F(JobTest, NegativeCoordinatesAreReportedOncePerJobAndStillSent) {
    PlotterDriver* d = Attach("MoveRel=M#,#;\nLineRel=L#,#;\nToolOffset=0\nEnd=E;");
    PushMessageBoxAnswer(IDOK);
    std::string out = JobOutput(d, [](PlotterDriver* d) {
        d->MoveTo(-5, 10);
        d->LineTo(10, -5);
        d->LineTo(10, 10);
        for (int i = 0; i < 1000; ++i)
            d->LineTo(-i, 10);
    });
    EXPECT_EQ(out.substr(0, 21), "M-5,10;L15,-15;L0,15;");
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].style & MB_TYPEMASK, UINT(MB_OK));
    // The next job tells it again, once.
    PushMessageBoxAnswer(IDOK);
    JobOutput(d, [](PlotterDriver* d) {
        d->MoveTo(-5, 10);
        d->MoveTo(-6, 10);
    });
    EXPECT_EQ(MessageBoxLog().size(), 2u);
}

TEST_F(JobTest, AbortedJobWritesNothingMore) {
    PlotterDriver* d = Attach("MoveRel=M#,#;\nLineRel=L#,#;\nToolOffset=0\nEnd=E;");
    std::string out = JobOutput(d, [](PlotterDriver* d) {
        d->MoveTo(10, 10);
        d->Abort();
        d->LineTo(20, 20);
    });
    EXPECT_EQ(out, "M10,10;");
    EXPECT_EQ(plotter_.aborted, 1);
}

TEST_F(JobTest, StartReportsCompensation) {
    struct Case {
        const char* toolOffset;
        int cut;
        int expected;
    } cases[] = {{"0.5", 1, 1}, {"0.5", 0, 0}, {"0", 1, 0}, {"-1", 1, 0}};
    for (const Case& c : cases) {
        PlotterDriver* d = Attach(std::string("ToolOffset=") + c.toolOffset);
        d->Init();
        EXPECT_EQ(d->Start(c.cut), c.expected) << c.toolOffset << " " << c.cut;
        d->End();
    }
}

} // namespace
