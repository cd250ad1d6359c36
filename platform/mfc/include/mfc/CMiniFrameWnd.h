#pragma once
// The small captioned window a floating control bar lives in: owned by the frame the bar
// belongs to, as large as the bar. Closing it hides the bar; commands go to that frame.

#include "mfc/CFrameWnd.h"

class MFC_API CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;
    ~CMiniFrameWnd() override;

    // A tool window at the screen rectangle, owned by pOwner.
    BOOL CreateFloating(CFrameWnd* pOwner, LPCSTR lpszTitle, const RECT& rect);
    // Makes the window's client area fit the bar, with its top-left corner at point.
    void FitBar(CControlBar* pBar, CPoint point, CSize barSize);

    CControlBar* m_pBar = nullptr;
    CFrameWnd* m_pOwnerFrame = nullptr;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
