#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

class KernelScratchFolder {
public:
    KernelScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sdkernel.XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data())) folder_ = made;
    }
    ~KernelScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    KernelScratchFolder(const KernelScratchFolder&) = delete;
    KernelScratchFolder& operator=(const KernelScratchFolder&) = delete;

    const std::string& path() const { return folder_; }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    // The file's bytes, or nullopt when it does not exist.
    std::optional<std::string> read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string folder_;
};
