// The whole cut chain: a text path file read and prepared by pathkit, cut through DRV and
// PlotPath into the template-language driver cutdrv-coral, bound to the default section
// "Generic HP-GL Cutter" with its Device turned into a file. The file must hold exactly the
// HP-GL worked out by hand below.
//
// How the numbers come about (default section):
// - StepSize 0.025 mm: the design is mapped by scale(1 / 0.025) = 40 steps a millimetre.
// - MaxY 610 mm is across the media: Plot's first coordinate, 0..24400 steps. MaxX 5000 mm is
//   along it: Plot's second coordinate, 0..200000 steps. That is the clip box.
// - Plot's first coordinate is the driver's y, its second the driver's x. OrigoPos 1 with
//   PaperWidth 0 (the media width, 24400 steps) sends the driver's (x, y) as HP-GL's
//   (X, Y) = (x, 24400 - y): a point (x, y) of the design reaches the file as
//   "y,24400-x", a quarter turn, so the cut reads as the design does.
// - AbsoluteCoords 0: every MoveTo is "PU dX,dY;" and every LineTo "PD dX,dY;", relative to
//   the knife, which starts at the device origin. A step of the design by (dx, dy) is sent
//   as "dy,-dx".
// - Bezier is empty: a curve is flattened by the driver (below).
// - The job: HPStart sends Initialize "IN;", Start(1) CutInit "PR;SP1;" (relative plotting,
//   pen 1), SetSpeed(1) the cut speed 200 / 10 as "VS20;". The head is parked at the design's
//   origin (one PU back by the knife's position), and End sends "PU;SP0;" (pen up, pen put
//   away).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pathkit/ColorPath.h>
#include <pathkit/ColorWPFReader.h>
#include <pathkit/InStrStream.h>
#include <pathkit/TMatrix.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <testing/FakeSpooler.h>
#include <testing/PlatformTest.h>
#include <win32/KernelTesting.h>
#include <win32/UserTesting.h>
#include <win32/kernel.h>

#include "DataFolder.h"
#include "PlotEndToEndTest.h"
#include "PlotSettings.h"
#include "SpoolJobFile.h"

namespace {

constexpr const char* kSection = "Generic HP-GL Cutter";

const std::string kJobStart = "IN;PR;SP1;VS20;";
const std::string kJobEnd = "PU;SP0;";

// The arch in steps runs from (1120, 200) over the control points (1080, 216), (1040, 216) to
// (1000, 200). Its control points are evenly spaced along the base, so at t = k / 8 it lies
// at (1120 - 15 k, 200 + 48 t (1 - t)), a rise of 0.75 k (8 - k): 5.25, 9, 11.25, 12, ...
// The driver flattens in fourfold steps, splits every curve at least once and accepts a
// piece once its midpoint lies less than one step (4) from its chord's midpoint. The halves
// bulge 3 steps, the quarters 0.75: each quarter is output as its two halves, 8 lines to the
// points at t = k / 8, each truncated to whole steps (5, 9, 11, 12, 11, 9, 5, 0 above the
// base). Sent as "dy,-dx": PD<rise difference>,15.
const std::string kArch = "PD5,15;PD4,15;PD2,15;PD1,15;PD-1,15;PD-2,15;PD-4,15;PD-5,15;";

// The square reaches across the media's far edge at 610 mm, 2.5 mm of it on the media.
const char* const kAcrossTheEdge = "Path\r\n"
                                   "SubPath 605 5\r\n"
                                   " L 615 5\r\n"
                                   " L 615 15\r\n"
                                   " L 605 15\r\n"
                                   " L 605 5\r\n"
                                   "EndSubPath\r\n"
                                   "EndPath\r\n";

SYSTEMTIME At(WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t{};
    t.wYear = 2024;
    t.wMonth = 5;
    t.wDay = 2;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

class CoralEndToEndTest : public PlotEndToEndTest {
protected:
    void SetUp() override {
        PlotEndToEndTest::SetUp();
        out_ = (DataFolder() / "cut.plt").string();
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, "Device", out_.c_str(), ini_.c_str()));
    }

