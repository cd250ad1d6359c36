#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/ColorPath.h"
#include "pathkit/ColorWPFReader.h"
#include "pathkit/ColorWPFWriter.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"
#include "pathkit/PathGroup.h"
#include "pathkit/WPFReader.h"
#include "pathkit/WPFWriter.h"

using namespace std::string_literals;
using pathtest::Describe;
using pathtest::Square;

namespace {

// What write puts into a stream.
std::string Written(const std::function<void(OutStream&)>& write) {
    std::vector<char> buffer(1 << 16);
    OutStrStream out(buffer.data(), long(buffer.size()));
    write(out);
    return std::string(buffer.data(), std::size_t(out.TellP()));
}

// A reader over a copy of the text (which may hold any byte).
template <class Reader> struct Input {
    explicit Input(std::string text, float grid = 0)
        : bytes(std::move(text)), in(bytes.data(), long(bytes.size())), reader(in, grid) {}
    std::string bytes;
    InStrStream in;
    Reader reader;
};

// Reads coloured paths until Read finds no more header; the empty read at the end is not kept.
std::vector<ColorPath> ReadAll(const std::string& text, float grid = 0) {
    Input<ColorWPFReader> input(text, grid);
    std::vector<ColorPath> paths;
    for (int guard = 0; guard < 10000; ++guard) {
        ColorPath cp;
        if (!input.reader.Read(cp)) break;
        paths.push_back(cp);
    }
    return paths;
}

std::string WriteColored(std::vector<ColorPath>& paths, float grid = 0) {
    return Written([&](OutStream& out) {
        ColorWPFWriter writer(out, grid);
        for (ColorPath& cp : paths)
            writer << cp;
    });
}

// The triangle of the format's example: red, lines only, first member selected and smooth.
ColorPath Triangle() {
    ColorPath cp;
    cp.colour = 0x0000FF;
    cp.layer = 1;
    cp.pathFlags = CP_LINES_ONLY;
    cp.MoveTo({0, 0});
    cp.LineTo({10, 0});
    cp.LineTo({5, 8.5f});
    cp.LineTo({0, 0});
    cp.ClosePath();
    cp.subPaths[0].members[0].flags |= PM_SELECTED | PM_SMOOTH;
    return cp;
}

const std::string TriangleText = "Path Layer=1 Color=R255G0B0 LinesOnly\r\n"
                                 "SubPath 0 0\r\n"
                                 " L 10 0 %Sel,Smt,\r\n"
                                 " L 5 8.5\r\n"
                                 " L 0 0\r\n"
                                 "EndSubPath\r\n"
                                 "EndPath\r\n";

// ---- writing

TEST(WPFWriter, WritesTheColouredExampleByteForByte) {
    ColorPath cp = Triangle();
    EXPECT_EQ(Written([&](OutStream& out) { ColorWPFWriter(out, 0) << cp; }), TriangleText);
}

TEST(WPFWriter, PlainWriterWritesCurvesMarkersAndGroups) {
    Path a;
    a.MoveTo({-1.5f, 2});
    a.CurveTo({0, 3}, {1, 3}, {2, 0.25f});
    a.LineTo({-1.5f, 2});
    a.ClosePath();
    a.subPaths[0].members[0].flags |= PM_SYMMETRIC;
    a.subPaths[0].members[1].flags |= PM_SELECTED | PM_SYMMETRIC | PM_CHANGED | PM_INSERTED;
    Path b;
    b.MoveTo({100000, -0.001f});
    b.LineTo({0.1f, 123456.7f});
    b.ClosePath();

    const std::string path = "Path LinesOnly\r\n"
                             "SubPath -1.5 2\r\n"
                             " C 0 3 1 3 2 0.25 %Sym,\r\n"
                             " L -1.5 2 %Sel,Sym,\r\n"
                             "EndSubPath\r\n"
                             "EndPath\r\n";
    EXPECT_EQ(Written([&](OutStream& out) { WPFWriter(out, 0) << a; }), path);
    EXPECT_EQ(Written([&](OutStream& out) { ColorWPFWriter(out, 0) << b; }),
              "Path Layer=1 Color=R255G255B255\r\n"
              "SubPath 100000 -0.001\r\n"
              " L 0.1 123457\r\n"
              "EndSubPath\r\n"
              "EndPath\r\n");

    PathGroup group;
    group << a; // one island, prepared
    ColorPath triangle = Triangle();
    Path& plain = triangle; // a group entry carries no colour: the defaults are written
    std::string groupText = Written([&](OutStream& out) {
        ColorWPFWriter writer(out, 0);
        writer << group;
        writer.Write(plain);
    });
    EXPECT_EQ(groupText.rfind("BeginGroup\r\nPath Layer=1 Color=R255G255B255\r\n", 0), 0u);
    EXPECT_NE(groupText.find("EndPath\r\nEndGroup\r\nPath Layer=1 Color=R255G255B255\r\n"),
              std::string::npos);
}

TEST(WPFWriter, PathsWithoutMembersWriteNothing) {
    Path none;
    Path emptySubPaths;
    emptySubPaths.subPaths.Append(); // finished sub-paths without members
    emptySubPaths.subPaths.Append();
    Path building; // members only in the sub-path still being built
    building.MoveTo({1, 1});
    building.LineTo({2, 2});
    EXPECT_EQ(Written([&](OutStream& out) {
                  WPFWriter w(out, 0);
                  w << none << emptySubPaths << building;
                  w.WriteHeader(emptySubPaths.subPaths[0]);
                  w.Write(emptySubPaths.subPaths[0]);
                  ColorWPFWriter(out, 0) << none << emptySubPaths;
              }),
              "");

    PathGroup group;
    EXPECT_EQ(Written([&](OutStream& out) { WPFWriter(out, 0) << group; }),
              "BeginGroup\r\nEndGroup\r\n");
}

TEST(WPFWriter, GridRoundsEveryCoordinate) {
    Path p;
    p.MoveTo({1.26f, 1.24f});
    p.CurveTo({-1.26f, -1.24f}, {0.74f, 0.76f}, {2.01f, -0.2f});
    p.ClosePath();
    EXPECT_EQ(Written([&](OutStream& out) { WPFWriter(out, 0.5f) << p; }),
              "Path LinesOnly\r\n"
              "SubPath 1.5 1\r\n"
              " C -1.5 -1 0.5 1 2 0\r\n"
              "EndSubPath\r\n"
              "EndPath\r\n");
}

TEST(WPFWriter, NumbersFollowTheStreamFormatAndStayNumbers) {
    Path p;
    p.MoveTo({1, 2});
    p.LineTo({NAN, INFINITY});
    p.LineTo({-INFINITY, 0.125f});
    p.ClosePath();
    EXPECT_EQ(Written([&](OutStream& out) {
                  out << Format("%.2f");
                  WPFWriter(out, 0) << p;
              }),
              "Path LinesOnly\r\n"
              "SubPath 1.00 2.00\r\n"
              " L 0.00 340282346638528859811704183484516925440.00\r\n"
              " L -340282346638528859811704183484516925440.00 0.12\r\n"
              "EndSubPath\r\n"
              "EndPath\r\n");
}

TEST(ColorWPFWriter, HeaderAttributes) {
    struct Case {
        const char* name;
        std::uint32_t colour;
        std::int16_t layer;
        std::uint16_t flags;
        int frameColor;
        float frameWidth;
        const char* attr;
        const char* header;
    };
    const Case cases[] = {
        {"defaults", 0xFFFFFFFF, 1, 0, -1, 0, nullptr, "Path Layer=1 Color=R255G255B255"},
        {"bytes", 0x00123456, -3, 0, -1, 0, nullptr, "Path Layer=-3 Color=R86G52B18"},
        {"high byte ignored", 0x02000001, 127, 0, -1, 0, nullptr, "Path Layer=127 Color=R1G0B0"},
        {"both flags", 0, 0, CP_LINES_ONLY | CP_SHEET_BORDER | CP_USED | CP_HAS_SELECTION, -1, 0,
         nullptr, "Path Layer=0 Color=R0G0B0 LinesOnly SheetBorder"},
        {"sheet border", 0, 1, CP_SHEET_BORDER, -1, 0, nullptr,
         "Path Layer=1 Color=R0G0B0 SheetBorder"},
        {"frame", 0, 1, CP_LINES_ONLY, 0x0A0B0C, 0.35f, nullptr,
         "Path Layer=1 Color=R0G0B0 LinesOnly FrameColor=R12G11B10 FrameWidth=0.35"},
        {"frame without width", 0, 1, 0, 0x0A0B0C, 0, nullptr, "Path Layer=1 Color=R0G0B0"},
        {"frame negative width", 0, 1, 0, 0x0A0B0C, -1, nullptr, "Path Layer=1 Color=R0G0B0"},
        {"frame without colour", 0, 1, 0, -1, 2, nullptr, "Path Layer=1 Color=R0G0B0"},
        {"attribute text", 0, 1, 0, 0, 1, " Scale=10 X",
         "Path Layer=1 Color=R0G0B0 FrameColor=R0G0B0 FrameWidth=1 Scale=10 X"},
    };
    for (const Case& c : cases) {
        ColorPath cp;
        Square(cp, 0, 0, 1, false);
        cp.colour = c.colour;
        cp.layer = c.layer;
        cp.pathFlags = c.flags;
        std::string text = Written([&](OutStream& out) {
            ColorWPFWriter writer(out, 0);
            writer.frameColor = c.frameColor;
            writer.frameWidth = c.frameWidth;
            if (c.attr) writer.SetAttr(c.attr);
            writer << cp;
        });
        EXPECT_EQ(text.substr(0, text.find("\r\n")), c.header) << c.name;
    }
}

TEST(ColorWPFWriter, AttributeTextIsTruncatedAndUsedOnce) {
    ColorPath cp;
    Square(cp, 0, 0, 1, false);
    const std::string longText(300, 'a');
    std::string stored;
    std::string text = Written([&](OutStream& out) {
        ColorWPFWriter writer(out, 0);
        stored = writer.SetAttr(longText.c_str());
        writer << cp << cp;
        EXPECT_STREQ(writer.SetAttr(nullptr), "");
    });
    EXPECT_EQ(stored, std::string(255, 'a'));
    std::string first = "Path Layer=1 Color=R255G255B255" + stored + "\r\n";
    ASSERT_EQ(text.substr(0, first.size()), first);
    EXPECT_NE(text.find("EndPath\r\nPath Layer=1 Color=R255G255B255\r\n"), std::string::npos);
}

// ---- reading

TEST(WPFReader, ReadsTheColouredExample) {
    Input<ColorWPFReader> input(TriangleText);
    ColorPath cp;
    ASSERT_EQ(input.reader.Read(cp), 1);
    EXPECT_EQ(Describe(cp), "0,0 L10,0 L5,8.5 L0,0");
    EXPECT_EQ(cp.colour, 0x0000FFu);
    EXPECT_EQ(cp.layer, 1);
    EXPECT_EQ(cp.pathFlags, CP_LINES_ONLY);
    EXPECT_EQ(cp.subPaths[0].members[0].flags, PM_SELECTED | PM_SMOOTH);
    EXPECT_EQ(cp.subPaths[0].members[1].flags, 0);
    EXPECT_EQ(cp.building.members.Filled(), 0);
    EXPECT_STREQ(input.reader.GetAttr(), "Path Layer=1 Color=R255G0B0 LinesOnly");
    EXPECT_EQ(input.reader.frameColor, -1);
    EXPECT_EQ(input.reader.frameWidth, 0);
}

TEST(WPFReader, ColouredPathsSurviveWriteReadWriteByteForByte) {
    std::vector<ColorPath> paths(3);
    paths[0] = Triangle();
    ColorPath& holed = paths[1];
    Square(holed, -20.5f, -3.25f, 12, false);
    Square(holed, -18, -1, 3.3333333f, true);
    holed.MoveTo({40, 40});
    holed.CurveTo({41.125f, 45}, {49.875f, 45}, {51, 40});
    holed.CurveTo({49, 30}, {0.000123f, 99999.5f}, {40, 40});
    holed.ClosePath();
    holed.colour = 0x00804020;
    holed.layer = -127;
    holed.pathFlags = CP_SHEET_BORDER;
    std::uint16_t markers[] = {PM_SELECTED, PM_SMOOTH, PM_SYMMETRIC,
                               PM_SELECTED | PM_SMOOTH | PM_SYMMETRIC, PM_SMOOTH | PM_SYMMETRIC};
    int k = 0;
    for (SubPath& sp : holed.subPaths)
        for (PathMember& m : sp.members)
            m.flags |= markers[k++ % 5];
    ColorPath& open = paths[2];
    open.MoveTo({1e-5f, 7});
    open.LineTo({3, 7});
    open.LineTo({3, 9});
    open.ClosePath();
    open.colour = 0;
    open.layer = 0;
    open.pathFlags = CP_LINES_ONLY | CP_SHEET_BORDER;

    std::string first = WriteColored(paths);
    std::string wrapped = "BeginGroup\r\n" + first + "EndGroup\r\n";
    std::vector<ColorPath> again = ReadAll(wrapped);
    ASSERT_EQ(again.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(again[i].colour, paths[i].colour) << i;
        EXPECT_EQ(again[i].layer, paths[i].layer) << i;
        EXPECT_EQ(again[i].pathFlags, paths[i].pathFlags) << i;
        EXPECT_EQ(again[i].subPaths.Filled(), paths[i].subPaths.Filled()) << i;
    }
    EXPECT_EQ(again[1].Count(PM_SELECTED, PM_SELECTED), holed.Count(PM_SELECTED, PM_SELECTED));
    EXPECT_EQ(again[1].Count(PM_SYMMETRIC, PM_SYMMETRIC), holed.Count(PM_SYMMETRIC, PM_SYMMETRIC));
    EXPECT_EQ(WriteColored(again), first);
}

TEST(WPFReader, PlainPathsSurviveAGroupRoundTrip) {
    Path source;
    Square(source, 0, 0, 10, false);
    Square(source, 2, 2, 3, false);
    Square(source, 30, 0, 5, false);
    PathGroup group;
    group << source;
    std::string first = Written([&](OutStream& out) { WPFWriter(out, 0) << group; });

    struct GroupCounter : WPFReader {
        using WPFReader::WPFReader;
        void BeginGroup() override { ++begins; }
        void EndGroup() override { ++ends; }
        int begins = 0, ends = 0;
    };
    Input<GroupCounter> input(first);
    PathGroup back;
    while (input.reader.Read(*back.Append()))
        ;
    EXPECT_EQ(input.reader.begins, 1);
    EXPECT_EQ(input.reader.ends, 1);
    ASSERT_EQ(back.Filled(), 3); // two paths and the empty read at the end
    EXPECT_EQ(back[2].subPaths.Filled(), 0);
    back.DeleteAt(2, 1);
    EXPECT_EQ(Written([&](OutStream& out) { WPFWriter(out, 0) << back; }), first);
}

TEST(WPFReader, EachReadTakesOnePathAndAnEmptyReadResetsTheHeaderFields) {
    const std::string text = "BeginGroup\r\n"
                             "Path Layer=4 Color=R1G2B3 LinesOnly\r\n"
                             "SubPath 0 0\r\n L 1 0\r\nEndSubPath\r\n"
                             "EndPath\r\n"
                             "Path Layer=5 Color=R0G0B9\r\n"
                             "SubPath 0 0\r\n L 2 0\r\nEndSubPath\r\n"
                             "SubPath 5 5\r\n L 6 6\r\nEndSubPath\r\n"
                             "EndPath\r\n"
                             "EndGroup\r\n";
    Input<ColorWPFReader> input(text);
    ColorPath a, b;
    EXPECT_EQ(input.reader.Read(a), 1);
    EXPECT_EQ(a.subPaths.Filled(), 1);
    EXPECT_EQ(a.layer, 4);
    EXPECT_EQ(input.reader.Read(b), 1);
    EXPECT_EQ(b.subPaths.Filled(), 2);
    EXPECT_EQ(b.colour, 0x090000u);

    // At the end of input the empty last line is taken as the header.
    ColorPath c;
    c.colour = 0x445566;
    c.layer = 9;
    c.pathFlags = CP_LINES_ONLY | CP_SHEET_BORDER | CP_USED;
    EXPECT_EQ(input.reader.Read(c), 0);
    EXPECT_EQ(c.subPaths.Filled(), 0);
    EXPECT_EQ(c.colour, 0u);
    EXPECT_EQ(c.layer, 1);
    EXPECT_EQ(c.pathFlags, CP_USED);
    EXPECT_STREQ(input.reader.GetAttr(), "");
    EXPECT_EQ(input.reader.Read(c), 0);
}

TEST(WPFReader, ScaleDividesAndOnlyAPositiveFiniteScaleCounts) {
    {
        Input<ColorWPFReader> input("Path Layer=1 Scale=10\r\nSubPath 100 200\r\n L 300 -400\r\n"
                                    "EndSubPath\r\nEndPath\r\n"
                                    "Path Scale=0\r\nSubPath 500000 10\r\n L 0 0\r\n"
                                    "EndSubPath\r\nEndPath\r\n");
        ColorPath a, b;
        input.reader.Read(a);
        EXPECT_EQ(Describe(a), "10,20 L30,-40");
        EXPECT_EQ(input.reader.GetScale(), 10);
        // The scale stays for later paths; an unusable one is ignored.
        input.reader.Read(b);
        EXPECT_EQ(Describe(b), "50000,1 L0,0");
        EXPECT_EQ(input.reader.GetScale(), 10);
    }
    const char* unusable[] = {"Scale=0",   "Scale=-2",    "Scale=abc", "Scale=nan",
                              "Scale=inf", "Scale=1e999", "Scale=",    "Scale=-0"};
    for (const char* scale : unusable) {
        Input<WPFReader> input("Path "s + scale + "\r\nSubPath 4 8\r\n L 2 2\r\nEndSubPath\r\n");
        Path p;
        input.reader.Read(p);
        EXPECT_EQ(Describe(p), "4,8 L2,2") << scale;
        EXPECT_EQ(input.reader.GetScale(), 1) << scale;
    }
    Input<WPFReader> odd("Path Scale=0x10 Scale=3\r\nSubPath 32 64\r\nEndSubPath\r\nEndPath\r\n"
                         "Path Scale=2.5e-1\r\nSubPath 1 2\r\n L 0 0\r\nEndSubPath\r\n");
    Path p;
    odd.reader.Read(p); // the first "Scale=" counts, read as the C atof reads it
    EXPECT_EQ(odd.reader.GetScale(), 16);
    odd.reader.Read(p);
    EXPECT_EQ(Describe(p), "4,8 L0,0");
}

TEST(WPFReader, GridRoundsBeforeScaling) {
    Input<WPFReader> input("Path Scale=2\r\nSubPath 1.26 1.24\r\n C -1.26 -1.24 3 3 9.9 0\r\n"
                           "EndSubPath\r\nEndPath\r\n",
                           0.5f);
    Path p;
    input.reader.Read(p);
    EXPECT_EQ(Describe(p), "0.75,0.5 C-0.75,-0.5 1.5,1.5 5,0");
}

TEST(WPFReader, CoordinatesBeyondTheLimitDropTheirMember) {
    Input<WPFReader> input("Path\r\n"
                           "SubPath 0 0\r\n"
                           " L 10 0\r\n"
                           " C 20 0 30 0 200000 0 %Sel,\r\n"
                           " L 10 -100000.01 %Sel,\r\n"
                           " L 1e999 1\r\n"
                           " C 1 1 2 2 100000 -100000 %Smt,\r\n"
                           "EndSubPath\r\n"
                           "SubPath 100001 0\r\n L 1 1\r\n L 2 2\r\nEndSubPath\r\n"
                           "SubPath 5 -1e6\r\n L 1 1\r\nEndSubPath\r\n"
                           "SubPath 7 7\r\n L 8 8\r\nEndSubPath\r\n"
                           "EndPath\r\n");
    Path p;
    input.reader.Read(p);
    // The curve after the dropped ones joins the last point taken; sub-paths that start out of
    // range are skipped whole.
    EXPECT_EQ(Describe(p), "0,0 L10,0 C1,1 2,2 100000,-100000 | 7,7 L8,8");
    EXPECT_EQ(p.subPaths[0].members[0].flags, 0);
    EXPECT_EQ(p.subPaths[0].members[1].flags, PM_CURVE | PM_SMOOTH);
}

TEST(WPFReader, MemberMarkers) {
    struct Case {
        const char* line;
        std::uint16_t flags;
    };
    const Case cases[] = {
        {" L 1 1 %Sym", PM_SYMMETRIC},
        {" L 1 1 %Sel,Smt,Sym,", PM_SELECTED | PM_SMOOTH | PM_SYMMETRIC},
        {" L 1 1 %Smt,Sel,", PM_SELECTED | PM_SMOOTH},
        {" L 1 1\t%SymSel", PM_SELECTED | PM_SYMMETRIC},
        {" L 1 1 %sel,smt,", 0},
        {" L 1 1 % Sel,", 0}, // only the next token counts
        {" L 1 1", 0},
        {" C 0 1 1 1 1 1 Smt", PM_CURVE | PM_SMOOTH},
    };
    for (const Case& c : cases) {
        Input<WPFReader> input("Path\r\nSubPath 0 0\r\n"s + c.line + "\r\nEndSubPath\r\n");
        Path p;
        input.reader.Read(p);
        ASSERT_EQ(p.subPaths.Filled(), 1) << c.line;
        EXPECT_EQ(p.subPaths[0].members[0].flags, c.flags) << c.line;
    }

    // A zero-length line after the first member is dropped, and its markers with it.
    Input<WPFReader> input("Path\r\nSubPath 0 0\r\n L 0 0 %Smt,\r\n L 5 0\r\n L 5 0 %Sel,\r\n"
                           " L 5 5\r\nEndSubPath\r\n");
    Path p;
    input.reader.Read(p);
    ASSERT_EQ(Describe(p), "0,0 L0,0 L5,0 L5,5");
    EXPECT_EQ(p.subPaths[0].members[0].flags, PM_SMOOTH);
    EXPECT_EQ(p.subPaths[0].members[1].flags, 0);
}

TEST(ColorWPFReader, HeaderAttributes) {
    struct Case {
        const char* header;
        std::uint32_t colour;
        int layer;
        std::uint16_t flags; // of a target that had CP_USED | CP_SHEET_BORDER
        int frameColor;
        float frameWidth;
    };
    const Case cases[] = {
        {"Path Color=R1G2B3", 0x030201, 1, CP_USED, -1, 0},
        {"Path Color=r1g2b3", 0x030201, 1, CP_USED, -1, 0},
        {"Path Color=B3R1G2 Layer=7", 0x030201, 7, CP_USED, -1, 0},
        {"Path Color=R1", 0, 1, CP_USED, -1, 0},
        {"Path Color=R1G2B", 0, 1, CP_USED, -1, 0},
        {"Path Color=R1G2B3x", 0x030201, 1, CP_USED, -1, 0},
        {"Path Color=R255xxx", 0x0000FF, 1, CP_USED, -1, 0},
        {"Path Color=R256G257B-1", 0xFF0100, 1, CP_USED, -1, 0},
        {"Path Color=R99999999999999999999999999999999G1", 0x0001FF, 1, CP_USED, -1, 0},
        {"Path Color= R1G2B3", 0, 1, CP_USED, -1, 0},
        {"Path Layer=1 Color=R255G0B0 LinesOnly", 0xFF, 1, CP_USED | CP_LINES_ONLY, -1, 0},
        {"Path SheetBorder LinesOnly", 0, 1, CP_USED | CP_LINES_ONLY | CP_SHEET_BORDER, -1, 0},
        {"Path Layer=-12", 0, -12, CP_USED, -1, 0},
        {"Path Layer=", 0, 1, CP_USED, -1, 0},
        {"Path Layer=x", 0, 0, CP_USED, -1, 0},
        {"Path Layer=99999", 0, 32767, CP_USED, -1, 0},
        {"Path Layer=-99999999999999999999", 0, -32768, CP_USED, -1, 0},
        {"Path FrameColor=R9G8B7 FrameWidth=0.5", 0, 1, CP_USED, 0x070809, 0.5f},
        {"Path Color=R1G1B1 FrameColor=R2 FrameWidth=2", 0x010101, 1, CP_USED, -1, 2},
        {"Path FrameWidth=nan", 0, 1, CP_USED, -1, 0},
        {"Path FrameWidth=1e999", 0, 1, CP_USED, -1, 0},
        {"Path FrameWidth=1e300", 0, 1, CP_USED, -1, 3.4028235e38f},
        {"Path", 0, 1, CP_USED, -1, 0},
        {"PathLayer=3Color=R0G0B200", 0xC80000, 3, CP_USED, -1, 0},
    };
    for (const Case& c : cases) {
        Input<ColorWPFReader> input(std::string(c.header) + "\r\nEndPath\r\n");
        ColorPath cp;
        cp.colour = 0xABCDEF;
        cp.layer = 55;
        cp.pathFlags = CP_USED | CP_SHEET_BORDER;
        EXPECT_EQ(input.reader.Read(cp), 1) << c.header;
        EXPECT_EQ(cp.colour, c.colour) << c.header;
        EXPECT_EQ(cp.layer, c.layer) << c.header;
        EXPECT_EQ(cp.pathFlags, c.flags) << c.header;
        EXPECT_EQ(input.reader.frameColor, c.frameColor) << c.header;
        EXPECT_EQ(input.reader.frameWidth, c.frameWidth) << c.header;
        EXPECT_STREQ(input.reader.GetAttr(), c.header);
    }
}

TEST(ColorWPFReader, APlainTargetKeepsItsFieldsButGetsItsGeometry) {
    Input<ColorWPFReader> input("Path Layer=3 Color=R1G2B3 FrameColor=R4G5B6 FrameWidth=1\r\n"
                                "SubPath 0 0\r\n L 1 1\r\nEndSubPath\r\nEndPath\r\n");
    ColorPath cp; // given as a plain Path: only a ColorPath has the header fields
    Path& plain = cp;
    EXPECT_EQ(input.reader.Read(plain), 1);
    EXPECT_EQ(Describe(cp), "0,0 L1,1");
    EXPECT_EQ(cp.colour, 0xFFFFFFFFu);
    EXPECT_EQ(cp.layer, 1);
    EXPECT_EQ(input.reader.frameColor, 0x060504);
    EXPECT_EQ(input.reader.frameWidth, 1);
}

TEST(WPFReader, KeywordsAreCaseSensitiveButColourTokensAreNot) {
    Input<ColorWPFReader> input("path Color=R1G1B1\r\nSubPath 9 9\r\n L 9 8\r\nEndSubPath\r\n"
                                "ENDPATH\r\n"
                                "Path Color=r10g20b30\r\n"
                                "SubPath 0 0\r\n L 1 0\r\n l 2 0\r\n c 1 1 1 1 3 3\r\n LL 4 0\r\n"
                                "ENDSUBPATH\r\n L 5 0\r\nEndSubPath\r\n"
                                "ENDPATH\r\n"
                                "subpath 7 7\r\n"
                                "SubPath 5 5\r\n L 6 5\r\nEndSubPath\r\n"
                                "EndPath\r\n");
    ColorPath cp;
    ASSERT_EQ(input.reader.Read(cp), 1);
    EXPECT_EQ(cp.colour, 0x1E140Au);
    EXPECT_EQ(Describe(cp), "0,0 L1,0 L5,0 | 5,5 L6,5");
    ColorPath rest;
    EXPECT_EQ(input.reader.Read(rest), 0);
    EXPECT_EQ(rest.subPaths.Filled(), 0);
}

TEST(WPFReader, LinesAreTrimmedAndSplitAfter255Characters) {
    struct LineReader : WPFReader {
        using WPFReader::WPFReader;
        std::string Current() const { return std::string(Line(), std::size_t(LineLength())); }
    };
    const std::string longLine(300, 'x');
    Input<LineReader> input("\r\n\r\n \t Path\t \r"
                            "\n\n  SubPath\r" +
                            longLine + "\nlast\0line"s);
    std::vector<std::string> lines;
    std::vector<int> lengths;
    for (int n; (n = input.reader.GetLine()) >= 0;) {
        lines.push_back(input.reader.Current());
        lengths.push_back(n);
    }
    const std::vector<std::string> expected = {"Path\t ", "SubPath", std::string(255, 'x'),
                                               std::string(45, 'x'), "last\0line"s};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lengths, (std::vector<int>{6, 7, 255, 45, 9}));
    EXPECT_EQ(input.reader.GetLine(), -1);
    EXPECT_EQ(input.reader.Current(), "");
}

