#include "ProfileStore.h"

#include <cerrno>

#include "KernelFiles.h"
#include "win32/ProfileLock.h"

std::mutex& profileMutex() {
    static std::mutex mutex;
    return mutex;
}

DWORD updateProfile(const std::string& path, DWORD lockTimeout,
                    const std::function<DWORD(IniDocument& document, bool found)>& edit) {
    std::lock_guard guard(profileMutex());
    ProfileLock lock(path.c_str(), lockTimeout);
    if (!lock.Held()) return lock.Error();
    std::string bytes;
    int error = readFileBytes(path, bytes);
    // Never rewrite a file whose content could not be read: it would be lost.
    if (error != 0 && error != ENOENT) return win32ErrorFromErrno(error);
    // A file the lock had to create did not exist before.
    bool found = error == 0 && !(bytes.empty() && lock.Created());
    IniDocument document(bytes);
    std::string before = document.text();
    if (DWORD refused = edit(document, found)) return refused;
    std::string after = document.text();
    if (after == before) return 0;
    if (int failed = replaceFileBytes(path, after)) return win32ErrorFromErrno(failed);
    lock.KeepFile();
    return 0;
}
