#include "win32/icon.h"
#include "UserTestWindow.h"
#include "win32/kernel.h"
#include "win32/module.h"
#include "win32/resource.h"

namespace {

using IconTest = UserTest;

TEST_F(IconTest, ModuleIconsLoadOnceAndWindowsCarryThemInTheirCaption) {
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    HICON icon = LoadIconA(module, MAKEINTRESOURCEA(7));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(7)), icon);
    EXPECT_EQ(LoadIconA(module, "#7"), icon);
    EXPECT_EQ(SdIconId(icon), 7u);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(8)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(7)), nullptr);

    HWND window = Make(WS_OVERLAPPEDWINDOW, nullptr, 0, {0, 0, 100, 100});
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_SMALL2, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SETICON, ICON_BIG, LPARAM(icon)), 0);
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_BIG, 0), LRESULT(icon));
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_SMALL2, 0), LRESULT(icon)); // the big one
    EXPECT_EQ(SendMessageA(window, WM_SETICON, ICON_BIG, 0), LRESULT(icon));
    FreeLibrary(module);
}

} // namespace
