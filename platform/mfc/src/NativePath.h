#pragma once
// File names as the system stores them, turned into Linux paths.

#include <string>

// The path with every '\' turned into '/'; null gives an empty path.
std::string toNativePath(const char* path);
