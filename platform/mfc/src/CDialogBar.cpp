#include "mfc/CDialogBar.h"

#include <cstring>
#include <vector>

#include "ModalLoop.h"
#include "WndState.h"
#include "mfc/CFrameWnd.h"
#include "mfc/CWinApp.h"
#include "win32/dialog.h"
#include "win32/resource.h"

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

namespace {
INT_PTR barDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (CWnd::FromHandlePermanent(hWnd) == nullptr) sdmodal::attachPending(hWnd);
    // The controls keep the focus the dialog manager gives them.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
} // namespace

CDialogBar::~CDialogBar() = default;

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
    if (m_hWnd != nullptr || pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) return FALSE;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(WORD(nIDTemplate)), RT_DIALOG);
    if (found == nullptr) return FALSE;
    const DWORD size = ::SizeofResource(module, found);
    const void* data = ::LockResource(::LoadResource(module, found));
    if (data == nullptr || size < sizeof(DLGTEMPLATE)) return FALSE;
    // A copy whose style makes the bar a hidden child; the bar shows itself below.
    std::vector<WORD> copy((size + 1) / 2);
    std::memcpy(copy.data(), data, size);
    auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(copy.data());
    dialogTemplate->style = (dialogTemplate->style & ~(WS_POPUP | WS_CAPTION | WS_VISIBLE)) |
                            WS_CHILD | WS_CLIPSIBLINGS;

    m_dwStyle = nStyle & CBRS_ALL;
    CWnd* const saved = sdwnd::state().creatingDialog;
    sdwnd::state().creatingDialog = this;
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate,
                                             pParentWnd->m_hWnd, barDlgProc, 0);
    if (sdwnd::state().creatingDialog == this) sdwnd::state().creatingDialog = saved;
    if (hWnd == nullptr || m_hWnd != hWnd) {
        if (hWnd != nullptr) ::DestroyWindow(hWnd);
        if (m_hWnd != nullptr) Detach();
        return FALSE;
    }
    SetDlgCtrlID(int(nID));
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, pParentWnd)) {
        m_pDockSite = frame;
        frame->AddControlBar(this);
    }
    if (nStyle & WS_VISIBLE) ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    if (bStretch) return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
    return m_sizeDefault;
}

