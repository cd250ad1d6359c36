// The setup sheet of the template-language driver: what OK writes, what it refuses, and that
// the driver goes on with what was saved.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>

#include <mfc/FrameworkStrings.h>
#include <win32/KernelTesting.h>
#include <win32/user.h>

#include "CoralTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

constexpr int General = 0, Commands = 1, Serial = 2, Coordinates = 3;

const std::string kDevices = "; cutters\r\n"
                             "[Cutter]\r\n"
                             "Driver=cutdrv-coral.dll\r\n"
                             "Device=COM2:\r\n"
                             "MaxX=1000\r\n"
                             "NumberOfPens=1h\r\n"
                             "Accuracy=0.10\r\n"
                             "; keep this\r\n"
                             "Unknown=kept\r\n"
                             "FlowCtrl=2\r\n"
                             "MoveRel=PU#,#;\r\n"
                             "\r\n"
                             "[Other]\r\n"
                             "Driver=cutdrv-dune.dll\r\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    std::string::size_type at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

class SetupSheetTest : public CoralTest {
protected:
    PlotterDriver* Load(const std::string& bytes, const char* section = "Cutter") {
        ini_ = Path("Devices.ini");
        std::ofstream(ini_, std::ios::binary) << bytes;
        return Bind(section);
    }
    int RunSheet(PlotterDriver* driver, std::function<void(HWND)> script) {
        SetDialogScriptForClass("CSetupSheet", std::move(script));
        return driver->Setup(nullptr);
    }
};

// Each row works the sheet, then the file is compared byte for byte with what it must be.
TEST_F(SetupSheetTest, WritesExactlyTheChangedKeys) {
    struct Row {
        const char* what;
        std::string before;
        std::function<void(HWND)> script;
        std::string after;
        int result;
    };
    const std::string sparse = "[Cutter]\r\nDriver=cutdrv-coral.dll\r\nDevice=LPT1\r\n";
    const Row rows[] = {
        {"change MaxX", kDevices,
         [](HWND s) {
             Type(s, General, 1003, "1200");
             Ok(s);
         },
         Replaced(kDevices, "MaxX=1000", "MaxX=1200"), 1},
        {"OK untouched", kDevices, [](HWND s) { Ok(s); }, kDevices, 1},
        {"Cancel after edits", kDevices,
         [](HWND s) {
             Type(s, General, 1003, "1500");
             Type(s, Commands, 1009, "IN;");
             Cancel(s);
         },
         kDevices, 0},
        {"RTS/CTS on FlowCtrl=2", kDevices,
         [](HWND s) {
             Click(s, Serial, 550);
             Ok(s);
         },
         Replaced(kDevices, "MoveRel=PU#,#;\r\n", "MoveRel=PU#,#;\r\nRTS/CTS=1\r\nXON/XOFF=1\r\n"),
         1},
        {"sparse section and MaxX", sparse,
         [](HWND s) {
             Type(s, General, 1003, "2500");
             Ok(s);
         },
         sparse + "MaxX=2500\r\n", 1},
        {"rename", kDevices,
         [](HWND s) {
             Type(s, General, 1002, "Cutter 2");
             Type(s, General, 1004, "600");
             Ok(s);
         },
         kDevices + "\r\n[Cutter 2]\r\nDriver=cutdrv-coral.dll\r\nDevice=COM2:\r\nMaxX=1000\r\n"
                    "NumberOfPens=1h\r\nAccuracy=0.10\r\n; keep this\r\nUnknown=kept\r\n"
                    "FlowCtrl=2\r\nMoveRel=PU#,#;\r\nMaxY=600\r\n",
         1},
        {"template with blanks around it", kDevices,
         [](HWND s) {
             Type(s, Commands, 1010, " PU; ");
             Ok(s);
         },
         Replaced(kDevices, "MoveRel=PU#,#;", "MoveRel=\" PU; \""), 1},
        {"same number written otherwise", kDevices,
         [](HWND s) {
             Type(s, General, 1024, "10.0");
             Type(s, General, 1007, "1");
             Ok(s);
         },
         kDevices, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PlotterDriver* driver = Load(row.before);
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(RunSheet(driver, row.script), row.result);
        EXPECT_EQ(ReadFile(ini_), row.after);
    }
}

TEST_F(SetupSheetTest, ShowsWhatTheDriverUsesForAbsentKeys) {
    PlotterDriver* driver = Load("[Cutter]\r\nDriver=cutdrv-coral.dll\r\n");
    RunSheet(driver, [](HWND s) {
        EXPECT_EQ(Text(s, General, 1025), "0.5");  // ToolOffset
        EXPECT_EQ(Text(s, General, 1024), "20");   // Accuracy, hundredths
        EXPECT_EQ(Text(s, General, 1001), "LPT1"); // Device
        EXPECT_EQ(Text(s, General, 1003), "3000");
        EXPECT_EQ(Text(s, General, 1030), "mm/sec");
        EXPECT_EQ(Text(s, Serial, 1019), "2400"); // BaudRate 4
        EXPECT_EQ(Text(s, Serial, 1022), "1.5");  // StopBits 1
        EXPECT_EQ(Text(s, Serial, 1036), "60");
        EXPECT_EQ(Text(s, Commands, 1018), "PD#,#");
        EXPECT_TRUE(::IsDlgButtonChecked(Page(s, Serial), 550)) << "FlowCtrl 1 is RTS/CTS";
        EXPECT_FALSE(::IsDlgButtonChecked(Page(s, Serial), 551));
        Ok(s);
    });
    EXPECT_EQ(ReadFile(ini_), "[Cutter]\r\nDriver=cutdrv-coral.dll\r\n");
}

} // namespace

namespace {

// Apply writes at once and the sheet goes on from what it wrote; Cancel afterwards writes
// nothing more and gives 0, but the driver has taken the applied keys.
TEST_F(SetupSheetTest, ApplyWritesAndTheSheetGoesOn) {
    PlotterDriver* driver = Load(kDevices);
    EXPECT_EQ(RunSheet(driver,
                       [](HWND s) {
                           Type(s, General, 1003, "1200");
                           EXPECT_TRUE(Sheet(s)->PressButton(PSBTN_APPLYNOW));
                           EXPECT_TRUE(::IsWindowVisible(s));
                           // Nothing is left to apply until the next edit.
                           EXPECT_FALSE(Sheet(s)->PressButton(PSBTN_APPLYNOW));
                           Type(s, General, 1004, "700");
                           Cancel(s);
                       }),
              0);
    EXPECT_EQ(ReadFile(ini_), Replaced(kDevices, "MaxX=1000", "MaxX=1200"));
    EXPECT_EQ(driver->maxX, 48000);
}

} // namespace
