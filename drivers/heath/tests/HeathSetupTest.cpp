// The GP-GL driver's one-page setup sheet.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <mfc/CPropertySheet.h>
#include <testing/FakeCutter.h>
#include <testing/FakeUsbTree.h>

#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

class HeathSetupTest : public PluginTest {
protected:
    HeathSetupTest() : PluginTest("cutdrv-heath.dll") {}
    PlotterDriver* Load(const std::string& bytes) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << bytes;
        return Bind("Heath");
    }
};

TEST_F(HeathSetupTest, WritesTheFixedKeysAndTheChangedOnes) {
    PlotterDriver* driver = Load("[Heath]\r\nType=CC200\r\nCutPressure=5\r\n");
    ASSERT_NE(driver, nullptr);
    // Attaching wrote the USB ids and the device.
    const std::string attached = ReadFile(ini_);
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(s, ID_APPLY_NOW))) << "no Apply";
        EXPECT_EQ(Text(s, 0, 1024), "20");
        EXPECT_EQ(Text(s, 0, 1035), "5");
        Type(s, 0, 1035, "30");
        Ok(s);
    });
    EXPECT_EQ(driver->Setup(nullptr), 1);
    std::string expected = attached;
    expected.replace(expected.find("CutPressure=5"), 13, "CutPressure=30");
    expected += "Driver=cutdrv-heath.dll\r\nStepSize=0.05\r\nPageSize=0\r\nNumberOfPens=1\r\n"
                "AbsoluteCoords=1\r\n";
    EXPECT_EQ(ReadFile(ini_), expected);
}

TEST_F(HeathSetupTest, PressureRangeFollowsTheModelFamily) {
    struct Case {
        const char* type;
        const char* tooHigh;
        const char* highest;
    };
    for (const Case& c : {Case{"CC100", "4", "3"}, Case{"CC200", "31", "30"},
                          Case{"CC300", "34", "33"}, Case{"XY", "4", "3"}}) {
        SCOPED_TRACE(c.type);
        PlotterDriver* driver = Load(std::string("[Heath]\r\nType=") + c.type + "\r\n");
        SetDialogScriptForClass("CSetupSheet", [&](HWND s) {
            PushMessageBoxAnswer(IDOK);
            Type(s, 0, 1034, c.tooHigh);
            Ok(s);
            EXPECT_TRUE(::IsWindowVisible(s));
            Type(s, 0, 1034, c.highest);
            Ok(s);
        });
        EXPECT_EQ(driver->Setup(nullptr), 1);
        EXPECT_NE(ReadFile(ini_).find(std::string("PlotPressure=") + c.highest), std::string::npos);
        auto log = MessageBoxLog();
        ASSERT_FALSE(log.empty());
        EXPECT_NE(log.back().text.find(c.highest), std::string::npos) << log.back().text;
    }
}

// The cut after OK sends the new pressure to the cutter found on USB.
TEST_F(HeathSetupTest, TheNextCutSendsTheNewPressure) {
    FakeCutter cutter;
    ASSERT_TRUE(cutter.IsOpen());
    FakeUsbTree tree(DataFolder() / "usb");
    tree.AddDevice("1-1", "0b4d", "110a", cutter.PortPath());
    PlotterDriver* driver = Load("[Heath]\r\nType=CC200\r\nCutSpeed=5\r\n");
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        Type(s, 0, 1035, "7");
        Ok(s);
    });
    EXPECT_EQ(driver->Setup(nullptr), 1);
    Job(driver, [](PlotterDriver* d) {
        d->MoveTo(100, 200);
        d->LineTo(300, 200);
    });
    ASSERT_TRUE(cutter.WaitForReceived("!10\3"));
    EXPECT_NE(cutter.Received().find("!5\3FX7,0\3"), std::string::npos) << cutter.Received();
}

} // namespace
