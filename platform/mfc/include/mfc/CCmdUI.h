#pragma once
// The state of a user-interface item (menu item, control, status-bar pane) for one command,
// set by the ON_UPDATE_COMMAND_UI handlers.

#include "mfc/CCmdTarget.h"
#include "mfc/CString.h"

class CMenu;
class CWnd;

class MFC_API CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);

    // Offers the query to pTarget; without a handler and with bDisableIfNoHndler a menu item
    // is disabled. Returns whether a handler answered.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CWnd* m_pOther = nullptr; // the control or bar the item stands on
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
    UINT m_nIndexMax = 0;
};

// Records what an update handler said without touching any item: the query made before a
// command runs.
class MFC_API CTestCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetRadio(BOOL bOn = TRUE) override;
    void SetText(LPCSTR lpszText) override;

    BOOL m_bEnabled = TRUE;
    int m_nCheck = -1; // -1 when no handler set it
    BOOL m_bRadio = FALSE;
    CString m_strText;
};
