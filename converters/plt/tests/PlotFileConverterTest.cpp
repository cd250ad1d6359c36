#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ConverterTesting.h"
#include "PenTable.h"
#include "PlotFileConverter.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/ColorPath.h"
#include "pathkit/ColorWPFReader.h"
#include "pathkit/InStrStream.h"
#include "testing/PlatformTest.h"

namespace fs = std::filesystem;

namespace {

const fs::path Data = SD_TEST_DATA_DIR;

// Pens from a list given by the test; others have no entry.
class TestPens : public PenTable {
public:
    explicit TestPens(std::vector<std::string> colours = {})
        : PenTable(""), colours_(std::move(colours)) {}
    std::string Colour(long pen) const override {
        return pen >= 1 && pen <= long(colours_.size()) ? colours_[std::size_t(pen - 1)] : "R0G0B0";
    }

private:
    std::vector<std::string> colours_;
};

std::string Plot(const std::string& hpgl, const PenTable& pens = TestPens(),
                 std::vector<std::string>* reports = nullptr, AbortHandler* progress = nullptr) {
    InStrStream in(hpgl.data(), long(hpgl.size()));
    StringOutStream out;
    plt::ConvertPlot(in, long(hpgl.size()), out, progress, pens, reports);
    return out.bytes;
}

std::vector<ColorPath> ReadPaths(const std::string& text) {
    InStrStream in(text.data(), long(text.size()));
    ColorWPFReader reader(in, 0);
    std::vector<ColorPath> paths;
    for (int guard = 0; guard < 100000; ++guard) {
        ColorPath cp;
        if (!reader.Read(cp)) break;
        paths.push_back(cp);
    }
    return paths;
}

floatPoint PointOn(const PathMember& m, double t) {
    double u = 1 - t;
    if (!m.IsCurve())
        return {float(u * m.start.x + t * m.end.x), float(u * m.start.y + t * m.end.y)};
    double b0 = u * u * u, b1 = 3 * t * u * u, b2 = 3 * t * t * u, b3 = t * t * t;
    return {float(b0 * m.start.x + b1 * m.ctrl1.x + b2 * m.ctrl2.x + b3 * m.end.x),
            float(b0 * m.start.y + b1 * m.ctrl1.y + b2 * m.ctrl2.y + b3 * m.end.y)};
}

// Points along every member of the paths.
std::vector<floatPoint> Samples(const std::vector<ColorPath>& paths, int perMember = 16) {
    std::vector<floatPoint> out;
    for (const ColorPath& p : paths)
        for (const SubPath& sp : p.subPaths)
            for (const PathMember& m : sp.members)
                for (int i = 0; i <= perMember; ++i)
                    out.push_back(PointOn(m, double(i) / perMember));
    return out;
}

int MemberCount(const std::vector<ColorPath>& paths) {
    int n = 0;
    for (const ColorPath& p : paths)
        for (const SubPath& sp : p.subPaths)
            n += sp.members.Filled();
    return n;
}

struct Segment {
    floatPoint a, b;
};

double Distance(const Segment& s, floatPoint q) {
    double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((q.x - s.a.x) * dx + (q.y - s.a.y) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(q.x - (s.a.x + t * dx), q.y - (s.a.y + t * dy));
}

double Nearest(const std::vector<Segment>& strokes, floatPoint q) {
    double best = 1e30;
    for (const Segment& s : strokes)
        best = std::min(best, Distance(s, q));
    return best;
}

// The members flattened into short segments.
std::vector<Segment> Polyline(const std::vector<ColorPath>& paths) {
    std::vector<Segment> out;
    for (const ColorPath& p : paths)
        for (const SubPath& sp : p.subPaths)
            for (const PathMember& m : sp.members)
                for (int i = 1; i <= 64; ++i)
                    out.push_back({PointOn(m, (i - 1) / 64.0), PointOn(m, i / 64.0)});
    return out;
}

// The pen-down strokes of a simple absolute HP-GL file (PU x,y; PD x,y;), in mm.
std::vector<Segment> Strokes(const std::string& hpgl) {
    std::vector<Segment> out;
    floatPoint cur{0, 0};
    std::istringstream in(hpgl);
    std::string cmd;
    while (std::getline(in, cmd, ';')) {
        std::size_t at = cmd.find_first_of("PU"[0]);
        while (at != std::string::npos && at + 1 < cmd.size() && cmd[at + 1] != 'U' && cmd[at + 1] != 'D')
            at = cmd.find('P', at + 1);
        if (at == std::string::npos || at + 2 >= cmd.size()) continue;
        float x, y;
        if (std::sscanf(cmd.c_str() + at + 2, "%f,%f", &x, &y) != 2) continue;
        floatPoint p{x * 0.025f, y * 0.025f};
        if (cmd[at + 1] == 'D') out.push_back({cur, p});
        cur = p;
    }
    return out;
}

TEST(PlotFileConverterTest, SquareByteExact) {
    std::string out = Plot("IN;SP1;PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;");
    EXPECT_EQ(out, "Path Color=R0G0B0\r\nSubPath 0 0\r\nEndSubPath\r\nSubPath 0 0\r\n L 25 0\r\n"
                   " L 25 25\r\n L 0 25\r\n L 0 0\r\nEndSubPath\r\nEndPath\r\n");
}

TEST(PlotFileConverterTest, CommandsAndModes) {
    struct Case {
        const char* name;
        std::string hpgl;
        std::string body; // what follows the empty start sub-path
    } cases[] = {
        // PA alone sets nothing here; PR with a pair moves relatively once; PD stays absolute.
        {"PA then PR with a pair", "IN;PU1000,1000;PA;PR100,0;PD200,0;",
         "SubPath 27.5 25\r\n L 5 0\r\n"},
        {"PR alone makes PU relative", "IN;PU1000,1000;PR;PU100,0;PD0,40;",
         "SubPath 27.5 25\r\n L 27.5 26\r\n"},
        {"RO changes nothing; decimals cut", "IN;RO90;PU0,0;PD400.9,0;", "SubPath 0 0\r\n L 10 0\r\n"},
        {"page feed shifts by the page's largest x", "IN;PU0,0;PD400,0;PG;PU0,0;PD100,0;",
         "SubPath 0 0\r\n L 10 0\r\nEndSubPath\r\nSubPath 10 0\r\n L 12.5 0\r\n"},
        {"page feed without coordinates adds 0", "IN;PG;PU0,0;PD100,0;",
         "SubPath 0 0\r\n L 2.5 0\r\n"},
        {"numbers of 30 characters are skipped",
         "IN;PU0,0;PD" + std::string(30, '9') + ",0,40,0;", "SubPath 0 0\r\n L 1 0\r\n"},
        {"labels are passed over", "IN;PU0,0;LBPDPA PD40,40\x03PD40,0;",
         "SubPath 0 0\r\n L 1 0\r\n"},
        {"a label terminator set by DT", "IN;DT$;PU0,0;LBPD99,99$PD40,0;",
         "SubPath 0 0\r\n L 1 0\r\n"},
        {"escapes are passed over", "\x1b.Y\x1b.I81;;17:\x1b.N;19:IN;PU0,0;PD40,0;",
         "SubPath 0 0\r\n L 1 0\r\n"},
        {"a letter ends a list", "IN;PU0,0PD40,0PU;", "SubPath 0 0\r\n L 1 0\r\n"},
        {"a sharp corner ends the run", "IN;PU0,0;PD40,0,80,0,80,40;",
         "SubPath 0 0\r\n C 0.666667 0 1.33333 0 2 0\r\n L 2 1\r\n"},
        {"a step over twice as long ends the run", "IN;PU0,0;PD40,0,200,0;",
         "SubPath 0 0\r\n L 1 0\r\n L 5 0\r\n"},
    };
    const std::string head = "Path Color=R0G0B0\r\nSubPath 0 0\r\nEndSubPath\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Plot(c.hpgl), head + c.body + "EndSubPath\r\nEndPath\r\n");
    }
}

TEST(PlotFileConverterTest, PenColoursStartNewPaths) {
    TestPens pens({"R0G0B0", "R255G0B0"});
    EXPECT_EQ(Plot("IN;SP1;PU0,0;PD100,0;SP2;PD100,100;SP;", pens),
              "Path Color=R0G0B0\r\nSubPath 0 0\r\nEndSubPath\r\nSubPath 0 0\r\n L 2.5 0\r\n"
              "EndSubPath\r\nEndPath\r\nPath Color=R255G0B0\r\nSubPath 2.5 0\r\n L 2.5 2.5\r\n"
              "EndSubPath\r\nEndPath\r\n");
    auto paths = ReadPaths(Plot("IN;SP2;PU0,0;PD100,0;SP1;PD100,100;", pens));
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[1].colour, 0x0000FFu);
    EXPECT_EQ(paths[2].colour, 0u);
}

