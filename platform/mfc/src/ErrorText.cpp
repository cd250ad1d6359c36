#include "ErrorText.h"

#include <cstring>

BOOL copyErrorText(const std::string& text, LPSTR buffer, UINT nMax) {
    if (buffer == nullptr || nMax == 0) return FALSE;
    const std::size_t n = text.size() < nMax - 1 ? text.size() : nMax - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return TRUE;
}

std::string withFileName(const char* text, const char* fileName, const char* fallback) {
    std::string result = text;
    const std::size_t at = result.find("%1");
    if (at != std::string::npos) {
        result.replace(at, 2, fileName != nullptr && *fileName != '\0' ? fileName : fallback);
    }
    return result;
}
