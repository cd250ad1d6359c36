#pragma once
// How the installer finds and replaces its files. The suite's files and folders are found
// without case ("plot.ini", "DEVICES.INI", "Colour profiles"); a file that does not exist yet
// gets the name as the suite ships it. Folders end with '/'.

#include <string>

// The entry of `folder` named `name` without case: its own spelling, or `name` when there is
// none. With wantFolder only folders count, else only regular files.
std::string FindEntryName(const std::string& folder, const std::string& name, bool wantFolder);
// folder + FindEntryName(...).
std::string FilePath(const std::string& folder, const std::string& name);
bool FileExists(const std::string& path);
// The folder's sub-folder `name` (found without case) with '/' appended; empty when missing.
std::string SubFolder(const std::string& folder, const std::string& name);

// The whole file; false when it cannot be read (missing files read as empty).
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Replaces the file in one step (new file beside it, flushed, renamed over it), making its
// folder first when missing.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);
// Removes what killed replacements of this file left beside it (".NAME.xxxxxx"). Call only
// while holding the file's lock, so that no live writer's temporary file goes.
void RemoveLeftoverTemporaries(const std::string& path);

// Held by one installer run at a time, for the whole run (never waited for).
class RunLock {
public:
    explicit RunLock(const std::string& path);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
