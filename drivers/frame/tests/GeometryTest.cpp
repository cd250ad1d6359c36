#include <algorithm>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include <driverframe/SaturatingBez3Base.h>

namespace {

struct Piece {
    SaturatingPoint p0, p3;
    std::uint32_t start, end;
    int depth;
};

// Records every piece with its parameter range and depth.
class RecordingFlattener : public SaturatingBez3Base {
public:
    explicit RecordingFlattener(std::int32_t tolerance = 2) : SaturatingBez3Base(tolerance) {}

    void Output(SaturatingPoint& p0, SaturatingPoint&, SaturatingPoint&,
                SaturatingPoint& p3) override {
        pieces.push_back({p0, p3, paramStart, paramEnd, depth});
    }

    using SaturatingBez3Base::chordMid;
    std::vector<Piece> pieces;
};

void Flatten(RecordingFlattener& f, SaturatingPoint p0, SaturatingPoint p1, SaturatingPoint p2,
             SaturatingPoint p3) {
    f.CalcCurve(p0, p1, p2, p3, 0);
}

TEST(LongPointTest, ArithmeticTruncatesTowardZeroAndSaturates) {
    struct Case {
        SaturatingPoint result;
        SaturatingPoint expected;
    } cases[] = {
        {SaturatingPoint(7, -7) * 0.5, {3, -3}},
        {SaturatingPoint(7, -7) / 2.0, {3, -3}},
        {SaturatingPoint(10, -10) * 0.99, {9, -9}},
        {SaturatingPoint(1, -1) * 1e12, {INT_MAX, INT_MIN}},
        {SaturatingPoint(1, 1) * std::nan(""), {0, 0}},
        {SaturatingPoint(5, 5) / 0.0, {INT_MAX, INT_MAX}},
        {SaturatingPoint(1, 2) + SaturatingPoint(10, 20), {11, 22}},
        {SaturatingPoint(1, 2) - SaturatingPoint(10, 20), {-9, -18}},
        {SaturatingPoint(INT_MAX, INT_MIN) + SaturatingPoint(1, -1), {INT_MAX, INT_MIN}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.x, c.expected.x);
        EXPECT_EQ(c.result.y, c.expected.y);
    }
    SaturatingPoint p;
    EXPECT_EQ(p, SaturatingPoint(0, 0));
    p.Fill(3, 4);
    p += SaturatingPoint(1, 1);
    p -= SaturatingPoint(0, 2);
    EXPECT_EQ(p, SaturatingPoint(4, 3));
    EXPECT_NE(p, SaturatingPoint(4, 4));
    EXPECT_EQ(&p.This(), &p);
}

TEST(LongBez3BaseTest, MidpointsTruncateTowardZero) {
    RecordingFlattener f;
    SaturatingPoint p0(-3, 3), m(0, 0), p3(0, 0);
    f.CheckOutput(p0, m, p3);
    EXPECT_EQ(f.chordMid, SaturatingPoint(-1, 1));
}

TEST(LongBez3BaseTest, StraightCurveGivesFourQuarterPieces) {
    RecordingFlattener f;
    Flatten(f, {0, 0}, {100, 0}, {200, 0}, {300, 0});
    ASSERT_EQ(f.pieces.size(), 4u);
    const std::int32_t ends[] = {75, 150, 225, 300};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.pieces[i].p3, SaturatingPoint(ends[i], 0)) << i;
        EXPECT_EQ(f.pieces[i].start, std::uint32_t(i) << 29) << i;
        EXPECT_EQ(f.pieces[i].end, std::uint32_t(i + 1) << 29) << i;
        EXPECT_EQ(f.pieces[i].depth, 1);
    }
}

TEST(LongBez3BaseTest, CoincidentPointsGiveFourEmptyPieces) {
    RecordingFlattener f;
    Flatten(f, {5, -5}, {5, -5}, {5, -5}, {5, -5});
    ASSERT_EQ(f.pieces.size(), 4u);
    for (const Piece& piece : f.pieces) {
        EXPECT_EQ(piece.p0, SaturatingPoint(5, -5));
        EXPECT_EQ(piece.p3, SaturatingPoint(5, -5));
    }
}

TEST(LongBez3BaseTest, PiecesJoinAndStayWithinTolerance) {
    RecordingFlattener f(8);
    Flatten(f, {0, 0}, {0, 4000}, {4000, 4000}, {4000, 0});
    ASSERT_GT(f.pieces.size(), 8u);
    EXPECT_EQ(f.pieces.front().p0, SaturatingPoint(0, 0));
    EXPECT_EQ(f.pieces.back().p3, SaturatingPoint(4000, 0));
    for (std::size_t i = 1; i < f.pieces.size(); ++i) {
        EXPECT_EQ(f.pieces[i].p0, f.pieces[i - 1].p3) << i;
        EXPECT_EQ(f.pieces[i].start, f.pieces[i - 1].end) << i;
    }
    EXPECT_EQ(f.pieces.back().end, 0x80000000u);
}

// A flattener whose test never passes, restricted to the leftmost piece of each level: the
// recursion must stop at depth 31 and output that piece without testing it.
TEST(LongBez3BaseTest, RecursionStopsAtDepth31) {
    class NeverFlat : public RecordingFlattener {
    public:
        int CheckEntry(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&,
                       SaturatingPoint&) override {
            return paramStart == 0;
        }
        int CheckOutput(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&) override {
            deepestTest = std::max<int>(deepestTest, depth);
            return 0;
        }
        int deepestTest = -1;
    } f;
    Flatten(f, {0, 0}, {0, 1 << 20}, {1 << 20, 1 << 20}, {1 << 20, 0});
    EXPECT_EQ(f.deepestTest, 30);
    ASSERT_EQ(f.pieces.size(), 2u);
    EXPECT_EQ(f.pieces[0].depth, 31);
    EXPECT_EQ(f.pieces[0].start, 0u);
}

} // namespace
