#include "mfc/CCmdUI.h"

#include "MenuItems.h"
#include "mfc/CWnd.h"

void CCmdUI::Enable(BOOL bOn) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr) sdmenu::enableItem(m_pMenu, m_nIndex, bOn);
    } else if (m_pOther != nullptr) {
        // A control losing its enabled state gives the focus to the next one.
        if (!bOn && CWnd::GetFocus() == m_pOther) {
            if (CWnd* parent = m_pOther->GetParent())
                parent->SendMessage(WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr) sdmenu::checkItem(m_pMenu, m_nIndex, nCheck, false);
    } else if (m_pOther != nullptr) {
        sdmenu::checkControl(m_pOther, nCheck);
    }
}

void CCmdUI::SetRadio(BOOL bOn) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr) sdmenu::checkItem(m_pMenu, m_nIndex, bOn ? 1 : 0, true);
    } else {
        SetCheck(bOn ? 1 : 0);
    }
}

void CCmdUI::SetText(LPCSTR lpszText) {
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr) sdmenu::setItemText(m_pMenu, m_nIndex, lpszText);
    } else if (m_pOther != nullptr) {
        m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (m_nID == 0 || pTarget == nullptr) return TRUE;
    m_bEnableChanged = FALSE;
    const BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (!handled && bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{};
        if (!pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info)) Enable(FALSE);
    }
    return handled;
}

void CTestCmdUI::Enable(BOOL bOn) {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
}

void CTestCmdUI::SetCheck(int nCheck) {
    m_nCheck = nCheck;
}

void CTestCmdUI::SetRadio(BOOL bOn) {
    m_bRadio = bOn;
    m_nCheck = bOn ? 1 : 0;
}

void CTestCmdUI::SetText(LPCSTR lpszText) {
    m_strText = lpszText;
}
