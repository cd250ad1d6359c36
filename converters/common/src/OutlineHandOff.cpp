#include "converters/OutlineHandOff.h"

#include <cmath>

#include "pathkit/FileStreams.h"
#include "win32/kernel.h"
#include "win32/module.h"

namespace preconv {

namespace {

constexpr DWORD TempPathLength = 144;

using ConvertProc = int (*)(const char*, const char*, AbortHandler*);

// The temporary file, deleted with this object.
class TempOutlineFile {
public:
    TempOutlineFile() {
        char folder[TempPathLength];
        DWORD length = GetTempPathA(TempPathLength, folder);
        made_ = length > 0 && length < TempPathLength && GetTempFileNameA(folder, "FOT", 0, name_);
    }
    ~TempOutlineFile() {
        if (made_) DeleteFileA(name_);
    }
    TempOutlineFile(const TempOutlineFile&) = delete;
    TempOutlineFile& operator=(const TempOutlineFile&) = delete;

    bool Made() const { return made_; }
    const char* Name() const { return name_; }

private:
    char name_[MAX_PATH] = {};
    bool made_ = false;
};

class OutlineConverterModule {
public:
    OutlineConverterModule() : module_(LoadLibraryA("FOT2BEZ.dll")) {
        if (module_)
            convert_ = reinterpret_cast<ConvertProc>(
                reinterpret_cast<void (*)()>(GetProcAddress(module_, "Convert")));
    }
    ~OutlineConverterModule() {
        if (module_) FreeLibrary(module_);
    }
    OutlineConverterModule(const OutlineConverterModule&) = delete;
    OutlineConverterModule& operator=(const OutlineConverterModule&) = delete;

    ConvertProc Entry() const { return convert_; }

private:
    HMODULE module_;
    ConvertProc convert_ = nullptr;
};

} // namespace

void ScaleDown(Points& points, std::uint32_t limit) {
    std::uint32_t largest = 0;
    for (const Point& p : points)
        if (!p.IsBreak()) largest = std::max({largest, p.x, p.y});
    int shift = 0;
    while ((largest >> shift) > limit)
        ++shift;
    if (shift == 0) return;
    for (Point& p : points)
        if (!p.IsBreak()) {
            p.x >>= shift;
            p.y >>= shift;
        }
}

std::string OutlineRecords(const Points& points) {
    std::string out;
    out.reserve(points.size() * 5 + 1);
    for (const Point& p : points) {
        out.push_back(char(p.flags));
        out.push_back(char((p.x >> 8) & 0xFF));
        out.push_back(char(p.x & 0xFF));
        out.push_back(char((p.y >> 8) & 0xFF));
        out.push_back(char(p.y & 0xFF));
    }
    out.push_back(char(0x80));
    return out;
}

int ConvertThroughOutline(const char* source, const char* target, AbortHandler* progress,
                          const SourceReader& read) {
    TempOutlineFile temp;
    if (!temp.Made()) return -1;
    {
        Points points;
        {
            FileInStream in(source);
            if (!in.IsOpen() || !read(in, in.Size(), points)) return -1;
        }
        std::string bytes = OutlineRecords(points);
        FileOutStream out(temp.Name());
        if (!out.IsOpen() || out.Write(bytes.data(), int(bytes.size())) != int(bytes.size()) ||
            out.Close() != 0)
            return -1;
    }
    OutlineConverterModule fot;
    if (!fot.Entry()) return -1;
    return fot.Entry()(temp.Name(), target, progress);
}

} // namespace preconv
