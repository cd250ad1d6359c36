#pragma once
// Print-and-cut as a user runs it, for the end-to-end tests: the design is laid out with three
// registration marks and crop marks, two copies at (10, 10) with a gap of 5 and marks 5 mm
// off; it is printed on the raster printer; a detector finds the three registration corners
// in the page; the sheet lies on the cutter turned by 0.3 degrees and moved by (20, 10) mm, so
// the head readings are the marks so placed; the calibration dialog records them and the
// copies are cut into an HP-GL file, read back through the placement into page millimetres.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <plot/Plotter.h>
#include <shell/BoxTransforms.h>
#include <testing/DialogDriver.h>
#include <testing/FakeCutter.h>
#include <testing/FakeSpooler.h>

#include "OutputFixture.h"
#include "output/CCalibrationDlg.h"
#include "output/PrintCut.h"
#include "output/PrintRun.h"

// One point of the cut file in page millimetres; down: the knife cut the way to it.
struct CutPoint {
    float x, y;
    bool down;
};

class PrintAndCutRun : public OutputTest {
protected:
    static constexpr float Step = 0.025f;

    void SetUp() override {
        OutputTest::SetUp();
        saved = DRV;
        devices = (DataFolder() / "Devices.ini").string();
        output = (DataFolder() / "cut.plt").string();
        std::ofstream(devices) << "[Test]\nDriver=cutdrv-coral.dll\nDevice=" << output
                               << "\nStepSize=0.025\nMaxX=20000\nMaxY=20000\nAbsoluteCoords=1\n"
                                  "Accuracy=0.01\nInitialize=IN;\nCutInit=SP1;\nEnd=PU;SP0;\n"
                                  "MoveRel=PU#,#;\nLineRel=PD#,#;\nOrigoPos=0\nToolOffset=0\n";
        const float a = float(0.3 * M_PI / 180);
        placement = floatTMatrix(std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 20, 10);
    }
    void TearDown() override {
        DRV.Detach();
        DRV = saved;
        OutputTest::TearDown();
    }

    // Lays the design out and takes its cut contour.
    void LayOut() {
        Options(10, 5, 1, 1);
        design.x = design.y = 10;
        design.copies = 2;
        design.gap = 5;
        engine->Attach(&design);
        engine->UpdateLayout(1);
        design.GetCutContours(outlines, lines);
        engine->outlinePaths = &outlines;
        engine->linePaths = &lines;
    }

    // Each copy's matrix from design coordinates to page millimetres.
    std::vector<floatTMatrix> CopyMatrices() {
        std::vector<floatTMatrix> out;
        engine->ForEachCopy(
            0, [&](const floatTMatrix& placed) { out.push_back(engine->designMatrix * placed); });
        return out;
    }

    // Through a serial line: the cutter of the section `section` in the file `devices` sits
    // behind it and answers "OH;" with a sheet 24400 steps across and "OA;" with the head's
    // position; the head is read from it at each mark, and the cut is read back from what it
    // received (relative HP-GL).
    FakeCutter* serialCutter = nullptr;
    std::string section = "Test";

    // The head position the plot library reads for an OA answer (X, Y): h = origin + X u + Y v,
    // found from three answers; and back.
    struct HeadReadings {
        double origin[2], u[2], v[2];
        void Read(double X, double Y, double& hx, double& hy) const {
            hx = origin[0] + X * u[0] + Y * v[0];
            hy = origin[1] + X * u[1] + Y * v[1];
        }
        void Answer(double hx, double hy, double& X, double& Y) const {
            double det = u[0] * v[1] - v[0] * u[1];
            double dx = hx - origin[0], dy = hy - origin[1];
            X = (dx * v[1] - v[0] * dy) / det;
            Y = (u[0] * dy - dx * u[1]) / det;
        }
    };
    HeadReadings ProbeHeadReadings() {
        HeadReadings r{};
        const int probes[3][2] = {{0, 0}, {1000, 0}, {0, 1000}};
        double h[3][2];
        for (int i = 0; i < 3; ++i) {
            serialCutter->SetReply("OA;", std::to_string(probes[i][0]) + "," +
                                              std::to_string(probes[i][1]) + ",0\r");
            EXPECT_EQ(DRV.ReadHeadPos(), 1);
            h[i][0] = DRV.headX;
            h[i][1] = DRV.headY;
        }
        for (int k = 0; k < 2; ++k) {
            r.origin[k] = h[0][k];
            r.u[k] = (h[1][k] - h[0][k]) / 1000;
            r.v[k] = (h[2][k] - h[0][k]) / 1000;
        }
        return r;
    }

