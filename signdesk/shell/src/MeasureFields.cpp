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

// The program's current unit (AppUnit).
const LengthUnit& CurrentUnit() {
    static const LengthUnit unit{[](double mm) { return MmToCurrentUnit(float(mm)); },
                                 [](double value) { return CurrentUnitToMm(float(value)); }};
    return unit;
}

} // namespace

BOOL SetWindowFloat(CWnd* wnd, float value) {
    HWND hwnd = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (!hwnd) return FALSE;
    BOOL wasDisabled = ::EnableWindow(hwnd, TRUE);
    ::SetWindowTextA(hwnd, FormatProfileDouble(value).c_str());
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

void DDX_Measure(CDataExchange* pDX, int nIDC, float& mm) {
    DDX_Length(pDX, nIDC, mm, CurrentUnit());
}

void DDV_Measure(CDataExchange* pDX, float& mm, float minMM, float maxMM) {
    DDV_Length(pDX, mm, minMM, maxMM, CurrentUnit());
}