    std::string Key(const char* key) const { return PlotEndToEndTest::Key(kSection, key); }

    // One job as the cut run drives it; false when the driver could not be bound.
    bool Cut(Path& design) {
        if (!CutJob(kSection, {&design})) return false;
        EXPECT_EQ(across_, 24400); // MaxY: across the media
        EXPECT_EQ(along_, 200000);
        return true;
    }

    std::string out_;
};

TEST_F(CoralEndToEndTest, SquareAndArchReachTheFileAsHandWrittenHPGL) {
    struct Case {
        float overcut;
        int optimization;
        std::string expected;
    };
    const Case cases[] = {
        // In the file's order (Prepare sorts by the left edge): the square from (200, 200),
        // sent as (200, 24400 - 200); its first side 400 steps in Plot's x (the second
        // number, negated), then the arch's base from (1000, 200), the arch, and home from
        // (1000, 200).
        {0, 0,
         kJobStart + "PU200,24200;PD0,-400;PD400,0;PD0,400;PD-400,0;" + "PU0,-800;PD0,-120;" +
             kArch + "PU-200,1000;" + kJobEnd},
        // Overcut 1 mm = 40 steps: each closed outline retraces the start of its first side,
        // a line, so the knife ends 40 steps along it.
        {1, 0,
         kJobStart + "PU200,24200;PD0,-400;PD400,0;PD0,400;PD-400,0;PD0,-40;" +
             "PU0,-760;PD0,-120;" + kArch + "PD0,-40;" + "PU-200,1040;" + kJobEnd},
        // Optimised: bands of 10 steps from the lowest point (y 200) up. The arch's top (212)
        // lies in band 2, the square's (600) in band 40: the arch first. From the knife at
        // (0, 0) its nearest node is (1000, 200), where it starts already. From there the
        // square's nearest node is (600, 200): it starts at its lower right corner.
        {0, 1,
         kJobStart + "PU200,23400;PD0,-120;" + kArch +
             "PU0,400;PD400,0;PD0,400;PD-400,0;PD0,-400;" + "PU-200,600;" + kJobEnd},
        // Both: the square's overcut now runs up its right side, 40 steps in Plot's y.
        {1, 1,
         kJobStart + "PU200,23400;PD0,-120;" + kArch + "PD0,-40;" +
             "PU0,440;PD400,0;PD0,400;PD-400,0;PD0,-400;PD40,0;" + "PU-240,600;" + kJobEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "overcut " << c.overcut << " optimization " << c.optimization);
        OverCutting = c.overcut;
        Optimization = c.optimization;
        ColorPath design = ReadDesign(kSquareAndArch);
        ASSERT_TRUE(Cut(design));
        EXPECT_EQ(ReadFile(out_), c.expected);
        EXPECT_EQ(Key("Device"), out_);
    }
}

TEST_F(CoralEndToEndTest, AnOutlineAcrossTheMediaEdgeIsCutOnlyOnTheMedia) {
    // In steps the square spans x 24200..24600 and y 200..600; the media ends at x 24400.
    // What is left is the rectangle 24200..24400 by 200..600, closed along the media edge.
    struct Case {
        int optimization;
        std::string expected;
    };
    const Case cases[] = {
        // The rebuilt outline starts where the square comes back onto the media, at
        // (24400, 600), sent as (600, 0) on the media's edge, follows the square's top, left side
        // and bottom to (24400, 200) and
        // is closed up the edge. Overcut: 40 steps along the top again.
        {0, kJobStart + "PU600,0;PD0,200;PD-400,0;PD0,-200;PD400,0;PD0,40;" + "PU-600,24360;" +
                kJobEnd},
        // Optimised: started at the node nearest the knife, (24200, 200); the overcut runs
        // along the bottom.
        {1, kJobStart + "PU200,200;PD0,-200;PD400,0;PD0,200;PD-400,0;PD0,-40;" + "PU-200,24240;" +
                kJobEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "optimization " << c.optimization);
        OverCutting = 1;
        Optimization = c.optimization;
        ColorPath design = ReadDesign(kAcrossTheEdge);
        ASSERT_TRUE(Cut(design));
        EXPECT_EQ(ReadFile(out_), c.expected);
    }
}

