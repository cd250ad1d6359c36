// Plotting a path through the recording driver: the calls and their coordinates, overcut,
// clipping to the media, the cut order, and aborting.

#include <cmath>
#include <limits>
#include <set>
#include <sstream>

#include <pathkit/AbortHandler.h>
#include <pathkit/BBoxCalculator.h>
#include <pathkit/Path.h>
#include <pathkit/TMatrix.h>

#include "PlotTest.h"
#include "plot/PlotPath.h"

namespace {

// A point in the plot library's axes, read back from a driver call (no head offset).
struct Pt {
    long x, y;
    bool operator==(const Pt&) const = default;
    bool operator<(const Pt& o) const { return x != o.x ? x < o.x : y < o.y; }
};

// The outlines the driver was told to cut: one list of end points per MoveTo.
std::vector<std::vector<Pt>> Outlines(const Calls& calls) {
    std::vector<std::vector<Pt>> outlines;
    for (const std::string& call : calls) {
        std::istringstream in(call);
        std::string name;
        in >> name;
        std::vector<long> v;
        for (long n; in >> n;)
            v.push_back(n);
        if (name == "MoveTo") outlines.push_back({{v[1], v[0]}});
        if ((name == "LineTo" || name == "CurveTo") && !outlines.empty())
            outlines.back().push_back({v[v.size() - 1], v[v.size() - 2]});
    }
    return outlines;
}

// Closed rectangle in millimetres, counter-clockwise.
void AddRectangle(Path& path, float x1, float y1, float x2, float y2) {
    path.Append(PC_MOVETO, x1, y1);
    path.Append(x2, y1);
    path.Append(x2, y2);
    path.Append(x1, y2);
    path.Append(x1, y1);
    path.ClosePath();
}

class PlotPathTest : public PlotTest {
protected:
    void SetUp() override {
        PlotTest::SetUp();
        AttachMock();
        savedOvercut_ = OverCutting;
        savedOptimization_ = Optimization;
        OverCutting = 0;
        Optimization = 0;
        toDevice_.Scale(40, 40); // millimetres to 0.025 mm steps
        clip_ = floatBBox(0, 0, float(plotter_.GetMaxXStep()), float(plotter_.GetMaxYStep()));
    }

    void TearDown() override {
        OverCutting = savedOvercut_;
        Optimization = savedOptimization_;
        PlotTest::TearDown();
    }

