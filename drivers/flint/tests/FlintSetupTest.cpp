// The setup sheet of the force cutters: Force and ForceCmd, and a cut with the new force.

#include <gtest/gtest.h>

#include <string>

#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

class FlintSetupTest : public PluginTest {
protected:
    FlintSetupTest() : PluginTest("cutdrv-flint.dll") {}
};

TEST_F(FlintSetupTest, TheNewForceGoesOutWithTheNextCut) {
    PlotterDriver* d = Attach("CutInit=IN;\nForceCmd=FS#;\nEnd=E;");
    ASSERT_EQ(JobOutput(d, [](PlotterDriver*) {}), "IN;FS1;E;");
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_EQ(Sheet(s)->GetPageCount(), 3);
        EXPECT_EQ(Text(s, 0, 1052), "1");
        EXPECT_EQ(Text(s, 1, 1054), "FS#;");
        EXPECT_FALSE(Shown(s, 0, 1053)) << "no acceleration";
        EXPECT_FALSE(Shown(s, 2, 1036)) << "a fixed time-out";
        Type(s, 0, 1052, "7");
        Ok(s);
    });
    EXPECT_EQ(d->Setup(nullptr), 1);
    EXPECT_EQ(JobOutput(d, [](PlotterDriver*) {}), "IN;FS7;E;");
}

} // namespace
