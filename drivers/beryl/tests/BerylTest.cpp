#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <thread>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <win32/KernelTesting.h>
#include <win32/ModuleTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "PluginTest.h"

namespace {

namespace fs = std::filesystem;

// The driver on "USB", which PcutLib leads through section [PcutLib] of Ports.ini to a fake
// cutter; job files go to a temporary folder of the test.
class BerylTest : public PluginTest {
protected:
    BerylTest() : PluginTest("cutdrv-beryl.dll") {}

    void SetUp() override {
        PluginTest::SetUp();
        temp_ = DataFolder() / "tmp";
        fs::create_directories(temp_);
        const char* before = std::getenv("TMPDIR");
        savedTemp_ = before ? before : "";
        setenv("TMPDIR", temp_.c_str(), 1);
        if (!cutter_.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
        NameCutter(cutter_.PortPath());
    }
    void TearDown() override {
        if (savedTemp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", savedTemp_.c_str(), 1);
        PluginTest::TearDown();
    }

    void NameCutter(const std::string& device) {
        fs::create_directories(fs::path(FakePort::TableFile()).parent_path());
        WritePrivateProfileStringA("PcutLib", "Device", device.c_str(),
                                   FakePort::TableFile().c_str());
    }

    PlotterDriver* AttachUsb(const std::string& keys) {
        ini_ = Path("Devices.ini");
        // The test's keys first: the first of two equal keys counts.
        std::ofstream(ini_, std::ios::binary) << "[Cutter]\n" << keys << "\nDevice=USB\nPause=0\n";
        return Bind("Cutter");
    }

    bool TempFolderEmpty() const { return fs::is_empty(temp_); }

    FakeCutter cutter_;
    fs::path temp_;
    std::string savedTemp_;
};

TEST_F(BerylTest, TheJobIsReplayedUpToTheFirstPenPutAway) {
    cutter_.SetReadyByte("E");
    // A planted file of the old fixed name is never part of a job.
    std::ofstream(temp_ / "$Tempcutdrv-beryl.txt") << "PD99999,0;";
    PlotterDriver* d = AttachUsb("Initialize=IN;\nCutInit=SP1;\nMoveRel=PU#,#;\nEnd=SP0;PU0,0;\n"
                                 "ToolOffset=0");
    Job(d, [](PlotterDriver* d) {
        d->MoveTo(10, 20);
        d->SelectPen(0); // no template: nothing
    });
    EXPECT_TRUE(cutter_.WaitForReceived("SP0;"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(cutter_.Received(), "IN;SP1;PU10,20;SP0;");
    EXPECT_EQ(plotter_.aborted, 0);
    fs::remove(temp_ / "$Tempcutdrv-beryl.txt");
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(BerylTest, TheJobWaitsItsPauseOnTheClock) {
    SYSTEMTIME noon{};
    noon.wYear = 2026;
    noon.wMonth = 1;
    noon.wDay = 1;
    noon.wHour = 12;
    SdInstallFakeClock(1000, noon);
    cutter_.SetReadyByte("E");
    PlotterDriver* d = AttachUsb("Pause=2500\nMoveRel=PU#,#;\nEnd=PU;SP0;\nToolOffset=0");
    const DWORD start = GetTickCount();
    Job(d, [](PlotterDriver* d) { d->MoveTo(10, 20); });
    const DWORD waited = GetTickCount() - start;
    SdRemoveFakeClock();
    EXPECT_GE(waited, 2500u);
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "PU10,20;PU;SP0;");
}

TEST_F(BerylTest, AJobFileThatCannotBeWrittenAbortsAndIsReported) {
    cutter_.SetReadyByte("E");
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nLineRel=PD#,#;\nEnd=PU;SP0;\nToolOffset=0");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{4096, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    PushMessageBoxAnswer(IDOK);
    Job(d, [](PlotterDriver* d) {
        for (int i = 0; i < 3000; ++i)
            d->LineTo(i, 0);
    });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(plotter_.aborted, 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("failed"), std::string::npos);
    // Nothing of the broken job reached the cutter: only End.
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "PU;SP0;");
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(BerylTest, ALongJobGoesInBlocksEachAfterTheCuttersReadyByte) {
    cutter_.SetReadyByte("E");
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nLineRel=PD#,#;\nEnd=PU;SP0;\nToolOffset=0");
    std::string expected;
    Job(d, [&](PlotterDriver* d) {
        d->MoveTo(0, 0);
        expected += "PU0,0;";
        for (int i = 1; i <= 1500; ++i) {
            d->LineTo(i, 0);
            expected += "PD1,0;";
        }
    });
    expected += "PU;SP0;";
    ASSERT_GT(expected.size(), 2u * 4096);
    EXPECT_TRUE(cutter_.WaitForReceived("SP0;", 5000));
    EXPECT_EQ(cutter_.Received(), expected);
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(BerylTest, ACutterThatNeverSaysItIsReadyIsAskedAboutAndNoAborts) {
    // No ready byte: after 5000 polls the user is asked; No aborts the job.
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nEnd=PU;SP0;\nToolOffset=0");
    PushMessageBoxAnswer(IDNO);
    Job(d, [](PlotterDriver* d) { d->MoveTo(10, 20); });
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].style & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(plotter_.aborted, 1);
    EXPECT_EQ(cutter_.Received(), "");
    EXPECT_TRUE(TempFolderEmpty());
    // The next job, with a cutter that answers, cuts.
    plotter_.aborted = 0;
    cutter_.SetReadyByte("E");
    Job(d, [](PlotterDriver* d) { d->MoveTo(10, 20); });
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "PU10,20;PU;SP0;");
}

TEST_F(BerylTest, AnAbortedJobSendsOnlyEnd) {
    cutter_.SetReadyByte("E");
    PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nEnd=PU;SP0;\nToolOffset=0");
    d->Init();
    d->Start(1);
    d->MoveTo(10, 20);
    d->Abort();
    d->MoveTo(30, 40);
    d->Exit();
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "PU;SP0;");
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(BerylTest, WhatCannotBeOpenedIsToldAndAbortsTheJob) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        const char* told;
    } cases[] = {
        {"missing device", [this] { NameCutter("/dev/ttyUSB9"); },
         "/dev/ttyUSB9: No such file or directory"},
        {"unknown USB ids", [this] { NameCutter("vid_1234&pid_5678"); },
         "No cutter with the USB ids vid_1234&pid_5678"},
        {"job file", [this] { setenv("TMPDIR", (temp_ / "absent").c_str(), 1); },
         "The job file cannot be created"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NameCutter(cutter_.PortPath());
        setenv("TMPDIR", temp_.c_str(), 1);
        c.arrange();
        plotter_.aborted = 0;
        SdClearMessageBoxes();
        PlotterDriver* d = AttachUsb("MoveRel=PU#,#;\nEnd=E;");
        PushMessageBoxAnswer(IDOK);
        Job(d, [](PlotterDriver* d) { d->MoveTo(1, 2); });
        EXPECT_EQ(plotter_.aborted, 1);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_NE(MessageBoxLog()[0].text.find(c.told), std::string::npos)
            << MessageBoxLog()[0].text;
    }
    EXPECT_EQ(cutter_.Received(), "");
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(BerylTest, ExchangesRunThroughTheLibrary) {
    cutter_.SetReadyByte("E");
    cutter_.SetReply("OH;", "0,0,40000,24000\r");
    PlotterDriver* d = AttachUsb("GetPlottingArea=OH;\nMaxX=2000\nMaxY=470");
    EXPECT_EQ(d->ReadSheetSize(), 1);
    EXPECT_EQ(d->maxX, 40000);
    EXPECT_EQ(d->maxY, 24000);
    // A garbled reply sets nothing.
    cutter_.SetReply("OH;", "0,0,abc,-5\r");
    EXPECT_EQ(d->ReadSheetSize(), 0);
    EXPECT_EQ(d->maxX, 40000);
    EXPECT_EQ(cutter_.Received(), "OH;OH;");
    // Only a Device beginning with USB answers.
    d = Attach("GetPlottingArea=OH;");
    EXPECT_EQ(d->ReadSheetSize(), 0);
    EXPECT_TRUE(TempFolderEmpty());
}

// Without the maker's library the plug-in says so when it loads, and "USB" cannot be served.
class BerylWithoutLibraryTest : public PlatformTest {};

TEST_F(BerylWithoutLibraryTest, TheUsbPortIsRefused) {
    ASSERT_EQ(GetModuleHandleA("cutdrv-beryl.so"), nullptr) << "the plug-in is still loaded";
    SdSetModuleMissing("PcutLib.dll", true);
    PushMessageBoxAnswer(IDOK);
    HMODULE plugin = LoadLibraryA("cutdrv-beryl.dll");
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("PcutLib"), std::string::npos);
    auto attach = reinterpret_cast<AttachProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(plugin, "Attach")));
    const std::string ini = (DataFolder() / "Devices.ini").string();
    std::ofstream(ini) << "[Cutter]\nDevice=USB\n";
    PlotterDriver* d = attach("Cutter", ini.c_str());
    TestPlotter plotter;
    d->owner = &plotter;
    PushMessageBoxAnswer(IDOK);
    d->Init();
    EXPECT_EQ(plotter.aborted, 1);
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_NE(MessageBoxLog()[1].text.find("PcutLib is not available"), std::string::npos);
    d->Exit();
    FreeLibrary(plugin);
}

} // namespace
