#pragma once
// Dialog data exchange: DoDataExchange moves values between a dialog's controls and its
// members (DDX_*) and checks them (DDV_*). Saving stops at the first control whose text
// cannot be taken: the user is told why (the framework's prompts), the control gets the
// focus (an edit's text selected) and CDataExchange::Fail throws CUserException, which
// UpdateData catches.

#include "mfc/CString.h"
#include "mfc/CWnd.h"

class MFC_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control's window; an id without a control throws CNotSupportedException, a
    // programming error in the dialog.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // While saving: focus the last prepared control and throw CUserException.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// Edit texts. Numbers are read with '.' as decimal point whatever the locale: blanks around
// them are allowed, anything else refuses the text. Loading writes "%d", "%u", and the
// shortest "%g" form that reads back the same value (at most 6 digits for float, 15 for
// double).
MFC_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
MFC_API void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
MFC_API void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
MFC_API void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
MFC_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Check box state 0, 1 or 2.
MFC_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first button of a group (up to the next WS_GROUP control); value is the index
// of the checked button, -1 for none.
MFC_API void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
MFC_API void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
MFC_API void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// The edit text of a combo box with one, else the selected item's text. Loading selects
// the first item starting with the text, or puts the text into the edit field.
MFC_API void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// Subclasses the control with rControl the first time.
MFC_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Validation runs only while saving, on the value just exchanged.
MFC_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
MFC_API void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
MFC_API void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
MFC_API void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal,
                              double maxVal);
// Loading limits the edit to nChars characters; saving refuses a longer text.
MFC_API void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);

// The range failure: the prompt (AFX_IDP_PARSE_INT_RANGE or AFX_IDP_PARSE_REAL_RANGE) with
// the two bounds, then Fail. For validation routines of other value kinds.
[[noreturn]] MFC_API void AfxFailMinMaxWithFormat(CDataExchange* pDX, LPCSTR lpszMin,
                                                  LPCSTR lpszMax, UINT nIDPrompt);
