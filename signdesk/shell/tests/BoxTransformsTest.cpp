#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "shell/BoxTransforms.h"
#include "shell/CLinearSystem.h"

TEST(CLinearSystem, SolvesAndRefusesSingular) {
    CLinearSystem s(2);
    s.At(0, 0) = 2; s.At(0, 1) = 1; s.Rhs(0) = 3;
    s.At(1, 0) = 1; s.At(1, 1) = 3; s.Rhs(1) = 5;
    ASSERT_TRUE(s.Solve());
    EXPECT_NEAR(s.Solution(0), 0.8, 1e-12);
    EXPECT_NEAR(s.Solution(1), 1.4, 1e-12);

    CLinearSystem z(2);
    z.At(0, 0) = 1; z.At(0, 1) = 2; z.At(1, 0) = 2; z.At(1, 1) = 4;
    EXPECT_FALSE(z.Solve());

    // One equation: b / a, and none for a = 0.
    CLinearSystem one(1);
    one.At(0, 0) = 4; one.Rhs(0) = 2;
    ASSERT_TRUE(one.Solve());
    EXPECT_EQ(one.Solution(0), 0.5);
    CLinearSystem flat(1);
    flat.Rhs(0) = 2;
    EXPECT_FALSE(flat.Solve());
}

TEST(BoxTransforms, ThreePointFit) {
    floatTMatrix m;
    const float a = 2, b = 0.5f, c = -1, d = 3, e = 10, f = -4;
    ASSERT_TRUE(MatrixFromThreePoints(m, floatPoint(0, 0), floatPoint(1, 0), floatPoint(0, 1),
                                      floatPoint(e, f), floatPoint(a + e, b + f),
                                      floatPoint(c + e, d + f)));
    EXPECT_NEAR(m.m11, a, 1e-5); EXPECT_NEAR(m.m12, b, 1e-5);
    EXPECT_NEAR(m.m21, c, 1e-5); EXPECT_NEAR(m.m22, d, 1e-5);
    EXPECT_NEAR(m.dx, e, 1e-5); EXPECT_NEAR(m.dy, f, 1e-5);

    // Collinear and coincident sources: no matrix, the old one kept.
    const floatTMatrix before = m;
    EXPECT_FALSE(MatrixFromThreePoints(m, floatPoint(0, 0), floatPoint(1, 1), floatPoint(2, 2),
                                       floatPoint(0, 0), floatPoint(1, 0), floatPoint(0, 1)));
    EXPECT_FALSE(MatrixFromThreePoints(m, floatPoint(3, 3), floatPoint(3, 3), floatPoint(3, 3),
                                       floatPoint(0, 0), floatPoint(1, 0), floatPoint(0, 1)));
    EXPECT_TRUE(m == before);
}

TEST(BoxTransforms, BoxRectAndPoint) {
    floatTMatrix rot;
    rot.Rotate(static_cast<float>(M_PI / 4));
    floatBBox box(0, 0, 1, 1);
    TransformBBox(rot, box);
    EXPECT_NEAR(box.right - box.left, std::sqrt(2.0), 1e-5);
    EXPECT_NEAR(box.top - box.bottom, std::sqrt(2.0), 1e-5);

    floatTMatrix id;
    POINT p = TransformToPoint(id, floatPoint(2.5f, -2.5f));
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, -2);
    // Beyond the device range, or not a number: the range's end, or 0.
    p = TransformToPoint(id, floatPoint(3e9f, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(p.x, INT32_MAX);
    EXPECT_EQ(p.y, 0);
    p = TransformToPoint(id, floatPoint(-std::numeric_limits<float>::infinity(), 0));
    EXPECT_EQ(p.x, INT32_MIN);

    floatTMatrix shift(1, 0, 0, 1, 5, 0);
    RECT r{10, 20, 0, 5};  // ranges given reversed
    floatBBox rb = TransformRect(shift, r);
    EXPECT_FLOAT_EQ(rb.left, 5); EXPECT_FLOAT_EQ(rb.right, 15);
    EXPECT_FLOAT_EQ(rb.bottom, 5); EXPECT_FLOAT_EQ(rb.top, 20);
}
