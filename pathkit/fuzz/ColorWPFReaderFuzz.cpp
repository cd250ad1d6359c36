// Feeds any bytes to the coloured text path reader. What it reads must write, read and write
// again to the same bytes; with SIGNDESK_FUZZ_PREPARE set, each path read is also prepared
// and split into islands, as the program does with pasted paths.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pathkit/ColorPath.h"
#include "pathkit/ColorWPFReader.h"
#include "pathkit/ColorWPFWriter.h"
#include "pathkit/Exceptions.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStream.h"
#include "pathkit/PathGroup.h"

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

struct Read {
    std::vector<ColorPath> paths;
    std::vector<int> frameColors;
    std::vector<float> frameWidths;
};

Read ReadAll(const char* data, std::size_t size, float grid) {
    InStrStream in(data, long(size));
    ColorWPFReader reader(in, grid);
    Read result;
    // A path past the arrays' limits raises their exceptions, which end the reading as they
    // end a paste or an import; what was read before stays.
    try {
        for (;;) {
            ColorPath cp;
            if (!reader.Read(cp)) break;
            if (!cp.subPaths.Filled()) continue;
            result.paths.push_back(cp);
            result.frameColors.push_back(reader.frameColor);
            result.frameWidths.push_back(reader.frameWidth);
        }
    } catch (const RuntimeError&) {
    }
    return result;
}

std::string WriteAll(Read& read) {
    StringOut out;
    ColorWPFWriter writer(out, 0);
    for (std::size_t i = 0; i < read.paths.size(); ++i) {
        writer.frameColor = read.frameColors[i];
        writer.frameWidth = read.frameWidths[i];
        writer << read.paths[i];
    }
    return out.text;
}

bool PrepareToo() {
    static const bool on = std::getenv("SIGNDESK_FUZZ_PREPARE") != nullptr;
    return on;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    Read first = ReadAll(bytes, size, 0);
    std::string text = WriteAll(first);
    Read second = ReadAll(text.data(), text.size(), 0);
    if (WriteAll(second) != text) __builtin_trap();

    Read gridded = ReadAll(bytes, size, 0.25f);
    if (PrepareToo()) {
        for (ColorPath& cp : gridded.paths) {
            unsigned members = 0;
            for (const SubPath& sp : cp.subPaths)
                members += sp.members.Filled();
            if (members > 64) continue;
            try {
                PathGroup group;
                group << cp;
            } catch (const RuntimeError&) {
            }
        }
    }
    return 0;
}
