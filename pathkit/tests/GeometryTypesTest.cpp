#include <climits>
#include <cmath>
#include <type_traits>

#include <gtest/gtest.h>

#include "pathkit/BBox.h"
#include "pathkit/BBoxCalculator.h"
#include "pathkit/Point.h"
#include "pathkit/Range.h"
#include "pathkit/TMatrix.h"

// Plain values: copied bitwise, laid out field by field.
static_assert(std::is_trivially_copyable_v<floatPoint> && sizeof(floatPoint) == 8);
static_assert(std::is_trivially_copyable_v<intPoint> && sizeof(intPoint) == 8);
static_assert(std::is_trivially_copyable_v<longPoint> && sizeof(longPoint) == 8);
static_assert(std::is_trivially_copyable_v<floatRange> && sizeof(floatRange) == 8);
static_assert(std::is_trivially_copyable_v<longRange> && sizeof(longRange) == 8);
static_assert(std::is_trivially_copyable_v<floatBBox> && sizeof(floatBBox) == 16);
static_assert(std::is_trivially_copyable_v<longBBox> && sizeof(longBBox) == 16);
static_assert(std::is_trivially_copyable_v<floatTMatrix> && sizeof(floatTMatrix) == 24);

TEST(FloatPoint, ArithmeticAndExactComparison) {
    floatPoint a(1.5f, -2), b(0.5f, 4);
    EXPECT_EQ(a + b, floatPoint(2, 2));
    EXPECT_EQ(a - b, floatPoint(1, -6));
    EXPECT_EQ(a * 2.0, floatPoint(3, -4));
    EXPECT_EQ(a / 2.0, floatPoint(0.75f, -1));
    a += b;
    EXPECT_EQ(a, floatPoint(2, 2));
    a -= floatPoint(2, 2);
    EXPECT_EQ(a, floatPoint());
    EXPECT_NE(floatPoint(1, 1), floatPoint(1, std::nextafter(1.0f, 2.0f)));
}

TEST(FloatRange, InsideOpenInsideAndMiddle) {
    floatRange r;
    r.Set(1, 2);
    EXPECT_FLOAT_EQ(r.Middle(), 1.5f);
    EXPECT_FLOAT_EQ(r.Size(), 1.0f);

    EXPECT_TRUE(r.IsInside(2.0f));
    EXPECT_FALSE(r.OpenInside(2.0f)); // high is excluded
    EXPECT_TRUE(r.OpenInside(1.0f));
    EXPECT_FALSE(r.IsInside(2.1f));
    EXPECT_TRUE(r.IsInside(2.1f, 0.2f));
    EXPECT_TRUE(r.IsInside(0.9f, 0.2f));

    floatRange inner;
    inner.Set(1.2f, 2);
    EXPECT_TRUE(r.IsInside(inner));
    inner.high = 2.5f;
    EXPECT_FALSE(r.IsInside(inner));
}

TEST(FloatRange, ExtendsToIncludeValuesAndRanges) {
    floatRange r;
    r = 5.0f;
    EXPECT_EQ(r.low, 5.0f);
    EXPECT_EQ(r.high, 5.0f);
    r += 3.0f;
    r += 4.0f;
    EXPECT_EQ(r.low, 3.0f);
    EXPECT_EQ(r.high, 5.0f);
    floatRange other;
    other.Set(-1, 9);
    r += other;
    EXPECT_EQ(r.low, -1.0f);
    EXPECT_EQ(r.high, 9.0f);
}

TEST(IntegerRanges, MiddleUsesIntegerDivisionWithoutOverflow) {
    intRange r;
    r.low = 1, r.high = 2;
    EXPECT_EQ(r.Middle(), 1);
    r.low = INT_MAX - 1, r.high = INT_MAX;
    EXPECT_EQ(r.Middle(), INT_MAX - 1);

    longRange l;
    l = 7;
    EXPECT_TRUE(l.IsInside(7));
    EXPECT_FALSE(l.IsInside(8));
    l.low = INT32_MIN, l.high = INT32_MIN + 2;
    EXPECT_EQ(l.Middle(), INT32_MIN + 1);
}

TEST(FloatBBox, BuiltFromCornersInAnyOrder) {
    floatBBox b(10, 20, 0, 5);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.right, 10);
    EXPECT_EQ(b.bottom, 5);
    EXPECT_EQ(b.top, 20);
    floatBBox f;
    f.Fill(0, 20, 10, 5);
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.right, 10);
    EXPECT_EQ(f.bottom, 5);
    EXPECT_EQ(f.top, 20);
    EXPECT_EQ(b.LB(), floatPoint(0, 5));
    EXPECT_EQ(b.LT(), floatPoint(0, 20));
    EXPECT_EQ(b.RB(), floatPoint(10, 5));
    EXPECT_EQ(b.RT(), floatPoint(10, 20));
}

