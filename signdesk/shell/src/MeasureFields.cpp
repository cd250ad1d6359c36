#include "shell/MeasureFields.h"

#include <cctype>
#include <cmath>
#include <string>

#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <mfc/CWnd.h>
#include <mfc/FrameworkStrings.h>
#include <win32/user.h>

#include "settings/CUnit.h"
#include "settings/NumericText.h"

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t Digits(const char* p) {
    std::size_t n = 0;
    while (std::isdigit(static_cast<unsigned char>(p[n])))
        ++n;
    return n;
}

// Length of a decimal number at p, 0 when there is none. strtod alone would also take
// hexadecimal numbers, "inf" and "nan".
std::size_t DecimalNumber(const char* p) {
    std::size_t i = (*p == '+' || *p == '-') ? 1 : 0;
    std::size_t whole = Digits(p + i);
    i += whole;
    std::size_t fraction = 0;
    if (p[i] == '.') {
        fraction = Digits(p + i + 1);
        i += 1 + fraction;
    }
    if (whole == 0 && fraction == 0) return 0;
    if (p[i] == 'e' || p[i] == 'E') {
        std::size_t j = i + 1;
        if (p[j] == '+' || p[j] == '-') ++j;
        if (std::size_t exponent = Digits(p + j)) i = j + exponent;
    }
    return i;
}

std::string WindowText(HWND hwnd) {
    int length = ::GetWindowTextLengthA(hwnd);
    std::string text(std::size_t(length < 0 ? 0 : length) + 1, '\0');
    int copied = ::GetWindowTextA(hwnd, text.data(), int(text.size()));
    text.resize(std::size_t(copied < 0 ? 0 : copied));
    return text;
}

// The text of a window that is enabled for the moment of the read.
std::string ReadEnabled(HWND hwnd) {
    BOOL wasDisabled = ::EnableWindow(hwnd, TRUE);
    std::string text = WindowText(hwnd);
    if (wasDisabled) ::EnableWindow(hwnd, FALSE);
    return text;
}

std::string Shown(double value) {
    return FormatProfileDouble(value);
}

[[noreturn]] void FailRange(CDataExchange* pDX, double lo, double hi) {
    AfxFailMinMaxWithFormat(pDX, Shown(lo).c_str(), Shown(hi).c_str(), AFX_IDP_PARSE_REAL_RANGE);
}

} // namespace

bool ParseFloatText(const char* text, float& value) {
    if (!text) return false;
    while (Blank(*text))
        ++text;
    std::size_t length = DecimalNumber(text);
    if (length == 0) return false;
    std::size_t taken = 0;
    double number = ParseProfileNumber(text, &taken);
    if (taken != length) return false;
    if (number == 0.0 && text[0] != '0') return false;
    const char* rest = text + length;
    while (Blank(*rest))
        ++rest;
    if (*rest != '\0') return false;
    float result = float(number);
    if (!std::isfinite(result)) return false;
    value = result;
    return true;
}

BOOL SetWindowFloat(CWnd* wnd, float value) {
    HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (!hwnd) return FALSE;
    BOOL wasDisabled = ::EnableWindow(hwnd, TRUE);
    ::SetWindowTextA(hwnd, Shown(value).c_str());
    if (wasDisabled) ::EnableWindow(hwnd, FALSE);
    return ::UpdateWindow(hwnd);
}

BOOL GetWindowFloat(CWnd* wnd, float& value) {
    HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (!hwnd) return FALSE;
    std::string text = ReadEnabled(hwnd);
    if (text.empty()) return FALSE;
    return ParseFloatText(text.c_str(), value) ? TRUE : FALSE;
}

BOOL SetWindowMeasure(CWnd* wnd, float mm) {
    return SetWindowFloat(wnd, float(MmToCurrentUnit(RoundToThousandths(mm))));
}

BOOL GetWindowMeasure(CWnd* wnd, float& mm) {
    float value = 0.0f;
    if (!GetWindowFloat(wnd, value)) return FALSE;
    mm = float(CurrentUnitToMm(value));
    return TRUE;
}

void DDX_Float(CDataExchange* pDX, int nIDC, float& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(control, Shown(value).c_str());
        return;
    }
    // The whole text is read: a refused character past any length would be lost otherwise.
    if (!ParseFloatText(WindowText(control).c_str(), value)) {
        AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK);
        pDX->Fail();
    }
}

void DDX_Measure(CDataExchange* pDX, int nIDC, float& mm) {
    constexpr double step = 0.000001;
    if (!pDX->m_bSaveAndValidate) {
        float shown = float(RoundToStep(MmToCurrentUnit(mm), step));
        DDX_Float(pDX, nIDC, shown);
        return;
    }
    float value = 0.0f;
    DDX_Float(pDX, nIDC, value);
    mm = float(RoundToStep(CurrentUnitToMm(value), step));
}

void DDV_Float(CDataExchange* pDX, float& value, float minVal, float maxVal) {
    if (minVal <= value && value <= maxVal) return;
    if (pDX->m_bSaveAndValidate) FailRange(pDX, minVal, maxVal);
}

void DDV_Measure(CDataExchange* pDX, float& mm, float minMM, float maxMM) {
    float v = RoundToThousandths(mm);
    float lo = RoundToThousandths(minMM);
    float hi = RoundToThousandths(maxMM);
    if (lo <= v && v <= hi) return;
    if (pDX->m_bSaveAndValidate) FailRange(pDX, MmToCurrentUnit(lo), MmToCurrentUnit(hi));
}
