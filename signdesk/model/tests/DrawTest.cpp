// Drawing on a raster device context: outlines, clipping and the context's state.
#include <gtest/gtest.h>

#include "RasterCanvas.h"
#include "TestObj.h"
#include "mfc/CDC.h"
#include "mfc/CRect.h"
#include "model/CGroupObj.h"
#include "pathkit/Path.h"
#include "win32/GdiTesting.h"

TEST(SignObjDrawTest, PaintOutlineOfABoxLightsOnlyItsEdges) {
    Canvas canvas(40, 30);
    CTestObj o(10, 10, 30, 20);
    o.PaintOutline(&canvas.dc, floatTMatrix(), 0);
    const SdGdiImage img = canvas.Read();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool edge = ((x == 10 || x == 30) && y >= 10 && y <= 20) ||
                              ((y == 10 || y == 20) && x >= 10 && x <= 30);
            EXPECT_EQ(img.at(x, y), edge ? Black : White) << x << "," << y;
        }
    }
    // Neither a path nor a box: nothing.
    Canvas empty(10, 10);
    CTestObj none;
    none.m_bHasBox = FALSE;
    none.PaintOutline(&empty.dc, floatTMatrix(), 0);
    EXPECT_EQ(CountBlack(empty.Read()), 0);
}

TEST(SignObjDrawTest, PaintOutlineStrokesAPathInsteadOfTheBox) {
    Canvas canvas(40, 30);
    Path path;
    path.MoveTo(floatPoint(5, 5));
    path.LineTo(floatPoint(25, 5));
    path.ClosePath();
    path.Prepare();
    CTestObj o(0, 0, 39, 29); // the box would frame the whole canvas
    o.m_pPath = &path;
    o.PaintOutline(&canvas.dc, floatTMatrix(), 0);
    const SdGdiImage img = canvas.Read();
    EXPECT_EQ(img.at(15, 5), Black);
    EXPECT_EQ(img.at(0, 0), White);
    EXPECT_EQ(img.at(39, 15), White);
}

TEST(GroupDrawTest, AGroupOutsideTheClipDrawsNothing) {
    Canvas canvas(40, 30);
    CGroupObj g;
    auto* a = new CTestObj(100, 100, 110, 110);
    auto* b = new CTestObj(120, 100, 130, 110);
    g.m_children.Add(a);
    g.m_children.Add(b);
    g.RefreshBBox();
    g.PaintOutline(&canvas.dc, floatTMatrix(), 0);
    g.Paint(&canvas.dc, floatTMatrix(), 3, 0, 0);
    EXPECT_EQ(a->m_nOutlinePaints + b->m_nOutlinePaints, 0);
    EXPECT_EQ(a->m_nPaints + b->m_nPaints, 0);
    EXPECT_EQ(CountBlack(canvas.Read()), 0);

    // Moved into view, the children are asked in order.
    g.Transform(floatTMatrix(1, 0, 0, 1, -95, -95));
    g.RefreshBBox();
    g.PaintOutline(&canvas.dc, floatTMatrix(), 0);
    EXPECT_EQ(a->m_nOutlinePaints, 1);
    EXPECT_EQ(b->m_nOutlinePaints, 1);
    EXPECT_EQ(canvas.Read().at(5, 5), Black);
    g.Paint(&canvas.dc, floatTMatrix(), 3, 0, 0);
    EXPECT_EQ(a->m_nPaints, 1);

    // A group of a single horizontal line (a box without height) is still painted.
    CGroupObj flat;
    auto* line = new CTestObj(2, 4, 20, 4);
    flat.m_children.Add(line);
    flat.RefreshBBox();
    flat.Paint(&canvas.dc, floatTMatrix(), 3, 0, 0);
    EXPECT_EQ(line->m_nPaints, 1);
}

// Zoomed so far that the group's box passes the device range on one side or both: the
// box ends at the range's edge, still meets the clip, and the children are painted.
TEST(GroupDrawTest, AGroupAtStrongZoomIsDrawn) {
    const floatTMatrix zooms[] = {floatTMatrix(1e9f, 0, 0, 1e9f, 0, 0),
                                  floatTMatrix(-1e9f, 0, 0, -1e9f, 10, 10),
                                  floatTMatrix(1e12f, 0, 0, 1e12f, -5e12f, -5e12f)};
    for (const floatTMatrix& m : zooms) {
        Canvas canvas(40, 30);
        CGroupObj g;
        auto* a = new CTestObj(0, 0, 10, 10);
        auto* b = new CTestObj(2, 2, 8, 8);
        g.m_children.Add(a);
        g.m_children.Add(b);
        g.RefreshBBox();
        g.Paint(&canvas.dc, m, 3, 0, 0);
        EXPECT_EQ(a->m_nPaints, 1) << m.m11;
        EXPECT_EQ(b->m_nPaints, 1) << m.m11;
    }
}

TEST(GroupDrawTest, PaintRestoresTheContextAfterEveryChild) {
    Canvas canvas(40, 30);
    CGroupObj g;
    auto* a = new CTestObj(1, 1, 5, 5);
    auto* b = new CTestObj(6, 6, 9, 9);
    a->m_bUntidy = true;
    b->m_bUntidy = true;
    g.m_children.Add(a);
    g.m_children.Add(b);
    g.RefreshBBox();
    const int rop = canvas.dc.GetROP2();
    CRect clipBefore;
    canvas.dc.GetClipBox(&clipBefore);
    g.Paint(&canvas.dc, floatTMatrix(), 3, 0, 0);
    EXPECT_EQ(a->m_nPaints, 1);
    EXPECT_EQ(b->m_nPaints, 1); // the first child's clip did not hide the second
    EXPECT_EQ(canvas.dc.GetROP2(), rop);
    CRect clipAfter;
    canvas.dc.GetClipBox(&clipAfter);
    EXPECT_EQ(clipAfter, clipBefore);
    POINT origin{};
    GetViewportOrgEx(canvas.dc.m_hDC, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);

    // The outline on a layer saves and restores the same way.
    g.DrawOutlineOnLayer(&canvas.dc, floatTMatrix(), 0);
    EXPECT_EQ(canvas.dc.GetROP2(), rop);
}
