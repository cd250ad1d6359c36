#pragma once
// What the converter tests share: binding a plug-in as the import does, a handler that records
// the progress calls, file bytes and decoded Bezier records.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pathkit/AbortHandler.h"
#include "win32/module.h"

using ConvertProc = int (*)(const char* source, const char* target, AbortHandler* progress);

// A converter bound by its binding name ("DXF2BEZ.dll") through the platform's loader.
class BoundConverter {
public:
    explicit BoundConverter(const char* name) : module_(LoadLibraryA(name)) {
        if (module_)
            convert_ = reinterpret_cast<ConvertProc>(
                reinterpret_cast<void (*)()>(GetProcAddress(module_, "Convert")));
    }
    ~BoundConverter() {
        if (module_) FreeLibrary(module_);
    }
    BoundConverter(const BoundConverter&) = delete;
    BoundConverter& operator=(const BoundConverter&) = delete;

    HMODULE Module() const { return module_; }
    bool Bound() const { return convert_ != nullptr; }
    int operator()(const std::string& source, const std::string& target,
                   AbortHandler* progress = nullptr) const {
        return convert_(source.c_str(), target.c_str(), progress);
    }

private:
    HMODULE module_;
    ConvertProc convert_ = nullptr;
};

// Records "P<percent>" for SetProgress and "C" for CheckAbort.
class RecordingHandler : public AbortHandler {
public:
    void SetStage(const char*, float, float) override { calls.push_back("S"); }
    void SetProgress(float percent) override {
        calls.push_back("P" + std::to_string(int(percent)));
        if (percent != float(int(percent))) fractional = true;
    }
    void CheckAbort() override {
        calls.push_back("C");
        if (throwOnCheck) throw 1;
    }

    std::vector<std::string> calls;
    bool fractional = false;
    bool throwOnCheck = false;
};

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct BezRecordValue {
    int cmd;
    float x, y;
};

inline std::vector<BezRecordValue> DecodeBezRecords(const std::string& bytes) {
    std::vector<BezRecordValue> out;
    for (std::size_t at = 0; at + 9 <= bytes.size(); at += 9) {
        auto f = [&](std::size_t o) {
            std::uint32_t bits = 0;
            for (int i = 3; i >= 0; --i)
                bits = bits << 8 | static_cast<unsigned char>(bytes[at + o + std::size_t(i)]);
            float v;
            std::memcpy(&v, &bits, sizeof v);
            return v;
        };
        out.push_back({static_cast<unsigned char>(bytes[at]), f(1), f(5)});
    }
    return out;
}

// The program folder's files named like the prefix, for checks that nothing was left.
inline std::vector<std::string> FilesStartingWith(const std::filesystem::path& folder,
                                                  const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

#include "pathkit/OutStream.h"

// Output into a string, for the cores run in memory.
class StringOutStream : public OutStream {
public:
    int Good() override { return 1; }
    int Put(char c) override {
        bytes.push_back(c);
        return 0;
    }
    int Write(const void* data, int n) override {
        bytes.append(static_cast<const char*>(data), std::size_t(n));
        return n;
    }
    long TellP() override { return long(bytes.size()); }
    int SeekP(long, int) override { return -1; }

    std::string bytes;
};
