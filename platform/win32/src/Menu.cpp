// Menus: a process-wide table of menus by handle.

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "MenuTable.h"
#include "WindowTable.h"
#include "win32/MenuTesting.h"
#include "win32/kernel.h"
#include "win32/menu.h"
#include "win32/nls.h"

namespace {

struct MenuItem {
    UINT flags = 0;  // MF_ state and kind bits; MF_POPUP with a submenu
    UINT_PTR id = 0; // the command, or the submenu's handle
    std::string text;
};

struct MenuData {
    bool popup = false;
    std::vector<MenuItem> items;
};

struct Menus {
    std::recursive_mutex mutex;
    std::map<UINT_PTR, MenuData> menus;
    std::map<HWND, HMENU> windowMenus;
    UINT_PTR next = 0x20010;
};

Menus& menus() {
    static auto* state = new Menus;
    return *state;
}

using Lock = std::lock_guard<std::recursive_mutex>;

MenuData* find(HMENU menu) {
    auto it = menus().menus.find(reinterpret_cast<UINT_PTR>(menu));
    return it == menus().menus.end() ? nullptr : &it->second;
}

HMENU make(bool popup) {
    Lock lock(menus().mutex);
    UINT_PTR handle = menus().next;
    menus().next += 4;
    menus().menus[handle].popup = popup;
    return reinterpret_cast<HMENU>(handle);
}

void destroy(HMENU menu) {
    MenuData* data = find(menu);
    if (!data) return;
    std::vector<MenuItem> items = std::move(data->items);
    menus().menus.erase(reinterpret_cast<UINT_PTR>(menu));
    for (const MenuItem& item : items)
        if (item.flags & MF_POPUP) destroy(reinterpret_cast<HMENU>(item.id));
}

// The menu and index of an item by position, or by command (depth first, popups included).
struct Location {
    MenuData* menu = nullptr;
    size_t index = 0;
};

Location locate(HMENU menu, UINT item, UINT flags, int depth = 0) {
    MenuData* data = find(menu);
    if (!data || depth > 32) return {};
    if (flags & MF_BYPOSITION) return item < data->items.size() ? Location{data, item} : Location{};
    for (size_t i = 0; i < data->items.size(); ++i) {
        const MenuItem& entry = data->items[i];
        if (entry.flags & MF_POPUP) {
            Location inner = locate(reinterpret_cast<HMENU>(entry.id), item, flags, depth + 1);
            if (inner.menu) return inner;
            if (UINT(entry.id) == item) return {data, i};
        } else if (!(entry.flags & MF_SEPARATOR) && UINT(entry.id) == item) {
            return {data, i};
        }
    }
    return {};
}

bool makeItem(UINT flags, UINT_PTR id, LPCSTR text, MenuItem& out) {
    if ((flags & MF_POPUP) && !find(reinterpret_cast<HMENU>(id))) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    // 0x0200 is MF_DELETE for the old ChangeMenu only; here it is the radio type.
    out.flags = flags & ~(MF_BYPOSITION | MF_APPEND | MF_REMOVE);
    out.id = id;
    out.text = !(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && text ? text : "";
    if (flags & MF_SEPARATOR) out.id = 0;
    if (flags & MF_POPUP) find(reinterpret_cast<HMENU>(id))->popup = true;
    return true;
}

// One level of a version-0 menu template; `end` bounds the reading.
bool readItems(const BYTE*& at, const BYTE* end, HMENU menu, int depth) {
    if (depth > 32) return false;
    for (;;) {
        auto word = [&](WORD& out) {
            if (end - at < 2) return false;
            std::memcpy(&out, at, 2);
            at += 2;
            return true;
        };
        WORD flags = 0;
        WORD id = 0;
        if (!word(flags)) return false;
        if (!(flags & MF_POPUP) && !word(id)) return false;
        std::u16string wide;
        for (WORD c = 0;;) {
            if (!word(c)) return false;
            if (!c) break;
            wide.push_back(char16_t(c));
        }
        std::string text;
        if (!wide.empty()) {
            int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0,
                                        nullptr, nullptr);
            text.resize(size_t(std::max(n, 0)));
            if (n > 0)
                WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), text.data(), n,
                                    nullptr, nullptr);
        }
        UINT kind = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK |
                             MF_HELP);
        if (flags & MF_POPUP) {
            HMENU sub = make(true);
            if (!readItems(at, end, sub, depth + 1)) {
                DestroyMenu(sub);
                return false;
            }
            AppendMenuA(menu, kind | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
        } else if (id == 0 && text.empty() && !(flags & ~MF_END)) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, kind | MF_STRING, id, text.c_str());
        }
        if (flags & MF_END) return true;
    }
}

