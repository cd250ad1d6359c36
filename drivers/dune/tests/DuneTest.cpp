#include <gtest/gtest.h>
#include <string>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <win32/kernel.h>

#include "PluginTest.h"

namespace {

class DuneTest : public PluginTest {
protected:
    DuneTest() : PluginTest("cutdrv-dune.dll") {}
};

TEST_F(DuneTest, TheFrameWithoutTheTransform) {
    // The transform keys are not read; poly-lines and compensation (0.5 mm by default) are.
    PlotterDriver* d = Attach("MoveRel=M#,#;\nLineRel=L#,#;\nOrigoPos=1\nSwapXY=1\nEnd=E;\n"
                              "MuliplePoints=1\nStartLine=PD#,#\nContinueLine=,#,#\n"
                              "EndLine=;\nMaxX=100\nMaxY=100");
    d->Init();
    EXPECT_EQ(d->Start(1), 1);
    d->End();
    d = Attach("MoveRel=M#,#;\nLineRel=L#,#;\nOrigoPos=1\nSwapXY=1\nEnd=E;\nToolOffset=0\n"
               "MuliplePoints=1");
    EXPECT_EQ(JobOutput(d,
                        [](PlotterDriver* d) {
                            d->MoveTo(10, 20);
                            d->LineTo(30, 20);
                            d->LineTo(30, 40);
                        }),
              "M10,20;PD20,0,0,20;E;");
}

TEST_F(DuneTest, AnAbortedJobEndsWithWholeCommandsAndOneEndSequence) {
    PlotterDriver* d = Attach("MoveAbs=M#,#;\nLineAbs=L#,#;\nEnd=E;\nToolOffset=0\nMaxX=1000\n"
                              "MaxY=1000");
    std::string whole = JobOutput(d, [](PlotterDriver* d) {
        d->MoveTo(10, 20);
        d->LineTo(30, 20);
        d->LineTo(30, 40);
    });
    ASSERT_EQ(whole.substr(whole.size() - 2), "E;");
    // Aborted at each poll in turn: what went out is a prefix of whole commands of the full
    // job, followed by the end sequence exactly once.
    for (int poll = 1; poll <= 6; ++poll) {
        SCOPED_TRACE(poll);
        plotter_.aborted = 0;
        plotter_.polls = 0;
        plotter_.abortAtPoll = poll;
        d = Attach("MoveAbs=M#,#;\nLineAbs=L#,#;\nEnd=E;\nToolOffset=0\nMaxX=1000\nMaxY=1000");
        std::string out = JobOutput(d, [](PlotterDriver* d) {
            d->MoveTo(10, 20);
            d->LineTo(30, 20);
            d->LineTo(30, 40);
        });
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out.substr(out.size() - 2), "E;");
        std::string body = out.substr(0, out.size() - 2);
        EXPECT_EQ(whole.compare(0, body.size(), body), 0) << out;
        EXPECT_TRUE(body.empty() || body.back() == ';') << out;
        EXPECT_EQ(out.find("E;"), out.size() - 2) << out;
    }
}

TEST_F(DuneTest, TheGPGLSectionReadsTheCuttersArea) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("COM1", cutter.PortPath());
    ini_ = Path("Devices.ini");
    std::filesystem::copy_file(DEVICES_INI, ini_);
    PlotterDriver* d = Bind("Generic GP-GL Cutter");
    ASSERT_NE(d, nullptr);
    EXPECT_FLOAT_EQ(d->stepSize, 0.1f);
    cutter.SetReply("U", "    0     0\x03");
    cutter.SetReply("[", "30000 5800\x03");
    ASSERT_EQ(d->ReadSheetSize(), 1);
    EXPECT_EQ(d->maxX, 30000);
    EXPECT_EQ(d->maxY, 5800);
    EXPECT_EQ(cutter.Received(), "U[");
    // A garbled answer keeps the limits.
    cutter.ClearReceived();
    cutter.SetReply("U", "not a number\x03");
    cutter.SetReply("[", "\x03");
    EXPECT_EQ(d->ReadSheetSize(), 0);
    EXPECT_EQ(d->maxX, 30000);
    EXPECT_EQ(d->maxY, 5800);
}

} // namespace
