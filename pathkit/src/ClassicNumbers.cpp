#include "pathkit/ClassicNumbers.h"

#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    return classic;
}

// Switches the calling thread to the classic numeric locale for one conversion.
class ClassicScope {
public:
    ClassicScope() : previous_(ClassicLocale() ? uselocale(ClassicLocale()) : nullptr) {}
    ~ClassicScope() {
        if (previous_) uselocale(previous_);
    }
    ClassicScope(const ClassicScope&) = delete;
    ClassicScope& operator=(const ClassicScope&) = delete;

private:
    locale_t previous_;
};

} // namespace

double ClassicStrToD(const char* text, char** end) {
    ClassicScope scope;
    return std::strtod(text, end);
}

int ClassicFormatDouble(char* out, std::size_t size, const char* format, double value) {
    if (size == 0) return 0;
    out[0] = 0;
    int n;
    {
        ClassicScope scope;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        n = std::snprintf(out, size, format, value);
#pragma GCC diagnostic pop
    }
    if (n < 0) {
        out[0] = 0;
        return 0;
    }
    return static_cast<std::size_t>(n) < size ? n : static_cast<int>(size - 1);
}