TEST(PlotFileConverterTest, SmoothStrokesBecomeFewCurves) {
    // A circle of 200 equal strokes, radius 50 mm.
    std::string hpgl = "IN;PU2000,0;PD";
    for (int i = 1; i <= 200; ++i) {
        double a = 2 * M_PI * i / 200;
        hpgl += std::to_string(long(std::lround(2000 * std::cos(a)))) + "," +
                std::to_string(long(std::lround(2000 * std::sin(a)))) + (i < 200 ? "," : ";");
    }
    auto paths = ReadPaths(Plot(hpgl));
    int members = MemberCount(paths);
    EXPECT_GT(members, 1);
    EXPECT_LE(members, 12);
    for (floatPoint p : Samples(paths))
        EXPECT_NEAR(std::hypot(p.x, p.y), 50, 0.25);

    // 1500 points in one smooth stroke: the run is split, nothing is lost.
    std::string spiral = "IN;PU0,0;PD";
    std::vector<Segment> strokes;
    floatPoint last{0, 0};
    for (int i = 1; i <= 1500; ++i) {
        double a = i * 0.02, r = 400 + i;
        long x = std::lround(r * std::cos(a)), y = std::lround(r * std::sin(a));
        spiral += std::to_string(x) + "," + std::to_string(y) + (i < 1500 ? "," : ";");
        floatPoint p{x * 0.025f, y * 0.025f};
        strokes.push_back({last, p});
        last = p;
    }
    std::vector<std::string> reports;
    auto fitted = ReadPaths(Plot(spiral, TestPens(), &reports));
    ASSERT_EQ(fitted.size(), 1u);
    const SubPath& sp = fitted[0].subPaths[fitted[0].subPaths.Filled() - 1];
    EXPECT_FLOAT_EQ(sp.members.last()->end.x, last.x);
    EXPECT_FLOAT_EQ(sp.members.last()->end.y, last.y);
    double worst = 0, back = 0;
    for (floatPoint p : Samples(fitted))
        worst = std::max(worst, Nearest(strokes, p));
    std::vector<Segment> curve = Polyline(fitted);
    for (const Segment& s : strokes) // every input point is reached
        back = std::max(back, Nearest(curve, s.b));
    EXPECT_LT(worst, 0.3);
    EXPECT_LT(back, 0.3);
    EXPECT_EQ(reports, std::vector<std::string>{"Too many points in a subpath !"});
}

