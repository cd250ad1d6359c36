#include <string>

#include "win32/kernel.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
thread_local std::string lastErrorText;
} // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD code) {
    lastError = code;
    lastErrorText.clear();
}

void SdSetLastErrorText(DWORD code, LPCSTR text) {
    lastError = code;
    lastErrorText = text ? text : "";
}

LPCSTR SdGetLastErrorText() {
    return lastErrorText.c_str();
}
