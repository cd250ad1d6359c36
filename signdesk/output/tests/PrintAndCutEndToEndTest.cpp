// Print-and-cut from end to end: a star and a ring marked for cutting are printed with three
// registration marks on the raster printer; a detector finds the marks in the page; the
// sheet lies on the cutter turned by 0.3 degrees and moved by (20, 10) mm, so the head
// readings are the marks so placed; the calibration dialog records them and the copies are
// cut into an HP-GL file. Taken back through the placement, every cut point lies on a
// printed edge and every printed edge on the cut.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

#include <plot/Plotter.h>
#include <shell/BoxTransforms.h>
#include <testing/DialogDriver.h>
#include <testing/FakeSpooler.h>

#include "OutputFixture.h"
#include "output/CCalibrationDlg.h"
#include "output/PrintCut.h"
#include "output/PrintRun.h"

namespace {

constexpr float kStep = 0.025f;

class PrintAndCutEndToEndTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        saved = DRV;
        devices = (DataFolder() / "Devices.ini").string();
        output = (DataFolder() / "cut.plt").string();
        std::ofstream(devices) << "[Test]\nDriver=cutdrv-coral.dll\nDevice=" << output
                               << "\nStepSize=0.025\nMaxX=20000\nMaxY=20000\nAbsoluteCoords=1\n"
                                  "Accuracy=0.01\nInitialize=IN;\nCutInit=SP1;\nEnd=PU;SP0;\n"
                                  "MoveRel=PU#,#;\nLineRel=PD#,#;\nOrigoPos=0\nToolOffset=0\n";
        // A ten-pointed star and a square ring (its hole cut too), two copies.
        SourcePath star;
        for (int i = 0; i <= 10; ++i) {
            double a = M_PI / 2 + i * M_PI / 5, r = (i % 2) ? 12 : 30;
            float x = float(30 + r * std::cos(a)), y = float(30 + r * std::sin(a));
            if (i == 0)
                star.path.Append(PC_MOVETO, x, y);
            else
                star.path.Append(x, y);
        }
        star.path.ClosePath();
        star.cut = true;
        design.paths.push_back(std::move(star));
        design.AddRect(70, 5, 110, 55, RGB(0, 0, 0), true);
        Options(10, 5, 1, 1);
        design.x = design.y = 10;
        design.copies = 2;
        design.gap = 5;
        engine->Attach(&design);
        engine->UpdateLayout(1);
        design.GetCutContours(outlines, lines);
        engine->outlinePaths = &outlines;
        engine->linePaths = &lines;
        // The sheet on the cutter: turned by 0.3 degrees about the origin, moved by (20, 10).
        const float a = float(0.3 * M_PI / 180);
        placement = floatTMatrix(std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 20, 10);
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved;
        OutputTest::TearDown();
    }

    // The three registration corners found in the page (mm): the ink pixels furthest to the
    // lower left, upper left and upper right start the search; each corner is where the
    // centre lines of its two arms meet, the arms' rows and columns averaged.
    static void Detect(const SdGdiImage& img, double pxPerMm, floatPoint found[3]) {
        long best[3] = {-(1L << 40), -(1L << 40), -(1L << 40)};
        int at[3][2] = {};
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                if (!Ink(img.at(x, y))) continue;
                long score[3] = {long(y) - x, -long(x) - y, long(x) - y};
                for (int k = 0; k < 3; ++k)
                    if (score[k] > best[k]) {
                        best[k] = score[k];
                        at[k][0] = x;
                        at[k][1] = y;
                    }
            }
        const int arm = int(8 * pxPerMm), near = 4;
        for (int k = 0; k < 3; ++k) {
            // The vertical arm runs up (k = 0) or down from the corner, the horizontal one to
            // the right (k = 0, 1) or left.
            int vy = k == 0 ? -1 : 1, hx = k == 2 ? -1 : 1;
            double sumX = 0, sumY = 0;
            int nX = 0, nY = 0;
            for (int i = near; i < arm; ++i) {
                for (int d = -near; d <= near; ++d) {
                    int x = at[k][0] + d, y = at[k][1] + vy * i;
                    if (x >= 0 && y >= 0 && x < img.width && y < img.height && Ink(img.at(x, y))) {
                        sumX += x + 0.5;
                        ++nX;
                    }
                    x = at[k][0] + hx * i;
                    y = at[k][1] + d;
                    if (x >= 0 && y >= 0 && x < img.width && y < img.height && Ink(img.at(x, y))) {
                        sumY += y + 0.5;
                        ++nY;
                    }
                }
            }
            found[k] = floatPoint(float(sumX / std::max(nX, 1) / pxPerMm),
                                  float(sumY / std::max(nY, 1) / pxPerMm));
        }
    }

    std::vector<floatPoint> CutPoints() {
        std::ifstream in(output);
        std::stringstream s;
        s << in.rdbuf();
        std::string text = s.str();
        std::vector<floatPoint> out;
        std::regex re("P[UD](-?[0-9]+),(-?[0-9]+);");
        floatTMatrix back = placement.Inv();
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re);
             it != std::sregex_iterator(); ++it) {
            // The cutter's X is the plot library's second coordinate.
            float x = float(std::stol((*it)[2])) * kStep, y = float(std::stol((*it)[1])) * kStep;
            back.Transform(x, y);
            out.emplace_back(x, y);
        }
        return out;
    }

    void Run(bool laser) {
        CDC& dc = Printer("Raster");
        ASSERT_EQ(PrintPages(dc, *engine, "Raster", "star", false), PrintRunResult::Printed);
        ReleasePrinter();
        auto pages = SdGdiPrintedPages();
        ASSERT_EQ(pages.size(), 1u);
        const SdGdiImage& img = pages[0].image;
        const double px = double(img.width) / 210.0;
        floatPoint marks[3];
        Detect(img, px, marks);
        floatPoint targets[3];
        DefaultRegistrationPoints(*engine, targets);
        // Printed marks stand on whole device pixels: within a pixel and a half.
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(marks[i].x, targets[i].x, 1.5 / px) << i;
            EXPECT_NEAR(marks[i].y, targets[i].y, 1.5 / px) << i;
        }

        ASSERT_EQ(DRV.Attach("cutdrv-coral.dll", "Test", devices.c_str(), nullptr), 0);
        DRV.Init(1);
        CCalibrationDlg dlg(DRV, targets);
        dlg.laserAllowed = 1;
        const double offX = laser ? 5.0 : 0.0, offY = laser ? 3.0 : 0.0;
        dlg.laserX = offX;
        dlg.laserY = offY;
        dlg.useLaser = laser;
        SetDialogScript(CCalibrationDlg::IDD, [&](HWND d) {
            for (int i = 0; i < 3; ++i) {
                // The user brings the head (or the laser pointer) onto the placed mark.
                float x = marks[i].x, y = marks[i].y;
                placement.Transform(x, y);
                DRV.headX = LONG(std::lround((x - offX) / kStep));
                DRV.headY = LONG(std::lround((y - offY) / kStep));
                sdtest::PressKey(d, '1' + i);
            }
            sdtest::Click(d, IDOK);
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        floatTMatrix fit;
        ASSERT_TRUE(MatrixFromThreePoints(fit, targets[0], targets[1], targets[2], dlg.measured[0],
                                          dlg.measured[1], dlg.measured[2]));
        DRV.headX = DRV.headY = 0;
        DRV.Start(1);
        CutReport r = CutSheetCopies(DRV, *engine, fit, 0, false);
        DRV.End();
        DRV.Exit();
        DRV.Detach();
        ASSERT_EQ(r.copiesCut, 2);

        std::vector<floatPoint> cut = CutPoints();
        ASSERT_GT(cut.size(), 20u);
        // Every cut point on a printed edge: ink and paper both within 0.2 mm.
        const int reach = int(std::ceil(0.2 * px));
        int off = 0;
        for (const floatPoint& p : cut) {
            int cx = int(p.x * px), cy = int(p.y * px);
            if (cx < reach || cy < reach || cx >= img.width - reach || cy >= img.height - reach)
                continue;
            bool ink = false, paper = false;
            for (int y = cy - reach; y <= cy + reach; ++y)
                for (int x = cx - reach; x <= cx + reach; ++x)
                    (Ink(img.at(x, y)) ? ink : paper) = true;
            if (!(ink && paper)) ++off;
        }
        EXPECT_EQ(off, 0);
        // Every printed edge of the designs on the cut: the cut path within 0.2 mm of each
        // edge pixel inside the copies.
        auto distanceToCut = [&](float x, float y) {
            double best = 1e9;
            for (std::size_t i = 1; i < cut.size(); ++i) {
                double ax = cut[i - 1].x, ay = cut[i - 1].y, bx = cut[i].x, by = cut[i].y;
                double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
                double t =
                    len > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len, 0.0, 1.0) : 0;
                best = std::min(best, std::hypot(ax + t * dx - x, ay + t * dy - y));
            }
            return best;
        };
        int far = 0, edges = 0;
        for (int y = int(15 * px); y < int(55 * px); y += 3)
            for (int x = int(15 * px); x < int(190 * px); x += 3) {
                if (!Ink(img.at(x, y)) || Ink(img.at(x + 1, y))) continue;
                double mx = (x + 1) / px, my = (y + 0.5) / px;
                // Only the designs' edges, not the marks between them.
                if ((mx > 95 && mx < 110)) continue;
                ++edges;
                if (distanceToCut(float(mx), float(my)) > 0.2 + 0.5 / px) ++far;
            }
        EXPECT_GT(edges, 50);
        EXPECT_EQ(far, 0);
    }

    Plotter saved;
    std::string devices, output;
    Path outlines{0}, lines{0};
    floatTMatrix placement;
    FakeSpooler spooler;
};

} // namespace

TEST_F(PrintAndCutEndToEndTest, CutsThePrintedShapesOnAMovedSheet) {
    Run(false);
}

TEST_F(PrintAndCutEndToEndTest, CutsThePrintedShapesWithTheLaserPointer) {
    Run(true);
}
