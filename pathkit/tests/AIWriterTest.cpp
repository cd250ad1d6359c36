#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "PathTestUtil.h"
#include "pathkit/AIReader.h"
#include "pathkit/AIWriter.h"
#include "pathkit/BBox.h"
#include "pathkit/ColorPath.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStrStream.h"

namespace {

std::string Written(const std::function<void(AIWriter&)>& write, float factor = 1) {
    std::vector<char> buffer(1 << 20);
    OutStrStream out(buffer.data(), long(buffer.size()));
    AIWriter writer(out, factor);
    write(writer);
    return std::string(buffer.data(), std::size_t(out.TellP()));
}

// The prolog as installed beside the test program.
std::string InstalledProlog() {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string folder(exe, n > 0 ? std::size_t(n) : 0);
    folder = folder.substr(0, folder.rfind('/'));
    std::ifstream file(folder + "/" + AIWriter::PrologFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void AddMember(SubPath& sp, const PathMember& m) {
    sp.members.Append(m);
}

PathMember Line(floatPoint s, floatPoint e, std::uint16_t flags = 0) {
    PathMember m(s, e);
    m.flags = flags;
    return m;
}

PathMember Curve(floatPoint s, floatPoint c1, floatPoint c2, floatPoint e,
                 std::uint16_t flags = 0) {
    PathMember m(s, e);
    m.ctrl1 = c1;
    m.ctrl2 = c2;
    m.flags = std::uint16_t(PM_CURVE | flags);
    return m;
}

TEST(AIWriterTest, HeaderIsTheCommentLinesThenTheInstalledProlog) {
    std::string prolog = InstalledProlog();
    // The prolog is ours: it must be installed and end the header where the reader looks.
    ASSERT_NE(prolog.find("%%EndProlog\r\n"), std::string::npos);
    ASSERT_NE(prolog.find("%%EndSetup\r\n"), std::string::npos);

    floatBBox box(0.1f, 0.1f, 10, 10);
    EXPECT_EQ(Written([&](AIWriter& w) { w.WriteHeader(box); }),
              "%!PS-Adobe-3.0 \r\n"
              "%%Creator: Adobe Illustrator(TM) 3.0.1\r\n"
              "%%Title: (Draw Export)\r\n"
              "%%CreationDate:(Unknown)\r\n"
              "%%BoundingBox:1 1 29 29\r\n" +
                  prolog);

    floatBBox negative(-10, -0.1f, 25.4f, 1e30f);
    std::string scaled = Written([&](AIWriter& w) { w.WriteHeader(negative); }, 2);
    EXPECT_NE(scaled.find("%%BoundingBox:-56 0 144 2147483647\r\n"), std::string::npos);
}

TEST(AIWriterTest, EndSequence) {
    EXPECT_EQ(Written([](AIWriter& w) { w.WriteEndSequence(); }),
              "%%PageTrailer\r\n"
              "gsave annotatepage grestore showpage\r\n"
              "%%Trailer\r\n"
              "Adobe_IllustratorA_AI3 /terminate get exec\r\n"
              "Adobe_customcolor /terminate get exec\r\n"
              "Adobe_cshow /terminate get exec\r\n"
              "Adobe_cmykcolor /terminate get exec\r\n"
              "Adobe_packedarray /terminate get exec\r\n"
              "%%EOF\r\n");
}

TEST(AIWriterTest, ColoursAreWrittenAsCMYK) {
    struct {
        long colour;
        const char* fill;
    } cases[] = {
        {0x0000FF, "0 1 1 0 k\r\n"},                                     // red
        {0xFFFFFF, "0 0 0 0 k\r\n"},                                     // white
        {0x000000, "0 0 0 1 k\r\n"},                                     // black
        {0x336699, "0 0.2 0.4 0.4 k\r\n"},  {0x00FF00, "1 0 1 0 k\r\n"}, // green
        {0x7F7F7F, "0 0 0 0.501961 k\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fill);
        EXPECT_EQ(Written([&](AIWriter& w) { w.SetFillColor(c.colour); }), c.fill);
        std::string stroke = c.fill;
        stroke[stroke.size() - 3] = 'K';
        EXPECT_EQ(Written([&](AIWriter& w) { w.SetStrokeColor(c.colour); }), stroke);
    }
}

TEST(AIWriterTest, PaintOperatorsAndLineWidth) {
    EXPECT_EQ(Written(
                  [](AIWriter& w) {
                      w.SetLineWidth(1);
                      w.Fill(1);
                      w.Fill(0);
                      w.Stroke();
                  },
                  10),
              "2.83465 w\r\nf\r\nb\r\nS\r\n");
}

TEST(AIWriterTest, SubPathsAreWrittenInPointsWithTheSmoothNodesInLowerCase) {
    Path square;
    pathtest::Square(square, 0, 0, 25.4f, false);
    EXPECT_EQ(Written([&](AIWriter& w) { w << square; }),
              "0 0 m\r\n72 0 L\r\n72 72 L\r\n0 72 L\r\n0 0 L\r\n");
    EXPECT_EQ(Written([&](AIWriter& w) { w << square; }, 0.5f),
              "0 0 m\r\n36 0 L\r\n36 36 L\r\n0 36 L\r\n0 0 L\r\n");

    // The case tells whether the next member (the first, after the last) starts smooth.
    SubPath sp;
    floatPoint a(0, 0), b(25.4f, 0), c(25.4f, 25.4f);
    AddMember(sp, Curve(a, {6.35f, -6.35f}, {19.05f, -6.35f}, b, PM_SMOOTH));
    AddMember(sp, Line(b, c, PM_SMOOTH));
    AddMember(sp, Curve(c, {12.7f, 25.4f}, {0, 12.7f}, a));
    EXPECT_EQ(Written([&](AIWriter& w) { w << sp; }), "0 0 m\r\n"
                                                      "18 -18 54 -18 72 0 c\r\n"
                                                      "72 72 L\r\n"
                                                      "36 72 0 36 0 0 c\r\n");

    SubPath empty;
    EXPECT_EQ(Written([&](AIWriter& w) { w << empty; }), "");
}

// Writes the paths as the program's export does: one colour, geometry and paint per shape.
std::string WriteFile(std::vector<ColorPath>& paths) {
    return Written([&](AIWriter& w) {
        floatBBox box(0, 0, 100, 100);
        w.WriteHeader(box);
        for (ColorPath& cp : paths) {
            w.SetFillColor(long(cp.colour));
            w << cp;
            w.Fill(1);
        }
        w.WriteEndSequence();
    });
}

std::vector<ColorPath> ReadFile(const std::string& text) {
    InStrStream in(text.data(), long(text.size()));
    AIReader reader(in);
    std::vector<ColorPath> paths;
    for (ColorPath cp; reader >> cp;)
        paths.push_back(cp);
    return paths;
}

void ExpectSameGeometry(const Path& a, const Path& b) {
    ASSERT_EQ(a.subPaths.Filled(), b.subPaths.Filled());
    auto near = [](floatPoint p, floatPoint q) {
        return std::fabs(p.x - q.x) < 1e-3f && std::fabs(p.y - q.y) < 1e-3f;
    };
    for (std::uint16_t i = 0; i < a.subPaths.Filled(); ++i) {
        const SubPath& sa = a.subPaths[i];
        const SubPath& sb = b.subPaths[i];
        ASSERT_EQ(sa.members.Filled(), sb.members.Filled()) << "sub-path " << i;
        for (std::uint16_t j = 0; j < sa.members.Filled(); ++j) {
            const PathMember& ma = sa.members[j];
            const PathMember& mb = sb.members[j];
            SCOPED_TRACE(testing::Message() << "sub-path " << i << " member " << j);
            EXPECT_EQ(ma.flags & (PM_CURVE | PM_SMOOTH), mb.flags & (PM_CURVE | PM_SMOOTH));
            EXPECT_TRUE(near(ma.start, mb.start));
            EXPECT_TRUE(near(ma.end, mb.end));
            if (ma.IsCurve()) {
                EXPECT_TRUE(near(ma.ctrl1, mb.ctrl1));
                EXPECT_TRUE(near(ma.ctrl2, mb.ctrl2));
            }
        }
    }
}

TEST(AIWriterTest, WhatIsWrittenReadsBackAsTheSameShapes) {
    std::vector<ColorPath> paths(2);
    // A letter-like compound shape: an outline with curves and smooth nodes and a hole.
    SubPath outer;
    floatPoint p0(10, 0), p1(90, 0), p2(90, 80), p3(10, 80);
    AddMember(outer, Line(p0, p1, PM_SMOOTH));
    AddMember(outer, Curve(p1, {100.125f, 20}, {100, 60.5f}, p2));
    AddMember(outer, Line(p2, p3, PM_SMOOTH));
    AddMember(outer, Curve(p3, {-3.3f, 60}, {-3.3f, 20}, p0, PM_SMOOTH));
    paths[0].AddSubPath(outer);
    pathtest::Square(paths[0], 30, 20, 12.345f, true);
    paths[0].colour = 0x336699;
    pathtest::Square(paths[1], -40.5f, 55.25f, 7.5f, false);
    paths[1].colour = 0x0000FF;

    std::string text = WriteFile(paths);
    std::vector<ColorPath> read = ReadFile(text);
    ASSERT_EQ(read.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSameGeometry(paths[i], read[i]);
        EXPECT_EQ(read[i].colour, paths[i].colour);
    }
}

TEST(AIWriterTest, EveryColourByteSurvivesWriteAndRead) {
    std::vector<ColorPath> paths(256);
    for (unsigned v = 0; v < 256; ++v) {
        pathtest::Square(paths[v], float(v), 0, 1, false);
        paths[v].colour = v | ((255 - v) << 8) | (((v * 7) & 0xFF) << 16);
    }
    std::vector<ColorPath> read = ReadFile(WriteFile(paths));
    ASSERT_EQ(read.size(), paths.size());
    for (unsigned v = 0; v < 256; ++v)
        EXPECT_EQ(read[v].colour, paths[v].colour) << v;
}

} // namespace
