// Clipboard formats registered by name.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <strings.h>
#include <vector>

#include "win32/clipboard.h"
#include "win32/kernel.h"

namespace {

std::mutex namesLock;
std::vector<std::string>& names() {
    static auto* registered = new std::vector<std::string>;
    return *registered;
}

constexpr UINT firstFormat = 0xC000;
constexpr UINT lastFormat = 0xFFFF;

} // namespace

UINT RegisterClipboardFormatA(LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> guard(namesLock);
    auto& list = names();
    for (size_t i = 0; i < list.size(); ++i)
        if (strcasecmp(list[i].c_str(), name) == 0) return firstFormat + UINT(i);
    if (firstFormat + list.size() > lastFormat) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    list.emplace_back(name);
    return firstFormat + UINT(list.size() - 1);
}

int GetClipboardFormatNameA(UINT format, LPSTR name, int maxCount) {
    if (!name || maxCount <= 0) return 0;
    std::lock_guard<std::mutex> guard(namesLock);
    const auto& list = names();
    if (format < firstFormat || format - firstFormat >= list.size()) {
        name[0] = '\0';
        return 0;
    }
    const std::string& text = list[format - firstFormat];
    const size_t n = std::min(text.size(), size_t(maxCount - 1));
    std::memcpy(name, text.data(), n);
    name[n] = '\0';
    return int(n);
}
