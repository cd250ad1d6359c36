// Menus built by calls and loaded from MENU resources.

#include <string>
#include <vector>

#include "testing/PlatformTest.h"
#include "win32/kernel.h"
#include "win32/menu.h"
#include "win32/module.h"

namespace {

#include "data/test-ids.h"

using MenuTest = PlatformTest;

std::string MenuText(HMENU menu, UINT item, UINT flags) {
    char text[64] = {};
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

TEST_F(MenuTest, ResourceMenuKeepsItsTree) {
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAIN));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(MenuText(menu, 1, MF_BYPOSITION), "&View");
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 0), UINT(ID_FILE_OPEN));
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, 0), UINT(-1)); // a popup has no command
    // By command, through the popups.
    EXPECT_EQ(MenuText(menu, ID_FILE_EXIT, MF_BYCOMMAND), "E&xit");
    EXPECT_EQ(GetMenuStringA(menu, ID_FILE_EXIT, nullptr, 0, MF_BYCOMMAND), 5);
    EXPECT_EQ(GetMenuState(menu, ID_VIEW_GRID, MF_BYCOMMAND), MF_CHECKED | MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) >> 8, 3u); // a popup's state holds its count
    EXPECT_EQ(GetMenuState(menu, 999, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(LoadMenuA(module, MAKEINTRESOURCEA(999)), nullptr);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(file)); // went with its menu
    FreeLibrary(module);
}

TEST_F(MenuTest, BuildingAndChangingMenus) {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    EXPECT_TRUE(AppendMenuA(popup, MF_STRING, 10, "&Ten"));
    EXPECT_TRUE(AppendMenuA(popup, MF_SEPARATOR, 0, nullptr));
    EXPECT_TRUE(AppendMenuA(popup, MF_STRING, 30, "Thirty"));
    EXPECT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Numbers"));
    EXPECT_TRUE(
        InsertMenuA(bar, 30, MF_BYCOMMAND | MF_STRING, 20, "Twenty")); // before 30, in the popup
    EXPECT_EQ(GetMenuItemID(popup, 2), 20u);
    EXPECT_TRUE(ModifyMenuA(bar, 20, MF_BYCOMMAND | MF_STRING, 21, "Twenty-one"));
    EXPECT_EQ(MenuText(bar, 21, MF_BYCOMMAND), "Twenty-one");
    EXPECT_EQ(EnableMenuItem(bar, 21, MF_BYCOMMAND | MF_GRAYED), DWORD(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(bar, 21, MF_BYCOMMAND | MF_ENABLED), DWORD(MF_GRAYED));
    EXPECT_EQ(CheckMenuItem(bar, 10, MF_BYCOMMAND | MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(bar, 10, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(bar, 77, MF_BYCOMMAND | MF_CHECKED), DWORD(-1));
    EXPECT_FALSE(InsertMenuA(bar, 77, MF_BYCOMMAND, 78, "x"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MENU_ITEM_NOT_FOUND));
    EXPECT_TRUE(DeleteMenu(bar, 10, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(popup), 3);
    // RemoveMenu leaves the popup alive, DeleteMenu destroys it.
    EXPECT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(popup));
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&Numbers");
    EXPECT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(popup));
    EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "gone"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_EQ(GetMenuItemCount(bar), -1);
    EXPECT_FALSE(DestroyMenu(bar));
}

TEST_F(MenuTest, DamagedTemplatesGiveNoMenu) {
    HMODULE module = LoadLibraryA("test-res.dll");
    ASSERT_NE(module, nullptr);
    for (int id : {IDR_BROKEN_POPUP, IDR_NO_END, IDR_BAD_VERSION, IDR_BAD_OFFSET}) {
        SetLastError(0);
        EXPECT_EQ(LoadMenuA(module, MAKEINTRESOURCEA(WORD(id))), nullptr) << id;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA)) << id;
    }
    FreeLibrary(module);
}

} // namespace

namespace {

TEST_F(MenuTest, RadioItemsCheckOneOfTheirGroup) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 10, "&Lines");
    AppendMenuA(popup, MF_STRING, 11, "&Small");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 12, "&Medium");
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 13, "L&arge");
    HMENU other = CreatePopupMenu();
    AppendMenuA(other, MF_STRING, 20, "Other");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&View");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(other), "&Other");
    auto marks = [&] {
        std::string out;
        for (UINT id : {10u, 11u, 12u, 13u}) {
            const UINT s = GetMenuState(bar, id, MF_BYCOMMAND);
            out += (s & MFT_RADIOCHECK) ? ((s & MF_CHECKED) ? 'o' : 'r')
                                        : ((s & MF_CHECKED) ? 'x' : '.');
        }
        return out;
    };
    // By command through the bar, over a separator: the one checked, the others cleared.
    EXPECT_TRUE(CheckMenuRadioItem(bar, 11, 13, 12, MF_BYCOMMAND));
    EXPECT_EQ(marks(), "x.o.");
    // By position, the range given backwards.
    EXPECT_TRUE(CheckMenuRadioItem(popup, 4, 1, 4, MF_BYPOSITION));
    EXPECT_EQ(marks(), "x..o");
    // A plain check leaves the kind; unchecked it shows nothing.
    CheckMenuItem(popup, 13, MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_EQ(marks(), "x..r");
    // Refused, nothing changed: the item outside the range, a missing one, two menus.
    const struct {
        UINT first, last, check;
    } refused[] = {{11, 12, 13}, {11, 99, 12}, {99, 13, 12}, {11, 20, 11}};
    for (const auto& r : refused) {
        EXPECT_FALSE(CheckMenuRadioItem(bar, r.first, r.last, r.check, MF_BYCOMMAND));
        EXPECT_EQ(marks(), "x..r");
    }
    EXPECT_FALSE(CheckMenuRadioItem(reinterpret_cast<HMENU>(0x99), 0, 1, 0, MF_BYPOSITION));
    // A new text keeps the radio kind when the caller passes the state on.
    CheckMenuRadioItem(popup, 11, 12, 11, MF_BYCOMMAND);
    const UINT state = GetMenuState(popup, 11, MF_BYCOMMAND);
    ModifyMenuA(popup, 11, MF_BYCOMMAND | MF_STRING | (state & (MF_CHECKED | MFT_RADIOCHECK)), 11,
                "&Tiny");
    EXPECT_EQ(marks(), "xo.r");
    DestroyMenu(bar);
}

} // namespace
