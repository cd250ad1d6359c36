#include <gtest/gtest.h>

#include "RecordingArchive.h"
#include "geomkit/WArchiveOperators.h"

using R = RecordingArchive;

TEST(WArchiveOperators, ValueOrders) {
    RecordingArchive out;
    out << WPont<float>(1, 2) << WVektor<float>(3, 4) << WPont<double>(5, 6)
        << WVektor<double>(7, 8) << WBoundingBox(10, 11, 12, 13) << WTransMatrix(1, 2, 3, 4, 5, 6);
    const std::vector<R::Value> expected = {
        {R::Float, 1},   {R::Float, 2},   {R::Float, 3},   {R::Float, 4},
        {R::Double, 5},  {R::Double, 6},  {R::Double, 7},  {R::Double, 8},
        {R::Double, 10}, {R::Double, 12}, {R::Double, 11}, {R::Double, 13}, // left, bottom, ...
        {R::Double, 1},  {R::Double, 2},  {R::Double, 3},  {R::Double, 4},
        {R::Double, 5},  {R::Double, 6}};
    EXPECT_EQ(out.Values(), expected);

    RecordingArchive in(out.Values());
    WPont<float> p;
    WVektor<float> v;
    WPont<double> pd;
    WVektor<double> vd;
    WBoundingBox b;
    WTransMatrix m;
    in >> p >> v >> pd >> vd >> b >> m;
    EXPECT_TRUE(in.AllRead());
    EXPECT_EQ(p, WPont<float>(1, 2));
    EXPECT_EQ(v, WVektor<float>(3, 4));
    EXPECT_EQ(pd, WPont<double>(5, 6));
    EXPECT_EQ(vd, WVektor<double>(7, 8));
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.right, 11);
    EXPECT_EQ(b.bottom, 12);
    EXPECT_EQ(b.top, 13);
    EXPECT_EQ(m.C(), 3);
    EXPECT_EQ(m.F(), 6);
}
