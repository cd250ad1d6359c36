#include "mfc/CMenu.h"

#include <memory>
#include <unordered_map>

#include "mfc/CWinApp.h"
#include "mfc/CWnd.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

struct MenuMaps {
    std::unordered_map<HMENU, CMenu*> permanent;
    std::unordered_map<HMENU, std::unique_ptr<CMenu>> temporary;
    ~MenuMaps() {
        for (auto& [h, m] : temporary) m->m_hMenu = nullptr;
    }
};

MenuMaps& maps() {
    static MenuMaps m;
    return m;
}

} // namespace

void AfxDeleteTempMenus() {
    auto doomed = std::move(maps().temporary);
    maps().temporary.clear();
    for (auto& [h, m] : doomed) m->m_hMenu = nullptr;
}

CMenu::~CMenu() {
    if (m_hMenu != nullptr) DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (hMenu == nullptr) return nullptr;
    if (auto it = maps().permanent.find(hMenu); it != maps().permanent.end()) return it->second;
    auto& temporary = maps().temporary;
    if (auto it = temporary.find(hMenu); it != temporary.end()) return it->second.get();
    auto menu = std::make_unique<CMenu>();
    menu->m_hMenu = hMenu;
    CMenu* result = menu.get();
    temporary.emplace(hMenu, std::move(menu));
    return result;
}

BOOL CMenu::Attach(HMENU hNewMenu) {
    if (m_hMenu != nullptr || hNewMenu == nullptr || maps().permanent.count(hNewMenu) != 0)
        return FALSE;
    m_hMenu = hNewMenu;
    maps().permanent[hNewMenu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU hMenu = m_hMenu;
    if (hMenu != nullptr) {
        auto it = maps().permanent.find(hMenu);
        if (it != maps().permanent.end() && it->second == this) maps().permanent.erase(it);
    }
    m_hMenu = nullptr;
    return hMenu;
}

HMENU CMenu::GetSafeHmenu() const {
    const CMenu* self = this;
    asm("" : "+r"(self));
    return self == nullptr ? nullptr : self->m_hMenu;
}

BOOL CMenu::CreateMenu() {
    return Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu() {
    return Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
    return LoadMenu(MAKEINTRESOURCEA(WORD(nIDResource)));
}

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) {
    return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::InsertMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) {
    return ::RemoveMenu(m_hMenu, nPosition, nFlags);
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) {
    return ::DeleteMenu(m_hMenu, nPosition, nFlags);
}

int CMenu::GetMenuItemCount() const {
    return ::GetMenuItemCount(m_hMenu);
}

UINT CMenu::GetMenuItemID(int nPos) const {
    return ::GetMenuItemID(m_hMenu, nPos);
}

CMenu* CMenu::GetSubMenu(int nPos) const {
    return FromHandle(::GetSubMenu(m_hMenu, nPos));
}

int CMenu::GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const {
    return ::GetMenuStringA(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    const int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0) {
        rString.Empty();
        return 0;
    }
    const int copied = ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBuffer(length), length + 1,
                                        nFlags);
    rString.ReleaseBuffer(copied < 0 ? 0 : copied);
    return rString.GetLength();
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
    return ::GetMenuState(m_hMenu, nID, nFlags);
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    return UINT(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
    return UINT(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* lpRect) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd != nullptr ? pWnd->m_hWnd : nullptr,
                            lpRect);
}
