#pragma once
// File helpers of the kernel services: native paths, whole-file reads and safe rewrites.

#include <string>

#include "win32/base.h"

// The path with every '\' turned into '/'.
std::string nativePath(const char* path);

// The Win32 error code for an errno value.
DWORD win32ErrorFromErrno(int error);

// Reads the whole file into `bytes`. Returns 0 or an errno value (EISDIR for a folder).
int readFileBytes(const std::string& path, std::string& bytes);

// Replaces the file's content with `bytes`: written to a new file in the same folder, flushed
// and renamed over the original, so that a failure leaves the old content whole. The original
// file's mode is kept; a file without write permission is refused (EACCES) even for root.
// Returns 0 or an errno value.
int replaceFileBytes(const std::string& path, const std::string& bytes);
