// The record-language driver's setup sheet.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "AmberDriver.h"
#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

constexpr int General = 0, Commands = 1, Serial = 2;

class AmberSetupTest : public PluginTest {
protected:
    AmberSetupTest() : PluginTest("cutdrv-amber.dll") {}
    PlotterDriver* Load(const std::string& bytes) {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << bytes;
        return Bind("Amber");
    }
};

TEST_F(AmberSetupTest, AbsentTemplatesShowTheBuiltInOnesAndStayAbsent) {
    const std::string file = "[Amber]\r\nDriver=cutdrv-amber.dll\r\nDevice=COM2\r\n";
    PlotterDriver* driver = Load(file);
    ASSERT_NE(driver, nullptr);
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_EQ(Text(s, Commands, 1013), "\\0\\255\\255\\255\\255\\0####"); // MoveTo
        EXPECT_EQ(Text(s, Commands, 1008), "\\1");                            // HeadPosStart
        EXPECT_EQ(Text(s, General, 1003), "1600");                            // MaxX
        EXPECT_EQ(Text(s, General, 1024), "20");                              // Accuracy
        EXPECT_TRUE(::IsDlgButtonChecked(Page(s, General), 1009)) << "lines: ConvertToSpline 0";
        EXPECT_TRUE(::IsDlgButtonChecked(Page(s, General), 1012)) << "continuous: PageSize 0";
        EXPECT_TRUE(Enabled(s, Serial, 1019)) << "no enabling rule";
        Ok(s);
    });
    EXPECT_EQ(driver->Setup(nullptr), 1);
    EXPECT_EQ(ReadFile(ini_), file);
}

TEST_F(AmberSetupTest, WritesTheAttachedSectionWhateverTheName) {
    const std::string file = "[Amber]\r\nDriver=cutdrv-amber.dll\r\nDevice=COM2\r\n";
    PlotterDriver* driver = Load(file);
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        HWND name = ::GetDlgItem(Page(s, General), 1002);
        EXPECT_TRUE(::GetWindowLongA(name, GWL_STYLE) & ES_READONLY);
        Click(s, General, 1008); // smooth points
        Click(s, General, 1011); // paged
        Type(s, Commands, 1024, "\\3\\4");
        Ok(s);
    });
    EXPECT_EQ(driver->Setup(nullptr), 1);
    EXPECT_EQ(ReadFile(ini_), file + "ConvertToSpline=1\r\nPageSize=1600\r\nStart=\\3\\4\r\n");
    EXPECT_EQ(static_cast<AmberDriver*>(driver)->Snapshot().convertToSpline, 1)
        << "the driver reloaded";
}

TEST_F(AmberSetupTest, RefusesASegmentOverTheCommandLimit) {
    const std::string file = "[Amber]\r\nDriver=cutdrv-amber.dll\r\n";
    PlotterDriver* driver = Load(file);
    SetDialogScriptForClass("CSetupSheet", [this](HWND s) {
        PushMessageBoxAnswer(IDOK);
        Type(s, Commands, 1011, std::string(128, 'x') + "\\200" + std::string(130, 'y'));
        Ok(s);
        EXPECT_TRUE(::IsWindowVisible(s)) << "the sheet stays";
        Cancel(s);
    });
    EXPECT_EQ(driver->Setup(nullptr), 0);
    EXPECT_EQ(ReadFile(ini_), file);
}

} // namespace

namespace {

// The plot library working in inches.
class InchPlotter : public TestPlotter {
public:
    float MMToUnit(float mm) override { return mm / 25.4f; }
    float UnitToMM(float value) override { return value * 25.4f; }
    const char* UnitName() override { return "in"; }
};

TEST_F(AmberSetupTest, LengthsTravelInThePlotLibrarysUnit) {
    const std::string file = "[Amber]\r\nMaxX=1600\r\nMaxY=451\r\n";
    PlotterDriver* driver = Load(file);
    InchPlotter inches;
    driver->owner = &inches;
    SetDialogScriptForClass("CSetupSheet", [this](HWND s) {
        EXPECT_EQ(Text(s, General, 1003), "62.992126"); // to the nearest 0.000001
        // Below 10 mm: the prompt names the limits in inches.
        PushMessageBoxAnswer(IDOK);
        Type(s, General, 1004, "0.3");
        Ok(s);
        auto log = MessageBoxLog();
        ASSERT_FALSE(log.empty());
        EXPECT_NE(log.back().text.find("0.393701"), std::string::npos) << log.back().text;
        EXPECT_NE(log.back().text.find("196.85"), std::string::npos) << log.back().text;
        Type(s, General, 1004, "10");
        Ok(s);
    });
    EXPECT_EQ(driver->Setup(nullptr), 1);
    // MaxX, untouched, stays as it was; MaxY is 254 mm.
    EXPECT_EQ(ReadFile(ini_), "[Amber]\r\nMaxX=1600\r\nMaxY=254\r\nDriver=cutdrv-amber.dll\r\n");
}

} // namespace
