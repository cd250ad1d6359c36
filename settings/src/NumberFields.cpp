#include "settings/NumberFields.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <mfc/CWnd.h>
#include <mfc/FrameworkStrings.h>
#include <win32/user.h>

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

[[noreturn]] void FailRange(CDataExchange* pDX, double lo, double hi) {
    AfxFailMinMaxWithFormat(pDX, FormatProfileDouble(lo).c_str(), FormatProfileDouble(hi).c_str(),
                            AFX_IDP_PARSE_REAL_RANGE);
}

constexpr double kShownStep = 0.000001;

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

std::string FormatShortestFloat(float value) {
    std::string text;
    for (int digits = 6; digits <= 9; ++digits) {
        text = FormatProfileDouble(double(value), digits);
        if (!std::isfinite(value) || float(ParseProfileDouble(text.c_str())) == value) break;
    }
    return text;
}

float RoundToThousandths(float mm) {
    return float(std::floor(double(mm) * double(999.99994f) + 0.5) * double(0.001f));
}

double RoundToStep(double v, double step) {
    return std::floor((v + step / 2) / step) * step;
}

void DDX_Float(CDataExchange* pDX, int nIDC, float& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(control, FormatShortestFloat(value).c_str());
        return;
    }
    // The whole text is read: a refused character past any length would be lost otherwise.
    if (!ParseFloatText(WindowText(control).c_str(), value)) {
        AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK);
        pDX->Fail();
    }
}

void DDV_Float(CDataExchange* pDX, float& value, float minVal, float maxVal) {
    if (minVal <= value && value <= maxVal) return;
    if (pDX->m_bSaveAndValidate) FailRange(pDX, minVal, maxVal);
}

void DDX_Length(CDataExchange* pDX, int nIDC, float& mm, const LengthUnit& unit) {
    if (!pDX->m_bSaveAndValidate) {
        float shown = float(RoundToStep(unit.fromMM(mm), kShownStep));
        DDX_Float(pDX, nIDC, shown);
        return;
    }
    float value = 0.0f;
    DDX_Float(pDX, nIDC, value);
    float result = float(RoundToStep(unit.toMM(value), kShownStep));
    // A value that no float can hold in millimetres is no number for the field.
    if (!std::isfinite(result)) {
        AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK);
        pDX->Fail();
    }
    mm = result;
}

void DDV_Length(CDataExchange* pDX, float& mm, float minMM, float maxMM, const LengthUnit& unit) {
    float v = RoundToThousandths(mm);
    float lo = RoundToThousandths(minMM);
    float hi = RoundToThousandths(maxMM);
    if (lo <= v && v <= hi) return;
    if (pDX->m_bSaveAndValidate) FailRange(pDX, unit.fromMM(lo), unit.fromMM(hi));
}