    floatTMatrix toDevice_;
    floatBBox clip_;
    float savedOvercut_ = 0;
    int savedOptimization_ = 1;
};

TEST_F(PlotPathTest, ContoursReachTheDriverAsLinesAndCurvesInDriverAxes) {
    plotter_.headX = 100;
    plotter_.headY = 50;
    Path path;
    AddRectangle(path, 10, 10, 20, 20);
    // A "D": up the left side, then one curve back down.
    path.Append(PC_MOVETO, 30, 10);
    path.Append(30, 20);
    path.Append(36, 20, 36, 10, 30, 10);
    path.ClosePath();
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(TakeCalls(),
              (Calls{"MoveTo 450 500", "LineTo 450 900", "LineTo 850 900", "LineTo 850 500",
                     "LineTo 450 500", "MoveTo 450 1300", "LineTo 850 1300",
                     "CurveTo 850 1300 850 1540 450 1540 450 1300"}));
}

TEST_F(PlotPathTest, OvercutRetracesTheStartOfEveryClosedOutline) {
    struct Case {
        float overcut;
        Calls tail; // after the four sides
    };
    const Case cases[] = {
        {2.0f, {"LineTo 400 480"}},                    // 80 steps of the first side
        {12.0f, {"LineTo 400 800", "LineTo 480 800"}}, // the first side and 80 steps more
        {0.0f, {}},
        {-3.0f, {}},
        {std::numeric_limits<float>::quiet_NaN(), {}},
    };
    for (const Case& c : cases) {
        OverCutting = c.overcut;
        Path path;
        AddRectangle(path, 10, 10, 20, 20);
        PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
        Calls expected = {"MoveTo 400 400", "LineTo 400 800", "LineTo 800 800", "LineTo 800 400",
                          "LineTo 400 400"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(TakeCalls(), expected) << c.overcut;
    }
}

TEST_F(PlotPathTest, OvercutFollowsACurveAndSkipsOpenOutlines) {
    OverCutting = 1;
    Path path;
    path.Append(PC_MOVETO, 10, 10);
    path.Append(10, 20, 20, 20, 20, 10); // arch over (10..20, 10)
    path.Append(10, 10);
    path.ClosePath();
    path.Append(PC_MOVETO, 30, 10); // open: no overcut
    path.Append(40, 10);
    path.ClosePath();
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    Calls calls = TakeCalls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "MoveTo 400 400");
    EXPECT_EQ(calls[1], "CurveTo 400 400 800 400 800 800 400 800");
    EXPECT_EQ(calls[2], "LineTo 400 400");
    // 40 steps along the curve, as a curve from the start.
    std::istringstream piece(calls[3]);
    std::string name;
    long sx, sy, c1x, c1y, c2x, c2y, ex, ey;
    piece >> name >> sx >> sy >> c1x >> c1y >> c2x >> c2y >> ex >> ey;
    EXPECT_EQ(name, "CurveTo");
    EXPECT_EQ(sx, 400);
    EXPECT_EQ(sy, 400);
    EXPECT_NEAR(std::hypot(ex - 400.0, ey - 400.0), 40, 2);
    EXPECT_EQ(calls[4], "MoveTo 400 1200");
    EXPECT_EQ(calls[5], "LineTo 400 1600");
}

TEST_F(PlotPathTest, OptimisationCutsBottomUpNearestFirstWithoutTouchingTheCallersPath) {
    Path path;
    AddRectangle(path, 30, 10, 40, 20); // right
    AddRectangle(path, 10, 12, 20, 18); // left, its top in a lower band
    AddRectangle(path, 50, 40, 60, 50); // higher up
    path.RefreshBBoxes();
    const Path original(path);

    Optimization = 0;
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    auto inFileOrder = Outlines(TakeCalls());
    ASSERT_EQ(inFileOrder.size(), 3u);
    EXPECT_EQ(inFileOrder[0][0], (Pt{1200, 400}));
    EXPECT_EQ(inFileOrder[1][0], (Pt{400, 480}));
    EXPECT_EQ(inFileOrder[2][0], (Pt{2000, 1600}));

    Optimization = 1;
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    auto optimised = Outlines(TakeCalls());
    ASSERT_EQ(optimised.size(), 3u);
    EXPECT_EQ(optimised[0][0], (Pt{400, 480}));   // lowest band, nearest corner
    EXPECT_EQ(optimised[1][0], (Pt{1200, 480}));  // started level with the knife
    EXPECT_EQ(optimised[2][0], (Pt{2000, 1600})); // nearest corner to the knife
    for (const auto& outline : optimised)
        EXPECT_EQ(outline.front(), outline.back());

    ASSERT_EQ(path.subPaths.Filled(), original.subPaths.Filled());
    for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i) {
        ASSERT_EQ(path.subPaths[i].members.Filled(), original.subPaths[i].members.Filled());
        for (std::uint16_t j = 0; j < path.subPaths[i].members.Filled(); ++j)
            EXPECT_EQ(path.subPaths[i].members[j].start, original.subPaths[i].members[j].start);
    }
}

TEST_F(PlotPathTest, APathOutsideTheClipBoxSendsNothingAndLeavesTheExtent) {
    floatBBox box(1, 2, 3, 4);
    floatBBoxCalculator extent(box);
    Path path;
    AddRectangle(path, -30, 10, -20, 20);
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, &extent);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_FALSE(extent.IsInitialized());
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 4);

    // Plotted paths collect their rounded device box.
    Path a, b;
    AddRectangle(a, 10.01f, 10, 20, 20);
    AddRectangle(b, 5, 30, 8, 40);
    PlotPath(plotter_, a, toDevice_, clip_, 0, 0, 0, 0, &extent);
    EXPECT_TRUE(extent.IsInitialized());
    EXPECT_EQ(box.left, 400);
    EXPECT_EQ(box.right, 800);
    PlotPath(plotter_, b, toDevice_, clip_, 0, 0, 0, 0, &extent);
    EXPECT_EQ(box.left, 200);
    EXPECT_EQ(box.right, 800);
    EXPECT_EQ(box.bottom, 400);
    EXPECT_EQ(box.top, 1600);
}

TEST_F(PlotPathTest, AClosedOutlineCrossingTheClipBoxIsClosedAlongItsEdge) {
    clip_ = floatBBox(0, 0, 2000, 2000);
    for (int optimise : {0, 1}) {
        Optimization = optimise;
        Path path;
        AddRectangle(path, 40, 10, 60, 20); // 1600..2400 across, crossing x = 2000
        PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
        auto outlines = Outlines(TakeCalls());
        ASSERT_EQ(outlines.size(), 1u);
        const auto& o = outlines[0];
        EXPECT_EQ(o.front(), o.back());
        std::set<Pt> corners(o.begin(), o.end());
        EXPECT_EQ(corners, (std::set<Pt>{{1600, 400}, {2000, 400}, {2000, 800}, {1600, 800}}))
            << optimise;
    }
}

