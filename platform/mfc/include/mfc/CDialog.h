#pragma once
// Dialog boxes of the framework, made by the dialog manager from a template (a resource of
// the resource module, or one in memory). Modal dialogs run their own message loop, so that
// PreTranslateMessage of the dialog and its controls sees every message first; headless, a
// dialog script registered for the template id or for the dialog's runtime class name
// drives them (win32/DialogTesting.h).

#include "mfc/CDataExchange.h"
#include "mfc/CWnd.h"
#include "win32/dialog.h"

class MFC_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless.
    virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    using CWnd::Create;

    // Modal: IDOK, IDCANCEL or what EndDialog gave; -1 when the dialog could not be made.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Called at WM_INITDIALOG before OnInitDialog: set-up a base class does before the
    // derived class's initialisation.
    virtual void PreInitDialog();
    // Loads the controls (UpdateData(FALSE)); TRUE gives the focus to the first control.
    virtual BOOL OnInitDialog();
    // OK: saves and validates the data; the dialog stays open when that fails.
    virtual void OnOK();
    virtual void OnCancel();
    // FALSE when a control's value was refused (the user has been told).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    // The dialog's keyboard interface (IsDialogMessage) for input to it and its controls.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Controls by id, through the dialog manager.
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;

    LPCSTR m_lpszTemplateName = nullptr; // an integer id (MAKEINTRESOURCE) or a name
    UINT m_nIDHelp = 0;
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // The template (resource or in memory) and its id for scripts; null when missing.
    virtual LPCDLGTEMPLATE FindTemplate(int* templateId) const;
    // Modal loop until EndDialog; runs the dialog's script first.
    int RunModalLoop(int templateId);
    HWND PreModal();

    BOOL m_bModal = FALSE;
    BOOL m_bModalEnded = FALSE;
    int m_nModalResult = -1;
    HWND m_hWndInitFocus = nullptr;

    friend INT_PTR AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// The dialog procedure of the framework's dialogs: WM_INITDIALOG goes to OnInitDialog.
MFC_API INT_PTR AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
