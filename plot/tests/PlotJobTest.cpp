// The job object: placement of copies and panels on the sheets, panel marks, and one sheet
// sent through the driver. The banner is the hand-checked example of the README.

#include <algorithm>
#include <cmath>
#include <set>

#include <testing/DibCanvas.h>

#include "JobTest.h"

namespace {

class PlotJobTest : public JobTest {
protected:
    // Media 610 x 2000, panel marks 10 x 5, overlap x 20, a banner 1,500 x 400 at (0, 0).
    void Banner() {
        Media(610, 2000,
              "panelMarkers=1\npanelMarkLength=10\npanelMarkWidth=5\noverlapX=20\noverlapY=5\n"
              "weedBox=0\n");
        ColorPath& outline = host_.Add(0x0000FF);
        AddRectangle(outline, 0, 0, 1500, 400);
        AddRectangle(outline, 100, 100, 1400, 300); // a hole across every panel
        job_.SetDesign(&host_);
    }
};

TEST_F(PlotJobTest, TheBannerIsCutInThreePanelsWithOverlapsOnOneSheet) {
    Banner();
    EXPECT_EQ(job_.mediaWidth, 610);
    EXPECT_EQ(job_.leftMargin, 0);
    EXPECT_EQ(tiles_.getMaxWidth(), 590);
    ASSERT_TRUE(tiles_.isTiling());
    EXPECT_EQ(tiles_.columns, 3);
    EXPECT_EQ(tiles_.rows, 1);
    EXPECT_EQ(tiles_.getFullWidth(), 1730);
    ASSERT_EQ(tiles_.getSelTiles(), 3);

    std::vector<PlotJob::SheetItem> items;
    job_.Arrange(items);
    ASSERT_EQ(items.size(), 3u);
    const float tileX[] = {0, 570, 1140};
    const float partW[] = {590, 590, 360};
    const float itemY[] = {0, 425, 850};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].order, i + 1);
        EXPECT_EQ(items[i].sheet, 0);
        EXPECT_EQ(items[i].tileX, tileX[i]);
        EXPECT_EQ(items[i].tileW, 590);
        EXPECT_EQ(items[i].part.right - items[i].part.left, partW[i]);
        EXPECT_EQ(items[i].part.top - items[i].part.bottom, 400);
        EXPECT_EQ(items[i].w, partW[i] + 20);
        EXPECT_EQ(items[i].h, 420);
        EXPECT_EQ(items[i].x, 0);
        EXPECT_EQ(items[i].y, itemY[i]);
    }
    EXPECT_EQ(job_.GetSheetCount(), 1);

    // Tile 1's last mark, (570, 0, -5, -10) shrunk by 0.2, on the media at the part's corner
    // (10, 10).
    std::vector<floatBBox> marks;
    job_.PanelMarks(items[0], marks);
    ASSERT_EQ(marks.size(), 8u);
    EXPECT_NEAR(marks[7].left, 575.2f, 1e-3);
    EXPECT_NEAR(marks[7].right, 579.8f, 1e-3);
    EXPECT_NEAR(marks[7].bottom, 0.2f, 1e-3);
    EXPECT_NEAR(marks[7].top, 9.8f, 1e-3);
    // The last panel overlaps nothing to its right: its marks at the right edge are whole.
    job_.PanelMarks(items[2], marks);
    EXPECT_NEAR(marks[6].left, 10 + 360 + 0.2f, 1e-3);
}

TEST_F(PlotJobTest, TheBannersPanelsReachTheDriverWhereTheyLieOnTheSheet) {
    Banner();
    Optimization = 0;
    AttachDrv();
    job_.RunSheet(DeviceClip(), 0);
    std::vector<DriverPoint> points = MovesAndLines(TakeCalls());
    ASSERT_FALSE(points.empty());
    std::set<DriverPoint> seen(points.begin(), points.end());
    // Driver x runs along the media (job y), driver y across it (job x). Each part's
    // rectangle: across 10 .. 10 + part width, along its item + 10 .. + 410 (steps of 1/40).
    const long along[] = {10, 435, 860};
    const long width[] = {590, 590, 360};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        for (long x : {along[i], along[i] + 400})
            for (long y : {10L, 10 + width[i]})
                EXPECT_TRUE(seen.count({x * 40, y * 40}));
    }
    for (const DriverPoint& p : points) {
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 1270 * 40);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.y, 610 * 40);
    }
    // Both neighbours carry the strip 570..590 of the design: the hole's lower edge (design
    // y 100) is cut across it on panel 1 (across 580..600) and on panel 2 (across 10..30).
    auto cutAt = [&](long alongMm, long acrossMm) {
        return std::any_of(points.begin(), points.end(), [&](const DriverPoint& p) {
            return p.x == alongMm * 40 && p.y == acrossMm * 40;
        });
    };
    EXPECT_TRUE(cutAt(10 + 100, 10 + 590)); // panel 1's clip edge on the hole's edge
    EXPECT_TRUE(cutAt(435 + 100, 10));      // panel 2's clip edge on the hole's edge
    ASSERT_TRUE(job_.extentSet);
}

