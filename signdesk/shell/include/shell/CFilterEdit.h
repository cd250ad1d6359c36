#pragma once
// An edit field that takes only the characters it allows, and commits on Enter by posting
// WM_COMMAND (its id, its window) to the notify window.

#include <mfc/CControls.h>
#include <mfc/CString.h>

class CFilterEdit : public CEdit {
public:
    // An "EDIT" window with the client edge.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Enter posts the commit command; the key then goes on as usual.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Empty: every character. Control characters (below 32) always pass.
    CString allowedChars;
    // Receives the commit command; null means the parent.
    CWnd* notifyWnd = nullptr;

protected:
    // A refused character beeps and is dropped.
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};
