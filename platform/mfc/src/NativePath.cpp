#include "NativePath.h"

#include <algorithm>

std::string toNativePath(const char* path) {
    std::string result = path != nullptr ? path : "";
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}
