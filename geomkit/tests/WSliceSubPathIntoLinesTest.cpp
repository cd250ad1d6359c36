#include <gtest/gtest.h>

#include "geomkit/WSliceSubPathIntoLines.h"
#include "geomkit/WSubPath.h"

namespace {

using SubPath = WSubPath<WNode, WSegment>;
using P = WPont<float>;

std::vector<P> Anchors(SubPath& sp) {
    std::vector<P> v;
    for (int i = 0; i < sp.GetNodeCount(); ++i)
        v.push_back(sp.GetNode(i)->GetAnchor());
    return v;
}

} // namespace

TEST(WSliceSubPathIntoLines, ClosedSquareStartsAtTheEndOfTheFirstSegment) {
    COXSPtr<SubPath> square(new SubPath), target(new SubPath);
    square->MoveTo(0, 0);
    square->LineTo(10, 0);
    square->LineTo(10, 10);
    square->LineTo(0, 10);
    square->Close();
    WSliceSubPathIntoLines slicer;
    slicer.SliceSubPath(square, target);
    EXPECT_TRUE(target->IsClosed());
    EXPECT_EQ(Anchors(*target), (std::vector<P>{P(10, 0), P(10, 10), P(0, 10), P(0, 0)}));
}

TEST(WSliceSubPathIntoLines, OpenSourceLosesItsFirstAnchor) {
    COXSPtr<SubPath> open(new SubPath), target(new SubPath);
    open->MoveTo(0, 0);
    open->LineTo(5, 0);
    open->LineTo(5, 5);
    WSliceSubPathIntoLines slicer;
    slicer.SliceSubPath(open, target);
    EXPECT_FALSE(target->IsClosed());
    EXPECT_EQ(Anchors(*target), (std::vector<P>{P(5, 0), P(5, 5)}));
}

TEST(WSliceSubPathIntoLines, CurvesBecomeStraightPieces) {
    COXSPtr<SubPath> arc(new SubPath), target(new SubPath);
    arc->MoveTo(10, 0);
    arc->CurveTo(WVektor<float>(0, 5.5228f), WVektor<float>(5.5228f, 0), P(0, 10));
    WSliceSubPathIntoLines slicer;
    slicer.SliceSubPath(arc, target);
    ASSERT_GT(target->GetNodeCount(), 10);
    EXPECT_EQ(target->GetLastNode()->GetAnchor(), P(0, 10));
    for (int i = 0; i < target->GetNodeCount(); ++i) {
        const WNode* n = target->GetNode(i);
        EXPECT_EQ(n->GetKind() & (WNode::eFirstVector | WNode::eSecondVector), 0);
        EXPECT_NEAR(n->GetAnchor().Length(), 10, 0.01);
    }
}
