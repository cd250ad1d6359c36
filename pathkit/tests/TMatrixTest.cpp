#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "pathkit/Bez3.h"
#include "pathkit/TMatrix.h"

namespace {

floatPoint Map(const floatTMatrix& m, floatPoint p) {
    m.Transform(p.x, p.y);
    return p;
}

void ExpectNear(floatPoint actual, floatPoint expected, float tol = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
}

} // namespace

TEST(FloatTMatrix, DefaultIsIdentityAndComparisonIsBitwise) {
    floatTMatrix m;
    EXPECT_TRUE(m.IsIdentMatrix());
    EXPECT_EQ(m, floatTMatrix(1, 0, 0, 1, 0, 0));
    m.Init(1, 0, 0, 1, -0.0f, 0);
    EXPECT_TRUE(m.IsIdentMatrix()); // numerically the identity...
    EXPECT_NE(m, floatTMatrix());   // ...but not the same stored words
    float nan = std::numeric_limits<float>::quiet_NaN();
    floatTMatrix n(nan, 0, 0, 1, 0, 0);
    EXPECT_EQ(n, n);
    m.Init(2, 0, 0, 2, 1, 1);
    m.IdentMatrix();
    EXPECT_TRUE(m.IsIdentMatrix());
}

TEST(FloatTMatrix, ProductAppliesLeftOperandFirst) {
    floatTMatrix translate(1, 0, 0, 1, 5, 0), scale(2, 0, 0, 2, 0, 0);
    EXPECT_EQ(Map(translate * scale, {1, 0}), floatPoint(12, 0));
    EXPECT_EQ(Map(scale * translate, {1, 0}), floatPoint(7, 0));
    floatTMatrix m = translate;
    m *= scale;
    EXPECT_EQ(m, translate * scale);
}

TEST(FloatTMatrix, InverseUndoesTheMappingAndRefusesNearSingular) {
    floatTMatrix m;
    m.Rotate(0.3f);
    m.Scale(2, 0.5f);
    m.Translate(7, -3);
    floatTMatrix inv = m.Inv();
    ExpectNear(Map(inv, Map(m, {3, 4})), {3, 4});
    ExpectNear(Map(m * inv, {-2, 9}), {-2, 9});

    floatTMatrix nearSingular(0.001f, 0, 0, 0.001f, 3, 4); // det 0.000001
    EXPECT_EQ(nearSingular.Inv(), nearSingular);
    floatTMatrix singular(1, 2, 2, 4, 0, 0);
    EXPECT_EQ(singular.Inv(), singular);
    floatTMatrix small(0.01f, 0, 0, 0.01f, 1, 1); // det 0.0001: inverted
    ExpectNear(Map(small.Inv(), {1.01f, 1.02f}), {1, 2}, 1e-2f);
}

TEST(FloatTMatrix, RotateIsCounterClockwiseAfterTheMatrix) {
    floatTMatrix m(1, 0, 0, 1, 5, 0);
    m.Rotate(float(std::numbers::pi / 2));
    ExpectNear(Map(m, {0, 0}), {0, 5});
    ExpectNear(Map(m, {1, 0}), {0, 6});
}

TEST(FloatTMatrix, ScaleKeepsTheTranslation) {
    floatTMatrix m(1, 0.5f, 0.25f, 1, 5, 7);
    m.Scale(2, 3);
    EXPECT_EQ(m, floatTMatrix(2, 1.5f, 0.5f, 3, 5, 7));
    m.Translate(1, -1);
    EXPECT_EQ(m.dx, 6);
    EXPECT_EQ(m.dy, 6);
}

