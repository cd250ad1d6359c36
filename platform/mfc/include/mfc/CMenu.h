#pragma once
// Framework object around a menu handle. A menu made or loaded by the object, or attached
// to it, is destroyed with it; FromHandle wraps other menus in temporary objects, deleted
// when the thread is idle.

#include "mfc/CObject.h"
#include "mfc/CString.h"
#include "win32/menu.h"

class CWnd;

class MFC_API CMenu : public CObject {
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;

    static CMenu* FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hNewMenu);
    HMENU Detach();
    HMENU GetSafeHmenu() const;
    operator HMENU() const { return GetSafeHmenu(); }

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // From the MENU resource of the resource module.
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(LPCSTR lpszResourceName);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0,
                    LPCSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0,
                    LPCSTR lpszNewItem = nullptr);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);

    int GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    CMenu* GetSubMenu(int nPos) const;
    // nFlags MF_BYCOMMAND looks the item up by command id (in submenus too).
    int GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);

    // Headless nothing is chosen: 0 with TPM_RETURNCMD, else TRUE.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* lpRect = nullptr);

    HMENU m_hMenu = nullptr;
};

// Deletes the temporary menu objects (also done when the thread is idle).
MFC_API void AfxDeleteTempMenus();
