#include "settings/NumericText.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

// Switches this thread to the classic numeric locale and back.
class ClassicNumericLocale {
public:
    ClassicNumericLocale()
        : classic(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr))),
          previous(classic ? uselocale(classic) : static_cast<locale_t>(nullptr)) {}
    ~ClassicNumericLocale() {
        if (classic) {
            uselocale(previous);
            freelocale(classic);
        }
    }

private:
    locale_t classic;
    locale_t previous;
};

} // namespace

double ParseProfileDouble(const char* text) {
    ClassicNumericLocale classic;
    return std::atof(text);
}

double ParseProfileNumber(const char* text, std::size_t* taken) {
    ClassicNumericLocale classic;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (taken) *taken = std::size_t(end - text);
    return value;
}

std::string FormatProfileDouble(double value, int digits) {
    ClassicNumericLocale classic;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    return buffer;
}
