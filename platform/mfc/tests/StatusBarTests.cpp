// Status-bar panes: indicators, texts, styles and their rectangles.

#include <gtest/gtest.h>

#include "mfc/afx.h"
#include "testing/PlatformTest.h"

class StatusBarTest : public PlatformTest {};

TEST_F(StatusBarTest, PanesAndTheirRectangles) {
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPED, 0, 0, 400, 300, nullptr,
                               nullptr));
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    CRect barRect;
    bar.GetClientRect(&barRect);
    EXPECT_EQ(barRect, CRect(0, 0, 400, SD_STATUS_HEIGHT));

    const UINT ids[] = {ID_SEPARATOR, ID_SEPARATOR, 40500};
    EXPECT_FALSE(bar.SetIndicators(ids, 3)) << "string 40500 does not exist";
    EXPECT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(bar.CommandToIndex(40500), 2);
    EXPECT_EQ(bar.CommandToIndex(1), -1);
    EXPECT_EQ(bar.GetPaneStyle(0), SBPS_NOBORDERS | SBPS_STRETCH);

    bar.SetPaneInfo(1, ID_SEPARATOR, SBPS_NORMAL, 100);
    bar.SetPaneInfo(2, 40500, SBPS_NORMAL, 50);
    struct Case {
        int index;
        CRect rect;
    };
    // 400 wide: pane 1 and 2 fixed (100 + 50) with two gaps; pane 0 takes the rest.
    const Case cases[] = {
        {0, CRect(0, 2, 246, 18)},
        {1, CRect(248, 2, 348, 18)},
        {2, CRect(350, 2, 400, 18)},
        {3, CRect(0, 0, 0, 0)},
        {-1, CRect(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        CRect rect;
        bar.GetItemRect(c.index, &rect);
        EXPECT_EQ(rect, c.rect) << c.index;
    }

    EXPECT_TRUE(bar.SetPaneText(1, "Tracing"));
    EXPECT_EQ(bar.GetPaneText(1), CString("Tracing"));
    EXPECT_FALSE(bar.SetPaneText(5, "x"));
    bar.UpdateWindow();
    UINT id = 1, style = 1;
    int width = 1;
    bar.GetPaneInfo(1, id, style, width);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(style, SBPS_NORMAL);
    EXPECT_EQ(width, 100);
}
