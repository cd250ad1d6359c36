#include "OutlineRecordReader.h"

#include <cstdint>
#include <cstdlib>

#include "pathkit/InStream.h"

namespace tmrecords {

namespace {

constexpr unsigned char EndOfData = 0x80;
constexpr std::uint32_t Limit32 = 9999;
constexpr std::uint32_t Limit16 = 32767;
constexpr long CloseDistance = 4;

// Removes breaks at the start and after another break and ends the list with one.
void NormaliseBreaks(preconv::Points& points) {
    preconv::Points out;
    out.reserve(points.size() + 1);
    for (const preconv::Point& p : points)
        if (!p.IsBreak() || (!out.empty() && !out.back().IsBreak())) out.push_back(p);
    if (!out.empty() && !out.back().IsBreak()) out.push_back(preconv::Point::Break());
    points.swap(out);
}

// Sets a contour's last point to its first when they lie less than 4 apart in x and y.
void CloseNearlyClosed(preconv::Points& points) {
    std::size_t first = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].IsBreak()) continue;
        if (i > first) {
            preconv::Point& a = points[first];
            preconv::Point& b = points[i - 1];
            if (std::labs(long(a.x) - long(b.x)) < CloseDistance &&
                std::labs(long(a.y) - long(b.y)) < CloseDistance) {
                b.x = a.x;
                b.y = a.y;
            }
        }
        first = i + 1;
    }
}

} // namespace

Variant TellVariant(InStream& in) {
    unsigned char tail[6];
    Variant v = Variant::Unknown;
    if (in.SeekG(6, 2) == 0 && in.Read(tail, 6) == 6 && tail[5] == EndOfData &&
        tail[1] == 0xFF && tail[2] == 0xFF && tail[3] == 0xFF && tail[4] == 0xFF)
        v = tail[0] == 0xFF ? Variant::Bits32 : Variant::Bits16;
    in.SeekG(0, 0);
    return v;
}

bool ReadOutlineRecords(InStream& in, long /*size*/, preconv::Points& points) {
    Variant variant = TellVariant(in);
    if (variant == Variant::Unknown) return false;
    points.clear();
    if (variant == Variant::Bits16) {
        for (;;) {
            unsigned char r[5];
            if (in.Read(r, 1) != 1 || r[0] == EndOfData || in.Read(r + 1, 4) != 4) break;
            std::uint32_t x = std::uint32_t(r[1] << 8 | r[2]), y = std::uint32_t(r[3] << 8 | r[4]);
            if (x == 0xFFFF && y == 0xFFFF)
                points.push_back(preconv::Point::Break());
            else
                points.push_back({r[0], x, y});
        }
        if (!points.empty() && !points.back().IsBreak()) points.push_back(preconv::Point::Break());
        // Values above 32767 would turn negative in the outline record file.
        preconv::ScaleDown(points, Limit16);
    } else {
        std::vector<std::int32_t> xs, ys;
        std::vector<unsigned char> flags;
        for (;;) {
            unsigned char r[9];
            if (in.Read(r, 1) != 1 || r[0] == EndOfData || in.Read(r + 1, 8) != 8) break;
            auto at = [&](int o) {
                return std::int32_t(std::uint32_t(r[o]) | std::uint32_t(r[o + 1]) << 8 |
                                    std::uint32_t(r[o + 2]) << 16 | std::uint32_t(r[o + 3]) << 24);
            };
            flags.push_back(r[0]);
            xs.push_back(at(1));
            ys.push_back(at(5));
        }
        // Negative values move the outline into the non-negative range, so that none is
        // taken as a huge unsigned value.
        std::int64_t minX = 0, minY = 0;
        for (std::size_t i = 0; i < xs.size(); ++i)
            if (!(xs[i] == -1 && ys[i] == -1)) {
                minX = std::min<std::int64_t>(minX, xs[i]);
                minY = std::min<std::int64_t>(minY, ys[i]);
            }
        std::int64_t largest = 0;
        for (std::size_t i = 0; i < xs.size(); ++i)
            if (!(xs[i] == -1 && ys[i] == -1))
                largest = std::max({largest, xs[i] - minX, ys[i] - minY});
        int shift = 0;
        while ((largest >> shift) > std::int64_t(Limit32))
            ++shift;
        for (std::size_t i = 0; i < xs.size(); ++i) {
            if (xs[i] == -1 && ys[i] == -1)
                points.push_back(preconv::Point::Break());
            else
                points.push_back({flags[i], std::uint32_t((xs[i] - minX) >> shift),
                                  std::uint32_t((ys[i] - minY) >> shift)});
        }
        if (!points.empty() && !points.back().IsBreak()) points.push_back(preconv::Point::Break());
    }
    NormaliseBreaks(points);
    CloseNearlyClosed(points);
    return true;
}

} // namespace tmrecords
