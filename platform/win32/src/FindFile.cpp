#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "win32/findfile.h"
#include "win32/nls.h"

namespace {

struct FindSearch {
    std::vector<WIN32_FIND_DATAA> found;
    size_t next = 0;
};

unsigned char foldCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    // Latin-1 letters of the single-byte page; the double-byte page folds ASCII only.
    if (GetACP() == 1252 && c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}

// '*' any run, '?' one character; a pattern "*.*" also matches names without a dot.
bool matches(const unsigned char* p, const unsigned char* n) {
    while (*p) {
        if (*p == '*') {
            while (*p == '*')
                ++p;
            if (*p == 0) return true;
            if (p[0] == '.' && p[1] == '*' && p[2] == 0 &&
                std::strchr(reinterpret_cast<const char*>(n), '.') == nullptr)
                return true;
            for (const unsigned char* s = n; *s; ++s)
                if (matches(p, s)) return true;
            return matches(p, n + std::strlen(reinterpret_cast<const char*>(n)));
        }
        if (*n == 0) return false;
        if (*p != '?' && foldCase(*p) != foldCase(*n)) return false;
        ++p;
        ++n;
    }
    return *n == 0;
}

FILETIME fileTime(const struct timespec& t) {
    // 100-ns intervals since 1601-01-01.
    unsigned long long v =
        (static_cast<unsigned long long>(t.tv_sec) + 11644473600ULL) * 10000000ULL +
        static_cast<unsigned long long>(t.tv_nsec) / 100;
    return FILETIME{DWORD(v & 0xFFFFFFFFu), DWORD(v >> 32)};
}

std::mutex g_searchesLock;
std::set<FindSearch*> g_searches; // live searches: stale or foreign handles are refused

FindSearch* liveSearch(HANDLE h) {
    std::lock_guard<std::mutex> lock(g_searchesLock);
    auto it = g_searches.find(static_cast<FindSearch*>(h));
    return it == g_searches.end() ? nullptr : *it;
}

} // namespace

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    if (fileName == nullptr || findData == nullptr || *fileName == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string ansi = fileName;
    size_t cut = ansi.find_last_of("\\/");
    std::string folderAnsi = cut == std::string::npos ? "." : ansi.substr(0, cut == 0 ? 1 : cut);
    std::string pattern = cut == std::string::npos ? ansi : ansi.substr(cut + 1);
    std::string folder = SdAnsiPathToNative(folderAnsi.c_str());
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto* search = new FindSearch;
    while (struct dirent* entry = ::readdir(dir)) {
        std::string name;
        if (!SdNativeNameToAnsi(entry->d_name, name) || name.size() >= MAX_PATH) continue;
        if (!matches(reinterpret_cast<const unsigned char*>(pattern.c_str()),
                     reinterpret_cast<const unsigned char*>(name.c_str())))
            continue;
        struct stat st {};
        if (::stat((folder + "/" + entry->d_name).c_str(), &st) != 0) continue;
        WIN32_FIND_DATAA data{};
        data.dwFileAttributes =
            S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        if ((st.st_mode & S_IWUSR) == 0) data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
        if (entry->d_name[0] == '.' && std::strcmp(entry->d_name, ".") != 0 &&
            std::strcmp(entry->d_name, "..") != 0)
            data.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
        data.ftCreationTime = fileTime(st.st_ctim);
        data.ftLastAccessTime = fileTime(st.st_atim);
        data.ftLastWriteTime = fileTime(st.st_mtim);
        unsigned long long size =
            S_ISDIR(st.st_mode) ? 0 : static_cast<unsigned long long>(st.st_size);
        data.nFileSizeHigh = DWORD(size >> 32);
        data.nFileSizeLow = DWORD(size & 0xFFFFFFFFu);
        std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
        search->found.push_back(data);
    }
    ::closedir(dir);
    if (search->found.empty()) {
        delete search;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *findData = search->found[0];
    search->next = 1;
    std::lock_guard<std::mutex> lock(g_searchesLock);
    g_searches.insert(search);
    return search;
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
    FindSearch* search = liveSearch(findFile);
    if (search == nullptr || findData == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->found.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *findData = search->found[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    FindSearch* search = liveSearch(findFile);
    if (search == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> lock(g_searchesLock);
        g_searches.erase(search);
    }
    delete search;
    return TRUE;
}