TEST_F(CoralEndToEndTest, ASpooledJobHoldsTheSameStreamAndLeavesDevicesIniAsItWas) {
    const std::filesystem::path spool = DataFolder() / "spool";
    std::filesystem::create_directories(spool);
    SdInstallFakeClock(1000, At(9, 5, 7));
    const std::string devicesIni = ReadFile(ini_);
    DRV.useSpooler = 1;
    DRV.spoolDirectory = spool.c_str();
    DRV.jobName = "Sign";
    DRV.media = "Vinyl";
    DRV.color = "Black";
    DRV.sheetSizeText = "35 x 15";
    DRV.sheetText = "1/1";
    DRV.copies = 1;
    OverCutting = 0;
    Optimization = 0;

    ColorPath design = ReadDesign(kSquareAndArch);
    ASSERT_TRUE(Cut(design));

    const std::string header = "Name=Sign\nDevice=Generic HP-GL Cutter\nMedia=Vinyl\nColor=Black\n"
                               "SheetSize=35 x 15\nSheet=1/1\nCopies=1\nTarvelSignature=";
    const std::uint32_t length = std::uint32_t(header.size()) + 9;
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%8.8X\n",
                  unsigned(SpoolJobFile::Checksum(header.data(), header.size())));
    const std::string expected = std::string{char(length), char(length >> 8), 0, 0} + header +
                                 checksum + std::string(4, '\0') + kJobStart +
                                 "PU200,24200;PD0,-400;PD400,0;PD0,400;PD-400,0;" +
                                 "PU0,-800;PD0,-120;" + kArch + "PU-200,1000;" + kJobEnd;
    EXPECT_EQ(ReadFile(spool / "Sign-090507-1.1.wjob"), expected);
    // The job went to the spool file only, and the Device key was put back byte for byte.
    EXPECT_FALSE(std::filesystem::exists(out_));
    EXPECT_EQ(Key("Device"), out_);
    EXPECT_EQ(ReadFile(ini_), devicesIni);
}

TEST_F(CoralEndToEndTest, BadSettingsAreToldAndNoJobIsDone) {
    struct Case {
        const char* what;
        const char* key; // a key of the default section, or null
        const char* value;
        const char* section;  // what is attached
        bool attaches;        // Attach succeeds (the job is refused at Init)
        std::string expected; // part of the one message shown
    };
    const Case cases[] = {
        {"MaxX 0", "MaxX", "0", kSection, true, "MaxX of the device section"},
        {"MaxX negative", "MaxX", "-5", kSection, true, "MaxX of the device section"},
        {"MaxX not a number", "MaxX", "abc", kSection, true, "MaxX of the device section"},
        {"MaxY 0", "MaxY", "0", kSection, true, "MaxY of the device section"},
        {"MaxY negative", "MaxY", "-5", kSection, true, "MaxY of the device section"},
        {"MaxY not a number", "MaxY", "abc", kSection, true, "MaxY of the device section"},
        {"missing section", nullptr, nullptr, "No Such Cutter", false,
         "\"No Such Cutter\" is not defined in "},
        {"missing plug-in", "Driver", "cutdrv-absent.dll", kSection, false,
         "The driver cutdrv-absent.dll cannot be loaded"},
        {"missing Attach", "Driver", "plot-noattach.dll", kSection, false,
         "plot-noattach.dll cannot be used"},
        {"no cutter chosen", nullptr, nullptr, "", false, "No cutter is chosen"},
    };
    const std::string original = ReadFile(ini_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(ini_, std::ios::binary | std::ios::trunc) << original;
        if (c.key) WritePrivateProfileStringA(kSection, c.key, c.value, ini_.c_str());
        std::filesystem::remove(out_);
        PushMessageBoxAnswer(IDOK);
        int attached = AttachSelectedDevice(c.section, nullptr);
        EXPECT_EQ(attached, c.attaches ? 0 : -1);
        if (attached == 0) {
            DRV.Init(1);
            DRV.HPStart();
            DRV.Start(1);
            DRV.MoveTo(400, 400);
            DRV.LineTo(800, 400);
            DRV.End();
            DRV.Exit();
            EXPECT_EQ(DRV.aborted, 1);
        }
        DRV.Detach();
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        const std::string text = MessageBoxLog()[0].text;
        EXPECT_NE(text.find(c.expected), std::string::npos) << text;
        if (c.key && std::string(c.key) != "Driver") {
            EXPECT_NE(text.find(kSection), std::string::npos) << text;
            EXPECT_NE(text.find(ini_), std::string::npos) << text;
        }
        EXPECT_FALSE(std::filesystem::exists(out_)) << "nothing was sent";
        SdClearMessageBoxes();
    }
}

