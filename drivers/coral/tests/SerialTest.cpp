#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include <testing/FakeCutter.h>
#include <testing/FakePort.h>
#include <win32/KernelTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "CoralTest.h"

namespace {

// The driver on COM1, which the port library's table leads to a fake cutter on a
// pseudo-terminal.
class SerialTest : public CoralTest {
protected:
    void SetUp() override {
        CoralTest::SetUp();
        if (!cutter_.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
        port_ = std::make_unique<FakePort>("COM1", cutter_.PortPath());
    }
    void TearDown() override {
        port_.reset();
        CoralTest::TearDown();
    }

    PlotterDriver* AttachSerial(const std::string& keys) { return Attach("Device=COM1\n" + keys); }

    FakeCutter cutter_;
    std::unique_ptr<FakePort> port_;
};

TEST_F(SerialTest, CutWaitsWhileTheCutterHoldsTheLine) {
    ini_ = Path("Devices.ini");
    std::filesystem::copy_file(CORAL_DEVICES_INI, ini_); // Device=COM1 with XON/XOFF
    PlotterDriver* d = Bind("Generic HP-GL Cutter");
    ASSERT_NE(d, nullptr);
    const std::string expected = "IN;PR;SP1;VS20;PU400,24000;PD800,0;PD0,-800;PD-800,0;PD0,800;"
                                 "PU;SP0;";
    d->Init();
    // The cutter stops the line once the port is open (opening discards what came before).
    cutter_.Hold();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string passedWhileHeld;
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        passedWhileHeld = cutter_.Received();
        cutter_.Release();
    });
    auto start = std::chrono::steady_clock::now();
    d->HPStart();
    d->HPEnd();
    d->Start(1);
    d->SetSpeed(d->cutSpeed);
    d->MoveTo(400, 400);
    d->LineTo(1200, 400);
    d->LineTo(1200, 1200);
    d->LineTo(400, 1200);
    d->LineTo(400, 400);
    d->End();
    auto took = std::chrono::steady_clock::now() - start;
    d->Exit();
    release.join();
    EXPECT_TRUE(cutter_.LineSettings().xonXoff);
    EXPECT_TRUE(cutter_.WaitForReceived(expected));
    EXPECT_EQ(cutter_.Received(), expected);
    EXPECT_EQ(passedWhileHeld, "");
    EXPECT_GE(took, std::chrono::milliseconds(250)); // End waited for the line to drain
    EXPECT_GT(plotter_.polls, 0);
    EXPECT_EQ(plotter_.aborted, 0);
}

// The default section pointed at the cutter's device file itself (/dev/pts/N here, as
// /dev/ttyUSB0 would be): the port library serves it as it serves COM1.
TEST_F(SerialTest, ADeviceFileGetsTheSectionsLineAndIsHeldByTheCutter) {
    ini_ = Path("Devices.ini");
    std::filesystem::copy_file(CORAL_DEVICES_INI, ini_);
    const char* section = "Generic HP-GL Cutter";
    WritePrivateProfileStringA(section, "Device", cutter_.PortPath().c_str(), ini_.c_str());
    PlotterDriver* d = Bind(section);
    ASSERT_NE(d, nullptr);
    d->Init();
    FakeLineSettings line = cutter_.LineSettings(); // 9600 baud, one stop bit, XON/XOFF
    EXPECT_EQ(line.baudRate, 9600u);
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_TRUE(line.xonXoff);
    EXPECT_FALSE(line.rtsCts);
    EXPECT_TRUE(line.raw);
    cutter_.Hold();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string passedWhileHeld;
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        passedWhileHeld = cutter_.Received();
        cutter_.Release();
    });
    d->HPStart();
    d->Start(1);
    d->MoveTo(400, 400);
    d->End();
    d->Exit();
    release.join();
    EXPECT_EQ(passedWhileHeld, "");
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "IN;PR;SP1;PU400,24000;PU;SP0;");
    EXPECT_EQ(plotter_.aborted, 0);
    EXPECT_EQ(d->CanAutoCalibrate(), 0); // no marker templates in the default section
}

