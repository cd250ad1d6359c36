#include "driverframe/CSetupPage.h"

#include <climits>
#include <cmath>
#include <string>

#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <mfc/FrameworkStrings.h>
#include <settings/NumberFields.h>
#include <win32/user.h>

#include "driverframe/CSetupSheet.h"
#include "driverframe/CommandTemplate.h"
#include "driverframe/DriverStrings.h"
#include "driverframe/SetupStrings.h"

IMPLEMENT_DYNAMIC(CSetupPage, CPropertyPage)

namespace {

// Whether the template's command stays within the limit with every number at its widest.
bool FitsAtWidest(const std::string& stored, const std::string& dollarText) {
    CommandTemplate command(stored);
    command.Convert(!dollarText.empty());
    // The widest number a 32-bit coordinate gives.
    long numbers[128];
    for (long& n : numbers)
        n = -2147483648L;
    char out[CommandTemplate::MaxCommandLength + 1];
    return command.Format(out, numbers, int(std::size(numbers)), dollarText.c_str());
}

} // namespace

CSetupPage::CSetupPage(UINT templateId, SetupValues& values)
    : CPropertyPage(templateId), values_(values) {}

BOOL CSetupPage::OnInitDialog() {
    FillLists();
    for (const Binding& b : bindings_)
        if (!values_.Has(b.key))
            if (CWnd* control = GetDlgItem(b.control)) control->ShowWindow(SW_HIDE);
    loading_ = true;
    BOOL result = CPropertyPage::OnInitDialog();
    loading_ = false;
    UpdateEnabling();
    return result;
}

BOOL CSetupPage::OnSetActive() {
    loading_ = true;
    BOOL result = CPropertyPage::OnSetActive();
    loading_ = false;
    UpdateEnabling();
    return result;
}

BOOL CSetupPage::OnApply() {
    // Every page's data was taken when it was left or the sheet closed; the first page, which
    // every sheet has, writes it.
    CSetupSheet* sheet = DYNAMIC_DOWNCAST(CSetupSheet, GetSheet());
    if (!sheet || sheet->GetPage(0) != this) return TRUE;
    return sheet->Save();
}

void CSetupPage::Enable(int control, bool enable) {
    if (CWnd* wnd = GetDlgItem(control)) wnd->EnableWindow(enable ? TRUE : FALSE);
}

bool CSetupPage::Checked(int control) const {
    return IsDlgButtonChecked(control) == BST_CHECKED;
}

BOOL CSetupPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int code = HIWORD(DWORD(wParam));
    // An edit by the user makes Apply available.
    if (!loading_ && (code == EN_CHANGE || code == BN_CLICKED || code == CBN_SELCHANGE ||
                      code == CBN_EDITCHANGE))
        SetModified(TRUE);
    ControlChanged(LOWORD(DWORD(wParam)), code);
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CSetupPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    for (const Binding& b : bindings_) {
        SetupValues::Field* f = values_.Find(b.key);
        if (!f) continue;
        CWnd* control = GetDlgItem(b.control);
        const bool enabled = control && control->IsWindowEnabled();
        switch (b.bind) {
        case Bind::Text:
        case Bind::Template:
            DDX_Text(pDX, b.control, f->text);
            if (b.maxChars > 0) DDV_MaxChars(pDX, f->text, b.maxChars);
            if (b.bind == Bind::Template && pDX->m_bSaveAndValidate &&
                !(templateFits_ ? templateFits_(static_cast<const char*>(f->text))
                                : FitsAtWidest(static_cast<const char*>(f->text),
                                               dollarText_ ? dollarText_() : std::string()))) {
                CString prompt;
                AfxFormatString1(prompt, IDS_SETUP_TEMPLATE_TOO_LONG, f->key.c_str());
                AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION);
                pDX->Fail();
            }
            break;
        case Bind::Combo:
            if (pDX->m_bSaveAndValidate) {
                DDX_CBString(pDX, b.control, f->text);
            } else if (control) {
                // The text exactly as stored: "LPT1" must not become the item "LPT1:".
                int exact = int(control->SendMessage(CB_FINDSTRINGEXACT, WPARAM(-1),
                                                     LPARAM(static_cast<const char*>(f->text))));
                control->SendMessage(CB_SETCURSEL, WPARAM(exact), 0);
                control->SetWindowText(f->text);
            }
            if (b.maxChars > 0) DDV_MaxChars(pDX, f->text, b.maxChars);
            break;
        case Bind::Int:
            DDX_Text(pDX, b.control, f->number);
            DDV_MinMaxInt(pDX, f->number, int(b.min), int(b.max));
            break;
        case Bind::Float: {
            DDX_Float(pDX, b.control, f->real);
            double max = b.limit ? std::min(b.max, b.limit()) : b.max;
            DDV_Float(pDX, f->real, float(b.min), float(max));
            break;
        }
        case Bind::Length: {
            // Without an owner the unit is the millimetre.
            static const LengthUnit millimetres{[](double mm) { return mm; },
                                                [](double v) { return v; }};
            const LengthUnit& unit = lengthUnit_ ? *lengthUnit_ : millimetres;
            DDX_Length(pDX, b.control, f->real, unit);
            double max = b.limit ? std::min(b.max, b.limit()) : b.max;
            DDV_Length(pDX, f->real, float(b.min), float(max), unit);
            break;
        }
        case Bind::Check:
            DDX_Check(pDX, b.control, f->number);
            break;
        case Bind::Index: {
            // An index outside the list shows no choice and stays as stored until chosen.
            int index = f->number;
            DDX_CBIndex(pDX, b.control, index);
            if (pDX->m_bSaveAndValidate) {
                if (index >= 0)
                    f->number = index;
                else if (enabled) {
                    AfxMessageBox(IDS_SETUP_CHOOSE_VALUE, MB_OK | MB_ICONEXCLAMATION);
                    pDX->PrepareCtrl(b.control);
                    pDX->Fail();
                }
            }
            break;
        }
        case Bind::Radio: {
            int choice = f->number != 0 ? 0 : 1;
            DDX_Radio(pDX, b.control, choice);
            if (pDX->m_bSaveAndValidate && choice >= 0) f->number = choice == 0 ? 1 : 0;
            break;
        }
        }
    }
}
