#pragma once
// The advisory lock that every write of a profile file holds: flock on the file itself, so the
// kernel drops it when the holder dies, and every process of the suite excludes the others.
// A missing file is created empty to be locked; when nothing gets written, the holder removes
// it again on release. A file replaced by rename while we waited is locked afresh.

#include <string>

#include "win32/base.h"
#include "win32/export.h"

class WIN32_API ProfileLock {
public:
    // How long a writer waits for another to finish, by GetTickCount (Sleep advances the
    // fake clock, so tests wait no real time).
    static constexpr DWORD kDefaultTimeout = 10000;

    // Takes the lock on `fileName` ('\\' read as '/'), waiting up to `timeout` milliseconds.
    explicit ProfileLock(const char* fileName, DWORD timeout = kDefaultTimeout);
    ~ProfileLock();
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;

    // Whether the lock is held; when not, the Win32 error: ERROR_LOCK_VIOLATION after the
    // timeout, or why the file could not be opened (ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED).
    bool Held() const { return fd_ >= 0; }
    DWORD Error() const { return error_; }
    // Whether the file was missing and made empty to be locked.
    bool Created() const { return created_; }
    // The file now has content of ours: it is no longer removed on release.
    void KeepFile() { created_ = false; }

private:
    std::string path_;
    int fd_ = -1;
    DWORD error_ = 0;
    bool created_ = false;
};
