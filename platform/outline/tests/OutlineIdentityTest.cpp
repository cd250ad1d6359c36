// The outline engine's results recorded member for member (tests/data/identity-outline.txt):
// the shapes of the engine tests, smooth random outlines and the stored path files, outwards
// and inwards in every corner mode. Faster ways to the same results must keep them exactly.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "../../../pathkit/tests/IdentityFixture.h"
#include "../../../pathkit/tests/RandomPolygon.h"
#include "OutlineEngine.h"
#include "OutlineTestUtil.h"
#include "outline/OutlineManager.h"
#include "pathkit/BezRecordFile.h"

using pathtest::Identity;
using pathtest::IdentityTable;

namespace {

constexpr float Accuracy = 0.01f;

IdentityTable& Table() {
    static IdentityTable table(SD_TEST_DATA_DIR "/identity-outline.txt");
    return table;
}

void Offsets(const std::string& name, const Path& source, std::initializer_list<double> distances) {
    for (double d : distances) {
        for (int mode : {OUTLINE_ROUND, OUTLINE_MITRE, OUTLINE_BEVEL}) {
            OutlineSettings s;
            s.distance = d;
            s.mode = mode;
            s.accuracy = Accuracy;
            Path copy(source), out(Accuracy);
            OutlineEngine(s).Run(copy, out);
            Identity id;
            id.Add(out);
            Table().Check(name + "/" + std::to_string(d) + "/" + std::to_string(mode), id);
        }
    }
}

TEST(OutlineIdentity, TestShapes) {
    using namespace outlinetest;
    Path square(Accuracy), o(Accuracy), rounded(Accuracy), two(Accuracy), kink(Accuracy);
    Rect(square, 0, 0, 20, 20);
    Circle(o, 0, 0, 10);
    Circle(o, 0, 0, 6, true);
    RoundedRect(rounded, 0, 0, 30, 12, 3);
    Rect(two, 0, 0, 10, 10);
    Rect(two, 12, 0, 22, 10);
    Polygon(kink, {{0, 0}, {10, 0.2f}, {20, 0}, {20, 10}, {0, 10}});
    Offsets("square", square, {2, -3, 0.3});
    Offsets("o", o, {2, -2, 5});
    Offsets("rounded", rounded, {1.5, -1, 4});
    Offsets("two", two, {1.5, -1});
    Offsets("kink", kink, {1, -1});
}

TEST(OutlineIdentity, SmoothRandomOutlines) {
    for (unsigned seed : {31u, 33u}) {
        for (int jag : {50, 300}) {
            Path p = pathtest::Smoothed(pathtest::RandomPolygon(30, seed, jag / 1000.0, Accuracy));
            // Down to the size of the letters of a sign.
            Path small(Accuracy);
            for (const SubPath& sp : p.subPaths) {
                bool first = true;
                for (const PathMember& m : sp.members) {
                    auto f = [](const floatPoint& q) {
                        return floatPoint(q.x / 16.0f, q.y / 16.0f);
                    };
                    if (first) small.MoveTo(f(m.start));
                    first = false;
                    small.CurveTo(f(m.ctrl1), f(m.ctrl2), f(m.end));
                }
                small.ClosePath();
            }
            Offsets("smooth" + std::to_string(seed) + "-" + std::to_string(jag), small,
                    {1.5, -1.5});
        }
    }
}

TEST(OutlineIdentity, StoredPathFiles) {
    const std::filesystem::path data = SD_TEST_DATA_DIR;
    for (const auto& file : {data / "flyoff-spike.bez",
                             data / "../../../../pathkit/tests/data/bez/writer.bez"}) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty()) << file;
        Path path(Accuracy);
        ReadBezRecords(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), path,
                       1, 1);
        Offsets(file.filename().string(), path, {1.5, -1.5});
    }
}

} // namespace