TEST(PlotFileConverterTest, LetteringReturnsAsCurves) {
    std::string hpgl = FileBytes(Data / "lettering.hpgl");
    std::vector<Segment> strokes = Strokes(hpgl);
    ASSERT_GT(strokes.size(), 300u);
    float bottom = 1e9, top = -1e9;
    for (const Segment& s : strokes) {
        bottom = std::min({bottom, s.a.y, s.b.y});
        top = std::max({top, s.a.y, s.b.y});
    }
    double height = top - bottom;
    auto paths = ReadPaths(Plot(hpgl));
    int members = MemberCount(paths);
    EXPECT_LT(members, int(strokes.size()) / 3);
    double worst = 0;
    for (floatPoint p : Samples(paths))
        worst = std::max(worst, Nearest(strokes, p));
    EXPECT_LT(worst, 0.01 * height);
}

// Removes label texts and escape sequences, to compare with what the converter makes of them.
std::string WithoutLabelsAndEscapes(const std::string& hpgl) {
    std::string out;
    for (std::size_t i = 0; i < hpgl.size(); ++i) {
        if (hpgl.compare(i, 2, "LB") == 0) {
            i = hpgl.find('\x03', i);
            if (i == std::string::npos) break;
            continue;
        }
        if (hpgl[i] == '\x1b') {
            if (i + 2 < hpgl.size() && std::string("IMN").find(hpgl[i + 2]) != std::string::npos)
                i = hpgl.find(':', i);
            else
                i += 2;
            if (i == std::string::npos) break;
            continue;
        }
        out.push_back(hpgl[i]);
    }
    return out;
}

