#pragma once
// Number text with '.' as the decimal point whatever the process locale.

#include <cstddef>

#include "pathkit/export.h"

// strtod under the classic numeric locale; *end (when given) as strtod sets it.
PATHKIT_API double ClassicStrToD(const char* text, char** end = nullptr);

// snprintf of one double into out[size]; returns the characters stored (without the
// terminator), never more than size - 1.
PATHKIT_API int ClassicFormatDouble(char* out, std::size_t size, const char* format, double value);
