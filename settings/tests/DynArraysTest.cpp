#include <gtest/gtest.h>

#include "settings/DynArrays.h"

namespace {

TEST(FloatDynArr, GrowStopsAtTheLimitAndInsertRefusesBeyondIt) {
    floatDynArr a(4, 6);
    EXPECT_EQ(a.Grow(6), 6);
    for (float v : {1.0f, 2.0f, 3.0f, 4.0f})
        a.Append(v);
    // Allocated equals the limit: no slot added while the count is below it.
    EXPECT_EQ(a.Grow(10), 0);
    const float two[] = {8.0f, 9.0f};
    a.InsertAt(1, two, 2);
    ASSERT_EQ(a.Filled(), 6);
    EXPECT_EQ(a[1], 8.0f);
    EXPECT_EQ(a[5], 4.0f);
    // The block is full: neither growth nor insertion may write past it.
    EXPECT_THROW(a.Grow(1), floatDynArr::LimitCheck);
    EXPECT_THROW(a.InsertAt(0, two, 1), floatDynArr::LimitCheck);
    EXPECT_THROW(a.Append(5.0f), floatDynArr::LimitCheck);
    EXPECT_EQ(a.Filled(), 6);
    EXPECT_EQ(a[0], 1.0f);
}

TEST(FloatDynArr, InsertAndDeleteRangesAreChecked) {
    floatDynArr a(2, 100);
    const float v[] = {1, 2, 3};
    a.InsertAt(0, v, 3);
    EXPECT_THROW(a.InsertAt(4, v, 1), floatDynArr::RangeCheck);
    EXPECT_THROW(a.DeleteAt(2, 2), floatDynArr::RangeCheck);
    a.InsertAt(0, v, 0);
    a.DeleteAt(0, 2);
    ASSERT_EQ(a.Filled(), 1);
    EXPECT_EQ(a[0], 3.0f);
}

TEST(ConstStrDynArr, OwnsItsStrings) {
    ConstStrDynArr names(2, 10);
    names.AppendCopy("mm");
    names.AppendCopy("cm");
    names.AppendCopy(nullptr);
    ASSERT_EQ(names.Filled(), 3);
    EXPECT_STREQ(names[2], "");
    names.DeleteStrings(1, 40); // clipped to the filled count
    EXPECT_EQ(names.Filled(), 3);
    EXPECT_STREQ(names[0], "mm");
    EXPECT_EQ(names[1], nullptr);
    EXPECT_EQ(names[2], nullptr);
    names.Destroy();
    EXPECT_EQ(names.Filled(), 0);
    names.AppendCopy("again"); // freed by the destructor (the leak checker watches)
}

} // namespace
