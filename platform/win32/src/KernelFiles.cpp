#include "KernelFiles.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "win32/KernelTesting.h"
#include "win32/kernel.h"

namespace {

// Test hooks on the writes, fsyncs and renames that replace a file.
struct FileOperationHooks {
    std::mutex mutex;
    int count[3] = {};
    int killAt[3] = {};
    int failAt[3] = {};
    int failError[3] = {};
};

FileOperationHooks& hooks() {
    static FileOperationHooks instance;
    return instance;
}

enum class Hook { None, Kill, Fail };

// Counts the operation and tells what the tests asked of it.
Hook fileOperation(SdFileOperation kind, int& error) {
    FileOperationHooks& h = hooks();
    std::lock_guard lock(h.mutex);
    int n = ++h.count[kind];
    if (h.killAt[kind] == n) return Hook::Kill;
    if (h.failAt[kind] == n) {
        error = h.failError[kind];
        return Hook::Fail;
    }
    return Hook::None;
}

[[noreturn]] void killProcess() {
    ::raise(SIGKILL);
    ::_exit(137);
}

int writeAll(int fd, const std::string& bytes) {
    int injected = 0;
    switch (fileOperation(SD_FILE_WRITE, injected)) {
    case Hook::Kill:
        if (::write(fd, bytes.data(), bytes.size() / 2) < 0) {
            // Dying anyway.
        }
        killProcess();
    case Hook::Fail:
        return injected;
    case Hook::None:
        break;
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= std::size_t(n);
    }
    return 0;
}

// The mode a newly created file gets from the process umask.
mode_t newFileMode() {
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = mode_t(value);
                break;
            }
        }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

// Rewrites the file where it lies; used when its folder does not let us create a neighbour.
int syncFile(int fd) {
    int injected = 0;
    switch (fileOperation(SD_FILE_FSYNC, injected)) {
    case Hook::Kill:
        killProcess();
    case Hook::Fail:
        return injected;
    case Hook::None:
        break;
    }
    return ::fsync(fd) != 0 ? errno : 0;
}

int renameFile(const std::string& from, const std::string& to) {
    int injected = 0;
    switch (fileOperation(SD_FILE_RENAME, injected)) {
    case Hook::Kill:
        killProcess();
    case Hook::Fail:
        return injected;
    case Hook::None:
        break;
    }
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

int overwriteInPlace(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = writeAll(fd, bytes);
    if (error == 0) error = syncFile(fd);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

} // namespace

void SdKillAtFileOperation(SdFileOperation kind, int nth) {
    std::lock_guard lock(hooks().mutex);
    hooks().killAt[kind] = nth > 0 ? hooks().count[kind] + nth : 0;
}

void SdFailFileOperation(SdFileOperation kind, int nth, int error) {
    std::lock_guard lock(hooks().mutex);
    hooks().failAt[kind] = nth > 0 ? hooks().count[kind] + nth : 0;
    hooks().failError[kind] = error;
}

int SdFileOperationCount(SdFileOperation kind) {
    std::lock_guard lock(hooks().mutex);
    return hooks().count[kind];
}

void SdResetFileOperationTesting() {
    std::lock_guard lock(hooks().mutex);
    for (int kind = 0; kind < 3; ++kind)
        hooks().count[kind] = hooks().killAt[kind] = hooks().failAt[kind] =
            hooks().failError[kind] = 0;
}

std::string nativePath(const char* path) {
    std::string result = path ? path : "";
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

DWORD win32ErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_WRITE_FAULT;
    }
}

int readFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return error;
    }
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            return error;
        }
        if (n == 0) break;
        bytes.append(chunk, std::size_t(n));
    }
    ::close(fd);
    return 0;
}

int replaceFileBytes(const std::string& path, const std::string& bytes) {
    if (path.empty()) return ENOENT;
    // Write through a symbolic link to the file it names rather than replacing the link.
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        // The read-only attribute: no write permission bits, whoever we run as.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(target.c_str(), W_OK) != 0)
            return EACCES;
    }

    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return EISDIR;
    std::string temp = folder + "/." + name + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        int error = errno;
        if (exists && (error == EACCES || error == EPERM)) return overwriteInPlace(target, bytes);
        return error == ENOENT ? ENOTDIR : error;
    }
    ::fchmod(fd, exists ? (st.st_mode & 07777) : newFileMode());
    if (exists && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Keeping the owner is a courtesy; the content is what matters.
    }
    int error = writeAll(fd, bytes);
    if (error == 0) error = syncFile(fd);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) error = renameFile(temp, target);
    if (error != 0) ::unlink(temp.c_str());
    return error;
}

BOOL DeleteFileA(LPCSTR fileName) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = nativePath(fileName);
    // unlink never removes a folder; a folder is refused as the original refuses it.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) {
        SetLastError(win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
