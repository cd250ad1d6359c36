#pragma once
// Test hook of the clipboard: closes it and frees every handle it holds.

#include "win32/base.h"

WIN32_API void SdResetClipboard();