TEST(FloatTMatrix, SkewAddsSineTimesTheFirstColumn) {
    floatTMatrix m(1, 0, 0, 1, 0, 0);
    m.Skew(std::numbers::pi / 6); // sin = 0.5
    EXPECT_FLOAT_EQ(m.m12, 0.5f);
    EXPECT_FLOAT_EQ(m.m22, 1.0f);
    ExpectNear(Map(m, {2, 0}), {2, 1});
    floatTMatrix r(0, 1, -1, 0, 0, 0);
    r.Skew(std::numbers::pi / 6);
    EXPECT_FLOAT_EQ(r.m12, 1.0f);
    EXPECT_FLOAT_EQ(r.m22, -0.5f);
}

TEST(FloatTMatrix, TransformTakesTheTranslationPathOnlyForExactTranslations) {
    floatTMatrix t(1, 0, 0, 1, 0.25f, -3);
    EXPECT_TRUE(t.IsTranslateOnly(0));
    // Only added: an infinite y does not spill into x through 0 * inf.
    float x = 2, y = std::numeric_limits<float>::infinity();
    t.Transform(x, y);
    EXPECT_EQ(x, 2.25f);
    EXPECT_TRUE(std::isinf(y));

    floatTMatrix nearly(1.0000001f, 0, 0, 1, 0, 0);
    EXPECT_FALSE(nearly.IsTranslateOnly(0));
    EXPECT_TRUE(nearly.IsTranslateOnly(1e-6));
    x = 1000, y = 0;
    nearly.Transform(x, y);
    EXPECT_GT(x, 1000.0f);

    floatTMatrix shear(1, 0, 1e-30f, 1, 0, 0);
    EXPECT_FALSE(shear.IsTranslateOnly(1)); // m21 must be exactly 0
}

TEST(FloatTMatrix, TransformAndDirectionTransform) {
    floatTMatrix m(2, 1, -1, 3, 10, 20);
    ExpectNear(Map(m, {1, 2}), {1 * 2 + 2 * -1 + 10, 1 * 1 + 2 * 3 + 20});
    float x = 1, y = 2;
    m.dTransform(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 7);
}

TEST(FloatTMatrix, BoxTransformationMapsCornerOntoCorner) {
    floatTMatrix m(9, 9, 9, 9, 9, 9);
    m.BoxTransformation(0, 0, 10, 20, 100, 200, 120, 260);
    EXPECT_EQ(m, floatTMatrix(2, 0, 0, 3, 100, 200));
    // Reversed corners flip the axis.
    m.BoxTransformation(1, 1, 3, 5, 30, 10, 10, 50);
    ExpectNear(Map(m, {1, 1}), {30, 10});
    ExpectNear(Map(m, {3, 5}), {10, 50});
    EXPECT_LT(m.m11, 0);
}

TEST(FloatTMatrix, BoxTransformationOfAZeroSizeAxisDoesNotScaleIt) {
    floatTMatrix m;
    m.BoxTransformation(4, 0, 4, 10, 50, 0, 70, 20);
    EXPECT_EQ(m.m11, 1);
    ExpectNear(Map(m, {4, 0}), {50, 0});
    ExpectNear(Map(m, {4, 10}), {50, 20});
    m.BoxTransformation(1, 2, 1, 2, 5, 5, 6, 6);
    EXPECT_EQ(m, floatTMatrix(1, 0, 0, 1, 4, 3));
}

TEST(Centre, FitsKeepingAspectRatioCentredWithMargin) {
    floatTMatrix m;
    // Square into a wide box with margin 5: fitted to the height of 40, centred in x.
    Centre(m, 0, 0, 10, 10, 0, 0, 100, 50, 5);
    EXPECT_FLOAT_EQ(m.m11, 4);
    EXPECT_FLOAT_EQ(m.m22, 4);
    EXPECT_FLOAT_EQ(m.dx, 30);
    EXPECT_FLOAT_EQ(m.dy, 5);
    EXPECT_EQ(m.m12, 0);
    EXPECT_EQ(m.m21, 0);
    // Wide into a square, no margin: fitted to the width, centred in y.
    Centre(m, 0, 0, 20, 10, 0, 0, 100, 100, 0);
    EXPECT_EQ(m, floatTMatrix(5, 0, 0, 5, 0, 25));
}

