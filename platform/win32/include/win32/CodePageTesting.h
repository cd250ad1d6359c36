#pragma once
// Test hooks: the process-wide ANSI code page (1252 with OEM 850, or 932 with OEM 932) and
// the user's language.

#include "win32/base.h"

// Switches the ANSI and OEM code pages; returns the ANSI code page before, or 0 (nothing
// changed) for a code page the layer does not know.
WIN32_API UINT SdSetCodePage(UINT ansiCodePage);

// The language GetUserDefaultLangID answers; 0 restores 0x0409. Returns the one before.
WIN32_API WORD SdSetUserDefaultLangID(WORD language);
