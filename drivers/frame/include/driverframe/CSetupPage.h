#pragma once
// A page of a driver's setup sheet: controls bound to the keys of SetupValues. A control
// whose key the driver does not read (no field) is hidden and takes no part in the exchange.
// Numbers go through the number-entry helpers (settings/NumberFields.h), texts through the
// framework's exchange; a refused value keeps the page with a prompt naming the limits.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <mfc/CPropertySheet.h>

#include "driverframe/SetupValues.h"

struct LengthUnit;

class CSetupPage : public CPropertyPage {
    DECLARE_DYNAMIC(CSetupPage)
public:
    enum class Bind {
        Text,     // an edit's text
        Template, // a command template: refused when its command could pass 255 bytes
        Combo,    // an editable list's text
        Int,      // a whole number in min..max
        Float,    // a number in min..max (max from `limit` when given)
        Length,   // a length in the owner's unit, min..max millimetres
        Check,    // a check box
        Index,    // a list's index; required only while the control is enabled
        Radio,    // the first of two radio buttons: checked = non-zero
    };
    struct Binding {
        Binding(int control, std::string key, Bind bind, double min = 0, double max = 0,
                int maxChars = 0, std::function<double()> limit = {})
            : control(control), key(std::move(key)), bind(bind), min(min), max(max),
              maxChars(maxChars), limit(std::move(limit)) {}
        int control;
        std::string key;
        Bind bind;
        double min = 0;
        double max = 0;
        int maxChars = 0;
        std::function<double()> limit; // a tighter maximum known only at saving
    };

    CSetupPage(UINT templateId, SetupValues& values);

    void AddBinding(Binding binding) { bindings_.push_back(std::move(binding)); }
    void SetLengthUnit(const LengthUnit* unit) { lengthUnit_ = unit; }
    // For templates: the text a "$" stands for (the driver converts it), at its widest.
    void SetDollarText(std::function<std::string()> text) { dollarText_ = std::move(text); }
    // For templates of another language: whether the text makes commands within the limit
    // (in place of the template language's widest-number check).
    void SetTemplateCheck(std::function<bool(const std::string&)> fits) {
        templateFits_ = std::move(fits);
    }

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnApply() override;

    SetupValues& Values() { return values_; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // After the controls are loaded: fill lists before (FillLists), set enabling after.
    virtual void FillLists() {}
    virtual void UpdateEnabling() {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // A control's notification: the enabling may change.
    virtual void ControlChanged(int /*control*/, int /*code*/) {}

    void Enable(int control, bool enable);
    bool Checked(int control) const;

    SetupValues& values_;

private:
    std::vector<Binding> bindings_;
    const LengthUnit* lengthUnit_ = nullptr;
    std::function<std::string()> dollarText_;
    std::function<bool(const std::string&)> templateFits_;
    bool loading_ = false; // the controls are being loaded, not edited
};
