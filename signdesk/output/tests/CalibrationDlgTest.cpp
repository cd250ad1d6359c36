// The head-positioning dialog driven as a user would: jogs by buttons and keys, records by
// keys, and OK that refuses unusable measurements.
#include <gtest/gtest.h>

#include <fstream>

#include <plot/Plotter.h>
#include <testing/DialogDriver.h>
#include <testing/FakeSpooler.h>
#include <win32/UserTesting.h>

#include "OutputFixture.h"
#include "output/CCalibrationDlg.h"
#include "output/OutputIds.h"

namespace {

class CalibrationDlgTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        saved = DRV;
        devices = (DataFolder() / "Devices.ini").string();
        std::ofstream(devices) << "[Test]\nDriver=cutdrv-coral.dll\nDevice="
                               << (DataFolder() / "jog.plt").string()
                               << "\nStepSize=0.025\nMaxX=5000\nMaxY=610\nAbsoluteCoords=1\n"
                                  "MoveRel=PU#,#;\nLineRel=PD#,#;\nInitialize=IN;\n";
        ASSERT_EQ(DRV.Attach("cutdrv-coral.dll", "Test", devices.c_str(), nullptr), 0);
        DRV.Init(1);
    }
    void TearDown() override {
        SdResetKeyState();
        DRV.Exit();
        DRV.Detach();
        DRV = saved;
        OutputTest::TearDown();
    }
    INT_PTR Run(CCalibrationDlg& dlg, SdDialogScript script) {
        SetDialogScript(CCalibrationDlg::IDD, std::move(script));
        return dlg.DoModal();
    }
    const floatPoint targets[3] = {{10, 60}, {10, 10}, {195, 10}};
    Plotter saved;
    std::string devices;
    FakeSpooler spooler;
};

} // namespace

TEST_F(CalibrationDlgTest, JogStepsFollowCtrlAndShiftAndStopAtZero) {
    CCalibrationDlg dlg(DRV, targets);
    DRV.headX = 100;
    DRV.headY = 0;
    struct Seen {
        LONG x, y;
    };
    std::vector<Seen> seen;
    Run(dlg, [&](HWND d) {
        sdtest::Click(d, 1558); // up by 400
        seen.push_back({DRV.headX, DRV.headY});
        SdSetKeyDown(VK_CONTROL, true);
        sdtest::Click(d, 1558); // by 40
        seen.push_back({DRV.headX, DRV.headY});
        SdSetKeyDown(VK_SHIFT, true);
        sdtest::PressKey(d, VK_UP); // by 4
        seen.push_back({DRV.headX, DRV.headY});
        SdResetKeyState();
        sdtest::Click(d, 1556);        // left adds 400 to x
        sdtest::Click(d, 1557);        // right takes it back
        sdtest::PressKey(d, VK_RIGHT); // from 100 by 400: stops at 0
        seen.push_back({DRV.headX, DRV.headY});
        EXPECT_EQ(sdtest::TextOf(d, 2601), "11.1");
        sdtest::Click(d, IDCANCEL);
    });
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].y, 400);
    EXPECT_EQ(seen[1].y, 440);
    EXPECT_EQ(seen[2].y, 444);
    EXPECT_EQ(seen[3].x, 0);
}

TEST_F(CalibrationDlgTest, RecordsTheWorkedExampleAndAcceptsIt) {
    CCalibrationDlg dlg(DRV, targets);
    const LONG heads[3][2] = {{1188, 2800}, {1200, 800}, {8600, 844}};
    INT_PTR result = Run(dlg, [&](HWND d) {
        for (int i = 0; i < 3; ++i) {
            DRV.headX = heads[i][0];
            DRV.headY = heads[i][1];
            sdtest::PressKey(d, '1' + i);
        }
        EXPECT_EQ(sdtest::TextOf(d, 1564), "X=215.00 Y=21.10");
        sdtest::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_NEAR(dlg.measured[0].x, 29.7, 1e-4);
    EXPECT_NEAR(dlg.measured[0].y, 70, 1e-4);
    EXPECT_NEAR(dlg.measured[2].x, 215, 1e-4);
}

TEST_F(CalibrationDlgTest, OkRefusesUnusableMeasurements) {
    struct Case {
        const char* name;
        LONG heads[3][2];
        int laser;
        int answer; // to the one box shown
        bool closes;
        int message;
    } cases[] = {
        {"never recorded", {{-1, -1}, {0, 0}, {0, 0}}, 0, IDOK, false, IDS_OUT_POINT_NOT_MEASURED},
        {"collinear", {{400, 400}, {400, 2400}, {400, 4400}}, 0, IDOK, false, IDS_OUT_BAD_TRIANGLE},
        {"distances, No",
         {{400, 2400}, {400, 400}, {7000, 400}},
         0,
         IDNO,
         false,
         IDS_OUT_DISTANCES_DIFFER},
        {"distances, Yes",
         {{400, 2400}, {400, 400}, {7000, 400}},
         0,
         IDYES,
         true,
         IDS_OUT_DISTANCES_DIFFER},
        {"below the laser offset",
         {{600, 2400}, {600, 400}, {8000, 400}},
         1,
         IDOK,
         false,
         IDS_OUT_POINT_NOT_MEASURED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCalibrationDlg dlg(DRV, targets);
        dlg.laserAllowed = 1;
        dlg.laserX = 20;
        PushMessageBoxAnswer(c.answer);
        INT_PTR result = Run(dlg, [&](HWND d) {
            for (int i = 0; i < 3; ++i) {
                if (c.heads[i][0] < 0) continue;
                DRV.headX = c.heads[i][0];
                DRV.headY = c.heads[i][1];
                sdtest::Click(d, 2700 + i);
            }
            // Recorded with the head, then switched to the laser pointer 20 mm off.
            if (c.laser) sdtest::Click(d, 2660);
            sdtest::Click(d, IDOK);
            // A refused measurement leaves the dialog open.
            if (!c.closes) sdtest::Click(d, IDCANCEL);
        });
        CString want;
        want.LoadString(UINT(c.message));
        EXPECT_EQ(MessageBoxLog().back().text, std::string(want));
        EXPECT_EQ(result, c.closes ? IDOK : IDCANCEL);
    }
}
