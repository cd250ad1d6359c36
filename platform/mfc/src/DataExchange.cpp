#include "mfc/CDataExchange.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

#include "mfc/CException.h"
#include "mfc/CWinApp.h"
#include "mfc/FrameworkStrings.h"
#include "win32/dialog.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND control = ::GetDlgItem((m_pDlgWnd != nullptr ? m_pDlgWnd->m_hWnd : nullptr), nIDC);
    if (control == nullptr) AfxThrowNotSupportedException();
    m_hWndLastControl = control;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND control = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr && ::IsWindow(m_hWndLastControl)) {
        ::SendMessageA(m_pDlgWnd != nullptr ? m_pDlgWnd->m_hWnd : nullptr, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
        if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {

std::string windowText(HWND hWnd) {
    const int length = ::GetWindowTextLengthA(hWnd);
    std::string text(std::size_t(length) + 1, '\0');
    const int copied = ::GetWindowTextA(hWnd, text.data(), length + 1);
    text.resize(std::size_t(copied < 0 ? 0 : copied));
    return text;
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// The number between blanks, or nothing: the text without its blanks.
std::string_view trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return std::string_view(text).substr(first, last - first);
}

template <class T> bool parseInteger(const std::string& text, T& out, bool allowMinus) {
    std::string_view s = trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    else if (!allowMinus && !s.empty() && s.front() == '-') return false;
    if (s.empty() || s.front() == '+') return false;
    T value{};
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size()) return false;
    out = value;
    return true;
}

template <class T> bool parseReal(const std::string& text, T& out) {
    std::string_view s = trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return false;
    T value{};
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return false;
    out = value;
    return true;
}

template <class T> std::string realText(T value, int digits) {
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

[[noreturn]] void failWithPrompt(CDataExchange* pDX, UINT nIDPrompt) {
    AfxMessageBox(nIDPrompt, MB_ICONEXCLAMATION, nIDPrompt);
    pDX->Fail();
}

void setText(HWND hWnd, const std::string& text) {
    ::SetWindowTextA(hWnd, text.c_str());
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!parseInteger(windowText(control), value, true)) failWithPrompt(pDX, AFX_IDP_PARSE_INT);
    } else {
        setText(control, std::to_string(value));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!parseInteger(windowText(control), value, false))
            failWithPrompt(pDX, AFX_IDP_PARSE_UINT);
    } else {
        setText(control, std::to_string(value));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!parseReal(windowText(control), value)) failWithPrompt(pDX, AFX_IDP_PARSE_REAL);
    } else {
        setText(control, realText(value, FLT_DIG));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!parseReal(windowText(control), value)) failWithPrompt(pDX, AFX_IDP_PARSE_REAL);
    } else {
        setText(control, realText(value, DBL_DIG));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const std::string text = windowText(control);
        value = CString(text.data(), int(text.size()));
    } else {
        ::SetWindowTextA(control, value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = int(::SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageA(control, BM_SETCHECK, WPARAM(value < 0 || value > 2 ? 0 : value), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND button = control; button != nullptr; button = ::GetWindow(button, GW_HWNDNEXT)) {
        const DWORD style = DWORD(::GetWindowLongA(button, GWL_STYLE));
        if (button != control && (style & WS_GROUP)) break;
        const DWORD type = style & BS_TYPEMASK;
        char className[16] = {};
        ::GetClassNameA(button, className, sizeof className);
        if (strcasecmp(className, "Button") != 0 ||
            (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) != 0 && value == -1) value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value, 0);
        }
        ++index;
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) index = int(::SendMessageA(control, LB_GETCURSEL, 0, 0));
    else ::SendMessageA(control, LB_SETCURSEL, WPARAM(index), 0);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) index = int(::SendMessageA(control, CB_GETCURSEL, 0, 0));
    else ::SendMessageA(control, CB_SETCURSEL, WPARAM(index), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    const bool hasEdit = (::GetWindowLongA(control, GWL_STYLE) & 0x3) != CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        if (hasEdit) {
            const std::string text = windowText(control);
            value = CString(text.data(), int(text.size()));
            return;
        }
        const int selected = int(::SendMessageA(control, CB_GETCURSEL, 0, 0));
        value.Empty();
        if (selected == CB_ERR) return;
        const int length = int(::SendMessageA(control, CB_GETLBTEXTLEN, WPARAM(selected), 0));
        if (length <= 0) return;
        const int copied = int(::SendMessageA(control, CB_GETLBTEXT, WPARAM(selected),
                                              reinterpret_cast<LPARAM>(value.GetBuffer(length))));
        value.ReleaseBuffer(copied < 0 ? 0 : copied);
    } else {
        if (::SendMessageA(control, CB_SELECTSTRING, WPARAM(-1),
                           reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value))) == CB_ERR &&
            hasEdit)
            ::SetWindowTextA(control, value);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr) return;
    HWND control = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(control)) AfxThrowNotSupportedException();
}

void AfxFailMinMaxWithFormat(CDataExchange* pDX, LPCSTR lpszMin, LPCSTR lpszMax,
                             UINT nIDPrompt) {
    CString prompt;
    AfxFormatString2(prompt, nIDPrompt, lpszMin, lpszMax);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, nIDPrompt);
    pDX->Fail();
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    AfxFailMinMaxWithFormat(pDX, std::to_string(minVal).c_str(), std::to_string(maxVal).c_str(),
                            AFX_IDP_PARSE_INT_RANGE);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    AfxFailMinMaxWithFormat(pDX, std::to_string(minVal).c_str(), std::to_string(maxVal).c_str(),
                            AFX_IDP_PARSE_INT_RANGE);
}

void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    AfxFailMinMaxWithFormat(pDX, realText(minVal, FLT_DIG).c_str(),
                            realText(maxVal, FLT_DIG).c_str(), AFX_IDP_PARSE_REAL_RANGE);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    AfxFailMinMaxWithFormat(pDX, realText(minVal, DBL_DIG).c_str(),
                            realText(maxVal, DBL_DIG).c_str(), AFX_IDP_PARSE_REAL_RANGE);
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars) {
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_hWndLastControl != nullptr && pDX->m_bEditLastControl)
            ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, WPARAM(nChars), 0);
        return;
    }
    if (value.GetLength() <= nChars) return;
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, std::to_string(nChars).c_str());
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
    pDX->Fail();
}