HMENU loadTemplate(const void* data, size_t size) {
    const BYTE* at = static_cast<const BYTE*>(data);
    if (!at || size < 4) return nullptr;
    WORD version = 0;
    WORD offset = 0;
    std::memcpy(&version, at, 2);
    std::memcpy(&offset, at + 2, 2);
    if (version != 0 || offset > size - 4) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    const BYTE* end = at + size;
    at += 4 + offset;
    HMENU menu = CreateMenu();
    if (at == end) return menu;
    if (!readItems(at, end, menu, 0)) {
        DestroyMenu(menu);
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return menu;
}

} // namespace

namespace sdmenu {

void resetMenus() {
    Lock lock(menus().mutex);
    menus().menus.clear();
    menus().windowMenus.clear();
}

} // namespace sdmenu

HMENU CreateMenu() {
    return make(false);
}

HMENU CreatePopupMenu() {
    return make(true);
}

BOOL DestroyMenu(HMENU menu) {
    Lock lock(menus().mutex);
    if (!find(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    destroy(menu);
    for (auto it = menus().windowMenus.begin(); it != menus().windowMenus.end();)
        it = it->second == menu ? menus().windowMenus.erase(it) : std::next(it);
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    Lock lock(menus().mutex);
    return find(menu) != nullptr;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR text) {
    return InsertMenuA(menu, UINT(-1), flags | MF_BYPOSITION, idNewItem, text);
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text) {
    Lock lock(menus().mutex);
    MenuData* data = find(menu);
    if (!data) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem item;
    if (!makeItem(flags, idNewItem, text, item)) return FALSE;
    if (flags & MF_BYPOSITION) {
        size_t at = std::min<size_t>(position, data->items.size());
        data->items.insert(data->items.begin() + long(at), item);
        return TRUE;
    }
    Location where = locate(menu, position, MF_BYCOMMAND);
    if (!where.menu) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    where.menu->items.insert(where.menu->items.begin() + long(where.index), item);
    return TRUE;
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text) {
    Lock lock(menus().mutex);
    Location where = locate(menu, position, flags);
    if (!where.menu) {
        SetLastError(find(menu) ? ERROR_MENU_ITEM_NOT_FOUND : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem item;
    if (!makeItem(flags, idNewItem, text, item)) return FALSE;
    MenuItem& old = where.menu->items[where.index];
    if ((old.flags & MF_POPUP) && old.id != item.id) destroy(reinterpret_cast<HMENU>(old.id));
    old = item;
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    Lock lock(menus().mutex);
    Location where = locate(menu, position, flags);
    if (!where.menu) {
        SetLastError(find(menu) ? ERROR_MENU_ITEM_NOT_FOUND : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    where.menu->items.erase(where.menu->items.begin() + long(where.index));
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    Lock lock(menus().mutex);
    Location where = locate(menu, position, flags);
    if (!where.menu) {
        SetLastError(find(menu) ? ERROR_MENU_ITEM_NOT_FOUND : ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem item = where.menu->items[where.index];
    where.menu->items.erase(where.menu->items.begin() + long(where.index));
    if (item.flags & MF_POPUP) destroy(reinterpret_cast<HMENU>(item.id));
    return TRUE;
}

int GetMenuItemCount(HMENU menu) {
    Lock lock(menus().mutex);
    MenuData* data = find(menu);
    if (!data) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return int(data->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
    Lock lock(menus().mutex);
    MenuData* data = find(menu);
    if (!data || position < 0 || size_t(position) >= data->items.size()) return UINT(-1);
    const MenuItem& item = data->items[size_t(position)];
    return (item.flags & MF_POPUP) ? UINT(-1) : UINT(item.id);
}

HMENU GetSubMenu(HMENU menu, int position) {
    Lock lock(menus().mutex);
    MenuData* data = find(menu);
    if (!data || position < 0 || size_t(position) >= data->items.size()) return nullptr;
    const MenuItem& item = data->items[size_t(position)];
    return (item.flags & MF_POPUP) ? reinterpret_cast<HMENU>(item.id) : nullptr;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags) {
    Lock lock(menus().mutex);
    Location where = locate(menu, item, flags);
    if (text && maxCount > 0) text[0] = '\0';
    if (!where.menu) return 0;
    const std::string& s = where.menu->items[where.index].text;
    if (!text) return int(s.size());
    if (maxCount <= 0) return 0;
    size_t n = std::min<size_t>(s.size(), size_t(maxCount - 1));
    std::memcpy(text, s.data(), n);
    text[n] = '\0';
    return int(n);
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    Lock lock(menus().mutex);
    Location where = locate(menu, item, flags);
    if (!where.menu) return UINT(-1);
    const MenuItem& entry = where.menu->items[where.index];
    UINT state = entry.flags & 0xFF;
    if (entry.flags & MF_POPUP) {
        MenuData* sub = find(reinterpret_cast<HMENU>(entry.id));
        state = (UINT(sub ? sub->items.size() : 0) << 8) | (state & 0xFF);
    }
    return state | (entry.flags & (MF_SEPARATOR | MF_HELP | MF_DEFAULT | MFT_RADIOCHECK));
}

DWORD EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    Lock lock(menus().mutex);
    Location where = locate(menu, item, enable);
    if (!where.menu) return DWORD(-1);
    MenuItem& entry = where.menu->items[where.index];
    DWORD previous = entry.flags & (MF_GRAYED | MF_DISABLED);
    entry.flags = (entry.flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    Lock lock(menus().mutex);
    Location where = locate(menu, item, check);
    if (!where.menu) return DWORD(-1);
    MenuItem& entry = where.menu->items[where.index];
    DWORD previous = entry.flags & MF_CHECKED;
    entry.flags = (entry.flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    Lock lock(menus().mutex);
    const Location a = locate(menu, first, flags), b = locate(menu, last, flags),
                   c = locate(menu, check, flags);
    if (!a.menu || a.menu != b.menu || c.menu != a.menu) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    const size_t from = std::min(a.index, b.index), to = std::max(a.index, b.index);
    if (c.index < from || c.index > to) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    for (size_t i = from; i <= to; ++i) {
        MenuItem& entry = a.menu->items[i];
        if (entry.flags & (MF_SEPARATOR | MF_POPUP)) continue;
        entry.flags &= ~(MF_CHECKED | MFT_RADIOCHECK);
        if (i == c.index) entry.flags |= MF_CHECKED | MFT_RADIOCHECK;
    }
    return TRUE;
}

HMENU LoadMenuIndirectA(const void* menuTemplate) {
    return loadTemplate(menuTemplate, SIZE_MAX / 2);
}

HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) {
    HRSRC found = FindResourceA(instance, name, RT_MENU);
    if (!found) return nullptr;
    return loadTemplate(LockResource(LoadResource(instance, found)),
                        SizeofResource(instance, found));
}

HMENU GetMenu(HWND hwnd) {
    Lock lock(menus().mutex);
    auto it = menus().windowMenus.find(hwnd);
    return it == menus().windowMenus.end() ? nullptr : it->second;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
    if (!IsWindow(hwnd) || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    {
        Lock lock(menus().mutex);
        if (menu && !find(menu)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        if (menu)
            menus().windowMenus[hwnd] = menu;
        else
            menus().windowMenus.erase(hwnd);
    }
    // The menu bar takes its line from the client area.
    RECT client{};
    {
        sduser::UserLock user = sduser::lockUser();
        sduser::Window* w = sduser::findWindow(hwnd);
        if (!w || w->menuBar == (menu != nullptr)) return TRUE;
        w->menuBar = menu != nullptr;
        client = sduser::clientRect(w);
        sduser::invalidateWhole(w, true);
    }
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
    return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
    return IsWindow(hwnd);
}

namespace {

struct PopupScript {
    std::mutex mutex;
    std::vector<UINT> choices;
    std::vector<SdPopupMenuRecord> log;
};

PopupScript& popupScript() {
    static auto* script = new PopupScript;
    return *script;
}

// The item of the command, looked for in the popups too; its flags, or -1.
UINT itemFlags(HMENU menu, UINT command) {
    MenuData* data = find(menu);
    if (!data) return UINT(-1);
    for (const MenuItem& item : data->items) {
        if (item.flags & MF_POPUP) {
            UINT inner = itemFlags(reinterpret_cast<HMENU>(item.id), command);
            if (inner != UINT(-1)) return inner;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == command) {
            return item.flags;
        }
    }
    return UINT(-1);
}

} // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hwnd, const RECT*) {
    if (!IsMenu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    // The owner sets the items' states first.
    if (hwnd) SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SdPopupMenuRecord record{menu, hwnd, POINT{x, y}, flags, {}, 0, false};
    UINT chosen = 0;
    {
        Lock lock(menus().mutex);
        if (MenuData* data = find(menu))
            for (const MenuItem& item : data->items)
                record.items.push_back(SdPopupMenuItem{
                    (item.flags & MF_POPUP)       ? UINT(-1)
                    : (item.flags & MF_SEPARATOR) ? 0
                                                  : UINT(item.id),
                    item.flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED), item.text});
        PopupScript& script = popupScript();
        std::lock_guard<std::mutex> guard(script.mutex);
        if (!script.choices.empty()) {
            record.scripted = true;
            chosen = script.choices.front();
            script.choices.erase(script.choices.begin());
            // A command the menu does not hold, or holds disabled, cannot be chosen.
            const UINT state = chosen ? itemFlags(menu, chosen) : UINT(-1);
            if (state == UINT(-1) || (state & (MF_GRAYED | MF_DISABLED))) chosen = 0;
        } else if (!SdDisplayActive()) {
            chosen = 0; // nobody can choose
        }
        record.chosen = chosen;
        script.log.push_back(record);
    }
    if (flags & TPM_RETURNCMD) return BOOL(chosen);
    if (chosen && hwnd) PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(WORD(chosen), 0), 0);
    return TRUE;
}

void SdPushPopupMenuChoice(UINT command) {
    PopupScript& script = popupScript();
    std::lock_guard<std::mutex> guard(script.mutex);
    script.choices.push_back(command);
}

int SdPendingPopupMenuChoices() {
    PopupScript& script = popupScript();
    std::lock_guard<std::mutex> guard(script.mutex);
    return int(script.choices.size());
}

std::vector<SdPopupMenuRecord> SdPopupMenuLog() {
    PopupScript& script = popupScript();
    std::lock_guard<std::mutex> guard(script.mutex);
    return script.log;
}

void SdClearPopupMenus() {
    PopupScript& script = popupScript();
    std::lock_guard<std::mutex> guard(script.mutex);
    script.choices.clear();
    script.log.clear();
}