TEST_F(PlotJobTest, CopiesFillARowAndTheRestStartTheNextSheet) {
    Media(610, 150, "weedBox=0\npanelMarkers=0\n");
    AddRectangle(host_.Add(), 0, 0, 195, 100);
    job_.SetDesign(&host_);
    ASSERT_FALSE(tiles_.isTiling());
    struct Case {
        int copies, sheets;
    };
    for (Case c : {Case{1, 1}, Case{3, 1}, Case{4, 2}, Case{7, 3}}) {
        job_.copies = c.copies;
        EXPECT_EQ(job_.GetSheetCount(), c.sheets) << c.copies;
    }
    std::vector<PlotJob::SheetItem> items;
    job_.copies = 4;
    job_.Arrange(items);
    EXPECT_EQ(items[1].x, 200);
    EXPECT_EQ(items[2].x, 400);
    EXPECT_EQ(items[3].sheet, 1);
    EXPECT_EQ(items[3].x, job_.contentX);
    EXPECT_EQ(items[3].y, 0);
}

TEST_F(PlotJobTest, OutOfRangeSettingsAreClampedForTheLayout) {
    Media(610, 2000,
          "overlapX=60\noverlapY=-5\npanelMarkLength=50\npanelMarkWidth=-1\nmarkerSize=1000\n"
          "weedDx=500\n");
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    job_.SetDesign(&host_);
    EXPECT_EQ(tiles_.overlapX, 50);
    EXPECT_EQ(tiles_.overlapY, 0);
    EXPECT_EQ(tiles_.panelMarkLength, 20);
    EXPECT_EQ(tiles_.panelMarkWidth, 0);
    EXPECT_EQ(job_.markerSize, 100);
    EXPECT_EQ(job_.weedDx, 100);
}

TEST_F(PlotJobTest, DisabledColoursAndOtherLayersLeaveTheBounds) {
    Media(610, 2000, "weedBox=0\npanelMarkers=0\n");
    AddRectangle(host_.Add(0x11), 0, 0, 100, 50);
    AddRectangle(host_.Add(0x22), 200, 0, 300, 80);
    job_.SetDesign(&host_);
    ASSERT_EQ(job_.colours.size(), 2u);
    floatBBox b;
    job_.getBounds(b);
    EXPECT_EQ(b.right, 300);
    job_.EnableColour(0x22, 0);
    job_.getBounds(b);
    EXPECT_EQ(b.right, 100);
    EXPECT_EQ(b.top, 50);
    // With panel marks on a disabled colour still counts.
    tiles_.panelMarks = 1;
    job_.getBounds(b);
    EXPECT_EQ(b.right, 300);
}

TEST_F(PlotJobTest, AHostWithoutPathsOrALoneLineGivesNoDivisionByZero) {
    Media(610, 2000, "weedBox=0\npanelMarkers=0\n");
    job_.SetDesign(&host_); // nothing at all
    EXPECT_EQ(job_.contentW, 0);
    EXPECT_EQ(job_.getScale(), 1);

    ColorPath& line = host_.Add();
    line.MoveTo(floatPoint(50, 0));
    line.LineTo(floatPoint(50, 300));
    line.ClosePath(); // finished, still open
    job_.SetDesign(&host_);
    EXPECT_EQ(job_.contentW, 0);
    EXPECT_EQ(job_.contentH, 300);
    EXPECT_EQ(job_.getScale(), 1);
    float x = 50, y = 300;
    job_.designMatrix.Transform(x, y);
    EXPECT_EQ(y, 300); // cut at its size
    EXPECT_TRUE(std::isfinite(x));
}

