#include "mfc/CDialog.h"

#include <cstring>
#include <string>

#include "ModalLoop.h"
#include "WndState.h"
#include "mfc/CException.h"
#include "mfc/CWinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr) wnd = sdmodal::attachPending(hWnd);
    auto* dialog = dynamic_cast<CDialog*>(wnd);
    if (dialog == nullptr) return FALSE;
    if (message == WM_INITDIALOG) {
        dialog->PreInitDialog();
        const BOOL focusFirst = dialog->OnInitDialog();
        // FALSE: the dialog chose the focus itself; it is kept after creation.
        dialog->m_hWndInitFocus = focusFirst ? nullptr : ::GetFocus();
        return focusFirst;
    }
    return FALSE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(WORD(nIDTemplate))), m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

LPCDLGTEMPLATE CDialog::FindTemplate(int* templateId) const {
    *templateId = 0;
    if (m_lpDialogTemplate != nullptr) return m_lpDialogTemplate;
    if (m_lpszTemplateName == nullptr) return nullptr;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, m_lpszTemplateName, RT_DIALOG);
    if (found == nullptr) return nullptr;
    if (IS_INTRESOURCE(m_lpszTemplateName))
        *templateId = int(reinterpret_cast<UINT_PTR>(m_lpszTemplateName));
    else if (m_lpszTemplateName[0] == '#')
        *templateId = std::atoi(m_lpszTemplateName + 1);
    return static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(module, found)));
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = UINT(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    int templateId = 0;
    LPCDLGTEMPLATE dialogTemplate = FindTemplate(&templateId);
    if (dialogTemplate == nullptr) return FALSE;
    return CreateIndirect(dialogTemplate, pParentWnd);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return Create(MAKEINTRESOURCEA(WORD(nIDTemplate)), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
    if (m_hWnd != nullptr || lpDialogTemplate == nullptr) return FALSE;
    if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
    CWnd* const saved = sdwnd::state().creatingDialog;
    sdwnd::state().creatingDialog = this;
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), lpDialogTemplate,
                                             (m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr), AfxDlgProc,
                                             reinterpret_cast<LPARAM>(this));
    if (sdwnd::state().creatingDialog == this) sdwnd::state().creatingDialog = saved;
    if (hWnd == nullptr) {
        if (m_hWnd != nullptr) Detach();
        return FALSE;
    }
    if (m_hWndInitFocus != nullptr && ::IsChild(hWnd, m_hWndInitFocus) &&
        ::GetFocus() != m_hWndInitFocus)
        ::SendMessageA(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndInitFocus), TRUE);
    m_hWndInitFocus = nullptr;
    return m_hWnd == hWnd;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
    m_lpDialogTemplate = lpDialogTemplate;
    if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

HWND CDialog::PreModal() {
    if (m_pParentWnd != nullptr) return (m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr);
    CWnd* main = AfxGetMainWnd();
    return main != nullptr ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
    int templateId = 0;
    LPCDLGTEMPLATE dialogTemplate = FindTemplate(&templateId);
    if (dialogTemplate == nullptr || m_hWnd != nullptr) return -1;
    HWND parent = PreModal();
    HWND owner = parent != nullptr ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);

    m_bModal = TRUE;
    m_bModalEnded = FALSE;
    m_nModalResult = -1;
    CWnd* const savedParent = m_pParentWnd;
    m_pParentWnd = CWnd::FromHandle(parent);
    const BOOL created = CreateIndirect(dialogTemplate, m_pParentWnd);
    m_pParentWnd = savedParent;
    if (!created) {
        m_bModal = FALSE;
        return -1;
    }
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    if (!m_bModalEnded) {
        // Showing the dialog keeps the focus where its initialisation put it.
        HWND focus = ::GetFocus();
        ShowWindow(SW_SHOWNORMAL);
        if (focus != nullptr && ::IsChild(m_hWnd, focus) && ::GetFocus() != focus)
            ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    }
    const int result = RunModalLoop(templateId);
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (m_hWnd != nullptr) DestroyWindow();
    m_bModal = FALSE;
    return result;
}

int CDialog::RunModalLoop(int templateId) {
    return sdmodal::run(
        m_hWnd, templateId, GetRuntimeClass()->m_lpszClassName,
        [this] { return m_bModalEnded != FALSE; }, [this](int r) { EndDialog(r); },
        [this] { return m_nModalResult; });
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal) {
        m_bModalEnded = TRUE;
        m_nModalResult = nResult;
    }
    if (m_hWnd != nullptr) ::EndDialog(m_hWnd, nResult);
}

void CDialog::PreInitDialog() {}

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) return FALSE;
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::NextDlgCtrl() const {
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const {
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>((pWndCtrl != nullptr ? pWndCtrl->m_hWnd : nullptr)), 1);
}

void CDialog::SetDefID(UINT nID) {
    ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const {
    return DWORD(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0));
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (m_hWnd == nullptr || pMsg->hwnd == nullptr) return FALSE;
    const bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                       (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!input) return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::CheckDlgButton(int nIDButton, UINT nCheck) {
    ::CheckDlgButton(m_hWnd, nIDButton, nCheck);
}

UINT CDialog::IsDlgButtonChecked(int nIDButton) const {
    return ::IsDlgButtonChecked(m_hWnd, nIDButton);
}

void CDialog::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}

int CDialog::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const {
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id)) return id;
    return 0;
}

void CDialog::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
    ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
}

UINT CDialog::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}
