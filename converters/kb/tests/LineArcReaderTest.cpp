#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ConverterTesting.h"
#include "LineArcReader.h"
#include "PreconverterTesting.h"
#include "pathkit/InStrStream.h"
#include "testing/PlatformTest.h"
#include "win32/ModuleTesting.h"

namespace {

std::string F(float v) {
    char b[4];
    std::memcpy(b, &v, 4);
    return std::string(b, 4);
}
std::string Line(float x1, float y1, float x2, float y2) {
    return std::string("\x01\x00", 2) + F(x1) + F(y1) + F(x2) + F(y2);
}
std::string Arc(int type, float x1, float y1, float x2, float y2, float cx, float cy) {
    return std::string{char(type), 0} + F(x1) + F(y1) + F(x2) + F(y2) + F(cx) + F(cy) + F(0);
}
const std::string Header(32, 'h');

std::string Read(const std::string& records) {
    std::string bytes = Header + records;
    InStrStream in(bytes.data(), long(bytes.size()));
    preconv::Points points;
    EXPECT_TRUE(kb::ReadLineArcFile(in, long(bytes.size()), points));
    return Describe(points);
}

TEST(LineArcReaderTest, RecordsBecomeOutlinePoints) {
    const float c170 = 6 * std::cos(170 * M_PI / 180), s170 = 6 * std::sin(170 * M_PI / 180);
    struct Case {
        const char* name;
        std::string records;
        const char* points;
    } cases[] = {
        {"joined lines", Line(0, 0, 10, 0) + Line(10, 0, 10, 5), "0:0,0 0:100,0 0:100,50 B"},
        {"a gap starts a contour", Line(0, 0, 10, 0) + Line(20, 0, 30, 0),
         "0:0,0 0:100,0 B 0:200,0 0:300,0 B"},
        {"quarter circle of radius 10", Arc(3, 20, 10, 10, 20, 10, 10),
         "8:200,100 0:171,171 0:100,200 B"},
        {"radius 1 is a smooth run", Arc(3, 11, 10, 10, 11, 10, 10),
         "5:110,100 1:107,107 0:100,110 B"},
        {"clockwise", Arc(2, 10, 20, 20, 10, 10, 10), "8:100,200 0:171,171 0:200,100 B"},
        {"an arc continuing a line", Line(0, 0, 20, 10) + Arc(3, 20, 10, 10, 20, 10, 10),
         "0:0,0 8:200,100 0:171,171 0:100,200 B"},
        {"other types take two bytes", std::string("\x07\x00", 2) + Line(0, 0, 1, 0),
         "0:0,0 0:10,0 B"},
        {"values that are not finite", Line(0, 0, NAN, 1) + Line(0, 0, 1, 0), "0:0,0 0:10,0 B"},
        {"up to 999.9 units unscaled", Line(0, 0, 999.9f, 0), "0:0,0 0:9999,0 B"},
        {"1500 units halve the outline", Line(0, 0, 999.9f, 1500), "0:0,0 0:4999,7500 B"},
        {"negative lines move, not clamp", Line(-10, -5, 10, 5), "0:0,0 0:200,100 B"},
        {"negative arcs move too", Arc(3, -40, -50, -50, -40, -50, -50),
         "8:100,0 0:71,71 0:0,100 B"},
        {"a truncated record ends the file", Line(0, 0, 1, 0) + std::string("\x01\x00\x01", 3),
         "0:0,0 0:10,0 B"},
        {"nothing", "", "B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.records), c.points);
    }
    // 20 degrees across the negative x axis: an arc from a radius of 5.73 units on.
    EXPECT_EQ(Read(Arc(3, 100 + c170, 100 + s170, 100 + c170, 100 - s170, 100, 100)).substr(0, 2),
              "8:");
    const float c5 = 5 * std::cos(170 * M_PI / 180), s5 = 5 * std::sin(170 * M_PI / 180);
    EXPECT_EQ(Read(Arc(3, 100 + c5, 100 + s5, 100 + c5, 100 - s5, 100, 100)).substr(0, 2), "5:");
    // Start and end 20 degrees apart: always a smooth run.
    EXPECT_EQ(Read(Arc(3, 1000, 0, 1000 * std::cos(0.349f), 1000 * std::sin(0.349f), 0, 0)).substr(0, 2),
              "5:");
}

class LineArcConverterTest : public PlatformTest {
protected:
    std::string Out(const char* name) const { return (DataFolder() / name).string(); }
};

TEST_F(LineArcConverterTest, ThroughTheOutlineConverter) {
    TempFolderOverride temp(DataFolder() / "tmp");
    BoundConverter convert("KB2BEZ.dll");
    ASSERT_TRUE(convert.Bound());

    // More points than the old working list held, in one contour.
    std::string records;
    for (int i = 0; i < 6000; ++i)
        records += Line(float(i % 2 * 10), float(i), float((i + 1) % 2 * 10), float(i + 1));
    WriteFileBytes(Out("zigzag.kb"), Header + records);
    RecordingHandler handler;
    ASSERT_EQ(convert(Out("zigzag.kb"), Out("zigzag.bez"), &handler), 0);
    auto r = DecodeBezRecords(FileBytes(Out("zigzag.bez")));
    ASSERT_EQ(r.size(), 6001u);
    EXPECT_EQ(r[0].cmd, 1);
    EXPECT_EQ(r[6000].cmd, 2);
    // conv-fot reports every tenth record it reads.
    ASSERT_GE(handler.calls.size(), 1200u);
    EXPECT_EQ(handler.calls[0], "C");
    ASSERT_EQ(convert(Out("zigzag.kb"), Out("null.bez"), nullptr), 0);
    EXPECT_EQ(FileBytes(Out("zigzag.bez")), FileBytes(Out("null.bez")));
    EXPECT_TRUE(FilesStartingWith(DataFolder() / "tmp", "FOT").empty());

    // The arcs arrive as curves.
    WriteFileBytes(Out("arc.kb"), Header + Arc(3, 20, 10, 10, 20, 10, 10));
    ASSERT_EQ(convert(Out("arc.kb"), Out("arc.bez")), 0);
    auto arc = DecodeBezRecords(FileBytes(Out("arc.bez")));
    ASSERT_EQ(arc.size(), 7u);
    EXPECT_EQ(arc[1].cmd, 3);
    EXPECT_NEAR(arc[6].x, 100, 1e-3);
    EXPECT_NEAR(arc[6].y, 200, 1e-3);
}

TEST_F(LineArcConverterTest, FailuresLeaveNoTemporaryFile) {
    TempFolderOverride temp(DataFolder() / "tmp");
    BoundConverter convert("KB2BEZ.dll");
    WriteFileBytes(Out("a.kb"), Header + Line(0, 0, 1, 1));
    EXPECT_EQ(convert(Out("missing.kb"), Out("x.bez")), -1);
    WriteFileBytes(Out("short.kb"), "too short");
    EXPECT_EQ(convert(Out("short.kb"), Out("x.bez")), -1);
    SdSetModuleMissing("FOT2BEZ.dll", true);
    EXPECT_EQ(convert(Out("a.kb"), Out("x.bez")), -1);
    SdSetModuleMissing("FOT2BEZ.dll", false);
    EXPECT_TRUE(FilesStartingWith(DataFolder() / "tmp", "FOT").empty());
    EXPECT_EQ(convert(Out("a.kb"), Out("x.bez")), 0);
}

} // namespace
