// The USB-pipe driver's setup sheet: two pages, and no control of a key it does not read.

#include <gtest/gtest.h>

#include <string>

#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

class EmberSetupTest : public PluginTest {
protected:
    EmberSetupTest() : PluginTest("cutdrv-ember.dll") {}
};

TEST_F(EmberSetupTest, KeysTheDriverDoesNotReadAreNeitherShownNorWritten) {
    PlotterDriver* d = Attach("ToolOffset=0.3");
    const std::string before = ReadFile(ini_);
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_EQ(Sheet(s)->GetPageCount(), 2);
        for (int id : {1025, 1051, 1052, 1053})
            EXPECT_FALSE(Shown(s, 0, id)) << id;
        for (int id : {1035, 1018, 1019, 1020, 1054, 1055})
            EXPECT_FALSE(Shown(s, 1, id)) << id;
        EXPECT_TRUE(Shown(s, 0, 1003));
        Ok(s);
    });
    EXPECT_EQ(d->Setup(nullptr), 1);
    EXPECT_EQ(ReadFile(ini_), before + "Driver=cutdrv-ember.dll\n");
}

} // namespace
