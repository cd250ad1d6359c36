#pragma once
// Texts of the plot library's resource module jobsheet-res.

#include <mfc/CString.h>
#include <win32/base.h>

// The module's file name as the system loads it.
constexpr const char* JobSheetModule = "jobsheet-res.DLL";

// String id of the module with each "%s" replaced by the next argument (no other conversion
// is interpreted, so a text can never read arguments that are not there). The fallback text
// stands in when the module or the string is missing.
CString JobSheetText(UINT id, const char* fallback, const char* first = nullptr,
                     const char* second = nullptr);

// String id of the module with its first "%d" replaced by n.
CString JobSheetNumber(UINT id, const char* fallback, int n);
