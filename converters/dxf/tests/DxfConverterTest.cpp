#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ConverterTesting.h"
#include "DxfConverter.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/InStrStream.h"
#include "pathkit/Path.h"
#include "testing/PlatformTest.h"

namespace fs = std::filesystem;

namespace {

const fs::path Data = SD_TEST_DATA_DIR;

// One contour of expected.txt: its ends and the pieces its points must lie on.
struct Piece {
    bool isArc;
    double a, b, c, d; // line: x1 y1 x2 y2; arc: centre x, y, radius
};
struct ContourExpectation {
    bool closed;
    double sx, sy, ex, ey;
    std::vector<Piece> pieces;
};

std::vector<ContourExpectation> Expectations(const std::string& file) {
    std::ifstream in(Data / "expected.txt");
    std::vector<ContourExpectation> out;
    std::string line;
    bool mine = false;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string tag;
        s >> tag;
        if (tag == "F") {
            std::string name;
            s >> name;
            mine = name == file;
        } else if (mine && tag == "C") {
            ContourExpectation c;
            int closed;
            s >> closed >> c.sx >> c.sy >> c.ex >> c.ey;
            c.closed = closed;
            out.push_back(c);
        } else if (mine && (tag == "L" || tag == "A")) {
            Piece p{tag == "A", 0, 0, 0, 0};
            s >> p.a >> p.b >> p.c;
            if (!p.isArc) s >> p.d;
            out.back().pieces.push_back(p);
        }
    }
    return out;
}

