#pragma once
// Menus: handles to lists of items (strings, separators, popups) kept by the layer. Nothing
// is shown: a window's menu is a record (SetMenu / GetMenu), and a popup menu tracked
// headless chooses what a test scripted. MENU resources hold the original's menu template (version
// 0).

#include "win32/resource.h"
#include "win32/user.h"

constexpr UINT MF_INSERT = 0x0000;
constexpr UINT MF_CHANGE = 0x0080;
constexpr UINT MF_APPEND = 0x0100;
constexpr UINT MF_DELETE = 0x0200;
constexpr UINT MF_REMOVE = 0x1000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_USECHECKBITMAPS = 0x0200;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_UNHILITE = 0x0000;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_SYSMENU = 0x2000;
constexpr UINT MF_HELP = 0x4000;
constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
constexpr UINT MF_MOUSESELECT = 0x8000;
constexpr UINT MF_END = 0x0080;
// An item checked with a round bullet instead of a check mark (GetMenuState shows it).
constexpr UINT MFT_RADIOCHECK = 0x0200;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RETURNCMD = 0x0100;

constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

WIN32_API HMENU CreateMenu();
WIN32_API HMENU CreatePopupMenu();
// Destroys the popups of the menu as well.
WIN32_API BOOL DestroyMenu(HMENU menu);
WIN32_API BOOL IsMenu(HMENU menu);
// MF_POPUP: idNewItem is the popup's HMENU. MF_SEPARATOR: no text.
WIN32_API BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR text);
// Inserts before the item at `position` (MF_BYPOSITION, -1 appends) or before the item with
// that command (MF_BYCOMMAND, looked for in the popups too).
WIN32_API BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text);
WIN32_API BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text);
// RemoveMenu keeps a removed popup alive; DeleteMenu destroys it.
WIN32_API BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
WIN32_API BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// -1 for an invalid menu.
WIN32_API int GetMenuItemCount(HMENU menu);
// -1 (as UINT) for a popup or a position past the end.
WIN32_API UINT GetMenuItemID(HMENU menu, int position);
WIN32_API HMENU GetSubMenu(HMENU menu, int position);
// Copies at most maxCount - 1 characters; with no buffer, returns the length. 0 when there is
// no such item.
WIN32_API int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags);
// The item's MF_ flags (a popup: its item count in the high byte); -1 (as UINT) when missing.
WIN32_API UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Return the previous state (MF_GRAYED | MF_DISABLED, or MF_CHECKED), -1 when missing.
WIN32_API DWORD EnableMenuItem(HMENU menu, UINT item, UINT enable);
WIN32_API DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
// Of the items first..last (commands of one menu, or positions with MF_BYPOSITION), checks
// `check` as a radio item (MFT_RADIOCHECK, drawn with a bullet) and unchecks the others, their
// radio type taken away. FALSE when an item is missing, the commands lie in different menus
// or `check` is outside the range; nothing changes then.
WIN32_API BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
// The template's first WORDs are the version (0) and the offset of the items.
WIN32_API HMENU LoadMenuIndirectA(const void* menuTemplate);
// The RT_MENU resource `name` of `instance` (NULL: the current resource module).
WIN32_API HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
WIN32_API HMENU GetMenu(HWND hwnd);
WIN32_API BOOL SetMenu(HWND hwnd, HMENU menu);
WIN32_API BOOL DrawMenuBar(HWND hwnd);
// Sends WM_INITMENUPOPUP to the window first. Headless the next scripted choice is taken
// (win32/MenuTesting.h), else nothing: with TPM_RETURNCMD the command chosen (0 for none) is
// returned, otherwise WM_COMMAND with it is posted to the window and the result is TRUE.
WIN32_API BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd,
                              const RECT* rect);

inline BOOL AppendMenu(HMENU m, UINT f, UINT_PTR id, LPCSTR t) {
    return AppendMenuA(m, f, id, t);
}
inline BOOL InsertMenu(HMENU m, UINT p, UINT f, UINT_PTR id, LPCSTR t) {
    return InsertMenuA(m, p, f, id, t);
}
inline BOOL ModifyMenu(HMENU m, UINT p, UINT f, UINT_PTR id, LPCSTR t) {
    return ModifyMenuA(m, p, f, id, t);
}
inline int GetMenuString(HMENU m, UINT i, LPSTR t, int n, UINT f) {
    return GetMenuStringA(m, i, t, n, f);
}
inline HMENU LoadMenuIndirect(const void* t) {
    return LoadMenuIndirectA(t);
}
inline HMENU LoadMenu(HINSTANCE i, LPCSTR n) {
    return LoadMenuA(i, n);
}
