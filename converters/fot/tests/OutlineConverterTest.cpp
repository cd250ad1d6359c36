#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ConverterTesting.h"
#include "OutlineConverter.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/InStrStream.h"
#include "pathkit/Path.h"
#include "testing/PlatformTest.h"
#include "win32/user.h"

namespace {

std::string Rec(int flags, int x, int y) {
    return {char(flags), char((x >> 8) & 0xFF), char(x & 0xFF), char((y >> 8) & 0xFF), char(y & 0xFF)};
}
const std::string Break = Rec(0, 0xFFFF, 0xFFFF);
const std::string End(1, char(0x80));

struct Expected {
    int cmd;
    double x, y;
};

std::vector<BezRecordValue> RunCore(const std::string& source, int* result = nullptr) {
    InStrStream in(source.data(), long(source.size()));
    StringOutStream out;
    int r = outline::ConvertOutline(in, long(source.size()), out, nullptr);
    if (result) *result = r;
    return DecodeBezRecords(out.bytes);
}

void ExpectRecords(const std::vector<BezRecordValue>& got, const std::vector<Expected>& want,
                   double tolerance = 1e-3) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].cmd, want[i].cmd) << "record " << i;
        EXPECT_NEAR(got[i].x, want[i].x, tolerance) << "record " << i;
        EXPECT_NEAR(got[i].y, want[i].y, tolerance) << "record " << i;
    }
}

struct Case {
    const char* name;
    std::string source;
    std::vector<Expected> want;
};

