// The maker's-library driver's setup sheet: four pages, Pause, and the device line of "USB".

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <testing/FakePort.h>

#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

class BerylSetupTest : public PluginTest {
protected:
    BerylSetupTest() : PluginTest("cutdrv-beryl.dll") {}
};

TEST_F(BerylSetupTest, PauseAndTheLibrarysDevice) {
    // The maker's library opens what section [PcutLib] of the port table names.
    std::filesystem::create_directories(std::filesystem::path(FakePort::TableFile()).parent_path());
    std::ofstream(FakePort::TableFile(), std::ios::app) << "[PcutLib]\nDevice=/nonexistent/lp9\n";
    PlotterDriver* d = Attach("Pause=250");
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_EQ(Sheet(s)->GetPageCount(), 4);
        EXPECT_EQ(Text(s, 0, 1051), "250");
        Type(s, 0, 1001, "USB");
        EXPECT_EQ(Text(s, 0, 1050), "PcutLib (Ports.ini): /nonexistent/lp9: missing");
        Type(s, 0, 1051, "800");
        Ok(s);
    });
    EXPECT_EQ(d->Setup(nullptr), 1);
    std::string file = ReadFile(ini_);
    EXPECT_NE(file.find("Pause=800\n"), std::string::npos);
    EXPECT_NE(file.find("Device=USB\n"), std::string::npos);
}

} // namespace
