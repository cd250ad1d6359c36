// The device binding: attaching, the axis table between the plot library and the driver,
// the forwarders, and what happens without a driver.

#include <cmath>
#include <limits>

#include <pathkit/AbortHandler.h>
#include <plotterdriver/PlotterDriver.h>
#include <win32/ModuleTesting.h>
#include <win32/kernel.h>
#include <win32/user.h>

#include "PlotTest.h"
#include "plot/PlotPath.h"

namespace {

class PlotterTest : public PlotTest {};

TEST_F(PlotterTest, AttachTakesTheDriverLimitsAcrossTheAxisTable) {
    mock_->stepSize = 0.01f;
    mock_->maxX = 200000; // along the media
    mock_->maxY = 61000;  // across
    mock_->pageSize = 30000;
    mock_->numberOfPens = 4;
    AttachMock();
    EXPECT_EQ(mock_->attachedSection, Device);
    EXPECT_EQ(mock_->attachedIni, DevicesIni());
    EXPECT_EQ(plotter_.driver->owner, &plotter_);
    EXPECT_FLOAT_EQ(plotter_.GetStepSize(), 0.01f);
    EXPECT_EQ(plotter_.GetMaxXStep(), 61000);
    EXPECT_EQ(plotter_.GetMaxYStep(), 200000);
    EXPECT_FLOAT_EQ(plotter_.GetMaxX(), 610.0f);
    EXPECT_EQ(plotter_.GetPageSize(), 30000);
    EXPECT_TRUE(plotter_.IsPagingPlotter());
    EXPECT_EQ(plotter_.GetNumberOfPens(), 4);
    EXPECT_EQ(plotter_.deviceName, Device);

    // The sheet the device reports is taken the same way.
    mock_->readSheetSize = 1;
    mock_->sheetX = 120000;
    mock_->sheetY = 24000;
    EXPECT_EQ(plotter_.ReadSheetSize(), 1);
    EXPECT_EQ(plotter_.GetMaxXStep(), 24000);
    EXPECT_EQ(plotter_.GetMaxYStep(), 120000);
    mock_->readSheetSize = 0;
    EXPECT_EQ(plotter_.ReadSheetSize(), 0);
    EXPECT_EQ(plotter_.GetMaxXStep(), 24000);
}

TEST_F(PlotterTest, MovesReachTheDriverSwappedAndShiftedByHeadLessHome) {
    AttachMock();
    plotter_.headX = 100;
    plotter_.headY = 200;
    plotter_.MoveTo(5, 7);
    plotter_.homeX = 10;
    plotter_.homeY = 20;
    plotter_.LineTo(5, 7);
    plotter_.CurveTo(1, 2, 3, 4, 5, 6, 7, 8);
    plotter_.SetOrigin(3, 9); // not shifted
    EXPECT_EQ(TakeCalls(), (Calls{"MoveTo 207 105", "LineTo 187 95",
                                  "CurveTo 182 91 184 93 186 95 188 97", "SetOrigin 9 3"}));

    // Home goes to the device origin; afterwards job points reach the driver unshifted.
    plotter_.Home();
    plotter_.MoveTo(1, 2);
    EXPECT_EQ(TakeCalls(), (Calls{"MoveTo 0 0", "MoveTo 2 1"}));
    EXPECT_EQ(plotter_.headX, 10);
    EXPECT_EQ(plotter_.headY, 20);
}

TEST_F(PlotterTest, ShiftedCoordinatesSaturateInsteadOfOverflowing) {
    AttachMock();
    plotter_.headX = std::numeric_limits<LONG>::max();
    plotter_.homeY = std::numeric_limits<LONG>::max();
    plotter_.MoveTo(10, -10);
    EXPECT_EQ(TakeCalls(), (Calls{"MoveTo -2147483648 2147483647"}));
}

TEST_F(PlotterTest, HeadPositionsCrossTheAxisTableBothWays) {
    AttachMock();
    // Plot's head x (across) is the driver's y.
    plotter_.headX = 30;
    plotter_.headY = 40;
    plotter_.SetHeadPos();
    EXPECT_EQ(plotter_.driver->headX, 40);
    EXPECT_EQ(plotter_.driver->headY, 30);

    plotter_.MoveTo(5, 6); // the driver's head follows to (6 + 40, 5 + 30)
    plotter_.End();
    EXPECT_EQ(plotter_.headX, 35);
    EXPECT_EQ(plotter_.headY, 46);

    mock_->readHeadPos = 1;
    mock_->replyX = 700; // along
    mock_->replyY = 300; // across
    EXPECT_EQ(plotter_.ReadHeadPos(), 1);
    EXPECT_EQ(plotter_.headX, 300);
    EXPECT_EQ(plotter_.headY, 700);
    mock_->readHeadPos = 0;
    EXPECT_EQ(plotter_.ReadHeadPos(), 0);
    EXPECT_EQ(plotter_.headX, 300);

    plotter_.pagedDistance = 77;
    plotter_.Reset();
    EXPECT_EQ(plotter_.pagedDistance, 0);
    EXPECT_EQ(TakeCalls(), (Calls{"SetHeadPos 40 30", "MoveTo 46 35", "End", "GetHeadPos",
                                  "ReadHeadPos", "ReadHeadPos", "Reset", "GetHeadPos"}));
}

TEST_F(PlotterTest, PenChangesAreSentOnlyWhenThePenChanges) {
    AttachMock();
    plotter_.SelectPen(3);
    plotter_.SelectPen(3);
    plotter_.SelectPen(unsigned(-1));
    EXPECT_EQ(plotter_.currentPen, unsigned(-1));
    plotter_.SelectPen(3);
    plotter_.SelectPen(2);
    EXPECT_EQ(TakeCalls(), (Calls{"SelectPen 3", "SelectPen 3", "SelectPen 2"}));
}

TEST_F(PlotterTest, ForwardersPassTheirArgumentsAndAnswers) {
    mock_->headPosDelay = 250;
    AttachMock();
    plotter_.SetSpeed(1);
    plotter_.SetSpeed(0);
    plotter_.Start(1);
    plotter_.HPStart();
    plotter_.HPEnd();
    EXPECT_EQ(plotter_.Setup(nullptr), 1);
    EXPECT_EQ(plotter_.GetOrientation(), 1);
    EXPECT_EQ(plotter_.CanAutoCalibrate(), 1);
    LONG r[6] = {};
    EXPECT_EQ(plotter_.AutoCalibrate(1, 2, 3, 4, 5, 6, r[0], r[1], r[2], r[3], r[4], r[5]), 1);
    EXPECT_EQ(r[0], 6);
    EXPECT_EQ(r[5], 1);
    plotter_.Write("PU;", -1);
    plotter_.Write("PD;", 2);
    plotter_.Exit();
    EXPECT_EQ(plotter_.HeadPosDelay(), 250);
    const char* name = "Sign 12";
    plotter_.SetJobName(name);
    EXPECT_EQ(plotter_.driver->jobName, name);
    EXPECT_EQ(TakeCalls(), (Calls{"SetSpeed 22", "SetSpeed 11", "Start 1", "HPStart", "HPEnd",
                                  "Setup", "GetOrientation", "CanAutoCalibrate",
                                  "AutoCalibrate 1 2 3 4 5 6", "Write 3", "Write 2", "Exit"}));
}

TEST_F(PlotterTest, AbortDropsEveryLaterMoveUntilTheNextAttach) {
    AttachMock();
    plotter_.Abort();
    EXPECT_EQ(plotter_.aborted, 1);
    EXPECT_EQ(plotter_.IsAborted(), 1);
    plotter_.MoveTo(1, 1);
    plotter_.LineTo(2, 2);
    plotter_.CurveTo(1, 1, 2, 2, 3, 3, 4, 4);
    EXPECT_EQ(TakeCalls(), (Calls{"Abort"}));
    AttachMock();
    EXPECT_EQ(plotter_.aborted, 0);
}

TEST_F(PlotterTest, IsAbortedAsksTheHandlerOrPumpsOneMessage) {
    struct Handler : AbortHandler {
        void SetStage(const char*, float, float) override {}
        void SetProgress(float) override {}
        void CheckAbort() override {
            if (++polls == 2) owner->Abort();
        }
        Plotter* owner = nullptr;
        int polls = 0;
    } handler;
    handler.owner = &plotter_;
    ASSERT_EQ(plotter_.Attach(MockDriverFile, Device, DevicesIni().c_str(), &handler), 0);
    EXPECT_EQ(plotter_.IsAborted(), 0);
    EXPECT_EQ(plotter_.IsAborted(), 1);
    EXPECT_EQ(plotter_.IsAborted(), 1);
    EXPECT_EQ(handler.polls, 2);

    // Without a handler one waiting message is processed per poll.
    plotter_.Detach();
    EXPECT_EQ(plotter_.abortHandler, nullptr);
    PostMessageA(nullptr, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    plotter_.aborted = 0;
    EXPECT_EQ(plotter_.IsAborted(), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 1));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(PlotterTest, DetachReleasesTheDriverBeforeUnloading) {
    AttachMock();
    plotter_.Detach();
    EXPECT_EQ(TakeCalls(), (Calls{"Release"}));
    EXPECT_EQ(plotter_.driver, nullptr);
    EXPECT_EQ(plotter_.driverLibrary, nullptr);
    plotter_.Detach();
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(PlotterTest, ACopySharesTheBindingWithoutFreeingIt) {
    AttachMock();
    {
        Plotter copy(plotter_);
        EXPECT_EQ(copy.driver, plotter_.driver);
        EXPECT_EQ(copy.driverLibrary, plotter_.driverLibrary);
        Plotter assigned;
        assigned = plotter_;
        EXPECT_EQ(assigned.driver, plotter_.driver);
    }
    EXPECT_TRUE(TakeCalls().empty()); // no Release
    plotter_.MoveTo(1, 2);
    EXPECT_EQ(TakeCalls(), (Calls{"MoveTo 2 1"}));

    // Assigning over an attached plotter releases its own binding first.
    Plotter other;
    ASSERT_EQ(other.Attach(MockDriverFile, Device, DevicesIni().c_str(), nullptr), 0);
    mock_->calls.clear();
    other = Plotter();
    EXPECT_EQ(TakeCalls(), (Calls{"Release"}));
    EXPECT_EQ(other.driver, nullptr);
}

TEST_F(PlotterTest, AttachingAgainReleasesTheFirstBinding) {
    AttachMock();
    ASSERT_EQ(plotter_.Attach(MockDriverFile, Device, DevicesIni().c_str(), nullptr), 0);
    plotter_.Detach();
    // One Release per binding, and the library was not left loaded twice.
    EXPECT_EQ(TakeCalls(), (Calls{"Release", std::string("Attach ") + Device, "Release"}));
    FreeLibrary(plugin_);
    plugin_ = nullptr;
    EXPECT_EQ(GetModuleHandleA("plot-mockdrv.so"), nullptr);
}

// Every failed attach leaves the fallback limits and no driver: the forwarders then do
// nothing instead of calling through a null driver.
struct AttachFailure {
    const char* name;
    const char* driverFile;
    bool nullDriver;
    bool message;
};

class AttachFailureTest : public PlotTest, public ::testing::WithParamInterface<AttachFailure> {};

TEST_P(AttachFailureTest, FallsBackAndCallsNothing) {
    const AttachFailure& failure = GetParam();
    mock_->stepSize = 0.01f; // a first device with other limits
    mock_->maxY = 1000;
    mock_->pageSize = 500;
    mock_->numberOfPens = 6;
    AttachMock();
    mock_->attachReturnsNull = failure.nullDriver;
    if (failure.message) PushMessageBoxAnswer(IDOK);

    EXPECT_EQ(plotter_.Attach(failure.driverFile, Device, DevicesIni().c_str(), nullptr), -1);
    EXPECT_EQ(plotter_.driver, nullptr);
    EXPECT_FLOAT_EQ(plotter_.GetStepSize(), 0.025f);
    EXPECT_EQ(plotter_.GetMaxXStep(), 18800);
    EXPECT_EQ(plotter_.GetMaxYStep(), 100000);
    EXPECT_EQ(plotter_.GetPageSize(), 0);
    EXPECT_EQ(plotter_.GetNumberOfPens(), 1);
    if (failure.message) {
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_NE(MessageBoxLog()[0].text.find(failure.driverFile), std::string::npos);
        EXPECT_NE(MessageBoxLog()[0].text.find(Device), std::string::npos);
    }
    mock_->calls.erase(mock_->calls.begin(), mock_->calls.begin() + 1); // the first Release

    plotter_.useSpooler = 1;
    plotter_.Init(1);
    plotter_.HPStart();
    plotter_.HPEnd();
    plotter_.Start(1);
    plotter_.SetSpeed(1);
    plotter_.SelectPen(2);
    plotter_.SetOrigin(0, 0);
    plotter_.MoveTo(1, 1);
    plotter_.LineTo(2, 2);
    plotter_.CurveTo(1, 1, 2, 2, 3, 3, 4, 4);
    plotter_.GetHeadPos();
    plotter_.SetHeadPos();
    plotter_.Reset();
    plotter_.End();
    plotter_.Write("x", 1);
    plotter_.Abort();
    plotter_.Exit();
    plotter_.SetJobName("job");
    EXPECT_EQ(plotter_.Setup(nullptr), 0);
    EXPECT_EQ(plotter_.ReadSheetSize(), 0);
    EXPECT_EQ(plotter_.ReadHeadPos(), 0);
    EXPECT_EQ(plotter_.GetOrientation(), 0);
    EXPECT_STREQ(plotter_.GetDeviceName(), "");
    EXPECT_EQ(plotter_.isPlotFile(), 1);
    EXPECT_EQ(plotter_.CanAutoCalibrate(), 0);
    EXPECT_EQ(plotter_.HeadPosDelay(), 0);
    LONG r = 0;
    EXPECT_EQ(plotter_.AutoCalibrate(1, 2, 3, 4, 5, 6, r, r, r, r, r, r), 0);
    Calls expected;
    if (failure.nullDriver) expected.push_back(std::string("Attach ") + Device);
    EXPECT_EQ(TakeCalls(), expected);
    // Nothing was redirected for a spool file.
    char device[64];
    GetPrivateProfileStringA(Device, "Device", "", device, sizeof device, DevicesIni().c_str());
    EXPECT_STREQ(device, "COM2");
    plotter_.Detach();
}

INSTANTIATE_TEST_SUITE_P(
    Plot, AttachFailureTest,
    ::testing::Values(AttachFailure{"MissingPlugin", "plot-nosuchdriver.dll", false, true},
                      AttachFailure{"MissingExport", "plot-noattach.dll", false, true},
                      AttachFailure{"NullDriver", "plot-mockdrv.dll", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlotterTest, MissingResourceModuleStillExplainsAMissingExport) {
    SdSetModuleMissing("jobsheet-res.dll", true);
    PushMessageBoxAnswer(IDOK);
    EXPECT_EQ(plotter_.Attach("plot-noattach.dll", Device, DevicesIni().c_str(), nullptr), -1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("plot-noattach.dll"), std::string::npos);
}

TEST_F(PlotterTest, PortNamesAreDevicesAndEverythingElseIsAFile) {
    AttachMock();
    const std::pair<const char*, int> cases[] = {
        {"lpt1:", 0},        {"LPT4", 0},
        {"com2", 0},         {"COM4:", 0},
        {"COM5", 1},         {"LPT", 1},
        {"USB", 1},          {"", 1},
        {"/tmp/out.plt", 1}, {"Office Printer", 1},
        {"/dev/ttyUSB0", 0}, {"/dev/usb/lp0", 0},
        {"/dev/null", 0},
    };
    for (const auto& [name, expected] : cases) {
        mock_->deviceName = name;
        EXPECT_EQ(plotter_.isPlotFile(), expected) << name;
    }
}

TEST_F(PlotterTest, InStepsRoundsHalfUpAndTruncatesTowardZero) {
    const std::pair<float, LONG> cases[] = {
        {0.0125f, 1},
        {-0.05f, -1},
        {-0.06f, -1},
        {0.0f, 0},
        {25.0f, 1000},
        {-0.0925f, -3}, // -3.7 steps + 0.5 = -3.2
        {1e30f, std::numeric_limits<LONG>::max()},
        {-1e30f, std::numeric_limits<LONG>::min()},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& [mm, steps] : cases)
        EXPECT_EQ(plotter_.InSteps(mm), steps) << mm;
}

TEST_F(PlotterTest, UnitSlotsUseThePlotLibrarysUnit) {
    EXPECT_FLOAT_EQ(plotter_.MMToUnit(12.5f), 12.5f);
    EXPECT_FLOAT_EQ(plotter_.UnitToMM(3.0f), 3.0f);
    EXPECT_STREQ(plotter_.UnitName(), "mm");
    float w = 0, h = 0;
    plotter_.GetPlotSize(w, h);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 1000);
}

TEST_F(PlotterTest, TheSharedBindingStartsDetachedWithOptimisationOn) {
    EXPECT_EQ(DRV.driver, nullptr);
    EXPECT_EQ(DRV.currentPen, unsigned(-1));
    EXPECT_EQ(Optimization, 1);
}

} // namespace