TEST_F(SerialTest, ACutterThatStopsReadingGetsTheTimeOutQuestion) {
    SYSTEMTIME noon{};
    noon.wYear = 2026;
    noon.wMonth = 1;
    noon.wDay = 1;
    noon.wHour = 12;
    SdInstallFakeClock(1000, noon);
    PlotterDriver* d = Attach("Device=" + cutter_.PortPath() +
                              "\nFlowCtrl=2\nTimeOut=1\nMoveRel=PU#,#;\nToolOffset=0");
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
    EXPECT_NE(MessageBoxLog()[0].text.find(cutter_.PortPath()), std::string::npos);
    EXPECT_EQ(MessageBoxLog()[0].style & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_GE(waited, 1000u);
    EXPECT_EQ(plotter_.aborted, 1);
    cutter_.Release();
}

TEST_F(SerialTest, AMissingDeviceFileIsReportedAndNeverCreated) {
    PlotterDriver* d = Attach("Device=/dev/ttyUSB9\nMoveRel=PU#,#;");
    PushMessageBoxAnswer(IDOK);
    d->Init();
    d->MoveTo(10, 10);
    d->Exit();
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("/dev/ttyUSB9: No such file or directory"),
              std::string::npos)
        << MessageBoxLog()[0].text;
    EXPECT_EQ(plotter_.aborted, 1);
    EXPECT_FALSE(std::filesystem::exists("/dev/ttyUSB9"));
}

TEST_F(SerialTest, SheetSizeTakesOnlyPositiveLimits) {
    struct Case {
        std::string reply;
        int result;
        LONG maxX, maxY;
    } cases[] = {
        {"0,0,40000,24000\r", 1, 40000, 24000},
        {"0,0,30000\r", 1, 30000, 18800},  // no third comma: max y stays
        {"0,0,abc,-5\r", 0, 80000, 18800}, // garbled: nothing taken
        {"0,0,0,0;", 0, 80000, 18800},
        {"", 0, 80000, 18800}, // no answer
    };
    for (const Case& c : cases) {
        PlotterDriver* d = AttachSerial("GetPlottingArea=OH;\nMaxX=2000\nMaxY=470");
        cutter_.ClearReceived();
        cutter_.SetReply("OH;", c.reply);
        EXPECT_EQ(d->ReadSheetSize(), c.result) << c.reply;
        EXPECT_EQ(d->maxX, c.maxX) << c.reply;
        EXPECT_EQ(d->maxY, c.maxY) << c.reply;
        EXPECT_EQ(cutter_.Received(), "OH;");
    }
}

TEST_F(SerialTest, TheDefaultSectionPlacesTheCutOnTheWidthTheCutterReports) {
    ini_ = Path("Devices.ini");
    std::filesystem::copy_file(CORAL_DEVICES_INI, ini_);
    PlotterDriver* d = Bind("Generic HP-GL Cutter");
    ASSERT_NE(d, nullptr);
    cutter_.SetReply("OH;", "0,0,40000,12000\r"); // 300 mm of media loaded
    ASSERT_EQ(d->ReadSheetSize(), 1);
    EXPECT_EQ(d->maxY, 12000);
    cutter_.ClearReceived();
    d->Init();
    d->HPStart(); // the knife at the device origin
    d->Start(1);
    d->MoveTo(400, 400); // 10 mm along, 10 mm in from the design's edge across
    d->End();
    d->Exit();
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "IN;PR;SP1;PU400,11600;PU;SP0;");
}

TEST_F(SerialTest, SheetSizeInGPGL) {
    PlotterDriver* d = AttachSerial("GetPlottingArea=unused\nisGPGL=1");
    cutter_.SetReply("U", "100 200\x03");
    cutter_.SetReply("[", "40100 24200\x03");
    EXPECT_EQ(d->ReadSheetSize(), 1);
    EXPECT_EQ(d->maxX, 40000);
    EXPECT_EQ(d->maxY, 24000);
    EXPECT_EQ(cutter_.Received(), "U[");
}

TEST_F(SerialTest, SheetSizeOnlyOverPortsThatAnswer) {
    PlotterDriver* d = Attach("GetPlottingArea=OH;"); // a file
    EXPECT_EQ(d->ReadSheetSize(), 0);
    d = AttachSerial("");
    EXPECT_EQ(d->ReadSheetSize(), 0);
    EXPECT_EQ(cutter_.Received(), "");
}

