// Print-and-cut of a sign from end to end: "SIGN" in DejaVu Sans Bold, cut only, beside a
// filled star cut round its outline, two copies printed with registration marks on the raster
// printer and cut on a sheet turned and moved on the cutter. Taken back through the sheet's
// placement, the letters' cut follows their outlines and the star's cut its printed edge; also
// through the shipped HP-GL definition to a cutter on a serial line that reports its head.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include <pathkit/Path.h>
#include <testing/FakePort.h>
#include <text/TrueTypeFont.h>

#include "PrintAndCutRun.h"

namespace {

constexpr char Word[] = "SIGN";
constexpr float CapHeight = 10; // mm
constexpr float Baseline = 15;
constexpr float StarX = 60, StarY = 20, StarOuter = 20, StarInner = 8;

using Polyline = std::vector<floatPoint>;

// The outline's sub-paths as polylines, curves in 32 steps.
std::vector<Polyline> Flatten(Path& path) {
    std::vector<Polyline> out;
    for (SubPath& sp : path.subPaths) {
        Polyline line;
        for (PathMember& m : sp.members) {
            if (line.empty()) line.push_back(m.start);
            if (!m.IsCurve()) {
                line.push_back(m.end);
                continue;
            }
            for (int i = 1; i <= 32; ++i) {
                float t = float(i) / 32, u = 1 - t;
                float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                line.emplace_back(a * m.start.x + b * m.ctrl1.x + c * m.ctrl2.x + d * m.end.x,
                                  a * m.start.y + b * m.ctrl1.y + c * m.ctrl2.y + d * m.end.y);
            }
        }
        out.push_back(std::move(line));
    }
    return out;
}

double DistanceToPolylines(const std::vector<Polyline>& lines, double x, double y) {
    double best = 1e9;
    for (const Polyline& l : lines)
        for (std::size_t i = 1; i < l.size(); ++i) {
            double ax = l[i - 1].x, ay = l[i - 1].y, dx = l[i].x - ax, dy = l[i].y - ay;
            double len = dx * dx + dy * dy;
            double t = len > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len, 0.0, 1.0) : 0;
            best = std::min(best, std::hypot(ax + t * dx - x, ay + t * dy - y));
        }
    return best;
}

class SignPrintAndCutTest : public PrintAndCutRun {
protected:
    void SetUp() override {
        PrintAndCutRun::SetUp();
        TrueTypeFont font;
        font.fontName = "DejaVu Sans Bold";
        if (!font.Load()) GTEST_SKIP() << "the font DejaVu Sans Bold is not installed";
        float x = 1;
        for (const char* c = Word; *c != 0; ++c) {
            SourcePath letter;
            ASSERT_EQ(font.GetCharPath(std::uint16_t(*c), letter.path), 1) << *c;
            floatTMatrix m = font.glyphMatrix;
            m.Scale(CapHeight, CapHeight);
            m.Translate(x, Baseline);
            letter.path.Transform(m);
            letter.path.Prepare();
            letter.cut = true;
            letter.print = false;
            letters.push_back(letter.path);
            design.paths.push_back(std::move(letter));
            x += font.GetCharWidth(std::uint16_t(*c)) * CapHeight;
        }
        font.Unload();
        ASSERT_LT(x, StarX - StarOuter);
        SourcePath star;
        for (int i = 0; i <= 10; ++i) {
            double a = M_PI / 2 + i * M_PI / 5, r = (i % 2) ? StarInner : StarOuter;
            float sx = float(StarX + r * std::cos(a)), sy = float(StarY + r * std::sin(a));
            if (i == 0)
                star.path.Append(PC_MOVETO, sx, sy);
            else
                star.path.Append(sx, sy);
        }
        star.path.ClosePath();
        star.fill = RGB(200, 0, 0);
        star.cut = true;
        design.paths.push_back(std::move(star));
        LayOut();
    }

