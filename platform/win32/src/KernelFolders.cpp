// The Windows and current folders, and whole-file moves and copies.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "KernelFiles.h"
#include "win32/fileio.h"
#include "win32/kernel.h"

namespace {

// Folder queries: the length without the NUL when it fits, else the size needed.
DWORD copyFolder(const std::string& folder, LPSTR buffer, DWORD size) {
    if (!buffer || folder.size() + 1 > size) return DWORD(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return DWORD(folder.size());
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& path) {
    int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool isFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool copyWhole(const std::string& from, const std::string& to) {
    if (isFolder(from)) return fail(ERROR_ACCESS_DENIED);
    std::string bytes;
    if (int error = readFileBytes(from, bytes); error != 0) return fail(win32ErrorFromErrno(error));
    if (int error = replaceFileBytes(to, bytes); error != 0)
        return fail(win32ErrorFromErrno(error));
    return true;
}

} // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string folder = dirs ? std::string(dirs).substr(0, std::string(dirs).find(':')) : "";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder.empty()) folder = "/etc/xdg";
    if (folder != "/") folder += '/';
    folder += "signdesk";
    return UINT(copyFolder(folder, buffer, size));
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    char* current = ::getcwd(nullptr, 0);
    if (!current) {
        SetLastError(win32ErrorFromErrno(errno));
        return 0;
    }
    std::string folder = current;
    std::free(current);
    return copyFolder(folder, buffer, size);
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
    if (!path || !*path) return fail(ERROR_INVALID_PARAMETER);
    std::string folder = nativePath(path);
    if (::chdir(folder.c_str()) != 0)
        return fail(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                        : win32ErrorFromErrno(errno));
    return TRUE;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags) {
    if (!existing || !*existing || !target || !*target) return fail(ERROR_INVALID_PARAMETER);
    std::string from = nativePath(existing);
    std::string to = nativePath(target);
    if (!exists(from)) return fail(ERROR_FILE_NOT_FOUND);
    const bool replace = flags & MOVEFILE_REPLACE_EXISTING;
    if (exists(to)) {
        if (!replace) return fail(ERROR_ALREADY_EXISTS);
        // A folder is never replaced by a rename.
        if (isFolder(to)) return fail(ERROR_ACCESS_DENIED);
    }
    int result = replace
                     ? ::rename(from.c_str(), to.c_str())
                     : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (result != 0) {
        int error = errno;
        if (error == EEXIST) return fail(ERROR_ALREADY_EXISTS);
        if (error != EXDEV) return fail(win32ErrorFromErrno(error));
        if (!(flags & MOVEFILE_COPY_ALLOWED)) return fail(ERROR_ACCESS_DENIED);
        // Another file system: the whole copy first, then the source goes.
        if (!copyWhole(from, to)) return FALSE;
        if (::unlink(from.c_str()) != 0) return fail(win32ErrorFromErrno(errno));
    }
    if (flags & MOVEFILE_WRITE_THROUGH) {
        syncFolder(to);
        if (folderOf(from) != folderOf(to)) syncFolder(from);
    }
    return TRUE;
}

BOOL CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) {
    if (!existing || !*existing || !target || !*target) return fail(ERROR_INVALID_PARAMETER);
    std::string from = nativePath(existing);
    std::string to = nativePath(target);
    if (!exists(from)) return fail(ERROR_FILE_NOT_FOUND);
    if (failIfExists && exists(to)) return fail(ERROR_FILE_EXISTS);
    return copyWhole(from, to) ? TRUE : FALSE;
}

BOOL SdReplaceFileContent(LPCSTR fileName, LPCVOID bytes, DWORD size) {
    if (!fileName || !*fileName || (!bytes && size)) return fail(ERROR_INVALID_PARAMETER);
    std::string content(static_cast<const char*>(bytes), size);
    if (int error = replaceFileBytes(nativePath(fileName), content); error != 0)
        return fail(win32ErrorFromErrno(error));
    return TRUE;
}
