#pragma once
// Parts of a path; '/' and '\' both separate folders.

#include <mfc/CString.h>

// The text before the last separator; empty when there is none.
CString GetPathDirectory(const char* path);
// The text after the last separator; the whole path when there is none.
CString GetPathFileName(const char* path);
// The text after the last '.'; empty when there is none.
CString GetPathExtension(const char* path);
