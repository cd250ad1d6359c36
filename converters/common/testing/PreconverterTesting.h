#pragma once
// Helpers of the pre-converter tests: point lists written compactly, and a temporary folder
// of the test's own as the system's temporary directory.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "converters/OutlineHandOff.h"

// "flags:x,y" per point, "B" per break, blank-separated.
inline std::string Describe(const preconv::Points& points) {
    std::ostringstream s;
    for (const preconv::Point& p : points) {
        if (s.tellp() > 0) s << ' ';
        if (p.IsBreak())
            s << 'B';
        else
            s << int(p.flags) << ':' << p.x << ',' << p.y;
    }
    return s.str();
}

// Points TMPDIR at a folder for the object's lifetime.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::filesystem::path& folder) {
        if (const char* old = std::getenv("TMPDIR")) saved_ = old;
        std::filesystem::create_directories(folder);
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TempFolderOverride() {
        if (saved_)
            ::setenv("TMPDIR", saved_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> saved_;
};