TEST_F(PlotJobTest, MarkersTakeTheFirstFreeOfTwentySlots) {
    Media(610, 2000, "weedBox=0\npanelMarkers=0\nregistrationMarkers=1\nmarkerSize=10\n");
    AddRectangle(host_.Add(), 0, 0, 100, 100);
    Path shape;
    AddRectangle(shape, -1, -1, 1, 1);
    job_.SetMarkerShape(shape);
    job_.SetDesign(&host_);
    EXPECT_EQ(job_.markerBox.right - job_.markerBox.left, 10);
    for (int i = 0; i < PlotJob::MarkerSlots; ++i)
        EXPECT_EQ(job_.AddMarker(floatPoint(float(10 + 4 * i), 50)), i);
    EXPECT_EQ(job_.AddMarker(floatPoint(50, 50)), -1);
    EXPECT_EQ(job_.FindMarker(floatPoint(11, 52)), 0);
    EXPECT_EQ(job_.FindMarker(floatPoint(50, 60)), -1);
    job_.DeleteMarker(0);
    EXPECT_EQ(job_.FindMarker(floatPoint(11, 52)), 1);
    EXPECT_EQ(job_.AddMarker(floatPoint(50, 50)), 0);
}

TEST_F(PlotJobTest, ASheetFedDeviceCutsThePagesJoinedByItsOrigin) {
    Media(610, 2000, "weedBox=0\npanelMarkers=0\n", 300);
    AddRectangle(host_.Add(), 0, 0, 100, 700);
    job_.SetDesign(&host_);
    ASSERT_EQ(job_.pageLength, 300);
    AttachDrv();
    job_.RunSheet(DeviceClip(), 0);
    std::vector<std::string> calls = TakeCalls();
    std::vector<std::string> origins;
    for (const std::string& c : calls)
        if (c.rfind("SetOrigin", 0) == 0) origins.push_back(c);
    // Three pages: two joints of a page each (driver x runs along the media), then back.
    EXPECT_EQ(origins, (std::vector<std::string>{"SetOrigin 0 0", "SetOrigin 12000 0",
                                                 "SetOrigin 12000 0", "SetOrigin 0 0"}));
    // Every cut lies within its page.
    for (const DriverPoint& p : MovesAndLines(calls)) {
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 12000);
    }
    // The last page holds the rectangle's top edge, 100 mm up the page.
    EXPECT_TRUE(job_.extentSet);
    EXPECT_EQ(job_.extentBox.top, 4000);
}

TEST_F(PlotJobTest, ManualFeedCutsEachPanelOfARunAsASheetOfCopies) {
    Media(610, 600, "weedBox=0\npanelMarkers=0\nmanualFeed=1\noverlapX=0\noverlapY=0\n");
    AddRectangle(host_.Add(), 0, 0, 200, 1000);
    job_.SetDesign(&host_);
    ASSERT_EQ(tiles_.orderMode, 3);
    ASSERT_TRUE(job_.IsTiled());
    ASSERT_EQ(tiles_.getSelTiles(), 2); // one column of two panels
    job_.copies = 4;
    std::vector<PlotJob::SheetItem> items;
    job_.Arrange(items);
    // Three copies across (615 / 205), the run twice: 3 + 3, then 1 + 1.
    std::vector<int> perSheet(4, 0);
    for (const auto& item : items) {
        ASSERT_LT(item.sheet, 4);
        ++perSheet[item.sheet];
    }
    EXPECT_EQ(perSheet, (std::vector<int>{3, 3, 1, 1}));
    EXPECT_EQ(job_.GetSheetCount(), 4);
    EXPECT_EQ(items[1].x, 205);
    EXPECT_EQ(items[0].order, 1);
    EXPECT_EQ(items[3].order, 2);
    EXPECT_TRUE(items[0].runAfter);
    EXPECT_TRUE(items[3].runBefore);

    // The first panel of a run keeps its top edge uncut and feeds the media by the panel.
    AttachDrv();
    job_.RunSheet(DeviceClip(), 0);
    std::vector<std::string> calls = TakeCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 3], "MoveTo 24000 0");
    EXPECT_EQ(calls[calls.size() - 2], "Reset");
}

