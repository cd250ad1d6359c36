// Feeds any bytes to the Bezier record reader. Every point it takes must be finite and within
// range, and what it reads must write, read and write again to the same bytes. With
// SIGNDESK_FUZZ_OUTLINE set, small paths also go through the outline engine, outwards and
// inwards, with the corner mode taken from the first byte.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "OutlineEngine.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/Exceptions.h"
#include "pathkit/OutStream.h"
#include "pathkit/Path.h"

namespace {

class StringOut : public OutStream {
public:
    int Good() override { return 1; }
    int Put(char c) override {
        text.push_back(c);
        return 0;
    }
    long TellP() override { return long(text.size()); }
    int SeekP(long, int) override { return -1; }
    std::string text;
};

bool Usable(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) &&
           std::fabs(p.x) <= BezRecordReader::MaxCoord &&
           std::fabs(p.y) <= BezRecordReader::MaxCoord;
}

std::string Write(const Path& path) {
    StringOut out;
    if (WriteBezRecords(out, path, 1, 1) != 0) __builtin_trap();
    return out.text;
}

bool OutlineToo() {
    static const bool on = std::getenv("SIGNDESK_FUZZ_OUTLINE") != nullptr;
    return on;
}

void Outline(const Path& path, int mode) {
    unsigned members = 0;
    for (const SubPath& sp : path.subPaths)
        members += sp.members.Filled();
    if (members > 48) return;
    for (double d : {1.5, -1.5}) {
        OutlineSettings settings;
        settings.distance = d;
        settings.mode = mode;
        settings.accuracy = 0.05f;
        Path source(path), out(settings.accuracy);
        try {
            OutlineEngine(settings).Run(source, out);
        } catch (const RuntimeError&) {
            continue;
        }
        for (const SubPath& sp : out.subPaths)
            for (const PathMember& m : sp.members)
                if (!std::isfinite(m.start.x) || !std::isfinite(m.end.y)) __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Path path(0.01f);
    try {
        ReadBezRecords(data, size, path, 1, 1);
    } catch (const RuntimeError&) {
        return 0; // more members than a sub-path holds
    }
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members)
            if (!Usable(m.start) || !Usable(m.end) || !Usable(m.ctrl1) || !Usable(m.ctrl2))
                __builtin_trap();

    std::string bytes = Write(path);
    Path again(0.01f);
    ReadBezRecords(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), again, 1, 1);
    if (Write(again) != bytes) __builtin_trap();

    if (OutlineToo()) Outline(path, size ? data[0] % 3 : 0);
    return 0;
}