// The lettering "SIGNDESK 2026" (DejaVu Sans, 20 mm an em, its 15 outlines as FreeType gives
// them), a circle of radius 15 mm and a square of 40 mm with a square hole, made once into a
// text path file. Cut with the default section and read back from the HP-GL in HP-GL's own
// frame (X along the media, Y across), every outline must be the design turned a quarter
// (X = y, Y = 610 mm - x): the same orientation, within the accuracy, on the media.
// OrigoPos 0, the documented way to cut mirrored, gives the mirror image (X = y, Y = x).
struct Pt {
    double x, y;
};
using Contour = std::vector<Pt>;

double SignedArea(const Contour& c) {
    double a = 0;
    for (std::size_t i = 0; i + 1 < c.size(); ++i)
        a += c[i].x * c[i + 1].y - c[i + 1].x * c[i].y;
    return a / 2;
}

double DistanceToPolyline(const Pt& p, const Contour& line) {
    double best = HUGE_VAL;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const Pt& a = line[i];
        const Pt& b = line[i + 1];
        double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        double t =
            len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

// The outlines of the HP-GL (relative, one pair a command), in millimetres, from the device
// origin where the knife starts.
std::vector<Contour> CutContours(const std::string& hpgl, double mmPerStep) {
    std::vector<Contour> contours;
    double X = 0, Y = 0;
    std::stringstream in(hpgl);
    for (std::string command; std::getline(in, command, ';');) {
        const std::string op = command.substr(0, 2);
        if (op != "PU" && op != "PD") continue;
        long a = 0, b = 0;
        if (std::sscanf(command.c_str() + 2, "%ld,%ld", &a, &b) != 2) continue;
        X += double(a) * mmPerStep;
        Y += double(b) * mmPerStep;
        if (op == "PU")
            contours.push_back({{X, Y}});
        else if (!contours.empty())
            contours.back().push_back({X, Y});
    }
    std::erase_if(contours, [](const Contour& c) { return c.size() < 2; });
    return contours;
}

// The design's outlines, curves sampled finely, mapped into HP-GL's frame.
std::vector<Contour> DesignContours(const std::vector<ColorPath>& design,
                                    const std::function<Pt(Pt)>& map) {
    std::vector<Contour> contours;
    for (const ColorPath& path : design) {
        for (const SubPath& sp : path.subPaths) {
            Contour c;
            for (const PathMember& m : sp.members) {
                const int samples = m.IsCurve() ? 256 : 1;
                for (int i = c.empty() ? 0 : 1; i <= samples; ++i) {
                    double t = double(i) / samples, u = 1 - t;
                    double x = u * u * u * m.start.x + 3 * u * u * t * m.ctrl1.x +
                               3 * u * t * t * m.ctrl2.x + t * t * t * m.end.x;
                    double y = u * u * u * m.start.y + 3 * u * u * t * m.ctrl1.y +
                               3 * u * t * t * m.ctrl2.y + t * t * t * m.end.y;
                    if (!m.IsCurve()) {
                        x = u * m.start.x + t * m.end.x;
                        y = u * m.start.y + t * m.end.y;
                    }
                    c.push_back(map({x, y}));
                }
            }
            contours.push_back(c);
        }
    }
    return contours;
}

TEST_F(CoralEndToEndTest, LetteringIsCutRightReadingOnTheMedia) {
    std::ifstream file(PLOT_TEST_DATA "/design/signdesk-2026.wpf", std::ios::binary);
    ASSERT_TRUE(file);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    std::vector<ColorPath> design;
    {
        InStrStream in(text.data(), long(text.size()));
        ColorWPFReader reader(in, 0);
        for (;;) {
            ColorPath path;
            if (!reader.Read(path) || !path.subPaths.Filled()) break;
            path.Prepare();
            design.push_back(std::move(path));
        }
    }
    ASSERT_EQ(design.size(), 3u);

    constexpr double kWidth = 610, kLength = 5000, kAccuracy = 0.1; // the default section
    struct Case {
        const char* origoPos;
        bool mirrored;
        std::function<Pt(Pt)> map; // design (x across, y along) to HP-GL (X along, Y across)
    };
    const Case cases[] = {
        {"1", false,
         [](Pt p) {
             return Pt{p.y, kWidth - p.x};
         }},
        {"0", true,
         [](Pt p) {
             return Pt{p.y, p.x};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("OrigoPos ") + c.origoPos);
        ASSERT_TRUE(WritePrivateProfileStringA(kSection, "OrigoPos", c.origoPos, ini_.c_str()));
        OverCutting = 0;
        Optimization = 1;
        std::vector<Path*> paths;
        for (ColorPath& path : design)
            paths.push_back(&path);
        ASSERT_TRUE(CutJob(kSection, paths));

        const std::vector<Contour> cut = CutContours(ReadFile(out_), 0.025);
        const std::vector<Contour> expected = DesignContours(design, c.map);
        const std::vector<Contour> unmapped = DesignContours(design, [](Pt p) { return p; });
        ASSERT_EQ(cut.size(), expected.size());
        std::vector<int> matched(expected.size(), 0);
        for (const Contour& k : cut) {
            // Closed, and on the media.
            EXPECT_NEAR(k.front().x, k.back().x, 1e-9);
            EXPECT_NEAR(k.front().y, k.back().y, 1e-9);
            for (const Pt& p : k) {
                EXPECT_GE(p.x, 0);
                EXPECT_LE(p.x, kLength);
                EXPECT_GE(p.y, 0);
                EXPECT_LE(p.y, kWidth);
            }
            // The design outline it follows: every vertex and every chord's middle lies
            // within the accuracy of it.
            std::size_t best = 0;
            double bestDistance = HUGE_VAL;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                double worst = 0;
                for (std::size_t j = 0; j < k.size() && worst < bestDistance; ++j) {
                    worst = std::max(worst, DistanceToPolyline(k[j], expected[i]));
                    if (j + 1 < k.size()) {
                        Pt mid{(k[j].x + k[j + 1].x) / 2, (k[j].y + k[j + 1].y) / 2};
                        worst = std::max(worst, DistanceToPolyline(mid, expected[i]));
                    }
                }
                if (worst < bestDistance) {
                    bestDistance = worst;
                    best = i;
                }
            }
            EXPECT_LE(bestDistance, kAccuracy);
            ++matched[best];
            // A rotation keeps the sense of every outline, a reflection turns it.
            const double cutArea = SignedArea(k);
            const double mapped = SignedArea(expected[best]);
            const double own = SignedArea(unmapped[best]); // in the design's frame
            EXPECT_EQ(cutArea > 0, c.mirrored ? own < 0 : own > 0) << "outline " << best;
            EXPECT_NEAR(cutArea, mapped, 0.01 * std::fabs(mapped)) << "outline " << best;
        }
        for (std::size_t i = 0; i < matched.size(); ++i)
            EXPECT_EQ(matched[i], 1) << "outline " << i;
    }
}

} // namespace
