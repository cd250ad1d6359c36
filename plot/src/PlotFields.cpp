#include "PlotFields.h"

#include <cmath>
#include <cstring>
#include <string>

#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <mfc/CWnd.h>
#include <mfc/FrameworkStrings.h>
#include <settings/NumericText.h>

#include "PlotUnit.h"

namespace {

bool Parse(const char* text, float& value) {
    while (*text == ' ' || *text == '\t')
        ++text;
    if (!*text) return false;
    std::size_t taken = 0;
    double v = ParseProfileNumber(text, &taken);
    if (taken == 0) return false;
    for (const char* rest = text + taken; *rest; ++rest)
        if (*rest != ' ' && *rest != '\t') return false;
    if (!std::isfinite(v) || std::fabs(v) > 3.0e38) return false;
    value = float(v);
    return true;
}

std::string Text(CWnd* field) {
    CString text;
    field->GetWindowText(text);
    return static_cast<const char*>(text);
}

std::string Format(double v) {
    // Thousandths of a millimetre at most, without noise digits.
    return FormatProfileDouble(std::round(v * 1e6) / 1e6);
}

} // namespace

bool ReadNumber(CWnd* field, float& value) {
    return field && Parse(Text(field).c_str(), value);
}

bool ReadLength(CWnd* field, float& mm) {
    float v;
    if (!ReadNumber(field, v)) return false;
    mm = float(PlotUnit.ToMM(v));
    return true;
}

void ShowNumber(CWnd* field, float value) {
    if (field) field->SetWindowText(Format(value).c_str());
}

void ShowLength(CWnd* field, float mm) {
    ShowNumber(field, float(PlotUnit.FromMM(mm)));
}

void DDX_Length(CDataExchange* pDX, int id, float& mm) {
    HWND hwnd = pDX->PrepareEditCtrl(id);
    CWnd* field = CWnd::FromHandle(hwnd);
    if (!pDX->m_bSaveAndValidate) {
        ShowLength(field, mm);
        return;
    }
    float v;
    if (!ReadLength(field, v)) {
        AfxMessageBox(AFX_IDP_PARSE_REAL, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    mm = v;
}

void DDV_Length(CDataExchange* pDX, float mm, float lo, float hi) {
    if (!pDX->m_bSaveAndValidate) return;
    // Compared in thousandths of a millimetre.
    if (std::round(mm * 1000) >= std::round(lo * 1000) &&
        std::round(mm * 1000) <= std::round(hi * 1000))
        return;
    AfxFailMinMaxWithFormat(pDX, Format(PlotUnit.FromMM(lo)).c_str(),
                            Format(PlotUnit.FromMM(hi)).c_str(), AFX_IDP_PARSE_REAL_RANGE);
}
