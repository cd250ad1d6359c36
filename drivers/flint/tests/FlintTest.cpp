#include <gtest/gtest.h>
#include <string>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <win32/KernelTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "PluginTest.h"

namespace {

class FlintTest : public PluginTest {
protected:
    FlintTest() : PluginTest("cutdrv-flint.dll") {}
};

TEST_F(FlintTest, PointsGoOutAcrossFirstAndUnsplit) {
    struct Case {
        const char* keys;
        std::function<void(PlotterDriver*)> body;
        const char* expected;
    } cases[] = {
        {"AbsoluteCoords=1\n", [](PlotterDriver* d) { d->MoveTo(100, 200); }, "PU200,100;"},
        {"", [](PlotterDriver* d) { d->MoveTo(70000, 10); }, "PU10,70000;"},
        {"",
         [](PlotterDriver* d) {
             d->MoveTo(100, 100);
             d->LineTo(40000, 100);
         },
         "PU100,100;PD0,39900;"},
        // No message for a negative coordinate, and no poly-lines or knife compensation.
        {"MuliplePoints=1\nToolOffset=0.5\n",
         [](PlotterDriver* d) {
             d->MoveTo(-5, 10);
             d->LineTo(20, 10);
         },
         "PU10,-5;PD0,25;"},
        {"Bezier=BR#,#,#,#,#,#;\n",
         [](PlotterDriver* d) {
             d->MoveTo(100, 100);
             d->CurveTo(100, 100, 200, 110, 300, 120, 400, 130);
         },
         "PU100,100;BR10,100,20,200,30,300;"},
        {"Bezier=BZ#,#,#,#,#,#;\nAbsoluteCoords=1\n",
         [](PlotterDriver* d) { d->CurveTo(0, 0, 200, 110, 300, 120, 400, 130); },
         "BZ110,200,120,300,130,400;"},
    };
    for (const Case& c : cases) {
        PlotterDriver* d = Attach(std::string("MoveRel=PU#,#;\nLineRel=PD#,#;\nEnd=\n") + c.keys);
        EXPECT_EQ(JobOutput(d, c.body), c.expected) << c.keys;
    }
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(FlintTest, ForceRidesOnCutInitAndFilesAreTextMode) {
    PlotterDriver* d = Attach("CutInit=IN;\\nPA;\nPlotInit=IN;\nForce=120\nForceCmd=FS#;\\n\n"
                              "End=PU;\\n\nMoveRel=PU#,#;");
    // Converted again at every opening, from the stored texts: the force is there once.
    for (int job = 0; job < 2; ++job)
        EXPECT_EQ(JobOutput(d, [](PlotterDriver* d) { d->MoveTo(1, 2); }),
                  "IN;\r\nPA;FS120;\r\nPU2,1;PU;\r\n");
    EXPECT_EQ(JobOutput(
                  d, [](PlotterDriver*) {}, 0),
              "IN;PU;\r\n");
    // Without a ForceCmd the Force is not sent.
    d = Attach("CutInit=IN;\nForce=120\nEnd=E;");
    EXPECT_EQ(JobOutput(d, [](PlotterDriver*) {}), "IN;E;");
}

TEST_F(FlintTest, ACutInitPastTheLimitAbortsTheJob) {
    PlotterDriver* d = Attach("CutInit=" + std::string(250, 'C') +
                              "\nForce=123456\nForceCmd=FS#;\nMoveRel=PU#,#;\nEnd=E;");
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(JobOutput(d, [](PlotterDriver* d) { d->MoveTo(1, 2); }), "");
    EXPECT_EQ(plotter_.aborted, 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("longer than 255"), std::string::npos);
    // A force command past the limit by itself is refused the same way.
    plotter_.aborted = 0;
    d = Attach("CutInit=IN;\nForceCmd=" + std::string(300, 'F') + "\nEnd=E;");
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(JobOutput(d, [](PlotterDriver*) {}), "");
    EXPECT_EQ(plotter_.aborted, 1);
}

class FlintSerialTest : public FlintTest {
protected:
    void SetUp() override {
        FlintTest::SetUp();
        if (!cutter_.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
        port_ = std::make_unique<FakePort>("COM4", cutter_.PortPath());
    }
    void TearDown() override {
        port_.reset();
        FlintTest::TearDown();
    }
    FakeCutter cutter_;
    std::unique_ptr<FakePort> port_;
};

TEST_F(FlintSerialTest, HeadReplyGivesXFirstAndOnlyComPortsAnswer) {
    PlotterDriver* d = Attach("Device=COM4:\nGetHeadPos=RH;\nGetPlottingArea=OH;\nisGPGL=1");
    cutter_.SetReply("RH;", "1000,2000\r");
    cutter_.SetReply("OH;", "0,0,40000,24000\r");
    ASSERT_EQ(d->ReadHeadPos(), 1);
    LONG x = 0, y = 0;
    d->GetHeadPos(x, y);
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, 2000);
    // isGPGL is not a key of this driver: the area is asked in the template's language.
    ASSERT_EQ(d->ReadSheetSize(), 1);
    EXPECT_EQ(d->maxX, 40000);
    EXPECT_EQ(d->maxY, 24000);
    EXPECT_EQ(cutter_.Received(), "RH;OH;");
    EXPECT_EQ(d->CanAutoCalibrate(), 0);
}

TEST_F(FlintSerialTest, TheTimeOutIsAFixedMinute) {
    SYSTEMTIME noon{};
    noon.wYear = 2026;
    noon.wMonth = 1;
    noon.wDay = 1;
    noon.wHour = 12;
    SdInstallFakeClock(1000, noon);
    PlotterDriver* d = Attach("Device=COM4\nFlowCtrl=2\nTimeOut=1\nMoveRel=PU#,#;");
    d->Init();
    cutter_.Hold();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PushMessageBoxAnswer(IDNO);
    DWORD start = GetTickCount();
    d->MoveTo(400, 400);
    DWORD waited = GetTickCount() - start;
    d->Exit();
    SdRemoveFakeClock();
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_GE(waited, 60000u);
    EXPECT_EQ(plotter_.aborted, 1);
    cutter_.Release();
}

TEST_F(FlintSerialTest, PortsBeyondCom4AreFiles) {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(DataFolder());
    ini_ = Path("Devices.ini");
    std::ofstream(ini_) << "[Cutter]\nDevice=COM5\nMoveRel=PU#,#;\n";
    PlotterDriver* d = Bind("Cutter");
    Job(d, [](PlotterDriver* d) { d->MoveTo(1, 2); });
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadFile(Path("COM5")), "PU2,1;");
}

} // namespace
