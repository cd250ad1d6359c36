#pragma once
// Numbers in profile files always use '.' as the decimal point, whatever the
// process locale: conversions run under the classic numeric locale.

#include <string>

double ParseProfileDouble(const char* text); // atof semantics
std::string FormatProfileDouble(double value); // "%g"