    // Prints, finds the marks, calibrates on the placed sheet (with the laser pointer 5, 3 mm
    // off the knife when asked) and cuts. Fills page, px (pixels per mm) and cut.
    void PrintCalibrateCut(bool laser) {
        CDC& dc = Printer("Raster");
        ASSERT_EQ(PrintPages(dc, *engine, "Raster", "sign", false), PrintRunResult::Printed);
        ReleasePrinter();
        auto pages = SdGdiPrintedPages();
        ASSERT_EQ(pages.size(), 1u);
        page = pages[0].image;
        px = double(page.width) / 210.0;
        floatPoint marks[3];
        DetectRegistrationCorners(page, px, marks);
        floatPoint targets[3];
        DefaultRegistrationPoints(*engine, targets);
        // Printed marks stand on whole device pixels: within a pixel and a half.
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(marks[i].x, targets[i].x, 1.5 / px) << i;
            EXPECT_NEAR(marks[i].y, targets[i].y, 1.5 / px) << i;
        }

        if (serialCutter) serialCutter->SetReply("OH;", "0,0,200000,24400\r");
        ASSERT_EQ(DRV.Attach("cutdrv-coral.dll", section.c_str(), devices.c_str(), nullptr), 0);
        DRV.Init(1);
        HeadReadings readings{};
        if (serialCutter) readings = ProbeHeadReadings();
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
                double hx = (x - offX) / Step, hy = (y - offY) / Step;
                if (serialCutter) {
                    // The cutter tells where its head stands.
                    double X, Y;
                    readings.Answer(hx, hy, X, Y);
                    serialCutter->SetReply("OA;", std::to_string(std::lround(X)) + "," +
                                                      std::to_string(std::lround(Y)) + ",0\r");
                    sdtest::Click(d, 1561);
                    EXPECT_EQ(DRV.headX, std::lround(hx));
                    EXPECT_EQ(DRV.headY, std::lround(hy));
                } else {
                    DRV.headX = LONG(std::lround(hx));
                    DRV.headY = LONG(std::lround(hy));
                }
                sdtest::PressKey(d, '1' + i);
            }
            sdtest::Click(d, IDOK);
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        floatTMatrix fit;
        ASSERT_TRUE(MatrixFromThreePoints(fit, targets[0], targets[1], targets[2], dlg.measured[0],
                                          dlg.measured[1], dlg.measured[2]));
        // The cut starts from the origin, the driver told so too (it read the head last).
        DRV.headX = DRV.headY = 0;
        DRV.SetHeadPos();
        DRV.Start(1);
        CutReport r = CutSheetCopies(DRV, *engine, fit, 0, false);
        DRV.End();
        DRV.Exit();
        DRV.Detach();
        ASSERT_EQ(r.copiesCut, 2);
        if (!serialCutter) {
            cut = ReadCut();
            return;
        }
        ASSERT_TRUE(serialCutter->WaitForReceived("PU;SP0;"));
        cut = ReadRelativeCut(serialCutter->Received(), readings);
    }

    // A relative HP-GL stream, which starts where the plot library's head (0, 0) stands, taken
    // back through the head readings and the sheet's placement.
    std::vector<CutPoint> ReadRelativeCut(const std::string& text, const HeadReadings& r) {
        std::vector<CutPoint> out;
        double X, Y;
        r.Answer(0, 0, X, Y);
        std::regex re("P([UD])(-?[0-9]+),(-?[0-9]+);");
        floatTMatrix back = placement.Inv();
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re);
             it != std::sregex_iterator(); ++it) {
            X += std::stol((*it)[2]);
            Y += std::stol((*it)[3]);
            double hx, hy;
            r.Read(X, Y, hx, hy);
            float x = float(hx * Step), y = float(hy * Step);
            back.Transform(x, y);
            out.push_back(CutPoint{x, y, (*it)[1] == "D"});
        }
        return out;
    }

    // The three registration corners found in the page (mm): the ink pixels furthest to the
    // lower left, upper left and upper right start the search; each corner is where the
    // centre lines of its two arms meet, the arms' rows and columns averaged.
    static void DetectRegistrationCorners(const SdGdiImage& img, double pxPerMm,
                                          floatPoint found[3]) {
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

    // The cut file's points taken back through the sheet's placement.
    std::vector<CutPoint> ReadCut() {
        std::ifstream in(output);
        std::stringstream s;
        s << in.rdbuf();
        std::string text = s.str();
        std::vector<CutPoint> out;
        std::regex re("P([UD])(-?[0-9]+),(-?[0-9]+);");
        floatTMatrix back = placement.Inv();
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re);
             it != std::sregex_iterator(); ++it) {
            // The cutter's X is the plot library's second coordinate.
            float x = float(std::stol((*it)[3])) * Step, y = float(std::stol((*it)[2])) * Step;
            back.Transform(x, y);
            out.push_back(CutPoint{x, y, (*it)[1] == "D"});
        }
        return out;
    }

    // Distance (mm) from a page point to the nearest stretch the knife cut.
    double DistanceToCut(double x, double y) const {
        double best = 1e9;
        for (std::size_t i = 1; i < cut.size(); ++i) {
            if (!cut[i].down) continue;
            double ax = cut[i - 1].x, ay = cut[i - 1].y, bx = cut[i].x, by = cut[i].y;
            double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
            double t = len > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len, 0.0, 1.0) : 0;
            best = std::min(best, std::hypot(ax + t * dx - x, ay + t * dy - y));
        }
        return best;
    }

    // Off the page's edge: the head's moves before and after the copies.
    static bool OnPage(const CutPoint& p) { return p.x > 1 && p.y > 1 && p.x < 209 && p.y < 296; }

    // Whether both ink and paper lie within r mm of a page point (a printed edge).
    bool OnPrintedEdge(double x, double y, double r) const {
        const int reach = int(std::ceil(r * px));
        int cx = int(x * px), cy = int(y * px);
        bool ink = false, paper = false;
        for (int yy = std::max(0, cy - reach); yy <= std::min(page.height - 1, cy + reach); ++yy)
            for (int xx = std::max(0, cx - reach); xx <= std::min(page.width - 1, cx + reach); ++xx)
                (Ink(page.at(xx, yy)) ? ink : paper) = true;
        return ink && paper;
    }

    // Left edges of ink (ink with paper to its right) every third row and column inside the
    // box (page mm) where keep(x, y) holds, as page millimetres.
    std::vector<floatPoint> InkEdges(float x0, float y0, float x1, float y1,
                                     const std::function<bool(float, float)>& keep) const {
        std::vector<floatPoint> out;
        for (int y = int(y0 * px); y < int(y1 * px); y += 3)
            for (int x = int(x0 * px); x < int(x1 * px); x += 3) {
                if (!Ink(page.at(x, y)) || Ink(page.at(x + 1, y))) continue;
                float mx = float((x + 1) / px), my = float((y + 0.5) / px);
                if (keep(mx, my)) out.emplace_back(mx, my);
            }
        return out;
    }

    Plotter saved;
    std::string devices, output;
    Path outlines{0}, lines{0};
    floatTMatrix placement;
    FakeSpooler spooler;
    SdGdiImage page;
    double px = 0;
    std::vector<CutPoint> cut;
};
