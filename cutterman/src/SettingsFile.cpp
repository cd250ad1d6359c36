#include "SettingsFile.h"

#include <settings/ProgramFolders.h>
#include <win32/ProfileTransaction.h>
#include <win32/kernel.h>

void SettingsFile::Write(const std::string& section, const std::string& key,
                         const std::string& value) {
    entries_.push_back({section, key, value});
}

bool SettingsFile::Commit() {
    if (entries_.empty()) return true;
    std::size_t slash = path_.rfind('/');
    if (slash != std::string::npos) MakeDirectories(path_.substr(0, slash).c_str());
    ProfileTransaction transaction(path_.c_str());
    for (const Entry& e : entries_)
        transaction.WriteString(e.section.c_str(), e.key.c_str(), e.value.c_str());
    return transaction.Commit() != FALSE;
}

std::string ReadSetting(const std::string& path, const std::string& section, const std::string& key,
                        const char* def) {
    std::string buffer(256, '\0');
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def, buffer.data(),
                                           DWORD(buffer.size()), path.c_str());
        if (n + 1 < buffer.size()) return buffer.substr(0, n);
        buffer.resize(buffer.size() * 2);
    }
}
