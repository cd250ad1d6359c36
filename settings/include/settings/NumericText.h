#pragma once
// Numbers in profile files always use '.' as the decimal point, whatever the
// process locale: conversions run under the classic numeric locale.

#include <cstddef>
#include <string>

double ParseProfileDouble(const char* text); // atof semantics
// strtod semantics: the value, and in *taken the number of characters read (0: no number).
double ParseProfileNumber(const char* text, std::size_t* taken);
std::string FormatProfileDouble(double value, int digits = 6); // "%.<digits>g", "%g" by default
