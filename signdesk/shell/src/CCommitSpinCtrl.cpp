#include "shell/CCommitSpinCtrl.h"

BOOL CCommitSpinCtrl::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == m_hWnd && pMsg->message == WM_LBUTTONUP) {
        HWND buddy = reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY));
        if (buddy) ::PostMessageA(buddy, WM_KEYDOWN, VK_RETURN, 0);
    }
    return CSpinButtonCtrl::PreTranslateMessage(pMsg);
}
