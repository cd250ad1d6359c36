// The default driver's setup sheet: three pages, and the step size it saves.

#include <gtest/gtest.h>

#include <string>

#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

class DuneSetupTest : public PluginTest {
protected:
    DuneSetupTest() : PluginTest("cutdrv-dune.dll") {}
};

TEST_F(DuneSetupTest, TheNewStepSizeTakesEffect) {
    PlotterDriver* d = Attach("MaxX=1000\nMaxY=500\nMoveRel=PU#,#;\nAbsoluteCoords=1");
    ASSERT_EQ(d->maxX, 40000);
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_EQ(Sheet(s)->GetPageCount(), 3) << "no coordinate page";
        EXPECT_EQ(Text(s, 0, 1006), "0.025");
        Type(s, 0, 1006, "0.05");
        Ok(s);
    });
    EXPECT_EQ(d->Setup(nullptr), 1);
    EXPECT_FLOAT_EQ(d->stepSize, 0.05f);
    EXPECT_EQ(d->maxX, 20000);
    EXPECT_EQ(d->maxY, 10000);
    EXPECT_NE(ReadFile(ini_).find("StepSize=0.05\n"), std::string::npos);
}

} // namespace