// Stops a Read at a line "Stop" and records what it was offered.
struct StoppingReader : ColorWPFReader {
    using ColorWPFReader::ColorWPFReader;
    int IsExtention() override {
        offered.emplace_back(Line());
        return std::string(Line()) == "Stop";
    }
    std::vector<std::string> offered;
};

TEST(WPFReader, AnExtensionLineEndsTheReadWhereItStands) {
    const std::string text = "Unknown\r\n"
                             "Path Color=R1G1B1\r\n"
                             "SubPath 0 0\r\n L 1 0\r\nStop\r\n L 2 0\r\nEndSubPath\r\n"
                             "SubPath 9 9\r\n L 9 8\r\nEndSubPath\r\nEndPath\r\n"
                             "Stop\r\n"
                             "Path\r\nSubPath 3 3\r\n L 4 4\r\nEndSubPath\r\nEndPath\r\n";
    Input<StoppingReader> input(text);
    ColorPath a;
    EXPECT_EQ(input.reader.Read(a), 1);
    EXPECT_EQ(Describe(a), "0,0 L1,0"); // the sub-path in progress is still finished
    EXPECT_EQ(input.reader.offered.front(), "Unknown");
    EXPECT_EQ(input.reader.offered.back(), "Stop");

    // The next Read goes on after the stopping line: the rest of the first path is not a path.
    ColorPath b;
    EXPECT_EQ(input.reader.Read(b), 0);
    EXPECT_EQ(b.subPaths.Filled(), 0);
    ColorPath c;
    EXPECT_EQ(input.reader.Read(c), 1);
    EXPECT_EQ(Describe(c), "3,3 L4,4");
}

