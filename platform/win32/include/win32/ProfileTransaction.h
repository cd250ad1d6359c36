#pragma once
// Several edits of one profile file made as one: collected here, then on Commit applied to one
// fresh read of the file under its lock (ProfileLock), and the file replaced once (temporary
// file, fsync, rename). Either every edit reaches the file or none does; edits that change
// nothing leave the file untouched, byte for byte.

#include <string>
#include <vector>

#include "win32/ProfileLock.h"
#include "win32/base.h"
#include "win32/export.h"

class WIN32_API ProfileTransaction {
public:
    explicit ProfileTransaction(const char* fileName);
    ~ProfileTransaction();
    ProfileTransaction(const ProfileTransaction&) = delete;
    ProfileTransaction& operator=(const ProfileTransaction&) = delete;

    // As WritePrivateProfileString: a null value removes the key, a null key the section.
    void WriteString(const char* section, const char* key, const char* value);
    // A new section `to` holding a copy of the lines of `from`; later edits of `to` apply to
    // the copy. Commit fails with ERROR_NOT_FOUND when `from` is missing and with
    // ERROR_ALREADY_EXISTS when `to` exists.
    void CopySection(const char* from, const char* to);
    // Commit fails unless the section exists in the fresh read: ERROR_FILE_NOT_FOUND when the
    // file is missing, ERROR_NOT_FOUND when only the section is.
    void RequireSection(const char* section);

    bool Empty() const { return edits_.empty(); }

    // TRUE, or FALSE with the last error set and the file as it was: ERROR_INVALID_PARAMETER
    // for a name the file would read back differently or a value with a line break (checked
    // before the file is touched), the errors above, ERROR_LOCK_VIOLATION when another writer
    // held the lock for `lockTimeout` ms, or the file's own (ERROR_ACCESS_DENIED for a file
    // without write permission, ERROR_DISK_FULL ...). The edits are kept either way.
    BOOL Commit(DWORD lockTimeout = ProfileLock::kDefaultTimeout);

    struct Edit {
        enum Kind { Write, RemoveKey, RemoveSection, Copy, Require } kind;
        std::string section; // for Copy: the source
        std::string key;     // for Copy: the new name
        std::string value;
    };

private:
    std::string path_;
    std::vector<Edit> edits_;
    bool invalid_ = false;
};
