#include "UserTestWindow.h"
#include "win32/UserTesting.h"
#include "win32/nls.h"
#include "win32/resource.h"

namespace {

using CursorAndColourTest = UserTest;

TEST_F(CursorAndColourTest, SystemCursorsLoadAndTheShownOneIsRemembered) {
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(arrow, nullptr);
    EXPECT_NE(wait, arrow);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), wait);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(4711)), nullptr);
    EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(0x10000), IDC_WAIT), nullptr);

    EXPECT_EQ(SetCursor(wait), nullptr);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(arrow), wait);
    SdResetUserState();
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(CursorAndColourTest, ClassicColours) {
    const struct {
        int index;
        COLORREF colour;
    } scheme[] = {
        {COLOR_SCROLLBAR, RGB(192, 192, 192)},
        {COLOR_BACKGROUND, RGB(0, 128, 128)},
        {COLOR_ACTIVECAPTION, RGB(0, 0, 128)},
        {COLOR_INACTIVECAPTION, RGB(128, 128, 128)},
        {COLOR_MENU, RGB(192, 192, 192)},
        {COLOR_WINDOW, RGB(255, 255, 255)},
        {COLOR_WINDOWFRAME, RGB(0, 0, 0)},
        {COLOR_MENUTEXT, RGB(0, 0, 0)},
        {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
        {COLOR_ACTIVEBORDER, RGB(192, 192, 192)},
        {COLOR_INACTIVEBORDER, RGB(192, 192, 192)},
        {COLOR_APPWORKSPACE, RGB(128, 128, 128)},
        {COLOR_HIGHLIGHT, RGB(0, 0, 128)},
        {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
        {COLOR_BTNFACE, RGB(192, 192, 192)},
        {COLOR_BTNSHADOW, RGB(128, 128, 128)},
        {COLOR_GRAYTEXT, RGB(128, 128, 128)},
        {COLOR_BTNTEXT, RGB(0, 0, 0)},
        {COLOR_INACTIVECAPTIONTEXT, RGB(192, 192, 192)},
        {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DDKSHADOW, RGB(0, 0, 0)},
        {COLOR_3DLIGHT, RGB(223, 223, 223)},
        {COLOR_INFOTEXT, RGB(0, 0, 0)},
        {COLOR_INFOBK, RGB(255, 255, 225)},
        {COLOR_HOTLIGHT, RGB(0, 0, 255)},
        {COLOR_GRADIENTACTIVECAPTION, RGB(0, 0, 128)},
        {COLOR_MENUHILIGHT, RGB(0, 0, 128)},
        {COLOR_MENUBAR, RGB(192, 192, 192)},
    };
    for (const auto& entry : scheme)
        EXPECT_EQ(GetSysColor(entry.index), entry.colour) << entry.index;
    EXPECT_EQ(GetSysColor(999), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
}

TEST_F(CursorAndColourTest, MetricsAgreeWithOneAnother) {
    // Frames nest: border < edge < dialog frame < sizing frame.
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2 * GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME),
              GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME),
              GetSystemMetrics(SM_CXDLGFRAME) + GetSystemMetrics(SM_CXBORDER));
    // Each width has its height next to it, and both are the same.
    for (int i : {SM_CXBORDER, SM_CXEDGE, SM_CXDLGFRAME, SM_CXFRAME, SM_CXVSCROLL, SM_CXSIZE})
        EXPECT_EQ(GetSystemMetrics(i), GetSystemMetrics(i + 1)) << i;
    // A caption holds its buttons and a line between; a menu bar line holds a line of the
    // 13-pixel interface font with 3 pixels above and below; check marks fit in it.
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYSIZE) + 1);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 13 + 6);
    EXPECT_LT(GetSystemMetrics(SM_CYMENUCHECK), GetSystemMetrics(SM_CYMENU));
    // Scroll bars: arrows as long as the bar is wide, thumbs at least that long.
    EXPECT_EQ(GetSystemMetrics(SM_CYVSCROLL), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(GetSystemMetrics(SM_CYVTHUMB), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 2 * GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN),
              GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}

} // namespace
