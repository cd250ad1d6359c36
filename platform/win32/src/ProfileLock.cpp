#include "win32/ProfileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "KernelFiles.h"
#include "win32/kernel.h"

namespace {

constexpr DWORD kPollInterval = 20;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ProfileLock::ProfileLock(const char* fileName, DWORD timeout) : path_(nativePath(fileName)) {
    if (path_.empty()) {
        error_ = ERROR_INVALID_PARAMETER;
        return;
    }
    DWORD start = GetTickCount();
    for (;;) {
        bool created = false;
        int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            created = fd >= 0;
            if (fd < 0 && errno == EEXIST) continue; // made by another writer meanwhile
        }
        if (fd < 0) {
            error_ = win32ErrorFromErrno(errno == ENOENT ? ENOTDIR : errno);
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The file we locked must still be the one the name reaches: a writer that held
            // the lock may have renamed a new file over it.
            struct stat locked {
            }, named{};
            if (::fstat(fd, &locked) == 0 && ::stat(path_.c_str(), &named) == 0 &&
                sameFile(locked, named)) {
                fd_ = fd;
                created_ = created;
                return;
            }
            ::close(fd);
            continue;
        }
        int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) {
            error_ = win32ErrorFromErrno(error);
            return;
        }
        if (GetTickCount() - start >= timeout) {
            error_ = ERROR_LOCK_VIOLATION;
            return;
        }
        Sleep(kPollInterval);
    }
}

ProfileLock::~ProfileLock() {
    if (fd_ < 0) return;
    // An empty file made only to be locked goes again, unless someone wrote into it.
    struct stat locked {
    }, named{};
    if (created_ && ::fstat(fd_, &locked) == 0 && locked.st_size == 0 &&
        ::stat(path_.c_str(), &named) == 0 && sameFile(locked, named))
        ::unlink(path_.c_str());
    ::close(fd_);
}