TEST(OutlineConverterTest, HandWorkedRecords) {
    std::vector<Case> cases = {
        {"empty", "", {}},
        {"end byte first", End + Rec(0, 1, 1) + Rec(0, 2, 2), {}},
        {"corners", Rec(0, 0, 0) + Rec(0, 100, 0) + Rec(0, 100, 100) + End,
         {{1, 0, 0}, {2, 100, 0}, {2, 100, 100}}},
        {"duplicates leave one point", Rec(0, 5, 5) + Rec(1, 5, 5) + End, {}},
        {"breaks at the start and in pairs",
         Break + Rec(0, 0, 0) + Rec(0, 10, 0) + Break + Break + Rec(0, 20, 0) + Rec(0, 30, 0),
         {{1, 0, 0}, {2, 10, 0}, {1, 20, 0}, {2, 30, 0}}},
        {"a break whatever its flags, negative coordinates",
         Rec(0, -10, -20) + Rec(0, 10, 0) + Rec(0x09, 0xFFFF, 0xFFFF) + Rec(0, 1, 1) + Rec(0, 2, 2),
         {{1, -10, -20}, {2, 10, 0}, {1, 1, 1}, {2, 2, 2}}},
        {"0x82 is a corner, 0x81 smooth: smooth then corner is a line",
         Rec(0x82, 0, 0) + Rec(0x81, 10, 0) + Rec(0, 20, 10) + End,
         {{1, 0, 0}, {2, 10, 0}, {2, 20, 10}}},
        {"collinear arc is a line to its end",
         Rec(0x08, 0, 0) + Rec(0, 10, 0) + Rec(0, 20, 0) + End, {{1, 0, 0}, {2, 20, 0}}},
        {"late arc start is a corner",
         Rec(0, 0, 0) + Rec(0x08, 10, 0) + Rec(0x08, 20, 5) + End,
         {{1, 0, 0}, {2, 10, 0}, {2, 20, 5}}},
        // Natural spline through (0,0), (100,100), (200,0): second derivatives 0, (0, -0.015), 0;
        // the merge test fails (x factors 2, 2 against y factors 8/3, 8/3).
        {"smooth run",
         Rec(1, 0, 0) + Rec(1, 100, 100) + Rec(1, 200, 0) + End,
         {{1, 0, 0}, {3, 100.0 / 3, 50}, {0, 200.0 / 3, 100}, {0, 100, 100},
          {3, 400.0 / 3, 100}, {0, 500.0 / 3, 50}, {0, 200, 0}}},
        // The same run ended by 0x04 and followed by the corner (240,-50): the last handle,
        // 4.97 degrees off the direction from the corner, is turned onto it.
        {"end alignment",
         Rec(1, 0, 0) + Rec(1, 100, 100) + Rec(5, 200, 0) + Rec(0, 240, -50) + End,
         {{1, 0, 0}, {3, 100.0 / 3, 50}, {0, 200.0 / 3, 100}, {0, 100, 100},
          {3, 400.0 / 3, 100}, {0, 162.4606, 46.9242}, {0, 200, 0}, {2, 240, -50}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int result = -2;
        auto got = RunCore(c.source, &result);
        EXPECT_EQ(result, 0);
        ExpectRecords(got, c.want);
    }
}

// Pieces of an arc: counts of cubics and where they end.
TEST(OutlineConverterTest, ArcPieces) {
    // Start and end coincide: five pieces of 72 degrees counter-clockwise from the start, the
    // last ending exactly on it.
    auto circle = RunCore(Rec(0x08, 100, 0) + Rec(0, -100, 0) + Rec(0, 100, 0) + End);
    const double h = 1.2566370614359172 * 100 * 0.3484320557491289;
    const double c72 = 30.901699, s72 = 95.105652, c144 = -80.901699, s144 = 58.778525;
    ExpectRecords({circle[0], circle[1], circle[3], circle[6], circle[9], circle[12], circle[14]},
                  {{1, 100, 0}, {3, 100, h}, {0, c72, s72}, {0, c144, s144}, {0, c144, -s144},
                   {0, c72, -s72}, {0, 100, -h}});
    ASSERT_EQ(circle.size(), 16u);
    EXPECT_EQ(circle[15].cmd, 0);
    EXPECT_EQ(circle[15].x, 100.0f);
    EXPECT_EQ(circle[15].y, 0.0f);

    // A quarter circle's single-precision sweep lies above pi/2: two pieces of 45 degrees.
    auto quarter = RunCore(Rec(0x08, 1000, 0) + Rec(0, 600, 800) + Rec(0, 0, 1000) + End);
    ASSERT_EQ(quarter.size(), 7u);
    EXPECT_NEAR(quarter[3].x, 707.1068, 1e-3);
    EXPECT_NEAR(quarter[3].y, 707.1068, 1e-3);
    EXPECT_NEAR(quarter[6].x, 0, 1e-3);
    EXPECT_NEAR(quarter[6].y, 1000, 1e-3);
    // The handle: 45 degrees in radians times the radius times 0.34843.
    EXPECT_NEAR(quarter[1].y, 0.7853982 * 1000 * 0.3484320557491289, 1e-2);

    // 100 degrees clockwise: two pieces of 50.
    auto hundred = RunCore(Rec(0x08, 0, 1000) + Rec(0, 643, 766) + Rec(0, 985, -174) + End);
    ASSERT_EQ(hundred.size(), 7u);
    EXPECT_NEAR(std::atan2(hundred[3].y, hundred[3].x) * 180 / M_PI, 40, 0.1);
    EXPECT_NEAR(hundred[6].x, 985, 0.5);
    EXPECT_NEAR(hundred[6].y, -174, 0.5);

    // An arc after lines continues the contour; lines follow from its end. The half turn's
    // single-precision sweep lies above pi: three pieces.
    auto mixed = RunCore(Rec(0, -100, 0) + Rec(0x08, 0, 0) + Rec(0, 100, 100) + Rec(0, 200, 0) +
                         Rec(0, 300, 0) + End);
    ASSERT_EQ(mixed.size(), 1u + 1 + 9 + 1);
    EXPECT_EQ(mixed[1].cmd, 2);
    EXPECT_EQ(mixed.back().cmd, 2);
    EXPECT_EQ(mixed.back().x, 300.0f);
}

class OutlineConverterFileTest : public PlatformTest {
protected:
    std::string Path(const char* name) const { return (DataFolder() / name).string(); }
};

TEST_F(OutlineConverterFileTest, BoundByNameReadsBackAsThePathkitReaderSees) {
    BoundConverter convert("FOT2BEZ.dll");
    ASSERT_TRUE(convert.Bound());
    WriteFileBytes(Path("a.fot"), Rec(0, 0, 0) + Rec(0, 1000, 0) + Rec(0, 1000, 500) + Break +
                                      Rec(0x08, 100, 0) + Rec(0, -100, 0) + Rec(0, 100, 0) + End);
    ASSERT_EQ(convert(Path("a.fot"), Path("a.bez")), 0);
    ::Path path;
    ReadBezFile(Path("a.bez").c_str(), path, 0.01f, -0.01f);
    ASSERT_EQ(path.subPaths.Filled(), 2);
    EXPECT_EQ(path.subPaths[0].members.Filled(), 2);
    EXPECT_FLOAT_EQ(path.subPaths[0].members[1].end.y, -5);
    EXPECT_EQ(path.subPaths[1].members.Filled(), 5); // the circle's five pieces
    EXPECT_TRUE(path.subPaths[1].members[4].IsCurve());
    EXPECT_EQ(path.subPaths[1].members[4].end, path.subPaths[1].members[0].start);
}

TEST_F(OutlineConverterFileTest, ProgressAfterEveryTenthRecordAndNullProgressSameBytes) {
    BoundConverter convert("FOT2BEZ.dll");
    std::string source;
    for (int i = 0; i < 25; ++i)
        source += Rec(i % 3 == 0 ? 1 : 0, i * 10, (i * i) % 70);
    WriteFileBytes(Path("p.fot"), source);
    RecordingHandler handler;
    ASSERT_EQ(convert(Path("p.fot"), Path("with.bez"), &handler), 0);
    // Positions 45 and 95 of 125 bytes.
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"C", "P36", "C", "P76"}));
    ASSERT_EQ(convert(Path("p.fot"), Path("without.bez"), nullptr), 0);
    EXPECT_EQ(FileBytes(Path("with.bez")), FileBytes(Path("without.bez")));
    EXPECT_FALSE(FileBytes(Path("with.bez")).empty());

    // A handler that throws to cancel does not stop the conversion.
    handler.throwOnCheck = true;
    ASSERT_EQ(convert(Path("p.fot"), Path("thrown.bez"), &handler), 0);
    EXPECT_EQ(FileBytes(Path("thrown.bez")), FileBytes(Path("without.bez")));
}

