// The test reader of GP-GL must itself refuse what a cutter would not take.
#include <gtest/gtest.h>
#include <string>

#include <GpglCheck.h>

namespace {

TEST(GpglCheckTest, OnlyWellFormedStreamsRead) {
    const struct {
        std::string bytes;
        bool ok;
    } cases[] = {
        {"FM1\3TB50,0\3L0,\3!3\3*0,3\3M1,2\3D3,4\3U\3G\3", true},
        {"&1,1,1,TB50,0\3FO0\3!10\3FX7,0\3", true},
        {"TB99,TB55,1,TB23,-5,6\3", true},
        {"M1,2", false},          // no ETX at the end
        {"M1,2\3x", false},       // bytes after the last ETX
        {"M1,2\3\3", false},      // an empty piece
        {"M1\3", false},          // too few numbers
        {"M1,2,3\3", false},      // too many
        {"D1,a\3", false},        // a stray token
        {"Q1\3", false},          // no such command
        {"TB23,1\3", false},      // TB23 takes three numbers
        {"TB7,1\3", false},       // no such TB
        {"1,2\3", false},         // numbers without a command
        {"M1,,2\3", false},
        {"M1,2 \3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(gpglcheck::Read(c.bytes, 1).ok, c.ok) << gpglcheck::Read(c.bytes, 1).error;
    }
}

TEST(GpglCheckTest, PenDownRunsAreRebuiltInMillimetres) {
    gpglcheck::Stream s = gpglcheck::Read("M10,20\3D30,20\3D30,40\3M0,0\3D0,10\3", 0.05);
    ASSERT_TRUE(s.ok) << s.error;
    ASSERT_EQ(s.cuts.size(), 2u);
    ASSERT_EQ(s.cuts[0].size(), 3u);
    EXPECT_DOUBLE_EQ(s.cuts[0][0].x, 0.5);
    EXPECT_DOUBLE_EQ(s.cuts[0][2].y, 2.0);
    ASSERT_EQ(s.cuts[1].size(), 2u);
    EXPECT_DOUBLE_EQ(s.cuts[1][1].y, 0.5);
}

} // namespace