TEST_F(SerialTest, HeadPositionOfHPGLIsReadAlongTheMediaFirst) {
    struct Case {
        const char* keys;
        const char* request;
        LONG x, y; // the head in the driver's axes
    } cases[] = {
        // HP-GL's OA answers X (along the media, the driver's x) first.
        {"GetHeadPos=OA;", "OA;", 1000, 2000},
        {"GetHeadPos=oa", "oa", 1000, 2000},
        // Back into the driver's axes: y = 24400 - Y.
        {"GetHeadPos=OA;\nOrigoPos=1\nPaperWidth=610", "OA;", 1000, 22400},
        // Other requests are answered across the media first.
        {"GetHeadPos=RH;", "RH;", 2000, 1000},
        {"GetHeadPos=RH;\nOrigoPos=1\nPaperWidth=100", "RH;", 2000, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        PlotterDriver* d = AttachSerial(c.keys);
        cutter_.ClearReceived();
        cutter_.SetReply(c.request, "1000,2000,0\r");
        EXPECT_EQ(d->ReadHeadPos(), 1);
        LONG x = 0, y = 0;
        d->GetHeadPos(x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(cutter_.Received(), c.request);
        cutter_.SetReply(c.request, "");
        EXPECT_EQ(d->ReadHeadPos(), 0);
    }
}

TEST_F(SerialTest, TheDefaultSectionPlacesAJobStartedAtTheKnife) {
    // The fake cutter answers OA as HP-GL does: 1000 along the media, 2000 across from the
    // device origin. A job started there begins its moves at that point.
    ini_ = Path("Devices.ini");
    std::filesystem::copy_file(CORAL_DEVICES_INI, ini_);
    PlotterDriver* d = Bind("Generic HP-GL Cutter");
    ASSERT_NE(d, nullptr);
    cutter_.SetReply("OA;", "1000,2000,0\r");
    ASSERT_EQ(d->ReadHeadPos(), 1);
    LONG x = 0, y = 0;
    d->GetHeadPos(x, y);
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, 24400 - 2000);
    cutter_.ClearReceived();
    d->Init();
    d->Start(1);
    d->MoveTo(x + 400, y);       // 10 mm further along
    d->LineTo(x + 400, y - 400); // 10 mm across, away from the device origin
    d->End();
    d->Exit();
    EXPECT_TRUE(cutter_.WaitForReceived("PU;SP0;"));
    EXPECT_EQ(cutter_.Received(), "PR;SP1;PU400,0;PD0,400;PU;SP0;");
}

TEST_F(SerialTest, MarkerSearch) {
    PlotterDriver* d = AttachSerial("FindSynchMarkers=FM#,#;\nGetSynchMarkers=GM;");
    EXPECT_EQ(d->CanAutoCalibrate(), 1);
    cutter_.SetReply("GM;", "1,2 3,4 5,6\r");
    PushMessageBoxAnswer(IDOK);
    LONG r[6] = {-1, -1, -1, -1, -1, -1};
    EXPECT_EQ(d->AutoCalibrate(0, 500, 100, 200, 900, 0, r[0], r[1], r[2], r[3], r[4], r[5]), 1);
    const LONG expected[] = {4, 3, 2, 1, 6, 5};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(r[i], expected[i]) << i;
    EXPECT_EQ(cutter_.Received(), "FM300,800;GM;");
    EXPECT_EQ(MessageBoxLog().size(), 1u);

    cutter_.SetReply("GM;", "1,2,3,4,5\r");
    PushMessageBoxAnswer(IDOK);
    LONG s[6] = {-1, -1, -1, -1, -1, -1};
    EXPECT_EQ(d->AutoCalibrate(0, 500, 100, 200, 900, 0, s[0], s[1], s[2], s[3], s[4], s[5]), 0);
    EXPECT_EQ(s[0], -1);
}

TEST_F(SerialTest, AutoCalibrationNeedsAnAnsweringPortAndBothTemplates) {
    struct Case {
        const char* keys;
        int expected;
    } cases[] = {
        {"Device=COM1\nFindSynchMarkers=FM;\nGetSynchMarkers=GM;", 1},
        {"Device=com9\nFindSynchMarkers=FM;\nGetSynchMarkers=GM;", 1},
        {"Device=usb\nFindSynchMarkers=FM;\nGetSynchMarkers=GM;", 1},
        {"Device=COM1\nFindSynchMarkers=FM;", 0},
        {"Device=LPT1\nFindSynchMarkers=FM;\nGetSynchMarkers=GM;", 0},
        {"FindSynchMarkers=FM;\nGetSynchMarkers=GM;", 0}, // a file
    };
    for (const Case& c : cases)
        EXPECT_EQ(Attach(c.keys)->CanAutoCalibrate(), c.expected) << c.keys;
}

} // namespace