double Distance(const Piece& p, floatPoint q) {
    if (p.isArc) return std::fabs(std::hypot(q.x - p.a, q.y - p.b) - p.c);
    double dx = p.c - p.a, dy = p.d - p.b, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((q.x - p.a) * dx + (q.y - p.b) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(q.x - (p.a + t * dx), q.y - (p.b + t * dy));
}

int ConvertText(const std::string& text, std::string* bytes = nullptr, dxf::Stats* stats = nullptr) {
    InStrStream in(text.data(), long(text.size()));
    StringOutStream out;
    int result = dxf::ConvertDxf(in, long(text.size()), out, nullptr, stats);
    if (bytes) *bytes = out.bytes;
    return result;
}

// DXF text from code/value pairs.
std::string Dxf(std::initializer_list<const char*> pairs) {
    std::string s;
    for (const char* p : pairs)
        s += std::string(p) + "\n";
    return s;
}

class DxfConverterTest : public PlatformTest {
protected:
    std::string Out(const char* name) const { return (DataFolder() / name).string(); }

    // Converts through the plug-in bound by name and reads the result as the import does.
    int Import(const fs::path& source, ::Path& path) {
        BoundConverter convert("DXF2BEZ.dll");
        EXPECT_TRUE(convert.Bound());
        int result = convert(source.string(), Out("out.bez"));
        ReadBezFile(Out("out.bez").c_str(), path, 0.01f, -0.01f);
        return result;
    }
};

TEST_F(DxfConverterTest, FixturesMatchTheScriptsGeometry) {
    for (const char* file : {"entities_r12.dxf", "entities_r2000.dxf"}) {
        SCOPED_TRACE(file);
        ::Path path;
        ASSERT_EQ(Import(Data / file, path), 0);
        auto expected = Expectations(file);
        ASSERT_EQ(expected.size(), 7u);
        ASSERT_EQ(path.subPaths.Filled(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            const SubPath& sp = path.subPaths[std::uint16_t(i)];
            const ContourExpectation& e = expected[i];
            ASSERT_GT(sp.members.Filled(), 0);
            EXPECT_NEAR(sp.members[0].start.x, e.sx, 1e-3);
            EXPECT_NEAR(sp.members[0].start.y, e.sy, 1e-3);
            EXPECT_NEAR(sp.members.last()->end.x, e.ex, 1e-3);
            EXPECT_NEAR(sp.members.last()->end.y, e.ey, 1e-3);
            EXPECT_EQ(sp.IsClosed(), e.closed);
            // Every point on the contour (member ends) lies on one of the pieces.
            for (const PathMember& m : sp.members) {
                double nearest = 1e9;
                for (const Piece& p : e.pieces)
                    nearest = std::min(nearest, Distance(p, m.end));
                EXPECT_LT(nearest, 1e-3) << m.end.x << " " << m.end.y;
            }
        }
        // Across 0 degrees: one piece; 100 degrees: two; a bulge of 1 (half turn): two.
        EXPECT_EQ(path.subPaths[1].members.Filled(), 1);
        EXPECT_EQ(path.subPaths[3].members.Filled(), 2);
        EXPECT_EQ(path.subPaths[4].members.Filled(), 4); // the circle
        EXPECT_EQ(path.subPaths[6].members.Filled(), 1 + 2 + 1 + 2);
    }
}

TEST_F(DxfConverterTest, UnitsFollowLunits) {
    struct Case {
        const char* file;
        double mmPerUnit;
    } cases[] = {{"lunits_1.dxf", 0.1}, {"lunits_3.dxf", 2.54}, {"lunits_absent.dxf", 25.4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ::Path path;
        ASSERT_EQ(Import(Data / c.file, path), 0);
        ASSERT_EQ(path.subPaths.Filled(), 1);
        const PathMember& m = path.subPaths[0].members[0];
        EXPECT_NEAR(m.start.x, 1 * c.mmPerUnit, 1e-4);
        EXPECT_NEAR(m.start.y, 2 * c.mmPerUnit, 1e-4);
        EXPECT_NEAR(m.end.x, 11 * c.mmPerUnit, 1e-3);
        EXPECT_NEAR(m.end.y, 7 * c.mmPerUnit, 1e-3);
    }
    // "$LUNITS" counts only as a header variable name (code 9).
    std::string bytes;
    ASSERT_EQ(ConvertText(Dxf({"999", "$LUNITS", "70", "1", "0", "LINE", "10", "1", "20", "0",
                               "0", "EOF"}),
                          &bytes),
              0);
    EXPECT_FLOAT_EQ(DecodeBezRecords(bytes)[0].x, 2540);
}

TEST_F(DxfConverterTest, FailuresAndPassedOverEntities) {
    BoundConverter convert("DXF2BEZ.dll");
    // No EOF: failure even though entities were written.
    std::string text = FileBytes(Data / "entities_r12.dxf");
    text = text.substr(0, text.rfind("EOF"));
    WriteFileBytes(Out("noeof.dxf"), text);
    EXPECT_EQ(convert(Out("noeof.dxf"), Out("a.bez")), -1);
    EXPECT_FALSE(FileBytes(Out("a.bez")).empty());
    // The only entity in BLOCKS: skipped, nothing written.
    EXPECT_EQ(convert((Data / "blocks_only.dxf").string(), Out("b.bez")), -1);
    EXPECT_TRUE(FileBytes(Out("b.bez")).empty());
    EXPECT_EQ(convert(Out("missing.dxf"), Out("c.bez")), -1);
    EXPECT_EQ(convert((Data / "lunits_1.dxf").string(), Out("no/folder/c.bez")), -1);

    // The INSERT is passed over and counted; LINE as a layer name is no entity.
    dxf::Stats stats;
    ASSERT_EQ(ConvertText(FileBytes(Data / "entities_r2000.dxf"), nullptr, &stats), 0);
    EXPECT_EQ(stats.entitiesRead, 7);
    EXPECT_EQ(stats.entitiesPassedOver, 1);
}

TEST_F(DxfConverterTest, BulgeHalfCircleAndClosedFlags) {
    // A bulge of 1 from (0,0) to (2,0): a half circle of radius 1 about (1,0) counter-clockwise
    // (through (1,-1)), two pieces, continuing the contour from (0,0).
    std::string bytes;
    ASSERT_EQ(ConvertText(Dxf({"0", "LWPOLYLINE", "70", "0", "10", "0", "20", "0", "42", "1", "10",
                               "2", "20", "0", "0", "EOF"}),
                          &bytes),
              0);
    auto r = DecodeBezRecords(bytes);
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[0].cmd, 1);
    EXPECT_FLOAT_EQ(r[0].x, 0);
    EXPECT_EQ(r[3].cmd, 0);
    EXPECT_NEAR(r[3].x, 2540, 1e-2); // (1, -1) in units of 254 * 10
    EXPECT_NEAR(r[3].y, 2540, 1e-2);
    EXPECT_FLOAT_EQ(r[6].x, 5080);
    EXPECT_FLOAT_EQ(r[6].y, 0);

    // POLYLINE flags 129 is closed; 2 is not; a closed one ending on its start gets no line.
    auto records = [&](const char* flags, const char* lastX) {
        std::string out;
        ConvertText(Dxf({"0", "POLYLINE", "66", "1", "70", flags, "0", "VERTEX", "10", "0", "20",
                         "0", "0", "VERTEX", "10", "1", "20", "0", "0", "VERTEX", "10", lastX,
                         "20", "0", "0", "SEQEND", "0", "EOF"}),
                    &out);
        return DecodeBezRecords(out).size();
    };
    EXPECT_EQ(records("129", "2"), 4u);
    EXPECT_EQ(records("2", "2"), 3u);
    EXPECT_EQ(records("1", "0"), 3u);
}

TEST_F(DxfConverterTest, BadInputGivesAResult) {
    std::string longValue(300, '7');
    std::string longName = "LINE" + std::string(300, 'X');
    std::string bytes;
    // An over-long value is neither a number nor a name.
    ASSERT_EQ(ConvertText(Dxf({"0", "LINE", "10", "0", "20", "5", "11", "1", "21", "1", "0",
                               longName.c_str(), "0", "EOF"}),
                          &bytes),
              0);
    auto r = DecodeBezRecords(bytes);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_FLOAT_EQ(r[0].x, 0);
    EXPECT_FLOAT_EQ(r[0].y, -12700);
    dxf::Stats stats;
    EXPECT_EQ(ConvertText(Dxf({"0", "LINE", "10", longValue.c_str(), "20", "5", "11", "1", "21",
                               "1", "0", "EOF"}),
                          &bytes, &stats),
              -1);
    EXPECT_TRUE(stats.badNumber);

    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"endless line", std::string(1 << 20, 'A')},
        {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + std::string(4096, '\xff')},
        {"code without value", "0\nLINE\n10\n"},
        {"huge angles and values",
         Dxf({"0", "ARC", "40", "1e30", "50", "1e300", "51", "-1e300", "0", "ARC", "40", "nan",
              "50", "inf", "0", "CIRCLE", "40", "1e38", "0", "EOF"})},
        {"garbage codes", Dxf({"x", "LINE", "-5", "ARC", "99999999999", "0", "0", "EOF"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto start = std::chrono::steady_clock::now();
        int result = ConvertText(c.text, &bytes);
        EXPECT_TRUE(result == 0 || result == -1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(bytes.size() % 9, 0u);
    }
}

// A value where a number belongs that is none, or a number that does not fit the record's
// floats, fails the conversion and leaves the target empty; numbers in every written form pass.
TEST_F(DxfConverterTest, BadNumbersFailWithNothingWritten) {
    BoundConverter convert("DXF2BEZ.dll");
    const std::string target = Out("bad.bez");
    WriteFileBytes(target, "old");
    EXPECT_EQ(convert((Data / "dxf-bad-numbers.dxf").string(), target), -1);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_TRUE(FileBytes(target).empty());

    // Many records before the bad value: blocks already handed on are emptied too.
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += Dxf({"0", "LINE", "10", "0", "20", "0", "11", "1", "21", "1"});
    WriteFileBytes(Out("many.dxf"), many + Dxf({"0", "LINE", "10", "x", "0", "EOF"}));
    EXPECT_EQ(convert(Out("many.dxf"), target), -1);
    EXPECT_TRUE(FileBytes(target).empty());

    struct Case {
        const char* what;
        std::string text;
        int result;
    } cases[] = {
        {"letters", Dxf({"0", "LINE", "10", "abc", "0", "EOF"}), -1},
        {"a number then letters", Dxf({"0", "LINE", "10", "1.5mm", "0", "EOF"}), -1},
        {"decimal comma", Dxf({"0", "LINE", "10", "1,5", "0", "EOF"}), -1},
        {"empty", Dxf({"0", "LINE", "10", "", "0", "EOF"}), -1},
        {"beyond a float", Dxf({"0", "LINE", "10", "1e39", "0", "EOF"}), -1},
        {"not finite", Dxf({"0", "ARC", "40", "nan", "0", "EOF"}), -1},
        {"infinite", Dxf({"0", "CIRCLE", "40", "-inf", "0", "EOF"}), -1},
        {"scaled beyond a float", Dxf({"0", "LINE", "10", "1e37", "0", "EOF"}), -1},
        {"a radius whose circle does not fit", Dxf({"0", "CIRCLE", "40", "3e38", "0", "EOF"}),
         -1},
        {"flags", Dxf({"0", "LWPOLYLINE", "70", "closed", "10", "0", "20", "0", "0", "EOF"}),
         -1},
        {"forms of numbers",
         Dxf({"0", "LINE", "10", "+1.5E+1", "20", "-.5", "11", "1e-50", "21", "  7  ", "0",
              "EOF"}),
         0},
        {"large flags", Dxf({"0", "LWPOLYLINE", "70", "1e300", "10", "0", "20", "0", "0", "EOF"}),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes;
        dxf::Stats stats;
        EXPECT_EQ(ConvertText(c.text, &bytes, &stats), c.result);
        EXPECT_EQ(stats.badNumber, c.result == -1);
        if (c.result == -1) {
            EXPECT_TRUE(bytes.empty());
        }
    }
}

TEST_F(DxfConverterTest, ProgressPerExaminedPairAndNullProgressSameBytes) {
    BoundConverter convert("DXF2BEZ.dll");
    RecordingHandler handler;
    std::string source = (Data / "entities_r12.dxf").string();
    ASSERT_EQ(convert(source, Out("with.bez"), &handler), 0);
    ASSERT_EQ(convert(source, Out("without.bez"), nullptr), 0);
    EXPECT_EQ(FileBytes(Out("with.bez")), FileBytes(Out("without.bez")));
    // SetProgress only when the whole percent changed, each time followed by CheckAbort; a
    // CheckAbort for every pair examined.
    ASSERT_GT(handler.calls.size(), 100u);
    EXPECT_EQ(handler.calls[0], "P0");
    int last = -1, percents = 0;
    for (std::size_t i = 0; i < handler.calls.size(); ++i) {
        const std::string& c = handler.calls[i];
        if (c[0] == 'P') {
            int p = std::stoi(c.substr(1));
            EXPECT_GT(p, last);
            EXPECT_LE(p, 100);
            last = p;
            ++percents;
            ASSERT_LT(i + 1, handler.calls.size());
            EXPECT_EQ(handler.calls[i + 1], "C");
        } else {
            EXPECT_EQ(c, "C");
        }
    }
    EXPECT_GT(percents, 50);
    EXPECT_FALSE(handler.fractional);
}

// LibreCAD's library drawings: another DXF writer's output, with values that hold blanks.
TEST_F(DxfConverterTest, LibreCadLibraryConverts) {
    const fs::path root = "/usr/share/librecad";
    if (!fs::is_directory(root / "library")) GTEST_SKIP() << "librecad-data is not installed";
    BoundConverter convert("DXF2BEZ.dll");
    int files = 0, converted = 0;
    auto start = std::chrono::steady_clock::now();
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".dxf") continue;
        ++files;
        int result = convert(entry.path().string(), Out("lib.bez"));
        ASSERT_TRUE(result == 0 || result == -1) << entry.path();
        if (result == 0) ++converted;
    }
    EXPECT_GT(files, 1000);
    EXPECT_GT(converted, files * 9 / 10);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));

    std::ifstream in(Data / "librecad.txt");
    std::string name;
    int contours, linesOnly, checked = 0;
    double x0, y0, x1, y1;
    while (in >> name >> contours >> x0 >> y0 >> x1 >> y1 >> linesOnly) {
        SCOPED_TRACE(name);
        ::Path path;
        ASSERT_EQ(Import(root / name, path), 0);
        EXPECT_EQ(path.subPaths.Filled(), contours);
        path.RefreshBBoxes();
        // Lines convert exactly; the arc writer's quarter pieces lie up to 1.5 % of their
        // radius inside the circle.
        double tolerance = linesOnly ? 1e-3 : 0.02 * std::max(x1 - x0, y1 - y0);
        EXPECT_NEAR(path.accBox.left, x0, tolerance);
        EXPECT_NEAR(path.accBox.bottom, y0, tolerance);
        EXPECT_NEAR(path.accBox.right, x1, tolerance);
        EXPECT_NEAR(path.accBox.top, y1, tolerance);
        ++checked;
    }
    EXPECT_GE(checked, 3);
}

} // namespace
