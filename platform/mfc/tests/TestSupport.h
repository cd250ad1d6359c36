#pragma once
// Helpers of the framework tests: byte buffers, archives on them, temporary folders.

#include <filesystem>
#include <string>
#include <vector>

#include "mfc/afx.h"

using Bytes = std::vector<BYTE>;

// Everything written to the memory file so far.
Bytes contentsOf(CMemFile& file);

// The bytes of s, without a terminating NUL.
Bytes bytesOf(const std::string& s);

Bytes operator+(Bytes a, const Bytes& b);

// Runs fn and returns the cause of the CArchiveException it throws (-1 when it throws none);
// the exception is released. fileName receives the name the exception carries.
template <class Fn> int archiveCause(Fn fn, CString* fileName = nullptr) {
    try {
        fn();
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        if (fileName != nullptr) *fileName = e->m_strFileName;
        e->Delete();
        return cause;
    }
    return -1;
}

template <class Fn> int fileCause(Fn fn, LONG* osError = nullptr, CString* fileName = nullptr) {
    try {
        fn();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        if (osError != nullptr) *osError = e->m_lOsError;
        if (fileName != nullptr) *fileName = e->m_strFileName;
        e->Delete();
        return cause;
    }
    return -1;
}

// Runs fn and tells whether it threw an exception of class T (released).
template <class T, class Fn> bool throwsFramework(Fn fn) {
    try {
        fn();
    } catch (CException* e) {
        const bool match = dynamic_cast<T*>(e) != nullptr;
        e->Delete();
        return match;
    }
    return false;
}

// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// The largest single operator new request made while a probe is alive.
class AllocationProbe {
public:
    AllocationProbe();
    ~AllocationProbe();
    std::size_t largest() const;
};