TEST(Centre, ZeroSizeSourcesGiveFiniteMatrices) {
    floatTMatrix m;
    // A vertical line is fitted to the height; x takes the same scale and lands in the middle.
    Centre(m, 0, 0, 0, 10, 0, 0, 100, 50, 0);
    EXPECT_EQ(m, floatTMatrix(5, 0, 0, 5, 50, 0));
    // A horizontal line is fitted to the width.
    Centre(m, 0, 3, 10, 3, 0, 0, 100, 50, 0);
    EXPECT_FLOAT_EQ(m.m11, 10);
    EXPECT_FLOAT_EQ(m.m22, 10);
    ExpectNear(Map(m, {0, 3}), {0, 25});
    // A point moves unscaled to the centre.
    Centre(m, 2, 2, 2, 2, 0, 0, 100, 50, 0);
    EXPECT_EQ(m, floatTMatrix(1, 0, 0, 1, 48, 23));
    // With the margin larger than the box as well.
    Centre(m, 0, 3, 10, 3, 0, 0, 10, 10, 20);
    EXPECT_TRUE(std::isfinite(m.m11) && std::isfinite(m.m22));
    EXPECT_TRUE(std::isfinite(m.dx) && std::isfinite(m.dy));
}

TEST(TransferBBox, StretchCentreAndAlign) {
    const floatBBox wide(0, 0, 20, 10), tall(0, 0, 10, 20), dst(10, 20, 110, 120);
    struct Case {
        const char* name;
        const floatBBox& src;
        int stretch, centred, alignRight, alignBottom;
        float margin;
        floatBBox expected;
    } cases[] = {
        {"stretched", wide, 1, 0, 0, 0, 0, dst},
        {"wide left top", wide, 0, 0, 0, 0, 0, {10, 70, 110, 120}},
        {"wide bottom", wide, 0, 0, 0, 1, 0, {10, 20, 110, 70}},
        {"wide centred", wide, 0, 1, 0, 0, 0, {10, 45, 110, 95}},
        {"tall left", tall, 0, 0, 0, 0, 0, {10, 20, 60, 120}},
        {"tall right", tall, 0, 0, 1, 0, 0, {60, 20, 110, 120}},
        {"tall centred", tall, 0, 1, 1, 1, 0, {35, 20, 85, 120}},
        {"margin centred", wide, 0, 1, 0, 0, 10, {20, 50, 100, 90}},
        // The margin is dropped on the aligned sides only.
        {"margin left top", wide, 0, 0, 0, 0, 10, {10, 80, 90, 120}},
        {"margin right bottom", wide, 0, 0, 1, 1, 10, {30, 20, 110, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        floatTMatrix m;
        TransferBBox(c.src, dst, m, c.stretch, c.centred, c.alignRight, c.alignBottom, c.margin);
        ExpectNear(Map(m, c.src.LB()), c.expected.LB());
        ExpectNear(Map(m, c.src.RT()), c.expected.RT());
    }
}

TEST(TransferBBox, SquareDestinationWithTwiceAsWideSource) {
    floatTMatrix m;
    TransferBBox(floatBBox(0, 0, 20, 10), floatBBox(0, 0, 100, 100), m, 0, 0, 0, 0, 0);
    EXPECT_EQ(m, floatTMatrix(5, 0, 0, 5, 0, 50));
}

TEST(Bez3, EndsAndMidpoint) {
    EXPECT_DOUBLE_EQ(bez3(1, 5, -3, 7, 0), 1);
    EXPECT_DOUBLE_EQ(bez3(1, 5, -3, 7, 1), 7);
    EXPECT_DOUBLE_EQ(bez3(1, 5, -3, 7, 0.5), (1 + 3 * 5 + 3 * -3 + 7) / 8.0);
    EXPECT_DOUBLE_EQ(bez3(0, 1, 2, 3, 0.25), 0.75); // evenly spaced controls: a straight line
}
