#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <win32/ModuleTesting.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "PluginTest.h"

namespace {

namespace fs = std::filesystem;

// The driver on "USB", which summausb leads through section [summausb] of Ports.ini to a
// fake cutter.
class EmberTest : public PluginTest {
protected:
    EmberTest() : PluginTest("cutdrv-ember.dll") {}

    void SetUp() override {
        PluginTest::SetUp();
        if (!cutter_.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
        NameCutter(cutter_.PortPath());
    }

    void NameCutter(const std::string& device) {
        fs::create_directories(fs::path(FakePort::TableFile()).parent_path());
        WritePrivateProfileStringA("summausb", "Device", device.c_str(),
                                   FakePort::TableFile().c_str());
    }

    // The section without a Device key: the driver's default is USB.
    PlotterDriver* AttachUsb(const std::string& keys) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << "[Cutter]\n" << keys << "\n";
        return Bind("Cutter");
    }

    FakeCutter cutter_;
};

const char* const kHpgl = "Initialize=IN;\nCutInit=PR;SP1;\nMoveRel=PU#,#;\nLineRel=PD#,#;\n"
                          "End=PU;SP0;\nGetPlottingArea=OH;\nMaxX=2000\nMaxY=500\n"
                          "MuliplePoints=1\nStartLine=PD#,#\nContinueLine=,#,#\nEndLine=;\n"
                          "ToolOffset=0.5\nOrigoPos=1\nSwapXY=1";

TEST_F(EmberTest, AJobGoesThroughThePipesAsThePlotLibraryHandsItOver) {
    PlotterDriver* d = AttachUsb(kHpgl);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->GetDeviceName(), "USB");
    PushMessageBoxAnswer(IDOK); // the move below the origin
    Job(d, [](PlotterDriver* d) {
        d->MoveTo(10, 20);
        d->LineTo(110, 20); // no poly-line, no knife compensation, no transform
        d->LineTo(110, 220);
        d->MoveTo(40110, 220); // relative moves in pieces of at most 32700 steps
        d->MoveTo(-5, 0);      // reported once, sent all the same
    });
    const std::string expected =
        "IN;PR;SP1;PU10,20;PD100,0;PD0,200;PU32700,0;PU7300,0;PU-32700,-179;PU-7415,-41;PU;SP0;";
    EXPECT_TRUE(cutter_.WaitForReceived(expected));
    EXPECT_EQ(cutter_.Received(), expected);
    EXPECT_EQ(plotter_.aborted, 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("outside the cutting area"), std::string::npos);
}

TEST_F(EmberTest, TheCuttersReplyComesBackOnThePipeAndOldRepliesAreDrainedFirst) {
    PlotterDriver* d = AttachUsb(kHpgl);
    cutter_.Send("stale reply\r"); // nobody asked for it
    cutter_.SetReply("OH;", "0,0,40000,24000\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(d->ReadSheetSize(), 1);
    EXPECT_EQ(d->maxX, 40000);
    EXPECT_EQ(d->maxY, 24000);
    EXPECT_EQ(cutter_.Received(), "OH;");
}

TEST_F(EmberTest, ACutterThatTakesNothingBringsTheQuestionAndNothingIsSentTwice) {
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nLineRel=PD#,#;\nEnd=PU;SP0;");
    std::string expected;
    long x = 0;
    for (int i = 0; i < 30000; ++i) {
        const long to = i % 2 ? 0 : 1000;
        expected += "PD" + std::to_string(to - x) + ",0;";
        x = to;
    }
    expected += "PU;SP0;";
    // Held, the line fills up and a write stays under way; every question is answered Yes,
    // and the cutter reads on once the second question has been asked.
    constexpr int kAnswers = 500;
    for (int i = 0; i < kAnswers; ++i)
        PushMessageBoxAnswer(IDYES);
    AllowUnusedMessageBoxAnswers();
    cutter_.Hold();
    std::thread release([this] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (SdPendingMessageBoxAnswers() > kAnswers - 2 &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cutter_.Release();
    });
    Job(d, [](PlotterDriver* d) {
        for (int i = 0; i < 30000; ++i)
            d->LineTo(i % 2 ? 0 : 1000, 0);
    });
    release.join();
    EXPECT_TRUE(cutter_.WaitForReceivedCount(expected.size(), 60000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(cutter_.Received(), expected);
    EXPECT_EQ(plotter_.aborted, 0);
    ASSERT_FALSE(MessageBoxLog().empty());
    EXPECT_NE(MessageBoxLog()[0].text.find("has not accepted any data"), std::string::npos);
}

TEST_F(EmberTest, NoToTheQuestionAbortsAndTheNextJobCuts) {
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nLineRel=PD#,#;\nEnd=PU;SP0;");
    cutter_.Hold();
    PushMessageBoxAnswer(IDNO);
    Job(d, [](PlotterDriver* d) {
        for (int i = 0; i < 30000; ++i)
            d->LineTo(i % 2 ? 0 : 1000, 0);
    });
    EXPECT_EQ(plotter_.aborted, 1);
    cutter_.Release();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cutter_.ClearReceived();
    plotter_.aborted = 0;
    Job(d, [](PlotterDriver* d) { d->MoveTo(10, 20); });
    EXPECT_TRUE(cutter_.WaitForReceived("PU10,20;PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "PU10,20;PU;SP0;");
    EXPECT_EQ(plotter_.aborted, 0);
}

TEST_F(EmberTest, ACutterThatCannotBeReachedIsReportedInWords) {
    NameCutter("/dev/ttyUSB9");
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;");
    PushMessageBoxAnswer(IDOK);
    Job(d, [](PlotterDriver* d) { d->MoveTo(10, 20); });
    EXPECT_EQ(plotter_.aborted, 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("/dev/ttyUSB9: No such file or directory"),
              std::string::npos)
        << MessageBoxLog()[0].text;
}

TEST_F(EmberTest, WithoutThePipeLibraryUsbIsRefusedAndFilesStillWork) {
    FreeLibrary(plugin_);
    SdSetModuleMissing("summausb.dll", true);
    PushMessageBoxAnswer(IDOK); // at load
    plugin_ = LoadLibraryA("cutdrv-ember.dll");
    ASSERT_NE(plugin_, nullptr);
    attach_ = reinterpret_cast<AttachProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(plugin_, "Attach")));
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;");
    PushMessageBoxAnswer(IDOK);
    Job(d, [](PlotterDriver* d) { d->MoveTo(10, 20); });
    EXPECT_EQ(plotter_.aborted, 1);
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_NE(MessageBoxLog()[0].text.find("summausb could not be loaded"), std::string::npos);
    EXPECT_NE(MessageBoxLog()[1].text.find("summausb is not available"), std::string::npos);

    plotter_.aborted = 0;
    d = Attach("MoveRel=PU#,#;\nEnd=PU;SP0;");
    EXPECT_EQ(JobOutput(d, [](PlotterDriver* d) { d->MoveTo(10, 20); }), "PU10,20;PU;SP0;");
    SdSetModuleMissing("summausb.dll", false);
}

} // namespace