TEST(PlotFileConverterTest, PlotTitlesAndEscapesDrawNothing) {
    std::string hpgl = FileBytes(Data / "title.hpgl");
    ASSERT_NE(hpgl.find("LBPDPA"), std::string::npos);
    ASSERT_NE(hpgl.find("\x1b.I"), std::string::npos);
    std::string stripped = WithoutLabelsAndEscapes(hpgl);
    ASSERT_EQ(stripped.find("LB"), std::string::npos);
    EXPECT_EQ(Plot(hpgl), Plot(stripped));
    EXPECT_GT(MemberCount(ReadPaths(Plot(hpgl))), 10);
}

TEST(PlotFileConverterTest, BadInputEnds) {
    struct Case {
        const char* name;
        std::string hpgl;
    } cases[] = {
        {"binary", std::string(8192, '\xff') + std::string("\0PD\0\1", 5)},
        {"endless number", "PD" + std::string(1 << 20, '7')},
        {"huge numbers", "PU99999999999999999999999,-9999999999999999999999;PR;"
                         "PD99999999999999999999999,99999999999999999999999,1,1;"},
        {"open label", "LB" + std::string(1 << 16, 'P')},
        {"open escape", "\x1b.I" + std::string(5000, '1')},
        {"letters only", std::string(1 << 16, 'P')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto start = std::chrono::steady_clock::now();
        std::string out = Plot(c.hpgl);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_NE(out.find("EndPath"), std::string::npos);
        ReadPaths(out);
    }
}

class PlotFileConverterFileTest : public PlatformTest {
protected:
    std::string Out(const char* name) const { return (DataFolder() / name).string(); }
};

TEST_F(PlotFileConverterFileTest, BindingNamesResultsAndPenFile) {
    for (const char* name : {"PLT2WPF.dll", "HPGL2WPF.dll", "HPG2WPF.dll"}) {
        BoundConverter convert(name);
        EXPECT_TRUE(convert.Bound()) << name;
    }
    BoundConverter convert("PLT2WPF.dll");
    WriteFileBytes(Out("empty.plt"), "");
    EXPECT_EQ(convert(Out("empty.plt"), Out("a.wpf")), 1);
    EXPECT_EQ(convert(Out("missing.plt"), Out("a.wpf")), 1);
    WriteFileBytes(Out("pens.plt"), "IN;SP2;PU0,0;PD40,0;");
    EXPECT_EQ(convert(Out("pens.plt"), Out("no/folder/a.wpf")), 1);

    // The program folder's default table.
    ASSERT_EQ(convert(Out("pens.plt"), Out("a.wpf")), 0);
    EXPECT_NE(FileBytes(Out("a.wpf")).find("Path Color=R255G0B0\r\n"), std::string::npos);
    // A table in the settings folder comes first.
    fs::create_directories(DataFolder() / "signdesk");
    WriteFileBytes(DataFolder() / "signdesk" / "PLTPENS.INI", "[HPGL Pens]\nPen2=R1G2B3\n");
    ASSERT_EQ(convert(Out("pens.plt"), Out("b.wpf")), 0);
    EXPECT_NE(FileBytes(Out("b.wpf")).find("Path Color=R1G2B3\r\n"), std::string::npos);
}

TEST_F(PlotFileConverterFileTest, ProgressOnChangeAndNullProgressSameBytes) {
    BoundConverter convert("PLT2WPF.dll");
    std::string source = (Data / "lettering.hpgl").string();
    RecordingHandler handler;
    ASSERT_EQ(convert(source, Out("with.wpf"), &handler), 0);
    ASSERT_EQ(convert(source, Out("without.wpf"), nullptr), 0);
    EXPECT_EQ(FileBytes(Out("with.wpf")), FileBytes(Out("without.wpf")));
    ASSERT_GT(handler.calls.size(), 50u);
    int last = -1;
    for (std::size_t i = 0; i < handler.calls.size(); i += 2) {
        ASSERT_EQ(handler.calls[i][0], 'P');
        int p = std::stoi(handler.calls[i].substr(1));
        EXPECT_GT(p, last);
        last = p;
        ASSERT_LT(i + 1, handler.calls.size());
        EXPECT_EQ(handler.calls[i + 1], "C");
    }
    EXPECT_GE(last, 99);
}

// One plot through hp2xx as plain HP-GL and as DXF (mm, read with the default factor 25.4).
TEST_F(PlotFileConverterFileTest, SameGeometryAsTheDxfOfThePlot) {
    BoundConverter plt("PLT2WPF.dll"), dxf("DXF2BEZ.dll");
    ASSERT_EQ(plt((Data / "cross_plain.hpgl").string(), Out("cross.wpf")), 0);
    ASSERT_EQ(dxf((Data / "cross.dxf").string(), Out("cross.bez")), 0);
    auto paths = ReadPaths(FileBytes(Out("cross.wpf")));
    ::Path lines;
    ReadBezFile(Out("cross.bez").c_str(), lines, 0.01f / 25.4f, -0.01f / 25.4f);
    std::vector<Segment> segments;
    for (const SubPath& sp : lines.subPaths)
        for (const PathMember& m : sp.members)
            segments.push_back({m.start, m.end});
    ASSERT_GT(segments.size(), 100u);
    // The plain HP-GL's decimals are cut to whole plotter units (0.025 mm); fitted runs keep
    // within their tolerance.
    double worst = 0;
    for (floatPoint p : Samples(paths))
        worst = std::max(worst, Nearest(segments, p));
    std::vector<Segment> fitted = Polyline(paths);
    double back = 0;
    for (const Segment& s : segments)
        back = std::max(back, Nearest(fitted, s.b));
    // Fitted pieces keep within 1 % of their length; the plot is about 140 by 200 mm.
    EXPECT_LT(worst, 0.6);
    EXPECT_LT(back, 0.6);
    // The frame and axes are straight strokes: the boxes agree to the plotter unit.
    lines.RefreshBBoxes();
    float left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
    for (floatPoint p : Samples(paths)) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        bottom = std::min(bottom, p.y);
        top = std::max(top, p.y);
    }
    EXPECT_NEAR(left, lines.accBox.left, 0.03);
    EXPECT_NEAR(right, lines.accBox.right, 0.03);
    EXPECT_NEAR(bottom, lines.accBox.bottom, 0.03);
    EXPECT_NEAR(top, lines.accBox.top, 0.03);
}

} // namespace
