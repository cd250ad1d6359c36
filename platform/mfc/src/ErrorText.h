#pragma once
// Copies exception messages into callers' buffers.

#include <string>

#include "win32/base.h"

// Copies text into the buffer of nMax bytes, cut to fit and always terminated.
BOOL copyErrorText(const std::string& text, LPSTR buffer, UINT nMax);

// The text with "%1" replaced by the file name, or by the fallback when there is none.
std::string withFileName(const char* text, const char* fileName, const char* fallback);
