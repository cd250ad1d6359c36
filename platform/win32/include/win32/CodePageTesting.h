#pragma once
// Test hook: the process-wide ANSI code page. 1252 (OEM 850) and 932 (OEM 932) are known.

#include "win32/base.h"

// Switches the ANSI and OEM code pages; returns the ANSI code page before, or 0 (nothing
// changed) for a code page the layer does not know.
WIN32_API UINT SdSetCodePage(UINT ansiCodePage);
