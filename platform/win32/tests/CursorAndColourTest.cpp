#include "UserTestWindow.h"
#include "win32/UserTesting.h"
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
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(999), 0u);
}

} // namespace