TEST(FloatBBox, OpenInsideExcludesRightAndTopEdges) {
    floatBBox b(0, 0, 10, 10);
    struct Case {
        floatPoint p;
        bool closed, open;
    } cases[] = {
        {{0, 0}, true, true},        {{5, 5}, true, true},    {{10, 5}, true, false},
        {{5, 10}, true, false},      {{10, 10}, true, false}, {{-0.01f, 5}, false, false},
        {{5, 10.01f}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        EXPECT_EQ(b.IsInside(c.p, 0), c.closed);
        EXPECT_EQ(b.OpenInside(c.p), c.open);
    }
    EXPECT_TRUE(b.IsInside(floatPoint(10.5f, -0.5f), 0.5f));
}

TEST(FloatBBox, ExtendInflateSizeAndContainment) {
    floatBBox b;
    b = floatPoint(1, 1);
    b += floatPoint(4, 5);
    EXPECT_FLOAT_EQ(b.Size(), 5.0f);
    b += floatBBox(-1, 0, 2, 2);
    EXPECT_EQ(b.left, -1);
    EXPECT_EQ(b.bottom, 0);
    EXPECT_EQ(b.right, 4);
    EXPECT_EQ(b.top, 5);

    floatBBox outer = b;
    outer.Inflate(1, 2);
    EXPECT_EQ(outer.left, -2);
    EXPECT_EQ(outer.right, 5);
    EXPECT_EQ(outer.bottom, -2);
    EXPECT_EQ(outer.top, 7);
    EXPECT_TRUE(outer.IsInside(b));
    EXPECT_TRUE(b.IsInside(b));
    EXPECT_FALSE(b.IsInside(outer));
    b.Inflate(-0.5f);
    EXPECT_EQ(b.left, -0.5f);
    EXPECT_EQ(b.top, 4.5f);
}

TEST(IntegerBBoxes, ExtendCornersAndSize) {
    longBBox b;
    longPoint p;
    p.Fill(3, 4);
    b += p;
    EXPECT_DOUBLE_EQ(b.Size(), 5.0);
    EXPECT_EQ(b.RT().x, 3);
    EXPECT_EQ(b.RT().y, 4);
    EXPECT_EQ(b.LB().x, 0);
    b.Inflate(1, 2);
    EXPECT_EQ(b.left, -1);
    EXPECT_EQ(b.top, 6);

    // The diagonal of the widest box does not overflow.
    intBBox wide;
    intPoint lo, hi;
    lo.Fill(INT_MIN, 0);
    hi.Fill(INT_MAX, 0);
    wide += lo;
    wide += hi;
    EXPECT_DOUBLE_EQ(wide.Size(), 4294967295.0);
    intBBox other;
    other.top = 9;
    wide += other;
    EXPECT_EQ(wide.top, 9);
    EXPECT_EQ(wide.LT().y, 9);
}

TEST(BBoxCalculator, FirstBoxReplacesTheTargetsOldContents) {
    floatBBox target(-100, -100, 100, 100);
    floatBBoxCalculator calc(target);
    EXPECT_FALSE(calc.IsInitialized());
    calc += floatBBox(1, 2, 3, 4);
    EXPECT_TRUE(calc.IsInitialized());
    EXPECT_EQ(target.left, 1);
    EXPECT_EQ(target.bottom, 2);
    EXPECT_EQ(target.right, 3);
    EXPECT_EQ(target.top, 4);
    calc += floatPoint(0, 10);
    EXPECT_EQ(target.left, 0);
    EXPECT_EQ(target.top, 10);
    EXPECT_EQ(target.right, 3);
    calc = floatPoint(7, 8); // starts over at the point
    EXPECT_EQ(target.left, 7);
    EXPECT_EQ(target.right, 7);
    EXPECT_EQ(target.bottom, 8);
    EXPECT_EQ(target.top, 8);
}

TEST(BBoxCalculator, FirstPointReplacesTheTargetInIntegerTwins) {
    longBBox target;
    target.left = target.bottom = -50;
    target.right = target.top = 50;
    longBBoxCalculator calc(target);
    longPoint p;
    p.Fill(5, 6);
    calc += p;
    EXPECT_EQ(target.left, 5);
    EXPECT_EQ(target.right, 5);
    EXPECT_EQ(target.bottom, 6);
    EXPECT_EQ(target.top, 6);

    intBBox itarget;
    itarget.right = 1000;
    intBBoxCalculator icalc(itarget);
    intPoint a, b;
    a.Fill(2, 3);
    b.Fill(-2, 9);
    icalc += a;
    icalc += b;
    EXPECT_TRUE(icalc.IsInitialized());
    EXPECT_EQ(itarget.left, -2);
    EXPECT_EQ(itarget.right, 2);
    EXPECT_EQ(itarget.bottom, 3);
    EXPECT_EQ(itarget.top, 9);
}