TEST_F(OutlineConverterFileTest, FailuresAreReported) {
    BoundConverter convert("FOT2BEZ.dll");
    EXPECT_EQ(convert(Path("missing.fot"), Path("x.bez")), -1);
    WriteFileBytes(Path("b.fot"), Rec(0, 0, 0) + Rec(0, 1, 1) + End);
    EXPECT_EQ(convert(Path("b.fot"), Path("no/such/folder/x.bez")), -1);
    EXPECT_EQ(convert(Path("b.fot"), DataFolder().string()), -1); // a folder
}

// The arrays' largest sizes end the conversion with a result; the process lives on.
TEST_F(OutlineConverterFileTest, LimitsAndMemoryGiveResults) {
    BoundConverter convert("FOT2BEZ.dll");
    std::string big;
    for (int i = 0; i < 11000; ++i)
        big += Rec(0, i % 1000, i / 1000);
    WriteFileBytes(Path("big.fot"), big + End);
    EXPECT_EQ(convert(Path("big.fot"), Path("big.bez")), 16395);

    std::string runs;
    for (int i = 0; i < 8200; ++i)
        runs += Rec(1, i % 1000, i / 1000 * 3);
    WriteFileBytes(Path("run.fot"), runs + End);
    EXPECT_EQ(convert(Path("run.fot"), Path("run.bez")), 16395);

    std::string contours;
    for (int i = 0; i < 2100; ++i)
        contours += Rec(0, 0, 0) + Rec(0, 1, i) + Break;
    WriteFileBytes(Path("many.fot"), contours + End);
    EXPECT_EQ(convert(Path("many.fot"), Path("many.bez")), 16395);

    // The allocator's prompt declined: no memory.
    WriteFileBytes(Path("small.fot"), Rec(0, 0, 0) + Rec(0, 1, 1) + End);
    PushMessageBoxAnswer(IDCANCEL);
    FailHeapRequests(1000);
    int result = convert(Path("small.fot"), Path("small.bez"));
    FailHeapRequests(0);
    EXPECT_EQ(result, 16384);
}

} // namespace
