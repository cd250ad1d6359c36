#pragma once
// Property sheets: a dialog holding pages (child dialogs, one shown at a time) above the
// buttons OK (IDOK), Cancel (IDCANCEL), Apply (ID_APPLY_NOW) and Help (IDHELP). A page
// refusing to be left (OnKillActive FALSE) keeps the page change from happening and the
// sheet open; OK and Apply take effect only when every page made so far accepts (OnApply).
// PSH_NOAPPLYNOW leaves out Apply; Help shows with PSH_HASHELP. A caller hides any button
// by its id (GetDlgItem(id)->ShowWindow(SW_HIDE)).
//
// Headless layout in pixels: a row of tabs (SD_SHEET_TAB_HEIGHT high, one per page, a click
// shows its page) at (SD_SHEET_MARGIN, SD_SHEET_MARGIN), the pages below it in the size of the
// largest page, the buttons (SD_SHEET_BUTTON_WIDTH x SD_SHEET_BUTTON_HEIGHT) in a row below,
// right-aligned in the order OK, Cancel, Apply, Help.

#include <vector>

#include "mfc/CDialog.h"

constexpr int ID_APPLY_NOW = 0x3021; // 12321
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025;

constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
constexpr DWORD PSH_HASHELP = 0x00000200;

constexpr int PSBTN_OK = 3;
constexpr int PSBTN_APPLYNOW = 4;
constexpr int PSBTN_CANCEL = 5;
constexpr int PSBTN_HELP = 6;

constexpr int SD_SHEET_MARGIN = 7;
constexpr int SD_SHEET_TAB_HEIGHT = 21;
constexpr int SD_SHEET_BUTTON_WIDTH = 75;
constexpr int SD_SHEET_BUTTON_HEIGHT = 23;
constexpr int SD_SHEET_BUTTON_GAP = 6;

class CPropertySheet;

class MFC_API CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    // Becoming the shown page: TRUE to accept. The first time only shows the page (its data
    // was loaded by OnInitDialog); later the controls are loaded again.
    virtual BOOL OnSetActive();
    // Being left: saves and validates the controls; FALSE keeps the page.
    virtual BOOL OnKillActive();
    // OK or Apply: calls OnOK; FALSE refuses (the sheet stays open on this page).
    virtual BOOL OnApply();
    // Cancel: calls OnCancel.
    virtual void OnReset();
    // Cancel asked of the shown page: FALSE keeps the sheet open.
    virtual BOOL OnQueryCancel();
    void OnOK() override;
    void OnCancel() override;
    // Enables or disables the sheet's Apply button.
    void SetModified(BOOL bChanged = TRUE);
    void CancelToClose();

    // The tab text: the caption string when given, else the template's caption.
    CString m_strCaption;
    BOOL m_bModified = FALSE;

    CPropertySheet* GetSheet() const { return m_pSheet; }

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override;

private:
    friend class CPropertySheet;
    CPropertySheet* m_pSheet = nullptr;
    BOOL m_bFirstSetActive = TRUE;
    std::vector<BYTE> m_childTemplate;
};

class MFC_API CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet() = default;
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);
    // The page's window goes; a sheet keeps at least one page while it is shown.
    void RemovePage(int nPage);
    void RemovePage(CPropertyPage* pPage);
    int GetPageCount() const { return int(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    int GetPageIndex(CPropertyPage* pPage) const;
    // FALSE when the shown page refuses to be left or the new page to be shown.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCSTR lpszText);

    // Modal: IDOK or IDCANCEL; a dialog script registered for the runtime class name drives
    // it (-1 without pages).
    virtual INT_PTR DoModal();
    // Modeless; OK and Cancel then hide the sheet.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = DWORD(-1),
                        DWORD dwExStyle = 0);
    using CWnd::Create;
    void EndDialog(int nEndID);
    // As a click on the button; FALSE for a hidden or disabled one.
    BOOL PressButton(int nButton);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    struct Header {
        DWORD dwFlags = 0;
    } m_psh;
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
    UINT m_nStartPage = 0;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnApplyNow();
    void OnOKButton();
    void OnCancelButton();
    void OnHelpButton();

private:
    friend class CPropertyPage;
    friend INT_PTR AfxSheetProc(HWND, UINT, WPARAM, LPARAM);
    BOOL build(CWnd* pParentWnd, DWORD style, DWORD exStyle);
    BOOL createPage(CPropertyPage* page);
    // Every made page accepts (OnApply); otherwise that page is shown.
    BOOL applyAll();
    void layout();

    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
    std::vector<BYTE> m_template;
    BOOL m_bModal = FALSE;
    BOOL m_bModalEnded = FALSE;
    int m_nModalResult = IDCANCEL;
};