// ---- input from outside

struct BadInput {
    const char* name;
    std::string text;
    std::size_t paths; // Read calls that found a header
    unsigned subPaths; // over all paths
};

std::string Garbage() {
    std::string s;
    for (int round = 0; round < 4; ++round)
        for (int b = 0; b < 256; ++b)
            s += char((b * 37 + round * 11) & 0xFF);
    return s;
}

TEST(WPFReader, SurvivesBadInput) {
    const BadInput cases[] = {
        {"empty", "", 0, 0},
        {"blanks only", " \t\r\n\r\n\t ", 0, 0},
        {"zero bytes", std::string(100, '\0'), 0, 0},
        {"garbage", Garbage(), 0, 0},
        {"header only", "Path Color=R1G1B1", 1, 0},
        {"missing EndPath", "Path\r\nSubPath 0 0\r\n L 1 1\r\nEndSubPath\r\n", 1, 1},
        {"missing EndSubPath", "Path\r\nSubPath 0 0\r\n L 1 1\r\n L 2 1", 1, 1},
        {"missing EndPath between paths",
         "Path\r\nSubPath 0 0\r\n L 1 1\r\nEndSubPath\r\n"
         "Path\r\nSubPath 5 5\r\n L 6 6\r\nEndSubPath\r\nEndPath\r\n",
         1, 2},
        {"very long lines",
         "Path " + std::string(1000, 'L') + "\r\nSubPath 0 0\r\n L " + std::string(600, '7') +
             " 1\r\n L 1 " + std::string(400, '-') + "\r\nEndSubPath\r\nEndPath\r\n",
         1, 1},
        {"huge numbers",
         "Path\r\nSubPath 0 0\r\n L 1e999 0\r\n L -1e400 1\r\n L 1e-400 1e38\r\n"
         " L 123456789012345678901234567890123456789012345 1\r\n L 1 1\r\nEndSubPath\r\n",
         1, 1},
        {"number words",
         "Path\r\nSubPath nan inf\r\n L NaN -inf\r\n L Infinity 1\r\nEndSubPath\r\n", 1, 1},
        {"short members", "Path\r\nSubPath\r\n C 1 2\r\n L\r\n C\r\n L 5\r\nEndSubPath\r\n", 1, 1},
        {"zero bytes in lines",
         "Path\0\r\nSub\0Path 0 0\r\nSubPath 1 1\r\n L\0 1 1\r\n L 2 2\r\nEndSubPath\0\r\n"s, 1, 1},
        {"high bytes",
         "Path\xff\xfe\r\nSubPath \xff"
         "1 2\r\n L \x80"
         "3 4\xff\r\nEndSubPath\r\n",
         1, 1},
        // Without "EndPath" the first path runs to the end of input.
        {"headers only", std::string(5000, '\n') + "Path\nPath\nPath\n", 1, 0},
    };
    for (const BadInput& c : cases) {
        Input<ColorWPFReader> input(c.text);
        std::size_t found = 0;
        unsigned subPaths = 0;
        int reads = 0;
        for (; reads < 100000; ++reads) {
            ColorPath cp;
            if (!input.reader.Read(cp)) break;
            ++found;
            subPaths += cp.subPaths.Filled();
            EXPECT_EQ(cp.building.members.Filled(), 0) << c.name;
            for (const SubPath& sp : cp.subPaths)
                for (const PathMember& m : sp.members)
                    for (floatPoint q : {m.start, m.ctrl1, m.ctrl2, m.end})
                        EXPECT_TRUE(std::fabs(q.x) <= 100000 && std::fabs(q.y) <= 100000) << c.name;
        }
        EXPECT_LT(reads, 100000) << c.name;
        EXPECT_EQ(found, c.paths) << c.name;
        EXPECT_EQ(subPaths, c.subPaths) << c.name;
    }
}

// The stored samples (also the fuzzer's seeds; inputs it finds troublesome go beside them):
// each must read without fault, and what is read must write, read and write again to the same
// bytes.
TEST(WPFReader, StoredSamplesRoundTrip) {
    int files = 0;
    const auto dir = std::filesystem::path(SD_TEST_DATA_DIR) / "wpf";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream file(entry.path(), std::ios::binary);
        ASSERT_TRUE(file.good()) << entry.path();
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::vector<ColorPath> paths = ReadAll(bytes);
        std::string text = WriteColored(paths);
        std::vector<ColorPath> again = ReadAll(text);
        EXPECT_EQ(WriteColored(again), text) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
