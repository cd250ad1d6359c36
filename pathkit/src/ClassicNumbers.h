#pragma once
// Number text with '.' as the decimal point whatever the process locale.

#include <cstddef>

double ClassicStrToD(const char* text);

// snprintf of one double into out[size]; returns the characters stored (without the
// terminator), never more than size - 1.
int ClassicFormatDouble(char* out, std::size_t size, const char* format, double value);
