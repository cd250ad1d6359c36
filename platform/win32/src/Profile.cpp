// Private-profile functions. Each call reads the file afresh, so every read sees the latest
// write; each write rewrites the file at once through IniDocument, which keeps every line it
// does not touch byte for byte, under the file's lock (ProfileStore).

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "IniDocument.h"
#include "KernelFiles.h"
#include "ProfileStore.h"
#include "win32/ProfileLock.h"
#include "win32/kernel.h"

namespace {

// The document of the file; a missing or unreadable file reads as empty.
IniDocument readProfile(LPCSTR fileName, bool& found) {
    std::string bytes;
    found = fileName && *fileName && readFileBytes(nativePath(fileName), bytes) == 0;
    return IniDocument(bytes);
}

DWORD copyValue(const std::string& value, LPSTR out, DWORD size) {
    std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return DWORD(n);
}

// NUL-terminated names followed by one more NUL. When they do not fit, the list is cut at
// size - 2 bytes and closed with two NULs, and the result is size - 2.
DWORD copyList(const std::vector<std::string>& names, LPSTR out, DWORD size) {
    std::string all;
    for (const auto& name : names) {
        all += name;
        all += '\0';
    }
    if (all.size() + 1 <= size) {
        std::memcpy(out, all.data(), all.size());
        out[all.size()] = '\0';
        if (all.empty() && size >= 2) out[1] = '\0';
        return DWORD(all.size());
    }
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    std::memcpy(out, all.data(), size - 2);
    out[size - 2] = '\0';
    out[size - 1] = '\0';
    return size - 2;
}

bool hasLineBreak(LPCSTR text) {
    return text && std::strpbrk(text, "\r\n");
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName) {
    if (!returned || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard lock(profileMutex());
    bool found = false;
    IniDocument document = readProfile(fileName, found);
    SetLastError(found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    if (!section) return copyList(document.sectionNames(), returned, size);
    if (!key) return copyList(document.keyNames(section), returned, size);
    if (auto value = document.value(section, key)) return copyValue(*value, returned, size);
    // The default loses its trailing blanks, as values do.
    std::string fallback = defaultValue ? defaultValue : "";
    fallback.erase(fallback.find_last_not_of(" \t") + 1);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return copyValue(fallback, returned, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    if (!section || !key) return UINT(defaultValue);
    std::lock_guard lock(profileMutex());
    bool found = false;
    IniDocument document = readProfile(fileName, found);
    auto value = document.value(section, key);
    if (!value || value->empty()) return UINT(defaultValue);
    return IniDocument::parseInt(*value);
}

DWORD GetPrivateProfileSectionNamesA(LPSTR returned, DWORD size, LPCSTR fileName) {
    if (!returned || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard lock(profileMutex());
    bool found = false;
    IniDocument document = readProfile(fileName, found);
    return copyList(document.sectionNames(), returned, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    // Nothing is held back, so a flush (all three null) has nothing left to do.
    if (!section && !key && !value) return TRUE;
    // A line break would split the entry into lines of its own, and a name that the file
    // would read back differently ("T]x", "a=b", ";c") would change other sections and keys.
    if (!section || !fileName || !*fileName || !IniDocument::isSafeName(section) ||
        (key && !IniDocument::isSafeName(key)) || hasLineBreak(value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD error = updateProfile(nativePath(fileName), ProfileLock::kDefaultTimeout,
                                [&](IniDocument& document, bool) -> DWORD {
                                    if (!key)
                                        document.removeSection(section);
                                    else if (!value)
                                        document.removeKey(section, key);
                                    else
                                        document.setValue(section, key, value);
                                    return 0;
                                });
    if (error != 0) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
