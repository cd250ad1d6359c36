#include "shell/CFilterEdit.h"

BEGIN_MESSAGE_MAP(CFilterEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

BOOL CFilterEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateEx(WS_EX_CLIENTEDGE, "EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CFilterEdit::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == m_hWnd && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        CWnd* target = notifyWnd ? notifyWnd : GetParent();
        if (target)
            target->PostMessage(WM_COMMAND, WPARAM(GetDlgCtrlID() & 0xFFFF),
                                reinterpret_cast<LPARAM>(m_hWnd));
    }
    return CEdit::PreTranslateMessage(pMsg);
}

void CFilterEdit::OnChar(UINT nChar, UINT, UINT) {
    if (nChar >= 32 && !allowedChars.IsEmpty() &&
        (nChar > 0xFF || allowedChars.Find(char(nChar)) < 0)) {
        ::MessageBeep(0);
        return;
    }
    Default();
}
