// The results of path combination recorded member for member (tests/data/identity-combine.txt):
// seeded random polygons (crossing-heavy ones among them), curved outlines, the shapes of the
// combination tests and the stored path files. Faster ways to the same results must keep
// them exactly.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "IdentityFixture.h"
#include "PathTestUtil.h"
#include "RandomPolygon.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/ColorPath.h"
#include "pathkit/ColorWPFReader.h"
#include "pathkit/InStrStream.h"
#include "pathkit/PathCombination.h"

using pathtest::Identity;
using pathtest::IdentityTable;

namespace {

constexpr float Acc = 0.01f;

IdentityTable& Table() {
    static IdentityTable table(SD_TEST_DATA_DIR "/identity-combine.txt");
    return table;
}

// A circle of eight cubics with handles of 4/3 tan(pi/16), from float corner points
// computed in float so that no libm rounding enters.
void Circle(Path& path, float cx, float cy, float r, bool clockwise = false) {
    static const float c[9][2] = {{1, 0},          {0.70710678f, 0.70710678f},
                                  {0, 1},          {-0.70710678f, 0.70710678f},
                                  {-1, 0},         {-0.70710678f, -0.70710678f},
                                  {0, -1},         {0.70710678f, -0.70710678f},
                                  {1, 0}};
    const float k = 0.26521649f * r;
    float s = clockwise ? -1.0f : 1.0f;
    path.MoveTo(floatPoint(cx + r, cy));
    for (int i = 0; i < 8; ++i) {
        float ax = c[i][0], ay = s * c[i][1], bx = c[i + 1][0], by = s * c[i + 1][1];
        // Tangents along the travel: s (-y, x) of the unit radius.
        path.Append(cx + r * ax - k * s * ay, cy + r * ay + k * s * ax, cx + r * bx + k * s * by,
                    cy + r * by - k * s * bx, cx + r * bx, cy + r * by);
    }
    path.ClosePath();
}

void Combine(const std::string& name, const Path& a, const Path& b) {
    struct Op {
        const char* name;
        int (*fn)(Path&, Path&, Path&);
    };
    for (Op op : {Op{"section", SafeSection}, Op{"merge", SafeMerge}, Op{"subtract", SafeSubtract}}) {
        Path ca(a), cb(b), out(Acc);
        Identity id;
        id.code = op.fn(ca, cb, out);
        id.Add(out);
        Table().Check(name + "/" + op.name, id);
    }
}

void RunSum(const std::string& name, const Path& source) {
    Path copy(source), out(Acc);
    Identity id;
    id.code = SumTo(copy, out);
    id.Add(out);
    Table().Check(name + "/sum", id);
}

TEST(CombinationIdentity, RandomPolygons) {
    struct Case {
        int n;
        int jagPermille;
        unsigned seed;
    };
    const Case cases[] = {{40, 50, 1},   {150, 50, 3},  {300, 50, 5},  {100, 200, 7},
                          {250, 200, 9}, {60, 800, 11}, {150, 800, 13},
                          {1000, 50, 15}, {1000, 200, 17}, {400, 800, 19}};
    for (const Case& c : cases) {
        double jag = c.jagPermille / 1000.0;
        Path a = pathtest::RandomPolygon(c.n, c.seed, jag, Acc);
        Path b = pathtest::RandomPolygon(c.n, c.seed + 1, jag, Acc);
        std::string name = "poly" + std::to_string(c.n) + "-" + std::to_string(c.jagPermille) +
                           "-" + std::to_string(c.seed);
        Combine(name, a, b);
        Path both(a);
        Path bb(b);
        both.Concat(bb);
        RunSum(name, both);
    }
}

TEST(CombinationIdentity, SmoothRandomOutlines) {
    for (unsigned seed : {21u, 23u, 25u}) {
        for (int jag : {50, 300}) {
            Path a = pathtest::Smoothed(pathtest::RandomPolygon(40, seed, jag / 1000.0, Acc));
            Path b = pathtest::Smoothed(pathtest::RandomPolygon(40, seed + 1, jag / 1000.0, Acc));
            Combine("smooth" + std::to_string(seed) + "-" + std::to_string(jag), a, b);
        }
    }
}

TEST(CombinationIdentity, TestShapes) {
    using pathtest::Polygon;
    using pathtest::Square;
    auto rect = [](Path& p, float x0, float y0, float x1, float y1) {
        Polygon(p, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    };
    Path sq1(Acc), sq2(Acc), corner(Acc), partly(Acc), o(Acc), bar(Acc), c1(Acc), c2(Acc),
        diamond(Acc), big(Acc), circles(Acc);
    Square(sq1, 0, 0, 10, false);
    Square(sq2, 10, 0, 10, false);
    Square(corner, 10, 10, 10, false);
    rect(partly, 5, -5, 15, 5);
    Circle(o, 0, 0, 10);
    Circle(o, 0, 0, 6, true);
    rect(bar, -12, -2, 12, 2);
    Circle(c1, 0, 0, 10);
    Circle(c2, 7, 3, 10);
    Polygon(diamond, {{10, 0}, {20, 10}, {10, 20}, {0, 10}});
    Square(big, 0, 0, 20, false);
    for (int i = 0; i < 6; ++i)
        Circle(circles, float(i * 7), float((i % 2) * 5), 6, i % 3 == 2);

    Combine("squares-edge", sq1, sq2);
    Combine("squares-corner", sq1, corner);
    Combine("squares-partly", sq1, partly);
    Combine("squares-same", sq1, sq1);
    Combine("o-bar", bar, o);
    Combine("circles", c1, c2);
    Combine("diamond-in-square", diamond, big);
    RunSum("circles", circles);
}

// Letters welded one after the other into the running outline, as the weld command does: bars,
// a ring, diamonds touching the ring and each other at a vertex, a U closed by a bar over its
// arms (a hole appears), a square touching at a corner, a letter apart from the rest, a bar
// across them all and a second row. Every step's result is recorded.
TEST(CombinationIdentity, LetterByLetterWeld) {
    using pathtest::Polygon;
    using pathtest::Square;
    auto rect = [](Path& p, float x0, float y0, float x1, float y1) {
        Polygon(p, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    };
    std::vector<Path> letters;
    auto letter = [&]() -> Path& { return letters.emplace_back(Acc); };
    rect(letter(), 0, 0, 4, 20);
    Path& o = letter();
    Circle(o, 8, 10, 6);
    Circle(o, 8, 10, 3, true);
    Polygon(letter(), {{14, 10}, {20, 4}, {26, 10}, {20, 16}});
    Polygon(letter(), {{26, 10}, {32, 4}, {38, 10}, {32, 16}});
    Polygon(letter(), {{36, 0}, {48, 0}, {48, 20}, {44, 20}, {44, 4}, {40, 4}, {40, 20}, {36, 20}});
    rect(letter(), 38, 16, 46, 22);
    Square(letter(), 48, 20, 4, false);
    Circle(letter(), 80, 10, 5);
    rect(letter(), -2, 8, 50, 12);
    for (int i = 0; i < 4; ++i)
        Circle(letter(), float(6 + 12 * i), -4, 6, false);
    Polygon(letter(), {{2, -10}, {10, -14}, {2, -4}});

    Path welded(Acc);
    int step = 0;
    for (const Path& l : letters) {
        Path copy(l), merged(Acc);
        Identity id;
        id.code = SafeMerge(copy, welded, merged);
        // The running outline is an operand: what the weld leaves of it counts as well.
        Identity operand;
        operand.Add(welded);
        Table().Check("weld/" + std::to_string(step + 1) + "/operand", operand);
        welded.subPaths.Destroy();
        welded.Concat(merged);
        id.Add(welded);
        Table().Check("weld/" + std::to_string(++step), id);
    }
}

// The stored path files of the reader tests, each united into one outline and cut by a band
// through its middle.
TEST(CombinationIdentity, StoredPathFiles) {
    const auto data = std::filesystem::path(SD_TEST_DATA_DIR);
    int files = 0;
    for (const char* folder : {"wpf", "bez"}) {
        for (const auto& entry : std::filesystem::directory_iterator(data / folder)) {
            std::ifstream file(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
            Path all(Acc);
            if (std::string(folder) == "bez") {
                ReadBezRecords(reinterpret_cast<const unsigned char*>(bytes.data()),
                               bytes.size(), all, 1, 1);
            } else {
                InStrStream in(bytes.data(), long(bytes.size()));
                ColorWPFReader reader(in, 0);
                for (int guard = 0; guard < 1000; ++guard) {
                    ColorPath cp;
                    if (!reader.Read(cp)) break;
                    all.Concat(cp);
                }
            }
            std::string name = std::string(folder) + "-" + entry.path().filename().string();
            all.Validate(SP_CTRLBOX_INVALID);
            Path closed(Acc);
            for (SubPath& sp : all.subPaths)
                if (sp.IsClosed() && sp.members.Filled()) closed.AddSubPath(sp);
            closed.Validate(SP_CTRLBOX_INVALID);
            if (closed.subPaths.Filled()) {
                const auto& box = closed.ctrlBox;
                float mid = (box.bottom + box.top) / 2, h = (box.top - box.bottom) / 6;
                Path band(Acc);
                pathtest::Polygon(band, {{box.left - 1, mid - h},
                                         {box.right + 1, mid - h},
                                         {box.right + 1, mid + h},
                                         {box.left - 1, mid + h}});
                Combine(name, band, closed);
            }
            RunSum(name, closed);
            ++files;
        }
    }
    EXPECT_GT(files, 0);
}

} // namespace