TEST_F(PlotJobTest, ThePreviewShowsTheDesignWhereItIsCutInEveryTurn) {
    Media(200, 300, "weedBox=0\npanelMarkers=0\n");
    // An "F", which reads differently in every turn and mirror.
    ColorPath& f = host_.Add(0x000000);
    const float outline[][2] = {{0, 0},   {20, 0},  {20, 40}, {50, 40},  {50, 60},
                                {20, 60}, {20, 80}, {60, 80}, {60, 100}, {0, 100}};
    f.MoveTo(floatPoint(outline[0][0], outline[0][1]));
    for (const auto& p : outline)
        f.LineTo(floatPoint(p[0], p[1]));
    f.Close();
    f.ClosePath();
    job_.SetDesign(&host_);
    job_.contentX = 30;
    job_.contentY = 40;
    AttachDrv();
    for (int rotation : {0, 1}) {
        SCOPED_TRACE(rotation);
        job_.rotation = rotation;
        job_.Refresh();
        DibCanvas canvas(420, 620);
        canvas.Clear(RGB(128, 128, 128));
        CRect display(0, 0, 420, 620);
        job_.setDisplayRect(display);
        job_.DrawLayout(canvas.dc, 0);
        SdGdiImage image = canvas.Read();
        const floatTMatrix toPixel =
            job_.DesignToMedia(job_.contentX, job_.contentY) * job_.displayMatrix;
        auto pixel = [&](float x, float y) {
            toPixel.Transform(x, y);
            return image.at(int(std::floor(x)), int(std::floor(y)));
        };
        // Inside the F filled, beside its arms the media's white.
        for (auto in : {floatPoint(10, 50), floatPoint(40, 50), floatPoint(40, 90)})
            EXPECT_EQ(pixel(in.x, in.y), RGB(0, 0, 0)) << in.x << "," << in.y;
        for (auto out : {floatPoint(40, 20), floatPoint(40, 70)})
            EXPECT_EQ(pixel(out.x, out.y), RGB(255, 255, 255)) << out.x << "," << out.y;

        // Every corner the knife reaches lies on the drawn F, within a pixel.
        DRV.headX = DRV.headY = DRV.homeX = DRV.homeY = 0;
        TakeCalls();
        job_.RunSheet(DeviceClip(), 0);
        std::vector<DriverPoint> cut = MovesAndLines(TakeCalls());
        ASSERT_GE(cut.size(), 10u);
        for (const DriverPoint& p : cut) {
            float x = float(p.y) * 0.025f, y = float(p.x) * 0.025f;
            job_.displayMatrix.Transform(x, y);
            bool drawn = false;
            for (int dy = -1; dy <= 1 && !drawn; ++dy)
                for (int dx = -1; dx <= 1 && !drawn; ++dx)
                    drawn =
                        image.at(int(std::floor(x)) + dx, int(std::floor(y)) + dy) == RGB(0, 0, 0);
            EXPECT_TRUE(drawn) << p.x << "," << p.y;
        }
    }
}

TEST_F(PlotJobTest, PanelMarksAreEightOnARollAndFourWithManualFeed) {
    struct Case {
        const char* feed;
        std::size_t marks;
    };
    for (Case c : {Case{"manualFeed=0\n", 8}, Case{"manualFeed=1\n", 4}}) {
        SCOPED_TRACE(c.marks);
        Media(610, 600,
              std::string("weedBox=0\npanelMarkers=1\npanelMarkLength=10\npanelMarkWidth=5\n"
                          "overlapX=20\noverlapY=0\n") +
                  c.feed);
        PathHost host;
        AddRectangle(host.Add(), 0, 0, 1000, 300);
        job_.SetDesign(&host);
        ASSERT_TRUE(job_.IsTiled());
        std::vector<PlotJob::SheetItem> items;
        job_.Arrange(items);
        ASSERT_FALSE(items.empty());
        std::vector<floatBBox> marks;
        job_.PanelMarks(items[0], marks);
        EXPECT_EQ(marks.size(), c.marks);
        for (const floatBBox& m : marks) {
            // Each mark is a rectangle of 10 x 5 less 0.2 on every side, outside the part.
            const float w = m.right - m.left, h = m.top - m.bottom;
            EXPECT_NEAR(std::max(w, h), 9.6f, 1e-3);
            EXPECT_NEAR(std::min(w, h), 4.6f, 1e-3);
        }
    }
    // Marks under 1 mm are not cut.
    Media(610, 600, "weedBox=0\npanelMarkers=1\npanelMarkLength=10\npanelMarkWidth=0.5\n");
    PathHost host;
    AddRectangle(host.Add(), 0, 0, 1000, 300);
    job_.SetDesign(&host);
    std::vector<PlotJob::SheetItem> items;
    job_.Arrange(items);
    ASSERT_FALSE(items.empty());
    std::vector<floatBBox> marks;
    job_.PanelMarks(items[0], marks);
    EXPECT_TRUE(marks.empty());
}

} // namespace
