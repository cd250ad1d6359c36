// Feeds any bytes to the Bezier record reader. Every point it takes must be finite and within
// range, and what it reads must write, read and write again to the same bytes. With
// SIGNDESK_FUZZ_OUTLINE set, small paths also go through the outline engine, outwards and
// inwards, with the corner mode taken from the first byte.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "OutlineEngine.h"
#include "outline/OutlineManager.h"
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

struct Pt {
    double x, y;
};

Pt At(const PathMember& m, double t) {
    double u = 1 - t;
    if (!m.IsCurve())
        return {u * m.start.x + t * double(m.end.x), u * m.start.y + t * double(m.end.y)};
    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * m.start.x + w1 * m.ctrl1.x + w2 * m.ctrl2.x + w3 * m.end.x,
            w0 * m.start.y + w1 * m.ctrl1.y + w2 * m.ctrl2.y + w3 * m.end.y};
}

// The outline as chords of at most 0.02 mm, so that distances to it are within 0.01 mm of
// the exact ones.
std::vector<std::pair<Pt, Pt>> Chords(const Path& path) {
    std::vector<std::pair<Pt, Pt>> out;
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members) {
            double hull = std::hypot(double(m.ctrl1.x) - m.start.x, double(m.ctrl1.y) - m.start.y) +
                          std::hypot(double(m.ctrl2.x) - m.ctrl1.x, double(m.ctrl2.y) - m.ctrl1.y) +
                          std::hypot(double(m.end.x) - m.ctrl2.x, double(m.end.y) - m.ctrl2.y);
            int n = int(std::fmin(std::ceil(hull / 0.02), 200000));
            if (n < 1) n = 1;
            Pt a = At(m, 0);
            for (int i = 1; i <= n; ++i) {
                Pt b = At(m, double(i) / n);
                out.push_back({a, b});
                a = b;
            }
        }
    return out;
}

double Distance(const std::vector<std::pair<Pt, Pt>>& chords, const Pt& p) {
    double best = HUGE_VAL;
    for (const auto& [a, b] : chords) {
        double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        double f = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
        f = f < 0 ? 0 : (f > 1 ? 1 : f);
        best = std::fmin(best, std::hypot(a.x + f * dx - p.x, a.y + f * dy - p.y));
    }
    return best;
}

void Outline(const Path& path, int mode) {
    unsigned members = 0;
    for (const SubPath& sp : path.subPaths)
        members += sp.members.Filled();
    if (members > 48) return;
    // Far-off coordinates would need finer chords than the bound allows for.
    for (const SubPath& sp : path.subPaths)
        for (const PathMember& m : sp.members)
            for (const floatPoint& p : {m.start, m.ctrl1, m.ctrl2, m.end})
                if (!(std::fabs(p.x) <= 1000 && std::fabs(p.y) <= 1000)) return;
    const auto outline = Chords(path);
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
        // Every point of the result lies within the distance of the outline, give or take the
        // accuracy and the sampling of the outline. A mitre reaches the distance over the sine
        // of half the limit angle along the bisector, and its cut corners the distance beside
        // that: sqrt(5) times the distance at the default 60 degrees.
        double reach = (mode == OUTLINE_MITRE ? std::sqrt(5.0) : 1) * std::fabs(d) +
                       settings.accuracy + 0.01;
        for (const SubPath& sp : out.subPaths)
            for (const PathMember& m : sp.members)
                for (int i = 0; i < 8; ++i) {
                    Pt p = At(m, i / 8.0);
                    if (!std::isfinite(p.x) || !std::isfinite(p.y)) __builtin_trap();
                    if (!(Distance(outline, p) <= reach)) __builtin_trap();
                }
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
