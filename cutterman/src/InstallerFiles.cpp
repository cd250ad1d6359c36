#include "InstallerFiles.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <settings/ProgramFolders.h>
#include <win32/fileio.h>
#include <win32/kernel.h>

namespace {

bool isKind(const std::string& path, bool wantFolder) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return wantFolder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

std::string FindEntryName(const std::string& folder, const std::string& name, bool wantFolder) {
    if (isKind(folder + name, wantFolder)) return name;
    std::string found = name;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            if (::strcasecmp(entry->d_name, name.c_str()) == 0 &&
                isKind(folder + entry->d_name, wantFolder)) {
                found = entry->d_name;
                break;
            }
        }
        ::closedir(dir);
    }
    return found;
}

std::string FilePath(const std::string& folder, const std::string& name) {
    return folder + FindEntryName(folder, name, false);
}

bool FileExists(const std::string& path) {
    return isKind(path, false);
}

std::string SubFolder(const std::string& folder, const std::string& name) {
    std::string path = folder + FindEntryName(folder, name, true);
    return isKind(path, true) ? path + "/" : std::string();
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char block[65536];
    for (;;) {
        ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        bytes.append(block, std::size_t(n));
    }
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
    MakeDirectories(folderOf(path).c_str());
    return SdReplaceFileContent(path.c_str(), bytes.data(), DWORD(bytes.size())) != FALSE;
}

void RemoveLeftoverTemporaries(const std::string& path) {
    std::string folder = folderOf(path);
    std::string prefix = "." + path.substr(folder.size()) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        // The kernel's temporary names: the prefix and six characters of mkstemp.
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
            isKind(folder + name, false))
            ::unlink((folder + name).c_str());
    }
    ::closedir(dir);
}

RunLock::RunLock(const std::string& path) {
    MakeDirectories(folderOf(path).c_str());
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

RunLock::~RunLock() {
    if (fd_ >= 0) ::close(fd_);
}
