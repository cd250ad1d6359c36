// Feeds any bytes to the Illustrator reader. What it reads is written and read again: the
// second reading must end cleanly with as many shapes, the same colours and, for shapes well
// inside the coordinate range, as many sub-paths.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pathkit/AIReader.h"
#include "pathkit/AIWriter.h"
#include "pathkit/BBox.h"
#include "pathkit/ColorPath.h"
#include "pathkit/Exceptions.h"
#include "pathkit/InStrStream.h"
#include "pathkit/OutStream.h"

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

// Reads shapes until the reader stops; false when it stopped by an exception.
bool ReadAll(const char* data, std::size_t size, std::vector<ColorPath>& shapes) {
    InStrStream in(data, long(size));
    AIReader reader(in);
    try {
        for (ColorPath cp; reader >> cp;)
            shapes.push_back(cp);
    } catch (Eof&) {
        return false;
    } catch (RuntimeError&) {
        return false;
    }
    return true;
}

bool WellInside(const Path& path) {
    const float limit = float(AIParser::MaxCoord / 2);
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members)
            for (const floatPoint& p : {m.start, m.end, m.ctrl1, m.ctrl2})
                if (!(std::fabs(p.x) < limit && std::fabs(p.y) < limit)) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<ColorPath> first;
    ReadAll(reinterpret_cast<const char*>(data), size, first);

    StringOut out;
    AIWriter writer(out, 1);
    writer.WriteHeader(floatBBox(0, 0, 100, 100));
    for (ColorPath& cp : first) {
        writer.SetFillColor(long(cp.colour & 0xFFFFFF));
        writer << cp;
        writer.Fill(1);
    }
    writer.WriteEndSequence();

    std::vector<ColorPath> second;
    if (!ReadAll(out.text.data(), out.text.size(), second)) __builtin_trap();
    if (second.size() != first.size()) __builtin_trap();
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (second[i].colour != (first[i].colour & 0xFFFFFF)) __builtin_trap();
        if (WellInside(first[i]) && second[i].subPaths.Filled() != first[i].subPaths.Filled())
            __builtin_trap();
    }
    return 0;
}
