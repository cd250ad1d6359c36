// The setup sheet of the acceleration cutters: the six accelerations, SetAcceleration among
// the commands, and a cut that sends what the sheet saved.

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "PluginTest.h"
#include "SheetScript.h"

namespace {

using namespace sheetscript;

class GarnetSetupTest : public PluginTest {
protected:
    GarnetSetupTest() : PluginTest("cutdrv-garnet.dll") {}
};

TEST_F(GarnetSetupTest, TheChosenAccelerationGoesOutWithTheNextCut) {
    PlotterDriver* d = Attach("CutInit=PR;\nEnd=E;\nSetAcceleration=AC$;");
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    SetDialogScriptForClass("CSetupSheet", [](HWND s) {
        EXPECT_EQ(Sheet(s)->GetPageCount(), 3);
        HWND accel = ::GetDlgItem(Page(s, 0), 1053);
        EXPECT_EQ(::SendMessageA(accel, CB_GETCOUNT, 0, 0), 6);
        EXPECT_EQ(Text(s, 0, 1053), "0.7");
        EXPECT_FALSE(Shown(s, 0, 1025)) << "no knife compensation";
        EXPECT_FALSE(Shown(s, 1, 1035)) << "no poly-lines";
        EXPECT_TRUE(Shown(s, 1, 1055));
        EXPECT_TRUE(sdtest::Select(Page(s, 0), 1053, "2.1"));
        Ok(s);
    });
    EXPECT_EQ(d->Setup(nullptr), 1);
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), locale) << "Setup leaves the locale alone";
    EXPECT_NE(ReadFile(ini_).find("Acceleration=2.1\n"), std::string::npos);
    EXPECT_EQ(JobOutput(d, [](PlotterDriver*) {}), "PR;AC2.1;E;");
}

TEST_F(GarnetSetupTest, ATemplateThatCouldPassTheLimitIsRefused) {
    PlotterDriver* d = Attach("End=E;");
    const std::string before = ReadFile(ini_);
    SetDialogScriptForClass("CSetupSheet", [this](HWND s) {
        // 240 bytes and an acceleration text of 20: over 255 with "$" in its place.
        PushMessageBoxAnswer(IDOK);
        Type(s, 0, 1053, std::string(20, '9'));
        Type(s, 1, 1055, std::string(240, 'A') + "$");
        Ok(s);
        EXPECT_TRUE(::IsWindowVisible(s));
        Cancel(s);
    });
    EXPECT_EQ(d->Setup(nullptr), 0);
    EXPECT_EQ(ReadFile(ini_), before);
}

} // namespace