TEST_F(PlotPathTest, AClipBoxWithoutAreaTakesNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const floatBBox boxes[] = {floatBBox(), floatBBox(0, 0, 0, 2000), floatBBox(0, 0, 2000, 0)};
    for (floatBBox box : boxes) {
        Path path;
        AddRectangle(path, 0, 0, 20, 20);
        PlotPath(plotter_, path, toDevice_, box, 0, 0, 0, 0, nullptr);
    }
    floatBBox notANumber;
    notANumber.left = nan;
    notANumber.right = 2000;
    notANumber.top = 2000;
    Path path;
    AddRectangle(path, 0, 0, 20, 20);
    PlotPath(plotter_, path, toDevice_, notANumber, 0, 0, 0, 0, nullptr);
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(PlotPathTest, AKeptEdgeIsNotCut) {
    clip_ = floatBBox(0, 0, 2000, 2000);
    Path path;
    AddRectangle(path, -10, 10, 10, 20); // crossing the left edge x = 0
    PlotPath(plotter_, path, toDevice_, clip_, 1, 0, 0, 0, nullptr);
    auto outlines = Outlines(TakeCalls());
    ASSERT_EQ(outlines.size(), 1u);
    const auto& o = outlines[0];
    ASSERT_EQ(o.size(), 4u); // three sides, open
    for (std::size_t i = 1; i < o.size(); ++i)
        EXPECT_FALSE(o[i - 1].x == 0 && o[i].x == 0) << "a cut along the kept edge";
    std::set<Pt> ends = {o.front(), o.back()};
    EXPECT_EQ(ends, (std::set<Pt>{{0, 400}, {0, 800}}));
}

TEST_F(PlotPathTest, AnOutlineTouchingTheEdgeIsClippedAndKeepsItsShape) {
    clip_ = floatBBox(0, 0, 800, 2000);
    Path path;
    AddRectangle(path, 10, 10, 20, 20); // its right side lies on the clip's right edge
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    auto outlines = Outlines(TakeCalls());
    ASSERT_EQ(outlines.size(), 1u);
    std::set<Pt> corners(outlines[0].begin(), outlines[0].end());
    EXPECT_EQ(corners, (std::set<Pt>{{400, 400}, {800, 400}, {800, 800}, {400, 800}}));
    EXPECT_EQ(outlines[0].size(), 5u);
}

TEST_F(PlotPathTest, AnOpenOutlineIsCutWhereItLeavesTheClipBox) {
    clip_ = floatBBox(0, 0, 2000, 2000);
    Path path;
    path.Append(PC_MOVETO, -10, 5);
    path.Append(10, 5);
    path.Append(10, 100); // leaves through the top
    path.ClosePath();
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    auto outlines = Outlines(TakeCalls());
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_EQ(outlines[0], (std::vector<Pt>{{0, 200}, {400, 200}, {400, 2000}}));
}

TEST_F(PlotPathTest, AnAbortEndsThePathAtTheNextPoll) {
    struct Handler : AbortHandler {
        void SetStage(const char*, float, float) override {}
        void SetProgress(float) override {}
        void CheckAbort() override {
            if (++polls == abortAt) owner->Abort();
        }
        Plotter* owner = nullptr;
        int polls = 0;
        int abortAt = 0;
    } handler;
    handler.owner = &plotter_;
    ASSERT_EQ(plotter_.Attach(MockDriverFile, Device, DevicesIni().c_str(), &handler), 0);
    Path path;
    AddRectangle(path, 10, 10, 20, 20);
    AddRectangle(path, 30, 10, 40, 20);

    // Polls: the path, the emission, the outline, then one per member.
    handler.abortAt = 4;
    mock_->calls.clear();
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(TakeCalls(), (Calls{"MoveTo 400 400", "LineTo 400 800", "Abort"}));
    PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(PlotPathTest, PointsThatAreNoNumbersSendNothingForTheirOutline) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int optimise : {0, 1}) {
        Optimization = optimise;
        Path path;
        AddRectangle(path, 10, 10, 20, 20);
        path.Append(PC_MOVETO, 30, 10);
        path.Append(nan, 20);
        path.Append(40, 10);
        path.Append(30, 10);
        path.ClosePath();
        PlotPath(plotter_, path, toDevice_, clip_, 0, 0, 0, 0, nullptr);
        auto outlines = Outlines(TakeCalls());
        ASSERT_FALSE(outlines.empty());
        for (const auto& o : outlines)
            for (const Pt& p : o)
                EXPECT_TRUE(p.x >= 0 && p.x <= 800 && p.y >= 0 && p.y <= 800) << optimise;
    }
}

} // namespace
