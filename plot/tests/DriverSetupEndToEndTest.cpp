// The cut page's Setup through the device binding: the driver's sheet saves, and the binding
// takes the driver's new step size and limits for the next cut.

#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <mfc/CPropertySheet.h>
#include <pathkit/TMatrix.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <testing/DialogDriver.h>
#include <testing/FakeSpooler.h>
#include <testing/PlatformTest.h>
#include <win32/KernelTesting.h>
#include <win32/kernel.h>

#include "DataFolder.h"
#include "PlotEndToEndTest.h"
#include "PlotSettings.h"

namespace {

class DriverSetupEndToEndTest : public PlotEndToEndTest {};

TEST_F(DriverSetupEndToEndTest, TheBindingTakesWhatTheSheetSaved) {
    std::ofstream(ini_, std::ios::app) << "\n[Setup Cutter]\nDriver=cutdrv-dune.dll\n"
                                          "Device=out.plt\nMaxX=1000\nMaxY=500\n";
    ASSERT_EQ(DRV.Attach("cutdrv-dune.dll", "Setup Cutter", ini_.c_str(), nullptr), 0);
    ASSERT_FLOAT_EQ(DRV.GetStepSize(), 0.025f);
    SetDialogScriptForClass("CSetupSheet", [](HWND sheet) {
        auto* s = static_cast<CPropertySheet*>(CWnd::FromHandle(sheet));
        sdtest::Type(s->GetPage(0)->m_hWnd, 1006, "0.05");
        sdtest::Click(sheet, IDOK);
    });
    EXPECT_EQ(DRV.Setup(nullptr), 1);
    EXPECT_EQ(Key("Setup Cutter", "StepSize"), "0.05");
    EXPECT_FLOAT_EQ(DRV.GetStepSize(), 0.05f);
    // The plot library's first coordinate runs across the media: the driver's max y.
    EXPECT_EQ(DRV.GetMaxXStep(), 10000);
    EXPECT_EQ(DRV.GetMaxYStep(), 20000);

    // Cancel changes nothing.
    SetDialogScriptForClass("CSetupSheet", [](HWND sheet) { sdtest::Click(sheet, IDCANCEL); });
    EXPECT_EQ(DRV.Setup(nullptr), 0);
    EXPECT_FLOAT_EQ(DRV.GetStepSize(), 0.05f);
}

} // namespace
