// Every node editing function on contours it cannot make sense of: no crash, no hang.

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "NodeEditTestUtil.h"
#include "pathkit/CornerEdit.h"
#include "pathkit/NodeCleanup.h"
#include "pathkit/NodeDelete.h"
#include "pathkit/NodeEdit.h"
#include "pathkit/Path.h"
#include "pathkit/SubPathArc.h"

using namespace nodetest;

namespace {

struct BadContour {
    const char* name;
    std::function<SubPath()> make;
};

std::vector<BadContour> BadContours() {
    return {
        {"empty", [] { return SubPath(); }},
        {"one line",
         [] {
             return Contour({Line({0, 0}, {10, 0})});
         }},
        {"one closed curve",
         [] {
             return Contour({Curve({0, 0}, {10, 10}, {-10, 10}, {0, 0})});
         }},
        {"zero-length members",
         [] {
             return Contour({Line({1, 1}, {1, 1}), Curve({1, 1}, {1, 1}, {1, 1}, {1, 1}),
                             Line({1, 1}, {1, 1})});
         }},
        {"not a number",
         [] {
             return Contour({Line({0, 0}, {kNaN, 0}), Curve({kNaN, 0}, {5, kNaN}, {7, 7}, {10, 10}),
                             Line({10, 10}, {0, 0})});
         }},
        {"infinite",
         [] {
             return Contour({Line({0, 0}, {kInf, 0}),
                             Curve({kInf, 0}, {5, -kInf}, {7, 7}, {10, 10}),
                             Line({10, 10}, {0, 0})});
         }},
        {"gaps",
         [] {
             return Contour({Line({0, 0}, {10, 0}), Curve({12, 0}, {13, 5}, {12, 9}, {10, 10}),
                             Line({9, 10}, {1, 1})});
         }},
    };
}

using Operation = std::function<void(SubPath&)>;

std::vector<std::pair<std::string, Operation>> Operations() {
    return {
        {"MoveSelectionIn", [](SubPath& sp) { MoveSelectionIn(sp, floatPoint(1, 1)); }},
        {"UpdateConnectionsIn", [](SubPath& sp) { UpdateConnectionsIn(sp); }},
        {"DetectConnectionTypesIn 0",
         [](SubPath& sp) { DetectConnectionTypesIn(sp, 1, 0.2f, 1, 0.1f, 0); }},
        {"DetectConnectionTypesIn 1",
         [](SubPath& sp) { DetectConnectionTypesIn(sp, 1, 3.2f, 1, 0.9f, 1); }},
        {"AlignIn", [](SubPath& sp) { AlignIn(sp, 5, 100, 1, 1); }},
        {"DeleteConnectionAt", [](SubPath& sp) { DeleteConnectionAt(sp, 1); }},
        {"DeleteSelNodesIn 0", [](SubPath& sp) { DeleteSelNodesIn(sp, 0); }},
        {"DeleteSelNodesIn 2", [](SubPath& sp) { DeleteSelNodesIn(sp, 2); }},
        {"FindStraightLinesIn", [](SubPath& sp) { FindStraightLinesIn(sp, 0.1f, 1); }},
        {"JoinStraightLinesIn", [](SubPath& sp) { JoinStraightLinesIn(sp, 0.1f); }},
        {"LocalSmooth", [](SubPath& sp) { LocalSmooth(sp, 0.1f, 0.5f); }},
        {"MakeCornersIn", [](SubPath& sp) { MakeCornersIn(sp, 0); }},
        {"SnapLinesIn and RecoverConnectionsIn",
         [](SubPath& sp) {
             SnapLinesIn(sp, 0, 0, 0);
             RecoverConnectionsIn(sp);
         }},
        {"CreateCornersIn", [](SubPath& sp) { CreateCornersIn(sp); }},
        {"RoundCornerAt",
         [](SubPath& sp) {
             for (unsigned i = 0; i < 4; ++i)
                 RoundCornerAt(sp, i, 2);
         }},
    };
}

} // namespace

TEST(NodeEditRobustness, BadContoursNeverCrash) {
    for (const BadContour& c : BadContours()) {
        for (const auto& [name, op] : Operations()) {
            SCOPED_TRACE(std::string(c.name) + ": " + name);
            SubPath sp = c.make();
            sp.SetPMState(PM_ALL_SEL | PM_SMOOTH, PM_ALL_SEL | PM_SMOOTH, 0, 0);
            op(sp);
            EXPECT_LE(sp.members.Filled(), 8);
        }
    }
}

TEST(NodeEditRobustness, BadMembersNeverCrash) {
    const PathMember bad[] = {Line({kNaN, 0}, {1, 1}), Curve({0, 0}, {kInf, 0}, {0, kNaN}, {1, 1}),
                              Line({1, 1}, {1, 1})};
    for (const PathMember& a : bad) {
        for (const PathMember& b : bad) {
            PathMember p = a, n = b, out;
            MakeSmoothConnection(p, n);
            MakeSymmetricConnection(p, n);
            ControlPointEdit(p, n, floatPoint(1, 2), 1);
            EditCurve(p, 0.5, floatPoint(kNaN, 1));
            DeleteConnection(a, b, out, 0.01f);
            SubPath arc;
            p = a;
            n = b;
            EXPECT_EQ(RoundCorner(p, n, 2, arc), -1);
            EXPECT_EQ(arc.members.Filled(), 0);
        }
    }
    // A path with nothing in it.
    Path empty(0.01f);
    SelectPathMembersIn(empty, floatBBox(0, 0, 1, 1), 1);
    DeleteSelLinesIn(empty);
    DeleteSelNodesIn(empty, 0);
    EXPECT_EQ(empty.subPaths.Filled(), 0);
}
