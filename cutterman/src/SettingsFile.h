#pragma once
// The keys the installer writes into one profile file, made as one change: every key reaches
// the file or none does, and keys written meanwhile by other programs stay.

#include <string>
#include <vector>

class SettingsFile {
public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}
    void Write(const std::string& section, const std::string& key, const std::string& value);
    // Nothing to write is success.
    bool Commit();
    const std::string& Path() const { return path_; }

private:
    struct Entry {
        std::string section, key, value;
    };
    std::string path_;
    std::vector<Entry> entries_;
};

// A profile value of any length; `def` when the key is missing.
std::string ReadSetting(const std::string& path, const std::string& section, const std::string& key,
                        const char* def);
