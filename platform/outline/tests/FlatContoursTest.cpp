#include <cmath>

#include <gtest/gtest.h>

#include "FlatContours.h"
#include "OutlineTestUtil.h"

using namespace outlinetest;

namespace {

// Every point of each curve lies within the tolerance of the chords: loops, cusps, S-curves,
// a straight curve running back over itself past its end.
TEST(FlatContours, ChordsStayWithinTheToleranceOfTheCurve) {
    const floatPoint curves[][4] = {
        {{0, 0}, {30, 40}, {-10, 40}, {20, 0}},                 // loop
        {{0, 0}, {20, 20}, {0, 20}, {20, 0}},                   // cusp
        {{0, 0}, {14.79041f, 10.526639f}, {12.3053513f, -1.63407826f}, {20, 0}}, // S
        {{0, 0}, {30, 0}, {-10, 0}, {20, 0}},                   // straight, doubling back
        {{11.0553f, -9.5788f}, {-12.15f, -14.2798f}, {4.17361f, -16.9326f}, {17.9636f, 8.44112f}},
    };
    for (double tol : {0.1, 0.01, 0.0025}) {
        for (std::size_t i = 0; i < std::size(curves); ++i) {
            SCOPED_TRACE(testing::Message() << "curve " << i << ", tolerance " << tol);
            const floatPoint* c = curves[i];
            Path path(0.01f);
            path.MoveTo(c[0]);
            path.CurveTo(c[1], c[2], c[3]);
            path.LineTo(c[0]);
            path.ClosePath();
            FlatContours flat(path, tol);
            const PathMember& m = path.subPaths[0].members[0];
            for (int k = 0; k <= 2000; ++k) {
                Pt p = Cubic(m, k / 2000.0);
                ASSERT_TRUE(flat.NearerThan(p.x, p.y, tol)) << k;
            }
        }
    }
}

} // namespace
