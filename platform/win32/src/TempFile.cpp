#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "KernelFiles.h"
#include "win32/kernel.h"

namespace {

// Where the search for a free number starts; differs between processes and advances with
// every name made, so that callers rarely collide.
std::atomic<unsigned> nextUnique{unsigned(::getpid()) * 7919u ^ unsigned(std::time(nullptr))};

} // namespace

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    if (!buffer || path.size() + 1 > bufferLength) return DWORD(path.size() + 1);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return DWORD(path.size());
}

// The caller's buffer holds MAX_PATH characters. Only the low 16 bits of `unique` are used,
// in upper-case hexadecimal.
UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
    if (!pathName || !tempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string folder = nativePath(pathName);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    std::string stem = folder + std::string(prefix ? prefix : "").substr(0, 3);

    auto nameFor = [&](unsigned number) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%X", number & 0xFFFFu);
        return stem + digits + ".tmp";
    };
    auto deliver = [&](const std::string& name) {
        if (name.size() >= std::size_t(MAX_PATH)) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return false;
        }
        std::memcpy(tempFileName, name.c_str(), name.size() + 1);
        return true;
    };

    if (unique != 0) return deliver(nameFor(unique)) ? unique : 0;

    if (nameFor(0xFFFF).size() >= std::size_t(MAX_PATH)) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    for (unsigned attempt = 0; attempt < 0xFFFF; ++attempt) {
        unsigned number = nextUnique.fetch_add(1) % 0xFFFFu + 1; // 1 .. 0xFFFF
        std::string name = nameFor(number);
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            deliver(name);
            return number;
        }
        if (errno != EEXIST) {
            SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : win32ErrorFromErrno(errno));
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}
