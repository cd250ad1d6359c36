#pragma once
// Test hook of the drawing layer's fonts: a font set of given files instead of the system's.

#include <string>
#include <vector>

#include "win32/base.h"

// The files (Linux paths) stand in for the installed fonts until SdUseSystemFonts.
WIN32_API void SdUseFontFiles(const std::vector<std::string>& files);
WIN32_API void SdUseSystemFonts();
