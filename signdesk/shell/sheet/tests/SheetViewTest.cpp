// The sheet view in a headless program: mapping and zoom history, the temporary tools over
// a recording mode, the cross-hair and guide lines dragged from the rulers, repaint and
// settings.

#include <cmath>

#include <gtest/gtest.h>

#include <sheet/FrameworkModes.h>
#include <sheet/SheetIds.h>
#include <sheet/SheetSettings.h>
#include <testing/InputDriver.h>
#include <win32/GdiTesting.h>
#include <win32/UserTesting.h>

#include "SheetTestApp.h"

namespace {

class SheetViewTest : public SheetTest {};

CPoint Client(COleSheetView* v, float x, float y) {
    CPoint p;
    v->WorldToClient(x, y, p);
    return p;
}

} // namespace

TEST_F(SheetViewTest, FitPageCentresTheSheetWithItsMargin) {
    StartApp();
    Command(ID_FIT_PAGE);
    view->UpdateWindow();
    EXPECT_EQ(view->zoomKind, ZOOM_FIT_PAGE);
    // margin 600 / 64 = 9 px; height 582 px; width 210 * 582 / 297 = 411.5 px, centred.
    const CPoint topLeft = Client(view, 0, 297);
    const CPoint bottomRight = Client(view, 210, 0);
    EXPECT_EQ(topLeft.x, 194);
    EXPECT_EQ(topLeft.y, 9);
    EXPECT_EQ(bottomRight.x, 605);
    EXPECT_EQ(bottomRight.y, 591);
    floatPoint w;
    view->ClientToWorld(400, 300, w);
    EXPECT_NEAR(w.x, 105, 0.6);
    EXPECT_NEAR(w.y, 148.5, 0.6);
}
