#include <gtest/gtest.h>

#include "geomkit/WPath.h"
#include "geomkit/WQInsidePath.h"
#include "geomkit/WSubPath.h"

namespace {

using SubPath = WSubPath<WNode, WSegment>;
using P = WPont<float>;

COXSPtr<SubPath> Square(float lo, float hi, bool closed = true) {
    COXSPtr<SubPath> sp(new SubPath);
    sp->MoveTo(lo, lo);
    sp->LineTo(hi, lo);
    sp->LineTo(hi, hi);
    sp->LineTo(lo, hi);
    if (closed) sp->Close();
    return sp;
}

int Inside(WPath& path, P p) {
    WQInsidePath q;
    q.Initialize(p);
    return q.Answer(&path);
}

} // namespace

TEST(WQInsidePath, HolesByTheEvenOddRule) {
    WPath path;
    path.Add(Square(0, 10), -1, 0, 0);
    path.Add(Square(3, 7), -1, 0, 0);
    EXPECT_EQ(Inside(path, P(5, 5)), 0); // in the hole
    EXPECT_EQ(Inside(path, P(1, 5)), 1); // between the outlines
    EXPECT_EQ(Inside(path, P(11, 5)), 0);
    EXPECT_EQ(Inside(path, P(3, 5)), 1); // on the hole's edge: the retreat decides
    WQInsidePath q;
    EXPECT_EQ(q.Answer(nullptr), 0);
}

TEST(WQInsidePath, OpenSubPathsContainNothing) {
    WPath path;
    path.Add(Square(0, 10, false), -1, 0, 0);
    EXPECT_EQ(Inside(path, P(5, 5)), 0);
    WPath empty;
    EXPECT_EQ(Inside(empty, P(0, 0)), 0);
}