    void Run(bool laser) {
        PrintCalibrateCut(laser);
        std::vector<floatTMatrix> copies = CopyMatrices();
        ASSERT_EQ(copies.size(), 2u);
        // The letters' outlines on the page, both copies.
        std::vector<Polyline> letterLines;
        for (Path& l : letters)
            for (Polyline& line : Flatten(l))
                for (const floatTMatrix& m : copies) {
                    Polyline placed = line;
                    for (floatPoint& p : placed)
                        m.Transform(p.x, p.y);
                    letterLines.push_back(std::move(placed));
                }
        // Which part of which copy a page point lies in: letters left of the star's box.
        auto inLetters = [&](float x, float y) {
            for (const floatTMatrix& m : copies) {
                float dx = x, dy = y;
                m.Inv().Transform(dx, dy);
                if (dx > -1 && dx < StarX - StarOuter && dy > -1 && dy < 41) return true;
            }
            return false;
        };

        // Cut only: no ink where the letters stand.
        for (const floatTMatrix& m : copies) {
            float x0 = 1, y0 = Baseline - 1, x1 = StarX - StarOuter - 1, y1 = Baseline + 12;
            m.Transform(x0, y0);
            m.Transform(x1, y1);
            int ink = 0;
            for (int y = int(std::min(y0, y1) * px); y < int(std::max(y0, y1) * px); ++y)
                for (int x = int(std::min(x0, x1) * px); x < int(std::max(x0, x1) * px); ++x)
                    if (Ink(page.at(x, y))) ++ink;
            EXPECT_EQ(ink, 0);
        }

        // Every cut point on a letter's outline or on the star's printed edge.
        int letterPoints = 0, starPoints = 0, off = 0;
        for (const CutPoint& p : cut) {
            if (!OnPage(p)) continue;
            if (inLetters(p.x, p.y)) {
                ++letterPoints;
                if (DistanceToPolylines(letterLines, p.x, p.y) > 0.2) ++off;
            } else {
                ++starPoints;
                if (!OnPrintedEdge(p.x, p.y, 0.2)) ++off;
            }
        }
        EXPECT_GT(letterPoints, 100);
        EXPECT_GT(starPoints, 10);
        EXPECT_EQ(off, 0);

        // Every letter edge on the cut, sampled every 0.25 mm.
        int letterSamples = 0, letterFar = 0;
        for (const Polyline& l : letterLines)
            for (std::size_t i = 1; i < l.size(); ++i) {
                double dx = l[i].x - l[i - 1].x, dy = l[i].y - l[i - 1].y;
                int n = std::max(1, int(std::hypot(dx, dy) / 0.25));
                for (int k = 0; k < n; ++k, ++letterSamples)
                    if (DistanceToCut(l[i - 1].x + dx * k / n, l[i - 1].y + dy * k / n) > 0.2)
                        ++letterFar;
            }
        EXPECT_GT(letterSamples, 500);
        EXPECT_EQ(letterFar, 0);

        // Every printed edge of the stars on the cut.
        auto edges = InkEdges(15, 15, 195, 60, [&](float x, float y) {
            if (inLetters(x, y)) return false;
            for (const floatTMatrix& m : copies) {
                float dx = x, dy = y;
                m.Inv().Transform(dx, dy);
                if (std::hypot(dx - StarX, dy - StarY) < StarOuter + 0.5f) return true;
            }
            return false;
        });
        EXPECT_GT(edges.size(), 20u);
        int far = 0;
        for (const floatPoint& e : edges)
            if (DistanceToCut(e.x, e.y) > 0.2 + 0.5 / px) ++far;
        EXPECT_EQ(far, 0);
    }

    std::vector<Path> letters;
};

} // namespace

TEST_F(SignPrintAndCutTest, CutsTheLetteringAndTheStarOnAMovedSheet) {
    Run(false);
}

TEST_F(SignPrintAndCutTest, CutsTheLetteringAndTheStarWithTheLaserPointer) {
    Run(true);
}

// The shipped HP-GL definition on COM1, a cutter on the line: the head is read from the
// cutter's OA answers at each mark, and the cut is what the cutter received.
TEST_F(SignPrintAndCutTest, CutsThroughTheDefaultHpglCutterOnASerialLine) {
    FakeCutter cutter;
    if (!cutter.IsOpen()) GTEST_SKIP() << "no pseudo-terminal";
    FakePort port("COM1", cutter.PortPath());
    std::filesystem::copy_file(SHIPPED_DEVICES, devices,
                               std::filesystem::copy_options::overwrite_existing);
    section = "Generic HP-GL Cutter";
    serialCutter = &cutter;
    Run(false);
    EXPECT_NE(cutter.Received().find("PR;SP1;"), std::string::npos);
}
