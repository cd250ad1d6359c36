#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include <driverframe/DeviceSection.h>
#include <settings/CIniFile.h>

#include "FrameTest.h"

namespace {

class DeviceSectionTest : public FrameTest {
protected:
    DeviceSection Load(const std::string& ini, const char* section = "Cutter") {
        std::string path = WriteFile("Devices.ini", ini);
        CIniFile file(path.c_str());
        DeviceSection s;
        loaded_ = s.Load(file, section);
        return s;
    }
    bool loaded_ = false;
};

TEST_F(DeviceSectionTest, AbsentKeysTakeTheirDefaults) {
    DeviceSection s = Load("[Cutter]\nDevice=out.plt\n");
    EXPECT_TRUE(loaded_);
    struct Key {
        const char* name;
        long long value;
        long long expected;
    } keys[] = {
        {"isGPGL", s.isGPGL, 0},
        {"SwapXY", s.swapXY, 0},
        {"OrigoPos", s.origoPos, 0},
        {"MirrorToX", s.mirrorToX, 0},
        {"MirrorToY", s.mirrorToY, 0},
        {"MaxX", s.maxX, 120000}, // 3000 mm
        {"MaxY", s.maxY, 48000},  // 1200 mm
        {"PaperWidth", s.paperWidth, 48000},
        {"PaperHeight", s.paperHeight, 120000},
        {"PageSize", s.pageSize, 0},
        {"NumberOfPens", s.numberOfPens, 1},
        {"AbsoluteCoords", s.absoluteCoords, 0},
        {"Accuracy", s.accuracy, 8},      // 0.2 mm
        {"ToolOffset", s.toolOffset, 20}, // 0.5 mm
        {"PlotSpeed", s.plotSpeed, 40},
        {"CutSpeed", s.cutSpeed, 20},
        {"MuliplePoints", s.muliplePoints, 0},
        {"BaudRate", s.baudRate, 4},
        {"Bits", s.bits, 1},
        {"FlowCtrl", s.flowCtrl, 1},
        {"StopBits", s.stopBits, 1},
        {"Parity", s.parity, 0},
        {"TimeOut", s.timeOut, 60},
        {"AutoSyncCaps", s.autoSyncCaps, 0},
        {"UseAutoSync", s.useAutoSync, 0},
    };
    for (const Key& k : keys)
        EXPECT_EQ(k.value, k.expected) << k.name;
    EXPECT_FLOAT_EQ(s.stepSize, 0.025f);
    EXPECT_EQ(s.device, "out.plt");
    EXPECT_EQ(s.windowsUSBID, "");
    EXPECT_EQ(s.autoSyncName, "");
    EXPECT_EQ(s[Cmd::StartLine].Stored(), "PD#,#");
    EXPECT_EQ(s[Cmd::ContinueLine].Stored(), ",#,#");
    EXPECT_EQ(s[Cmd::EndLine].Stored(), ";");
    for (Cmd c : {Cmd::SelectPen, Cmd::Initialize, Cmd::CutInit, Cmd::PlotInit, Cmd::Reset,
                  Cmd::SetDepth, Cmd::End, Cmd::MoveRel, Cmd::LineRel, Cmd::Bezier, Cmd::SetOrigin,
                  Cmd::SetSpeed, Cmd::GetPlottingArea, Cmd::GetHeadPos, Cmd::FindSynchMarkers,
                  Cmd::GetSynchMarkers, Cmd::SetSyncData, Cmd::StartSyncProc})
        EXPECT_TRUE(s[c].IsEmpty()) << int(c);

    EXPECT_EQ(Load("[Cutter]\n").device, "LPT1");
}

TEST_F(DeviceSectionTest, ValuesAreReadAsIntegersOrMillimetres) {
    struct Case {
        const char* line;
        std::function<long long(const DeviceSection&)> field;
        long long expected;
    } cases[] = {
        {"NumberOfPens=10h", [](auto& s) { return s.numberOfPens; }, 16},
        {"TimeOut=1Eh", [](auto& s) { return s.timeOut; }, 30},
        {"OrigoPos=2", [](auto& s) { return s.origoPos; }, 2},
        {"BaudRate=-1", [](auto& s) { return s.baudRate; }, -1},
        {"PlotSpeed=405", [](auto& s) { return s.plotSpeed; }, 40},
        {"CutSpeed=9", [](auto& s) { return s.cutSpeed; }, 0},
        {"CutSpeed=0C8h", [](auto& s) { return s.cutSpeed; }, 20},
        {"MaxX=2000", [](auto& s) { return s.maxX; }, 80000},
        {"MaxY=470", [](auto& s) { return s.maxY; }, 18800},
        {"MaxX=-2000", [](auto& s) { return s.maxX; }, -80000},
        {"PageSize=0.0125", [](auto& s) { return s.pageSize; }, 1}, // half a step rounds up
        {"PaperWidth=0.0124", [](auto& s) { return s.paperWidth; }, 0},
        {"PaperHeight=-0.0125", [](auto& s) { return s.paperHeight; }, 0},
        {"Accuracy=0.02", [](auto& s) { return s.accuracy; }, 2}, // 1 step is raised to 2
        {"Accuracy=0", [](auto& s) { return s.accuracy; }, 2},
        {"Accuracy=0.1", [](auto& s) { return s.accuracy; }, 4},
        {"ToolOffset=0.25", [](auto& s) { return s.toolOffset; }, 10},
        {"ToolOffset=-1", [](auto& s) { return s.toolOffset; }, -40},
        {"MaxX=1e30", [](auto& s) { return s.maxX; }, INT_MAX}, // saturates, never overflows
        {"MaxX=-1e300", [](auto& s) { return s.maxX; }, INT_MIN},
        {"MaxY=nan", [](auto& s) { return s.maxY; }, 0},
        {"MaxY=inf", [](auto& s) { return s.maxY; }, INT_MAX},
        {"MaxY=lots", [](auto& s) { return s.maxY; }, 0},
    };
    for (const Case& c : cases) {
        DeviceSection s = Load(std::string("[Cutter]\n") + c.line + "\n");
        EXPECT_EQ(c.field(s), c.expected) << c.line;
    }
}

TEST_F(DeviceSectionTest, StepSizeConvertsTheLengthsOfItsSection) {
    DeviceSection s = Load("[Cutter]\nStepSize=0.01\nMaxX=30\nAccuracy=0.2\n");
    EXPECT_TRUE(loaded_);
    EXPECT_FLOAT_EQ(s.stepSize, 0.01f);
    EXPECT_EQ(s.maxX, 3000);
    EXPECT_EQ(s.accuracy, 20);
    for (const char* bad : {"0", "-0.025", "nonsense", "nan", "inf"}) {
        s = Load(std::string("[Cutter]\nMaxX=2000\nStepSize=") + bad + "\n");
        EXPECT_FALSE(loaded_) << bad;
        EXPECT_FLOAT_EQ(s.stepSize, 0.025f) << bad;
        EXPECT_EQ(s.maxX, 80000) << bad;
    }
}

TEST_F(DeviceSectionTest, TemplatesAreStoredAsReadAndConvertedOnRequest) {
    DeviceSection s = Load("[Cutter]\nMoveRel=PU#,#;\nGetHeadPos=OA;\\r\nStartLine=\n");
    EXPECT_EQ(s[Cmd::MoveRel].Stored(), "PU#,#;");
    EXPECT_EQ(s[Cmd::MoveRel].Converted(), "");
    EXPECT_EQ(s[Cmd::StartLine].Stored(), ""); // present but empty is not the default
    s.ConvertTemplates();
    EXPECT_EQ(s[Cmd::MoveRel].Converted(), "PU%ld,%ld;");
    EXPECT_EQ(s[Cmd::EndLine].Converted(), ";");
    EXPECT_EQ(s[Cmd::GetHeadPos].Converted(), ""); // sent as stored
    EXPECT_EQ(s[Cmd::GetHeadPos].Stored(), "OA;\\r");
}

TEST_F(DeviceSectionTest, AnyContentLoadsWithoutHarm) {
    std::string junk = "[Junk]\n";
    for (int i = 0; i < 2000; ++i)
        junk += char((i * 37 + 11) % 256);
    junk += "\n[Cutter]\nMoveRel=" + std::string(5000, '#') + "\nMaxX=\n[Cutter\nStepSize\n=5\n";
    junk += std::string("Initialize=A\0B", 14) + "\n";
    DeviceSection s = Load(junk);
    EXPECT_EQ(s.maxX, 120000);
    s.ConvertTemplates();
    char out[CommandTemplate::MaxCommandLength + 1];
    EXPECT_FALSE(s[Cmd::MoveRel].Format(out));
    EXPECT_EQ(s[Cmd::Initialize].Stored(), "A");
}

TEST_F(DeviceSectionTest, AttachingAgainLeavesOnlyTheNewSection) {
    std::string ini = WriteFile("Devices.ini", "[First]\nInitialize=IN;\nMaxX=100\nStepSize=0.01\n"
                                               "NumberOfPens=4\nPlotSpeed=100\nDevice=COM2\n"
                                               "[Second]\nMaxY=470\nPageSize=200\n");
    TestDriver& d = MakeDriver();
    d.Bind("First", ini.c_str());
    EXPECT_EQ(d.maxX, 10000);
    EXPECT_FLOAT_EQ(d.stepSize, 0.01f);
    EXPECT_EQ(d.numberOfPens, 4);
    EXPECT_EQ(d.plotSpeed, 10);
    EXPECT_STREQ(d.GetDeviceName(), "COM2");

    d.Bind("Second", ini.c_str());
    EXPECT_EQ(d.SectionName(), "Second");
    EXPECT_TRUE(d.Section()[Cmd::Initialize].IsEmpty());
    EXPECT_FLOAT_EQ(d.stepSize, 0.025f);
    EXPECT_EQ(d.maxX, 120000);
    EXPECT_EQ(d.maxY, 18800);
    EXPECT_EQ(d.pageSize, 8000);
    EXPECT_EQ(d.numberOfPens, 1);
    EXPECT_EQ(d.plotSpeed, 40);
    EXPECT_EQ(d.cutSpeed, 20);
    EXPECT_STREQ(d.GetDeviceName(), "LPT1");
    EXPECT_EQ(d.GetOrientation(), 1);
}

TEST_F(DeviceSectionTest, BadStepSizeIsReportedWhenTheDriverLoads) {
    std::string ini = WriteFile("Devices.ini", "[Cutter]\nStepSize=0\nMaxX=2000\n");
    TestDriver& d = MakeDriver();
    PushMessageBoxAnswer(IDOK);
    d.Bind("Cutter", ini.c_str());
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "bad step size in Cutter");
    EXPECT_FLOAT_EQ(d.stepSize, 0.025f);
    EXPECT_EQ(d.maxX, 80000);
    // The file keeps its value.
    EXPECT_EQ(ReadFile(ini), "[Cutter]\nStepSize=0\nMaxX=2000\n");
}

} // namespace
